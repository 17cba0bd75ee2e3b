#include "platform/fortran_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct WriteCase {
    const char* format;
    std::vector<FormatValue> values;
    const char* expected;
};

// Expected texts were produced by a Fortran compiler writing the same lists under the same
// formats ('$' standing for the backslash marker, which that compiler spells so).
TEST(FortranFormat, WritesLikeFortran)
{
    const std::vector<WriteCase> cases = {
        {"(I5)", {42}, "   42\n"},
        {"(I5)", {-42}, "  -42\n"},
        {"(I5.3)", {-7}, " -007\n"},
        {"(I3.0)", {0}, "   \n"},
        {"(I2)", {123}, "**\n"},
        {"(I2)", {-1}, "-1\n"},
        {"(I0)", {-1234}, "-1234\n"},
        {"(I1)", {0}, "0\n"},
        {"(I12)", {-2147483647 - 1}, " -2147483648\n"},
        {"(F10.3)", {1.2345}, "     1.234\n"},
        {"(F4.1)", {0.35}, " 0.3\n"},
        {"(F3.0)", {12.0}, "12.\n"},
        {"(F2.0)", {0.3}, "0.\n"},
        {"(F1.0)", {0.3}, "*\n"},
        {"(F3.2)", {0.5}, ".50\n"},
        {"(F4.2)", {-0.5}, "-.50\n"},
        {"(F6.2)", {-0.001}, " -0.00\n"},
        {"(F5.1)", {99.96}, "100.0\n"},
        {"(F4.1)", {99.96}, "****\n"},
        {"(F15.2)", {12345678901234.0}, "***************\n"},
        {"(F15.0)", {-0.0}, "            -0.\n"},
        {"(F0.2)", {1.5}, "1.50\n"},
        {"(F0.0)", {0.05}, "0.\n"},
        {"(F0.3)", {-0.0004}, "-.000\n"},
        {"(F6.1)", {2.25}, "   2.2\n"},
        {"(F6.1)", {2.35}, "   2.4\n"},
        {"(F5.0)", {2.5}, "   2.\n"},
        {"(F5.0)", {3.5}, "   4.\n"},
        {"(F10.2)", {1e300}, "**********\n"},
        {"(F3.0)", {-0.4}, "-0.\n"},
        {"(F2.0)", {-0.4}, "**\n"},
        {"(F8.3)", {kInf}, "Infinity\n"},
        {"(F7.3)", {-kInf}, "   -Inf\n"},
        {"(F3.3)", {-kInf}, "***\n"},
        {"(F9.3)", {-kInf}, "-Infinity\n"},
        {"(E9.3)", {kNaN}, "      NaN\n"},
        {"(E2.3)", {kNaN}, "**\n"},
        {"(2PF10.3)", {1.2345}, "   123.450\n"},
        {"(-2PF10.3)", {1.2345}, "     0.012\n"},
        {"(-2PF10.0)", {12345.0}, "      123.\n"},
        {"(-3PF6.0)", {600.0}, "    1.\n"},
        {"(2PF10.3)", {0.0}, "     0.000\n"},
        {"(E10.3)", {1.5}, " 0.150E+01\n"},
        {"(E9.3)", {1.5}, "0.150E+01\n"},
        {"(E8.3)", {1.5}, ".150E+01\n"},
        {"(E8.3)", {-1.5}, "********\n"},
        {"(E12.4)", {1e100}, "  0.1000+101\n"},
        {"(E12.4)", {1e-100}, "  0.1000E-99\n"},
        {"(E12.4)", {0.0}, "  0.0000E+00\n"},
        {"(E12.4E3)", {1.5}, " 0.1500E+001\n"},
        {"(E12.4E1)", {1.5e10}, "************\n"},
        {"(E9.2E4)", {1.5}, ".15E+0001\n"},
        {"(1PE12.5)", {123.456}, " 1.23456E+02\n"},
        {"(-2PE12.5)", {123.456}, " 0.00123E+05\n"},
        {"(2PE12.5)", {123.456}, " 12.3456E+01\n"},
        {"(6PE12.5)", {123.456}, " 123456.E-03\n"},
        {"(E10.3)", {9.9996}, " 0.100E+02\n"},
        {"(E10.3)", {-0.0}, "-0.000E+00\n"},
        {"(E12.1)", {25000.0}, "     0.2E+05\n"},
        {"(D12.4)", {123.456}, "  0.1235D+03\n"},
        {"(1PD12.3)", {1e-310}, "   1.000-310\n"},
        {"(ES12.4)", {123.456}, "  1.2346E+02\n"},
        {"(ES12.4)", {0.0}, "  0.0000E+00\n"},
        {"(ES9.1)", {25000.0}, "  2.5E+04\n"},
        {"(ES10.0)", {2.5}, "    2.E+00\n"},
        {"(ES10.3)", {9.9996}, " 1.000E+01\n"},
        {"(ES12.3E1)", {1.5e99}, "************\n"},
        {"(2PES12.4)", {123.456}, "  1.2346E+02\n"},
        {"(G12.4)", {1.2345}, "   1.234    \n"},
        {"(1PG12.4)", {1.2345}, "   1.234    \n"},
        {"(G12.4)", {12345.0}, "  0.1234E+05\n"},
        {"(G12.4)", {9999.6}, "  0.1000E+05\n"},
        {"(G12.4)", {0.09996}, "  0.9996E-01\n"},
        {"(G12.4)", {0.0}, "   0.000    \n"},
        {"(G12.4E3)", {0.5}, " 0.5000     \n"},
        {"(1PG12.4)", {123456.0}, "  1.2346E+05\n"},
        {"(G5.1)", {5}, "    5\n"},
        {"(G10.3)", {99.96}, "  100.    \n"},
        {"(G6.8)", {-0.384}, "******\n"},
        {"(G6.1)", {"abc"}, "   abc\n"},
        {"(A5,'|',A2,'|',A,'|')", {"ab", "abcd", "xyz"}, "   ab|ab|xyz|\n"},
        {"(A,5X)", {"ab"}, "ab\n"},
        {"(A,5X,'|')", {"ab"}, "ab     |\n"},
        {"(T5,A,T2,A,'|')", {"ab", "cd"}, " cd|ab\n"},
        {"(A,TL2,A,'|')", {"abcd", "X"}, "abX|\n"},
        {"(A,TR2,A,'|')", {"abcd", "X"}, "abcd  X|\n"},
        {"(A,TL9,A)", {"abc", "X"}, "Xbc\n"},
        {"(\"a\"\"b\",'c''d')", {}, "a\"bc'd\n"},
        {"(i3,f5.1)", {3, 2.25}, "  3  2.2\n"},
        {"( I 3 , F 5 . 1 )", {3, 2.25}, "  3  2.2\n"},
        {"(A,/,5X,E12.4)", {"hdr", 1.5}, "hdr\n       0.1500E+01\n"},
        {"(I3,/)", {5}, "  5\n\n"},
        {"(2I3/I3)", {1, 2, 3}, "  1  2\n  3\n"},
        {"(I3,2/I3)", {1, 2}, "  1\n\n  2\n"},
        {"(I2,:,' end')", {1}, " 1\n"},
        {"(I2,' end')", {1}, " 1 end\n"},
        {"(I2,:,' end')", {1, 2}, " 1 end\n 2\n"},
        {"(3(I4,F6.2))", {1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5}, "   1  1.50   2  2.50   3  3.50\n   4  4.50\n"},
        {"(I2,2(I3,'x'),I2)", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, " 1  2x  3x 4\n  5x  6x 7\n  8x  9x10\n"},
        {"(I2,2(I3,'x'),(I2))", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, " 1  2x  3x 4\n 5\n 6\n 7\n 8\n 9\n10\n"},
        {"(2(2(I2,'-'),'+'))", {1, 2, 3, 4, 5}, " 1- 2-+ 3- 4-+\n 5-\n"},
        {"(I3)", {}, "\n"},
        {"('hi',I3)", {}, "hi\n"},
        {"(1P,E10.3,F6.2)", {1.5, 1.5, 2.5, 2.5}, " 1.500E+00 15.00\n 2.500E+00 25.00\n"},
        {"(2X,'ITERATION',$)", {}, "  ITERATION"},
        {"(I3,$)", {1, 2, 3}, "  1  2  3"},
        {"(2X,'ITERATION',\\\\)", {}, "  ITERATION"},
        {"(I3,\\)", {12}, " 12"},
        {"(I3,\\)", {4, 5}, "  4  5"},
    };
    for (const WriteCase& c : cases) {
        std::string out;
        EXPECT_EQ(WriteFormatted(c.format, c.values, out), 1) << c.format;
        EXPECT_EQ(out, c.expected) << c.format;
        EXPECT_EQ(Formatted(c.format, c.values), c.expected) << c.format;
    }
}

