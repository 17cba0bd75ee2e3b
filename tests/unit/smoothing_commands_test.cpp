#include "univariate/smoothing_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "numerics/fft_smoother.h"
#include "numerics/smoothing.h"
#include "univariate/univariate_project.h"

namespace {

const std::vector<double> kSeries = {3.0, 5.0, 4.0, 8.0, 6.0, 7.0, 11.0, 9.0, 10.0, 12.0};

void Load(UnivariateProject& u, const std::vector<double>& x)
{
    u.series = u.originalSeries = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
}

double Mse(const std::vector<double>& x, const std::vector<double>& s)
{
    double sum = 0.0;
    for (size_t t = 0; t < x.size(); ++t) sum += (x[t] - s[t]) * (x[t] - s[t]);
    return sum / static_cast<double>(x.size());
}

}  // namespace

TEST(SmoothingSlider, PositionsValuesAndTexts)
{
    struct Case {
        double v;
        int32_t position;
    };
    // floor(10 v + 0.5) + 1, held within the trackbar's 1..11.
    for (const Case& c : {Case{0.0, 1}, Case{0.25, 4}, Case{0.3, 4}, Case{0.5, 6}, Case{0.94, 10}, Case{0.96, 11},
                          Case{1.0, 11}, Case{-1.0, 1}, Case{1.5, 11}})
        EXPECT_EQ(SmoothingSliderPosition(c.v), c.position) << c.v;

    EXPECT_EQ(SmoothingSliderStart(SMOOTH_EXPONENTIAL, -1.0), 1);
    EXPECT_EQ(SmoothingSliderStart(SMOOTH_EXPONENTIAL, 0.42), 5);
    EXPECT_EQ(SmoothingSliderStart(SMOOTH_FFT, 0.5), 6);
    for (int32_t p = kSmoothSliderFirst; p <= kSmoothSliderLast; ++p)
        EXPECT_EQ(SmoothingSliderPosition(SmoothingSliderValue(p)), p);
    EXPECT_EQ(SmoothingSliderValue(1), 0.0);
    EXPECT_NEAR(SmoothingSliderValue(11), 1.0, 1e-15);
    EXPECT_EQ(SmoothingParameterText(SmoothingSliderValue(4)), "0.30");
    EXPECT_EQ(SmoothingParameterText(0.5), "0.50");
}

