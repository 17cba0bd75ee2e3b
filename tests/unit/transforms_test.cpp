#include "univariate/transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/unit/reference_table.h"
#include "tests/unit/test_series.h"

namespace {

// A project holding `values` at indices first..first + n - 1.
void Load(UnivariateProject& u, const std::vector<double>& values, int32_t first = 1)
{
    VeskInit(u);
    u.series = values;
    u.n = static_cast<int32_t>(values.size());
    u.firstIndex = first;
    u.lastIndex = first + u.n - 1;
}

// Integer values with trend, a period-12 pattern and irregular steps: differences and
// subsequences of them are exact.
std::vector<double> IntegerSeries(int n)
{
    std::vector<double> x;
    for (int t = 1; t <= n; ++t) x.push_back(100 + 2 * t + ((t * 7) % 12) * 3 + (t * t) % 5);
    return x;
}

// A positive seasonal series with a trend and a small irregular part.
std::vector<double> SmoothSeries(int n, int period)
{
    std::vector<double> x;
    for (int t = 1; t <= n; ++t)
        x.push_back(50 + 0.3 * t + 0.002 * t * t + 8 * std::sin(6.283185307179586 * t / period) +
                    std::cos(1.7 * t));
    return x;
}

// A random walk of n steps from 0, the same numbers on every platform.
std::vector<double> RandomWalk(int n, uint64_t seed)
{
    std::vector<double> x = WhiteNoise(n, seed);
    for (size_t t = 1; t < x.size(); ++t) x[t] += x[t - 1];
    return x;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tolerance,
                const std::string& name)
{
    ASSERT_EQ(got.size(), want.size()) << name;
    for (size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], want[k], tolerance) << name << " at " << k;
}

}  // namespace

// Apply then undo: the node's fields, the count and index range in between, and the series back.
TEST(Transforms, ApplyThenUndoRestoresTheSeries)
{
    struct Case {
        std::string name;
        std::vector<double> series;
        int32_t first;
        std::function<int32_t(UnivariateProject&)> apply;
        int32_t kind, n, firstIndex, lastIndex;
        std::function<void(const TransformNode&, const std::vector<double>& before)> checkNode;
        bool exact;
    };
    const int32_t harmonics[4] = {3, 7, 0, 0};
    std::vector<Case> cases = {
        {"difference lag 1", IntegerSeries(30), 1, [](UnivariateProject& u) { return ApplyDifference(u, 1); },
         TRANSFORM_DIFFERENCE, 29, 2, 30,
         [](const TransformNode& node, const std::vector<double>& x) {
             EXPECT_EQ(node.lag, 1);
             EXPECT_EQ(node.removed, std::vector<double>(x.begin(), x.begin() + 1));
         },
         true},
        {"difference lag 12", IntegerSeries(40), 5, [](UnivariateProject& u) { return ApplyDifference(u, 12); },
         TRANSFORM_DIFFERENCE, 28, 17, 44,
         [](const TransformNode& node, const std::vector<double>& x) {
             EXPECT_EQ(node.lag, 12);
             EXPECT_EQ(node.removed, std::vector<double>(x.begin(), x.begin() + 12));
         },
         true},
        {"Box-Cox 0", SmoothSeries(24, 12), 1, [](UnivariateProject& u) { return ApplyBoxCox(u, 0.0); },
         TRANSFORM_BOX_COX, 24, 1, 24, [](const TransformNode& node, const std::vector<double>&) { EXPECT_EQ(node.lambda, 0.0); },
         false},
        {"Box-Cox 0.5", SmoothSeries(24, 12), 1, [](UnivariateProject& u) { return ApplyBoxCox(u, 0.5); },
         TRANSFORM_BOX_COX, 24, 1, 24, [](const TransformNode& node, const std::vector<double>&) { EXPECT_EQ(node.lambda, 0.5); },
         false},
        {"subtract mean", {1, 4, 2, 8, 5}, 1, [](UnivariateProject& u) { return ApplySubtractMean(u); }, TRANSFORM_SUBTRACT_MEAN, 5, 1, 5,
         [](const TransformNode& node, const std::vector<double>&) { EXPECT_DOUBLE_EQ(node.mean, 4.0); }, false},
        {"subsequence 20..120 of 1..200", IntegerSeries(200), 1,
         [](UnivariateProject& u) { return ApplySubsequence(u, 20, 120); }, TRANSFORM_SUBSEQUENCE, 101, 20, 120,
         [](const TransformNode& node, const std::vector<double>& x) {
             EXPECT_EQ(node.first, 1);
             EXPECT_EQ(node.last, 200);
             EXPECT_EQ(node.head, std::vector<double>(x.begin(), x.begin() + 19));
             EXPECT_EQ(node.tail, std::vector<double>(x.begin() + 120, x.end()));
         },
         true},
        {"subsequence of the whole range", IntegerSeries(200), 1,
         [](UnivariateProject& u) { return ApplySubsequence(u, 1, 200); }, TRANSFORM_SUBSEQUENCE, 200, 1, 200,
         [](const TransformNode& node, const std::vector<double>&) {
             EXPECT_TRUE(node.head.empty());
             EXPECT_TRUE(node.tail.empty());
         },
         true},
        {"trend only, quadratic", SmoothSeries(40, 12), 1,
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, -1, fit, 2);
         },
         TRANSFORM_CLASSICAL, 40, 1, 40,
         [](const TransformNode& node, const std::vector<double>&) {
             EXPECT_EQ(node.period, -1);
             EXPECT_TRUE(node.seasonal.empty());
             EXPECT_EQ(node.degree, 2);
             EXPECT_NE(node.polyCoef[2], 0.0);
         },
         false},
        {"two harmonics with a linear trend", SmoothSeries(60, 12), 1,
         [&harmonics](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalHarmonic(u, fit, 2, harmonics, 1);
         },
         TRANSFORM_HARMONIC, 60, 1, 60,
         [](const TransformNode& node, const std::vector<double>& x) {
             EXPECT_EQ(node.harmonics, 2);
             EXPECT_EQ(node.fourierIndex[0], 3);
             EXPECT_EQ(node.fourierIndex[1], 7);
             EXPECT_EQ(node.fourierIndex[2], 0);
             double mean = 0;
             for (double v : x) mean += v / x.size();
             EXPECT_NEAR(node.level, mean, 1e-9);
             EXPECT_EQ(node.degree, 1);
             EXPECT_EQ(node.polyCoef[2], 0.0);
         },
         false},
    };
    for (int32_t period : {12, 5})
        for (int32_t degree : {0, 1, 2})
            cases.push_back({"period " + std::to_string(period) + " degree " + std::to_string(degree),
                             SmoothSeries(48, period), 3,
                             [period, degree](UnivariateProject& u) {
                                 std::vector<double> fit;
                                 const int32_t status = ApplyClassicalSeasonal(u, period, fit, degree);
                                 EXPECT_EQ(fit.size(), 48u);
                                 return status;
                             },
                             TRANSFORM_CLASSICAL, 48, 3, 50,
                             [period, degree](const TransformNode& node, const std::vector<double>&) {
                                 EXPECT_EQ(node.period, period);
                                 ASSERT_EQ(node.seasonal.size(), static_cast<size_t>(period));
                                 double sum = 0;
                                 for (double s : node.seasonal) sum += s;
                                 EXPECT_NEAR(sum, 0.0, 1e-9);
                                 EXPECT_EQ(node.degree, degree);
                                 EXPECT_EQ(node.polyCoef[1] == 0.0, degree == 0);
                                 EXPECT_EQ(node.polyCoef[2] == 0.0, degree < 2);
                             },
                             false});

    for (const Case& c : cases) {
        UnivariateProject u;
        Load(u, c.series, c.first);
        ASSERT_EQ(c.apply(u), 1) << c.name;
        ASSERT_NE(u.transforms, nullptr) << c.name;
        EXPECT_EQ(u.transforms->kind, c.kind) << c.name;
        EXPECT_EQ(u.transforms->next, nullptr) << c.name;
        c.checkNode(*u.transforms, c.series);
        EXPECT_EQ(u.n, c.n) << c.name;
        EXPECT_EQ(static_cast<int32_t>(u.series.size()), c.n) << c.name;
        EXPECT_EQ(u.firstIndex, c.firstIndex) << c.name;
        EXPECT_EQ(u.lastIndex, c.lastIndex) << c.name;
        for (double v : u.series) ASSERT_TRUE(std::isfinite(v)) << c.name;

        ASSERT_EQ(UndoNewestTransform(u), 1) << c.name;
        EXPECT_EQ(u.transforms, nullptr) << c.name;
        EXPECT_EQ(u.n, static_cast<int32_t>(c.series.size())) << c.name;
        EXPECT_EQ(u.firstIndex, c.first) << c.name;
        EXPECT_EQ(u.lastIndex, c.first + u.n - 1) << c.name;
        if (c.exact) {
            EXPECT_EQ(u.series, c.series) << c.name;
        } else {
            ExpectNear(u.series, c.series, 1e-12, c.name);
        }
    }
}

