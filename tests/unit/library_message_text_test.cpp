#include "shell/library_message_text.h"

#include <gtest/gtest.h>

#include "library_capture.h"
#include "numlib/pd_inverse.h"

#include <string>

using LibraryMessageTextTest = LibraryCapture;

TEST_F(LibraryMessageTextTest, DeferredFatalOfDLINDSReadsAsOneParagraph)
{
    const double a[4] = {1, 2, 2, 1};  // not positive definite
    double ainv[4] = {};
    DLINDS(2, a, 2, ainv, 2);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(LibraryMessageText(stops[0]),
              "FATAL ERROR 2 from DLINDS.  The leading 2 by 2 submatrix of the input matrix is not positive "
              "definite.");
}

TEST_F(LibraryMessageTextTest, PrintedLayouts)
{
    struct Case {
        const char* name;
        std::string printed;
        std::string expected;
    };
    const std::string word64(64, 'x');
    const Case cases[] = {
        {"nothing printed", "", ""},
        {"two messages of one call",
         "\n *** WARNING  ERROR 1 from DONE.  First line\n"
         " ***          and its continuation \n"
         " ***          and more.\n"
         "\n *** TERMINAL ERROR 5 from DTWO.  Short.\n",
         "WARNING ERROR 1 from DONE.  First line and its continuation and more.\n\n"
         "TERMINAL ERROR 5 from DTWO.  Short."},
        {"a word that filled a whole continuation line",
         "\n *** TERMINAL ERROR 9 from DW2RRL.  FMT:\n"
         " ***          " + word64 + "\n"
         " ***          yy'\n",
         "TERMINAL ERROR 9 from DW2RRL.  FMT: " + word64 + "yy'"},
        {"traceback lines kept under their message",
         "\n *** TERMINAL ERROR 1 from DINNER.  Bad.\n"
         "     Here is a traceback of subprogram calls in reverse order:\n"
         "     DINNER                               5           1    (Called internally)\n"
         "     USER                                 0           0\n",
         "TERMINAL ERROR 1 from DINNER.  Bad.\n\n"
         "     Here is a traceback of subprogram calls in reverse order:\n"
         "     DINNER                               5           1    (Called internally)\n"
         "     USER                                 0           0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LibraryMessageText(c.printed), c.expected);
    }
}
