#include "numerics/innovations.h"
#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kUnset = -777.0;

struct Outcome {
    int status = kStatusDone;
    int tconv = -1;
    double S = 0.0, L = 0.0;
    std::vector<double> acvf, K, Theta, resid, mse, fcst;
};

// What the model evaluation does: unit-variance autocovariances, the state covariance, then
// the recursion. Outputs not written keep kUnset.
Outcome Evaluate(const std::vector<double>& coef, int p, int q, const std::vector<double>& x, int h,
             double tol, int residFlag = 1)
{
    Outcome run;
    const int m = std::max(p, q);
    run.acvf.assign(m + 2, kUnset);
    int acvfStatus = kStatusDone;
    ArmaAcvf(m + 1, kArmaAcvfCompute, run.acvf.data(), acvfStatus, 1.0, coef.data(), p, q);
    EXPECT_EQ(acvfStatus, kStatusDone);
    run.K.assign(54 * 54, kUnset);
    EXPECT_EQ(ArmaStateCovariance(run.acvf.data(), p, q, coef.data(), run.K.data()),
              kStatusDone);
    run.Theta.assign(54 * 54, kUnset);
    const int n = static_cast<int>(x.size());
    run.resid.assign(n, kUnset);
    run.mse.assign(std::max(h, 1), kUnset);
    run.fcst.assign(std::max(h, 1), kUnset);
    InnovationsLikelihood(h, run.acvf.data(), run.S, run.L, run.status, x.data(), n, coef.data(),
                          p, q, run.K.data(), tol, run.tconv, run.Theta.data(), run.resid.data(),
                          residFlag, run.mse.data(), run.fcst.data());
    return run;
}

double Theta54(const Outcome& run, int l) { return run.Theta[53 + 54 * (l - 1)]; }

std::vector<double> ReferenceValues(const ReferenceTable& t, const std::string& id,
                                    const std::string& kind)
{
    std::vector<double> v;
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.Text(r, "id") == id && t.Text(r, "kind") == kind) v.push_back(t.Number(r, "value"));
    return v;
}

void ExpectClose(const std::vector<double>& got, const std::vector<double>& want, size_t count,
                 double rel, const std::string& what)
{
    ASSERT_GE(got.size(), count) << what;
    ASSERT_EQ(want.size(), count) << what;
    for (size_t i = 0; i < count; ++i)
        EXPECT_NEAR(got[i], want[i], rel * (1.0 + std::fabs(want[i]))) << what << " at " << i + 1;
}

// Exact likelihood, residuals, forecasts and their errors against R's Kalman filter (arima with
// fixed coefficients and predict), once with a tolerance that never freezes before the end and
// once with the estimation commands' 5e-5.
TEST(InnovationsLikelihood, MatchesExactGaussianLikelihood)
{
    const ReferenceTable models = ReadReferenceTable("innovations_models.csv");
    const ReferenceTable values = ReadReferenceTable("innovations_reference.csv");
    ASSERT_GE(models.rows.size(), 10u);
    for (size_t row = 0; row < models.rows.size(); ++row) {
        const std::string id = models.Text(row, "id");
        const int p = models.Integer(row, "p"), q = models.Integer(row, "q");
        const int h = models.Integer(row, "h");
        const std::vector<double> coef = models.List(row, "coef");
        const std::vector<double> x = ReferenceSeries(models.Text(row, "series"), "innovations_series.csv");
        const double n = static_cast<double>(x.size());
        for (double tol : {1e-14, 5e-5}) {
            SCOPED_TRACE(id + " tol " + std::to_string(tol));
            // The freeze fixes coefficients that still move by up to tol every step.
            const double agree = tol < 1e-10 ? 1e-9 : 5e-3;
            // Likelihood and residuals come from the run without forecasts (q >= 1 with h > 0
            // leaves the residuals alone).
            const Outcome fit = Evaluate(coef, p, q, x, -1, tol);
            ASSERT_EQ(fit.status, kStatusDone);
            EXPECT_NEAR(std::log(fit.S / n) + fit.L / n, models.Number(row, "redlik"), agree);
            EXPECT_NEAR(fit.S / n, models.Number(row, "sigma2"),
                        agree * models.Number(row, "sigma2"));
            ExpectClose(fit.resid, ReferenceValues(values, id, "resid"), x.size(), agree,
                        "resid");

            const Outcome fc = Evaluate(coef, p, q, x, h, tol);
            ASSERT_EQ(fc.status, kStatusDone);
            ExpectClose(fc.fcst, ReferenceValues(values, id, "fcst"), h, agree, "fcst");
            ExpectClose(fc.mse, ReferenceValues(values, id, "mse"), h, agree, "mse");
        }
    }
}

