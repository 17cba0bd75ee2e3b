#pragma once
// The current folder of a console test: the programs list, read and write the current folder, so
// each test makes a fresh folder of its own (NewTempFolder: test runs of several checkouts share
// the temporary folder) current for its life and restores the old one after.
#include "platform/file_bytes.h"
#include "tests/unit/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) : path_(NewTempFolder("console-" + name))
    {
        std::error_code ignored;
        std::filesystem::current_path(path_, ignored);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(old_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Write(const std::string& name, const std::string& text) const
    {
        ASSERT_EQ(ReplaceFileBytes(name, std::vector<unsigned char>(text.begin(), text.end())), 1) << name;
    }
    // The file's text, or "" when it cannot be read.
    std::string Read(const std::string& name) const
    {
        std::vector<unsigned char> bytes;
        if (ReadFileBytes(name, bytes) != 1)
            return {};
        return std::string(bytes.begin(), bytes.end());
    }

private:
    std::filesystem::path old_ = std::filesystem::current_path();
    std::filesystem::path path_;
};
