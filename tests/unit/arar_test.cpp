#include "numerics/arar.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"
#include "tests/unit/test_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<double> Trend(int n)
{
    std::vector<double> x(n);
    for (int t = 0; t < n; ++t) x[t] = t + 1.0;
    return x;
}

std::vector<double> Ar1(int n, double phi, uint64_t seed)
{
    std::vector<double> x = WhiteNoise(n, seed);
    for (int t = 1; t < n; ++t) x[t] += phi * x[t - 1];
    return x;
}

// A seasonal AR(1) at lag 4 with coefficient 0.97: b(4) stays above 0.93 while Err(4), near
// 1 - 0.97^2, stays above 8/m.
std::vector<double> SeasonalAr4(int n, uint64_t seed)
{
    std::vector<double> x = WhiteNoise(n, seed);
    for (int t = 4; t < n; ++t) x[t] += 0.97 * x[t - 4];
    return x;
}

// A seasonal random walk integrated three times at lag 15.
std::vector<double> SeasonalIntegrated(int n, uint64_t seed)
{
    std::vector<double> x = WhiteNoise(n, seed);
    for (int r = 0; r < 3; ++r)
        for (int t = 15; t < n; ++t) x[t] += x[t - 15];
    return x;
}

// Err and b of the lag-tau regression y(t+tau) = b·y(t), as the shortening rule defines them.
void LagRegression(const std::vector<double>& y, int tau, double& b, double& err)
{
    double cross = 0.0, lower = 0.0, upper = 0.0;
    for (size_t t = 0; t + tau < y.size(); ++t) {
        cross += y[t] * y[t + tau];
        lower += y[t] * y[t];
        upper += y[t + tau] * y[t + tau];
    }
    b = cross / lower;
    err = 0.0;
    for (size_t t = 0; t + tau < y.size(); ++t)
        err += (y[t + tau] - b * y[t]) * (y[t + tau] - b * y[t]);
    err /= upper;
}

std::vector<double> Convolve(const std::vector<double>& u, const std::vector<double>& v)
{
    std::vector<double> w(u.size() + v.size() - 1, 0.0);
    for (size_t i = 0; i < u.size(); ++i)
        for (size_t j = 0; j < v.size(); ++j) w[i + j] += u[i] * v[j];
    return w;
}

// Lags at which psi is nonzero.
std::vector<int> Support(const std::vector<double>& psi)
{
    std::vector<int> lags;
    for (size_t k = 0; k < psi.size(); ++k)
        if (psi[k] != 0.0) lags.push_back(static_cast<int>(k));
    return lags;
}

}  // namespace

// Which filter each kind of memory gets, and how many filters the length allows.
TEST(ArarMemoryShortening, DecisionTable)
{
    struct Case {
        const char* what;
        std::vector<double> y;
        std::vector<int> support;
    };
    const Case cases[] = {
        {"white noise: short memory, no filter", WhiteNoise(100, 1), {0}},
        {"exact period 12: Err(12) <= 8/m", PeriodicSeries(12, 60, 0.01, 2), {0, 12}},
        {"b(4) >= 0.93 with Err(4) > 8/m", SeasonalAr4(300, 3), {0, 4}},
        {"trend, n = 32: one filter", Trend(32), {0, 1}},
        {"trend, n = 40: two filters", Trend(40), {0, 1, 2}},
        {"trend, n = 60: three filters", Trend(60), {0, 1, 2, 3}},
        {"AR(1) 0.97: b(1) >= 0.93, Err(1) > 8/m", Ar1(300, 0.97, 4), {0, 1, 2}},
        {"three lag-15 integrations", SeasonalIntegrated(240, 5), {0, 15, 30, 45}},
    };
    for (const Case& c : cases) {
        std::vector<double> psi;
        ASSERT_EQ(ArarMemoryShortening(c.y.data(), static_cast<int>(c.y.size()), psi),
                  kStatusDone)
            << c.what;
        EXPECT_EQ(Support(psi), c.support) << c.what;
        EXPECT_EQ(psi[0], 1.0) << c.what;
    }

    // The fixture of the b-rule case really misses the Err rule.
    const std::vector<double> four = SeasonalAr4(300, 3);
    std::vector<double> psi4;
    ASSERT_EQ(ArarMemoryShortening(four.data(), 300, psi4), kStatusDone);
    double b = 0.0, err = 0.0;
    LagRegression(four, 4, b, err);
    EXPECT_EQ(psi4, (std::vector<double>{1.0, 0.0, 0.0, 0.0, -b}));
    EXPECT_GE(b, 0.93);
    EXPECT_GT(err, 8.0 / 300);

    // The AR(1) case takes the least-squares AR(2) filter, not two lag-1 filters.
    const std::vector<double> ar = Ar1(300, 0.97, 4);
    std::vector<double> psi;
    ASSERT_EQ(ArarMemoryShortening(ar.data(), 300, psi), kStatusDone);
    double a1 = 0.0, a2 = 0.0;
    ASSERT_EQ(ArarTwoLagFit(ar.data(), 300, a1, a2), kStatusDone);
    EXPECT_EQ(psi, (std::vector<double>{1.0, -a1, -a2}));

    // The single filter of the periodic case is 1 - b(12)·B^12.
    const std::vector<double> p12 = PeriodicSeries(12, 60, 0.01, 2);
    ASSERT_EQ(ArarMemoryShortening(p12.data(), 60, psi), kStatusDone);
    LagRegression(p12, 12, b, err);
    ASSERT_EQ(psi.size(), 13u);
    EXPECT_EQ(psi[12], -b);
}