TEST(InnovationsLikelihood, Ar1HandExample)
{
    const Outcome run = Evaluate({0.5}, 1, 0, {1.0, 2.0, 3.0}, 2, 1e-8);
    EXPECT_EQ(run.status, kStatusDone);
    EXPECT_DOUBLE_EQ(run.K[0], 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(run.S, 7.0);
    EXPECT_DOUBLE_EQ(run.L, std::log(4.0 / 3.0));
    EXPECT_DOUBLE_EQ(run.resid[0], 1.0 / std::sqrt(4.0 / 3.0));
    EXPECT_DOUBLE_EQ(run.resid[1], 1.5);  // q = 0: residuals are written even with h > 0
    EXPECT_DOUBLE_EQ(run.resid[2], 2.0);
    EXPECT_DOUBLE_EQ(run.fcst[0], 1.5);
    EXPECT_DOUBLE_EQ(run.fcst[1], 0.75);
    const double sigma2 = 7.0 / 3.0;
    EXPECT_DOUBLE_EQ(run.mse[0], sigma2);
    EXPECT_DOUBLE_EQ(run.mse[1], sigma2 * 1.25);
    EXPECT_EQ(run.tconv, -1);
}

// The non-invertible MA(1) with theta1 = 2 on an all-zero series: S = 0, r(t) falls from 5
// towards 4, and row 54 approaches the invertible coefficient 0.5.
TEST(InnovationsLikelihood, NonInvertibleMa1OnZeroSeriesGivesInvertibleCoefficient)
{
    const std::vector<double> zeros(400, 0.0);
    const Outcome run = Evaluate({2.0}, 0, 1, zeros, -1, 1e-10);
    ASSERT_EQ(run.status, kStatusDegenerate);  // S = 0: no likelihood, but the weights stand
    EXPECT_EQ(run.S, 0.0);
    EXPECT_NEAR(Theta54(run, 1), 0.5, 1e-9);
    EXPECT_GT(run.tconv, 2);
    EXPECT_LT(run.tconv, 400);
    // r(t) = 4 + 3/(4^t - 1) in closed form (theta = 2): L is the sum of their logarithms.
    double L = 0.0;
    for (int t = 1; t <= 400; ++t) L += std::log(4.0 + 3.0 / (std::pow(4.0, t) - 1.0));
    EXPECT_NEAR(run.L, L, 1e-8);

    // Row 54 by hand for a short run that cannot freeze: theta(t,1) = g(1)/r(t-1),
    // r(t) = g(0) - theta(t,1)^2 r(t-1), from r(1) = 5.
    const Outcome shortRun = Evaluate({2.0}, 0, 1, std::vector<double>(4, 0.0), -1, 1e-10);
    double r = 5.0, theta = 0.0;
    for (int t = 2; t <= 4; ++t) {
        theta = 2.0 / r;
        r = 5.0 - theta * theta * r;
    }
    EXPECT_DOUBLE_EQ(Theta54(shortRun, 1), theta);
    EXPECT_EQ(shortRun.tconv, -1);
}

// The recursion may freeze only after 2m + 2w, w = max(q,1): a huge tolerance freezes at that
// first verdict once the changes shrink, whatever the model.
TEST(InnovationsLikelihood, FirstFreezeTime)
{
    const std::vector<double> x = ReferenceSeries("s_arma22", "innovations_series.csv");
    struct Case { std::vector<double> coef; int p, q, firstVerdict; };
    const Case cases[] = {{{0.4}, 0, 1, 5}, {{0.5, 0.3}, 1, 1, 5}, {{0.7, -0.2}, 0, 2, 9},
                          {{0.5, -0.2, 0.1, 0.4, 0.2, 0.1}, 3, 3, 13},
                          {{0.1, 0.1, 0.1, 0.1, 0.1}, 0, 5, 21}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "p=" << c.p << " q=" << c.q);
        EXPECT_EQ(Evaluate(c.coef, c.p, c.q, x, -1, 1e6).tconv, c.firstVerdict);
        EXPECT_GE(Evaluate(c.coef, c.p, c.q, x, -1, 5e-5).tconv, c.firstVerdict);
    }
}

