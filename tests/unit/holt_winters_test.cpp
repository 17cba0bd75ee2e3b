#include "numerics/holt_winters.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The table's constants in our parameter order: (alpha, beta) or (alpha, gamma, beta).
std::vector<double> Constants(const ReferenceTable& t, size_t row, bool seasonal)
{
    if (seasonal) return {t.Number(row, "alpha"), t.Number(row, "gamma"), t.Number(row, "beta")};
    return {t.Number(row, "alpha"), t.Number(row, "beta")};
}

// Number of one-step errors in the mean squared error.
int ErrorCount(int n, int d) { return d == 0 ? n - 2 : n - d - 1; }

double Relative(double a, double b) { return std::fabs(a - b) / std::max(1.0, std::fabs(b)); }

}  // namespace

// Fixed constants against R HoltWinters: level-and-trend from R's own start (level x2, slope
// x2 - x1, errors from t = 3); seasonal with R given our start values (see the script).
TEST(HoltWinters, FixedConstantsMatchR)
{
    const ReferenceTable t = ReadReferenceTable("holt_winters_reference.csv");
    ASSERT_EQ(t.rows.size(), 15u);
    int checked = 0;
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string kind = t.Text(row, "kind");
        if (kind != "plain" && kind != "seasonal") continue;
        const bool seasonal = kind == "seasonal";
        const std::string name = t.Text(row, "series");
        const std::vector<double> Y = ReferenceSeries(name, "holt_winters_series.csv");
        const int n = static_cast<int>(Y.size()), d = t.Integer(row, "d");
        const std::vector<double> refF = t.List(row, "forecasts");
        const int h = static_cast<int>(refF.size());
        const int mode = seasonal ? kHoltWintersSeasonal : kHoltWintersPlain;
        std::vector<double> c = Constants(t, row, seasonal), F(h);
        const std::vector<double> given = c;
        double mse = -1.0;
        ASSERT_EQ(HoltWintersForecast(mode, n, d, h, Y.data(), false, c.data(), mse, F.data()),
                  kStatusDone);
        EXPECT_EQ(c, given);
        EXPECT_LT(Relative(mse * ErrorCount(n, d), t.Number(row, "sse")), 1e-11)
            << name << " " << row;
        for (int k = 0; k < h; ++k)
            EXPECT_LT(Relative(F[k], refF[k]), 1e-11) << name << " " << row << " " << k;

        // The recursion alone leaves R's final level and trend.
        std::vector<double> L(n), T(n), S(n), P(n);
        if (seasonal) {
            L[d] = Y[d];
            T[d] = (Y[d] - Y[0]) / d;
            for (int i = 0; i < d; ++i) S[i] = Y[i] - Y[0] - i * T[d];
            S[d] = S[0];
        } else {
            L[1] = Y[1];
            T[1] = Y[1] - Y[0];
        }
        const double f = HoltWintersRecursion(c.data(), mode, n, d, Y.data(), L.data(),
                                              T.data(), S.data(), P.data());
        EXPECT_EQ(f, mse);
        EXPECT_LT(Relative(L[n - 1], t.Number(row, "level")), 1e-11) << name << " " << row;
        EXPECT_LT(Relative(T[n - 1], t.Number(row, "trend")), 1e-9) << name << " " << row;
        ++checked;
    }
    EXPECT_EQ(checked, 9);
}

// The pattern search from the default start (0.2 each) ends no worse than R's optimiser at
// R's constants, with the same start values, give or take 1%: the search ends on steps of
// 0.01, R's L-BFGS-B is continuous. The constants stay in [0, 1].
TEST(HoltWinters, OptimisedConstantsNoWorseThanR)
{
    const ReferenceTable t = ReadReferenceTable("holt_winters_reference.csv");
    int checked = 0;
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string kind = t.Text(row, "kind");
        if (kind != "plain_optimised" && kind != "seasonal_optimised") continue;
        const bool seasonal = kind == "seasonal_optimised";
        const std::string name = t.Text(row, "series");
        const std::vector<double> Y = ReferenceSeries(name, "holt_winters_series.csv");
        const int n = static_cast<int>(Y.size()), d = t.Integer(row, "d");
        const int mode = seasonal ? kHoltWintersSeasonal : kHoltWintersPlain;
        std::vector<double> c(mode, 0.2), F(3);
        double mse = 0.0;
        ASSERT_EQ(HoltWintersForecast(mode, n, d, 3, Y.data(), true, c.data(), mse, F.data()),
                  kStatusDone);
        const double rSse = t.Number(row, "sse");
        EXPECT_LE(mse * ErrorCount(n, d), rSse * 1.01) << name;
        for (double v : c) {
            EXPECT_GE(v, -1e-6) << name;
            EXPECT_LE(v, 1.0 + 1e-6) << name;
        }
        // Our recursion at R's constants gives R's SSE: the comparison is like for like.
        std::vector<double> rc = Constants(t, row, seasonal);
        double rMse = 0.0;
        ASSERT_EQ(HoltWintersForecast(mode, n, d, 3, Y.data(), false, rc.data(), rMse, F.data()),
                  kStatusDone);
        EXPECT_LT(Relative(rMse * ErrorCount(n, d), rSse), 1e-11) << name;
        ++checked;
    }
    EXPECT_EQ(checked, 6);
}