TEST(ArarMemoryShortening, RefusesDegenerateSeries)
{
    const std::vector<double> constant(40, 3.5), zeros(40, 0.0), shortSeries = WhiteNoise(29, 6);
    std::vector<double> psi{7.0};
    // A constant series is filtered to zeros by its first lag-1 filter.
    EXPECT_EQ(ArarMemoryShortening(constant.data(), 40, psi), kStatusDegenerate);
    EXPECT_EQ(ArarMemoryShortening(zeros.data(), 40, psi), kStatusDegenerate);
    EXPECT_EQ(ArarMemoryShortening(shortSeries.data(), 29, psi), kStatusBadArgument);
    EXPECT_EQ(psi, std::vector<double>{7.0});

    // A geometric sequence makes the AR(2) normal equations singular.
    std::vector<double> geometric(10);
    for (int t = 0; t < 10; ++t) geometric[t] = std::pow(0.5, t);
    double a1 = 9.0, a2 = 9.0;
    EXPECT_EQ(ArarTwoLagFit(geometric.data(), 10, a1, a2), kStatusDegenerate);
    EXPECT_EQ(a1, 9.0);
    // An exact AR(2) recursion is recovered.
    std::vector<double> ar2{1.0, 0.5};
    for (int t = 2; t < 30; ++t) ar2.push_back(1.2 * ar2[t - 1] - 0.5 * ar2[t - 2]);
    ASSERT_EQ(ArarTwoLagFit(ar2.data(), 30, a1, a2), kStatusDone);
    EXPECT_NEAR(a1, 1.2, 1e-12);
    EXPECT_NEAR(a2, -0.5, 1e-12);
}

TEST(ArarMatrixInverse, InvertsAndReportsZeroPivot)
{
    const double A[9] = {4.0, 1.0, 2.0, 1.0, 3.0, 0.5, 2.0, 0.5, 5.0};
    double Ainv[9];
    std::copy(A, A + 9, Ainv);
    ASSERT_EQ(ArarMatrixInverse(3, Ainv, 3), kStatusDone);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double v = 0.0;
            for (int k = 0; k < 3; ++k) v += A[i + 3 * k] * Ainv[k + 3 * j];
            EXPECT_NEAR(v, i == j ? 1.0 : 0.0, 1e-14);
        }
    // Leading dimension larger than the order: the rest of the storage is not touched.
    double B[6] = {2.0, 1.0, -1.0, 1.0, 1.0, -1.0};
    ASSERT_EQ(ArarMatrixInverse(2, B, 3), kStatusDone);
    EXPECT_NEAR(B[0], 1.0, 1e-15);
    EXPECT_NEAR(B[1], -1.0, 1e-15);
    EXPECT_NEAR(B[3], -1.0, 1e-15);
    EXPECT_NEAR(B[4], 2.0, 1e-15);
    EXPECT_EQ(B[2], -1.0);
    EXPECT_EQ(B[5], -1.0);
    // No pivoting: a zero leading element fails even for an invertible matrix.
    double C[4] = {0.0, 1.0, 1.0, 0.0};
    EXPECT_EQ(ArarMatrixInverse(2, C, 2), kStatusInversionFailed);
    double ones[4] = {1.0, 1.0, 1.0, 1.0};
    EXPECT_EQ(ArarMatrixInverse(2, ones, 2), kStatusInversionFailed);
}

