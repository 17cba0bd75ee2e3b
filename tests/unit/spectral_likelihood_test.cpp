#include "numerics/spectral_likelihood.h"
#include "numerics/status.h"
#include "numlib/periodogram.h"
#include "platform/random.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

const double kPi = std::acos(-1.0);

// Fourier frequencies 2πj/N and ordinates for j = 1..N div 2.
struct Ordinates {
    int N = 0;
    std::vector<double> omega, I;
    int m() const { return static_cast<int>(I.size()); }
};

Ordinates HandOrdinates(int N)
{
    Ordinates o;
    o.N = N;
    for (int j = 1; j <= N / 2; ++j) {
        o.omega.push_back(2.0 * kPi * j / N);
        o.I.push_back(1.0 + 0.5 * std::sin(1.7 * j) + 0.1 * (j % 4));
    }
    return o;
}

// Periodogram |sum of (x(t) - mean)·exp(-i·omega·t)|²/N by a direct sum with exact twiddles.
Ordinates Periodogram(const std::vector<double>& x)
{
    const int N = static_cast<int>(x.size());
    double mean = 0.0;
    for (double v : x) mean += v / N;
    std::vector<double> c(N), s(N);
    for (int k = 0; k < N; ++k) {
        c[k] = std::cos(2.0 * kPi * k / N);
        s[k] = std::sin(2.0 * kPi * k / N);
    }
    Ordinates o;
    o.N = N;
    for (int j = 1; j <= N / 2; ++j) {
        double re = 0.0, im = 0.0;
        for (int t = 1; t <= N; ++t) {
            const int k = static_cast<int>((static_cast<long>(j) * t) % N);
            re += (x[t - 1] - mean) * c[k];
            im -= (x[t - 1] - mean) * s[k];
        }
        o.omega.push_back(2.0 * kPi * j / N);
        o.I.push_back((re * re + im * im) / N);
    }
    return o;
}

// A fractionally integrated series (1-B)^-d Z(t) of length N: the MA-infinity weights
// psi(k) = psi(k-1)·(k-1+d)/k truncated at M lags, over Box-Muller normal deviates.
std::vector<double> SimulateFractional(int N, double d, int M, int32_t seed)
{
    std::vector<double> psi(M + 1, 1.0);
    for (int k = 1; k <= M; ++k) psi[k] = psi[k - 1] * (k - 1 + d) / k;
    std::vector<double> z(N + M);
    (void)UniformRandom(seed);
    for (size_t i = 0; i < z.size(); i += 2) {
        const double u1 = UniformRandom(0), u2 = UniformRandom(0);
        const double r = std::sqrt(-2.0 * std::log(u1));
        z[i] = r * std::cos(2.0 * kPi * u2);
        if (i + 1 < z.size()) z[i + 1] = r * std::sin(2.0 * kPi * u2);
    }
    std::vector<double> x(N, 0.0);
    for (int t = 0; t < N; ++t)
        for (int k = 0; k <= M; ++k) x[t] += psi[k] * z[t + M - k];
    return x;
}

struct Result {
    int status;
    double F, sigma2;
};

Result Evaluate(const Ordinates& o, int p, int q, const std::vector<double>& beta)
{
    Result r{0, -5.0, -5.0};
    r.status = SpectralLikelihood(o.omega.data(), o.I.data(), o.m(), o.N, p, q, beta.data(), r.F,
                                  r.sigma2);
    return r;
}

}  // namespace