TEST(Transforms, TransformedValuesAreTheFormulas)
{
    UnivariateProject d;
    Load(d, {1, 4, 9, 16});
    ASSERT_EQ(ApplyDifference(d, 1), 1);
    EXPECT_EQ(d.series, (std::vector<double>{3, 5, 7}));
    ASSERT_EQ(ApplyDifference(d, 1), 1);
    EXPECT_EQ(d.series, (std::vector<double>{2, 2}));
    EXPECT_EQ(d.firstIndex, 3);
    EXPECT_EQ(TransformCount(d.transforms), 2);

    UnivariateProject ln;
    Load(ln, {1, std::exp(1.0), 4});
    ASSERT_EQ(ApplyBoxCox(ln, 0.0), 1);
    ExpectNear(ln.series, {0.0, 1.0, std::log(4.0)}, 1e-15, "ln");

    // With a zero the Box-Cox value of 0 is -1/lambda.
    UnivariateProject root;
    Load(root, {0, 1, 4});
    ASSERT_EQ(ApplyBoxCox(root, 0.5), 1);
    ExpectNear(root.series, {-2.0, 0.0, 2.0}, 1e-15, "square root");
}

// Differences of R's datasets, one lag after another, against R's diff. Data of one decimal are
// not on a binary grid: their differences round, so the values Undo rebuilds can miss the data by
// a unit in the last place and the differences taken against them can differ from R's by as
// much. Two equal values still give exactly 0, as in R, where a difference of the series itself
// is 0 (sunspot.month at lag 12 once gave -1.8e-15 twice) and wherever a later difference meets
// two equal values of its own series.
TEST(Transforms, DifferencesMatchRsDiff)
{
    const ReferenceTable t = ReadReferenceTable("differences_reference.csv");
    ASSERT_EQ(t.rows.size(), 14u);
    std::vector<double> data;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        if (t.Text(r, "kind") == "data") {
            data = t.List(r, "values");
            continue;
        }
        const std::string name = t.Text(r, "series") + " lags " + t.Text(r, "lags");
        SCOPED_TRACE(name);
        UnivariateProject u;
        Load(u, data);
        const std::vector<double> lags = t.List(r, "lags");
        for (double lag : lags) {
            const std::vector<double> x = u.series;
            const size_t h = static_cast<size_t>(lag);
            ASSERT_EQ(ApplyDifference(u, static_cast<int32_t>(lag)), 1);
            for (size_t k = 0; k < u.series.size(); ++k)
                if (x[k + h] == x[k]) {
                    EXPECT_EQ(u.series[k], 0.0) << k;
                    EXPECT_FALSE(std::signbit(u.series[k])) << k;
                }
        }
        double top = 0.0;
        for (double v : data) top = std::max(top, std::fabs(v));
        const std::vector<double> at = t.List(r, "positions"), want = t.List(r, "values");
        ASSERT_EQ(at.size(), want.size());
        for (size_t i = 0; i < at.size(); ++i) {
            const double got = u.series.at(static_cast<size_t>(at[i]) - 1);
            if (lags.size() == 1 && want[i] == 0.0) {
                EXPECT_EQ(got, 0.0) << at[i];
            }
            EXPECT_NEAR(got, want[i], 4 * std::numeric_limits<double>::epsilon() * top) << at[i];
        }
    }
}

