#include "support/CountText.h"

namespace pictora {

std::string Counted(std::uint64_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

}  // namespace pictora
