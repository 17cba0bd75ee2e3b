#pragma once
// Sample mean, sample autocorrelations and partial autocorrelations (Durbin-Levinson).
// Arrays are indexed from 1 (numerics/one_based.h): element h+1 of an ACF or PACF holds lag h.

// Arithmetic mean of x[1..n], summed in index order. n < 1 gives 0 (nothing to average).
double SeriesMean(const double* x, int n);

// Arithmetic mean of x[1..n], finite values, that is finite whatever their size and exact for a
// constant series: the sum is taken of the values scaled by the power of two that brings the
// largest into [1/2, 1), and refined by the mean of the deviations from it, summed in long double
// (R's mean does the same refinement), which makes the mean of ordinary data correctly rounded.
// n < 1 gives 0.
double FiniteSeriesMean(const double* x, int n);

// x[i] := x[i] - mean(x[1..n]) for i = 1..n.
void SubtractMean(double* x, int n);

// Sample autocovariance at lag 0 and sample ACF/PACF of x[1..n] about its mean.
//   gamma0 (out)      sample autocovariance at lag 0 (divisor n)
//   n      (in)       series length, n >= 1
//   x      (in, n)    the series; not changed
//   acf    (out, L+1) acf[1] = 1, acf[h+1] = sample autocorrelation at lag h (divisor n for
//                     every lag)
//   pacf   (out, L+1) pacf[1] = 1, pacf[h+1] = sample partial autocorrelation at lag h
//   L      (in/out)   number of lags, at most n - 1; 0 or negative is replaced by 40 before
//                     anything else
//   work   (out, n)   x minus its mean
// Returns kStatusDone; kStatusBadArgument for n < 1 or L > n - 1 and kStatusNotFinite for a NaN
// or infinite value in x (only L is written); kStatusDegenerate when the series is constant
// (gamma0 = 0, acf and pacf are 1 at lag 0 and 0 elsewhere) or when the Durbin-Levinson
// recursion meets a zero one-step variance (see DurbinLevinson); kStatusOutOfRange when gamma0
// overflows or underflows a double (acf and pacf are still written: they do not depend on the
// scale of x).
[[nodiscard]] int SampleAcfPacf(double& gamma0, int n, const double* x, double* acf,
                                double* pacf, int& L, double* work);

// Partial autocorrelations of an autocorrelation sequence by the Durbin-Levinson recursion
// (Brockwell and Davis, Time Series: Theory and Methods, section 5.2).
//   r    (in, m)  r[k] = autocorrelation at lag k-1; r[1] is not read and taken as 1
//   m    (in)     number of lags plus one, m >= 2
//   pacf (out, m) pacf[1] = 1, pacf[2] = r[2], pacf[k+1] = phi(k,k) for k = 2..m-1
// Returns kStatusDone; kStatusBadArgument for m < 2 and kStatusNotFinite for a NaN or infinite
// r[2..m] (nothing written); kStatusDegenerate when a
// one-step variance is not positive (|r[2]| >= 1, or an exactly predictable or invalid ACF): the
// lags that would divide by it are set to 0.
[[nodiscard]] int DurbinLevinson(const double* r, int m, double* pacf);
