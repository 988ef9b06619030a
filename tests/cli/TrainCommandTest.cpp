#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "common/CsvFields.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"

#include <jxl/butteraugli.h>
#include "support/FileIO.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

using pictora::testing::CsvFields;
using pictora::testing::TempFolder;
using pictora::testing::TestData;

std::vector<std::string> WithCommand(const std::string& command, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), command);
    return arguments;
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(TrainCommandTest, RunsTheStepsAndWritesResultsAndReconstruction) {
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    int code = RunCommandLine({"train", TestData("photo64-a.png"), "--steps", "3,1,1", "--block", "4", "--results",
                         folder.File("r.csv"), "-o", folder.File("out.PNG")});
    std::string printed = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(code, kExitOk);

    std::vector<std::string> csv = Lines(folder.File("r.csv"));
    ASSERT_EQ(csv.size(), 4u);  // header and three steps
    EXPECT_EQ(csv[0].substr(0, 13), "step,neurons,");
    EXPECT_EQ(csv[3].substr(0, 2), "3,");
    EXPECT_NE(printed.find("pSNR (dB)"), std::string::npos);
    EXPECT_NE(printed.find("\n    3 "), std::string::npos);

    RgbImage saved;
    EXPECT_TRUE(ReadPngFile(folder.File("out.PNG"), saved));
    EXPECT_EQ(saved.width, 64);
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The plain scan and the fast search write the same files, byte for byte:
// coded image, codebooks (full-precision weights), reconstruction and the
// results with every pSNR and rate to 17 digits, in every colour space.
TEST(TrainCommandTest, ReferenceSearchWritesTheSameFiles) {
    TempFolder folder;
    for (const char* space : {"rgb", "ycbcr444", "ycbcr420"}) {
        SCOPED_TRACE(space);
        for (const char* mode : {"plain", "fast"}) {
            std::vector<std::string> arguments = {TestData("photo64-b.png"), "--color-space", space,
                                                  "--block", "3,4,5", "--radius", "0.05,0.2,0.1",
                                                  "--alfa", "0.3,0.1,1", "--steps", "3,2,3",
                                                  "--results", folder.File(std::string(mode) + ".csv")};
            for (const char* extension : {".mqc", ".cod", ".png"})
                arguments.insert(arguments.end(), {"-o", folder.File(mode + std::string(extension))});
            if (std::string(mode) == "plain") arguments.push_back("--reference-search");
            ::testing::internal::CaptureStdout();
            ASSERT_EQ(RunCommandLine(WithCommand("train", arguments)), kExitOk);
            ::testing::internal::GetCapturedStdout();
        }
        for (const char* extension : {".csv", ".mqc", ".cod", ".png"}) {
            const std::string plain = Contents(folder.File(std::string("plain") + extension));
            EXPECT_FALSE(plain.empty()) << extension;
            EXPECT_EQ(plain, Contents(folder.File(std::string("fast") + extension))) << extension;
        }
    }
}

// The measures' columns follow the step's; pSNR only leaves SSIM and MS-SSIM
// empty, and decoding against the source gives the step's figures back.
TEST(TrainCommandTest, MeasuresColumnsAndDecodingAgainstTheSource) {
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo500-tiger.png"), "--block", "8", "--steps", "1", "--entropy",
                              "huffman", "--results", folder.File("all.csv"), "-o", folder.File("t.mqc"), "-o",
                              folder.File("t.huf")}),
              kExitOk);
    ASSERT_EQ(RunCommandLine({"train", TestData("photo500-tiger.png"), "--measures", "psnr", "--results",
                              folder.File("psnr.csv")}),
              kExitOk);
    ASSERT_EQ(RunCommandLine({"decode", folder.File("t.mqc"), "--reference", TestData("photo500-tiger.png"),
                              "--results", folder.File("decoded.csv")}),
              kExitOk);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("MS-SSIM"), std::string::npos);

    const std::vector<std::string> header = CsvFields(Lines(folder.File("all.csv"))[0]);
    ASSERT_EQ(header.size(), 31u);
    EXPECT_EQ(header[16], "bpp");
    EXPECT_EQ(header[22], "msssim");
    EXPECT_EQ(header[28], "header_bytes");
    EXPECT_EQ(header[29], "butteraugli");
    EXPECT_EQ(header[30], "butteraugli_3norm");
    const std::vector<std::string> all = CsvFields(Lines(folder.File("all.csv"))[1]);
    ASSERT_EQ(all.size(), 31u);
    EXPECT_EQ(all[29] + all[30], "");  // Butteraugli only when asked for
    const std::int64_t mqc = FileSize(folder.File("t.mqc"));
    EXPECT_EQ(std::stoll(all[26]) + std::stoll(all[27]) + std::stoll(all[28]), mqc);
    EXPECT_EQ(all[16], FormatC("%.17g", 8.0 * static_cast<double>(mqc) / (500 * 500)));
    EXPECT_EQ(all[17], FormatC("%.17g", 8.0 * static_cast<double>(FileSize(folder.File("t.huf"))) / (500 * 500)));
    for (int k = 18; k <= 25; ++k) EXPECT_FALSE(all[static_cast<std::size_t>(k)].empty()) << header[k];

    const std::vector<std::string> psnr = CsvFields(Lines(folder.File("psnr.csv"))[1]);
    for (int k = 18; k <= 25; ++k) EXPECT_TRUE(psnr[static_cast<std::size_t>(k)].empty()) << header[k];
    EXPECT_EQ(psnr[17], "");  // no lossless stage
    for (int k : {5, 6, 16, 26, 27, 28}) EXPECT_EQ(psnr[static_cast<std::size_t>(k)], all[static_cast<std::size_t>(k)]);

    const std::vector<std::string> decoded = CsvFields(Lines(folder.File("decoded.csv"))[1]);
    EXPECT_EQ(decoded[0], "0");
    for (int k : {5, 6, 7, 8, 9, 16, 18, 22, 26, 27, 28})
        EXPECT_EQ(decoded[static_cast<std::size_t>(k)], all[static_cast<std::size_t>(k)]) << header[k];
}