// Malformed formats and values that do not suit their descriptor: status 0, with the text written
// before the fault kept.
TEST(FortranFormat, RefusesFaults)
{
    const std::vector<WriteCase> cases = {
        {"I5", {1}, ""},
        {"(I5", {1}, ""},
        {"(I3)x", {1}, ""},
        {"('abc)", {}, ""},
        {"(Q5)", {1}, ""},
        {"(5)", {1}, ""},
        {"(F10)", {1.0}, ""},
        {"(E10)", {1.0}, ""},
        {"(D10.2E1)", {1.0}, ""},
        {"(0I3)", {1}, ""},
        {"(I2.3)", {1}, ""},
        {"(T0,I2)", {1}, ""},
        {"(P,F5.1)", {1.0}, ""},
        {"(+3X,I2)", {1}, ""},
        {"(F5.1,I99999999)", {1.0}, ""},
        // No significant digit left by the scale factor.
        {"(E11.0)", {1.5}, ""},
        {"(7PE12.5)", {1.5}, ""},
        // Values of the wrong kind.
        {"(I3,F5.1)", {1, 2}, "  1"},
        {"(I5)", {1.5}, ""},
        {"(F5.1)", {1}, ""},
        {"(A)", {1}, ""},
        // Items left over but no data descriptor to take them.
        {"('title')", {1}, "title"},
        {"(I3,('x'))", {1, 2}, "  1x"},
    };
    for (const WriteCase& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(WriteFormatted(c.format, c.values, out), 0) << c.format;
        EXPECT_EQ(out, c.expected) << c.format;
        EXPECT_EQ(Formatted(c.format, c.values), "") << c.format;
    }
}

