#pragma once
// ARAR forecasting: memory shortening by at most three simple autoregressive filters, a subset
// autoregression at four lags (1, l1, l2, l3) of the shortened, mean-corrected series, and
// forecasts from the product of the two filters (Brockwell and Davis, Introduction to Time
// Series and Forecasting, section 9.1). Vectors are indexed from 1 as in numerics/one_based.h,
// except the filter polynomials, which are indexed by lag from 0.
// Every routine refuses input that is not finite with kStatusNotFinite and a result that does
// not fit a double with kStatusOutOfRange, writing nothing then. The fits do not depend on the
// scale of the series: series near the ends of the double range are fitted scaled by a power of
// two.
#include <vector>

// Fewest observations the method accepts.
constexpr int kArarMinObservations = 30;
// The shortening polynomial has degree at most 3 filters x lag 15.
constexpr int kArarMaxShorteningDegree = 45;
// The whitening filter reaches lag L + D <= 26 + 45.
constexpr int kArarMaxWhiteningLag = 71;
// Status: after shortening, the largest lag L = min(13 or 26, n - 2D - 1) is below 4, so no lag
// triple 2 <= l1 < l2 < l3 <= L exists.
constexpr int kArarTooFewLags = 40;
// Criterion value of a triple whose likelihood could not be evaluated.
constexpr double kArarRejected = 1e30;
// The first index of the likelihood's sum of squared innovations: the Windows program's ARAR
// forecasts leave out t = 1; ospe sums over every t, the exact Gaussian likelihood.
constexpr int kArarSumFromSecond = 2;
constexpr int kArarSumFromFirst = 1;

// What one pass of the memory shortening found and did, for a report.
enum class ArarPassAction { Stop, LagFilter, TwoLagFilter };
struct ArarShorteningPass {
    int tau = 0;       // the best lag
    double b = 0.0;    // its coefficient b(tau)
    double err = 0.0;  // its relative residual sum of squares Err(tau)
    ArarPassAction action = ArarPassAction::Stop;
    // The AR(2) filter's coefficients at lags 1, 2 and its residual ratio (TwoLagFilter only).
    double a1 = 0.0;
    double a2 = 0.0;
    double ratio = 0.0;
};

// Everything one fit yields; the forecasts and the report are made from it.
struct ArarFitResult {
    std::vector<double> psi;  // shortening polynomial, lags 0..D, psi[0] = 1
    int maxLag = 0;           // L, the largest lag searched
    int lags[4] = {};         // 1, l1, l2, l3
    double coef[4] = {};      // a1..a4 at those lags
    std::vector<double> xi;   // whitening filter psi(B)·phi(B), lags 0..L+D
    double mean = 0.0;        // mean of the shortened series
    double rootMse = 0.0;     // root mean squared one-step error of the fit
    double criterionValue = 0.0;      // the winning triple's score
    double whiteNoiseVariance = 0.0;  // its Yule-Walker white-noise variance (any criterion)
};

// Memory shortening of y[1..n]. Each pass finds, among lags tau = 1..15, the one whose
// regression y(t+tau) = b·y(t) (no mean removed) has the least relative error Err (the smaller
// lag on ties); Err <= 8/m, or b >= 0.93 with tau >= 3, applies the filter 1 - b·B^tau;
// b >= 0.93 with tau <= 2 applies the least-squares AR(2) filter 1 - a1·B - a2·B^2; otherwise
// the memory is short and shortening stops. At most 1, 2 or 3 filters for n < 35, n < 50 and
// n >= 50.
//   y   (in, n)   the series
//   n   (in)      length, n >= kArarMinObservations
//   psi (out)     the product of the filters in the order applied, lags 0..D; {1} when none
//   passes (out, optional)  each pass's best lag and decision, the last one a Stop unless the
//                 filter limit ended the shortening
// Returns kStatusDone; kStatusBadArgument for n < kArarMinObservations; kStatusDegenerate when
// a regression has a zero sum of squares or the AR(2) system a zero determinant (a series of
// zero variance, or one that a filter reduced to zeros); psi and passes are then not written.
[[nodiscard]] int ArarMemoryShortening(const double* y, int n, std::vector<double>& psi,
                                       std::vector<ArarShorteningPass>* passes = nullptr);

