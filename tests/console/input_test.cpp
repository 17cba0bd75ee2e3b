// Keyboard, mouse and typed free-format input through the headless PC, in this process (nothing
// here stops the program, and every script holds the inputs its reads need).
#include "console/screen.h"
#include "console/screen_io.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class InputTest : public testing::Test {
protected:
    void Script(const std::string& text)
    {
        HeadlessScript script;
        std::string error;
        ASSERT_EQ(ParseHeadlessScript(text, script, error), 1) << error;
        PcInstallHeadless(script, "");
        PcReset();
        SetGraphicsMode(16);
        SetDrawColor(9);
    }

    static std::pair<int, int> Cursor()
    {
        int column = 0, row = 0;
        BiosGetCursor(column, row);
        return {column, row};
    }
};

TEST_F(InputTest, KeysArriveAsCharactersAndExtendedCodes)
{
    Script("key a\nkey up\nkey down\nkey esc\nkey enter\nkey f10\nkey space");
    const int expected[] = {'a', 0, 72, 0, 80, 27, 13, 0, 68, ' '};
    for (int code : expected) {
        char key = 1;
        ReadKey(key);
        EXPECT_EQ(static_cast<unsigned char>(key), code);
    }
    EXPECT_EQ(HeadlessInputsLeft(), 0);
}

TEST_F(InputTest, WaitKeyReturnsOnAKeyOrAClick)
{
    struct Case {
        const char* name;
        const char* script;
        char next;  // what ReadKey gives after WaitKey
    };
    const Case cases[] = {
        {"a click ends the wait and the key typed later still waits", "click 10 20\nkey a", 'a'},
        {"a key ends the wait and is consumed", "key x\nkey y", 'y'},
        {"an extended key is consumed with its code", "key down\nkey y", 'y'},
    };
    for (const Case& c : cases) {
        Script(c.script);
        WaitKey();
        EXPECT_EQ(HeadlessInputsLeft(), 1) << c.name;
        char key = 0;
        ReadKey(key);
        EXPECT_EQ(key, c.next) << c.name;
    }
}

TEST_F(InputTest, ReadLineTakesWhatFitsWithEchoAndBackspace)
{
    struct Case {
        const char* name;
        std::string script;
        size_t declared;
        std::string text;  // without the padding
        std::vector<std::string> echo;
    };
    const std::string typed130(130, 'x');
    const Case cases[] = {
        {"at most 127 characters into a text of 200", "line " + typed130, 200, std::string(127, 'x'),
         {std::string(80, 'x'), std::string(47, 'x')}},
        {"the text's own length bounds it", "line abcdefgh", 5, "abcde", {"abcde"}},
        {"backspace removes the last character and its echo",
         "key a\nkey b\nkey backspace\nkey c\nkey enter", 24, "ac", {"ac"}},
        {"extended keys are ignored", "key a\nkey left\nkey b\nkey enter", 24, "ab", {"ab"}},
        {"an empty line", "line", 24, "", {""}},
    };
    for (const Case& c : cases) {
        Script(c.script);
        std::string text(c.declared, '?');
        ReadLine(text, 0);
        EXPECT_EQ(text, c.text + std::string(c.declared - c.text.size(), ' ')) << c.name;
        for (size_t row = 0; row < c.echo.size(); ++row)
            EXPECT_EQ(PcShadowRow(static_cast<int>(row)), c.echo[row]) << c.name;
        EXPECT_EQ(Cursor(), std::make_pair(0, static_cast<int>(c.echo.size()))) << c.name;
        EXPECT_EQ(HeadlessInputsLeft(), 0) << c.name;
    }
}

TEST_F(InputTest, PressesAreReportedOnceWithTheLastPosition)
{
    Script("click 100 200\nclick 639 349");
    int x = -1, y = -1, count = -1;
    EXPECT_FALSE(KeyWaiting());
    MouseButtonPress(x, y, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_FALSE(KeyWaiting());
    MouseButtonPress(x, y, count);
    EXPECT_EQ(std::make_tuple(x, y, count), std::make_tuple(639, 349, 1));
    MouseButtonPress(x, y, count);
    EXPECT_EQ(count, 0);
}

TEST_F(InputTest, PointerFollowsTheDriversShowCount)
{
    Script("");
    MouseReset();
    EXPECT_FALSE(PcPointerVisible());
    MouseShow();
    EXPECT_TRUE(PcPointerVisible());
    MouseShow();  // never above 0
    MouseHide();
    EXPECT_FALSE(PcPointerVisible());
    MouseHide();
    MouseShow();
    EXPECT_FALSE(PcPointerVisible());
    MouseShow();
    EXPECT_TRUE(PcPointerVisible());
}

TEST_F(InputTest, TypedFreeFormatReads)
{
    struct Case {
        const char* name;
        const char* script;
        int count;
        bool integers;
        int status;
        std::vector<double> values;  // expected after the read; -1 marks a value left as it was
    };
    const Case cases[] = {
        {"values over several lines", "line 1.5\nline 2.5 3.5", 3, false, 1, {1.5, 2.5, 3.5}},
        {"more numbers than asked are refused", "line 4 5 6", 2, false, -1, {-1, -1}},
        {"blank lines are passed over", "line\nline   \nline 7", 1, false, 1, {7}},
        {"repeat counts", "line 2*0.5", 2, false, 1, {0.5, 0.5}},
        {"an unreadable entry", "line 1.5 abc", 2, false, -1, {-1, -1}},
        {"NaN is unreadable", "line NaN", 1, false, -1, {-1}},
        {"Inf is unreadable", "line -Infinity", 1, false, -1, {-1}},
        {"past the float range is unreadable", "line 1e39", 1, false, -1, {-1}},
        {"the float range's edge reads", "line 3.4028234e38", 1, false, 1, {3.4028234e38}},
        {"integers", "line 11 -3", 2, true, 1, {11, -3}},
        {"a real is not an integer", "line 3.5", 1, true, -1, {-1}},
        {"an integer beyond 32 bits", "line 2147483648", 1, true, -1, {-1}},
    };
    for (const Case& c : cases) {
        Script(c.script);
        int status = 0;
        std::vector<double> got;
        if (c.integers) {
            std::vector<int32_t> values(static_cast<size_t>(c.count), -1);
            status = ScreenReadInts(c.count, values.data());
            got.assign(values.begin(), values.end());
        } else {
            std::vector<float> values(static_cast<size_t>(c.count), -1.0f);
            status = ScreenReadSingles(c.count, values.data());
            got.assign(values.begin(), values.end());
        }
        EXPECT_EQ(status, c.status) << c.name;
        ASSERT_EQ(got.size(), c.values.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_FLOAT_EQ(static_cast<float>(got[i]), static_cast<float>(c.values[i])) << c.name << " " << i;
        EXPECT_EQ(HeadlessInputsLeft(), 0) << c.name;
    }
}

TEST_F(InputTest, ATypedReadStartsWithANewLineAndEchoesBehindItsPrompt)
{
    Script("line 7 8\nline 10");
    ScreenWrite("(2X,'Order = ',\\)", {});
    int32_t values[2] = {0, 0};
    ASSERT_EQ(ScreenReadInts(2, values), 1);
    EXPECT_EQ(values[0], 7);
    EXPECT_EQ(values[1], 8);
    EXPECT_EQ(PcShadowRow(0), "  Order = 7 8");
    ASSERT_EQ(ScreenReadInts(1, values), 1);
    EXPECT_EQ(values[0], 10);
    EXPECT_EQ(PcShadowRow(1), "10");
}

}  // namespace
