// The minimiser on the exact Gaussian likelihood of ARMA models, against R's arima(method = "ML")
// (tables from scripts/reference/minimiser_ml.R and scripts/reference/seasonal_models.R).
#include "numerics/arma_acvf.h"
#include "numerics/innovations.h"
#include "numerics/minimiser.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// Maps the free parameters to the p + q coefficients; empty: every coefficient is free.
using ExpandCoefficients = std::function<void(const double* free, double* coef)>;

// The reduced likelihood ln(S/n) + L/n, as the maximum likelihood command evaluates it: a
// non-causal autoregression, or a non-invertible moving average when every coefficient is free,
// is penalised by half the size of the objective plus 0.01 on top of the last value.
class ReducedLikelihood {
public:
    ReducedLikelihood(const std::vector<double>& x, int p, int q, ExpandCoefficients expand = {})
        : x_(x), p_(p), q_(q), expand_(std::move(expand)), acvf_(60), K_(54 * 54),
          Theta_(54 * 54), resid_(1), mse_(1), fcst_(1), coef_(p + q)
    {
    }

    void operator()(int32_t, const double* free, double& f)
    {
        const double* coef = free;
        if (expand_) {
            expand_(free, coef_.data());
            coef = coef_.data();
        }
        const int n = static_cast<int>(x_.size());
        int status = kStatusDone;
        if (q_ > 0) ArmaAcvf(2, kArmaAcvfTestInvertible, acvf_.data(), status, 1.0, coef, p_, q_);
        const bool invertible = status == kStatusDone || expand_;
        status = kStatusDone;
        ArmaAcvf(std::max(p_, q_) + 1, kArmaAcvfCompute, acvf_.data(), status, 1.0, coef, p_, q_);
        double S = 0.0, L = 0.0;
        if (status == kStatusDone &&
            ArmaStateCovariance(acvf_.data(), p_, q_, coef, K_.data()) == kStatusDone) {
            int tconv = n;
            InnovationsLikelihood(-1, acvf_.data(), S, L, status, x_.data(), n, coef, p_, q_,
                                  K_.data(), 5e-5, tconv, Theta_.data(), resid_.data(), 0,
                                  mse_.data(), fcst_.data());
        } else {
            status = kStatusNotCausal;
        }
        if (status == kStatusDone) last_ = std::log(S / n) + L / n;
        if (status != kStatusDone || !invertible) last_ += 0.5 * std::fabs(last_) + 0.01;
        f = last_;
    }

private:
    const std::vector<double>& x_;
    int p_, q_;
    ExpandCoefficients expand_;
    std::vector<double> acvf_, K_, Theta_, resid_, mse_, fcst_, coef_;
    double last_ = 0.0;
};

}  // namespace

TEST(MinimiserMaximumLikelihood, MatchesRArima)
{
    const ReferenceTable series = ReadReferenceTable("ml_fit_series.csv");
    const ReferenceTable fits = ReadReferenceTable("ml_fit_reference.csv");
    ASSERT_GT(series.rows.size(), 400u);
    ASSERT_EQ(fits.rows.size(), 11u);

    for (size_t r = 0; r < fits.rows.size(); ++r) {
        const std::string name = fits.Text(r, "series");
        std::vector<double> x;
        for (size_t k = 0; k < series.rows.size(); ++k)
            if (series.Text(k, "series") == name) x.push_back(series.Number(k, "value"));
        const int n = static_cast<int>(x.size());
        const int p = fits.Integer(r, "p"), q = fits.Integer(r, "q"), m = p + q;
        const std::vector<double> expect = fits.List(r, "coef");
        ASSERT_EQ(static_cast<int>(expect.size()), m);

        ReducedLikelihood objective(x, p, q);
        std::vector<double> start(m, 0.001), coef(m), gradient(m), a(54 * m), wrk(54 * 9);
        double reduced = 0.0;
        int32_t code = 0, iterations = 0;
        std::string progress;
        SetMinimiserOutput(&progress);
        MinimiseObjective(54, m, start.data(), 1e-8, 100, std::ref(objective), coef.data(), reduced,
                          gradient.data(), code, a.data(), wrk.data(), iterations);
        SetMinimiserOutput(nullptr);

        const std::string label = name + " ARMA(" + std::to_string(p) + "," + std::to_string(q) + ")";
        EXPECT_TRUE(code == kStopGradient || code == kStopStep || code == kStopLineSearch)
            << label << " stop code " << code;
        for (int i = 0; i < m; ++i) EXPECT_NEAR(coef[i], expect[i], 1e-3) << label << " coef " << i;
        const double minus2 = n * (std::log(6.283185307179586) + reduced + 1.0);
        const double want = fits.Number(r, "minus2loglik");
        EXPECT_NEAR(minus2, want, 1e-6 * want) << label;
    }
}

// The airline model, an MA(13) with theta1 and theta12 free and theta13 = theta1·theta12, on the
// logged, twice differenced AirPassengers series. Its recursion settles only at the seasonal lag;
// a likelihood frozen too early moves the optimum of theta12 by 0.06.
TEST(MinimiserMaximumLikelihood, AirlineModelMatchesRArima)
{
    const std::vector<double> x = ReferenceSeries("airline", "seasonal_series.csv");
    const ReferenceTable fit = ReadReferenceTable("airline_fit_reference.csv");
    ASSERT_EQ(x.size(), 131u);
    ASSERT_EQ(fit.rows.size(), 1u);
    const int n = static_cast<int>(x.size());

    ReducedLikelihood objective(x, 0, 13, [](const double* free, double* coef) {
        std::fill(coef, coef + 13, 0.0);
        coef[0] = free[0];
        coef[11] = free[1];
        coef[12] = free[0] * free[1];
    });
    std::vector<double> start(2, 0.001), est(2), gradient(2), a(54 * 2), wrk(54 * 9);
    double reduced = 0.0;
    int32_t code = 0, iterations = 0;
    std::string progress;
    SetMinimiserOutput(&progress);
    MinimiseObjective(54, 2, start.data(), 1e-8, 100, std::ref(objective), est.data(), reduced,
                      gradient.data(), code, a.data(), wrk.data(), iterations);
    SetMinimiserOutput(nullptr);

    EXPECT_TRUE(code == kStopGradient || code == kStopStep || code == kStopLineSearch)
        << "stop code " << code;
    EXPECT_NEAR(est[0], fit.Number(0, "theta1"), 1e-3);
    EXPECT_NEAR(est[1], fit.Number(0, "theta12"), 1e-3);
    const double minus2 = n * (std::log(6.283185307179586) + reduced + 1.0);
    const double want = fit.Number(0, "minus2loglik");
    EXPECT_NEAR(minus2, want, 1e-6 * std::fabs(want));
}