// Autocorrelations by lag for the lag-search fixtures.
struct RhoCase {
    const char* what;
    std::vector<double> rho;  // lags 0..13
    int expected[4];
};

TEST(ArarLagSearch, FirstBestTripleAndSingularSystems)
{
    std::vector<double> white(14, 0.0), five(14, 0.0), clumped(14, 0.0);
    white[0] = five[0] = clumped[0] = 1.0;
    five[5] = 0.5;
    // Lags 1..3 fully correlated: every triple with all gaps below 4 is singular, (2, 3, 4)
    // first of all.
    for (int k = 1; k <= 3; ++k) clumped[k] = 1.0;
    const RhoCase cases[] = {
        {"white noise: all tie, (2, 3, 4) kept", white, {1, 2, 3, 4}},
        // Lags 5 and 10 together do best; (2, 5, 10), (3, 5, 10), (4, 5, 10) tie exactly.
        {"only rho(5): first of the tied triples", five, {1, 2, 5, 10}},
        {"(2, 3, 4) singular", clumped, {0, 0, 0, 0}},
    };
    for (const RhoCase& c : cases) {
        int lags[4] = {};
        double a[4] = {};
        ASSERT_EQ(ArarLagSearch(c.rho.data(), 2.0, 13, 1, nullptr, 0, lags, a), kStatusDone)
            << c.what;
        if (c.expected[0] != 0) {
            EXPECT_EQ(std::vector<int>(lags, lags + 4),
                      std::vector<int>(c.expected, c.expected + 4))
                << c.what;
        }
        // Brute force: the winner is the first triple in visiting order with the least value,
        // among the triples whose system could be solved.
        bool seen = false;
        double least = 0.0;
        int first[3] = {};
        for (int l1 = 2; l1 <= 11; ++l1)
            for (int l2 = l1 + 1; l2 <= 12; ++l2)
                for (int l3 = l2 + 1; l3 <= 13; ++l3) {
                    double b[4];
                    if (ArarSubsetYuleWalker(c.rho.data(), l1, l2, l3, b) != kStatusDone) {
                        EXPECT_FALSE(l1 == lags[1] && l2 == lags[2] && l3 == lags[3]) << c.what;
                        continue;
                    }
                    const double v = 2.0 * (1.0 - b[0] * c.rho[1] - b[1] * c.rho[l1]
                                            - b[2] * c.rho[l2] - b[3] * c.rho[l3]);
                    if (!seen || v < least) {
                        seen = true;
                        least = v;
                        first[0] = l1;
                        first[1] = l2;
                        first[2] = l3;
                    }
                }
        EXPECT_EQ(std::vector<int>(lags + 1, lags + 4), std::vector<int>(first, first + 3))
            << c.what;
        // The coefficients solve the winner's system R·a = r.
        const int lambda[4] = {lags[0], lags[1], lags[2], lags[3]};
        for (int i = 0; i < 4; ++i) {
            double v = 0.0;
            for (int j = 0; j < 4; ++j) v += c.rho[std::abs(lambda[i] - lambda[j])] * a[j];
            EXPECT_NEAR(v, c.rho[lambda[i]], 1e-12) << c.what;
        }
    }
    // Every system singular: no triple, no coefficients.
    std::vector<double> ones(14, 1.0);
    int lags[4] = {-1, -1, -1, -1};
    double a[4] = {};
    EXPECT_EQ(ArarLagSearch(ones.data(), 1.0, 13, 1, nullptr, 0, lags, a),
              kStatusInversionFailed);
    EXPECT_EQ(lags[0], -1);
    EXPECT_EQ(ArarLagSearch(white.data(), 1.0, 3, 1, nullptr, 0, lags, a), kStatusBadArgument);
}

