#pragma once

#include <string_view>

namespace pictora {

// The number a results-list cell starts with: the longest prefix, after
// leading white space, that reads as a decimal number with a point as the
// decimal separator (exponents, "inf" and "nan" included), whatever the
// locale. 0 when the cell starts with none or its number is out of range.
// "12.34%" gives 12.34, "57 (3)" gives 57, "---" gives 0.
double LeadingNumber(std::string_view text);

}  // namespace pictora
