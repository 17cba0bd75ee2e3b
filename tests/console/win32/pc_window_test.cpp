// The console window in this process under Wine: posted keys, typed lines and clicks reach the
// primitives at the right screen pixel, the pointer follows MouseShow and MouseHide, and closing
// the window ends a blocking read with a program stop.
#include "console/screen.h"
#include "platform/pc.h"
#include "platform/pc_view.h"
#include "platform/win32/pc_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Stopped {
    int code;
};

int stopCount = 0;

void ThrowStop(int code)
{
    ++stopCount;
    throw Stopped{code};
}

class ConsoleWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        PcReset();
        window_ = PcWindowOpen(GetModuleHandleW(nullptr), L"console window test", ThrowStop);
        ASSERT_NE(window_, nullptr);
        SetGraphicsMode(16);
        SetDrawColor(9);
    }

    void TearDown() override { PcWindowClose(window_); }

    void PostText(const std::string& text)
    {
        for (char c : text)
            PostMessageW(window_, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    }

    void PostKeyDown(WPARAM key) { PostMessageW(window_, WM_KEYDOWN, key, 1); }

    // Clicks the centre of screen pixel (x, y) as the window shows it.
    void PostClickAt(int x, int y)
    {
        RECT client;
        GetClientRect(window_, &client);
        const PcViewRect view = PcFitView(client.right, client.bottom);
        const int cx = view.left + (2 * x + 1) * view.width / (2 * kPcWidth);
        const int cy = view.top + (2 * y + 1) * view.height / (2 * kPcHeight);
        PostMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
        PostMessageW(window_, WM_LBUTTONUP, 0, MAKELPARAM(cx, cy));
    }

    HWND window_ = nullptr;
};

TEST_F(ConsoleWindowTest, KeysReachReadKeyWithExtendedCodes)
{
    PostText("q");
    PostKeyDown(VK_UP);
    PostKeyDown(VK_DOWN);
    PostText("\x1b");
    const int expected[] = {'q', 0, 72, 0, 80, 27};
    for (int code : expected) {
        char key = 1;
        ReadKey(key);
        EXPECT_EQ(static_cast<unsigned char>(key), code);
    }
}

TEST_F(ConsoleWindowTest, ATypedLineReachesReadLineWithItsEcho)
{
    SetTextCursor(2, 3);
    PostText("3.5 xy\b\r");
    std::string text(24, '?');
    ReadLine(text, 24);
    EXPECT_EQ(text, "3.5 x" + std::string(19, ' '));
    EXPECT_EQ(PcShadowRow(3), "  3.5 x");
}

TEST_F(ConsoleWindowTest, AClickReachesMouseButtonPressAtItsScreenPixel)
{
    struct Case {
        int x, y;
    };
    const Case cases[] = {{123, 200}, {0, 0}, {639, 349}, {320, 14}};
    for (const Case& c : cases) {
        PostClickAt(c.x, c.y);
        EXPECT_FALSE(KeyWaiting());  // waits for the click, which is no key
        int x = -1, y = -1, count = 0;
        MouseButtonPress(x, y, count);
        EXPECT_EQ(count, 1);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
    // WaitKey ends on a click and leaves a later key to its reader.
    PostClickAt(10, 10);
    WaitKey();
    PostText("k");
    char key = 0;
    ReadKey(key);
    EXPECT_EQ(key, 'k');
}

TEST_F(ConsoleWindowTest, ThePointerIsShownOrHiddenAsTheProgramAsks)
{
    auto cursorOverClient = [this] {
        SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    MouseReset();
    EXPECT_EQ(cursorOverClient(), nullptr);
    MouseShow();
    EXPECT_EQ(cursorOverClient(), LoadCursorW(nullptr, IDC_ARROW));
    MouseHide();
    EXPECT_EQ(cursorOverClient(), nullptr);
}

TEST_F(ConsoleWindowTest, ClosingTheWindowEndsABlockingRead)
{
    stopCount = 0;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    bool returned = false;
    int code = -1;
    try {
        char key = 0;
        ReadKey(key);
        returned = true;
    } catch (const Stopped& stop) {
        code = stop.code;
    }
    EXPECT_FALSE(returned);
    EXPECT_EQ(stopCount, 1);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(ConsoleWindowTest, TheWindowShowsTheScreenInFourToThree)
{
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right * 3, client.bottom * 4);
    // What the program drew is what the window paints: a white bar across the screen's middle.
    SetDrawColor(15);
    for (int y = 170; y < 180; ++y)
        DrawLine(0, y, 639, y);
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
    HDC dc = GetDC(window_);
    const COLORREF middle = GetPixel(dc, client.right / 2, client.bottom * 175 / 350);
    const COLORREF top = GetPixel(dc, client.right / 2, 2);
    ReleaseDC(window_, dc);
    EXPECT_EQ(middle, RGB(255, 255, 255));
    EXPECT_EQ(top, RGB(0, 0, 0));
}

}  // namespace