TEST(SmoothingSlider, TypedParameters)
{
    struct Case {
        SmoothingKind kind;
        const char* text;
        SmoothingEntry result;
        double value;          // when accepted
        const char* why = "";  // a refused text's reason; "" for the range message
    };
    const Case cases[] = {
        {SMOOTH_FFT, "0.25", SMOOTHING_ENTRY_ACCEPTED, 0.25},
        {SMOOTH_EXPONENTIAL, "0.8", SMOOTHING_ENTRY_ACCEPTED, 0.8},
        {SMOOTH_EXPONENTIAL, "-1", SMOOTHING_ENTRY_ACCEPTED, -1.0},
        {SMOOTH_FFT, "1", SMOOTHING_ENTRY_ACCEPTED, 1.0},
        {SMOOTH_FFT, "0", SMOOTHING_ENTRY_ACCEPTED, 0.0},
        {SMOOTH_FFT, "-1", SMOOTHING_ENTRY_REFUSED, 0},
        {SMOOTH_EXPONENTIAL, "1.5", SMOOTHING_ENTRY_REFUSED, 0},
        {SMOOTH_FFT, "1.5", SMOOTHING_ENTRY_REFUSED, 0},
        {SMOOTH_EXPONENTIAL, "-0.5", SMOOTHING_ENTRY_REFUSED, 0},
        {SMOOTH_EXPONENTIAL, "abc", SMOOTHING_ENTRY_REFUSED, 0, "Exp. smooth parameter \"abc\" is not a number."},
        {SMOOTH_EXPONENTIAL, "", SMOOTHING_ENTRY_IGNORED, 0},
        {SMOOTH_EXPONENTIAL, "  ", SMOOTHING_ENTRY_IGNORED, 0},
        {SMOOTH_EXPONENTIAL, ",", SMOOTHING_ENTRY_REFUSED, 0, "Exp. smooth parameter \",\" is not a number."},
        {SMOOTH_FFT, "0,5", SMOOTHING_ENTRY_REFUSED, 0,
         "FFT smooth parameter \"0,5\" has a decimal comma: type a decimal point."},
        // The free-format reader knows NaN and Inf; a NaN would pass "v < 0 || v > 1".
        {SMOOTH_EXPONENTIAL, "NaN", SMOOTHING_ENTRY_REFUSED, 0, "Exp. smooth parameter \"NaN\" is not a finite number."},
        {SMOOTH_FFT, "nan", SMOOTHING_ENTRY_REFUSED, 0, "FFT smooth parameter \"nan\" is not a finite number."},
        {SMOOTH_FFT, "Inf", SMOOTHING_ENTRY_REFUSED, 0, "FFT smooth parameter \"Inf\" is not a finite number."},
        {SMOOTH_FFT, "1e999", SMOOTHING_ENTRY_REFUSED, 0, "FFT smooth parameter \"1e999\" is too large."},
    };
    for (const Case& c : cases) {
        double v = 0.123;
        std::string message = "stale";
        EXPECT_EQ(ReadSmoothingEntry(c.kind, c.text, v, message), c.result) << c.text;
        if (c.result == SMOOTHING_ENTRY_ACCEPTED) {
            EXPECT_EQ(v, c.value) << c.text;
        } else {
            EXPECT_EQ(v, 0.123) << c.text;
        }
        if (c.result == SMOOTHING_ENTRY_REFUSED && *c.why)
            EXPECT_EQ(message, c.why);
        else if (c.result == SMOOTHING_ENTRY_REFUSED)
            EXPECT_EQ(message, c.kind == SMOOTH_EXPONENTIAL ? kExpParameterMessage : kFftParameterMessage);
        else
            EXPECT_EQ(message, "") << c.text;
    }
}

TEST(SmoothingRun, NoDataChangesNothing)
{
    for (SmoothingKind kind : {SMOOTH_EXPONENTIAL, SMOOTH_FFT, SMOOTH_MOVING_AVERAGE}) {
        UnivariateProject u;
        u.maOrder = 4;  // kept by a data change, without weights
        SmoothingRun run;
        EXPECT_EQ(BeginSmoothing(u, kind, run), 0);
        EXPECT_TRUE(SmoothedSeries(u, kind).empty());
        EXPECT_EQ(u.expAlpha, -1.0);
        EXPECT_EQ(u.maOrder, 4);
        EXPECT_TRUE(u.maWeights.empty());
        EXPECT_EQ(SmoothingError(u, kind), 1.0);
    }
}

// Each smoother on the imported series, with the project's parameter; OK keeps the result and
// stores the mean squared difference.
TEST(SmoothingRun, SmoothsTheImportedSeriesAndStoresTheError)
{
    UnivariateProject u;
    Load(u, kSeries);
    u.series = {1.0, 2.0};  // a transform does not matter: the imported series is smoothed
    const int n = static_cast<int>(kSeries.size());

    SmoothingRun run;
    ASSERT_EQ(BeginSmoothing(u, SMOOTH_EXPONENTIAL, run), 1);
    double alpha = kExpSmoothSearch;
    std::vector<double> expected(kSeries.size());
    ASSERT_EQ(ExponentialSmooth(kSeries.data(), expected.data(), n, alpha), 0);
    EXPECT_EQ(u.expAlpha, alpha);  // the search's choice replaces -1
    EXPECT_EQ(u.expSmoothed, expected);
    EndSmoothing(u, run, 1, false);
    EXPECT_DOUBLE_EQ(u.expRootMse, Mse(kSeries, expected));

    ASSERT_EQ(BeginSmoothing(u, SMOOTH_FFT, run), 1);
    ASSERT_EQ(FftSmoother(kSeries.data(), expected.data(), n, 0.5), 0);
    EXPECT_EQ(u.fftSmoothed, expected);
    EndSmoothing(u, run, 1, false);
    EXPECT_DOUBLE_EQ(u.fftRootMse, Mse(kSeries, expected));

    // A moving average without weights starts from the identity: order 0, weight 1.
    u.maOrder = 3;
    ASSERT_EQ(BeginSmoothing(u, SMOOTH_MOVING_AVERAGE, run), 1);
    EXPECT_EQ(u.maOrder, 0);
    EXPECT_EQ(u.maWeights, std::vector<double>{1.0});
    EXPECT_EQ(u.maSmoothed, kSeries);
    EndSmoothing(u, run, 1, false);
    EXPECT_EQ(u.maRootMse, 0.0);
}

