#include "support/NumberText.h"

#include <charconv>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <system_error>

namespace pictora {
namespace {

// One C locale for the whole process, switched to per thread around a call.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

CLocaleScope::CLocaleScope() : previous_(uselocale(CLocale())) {}

CLocaleScope::~CLocaleScope() { uselocale(static_cast<locale_t>(previous_)); }

std::string FormatC(const char* format, ...) {
    const CLocaleScope cLocale;
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string CsvRealField(const std::optional<double>& value) { return value ? FormatC(",%.17g", *value) : ","; }

std::string CountText(std::uint64_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

std::string ShortestText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool ParseReal(std::string_view text, double& value, bool acceptComma) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    std::string digits(text);
    if (acceptComma && digits.find('.') == std::string::npos) {
        const auto comma = digits.find(',');
        if (comma != std::string::npos && digits.find(',', comma + 1) == std::string::npos) digits[comma] = '.';
    }
    // from_chars reads a minus sign but no plus sign.
    std::size_t start = 0;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') start = 1;
    if (start == digits.size()) return false;
    double parsed = 0.0;
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data() + start, end, parsed);
    if (result.ec != std::errc{} || result.ptr != end) return false;
    value = parsed;
    return true;
}

}  // namespace pictora