// ARFIMA(1, d, 1) against the closed forms |1 - phi·e^iw|² = 1 - 2·phi·cos w + phi²,
// |1 + theta·e^iw|² = 1 + 2·theta·cos w + theta², |1 - e^iw|² = 4·sin²(w/2). Even N weights the
// last ordinate half in sigma2 and drops its ln g once more; odd N does not. p = q = d = 0 is
// white noise: g = 1 and F = ln sigma2. The long series run over many hundred ordinates at a
// time.
TEST(SpectralLikelihood, MatchesClosedForm)
{
    struct Case {
        int N;
        double phi, theta, d;
        int p, q;
    };
    const Case cases[] = {{64, 0.0, 0.0, 0.0, 0, 0},     {63, 0.0, 0.0, 0.0, 0, 0},
                          {64, 0.6, -0.3, 0.2, 1, 1},    {63, -0.4, 0.5, -0.3, 1, 1},
                          {100, 0.8, 0.0, 0.45, 1, 0},   {101, 0.0, 0.9, 0.1, 0, 1},
                          {6000, 0.5, 0.3, 0.2, 1, 1},   {5999, -0.7, -0.6, -0.4, 1, 1},
                          {6000, 0.0, 0.0, 0.3, 0, 0}};
    for (const Case& c : cases) {
        const Ordinates o = HandOrdinates(c.N);
        const bool even = c.N % 2 == 0;
        double S = 0.0, L = 0.0, gLast = 0.0;
        for (int j = 0; j < o.m(); ++j) {
            const double cw = std::cos(o.omega[j]);
            const double half = std::sin(o.omega[j] / 2.0);  // 2 - 2·cos w = 4·sin²(w/2)
            const double g = (1.0 + 2.0 * c.theta * cw + c.theta * c.theta) /
                             (1.0 - 2.0 * c.phi * cw + c.phi * c.phi) *
                             std::pow(4.0 * half * half, -c.d);
            S += o.I[j] / g;
            L += std::log(g);
            gLast = g;
        }
        double sigma2 = S / c.N;
        if (even) sigma2 -= 0.5 * o.I.back() / (gLast * c.N);
        double F = std::log(sigma2) + 2.0 * L / c.N;
        if (even) F -= std::log(gLast) / c.N;

        std::vector<double> beta;
        if (c.p) beta.push_back(c.phi);
        if (c.q) beta.push_back(c.theta);
        beta.push_back(c.d);
        const Result r = Evaluate(o, c.p, c.q, beta);
        ASSERT_EQ(r.status, kStatusDone) << c.N;
        EXPECT_NEAR(r.sigma2, sigma2, 1e-12 * sigma2) << c.N << " " << c.phi;
        EXPECT_NEAR(r.F, F, 1e-12) << c.N << " " << c.phi;
        if (c.p == 0 && c.q == 0 && c.d == 0.0) {
            EXPECT_NEAR(r.F, std::log(r.sigma2), 1e-14);
        }
    }
}

// The criterion at fixed parameters on four series of even and odd length, with the ordinates of
// DPFFT (IPVER 0) at j = 1..N div 2 as the maximum likelihood command passes them, against R's
// complex arithmetic on its own fft; ten models from white noise to ARFIMA(3,d,2).
TEST(SpectralLikelihood, MatchesRAtFixedParameters)
{
    const std::map<std::string, std::vector<double>> series = ReferenceSeriesByName("periodogram_series.csv", "x");
    const ReferenceTable t = ReadReferenceTable("spectral_criterion_reference.csv");
    ASSERT_EQ(t.rows.size(), 40u);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const std::vector<double>& x = series.at(t.Text(row, "series"));
        const int N = static_cast<int>(x.size()), m = N / 2, ld = m + 1;
        double mean = 0.0;
        for (double v : x) mean += v / N;
        std::vector<double> pm(5 * static_cast<size_t>(ld));
        DPFFT(N, x.data(), 0, mean, 0, 0, 0, pm.data(), ld);
        const std::vector<double> omega(pm.begin() + 1, pm.begin() + ld),
            I(pm.begin() + 2 * ld + 1, pm.begin() + 3 * ld);
        const int p = t.Integer(row, "p"), q = t.Integer(row, "q");
        const std::vector<double> beta = t.List(row, "beta");
        ASSERT_EQ(beta.size(), static_cast<size_t>(p + q + 1));
        double F = 0.0, sigma2 = 0.0;
        ASSERT_EQ(SpectralLikelihood(omega.data(), I.data(), m, N, p, q, beta.data(), F, sigma2), kStatusDone)
            << "row " << row;
        const double wantF = t.Number(row, "F"), wantSigma2 = t.Number(row, "sigma2");
        EXPECT_NEAR(F, wantF, 1e-12 * std::fabs(wantF)) << t.Text(row, "series") << " row " << row;
        EXPECT_NEAR(sigma2, wantSigma2, 1e-12 * wantSigma2) << t.Text(row, "series") << " row " << row;
    }
}

// |d| >= 0.5, phi1 = 1 (first step-down gives b(0) = 0), theta1 = -1 and explosive parts give
// the criterion 1e30 and leave sigma2 unwritten.
TEST(SpectralLikelihood, InadmissiblePoints)
{
    struct Case {
        int p, q;
        std::vector<double> beta;
    };
    const Case cases[] = {{0, 0, {0.5}},       {0, 0, {-0.5}},      {1, 0, {1.0, 0.0}},
                          {0, 1, {-1.0, 0.0}}, {1, 1, {2.0, 0.3, 0.1}}, {2, 0, {0.5, 0.5, 0.0}},
                          {0, 2, {0.2, 1.3, 0.2}}};
    const Ordinates o = HandOrdinates(40);
    for (const Case& c : cases) {
        const Result r = Evaluate(o, c.p, c.q, c.beta);
        EXPECT_EQ(r.status, kStatusNotCausal) << c.p << c.q << " " << c.beta[0];
        EXPECT_EQ(r.F, kInadmissibleCriterion);
        EXPECT_EQ(r.sigma2, -5.0);
    }
}

