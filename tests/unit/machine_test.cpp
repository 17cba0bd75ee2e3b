#include "library_capture.h"
#include "numlib/machine.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

using Machine = LibraryCapture;

namespace {
uint64_t Bits(double x)
{
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}
}  // namespace

TEST_F(Machine, DoubleConstantsHaveTheirExactBitPatterns)
{
    const uint64_t expected[] = {0x0010000000000000ULL, 0x7FEFFFFFFFFFFFFFULL, 0x3CA0000000000000ULL,
                                 0x3CB0000000000000ULL, 0x3FD34413509F79FFULL, 0x7FF8000000000000ULL,
                                 0x7FF0000000000000ULL, 0xFFF0000000000000ULL};
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(Bits(DMACH(n)), expected[n - 1]) << n;
    EXPECT_EQ(DMACH(4), std::numeric_limits<double>::epsilon());
    EXPECT_EQ(DMACH(3), DMACH(4) / 2);
    EXPECT_EQ(DMACH(1), std::numeric_limits<double>::min());
    EXPECT_EQ(DMACH(2), std::numeric_limits<double>::max());
    EXPECT_NEAR(DMACH(5), std::log10(2.0), 1e-16);
    EXPECT_TRUE(IsNaN(DMACH(6)));
    EXPECT_FALSE(IsNaN(DMACH(7)));
    EXPECT_FALSE(IsNaN(DMACH(8)));
    EXPECT_FALSE(IsNaN(0.0));
    EXPECT_TRUE(IsNaN(-std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(output.empty());

    EXPECT_TRUE(IsNaN(DMACH(9)));
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 5 from DMACH.  The argument must be between 1 and 8\n"
                      " ***          inclusive. N = 9\n");
    EXPECT_EQ(stops.size(), 1u);
}

TEST_F(Machine, IntegerConstantsAndUnits)
{
    const int expected[] = {32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};
    for (int n = 1; n <= 12; ++n) EXPECT_EQ(IMACH(n), expected[n - 1]) << n;
    EXPECT_EQ(IMACH(13), 0);
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 5 from IMACH.  The argument\n"
                      " ***          must be between 1 and 12 inclusive.\n"
                      " ***          N =     13.\n\n");
    EXPECT_EQ(stops.size(), 1u);

    Clear();
    int unit = 0;
    UMACH(1, unit);
    EXPECT_EQ(unit, 5);
    UMACH(2, unit);
    EXPECT_EQ(unit, 6);
    UMACH(3, unit);
    EXPECT_EQ(unit, 6);
    int seven = 7;
    UMACH(-3, seven);
    UMACH(3, unit);
    EXPECT_EQ(unit, 7);
    int six = 6;
    UMACH(-3, six);
    UMACH(-4, unit);
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 5 from UMACH.  The absolute\n"
                      " ***          value of the index variable must be\n"
                      " ***          1, 2, or 3.  IABS(N) =      4.\n\n");
}

TEST_F(Machine, OptionsGetPutAndTheirReports)
{
    std::vector<int> values;
    IUMAG("math", 1, 1, 2, {16, 17}, values);
    EXPECT_EQ(values, (std::vector<int>{1, 16, 0, 1, 1, 2}));
    EXPECT_EQ(output,
              "\n A return (get) of the following values from option\n"
              " number     16 in math chapter  1 was performed by IUMAG:\n"
              "             entry number              value\n"
              "                        1                  1\n"
              "                        2                 16\n"
              "                        3                  0\n"
              "                        4                  1\n"
              "\n A return (get) of the following values from option\n"
              " number     17 in math chapter  1 was performed by IUMAG:\n"
              "             entry number              value\n"
              "                        1                  1\n"
              "                        2                  2\n");

    Clear();
    std::vector<int> changed = {2, 8, 3, 4};
    IUMAG("MATH", 1, 2, 1, {16}, changed);
    EXPECT_EQ(output,
              "\n A change (put) was made by IUMAG to option number     16 in MATH\n"
              " chapter  1, resulting in the following values for that option:\n"
              "             entry number              value\n"
              "                        1                  2\n"
              "                        2                  8\n"
              "                        3                  3\n"
              "                        4                  4\n");
    IUMAG("MATH", 1, 1, 1, {16}, values);
    EXPECT_EQ(values, changed);
    IUMAG("MATH", 1, 1, 1, {-16}, values);
    EXPECT_EQ(values, (std::vector<int>{1, 16, 0, 1}));
    std::vector<int> none;
    IUMAG("MATH", 1, 2, 1, {-16}, none);  // restores the defaults
    IUMAG("MATH", 1, 1, 1, {16}, values);
    EXPECT_EQ(values, (std::vector<int>{1, 16, 0, 1}));
    EXPECT_TRUE(stops.empty());
}

TEST_F(Machine, OptionArgumentErrors)
{
    struct Case {
        const char* product;
        int chapter, action, numOpt;
        std::vector<int> options;
        const char* firstLine;
    };
    const Case cases[] = {
        {"MATH", 1, 3, 1, {16}, " *** TERMINAL ERROR 1 from IUMAG.  IACT must be 1 to get option values or 2"},
        {"MASS", 1, 1, 1, {16}, " *** TERMINAL ERROR 2 from IUMAG.  The product name must be either MATH or"},
        {"STAT", 0, 1, 1, {16}, " *** TERMINAL ERROR 3 from IUMAG.  ICHP = 0 is an invalid STAT chapter"},
        {"MATH", 2, 1, 1, {16}, " *** TERMINAL ERROR 4 from IUMAG.  No options exist for MATH chapter 2.  Only"},
        {"MATH", 1, 1, 0, {16}, " *** TERMINAL ERROR 5 from IUMAG.  NUMOPT = 0 is an invalid number of"},
        {"MATH", 1, 1, 1, {0}, " *** TERMINAL ERROR 6 from IUMAG.  IOPTS(1) = 0 is an invalid MATH chapter 1"},
    };
    for (const Case& c : cases) {
        Clear();
        std::vector<int> values = {42};
        IUMAG(c.product, c.chapter, c.action, c.numOpt, c.options, values);
        EXPECT_EQ(output.substr(0, output.find('\n', 1) + 1), std::string("\n") + c.firstLine + "\n");
        EXPECT_EQ(values, std::vector<int>{42});
        EXPECT_EQ(stops.size(), 1u);
    }

    // Every bad option number of the list is reported, then nothing moves.
    Clear();
    std::vector<int> values = {42};
    IUMAG("MATH", 1, 1, 3, {5, 16, 18}, values);
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 6 from IUMAG.  IOPTS(1) = 5 is an invalid MATH chapter 1\n"
                      " ***          option number.\n"
                      "\n *** TERMINAL ERROR 6 from IUMAG.  IOPTS(3) = 18 is an invalid MATH chapter 1\n"
                      " ***          option number.\n");
    EXPECT_EQ(values, std::vector<int>{42});
}
