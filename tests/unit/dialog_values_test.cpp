#include "platform/dialog_values.h"

#include <gtest/gtest.h>

#include <string>

TEST(DialogValues, StageControlKeepsOneEntryPerControl)
{
    std::vector<DialogControlValues> controls;
    StageControl(controls, 1101).text = "3";
    StageControl(controls, 1105).checked = 1;
    StageControl(controls, 1101).enabled = 0;
    ASSERT_EQ(controls.size(), 2u);
    const DialogControlValues* order = FindControl(controls, 1101);
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(order->text, "3");
    EXPECT_EQ(order->enabled, 0);
    EXPECT_FALSE(order->checked.has_value());
    EXPECT_EQ(FindControl(controls, 1102), nullptr);
}

// The whole text of a field is one number; the cross-reader table of typed texts
// (tests/console/typed_entry_test.cpp) holds the refusals with their reasons.
TEST(DialogValues, ParseDialogRealReadsTheWholeTextAsOneNumber)
{
    struct Case {
        std::string text;
        int status;
        double value;  // expected value; the start value is -7
    } const cases[] = {
        {"2.5", 1, 2.5},
        {"  -1.5E2  ", 1, -150.0},
        {"1D3", 1, 1000.0},
        {".5", 1, 0.5},
        {"3,4", 0, -7.0},   // a decimal comma, not 3
        {"3 abc", 0, -7.0},  // not 3 and a word left over
        {"3 4", 0, -7.0},
        {",", 0, -7.0},
        {"", 0, -7.0},
        {"     ", 0, -7.0},
        {"abc", 0, -7.0},
        {"1.5x", 0, -7.0},
        {"NaN", 0, -7.0},
        {"-Inf", 0, -7.0},
        {"1E400", 0, -7.0},
        // The whole text is read, however long: no digit is cut off.
        {std::string(30, ' ') + "12", 1, 12.0},
        {std::string(31, ' ') + "7", 1, 7.0},
        {"0." + std::string(40, '0') + "1", 1, 1e-41},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        double value = -7.0;
        EXPECT_EQ(ParseDialogReal(c.text, value), c.status);
        EXPECT_DOUBLE_EQ(value, c.value);
    }
}

TEST(DialogValues, ParseDialogIntegerReadsTheWholeTextAsOneWholeNumber)
{
    struct Case {
        std::string text;
        int status;
        int value;  // expected value; the start value is -7
    } const cases[] = {
        {"12", 1, 12},
        {"  -3 ", 1, -3},
        {"5 6", 0, -7},
        {"1e3", 1, 1000},
        {"2,5", 0, -7},
        {"2147483647", 1, 2147483647},
        {"2147483648", 0, -7},
        {"1.5", 0, -7},
        {"x", 0, -7},
        {"", 0, -7},
        {"   ", 0, -7},
        {",", 0, -7},
        {"/", 0, -7},
        {std::string(31, ' ') + "4", 1, 4},
        {std::string(32, ' ') + "4", 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        int value = -7;
        EXPECT_EQ(ParseDialogInteger(c.text, value), c.status);
        EXPECT_EQ(value, c.value);
    }
}
