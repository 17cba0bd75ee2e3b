#include "univariate/regression_trend_entries.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"

// The entries of the trend dialog with n = 120: what is accepted, the value read, and the
// message of a refusal (the value then untouched).
TEST(ReadRegressionTrendEntry, Table)
{
    const std::string degree = "Degree must be between 0 and 10";
    const std::string harmonics = "Number of harmonics must be between 0 and 4";
    const std::string index = "Index must be between 1 and number of obs.";
    struct Case {
        int id;
        const char* text;
        std::string message;
        int32_t value;
    };
    const Case cases[] = {
        {IDC_TREND_ORDER, "0", "", 0},
        {IDC_TREND_ORDER, "10", "", 10},
        {IDC_TREND_ORDER, "11", degree, -7},
        {IDC_TREND_ORDER, "-1", degree, -7},
        {IDC_TREND_ORDER, "x", "Degree \"x\" is not a number.", -7},
        {IDC_TREND_ORDER, "ten", "Degree \"ten\" is not a number.", -7},
        {IDC_TREND_ORDER, "0,5", "Degree \"0,5\" has a decimal comma: type a decimal point.", -7},
        {IDC_TREND_ORDER, "1.5", "Degree \"1.5\" is not a whole number.", -7},
        {IDC_TREND_ORDER, "", "Degree is empty: type one number.", -7},
        {IDC_TREND_HARMONICS, "4", "", 4},
        {IDC_TREND_HARMONICS, "5", harmonics, -7},
        {IDC_TREND_HARMONICS, "99999999999", harmonics, -7},
        {IDC_TREND_INDEX_1, "3", "", 3},
        {IDC_TREND_INDEX_2, "03", "", 3},
        {IDC_TREND_INDEX_3, "120", "", 120},
        {IDC_TREND_INDEX_4, "121", index, -7},
        {IDC_TREND_INDEX_1, "0", index, -7},
        {IDC_TREND_INDEX_1, "-", "Index \"-\" is not a number.", -7},
        {IDC_TREND_INDEX_1, "1e2", "", 100},
        {IDC_TREND_INDEX_1, "1e3", index, -7},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.text) + " in " + std::to_string(k.id));
        int32_t value = -7;
        EXPECT_EQ(ReadRegressionTrendEntry(k.id, k.text, 120, value), k.message);
        EXPECT_EQ(value, k.value);
    }
}

// The record as the trend set-up would get it: the first field it could not use, by its edit.
TEST(RegressionTrendFault, FirstUnusableField)
{
    UnivariateFields u;
    u.n = 120;
    std::string message;
    EXPECT_EQ(RegressionTrendFault(u, message), 0);
    u.polynomialDegree = 11;
    EXPECT_EQ(RegressionTrendFault(u, message), IDC_TREND_ORDER);
    EXPECT_EQ(message, "Degree must be between 0 and 10");
    u.polynomialDegree = 10;
    u.harmonicCount = 5;
    EXPECT_EQ(RegressionTrendFault(u, message), IDC_TREND_HARMONICS);
    u.harmonicCount = 2;
    u.fourierIndex[1] = 120;
    u.fourierIndex[2] = 121;
    u.fourierIndex[3] = 0;  // beyond the harmonics in use: not looked at
    EXPECT_EQ(RegressionTrendFault(u, message), IDC_TREND_INDEX_2);
    EXPECT_EQ(message, "Index must be between 1 and number of obs.");
    u.fourierIndex[2] = 1;
    EXPECT_EQ(RegressionTrendFault(u, message), 0);
}
