#include "univariate/statistics.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

#include "numerics/acf.h"
#include "numerics/arma_acvf.h"
#include "numerics/long_memory.h"
#include "numerics/scaled_results.h"
#include "numerics/series_scaling.h"
#include "numerics/status.h"
#include "numlib/error_stack.h"
#include "numlib/periodogram.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool AllFinite(const std::vector<double>& v)
{
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

bool OrdersValid(const UnivariateFields& u)
{
    return u.p >= 0 && u.p <= kMaxArmaOrder && u.q >= 0 && u.q <= kMaxArmaOrder;
}


void ReleaseModelAcf(UnivariateFields& u)
{
    u.modelAcf.clear();
    u.modelPacf.clear();
}

// Running sums of v[0..count-1] divided by their total; false when the total is not positive.
bool NormalisedCumulativeSums(const double* v, size_t count, std::vector<double>& out)
{
    std::vector<double> c(count);
    double sum = 0.0;
    for (size_t k = 0; k < count; ++k) c[k] = sum += v[k];
    if (!(sum > 0.0) || !std::isfinite(sum)) return false;
    for (double& x : c) x /= sum;
    out = std::move(c);
    return true;
}

// ln v, or -100 for a zero (counted); the spectra hold no negative values.
double LogOrFloor(double v, int32_t& zeros)
{
    if (v > 0.0) return std::log(v);
    ++zeros;
    return -100.0;
}

}  // namespace

std::vector<double> ModelCoefficients(const UnivariateFields& u)
{
    std::vector<double> coef;
    for (int32_t j = 1; j <= u.p; ++j) coef.push_back(u.phi[j]);
    for (int32_t j = 1; j <= u.q; ++j) coef.push_back(u.theta[j]);
    return coef;
}

bool ModelCausal(const UnivariateFields& u)
{
    if (u.p == 0) return true;
    const std::vector<double> coef = ModelCoefficients(u);
    std::vector<double> acvf(static_cast<size_t>(std::max(u.p, u.q)) + 2);
    int status = kStatusDone;
    ArmaAcvf(1, kArmaAcvfTestCausal, acvf.data(), status, 1.0, coef.data(), u.p, u.q);
    return status == kStatusDone;
}

int32_t ComputeSampleAcf(UnivariateFields& u)
{
    u.sampleAcf.clear();
    u.samplePacf.clear();
    if (!u.hasData()) return 0;
    const int L = std::max(u.acfLags, 1);
    std::vector<double> acf(static_cast<size_t>(L) + 1, 0.0), pacf(acf.size(), 0.0), work(u.series.size());
    double gamma0 = 0.0;
    // The sample autocovariances beyond lag n - 1 are 0: the routine is asked for those up to
    // there, and the partial autocorrelations are continued over the zeros.
    int computed = std::min(L, u.n - 1);
    int status = kStatusDegenerate;
    if (computed >= 1)
        status = SampleAcfPacf(gamma0, u.n, u.series.data(), acf.data(), pacf.data(), computed, work.data());
    else
        acf[0] = pacf[0] = 1.0;  // a single value: no variance, no correlation
    // A constant series is reported with variance 0 and no correlation beyond lag 0; a recursion
    // that met a zero one-step variance leaves its remaining partial autocorrelations at 0.
    // Non-finite data or a variance beyond the range of doubles give nothing to show.
    if (status != kStatusDone && status != kStatusDegenerate) return 0;
    if (status == kStatusDone && computed < L) {
        const int pacfStatus = DurbinLevinson(acf.data(), L + 1, pacf.data());
        if (pacfStatus != kStatusDone && pacfStatus != kStatusDegenerate) return 0;
    }
    // Values so large that their variance leaves double range have no correlations to show.
    if (!std::isfinite(gamma0) || !AllFinite(acf) || !AllFinite(pacf)) return 0;
    u.sampleGamma0 = gamma0;
    u.sampleAcf = std::move(acf);
    u.samplePacf = std::move(pacf);
    return 1;
}