// The pattern search reaches the constants and error that the same Hooke-Jeeves search (start
// step 0.02, halved until it would fall below 0.008) reaches when run in R, from several starts on
// R datasets and a simulated trend (scripts/reference/holt_winters_search.R); some starts are
// chosen so that a search leaving out the reflection of the pattern move, or a return to the
// base, would end elsewhere. The constants lie on a grid of 0.01.
TEST(HoltWinters, SearchReachesTheHookeJeevesOptimum)
{
    const ReferenceTable t = ReadReferenceTable("holt_winters_search_reference.csv");
    ASSERT_EQ(t.rows.size(), 12u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::string name = t.Text(row, "series");
        SCOPED_TRACE(name + " from " + t.Text(row, "start"));
        const std::vector<double> Y = ReferenceSeries(name, "holt_winters_series.csv");
        const int n = static_cast<int>(Y.size()), d = t.Integer(row, "d");
        const int mode = d == 0 ? kHoltWintersPlain : kHoltWintersSeasonal;
        std::vector<double> c = t.List(row, "start"), F(3);
        const std::vector<double> want = t.List(row, "constants");
        ASSERT_EQ(c.size(), static_cast<size_t>(mode));
        double mse = 0.0;
        ASSERT_EQ(HoltWintersForecast(mode, n, d, 3, Y.data(), true, c.data(), mse, F.data()), kStatusDone);
        for (int i = 0; i < mode; ++i) EXPECT_NEAR(c[i], want[i], 1e-9) << i;
        EXPECT_LT(Relative(mse, t.Number(row, "mse")), 1e-10);
    }
}

// Series that every constant predicts exactly: no exploration finds a strict improvement, so
// the start comes back unchanged, and the forecasts continue the series, the seasonal ones
// repeating the pattern beyond one period.
TEST(HoltWinters, ExactSeriesKeepStartAndContinue)
{
    const double pattern[4] = {2.0, -1.0, 0.5, -3.0};
    auto seasonalValue = [&](int t) { return 10.0 + 0.5 * t + pattern[(t - 1) % 4]; };
    std::vector<double> Y;
    for (int t = 1; t <= 20; ++t) Y.push_back(seasonalValue(t));
    std::vector<double> c{0.37, 0.61, 0.05}, F(9);
    double mse = -1.0;
    ASSERT_EQ(HoltWintersForecast(kHoltWintersSeasonal, 20, 4, 9, Y.data(), true, c.data(), mse,
                                  F.data()),
              kStatusDone);
    EXPECT_EQ(c, (std::vector<double>{0.37, 0.61, 0.05}));
    EXPECT_NEAR(mse, 0.0, 1e-24);
    for (int k = 1; k <= 9; ++k) EXPECT_NEAR(F[k - 1], seasonalValue(20 + k), 1e-12) << k;

    std::vector<double> line;
    for (int t = 1; t <= 15; ++t) line.push_back(2.0 + 3.0 * t);
    std::vector<double> c2{1.0, 0.0}, F2(4);
    ASSERT_EQ(HoltWintersForecast(kHoltWintersPlain, 15, 0, 4, line.data(), true, c2.data(), mse,
                                  F2.data()),
              kStatusDone);
    EXPECT_EQ(c2, (std::vector<double>{1.0, 0.0}));
    EXPECT_EQ(mse, 0.0);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(F2[k - 1], 2.0 + 3.0 * (15 + k));
}