bool SameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

constexpr double kUnset = -9.0;

struct ReadRealCase {
    const char* text;
    int count;
    int status;
    std::vector<double> expected;  // kUnset: the target was left alone
};

TEST(FortranFormat, ReadsFreeFormatReals)
{
    const std::vector<ReadRealCase> cases = {
        {"1.5 .5 5.", 3, 1, {1.5, 0.5, 5.0}},
        {"1E3,1D3 +3", 3, 1, {1000.0, 1000.0, 3.0}},
        {"\t4 ,  5 ,6\r\n", 3, 1, {4.0, 5.0, 6.0}},
        {"1.5D-2 -.5e+1", 2, 1, {0.015, -5.0}},
        // An exponent without its letter, as Fortran writes one, follows a mantissa with a point;
        // without the point the text is a date or a range, not a number.
        {"1.+5 2.5-1 .5+1", 3, 1, {1e5, 0.25, 5.0}},
        {"0.123456-100", 1, 1, {0.123456e-100}},
        {"1990-01,123.4", 2, -1, {kUnset, kUnset}},
        {"1-2", 1, -1, {kUnset}},
        {"7 -1+5", 2, -1, {7.0, kUnset}},
        {"2001-12-31 5.5", 2, -1, {kUnset, kUnset}},
        {"3*1", 3, 1, {1.0, 1.0, 1.0}},
        {"3*1", 2, 1, {1.0, 1.0}},
        {"2*3.5", 3, 0, {3.5, 3.5, kUnset}},
        {"1,,3", 3, 1, {1.0, kUnset, 3.0}},
        {",2", 3, 0, {kUnset, 2.0, kUnset}},
        {"2* 7", 3, 1, {kUnset, kUnset, 7.0}},
        {"2*,9", 3, 1, {kUnset, kUnset, 9.0}},
        {"1 / 5", 3, 1, {1.0, kUnset, kUnset}},
        {"1.5/2", 2, 1, {1.5, kUnset}},
        {"/", 1, 1, {kUnset}},
        {"1,2,", 3, 0, {1.0, 2.0, kUnset}},
        {"1 2", 3, 0, {1.0, 2.0, kUnset}},
        {"", 1, 0, {kUnset}},
        {"   ", 1, 0, {kUnset}},
        {"3.5 abc", 1, 1, {3.5}},
        {"1e3 x", 2, -1, {1000.0, kUnset}},
        {"3.5abc", 1, -1, {kUnset}},
        {"abc", 1, -1, {kUnset}},
        {"1e", 1, -1, {kUnset}},
        {"1d", 1, -1, {kUnset}},
        {"1.5.5", 1, -1, {kUnset}},
        {".", 1, -1, {kUnset}},
        {"-", 1, -1, {kUnset}},
        {"0*1", 1, -1, {kUnset}},
        {"*5", 1, -1, {kUnset}},
        {"1e400", 1, -1, {kUnset}},
        {"1e-400 -1e-400", 2, 1, {0.0, -0.0}},
        {"inf -Infinity NaN", 3, 1, {kInf, -kInf, kNaN}},
        {"7", 0, 1, {}},
    };
    for (const ReadRealCase& c : cases) {
        std::vector<double> values(c.expected.size(), kUnset);
        EXPECT_EQ(ReadFreeReals(c.text, c.count, values.data()), c.status) << c.text;
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_TRUE(SameDouble(values[i], c.expected[i])) << c.text << " item " << i << ": " << values[i];
    }
}

struct ReadIntCase {
    const char* text;
    int count;
    int status;
    std::vector<int32_t> expected;  // -9: the target was left alone
};