// AR(1) and AR(2) by hand: gamma*(0) = 1/(1 - phi^2) for AR(1); for AR(2)
// gamma*(0) = (1 - phi2)/((1 + phi2)((1 - phi2)^2 - phi1^2)), rho(1) = phi1/(1 - phi2).
TEST(ArarSubsetLikelihood, MatchesHandComputedValues)
{
    const std::vector<double> s = WhiteNoise(50, 7);
    const int m = 50;
    {
        const double phi[1] = {0.5};
        double Q = 0.0;
        for (int t = 1; t < m; ++t) Q += (s[t] - 0.5 * s[t - 1]) * (s[t] - 0.5 * s[t - 1]);
        double ell = 0.0, sigma2 = 0.0;
        ASSERT_EQ(ArarSubsetLikelihood(phi, 1, s.data(), m, ell, sigma2), kStatusDone);
        EXPECT_NEAR(sigma2, Q / m, 1e-14);
        EXPECT_NEAR(ell, std::log(Q / m) + std::log(1.0 / 0.75) / m, 1e-13);
    }
    {
        const double phi1 = 0.5, phi2 = 0.3, phi[2] = {phi1, phi2};
        const double g0 = (1 - phi2) / ((1 + phi2) * ((1 - phi2) * (1 - phi2) - phi1 * phi1));
        const double g1 = phi1 / (1 - phi2) * g0;
        const double r2 = g0 - g1 * g1 / g0;
        double Q = (s[1] - g1 / g0 * s[0]) * (s[1] - g1 / g0 * s[0]) / r2;
        for (int t = 2; t < m; ++t) {
            const double e = s[t] - phi1 * s[t - 1] - phi2 * s[t - 2];
            Q += e * e;
        }
        double ell = 0.0, sigma2 = 0.0;
        ASSERT_EQ(ArarSubsetLikelihood(phi, 2, s.data(), m, ell, sigma2), kStatusDone);
        EXPECT_NEAR(sigma2, Q / m, 1e-13);
        EXPECT_NEAR(ell, std::log(Q / m) + (std::log(g0) + std::log(r2)) / m, 1e-13);
    }
    // A unit root makes the autocovariance system singular.
    const double unit[1] = {1.0};
    double ell = 0.0, sigma2 = 0.0;
    EXPECT_EQ(ArarSubsetLikelihood(unit, 1, s.data(), m, ell, sigma2), kStatusInversionFailed);
    EXPECT_EQ(ArarSubsetLikelihood(unit, 27, s.data(), m, ell, sigma2), kStatusBadArgument);
}

// With no shortening the forecasts are those of the subset AR model about the mean.
TEST(ArarSubsetFit, WithoutShorteningForecastsAreSubsetArForecasts)
{
    const std::vector<double> y = Ar1(120, 0.6, 8);
    const int n = 120, h = 20;
    for (int criterion = 1; criterion <= 3; ++criterion) {
        ArarFitResult fit;
        ASSERT_EQ(ArarSubsetFit(y.data(), n, {1.0}, criterion, fit), kStatusDone);
        EXPECT_EQ(fit.maxLag, criterion == 2 ? 26 : 13);
        ASSERT_EQ(fit.xi.size(), static_cast<size_t>(fit.maxLag + 1));
        double mean = 0.0;
        for (double v : y) mean += v;
        mean /= n;
        EXPECT_NEAR(fit.mean, mean, 1e-14);

        std::vector<double> F(h);
        ASSERT_EQ(ArarForecast(y.data(), n, fit, h, F.data()), kStatusDone);
        std::vector<double> z = y;
        for (int k = 0; k < h; ++k) {
            double v = mean;
            for (int i = 0; i < 4; ++i) v += fit.coef[i] * (z[z.size() - fit.lags[i]] - mean);
            z.push_back(v);
            EXPECT_NEAR(F[k], v, 1e-12) << criterion << " " << k;
        }
        // The one-step fit is the same recursion on the data.
        double sse = 0.0;
        const int K = fit.lags[3];
        for (int t = K; t < n; ++t) {
            double v = mean;
            for (int i = 0; i < 4; ++i) v += fit.coef[i] * (y[t - fit.lags[i]] - mean);
            sse += (y[t] - v) * (y[t] - v);
        }
        EXPECT_NEAR(fit.rootMse, std::sqrt(sse / (n - K)), 1e-12) << criterion;
    }
}

// The whitening filter is psi(B)·phi(B) over every lag 0..L+D, even where L + D passes 51.
TEST(ArarSubsetFit, WhiteningFilterIsProductOfPolynomials)
{
    const std::vector<double> y = SeasonalIntegrated(240, 5);
    std::vector<double> psi;
    ASSERT_EQ(ArarMemoryShortening(y.data(), 240, psi), kStatusDone);
    ASSERT_EQ(psi.size(), 46u);
    for (int criterion = 1; criterion <= 2; ++criterion) {
        ArarFitResult fit;
        ASSERT_EQ(ArarSubsetFit(y.data(), 240, psi, criterion, fit), kStatusDone);
        std::vector<double> phi(fit.maxLag + 1, 0.0);
        phi[0] = 1.0;
        for (int i = 0; i < 4; ++i) phi[fit.lags[i]] = -fit.coef[i];
        const std::vector<double> product = Convolve(psi, phi);
        ASSERT_EQ(fit.xi.size(), static_cast<size_t>(fit.maxLag + 45 + 1));
        for (size_t k = 0; k < product.size(); ++k) EXPECT_NEAR(fit.xi[k], product[k], 1e-12);
        EXPECT_EQ(fit.psi, psi);
    }
}

