#include "numlib/matrix_print.h"

#include "library_capture.h"
#include "numlib/periodogram.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kOptionDefault[16] = {0, 1000000, -2, 2, 0, 3, 2, 0, 3, 0, 0, 0, 10, 0, 0, 0};

// Page settings and printing options are global: every test leaves the defaults behind.
class MatrixPrint : public LibraryCapture {
protected:
    void TearDown() override
    {
        int width = 78;
        int length = 60;
        PGOPT(-1, width);
        PGOPT(-2, length);
        for (int k = 1; k <= 16; ++k) {
            int value = kOptionDefault[k - 1];
            WROPT(-k, value, 1);
        }
        LibraryCapture::TearDown();
    }
    // The error code left by the library routine the test called last.
    static int LastCode() { return N1RCD(1); }
    // The printed messages with their line breaks and runs of blanks undone, for finding a
    // message's text without restating how it wraps (the wrapping has its own tests).
    std::string Flat() const
    {
        std::string text;
        const std::string continuation = "\n ***          ";
        for (size_t i = 0; i < output.size(); ++i) {
            if (output.compare(i, continuation.size(), continuation) == 0) {
                i += continuation.size() - 1;
                if (text.empty() || text.back() != ' ') text += ' ';
                continue;
            }
            if (output[i] == ' ' && !text.empty() && text.back() == ' ') continue;
            text += output[i];
        }
        return text;
    }
    static std::string Flat(std::string text)
    {
        text.erase(std::unique(text.begin(), text.end(), [](char x, char y) { return x == ' ' && y == ' '; }), text.end());
        return text;
    }
};

struct LayoutCase {
    const char* name;
    int nra;
    int nca;
    std::vector<double> a;  // column-major, lda = nra
    int itring;
    const char* fmt;
    std::vector<std::string> rowLabels;
    std::vector<std::string> colLabels;
    int pageWidth;
    int pageLength;
    int option4;
    int option6;
    const char* title;
    std::string expected;
};

// 3 by 3: rows (1 2 3), (4 5 6), (7 8 9.5).
const std::vector<double> kSquare = {1, 4, 7, 2, 5, 8, 3, 6, 9.5};

