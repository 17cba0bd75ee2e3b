#include "numerics/acf.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct AcfResult {
    int status;
    int L;
    double gamma0;
    std::vector<double> acf, pacf, work;
};

AcfResult RunSampleAcf(const std::vector<double>& x, int L, size_t arrayLength)
{
    AcfResult r{0, L, -1.0, std::vector<double>(arrayLength, -7.0),
                std::vector<double>(arrayLength, -7.0), std::vector<double>(x.size(), -7.0)};
    r.status = SampleAcfPacf(r.gamma0, static_cast<int>(x.size()), x.data(), r.acf.data(),
                             r.pacf.data(), r.L, r.work.data());
    return r;
}

}  // namespace

// R acf(demean = TRUE) with divisor n, and R pacf, to lag 20. Tolerance 1e-12: both sides form
// the same sums in double precision; only the order of rounding differs.
TEST(SampleAcfPacf, MatchesReferenceTable)
{
    const ReferenceTable t = ReadReferenceTable("acf_reference.csv");
    ASSERT_EQ(t.rows.size(), 3u * 21u);
    for (const std::string name : {"lh", "LakeHuron", "sim_ar2"}) {
        const std::vector<double> x = ReferenceSeries(name);
        ASSERT_GT(x.size(), 40u) << name;
        const AcfResult r = RunSampleAcf(x, 20, 21);
        ASSERT_EQ(r.status, kStatusDone) << name;
        EXPECT_EQ(r.L, 20);
        for (size_t row = 0; row < t.rows.size(); ++row) {
            if (t.Text(row, "series") != name) continue;
            const int lag = t.Integer(row, "lag");
            EXPECT_NEAR(r.gamma0, t.Number(row, "gamma0"), 1e-12 * t.Number(row, "gamma0"));
            EXPECT_NEAR(r.acf[lag], t.Number(row, "acf"), 1e-12) << name << " lag " << lag;
            EXPECT_NEAR(r.pacf[lag], t.Number(row, "pacf"), 1e-12) << name << " lag " << lag;
        }
    }
}

