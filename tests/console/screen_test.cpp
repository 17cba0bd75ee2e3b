// The screen primitives drawn on the PC in this process: colours, lines, the plot frame, text
// cells, the cursor, scrolling, formatted and free-format output, random numbers.
#include "console/screen.h"
#include "console/screen_io.h"
#include "platform/pc.h"
#include "platform/pc_font.h"
#include "platform/pc_headless.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class ScreenTest : public testing::Test {
protected:
    void SetUp() override
    {
        PcInstallHeadless(HeadlessScript(), "");
        PcReset();
        SetGraphicsMode(16);
    }

    static int CountPixels(int x0, int y0, int x1, int y1, int colour)
    {
        int count = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x)
                count += PcPixel(x, y) == colour;
        }
        return count;
    }

    static std::vector<unsigned char> Snapshot()
    {
        return std::vector<unsigned char>(PcFramebuffer(), PcFramebuffer() + kPcWidth * kPcHeight);
    }

    static std::pair<int, int> Cursor()
    {
        int column = 0, row = 0;
        BiosGetCursor(column, row);
        return {column, row};
    }
};

TEST_F(ScreenTest, DrawingColourAndLines)
{
    struct Case {
        const char* name;
        int colour;
        void (*draw)();
        int x0, y0, x1, y1;  // the pixels the drawing must set, a box
        int drawn;           // colour expected there
    };
    const Case cases[] = {
        {"colour 1 draws 9", 1, [] { SetPixel(5, 5); }, 5, 5, 5, 5, 9},
        {"colour 0 draws 0 over 15", 0, [] { SetPixel(6, 6); }, 6, 6, 6, 6, 0},
        {"colour 5 stays 5", 5, [] { DrawLine(0, 300, 9, 300); }, 0, 300, 9, 300, 5},
        {"plot line of the top frame edge is screen row 24", 15, [] { DrawPlotLine(50, 10, 550, 10); }, 50, 24, 550,
         24, 15},
        {"plot pixel 14 rows lower", 14, [] { PlotPixel(100, 0); }, 100, 14, 100, 14, 14},
        {"vertical line both ends", 7, [] { DrawLine(300, 260, 300, 100); }, 300, 100, 300, 260, 7},
    };
    for (const Case& c : cases) {
        SetGraphicsMode(16);
        SetDrawColor(15);
        DrawLine(0, 6, 639, 6);  // background for the colour-0 case
        const std::vector<unsigned char> before = Snapshot();
        SetDrawColor(c.colour);
        c.draw();
        const int area = (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1);
        EXPECT_EQ(CountPixels(c.x0, c.y0, c.x1, c.y1, c.drawn), area) << c.name;
        // Nothing beyond the box changed.
        int changed = 0;
        for (int y = 0; y < kPcHeight; ++y) {
            for (int x = 0; x < kPcWidth; ++x) {
                const bool inside = x >= c.x0 && x <= c.x1 && y >= c.y0 && y <= c.y1;
                changed += !inside && PcPixel(x, y) != before[static_cast<size_t>(y) * kPcWidth + x];
            }
        }
        EXPECT_EQ(changed, 0) << c.name;
    }
}

TEST_F(ScreenTest, ExclusiveOrTwiceRestoresTheScreen)
{
    SetDrawColor(9);
    SetTextCursor(3, 2);
    ScreenWrite("('No  ',I3)", {42});
    DrawLine(0, 0, 639, 349);
    const std::vector<unsigned char> before = Snapshot();
    SetWriteMode(4);
    SetDrawColor(15);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 28; y <= 41; ++y)
            DrawLine(24, y, 24 + 5 * 8, y);
        if (pass == 0) {
            EXPECT_EQ(PcPixel(40, 30), 15);  // the blank after "No" inverted from 0
            EXPECT_NE(Snapshot(), before);
        }
    }
    SetWriteMode(3);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ScreenTest, LinesFarOffTheScreenAreClipped)
{
    SetDrawColor(10);
    DrawLine(-2000000000, 5, 2000000000, 5);
    EXPECT_EQ(CountPixels(0, 5, 639, 5, 10), 640);
    DrawLine(100, -2000000000, 100, 2000000000);
    EXPECT_EQ(CountPixels(100, 0, 100, 349, 10), 350);
    SetDrawColor(12);
    DrawLine(-5000, -5000, -10, 3000000);  // never on the screen
    EXPECT_EQ(CountPixels(0, 0, 639, 349, 12), 0);
}

