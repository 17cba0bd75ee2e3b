#pragma once
// What an item of number text is, for every reader of numbers from text: univariate Open and
// Paste, multivariate Read Data and the console programs' data files. The readers differ only in
// the shape they give the numbers (the first number of a line, m numbers a vector, the columns of
// a pasted table); what an item is, when a comma parts items, how a vector is read over lines and
// the words that say what a read met are all here, so that no reader turns a date, a thousands
// separator or a decimal comma into other numbers.
#include <cstdint>

#include "platform/text_file.h"
#include <string>
#include <string_view>
#include <vector>

// The kinds of item.
enum class NumberItemKind {
    Number,          // a finite number
    NotFinite,       // NaN or an infinity
    TooLarge,        // the shape of a number beyond the range of doubles
    DateOrFraction,  // digits joined to a '/' or '-' that is no exponent sign: 01/02/1990, 1/2, 1990-01,
                     // 12/Jan/2020, 2020/Q1, 1/
    Thousands,       // a number with thousands separators: 1,234.5, 1.234,5, 1,234,567
    DecimalComma,    // a number with a decimal comma: 3,14, -3,75, 1,5e3
    Text,            // anything else
    Empty,           // a null value: a comma where a value should stand, "r*", an empty TAB cell
    EndMark,         // a DOS end-of-file mark (Ctrl-Z) that more text follows
    Control,         // a control character: not a text file
};

// One item classified; `value` holds the number of a Number or NotFinite item, `underflow` tells
// a number whose text is not zero that reads as zero.
struct NumberItem {
    NumberItemKind kind = NumberItemKind::Text;
    double value = 0.0;
    bool underflow = false;
};

// The classifier: what the text of one item is. The item holds no blank and no repeat count.
// Free format decides what is a number (1.5, .5, 1E3, 1D3, +3, 0.123456-100, Inf, NaN); among
// the rest, digits joined to '/' (with, between the slashes, only numbers, month names and words
// such as Q1) or to a '-' after a mantissa without a point are a date or a fraction, and commas
// between digits make a number with thousands separators or a decimal comma.
NumberItem ClassifyNumberItem(std::string_view item);

// One item of a line as the readers take it: a repeat "r*v" stands for r items v (r at most 2^62).
struct LineItem {
    NumberItem item;
    int64_t repeat = 1;
};

// Why a line or a read gives no more numbers.
enum class NumberFault {
    None,
    Text,            // text where a number should stand
    DateOrFraction,  // a date or a fraction
    Thousands,       // a number with a thousands separator
    DecimalComma,    // a decimal comma, or commas parting more numbers than the line must supply
    EmptyItem,       // a lone comma or slash, "r*", an empty cell
    EmptyCell,       // an empty TAB cell: first in a line of a TAB table, or last in a pasted row
    EndMark,         // an end-of-file mark that more text follows
    Control,         // a control character
    NotFinite,       // NaN, an infinity, a number beyond the doubles
    TooLarge,        // beyond the single-precision range
    TooSmall,        // not zero, but too small for single precision
    Incomplete,      // the text ends inside a vector
};

// The items of one line, up to its end, a '/' standing apart (blanks, commas or the line's ends on
// both sides: it ends a free-format record, and the items after it are counted) or an end-of-file
// mark (the last item then). A '/' joined to anything else is part of its item (12/Jan/2020, 5/hr,
// 1/), which is then no number. Blanks, TABs and commas that do not stand between two digits part
// items; a comma where a value should stand is an Empty item; with `tabCells` a TAB where a value
// should stand is one too (a pasted table's empty cell), and TABs after the last item add none.
// A comma between two digits parts items only when that gives exactly the `need` values the line
// must supply (need < 0: the first line of a table, which has no count to meet). Otherwise, when
// an item is a number with thousands separators or with a decimal comma, the whole line is
// refused (`fault` Thousands or DecimalComma, no items); else the commas part items.
struct LineItems {
    NumberFault fault = NumberFault::None;
    std::vector<LineItem> items;
    bool slash = false;         // a '/' ended the items
    int64_t afterSlash = 0;     // the items after that '/', which are not read
    bool emptyEnd = false;      // with `tabCells`: a TAB followed the last item (an empty last cell)
    // With the fault Thousands: whether every item holding a comma between digits is whole
    // numbers parted by commas (112,118,132, never 1,234.5), and the values the line gives when
    // those commas part items. A pasted table whose rows all give that count is a CSV table.
    bool integerLists = false;
    int64_t commaParted = 0;
};
LineItems SplitNumberLine(std::string_view line, int64_t need, bool tabCells = false);
// The same into `out`, whose buffers a reader of many lines reuses.
void SplitNumberLine(std::string_view line, int64_t need, bool tabCells, LineItems& out);

// The repeat count r of an item "r*v" (1 without a star, at most 2^62), with `value` the text
// after the star; 0 when the text before the star is not a positive count.
int64_t RepeatCountOf(std::string_view text, std::string_view& value);

// Whether a line holds nothing but blanks and TABs.
bool IsBlankLine(std::string_view line);

// The readers' precision: the console programs hold single-precision numbers.
enum class NumberPrecision { Double, Single };

// The fault of an item where a number should stand, None for a number the precision holds.
NumberFault ItemFault(const NumberItem& item, NumberPrecision precision);