TEST(SampleAcfPacf, SmallSeriesUsesDivisorNAndLagsUpToNMinusOne)
{
    const std::vector<double> x = {1.0, 2.0, 3.0};
    const AcfResult r = RunSampleAcf(x, 2, 3);
    ASSERT_EQ(r.status, kStatusDone);
    EXPECT_DOUBLE_EQ(r.gamma0, 2.0 / 3.0);
    const double expectedAcf[] = {1.0, 0.0, -0.5};
    for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(r.acf[k], expectedAcf[k]) << k;
    EXPECT_DOUBLE_EQ(r.pacf[0], 1.0);
    EXPECT_DOUBLE_EQ(r.pacf[1], 0.0);
    EXPECT_DOUBLE_EQ(r.pacf[2], -0.5);
    EXPECT_EQ(x, (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(r.work, (std::vector<double>{-1.0, 0.0, 1.0}));

    // Lags past n - 1 have no products, yet cost L^2 in the recursion: refused, nothing written.
    for (int L : {3, 200000}) {
        const AcfResult beyond = RunSampleAcf(x, L, 1);
        EXPECT_EQ(beyond.status, kStatusBadArgument) << L;
        EXPECT_EQ(beyond.acf, std::vector<double>{-7.0});
    }
}

TEST(SampleAcfPacf, NonPositiveLagCountBecomesForty)
{
    std::vector<double> x(60);
    for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.7 * i) + 0.01 * i;
    for (int L : {0, -3}) {
        const AcfResult r = RunSampleAcf(x, L, 41);
        EXPECT_EQ(r.status, kStatusDone);
        EXPECT_EQ(r.L, 40);
        EXPECT_DOUBLE_EQ(r.acf[0], 1.0);
        EXPECT_DOUBLE_EQ(r.pacf[1], r.acf[1]);
        EXPECT_NE(r.acf[40], -7.0);
        EXPECT_NE(r.pacf[40], -7.0);
    }
}

// A constant series has gamma(0) = 0: reported, no NaN. Constants whose mean does not round
// back to the value itself (0.1) must be caught too.
TEST(SampleAcfPacf, ConstantAndEmptySeriesReportAStatus)
{
    const std::vector<std::vector<double>> constants = {
        std::vector<double>(10, 5.0), std::vector<double>(7, 0.1), std::vector<double>(5, 1e-200)};
    for (const std::vector<double>& x : constants) {
        const AcfResult r = RunSampleAcf(x, 4, 5);
        EXPECT_EQ(r.status, kStatusDegenerate) << x.size();
        EXPECT_EQ(r.gamma0, 0.0);
        EXPECT_EQ(r.acf, (std::vector<double>{1, 0, 0, 0, 0}));
        EXPECT_EQ(r.pacf, (std::vector<double>{1, 0, 0, 0, 0}));
    }
    const AcfResult one = RunSampleAcf({2.0}, 0, 41);  // no lag exists in one value
    EXPECT_EQ(one.status, kStatusBadArgument);
    const AcfResult empty = RunSampleAcf({}, 0, 41);
    EXPECT_EQ(empty.status, kStatusBadArgument);
    EXPECT_EQ(empty.L, 40);
}

// Deviations whose squares overflow or vanish are correlated on a scaled copy: the
// autocorrelations are those of the same series at an ordinary scale, and only a variance that
// does not fit a double is reported.
TEST(SampleAcfPacf, ExtremeScalesKeepTheirAutocorrelations)
{
    const std::vector<double> base = {1.0, 3.0, 2.0, 5.0, 4.0, 4.5, 1.5};
    const AcfResult plain = RunSampleAcf(base, 5, 6);
    ASSERT_EQ(plain.status, kStatusDone);
    const struct {
        double scale;
        int status;
    } cases[] = {{0x1p700, kStatusOutOfRange}, {0x1p-600, kStatusOutOfRange}, {0x1p450, kStatusDone},
                 {0x1p-450, kStatusDone}};
    for (const auto& c : cases) {
        std::vector<double> x = base;
        for (double& v : x) v *= c.scale;
        const AcfResult r = RunSampleAcf(x, 5, 6);
        EXPECT_EQ(r.status, c.status) << c.scale;
        for (int k = 0; k < 6; ++k) {
            EXPECT_NEAR(r.acf[k], plain.acf[k], 1e-14) << c.scale << " lag " << k;
            EXPECT_NEAR(r.pacf[k], plain.pacf[k], 1e-14) << c.scale << " lag " << k;
        }
        if (c.status == kStatusDone) {
            EXPECT_NEAR(r.gamma0 / (c.scale * c.scale), plain.gamma0, 1e-14 * plain.gamma0);
        }
    }
}

// The Durbin-Levinson recursion on the exact ACF of an AR(2) returns phi2 at lag 2 and zero
// beyond; pacf(1) = rho(1).
TEST(DurbinLevinson, ExactAr2AutocorrelationsCutOffAfterLagTwo)
{
    const double phi1 = 0.6, phi2 = -0.3;
    const int m = 12;
    std::vector<double> r(m);
    r[0] = 1.0;
    r[1] = phi1 / (1.0 - phi2);
    for (int h = 2; h < m; ++h) r[h] = phi1 * r[h - 1] + phi2 * r[h - 2];
    r[0] = 123.0;  // not read
    std::vector<double> pacf(m, -7.0);
    ASSERT_EQ(DurbinLevinson(r.data(), m, pacf.data()), kStatusDone);
    EXPECT_DOUBLE_EQ(pacf[0], 1.0);
    EXPECT_DOUBLE_EQ(pacf[1], r[1]);
    EXPECT_NEAR(pacf[2], phi2, 1e-14);
    for (int h = 3; h < m; ++h) EXPECT_NEAR(pacf[h], 0.0, 1e-14) << h;
}

TEST(DurbinLevinson, EdgeAndDegenerateCases)
{
    // m = 2 writes exactly two elements.
    std::vector<double> r = {1.0, 0.4, 99.0};
    std::vector<double> pacf = {-7.0, -7.0, -7.0};
    ASSERT_EQ(DurbinLevinson(r.data(), 2, pacf.data()), kStatusDone);
    EXPECT_EQ(pacf, (std::vector<double>{1.0, 0.4, -7.0}));

    // |rho(1)| = 1: the one-step variance is zero, later lags are 0 rather than NaN.
    std::vector<double> ones(6, 1.0), out(6, -7.0);
    EXPECT_EQ(DurbinLevinson(ones.data(), 6, out.data()), kStatusDegenerate);
    EXPECT_EQ(out, (std::vector<double>{1.0, 1.0, 0.0, 0.0, 0.0, 0.0}));

    // An exactly predictable ACF (period-two alternation) degenerates after lag 1 as well.
    std::vector<double> alt = {1.0, -1.0, 1.0, -1.0};
    std::vector<double> outAlt(4, -7.0);
    EXPECT_EQ(DurbinLevinson(alt.data(), 4, outAlt.data()), kStatusDegenerate);
    for (double v : outAlt) EXPECT_TRUE(std::isfinite(v));

    std::vector<double> untouched(1, -7.0);
    EXPECT_EQ(DurbinLevinson(r.data(), 1, untouched.data()), kStatusBadArgument);
    EXPECT_EQ(untouched[0], -7.0);
}

TEST(SeriesMean, MeanAndSubtraction)
{
    std::vector<double> x = {2.0, 4.0, 9.0};
    EXPECT_DOUBLE_EQ(SeriesMean(x.data(), 3), 5.0);
    EXPECT_DOUBLE_EQ(SeriesMean(x.data(), 2), 3.0);
    EXPECT_EQ(SeriesMean(x.data(), 0), 0.0);
    SubtractMean(x.data(), 3);
    EXPECT_EQ(x, (std::vector<double>{-3.0, -1.0, 4.0}));
}
