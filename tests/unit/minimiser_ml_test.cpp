// The minimiser on the exact Gaussian likelihood of ARMA models, against R's arima(method = "ML")
// (tables from scripts/reference/minimiser_ml.R).
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
#include <vector>

namespace {

// The reduced likelihood ln(S/n) + L/n over all p + q coefficients, as the maximum likelihood
// command evaluates it: a non-causal autoregression or a non-invertible moving average is
// penalised by half the size of the objective plus 0.01 on top of the last value.
class ReducedLikelihood {
public:
    ReducedLikelihood(const std::vector<double>& x, int p, int q)
        : x_(x), p_(p), q_(q), acvf_(60), K_(54 * 54), Theta_(54 * 54), resid_(1), mse_(1), fcst_(1)
    {
    }

    void operator()(int32_t, const double* coef, double& f)
    {
        const int n = static_cast<int>(x_.size());
        int status = kStatusDone;
        if (q_ > 0) ArmaAcvf(2, kArmaAcvfTestInvertible, acvf_.data(), status, 1.0, coef, p_, q_);
        const bool invertible = status == kStatusDone;
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
    std::vector<double> acvf_, K_, Theta_, resid_, mse_, fcst_;
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
