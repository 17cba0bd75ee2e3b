#include "platform/pc_headless.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HeadlessScript, ItemsAndTheirKeys)
{
    HeadlessScript script;
    std::string error;
    ASSERT_EQ(ParseHeadlessScript("# a comment\nkey a\n\n  key up\nline 1.5 2\nline\nclick 639 349\nclock 4711\r\nkey space\n",
                                  script, error),
              1)
        << error;
    ASSERT_EQ(script.inputs.size(), 6u);
    EXPECT_EQ(script.inputs[0].keys, "a");
    EXPECT_EQ(script.inputs[1].keys, std::string("\0H", 2));
    EXPECT_EQ(script.inputs[2].keys, "1.5 2\r");
    EXPECT_EQ(script.inputs[3].keys, "\r");
    EXPECT_EQ(script.inputs[4].kind, HeadlessInput::Kind::Click);
    EXPECT_EQ(script.inputs[4].x, 639);
    EXPECT_EQ(script.inputs[4].y, 349);
    EXPECT_EQ(script.inputs[5].keys, " ");
    EXPECT_EQ(script.inputs[2].label, "line 1.5 2");
    EXPECT_EQ(script.clock, 4711);
}

TEST(HeadlessScript, MistakesNameTheirLine)
{
    const char* scripts[] = {"key a\nkey nothing", "key", "click 5", "click 640 0", "click -1 3", "clock soon",
                             "press a"};
    for (const char* text : scripts) {
        HeadlessScript script;
        std::string error;
        EXPECT_EQ(ParseHeadlessScript(text, script, error), 0) << text;
        EXPECT_EQ(error.rfind("script line ", 0), 0u) << text << ": " << error;
    }
}

}  // namespace
