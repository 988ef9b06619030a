#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace pictora::testing {

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "pictora-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised tests have slashes in their names
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string TestData(const std::string& name) { return std::string(PICTORA_TEST_DATA_DIR) + "/" + name; }

}  // namespace pictora::testing