int32_t FracArmaAcvf(UnivariateFields& u)
{
    const int32_t L = std::max(u.modelAcfLags, 1);
    u.modelAcf.clear();
    if (!OrdersValid(u) || !ModelCausal(u)) return 0;
    std::vector<double> acf(static_cast<size_t>(L) + 1);
    double gamma0 = 0.0;
    if (FractionalArmaAcf(u.p, u.phi + 1, u.q, u.theta + 1, u.d, std::max(u.M, 1), L, acf.data(), gamma0) !=
        kStatusDone)
        return 0;
    u.modelAcf = std::move(acf);
    u.modelGamma0 = gamma0;
    return 1;
}

int32_t ComputeModelAcf(UnivariateFields& u)
{
    const int32_t L = std::max(u.modelAcfLags, 1);
    ReleaseModelAcf(u);
    if (!OrdersValid(u)) return 0;
    if (u.fracIntegrated) {
        if (!FracArmaAcvf(u)) return 0;
    } else {
        // Every lag from the autocovariance routine itself: a recursion on the AR part alone is
        // wrong below lag q, which can reach 26.
        const std::vector<double> coef = ModelCoefficients(u);
        std::vector<double> gamma(static_cast<size_t>(std::max({L, u.p, u.q})) + 2);
        int status = kStatusDone;
        ArmaAcvf(L, kArmaAcvfCompute, gamma.data(), status, u.wnVariance, coef.data(), u.p, u.q);
        if (status != kStatusDone || !(gamma[0] > 0.0) || !std::isfinite(gamma[0])) return 0;
        std::vector<double> acf(static_cast<size_t>(L) + 1);
        acf[0] = 1.0;
        for (int32_t h = 1; h <= L; ++h) acf[static_cast<size_t>(h)] = gamma[static_cast<size_t>(h)] / gamma[0];
        if (!AllFinite(acf)) return 0;
        u.modelGamma0 = gamma[0];
        u.modelAcf = std::move(acf);
    }
    std::vector<double> pacf(u.modelAcf.size());
    (void)DurbinLevinson(u.modelAcf.data(), static_cast<int>(u.modelAcf.size()), pacf.data());
    u.modelPacf = std::move(pacf);
    return 1;
}

void SetAcfCurves(PlotRecord& view, int32_t acfCurve, bool shown, const std::vector<double>& acf,
                  const std::vector<double>& pacf, int32_t nObs, int32_t pen, int32_t flags)
{
    const int32_t pacfCurve = acfCurve + 2;
    if (shown && !acf.empty() && !pacf.empty()) {
        SetCurveSeries(view, acfCurve, acf, nObs, 1);
        SetCurveStyle(view, acfCurve, pen, -1, -1);
        SetCurveSeries(view, pacfCurve, pacf, nObs, 2);
        SetCurveStyle(view, pacfCurve, pen, -1, -1);
    } else {
        ClearCurveData(view, acfCurve);
        ClearCurveData(view, pacfCurve);
    }
    view.panels[1].inUse = (flags & ACF_PANEL) ? 1 : 0;
    view.panels[2].inUse = (flags & PACF_PANEL) ? 1 : 0;
}

int32_t ToggleCurvePanels(PlotRecord& view, int32_t& flags)
{
    const bool acf = (flags & ACF_PANEL) != 0, pacf = (flags & PACF_PANEL) != 0;
    if (acf && pacf)
        flags &= ~PACF_PANEL;
    else if (acf)
        flags = (flags & ~ACF_PANEL) | PACF_PANEL;
    else
        flags |= ACF_PANEL | PACF_PANEL;
    view.panels[1].inUse = (flags & ACF_PANEL) ? 1 : 0;
    view.panels[2].inUse = (flags & PACF_PANEL) ? 1 : 0;
    return 1;
}

