#include "univariate/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "numerics/arma_acvf.h"
#include "numerics/long_memory.h"
#include "numerics/status.h"
#include "library_capture.h"
#include "reference_table.h"
#include "shell/report_text.h"
#include "univariate/refresh.h"
#include "univariate/statistics_reports.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void SetSeries(UnivariateFields& u, const std::vector<double>& x)
{
    u.series = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
}

void SetModel(UnivariateFields& u, const std::vector<double>& phi, const std::vector<double>& theta)
{
    u.p = static_cast<int32_t>(phi.size());
    u.q = static_cast<int32_t>(theta.size());
    for (size_t j = 0; j < phi.size(); ++j) u.phi[j + 1] = phi[j];
    for (size_t j = 0; j < theta.size(); ++j) u.theta[j + 1] = theta[j];
}

std::string Text(const InfoCalls& calls) { return ReportWindowText(calls); }

bool AllFinite(const std::vector<double>& v)
{
    for (double x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

}  // namespace

TEST(SampleAcf, SeriesOneToFive)
{
    UnivariateFields u;
    SetSeries(u, {1, 2, 3, 4, 5});
    ASSERT_EQ(ComputeSampleAcf(u), 1);
    ASSERT_EQ(u.sampleAcf.size(), 41u);
    EXPECT_DOUBLE_EQ(u.sampleGamma0, 2.0);
    const double rho[] = {1.0, 0.4, -0.1, -0.4, -0.4};
    for (int h = 0; h <= 40; ++h) EXPECT_NEAR(u.sampleAcf[h], h < 5 ? rho[h] : 0.0, 1e-15) << h;
    EXPECT_NEAR(u.samplePacf[1], 0.4, 1e-15);
    EXPECT_NEAR(u.samplePacf[2], -0.30952380952380953, 1e-12);

    // Sticks at x = 0..40, the first one 1, with the bound lines of n = 5.
    PlotRecord view;
    SetAcfCurves(view, 1, true, u.sampleAcf, u.samplePacf, u.n, 1, 25);
    const PlotCurve& acf = view.curves[1];
    EXPECT_EQ(acf.style, CURVE_STICKS);
    EXPECT_EQ(acf.penStyle, 1);
    EXPECT_EQ(acf.nObs, 5);
    EXPECT_NEAR(1.96 / std::sqrt(acf.nObs), 0.8765, 1e-4);
    ASSERT_EQ(acf.x.size(), 41u);
    EXPECT_EQ(acf.x.front(), 0.0);
    EXPECT_EQ(acf.x.back(), 40.0);
    EXPECT_EQ(acf.y.front(), 1.0);
    EXPECT_EQ(view.curves[3].panel, 2);

    u.acfViewFlags = 25;
    const std::string report = Text(AcfReport(u));
    EXPECT_NE(report.find("KELO::Vesk(ACF/PACF)\r\n"), std::string::npos);
    EXPECT_NE(report.find("# of Lags =       40\r\n"), std::string::npos);
    EXPECT_NE(report.find("Sample Variance = 2.00000000\r\n"), std::string::npos);
    EXPECT_NE(report.find("Sample Partial Autocorrelations:"), std::string::npos);
    EXPECT_EQ(report.find("Model"), std::string::npos);  // acfViewFlags 24: the model is not shown
}

TEST(SampleAcf, ConstantSeriesAndNoData)
{
    UnivariateFields u;
    SetSeries(u, std::vector<double>(20, 1e300));
    ASSERT_EQ(ComputeSampleAcf(u), 1);
    EXPECT_EQ(u.sampleGamma0, 0.0);
    EXPECT_EQ(u.sampleAcf[0], 1.0);
    EXPECT_EQ(u.sampleAcf[1], 0.0);
    EXPECT_TRUE(AllFinite(u.sampleAcf) && AllFinite(u.samplePacf));

    // Values whose variance leaves double range: no correlations rather than NaN.
    SetSeries(u, {1e300, -1e300, 1e300, 5e299, -1e300, 2e300});
    EXPECT_EQ(ComputeSampleAcf(u), 0);
    EXPECT_TRUE(u.sampleAcf.empty() && u.samplePacf.empty());

    u.series.clear();
    u.n = 0;
    EXPECT_EQ(ComputeSampleAcf(u), 0);
    EXPECT_TRUE(u.sampleAcf.empty() && u.samplePacf.empty());
    // The report leaves out a sample part that has no values.
    u.acfViewFlags = 25;
    EXPECT_EQ(Text(AcfReport(u)).find("Sample"), std::string::npos);
}

TEST(ModelAcf, AgreesWithRAtEveryLag)
{
    const ReferenceTable t = ReadReferenceTable("model_acf_reference.csv");
    ASSERT_EQ(t.rows.size(), 5u * 41);
    std::map<std::string, UnivariateFields> models;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::string name = t.Text(r, "model");
        UnivariateFields& u = models[name];
        if (u.modelAcf.empty()) {
            SetModel(u, t.List(r, "phi"), t.List(r, "theta"));
            u.wnVariance = 3.0;  // the correlations do not depend on it
            ASSERT_EQ(ComputeModelAcf(u), 1) << name;
            ASSERT_EQ(u.modelAcf.size(), 41u);
        }
        const int h = t.Integer(r, "lag");
        EXPECT_NEAR(u.modelAcf[h], t.Number(r, "acf"), 1e-12) << name << " lag " << h;
        EXPECT_NEAR(u.modelPacf[h], t.Number(r, "pacf"), 1e-10) << name << " lag " << h;
    }
    // MA(26) with every theta 0.3: gamma(0) = 3.34 sigma2 and rho(26) = 0.3/3.34.
    EXPECT_NEAR(models["ma26"].modelAcf[26], 0.3 / 3.34, 1e-14);
    EXPECT_NEAR(models["ma26"].modelGamma0, 3.0 * 3.34, 1e-12);
}

