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

// The check creates nothing and replaces nothing, and refuses what a write
// would fail on.
TEST_F(FileIOTest, CheckingAPathForWritingLeavesEverythingAsItWas) {
    const std::vector<std::uint8_t> kept{7, 7, 7};
    ASSERT_TRUE(WriteFileAtomically(Path("kept.bin"), kept));
    EXPECT_TRUE(CheckWritable(Path("kept.bin")));
    EXPECT_TRUE(CheckWritable(Path("new.bin")));
    std::filesystem::create_directories(Path("folder"));
    const Status folder = CheckWritable(Path("folder"));
    EXPECT_FALSE(folder);
    EXPECT_EQ(folder.subject(), Path("folder"));
    const Status missing = CheckWritable(Path("missing/new.bin"));
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message().find("missing/new.bin"), std::string::npos);

    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadWholeFile(Path("kept.bin"), back));
    EXPECT_EQ(back, kept);
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder_)) ++entries;
    EXPECT_EQ(entries, 2);  // kept.bin and folder
}

TEST_F(FileIOTest, SameFileSeesThroughLinksAndSpellings) {
    ASSERT_TRUE(WriteFileAtomically(Path("a.bin"), std::vector<std::uint8_t>{1}));
    ASSERT_TRUE(WriteFileAtomically(Path("b.bin"), std::vector<std::uint8_t>{1}));
    std::filesystem::create_directories(Path("sub"));
    std::filesystem::create_hard_link(Path("a.bin"), Path("hard.bin"));
    std::filesystem::create_symlink(Path("a.bin"), Path("soft.bin"));
    EXPECT_TRUE(SameFile(Path("a.bin"), Path("a.bin")));
    EXPECT_TRUE(SameFile(Path("a.bin"), Path("sub/../a.bin")));
    EXPECT_TRUE(SameFile(Path("a.bin"), Path("hard.bin")));
    EXPECT_TRUE(SameFile(Path("soft.bin"), Path("a.bin")));
    EXPECT_FALSE(SameFile(Path("a.bin"), Path("b.bin")));  // same bytes, another file
    // Files yet to be written: the same when their canonical paths are.
    EXPECT_TRUE(SameFile(Path("new.bin"), Path("sub/../new.bin")));
    EXPECT_TRUE(SameFile(Path("new.bin"), Path("./new.bin")));
    EXPECT_FALSE(SameFile(Path("new.bin"), Path("sub/new.bin")));
    EXPECT_FALSE(SameFile(Path("new.bin"), Path("a.bin")));
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