TEST(ArarSubsetFit, RefusesWhatItCannotFit)
{
    // n = 30 after a lag-13 filter leaves L = 30 - 26 - 1 = 3.
    const std::vector<double> p13 = PeriodicSeries(13, 30, 0.01, 9);
    std::vector<double> psi;
    ASSERT_EQ(ArarMemoryShortening(p13.data(), 30, psi), kStatusDone);
    ASSERT_EQ(psi.size(), 14u);
    ArarFitResult fit;
    fit.maxLag = -5;
    EXPECT_EQ(ArarSubsetFit(p13.data(), 30, psi, 1, fit), kArarTooFewLags);
    EXPECT_EQ(fit.maxLag, -5);

    const std::vector<double> constant(40, 2.0), y = WhiteNoise(40, 10);
    EXPECT_EQ(ArarSubsetFit(constant.data(), 40, {1.0}, 1, fit), kStatusDegenerate);
    EXPECT_EQ(ArarSubsetFit(y.data(), 40, {1.0}, 4, fit), kStatusBadArgument);
    EXPECT_EQ(ArarSubsetFit(y.data(), 40, {}, 1, fit), kStatusBadArgument);
    EXPECT_EQ(fit.maxLag, -5);
}

namespace {

// One named quantity of the USAccDeaths reference table (scripts/reference/arar_usaccdeaths.R).
std::vector<double> Reference(const ReferenceTable& table, const std::string& quantity)
{
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (table.Text(r, "quantity") == quantity) return table.List(r, "values");
    ADD_FAILURE() << "no " << quantity << " in the reference table";
    return {};
}

void ExpectNearRelative(const std::vector<double>& got, const std::vector<double>& want,
                        double tolerance, const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tolerance * std::max(1.0, std::fabs(want[i])))
            << what << " [" << i << "]";
}

}  // namespace

// Each pass reports the best lag's regression on the series it saw and what was done with it.
TEST(ArarMemoryShortening, PassesTellEachDecision)
{
    struct Case {
        const char* what;
        std::vector<double> y;
        std::vector<ArarPassAction> actions;
    };
    const Case cases[] = {
        {"white noise: one pass that stops", WhiteNoise(100, 1), {ArarPassAction::Stop}},
        {"trend, n = 32: the one filter allowed, no further pass", Trend(32),
         {ArarPassAction::LagFilter}},
        {"AR(1) 0.97: the AR(2) filter, then short memory", Ar1(300, 0.97, 4),
         {ArarPassAction::TwoLagFilter, ArarPassAction::Stop}},
        {"three lag-15 integrations", SeasonalIntegrated(240, 5),
         {ArarPassAction::LagFilter, ArarPassAction::LagFilter, ArarPassAction::LagFilter}},
    };
    for (const Case& c : cases) {
        std::vector<double> psi;
        std::vector<ArarShorteningPass> passes(7);
        ASSERT_EQ(ArarMemoryShortening(c.y.data(), static_cast<int>(c.y.size()), psi, &passes),
                  kStatusDone)
            << c.what;
        ASSERT_EQ(passes.size(), c.actions.size()) << c.what;
        // Replay: each pass's numbers are those of the series left by the passes before it.
        std::vector<double> y = c.y;
        for (size_t k = 0; k < passes.size(); ++k) {
            const ArarShorteningPass& pass = passes[k];
            EXPECT_EQ(pass.action, c.actions[k]) << c.what << " pass " << k;
            double b = 0.0, err = 0.0;
            LagRegression(y, pass.tau, b, err);
            EXPECT_NEAR(pass.b, b, 1e-12) << c.what << " pass " << k;
            EXPECT_NEAR(pass.err, err, 1e-12) << c.what << " pass " << k;
            for (int tau = 1; tau <= 15; ++tau) {
                double bt = 0.0, et = 0.0;
                LagRegression(y, tau, bt, et);
                EXPECT_TRUE(et > err - 1e-15 || tau == pass.tau) << c.what << " tau " << tau;
            }
            std::vector<double> filter{1.0};
            if (pass.action == ArarPassAction::LagFilter) {
                filter.assign(pass.tau + 1, 0.0);
                filter[0] = 1.0;
                filter[pass.tau] = -pass.b;
            } else if (pass.action == ArarPassAction::TwoLagFilter) {
                double a1 = 0.0, a2 = 0.0, ratio = -1.0;
                ASSERT_EQ(ArarTwoLagFit(y.data(), static_cast<int>(y.size()), a1, a2, &ratio),
                          kStatusDone);
                EXPECT_EQ(pass.a1, a1);
                EXPECT_EQ(pass.a2, a2);
                EXPECT_EQ(pass.ratio, ratio);
                filter = {1.0, -a1, -a2};
            }
            const size_t lag = filter.size() - 1;
            std::vector<double> next;
            for (size_t t = 0; t + lag < y.size(); ++t) {
                double v = 0.0;
                for (size_t j = 0; j <= lag; ++j) v += filter[j] * y[t + lag - j];
                next.push_back(v);
            }
            y = next;
        }
    }
    // A refused series leaves the passes as they were.
    const std::vector<double> zeros(40, 0.0);
    std::vector<double> psi;
    std::vector<ArarShorteningPass> passes(2);
    EXPECT_EQ(ArarMemoryShortening(zeros.data(), 40, psi, &passes), kStatusDegenerate);
    EXPECT_EQ(passes.size(), 2u);
}

