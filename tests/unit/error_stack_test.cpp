#include "library_capture.h"
#include "numlib/error_stack.h"
#include "numlib/text_routines.h"

#include <cstdio>
#include <functional>
#include <string>

using ErrorStack = LibraryCapture;

namespace {
// Traceback line: five blanks, the name in 32 characters, type and code in 6 positions.
std::string TraceLine(const std::string& name, const std::string& numbers)
{
    return "     " + name + std::string(32 - name.size(), ' ') + numbers;
}
}  // namespace

TEST_F(ErrorStack, FatalDeepInsideIsPrintedOnceNamingTheOuterRoutine)
{
    E1PSH("DLINDS");
    E1PSH("DL2NDS");
    E1PSH("DL2CDS");
    E1PSH("DLFTDS");
    MsgSetInt(1, 3);
    E1MES(4, 2, "The leading %(I1) by %(I1) submatrix of the input matrix is not positive definite.");
    EXPECT_EQ(N1RCD(0), 2);
    E1POP("DLFTDS");
    EXPECT_EQ(N1RCD(1), 2);
    EXPECT_EQ(N1RTY(1), 4);
    E1POP("DL2CDS");
    E1POP("DL2NDS");
    EXPECT_TRUE(output.empty());
    E1POP("DLINDS");
    const std::string expected =
        "\n *** FATAL    ERROR 2 from DLINDS.  The leading 3 by 3 submatrix of the input\n"
        " ***          matrix is not positive definite.\n";
    EXPECT_EQ(output, expected);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], expected);
    EXPECT_TRUE(LibraryCallAbandoned());
}

TEST_F(ErrorStack, TerminalAtLevelThreeHasATracebackAndStopsOnce)
{
    // Level 1 keeps whatever the application's last failing call left there.
    const std::string user = "     USER" + std::string(28, ' ');
    char userNumbers[32];
    std::snprintf(userNumbers, sizeof userNumbers, "%6d      %6d\n", N1RTY(0), N1RCD(0));
    E1PSH("DOUTER");
    E1PSH("DINNER");
    MsgSetInt(1, -3);
    E1MES(5, 1, "N = %(i1) is bad, %(I2) is unset.");
    const std::string expected =
        "\n *** TERMINAL ERROR 1 from DINNER.  N = -3 is bad, %(I2) is unset.\n"
        "     Here is a traceback of subprogram calls in reverse order:\n"
        "     Routine name                    Error type  Error code\n"
        "     ------------                    ----------  ----------\n" +
        TraceLine("DINNER", "     5           1    (Called internally)\n") +
        TraceLine("DOUTER", "     0           0\n") + user + userNumbers;
    EXPECT_EQ(output, expected);
    EXPECT_TRUE(stops.empty());  // the stop comes when the raising routine leaves
    E1POP("DINNER");
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], expected);
    EXPECT_EQ(N1RCD(1), 1);  // the outer routine sees the code and leaves at once
    E1POP("DOUTER");
    EXPECT_EQ(stops.size(), 1u);  // the echo at the outer exit is not a second stop
    EXPECT_EQ(output, expected);
    EXPECT_TRUE(LibraryCallAbandoned());

    // The stack is balanced again: a clean call afterwards is not abandoned.
    E1PSH("DCLEAN");
    E1POP("DCLEAN");
    EXPECT_FALSE(LibraryCallAbandoned());
    EXPECT_EQ(N1RCD(1), 0);
}

TEST_F(ErrorStack, WarningIsPrintedAtReturnWithoutStop)
{
    E1PSH("dTEST");
    E1PSH("DSUB");
    MsgSetReal(1, 0.25);
    MsgSetReal(2, 0.0);
    MsgSetReal(3, 1e-300);
    MsgSetReal(4, DMACH(6));
    MsgSetReal(5, -2.0);
    E1MES(3, 7, "%(D1) %(d2) %(D3) %(D4) %(D5)");
    E1POP("DSUB");
    E1POP("dTEST");
    // The first line breaks at the last blank within its room of 46; a continuation line keeps
    // the blank it breaks at.
    EXPECT_EQ(output, "\n *** WARNING  ERROR 7 from DTEST.  2.500000000000000D-01\n"
                      " ***          0.000000000000000D+00 1.000000000000000-300 NaN \n"
                      " ***          -2.000000000000000D+00\n");
    EXPECT_TRUE(stops.empty());
    EXPECT_FALSE(LibraryCallAbandoned());
}