// The last doubles inside |d| < 0.5 are admissible: a finite criterion and variance.
TEST(SpectralLikelihood, AdmitsDJustInsideTheBound)
{
    const Ordinates o = HandOrdinates(40);
    for (double d : {std::nextafter(0.5, 0.0), std::nextafter(-0.5, 0.0)}) {
        const Result r = Evaluate(o, 0, 0, {d});
        EXPECT_EQ(r.status, kStatusDone) << d;
        EXPECT_TRUE(std::isfinite(r.F) && r.F < kInadmissibleCriterion) << d;
        EXPECT_TRUE(std::isfinite(r.sigma2) && r.sigma2 > 0.0) << d;
    }
}

// The step-down decision against R polyroot for AR and MA polynomials of orders 1..26,
// including 1 - 0.5·z^k for k = 12, 20, 26, which an unrescaled step-down underflows and
// rejects although every root lies outside the unit circle.
TEST(SpectralLikelihood, StabilityMatchesPolyroot)
{
    const ReferenceTable t = ReadReferenceTable("stability_reference.csv");
    ASSERT_EQ(t.rows.size(), 46u);
    const Ordinates o = HandOrdinates(50);
    for (size_t row = 0; row < t.rows.size(); ++row) {
        const bool ar = t.Text(row, "kind") == "ar";
        const int k = t.Integer(row, "order");
        std::vector<double> beta = t.List(row, "coef");
        ASSERT_EQ(beta.size(), static_cast<size_t>(k));
        beta.push_back(0.1);
        const Result r = Evaluate(o, ar ? k : 0, ar ? 0 : k, beta);
        const bool stable = t.Integer(row, "stable") == 1;
        EXPECT_EQ(r.status, stable ? kStatusDone : kStatusNotCausal)
            << t.Text(row, "kind") << " order " << k << " row " << row;
        if (stable) {
            EXPECT_TRUE(std::isfinite(r.F) && r.F < kInadmissibleCriterion);
        }
    }
}

// At frequency 0, |1 - z| = 0: |1-z|^-2d is 1 for d = 0 and 0 or infinite otherwise, which puts
// the point outside the region.
TEST(SpectralLikelihood, FrequencyZero)
{
    Ordinates o = HandOrdinates(40);
    const Ordinates shifted = o;
    o.omega[0] = 0.0;
    const Result white = Evaluate(o, 1, 0, {0.4, 0.0});
    ASSERT_EQ(white.status, kStatusDone);
    EXPECT_TRUE(std::isfinite(white.F));
    EXPECT_NE(white.F, Evaluate(shifted, 1, 0, {0.4, 0.0}).F);
    for (double d : {0.2, -0.2}) {
        const Result r = Evaluate(o, 1, 0, {0.4, d});
        EXPECT_EQ(r.status, kStatusNotCausal) << d;
        EXPECT_EQ(r.F, kInadmissibleCriterion);
        EXPECT_EQ(r.sigma2, -5.0);
    }
}

TEST(SpectralLikelihood, DegenerateAndBadArguments)
{
    Ordinates o = HandOrdinates(20);
    o.I.assign(o.I.size(), 0.0);  // a constant series
    Result r = Evaluate(o, 0, 0, {0.2});
    EXPECT_EQ(r.status, kStatusDegenerate);
    EXPECT_EQ(r.sigma2, 0.0);
    EXPECT_EQ(r.F, kInadmissibleCriterion);

    o = HandOrdinates(20);
    const std::vector<double> beta(30, 0.0);
    struct Case {
        int m, N, p, q;
    };
    for (const Case& c : {Case{0, 20, 0, 0}, Case{10, 0, 0, 0}, Case{10, 20, 27, 0},
                          Case{10, 20, 0, -1}}) {
        double F = -5.0, sigma2 = -5.0;
        EXPECT_EQ(SpectralLikelihood(o.omega.data(), o.I.data(), c.m, c.N, c.p, c.q, beta.data(),
                                     F, sigma2),
                  kStatusBadArgument);
        EXPECT_EQ(F, -5.0);
        EXPECT_EQ(sigma2, -5.0);
    }
}

// A fractionally integrated series of 2000 points with d = 0.3: the search from d = 0 with step
// 0.05 ends within 0.05 of it, at the point whose criterion and variance it reports.
TEST(SpectralLikelihoodSearch, RecoversFractionalDifference)
{
    const Ordinates o = Periodogram(SimulateFractional(2000, 0.3, 3000, 424242));
    double d = 0.0, h = 0.05, sigma2 = -1.0, F = -1.0;
    ASSERT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 0, 0, nullptr,
                                       nullptr, d, h, 1, sigma2, F),
              kStatusDone);
    EXPECT_NEAR(d, 0.3, 0.05);
    EXPECT_DOUBLE_EQ(h, 0.05 / 4.0);
    const Result r = Evaluate(o, 0, 0, {d});
    EXPECT_EQ(F, r.F);
    EXPECT_EQ(sigma2, r.sigma2);
}