// Series whose decision lies within 0.2% of one threshold of the shortening rule, on either
// side (the filter count at n = 34, 35, 49, 50; Err against 8/m with m the current length; b
// against 0.93 at lags 1 to 4), integer series exactly on a threshold (Err = 8/m, b = 0.93:
// both shorten), exact ties between lags and a period beyond the searched lags: every pass and
// the polynomial agree with the rule computed in R (scripts/reference/arar_shortening.R).
TEST(ArarMemoryShortening, DecisionsAtTheThresholds)
{
    const ReferenceTable t = ReadReferenceTable("arar_shortening_reference.csv");
    ASSERT_EQ(t.rows.size(), 21u);
    const ArarPassAction actions[] = {ArarPassAction::Stop, ArarPassAction::LagFilter,
                                      ArarPassAction::TwoLagFilter};
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::string what = t.Text(r, "id");
        const std::vector<double> y = t.List(r, "series");
        std::vector<double> psi;
        std::vector<ArarShorteningPass> passes;
        ASSERT_EQ(ArarMemoryShortening(y.data(), static_cast<int>(y.size()), psi, &passes), kStatusDone)
            << what;
        const std::vector<double> taus = t.List(r, "taus"), b = t.List(r, "b"), err = t.List(r, "err"),
                                  want = t.List(r, "actions");
        ASSERT_EQ(passes.size(), want.size()) << what;
        for (size_t k = 0; k < passes.size(); ++k) {
            EXPECT_EQ(passes[k].tau, static_cast<int>(taus[k])) << what << " pass " << k;
            EXPECT_EQ(passes[k].action, actions[static_cast<int>(want[k])]) << what << " pass " << k;
            EXPECT_NEAR(passes[k].b, b[k], 1e-10 * std::max(1.0, std::fabs(b[k]))) << what << " pass " << k;
            EXPECT_NEAR(passes[k].err, err[k], 1e-10) << what << " pass " << k;
        }
        ExpectNearRelative(psi, t.List(r, "psi"), 1e-10, what);
    }
}

TEST(ArarTwoLagFit, ResidualRatio)
{
    const std::vector<double> y = Ar1(200, 0.8, 11);
    double a1 = 0.0, a2 = 0.0, ratio = 0.0;
    ASSERT_EQ(ArarTwoLagFit(y.data(), 200, a1, a2, &ratio), kStatusDone);
    double residual = 0.0, total = 0.0;
    for (size_t t = 2; t < y.size(); ++t) {
        const double e = y[t] - a1 * y[t - 1] - a2 * y[t - 2];
        residual += e * e;
        total += y[t] * y[t];
    }
    EXPECT_NEAR(ratio, residual / total, 1e-14);
    // The least-squares fit leaves the least residual: a neighbouring pair does worse.
    double other = 0.0;
    for (size_t t = 2; t < y.size(); ++t) {
        const double e = y[t] - (a1 + 0.01) * y[t - 1] - a2 * y[t - 2];
        other += e * e;
    }
    EXPECT_GT(other / total, ratio);
    // An exact recursion leaves nothing.
    std::vector<double> ar2{1.0, 0.5};
    for (int t = 2; t < 30; ++t) ar2.push_back(1.2 * ar2[t - 1] - 0.5 * ar2[t - 2]);
    ASSERT_EQ(ArarTwoLagFit(ar2.data(), 30, a1, a2, &ratio), kStatusDone);
    EXPECT_NEAR(ratio, 0.0, 1e-20);
    // Zeros after the first two values: the coefficients exist, the ratio divides 0 by 0.
    std::vector<double> tail(10, 0.0);
    tail[0] = 1.0;
    tail[1] = 2.0;
    a1 = 7.0;
    ratio = 7.0;
    EXPECT_EQ(ArarTwoLagFit(tail.data(), 10, a1, a2), kStatusDone);
    EXPECT_EQ(ArarTwoLagFit(tail.data(), 10, a1, a2, &ratio), kStatusDegenerate);
    EXPECT_EQ(ratio, 7.0);
}