// Least-squares coefficients of y(t+2) = a1·y(t+1) + a2·y(t), t = 1..m-2, no mean removed,
// and optionally the residual ratio sum (y(t+2) - a1·y(t+1) - a2·y(t))^2 / sum y(t+2)^2.
//   y (in, m); m (in) >= 3; a1, a2 (out); ratio (out, optional)
// Returns kStatusDone; kStatusBadArgument for m < 3; kStatusDegenerate when the determinant of
// the normal equations is zero, or the ratio is asked for and y(3..m) are all zero (nothing
// written).
[[nodiscard]] int ArarTwoLagFit(const double* y, int m, double& a1, double& a2,
                                double* ratio = nullptr);

// In-place inverse of the n x n matrix A (column-major, leading dimension lda >= n) by
// Gauss-Jordan elimination without pivoting. The diagonal is carried with 1 added, so a pivot
// counts as zero once it vanishes against 1 (below about 1e-16 for correlation matrices).
// Returns kStatusDone, or kStatusInversionFailed on a zero pivot (A is then partly reduced and
// must not be used).
[[nodiscard]] int ArarMatrixInverse(int n, double* A, int lda);

// Subset Yule-Walker coefficients at lags (1, l1, l2, l3): a = R^-1·r with
// R(i,j) = rho(|lambda_i - lambda_j|) and r = (rho(1), rho(l1), rho(l2), rho(l3)).
//   rho (in)  rho[k] = autocorrelation at lag k (0-based by lag), k = 0..l3
//   l1, l2, l3 (in)  1 < l1 < l2 < l3
//   a   (out, 4)
// Returns kStatusDone; kStatusInversionFailed when R is singular and kStatusOutOfRange when a
// coefficient overflows (a not written).
[[nodiscard]] int ArarSubsetYuleWalker(const double* rho, int l1, int l2, int l3, double* a);

// Gaussian likelihood value of the AR(p) model phi on s[1..m]: with gamma* the model
// autocovariances for unit noise variance and r(t), s^(t) the one-step variances and
// predictors (innovations algorithm for t <= p, the AR recursion after),
// Q = sum for t = sumFrom..m of (s(t) - s^(t))^2 / r(t), sigma2 = Q/m and
// ell = ln(sigma2) + (1/m)·sum for t = 1..p of ln r(t).
//   phi (in, p)   coefficients, zeros outside the subset; p (in) 1..26
//   s   (in, m)   the mean-corrected series; m (in) > p
//   ell, sigma2 (out)
//   sumFrom (in)  kArarSumFromSecond or kArarSumFromFirst
// Returns kStatusDone; kStatusBadArgument for p, m or sumFrom out of range;
// kStatusInversionFailed when the autocovariance system is singular; kStatusDegenerate when
// sigma2 <= 0 or some r(t) <= 0.
[[nodiscard]] int ArarSubsetLikelihood(const double* phi, int p, const double* s, int m,
                                       double& ell, double& sigma2,
                                       int sumFrom = kArarSumFromSecond);