// Butteraugli's columns hold what the library itself says of the written
// PNG against the source, called here directly; its other columns are
// those of the default measures.
TEST(TrainCommandTest, ButteraugliIsTheLibrarysOwnDistanceOfTheWrittenPng) {
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    for (const char* measures : {"all", "butteraugli"})
        ASSERT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--block", "4", "--measures", measures,
                                  "--results", folder.File(std::string(measures) + ".csv"), "-o",
                                  folder.File(std::string(measures) + ".png")}),
                  kExitOk);
    ::testing::internal::GetCapturedStdout();
    const std::vector<std::string> all = CsvFields(Lines(folder.File("all.csv"))[1]);
    const std::vector<std::string> with = CsvFields(Lines(folder.File("butteraugli.csv"))[1]);
    ASSERT_EQ(with.size(), 31u);
    for (std::size_t k = 0; k < 29; ++k) EXPECT_EQ(with[k], all[k]) << k;

    RgbImage source, written;
    ASSERT_TRUE(ReadPngFile(TestData("photo64-a.png"), source));
    ASSERT_TRUE(ReadPngFile(folder.File("butteraugli.png"), written));
    const auto packed = [](const RgbImage& image) {
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(image.height); ++y)
            for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(image.width); ++x)
                for (const Plane* plane : {&image.red, &image.green, &image.blue})
                    bytes.push_back(static_cast<std::uint8_t>((*plane)[y][x]));
        return bytes;
    };
    const std::vector<std::uint8_t> a = packed(source), b = packed(written);
    JxlButteraugliApi* api = JxlButteraugliApiCreate(nullptr);
    ASSERT_NE(api, nullptr);
    const JxlPixelFormat format = {3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlButteraugliResult* result = JxlButteraugliCompute(api, 64, 64, &format, a.data(), a.size(), &format, b.data(), b.size());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(with[29], FormatC("%.17g", static_cast<double>(JxlButteraugliResultGetMaxDistance(result))));
    EXPECT_EQ(with[30], FormatC("%.17g", static_cast<double>(JxlButteraugliResultGetDistance(result, 3.0f))));
    EXPECT_GT(std::stod(with[29]), std::stod(with[30]));  // the max norm bounds every p-norm
    JxlButteraugliResultDestroy(result);
    JxlButteraugliApiDestroy(api);
}

// Without a lossless stage its rates are not measured: empty in the CSV and
// in the table, as decode and apply leave them, never a rate of 0.
TEST(TrainCommandTest, UnmeasuredLosslessRatesStayEmpty) {
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--results", folder.File("plain.csv"), "-o",
                              folder.File("a.mqc")}),
              kExitOk);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--entropy", "arithmetic", "--results",
                              folder.File("art.csv")}),
              kExitOk);
    ASSERT_EQ(RunCommandLine({"decode", folder.File("a.mqc"), "--reference", TestData("photo64-a.png"), "--results",
                              folder.File("decoded.csv")}),
              kExitOk);
    ::testing::internal::GetCapturedStdout();

    const std::vector<std::string> plain = CsvFields(Lines(folder.File("plain.csv"))[1]);
    const std::vector<std::string> art = CsvFields(Lines(folder.File("art.csv"))[1]);
    const std::vector<std::string> decoded = CsvFields(Lines(folder.File("decoded.csv"))[1]);
    for (std::size_t k : {13u, 14u, 17u}) {
        EXPECT_EQ(plain[k], "") << k;
        EXPECT_EQ(decoded[k], "") << k;
        EXPECT_NE(art[k], "") << k;
    }
    EXPECT_EQ(printed.find("0.00%"), std::string::npos) << printed;
}

TEST(TrainCommandTest, ExitCodesTellBadFilesFromBadUsage) {
    TempFolder folder;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"train", TestData("refuse/gray4-32.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", folder.File("absent.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--results", folder.File("missing/r.csv")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--steps", "many"}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "-o", folder.File("out.bmp")}), kExitUsage);
    std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("gray4-32.png"), std::string::npos);
    EXPECT_NE(messages.find("absent.png"), std::string::npos);
}

// A file damaged after its header is found while the first step trains: the
// command fails like any bad file, and a results file from before stays.
TEST(TrainCommandTest, AnImageDamagedMidwayFailsAndLeavesTheResultsFileAlone) {
    TempFolder folder;
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(ReadWholeFile(TestData("photo500-tiger.png"), png));
    png.resize(png.size() / 2);
    const std::string cut = folder.File("cut.png");
    ASSERT_TRUE(WriteFileAtomically(cut, png));
    const std::string results = folder.File("r.csv");
    const std::vector<std::uint8_t> earlier = {'k', 'e', 'p', 't', '\n'};
    ASSERT_TRUE(WriteFileAtomically(results, earlier));
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({"train", cut, "--results", results, "-o", folder.File("out.mqc")}), kExitBadFile);
    const std::string table = ::testing::internal::GetCapturedStdout();
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("cut.png: damaged PNG"), std::string::npos) << messages;
    EXPECT_EQ(table, "");
    std::vector<std::uint8_t> kept;
    ASSERT_TRUE(ReadWholeFile(results, kept));
    EXPECT_EQ(kept, earlier);
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.mqc")));
}

}  // namespace
}  // namespace pictora::cli
