#include "univariate/forecast_engines.h"

#include "numerics/arar.h"
#include "numerics/holt_winters.h"
#include "numerics/status.h"
#include "tests/unit/test_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kUntouched = -777.0;

// Period-15 seasonal random walk integrated three times: shortening reaches D = 45.
std::vector<double> DeepMemory(int n)
{
    std::vector<double> x = WhiteNoise(n, 5);
    for (int r = 0; r < 3; ++r)
        for (int t = 15; t < n; ++t) x[t] += x[t - 15];
    return x;
}

void ExpectOnlyRangeWritten(const std::vector<double>& out, int from, int to)
{
    for (int i = 1; i <= static_cast<int>(out.size()); ++i)
        if (i < from || i > to) {
            EXPECT_EQ(out[i - 1], kUntouched) << i;
        }
}

// Bitwise snapshot of the ARAR results of the record.
struct ArarSnapshot {
    std::vector<double> forecasts;
    double shortening[50], filter[72], coef[4], rootMse;
    int32_t degree, lags[4];

    explicit ArarSnapshot(const UnivariateProject& u) : forecasts(u.ararForecasts)
    {
        std::memcpy(shortening, u.ararShortening, sizeof shortening);
        std::memcpy(filter, u.ararFilter, sizeof filter);
        std::memcpy(coef, u.ararSubsetCoef, sizeof coef);
        std::memcpy(lags, u.ararLags, sizeof lags);
        rootMse = u.ararRootMse;
        degree = u.ararDegree;
    }
    bool operator==(const ArarSnapshot& o) const
    {
        return forecasts == o.forecasts
               && !std::memcmp(shortening, o.shortening, sizeof shortening)
               && !std::memcmp(filter, o.filter, sizeof filter)
               && !std::memcmp(coef, o.coef, sizeof coef) && !std::memcmp(lags, o.lags, sizeof lags)
               && rootMse == o.rootMse && degree == o.degree;
    }
};

}  // namespace

// The engine stores what the kernels compute over ararFirst..ararLast, and the whitening
// filter reaches lag L + D = 26 + 45 = 71.
TEST(ArarEngine, StoresFitOfTheStretch)
{
    const std::vector<double> x = DeepMemory(260);
    UnivariateProject u;
    u.ararFirst = 11;
    u.ararLast = 250;
    u.ararCount = 12;
    u.ararCriterion = 2;
    u.ararOption = 0;
    u.ararForecasts.assign(270, kUntouched);
    ASSERT_EQ(ArarEngine(u, x.data(), 260), kStatusDone);

    const double* Y = x.data() + 10;
    std::vector<double> psi;
    ASSERT_EQ(ArarMemoryShortening(Y, 240, psi), kStatusDone);
    ArarFitResult fit;
    ASSERT_EQ(ArarSubsetFit(Y, 240, psi, 2, fit), kStatusDone);
    std::vector<double> F(12);
    ASSERT_EQ(ArarForecast(Y, 240, fit, 12, F.data()), kStatusDone);

    ASSERT_EQ(u.ararDegree, 45);
    for (int k = 0; k <= 45; ++k) EXPECT_EQ(u.ararShortening[k], psi[k]) << k;
    ASSERT_EQ(fit.xi.size(), 72u);
    for (int k = 0; k <= 71; ++k) EXPECT_EQ(u.ararFilter[k], fit.xi[k]) << k;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(u.ararLags[i], fit.lags[i]);
        EXPECT_EQ(u.ararSubsetCoef[i], fit.coef[i]);
    }
    EXPECT_EQ(u.ararRootMse, fit.rootMse);
    for (int i = 11; i <= 250; ++i) EXPECT_EQ(u.ararForecasts[i - 1], x[i - 1]);
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(u.ararForecasts[250 + k - 1], F[k - 1]);
    ExpectOnlyRangeWritten(u.ararForecasts, 11, 262);
}