// Cancel with the view open before: parameter and series come back and the error is that of
// the restored series. Cancel on a first run: the values last tried stay.
TEST(SmoothingRun, CancelRestoresOnlyWhenTheViewExisted)
{
    UnivariateProject u;
    Load(u, kSeries);
    SmoothingRun run;
    u.fftFraction = 0.3;
    ASSERT_EQ(BeginSmoothing(u, SMOOTH_FFT, run), 1);
    EndSmoothing(u, run, 1, false);
    const std::vector<double> kept = u.fftSmoothed;
    const double keptError = u.fftRootMse;

    ASSERT_EQ(BeginSmoothing(u, SMOOTH_FFT, run), 1);
    double tried = 0.8;
    u.fftFraction = tried;
    ASSERT_EQ(SmoothOriginal(u, SMOOTH_FFT, tried), 1);
    EndSmoothing(u, run, 0, true);
    EXPECT_EQ(u.fftFraction, 0.3);
    EXPECT_EQ(u.fftSmoothed, kept);
    EXPECT_EQ(u.fftRootMse, keptError);

    ASSERT_EQ(BeginSmoothing(u, SMOOTH_FFT, run), 1);
    u.fftFraction = tried;
    ASSERT_EQ(SmoothOriginal(u, SMOOTH_FFT, tried), 1);
    const std::vector<double> last = u.fftSmoothed;
    EndSmoothing(u, run, 0, false);
    EXPECT_EQ(u.fftFraction, 0.8);
    EXPECT_EQ(u.fftSmoothed, last);
    EXPECT_DOUBLE_EQ(u.fftRootMse, Mse(kSeries, last));
}

// A typed -1 keeps -1 in the project while the smoothing uses the constant the search picks.
TEST(SmoothingRun, SearchOnAWorkingCopy)
{
    UnivariateProject u;
    Load(u, kSeries);
    u.expAlpha = -1.0;
    double working = u.expAlpha;
    ASSERT_EQ(SmoothOriginal(u, SMOOTH_EXPONENTIAL, working), 1);
    EXPECT_EQ(u.expAlpha, -1.0);
    EXPECT_GE(working, 0.0);
    EXPECT_LE(working, 0.99);
    std::vector<double> expected(kSeries.size());
    double fixed = working;
    ASSERT_EQ(ExponentialSmooth(kSeries.data(), expected.data(), static_cast<int>(kSeries.size()), fixed), 0);
    EXPECT_EQ(u.expSmoothed, expected);
}

TEST(MaWeights, OrderEntries)
{
    struct Case {
        const char* text;
        bool accepted;
        int32_t order;
        const char* message;
    };
    const Case cases[] = {
        {"4", true, 4, ""},      {"0", true, 0, ""},      {"99", true, 99, ""},
        {"100", false, 2, kMaOrderMessage}, {"150", false, 2, kMaOrderMessage},
        {"-3", false, 2, ""},    {"x", false, 2, "MA order \"x\" is not a number."},     {"", false, 2, ""},
        {"2.5", false, 2, "MA order \"2.5\" is not a whole number."},
        {"99999999999", false, 2, kMaOrderMessage},
    };
    for (const Case& c : cases) {
        int32_t order = 2;
        std::string message;
        EXPECT_EQ(ReadMaOrderEntry(c.text, order, message), c.accepted) << c.text;
        EXPECT_EQ(order, c.order) << c.text;
        EXPECT_EQ(message, c.message) << c.text;
    }
}