TEST(ModelAcf, WhiteNoiseAndModelsWithoutCorrelations)
{
    UnivariateFields u;
    u.wnVariance = 2.0;
    ASSERT_EQ(ComputeModelAcf(u), 1);
    EXPECT_EQ(u.modelGamma0, 2.0);
    for (int h = 1; h <= 40; ++h) {
        EXPECT_EQ(u.modelAcf[h], 0.0);
        EXPECT_EQ(u.modelPacf[h], 0.0);
    }

    // A model with no autocorrelations leaves no values, so nothing reaches a curve or report.
    struct Case { const char* name; std::vector<double> phi; double sigma2; int32_t frac; };
    const Case cases[] = {
        {"not causal", {1.5}, 1.0, 0},
        {"unit root", {1.0}, 1.0, 0},
        {"zero variance", {0.5}, 0.0, 0},
        {"fractional, not causal", {1.5}, 1.0, 1},
    };
    for (const Case& c : cases) {
        UnivariateFields v;
        SetModel(v, c.phi, {});
        v.wnVariance = c.sigma2;
        v.fracIntegrated = c.frac;
        v.d = 0.2;
        v.modelAcf.assign(41, 0.5);
        EXPECT_EQ(ComputeModelAcf(v), 0) << c.name;
        EXPECT_TRUE(v.modelAcf.empty() && v.modelPacf.empty()) << c.name;
        v.acfViewFlags = 26;
        EXPECT_EQ(Text(AcfReport(v)).find("Model"), std::string::npos) << c.name;
    }
}

TEST(FracArmaAcvf, FractionalNoiseMatchesTheGammaFunctionForm)
{
    for (double d : {0.2, -0.3}) {
        UnivariateFields u;
        u.fracIntegrated = 1;
        u.d = d;
        u.wnVariance = 2.0;
        ASSERT_EQ(ComputeModelAcf(u), 1) << d;
        for (int h = 1; h <= 40; ++h) {
            const double rho = std::tgamma(h + d) * std::tgamma(1 - d) / (std::tgamma(h - d + 1) * std::tgamma(d));
            EXPECT_NEAR(u.modelAcf[h], rho, 1e-12) << d << " lag " << h;
        }
        const double gamma0 = std::tgamma(1 - 2 * d) / std::pow(std::tgamma(1 - d), 2);
        EXPECT_NEAR(u.modelGamma0, gamma0, 1e-8) << d;
        // The report gives the model's variance: sigma2 times the unit-variance value.
        u.acfViewFlags = 26;
        char line[64];
        std::snprintf(line, sizeof line, "Gamma(0) = %.8f\r\n", 2.0 * gamma0);
        EXPECT_NE(Text(AcfReport(u)).find(line), std::string::npos) << d;
    }
    UnivariateFields u;
    u.fracIntegrated = 1;
    u.d = 0.2;
    ASSERT_EQ(FracArmaAcvf(u), 1);
    EXPECT_NEAR(u.modelAcf[1], 0.25, 1e-15);
    EXPECT_NEAR(u.modelAcf[2], 0.25 * 1.2 / 1.8, 1e-15);
    EXPECT_NEAR(u.modelGamma0, 1.0987, 1e-4);
}