const std::vector<LayoutCase> kLayouts = {
    {"upper triangle with diagonal leaves three blanks", 3, 3, kSquare, 1, "(F6.1)", {"NUMBER"}, {"NUMBER"}, 78, 60, 2,
     3, "Upper",
     "          Upper\n"
     "\n"
     "        1       2       3\n"
     "1     1.0     2.0     3.0\n"
     "2             5.0     6.0\n"
     "3                     9.5\n"},
    {"strict lower triangle", 3, 3, kSquare, -2, "(I4)", {"NUMBER"}, {"NONE"}, 78, 60, 2, 3, "",
     "\n"
     "1\n"
     "2     4\n"
     "3     7     8\n"},
    {"special values by default", 3, 1, {kNaN, kInf, -kInf}, 0, "(F5.1)", {"NONE"}, {"NONE"}, 78, 60, 2, 3, "",
     "\n"
     "    NaN\n"
     "    Inf\n"
     "   -Inf\n"},
    {"special values as fills", 3, 1, {kNaN, kInf, -kInf}, 0, "(F5.1)", {"NONE"}, {"NONE"}, 78, 60, 0, 3, "",
     "\n"
     "  .....\n"
     "  +++++\n"
     "  -----\n"},
    {"special values with a blank NaN", 3, 1, {kNaN, kInf, -kInf}, 0, "(F5.1)", {"NONE"}, {"NONE"}, 78, 60, 3, 3, "",
     "\n"
     "\n"
     "    Inf\n"
     "   -Inf\n"},
    {"text labels, corner heading and a heading cut to fifteen", 3, 2, {0.5, -1.25, 2, 1, 22, 333}, 0, "(F7.3,I3)",
     {"alpha", "beta", "gamma"}, {"Name", "x", "A long heading, cut"}, 78, 60, 2, 3, "Table",
     "             Table\n"
     "\n"
     "Name         x  A long heading,\n"
     "alpha    0.500                1\n"
     "beta    -1.250               22\n"
     "gamma    2.000              333\n"},
    {"columns split into blocks by the page width", 1, 4, {1, 2, 3, 4}, 0, "(F10.2)", {"NUMBER"}, {"NUMBER"}, 30, 60,
     2, 3, "Blocks",
     "         Blocks\n"
     "\n"
     "            1           2\n"
     "1        1.00        2.00\n"
     "\n"
     "            3           4\n"
     "1        3.00        4.00\n"},
    {"headings repeated when the page is full", 12, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0, "(I3)", {"NONE"},
     {"NUMBER"}, 78, 10, 2, 3, "P",
     "  P\n"
     "\n"
     "    1\n"
     "    1\n"
     "    2\n"
     "    3\n"
     "    4\n"
     "    5\n"
     "    6\n"
     "    7\n"
     "\n"
     "    1\n"
     "    8\n"
     "    9\n"
     "   10\n"
     "   11\n"
     "   12\n"},
    {"W prints whole numbers with I, V never", 2, 2, {1, 2, 1, 2}, 0, "(W6.3,V6.3)", {"NONE"}, {"NONE"}, 78, 60, 2, 3,
     "",
     "\n"
     "       1    1.00\n"
     "       2    2.00\n"},
    {"W on fractions takes DFMTX's format", 2, 1, {0.125, -31.5}, 0, "(W9.4)", {"NONE"}, {"NONE"}, 78, 60, 2, 3, "",
     "\n"
     "       0.12\n"
     "     -31.50\n"},
    {"blank format, option 6 = 3: a common F format", 1, 2, {0.5, 12.25}, 0, " ", {"NONE"}, {"NONE"}, 78, 60, 2, 3,
     "",
     "\n"
     "        0.50       12.25\n"},
    {"blank format, option 6 = 3 never uses I", 1, 2, {1, 2}, 0, "", {"NONE"}, {"NONE"}, 78, 60, 2, 3, "",
     "\n"
     "       1.000       2.000\n"},
    {"blank format, option 6 = 0 uses I for whole numbers", 1, 2, {1, 2}, 0, "", {"NONE"}, {"NONE"}, 78, 60, 2, 0, "",
     "\n"
     "           1           2\n"},
    {"blank format, option 6 = 2", 1, 1, {0.5}, 0, "", {"NONE"}, {"NONE"}, 78, 60, 2, 2, "",
     "\n"
     "   5.00000E-01\n"},
    {"repeat counts, groups and reversion", 1, 5, {1, 2.5, 3, 4.5, 5}, 0, "(2(I3,F5.1))", {"NONE"}, {"NONE"}, 78, 60,
     2, 3, "",
     "\n"
     "    1    2.5    3    4.5    5\n"},
    {"I beyond the largest integer shows asterisks; fractions round", 2, 1, {3e9, 2.6}, 0, "(I4)", {"NONE"}, {"NONE"},
     78, 60, 2, 3, "",
     "\n"
     "  ****\n"
     "     3\n"},
    {"scale factor and E", 1, 1, {1234.5}, 0, "(1PE11.3)", {"NONE"}, {"NONE"}, 78, 60, 2, 3, "",
     "\n"
     "    1.234E+03\n"},
};

}  // namespace

TEST_F(MatrixPrint, LayoutsAreExact)
{
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        int width = c.pageWidth;
        int length = c.pageLength;
        PGOPT(-1, width);
        PGOPT(-2, length);
        int option4 = c.option4;
        int option6 = c.option6;
        WROPT(-4, option4, 0);
        WROPT(-6, option6, 0);
        Clear();
        DW2RRL(c.title, c.nra, c.nca, c.a.data(), c.nra, c.itring, c.fmt, c.rowLabels, c.colLabels);
        EXPECT_EQ(output, c.expected);
        EXPECT_EQ(LastCode(), 0);
        EXPECT_TRUE(stops.empty());
    }
}