// The shortest stretches that have a one-step error to measure, 3 values and one season plus two,
// forecast from the state after that one step; one value fewer is refused and writes nothing
// (its error would read 0 and leave the constants where the search started).
TEST(HoltWinters, ShortestStretches)
{
    // L(2) = 5.5, T(2) = 1.5, P(3) = 7; L(3) = 0.3·8 + 0.7·7 = 7.3, T(3) = 0.6·1.5 + 0.4·1.8 = 1.62.
    const double three[3] = {4.0, 5.5, 8.0};
    std::vector<double> c{0.3, 0.4}, F(3, -1.0);
    double mse = -1.0;
    ASSERT_EQ(HoltWintersForecast(kHoltWintersPlain, 3, 0, 3, three, false, c.data(), mse, F.data()),
              kStatusDone);
    EXPECT_NEAR(mse, 1.0, 1e-14);
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(F[k - 1], 7.3 + 1.62 * k, 1e-13) << k;

    // n = d + 2 = 5: level 9, slope (9 - 3)/3 = 2, components S(1..3) = 0, 5 - 3 - 2, 1 - 3 - 4,
    // so P(5) = 9 + 2 + S(2) = 11 against Y(5) = 12.
    const double five[5] = {3.0, 5.0, 1.0, 9.0, 12.0};
    std::vector<double> s{0.5, 0.5, 0.5}, G(4, -1.0);
    ASSERT_EQ(HoltWintersForecast(kHoltWintersSeasonal, 5, 3, 4, five, false, s.data(), mse, G.data()),
              kStatusDone);
    EXPECT_EQ(mse, 1.0);

    struct Short {
        const char* name;
        int mode, n, d;
        bool optimise;
    };
    const Short refused[] = {
        {"two values", kHoltWintersPlain, 2, 0, false},
        {"two values, searched", kHoltWintersPlain, 2, 0, true},
        {"one season plus one value", kHoltWintersSeasonal, 4, 3, false},
        {"one season plus one value, searched", kHoltWintersSeasonal, 13, 12, true},
    };
    const std::vector<double> Y = ReferenceSeries("LakeHuron", "holt_winters_series.csv");
    for (const Short& r : refused) {
        SCOPED_TRACE(r.name);
        std::vector<double> k{0.2, 0.2, 0.2}, H(3, -1.0);
        mse = -1.0;
        EXPECT_EQ(HoltWintersForecast(r.mode, r.n, r.d, 3, Y.data(), r.optimise, k.data(), mse, H.data()),
                  kStatusBadArgument);
        EXPECT_EQ(mse, -1.0);
        EXPECT_EQ(H, std::vector<double>(3, -1.0));
        EXPECT_EQ(k, std::vector<double>(3, 0.2));
    }
}

TEST(HoltWinters, RangeOfConstantsAndArguments)
{
    const std::vector<double> Y = ReferenceSeries("LakeHuron", "holt_winters_series.csv");
    const int n = static_cast<int>(Y.size());
    std::vector<double> L(n), T(n), S(n), P(n);
    struct Case {
        double alpha, beta;
        bool outside;
    };
    const Case cases[] = {
        {0.0, 1.0, false},         {-5e-7, 0.5, false},   {0.5, 1.0 + 5e-7, false},
        {-2e-6, 0.5, true},        {0.5, 1.0 + 2e-6, true}, {1.5, 0.5, true},
    };
    for (const Case& c : cases) {
        L[1] = Y[1];
        T[1] = Y[1] - Y[0];
        const double constants[2] = {c.alpha, c.beta};
        const double f = HoltWintersRecursion(constants, kHoltWintersPlain, n, 0, Y.data(),
                                              L.data(), T.data(), S.data(), P.data());
        EXPECT_EQ(f == kHoltWintersOutside, c.outside) << c.alpha << " " << c.beta;
    }

    std::vector<double> c{0.2, 0.2, 0.2}, F(2, -1.0);
    double mse = -1.0;
    EXPECT_EQ(HoltWintersForecast(1, n, 0, 2, Y.data(), false, c.data(), mse, F.data()),
              kStatusBadArgument);
    EXPECT_EQ(HoltWintersForecast(kHoltWintersPlain, 1, 0, 2, Y.data(), false, c.data(), mse,
                                  F.data()),
              kStatusBadArgument);
    EXPECT_EQ(HoltWintersForecast(kHoltWintersSeasonal, n, 1, 2, Y.data(), false, c.data(), mse,
                                  F.data()),
              kStatusBadArgument);
    // A seasonal stretch needs Y(d+1) for its initial state.
    EXPECT_EQ(HoltWintersForecast(kHoltWintersSeasonal, 12, 12, 2, Y.data(), false, c.data(),
                                  mse, F.data()),
              kStatusBadArgument);
    std::vector<double> outside{0.2, 1.5};
    EXPECT_EQ(HoltWintersForecast(kHoltWintersPlain, n, 0, 2, Y.data(), false, outside.data(),
                                  mse, F.data()),
              kStatusBadArgument);
    EXPECT_EQ(mse, -1.0);
    EXPECT_EQ(F, (std::vector<double>{-1.0, -1.0}));
}
