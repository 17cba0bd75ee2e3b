#include "shell/win32/common_dialogs.h"

#include <gtest/gtest.h>

#include "gui_harness.h"
#include "shell/win32/frame.h"

namespace {

class CommonDialogsTest : public FrameFixture {};

}  // namespace

TEST_F(CommonDialogsTest, CancelledDialogsChangeNothing)
{
    std::string name = "kept";
    EXPECT_EQ(GetProjectFileName(FrameWindow, name, kOpenFileMode), 0);
    EXPECT_EQ(GetProjectFileName(FrameWindow, name, 0), 0);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(ChoosePlotColor(FrameWindow, RGB(10, 20, 30)), RGB(10, 20, 30));
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].caption, L"Open file");
    EXPECT_EQ(seen[1].caption, L"Save KELO file");
}

TEST_F(CommonDialogsTest, ColourDialogStartsFromTheGivenColourAndReturnsTheTypedOne)
{
    bool opened = false;
    DialogAnswer answer;
    answer.inspect = [&opened](HWND dialog) {
        opened = true;
        // The colour dialog starts from the given colour: its red, green and blue edits (706..708).
        EXPECT_EQ(WindowText(GetDlgItem(dialog, 706)), L"10");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, 707)), L"20");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, 708)), L"30");
    };
    answer.texts = {{706, L"40"}, {707, L"50"}, {708, L"60"}};
    AnswerNextDialog(answer);
    EXPECT_EQ(ChoosePlotColor(FrameWindow, RGB(10, 20, 30)), RGB(40, 50, 60));
    EXPECT_TRUE(opened);
}