TEST_F(MatrixPrint, PeriodogramPrintsItsTable)
{
    const double x[8] = {1, 3, 2, 5, 4, 4, 6, 2};
    double pm[5 * 5];
    DPFFT(8, x, 1, 3.375, 0, 0, 1, pm, 5);
    // Frequency, I, A and B each get the 4-digit format of their largest value; the period F10.2,
    // its NaN in row 1 shown as "NaN". The data are multiples of 1/8, so A at pi/2 and B at pi
    // come out exactly 0.
    const std::string expected =
        "             Results of the Periodogram Analysis\n"
        "\n"
        "   Freq, w(k)      Period     I(w(k))     A(w(k))     B(w(k))\n"
        "1       0.000         NaN      0.0000      0.0000     -0.0000\n"
        "2       0.785        8.00      0.8088     -0.3234     -0.8392\n"
        "3       1.571        4.00      0.1790      0.0000     -0.4231\n"
        "4       2.356        2.67      0.5838     -0.5229     -0.5571\n"
        "5       3.142        2.00      0.0199      0.1410      0.0000\n";
    EXPECT_EQ(output, expected);
    EXPECT_TRUE(stops.empty());
    // The printed ordinates are those returned.
    EXPECT_NEAR(pm[2 * 5 + 1], 0.8088, 5e-5);
    EXPECT_NEAR(pm[4 * 5 + 3], -0.5571, 5e-5);
}

struct FormatErrorCase {
    const char* fmt;
    int code;
    std::string expected;
};

TEST_F(MatrixPrint, MalformedFormatsAreRefusedWithTheirMessages)
{
    const std::vector<FormatErrorCase> cases = {
        {"F10.2)", 6,
         " *** TERMINAL ERROR 6 from DW2RRL.  The first non-blank position of FMT must\n"
         " ***          be a left parenthesis.\n"},
        {"  (F10.2  ", 7,
         " *** TERMINAL ERROR 7 from DW2RRL.  The last non-blank position of FMT must\n"
         " ***          be a right parenthesis.\n"},
        {"(F10.2;I5)", 8,
         " *** TERMINAL ERROR 8 from DW2RRL.  An invalid character is in FMT:  ';' \n"
         " ***          Only D, E, F, G, I, V and W edit descriptors are allowed in \n"
         " ***          this routine.\n"},
        {"(F10.2,,I5)", 9,
         " *** TERMINAL ERROR 9 from DW2RRL.  A null string is encountered in FMT:\n"
         " ***          '(F10.2,,I5)'\n"},
        {"()", 9, " *** TERMINAL ERROR 9 from DW2RRL.  A null string is encountered in FMT: '()'\n"},
        {"(F10)", 10,
         " *** TERMINAL ERROR 10 from DW2RRL.  FMT contains the following invalid F\n"
         " ***          format: 'F10'\n"},
        {"(F50.2)", 10,
         " *** TERMINAL ERROR 10 from DW2RRL.  FMT contains the following invalid F\n"
         " ***          format: 'F50.2'\n"},
        {"(f10.12)", 11,
         " *** TERMINAL ERROR 11 from DW2RRL.  FMT contains an invalid number of digits\n"
         " ***          for the fractional part for the following F format: 'F10.12'\n"},
        {"(W10.11)", 11,
         " *** TERMINAL ERROR 11 from DW2RRL.  FMT contains an invalid number of\n"
         " ***          significant digits for the following W format: 'W10.11'\n"},
        {"(0F10.2)", 12,
         " *** TERMINAL ERROR 12 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the repeat specification: '0F10.2'\n"},
        {"(F1E.2)", 13,
         " *** TERMINAL ERROR 13 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the field width: 'F1E.2'\n"},
        {"(V10.E)", 14,
         " *** TERMINAL ERROR 14 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the number of significant digits for a V \n"
         " ***          format: 'V10.E'\n"},
        {"(1.5PF10.2)", 15,
         " *** TERMINAL ERROR 15 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the scale factor: '1.5PF10.2'\n"},
        {"(D10.E)", 16,
         " *** TERMINAL ERROR 16 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the number of digits in the fractional \n"
         " ***          part for a D format: 'D10.E'\n"},
        {"(I5.E)", 17,
         " *** TERMINAL ERROR 17 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the number of digits (including leading \n"
         " ***          zeros) to be printed for an I format: 'I5.E'\n"},
        {"(E12.5E)", 18,
         " *** TERMINAL ERROR 18 from DW2RRL.  The following format in FMT contains an\n"
         " ***          invalid character for the number of digits for the exponent for \n"
         " ***          an E format: 'E12.5E'\n"},
        {"(F10.2))", 19,
         " *** TERMINAL ERROR 19 from DW2RRL.  FMT = '(F10.2))' is not a well-formed\n"
         " ***          list of edit descriptors.\n"},
        {"(12)", 19,
         " *** TERMINAL ERROR 19 from DW2RRL.  FMT = '(12)' is not a well-formed list\n"
         " ***          of edit descriptors.\n"},
    };
    const double a[2] = {1, 2};
    for (const FormatErrorCase& c : cases) {
        SCOPED_TRACE(c.fmt);
        Clear();
        DW2RRL("T", 2, 1, a, 2, 0, c.fmt, {"NUMBER"}, {"NUMBER"});
        EXPECT_EQ(output, "\n" + c.expected);  // nothing of the table is printed
        EXPECT_EQ(LastCode(), c.code);
        EXPECT_EQ(stops.size(), 1u);
        EXPECT_TRUE(LibraryCallAbandoned());
    }
}

