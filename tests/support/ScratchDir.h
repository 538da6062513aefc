#pragma once
// A private folder for one test. Test processes run in parallel, so every
// test gets its own folder, named after the test and the process, removed
// again when the test ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "gravitas-";
        if (info) {
            name.append(info->test_suite_name()).append(".").append(info->name());
        } else {
            name.append("test");
        }
        name.append("-").append(std::to_string(::getpid()));
        path_ = std::filesystem::temp_directory_path() / name;
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& leaf) const { return path_ / leaf; }
    // With a trailing slash, for building paths by concatenation.
    std::string prefix() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};