TEST(ArarEngine, ShorteningFieldsFollowTheRequest)
{
    const std::vector<double> x = WhiteNoise(80, 3);
    UnivariateProject u;
    u.ararFirst = 1;
    u.ararLast = 80;
    u.ararCount = 5;
    u.ararForecasts.assign(85, kUntouched);
    std::fill(std::begin(u.ararShortening), std::end(u.ararShortening), 9.0);
    u.ararDegree = 7;

    // Not requested: the previous shortening stays; the fit runs with D = 0.
    u.ararOption = 1;
    ASSERT_EQ(ArarEngine(u, x.data(), 80), kStatusDone);
    EXPECT_EQ(u.ararDegree, 7);
    EXPECT_EQ(u.ararShortening[0], 9.0);
    EXPECT_EQ(u.ararFilter[0], 1.0);
    EXPECT_EQ(u.ararFilter[1], -u.ararSubsetCoef[0]);

    // Requested on white noise: none needed, degree 0 and psi = 1.
    u.ararOption = 0;
    ASSERT_EQ(ArarEngine(u, x.data(), 80), kStatusDone);
    EXPECT_EQ(u.ararDegree, 0);
    EXPECT_EQ(u.ararShortening[0], 1.0);
    EXPECT_EQ(u.ararShortening[1], 9.0);
}

// Every refusal leaves the record as it was.
TEST(ArarEngine, RefusalsLeaveTheRecord)
{
    // Period 13 over 30 points: one lag-13 filter leaves L = 3.
    const std::vector<double> p13 = PeriodicSeries(13, 30, 0.01, 9);
    const std::vector<double> constant(40, 1.25), noise = WhiteNoise(40, 4);

    struct Case {
        const char* what;
        const std::vector<double>* x;
        int first, last, count, criterion, option;
        size_t size;
        int status;
    };
    const Case cases[] = {
        {"L < 4 after shortening", &p13, 1, 30, 5, 1, 0, 35, kArarTooFewLags},
        {"constant, shortening", &constant, 1, 40, 5, 1, 0, 45, kStatusDegenerate},
        {"constant, no shortening", &constant, 1, 40, 5, 1, 1, 45, kStatusDegenerate},
        {"29 observations", &noise, 2, 30, 5, 1, 0, 45, kStatusBadArgument},
        {"last beyond the series", &noise, 1, 41, 5, 1, 0, 46, kStatusBadArgument},
        {"no forecasts", &noise, 1, 40, 0, 1, 0, 45, kStatusBadArgument},
        {"criterion 4", &noise, 1, 40, 5, 4, 0, 45, kStatusBadArgument},
        {"forecast vector short", &noise, 1, 40, 5, 1, 0, 44, kStatusBadArgument},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        u.ararFirst = c.first;
        u.ararLast = c.last;
        u.ararCount = c.count;
        u.ararCriterion = c.criterion;
        u.ararOption = c.option;
        u.ararForecasts.assign(c.size, kUntouched);
        u.ararRootMse = 3.0;
        u.ararDegree = 4;
        const ArarSnapshot before(u);
        EXPECT_EQ(ArarEngine(u, c.x->data(), static_cast<int>(c.x->size())), c.status) << c.what;
        EXPECT_TRUE(ArarSnapshot(u) == before) << c.what;
    }
}