TEST(MaWeights, OrderChangesKeepTheLowWeights)
{
    UnivariateProject u;
    u.maOrder = 2;
    u.maWeights = {0.5, 0.2, 0.05};
    ChangeMaOrder(u, 4);
    EXPECT_EQ(u.maOrder, 4);
    EXPECT_EQ(u.maWeights, (std::vector<double>{0.5, 0.2, 0.05, 0.0, 0.0}));
    ChangeMaOrder(u, 1);
    EXPECT_EQ(u.maWeights, (std::vector<double>{0.5, 0.2}));
    ChangeMaOrder(u, 0);
    EXPECT_EQ(u.maWeights, std::vector<double>{0.5});
}

TEST(MaWeights, WeightEntriesLabelsAndRing)
{
    struct Case {
        const char* text;
        bool read;
        double weight;
    };
    const Case cases[] = {
        {"0.25", true, 0.25}, {"5", true, 5.0},       {"-2", true, -2.0},   {"1e-3", true, 1e-3},
        {"-", false, 7.0},    {".", false, 7.0},      {"", false, 7.0},     {"abc", false, 7.0},
        {"NaN", false, 7.0},  {"-inf", false, 7.0},   {"1e999", false, 7.0},
    };
    for (const Case& c : cases) {
        double w = 7.0;
        EXPECT_EQ(ReadMaWeightEntry(c.text, w), c.read) << c.text;
        EXPECT_EQ(w, c.weight) << c.text;
    }

    EXPECT_EQ(MaWeightRefusal(2, "0,5"), "Theta(2) \"0,5\" has a decimal comma: type a decimal point.");
    EXPECT_EQ(MaWeightRefusal(0, "-"), "Theta(0) \"-\" is not a number.");
    EXPECT_EQ(MaWeightRefusal(0, ""), "");
    EXPECT_EQ(MaWeightRefusal(0, "0.5"), "");

    EXPECT_EQ(MaWeightLabel(10), "Theta(10) = ");
    const std::vector<std::string> lines = MaWeightLines({1.0 / 3.0, -2.5, 0.0});
    EXPECT_EQ(lines, (std::vector<std::string>{"Theta(0) = 0.33333", "Theta(1) = -2.5000", "Theta(2) = 0.0000"}));

    // Enter in the weight box steps theta(0)..theta(q) and back to theta(0).
    EXPECT_EQ(NextMaWeight(1, 2), 2);
    EXPECT_EQ(NextMaWeight(2, 2), 3);
    EXPECT_EQ(NextMaWeight(3, 2), 1);
    EXPECT_EQ(NextMaWeight(1, 0), 1);
}