TEST(FracArmaAcvf, ArmaFilterAgreesWithTheDoubleSum)
{
    // The routine sums through the impulse response's autocovariances; the definition is the
    // double sum over psi(j)psi(k)rho(h + k - j).
    const double d = 0.3, phi = 0.5, theta = -0.4;
    const int M = 60, L = 30;
    std::vector<double> acf(L + 1);
    double gamma0 = 0.0;
    ASSERT_EQ(FractionalArmaAcf(1, &phi, 1, &theta, d, M, L, acf.data(), gamma0), kStatusDone);
    std::vector<double> psi(M + 1), rho(L + M + 1);
    psi[0] = 1.0;
    for (int i = 1; i <= M; ++i) psi[i] = (i == 1 ? theta : 0.0) + phi * psi[i - 1];
    rho[0] = 1.0;
    for (int h = 1; h <= L + M; ++h) rho[h] = rho[h - 1] * (h - 1 + d) / (h - d);
    std::vector<double> g(L + 1);
    for (int h = 0; h <= L; ++h)
        for (int j = 0; j <= M; ++j)
            for (int k = 0; k <= M; ++k) g[h] += psi[j] * psi[k] * rho[std::abs(h + k - j)];
    for (int h = 0; h <= L; ++h) EXPECT_NEAR(acf[h], g[h] / g[0], 1e-13) << h;
    EXPECT_NEAR(gamma0, g[0] * std::tgamma(1 - 2 * d) / std::pow(std::tgamma(1 - d), 2), 1e-8 * g[0]);

    // With d = 0 and a long impulse response it is the ARMA model's own ACF.
    const double coef[] = {phi, theta};
    std::vector<double> arma(L + 2);
    int status = kStatusDone;
    ArmaAcvf(L, kArmaAcvfCompute, arma.data(), status, 1.0, coef, 1, 1);
    ASSERT_EQ(FractionalArmaAcf(1, &phi, 1, &theta, 0.0, 200, L, acf.data(), gamma0), kStatusDone);
    for (int h = 0; h <= L; ++h) EXPECT_NEAR(acf[h], arma[h] / arma[0], 1e-14) << h;
    EXPECT_NEAR(gamma0, arma[0], 1e-9);  // the Lanczos series of gamma(0)

    // Arguments outside the stated limits compute nothing.
    EXPECT_EQ(FractionalArmaAcf(1, &phi, 1, &theta, 0.5, M, L, acf.data(), gamma0), kStatusBadArgument);
    EXPECT_EQ(FractionalArmaAcf(27, &phi, 1, &theta, 0.1, M, L, acf.data(), gamma0), kStatusBadArgument);
    EXPECT_EQ(FractionalArmaAcf(1, &phi, 1, &theta, 0.1, 0, L, acf.data(), gamma0), kStatusBadArgument);
}

TEST(AcfView, HiddenPanelsKeepTheirCurvesAndCycle)
{
    UnivariateFields u;
    SetModel(u, {0.5}, {});
    ASSERT_EQ(ComputeModelAcf(u), 1);
    PlotRecord view;
    // Only the PACF panel shown: the model ACF is still set, its panel is out of use.
    SetAcfCurves(view, 2, true, u.modelAcf, u.modelPacf, 0, 2, 16 | 2);
    EXPECT_EQ(view.curves[2].shown, 1);
    EXPECT_EQ(view.curves[2].y.size(), 41u);
    EXPECT_EQ(view.curves[2].nObs, 0);
    EXPECT_EQ(view.curves[4].penStyle, 2);
    EXPECT_EQ(view.panels[1].inUse, 0);
    EXPECT_EQ(view.panels[2].inUse, 1);

    // both -> ACF only -> PACF only -> both, from the PACF-only state.
    int32_t flags = 16 | 2;
    const int32_t cycle[] = {24 | 2, 8 | 2, 16 | 2, 24 | 2};
    for (int32_t expected : cycle) {
        ToggleCurvePanels(view, flags);
        EXPECT_EQ(flags, expected);
        EXPECT_EQ(view.panels[1].inUse, (flags & 8) ? 1 : 0);
        EXPECT_EQ(view.panels[2].inUse, (flags & 16) ? 1 : 0);
    }
    EXPECT_EQ(view.curves[2].y.size(), 41u);  // the panel that comes back is not empty

    SetAcfCurves(view, 2, false, u.modelAcf, u.modelPacf, 0, 2, 26);
    EXPECT_EQ(view.curves[2].shown, 0);
    EXPECT_TRUE(view.curves[4].y.empty());
}