TEST_F(MatrixPrint, EveryArgumentCheckOfDW2RRLReports)
{
    const double a[1] = {1};
    DW2RRL("T", -1, -2, a, 0, 3, "(F5.1)", {"NONE"}, {"NONE"});
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 1 from DW2RRL.  NRA = -1.  NRA must be greater than or\n"
              " ***          equal to 0.\n"
              "\n *** TERMINAL ERROR 2 from DW2RRL.  LDA = 0.  LDA must be greater than or\n"
              " ***          equal to 1.\n"
              "\n *** TERMINAL ERROR 4 from DW2RRL.  NCA = -2.  NCA must be greater than or\n"
              " ***          equal to 0.\n"
              "\n *** TERMINAL ERROR 5 from DW2RRL.  ITRING = 3.  ITRING must be greater than\n"
              " ***          or equal to -2 and less than or equal to 2.\n");
    EXPECT_EQ(stops.size(), 1u);

    Clear();
    DW2RRL("T", 3, 1, a, 2, 0, "(F5.1)", {"NONE"}, {"NONE"});
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 3 from DW2RRL.  NRA = 3 and LDA = 2.  NRA must be less\n"
              " ***          than or equal to LDA.\n");
    // NRA above LDA is harmless when no column is printed.
    Clear();
    DW2RRL("", 3, 0, a, 2, 0, "(F5.1)", {"NONE"}, {"NONE"});
    EXPECT_EQ(LastCode(), 0);
    EXPECT_TRUE(stops.empty());
}

TEST_F(MatrixPrint, PageWidthLimits)
{
    int page = 9;
    PGOPT(-1, page);
    EXPECT_EQ(LastCode(), 2);
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 2 from PGOPT.  IPAGE = 9.  Page width must be greater\n"
              " ***          than or equal to 10.\n");
    page = 0;
    PGOPT(1, page);
    EXPECT_EQ(page, 78);  // the refused setting left the width as it was

    Clear();
    page = 9;
    PGOPT(-2, page);
    EXPECT_EQ(LastCode(), 3);
    page = 4;
    PGOPT(3, page);
    EXPECT_EQ(LastCode(), 1);
    EXPECT_NE(Flat().find(Flat("IABS(IOPT) = 3.  IABS(IOPT) must be greater than or equal to 1 and less than or "
                               "equal to 2.")),
              std::string::npos);
    EXPECT_EQ(page, 4);

    Clear();
    page = 10;
    PGOPT(-1, page);
    EXPECT_EQ(LastCode(), 0);
    page = 0;
    PGOPT(1, page);
    EXPECT_EQ(page, 10);
    page = 12;
    PGOPT(-2, page);
    page = 0;
    PGOPT(2, page);
    EXPECT_EQ(page, 12);
    EXPECT_TRUE(stops.empty());

    // One column and the row labels need 1 + 2 + 10 positions.
    const double a[1] = {1};
    DW2RRL("", 1, 1, a, 1, 0, "(F10.2)", {"NUMBER"}, {"NONE"});
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 37 from DW2RRL.  A page width of 10 was retrieved via\n"
              " ***          ORNU routine PGOPT.  The page width must be increased to at \n"
              " ***          least 13 by a call to PGOPT.\n");
    Clear();
    DW2RRL("", 1, 1, a, 1, 0, "(F12.2)", {"NONE"}, {"NONE"});
    EXPECT_EQ(LastCode(), 36);
    EXPECT_NE(Flat().find(Flat("A page width of 10 was retrieved via ORNU routine PGOPT.  The format FMT contains "
                               "a field width of 12.  Either the largest field width in FMT must be decreased or "
                               "the page width increased to at least 14 by a call to PGOPT.")),
              std::string::npos)
        << output;

    Clear();
    page = 256;
    PGOPT(-1, page);
    EXPECT_EQ(LastCode(), 0);
    DW2RRL("", 1, 1, a, 1, 0, "(F10.2)", {"NONE"}, {"NONE"});
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 38 from DW2RRL.  A page width of 256 was retrieved via\n"
              " ***          ORNU routine PGOPT.  The page width must be reset to no greater \n"
              " ***          than 255 by a call to PGOPT. \n");
}