// Flat ordinates are white noise, minimised at d = 0: both explorations fail, h is halved
// twice and the start comes back. With searchD = 0 an AR(1) coefficient is searched and d is
// kept although the criterion uses it.
TEST(SpectralLikelihoodSearch, StopsAtSecondHalvingAndKeepsFixedD)
{
    Ordinates o = HandOrdinates(60);
    o.I.assign(o.I.size(), 2.0);
    double d = 0.0, h = 0.1, sigma2 = -1.0, F = -1.0;
    ASSERT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 0, 0, nullptr,
                                       nullptr, d, h, 1, sigma2, F),
              kStatusDone);
    EXPECT_EQ(d, 0.0);
    EXPECT_DOUBLE_EQ(h, 0.025);
    EXPECT_NEAR(sigma2, (2.0 * 30 - 1.0) / 60, 1e-14);
    EXPECT_NEAR(F, std::log(sigma2), 1e-14);

    const Ordinates ar = Periodogram(SimulateFractional(400, 0.0, 0, 777));
    double phi = 0.3;
    d = 0.2;
    h = 0.1;
    ASSERT_EQ(SpectralLikelihoodSearch(ar.omega.data(), ar.I.data(), ar.m(), ar.N, 1, 0, &phi,
                                       nullptr, d, h, 0, sigma2, F),
              kStatusDone);
    EXPECT_EQ(d, 0.2);
    EXPECT_NE(phi, 0.3);
    EXPECT_EQ(F, Evaluate(ar, 1, 0, {phi, 0.2}).F);
}

// An inadmissible start with no admissible trial reports the failure, returns the start and a
// zero variance; one admissible trial is enough to leave an inadmissible start.
TEST(SpectralLikelihoodSearch, InadmissibleStart)
{
    const Ordinates o = HandOrdinates(80);
    double d = 0.7, h = 0.05, sigma2 = -1.0, F = -1.0;
    EXPECT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 0, 0, nullptr,
                                       nullptr, d, h, 1, sigma2, F),
              kStatusNotCausal);
    EXPECT_EQ(d, 0.7);
    EXPECT_EQ(F, kInadmissibleCriterion);
    EXPECT_EQ(sigma2, 0.0);

    d = 0.5;
    h = 0.1;
    EXPECT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 0, 0, nullptr,
                                       nullptr, d, h, 1, sigma2, F),
              kStatusDone);
    EXPECT_LT(std::fabs(d), 0.5);
    EXPECT_LT(F, kInadmissibleCriterion);
    EXPECT_GT(sigma2, 0.0);
}

// The stable AR(20) model 1 - 0.5·z^20 is accepted as a start and the search stays admissible.
TEST(SpectralLikelihoodSearch, AcceptsStableOrderTwenty)
{
    const Ordinates o = HandOrdinates(120);
    std::vector<double> phi(20, 0.0);
    phi[19] = 0.5;
    std::vector<double> beta = phi;
    beta.push_back(0.0);
    const Result start = Evaluate(o, 20, 0, beta);
    ASSERT_EQ(start.status, kStatusDone);
    double d = 0.0, h = 0.02, sigma2 = -1.0, F = -1.0;
    ASSERT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 20, 0, phi.data(),
                                       nullptr, d, h, 0, sigma2, F),
              kStatusDone);
    EXPECT_LE(F, start.F);
    EXPECT_GT(sigma2, 0.0);
}

TEST(SpectralLikelihoodSearch, RefusesBadArguments)
{
    const Ordinates o = HandOrdinates(20);
    for (double h0 : {0.0, -0.1, std::nan("")}) {
        double d = 0.1, h = h0, sigma2 = -1.0, F = -1.0;
        EXPECT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 0, 0, nullptr,
                                           nullptr, d, h, 1, sigma2, F),
                  kStatusBadArgument);
        EXPECT_EQ(d, 0.1);
        EXPECT_EQ(F, -1.0);
    }
    double d = 0.1, h = 0.1, sigma2 = -1.0, F = -1.0;
    std::vector<double> phi(27, 0.0);
    EXPECT_EQ(SpectralLikelihoodSearch(o.omega.data(), o.I.data(), o.m(), o.N, 27, 0, phi.data(),
                                       nullptr, d, h, 1, sigma2, F),
              kStatusBadArgument);
}