TEST(Histogram, CountsOverTheDataWindowRange)
{
    EXPECT_EQ(DefaultHistogramBins(0), 1);
    EXPECT_EQ(DefaultHistogramBins(1), 1);
    EXPECT_EQ(DefaultHistogramBins(100), 13);
    EXPECT_EQ(DefaultHistogramBins(128), 15);

    std::vector<double> x(100);
    for (int t = 0; t < 100; ++t) x[t] = std::sin(0.7 * t) * 10.0 + t * 0.05;
    PlotRecord data;
    InitPlotRecord(data);
    SetCurveY(data, 1, x, 1, 100);
    double lo = 0, hi = 0;
    ASSERT_EQ(DataWindowRange(data, lo, hi), 1);
    std::vector<double> edges, counts;
    ASSERT_EQ(HistogramCounts(x, lo, hi, 13, edges, counts), 1);
    ASSERT_EQ(edges.size(), 14u);
    EXPECT_EQ(edges.front(), lo);
    EXPECT_NEAR(edges.back(), hi, 1e-12);
    double total = 0;
    for (double c : counts) total += c;
    EXPECT_EQ(total, 100.0);
    EXPECT_EQ(counts.front(), 0.0);  // the autoscale margin of a tenth of the range on each side
    EXPECT_EQ(counts.back(), 0.0);

    const double tiny = std::numeric_limits<double>::denorm_min();
    struct Case { const char* name; double lo, hi; int32_t bins; std::vector<double> x; std::vector<double> counts; };
    const Case cases[] = {
        {"zoomed: outside values and one at hi left out", 0.0, 4.0, 4, {-1, 0, 0.5, 1, 3.999, 4, 9}, {2, 1, 0, 1}},
        {"narrow zoom far from the data", 0.0, 1e-300, 3, {1e10, -1e10, 5e-301}, {0, 1, 0}},
        {"one bin", -1.0, 1.0, 1, {0.0, 1.0}, {1}},
        // Ranges beyond the doubles are binned in halves (they once drew nothing).
        {"one bin beyond the doubles", -1e308, 1e308, 1, {1.0}, {1}},
        {"values near both ends", -1.797e308, 1.797e308, 4, {1.797e308 * 0.999, -1.797e308, 1.0e308, -1e307, 0.0},
         {1, 1, 1, 2}},
        {"up to the largest double", -1.7976931348623157e308, 1.7976931348623157e308, 3,
         {1.7e308, -1.7e308, 0.0, 6e307}, {1, 1, 2}},
        // Subnormal limits lose digits when halved: only a range beyond the doubles is.
        {"three subnormal units", 0.0, 3 * tiny, 3, {0.0, tiny, 2 * tiny}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(HistogramCounts(c.x, c.lo, c.hi, c.bins, edges, counts), 1) << c.name;
        EXPECT_EQ(counts, c.counts) << c.name;
        EXPECT_EQ(edges.front(), c.lo) << c.name;
        EXPECT_NEAR(edges.back() / c.hi, 1.0, 1e-15) << c.name;
        for (size_t i = 1; i < edges.size(); ++i) EXPECT_LT(edges[i - 1], edges[i]) << c.name << " " << i;
    }

    // No positive, finite width: nothing to draw.
    const double big = 9007199254740993.0;  // beyond 2^53
    EXPECT_EQ(HistogramCounts({big}, big, big, 10, edges, counts), 0);
    EXPECT_EQ(HistogramCounts({1.0}, 2.0, 1.0, 10, edges, counts), 0);
    EXPECT_EQ(HistogramCounts({1.0}, 0.0, HUGE_VAL, 1, edges, counts), 0);
    EXPECT_EQ(HistogramCounts({1.0}, 0.0, 1.0, 0, edges, counts), 0);

    UnivariateFields u;
    u.histogramBins = 13;
    EXPECT_EQ(Text(HistogramReport(u)),
              "=====================\r\nKELO::Vesk(Histogram)\r\n=====================\r\n# of Bins =       13\r\n");
}

TEST(Spectra, ModelSpectrumClosedForms)
{
    std::vector<double> f;
    EXPECT_EQ(ModelSpectrum(0, nullptr, 0, nullptr, 1.0, 0, 0.0, 1024, f), 0);
    ASSERT_EQ(f.size(), 1025u);
    for (double v : f) EXPECT_NEAR(v, 1.0 / (2 * kPi), 1e-15);

    const double phi = 0.5;
    EXPECT_EQ(ModelSpectrum(1, &phi, 0, nullptr, 1.0, 0, 0.0, 1024, f), 0);
    EXPECT_NEAR(f[0], 2.0 / kPi, 1e-14);
    EXPECT_NEAR(f[1024], 1.0 / (4.5 * kPi), 1e-14);
    for (int j = 0; j <= 1024; j += 64)
        EXPECT_NEAR(f[j], 1.0 / (2 * kPi * (1.25 - std::cos(j * kPi / 1024))), 1e-13) << j;

    // MA(1) with theta = 0.5 and sigma2 = 2: (1/pi)(1.25 + cos lambda).
    const double theta = 0.5;
    ModelSpectrum(0, nullptr, 1, &theta, 2.0, 0, 0.0, 8, f);
    for (int j = 0; j <= 8; ++j) EXPECT_NEAR(f[j], (1.25 + std::cos(j * kPi / 8)) / kPi, 1e-14) << j;

    // A unit root: one singular frequency, at 0, set to 1e6 sigma2.
    const double one = 1.0;
    EXPECT_EQ(ModelSpectrum(1, &one, 0, nullptr, 3.0, 0, 0.0, 16, f), 1);
    EXPECT_EQ(f[0], 3e6);
    // A density beyond double range is treated the same way, at every frequency.
    const double huge = 1e200;
    EXPECT_EQ(ModelSpectrum(0, nullptr, 1, &huge, 1.0, 0, 0.0, 16, f), 17);
    EXPECT_EQ(f[16], 1e6);

    // Fractional noise: |2 sin(lambda/2)|^(-2d)/(2 pi); at 0 the density is 0 for d < 0.
    for (double d : {0.3, -0.3}) {
        ModelSpectrum(0, nullptr, 0, nullptr, 1.0, 1, d, 16, f);
        EXPECT_EQ(f[0], d < 0 ? 0.0 : 1.0 / (2 * kPi));
        for (int j = 1; j <= 16; ++j)
            EXPECT_NEAR(f[j], std::pow(2 * std::sin(j * kPi / 32), -2 * d) / (2 * kPi), 1e-13) << d << " " << j;
    }
}

TEST(Spectra, PeriodogramMatchesRSpecPgram)
{
    const std::map<std::string, std::vector<double>> data = ReferenceSeriesByName("periodogram_series.csv", "x");
    const ReferenceTable ref = ReadReferenceTable("periodogram_reference.csv");
    ASSERT_FALSE(ref.rows.empty());
    std::map<std::string, UnivariateFields> projects;
    for (auto& [name, x] : data) {
        SetSeries(projects[name], x);
        EXPECT_EQ(ComputeSpectrumValues(projects[name]), 0);
        EXPECT_EQ(projects[name].ordinateCount, static_cast<int32_t>(x.size()) / 2);
    }
    for (size_t r = 0; r < ref.rows.size(); ++r) {
        const UnivariateFields& u = projects.at(ref.Text(r, "series"));
        const int k = ref.Integer(r, "k");
        const double expected = ref.Number(r, "spec") / (2 * kPi);
        EXPECT_NEAR(u.periodogram.at(k - 1), expected, 1e-11 * (1 + expected)) << ref.Text(r, "series") << " " << k;
    }
}

TEST(Spectra, ShortConstantAndEvenSeries)
{
    struct Case {
        const char* name;
        std::vector<double> x;
        int32_t ordinates, fisherCount;
        bool periodogram;
    };
    const Case cases[] = {
        {"one observation", {4.0}, 0, 0, false},
        {"two: no ordinate for Fisher", {1.0, 2.0}, 1, 0, true},
        {"three", {1.0, 3.0, 2.0}, 1, 1, true},
        {"constant", std::vector<double>(9, 7.5), 4, 0, true},
        {"constant 0.1, whose plain mean is not 0.1", std::vector<double>(7, 0.1), 3, 0, true},
        {"ten: five ordinates, Fisher uses four", {3, 1, 4, 1, 5, 9, 2, 6, 5, 3}, 5, 4, true},
        {"a call the library abandons", {1, std::numeric_limits<double>::quiet_NaN(), 3, 4, 5}, 0, 0, false},
        {"ordinates beyond double range", {1e300, -1e300, 1e300, 5e299, -1e300, 2e300}, 0, 0, false},
    };
    for (const Case& c : cases) {
        UnivariateFields u;
        SetSeries(u, c.x);
        u.fisherStatistic = -1.0;
        ComputeSpectrumValues(u);
        EXPECT_EQ(u.ordinateCount, c.ordinates) << c.name;
        EXPECT_EQ(u.periodogram.size(), c.periodogram ? static_cast<size_t>(c.ordinates) : 0u) << c.name;
        EXPECT_EQ(u.fisherCount, c.fisherCount) << c.name;
        if (c.fisherCount == 0) {
            EXPECT_EQ(u.fisherStatistic, -1.0) << c.name;
            EXPECT_NE(Text(SpectrumReport(u)).find("No ratio:"), std::string::npos) << c.name;
            EXPECT_EQ(CumulativePeriodogram(u), 0) << c.name;
            EXPECT_TRUE(u.cumPeriodogram.empty()) << c.name;
        } else {
            EXPECT_TRUE(std::isfinite(u.fisherStatistic) && std::isfinite(u.fisherProbability)) << c.name;
        }
        // Curves: the periodogram only with ordinates, and nothing that is not finite.
        u.showPeriodogram = u.showModelSpectrum = 1;
        u.logSpectrum = 1;
        const SpectrumCurves curves = BuildSpectrumCurves(u);
        EXPECT_EQ(curves.periodogram, c.ordinates > 0) << c.name;
        EXPECT_EQ(u.showPeriodogram, c.ordinates > 0 ? 1 : 0) << c.name;
        EXPECT_TRUE(AllFinite(curves.y1) && AllFinite(curves.y2)) << c.name;
    }

    // The ordinates of a constant series are exactly 0: its mean is its value.
    for (const std::vector<double>& x : {std::vector<double>(9, 7.5), std::vector<double>(7, 0.1)}) {
        UnivariateFields constant;
        SetSeries(constant, x);
        ComputeSpectrumValues(constant);
        EXPECT_EQ(constant.periodogram, std::vector<double>(x.size() / 2, 0.0)) << x[0];
    }

    // The log scale of a constant series: every ordinate at -100, each counted.
    UnivariateFields u;
    SetSeries(u, std::vector<double>(9, 7.5));
    ComputeSpectrumValues(u);
    u.showPeriodogram = 1;
    u.logSpectrum = 1;
    const SpectrumCurves curves = BuildSpectrumCurves(u);
    EXPECT_EQ(curves.zeros, 4);
    EXPECT_EQ(curves.y1, std::vector<double>(4, -100.0));

    // Without data the periodogram goes and Fisher's values stay.
    u.series.clear();
    u.n = 0;
    u.fisherCount = 3;
    ComputeSpectrumValues(u);
    EXPECT_EQ(u.ordinateCount, 0);
    EXPECT_TRUE(u.periodogram.empty());
    EXPECT_EQ(u.fisherCount, 3);
}

// Values near the ends of the double range: a constant series has ordinates of 0 (its mean once
// overflowed, and the library stopped on X(1) - XBASE), ordinates that truly leave the doubles
// are said to be too large, and a series scaled by a power of two has its ordinates scaled by
// its square. The library says nothing in any case.
class SpectraOfExtremeValues : public LibraryCapture {};

TEST_F(SpectraOfExtremeValues, ZerosTooLargeOrScaled)
{
    std::vector<double> fourHuge;
    for (int t = 1; t <= 100; ++t) fourHuge.push_back(t % 25 == 0 ? 1.7e308 : 100.0 + std::sin(0.3 * t));
    const struct {
        const char* name;
        std::vector<double> x;
        bool tooLarge;
    } cases[] = {
        {"a constant series of 1e308", std::vector<double>(8, 1e308), false},
        {"a constant series of the largest double", std::vector<double>(5, std::numeric_limits<double>::max()), false},
        {"a constant series of 0.1", std::vector<double>(10, 0.1), false},
        {"a constant series of the smallest double", std::vector<double>(6, 5e-324), false},
        {"four values of 1.7e308 among ordinary ones", fourHuge, true},
        {"1e300 of both signs", {1e300, -1e300, 1e300, 5e299, -1e300, 2e300}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnivariateFields u;
        SetSeries(u, c.x);
        bool tooLarge = !c.tooLarge;
        ComputeSpectrumValues(u, &tooLarge);
        EXPECT_EQ(tooLarge, c.tooLarge);
        if (c.tooLarge) {
            EXPECT_EQ(u.ordinateCount, 0);
            EXPECT_TRUE(u.periodogram.empty());
        } else {
            EXPECT_EQ(u.ordinateCount, u.n / 2);
            EXPECT_EQ(u.periodogram, std::vector<double>(static_cast<size_t>(u.n / 2), 0.0));
        }
        EXPECT_TRUE(stops.empty() && warnings.empty() && output.empty()) << output;
        Clear();
    }

    std::vector<double> x;
    for (int t = 1; t <= 64; ++t) x.push_back(3.0 + std::sin(0.7 * t) + 0.5 * std::cos(2.1 * t));
    UnivariateFields plain;
    SetSeries(plain, x);
    ComputeSpectrumValues(plain);
    for (int e : {500, -500, 1000, -900}) {
        SCOPED_TRACE(e);
        std::vector<double> scaled = x;
        for (double& v : scaled) v = std::ldexp(v, e);
        UnivariateFields u;
        SetSeries(u, scaled);
        bool tooLarge = true;
        ComputeSpectrumValues(u, &tooLarge);
        // 2^2000 leaves the doubles; 2^-1800 leaves them at the bottom, as zeros.
        EXPECT_EQ(tooLarge, e == 1000);
        if (e == 1000) continue;
        ASSERT_EQ(u.periodogram.size(), plain.periodogram.size());
        for (size_t k = 0; k < u.periodogram.size(); ++k) {
            const double expected = std::ldexp(plain.periodogram[k], 2 * e);
            EXPECT_NEAR(u.periodogram[k], expected, 1e-12 * expected + 1e-300) << k;
        }
        EXPECT_TRUE(stops.empty() && output.empty()) << output;
    }
}

TEST(Spectra, FisherTest)
{
    struct Case { const char* name; std::vector<double> I; double R, P; };
    const Case cases[] = {
        {"1, 1, 4: stops before the second term", {1, 1, 4}, 2.0, 1.0 / 3.0},
        {"equal ordinates", {2, 2, 2, 2, 2}, 1.0, 1.0},
        {"one ordinate", {5}, 1.0, 1.0},
        {"1, 3", {1, 3}, 1.5, 0.5},
    };
    for (const Case& c : cases) {
        double R = 0, P = 0;
        ASSERT_EQ(FisherTest(c.I.data(), static_cast<int32_t>(c.I.size()), R, P), 1) << c.name;
        EXPECT_NEAR(R, c.R, 1e-15) << c.name;
        EXPECT_NEAR(P, c.P, 1e-14) << c.name;
    }
    double R = 7, P = 7;
    const std::vector<double> zeros(4, 0.0);
    EXPECT_EQ(FisherTest(zeros.data(), 0, R, P), 0);
    EXPECT_EQ(FisherTest(zeros.data(), 4, R, P), 0);
    EXPECT_EQ(R, 7.0);
    EXPECT_EQ(P, 7.0);

    // A long series without a peak: the alternating terms leave double range; P is 1.
    std::vector<double> flat(100000);
    for (size_t k = 0; k < flat.size(); ++k) flat[k] = 1.0 + 0.5 * std::sin(0.37 * k);
    ASSERT_EQ(FisherTest(flat.data(), 100000, R, P), 1);
    EXPECT_NEAR(R, 1.5, 1e-4);
    EXPECT_EQ(P, 1.0);
    // A clear peak among many: small, finite P, close to the first (Bonferroni) term.
    flat[500] = 24.0;
    ASSERT_EQ(FisherTest(flat.data(), 100000, R, P), 1);
    const double first = 100000 * std::pow(1 - R / 100000, 99999);
    EXPECT_GT(P, 0.0);
    EXPECT_NEAR(P, first, 1e-3 * first);
}

TEST(Spectra, CumulativeSpectra)
{
    UnivariateFields u;
    ComputeSpectrumValues(u);  // white noise, no data
    ASSERT_EQ(CumulativeModelSpectrum(u), 1);
    ASSERT_EQ(u.cumModelSpectrum.size(), 1025u);
    for (int j = 0; j <= 1024; j += 128) EXPECT_NEAR(u.cumModelSpectrum[j], (j + 1) / 1025.0, 1e-13) << j;
    EXPECT_EQ(CumulativePeriodogram(u), 0);
    const std::vector<double> x = SpectrumFrequencies(1024);
    EXPECT_EQ(x.front(), 0.0);
    EXPECT_NEAR(x.back(), kPi, 1e-15);

    SetSeries(u, {3, 1, 4, 1, 5, 9, 2, 6, 5, 3});
    ComputeSpectrumValues(u);
    ASSERT_EQ(CumulativePeriodogram(u), 1);
    ASSERT_EQ(u.cumPeriodogram.size(), 4u);
    double sum = 0;
    for (int k = 0; k < 4; ++k) sum += u.periodogram[k];
    EXPECT_NEAR(u.cumPeriodogram[0], u.periodogram[0] / sum, 1e-15);
    EXPECT_NEAR(u.cumPeriodogram[3], 1.0, 1e-15);
    const std::vector<double> xp = CumulativePeriodogramX(4);
    EXPECT_NEAR(xp[0], kPi / 5, 1e-15);
    EXPECT_NEAR(xp[3], 4 * kPi / 5, 1e-15);

    u.modelSpectrum.clear();
    EXPECT_EQ(CumulativeModelSpectrum(u), 0);
}

TEST(Spectra, CurvesFollowTheFlags)
{
    UnivariateFields u;
    SetSeries(u, {3, 1, 4, 1, 5, 9, 2, 6, 5, 3});
    u.fracIntegrated = 1;
    u.d = 0.2;
    ComputeSpectrumValues(u);
    u.showPeriodogram = u.showModelSpectrum = 1;

    SpectrumCurves c = BuildSpectrumCurves(u);
    ASSERT_EQ(c.x1.size(), 5u);  // the raw periodogram from omega_1
    EXPECT_NEAR(c.x1[0], 2 * kPi / 10, 1e-15);
    EXPECT_EQ(c.y1[0], u.periodogram[0]);
    ASSERT_EQ(c.x2.size(), 1024u);  // d > 0: the model curve starts at pi/1024
    EXPECT_NEAR(c.x2[0], kPi / 1024, 1e-15);

    // A smoothed periodogram is drawn only while it has N_o + 1 values.
    u.showSmoothedPeriodogram = 1;
    u.smoothedPeriodogram = {1, 2, 3};
    c = BuildSpectrumCurves(u);
    EXPECT_EQ(c.x1.size(), 5u);
    u.smoothedPeriodogram = {1, 2, 3, 4, 5, 6};
    u.logSpectrum = 1;
    c = BuildSpectrumCurves(u);
    ASSERT_EQ(c.x1.size(), 6u);
    EXPECT_EQ(c.x1[0], 0.0);
    EXPECT_NEAR(c.y1[5], std::log(6.0), 1e-15);
    EXPECT_NEAR(c.y2[0], std::log(u.modelSpectrum[1]), 1e-15);

    // A data change forgets the smoothed periodogram of the old series.
    UnivariateProject project;
    project.showSmoothedPeriodogram = 1;
    VeskRefresh(project, 0, 1);
    EXPECT_EQ(project.showSmoothedPeriodogram, 1);
    VeskRefresh(project, 1, 0);
    EXPECT_EQ(project.showSmoothedPeriodogram, 0);

    // So does an open ACF view whose sample is no longer shown (new data cleared bit 1).
    int windowStandIn = 0;
    project.acfView.window = reinterpret_cast<HWND__*>(&windowStandIn);
    SetCurveSeries(project.acfView, 1, {1.0, 0.5}, 10, 1);
    project.acfViewFlags = 24 | 2;
    VeskRefresh(project, 1, 0);
    EXPECT_TRUE(project.acfView.curves[1].y.empty());
    EXPECT_EQ(project.acfView.curves[1].shown, 0);
    project.acfView.window = nullptr;
}

TEST(Spectra, Reports)
{
    UnivariateFields u;
    SetSeries(u, {3, 1, 4, 1, 5, 9, 2, 6, 5, 3});
    ComputeSpectrumValues(u);
    std::string text = Text(SpectrumReport(u));
    EXPECT_EQ(text.rfind("===============\r\nKELO::Vesk(SPECTRUM)\r\n===============\r\n", 0), 0u);
    EXPECT_NE(text.find("Number of frequencies in periodogram = 5\r\n"), std::string::npos);
    EXPECT_NE(text.find("No smoothing done.\r\n"), std::string::npos);
    EXPECT_NE(text.find("Ratio of maximum periodogram ordinate to average = "), std::string::npos);

    u.showSmoothedPeriodogram = 1;
    u.smoothedPeriodogram.assign(6, 1.0);
    u.daniellWeights = {0.5, 0.25};
    text = Text(SpectrumReport(u));
    EXPECT_NE(text.find("Smoothing coefficients:\r\nW[0] = 0.50000\r\nW[1] = 0.25000\r\n"), std::string::npos);
    EXPECT_NE(text.find("Smooth coefficient sum of squares = 0.37500\r\n"), std::string::npos);

    EXPECT_EQ(Text(CumulativeSpectrumReport(u)),
              "===============\r\nKELO::Vesk(CUMULATIVE SPECTRUM)\r\n===============\r\n  \r\n");
}