// The warning hook hears of an application call's printed warnings once, when the call returns
// normally: not of notes, not of a call that stops, and never while the call is still running.
TEST_F(ErrorStack, PrintedWarningsReachTheWarningHookOncePerCall)
{
    struct Case {
        const char* name;
        std::function<void()> call;
        bool warned;
    };
    const Case cases[] = {
        {"deferred warning",
         [] {
             E1PSH("DTEST");
             E1MES(3, 1, "First.");
             E1POP("DTEST");
         },
         true},
        {"deferred warning from deep inside",
         [] {
             E1PSH("DTEST");
             E1PSH("DSUB");
             E1MES(3, 2, "Deep.");
             E1POP("DSUB");
             E1POP("DTEST");
         },
         true},
        {"two immediate warnings in one call",
         [] {
             E1PSH("DTEST");
             E1PSH("DSUB");
             E1MES(6, 3, "One.");
             E1POP("DSUB");
             E1PSH("DSUB");
             E1MES(6, 4, "Two.");
             E1POP("DSUB");
             E1POP("DTEST");
         },
         true},
        {"note",
         [] {
             E1PSH("DTEST");
             E1MES(1, 1, "Quiet.");
             E1POP("DTEST");
         },
         false},
        {"warning, then a stop",
         [] {
             E1PSH("DTEST");
             E1PSH("DSUB");
             E1MES(6, 3, "Warned.");
             E1POP("DSUB");
             E1MES(4, 9, "Stopped.");
             E1POP("DTEST");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        c.call();
        if (!c.warned) {
            EXPECT_TRUE(warnings.empty());
            continue;
        }
        ASSERT_EQ(warnings.size(), 1u);
        // Exactly what was printed, every message of the call in order.
        EXPECT_EQ(warnings[0], output);
        EXPECT_TRUE(stops.empty());
    }

    // A warning left by one call is not handed on with the next.
    Clear();
    E1PSH("DTEST");
    E1POP("DTEST");
    EXPECT_TRUE(warnings.empty());

    // Without a hook, as in the console programs, the warning is only printed.
    SetLibraryWarningHook(nullptr, nullptr);
    Clear();
    E1PSH("DTEST");
    E1MES(3, 1, "Printed only.");
    E1POP("DTEST");
    EXPECT_NE(output.find("WARNING  ERROR 1 from DTEST.  Printed only."), std::string::npos);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ErrorStack, ParametersAreConsumedAndNotesAreSilent)
{
    E1PSH("DTEST");
    MsgSetInt(1, 11);
    MsgSetText(2, "ab  ");
    MsgSetText(-3, "cd  ");
    E1MES(1, 1, "%(I1) [%(L2)] [%(L3)]");  // a NOTE: assembled but never printed
    MsgSetInt(2, 5);
    E1MES(3, 2, "I1=%(I1) I2=%(I2)");
    E1POP("DTEST");
    EXPECT_EQ(output, "\n *** WARNING  ERROR 2 from DTEST.  I1=%(I1) I2=5\n");
    EXPECT_EQ(N1RTY(1), 3);

    Clear();
    E1PSH("DTEST");
    MsgSetText(1, "ab  ");
    MsgSetText(-2, "cd  ");
    MsgSetText(3, "    ");
    E1MES(3, 1, "[%(L1)][%(L2)][%(L3)]");
    E1POP("DTEST");
    EXPECT_EQ(output, "\n *** WARNING  ERROR 1 from DTEST.  [ab][cd  ][ ]\n");
}

TEST_F(ErrorStack, FirstLineHoldsExactlyTheRoom)
{
    // Header " 1 from DTEST" is 13 characters, so the first line has room for 46.
    const std::string fits = std::string(40, 'x') + " yyyy";   // 3 + 45 = 48 > 46
    const std::string exact = std::string(38, 'x') + " yyyy";  // 3 + 43 = 46
    struct Case {
        std::string text;
        std::string printed;
    };
    const Case cases[] = {
        {exact, "\n *** WARNING  ERROR 1 from DTEST.  " + exact + "\n"},
        {fits, "\n *** WARNING  ERROR 1 from DTEST.  " + std::string(40, 'x') + "\n ***          yyyy\n"},
    };
    for (const Case& c : cases) {
        Clear();
        E1PSH("DTEST");
        E1MES(3, 1, c.text);
        E1POP("DTEST");
        EXPECT_EQ(output, c.printed) << c.text;
    }
}

TEST_F(ErrorStack, LongMessagesWrapAtSixtyFourCharacters)
{
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i % 10) + " ";
    words += "end.";
    E1PSH("DTEST");
    E1MES(3, 1, words);
    E1POP("DTEST");
    // Every continuation line holds at most 64 characters after its 14-character prefix and breaks
    // after a blank; joined again the lines give back the message.
    std::string joined;
    size_t start = 1;  // skip the leading empty line
    int lineNo = 0;
    while (start < output.size()) {
        const size_t end = output.find('\n', start);
        const std::string line = output.substr(start, end - start);
        if (lineNo == 0) {
            joined = line.substr(std::string(" *** WARNING  ERROR 1 from DTEST.  ").size()) + " ";
        } else {
            ASSERT_EQ(line.substr(0, 14), " ***          ");
            EXPECT_LE(line.size() - 14, 64u);
            joined += line.substr(14);
        }
        ++lineNo;
        start = end + 1;
    }
    EXPECT_EQ(joined, words);
    EXPECT_GE(lineNo, 3);
}

TEST_F(ErrorStack, MisuseOfTheStackIsReportedAndSurvived)
{
    // A bad option to N1RCD.
    E1PSH("DTEST");
    EXPECT_EQ(N1RCD(2), 1);
    E1POP("DTEST");
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from DTEST.  The argument passed to N1RCD must be 0 or\n"
                      " ***          1.\n");
    EXPECT_EQ(stops.size(), 1u);

    // Popping a name that is not on top.
    Clear();
    E1PSH("DTEST");
    E1POP("DOTHER");
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 2 from DTEST.  Error condition in E1POP.  DOTHER does not\n"
                      " ***          match the name DTEST in the stack.\n");
    EXPECT_EQ(stops.size(), 1u);

    // Popping an empty stack.
    Clear();
    E1POP("DTEST");
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from E1POP.  Error condition in E1POP.  Cannot pop from\n"
                      " ***          DTEST because stack is empty.\n");
    EXPECT_EQ(stops.size(), 1u);

    // Pushing beyond level 50, and a balanced unwinding afterwards.
    Clear();
    for (int i = 2; i <= 50; ++i) E1PSH("DDEEP");
    E1PSH("DTOODEEP");
    EXPECT_NE(output.find("TERMINAL ERROR 1 from DDEEP.  Error condition in E1PSH.  Push would"),
              std::string::npos);
    EXPECT_NE(output.find("cause stack level to exceed 50. \n"), std::string::npos);
    E1POP("DTOODEEP");
    for (int i = 2; i <= 50; ++i) E1POP("DDEEP");
    E1PSH("DCLEAN");
    E1POP("DCLEAN");
    EXPECT_FALSE(LibraryCallAbandoned());
}

