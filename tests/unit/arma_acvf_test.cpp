#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct Model {
    std::string id;
    int p, q;
    double sigma2;
    std::vector<double> coef;
};

std::vector<Model> ReferenceModels()
{
    const ReferenceTable t = ReadReferenceTable("arma_models.csv");
    std::vector<Model> models;
    for (size_t r = 0; r < t.rows.size(); ++r)
        models.push_back({t.Text(r, "id"), t.Integer(r, "p"), t.Integer(r, "q"),
                          t.Number(r, "sigma2"), t.List(r, "coef")});
    return models;
}

// Autocovariances through ArmaAcvf in the compute mode, with the array sized as documented.
std::vector<double> Acvf(const std::vector<double>& coef, int p, int q, double sigma2, int nlag,
                         int* status)
{
    std::vector<double> acvf(std::max({nlag, p, q}) + 1, -7.0);
    *status = kStatusDone;
    ArmaAcvf(nlag, kArmaAcvfCompute, acvf.data(), *status, sigma2, coef.data(), p, q);
    return acvf;
}

// The state covariance by its definition: K = T·Gamma·T' with Gamma(i,j) = gamma(|i-j|) of X
// and T mapping X(1..N) to W(t) = X(t), t <= m, and W(t) = phi(B)X(t), t > m.
std::vector<double> StateCovarianceByDefinition(const std::vector<double>& coef, int p, int q)
{
    const int N = ArmaStateOrder(p, q), m = std::max(p, q);
    int status = kStatusDone;
    const std::vector<double> g = Acvf(coef, p, q, 1.0, N, &status);
    std::vector<double> T(N * N, 0.0), K(N * N, 0.0);
    for (int t = 0; t < N; ++t) {
        T[t * N + t] = 1.0;
        if (p >= 1 && t >= m)
            for (int j = 1; j <= p; ++j) T[t * N + t - j] = -coef[j - 1];
    }
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j) {
            double s = 0.0;
            for (int a = 0; a < N; ++a)
                for (int b = 0; b < N; ++b) s += T[i * N + a] * g[std::abs(a - b)] * T[j * N + b];
            K[i * N + j] = s;
        }
    return K;
}

void ExpectStateCovariance(const std::vector<double>& coef, int p, int q, double tol)
{
    const int N = ArmaStateOrder(p, q);
    int status = kStatusDone;
    const std::vector<double> g = Acvf(coef, p, q, 1.0, 1, &status);
    ASSERT_EQ(status, kStatusDone);
    std::vector<double> K(54 * N, -7.0);
    ASSERT_EQ(ArmaStateCovariance(g.data(), p, q, coef.data(), K.data()), kStatusDone);
    const std::vector<double> ref = StateCovarianceByDefinition(coef, p, q);
    for (int j = 0; j < N; ++j)
        for (int i = j; i < N; ++i)
            ASSERT_NEAR(K[i + 54 * j], ref[i * N + j], tol * (1.0 + std::fabs(ref[i * N + j])))
                << "p=" << p << " q=" << q << " K(" << i + 1 << "," << j + 1 << ")";
}

}  // namespace

