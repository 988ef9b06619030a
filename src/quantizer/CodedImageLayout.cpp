#include "quantizer/CodedImageLayout.h"

#include <algorithm>
#include <string>

namespace pictora {

Status CheckCodedImageHeads(const std::array<CodedSectionHeader, 3>& heads) {
    const CodedSectionHeader& first = heads[0];
    // Channel 0 sets the size of every plane; only its codes can justify it.
    if (first.neuronCount == 0) return Status::Error(ErrorKind::DamagedFile, "channel 0 holds no codebook");
    const bool halfChroma = first.colourCode == kHalfChromaColourCode;
    const std::uint32_t chromaRows = halfChroma ? first.rows / 2 : first.rows;
    const std::uint32_t chromaColumns = halfChroma ? first.columns / 2 : first.columns;
    for (int c = 0; c < 3; ++c) {
        const std::string channel = "channel " + std::to_string(c);
        const CodedSectionHeader& header = heads[c];
        if (Status checked = CheckCodedSectionHead(header); !checked) return checked.Prefixed(channel);
        // The planes a decoder makes are channel 0's size: an empty channel's
        // work arrays for its blocks must fit them too.
        if (header.Side() > std::max<std::uint32_t>(1, std::min(first.rows, first.columns)))
            return Status::Error(ErrorKind::DamagedFile, channel + ": coded section: block dimension " +
                                                             std::to_string(header.dimension) +
                                                             " does not fit the image");
        const std::uint32_t rows = c == 0 ? first.rows : chromaRows;
        const std::uint32_t columns = c == 0 ? first.columns : chromaColumns;
        if (header.rows != rows || header.columns != columns)
            return Status::Error(ErrorKind::DamagedFile,
                                 channel + " has a plane of " + std::to_string(header.columns) + " x " +
                                     std::to_string(header.rows) + " pixels where " + std::to_string(columns) + " x " +
                                     std::to_string(rows) + " belong");
    }
    return Status::Ok();
}

Status ReadCodedImageLayout(std::span<const std::uint8_t> bytes, CodedImageLayout& layout) {
    ByteReader in(bytes);
    // Channel 0 is checked first: an empty one refuses the file before the
    // other sections are read.
    CodedSectionHeader first;
    if (Status read = ReadCodedSectionHeader(in, first); !read) return read.Prefixed("channel 0");
    if (first.neuronCount == 0) return Status::Error(ErrorKind::DamagedFile, "channel 0 holds no codebook");
    in.Seek(0);

    CodedImageLayout read;
    std::array<CodedSectionHeader, 3> heads;
    for (int c = 0; c < 3; ++c) {
        if (Status status = ReadCodedSectionLayout(in, read.sections[c]); !status)
            return status.Prefixed("channel " + std::to_string(c));
        heads[c] = read.sections[c].header;
    }
    if (Status checked = CheckCodedImageHeads(heads); !checked) return checked;
    if (in.Remaining() != 0)
        return Status::Error(ErrorKind::DamagedFile,
                             std::to_string(in.Remaining()) + " bytes follow the third channel");
    layout = std::move(read);
    return Status::Ok();
}

Status WriteCodedImageLayout(const CodedImageLayout& layout, std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> written;
    ByteWriter out(written);
    for (int c = 0; c < 3; ++c) {
        if (Status status = WriteCodedSectionLayout(layout.sections[c], out); !status)
            return status.Prefixed("channel " + std::to_string(c));
    }
    bytes = std::move(written);
    return Status::Ok();
}

}  // namespace pictora