// The likelihood summed from t = 1 is R's exact Gaussian likelihood with the variance
// concentrated out, for every lag triple of the shortened USAccDeaths series.
TEST(ArarSubsetLikelihood, FromTheFirstIndexAgreesWithR)
{
    const ReferenceTable reference = ReadReferenceTable("arar_usaccdeaths_reference.csv");
    const ReferenceTable triples = ReadReferenceTable("arar_usaccdeaths_likelihood.csv");
    ASSERT_EQ(triples.rows.size(), 220u);
    const std::vector<double> x = Reference(reference, "series");
    const std::vector<double> psi = Reference(reference, "psi");
    std::vector<double> S;
    double mean = 0.0;
    ASSERT_EQ(ArarShortenedSeries(x.data(), 72, psi, S, mean), kStatusDone);
    const int m = static_cast<int>(S.size());
    ASSERT_EQ(m, 60);
    for (size_t r = 0; r < triples.rows.size(); ++r) {
        const int lags[4] = {1, triples.Integer(r, "l1"), triples.Integer(r, "l2"),
                             triples.Integer(r, "l3")};
        const std::vector<double> coef = triples.List(r, "coef");
        ASSERT_EQ(coef.size(), 4u);
        std::vector<double> phi(lags[3], 0.0);
        for (int i = 0; i < 4; ++i) phi[lags[i] - 1] = coef[i];
        double ell = 0.0, sigma2 = 0.0;
        ASSERT_EQ(ArarSubsetLikelihood(phi.data(), lags[3], S.data(), m, ell, sigma2,
                                       kArarSumFromFirst),
                  kStatusDone)
            << "row " << r;
        EXPECT_NEAR(ell, triples.Number(r, "ell"), 1e-9) << "lags " << lags[1] << " " << lags[2]
                                                         << " " << lags[3];
        // From the second index the first innovation, s(1)^2 / r(1) with r(1) = gamma*(0) the
        // sum of the squared impulse responses, is left out and nothing else changes.
        double ell2 = 0.0, sigma22 = 0.0;
        ASSERT_EQ(ArarSubsetLikelihood(phi.data(), lags[3], S.data(), m, ell2, sigma22), kStatusDone);
        std::vector<double> weights{1.0};
        double gamma0 = 1.0;
        for (int j = 1; j < 4000; ++j) {
            double w = 0.0;
            for (int k = 1; k <= std::min(j, lags[3]); ++k) w += phi[k - 1] * weights[j - k];
            weights.push_back(w);
            gamma0 += w * w;
        }
        EXPECT_NEAR((sigma2 - sigma22) * m, S[0] * S[0] / gamma0, 1e-9 * sigma2 * m);
        EXPECT_NEAR(ell2 - std::log(sigma22), ell - std::log(sigma2), 1e-12);
    }
    const double phi[1] = {0.5};
    double ell = 0.0, sigma2 = 0.0;
    for (int bad : {0, 3})
        EXPECT_EQ(ArarSubsetLikelihood(phi, 1, S.data(), m, ell, sigma2, bad), kStatusBadArgument);
}