int32_t DefaultHistogramBins(int32_t n)
{
    int32_t bins = 1;
    for (int64_t power = 2; power <= n; power *= 2) bins += 2;
    return bins;
}

int32_t HistogramCounts(const std::vector<double>& x, double lo, double hi, int32_t bins, std::vector<double>& edges,
                        std::vector<double>& counts)
{
    if (bins < 1 || bins > kMaxHistogramBins) return 0;
    // A range beyond the doubles (values near both ends of their range) is binned in halves:
    // halving is exact, so the bins are those of the whole range. An infinite or NaN limit leaves
    // no finite, positive width.
    const double scale = std::isfinite(hi - lo) ? 1.0 : 0.5;
    const double w = (hi * scale - lo * scale) / bins;  // the bin width times scale
    if (!(w > 0.0) || !std::isfinite(w)) return 0;
    edges.assign(static_cast<size_t>(bins) + 1, 0.0);
    counts.assign(static_cast<size_t>(bins), 0.0);
    edges[0] = lo;
    for (int32_t i = 1; i <= bins; ++i)
        edges[static_cast<size_t>(i)] = std::min((lo * scale + i * w) / scale, scale < 1.0 ? hi : HUGE_VAL);
    // The range test is made in double: an index computed first could overflow an int after a
    // narrow zoom. Rounding may put a value just below hi at index bins; it belongs to the last bin.
    for (double v : x) {
        if (!(v >= lo && v < hi)) continue;
        const double k = std::floor((v * scale - lo * scale) / w);
        counts[static_cast<size_t>(std::clamp(k, 0.0, static_cast<double>(bins - 1)))] += 1.0;
    }
    return 1;
}

int32_t DataWindowRange(const PlotRecord& dataView, double& lo, double& hi)
{
    const int32_t p = dataView.curves[1].panel;
    if (p < 1 || p > kPlotPanelCount) return 0;
    lo = dataView.panels[p].yMin;
    hi = dataView.panels[p].yMax;
    return std::isfinite(lo) && std::isfinite(hi) ? 1 : 0;
}

int32_t ModelSpectrum(int32_t p, const double* phi, int32_t q, const double* theta, double sigma2,
                      int32_t fracIntegrated, double d, int32_t K, std::vector<double>& f)
{
    f.clear();
    if (K < 1 || K > kMaxSpectrumIntervals || p < 0 || p > kMaxArmaOrder || q < 0 || q > kMaxArmaOrder
        || !std::isfinite(sigma2) || !std::isfinite(d))
        return -1;
    for (int32_t k = 0; k < p; ++k)
        if (!std::isfinite(phi[k])) return -1;
    for (int32_t k = 0; k < q; ++k)
        if (!std::isfinite(theta[k])) return -1;
    int32_t singular = 0;
    f.assign(static_cast<size_t>(K) + 1, 0.0);
    for (int32_t j = 0; j <= K; ++j) {
        const double lambda = j * kPi / K;
        const std::complex<double> z = std::polar(1.0, lambda);
        // Horner's rule: theta(z) = 1 + z(theta1 + z(theta2 + ...)), likewise phi(z).
        std::complex<double> th = 0.0, ph = 0.0;
        for (int32_t k = q; k >= 1; --k) th = (th + theta[k - 1]) * z;
        for (int32_t k = p; k >= 1; --k) ph = (ph - phi[k - 1]) * z;
        th += 1.0;
        ph += 1.0;
        double& v = f[static_cast<size_t>(j)];
        v = sigma2 / (2.0 * kPi) * std::norm(th / ph);
        // A root on the unit circle, or one so close that the density overflows.
        if (std::abs(ph) == 0.0 || !std::isfinite(v)) {
            ++singular;
            v = 1000000.0 * sigma2;
            continue;
        }
        if (fracIntegrated) {
            if (j >= 1)
                v *= std::pow(std::abs(1.0 - z), -2.0 * d);
            else if (d < 0.0)
                v = 0.0;
        }
    }
    // 1e6·sigma2 or the fractional factor may still leave the doubles.
    if (!AllFinite(f)) {
        f.clear();
        return -1;
    }
    return singular;
}

