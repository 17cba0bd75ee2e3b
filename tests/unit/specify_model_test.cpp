#include "univariate/specify_model.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/dialog_values.h"

TEST(SpecifyModelEntries, Orders)
{
    struct Case {
        const char* text;
        bool accepted;
        int32_t order;
        const char* message;
    };
    const Case cases[] = {
        {"26", true, 26, ""}, {" 3 ", true, 3, ""}, {"0", true, 0, ""}, {"27", false, 5, "AR Order must be < 27"},
        {"999", false, 5, "AR Order must be < 27"}, {"-1", false, 5, ""}, {"", false, 5, ""},
        {"abc", false, 5, "AR order \"abc\" is not a number."},
        {"1,5", false, 5, "AR order \"1,5\" has a decimal comma: type a decimal point."},
        {"2.5", false, 5, "AR order \"2.5\" is not a whole number."},
        {"99999999999", false, 5, "AR Order must be < 27"},
    };
    for (const Case& c : cases) {
        int32_t order = 5;
        std::string message = "stale";
        EXPECT_EQ(ReadOrderEntry(c.text, true, order, message), c.accepted) << c.text;
        EXPECT_EQ(order, c.order) << c.text;
        EXPECT_EQ(message, c.message) << c.text;
    }
    int32_t order = 0;
    std::string message;
    EXPECT_FALSE(ReadOrderEntry("30", false, order, message));
    EXPECT_EQ(message, "MA Order must be < 27");
}

// d lies strictly between -0.5 and 0.5 (at 0.5 the model ACF is undefined); the variance is a
// finite positive number; M an integer from 50 to the maximum. A refused entry leaves the value.
TEST(SpecifyModelEntries, DVarianceAndM)
{
    struct Case {
        const char* text;
        bool accepted;
    };
    for (const Case& c : {Case{"0.49", true}, Case{"-0.499", true}, Case{"0", true}, Case{"0.5", false},
                          Case{"-0.5", false}, Case{"", false}}) {
        double d = 0.25;
        const std::string message = ReadDEntry(c.text, d);
        EXPECT_EQ(message.empty(), c.accepted) << c.text;
        if (!c.accepted) {
            EXPECT_EQ(message, "d must be between -.5 and .5");
            EXPECT_EQ(d, 0.25);
        }
    }
    // Text that is no number is refused with its reason.
    struct Refused {
        const char* text;
        const char* message;
    };
    for (const Refused& c : {Refused{"NaN", "d \"NaN\" is not a finite number."},
                             Refused{"x", "d \"x\" is not a number."},
                             Refused{"0,2", "d \"0,2\" has a decimal comma: type a decimal point."}}) {
        double d = 0.25;
        EXPECT_EQ(ReadDEntry(c.text, d), c.message);
        EXPECT_EQ(d, 0.25);
    }
    double variance = 3.0;
    EXPECT_EQ(ReadVarianceEntry("1/2", variance), "Variance \"1/2\" is a date or a fraction, not a number.");
    int32_t m = 60;
    EXPECT_EQ(ReadMEntry("1,000.5", m), "M \"1,000.5\" has a thousands separator: type the number without it.");
    EXPECT_EQ(m, 60);
    for (const Case& c : {Case{"2", true}, Case{"1e-300", true}, Case{"0", false}, Case{"-1", false},
                          Case{"Infinity", false}, Case{"1e400", false}, Case{" ", false}}) {
        double v = 3.0;
        const std::string message = ReadVarianceEntry(c.text, v);
        EXPECT_EQ(message.empty(), c.accepted) << c.text;
        if (!c.accepted) {
            EXPECT_EQ(v, 3.0);
        }
    }
    for (const Case& c : {Case{"50", true}, Case{"2000", true}, Case{"49", false}, Case{"2001", false},
                          Case{"50.5", false}, Case{"", false}}) {
        int32_t M = 60;
        EXPECT_EQ(ReadMEntry(c.text, M).empty(), c.accepted) << c.text;
        if (!c.accepted) {
            EXPECT_EQ(M, 60);
        }
    }
    int32_t M = 60;
    EXPECT_EQ(ReadMEntry("2001", M), "M must not exceed 2000.");
    EXPECT_EQ(ReadMEntry("49", M), "M must be at least 50.");
}

// A variance is shown with 5 decimals unless that text would lose it; then in exponent form,
// which reads back close to the value.
TEST(SpecifyModelEntries, VarianceText)
{
    EXPECT_EQ(VarianceText(1.0), "1.00000");
    EXPECT_EQ(VarianceText(0.0123), "0.01230");
    for (double v : {1.23456789e-7, 4e-6, 1.5e12, 1e300}) {
        const std::string text = VarianceText(v);
        double back = 0.0;
        ASSERT_EQ(ParseDialogReal(text, back), 1) << text;
        EXPECT_NEAR(back, v, 1e-5 * v) << text;
        EXPECT_NE(text.find('E'), std::string::npos) << text;
    }
}

TEST(SpecifyModelCommit, StoresTheWorkingModelOrRefusesIt)
{
    UnivariateProject u;
    VeskInit(u);
    u.relationCount = 3;
    u.numFree = 7;
    SpecifyModelWork w = StartSpecifyModel(u);
    w.p = 2;
    w.phi[1] = 0.5;
    w.phi[2] = 0.0;
    w.phi[3] = 0.9;  // beyond p: stored as 0
    w.q = 1;
    w.theta[1] = 0.3;
    ASSERT_EQ(CommitSpecifyModel(w, u), SPECIFY_STORED);
    EXPECT_EQ(u.numFree, 2);
    EXPECT_EQ(u.freeIndex[1], 1);
    EXPECT_EQ(u.freeIndex[2], 3);
    EXPECT_EQ(u.relationCount, 0);
    EXPECT_EQ(u.phi[3], 0.0);

    SpecifyModelWork causal = StartSpecifyModel(u);
    causal.phi[1] = 1.2;
    causal.p = 1;
    EXPECT_EQ(CommitSpecifyModel(causal, u), SPECIFY_NOT_CAUSAL);
    EXPECT_EQ(u.phi[1], 0.5);

    SpecifyModelWork ma = StartSpecifyModel(u);
    ma.p = 0;
    ma.theta[1] = 2.0;
    EXPECT_EQ(CommitSpecifyModel(ma, u), SPECIFY_STORED);
    ma.fracIntegrated = 1;
    ma.d = 0.2;
    ma.theta[1] = 2.5;
    EXPECT_EQ(CommitSpecifyModel(ma, u), SPECIFY_NOT_INVERTIBLE);
    EXPECT_EQ(u.theta[1], 2.0);
    EXPECT_EQ(u.fracIntegrated, 0);
}