// Below lambda = 1e-7 the transform is the logarithm and its undoing exp; from 1e-7 on it is the
// power (x^lambda - 1)/lambda and (lambda y + 1)^(1/lambda), which at x = 1e6 stand about
// lambda (ln x)^2 / 2 = 1e-5 away from them: far more than the power's rounding (about
// 1e-16/lambda), so the branch taken shows.
TEST(Transforms, BoxCoxIsTheLogarithmBelow1e7)
{
    const std::vector<double> x = {1e6, 2.0, 5e5};
    const std::vector<double> z = {13.8, 1.0, -2.0};
    for (double lambda : {9.9e-8, 1e-7, 1.01e-7}) {
        SCOPED_TRACE(lambda);
        const bool logarithm = lambda < 1e-7;
        UnivariateProject u;
        Load(u, x);
        ASSERT_EQ(ApplyBoxCox(u, lambda), 1);
        for (size_t t = 0; t < x.size(); ++t) {
            const double ln = std::log(x[t]);
            const double want = logarithm ? ln : ln + lambda * ln * ln / 2.0;
            EXPECT_NEAR(u.series[t], want, logarithm ? 1e-12 : 1e-8) << t;
        }

        u.series = z;
        ASSERT_EQ(UndoBoxCox(u), 1);
        for (size_t t = 0; t < z.size(); ++t) {
            // (lambda z + 1)^(1/lambda) = exp(z - lambda z^2 / 2 + ...).
            const double want = std::exp(logarithm ? z[t] : z[t] - lambda * z[t] * z[t] / 2.0);
            EXPECT_NEAR(u.series[t] / want, 1.0, logarithm ? 1e-12 : 1e-8) << t;
        }
    }
}

// 0, 1, 2, 3 with lambda 1.1, then a mean subtracted and added back: 1.1 y + 1 for the former
// 0 falls a rounding error below 0.
TEST(Transforms, BoxCoxUndoOfAFormerZeroAfterARoundTripIsZero)
{
    UnivariateProject u;
    Load(u, {0, 1, 2, 3});
    ASSERT_EQ(ApplyBoxCox(u, 1.1), 1);
    ASSERT_EQ(ApplySubtractMean(u), 1);
    ASSERT_EQ(UndoNewestTransform(u), 1);
    ASSERT_EQ(UndoNewestTransform(u), 1);
    EXPECT_EQ(u.transforms, nullptr);
    for (double v : u.series) EXPECT_TRUE(std::isfinite(v));
    ExpectNear(u.series, {0, 1, 2, 3}, 1e-12, "round trip");
}

// A refused transform pushes no node and leaves the series as it was.
TEST(Transforms, RefusedTransformsChangeNothing)
{
    const double big = 1e300;
    const double huge = std::numeric_limits<double>::max();
    struct Case {
        const char* name;
        std::vector<double> series;
        std::function<int32_t(UnivariateProject&)> apply;
    };
    const int32_t indices[4] = {1, 2, 3, 4};
    const int32_t badIndex[4] = {1, 5, 0, 0};
    const Case cases[] = {
        {"difference lag 0", {1, 2, 3, 4}, [](UnivariateProject& u) { return ApplyDifference(u, 0); }},
        {"difference lag n - 1", {1, 2, 3, 4}, [](UnivariateProject& u) { return ApplyDifference(u, 3); }},
        {"difference out of range", {-huge, huge, 0}, [](UnivariateProject& u) { return ApplyDifference(u, 1); }},
        {"Box-Cox of a negative value", {1, -1, 2}, [](UnivariateProject& u) { return ApplyBoxCox(u, 0.5); }},
        {"logarithm of zero", {1, 0, 2}, [](UnivariateProject& u) { return ApplyBoxCox(u, 0.0); }},
        {"logarithm of zero below 1e-7", {1, 0, 2}, [](UnivariateProject& u) { return ApplyBoxCox(u, 5e-8); }},
        {"Box-Cox overflow", {1, big, 2}, [](UnivariateProject& u) { return ApplyBoxCox(u, 1.5); }},
        {"Box-Cox 1.6", {1, 2, 3}, [](UnivariateProject& u) { return ApplyBoxCox(u, 1.6); }},
        {"Box-Cox below 0", {1, 2, 3}, [](UnivariateProject& u) { return ApplyBoxCox(u, -0.1); }},
        {"linear trend of one value", {5},
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, -1, fit, 1);
         }},
        {"quadratic trend of two values", {5, 6},
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, -1, fit, 2);
         }},
        {"trend of degree 0 alone", {5, 6, 7},
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, -1, fit, 0);
         }},
        {"period above n/3", {1, 2, 3, 4, 5, 6, 7, 8},
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, 3, fit, 0);
         }},
        {"period 1", {1, 2, 3, 4, 5, 6, 7, 8},
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, 1, fit, 0);
         }},
        {"period 2 with a trend of degree -1", {1, 2, 3, 4, 5, 6, 7, 8},
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, 2, fit, -1);
         }},
        {"harmonic index n/2", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         [&badIndex](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalHarmonic(u, fit, 2, badIndex, 0);
         }},
        {"harmonic index 0", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         [](UnivariateProject& u) {
             const int32_t zero[4] = {0, 0, 0, 0};
             std::vector<double> fit;
             return ApplyClassicalHarmonic(u, fit, 1, zero, 0);
         }},
        {"five harmonics", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         [&indices](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalHarmonic(u, fit, 5, indices, 0);
         }},
        {"mean out of range", {huge, huge}, [](UnivariateProject& u) { return ApplySubtractMean(u); }},
        {"subsequence of one index", {1, 2, 3}, [](UnivariateProject& u) { return ApplySubsequence(u, 2, 2); }},
        {"subsequence before the range", {1, 2, 3}, [](UnivariateProject& u) { return ApplySubsequence(u, 0, 2); }},
        {"subsequence after the range", {1, 2, 3}, [](UnivariateProject& u) { return ApplySubsequence(u, 2, 4); }},
        {"no data", {}, [](UnivariateProject& u) { return ApplySubtractMean(u); }},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        Load(u, c.series);
        EXPECT_EQ(c.apply(u), 0) << c.name;
        EXPECT_EQ(u.transforms, nullptr) << c.name;
        EXPECT_EQ(u.series, c.series) << c.name;
        EXPECT_EQ(u.n, static_cast<int32_t>(c.series.size())) << c.name;
        EXPECT_EQ(u.firstIndex, 1) << c.name;
    }
}