// ACVF against R's ARMAacf times gamma(0) = sigma2·sum psi(j)^2 (20000 terms), and psi weights
// against ARMAtoMA, lags 0..40. Tolerance 1e-10 relative to gamma(0): the step-down recursion
// loses a few digits for the near-unit-root AR(2) (root modulus 1.085).
TEST(ArmaAcvf, MatchesReferenceTable)
{
    const std::vector<Model> models = ReferenceModels();
    const ReferenceTable t = ReadReferenceTable("arma_acvf_reference.csv");
    ASSERT_EQ(models.size(), 12u);
    for (const Model& m : models) {
        int status = -9;
        const std::vector<double> acvf = Acvf(m.coef, m.p, m.q, m.sigma2, 40, &status);
        ASSERT_EQ(status, kStatusDone) << m.id;
        std::vector<double> psi(41, -7.0);
        ASSERT_EQ(PsiWeights(m.p, m.q, m.coef.data(), 40, psi.data()), kStatusDone);
        std::vector<double> ma(41, -7.0);
        if (m.p == 0) {
            ASSERT_EQ(MaAcvf(41, m.q, m.coef.data(), ma.data(), m.sigma2), kStatusDone);
        }
        int rows = 0;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.Text(r, "id") != m.id) continue;
            ++rows;
            const int h = t.Integer(r, "lag");
            const double gamma = t.Number(r, "gamma"), scale = acvf[0];
            EXPECT_NEAR(acvf[h], gamma, 1e-10 * scale) << m.id << " lag " << h;
            EXPECT_NEAR(psi[h], t.Number(r, "psi"), 1e-12 * (1.0 + std::fabs(psi[h])))
                << m.id << " lag " << h;
            if (m.p == 0) {
                EXPECT_NEAR(ma[h], gamma, 1e-13 * scale) << m.id << " lag " << h;
            }
        }
        EXPECT_EQ(rows, 41) << m.id;
    }
}

// Decisions of the step-down tests against the smallest root modulus from R's polyroot.
TEST(ArmaAcvf, CausalityAndInvertibilityMatchRootModuli)
{
    const ReferenceTable t = ReadReferenceTable("arma_roots.csv");
    ASSERT_EQ(t.rows.size(), 11u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::vector<double> ar = t.List(r, "ar"), ma = t.List(r, "ma");
        std::vector<double> coef = ar;
        coef.insert(coef.end(), ma.begin(), ma.end());
        const int p = static_cast<int>(ar.size()), q = static_cast<int>(ma.size());
        std::vector<double> acvf(std::max({2, p, q}) + 1, 0.0);
        int causal = kStatusDone, invertible = kStatusDone;
        ArmaAcvf(2, kArmaAcvfTestCausal, acvf.data(), causal, 1.0, coef.data(), p, q);
        ArmaAcvf(2, kArmaAcvfTestInvertible, acvf.data(), invertible, 1.0, coef.data(), p, q);
        EXPECT_EQ(causal == kStatusDone, t.Integer(r, "causal") == 1) << t.Text(r, "id");
        EXPECT_EQ(invertible == kStatusDone, t.Integer(r, "invertible") == 1) << t.Text(r, "id");
        // A pure AR run of mode -1 must agree with the compute mode.
        int compute = kStatusDone;
        ArmaAcvf(2, kArmaAcvfCompute, acvf.data(), compute, 1.0, coef.data(), p, 0);
        EXPECT_EQ(compute, causal) << t.Text(r, "id");
    }
}

