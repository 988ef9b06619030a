#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pictora {

// Numbers as text, the same in every locale: the desktop program runs with
// the user's locale (pt_BR writes 24,07), yet every number it reads or writes,
// on screen, in CSV files and in the trace, uses a decimal point.

// While it lives, printf-family calls of this thread format in the C locale.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* previous_;
};

// printf-style formatting done in the C locale, e.g. FormatC("%.2f%%", 12.345)
// gives "12.35%" whatever LC_NUMERIC says.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A CSV field of a real that may be undefined: ",%.17g" of it, or "," alone.
std::string CsvRealField(const std::optional<double>& value);

// A count with its noun in English: "1 job", "2 jobs", "0 jobs".
std::string CountText(std::uint64_t count, std::string_view singular, std::string_view plural);

// The shortest text that reads back as exactly `value` ("0.1", "12", "1.5").
std::string ShortestText(double value);

// Reads a whole decimal number, white space around it allowed; a decimal
// comma is taken for a point when `acceptComma` (typed numbers in the form).
// False, with `value` unchanged, unless the text is one finite or infinite number.
bool ParseReal(std::string_view text, double& value, bool acceptComma = false);

}  // namespace pictora
