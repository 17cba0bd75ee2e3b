#include "shell/win32/frame_commands.h"

#include <gtest/gtest.h>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/win32/frame.h"

namespace {

class FrameCommandsTest : public FrameFixture {};

}  // namespace

TEST_F(FrameCommandsTest, AboutShowsDialog109OverTheFrameEveryTime)
{
    for (int button : {IDOK, IDCANCEL, IDOK}) {
        DialogAnswer answer;
        answer.button = button;
        answer.inspect = [](HWND dialog) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), FrameWindow);
            EXPECT_FALSE(IsWindowEnabled(FrameWindow));
            EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr);
            EXPECT_FALSE(WindowText(GetDlgItem(dialog, IDC_ABOUT_TEXT)).empty());
        };
        AnswerNextDialog(answer);
        EXPECT_EQ(SendCommand(IDM_ABOUT), 0);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"KELO:: Forecast 6.0");
        EXPECT_TRUE(seen[0].expected);
        EXPECT_TRUE(IsWindowEnabled(FrameWindow));
    }
}