TEST_F(ErrorStack, AcharRejectsNegativeCodes)
{
    EXPECT_EQ(ACHAR(65), 'A');
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(ACHAR(-4), '\0');
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from ACHAR.  The ASCII value must be non-negative while\n"
                      " ***          I = -4 is given.\n");
    EXPECT_EQ(stops.size(), 1u);
}

TEST(TextRoutines, SearchAndCompare)
{
    EXPECT_EQ(IndexExact("ABCABC", "CA"), 3);
    EXPECT_EQ(IndexExact("ABC", "c"), 0);
    EXPECT_EQ(IndexNoCase("ABC", "c"), 3);
    EXPECT_EQ(IndexExact("AB", "ABC"), 0);
    EXPECT_EQ(IndexExact("", "A"), 0);
    EXPECT_EQ(CompareNoCase("math", "MATH"), 0);
    EXPECT_EQ(CompareNoCase("MAT", "MATH"), -1);  // blank sorts before H
    EXPECT_EQ(CompareNoCase("MATH  ", "math"), 0);
    EXPECT_EQ(CompareNoCase("STAT", "MATH"), 1);
    EXPECT_EQ(FirstNotInSet("  12", " "), 3);
    EXPECT_EQ(FirstNotInSet("   ", " "), 0);
    EXPECT_EQ(FirstNotInSet("", " "), 1);
    EXPECT_EQ(UpperChar('q'), 'Q');
    EXPECT_EQ(UpperChar('%'), '%');
    EXPECT_EQ(CodeChar(-1), '\0');
    EXPECT_EQ(CharCode(CodeChar(200)), 200);
}

TEST(TextRoutines, IntegerFields)
{
    struct Case {
        const char* field;
        int status;
        int value;
    };
    const Case cases[] = {{"  42", 0, 42},     {" -007", 0, -7},   {"12x4", 3, 12},  {"    ", 1, 0},
                          {"", -1, 0},          {" + ", 2, 0},      {"-  5", 0, -5},  {"2147483647", 0, 2147483647},
                          {"2147483648", -2, 0}, {"0", 0, 0},       {"5 ", 2, 5}};
    for (const Case& c : cases) {
        int value = -99;
        EXPECT_EQ(TextToInt(c.field, value), c.status) << c.field;
        if (c.status >= 0 && c.status != 1) {
            EXPECT_EQ(value, c.value) << c.field;
        }
    }
    std::string field(5, '#');
    EXPECT_EQ(IntToText(-42, field), 0);
    EXPECT_EQ(field, "  -42");
    EXPECT_EQ(IntToText(0, field), 0);
    EXPECT_EQ(field, "    0");
    EXPECT_EQ(IntToText(-123456, field), 2);

    std::string target = "abcdefgh";
    EXPECT_EQ(CopyChars("XYZ", 1, 2, target, 3, 6), 0);
    EXPECT_EQ(target, "abXY  gh");
    EXPECT_EQ(CopyChars("XYZ", 2, 1, target, 1, 2), -2);
    EXPECT_EQ(CopyChars("XYZ", 1, 3, target, 7, 9), -1);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
TEST(ConsoleLibraryStopTest, AStoppingMessageEndsTheRunWithCodeOne)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            SetLibraryStopHook(ConsoleLibraryStop, nullptr);
            E1PSH("DLINDS");
            MsgSetInt(1, 2);
            E1MES(4, 2, "The leading %(I1) by %(I1) submatrix of the input matrix is not positive definite.");
            E1POP("DLINDS");
            std::fputs("went on after the stop\n", stderr);
            std::exit(0);
        },
        testing::ExitedWithCode(1), "");
}
#endif
