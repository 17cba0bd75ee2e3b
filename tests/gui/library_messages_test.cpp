#include "shell/win32/library_messages.h"

#include <gtest/gtest.h>

#include "gui_harness.h"
#include "numlib/error_stack.h"
#include "numlib/pd_inverse.h"
#include "shell/win32/frame.h"

namespace {

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
        SetLibraryStopHook(nullptr, nullptr);
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