int32_t FisherTest(const double* I, int32_t m, double& R, double& P)
{
    if (m < 1) return 0;
    double sum = 0.0, largest = 0.0;
    for (int32_t k = 0; k < m; ++k) {
        sum += I[k];
        largest = std::max(largest, I[k]);
    }
    const double mean = sum / m;
    if (!(mean > 0.0) || !std::isfinite(mean)) return 0;
    const double r = largest / mean;
    // P = sum_{j>=1} (-1)^(j-1) C(m,j)(1 - jR/m)^(m-1). Its terms grow like lambda^j/j!, lambda
    // the first one, so for a long series without a peak they leave double range while P is 1 to
    // machine precision; the Poisson limit 1 - exp(-lambda) then stands in for the sum.
    // P = 1 - S with S = 1 + the terms t; the terms are summed alone so that a small P keeps
    // its digits.
    double terms = 0.0, t = 1.0, lambda = 0.0;
    bool poisson = false;
    for (int32_t j = 1; j <= m; ++j) {
        const double a = 1.0 - j * r / m, b = 1.0 - (j - 1) * r / m;
        if (a < 0.0) break;
        t = -t * std::pow(a / b, m - 1) * (m - j + 1) / j;
        if (j == 1) lambda = -t;
        if (std::fabs(t) < 1e-12) break;
        if (!(std::fabs(t) < 1e12)) {
            poisson = true;
            break;
        }
        terms += t;
    }
    const double p = poisson ? -std::expm1(-lambda) : -terms;
    R = r;
    P = std::clamp(p, 0.0, 1.0);
    return 1;
}

int32_t ComputeSpectrumValues(UnivariateFields& u, bool* tooLarge)
{
    if (tooLarge) *tooLarge = false;
    u.periodogram.clear();
    u.modelSpectrum.clear();
    if (u.hasData()) {
        const int32_t No = u.n / 2;
        u.ordinateCount = No;
        // The periodogram routine needs 2 observations; one has no ordinate at all.
        if (u.n >= 2) {
            // The routine writes every cell of its table, so the table is not cleared first: at a
            // million observations clearing it costs a tenth of the whole computation.
            const size_t rows = static_cast<size_t>(No) + 1;
            std::unique_ptr<double[]> table(new double[rows * 5]);
            // Values near the ends of the double range are transformed scaled by 2^k, which makes
            // the ordinates 2^2k times theirs, exactly: neither the centred values nor the
            // ordinates then overflow inside the library, and the ordinates are scaled back here.
            // Ordinary values are transformed as they stand.
            const int k = SeriesScaleExponent(u.series.data(), u.n, 1);
            const bool ordinary = k >= -400 && k <= 400;
            std::vector<double> scaled;
            if (!ordinary) {
                scaled.resize(static_cast<size_t>(u.n));
                for (size_t t = 0; t < scaled.size(); ++t) scaled[t] = std::ldexp(u.series[t], k);
            }
            const double* x = ordinary ? u.series.data() : scaled.data();
            // The mean of a constant series is its value exactly, so its ordinates are 0.
            DPFFT(u.n, x, 0, FiniteSeriesMean(x, u.n), 0, 0, 1, table.get(), No + 1);
            // A call the library abandoned (its work areas could not be had) leaves no ordinates.
            if (LibraryCallAbandoned()) {
                u.ordinateCount = 0;
            } else {
                const double* ordinates = table.get() + 2 * rows;  // column 3, row k + 1 for omega_k
                u.periodogram.assign(ordinates + 1, ordinates + rows);
                // Ordinates beyond double range (values near its limit) are none to draw or test.
                if (!UnscaleValues(u.periodogram.data(), u.periodogram.size(), ordinary ? 0 : k, 2)) {
                    u.periodogram.clear();
                    u.ordinateCount = 0;
                    if (tooLarge) *tooLarge = true;
                }
            }
        }
        const int32_t m = (u.n - 1) / 2;
        double R = 0.0, P = 0.0;
        if (m >= 1 && u.periodogram.size() >= static_cast<size_t>(m) && FisherTest(u.periodogram.data(), m, R, P)) {
            u.fisherStatistic = R;
            u.fisherProbability = P;
            u.fisherCount = m;
        } else {
            u.fisherCount = 0;
        }
    } else {
        u.ordinateCount = 0;
    }
    const int32_t K = std::max(u.spectrumIntervals, 1);
    const int32_t p = OrdersValid(u) ? u.p : 0, q = OrdersValid(u) ? u.q : 0;
    return ModelSpectrum(p, u.phi + 1, q, u.theta + 1, u.wnVariance, u.fracIntegrated, u.d, K, u.modelSpectrum);
}