TEST(MaWeights, ApplyScalesToOneAndSmooths)
{
    struct Case {
        const char* name;
        std::vector<double> weights;
        const char* message;
        double scale = 1.0;  // of the series
    };
    const double huge = std::numeric_limits<double>::max();
    const Case cases[] = {
        {"three-point average", {1.0, 1.0}, ""},
        {"order 0 scales to the identity", {4.0}, ""},
        {"symmetric sum zero", {2.0, -1.0}, kMaZeroSumMessage},
        {"negative zero", {-0.0}, kMaZeroSumMessage},
        {"sum overflows", {huge, huge}, kMaNotFiniteMessage},
        {"smoothed series overflows", {1e8, -49999999.5}, kMaOverflowMessage, 1e300},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        std::vector<double> x = kSeries;
        for (double& v : x) v *= c.scale;
        Load(u, x);
        u.maOrder = static_cast<int32_t>(c.weights.size()) - 1;
        u.maWeights = c.weights;
        u.maSmoothed = {42.0};
        SmoothingRun run;
        run.appliedOrder = -1;
        EXPECT_EQ(ApplyMaWeights(u, run), c.message) << c.name;
        if (*c.message) {
            EXPECT_EQ(u.maWeights, c.weights) << c.name;
            EXPECT_EQ(u.maSmoothed, std::vector<double>{42.0}) << c.name;
            EXPECT_EQ(run.appliedOrder, -1) << c.name;
            continue;
        }
        EXPECT_EQ(run.appliedOrder, u.maOrder);
        EXPECT_EQ(run.appliedWeights, u.maWeights);
        double total = u.maWeights[0];
        for (size_t k = 1; k < u.maWeights.size(); ++k) total += 2.0 * u.maWeights[k];
        EXPECT_NEAR(total, 1.0, 1e-15) << c.name;
        ASSERT_EQ(u.maSmoothed.size(), kSeries.size());
    }

    UnivariateProject u;
    Load(u, kSeries);
    u.maOrder = 1;
    u.maWeights = {1.0, 1.0};
    SmoothingRun run;
    ASSERT_EQ(ApplyMaWeights(u, run), "");
    EXPECT_DOUBLE_EQ(u.maWeights[0], 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(u.maWeights[1], 1.0 / 3.0);
    // y(0) is replaced by y(1) at the start and y(n + 1) by y(n) at the end.
    EXPECT_DOUBLE_EQ(u.maSmoothed.front(), (2 * kSeries[0] + kSeries[1]) / 3.0);
    EXPECT_DOUBLE_EQ(u.maSmoothed[4], (kSeries[3] + kSeries[4] + kSeries[5]) / 3.0);
    EXPECT_DOUBLE_EQ(u.maSmoothed.back(), (kSeries[8] + 2 * kSeries[9]) / 3.0);
}

// Cancel on a first run of the moving average: typed weights that were never applied (here a
// zero-sum pair) are dropped; the order and weights of the last Apply, or of the start, return.
TEST(MaWeights, FirstRunCancelGoesBackToTheLastApply)
{
    UnivariateProject u;
    Load(u, kSeries);
    u.maOrder = 1;
    u.maWeights = {0.5, 0.25};
    SmoothingRun run;
    ASSERT_EQ(BeginSmoothing(u, SMOOTH_MOVING_AVERAGE, run), 1);
    ChangeMaOrder(u, 1);
    u.maWeights = {2.0, -1.0};
    EndSmoothing(u, run, 0, false);
    EXPECT_EQ(u.maOrder, 1);
    EXPECT_EQ(u.maWeights, (std::vector<double>{0.5, 0.25}));

    ASSERT_EQ(BeginSmoothing(u, SMOOTH_MOVING_AVERAGE, run), 1);
    ChangeMaOrder(u, 2);
    u.maWeights = {1.0, 1.0, 1.0};
    ASSERT_EQ(ApplyMaWeights(u, run), "");
    const std::vector<double> applied = u.maWeights;
    const std::vector<double> smoothed = u.maSmoothed;
    ChangeMaOrder(u, 3);
    u.maWeights[3] = 9.0;
    EndSmoothing(u, run, 0, false);
    EXPECT_EQ(u.maOrder, 2);
    EXPECT_EQ(u.maWeights, applied);
    EXPECT_EQ(u.maSmoothed, smoothed);
    EXPECT_DOUBLE_EQ(u.maRootMse, Mse(kSeries, smoothed));

    // With the view open before, Cancel restores the order and weights the run began with.
    ASSERT_EQ(BeginSmoothing(u, SMOOTH_MOVING_AVERAGE, run), 1);
    ChangeMaOrder(u, 0);
    u.maWeights = {1.0};
    ASSERT_EQ(ApplyMaWeights(u, run), "");
    EndSmoothing(u, run, 0, true);
    EXPECT_EQ(u.maOrder, 2);
    EXPECT_EQ(u.maWeights, applied);
    EXPECT_EQ(u.maSmoothed, smoothed);
}
