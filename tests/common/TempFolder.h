#pragma once

#include <atomic>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace pictora::testing {

// A fresh folder per use, removed afterwards; unique across processes and
// tests running at the same time.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("pictora-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
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
