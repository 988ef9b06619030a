#include "display/LeadingNumber.h"

#include <charconv>
#include <system_error>

namespace pictora {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

double LeadingNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    // from_chars reads a minus sign but no plus sign.
    if (start + 1 < text.size() && text[start] == '+' && text[start + 1] != '-') ++start;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + text.size(), value);
    return result.ec == std::errc{} ? value : 0.0;
}

}  // namespace pictora
