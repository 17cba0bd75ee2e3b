// Every reader of a typed number on the same texts: the dialog fields of the Windows program
// (ParseDialogReal, ParseDialogInteger and the entries their checks read, ReadEntryNumber) and the
// console programs' prompts (ScreenReadSingles, ScreenReadInts). A field or prompt that asks for
// one number takes the whole text as one number or refuses it with the reason; none turns a
// decimal comma, a thousands separator, a date or two numbers into another number.
#include "console/screen.h"
#include "console/screen_io.h"
#include "platform/dialog_values.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"
#include "platform/typed_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// What one reader made of a text: its number, or the reason it refused it.
struct Reading {
    EntryFault fault = EntryFault::None;
    double value = 0.0;
};

bool operator==(const Reading& a, const Reading& b)
{
    return a.fault == b.fault && (a.fault != EntryFault::None || a.value == b.value);
}

std::ostream& operator<<(std::ostream& out, const Reading& r)
{
    if (r.fault == EntryFault::None) return out << r.value;
    return out << "refused: " << EntryFaultText(r.fault);
}

Reading Read(double value) { return {EntryFault::None, value}; }
Reading Refused(EntryFault fault) { return {fault, 0.0}; }

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

// A dialog's parser: 1 with the number, or 0; the reason is ReadEntryNumber's, which the checks
// of the dialogs show.
Reading ByDialogReal(const std::string& text)
{
    double value = -7.0;
    const int status = ParseDialogReal(text, value);
    double check = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Real, check);
    EXPECT_EQ(status == 1, fault == EntryFault::None) << text;
    if (status != 1) {
        EXPECT_EQ(value, -7.0) << "a refused entry leaves the value: " << text;
        return Refused(fault);
    }
    EXPECT_EQ(value, check) << text;
    return Read(value);
}

Reading ByDialogInteger(const std::string& text)
{
    int value = -7;
    const int status = ParseDialogInteger(text, value);
    int32_t check = 0;
    const EntryFault fault = ReadEntryInteger(text, check);
    EXPECT_EQ(status == 1, fault == EntryFault::None) << text;
    if (status != 1) {
        EXPECT_EQ(value, -7) << "a refused entry leaves the value: " << text;
        return Refused(fault);
    }
    EXPECT_EQ(value, check) << text;
    return Read(value);
}

// A console prompt answered with the text and then "4": a refused entry names its reason on the
// screen and leaves the "4" for the prompt asked again; a blank line is passed over.
Reading ByPrompt(const std::string& text, bool integers)
{
    Script("line " + text + "\nline 4");
    float single = -7.0f;
    int32_t integer = -7;
    const int status = integers ? ScreenReadInts(1, &integer) : ScreenReadSingles(1, &single);
    const double value = integers ? integer : static_cast<double>(single);
    if (status == 1) {
        EXPECT_EQ(HeadlessInputsLeft(), text.find_first_not_of(' ') == std::string::npos ? 0 : 1) << text;
        return Read(value);
    }
    EXPECT_EQ(status, -1) << text;
    EXPECT_EQ(value, -7.0) << "a refused entry stores nothing: " << text;
    // The reason stands on the row below the entry.
    double unused = 0.0;
    const EntryFault fault = ReadEntryNumber(text, integers ? EntryKind::Integer : EntryKind::Single, unused);
    EXPECT_NE(PcShadowRow(1).find(EntryFaultText(fault)), std::string::npos) << text << ": " << PcShadowRow(1);
    return Refused(fault);
}

