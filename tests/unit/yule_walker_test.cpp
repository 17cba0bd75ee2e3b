#include "numerics/acf.h"
#include "numerics/status.h"
#include "numerics/yule_walker.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kLd = 54;

// Sample gamma(0..L) of x about its mean (divisor n).
std::vector<double> SampleAcvf(const std::vector<double>& x, int L)
{
    std::vector<double> acf(L + 1), pacf(L + 1), work(x.size());
    double gamma0 = 0.0;
    EXPECT_EQ(SampleAcfPacf(gamma0, static_cast<int>(x.size()), x.data(), acf.data(),
                            pacf.data(), L, work.data()),
              kStatusDone);
    for (double& v : acf) v *= gamma0;
    return acf;
}

}  // namespace

// Against R ar.yw(aic = FALSE, demean = TRUE). Tolerance 1e-10: R solves the Toeplitz system by
// Levinson, we by a Cholesky inverse; the systems have condition numbers below 1e3.
TEST(YuleWalkerFit, MatchesReferenceTable)
{
    const ReferenceTable t = ReadReferenceTable("yule_walker_reference.csv");
    ASSERT_EQ(t.rows.size(), 3u * (1 + 2 + 3 + 5));
    for (size_t r = 0; r < t.rows.size();) {
        const std::string name = t.Text(r, "series");
        const int p = t.Integer(r, "p");
        const std::vector<double> acvf = SampleAcvf(ReferenceSeries(name), p);
        std::vector<double> G(kLd * p, -7.0), phi(p, -7.0);
        ASSERT_EQ(YuleWalkerFit(p, G.data(), acvf.data(), phi.data()), kStatusDone);
        for (int i = 0; i < p; ++i, ++r)
            EXPECT_NEAR(phi[i], t.Number(r, "phi"), 1e-10) << name << " p=" << p << " i=" << i;
        // G is the inverse of the autocorrelation matrix.
        for (int i = 0; i < p; ++i)
            for (int j = 0; j < p; ++j) {
                double s = 0.0;
                for (int l = 0; l < p; ++l) s += G[i + kLd * l] * acvf[std::abs(l - j)] / acvf[0];
                EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12);
            }
    }
}

TEST(YuleWalkerFit, OrderOneAndFailures)
{
    const double acvf[] = {2.0, 1.2};
    double G[kLd], phi = -7.0;
    ASSERT_EQ(YuleWalkerFit(1, G, acvf, &phi), kStatusDone);
    EXPECT_DOUBLE_EQ(G[0], 1.0);
    EXPECT_DOUBLE_EQ(phi, 0.6);

    // gamma(0) = 0 (constant series) and a non-positive-definite "ACVF" are reported.
    const double zero[] = {0.0, 0.0, 0.0};
    const double invalid[] = {1.0, 1.0, 0.2};
    double G2[kLd * 2], phi2[2] = {-7.0, -7.0};
    EXPECT_EQ(YuleWalkerFit(2, G2, zero, phi2), kStatusDegenerate);
    EXPECT_EQ(YuleWalkerFit(2, G2, invalid, phi2), kStatusInversionFailed);
    EXPECT_EQ(phi2[0], -7.0);
    EXPECT_EQ(YuleWalkerFit(0, G2, acvf, phi2), kStatusBadArgument);
    EXPECT_EQ(YuleWalkerFit(55, G2, acvf, phi2), kStatusBadArgument);
}

