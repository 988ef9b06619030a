#include "display/RdTextWidth.h"

#include <array>
#include <cstdint>

namespace pictora {
namespace {

constexpr double kUnitsPerEm = 2048.0;
constexpr double kOtherAdvance = 1300.0;
constexpr double kBoldWidening = 1.1;

// Advance widths of DejaVu Sans Book, characters 32 to 126, in font units.
constexpr std::array<std::uint16_t, 95> kAsciiAdvance = {
    651,  821,  942,  1716, 1303, 1946, 1597, 563,  799,  799,  1024, 1716, 651,  739,  651,  690,
    1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 690,  690,  1716, 1716, 1716, 1087,
    2048, 1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604,  604,  1343, 1141, 1767, 1532, 1612,
    1235, 1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403, 799,  690,  799,  1716, 1024,
    1024, 1255, 1300, 1126, 1300, 1260, 721,  1300, 1298, 569,  569,  1186, 569,  1995, 1298, 1253,
    1300, 1300, 842,  1067, 803,  1298, 1212, 1675, 1212, 1212, 1075, 1303, 690,  1303, 1716,
};

}  // namespace

double RdTextWidth(std::string_view text, double size, RdFontWeight weight) {
    double units = 0.0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte <= 126) {
            units += kAsciiAdvance[byte - 32];
        } else if ((byte & 0xC0) != 0x80) {
            // The lead byte of a multi-byte character; continuation bytes add nothing.
            units += kOtherAdvance;
        }
    }
    const double width = units / kUnitsPerEm * size;
    return weight == RdFontWeight::Bold ? width * kBoldWidening : width;
}

}  // namespace pictora