TEST(HoltWintersFit, StoresConstantsErrorAndForecasts)
{
    std::vector<double> x = WhiteNoise(60, 11);
    for (int t = 0; t < 60; ++t) x[t] += 0.2 * t + 3.0 * ((t % 5) - 2);

    // Non-seasonal path over 6..55 with the search.
    UnivariateProject u;
    u.shwPeriod = 0;
    u.hwFirst = 6;
    u.hwLast = 55;
    u.hwCount = 4;
    u.hwOptimise = 1;
    u.hwAlpha = 0.2;
    u.hwBeta = 0.2;
    u.hwForecasts.assign(62, kUntouched);
    u.shwForecasts.assign(62, kUntouched);
    ASSERT_EQ(HoltWintersFit(u, x.data(), 60), kStatusDone);
    double c[3] = {0.2, 0.2}, mse = 0.0, F[5];
    ASSERT_EQ(HoltWintersForecast(kHoltWintersPlain, 50, 0, 4, x.data() + 5, true, c, mse, F),
              kStatusDone);
    EXPECT_EQ(u.hwAlpha, c[0]);
    EXPECT_EQ(u.hwBeta, c[1]);
    EXPECT_EQ(u.hwRootMse, std::sqrt(mse));
    for (int i = 6; i <= 55; ++i) EXPECT_EQ(u.hwForecasts[i - 1], x[i - 1]);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(u.hwForecasts[55 + k - 1], F[k - 1]);
    ExpectOnlyRangeWritten(u.hwForecasts, 6, 59);
    ExpectOnlyRangeWritten(u.shwForecasts, 0, 0);

    // Seasonal path with fixed constants, in the order alpha, gamma, beta.
    u.shwPeriod = 5;
    u.shwFirst = 1;
    u.shwLast = 60;
    u.shwCount = 2;
    u.shwOptimise = 0;
    u.shwAlpha = 0.4;
    u.shwBeta = 0.1;
    u.shwGamma = 0.3;
    ASSERT_EQ(HoltWintersFit(u, x.data(), 60), kStatusDone);
    double s[3] = {0.4, 0.3, 0.1};
    ASSERT_EQ(HoltWintersForecast(kHoltWintersSeasonal, 60, 5, 2, x.data(), false, s, mse, F),
              kStatusDone);
    EXPECT_EQ(u.shwAlpha, 0.4);
    EXPECT_EQ(u.shwGamma, 0.3);
    EXPECT_EQ(u.shwBeta, 0.1);
    EXPECT_EQ(u.shwRootMse, std::sqrt(mse));
    EXPECT_EQ(u.shwForecasts[60], F[0]);
    EXPECT_EQ(u.shwForecasts[61], F[1]);
}

TEST(HoltWintersFit, RefusalsLeaveTheRecord)
{
    const std::vector<double> x = WhiteNoise(30, 12);
    struct Case {
        const char* what;
        int period, first, last, count;
        double alpha;
        size_t size;
    };
    const Case cases[] = {
        {"first equals last", 0, 5, 5, 3, 0.2, 40},
        {"last beyond the series", 0, 1, 31, 3, 0.2, 40},
        {"first below 1", 0, 0, 20, 3, 0.2, 40},
        {"no forecasts", 0, 1, 20, 0, 0.2, 40},
        {"forecast vector short", 0, 1, 20, 3, 0.2, 22},
        {"alpha outside", 0, 1, 20, 3, 1.2, 40},
        {"period 1", 1, 1, 20, 3, 0.2, 40},
        {"negative period", -4, 1, 20, 3, 0.2, 40},
        {"seasonal stretch n = d", 12, 3, 14, 3, 0.2, 40},
        {"two values: no one-step error", 0, 5, 6, 3, 0.2, 40},
        {"one season plus one value: no one-step error", 12, 3, 15, 3, 0.2, 40},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        u.shwPeriod = c.period;
        u.hwFirst = u.shwFirst = c.first;
        u.hwLast = u.shwLast = c.last;
        u.hwCount = u.shwCount = c.count;
        u.hwAlpha = u.shwAlpha = c.alpha;
        u.hwForecasts.assign(c.size, kUntouched);
        u.shwForecasts.assign(c.size, kUntouched);
        EXPECT_EQ(HoltWintersFit(u, x.data(), 30), kStatusBadArgument) << c.what;
        ExpectOnlyRangeWritten(u.hwForecasts, 0, 0);
        ExpectOnlyRangeWritten(u.shwForecasts, 0, 0);
        EXPECT_EQ(u.hwRootMse, 1.0) << c.what;
        EXPECT_EQ(u.shwRootMse, 1.0) << c.what;
        EXPECT_EQ(u.hwAlpha, c.alpha) << c.what;
    }
}
