// Codebooks (.cod) of ImageCompressor: written to bytes, and applied to the
// loaded image from bytes; the file versions only read or write the files.
#include <string>

#include "pipeline/ImageCompressor.h"
#include "quantizer/CodebookSection.h"
#include "support/CountText.h"
#include "support/DebugLog.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

// Moves `in` to the start of section `position` (from 1) of the file `path`.
Status SeekCodebookSection(ByteReader& in, const std::string& path, int position) {
    if (position < 1)
        return Status::Error(ErrorKind::InvalidSetting, path + ": there is no codebook " + std::to_string(position));
    for (int section = 1;; ++section) {
        if (in.Remaining() == 0)
            return Status::Error(ErrorKind::DamagedFile, path + ": holds " + Counted(section - 1, "codebook", "codebooks") +
                                                             ", not " + std::to_string(position))
                .Concerning(path);
        if (section == position) return Status::Ok();
        if (Status skip = SkipCodebookSection(in); !skip) return skip.Prefixed("codebook " + std::to_string(section)).About(path);
    }
}

}  // namespace

Status ReadChosenColourSpaces(const std::array<std::string, 3>& paths, const std::array<int, 3>& positions,
                              std::array<pictora::ColorSpace, 3>& spaces) {
    std::array<pictora::ColorSpace, 3> read{};
    for (std::size_t c = 0; c < 3; ++c) {
        std::vector<std::uint8_t> bytes;
        if (Status loaded = ReadWholeFile(paths[c], bytes); !loaded) return loaded;
        ByteReader in(bytes);
        if (Status sought = SeekCodebookSection(in, paths[c], positions[c]); !sought) return sought;
        CodebookSectionHeader header;
        if (Status head = ReadCodebookSectionHeader(in, header); !head)
            return head.Prefixed("codebook " + std::to_string(positions[c])).About(paths[c]);
        read[c] = ColorSpaceFromFileCode(header.colourCode);
    }
    spaces = read;
    return Status::Ok();
}

Status ImageCompressor::EncodeCodebooks(std::vector<std::uint8_t>& bytes) const {
    std::vector<std::uint8_t> encoded;
    ByteWriter out(encoded);
    for (int c = 0; c < 3; ++c) {
        if (channels_[c].Dimension() == 0)
            return Status::Error(ErrorKind::NothingCoded, "there are no codebooks to save");
        if (Status written = WriteCodebookSection(channels_[c], out, FileCodeOf(colorSpace_)); !written)
            return written.Prefixed("channel " + std::to_string(c));
    }
    bytes = std::move(encoded);
    return Status::Ok();
}

Status ImageCompressor::WriteCodebookFile(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeCodebooks(bytes); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, bytes);
}

Status ImageCompressor::ApplyCodebooks(std::span<const std::uint8_t> file, const std::string& name) {
    if (!imageLoaded_) return Status::Error(ErrorKind::NoImage, "no image is loaded to apply " + name + " to");
    ByteReader in(file);
    Channels loaded;
    BindRgbSources(loaded);
    std::uint8_t colourCode = 0;
    for (int c = 0; c < 3; ++c) {
        std::uint8_t sectionCode = 0;
        if (Status read = ReadCodebookSection(in, loaded[c], sectionCode); !read)
            return read.Prefixed("codebook " + std::to_string(c + 1)).About(name);
        if (c == 0) colourCode = sectionCode;
    }
    const pictora::ColorSpace colorSpace = ColorSpaceFromFileCode(colourCode);
    DebugLog("Pesos carregados %i\n", FileCodeOf(colorSpace));
    return ApplyLoadedCodebooks(loaded, colorSpace).About(name);
}

Status ImageCompressor::ApplyCodebookFile(const std::string& path) {
    if (!imageLoaded_) return Status::Error(ErrorKind::NoImage, "no image is loaded to apply " + path + " to");
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    return ApplyCodebooks(bytes, path);
}

Status ImageCompressor::ApplyCodebookFiles(const std::array<std::string, 3>& paths,
                                           const std::array<int, 3>& positions) {
    if (!imageLoaded_) return Status::Error(ErrorKind::NoImage, "no image is loaded to apply codebooks to");
    std::array<std::vector<std::uint8_t>, 3> bytes;
    for (std::size_t c = 0; c < 3; ++c) {
        if (positions[c] < 1)
            return Status::Error(ErrorKind::InvalidSetting,
                                 paths[c] + ": there is no codebook " + std::to_string(positions[c]));
        if (Status read = ReadWholeFile(paths[c], bytes[c]); !read) return read;
    }
    return ApplyCodebookSections({bytes[0], bytes[1], bytes[2]}, paths, positions);
}

Status ImageCompressor::ApplyCodebookSections(const std::array<std::span<const std::uint8_t>, 3>& files,
                                              const std::array<std::string, 3>& names,
                                              const std::array<int, 3>& positions) {
    if (!imageLoaded_) return Status::Error(ErrorKind::NoImage, "no image is loaded to apply codebooks to");
    Channels loaded;
    BindRgbSources(loaded);
    std::uint8_t colourCode = 0;
    for (int c = 0; c < 3; ++c) {
        const std::string& path = names[static_cast<std::size_t>(c)];
        const int position = positions[static_cast<std::size_t>(c)];
        ByteReader in(files[static_cast<std::size_t>(c)]);
        if (Status sought = SeekCodebookSection(in, path, position); !sought) return sought;
        std::uint8_t sectionCode = 0;
        if (Status read = ReadCodebookSection(in, loaded[c], sectionCode); !read)
            return read.Prefixed("codebook " + std::to_string(position)).About(path);
        if (c == 0) colourCode = sectionCode;
    }
    const pictora::ColorSpace colorSpace = ColorSpaceFromFileCode(colourCode);
    DebugLog("Pesos carregados %i\n", FileCodeOf(colorSpace));
    return ApplyLoadedCodebooks(loaded, colorSpace);
}

// Codes the loaded image with networks just read from codebook files. Every
// channel is checked before the first pass; only then do the networks replace
// the current ones.
Status ImageCompressor::ApplyLoadedCodebooks(Channels& loaded, pictora::ColorSpace colorSpace) {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    BindSourcesFor(loaded, colorSpace);
    if (colorSpace == ColorSpace::YCbCr420) {
        loaded[1].SetPlaneSize(height / 2, width / 2);
        loaded[2].SetPlaneSize(height / 2, width / 2);
    }
    for (int c = 0; c < 3; ++c) {
        if (loaded[c].NeuronCount() == 0)
            return Status::Error(ErrorKind::CodebookMismatch,
                                 "the codebook for channel " + std::to_string(c) + " holds no neuron");
        if (Status ready = loaded[c].CheckReady(); !ready)
            return Status::Error(ErrorKind::CodebookMismatch, "the codebook for channel " + std::to_string(c) +
                                                                  " cannot code this image: " + ready.message());
    }
    for (int c = 0; c < 3; ++c) {
        InstallProgress(loaded[c], c);
        loaded[c].SetReferenceSearch(referenceSearch_);
        loaded[c].SetCodingMethod(method_.coding);
        (void)loaded[c].Code();  // checked above: it cannot fail
        loaded[c].Rebuild(false);
    }
    AdoptChannels(loaded, colorSpace);
    Reconstruct(LowPassFilter::None);
    MeasureQuality();
    UpdateStatistics();
    return Status::Ok();
}

}  // namespace pictora
