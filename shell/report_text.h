#pragma once
// Text of the report windows: what one InfoPrint call does, and the block of numbers that
// InfoPrintArray writes.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/number_format.h"

// The text handed to InfoPrint ends at its NUL, which callers count in `length` (a 15-character
// heading comes with length 16). The call clears the report when the first `length` characters
// are all blanks: always when length is 0, never when the NUL lies within them.
bool InfoPrintClears(std::string_view text, int32_t length);
// The text up to its NUL.
std::string_view InfoPrintText(std::string_view text);

// The numbers values[0..n-1] (n is cut to the size of values), `perLine` to a line (at least 1):
// each written as FittedFixed writes it with `decimals` decimals in 13 characters, right-justified
// in a cell of 14, so that a blank always stands before it. Every line ends with CR LF, and one
// more CR LF follows the last value.
std::string InfoArrayText(const std::vector<double>& values, int32_t n, int32_t perLine, int32_t decimals,
                          NumberScale scale = NumberScale::Free);

// One call of a report writer on its report window: InfoPrint of a text with its length, or
// InfoPrintArray of a block of numbers. Report writers build their calls portably; the window
// layer replays them on the window.
struct InfoCall {
    bool array = false;
    std::string text;     // InfoPrint: the text, without its NUL
    int32_t length = 0;   // InfoPrint: the length handed over, the NUL counted
    std::vector<double> values;  // InfoPrintArray
    int32_t perLine = 0, decimals = 0;
    NumberScale scale = NumberScale::Free;
};
using InfoCalls = std::vector<InfoCall>;

// The text a report window holds after `calls`, starting from `start`: a clearing call replaces
// the whole text, a line is appended with CR LF, a block of numbers as InfoArrayText gives it.
std::string ReportWindowText(const InfoCalls& calls, std::string start = "");

// Builds the calls of one report: the clear step, the heading block and lines appended without
// their trailing blanks.
class ReportWriter {
public:
    // InfoPrint with an empty text: the report starts afresh.
    void Clear();
    // A row of `rowLength` "=", the heading, the same row again.
    void Heading(int32_t rowLength, const std::string& heading);
    // The start of every report: the clear step, then the heading block.
    void Begin(int32_t rowLength, const std::string& heading)
    {
        Clear();
        Heading(rowLength, heading);
    }
    // The text without its trailing blanks, as one line; an empty text still adds an (empty)
    // line, since its NUL is counted.
    void Line(const std::string& text);
    // A blank line: two blanks.
    void Blank();
    // values[0..n-1], `perLine` to a line, with `decimals` decimals (InfoPrintArray).
    void Array(const std::vector<double>& values, int32_t n, int32_t perLine, int32_t decimals,
               NumberScale scale = NumberScale::Free);
    const InfoCalls& Calls() const { return calls_; }
    InfoCalls Take() { return std::move(calls_); }

private:
    InfoCalls calls_;
};
