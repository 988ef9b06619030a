// Opens a sweep's report.html in a real browser, headless, with every network
// address unreachable: the page must render its tables and charts from the
// file alone, run its script and log nothing to the console. Skipped with a
// message where no Chromium is installed (./test.sh installs it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "cli/Commands.h"
#include "cli/ShellQuote.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"

namespace pictora::cli {
namespace {

using pictora::testing::TempFolder;
using pictora::testing::TestData;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FindBrowser() {
    for (const char* name : {"chromium", "chromium-browser"})
        if (std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0) return name;
    return {};
}

// The browser run on the page with `what` ("--dump-dom" or
// "--screenshot=PATH"), stdout and stderr into files; its exit status.
int Browse(const std::string& browser, const std::string& page, const std::string& what, int width,
           const std::string& out, const std::string& err) {
    const std::string command =
        "timeout 180 " + browser +
        " --headless=new --no-sandbox --disable-gpu --no-first-run --hide-scrollbars --enable-logging=stderr --v=0"
        " --proxy-server=127.0.0.1:9 --host-resolver-rules='MAP * ~NOTFOUND' --window-size=" +
        std::to_string(width) + ",1600 " + what + " " + ShellQuote("file://" + page) + " >" + ShellQuote(out) + " 2>" +
        ShellQuote(err);
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether the picture has more than a page's background: charts and tables
// drawn in several tones.
bool HasContent(const RgbImage& png) {
    int dark = 0;
    for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(png.height); y += 2)
        for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(png.width); x += 2)
            if (png.red[y][x] < 128 && png.green[y][x] < 128) ++dark;
    return dark > 200;
}

TEST(ReportBrowserTest, TheReportRendersOfflineWithItsTablesChartsAndNoConsoleMessage) {
    const std::string browser = FindBrowser();
    if (browser.empty()) GTEST_SKIP() << "no chromium installed: the report was not opened in a browser";
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine({"sweep", TestData("photo64-a.png"), TestData("photo64-c.png"), "--block", "4",
                                     "--radius", "0.2,0.1", "--steps", "2", "--codecs", "jpeg,webp", "-o",
                                     folder.File("sweep")});
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(code, kExitOk);
    const std::string page = folder.File("sweep/report.html");

    ASSERT_EQ(Browse(browser, page, "--dump-dom", 1280, folder.File("dom.html"), folder.File("dom.log")), 0)
        << Contents(folder.File("dom.log"));
    const std::string dom = Contents(folder.File("dom.html"));
    EXPECT_NE(dom.find("<table class=\"sortable\" id=\"summary\" data-sortable=\"ready\">"), std::string::npos)
        << "the script did not run";
    EXPECT_NE(dom.find("<svg"), std::string::npos);
    EXPECT_NE(dom.find("photo64-c.png"), std::string::npos);
    const std::string log = Contents(folder.File("dom.log"));
    EXPECT_EQ(log.find(":CONSOLE("), std::string::npos) << log;

    // A laptop's width and a phone's: both draw the page.
    for (const int width : {1280, 390}) {
        const std::string shot = folder.File("shot-" + std::to_string(width) + ".png");
        ASSERT_EQ(Browse(browser, page, "--screenshot=" + shot, width, folder.File("shot.out"), folder.File("shot.log")),
                  0)
            << Contents(folder.File("shot.log"));
        RgbImage png;
        ASSERT_TRUE(ReadPngFile(shot, png)) << shot;
        EXPECT_EQ(png.width, width);
        EXPECT_TRUE(HasContent(png)) << shot;
        EXPECT_EQ(Contents(folder.File("shot.log")).find(":CONSOLE("), std::string::npos);
    }
}

}  // namespace
}  // namespace pictora::cli
