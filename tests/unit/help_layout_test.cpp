#include "shell/help_layout.h"

#include <gtest/gtest.h>

namespace {

// Ten units a character (eight in the fixed font); line heights differ per font so that a run
// shows which height it got.
HelpMetrics TestMetrics()
{
    HelpMetrics m;
    m.width = [](int32_t font, std::string_view text) {
        int32_t chars = 0;
        for (char c : text)
            if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) ++chars;
        return chars * (font == HELP_FONT_FIXED ? 8 : 10);
    };
    m.lineHeight[HELP_FONT_TITLE] = 30;
    m.lineHeight[HELP_FONT_HEADING] = 24;
    m.lineHeight[HELP_FONT_TEXT] = 20;
    m.lineHeight[HELP_FONT_LINK] = 20;
    m.lineHeight[HELP_FONT_FIXED] = 16;
    m.margin = 5;
    m.indent = 20;
    return m;
}

HelpBlock Block(HelpBlockKind kind, std::vector<HelpSpan> spans) { return HelpBlock{kind, std::move(spans)}; }

TEST(HelpLayout, TextBreaksAtBlanksAndLinksKeepTheirPieces)
{
    HelpTopic topic;
    topic.title = "Zoom";
    topic.blocks = {
        Block(HELP_PARAGRAPH, {{"See ", -1}, {"the mouse", 1}, {". and more", -1}}),
        Block(HELP_BULLET, {{"one two", -1}}),
        Block(HELP_PREFORMATTED, {{"abcdefghijklmno", -1}}),
        Block(HELP_PREFORMATTED, {{"x", -1}}),
        Block(HELP_HEADING, {{"Next", -1}}),
    };
    const HelpLayout layout = LayoutHelpTopic(topic, 85, TestMetrics());
    const struct {
        int32_t x, y, width, height, font;
        const char* text;
        int32_t link, linkNumber;
    } expected[] = {
        {5, 5, 40, 30, HELP_FONT_TITLE, "Zoom", -1, -1},
        {5, 45, 30, 20, HELP_FONT_TEXT, "See", -1, -1},
        {45, 45, 30, 20, HELP_FONT_LINK, "the", 1, 0},
        {5, 65, 50, 20, HELP_FONT_LINK, "mouse", 1, 0},  // the link goes on on the next line
        {55, 65, 10, 20, HELP_FONT_TEXT, ".", -1, -1},   // punctuation stays with the link
        {5, 85, 30, 20, HELP_FONT_TEXT, "and", -1, -1},
        {5, 105, 40, 20, HELP_FONT_TEXT, "more", -1, -1},
        {10, 135, 10, 20, HELP_FONT_TEXT, "\xE2\x80\xA2", -1, -1},  // the bullet, centred in the indent
        {25, 135, 30, 20, HELP_FONT_TEXT, "one", -1, -1},
        {25, 155, 30, 20, HELP_FONT_TEXT, "two", -1, -1},  // hanging indent
        {5, 185, 120, 16, HELP_FONT_FIXED, "abcdefghijklmno", -1, -1},  // wider than the area, not broken
        {5, 201, 8, 16, HELP_FONT_FIXED, "x", -1, -1},  // no gap between lines kept as typed
        {5, 237, 40, 24, HELP_FONT_HEADING, "Next", -1, -1},
    };
    ASSERT_EQ(layout.runs.size(), std::size(expected));
    for (size_t k = 0; k < layout.runs.size(); ++k) {
        const HelpRun& run = layout.runs[k];
        const auto& e = expected[k];
        EXPECT_EQ(run.x, e.x) << k;
        EXPECT_EQ(run.y, e.y) << k;
        EXPECT_EQ(run.width, e.width) << k;
        EXPECT_EQ(run.height, e.height) << k;
        EXPECT_EQ(run.font, e.font) << k;
        EXPECT_EQ(run.text, e.text) << k;
        EXPECT_EQ(run.link, e.link) << k;
        EXPECT_EQ(run.linkNumber, e.linkNumber) << k;
    }
    EXPECT_EQ(layout.linkCount, 1);
    EXPECT_EQ(layout.width, 130);  // the line kept as typed, and the right margin
    EXPECT_EQ(layout.height, 276);
}

TEST(HelpLayout, WordsOfOneFontShareARunAndLinksAreFoundUnderThePoint)
{
    HelpTopic topic;
    topic.title = "T";
    topic.blocks = {Block(HELP_PARAGRAPH, {{"aa bb ", -1}, {"cc dd", 3}, {" ee", -1}, {"ff", 4}})};
    const HelpLayout layout = LayoutHelpTopic(topic, 1000, TestMetrics());
    ASSERT_EQ(layout.runs.size(), 5u);
    EXPECT_EQ(layout.runs[1].text, "aa bb");
    EXPECT_EQ(layout.runs[2].text, "cc dd");
    EXPECT_EQ(layout.runs[2].x, 65);
    EXPECT_EQ(layout.runs[3].text, "ee");
    EXPECT_EQ(layout.runs[4].text, "ff");  // a link glued to a word stays a run of its own
    EXPECT_EQ(layout.runs[4].x, 145);
    EXPECT_EQ(layout.linkCount, 2);

    const int32_t y = layout.runs[2].y + 5;
    const struct {
        int32_t x, y, link;
    } points[] = {
        {64, y, -1},   // the blank before the link
        {65, y, 0},    // its first unit
        {114, y, 0},   // its last unit
        {115, y, -1},  // the blank after it
        {150, y, 1},
        {70, layout.runs[2].y - 1, -1},  // above the line
        {70, layout.runs[2].y + 20, -1}, // below it
    };
    for (const auto& p : points) EXPECT_EQ(HelpLinkAt(layout, p.x, p.y), p.link) << p.x << "," << p.y;
    EXPECT_EQ(HelpLinkTarget(layout, 0), 3);
    EXPECT_EQ(HelpLinkTarget(layout, 1), 4);
    EXPECT_EQ(HelpLinkTarget(layout, 2), -1);
    const HelpRect r = HelpLinkBounds(layout, 1);
    EXPECT_EQ(r.left, 145);
    EXPECT_EQ(r.right, 165);
    const HelpRect none = HelpLinkBounds(layout, 7);
    EXPECT_EQ(none.right - none.left, 0);
}

TEST(HelpLayout, LinkBrokenOverLinesIsOneLinkWithOneBound)
{
    HelpTopic topic;
    topic.title = "T";
    topic.blocks = {Block(HELP_PARAGRAPH, {{"aaaa ", -1}, {"bb cc", 0}})};
    const HelpLayout layout = LayoutHelpTopic(topic, 80, TestMetrics());  // 70 units for text
    const HelpRect r = HelpLinkBounds(layout, 0);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 45);
    EXPECT_EQ(r.right, 75);
    EXPECT_EQ(r.bottom, 85);  // two lines
    EXPECT_EQ(layout.linkCount, 1);
}

TEST(HelpLayout, WordWiderThanTheAreaTakesALineOfItsOwn)
{
    HelpTopic topic;
    topic.title = "T";
    topic.blocks = {Block(HELP_PARAGRAPH, {{"a abcdefgh b", -1}})};
    const HelpLayout layout = LayoutHelpTopic(topic, 30, TestMetrics());
    ASSERT_EQ(layout.runs.size(), 4u);
    const char* texts[] = {"T", "a", "abcdefgh", "b"};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(layout.runs[k].text, texts[k]);
        EXPECT_EQ(layout.runs[k].x, 5);
    }
    EXPECT_EQ(layout.width, 90);
}

}  // namespace
