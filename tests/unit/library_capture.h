#pragma once
// Test fixture for the numerical library: captures what it writes to its units and every call of
// its stop hook, and restores the default writer and hook afterwards.
#include "numlib/error_stack.h"
#include "numlib/machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class LibraryCapture : public ::testing::Test {
protected:
    std::string output;               // everything written, all units
    std::vector<std::string> stops;   // the text passed to each stop

    void SetUp() override
    {
        SetLibraryWriter(&LibraryCapture::Write, this);
        SetLibraryStopHook(&LibraryCapture::Stop, this);
    }
    void TearDown() override
    {
        SetLibraryWriter(nullptr, nullptr);
        SetLibraryStopHook(nullptr, nullptr);
    }
    void Clear()
    {
        output.clear();
        stops.clear();
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
};
