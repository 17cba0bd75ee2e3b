#include "shell/proposed_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog_values.h"
#include "platform/fortran_format.h"
#include "shell/number_format.h"
#include "shell/plot_zoom.h"
#include "univariate/forecasting.h"
#include "univariate/max_likelihood.h"
#include "univariate/smoothing_commands.h"
#include "univariate/specify_model.h"

namespace {

// Every number a dialog proposes in an edit, by the routine that writes it.
struct Member {
    const char* field;
    std::function<std::string(double)> write;
    NumberScale scale;
};

const std::vector<Member>& Members()
{
    static const std::vector<Member> members = {
        {"ARMA forecast white-noise variance", ForecastVarianceText, NumberScale::Free},
        {"maximum likelihood accuracy, fractional step", AccuracyText, NumberScale::Free},
        {"Holt-Winters alpha, beta, gamma", SmoothingConstantText, NumberScale::Fixed},
        {"plot limits (and the status bar)", ShortSignificant, NumberScale::Free},
        {"Specify Model coefficient", CoefficientText, NumberScale::Free},
        {"Specify Model variance", VarianceText, NumberScale::Free},
        {"Specify Model d", DText, NumberScale::Fixed},
        {"moving-average weight", MaWeightText, NumberScale::Free},
        {"exponential and FFT smoothing parameter", SmoothingParameterText, NumberScale::Fixed},
        {"simulation variance and mean", FreeFormatReal, NumberScale::Free},
    };
    return members;
}

}  // namespace

// What a dialog proposes, OK reads back: a plain number its parser reads whole, within a
// thousandth of the value where the quantity has no scale of its own (never a false zero), and
// never asterisks, for every finite value.
TEST(ProposedNumbers, EveryProposalReadsBack)
{
    const double values[] = {0,        1e-300,  -1e-300,         7.39e-10,         -7.39e-10, 2.15e-7, -2.15e-7,
                             1.4e-6,   0.5,     0.0123456,       280298.61111111, 123456789.12345,     1e8,
                             1e15,     -2.06e7, 9.9e18,          1.5e308,         -1.5e308,  1.797e308, -1.797e308};
    for (const Member& m : Members()) {
        for (double x : values) {
            const std::string text = m.write(x);
            SCOPED_TRACE(std::string(m.field) + ": " + text);
            EXPECT_FALSE(text.empty());
            EXPECT_LE(text.size(), 31u);  // the parser reads 31 characters
            EXPECT_EQ(text.find_first_of(" ,/*"), std::string::npos);
            double back = std::nan("");
            ASSERT_EQ(ParseDialogReal(text, back), 1);
            if (m.scale == NumberScale::Free) {
                EXPECT_LE(std::fabs(back - x), 1e-3 * std::fabs(x));
            } else {
                // Fixed scale: the usual decimals where they hold the value, else its digits.
                EXPECT_LE(std::fabs(back - x), std::fmax(0.005, 1e-5 * std::fabs(x)));
            }
        }
    }
}

// The usual texts stay where they show the value; the others take exponent form.
TEST(ProposedNumbers, UsualFormWhereItShowsTheValue)
{
    struct Case {
        const char* name;
        std::function<std::string(double)> write;
        double x;
        const char* text;
    };
    const Case cases[] = {
        {"variance", ForecastVarianceText, 1.234567, "1.234567"},
        {"variance", ForecastVarianceText, 0, "0.000000"},
        {"variance of 1e8 (F15.6 overflows)", ForecastVarianceText, 1e8, "1.00000E+008"},
        {"variance", ForecastVarianceText, 123456789.12345, "1.23457E+008"},
        {"variance", ForecastVarianceText, 1.5e15, "1.50000E+015"},
        {"variance of 1.4e-6 (0.000001 is 29 % off)", ForecastVarianceText, 1.4e-6, "1.40000E-006"},
        {"variance", ForecastVarianceText, 7.39e-10, "7.39000E-010"},
        {"variance with two digits left (2.4 % off)", ForecastVarianceText, 1.23e-5, "1.23000E-005"},
        {"variance", ForecastVarianceText, 1.797e308, "1.79700E+308"},
        {"accuracy", AccuracyText, 0.00501, "0.00501"},
        {"accuracy below the decimals", AccuracyText, 1e-7, "1.00000E-007"},
        {"alpha", SmoothingConstantText, 0.2, "0.20000"},
        {"alpha too small for its decimals stays on its scale", SmoothingConstantText, 1e-7, "0.00000"},
        {"alpha beyond its field", SmoothingConstantText, 1e15, "1.00000000E+015"},
        {"limit", ShortSignificant, 12.345, "12.345"},
        {"limit", ShortSignificant, -0.0012345678, "-0.0012346"},
        {"limit", ShortSignificant, 1e15, "1.0000E+015"},
        {"limit", ShortSignificant, -1.797e308, "-1.7970E+308"},
        {"limit", ShortSignificant, 1e-20, "1.0000E-020"},
        {"limit", ShortSignificant, 9.99999e99, "1.0000E+100"},
        {"limit", ShortSignificant, 1e-100, "1.0000E-100"},
        {"limit", ShortSignificant, 1e99, "1.0000E+099"},
        {"status bar beyond the mapping", ShortSignificant, HUGE_VAL, "Infinity"},
        {"coefficient", CoefficientText, 0.5, "0.50000"},
        {"coefficient", CoefficientText, -7.39e-10, "-7.3900E-010"},
        {"variance (Specify Model)", VarianceText, 1.0, "1.00000"},
        {"d", DText, 0.25, "0.250"},
        {"weight", MaWeightText, 0.2, "0.20000"},
        {"weight", MaWeightText, 2.15e-10, ".00000000021500"},
        {"weight (5 digits would need 16 decimals)", MaWeightText, 2.15e-12, "2.1500E-012"},
        {"smoothing parameter", SmoothingParameterText, 0.3, "0.30"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.write(c.x), c.text) << c.name << " " << c.x;
}
