#pragma once
// The sample and model statistics of a univariate project, portable: sample and model ACF/PACF,
// histogram counts, periodogram and model spectrum, Fisher's test and the cumulative spectra,
// and how each fills the curves of its view. The window layer only creates the views, titles
// them, repaints and shows messages.
#include <cstdint>
#include <vector>

#include "shell/plot_record.h"
#include "univariate/univariate_project.h"

// Limits of the lag and bin counts a user may ask for.
constexpr int32_t kMaxAcfLags = 1000;
constexpr int32_t kMaxHistogramBins = 1000;
// Most frequency intervals of a model spectrum.
constexpr int32_t kMaxSpectrumIntervals = 1 << 20;

// acfViewFlags and residualAcfViewFlags bits.
enum AcfViewBits : int32_t {
    ACF_SAMPLE = 1,
    ACF_MODEL = 2,
    ACF_PANEL = 8,
    PACF_PANEL = 16,
};

// The combined coefficient vector phi1..phip, theta1..thetaq of the project's model.
std::vector<double> ModelCoefficients(const UnivariateFields& project);
// Whether the AR part of the model (orders 0..26) is causal.
bool ModelCausal(const UnivariateFields& project);

// ---- ACF/PACF

// Sample ACF/PACF of the project's series into sampleAcf and samplePacf (acfLags + 1 values) and
// sampleGamma0. A constant series gives variance 0, autocorrelations 1 at lag 0 and 0 beyond.
// Returns 1; 0 without data, or when the variance of the series does not fit a double (the
// sample vectors are then released).
int32_t ComputeSampleAcf(UnivariateFields& project);

// Model ACF/PACF into modelAcf and modelPacf (modelAcfLags + 1 values) and modelGamma0: from the
// ARMA autocovariances at every lag, or from FracArmaAcvf for a fractionally integrated model.
// Returns 1; 0 when the model has no autocorrelations (not causal, or no positive finite
// variance): the model vectors are then released and nothing is written.
int32_t ComputeModelAcf(UnivariateFields& project);

// Autocorrelations of the fractionally integrated model (lags 0..modelAcfLags) into modelAcf, and
// modelGamma0 := its lag-0 autocovariance for unit white-noise variance (callers scale it by
// wnVariance where they need the model's). Returns 1; 0 when the ARMA part is not causal or the
// values would not be finite (modelAcf released, modelGamma0 unchanged).
int32_t FracArmaAcvf(UnivariateFields& project);

// Fills an ACF/PACF view's stick curves: `acfCurve` in panel 1 and `acfCurve + 2` in panel 2
// from `acf` and `pacf`, given sample size `nObs` (0: no bound lines) and pen style `pen`; both
// curves are set even when a panel is hidden, and the panels in use follow bits 8 and 16 of
// `flags`. With `shown` false or empty vectors both curves are cleared.
void SetAcfCurves(PlotRecord& view, int32_t acfCurve, bool shown, const std::vector<double>& acf,
                  const std::vector<double>& pacf, int32_t nObs, int32_t pen, int32_t flags);

// Panel cycle of a two-panel ACF/PACF view: both -> ACF only -> PACF only -> both; bits 8 and 16 of
// `flags` and the panels' in-use marks follow. The curves are not touched. Returns 1.
int32_t ToggleCurvePanels(PlotRecord& view, int32_t& flags);

// ---- Histogram

// The default bin count 2·floor(log2 n) + 1 (1 for n <= 1).
int32_t DefaultHistogramBins(int32_t n);

// Counts of x in `bins` bins of equal width between lo and hi: bin i holds lo + (i-1)w <= x <
// lo + iw; values outside [lo, hi) are not counted. edges gets bins + 1 values, counts bins. A
// range hi - lo beyond the doubles (values near both ends of their range) is binned in halves,
// its last edge kept at hi. Returns 1, or 0 (nothing written) when bins is not in
// 1..kMaxHistogramBins, a limit is not finite or hi <= lo.
int32_t HistogramCounts(const std::vector<double>& x, double lo, double hi, int32_t bins,
                        std::vector<double>& edges, std::vector<double>& counts);

// The y limits the data window draws its series with (the panel of its curve 1). Returns 0 when
// they are not a finite range.
int32_t DataWindowRange(const PlotRecord& dataView, double& lo, double& hi);

// ---- Spectra

// Model spectral density f(lambda_j), lambda_j = j·pi/K, j = 0..K, into f (K + 1 values):
// (sigma2/2pi)|theta(z)/phi(z)|^2, z = e^{i lambda}, times |1 - z|^{-2d} for j >= 1 when
// fractionally integrated (f(0) := 0 for d < 0). A frequency where phi(z) is exactly 0, or where
// the density would overflow, gets 1e6·sigma2. Returns the number of such frequencies; -1 (f
// empty) when K is not in 1..kMaxSpectrumIntervals, an order is not in 0..26, a coefficient,
// sigma2 or d is not finite, or a value would still not be finite.
int32_t ModelSpectrum(int32_t p, const double* phi, int32_t q, const double* theta, double sigma2,
                      int32_t fracIntegrated, double d, int32_t K, std::vector<double>& f);

// Fisher's test on the periodogram ordinates I[0..m-1]: R = max / mean and P, the probability of
// a ratio at least R for Gaussian white noise, by its alternating series. Returns 1, or 0 when
// m < 1 or the mean ordinate is not positive (R and P unchanged).
int32_t FisherTest(const double* I, int32_t m, double& R, double& P);

// Periodogram (with at least 2 observations), model spectrum and Fisher's values of the project;
// without data the periodogram is released, ordinateCount is 0 and Fisher's values stay; so it is
// when the library refuses the series or the ordinates would leave double range, which
// `tooLarge`, when given, tells (the values are too large for a periodogram). A constant series
// has ordinates of 0. Returns the number of singular model frequencies, or -1 when the model
// spectrum is not finite (it is then empty).
int32_t ComputeSpectrumValues(UnivariateFields& project, bool* tooLarge = nullptr);

// Curve 1 and 2 of the spectrum view, as PlotSpectrum draws them; `zeros` counts the values put
// at -100 on the log scale. Clears showPeriodogram when there are no ordinates.
struct SpectrumCurves {
    bool periodogram = false, model = false;
    std::vector<double> x1, y1, x2, y2;
    int32_t zeros = 0;
};
SpectrumCurves BuildSpectrumCurves(UnivariateFields& project);

// Cumulative model spectrum (C_f(0..K), normalised) into cumModelSpectrum: 1, or 0 without a
// model spectrum. Cumulative periodogram over the m = floor((n-1)/2) ordinates into
// cumPeriodogram: 1, or 0 when there is no periodogram or no positive ordinate among them.
int32_t CumulativeModelSpectrum(UnivariateFields& project);
int32_t CumulativePeriodogram(UnivariateFields& project);
// Abscissae of the two cumulative curves: k·pi/(m+1), k = 1..m, and j·pi/K, j = 0..K.
std::vector<double> CumulativePeriodogramX(int32_t m);
std::vector<double> SpectrumFrequencies(int32_t K);