// Zeros on the unit circle, simple and multiple, at frequencies on the search grid and off it, and
// polynomials whose zeros lie off it, some close.
TEST(MaZeroOnUnitCircle, ZerosOnAndOffTheCircle)
{
    const double c = 2.0 * std::cos(1.0);  // 1 - c·z + z^2 vanishes at exp(±i)
    std::vector<double> airline(13, 0.0), unitAirline(13, 0.0), eighth(8, 0.0);
    airline[0] = -0.4, airline[11] = -0.61, airline[12] = 0.244;  // (1 - 0.4z)(1 - 0.61z^12)
    unitAirline[0] = -1.0, unitAirline[11] = -0.6, unitAirline[12] = 0.6;  // (1 - z)(1 - 0.6z^12)
    eighth[7] = 1.0;
    struct Case {
        const char* name;
        std::vector<double> theta;
        bool onCircle;
    };
    const Case cases[] = {
        {"1 + z", {1.0}, true},
        {"1 - z", {-1.0}, true},
        {"(1 - z)^2", {-2.0, 1.0}, true},
        {"1 + z^8", eighth, true},
        {"(1 + z)(1 + 2z)", {3.0, 2.0}, true},
        {"1 + z + z^2", {1.0, 1.0}, true},
        {"(1 - z)(1 - 0.6z^12)", unitAirline, true},
        {"1 - 2cos(1)z + z^2, off the grid", {-c, 1.0}, true},
        {"(1 - 2cos(1)z + z^2)^2, off the grid", {-2.0 * c, 2.0 + c * c, -2.0 * c, 1.0}, true},
        {"1 - (1 + 1e-9)z", {-(1.0 + 1e-9)}, true},
        {"1 + 0.5z", {0.5}, false},
        {"1 + 2z", {2.0}, false},
        {"1 + 1.001z", {1.001}, false},
        {"roots inside and outside", {-1.65, 0.5}, false},
        {"(1 - 0.4z)(1 - 0.61z^12)", airline, false},
        {"nothing", {}, false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(MaZeroOnUnitCircle(static_cast<int>(k.theta.size()), k.theta.data()), k.onCircle) << k.name;
    const double nan[1] = {std::nan("")};
    EXPECT_FALSE(MaZeroOnUnitCircle(1, nan));
}

TEST(ArmaAcvf, EdgeCases)
{
    int status = kStatusDone;
    // Worked example ARMA(1,1): gamma(0) = 2.08, gamma(1) = 1.44.
    std::vector<double> g = Acvf({0.5, 0.4}, 1, 1, 1.0, 1, &status);
    EXPECT_NEAR(g[0], 2.08, 1e-14);
    EXPECT_NEAR(g[1], 1.44, 1e-14);

    // Failures leave acvf untouched: unit root at the top order, and a step-down failure.
    for (const std::vector<double>& phi : {std::vector<double>{1.0},
                                           std::vector<double>{0.3, -1.0},
                                           std::vector<double>{0.5, 0.6}}) {
        const int p = static_cast<int>(phi.size());
        for (int mode : {kArmaAcvfCompute, kArmaAcvfTestCausal}) {
            std::vector<double> acvf(p + 3, -7.0);
            status = kStatusDone;
            ArmaAcvf(2, mode, acvf.data(), status, 1.0, phi.data(), p, 0);
            EXPECT_EQ(status, kStatusNotCausal);
            EXPECT_EQ(acvf, std::vector<double>(p + 3, -7.0));
        }
    }

    // Mode 1 with q = 0 succeeds without writing.
    std::vector<double> acvf(4, -7.0);
    const double phi[] = {0.5};
    status = -9;
    ArmaAcvf(2, kArmaAcvfTestInvertible, acvf.data(), status, 1.0, phi, 1, 0);
    EXPECT_EQ(status, kStatusDone);
    EXPECT_EQ(acvf, std::vector<double>(4, -7.0));

    // Mode -1 with q = 0 also delivers the AR autocovariances (gamma(h) = 0.5^h / 0.75).
    ArmaAcvf(3, kArmaAcvfTestCausal, acvf.data(), status, 1.0, phi, 1, 0);
    EXPECT_EQ(status, kStatusDone);
    for (int h = 0; h <= 3; ++h) EXPECT_NEAR(acvf[h], std::pow(0.5, h) / 0.75, 1e-15);

    // nlag below max(p,q): lags 0..max(p,q) are still written, into an exactly sized array.
    const std::vector<double> ma3 = {0.5, -0.4, 0.3};
    g = Acvf(ma3, 0, 3, 2.0, 0, &status);
    ASSERT_EQ(g.size(), 4u);
    EXPECT_DOUBLE_EQ(g[0], 2.0 * (1 + 0.25 + 0.16 + 0.09));
    EXPECT_DOUBLE_EQ(g[3], 2.0 * 0.3);

    // White noise: sigma2 then zeros.
    g = Acvf({}, 0, 0, 1.7, 3, &status);
    EXPECT_EQ(status, kStatusDone);
    EXPECT_EQ(g, (std::vector<double>{1.7, 0.0, 0.0, 0.0}));

    // Orders beyond 26 are refused before anything is touched.
    std::vector<double> big(30, 0.01), out(31, -7.0);
    status = kStatusDone;
    ArmaAcvf(2, kArmaAcvfCompute, out.data(), status, 1.0, big.data(), 27, 0);
    EXPECT_EQ(status, kStatusBadArgument);
    EXPECT_EQ(MaAcvf(2, 27, big.data(), out.data(), 1.0), kStatusBadArgument);
    EXPECT_EQ(MaAcvf(2, -1, big.data(), out.data(), 1.0), kStatusBadArgument);
    EXPECT_EQ(PsiWeights(1, 0, big.data(), -1, out.data()), kStatusBadArgument);
    EXPECT_EQ(ArmaStateCovariance(big.data(), 0, 27, big.data(), out.data()),
              kStatusBadArgument);
    EXPECT_EQ(out, std::vector<double>(31, -7.0));
}

TEST(MaAcvf, ZeroFillAndShortOutput)
{
    const double theta[] = {0.4};
    std::vector<double> out(5, -7.0);
    ASSERT_EQ(MaAcvf(5, 1, theta, out.data(), 2.0), kStatusDone);
    const double expected[] = {2.32, 0.8, 0.0, 0.0, 0.0};
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(out[k], expected[k], 1e-15) << k;
    std::vector<double> shortOut(2, -7.0);  // nout = 1 < q+1: lags 0..q still written
    ASSERT_EQ(MaAcvf(1, 1, theta, shortOut.data(), 1.0), kStatusDone);
    EXPECT_NEAR(shortOut[0], 1.16, 1e-15);
    EXPECT_NEAR(shortOut[1], 0.4, 1e-15);
}

// The state covariance against T·Gamma·T' for the reference models and small fixtures.
TEST(ArmaStateCovariance, MatchesDefinition)
{
    for (const Model& m : ReferenceModels())
        if (std::max(m.p, m.q) <= 5) ExpectStateCovariance(m.coef, m.p, m.q, 1e-12);
    ExpectStateCovariance({}, 0, 0, 0.0);
    ExpectStateCovariance({0.5}, 1, 0, 1e-14);
    ExpectStateCovariance({0.4}, 0, 1, 1e-14);
}

// Every order pair 0..26: the ACVF equals the brute-force sum sigma2·sum psi(j)psi(j+h), the
// routines stay in bounds (sanitizer build), and the state covariance matches its definition
// for the smaller orders. Sum of |phi| is at most 0.5, so the psi weights fall below 1e-17
// within 2000 terms; tolerance 1e-10 relative to gamma(0).
TEST(ArmaAcvf, AllOrderPairsAgreeWithPsiSums)
{
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const int nlag = 30, L = 2000;
    std::vector<double> psi(L + 1);
    for (int p = 0; p <= 26; ++p) {
        for (int q = 0; q <= 26; ++q) {
            std::vector<double> coef(p + q);
            double s = 0.0;
            for (int j = 0; j < p; ++j) s += std::fabs(coef[j] = u(rng));
            for (int j = 0; j < p; ++j) coef[j] *= 0.5 / s;
            for (int j = p; j < p + q; ++j) coef[j] = 0.8 * u(rng);
            int status = kStatusDone;
            const std::vector<double> g = Acvf(coef, p, q, 1.3, nlag, &status);
            ASSERT_EQ(status, kStatusDone) << p << "," << q;
            ASSERT_EQ(PsiWeights(p, q, coef.data(), L, psi.data()), kStatusDone);
            for (int h = 0; h <= std::max({nlag, p, q}); ++h) {
                double sum = 0.0;
                for (int j = 0; j + h <= L; ++j) sum += psi[j] * psi[j + h];
                ASSERT_NEAR(g[h], 1.3 * sum, 1e-10 * g[0]) << "p=" << p << " q=" << q << " h=" << h;
            }
            if (p + q <= 10 || p == 26 || q == 26) {
                if (std::max(p, q) <= 8) ExpectStateCovariance(coef, p, q, 1e-10);
                std::vector<double> K(54 * 54, 0.0), gu = Acvf(coef, p, q, 1.0, 0, &status);
                EXPECT_EQ(ArmaStateCovariance(gu.data(), p, q, coef.data(), K.data()),
                          kStatusDone);
            }
        }
    }
}
