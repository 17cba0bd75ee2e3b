#pragma once
// Formatted text output by Fortran edit descriptors and free-format (list-directed) reading.
// Text is produced through std::to_chars / std::from_chars only, never printf or the locale, so the
// native and the Windows builds give identical text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One item of an output list.
struct FormatValue {
    enum class Kind { Integer, Real, Text };
    Kind kind;
    long long integer = 0;
    double real = 0.0;
    bool single = false;  // a single-precision real: free-format output gives its shortest float text
    std::string text;

    FormatValue(int v) : kind(Kind::Integer), integer(v) {}
    FormatValue(long v) : kind(Kind::Integer), integer(v) {}
    FormatValue(long long v) : kind(Kind::Integer), integer(v) {}
    FormatValue(float v) : kind(Kind::Real), real(v), single(true) {}
    FormatValue(double v) : kind(Kind::Real), real(v) {}
    FormatValue(const char* s) : kind(Kind::Text), text(s) {}
    FormatValue(std::string s) : kind(Kind::Text), text(std::move(s)) {}
};

// Writes `values` under the Fortran format `format`, for example "(2X,'ITERATION',\\)", "(I3,\\)",
// "(1PE12.5)", "(F15.2)", "(3(I4,F10.3))", "(A,/,5X,E12.4)".
// Descriptors: Iw[.m], Fw.d, Ew.d[Ee], Dw.d, ESw.d[Ee], Gw.d[Ee], kP, Aw and A, nX, Tn, TLn, TRn,
// 'literal' and "literal", '/', ':', repeat counts and nested groups, format reversion, and the
// non-advancing marker ('\' or '$'). A value that does not fit its field gives w asterisks.
// Records end with '\n'. Once the non-advancing marker has been met, neither format reversion nor
// the end of the statement ends the record (the items run on in one line); '/' always ends one.
// Values must suit their descriptors as in Fortran: integers for I, reals for F, E, D and ES,
// texts for A; G takes any of them. Blanks in the format are ignored and letters may be lower case.
// `out` is replaced. Returns 1 done; 0 when the format is malformed (also Iw.m with m > w, or a
// scale factor that leaves E no significant digit), a value does not suit its descriptor, or items
// remain but the part of the format that would be repeated takes none; `out` then holds what was
// written before the fault.
[[nodiscard]] int WriteFormatted(std::string_view format, const std::vector<FormatValue>& values,
                                 std::string& out);

// The text of WriteFormatted, or "" when it fails.
std::string Formatted(std::string_view format, const std::vector<FormatValue>& values);

// Free-format (list-directed) output of one value, without surrounding blanks: an integer's
// decimal text; a real's shortest text that reads back to the same double ("0.1", "1e+23",
// "Infinity", "NaN").
std::string FreeFormatInt(long long n);
std::string FreeFormatReal(double x);
// The same for a single-precision real: the shortest text that reads back to the same float.
std::string FreeFormatSingle(float x);
// The free-format text of one output item: FreeFormatInt, FreeFormatReal or FreeFormatSingle by
// its kind, a text as it is.
std::string FreeFormatItem(const FormatValue& value);

// Free-format (list-directed) reading of up to `count` values from one text. Values are separated
// by blanks, TABs, line ends or a comma; a slash ends the input; "r*v" repeats v r times; a null value (two
// commas, "r*") leaves its target unchanged. Reals accept forms such as 1.5, .5, 5., 1E3, 1D3, +3,
// 1.5+3 (an exponent given by its sign alone, as Fortran writes one only after a mantissa with a
// point: "1990-01" and "1+3" are not numbers), and Inf, Infinity and NaN in any case; a real that
// overflows is not a number, one that underflows reads as zero. Integers must fit int32.
// Returns 1 when all `count` items were taken (nulls included) or a slash ended the input,
// 0 when the text ended first (the values read so far are stored), -1 when an item is not a
// number of the requested kind (the values before it are stored).
[[nodiscard]] int ReadFreeReals(std::string_view text, int count, double* values);
[[nodiscard]] int ReadFreeInts(std::string_view text, int count, int32_t* values);
// ReadFreeReals for single precision, where only finite numbers within the float range are
// numbers: Inf, NaN and values that would overflow a float are unreadable items (status -1).
[[nodiscard]] int ReadFreeSingles(std::string_view text, int count, float* values);