// The round trip of each transform on values where it keeps or loses its digits. A transform is
// applied only when its undo gives the series back, finite and within a relative 1e-8 of the
// largest value, and when undoing the whole stack then gives back the untransformed series by the
// same rule; then Undo does so, down to the series the case began with. Otherwise it is refused
// with the message that says why, and nothing changes. Box-Cox with a small lambda loses about
// 2e-16/lambda on the way and passes.
TEST(Transforms, RoundTripTable)
{
    const double largest = std::numeric_limits<double>::max();
    using Apply = std::function<int32_t(UnivariateProject&, const char**)>;
    const auto boxCox = [](double lambda) -> Apply {
        return [lambda](UnivariateProject& u, const char** why) { return ApplyBoxCox(u, lambda, why); };
    };
    const auto trend = [](int32_t period, int32_t degree) -> Apply {
        return [period, degree](UnivariateProject& u, const char** why) {
            std::vector<double> fit;
            return ApplyClassicalSeasonal(u, period, fit, degree, why);
        };
    };
    const auto harmonic = [](int32_t index, int32_t degree) -> Apply {
        return [index, degree](UnivariateProject& u, const char** why) {
            const int32_t indices[4] = {index, 0, 0, 0};
            std::vector<double> fit;
            return ApplyClassicalHarmonic(u, fit, 1, indices, degree, why);
        };
    };
    const Apply mean = [](UnivariateProject& u, const char** why) { return ApplySubtractMean(u, why); };
    const auto differenceAt = [](int32_t lag) -> Apply {
        return [lag](UnivariateProject& u, const char** why) { return ApplyDifference(u, lag, why); };
    };
    const Apply difference = differenceAt(1);
    struct Case {
        const char* name;
        std::vector<double> series;
        int32_t cutTo;  // > 0: a subsequence cutFrom..cutTo is taken first
        Apply apply;
        bool applied;
        std::vector<Apply> before = {};  // applied first, in order, after the subsequence
        int32_t cutFrom = 1;
        // The whole stack undone is compared with what it gave before the transform (the case
        // moves the series off what its stack was built from), not with the series.
        bool fromStack = false;
    };
    // What a regression trend fitted and removed again may leave: the series a little off what
    // its stack was built from. Differences undone add the offset up.
    const Apply nudge = [](UnivariateProject& u, const char**) {
        u.series[3] += 1e-6;
        return int32_t{1};
    };
    const Case cases[] = {
        // x^lambda is lost below the spacing of doubles near 1: the transform is constant.
        {"Box-Cox 1 of 1e-20, 2e-20, 3e-20", {1e-20, 2e-20, 3e-20}, 0, boxCox(1.0), false},
        {"Box-Cox 1.5 of 1e-11, 2e-11, 3e-11", {1e-11, 2e-11, 3e-11}, 0, boxCox(1.5), false},
        // Values near the largest double, whose inverse overflows.
        {"linear trend near the largest double", {-1.4043073604915904e307, -1.7906584661652882e308}, 0,
         trend(-1, 1), false},
        {"Box-Cox 2.86e-6 near the largest double",
         {1.7976931348623097e308, 1.0472348209596488e308, 1.0504167103098305e308, 1.0504167729195492e308}, 0,
         boxCox(2.8592330636455796e-6), false},
        {"linear trend of three values near the largest double",
         {4.0904966274738793e306, 5.8097195883357168e307, 1.7078358811472826e308}, 0, trend(-1, 1), false},
        {"period 2 with a quadratic trend",
         {-1.7614272249283921e308, 1.7970610718367472e308, -1.7893427050973479e308, 1.7188545507342369e308,
          -1.7593035882000056e308, 1.7433557661561563e308},
         0, trend(2, 2), false},
        {"one harmonic with a quadratic trend",
         {1.7816740811366954e308, 1.7166900760531973e308, 1.7890365915000535e308, 1.7150395237733872e308,
          1.7908808568157951e308, 1.7243113931750419e308},
         0, harmonic(1, 2), false},
        {"subtract mean of the largest double and a negative value", {largest, -9.0973917704989455e305}, 0, mean,
         false},
        {"Box-Cox 0.00154 after a subsequence",
         {1.7976931348623065e308, 1.6434547667750745e308, 1.7802774682245717e308}, 2,
         boxCox(0.0015360070513135851), false},
        // x^1 - 1 keeps only a few digits of values far below 1.
        {"Box-Cox 1 of 1e-9, 2e-9, 3e-9", {1e-9, 2e-9, 3e-9}, 0, boxCox(1.0), false},
        // ln x of the last value is the largest double whose exponential is finite; the difference
        // from -667.27 rounds, and adding -667.27 back lands one unit above it. The difference
        // gives its own values back, yet the logarithm could no longer be undone.
        {"difference of logarithms whose undo would overflow", {1.0, 1.61555244319742e-290, 1.7976931348622732e308},
         0, difference, false, {boxCox(0.0)}},
        // Logarithms whose mean, subtracted and added back, lands the last one a unit above the
        // log of the largest double: the mean gives its own values back, yet the logarithm could
        // no longer be undone.
        {"subtract mean of logarithms whose undo would overflow", {1e-90, 10.0, 1.7976931348623e308}, 0, mean, false,
         {boxCox(0.0)}},
        // What keeps its digits is applied, however small lambda or large the values.
        {"Box-Cox 1e-7 of a seasonal series", SmoothSeries(24, 12), 0, boxCox(kBoxCoxLogLimit), true},
        {"Box-Cox 1e-7 of values near 1e300", {1e300, 3e299, 7e299, 2e300}, 0, boxCox(kBoxCoxLogLimit), true},
        {"Box-Cox 2e-7 from 1e-300 to 1e300", {1e-300, 1.0, 1e300}, 0, boxCox(2e-7), true},
        {"Box-Cox 1.5 of 0 to 1", {0.0, 1e-3, 0.5, 1.0}, 0, boxCox(1.5), true},
        {"Box-Cox 0 of 1e-300 to 1e300", {1e-300, 1.0, 1e300}, 0, boxCox(0.0), true},
        {"quadratic trend near 1e307", {1e307, 2.5e307, 3e307, 2e307}, 0, trend(-1, 2), true},
        {"subtract mean near the largest double", {1.7e308, -1.7e308, 1.7e308, -1.6e308}, 0, mean, true},
        {"difference of 1e300 and 1", {1e300, 1.0, -1e300}, 0, difference, true},
        {"one harmonic of a seasonal series", SmoothSeries(48, 12), 0, harmonic(4, 1), true},
        // Values whose round trip rounds: the tolerance is measured on |x|.
        {"subtract mean of negative values", {-0.1, -0.7, -0.3, -0.001}, 0, mean, true},
        {"difference of negative values", {-0.1, -0.7, -0.3, -0.001}, 0, difference, true},
        {"difference of logarithms of a seasonal series", SmoothSeries(24, 12), 0, difference, true, {boxCox(0.0)}},
        {"one harmonic of logarithms", SmoothSeries(48, 12), 0, harmonic(4, 1), true, {boxCox(0.0)}},
        {"subtract mean of differences", IntegerSeries(30), 0, mean, true, {difference}},
        {"subtract mean after a subsequence", IntegerSeries(30), 20, mean, true},
        // The range the stack is undone over starts h later than the series.
        {"difference after a subsequence 5..30", IntegerSeries(40), 30, difference, true, {}, 5},
        // Measured against what the stack gives now, not the series it was built from.
        {"subtract mean after the series moved off its differences", IntegerSeries(300), 0, mean, true,
         {difference, difference, nudge}, 1, true},
        // Long series differenced again and again: the differences are taken against what Undo
        // rebuilds, so their rounding does not add up along the running sums of the undo.
        {"third difference of a random walk of 50,000", RandomWalk(50000, 107), 0, difference, true,
         {difference, difference}},
        {"lags 12, 1, 1 of a random walk of 300,000", RandomWalk(300000, 57), 0, difference, true,
         {differenceAt(12), difference}},
        {"lags 12, 1, 1 of a random walk of 1,000,000", RandomWalk(1000000, 2), 0, difference, true,
         {differenceAt(12), difference}},
        // A fourth difference of the same walk gives its own values back, but undoing the whole
        // stack would then miss the walk by 1.25e-8 of its largest value.
        {"fourth difference of a random walk of 50,000", RandomWalk(50000, 107), 0, difference, false,
         {difference, difference, difference}},
        // A series of zeros comes back exactly: no error at all is within any tolerance.
        {"subtract mean of zeros", {0.0, 0.0, 0.0, 0.0}, 0, mean, true},
        {"difference of zeros", {0.0, 0.0, 0.0, 0.0}, 0, difference, true},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        Load(u, c.series);
        if (c.cutTo > 0) {
            ASSERT_EQ(ApplySubsequence(u, c.cutFrom, c.cutTo), 1) << c.name;
        }
        for (const Apply& before : c.before) ASSERT_EQ(before(u, nullptr), 1) << c.name;
        const std::vector<double> before = u.series;
        const int32_t count = TransformCount(u.transforms);
        std::vector<double> stackGives = c.series;
        if (c.fromStack) {
            UnivariateProject copy;
            VeskInit(copy);
            VeskCopy(u, copy);
            while (copy.transforms) ASSERT_EQ(UndoNewestTransform(copy), 1) << c.name;
            stackGives = copy.series;
        }
        const char* why = nullptr;
        if (!c.applied) {
            EXPECT_EQ(c.apply(u, &why), 0) << c.name;
            EXPECT_EQ(why, kTransformLossMessage) << c.name;
            EXPECT_EQ(u.series, before) << c.name;
            EXPECT_EQ(TransformCount(u.transforms), count) << c.name;
            continue;
        }
        ASSERT_EQ(c.apply(u, &why), 1) << c.name;
        EXPECT_EQ(why, nullptr) << c.name;
        for (double v : u.series) EXPECT_TRUE(std::isfinite(v)) << c.name;
        ASSERT_EQ(UndoNewestTransform(u), 1) << c.name;
        ASSERT_EQ(u.series.size(), before.size()) << c.name;
        const auto expectBack = [&c, &u](const std::vector<double>& x, const char* stage) {
            ASSERT_EQ(u.series.size(), x.size()) << c.name << stage;
            double top = 0.0;
            for (double v : x) top = std::fmax(top, std::fabs(v));
            for (size_t t = 0; t < x.size(); ++t)
                EXPECT_LE(std::fabs(u.series[t] - x[t]), kRoundTripTolerance * top) << c.name << stage << " at " << t;
        };
        expectBack(before, "");
        while (u.transforms) ASSERT_EQ(UndoNewestTransform(u), 1) << c.name;
        expectBack(stackGives, ", whole stack");
    }
}

