#include "shell/win32/project_dialogs.h"

#include <gtest/gtest.h>

#include "gui_harness.h"
#include "resources/resource.h"

namespace {

class ProjectDialogsTest : public FrameFixture {};

}  // namespace

TEST_F(ProjectDialogsTest, AskProjectTypeAnswersByTheUnivariateButton)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, bool>> checks;
        int button;
        int kind;
    } const cases[] = {
        {"preset answer", {}, IDOK, 1},
        {"multivariate chosen", {{IDC_PROJECT_UNIVARIATE, false}, {IDC_PROJECT_MULTIVARIATE, true}}, IDOK, 2},
        {"cancelled", {{IDC_PROJECT_UNIVARIATE, false}, {IDC_PROJECT_MULTIVARIATE, true}}, IDCANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogAnswer answer;
        answer.checks = c.checks;
        answer.button = c.button;
        answer.inspect = [](HWND dialog) {
            EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_PROJECT_UNIVARIATE) == BST_CHECKED);
            EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_PROJECT_MULTIVARIATE) == BST_UNCHECKED);
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PROJECT_UNIVARIATE)), L"Univariate");
            EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PROJECT_MULTIVARIATE)), L"Multivariate");
        };
        AnswerNextDialog(answer);
        EXPECT_EQ(AskProjectType(), c.kind);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"Create New Project ");
        EXPECT_TRUE(seen[0].expected);
    }
}

TEST_F(ProjectDialogsTest, ClickingMultivariateSelectsIt)
{
    DialogAnswer answer;
    answer.inspect = [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_PROJECT_MULTIVARIATE, BM_CLICK, 0, 0);
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(AskProjectType(), 2);
}