TEST_F(MatrixPrint, OptionsKeepCurrentAndPermanentValues)
{
    for (int k = 1; k <= 16; ++k) {
        int value = -99;
        WROPT(k, value, 0);
        EXPECT_EQ(value, kOptionDefault[k - 1]) << "option " << k;
    }
    int value = 0;
    WROPT(-4, value, 0);  // current only
    value = 5;
    WROPT(-6, value, 1);  // permanent too
    value = 1;
    WROPT(-3, value, 1);  // a permanent value that is not negative
    value = -1;
    WROPT(-3, value, 0);
    value = -7;
    WROPT(4, value, 1);
    EXPECT_EQ(value, 2);
    WROPT(4, value, 0);
    EXPECT_EQ(value, 0);

    int ignored = 0;
    WROPT(0, ignored, 7);  // scope is not checked on a reset
    EXPECT_EQ(LastCode(), 0);
    WROPT(4, value, 0);
    EXPECT_EQ(value, 2);
    WROPT(6, value, 0);
    EXPECT_EQ(value, 5);
    WROPT(3, value, 0);
    EXPECT_EQ(value, -1);  // kept: its permanent value is not negative
    EXPECT_TRUE(stops.empty());

    value = 4;
    WROPT(-4, value, 0);
    EXPECT_EQ(LastCode(), 2);
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 2 from WROPT.  ISET = 4.  ISET must be greater than or\n"
              " ***          equal to 0 and less than or equal to 3.\n");
    WROPT(4, value, 0);
    EXPECT_EQ(value, 2);  // unchanged

    Clear();
    value = -3;
    WROPT(-3, value, 0);
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 2 from WROPT.  ISET = -3.  ISET must be greater than or\n"
              " ***          equal to -2.\n");
    Clear();
    value = 0;
    WROPT(-17, value, 2);
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 1 from WROPT.  IABS(IOPT) = 17.  IABS(IOPT) must be\n"
              " ***          greater than or equal to 0 and less than or equal to 16.\n"
              "\n *** TERMINAL ERROR 3 from WROPT.  ISCOPE = 2.  ISCOPE must be greater than\n"
              " ***          or equal to 0 and less than or equal to 1.\n");
    Clear();
    WROPT(5, value, -1);
    EXPECT_EQ(LastCode(), 2);  // reading: the scope check is code 2
}