// An undo routine acts only on a newest node of its own kind, and a damaged node (as a file can
// hold) is refused rather than read past its values.
TEST(Transforms, UndoRefusesOtherKindsAndDamagedNodes)
{
    using Undo = int32_t (*)(UnivariateProject&);
    const Undo undos[] = {UndoDifference, UndoBoxCox, UndoClassicalSeasonal, UndoClassicalHarmonic, UndoSubtractMean,
                          UndoSubsequence};
    UnivariateProject u;
    Load(u, {1, 2, 3, 4, 5, 6, 7, 8});
    for (Undo undo : undos) EXPECT_EQ(undo(u), 0);
    EXPECT_EQ(UndoNewestTransform(u), 0);
    ASSERT_EQ(ApplySubtractMean(u), 1);
    const std::vector<double> centred = u.series;
    for (Undo undo : {UndoDifference, UndoBoxCox, UndoClassicalSeasonal, UndoClassicalHarmonic, UndoSubsequence}) {
        EXPECT_EQ(undo(u), 0);
        EXPECT_EQ(u.series, centred);
        EXPECT_EQ(TransformCount(u.transforms), 1);
    }

    struct Damage {
        const char* name;
        int32_t kind;
        std::function<void(TransformNode&)> set;
    };
    const Damage damages[] = {
        {"lag without its removed values", TRANSFORM_DIFFERENCE, [](TransformNode& n) { n.lag = 3; n.removed = {1}; }},
        {"lag 0", TRANSFORM_DIFFERENCE, [](TransformNode& n) { n.lag = 0; }},
        {"period without its seasonal values", TRANSFORM_CLASSICAL, [](TransformNode& n) { n.period = 4; n.seasonal = {1, 2}; }},
        {"subsequence head too short", TRANSFORM_SUBSEQUENCE,
         [](TransformNode& n) { n.first = -2; n.last = 8; n.head = {1}; }},
        {"subsequence range inside the current one", TRANSFORM_SUBSEQUENCE, [](TransformNode& n) { n.first = 3; n.last = 5; }},
        {"unknown kind", 64, [](TransformNode&) {}},
    };
    for (const Damage& d : damages) {
        UnivariateProject v;
        Load(v, {1, 2, 3, 4, 5, 6, 7, 8});
        auto* node = new TransformNode;
        node->kind = d.kind;
        d.set(*node);
        v.transforms = node;
        EXPECT_EQ(UndoNewestTransform(v), 0) << d.name;
        EXPECT_EQ(v.transforms, node) << d.name;
        EXPECT_EQ(v.series, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8})) << d.name;
    }
}

