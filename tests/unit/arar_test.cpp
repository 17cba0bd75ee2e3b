#include "numerics/arar.h"
#include "numerics/status.h"
#include "tests/unit/test_series.h"

#include <gtest/gtest.h>

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
