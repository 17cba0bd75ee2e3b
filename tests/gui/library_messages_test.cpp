#include "shell/win32/library_messages.h"

#include <gtest/gtest.h>

#include "gui_harness.h"
#include "numlib/error_stack.h"
#include "numlib/pd_inverse.h"
#include "shell/command_table.h"
#include "shell/win32/frame.h"

namespace {

constexpr UINT kInvertCommand = 61001;

// A command that inverts an ill-conditioned matrix three times; each call warns.
double inverses[3][4];
int inverted = 0;

void InvertThreeTimes()
{
    const double nearlySingular[4] = {1, 0, 0, 1e-20};
    for (double* inverse : inverses) {
        DLINDS(2, nearlySingular, 2, inverse, 2);
        if (!LibraryCallAbandoned()) ++inverted;
    }
}

class LibraryMessagesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(CreateTestFrame(), nullptr);
        InstallLibraryMessageHook();
        TakeSeenDialogs();
    }
    void TearDown() override
    {
        RegisterCommand(kInvertCommand, GUARD_NONE, nullptr);
        SetLibraryStopHook(nullptr, nullptr);
        SetLibraryWarningHook(nullptr, nullptr);
        DestroyTestFrame();
    }
};

}  // namespace

TEST_F(LibraryMessagesTest, StoppingErrorIsShownAndTheProgramGoesOn)
{
    const double notPositiveDefinite[4] = {1, 2, 2, 1};
    double ainv[4] = {7, 7, 7, 7};
    DialogAnswer answer;
    answer.button = IDOK;
    AnswerNextDialog(answer);
    DLINDS(2, notPositiveDefinite, 2, ainv, 2);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].expected);
    EXPECT_EQ(seen[0].caption, L"KELO::Error");
    EXPECT_EQ(seen[0].message,
              L"FATAL ERROR 2 from DLINDS.  The leading 2 by 2 submatrix of the input matrix is not positive "
              L"definite.");
    EXPECT_TRUE(LibraryCallAbandoned());

    // The program is still running: the frame answers, and the next library call works.
    EXPECT_TRUE(IsWindow(FrameWindow));
    PumpMessages();
    EXPECT_EQ(QuitCode(), -1);
    const double twice[4] = {2, 0, 0, 2};
    DLINDS(2, twice, 2, ainv, 2);
    EXPECT_FALSE(LibraryCallAbandoned());
    EXPECT_DOUBLE_EQ(ainv[0], 0.5);
    EXPECT_DOUBLE_EQ(ainv[3], 0.5);
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

TEST_F(LibraryMessagesTest, WarningsShowOneBoxPerCommandAndTheResultsStay)
{
    RegisterCommand(kInvertCommand, GUARD_NONE, InvertThreeTimes);
    const std::wstring warning =
        L"WARNING ERROR 1 from DLINDS.  The matrix is too ill-conditioned. An estimate of the reciprocal of its "
        L"L1 condition number is RCOND = 1.000000000000000D-20.  The inverse might not be accurate.";
    for (int command = 1; command <= 2; ++command) {
        SCOPED_TRACE(command);
        inverted = 0;
        for (double* inverse : inverses)
            for (int k = 0; k < 4; ++k) inverse[k] = -1;
        DialogAnswer ok;
        ok.button = IDOK;
        ok.inspect = [](HWND box) { EXPECT_EQ(GetWindow(box, GW_OWNER), FrameWindow); };
        AnswerNextDialog(ok);
        EXPECT_EQ(SendCommand(kInvertCommand), 0);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 1u);  // one box for the command's three warnings, again for the next
        EXPECT_TRUE(seen[0].expected);
        EXPECT_EQ(seen[0].caption, L"KELO::Warning");
        EXPECT_EQ(seen[0].message, warning);
        // The command went on after the box and kept every result.
        EXPECT_EQ(inverted, 3);
        for (const double* inverse : inverses) {
            EXPECT_DOUBLE_EQ(inverse[0], 1.0);
            EXPECT_DOUBLE_EQ(inverse[3], 1e20);
            EXPECT_EQ(inverse[1], 0.0);
        }
    }

    // A library call outside any command shows its warning too.
    DialogAnswer ok;
    ok.button = IDOK;
    AnswerNextDialog(ok);
    const double nearlySingular[4] = {1, 0, 0, 1e-20};
    double inverse[4] = {};
    DLINDS(2, nearlySingular, 2, inverse, 2);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Warning");
    EXPECT_DOUBLE_EQ(inverse[3], 1e20);
}