TEST_F(ScreenTest, TextModeDrawsNoPixels)
{
    SetTextMode();
    SetDrawColor(15);
    DrawLine(0, 0, 100, 0);
    EXPECT_EQ(CountPixels(0, 0, 100, 0, 15), 0);
}

TEST_F(ScreenTest, ACharacterFillsItsCellAtTheCursor)
{
    // Something under the cell first: the character's cell is all glyph or colour 0 afterwards.
    SetDrawColor(4);
    for (int y = 0; y < 14; ++y)
        DrawLine(0, y, 30, y);
    SetTextCursor(1, 0);
    BiosPutChar('A', 14);
    EXPECT_EQ(PcShadowChar(1, 0), 'A');
    EXPECT_EQ(Cursor(), std::make_pair(2, 0));
    const unsigned char* glyph = PcGlyph('A');
    int lit = 0;
    for (int r = 0; r < 14; ++r) {
        for (int b = 0; b < 8; ++b) {
            const bool on = glyph[r] & (0x80 >> b);
            EXPECT_EQ(PcPixel(8 + b, r), on ? 14 : 0) << r << "," << b;
            lit += on;
        }
    }
    EXPECT_GT(lit, 10);
    EXPECT_EQ(PcPixel(7, 5), 4);   // the cell to the left keeps its picture
    EXPECT_EQ(PcPixel(16, 5), 4);  // and the one to the right
}

TEST_F(ScreenTest, FormattedRecordsStartAtTheCursorAndEndOnTheNextRow)
{
    SetDrawColor(9);
    SetTextCursor(1, 0);
    ScreenWrite("(I6)", {123});
    EXPECT_EQ(PcShadowRow(0), "    123");
    EXPECT_EQ(Cursor(), std::make_pair(0, 1));
    ScreenWrite("('one',/,'two')", {});
    EXPECT_EQ(PcShadowRow(1), "one");
    EXPECT_EQ(PcShadowRow(2), "two");
    EXPECT_EQ(Cursor(), std::make_pair(0, 3));
    // A prompt without advance leaves the cursor behind it, where the answer's echo goes.
    ScreenWrite("(2X,'LAG(',I1,') = ',\\)", {2});
    EXPECT_EQ(Cursor(), std::make_pair(11, 3));
    ScreenWrite("(I2)", {12});
    EXPECT_EQ(PcShadowRow(3), "  LAG(2) = 12");
    // Text takes the drawing colour: the two cells of "12" hold ink 9 on colour 0.
    const int ink = CountPixels(11 * 8, 3 * 14, 13 * 8 - 1, 4 * 14 - 1, 9);
    EXPECT_GT(ink, 0);
    EXPECT_EQ(ink + CountPixels(11 * 8, 3 * 14, 13 * 8 - 1, 4 * 14 - 1, 0), 16 * 14);
}

