#include "reference/ReferenceCodecTable.h"

namespace pictora {

std::vector<double> ReferenceCodecTraits::Grid() const {
    std::vector<double> values;
    const int step = grid.best >= grid.worst ? 1 : -1;
    for (int whole = grid.worst;; whole += step) {
        values.push_back(static_cast<double>(whole) / grid.divisor);
        if (whole == grid.best) return values;
    }
}

const ReferenceCodecTraits* ReferenceCodecNamed(std::string_view name) {
    for (const ReferenceCodecTraits& traits : kReferenceCodecs)
        if (traits.name == name) return &traits;
    return nullptr;
}

std::string ReferenceCodecNameList() {
    std::string list;
    for (std::size_t k = 0; k < std::size(kReferenceCodecs); ++k) {
        if (k > 0) list += k + 1 == std::size(kReferenceCodecs) ? " or " : ", ";
        list += kReferenceCodecs[k].name;
    }
    return list;
}

}  // namespace pictora
