#pragma once
// Where the help viewer puts each piece of a topic's text: the title, headings, paragraphs and
// bullets broken into lines at blanks to fit a width, and lines kept as typed left whole. The
// window code measures text with its fonts through HelpMetrics and draws the runs as laid out;
// links are found again under the mouse from the same runs.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/help_file.h"

enum HelpFont : int32_t {
    HELP_FONT_TITLE = 0,
    HELP_FONT_HEADING = 1,
    HELP_FONT_TEXT = 2,
    HELP_FONT_LINK = 3,
    HELP_FONT_FIXED = 4,
    HELP_FONT_COUNT = 5,
};

// What the layout needs of the device: text widths and line heights per font, in device units.
struct HelpMetrics {
    std::function<int32_t(int32_t font, std::string_view text)> width;
    int32_t lineHeight[HELP_FONT_COUNT] = {};
    int32_t margin = 0;  // around the text
    int32_t indent = 0;  // of a bullet's text from the left margin
};

struct HelpRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One piece drawn with one font at (x, y), y the top of its line.
struct HelpRun {
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t font = HELP_FONT_TEXT;
    std::string text;
    int32_t link = -1;        // topic the run links to, -1 for plain text
    int32_t linkNumber = -1;  // which link of the topic, counted from 0 in reading order
};

struct HelpLayout {
    std::vector<HelpRun> runs;
    int32_t width = 0;   // of the widest line, margins included (wider than asked when a word or a
                         // line kept as typed does not fit)
    int32_t height = 0;  // margins included
    int32_t linkCount = 0;
};

// Lays `topic` out for a text area `width` units wide, starting at y = 0. A word wider than the
// area gets a line of its own; links break at blanks like other text.
HelpLayout LayoutHelpTopic(const HelpTopic& topic, int32_t width, const HelpMetrics& metrics);

// The link number under point (x, y), or -1.
int32_t HelpLinkAt(const HelpLayout& layout, int32_t x, int32_t y);

// The topic that link `linkNumber` leads to, or -1 when there is no such link.
int32_t HelpLinkTarget(const HelpLayout& layout, int32_t linkNumber);

// The rectangle around every run of link `linkNumber`; all zero when there is no such link.
HelpRect HelpLinkBounds(const HelpLayout& layout, int32_t linkNumber);