std::vector<double> SeasonalMa(double theta1, double thetaS, int s)
{
    std::vector<double> theta(s + 1, 0.0);
    theta[0] = theta1;
    theta[s - 1] = thetaS;
    theta[s] = theta1 * thetaS;
    return theta;
}

// At the estimation commands' tolerance the frozen recursion gives the likelihood of the run
// that never freezes (a negative tolerance), to the minimiser's noise level. Seasonal moving
// averages hold still within a season and move again at the seasonal lag, which a test over one
// step mistakes for convergence; near non-invertibility the recursion settles slowly and the
// step-to-step change understates what is still to come.
TEST(InnovationsLikelihood, FreezeKeepsLikelihoodOfUnfrozenRun)
{
    const std::vector<double> airline = ReferenceSeries("airline", "seasonal_series.csv");
    const std::vector<double> ma1Near = ReferenceSeries("ma1_near", "seasonal_series.csv");
    const std::vector<double> arma22 = ReferenceSeries("s_arma22", "innovations_series.csv");
    ASSERT_EQ(airline.size(), 131u);
    ASSERT_EQ(ma1Near.size(), 400u);
    // AR(1) x seasonal AR(1): (1 + 0.35 B)(1 + 0.45 B^12) as an AR(13).
    std::vector<double> sar(13, 0.0);
    sar[0] = -0.35;
    sar[11] = -0.45;
    sar[12] = -0.35 * 0.45;
    std::vector<double> ma12(12, 0.0);
    ma12[11] = -0.55;
    struct Case {
        const char* name;
        std::vector<double> coef;
        int p, q;
        const std::vector<double>& x;
        bool freezes;  // the series is long enough for the recursion to settle
    };
    const Case cases[] = {
        {"airline MA(13)", SeasonalMa(-0.3997929917, -0.5544577321, 12), 0, 13, airline, false},
        {"seasonal MA(12)", ma12, 0, 12, airline, false},
        {"seasonal AR(13)", sar, 13, 0, airline, false},
        {"ARMA(2,2)", {1.1, -0.4, -0.3, 0.2}, 2, 2, arma22, true},
        {"MA(1) near non-invertible", {-0.95}, 0, 1, ma1Near, true},
        {"MA(1) on a long series", {0.5}, 0, 1, ma1Near, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double n = static_cast<double>(c.x.size());
        const Outcome exact = Evaluate(c.coef, c.p, c.q, c.x, -1, -1.0);
        const Outcome settled = Evaluate(c.coef, c.p, c.q, c.x, -1, 5e-5);
        ASSERT_EQ(exact.status, kStatusDone);
        ASSERT_EQ(settled.status, kStatusDone);
        EXPECT_EQ(exact.tconv, -1);
        EXPECT_EQ(settled.tconv > 0, c.freezes) << "tconv " << settled.tconv;
        EXPECT_NEAR(std::log(settled.S / n) + settled.L / n, std::log(exact.S / n) + exact.L / n,
                    1e-7);
    }
}

// On an all-zero series the settled row 54 is the invertible moving average with the same
// autocovariances: for a seasonal model (1 + aB)(1 + bB^12) with |b| > 1 that is
// (1 + aB)(1 + B^12/b). A freeze before the recursion has settled returns other coefficients.
TEST(InnovationsLikelihood, SeasonalModelOnZeroSeriesSettlesAtInvertibleCoefficients)
{
    const std::vector<double> zeros(2200, 0.0);
    struct Case { double a, b; };
    for (const Case& c : {Case{0.0, -0.55}, Case{-0.4, -0.55}, Case{0.0, -1.0 / 0.7},
                          Case{-0.4, 1.0 / 0.6}}) {
        SCOPED_TRACE(testing::Message() << "a=" << c.a << " b=" << c.b);
        const std::vector<double> coef = SeasonalMa(c.a, c.b, 12);
        const std::vector<double> want =
            SeasonalMa(c.a, std::fabs(c.b) > 1.0 ? 1.0 / c.b : c.b, 12);
        const Outcome run = Evaluate(coef, 0, 13, zeros, -1, 1e-5);
        ASSERT_EQ(run.status, kStatusDegenerate);  // S = 0: no likelihood, but the weights stand
        EXPECT_GT(run.tconv, 0);
        for (int l = 1; l <= 13; ++l) EXPECT_NEAR(Theta54(run, l), want[l - 1], 1e-6) << l;
    }
}

// Forecasts beyond 54 steps repeat the error of step 54 (n = 2m is in the reference table).
// h <= 0 leaves fcst and mse alone; q >= 1 with h > 0 leaves resid alone.
TEST(InnovationsLikelihood, ForecastEdges)
{
    const std::vector<double> series = ReferenceSeries("s_arma22", "innovations_series.csv");
    // Near a unit root the error still grows at step 54.
    const Outcome longRun = Evaluate({0.99, 0.3}, 1, 1, series, 60, 1e-9);
    ASSERT_EQ(longRun.status, kStatusDone);
    for (int k = 55; k <= 60; ++k) EXPECT_EQ(longRun.mse[k - 1], longRun.mse[53]) << k;
    EXPECT_GT(longRun.mse[53], longRun.mse[52] * 1.001);
    for (double v : longRun.resid) EXPECT_EQ(v, kUnset);

    for (int h : {0, -1}) {
        const Outcome none = Evaluate({1.1, -0.4, -0.3, 0.2}, 2, 2, series, h, 1e-9);
        EXPECT_EQ(none.mse[0], kUnset);
        EXPECT_EQ(none.fcst[0], kUnset);
        EXPECT_NE(none.resid[0], kUnset);
    }
    const Outcome noResid = Evaluate({1.1, -0.4, -0.3, 0.2}, 2, 2, series, -1, 1e-9, 0);
    EXPECT_EQ(noResid.resid[0], kUnset);
}

// A non-positive one-step variance stops the run with status -1 and leaves the outputs alone.
TEST(InnovationsLikelihood, NonPositiveVarianceFails)
{
    const std::vector<double> x = {1.0, -1.0, 0.5, 0.3, -0.2, 0.1};
    std::vector<double> acvf = {1.0, 0.0}, Theta(54 * 54, 0.0), resid(6, kUnset), mse(2, kUnset),
                        fcst(2, kUnset);
    // K(1,1) = 1, K(2,1) = 1, K(2,2) = 1: X(2) is exactly X(1), so r(2) = 0.
    std::vector<double> K(54 * 54, 0.0);
    K[0] = 1.0;
    K[1] = 1.0;
    K[55] = 1.0;
    double S = 0.0, L = 0.0;
    int status = kStatusDone, tconv = -1;
    const double coef[] = {0.0};
    InnovationsLikelihood(2, acvf.data(), S, L, status, x.data(), 6, coef, 1, 0, K.data(), 1e-8,
                          tconv, Theta.data(), resid.data(), 1, mse.data(), fcst.data());
    EXPECT_EQ(status, kStatusNotCausal);
    EXPECT_EQ(resid[0], kUnset);
    EXPECT_EQ(mse[0], kUnset);
    EXPECT_EQ(fcst[0], kUnset);

    K[0] = 0.0;
    status = kStatusDone;
    InnovationsLikelihood(2, acvf.data(), S, L, status, x.data(), 6, coef, 1, 0, K.data(), 1e-8,
                          tconv, Theta.data(), resid.data(), 1, mse.data(), fcst.data());
    EXPECT_EQ(status, kStatusNotCausal);
}

// A coefficient sum above 1e12 gives the error 1e24 (not scaled by sigma2). For a pure AR model
// the sums are the weights chi(j) of 1/phi(z), here phi^j: with phi = 10 they reach exactly
// 1e12 at j = 12 (the step still counts) and 1e13 at j = 13; with phi = 2, 2^39 < 1e12 < 2^40.
// Below the limit, mse(k) = sigma2·(chi(0)^2 + ... + chi(k-1)^2).
TEST(PredictorMse, CoefficientSumLimit)
{
    struct Case {
        double phi;
        int lastNormal;  // the last step whose sums stay within the limit
    };
    const std::vector<double> Theta(54 * 54, 0.0), r(80, 1.0);
    const double sigma2 = 2.0;
    for (const Case& c : {Case{10.0, 13}, Case{2.0, 40}}) {
        SCOPED_TRACE(c.phi);
        std::vector<double> mse(c.lastNormal + 1, kUnset), chi(c.lastNormal + 2);
        for (int k = c.lastNormal; k <= c.lastNormal + 1; ++k)
            PredictorMse(k, Theta.data(), sigma2, r.data(), 10, 1, 0, &c.phi, mse.data(), chi.data());
        double sum = 0.0;
        for (int j = 0; j < c.lastNormal; ++j) sum += std::pow(c.phi, 2.0 * j);
        EXPECT_NEAR(mse[c.lastNormal - 1], sigma2 * sum, 1e-12 * sigma2 * sum);
        EXPECT_EQ(mse[c.lastNormal], 1e24);
    }
}

}  // namespace