// Lag search: every triple 2 <= l1 < l2 < l3 <= L in ascending order (l1 outermost), scored
// by the white-noise variance gamma0·(1 - a1·rho(1) - a2·rho(l1) - a3·rho(l2) - a4·rho(l3))
// (criteria 1, 2) or m·ell + 8 with ell from ArarSubsetLikelihood (criterion 3; a failed
// likelihood scores kArarRejected). The smallest score wins and the first such triple wins
// ties. A triple whose 4 x 4 system is singular is no candidate at all.
//   rho    (in)      rho[k], k = 0..L (0-based by lag); gamma0 (in) the lag-0 autocovariance
//   L      (in)      largest lag, 4 <= L <= 26
//   criterion (in)   1, 2 or 3
//   S, m   (in)      the mean-corrected series, m > L (criterion 3 only; may be null otherwise)
//   lags   (out, 4)  1, l1, l2, l3;  a (out, 4) their coefficients
//   value  (out, optional)  the winner's score; variance (out, optional) its white-noise
//                           variance, whatever the criterion
//   sumFrom (in)     the likelihood's first index (ArarSubsetLikelihood)
// Returns kStatusDone; kStatusBadArgument for L, criterion or sumFrom out of range;
// kStatusInversionFailed when every triple is singular (nothing written).
[[nodiscard]] int ArarLagSearch(const double* rho, double gamma0, int L, int criterion,
                                const double* S, int m, int* lags, double* a,
                                double* value = nullptr, double* variance = nullptr,
                                int sumFrom = kArarSumFromSecond);

// The shortened series S(t) = sum for k = 0..D of psi_k·Y(t + D - k), t = 1..m = n - D, less
// its mean.
//   Y (in, n); n (in) > D; psi (in) lags 0..D, D <= kArarMaxShorteningDegree, psi[0] = 1
//   S (out, m) the mean-corrected series; mean (out) its mean before correction
// Returns kStatusDone; kStatusBadArgument for psi or n out of range; kStatusDegenerate when the
// shortened series is constant (nothing written).
[[nodiscard]] int ArarShortenedSeries(const double* Y, int n, const std::vector<double>& psi,
                                      std::vector<double>& S, double& mean);

// Subset fit on Y[1..n] with the shortening polynomial psi: the shortened series
// S(t) = sum for k = 0..D of psi_k·Y(t + D - k), t = 1..m = n - D, less its mean; the lag
// search over 2 <= l1 < l2 < l3 <= L, L = min(13, n - 2D - 1) for criteria 1 and 3 and
// min(26, n - 2D - 1) for criterion 2, minimising the white-noise variance (criteria 1, 2) or
// m·ell + 8 (criterion 3); the first triple in ascending order wins ties. Triples whose 4 x 4
// system is singular are skipped; a triple whose likelihood fails scores kArarRejected.
//   Y         (in, n)   the observations
//   n         (in)      length, n >= 2·D + 5
//   psi       (in)      lags 0..D, D <= kArarMaxShorteningDegree, psi[0] = 1
//   criterion (in)      1, 2 or 3
//   fit       (out)     every field
//   sumFrom   (in)      the likelihood's first index (ArarSubsetLikelihood)
// Returns kStatusDone; kStatusBadArgument for a criterion, psi or sumFrom out of range;
// kArarTooFewLags when L < 4; kStatusDegenerate when the shortened series is constant;
// kStatusInversionFailed when every triple's system is singular. On failure fit is not written.
[[nodiscard]] int ArarSubsetFit(const double* Y, int n, const std::vector<double>& psi,
                                int criterion, ArarFitResult& fit,
                                int sumFrom = kArarSumFromSecond);

// Forecasts F(n+k), k = 1..h, of the fitted series: F(T) = -sum for j = 1..L+D of xi_j·F(T-j)
// + mean·(1 - a1 - a2 - a3 - a4), with F(t) = Y(t) for t <= n.
//   Y (in, n); n (in) > L + D; fit (in) from ArarSubsetFit on Y; h (in) >= 0; F (out, h)
// Returns kStatusDone; kStatusBadArgument for n <= L + D, h < 0 or an empty filter and
// kStatusNotFinite for a value of Y or the fit that is not finite (nothing written);
// kStatusOutOfRange when a forecast overflows (nothing written).
[[nodiscard]] int ArarForecast(const double* Y, int n, const ArarFitResult& fit, int h, double* F);
