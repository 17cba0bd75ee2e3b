#include "shell/win32/frame_commands.h"

#include <gtest/gtest.h>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "univariate/univariate_project.h"

namespace {

class FrameCommandsTest : public FrameFixture {
protected:
    void TearDown() override
    {
        RegisterCommand(kTestCommand, GUARD_NONE, nullptr);
        FrameFixture::TearDown();
    }
    static constexpr UINT kTestCommand = 61001;
};

// What the test command saw when the frame ran it.
UnivariateProject* seenProject = nullptr;
HWND seenTarget = nullptr;
int runs = 0;

void RecordCommand(UnivariateProject& project)
{
    seenProject = &project;
    seenTarget = CommandTarget;
    ++runs;
}

}  // namespace

// A command a module registers reaches its handler through the frame's WM_COMMAND with the
// current project's record and the focused view as CommandTarget; under another kind it is
// refused, and once out of the table it runs nothing.
TEST_F(FrameCommandsTest, RegisteredCommandRunsWithTheCurrentRecordAndTarget)
{
    runs = 0;
    RegisterUnivariateCommand(kTestCommand, RecordCommand);
    AnswerNextDialog(DialogAnswer{});
    SendCommand(IDM_PROJECT_NEW);
    ASSERT_EQ(CurrentProject, 1);
    UnivariateProject* u = ProjectTable[1].univariate;
    ASSERT_NE(u, nullptr);
    HWND data = reinterpret_cast<HWND>(u->dataView.window);
    SetFocus(data);
    PumpMessages();

    EXPECT_EQ(SendCommand(kTestCommand), 0);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seenProject, u);
    EXPECT_EQ(seenTarget, data);

    DialogAnswer multivariate;
    multivariate.checks = {{IDC_PROJECT_UNIVARIATE, false}, {IDC_PROJECT_MULTIVARIATE, true}};
    AnswerNextDialog(multivariate);
    SendCommand(IDM_PROJECT_NEW);
    ASSERT_EQ(CurrentProject, 2);
    ASSERT_EQ(ProjectTable[2].kind, PROJECT_MULTIVARIATE);
    EXPECT_EQ(SendCommand(kTestCommand), 0);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(TakeSeenDialogs().size(), 2u);  // the two project-type dialogs only

    RegisterCommand(kTestCommand, GUARD_NONE, nullptr);
    EXPECT_FALSE(IsCommandRegistered(kTestCommand));
    EXPECT_EQ(SendCommand(kTestCommand), 0);
    EXPECT_EQ(runs, 1);
}

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