TEST_F(MatrixPrint, FormatChoiceForOneValueAndAMatrix)
{
    struct Case {
        double value;
        int width;
        int digits;
        const char* expected;
    };
    const Case cases[] = {
        {3.14159, 10, 4, "(0PF10.3) "}, {-31.5, 9, 4, "(0PF9.2)  "},  {0.0125, 10, 4, "(0PF10.5) "},
        {0.0, 10, 4, "(0PF10.3) "},     {1000, 10, 4, "(0PF10.0) "},  {9999999, 10, 4, "(0PF10.0) "},
        {1e7, 10, 4, "(1PE10.3) "},     {0.0009, 10, 4, "(1PE10.3) "}, {123456.0, 7, 4, "(1PE7.0)  "},
        {123456.0, 6, 4, "(0PF6.0)  "}, {2.5, 40, 40, "(0PF40.37)"},  {0.0009, 6, 3, "(0PF6.3)  "},
        {-0.5, -12, -6, "(0PF12.6) "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(DFMTX(c.value, c.width, c.digits), c.expected);
    }
    EXPECT_TRUE(stops.empty());

    EXPECT_EQ(DFMTX(1.0, 2, 1), "          ");
    EXPECT_EQ(LastCode(), 1);
    EXPECT_EQ(DFMTX(1.0, 10, 11), "          ");
    EXPECT_EQ(LastCode(), 2);
    Clear();

    // rows (1 2.5), (NaN 4): NaN ignored; the strict upper part holds only 2.5.
    const double a[4] = {1, kNaN, 2.5, 4};
    EXPECT_EQ(DFMTRR(2, 2, a, 2, 0, 10, 4), "(0PF10.3) ");
    EXPECT_EQ(DFMTRR(2, 2, a, 2, -1, 10, 4), "(I10)     ");
    EXPECT_EQ(DFMTRR(2, 2, a, 2, -1, 10, -4), "(0PF10.3) ");
    EXPECT_EQ(DFMTRR(2, 2, a, 2, -1, -10, 4), "(0PF10.3) ");
    EXPECT_EQ(DFMTRR(2, 2, a, 2, 2, 8, 2), "(0PF8.1)  ");
    const double specials[2] = {kInf, 3};
    EXPECT_EQ(DFMTRR(2, 1, specials, 2, 0, 6, 3), "(I6)      ");
    EXPECT_TRUE(stops.empty());
    EXPECT_EQ(DFMTRR(3, 1, a, 2, 0, 41, 4), "          ");
    EXPECT_NE(Flat().find(Flat("ERROR 3 from DFMTRR.  NRA = 3 and LDA = 2.  NRA must be less than or equal to LDA.")),
              std::string::npos);
    EXPECT_NE(Flat().find(Flat("ERROR 5 from DFMTRR.  NWIDTH = 41.  NWIDTH must be greater than or equal to 3 and "
                               "less than or equal to 40.")),
              std::string::npos);
}

TEST_F(MatrixPrint, LargestElementAndIntegerText)
{
    struct MaxCase {
        std::vector<double> x;
        int n;
        int incx;
        int expected;
    };
    const MaxCase maxCases[] = {
        {{1, -3, 3, 2}, 4, 1, 2},        // first of the tie
        {{kNaN, -1, 0.5}, 3, 1, 2},      // NaN skipped
        {{kNaN, kNaN}, 2, 1, 0},         // all NaN
        {{1, 9, 2, 9, -5}, 3, 2, 3},     // x(1), x(3), x(5)
        {{7}, 0, 1, 0},
    };
    for (const MaxCase& c : maxCases) {
        int result = -1;
        DI1MAX(c.n, c.x.data(), c.incx, result);
        EXPECT_EQ(result, c.expected);
    }
    int result = 42;
    const double x[1] = {1};
    DI1MAX(-1, x, 0, result);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 1 from DI1MAX.  N = -1.  N must be greater than or equal\n"
              " ***          to 0.\n"
              "\n *** TERMINAL ERROR 2 from DI1MAX.  INCX = 0.  INCX must be greater than or\n"
              " ***          equal to 1.\n");

    struct TextCase {
        const char* text;
        int code;
        int value;
        const char* message;
    };
    const TextCase textCases[] = {
        {"  42  ", 0, 42, ""},
        {"-17", 0, -17, ""},
        {" + 5", 0, 5, ""},
        {"2147483647", 0, 2147483647, ""},
        {"-2147483647", 0, -2147483647, ""},
        {"2147483648", 3, 0, "The string '2147483648' is too large to be converted to an integer."},
        {"   ", 4, 0, "The input string '   ' cannot be converted to an integer."},
        {" -", 4, 0, "The input string ' -' cannot be converted to an integer."},
        {"12a4", 2, 0, "The string '12a4' contains a nonnumeric character at position 3"},
        {"1 2", 2, 0, "The string '1 2' contains a nonnumeric character at position 3"},
        {"", 1, 0, "The length of the input string is 0"},
    };
    for (const TextCase& c : textCases) {
        SCOPED_TRACE(c.text);
        Clear();
        int value = 0;
        CVTSI(c.text, value);
        EXPECT_EQ(LastCode(), c.code);
        EXPECT_EQ(value, c.value);
        if (c.code != 0) {
            EXPECT_NE(Flat().find(Flat(c.message)), std::string::npos) << output;
        } else {
            EXPECT_TRUE(output.empty());
        }
    }
}