// Against R: the same long autoregression and the stated least-squares design solved by QR.
// Tolerance 1e-9 relative: QR and the normal equations agree to about cond(Z'Z)·1e-16.
TEST(HannanRissanenFit, MatchesLeastSquaresOfTheDesign)
{
    const ReferenceTable t = ReadReferenceTable("hannan_rissanen_reference.csv");
    ASSERT_EQ(t.rows.size(), 2u + 3u + 2u + 2u + 3u);
    for (size_t r = 0; r < t.rows.size();) {
        const std::string name = t.Text(r, "series");
        const int p = t.Integer(r, "p"), q = t.Integer(r, "q"), m = t.Integer(r, "m");
        std::vector<double> x = ReferenceSeries(name);
        const int n = static_cast<int>(x.size());
        SubtractMean(x.data(), n);
        const std::vector<double> acvf = SampleAcvf(x, m);
        std::vector<double> coef(p + q, -7.0), resid(n, -7.0), M(kLd * (p + q), -7.0);
        ASSERT_EQ(HannanRissanenFit(coef.data(), resid.data(), p, q, M.data(), acvf.data(), m,
                                    n, x.data()),
                  kStatusDone)
            << name;
        for (int t1 = 0; t1 < m; ++t1) EXPECT_EQ(resid[t1], 0.0);
        EXPECT_NEAR(resid[n - 1], t.Number(r, "resid_last"), 1e-10);
        for (int i = 0; i < p + q; ++i, ++r) {
            const double ref = t.Number(r, "coef"), diag = t.Number(r, "minv_diag");
            EXPECT_NEAR(coef[i], ref, 1e-9 * (1.0 + std::fabs(ref))) << name << " i=" << i;
            EXPECT_NEAR(M[i + kLd * i], diag, 1e-9 * diag) << name << " i=" << i;
        }
    }
}

TEST(HannanRissanenFit, RefusesOutOfRangeArgumentsAndReportsFailures)
{
    std::vector<double> x(200);
    for (int t = 0; t < 200; ++t) x[t] = std::sin(0.3 * t) + 0.5 * std::cos(1.7 * t + 0.2 * t * t);
    SubtractMean(x.data(), 200);
    const std::vector<double> acvf = SampleAcvf(x, 60);
    std::vector<double> coef(60, -7.0), resid(200, -7.0), M(kLd * kLd, -7.0);
    struct Case { int p, q, m, n; };
    const Case bad[] = {{0, 0, 5, 200}, {27, 0, 5, 200}, {1, 27, 5, 200}, {1, -1, 5, 200},
                        {1, 1, 0, 200}, {1, 1, 55, 200}, {2, 2, 10, 14}, {1, 1, 10, 12}};
    for (const Case& c : bad)
        EXPECT_EQ(HannanRissanenFit(coef.data(), resid.data(), c.p, c.q, M.data(), acvf.data(),
                                    c.m, c.n, x.data()),
                  kStatusBadArgument)
            << c.p << "," << c.q << "," << c.m << "," << c.n;
    EXPECT_EQ(coef[0], -7.0);
    EXPECT_EQ(resid[0], -7.0);

    // Exactly k equations: the smallest accepted sample; orders up to 26 with m = 54.
    EXPECT_EQ(HannanRissanenFit(coef.data(), resid.data(), 1, 1, M.data(), acvf.data(), 10, 13,
                                x.data()),
              kStatusDone);
    EXPECT_EQ(HannanRissanenFit(coef.data(), resid.data(), 26, 26, M.data(), acvf.data(), 54,
                                200, x.data()),
              kStatusDone);

    // A zero series: the long autoregression reports the degenerate variance.
    const std::vector<double> zeros(100, 0.0), zeroAcvf(11, 0.0);
    EXPECT_EQ(HannanRissanenFit(coef.data(), resid.data(), 1, 0, M.data(), zeroAcvf.data(), 10,
                                100, zeros.data()),
              kStatusDegenerate);

    // Lagged regressors that coincide make the cross-product matrix singular: AR(2) design
    // on a series that is constant after the long-AR stage.
    std::vector<double> flat(60, 1.0);
    const double flatAcvf[] = {1.0, 0.5, 0.25};
    EXPECT_EQ(HannanRissanenFit(coef.data(), resid.data(), 2, 0, M.data(), flatAcvf, 2, 60,
                                flat.data()),
              kStatusInversionFailed);
}
