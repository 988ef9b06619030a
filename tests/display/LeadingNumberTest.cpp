#include <gtest/gtest.h>

#include <cmath>

#include "display/LeadingNumber.h"

namespace pictora {
namespace {

TEST(LeadingNumberTest, ReadsTheLongestDecimalPrefix) {
    EXPECT_DOUBLE_EQ(LeadingNumber("12.34%"), 12.34);
    EXPECT_DOUBLE_EQ(LeadingNumber("57 (3)"), 57.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("  \t-3.5e2x"), -350.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("+5"), 5.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("3."), 3.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e"), 1.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("12,5"), 12.0);  // only a point separates decimals
    EXPECT_DOUBLE_EQ(LeadingNumber("0x1A"), 0.0);   // no hexadecimal
}

TEST(LeadingNumberTest, CellsWithoutANumberGiveZero) {
    for (const char* text : {"---", "", "   ", "+", "+-5", "- 5", "abc", "%", "1e400"})
        EXPECT_EQ(LeadingNumber(text), 0.0) << text;
}

TEST(LeadingNumberTest, InfinityAndNaNReadAsThemselves) {
    EXPECT_EQ(LeadingNumber("inf"), HUGE_VAL);
    EXPECT_EQ(LeadingNumber(" -inf dB"), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(LeadingNumber("nan")));
}

}  // namespace
}  // namespace pictora
