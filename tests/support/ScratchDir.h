// A private folder for one test, named after the test and the process (test processes run in parallel),
// removed again when the test ends.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string test = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
        path_ = std::filesystem::temp_directory_path() / ("gravitas-" + test + "-" + std::to_string(::getpid()));
        Remove();
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { Remove(); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& leaf) const { return path_ / leaf; }
    std::string prefix() const { return path_.string() + "/"; }  // for paths made by concatenation
private:
    void Remove() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
    std::filesystem::path path_;
};