TEST_F(ScreenTest, OutputPastTheLastRowScrollsAndLongLinesWrap)
{
    SetDrawColor(15);
    for (int i = 1; i <= 26; ++i)
        ScreenWrite("('line ',I2)", {i});
    EXPECT_EQ(PcShadowRow(0), "line  3");
    EXPECT_EQ(PcShadowRow(23), "line 26");
    EXPECT_EQ(PcShadowRow(24), "");
    EXPECT_EQ(Cursor(), std::make_pair(0, 24));
    // The pixels moved with the text: row 0 now shows what row 2 showed.
    SetGraphicsMode(16);
    SetDrawColor(15);
    ScreenWrite("('x')", {});
    ScreenWrite("('y')", {});
    std::vector<unsigned char> yCell(PcFramebuffer() + 14 * kPcWidth, PcFramebuffer() + 28 * kPcWidth);
    SetTextCursor(0, 24);
    ScreenWrite("('z')", {});  // the end of this record scrolls
    EXPECT_EQ(PcShadowRow(0), "y");
    EXPECT_TRUE(std::equal(yCell.begin(), yCell.end(), PcFramebuffer()));
    EXPECT_EQ(PcShadowRow(23), "z");

    // A long record wraps; one of exactly 80 characters takes one row.
    SetGraphicsMode(16);
    ScreenWrite("(A)", {std::string(85, 'k')});
    ScreenWrite("(A)", {std::string(80, 'm')});
    EXPECT_EQ(PcShadowRow(0), std::string(80, 'k'));
    EXPECT_EQ(PcShadowRow(1), "kkkkk");
    EXPECT_EQ(PcShadowRow(2), std::string(80, 'm'));
    EXPECT_EQ(Cursor(), std::make_pair(0, 3));
    // The teletype's own line feed after a full row is a line feed.
    SetTextCursor(0, 5);
    for (int i = 0; i < 80; ++i)
        BiosPutChar('t', 9);
    BiosPutChar('\r', 9);
    BiosPutChar('\n', 9);
    EXPECT_EQ(Cursor(), std::make_pair(0, 7));
}

TEST_F(ScreenTest, FreeFormatOutputLists)
{
    struct Case {
        const char* name;
        std::vector<FormatValue> items;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"two texts share a line when they fit",
         {"  The data must be in an ASCII file with the m", "  components of X(t) in row t."},
         {"   The data must be in an ASCII file with the m  components of X(t) in row t."}},
        {"numbers after one blank; floats as their shortest text",
         {" Number =", 12, 0.1f, 1.5e-7f, -2.5},
         {"  Number = 12 0.1 1.5e-07 -2.5"}},
        {"a line filled to column 80, then a new line opened by a blank",
         {std::string(69, 'a'), 123456789, 1234567890},
         {" " + std::string(69, 'a') + " 123456789", " 1234567890"}},
        {"a new line before an item that would pass column 80",
         {std::string(70, 'a'), 123456789},
         {" " + std::string(70, 'a'), " 123456789"}},
        {"a blank between a number and a text, none between texts", {"x", 1, "y", "z"}, {" x 1 yz"}},
        {"an empty list is an empty line", {}, {""}},
    };
    for (const Case& c : cases) {
        SetGraphicsMode(16);
        ScreenWriteList(c.items);
        for (size_t row = 0; row < c.rows.size(); ++row)
            EXPECT_EQ(PcShadowRow(static_cast<int>(row)), c.rows[row]) << c.name;
        EXPECT_EQ(Cursor(), std::make_pair(0, static_cast<int>(c.rows.size()))) << c.name;
    }
}

TEST_F(ScreenTest, SeedsFromANumberOrTheClock)
{
    constexpr double M = 2147483647.0;
    SeedRandom(1);  // a seed, not a restart
    EXPECT_FLOAT_EQ(RandomUniform(), static_cast<float>(48271 / M));
    SeedRandom(12345);
    const float a = RandomUniform();
    SeedRandom(12345);
    EXPECT_EQ(RandomUniform(), a);

    HeadlessScript script;
    script.clock = 777;
    PcInstallHeadless(script, "");
    for (int seed : {-1, 0}) {
        SeedRandom(seed);
        EXPECT_FLOAT_EQ(RandomUniform(), static_cast<float>(777.0 * 48271 / M)) << seed;
    }

    // The state just before 2^31 - 2, whose uniform rounds to 1 as a float: s * 48271 = -1 modulo M.
    int64_t inverse = 1, base = 48271, power = 2147483647 - 2;
    while (power > 0) {
        if (power & 1)
            inverse = inverse * base % 2147483647;
        base = base * base % 2147483647;
        power >>= 1;
    }
    SeedRandom(static_cast<int>(2147483647 - inverse));
    const float u = RandomUniform();
    EXPECT_LT(u, 1.0f);
    EXPECT_GT(u, 0.9999f);
}

}  // namespace
