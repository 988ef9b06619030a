// Writing codebooks (.cod) and coding the loaded image with stored codebooks
// in ImageCompressor.
#include <string>

#include "pipeline/ImageCompressor.h"
#include "quantizer/CodebookSection.h"
#include "support/DebugLog.h"
#include "support/FileIO.h"

namespace pictora {

Status ImageCompressor::WriteCodebookFile(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    for (int c = 0; c < 3; ++c) {
        if (channels_[c].Dimension() == 0) return Status::Error(path + ": there are no codebooks to save");
        if (Status written = channels_[c].WriteCodebook(out, colorSpace_); !written)
            return Status::Error(path + ": channel " + std::to_string(c) + ": " + written.message());
    }
    return WriteFileAtomically(path, bytes);
}

Status ImageCompressor::ApplyCodebookFile(const std::string& path) {
    if (!imageLoaded_) return Status::Error("no image is loaded to apply " + path + " to");
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    ByteReader in(bytes);
    Channels loaded;
    BindRgbSources(loaded);
    int colourCode = 0;
    for (int c = 0; c < 3; ++c) {
        int sectionCode = 0;
        if (Status read = loaded[c].ReadCodebook(in, sectionCode); !read)
            return Status::Error(path + ": codebook " + std::to_string(c + 1) + ": " + read.message());
        if (c == 0) colourCode = sectionCode;
    }
    const int colorSpace = colourCode <= 2 ? colourCode : kColorSpaceNone;
    DebugLog("Pesos carregados %i\n", colorSpace);
    if (Status applied = ApplyLoadedCodebooks(loaded, colorSpace); !applied)
        return Status::Error(path + ": " + applied.message());
    return Status::Ok();
}

Status ImageCompressor::ApplyCodebookFiles(const std::array<std::string, 3>& paths,
                                           const std::array<int, 3>& positions) {
    if (!imageLoaded_) return Status::Error("no image is loaded to apply codebooks to");
    Channels loaded;
    BindRgbSources(loaded);
    int colourCode = 0;
    for (int c = 0; c < 3; ++c) {
        const std::string& path = paths[static_cast<std::size_t>(c)];
        const int position = positions[static_cast<std::size_t>(c)];
        if (position < 1) return Status::Error(path + ": there is no codebook " + std::to_string(position));
        std::vector<std::uint8_t> bytes;
        if (Status read = ReadWholeFile(path, bytes); !read) return read;
        ByteReader in(bytes);
        for (int skipped = 1; skipped < position; ++skipped) {
            if (in.Remaining() == 0)
                return Status::Error(path + ": holds " + std::to_string(skipped - 1) + " codebooks, not " +
                                     std::to_string(position));
            if (Status skip = SkipCodebookSection(in); !skip)
                return Status::Error(path + ": codebook " + std::to_string(skipped) + ": " + skip.message());
        }
        int sectionCode = 0;
        if (Status read = loaded[c].ReadCodebook(in, sectionCode); !read)
            return Status::Error(path + ": codebook " + std::to_string(position) + ": " + read.message());
        if (c == 0) colourCode = sectionCode;
    }
    const int colorSpace = colourCode <= 2 ? colourCode : kColorSpaceNone;
    DebugLog("Pesos carregados %i\n", colorSpace);
    return ApplyLoadedCodebooks(loaded, colorSpace);
}

// Codes the loaded image with networks just read from codebook files. Every
// channel is checked before the first pass; only then do the networks replace
// the current ones.
Status ImageCompressor::ApplyLoadedCodebooks(Channels& loaded, int colorSpace) {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    BindSourcesFor(loaded, sourceImage_, colorSpace);
    if (colorSpace == kColorSpaceYCbCr420) {
        loaded[1].SetPlaneSize(height / 2, width / 2);
        loaded[2].SetPlaneSize(height / 2, width / 2);
    }
    for (int c = 0; c < 3; ++c) {
        if (loaded[c].NeuronCount() == 0)
            return Status::Error("the codebook for channel " + std::to_string(c) + " holds no neuron");
        if (Status ready = loaded[c].CheckReady(); !ready)
            return Status::Error("the codebook for channel " + std::to_string(c) + " cannot code this image: " +
                                 ready.message());
    }
    for (int c = 0; c < 3; ++c) {
        InstallProgress(loaded[c], c);
        loaded[c].SetReferenceSearch(referenceSearch_);
        loaded[c].RefreshPixels();
        (void)loaded[c].CodeBlocks();  // checked above: it cannot fail
        loaded[c].Rebuild(false);
    }
    AdoptChannels(loaded, colorSpace);
    ConvertDecodedToRgb();
    ShowReconstruction();
    MeasureQuality();
    UpdateStatistics();
    return Status::Ok();
}

}  // namespace pictora