TEST(FortranFormat, ReadsFreeFormatInts)
{
    const std::vector<ReadIntCase> cases = {
        {"12 -3,+4", 3, 1, {12, -3, 4}},
        {"2*5", 2, 1, {5, 5}},
        {"1,,3", 3, 1, {1, -9, 3}},
        {"-2147483648 2147483647", 2, 1, {-2147483647 - 1, 2147483647}},
        {"8 /", 2, 1, {8, -9}},
        {"", 1, 0, {-9}},
        {"4", 2, 0, {4, -9}},
        {"1.5", 1, -1, {-9}},
        {"1e3", 1, -1, {-9}},
        {"2147483648", 1, -1, {-9}},
        {"+-5", 1, -1, {-9}},
        {"1 x", 2, -1, {1, -9}},
    };
    for (const ReadIntCase& c : cases) {
        std::vector<int32_t> values(c.expected.size(), -9);
        EXPECT_EQ(ReadFreeInts(c.text, c.count, values.data()), c.status) << c.text;
        EXPECT_EQ(values, c.expected) << c.text;
    }
}

// Free-format output is the shortest text, and reading it back gives the same number.
TEST(FortranFormat, FreeFormatOutputReadsBack)
{
    EXPECT_EQ(FreeFormatInt(-42), "-42");
    EXPECT_EQ(FreeFormatInt(0), "0");
    EXPECT_EQ(FreeFormatInt(std::numeric_limits<long long>::min()), "-9223372036854775808");
    const std::vector<std::pair<double, const char*>> texts = {
        {0.1, "0.1"}, {-2.5, "-2.5"}, {123.0, "123"}, {1e23, "1e+23"}, {0.0, "0"}, {kInf, "Infinity"}, {kNaN, "NaN"},
    };
    for (const auto& [x, text] : texts)
        EXPECT_EQ(FreeFormatReal(x), text);
    const std::vector<double> values = {0.1, 1.0 / 3.0, -2.5e-8, 1e23, 5e-324, 1.7976931348623157e308, 123.0, -0.0, 1e-5, -kInf, kNaN};
    for (double x : values) {
        double back = kUnset;
        EXPECT_EQ(ReadFreeReals(FreeFormatReal(x), 1, &back), 1) << FreeFormatReal(x);
        EXPECT_TRUE(SameDouble(back, x)) << FreeFormatReal(x);
    }
}

// Single precision: only finite numbers within the float range are numbers; output is the
// shortest text that reads back to the same float.
TEST(FortranFormat, SinglePrecisionReadAndWrite)
{
    struct Case {
        const char* text;
        int count;
        int status;
        std::vector<float> expected;  // -9: the target was left alone
    };
    const std::vector<Case> cases = {
        {"1.5 -2.25e3", 2, 1, {1.5f, -2250.0f}},
        {"0.1", 1, 1, {0.1f}},
        {"3.4028235e38 -3.4028235e38", 2, 1, {3.4028235e38f, -3.4028235e38f}},
        {"1e-50", 1, 1, {0.0f}},
        {"3.5e38", 1, -1, {-9}},
        {"1e39", 1, -1, {-9}},
        {"inf", 1, -1, {-9}},
        {"-Infinity", 1, -1, {-9}},
        {"NaN", 1, -1, {-9}},
        {"1 nan", 2, -1, {1.0f, -9}},
        {"2*4", 2, 1, {4.0f, 4.0f}},
        {"4", 2, 0, {4.0f, -9}},
    };
    for (const Case& c : cases) {
        std::vector<float> values(c.expected.size(), -9.0f);
        EXPECT_EQ(ReadFreeSingles(c.text, c.count, values.data()), c.status) << c.text;
        EXPECT_EQ(values, c.expected) << c.text;
    }
    for (float x : {0.1f, 1.0f / 3.0f, 3.4028235e38f, 1e-45f, -7.25f, 16777217.0f}) {
        const std::string text = FreeFormatSingle(x);
        float back = 0;
        ASSERT_EQ(ReadFreeSingles(text, 1, &back), 1) << text;
        EXPECT_EQ(back, x) << text;
        EXPECT_LE(text.size(), FreeFormatReal(x).size()) << text;
    }
    EXPECT_EQ(FreeFormatSingle(0.1f), "0.1");
    EXPECT_EQ(FreeFormatItem(FormatValue(0.1f)), "0.1");
    EXPECT_EQ(FreeFormatItem(FormatValue(0.1)), "0.1");
    EXPECT_EQ(FreeFormatItem(FormatValue(7)), "7");
    // Edit descriptors write a float's own binary value, as for a single-precision variable.
    EXPECT_EQ(Formatted("(F12.9)", {0.1f}), " 0.100000001\n");
}

}  // namespace