// What a read of vectors met; lines from 1, 0 for none.
struct NumberReadNotes {
    int64_t stopLine = 0;  // where reading stopped before the end; for Incomplete, where that vector began
    NumberFault fault = NumberFault::None;
    int64_t longLine = 0;      // the first line holding items after its vector's end, which were not read
    int64_t itemsNotRead = 0;  // all such items (a repeat not used up counts once)
    int64_t shortLine = 0;     // the first line that ended inside a vector read whole
};

// The largest count of the readers: repeats and counts of items saturate here.
constexpr int64_t kNumberCountCap = int64_t{1} << 62;

// Reads vectors of m numbers from records, one after another: each from the start of a line,
// going on over the following lines while it is incomplete and leaving the rest of its last line;
// blank lines are passed over. The console data files and multivariate Read Data both read this
// way; Open's first number of a line is the vector of one number. In a TAB table (a line whose
// first cell is filled holds a TAB) a line that begins with a TAB has an empty first cell, which
// ends the reading: its numbers belong to other columns.
class NumberVectorReader {
public:
    // The records of a text (SplitRecords' lines, taken one at a time; the text outlives the
    // reader), or records split before.
    NumberVectorReader(std::string_view text, int64_t m, NumberPrecision precision);
    NumberVectorReader(const std::vector<std::string>& records, int64_t m, NumberPrecision precision);
    // The next vector: `fill`(k, r, x) gets its values k .. k + r - 1 (0-based), all x, so that a
    // repeat costs one call whatever its count. Returns true for a complete vector; false at the
    // end of the records or at an item that ends the reading, which `notes` (when given) learns
    // with its line. `notes` also learns the rules that took effect for the vectors read whole.
    template <typename Fill>
    bool Next(Fill&& fill, NumberReadNotes* notes);

private:
    // The items of the next line that is not blank into split_, its line in `line`; false at the
    // end of the records or at a line that ends the reading (`notes` told).
    bool NextLine(int64_t need, int64_t& line, NumberReadNotes* notes);
    // Ends a vector that the items of `line` completed at item k: the rest of the line is noted.
    void Complete(size_t k, int64_t unread, int64_t line, int64_t shortLine, NumberReadNotes* notes);
    static bool Stop(NumberFault fault, int64_t line, NumberReadNotes* notes);
    bool NextRecord(std::string_view& record);
    bool IsTabTable() const;

    const std::vector<std::string>* records_ = nullptr;  // the records split before, or none
    RecordCursor text_;   // the records still to come of a text
    RecordCursor start_;  // all of them
    int64_t m_;
    NumberPrecision precision_;
    size_t next_ = 0;     // the records read
    int64_t endLine_ = 0;  // the line of an end-of-file mark met after a vector's end
    int tabTable_ = -1;    // whether the records are a TAB table, -1 until a line begins with a TAB
    LineItems split_;      // the items of the current line, its buffers reused
};

template <typename Fill>
bool NumberVectorReader::Next(Fill&& fill, NumberReadNotes* notes)
{
    if (m_ < 1) return false;
    if (endLine_ > 0) return Stop(NumberFault::EndMark, endLine_, notes);
    int64_t have = 0;
    int64_t begun = 0;
    int64_t shortLine = 0;
    int64_t line = 0;
    while (NextLine(m_ - have, line, notes)) {
        if (have == 0) begun = line;
        int64_t unread = 0;
        size_t k = 0;
        for (; k < split_.items.size() && have < m_; ++k) {
            const LineItem& item = split_.items[k];
            const NumberFault fault = ItemFault(item.item, precision_);
            if (fault != NumberFault::None) return Stop(fault, line, notes);
            const int64_t taken = item.repeat < m_ - have ? item.repeat : m_ - have;
            fill(have, taken, item.item.value);
            have += taken;
            if (taken < item.repeat) ++unread;
        }
        if (have == m_) {
            Complete(k, unread, line, shortLine, notes);
            return true;
        }
        // A slash before the m-th number leaves the vector incomplete.
        if (split_.slash) return Stop(NumberFault::EmptyItem, line, notes);
        if (have > 0 && shortLine == 0) shortLine = line;
    }
    if (line < 0) return false;
    return have > 0 ? Stop(NumberFault::Incomplete, begun, notes) : false;
}

// How a reader takes its numbers, for the words of its notes.
enum class NumberUnit {
    Value,   // one number a line (Open, Paste of a series, a vector of one number)
    Vector,  // m numbers a vector
    Row,     // the numbers of a pasted table's row
};

// What stands at a fault's line, after "Line N ": "holds text where a number should stand".
std::string NumberFaultText(NumberFault fault, NumberUnit unit);

// "Line N " and the fault's text, with a full stop.
std::string NumberFaultSentence(int64_t line, NumberFault fault, NumberUnit unit);

// The sentences that tell where the reading rules took effect, each short enough for a console
// line: "Line 1 holds more items than a vector takes." and "The rest of such lines was not read:
// 108 items in all."; "Line 2 holds fewer items than a vector takes:" and "a vector goes on in the
// lines that follow.". Empty when neither did.
std::vector<std::string> NumberRuleLines(const NumberReadNotes& notes, NumberUnit unit);

// The question asked after a read that kept `count` items (`noun`: "value", "vector"; `detail`
// follows the count's noun, such as " of 3 numbers") but did not take the text as it stands, or
// "" when it did: where reading stopped and after how many items, the sentences of the rules that
// took effect, and "Keep them?".
std::string NumberReadQuestion(const NumberReadNotes& notes, NumberUnit unit, int64_t count, const std::string& noun,
                               const std::string& detail = "");
