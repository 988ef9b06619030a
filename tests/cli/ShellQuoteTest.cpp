#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "cli/ShellQuote.h"

namespace pictora::cli {
namespace {

// What a shell makes of `command`: its words, one per line.
std::string ShellWords(const std::string& command) {
    const std::string script = "printf '%s\\n' " + command;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("bash -c " + ShellQuote(script)).c_str(), "r"), ::pclose);
    std::string words;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) words += buffer;
    return words;
}

TEST(ShellQuoteTest, TheShellReadsEveryQuotedWordBackAsItWas) {
    for (const std::string& word : {std::string("plain/path-1.png"), std::string("it's here"), std::string("$HOME `x` \"q\""),
                                    std::string("a\\b;c&d|e*"), std::string(""), std::string("''"),
                                    std::string("--color-space"), std::string("0.1,0.3333333333333333")})
        EXPECT_EQ(ShellWords(ShellQuote(word)), word + "\n") << word;
}

}  // namespace
}  // namespace pictora::cli
