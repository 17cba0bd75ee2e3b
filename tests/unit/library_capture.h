#pragma once
// Test fixture for the numerical library: captures what it writes to its units and every call of
// its stop and warning hooks, and restores the default writer and hooks afterwards.
#include "numlib/error_stack.h"
#include "numlib/machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class LibraryCapture : public ::testing::Test {
protected:
    std::string output;               // everything written, all units
    std::vector<std::string> stops;   // the text passed to each stop
    std::vector<std::string> warnings;  // the text passed to each call of the warning hook

    void SetUp() override
    {
        SetLibraryWriter(&LibraryCapture::Write, this);
        SetLibraryStopHook(&LibraryCapture::Stop, this);
        SetLibraryWarningHook(&LibraryCapture::Warn, this);
    }
    void TearDown() override
    {
        SetLibraryWriter(nullptr, nullptr);
        SetLibraryStopHook(nullptr, nullptr);
        SetLibraryWarningHook(nullptr, nullptr);
    }
    void Clear()
    {
        output.clear();
        stops.clear();
        warnings.clear();
    }

private:
    static void Write(int, std::string_view text, void* self)
    {
        static_cast<LibraryCapture*>(self)->output += text;
    }
    static void Stop(const std::string& messages, void* self)
    {
        static_cast<LibraryCapture*>(self)->stops.push_back(messages);
    }
    static void Warn(const std::string& text, void* self)
    {
        static_cast<LibraryCapture*>(self)->warnings.push_back(text);
    }
};
