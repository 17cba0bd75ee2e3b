#pragma once
// What a person may type where a number is asked for: a dialog field or a console prompt. An entry
// that asks for one number is the whole text, read as one item of number text (ClassifyNumberItem),
// with blanks around it; an entry that asks for several numbers on a line follows the files' comma
// rule with the count it needs (SplitNumberLine). Anything else is refused with its reason, so that
// "0,5" never becomes 0 and "1/2" never becomes 1.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Why a typed entry was refused.
enum class EntryFault {
    None,
    Blank,           // nothing but blanks
    Text,            // not a number
    DateOrFraction,  // 1/2, 12/01/1990, 1990-01
    Thousands,       // 1,234.5
    DecimalComma,    // 0,5
    EmptyItem,       // a comma or a slash where a number should stand
    NotFinite,       // NaN or an infinity
    TooLarge,        // beyond the numbers the entry holds (doubles, floats or 32-bit integers)
    TooSmall,        // not zero, but too small for single precision
    NotWhole,        // a fraction where a whole number is asked for
    MoreNumbers,     // more numbers than the entry asks for
    FewerNumbers,    // fewer numbers than the entry asks for
};

// What kind of number an entry holds.
enum class EntryKind {
    Real,     // a double
    Single,   // a float, as the console programs hold their reals
    Whole,    // a whole number of any size, held as a double, for a count the caller bounds itself
    Integer,  // a whole number within the 32-bit integers
};

// Reads one number of `kind` from the whole of `text`; blanks and TABs around it are allowed.
// Returns None with `value` set, or the fault (`value` unchanged).
[[nodiscard]] EntryFault ReadEntryNumber(std::string_view text, EntryKind kind, double& value);

// The same for a whole number within the 32-bit integers.
[[nodiscard]] EntryFault ReadEntryInteger(std::string_view text, int32_t& value);

// Reads the numbers of one typed line into `values` for an entry of `need` numbers (need >= 1),
// which may go on over several lines: the line must hold at most need - values.size() numbers,
// and a comma between digits parts numbers only when that gives exactly that count. A repeat
// "r*v" stands for r numbers v. Returns None with the line's numbers appended (the entry is
// complete when values.size() reaches `need`), or the fault (`values` unchanged); a blank line
// adds nothing. A '/' ends the entry: with fewer numbers than needed it is FewerNumbers.
[[nodiscard]] EntryFault ReadEntryLine(std::string_view line, int64_t need, EntryKind kind,
                                       std::vector<double>& values);

// Reads a field's entry of `kind`: "" with `value` set, or the refusal (EntryRefusal) naming
// `field` and the reason, `value` unchanged.
std::string ReadFieldEntry(std::string_view field, std::string_view text, EntryKind kind, double& value);

// The first and last index of a range typed into two fields: "" with `first` and `last` set when
// both are 32-bit whole numbers, else the refusal of the first that is not ("First index \"x\" is
// not a number."), nothing set.
std::string ReadIndexRange(std::string_view firstText, std::string_view lastText, int32_t& first, int32_t& last);

// What follows the typed text in a refusal: "has a decimal comma: type a decimal point".
// `count` is the number of numbers the entry asks for.
std::string EntryFaultText(EntryFault fault, int64_t count = 1);

// The refusal of an entry, naming the field and the reason: `Alpha "0,3" has a decimal comma: type
// a decimal point.`; a long text is shortened with "...".
std::string EntryRefusal(std::string_view field, std::string_view text, EntryFault fault, int64_t count = 1);