SpectrumCurves BuildSpectrumCurves(UnivariateFields& u)
{
    SpectrumCurves c;
    const int32_t No = u.ordinateCount;
    if (No <= 0 || u.periodogram.size() != static_cast<size_t>(No)) u.showPeriodogram = 0;
    const bool log = u.logSpectrum != 0;
    if (u.showPeriodogram) {
        // The smoothed periodogram is drawn only while it belongs to the current ordinates.
        const bool smoothed =
            u.showSmoothedPeriodogram && u.smoothedPeriodogram.size() == static_cast<size_t>(No) + 1;
        const std::vector<double>& v = smoothed ? u.smoothedPeriodogram : u.periodogram;
        for (int32_t k = smoothed ? 0 : 1; k <= No; ++k) {
            const double value = v[static_cast<size_t>(smoothed ? k : k - 1)];
            c.x1.push_back(2.0 * kPi * k / u.n);
            c.y1.push_back(log ? LogOrFloor(value, c.zeros) : value);
        }
        c.periodogram = true;
    }
    const int32_t K = std::max(u.spectrumIntervals, 1);
    if (u.showModelSpectrum && u.modelSpectrum.size() == static_cast<size_t>(K) + 1) {
        const int32_t first = u.fracIntegrated && u.d > 0.0 ? 1 : 0;
        for (int32_t j = first; j <= K; ++j) {
            const double value = u.modelSpectrum[static_cast<size_t>(j)];
            c.x2.push_back(j * kPi / K);
            c.y2.push_back(log ? LogOrFloor(value, c.zeros) : value);
        }
        c.model = true;
    }
    return c;
}

int32_t CumulativeModelSpectrum(UnivariateFields& u)
{
    u.cumModelSpectrum.clear();
    if (u.modelSpectrum.empty()) return 0;
    return NormalisedCumulativeSums(u.modelSpectrum.data(), u.modelSpectrum.size(), u.cumModelSpectrum) ? 1 : 0;
}

int32_t CumulativePeriodogram(UnivariateFields& u)
{
    u.cumPeriodogram.clear();
    const int32_t m = (u.n - 1) / 2;
    if (m < 1 || u.periodogram.size() < static_cast<size_t>(m)) return 0;
    return NormalisedCumulativeSums(u.periodogram.data(), static_cast<size_t>(m), u.cumPeriodogram) ? 1 : 0;
}

std::vector<double> CumulativePeriodogramX(int32_t m)
{
    std::vector<double> x;
    for (int32_t k = 1; k <= m; ++k) x.push_back(k * kPi / (m + 1));
    return x;
}

std::vector<double> SpectrumFrequencies(int32_t K)
{
    std::vector<double> x;
    for (int32_t j = 0; j <= K; ++j) x.push_back(j * kPi / K);
    return x;
}