TEST(Transforms, UndoingAClassicalTransformClosesTheFitView)
{
    static int destroyed;
    destroyed = 0;
    UnivariateWindows.destroyPlotWindow = [](PlotRecord& view) {
        ++destroyed;
        view.window = nullptr;
        return 1;
    };
    UnivariateProject u;
    Load(u, SmoothSeries(36, 12));
    u.views[VIEW_FIT].window = reinterpret_cast<HWND__*>(uintptr_t{7});
    std::vector<double> fit;
    ASSERT_EQ(ApplyClassicalSeasonal(u, 12, fit, 1), 1);
    ASSERT_EQ(ApplySubtractMean(u), 1);
    ASSERT_EQ(UndoNewestTransform(u), 1);
    EXPECT_EQ(destroyed, 0);
    ASSERT_EQ(UndoNewestTransform(u), 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(u.views[VIEW_FIT].window, nullptr);
    UnivariateWindows = {};
}

// The fit of the newest classical transform, over the data it was applied to, whatever lies on it.
TEST(Transforms, ClassicalFitOfAStackLeavesTheProjectUnchanged)
{
    const std::vector<double> x = SmoothSeries(60, 12);
    const int32_t indices[4] = {5, 10, 0, 0};
    struct Case {
        const char* name;
        std::function<int32_t(UnivariateProject&, std::vector<double>&)> classical;
        std::function<int32_t(UnivariateProject&)> after;
        int32_t firstIndex, lastIndex;
        bool boxCoxFirst;
    };
    const Case cases[] = {
        {"seasonal, then subtract mean",
         [](UnivariateProject& u, std::vector<double>& fit) { return ApplyClassicalSeasonal(u, 12, fit, 1); },
         [](UnivariateProject& u) { return ApplySubtractMean(u); }, 1, 60, false},
        {"trend alone, then subsequence",
         [](UnivariateProject& u, std::vector<double>& fit) { return ApplyClassicalSeasonal(u, -1, fit, 2); },
         [](UnivariateProject& u) { return ApplySubsequence(u, 10, 50); }, 1, 60, false},
        {"harmonics after Box-Cox, then subtract mean",
         [&indices](UnivariateProject& u, std::vector<double>& fit) {
             return ApplyClassicalHarmonic(u, fit, 2, indices, 0);
         },
         [](UnivariateProject& u) { return ApplySubtractMean(u); }, 1, 60, true},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        Load(u, x);
        if (c.boxCoxFirst) {
            ASSERT_EQ(ApplyBoxCox(u, 0.5), 1);
        }
        const std::vector<double> before = u.series;
        std::vector<double> fit;
        ASSERT_EQ(c.classical(u, fit), 1) << c.name;
        ASSERT_EQ(c.after(u), 1) << c.name;
        const std::vector<double> series = u.series;
        const int32_t count = TransformCount(u.transforms);

        ClassicalFit shown;
        ASSERT_EQ(ClassicalFitOfStack(u, shown), 1) << c.name;
        ExpectNear(shown.data, before, 1e-12, c.name);
        ExpectNear(shown.fit, fit, 1e-9, c.name);
        EXPECT_EQ(shown.firstIndex, c.firstIndex) << c.name;
        EXPECT_EQ(shown.lastIndex, c.lastIndex) << c.name;
        EXPECT_EQ(u.series, series) << c.name;
        EXPECT_EQ(TransformCount(u.transforms), count) << c.name;
    }

    UnivariateProject none;
    Load(none, x);
    ASSERT_EQ(ApplyDifference(none, 1), 1);
    ClassicalFit shown;
    EXPECT_EQ(ClassicalFitOfStack(none, shown), 0);
    EXPECT_TRUE(shown.fit.empty());
}

TEST(Transforms, DialogEntryMessages)
{
    struct Lag { int32_t n, h; const char* message; };
    for (const Lag& c : std::vector<Lag>{{10, 1, ""}, {10, 8, ""}, {10, 9, "Lag too large for data set."},
                                         {10, 0, "Lag must be positive"}, {10, -3, "Lag must be positive"},
                                         {2, 1, "Lag too large for data set."}})
        EXPECT_EQ(DifferenceLagMessage(c.n, c.h), c.message) << c.n << " " << c.h;

    struct Lambda { bool zeroAllowed; double lambda; const char* message; };
    const char* closed = "Box-Cox parameter must be in [0.0, 1.5]";
    const char* open = "Box-Cox parameter must be in (0.0, 1.5]";
    for (const Lambda& c : std::vector<Lambda>{{true, 0.0, ""}, {true, 1.5, ""}, {true, 1.51, closed},
                                               {true, -0.01, closed}, {false, 0.0, open}, {false, 5e-8, open},
                                               {false, 0.1, ""}, {false, 1.5, ""}, {false, 2.0, open}})
        EXPECT_EQ(BoxCoxLambdaMessage(c.zeroAllowed, c.lambda), c.message) << c.zeroAllowed << " " << c.lambda;

    EXPECT_EQ(BoxCoxPosition(0.55), 6);
    EXPECT_EQ(BoxCoxPosition(0.0), 0);
    EXPECT_EQ(BoxCoxPosition(1.5), 15);
    EXPECT_EQ(BoxCoxSign({1, 2, 3}), BOXCOX_POSITIVE);
    EXPECT_EQ(BoxCoxSign({1, 0, 3}), BOXCOX_ZEROS);
    EXPECT_EQ(BoxCoxSign({1, -0.0, 3}), BOXCOX_ZEROS);
    EXPECT_EQ(BoxCoxSign({0, -1, 3}), BOXCOX_NEGATIVES);

    EXPECT_EQ(SubsequenceMessage(1, 200), "Select a subsequence in [1,200]");
}

TEST(Transforms, ClassicalEntries)
{
    struct Case {
        const char* name;
        ClassicalEntries entries;
        int32_t n;
        int32_t kind, period, degree, harmonics;
        const char* message;
        int32_t focus;
    };
    const auto seasonal = [](const char* period, bool polynomial = true, bool quadratic = false) {
        ClassicalEntries e;
        e.seasonal = true;
        e.period = period;
        e.polynomial = polynomial;
        e.quadratic = quadratic;
        return e;
    };
    const auto harmonic = [](const char* count, std::vector<const char*> indices) {
        ClassicalEntries e;
        e.harmonic = true;
        e.polynomial = false;
        e.harmonics = count;
        for (size_t i = 0; i < indices.size(); ++i) e.index[i] = indices[i];
        return e;
    };
    const auto trend = [](bool polynomial, bool quadratic) {
        ClassicalEntries e;
        e.polynomial = polynomial;
        e.quadratic = quadratic;
        return e;
    };
    const Case cases[] = {
        {"period 2", seasonal("2"), 100, TRANSFORM_CLASSICAL, 2, 1, 0, "", 0},
        {"period 33", seasonal("33", false), 100, TRANSFORM_CLASSICAL, 33, 0, 0, "", 0},
        {"period 34", seasonal("34"), 100, -1, -1, 1, 0, "Period must be in: (2,33]", IDC_CLASSICAL_PERIOD},
        {"period 1", seasonal("1"), 100, -1, -1, 1, 0, "Period must be in: (2,33]", IDC_CLASSICAL_PERIOD},
        {"period unreadable", seasonal("x"), 100, -1, -1, 1, 0, "Period \"x\" is not a number.", IDC_CLASSICAL_PERIOD},
        {"period 12,5", seasonal("12,5"), 100, -1, -1, 1, 0,
         "Period \"12,5\" has a decimal comma: type a decimal point.", IDC_CLASSICAL_PERIOD},
        {"period 4.5", seasonal("4.5"), 100, -1, -1, 1, 0, "Period \"4.5\" is not a whole number.", IDC_CLASSICAL_PERIOD},
        {"period blank", seasonal(""), 100, -1, -1, 1, 0, "Period is empty: type one number.", IDC_CLASSICAL_PERIOD},
        {"seasonal with a quadratic", seasonal("12", true, true), 100, TRANSFORM_CLASSICAL, 12, 2, 0, "", 0},
        {"one harmonic", harmonic("1", {"49"}), 100, TRANSFORM_HARMONIC, -1, 0, 1, "", 0},
        {"index 50 at n = 100", harmonic("2", {"1", "50"}), 100, -1, -1, 0, 0, "Index(2) must be in (1, 50)",
         IDC_CLASSICAL_INDEX_1},
        {"index unreadable", harmonic("1", {"a"}), 100, -1, -1, 0, 0, "Index(1) \"a\" is not a number.",
         IDC_CLASSICAL_INDEX_1},
        {"five harmonics stop at the count", harmonic("5", {"1", "2", "3", "4"}), 100, -1, -1, 0, 0,
         "Number of harmonics must be in [1, 4]", IDC_CLASSICAL_HARMONICS},
        {"zero harmonics", harmonic("0", {}), 100, -1, -1, 0, 0, "Number of harmonics must be in [1, 4]",
         IDC_CLASSICAL_HARMONICS},
        {"four harmonics", harmonic("4", {"1", "2", "3", "4"}), 100, TRANSFORM_HARMONIC, -1, 0, 4, "", 0},
        {"quadratic trend alone", trend(true, true), 100, TRANSFORM_CLASSICAL, -1, 2, 0, "", 0},
        {"nothing checked", trend(false, false), 100, 0, -1, 0, 0, "", 0},
        {"linear trend of one value", trend(true, false), 1, -1, -1, 1, 0, "The series is too short for a linear trend",
         IDC_CLASSICAL_POLYNOMIAL},
        {"quadratic trend of two values", trend(true, true), 2, -1, -1, 2, 0,
         "The series is too short for a quadratic trend", IDC_CLASSICAL_POLYNOMIAL},
        {"linear trend of two values", trend(true, false), 2, TRANSFORM_CLASSICAL, -1, 1, 0, "", 0},
    };
    for (const Case& c : cases) {
        const ClassicalChoice choice = CheckClassicalEntries(c.entries, c.n);
        EXPECT_EQ(choice.kind, c.kind) << c.name;
        EXPECT_EQ(choice.message, c.message) << c.name;
        EXPECT_EQ(choice.focusControl, c.focus) << c.name;
        if (c.kind > 0) {
            EXPECT_EQ(choice.period, c.period) << c.name;
            EXPECT_EQ(choice.degree, c.degree) << c.name;
            EXPECT_EQ(choice.harmonics, c.harmonics) << c.name;
        }
    }
    const ClassicalChoice four = CheckClassicalEntries(harmonic("2", {"3", "7", "9", "x"}), 100);
    EXPECT_EQ(four.fourierIndex[0], 3);
    EXPECT_EQ(four.fourierIndex[1], 7);
}

// The typed entries of the Box-Cox and difference dialogs: a number in range is taken, another
// number gets the range's message, and text that is no number its reason.
TEST(Transforms, TypedEntriesSayWhyTheyAreRefused)
{
    struct Lag {
        const char* text;
        std::string message;
        int32_t h;  // -7: left as it was
    } const lags[] = {
        {"12", "", 12},
        {" 1 ", "", 1},
        {"0", "Lag must be positive", -7},
        {"99", "Lag too large for data set.", -7},
        {"1,5", "Lag \"1,5\" has a decimal comma: type a decimal point.", -7},
        {"1.5", "Lag \"1.5\" is not a whole number.", -7},
        {"1 2", "Lag \"1 2\" holds more than one number: type one number.", -7},
        {"99999999999", "Lag \"99999999999\" is too large.", -7},
    };
    for (const Lag& c : lags) {
        int32_t h = -7;
        EXPECT_EQ(ReadDifferenceLag(100, c.text, h), c.message) << c.text;
        EXPECT_EQ(h, c.h) << c.text;
    }
    struct Lambda {
        bool zeroAllowed;
        const char* text;
        std::string message;
        double lambda;  // -7: left as it was
    } const lambdas[] = {
        {true, "0.5", "", 0.5},
        {true, "0", "", 0.0},
        {false, "0", "Box-Cox parameter must be in (0.0, 1.5]", -7},
        {true, "1.6", "Box-Cox parameter must be in [0.0, 1.5]", -7},
        {true, "0,5", "Box-Cox parameter \"0,5\" has a decimal comma: type a decimal point.", -7},
        {true, "1/2", "Box-Cox parameter \"1/2\" is a date or a fraction, not a number.", -7},
        {true, "NaN", "Box-Cox parameter \"NaN\" is not a finite number.", -7},
        {true, "  ", "", -7},  // nothing typed: nothing applied
    };
    for (const Lambda& c : lambdas) {
        double lambda = -7;
        EXPECT_EQ(ReadBoxCoxEntry(c.zeroAllowed, c.text, lambda), c.message) << c.text;
        EXPECT_EQ(lambda, c.lambda) << c.text;
    }
}
