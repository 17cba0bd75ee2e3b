#include "numerics/integrated_forecast.h"
#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// The airline model of log(AirPassengers), differenced at lags 1 and 12, against R
// (scripts/reference/seasonal_models.R): the psi-weights of ARMAtoMA and the summed squares at
// every step, and predict's forecast variances. predict conditions on the 144 observations and
// not on the infinite past, which puts it up to 1.2e-6 (relative) above the sum.
TEST(IntegratedForecast, AirlineModelMatchesR)
{
    const ReferenceTable ref = ReadReferenceTable("integrated_mse_reference.csv");
    ASSERT_EQ(ref.rows.size(), 24u);
    std::vector<double> theta(13, 0.0);
    theta[0] = ref.Number(0, "theta1");
    theta[11] = ref.Number(0, "theta12");
    theta[12] = theta[0] * theta[11];
    const int lags[] = {12, 1};
    const double sigma2 = 0.0013;

    std::vector<double> psi(24), mse(24);
    ASSERT_EQ(IntegratedPsiWeights(0, 13, theta.data(), 2, lags, 23, psi.data()), kStatusDone);
    ASSERT_EQ(IntegratedForecastMse(0, 13, theta.data(), 2, lags, sigma2, 24, mse.data()),
              kStatusDone);
    for (size_t r = 0; r < ref.rows.size(); ++r) {
        const int h = ref.Integer(r, "h");
        SCOPED_TRACE(h);
        EXPECT_NEAR(psi[h - 1], ref.Number(r, "psi"), 1e-12);
        const double sum = ref.Number(r, "psi_sum");
        EXPECT_NEAR(mse[h - 1] / sigma2, sum, 1e-12 * sum);
        if (h == 1 || h == 12 || h == 24) {
            const double want = ref.Number(r, "predict");
            EXPECT_NEAR(mse[h - 1] / sigma2, want, 2e-6 * want);
        }
    }
}

// Without differences the weights are those of the ARMA model; the differencing factors give
// the weights of a random walk and its sums in closed form.
TEST(IntegratedForecast, KnownWeights)
{
    struct Case {
        const char* name;
        std::vector<double> coef;
        int p, q;
        std::vector<int> lags;
        double (*psi)(int j);  // nullptr: PsiWeights of the ARMA model
    };
    const Case cases[] = {
        {"ARMA(2,1)", {1.1, -0.4, 0.3}, 2, 1, {}, nullptr},
        {"MA(2)", {0.5, -0.2}, 0, 2, {}, nullptr},
        {"random walk", {0.0}, 1, 0, {1}, [](int) { return 1.0; }},
        {"twice summed", {0.0}, 1, 0, {1, 1}, [](int j) { return j + 1.0; }},
        {"seasonal walk", {0.0}, 1, 0, {4}, [](int j) { return j % 4 == 0 ? 1.0 : 0.0; }},
        // (1 - 0.5B)^-1 (1 - B)^-1: psi(j) = 2 - 0.5^j.
        {"AR(1) summed", {0.5}, 1, 0, {1}, [](int j) { return 2.0 - std::pow(0.5, j); }},
        // (1 + 0.4B)/(1 - B): psi(j) = 1.4 beyond lag 0.
        {"IMA(1,1)", {0.4}, 0, 1, {1}, [](int j) { return j == 0 ? 1.0 : 1.4; }},
    };
    constexpr int L = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> psi(L + 1), want(L + 1), mse(L + 1);
        ASSERT_EQ(IntegratedPsiWeights(c.p, c.q, c.coef.data(), static_cast<int>(c.lags.size()),
                                       c.lags.data(), L, psi.data()),
                  kStatusDone);
        if (c.psi == nullptr) {
            ASSERT_EQ(PsiWeights(c.p, c.q, c.coef.data(), L, want.data()), kStatusDone);
        } else {
            for (int j = 0; j <= L; ++j) want[j] = c.psi(j);
        }
        double sum = 0.0;
        ASSERT_EQ(IntegratedForecastMse(c.p, c.q, c.coef.data(), static_cast<int>(c.lags.size()),
                                        c.lags.data(), 2.5, L + 1, mse.data()),
                  kStatusDone);
        for (int j = 0; j <= L; ++j) {
            EXPECT_NEAR(psi[j], want[j], 1e-12 * (1.0 + std::fabs(want[j]))) << j;
            sum += want[j] * want[j];
            EXPECT_NEAR(mse[j], 2.5 * sum, 1e-12 * 2.5 * sum) << j;
        }
    }
}

// Arguments out of range and non-finite values are refused and leave the outputs alone; an
// explosive autoregression that overflows is reported, not returned as a number.
TEST(IntegratedForecast, RefusesBadArguments)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> ma1 = {0.4};
    const int one[] = {1}, zero[] = {0};
    struct Case {
        const char* name;
        int p, q;
        std::vector<double> coef;
        int k;
        const int* lags;
        double sigma2;
        int h;
        int status;
        bool varianceOnly;  // the weights alone are fine
    };
    const Case cases[] = {
        {"p < 0", -1, 1, ma1, 1, one, 1.0, 5, kStatusBadArgument, false},
        {"q > 26", 0, 27, std::vector<double>(27, 0.0), 1, one, 1.0, 5, kStatusBadArgument, false},
        {"k < 0", 0, 1, ma1, -1, one, 1.0, 5, kStatusBadArgument, false},
        {"lag 0", 0, 1, ma1, 1, zero, 1.0, 5, kStatusBadArgument, false},
        {"no lags", 0, 1, ma1, 1, nullptr, 1.0, 5, kStatusBadArgument, false},
        {"h = 0", 0, 1, ma1, 1, one, 1.0, 0, kStatusBadArgument, false},
        {"NaN coefficient", 0, 1, {nan}, 1, one, 1.0, 5, kStatusBadArgument, false},
        {"infinite coefficient", 0, 1, {inf}, 1, one, 1.0, 5, kStatusBadArgument, false},
        {"NaN variance", 0, 1, ma1, 1, one, nan, 5, kStatusBadArgument, true},
        {"negative variance", 0, 1, ma1, 1, one, -1.0, 5, kStatusBadArgument, true},
        {"explosive AR", 1, 0, {2.0}, 1, one, 1.0, 1200, kStatusDegenerate, false},
        {"huge variance", 0, 1, ma1, 1, one, 1e308, 5, kStatusDegenerate, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> mse(std::max(c.h, 1), -7.0), psi(std::max(c.h, 1), -7.0);
        EXPECT_EQ(IntegratedForecastMse(c.p, c.q, c.coef.data(), c.k, c.lags, c.sigma2, c.h,
                                        mse.data()),
                  c.status);
        for (double v : mse) EXPECT_EQ(v, -7.0);
        if (c.varianceOnly) continue;
        EXPECT_EQ(IntegratedPsiWeights(c.p, c.q, c.coef.data(), c.k, c.lags, c.h - 1, psi.data()),
                  c.status);
        for (double v : psi) EXPECT_EQ(v, -7.0);
    }
}

}  // namespace