TEST(TypedEntries, EveryReaderTakesOneWholeNumberOrSaysWhy)
{
    const Reading comma = Refused(EntryFault::DecimalComma), thousands = Refused(EntryFault::Thousands),
                  date = Refused(EntryFault::DateOrFraction), two = Refused(EntryFault::MoreNumbers),
                  text = Refused(EntryFault::Text), notWhole = Refused(EntryFault::NotWhole),
                  notFinite = Refused(EntryFault::NotFinite), tooLarge = Refused(EntryFault::TooLarge),
                  blank = Refused(EntryFault::Blank);
    struct Case {
        std::string text;
        Reading real;     // a dialog's real field
        Reading integer;  // a dialog's whole-number field
        Reading single;   // a console prompt for a real
        Reading count;    // a console prompt for an integer
    };
    const Case cases[] = {
        {"0,5", comma, comma, comma, comma},
        {"2,5", comma, comma, comma, comma},
        {"-0,25", comma, comma, comma, comma},
        {"1,5e3", comma, comma, comma, comma},
        {"1/2", date, date, date, date},
        {"12/01/1990", date, date, date, date},
        {"1990-01", date, date, date, date},
        {"1,234.5", thousands, thousands, thousands, thousands},
        {"1.234,5", thousands, thousands, thousands, thousands},
        {"1,234", comma, comma, comma, comma},  // the classifier takes a lone group for a decimal comma
        {"0.5 7", two, two, two, two},
        {"3 4", two, two, two, two},
        {"3 abc", text, text, text, text},
        {"abc", text, text, text, text},
        {"1.5x", text, text, text, text},
        {"2*0.5", text, text, text, text},
        {"1.5", Read(1.5), notWhole, Read(1.5), notWhole},
        {" 0.5 ", Read(0.5), notWhole, Read(0.5), notWhole},
        {"\t-7\t", Read(-7), Read(-7), Read(-7), Read(-7)},
        {"1e3", Read(1000), Read(1000), Read(1000), Read(1000)},
        {"1D3", Read(1000), Read(1000), Read(1000), Read(1000)},
        {"+3", Read(3), Read(3), Read(3), Read(3)},
        {".5", Read(0.5), notWhole, Read(0.5), notWhole},
        {"0.1", Read(0.1), notWhole, Read(static_cast<double>(0.1f)), notWhole},
        {"NaN", notFinite, notFinite, notFinite, notFinite},
        {"-Inf", notFinite, notFinite, notFinite, notFinite},
        {"1e999", tooLarge, tooLarge, tooLarge, tooLarge},
        {"1e39", Read(1e39), tooLarge, tooLarge, tooLarge},
        {"1e-50", Read(1e-50), notWhole, Refused(EntryFault::TooSmall), notWhole},
        {"2147483647", Read(2147483647.0), Read(2147483647), Read(2147483648.0), Read(2147483647)},
        {"2147483648", Read(2147483648.0), tooLarge, Read(2147483648.0), tooLarge},
        {"-2147483648", Read(-2147483648.0), Read(-2147483648.0), Read(-2147483648.0), Read(-2147483648.0)},
        {"-2147483649", Read(-2147483649.0), tooLarge, Read(-2147483648.0), tooLarge},
        {"", blank, blank, Read(4), Read(4)},  // a prompt passes a blank line over
        {"   ", blank, blank, Read(4), Read(4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("typed \"" + c.text + "\"");
        EXPECT_EQ(ByDialogReal(c.text), c.real) << "dialog real";
        EXPECT_EQ(ByDialogInteger(c.text), c.integer) << "dialog integer";
        EXPECT_EQ(ByPrompt(c.text, false), c.single) << "console real";
        EXPECT_EQ(ByPrompt(c.text, true), c.count) << "console integer";
    }
}

// A prompt for several numbers follows the files' comma rule with its count, and goes on over
// lines while fewer have been typed.
TEST(TypedEntries, APromptForTwoNumbersFollowsTheCommaRuleOfTheFiles)
{
    struct Case {
        std::string script;
        int status;
        std::vector<int32_t> values;  // -7: left as it was
        const char* reason;           // on the screen for a refusal
    };
    const Case cases[] = {
        {"line 3 7", 1, {3, 7}, nullptr},
        {"line 3,7", 1, {3, 7}, nullptr},  // two numbers asked: the comma parts them
        {"line 3, 7", 1, {3, 7}, nullptr},
        {"line 3\nline 7", 1, {3, 7}, nullptr},
        {"line\nline 3 7", 1, {3, 7}, nullptr},
        {"line 2*4", 1, {4, 4}, nullptr},
        {"line 3 7 9", -1, {-7, -7}, "holds more than 2 numbers"},
        {"line 3,7,9", -1, {-7, -7}, "holds more than 2 numbers"},
        {"line 3,5 7", -1, {-7, -7}, "has a decimal comma"},
        {"line 1,234.5 7", -1, {-7, -7}, "has a thousands separator"},
        {"line 3 1/2", -1, {-7, -7}, "is a date or a fraction"},
        {"line 3 abc", -1, {-7, -7}, "is not a number"},
        {"line 3 1.5", -1, {-7, -7}, "is not a whole number"},
        {"line 3\nline 7 9", -1, {-7, -7}, "holds more than 2 numbers"},
        {"line 3 /", -1, {-7, -7}, "holds fewer than 2 numbers"},  // a slash ends the entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Script(c.script);
        int32_t values[2] = {-7, -7};
        EXPECT_EQ(ScreenReadInts(2, values), c.status);
        EXPECT_EQ(std::vector<int32_t>(values, values + 2), c.values);
        EXPECT_EQ(HeadlessInputsLeft(), 0);
        if (c.reason) {
            bool shown = false;
            for (int row = 0; row < 4; ++row) shown = shown || PcShadowRow(row).find(c.reason) != std::string::npos;
            EXPECT_TRUE(shown) << PcShadowRow(0) << "/" << PcShadowRow(1) << "/" << PcShadowRow(2);
        }
    }
}

TEST(TypedEntries, ARefusalNamesTheFieldTheTextAndTheReason)
{
    EXPECT_EQ(EntryRefusal("Alpha", " 0,3 ", EntryFault::DecimalComma),
              "Alpha \"0,3\" has a decimal comma: type a decimal point.");
    EXPECT_EQ(EntryRefusal("Number of forecasts", "1.5", EntryFault::NotWhole),
              "Number of forecasts \"1.5\" is not a whole number.");
    EXPECT_EQ(EntryRefusal("Seed", "", EntryFault::Blank), "Seed is empty: type one number.");
    EXPECT_EQ(EntryRefusal("Entry", "0.5 7", EntryFault::MoreNumbers),
              "Entry \"0.5 7\" holds more than one number: type one number.");
    // A long text is shortened, so that the message fits a console line.
    EXPECT_EQ(EntryRefusal("Entry", std::string(40, '9') + "x", EntryFault::Text),
              "Entry \"" + std::string(21, '9') + "...\" is not a number.");
    double value = -7.0;
    EXPECT_EQ(ReadFieldEntry("Lambda", "0,5", EntryKind::Real, value),
              "Lambda \"0,5\" has a decimal comma: type a decimal point.");
    EXPECT_EQ(value, -7.0);
    EXPECT_EQ(ReadFieldEntry("Lambda", "0.5", EntryKind::Real, value), "");
    EXPECT_EQ(value, 0.5);
}

TEST(TypedEntries, ARangeOfTwoIndicesNamesTheFieldThatIsNoNumber)
{
    struct Case {
        const char* first;
        const char* last;
        std::string message;
        int32_t a, b;  // -7: left as it was
    } const cases[] = {
        {"3", " 40 ", "", 3, 40},
        {"3,5", "40", "First index \"3,5\" has a decimal comma: type a decimal point.", -7, -7},
        {"3", "4 0", "Last index \"4 0\" holds more than one number: type one number.", -7, -7},
        {"3", "", "Last index is empty: type one number.", -7, -7},
        {"1e10", "40", "First index \"1e10\" is too large.", -7, -7},
    };
    for (const Case& c : cases) {
        int32_t a = -7, b = -7;
        EXPECT_EQ(ReadIndexRange(c.first, c.last, a, b), c.message) << c.first << " / " << c.last;
        EXPECT_EQ(a, c.a);
        EXPECT_EQ(b, c.b);
    }
}

}  // namespace
