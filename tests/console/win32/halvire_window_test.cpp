// halvire in its window under Wine: keys posted to the window carry the dialogue from the start
// screen through a model, the model's autocovariance plot and the model file, asked before it
// replaces the old one, to the exit.
#include "../scratch_folder.h"

#include "console/halvire.h"
#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/win32/pc_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Stopped {
    int code;
};

void ThrowStop(int code)
{
    throw Stopped{code};
}

TEST(HalvireWindow, RunsItsDialogueToTheExit)
{
    const ScratchFolder folder("halvire-window");
    folder.Write("win.mod", "old\r\n");

    PcReset();
    HWND window = PcWindowOpen(GetModuleHandleW(nullptr), L"halvire window test", ThrowStop);
    ASSERT_NE(window, nullptr);
    // Start screen, introduction, "Enter model only", a white-noise model from the keyboard, N
    // kept; "Plot model ACVF" (300 lags: the scale line's pause, Continue); the model file over
    // the old one, kept at No and replaced at Yes, and its pause; the exit.
    const std::string keys = "aaee0\r0\r0\r2.5\rn" "lac" "fwin.mod\rnwin.mod\rya" "x";
    for (char c : keys) PostMessageW(window, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    bool returned = false;
    try {
        HalvireMain();
        returned = true;
    } catch (const Stopped&) {
    }
    EXPECT_TRUE(returned);
    EXPECT_EQ(PcVideoMode(), kPcTextMode);
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes("win.mod", bytes), 1);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), " 0\r\n 0\r\n 0\r\n 2.5\r\n");
    PcWindowClose(window);
}

}  // namespace
