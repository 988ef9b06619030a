#include "support/DebugLog.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace pictora {
namespace {

TEST(DebugLogTest, FormatsPrintfStyle) {
    char buffer[kDebugLogLimit + 1];
    std::size_t length = FormatDebugMessage(buffer, "%i %i %i\n", 3, 14, 159);
    EXPECT_EQ(std::string(buffer, length), "3 14 159\n");
}

TEST(DebugLogTest, CutsLongMessagesToTheLimit) {
    std::string longText(250, 'x');
    char buffer[kDebugLogLimit + 1];
    EXPECT_EQ(FormatDebugMessage(buffer, "%s", longText.c_str()), kDebugLogLimit);
    EXPECT_EQ(FormatDebugMessage(buffer, "%s", std::string(100, 'y').c_str()), 100u);
}

TEST(DebugLogTest, WritesToStandardErrorOnlyWhenEnabled) {
    char buffer[kDebugLogLimit + 1];
    EXPECT_EQ(FormatDebugMessage(buffer, "%s", ""), 0u);
    ::testing::internal::CaptureStderr();
    DebugLog("%i %s\n", 7, "passos");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), DebugLogEnabled() ? "7 passos\n" : "");
}

// The trace's numbers read the same in a locale with a decimal comma.
TEST(DebugLogTest, NumbersIgnoreTheLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "pt_BR.UTF-8") == nullptr) GTEST_SKIP() << "pt_BR.UTF-8 is not installed";
    char buffer[kDebugLogLimit + 1];
    const std::size_t length = FormatDebugMessage(buffer, "%.2f\n", 24.07);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(std::string(buffer, length), "24.07\n");
}

}  // namespace
}  // namespace pictora