// Memory shortening, the three searches (likelihood from t = 1) and the forecasts of
// USAccDeaths, shortened and not, against the reference computed in R.
TEST(ArarSubsetFit, UsAccDeathsAgreesWithR)
{
    const ReferenceTable reference = ReadReferenceTable("arar_usaccdeaths_reference.csv");
    const std::vector<double> x = Reference(reference, "series");
    ASSERT_EQ(x.size(), 72u);
    std::vector<double> psi;
    std::vector<ArarShorteningPass> passes;
    ASSERT_EQ(ArarMemoryShortening(x.data(), 72, psi, &passes), kStatusDone);
    ExpectNearRelative(psi, Reference(reference, "psi"), 1e-12, "psi");
    ASSERT_EQ(passes.size(), 2u);
    for (size_t k = 0; k < passes.size(); ++k) {
        const std::vector<double> pass = Reference(reference, "pass" + std::to_string(k + 1));
        EXPECT_EQ(passes[k].tau, static_cast<int>(pass.at(0)));
        ExpectNearRelative({passes[k].b, passes[k].err}, {pass.at(1), pass.at(2)}, 1e-12, "pass");
    }
    EXPECT_EQ(passes[0].action, ArarPassAction::LagFilter);
    EXPECT_EQ(passes[1].action, ArarPassAction::Stop);

    for (const std::string way : {"shortened", "bypass"}) {
        const std::vector<double> filter = way == "shortened" ? psi : std::vector<double>{1.0};
        std::vector<double> S;
        double mean = 0.0;
        ASSERT_EQ(ArarShortenedSeries(x.data(), 72, filter, S, mean), kStatusDone);
        ExpectNearRelative({mean, static_cast<double>(S.size())},
                           Reference(reference, way + "_mean_length"), 1e-12, way);
        for (int criterion = 1; criterion <= 3; ++criterion) {
            const std::string key = way + "_" + std::to_string(criterion) + "_";
            ArarFitResult fit;
            ASSERT_EQ(ArarSubsetFit(x.data(), 72, filter, criterion, fit, kArarSumFromFirst),
                      kStatusDone)
                << key;
            const std::vector<double> lags = Reference(reference, key + "lags");
            EXPECT_EQ(std::vector<double>(fit.lags, fit.lags + 4), lags) << key;
            ExpectNearRelative(std::vector<double>(fit.coef, fit.coef + 4),
                               Reference(reference, key + "coef"), 1e-10, key + "coef");
            ExpectNearRelative({fit.criterionValue, fit.whiteNoiseVariance, fit.rootMse},
                               {Reference(reference, key + "criterion").at(0),
                                Reference(reference, key + "wn_variance").at(0),
                                Reference(reference, key + "root_mse").at(0)},
                               1e-9, key + "criterion, variance, root MSE");
            ExpectNearRelative(fit.xi, Reference(reference, key + "whitening"), 1e-10,
                               key + "whitening");
            std::vector<double> F(12);
            ASSERT_EQ(ArarForecast(x.data(), 72, fit, 12, F.data()), kStatusDone) << key;
            ExpectNearRelative(F, Reference(reference, key + "forecasts"), 1e-10,
                               key + "forecasts");
        }
    }
}

TEST(ArarShortenedSeries, ConstantSeriesAndLimits)
{
    // 0.1 is not a binary fraction: its mean over 30 values differs from it by rounding, which
    // must not pass for a variance.
    const std::vector<double> tenths(30, 0.1);
    std::vector<double> S{4.0};
    double mean = 9.0;
    EXPECT_EQ(ArarShortenedSeries(tenths.data(), 30, {1.0}, S, mean), kStatusDegenerate);
    EXPECT_EQ(S, std::vector<double>{4.0});
    EXPECT_EQ(mean, 9.0);
    ArarFitResult fit;
    EXPECT_EQ(ArarSubsetFit(tenths.data(), 30, {1.0}, 1, fit), kStatusDegenerate);
    // A lag-1 difference of a trend is constant too.
    const std::vector<double> trend = Trend(40);
    EXPECT_EQ(ArarShortenedSeries(trend.data(), 40, {1.0, -1.0}, S, mean), kStatusDegenerate);

    const std::vector<double> y = WhiteNoise(40, 12);
    ASSERT_EQ(ArarShortenedSeries(y.data(), 40, {1.0, 0.0, -0.5}, S, mean), kStatusDone);
    ASSERT_EQ(S.size(), 38u);
    double sum = 0.0;
    for (size_t t = 0; t < S.size(); ++t) {
        EXPECT_NEAR(S[t] + mean, y[t + 2] - 0.5 * y[t], 1e-14);
        sum += S[t];
    }
    EXPECT_NEAR(sum, 0.0, 1e-13);
    EXPECT_EQ(ArarShortenedSeries(y.data(), 2, {1.0, 0.0, -0.5}, S, mean), kStatusBadArgument);
    EXPECT_EQ(ArarShortenedSeries(y.data(), 40, {2.0}, S, mean), kStatusBadArgument);
    EXPECT_EQ(ArarShortenedSeries(y.data(), 40, {}, S, mean), kStatusBadArgument);
    EXPECT_EQ(ArarSubsetFit(y.data(), 40, {1.0}, 1, fit, 0), kStatusBadArgument);
}
