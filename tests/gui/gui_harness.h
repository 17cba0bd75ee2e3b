#pragma once
// In-process driver for GUI tests: creates the frame as WinMain does, sends commands, pumps
// messages until idle, answers modal dialogs and message boxes by control id, reads texts.
#include <windows.h>

#include "shell/plot_record.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct DialogAnswer {
    std::vector<std::pair<int, std::wstring>> texts;  // control id, text to set
    std::vector<std::pair<int, bool>> checks;         // control id, checked
    int button = IDOK;                                // pressed last
    std::function<void(HWND)> inspect;                // called before anything is set
};

// What a dialog or message box showed when it was answered.
struct SeenDialog {
    std::wstring caption;
    std::wstring message;  // a message box's text; empty for dialogs
    bool expected = true;  // false: no answer was queued, so it was cancelled
};

HWND CreateTestFrame();
void DestroyTestFrame();

// Processes every queued message; returns when the queue stays empty. A quit message is
// swallowed and its exit code kept for QuitCode().
void PumpMessages();
int QuitCode();  // -1 until a quit message arrived

LRESULT SendCommand(UINT id);

// Queues an answer for the next modal dialog or message box the program opens.
void AnswerNextDialog(DialogAnswer answer);
// Dialogs answered (or cancelled because nothing was queued) since the last call.
std::vector<SeenDialog> TakeSeenDialogs();

// Answers the next dialog, which must be the system's file dialog titled `caption`, with `path`,
// as a user typing it and pressing OK.
void AnswerFileDialog(const std::wstring& path, const wchar_t* caption);

std::wstring WindowText(HWND window);
std::wstring StatusText(int part);
std::wstring MenuItemText(HMENU menu, UINT id);

// A test on a fresh frame; dialogs seen while it was made are forgotten.
class FrameFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(CreateTestFrame(), nullptr);
        TakeSeenDialogs();
    }
    void TearDown() override { DestroyTestFrame(); }
};

// A fresh frame with one derived plot view showing a four-point curve.
class PlotWindowFixture : public FrameFixture {
protected:
    void SetUp() override;
    PlotRecord plot_;
};
