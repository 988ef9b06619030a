#include "support/DebugLog.h"

#include <gtest/gtest.h>

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

TEST(DebugLogTest, EmptyFormatWritesNothing) {
    char buffer[kDebugLogLimit + 1];
    EXPECT_EQ(FormatDebugMessage(buffer, "%s", ""), 0u);
    DebugLog("%s", "");  // returns normally whether or not the trace is enabled
}

}  // namespace
}  // namespace pictora
