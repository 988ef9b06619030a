#include "support/FileIO.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pictora {
namespace {

class FileIOTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("pictora-fileio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Path(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(FileIOTest, WritesAndReadsBack) {
    std::vector<std::uint8_t> bytes{1, 2, 3, 250};
    ASSERT_TRUE(WriteFileAtomically(Path("a.bin"), bytes));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadWholeFile(Path("a.bin"), back));
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(FileSize(Path("a.bin")), 4);
}

TEST_F(FileIOTest, FailedWriteLeavesTheOldFileAndNoLeftovers) {
    std::vector<std::uint8_t> good{9, 9};
    ASSERT_TRUE(WriteFileAtomically(Path("keep.bin"), good));
    Status status = WriteFileAtomically(Path("missing/keep.bin"), good);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("missing"), std::string::npos);

    // A target that is a folder cannot be replaced; the folder stays as it was.
    std::filesystem::create_directories(Path("folder"));
    EXPECT_FALSE(WriteFileAtomically(Path("folder"), good));
    EXPECT_TRUE(std::filesystem::is_directory(Path("folder")));
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder_)) ++entries;
    EXPECT_EQ(entries, 2);  // keep.bin and folder, no temporary files
}

TEST_F(FileIOTest, ReadFailuresNameTheFile) {
    std::vector<std::uint8_t> bytes{5};
    Status status = ReadWholeFile(Path("absent.bin"), bytes);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("absent.bin"), std::string::npos);
    EXPECT_EQ(bytes.size(), 1u);  // untouched on failure
    EXPECT_EQ(FileSize(Path("absent.bin")), -1);

    ASSERT_TRUE(WriteFileAtomically(Path("big.bin"), std::vector<std::uint8_t>(100, 1)));
    EXPECT_FALSE(ReadWholeFile(Path("big.bin"), bytes, 99));
}

}  // namespace
}  // namespace pictora
