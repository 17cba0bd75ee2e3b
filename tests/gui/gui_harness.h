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
    bool ownerless = false;                           // a message box expected without owner
};

// What a dialog or message box showed when it was answered.
struct SeenDialog {
    std::wstring caption;
    std::wstring message;  // a message box's text; empty for dialogs
    bool expected = true;  // false: no answer was queued, so it was cancelled
    HWND owner = nullptr;
};

HWND CreateTestFrame();
void DestroyTestFrame();

// Processes every queued message; returns when the queue stays empty. A quit message is
// swallowed and its exit code kept for QuitCode().
void PumpMessages();
int QuitCode();  // -1 until a quit message arrived

LRESULT SendCommand(UINT id);

// Queues an answer for the next modal dialog or message box the program opens. A message box
// without an owner or without a caption fails the test. An answer still
// queued when the frame is destroyed fails the test: its dialog never opened, so whatever its
// inspect callback checks was never checked.
void AnswerNextDialog(DialogAnswer answer);
// Queues a press of `button` for the next dialog or message box.
void AnswerWith(int button);
// Forgets the answers still queued and returns how many there were: for a test whose answer is
// a guard against a dialog that must not open.
size_t DropUnusedAnswers();
// Dialogs answered (or cancelled because nothing was queued) since the last call.
std::vector<SeenDialog> TakeSeenDialogs();

// An answer pressing `button` after typing `texts` and setting `checks`, in that order.
DialogAnswer Press(int button, std::vector<std::pair<int, std::wstring>> texts = {},
                   std::vector<std::pair<int, bool>> checks = {});

// The text of control `id` of a dialog.
std::wstring ItemText(HWND dialog, int id);

// Answers the next dialog, which must be the system's file dialog titled `caption`, with `path`,
// as a user typing it and pressing OK.
void AnswerFileDialog(const std::wstring& path, const wchar_t* caption);

std::wstring WindowText(HWND window);
std::wstring StatusText(int part);
std::wstring MenuItemText(HMENU menu, UINT id);

// Whether the top `height` rows of `child`, an MDI child (its whole window when height < 0), lie
// inside its MDI client with no visible sibling in front of them.
bool ShownInClient(HWND child, int height = -1);

// Saves what the screen shows of `window` (with its frame) as gui-screens/<name>.bmp beside the
// test program, for a person to look at; false when it could not be written.
bool SaveScreenshot(HWND window, const std::string& name);

// File > Project > New answered with `kind` (1 univariate, 2 multivariate); returns the current
// project afterwards.
int32_t NewProjectOfKind(int kind);

struct UnivariateProject;
// New (with the project-type dialog answered), then `values` imported: a current univariate
// project holding them at indices 1..n. Dialogs seen meanwhile are forgotten.
UnivariateProject& NewUnivariateProject(const std::vector<double>& values);

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
