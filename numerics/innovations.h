#pragma once
// Innovations algorithm for an ARMA(p,q) model and the Gaussian likelihood it yields
// (Brockwell and Davis, Time Series: Theory and Methods, sections 5.2, 5.3 and 8.7).
//
// The recursion runs on the transformed process W(t) = X(t), t <= m, W(t) = phi(B)X(t), t > m,
// m = max(p,q), with unit white-noise variance; its covariance matrix K comes from
// ArmaStateCovariance (numerics/arma_acvf.h). Arrays are indexed from 1 and matrices are
// column-major with leading dimension 54 (numerics/one_based.h).
//
// Theta, the 54 x 54 coefficient matrix, has two forms:
//   time form, t <= 2m: Theta(t, j), j < t, is the weight of innovation U(j) in Xhat(t);
//   lag form, after time 2m: row 54 holds the weights of the newest predictor, column l being
//   the weight of the innovation l steps back (l = 1..q); rows 53, 52, ... hold the rows of
//   the predictors one, two, ... steps older.
// Callers read row 54, columns 1..q (after a run over an all-zero series these are the
// coefficients of the invertible moving average with the same autocovariances).
//
// A one-step variance that is not positive sets status to kStatusNotCausal (-1).
// InnovationsLikelihood checks its arguments at entry; the routines after it are its steps and
// take what it has checked.

// Lag form row of Theta holding the newest predictor.
constexpr int kInnovationsLagRow = 54;
// Most forecast steps InnovationsLikelihood gives.
constexpr int kMaxInnovationsForecasts = 100000;

// The innovations recursion over x[1..n] for the model coef = (phi1..phip, theta1..thetaq).
//   h         (in)      steps to forecast, at most kMaxInnovationsForecasts; h <= 0: none
//   acvf      (in/work) the model's autocovariances with unit noise variance, acvf[k+1] = gamma(k),
//                       at least max(p,q)+1 elements. Read only as the MA autocovariances
//                       g(0..q): with p = 0 the array's own elements 1..q+1; with p > 0 and
//                       q > 0 those elements are first overwritten with MaAcvf of theta.
//   S         (out)     sum over t = 1..n of U(t)^2/r(t)
//   L         (out)     sum over t = 1..n of ln r(t)
//   status    (in/out)  set to kStatusBadArgument (orders outside 0..26, p + q = 0, n < 2m or
//                       n < 2, h too large) or kStatusNotFinite (a NaN or infinite value in x
//                       or coef) before anything is computed; to kStatusNotCausal when a
//                       one-step variance r(t) is not positive (S and L then hold partial sums,
//                       resid, mse and fcst are untouched); to kStatusDegenerate when S = 0 (an
//                       all-zero series: the likelihood would be -infinity, while Theta, resid,
//                       mse and fcst are written as usual); to kStatusOutOfRange when S or L
//                       overflows or S underflows to a subnormal value (resid, mse and fcst
//                       untouched), or when a forecast or its error overflows; otherwise left as
//                       the caller set it
//   x         (in, n)   the series
//   n         (in)      its length, n >= max(2m, 2)
//   coef      (in, p+q), p, q (in)  the model; orders 0..26, p + q >= 1
//   K         (in)      state covariance, leading dimension 54; lower triangle up to order 2m
//   tol       (in)      convergence tolerance of the recursion
//   tconv     (in/out)  set to the time at which the recursion froze; unchanged otherwise
//   Theta     (work/out, 54 x 54) coefficient matrix, see above
//   resid     (out, n)  U(t)/sqrt(r(t)) when residFlag = 1 and either q = 0 or h <= 0
//   residFlag (in)      1: write resid
//   mse       (out, h)  mean squared error of the k-step forecast, k = 1..h (h > 0 only)
//   fcst      (out, h)  the k-step forecasts Xhat(n+k) (h > 0 only)
// The reduced Gaussian likelihood is ln(S/n) + L/n, with S/n the estimate of the noise variance.
// The recursion freezes (r and the row-54 weights then stay fixed) at the first time t after
// 2m + 2w, w = max(q,1), at which r and the row-54 weights have settled: their largest change
// over the last w steps, D(t), has shrunk since D(t-w), and the distance still left, estimated
// as D(t)/(1 - D(t)/D(t-w)), is at most tol/1000 (D(t) = 0 settles at once). A window of w steps
// sees a seasonal model move at its seasonal lag, where the steps in between barely change.
// With tol = 0 the recursion freezes only when it stops changing altogether; with tol < 0 it
// never freezes.
void InnovationsLikelihood(int h, double* acvf, double& S, double& L, int& status,
                           const double* x, int n, const double* coef, int p, int q,
                           const double* K, double tol, int& tconv, double* Theta, double* resid,
                           int residFlag, double* mse, double* fcst);

// Time-form rows t1..t2 of Theta and the relative one-step variances r[t1..t2] from K, given
// rows 1..t1-1 and r[1..t1-1]. Stops with status := kStatusNotCausal at the first r(t) <= 0.
void InnovationsStartRows(int t1, int t2, int& status, double* Theta, const double* K, double* r);

// Row 54 of Theta and r[t] for time t in lag form, from the rows 54-l (time t-l) and
// r[t-q..t-1].
//   g (in, q+1) MA autocovariances with unit noise variance, g[l+1] = lag l
void InnovationsLagRow(int t, int q, const double* g, double* r, double* Theta);

// Xhat[t] := sum_j Theta(54,j)·U[t-j] + sum_j phij·x[t-j] and U[t] := x[t] - Xhat[t].
void InnovationsPredictor(int t, double* U, const double* Theta, double* Xhat, const double* x,
                          int p, int q, const double* coef);

// Mean squared error of the k-step forecast from time n, mse[k] (Brockwell and Davis, (5.3.22)),
// with the rows 54-i of Theta holding the predictors of times n+k-i (i = 0..k-1) and
// r[n+1..n+k] their one-step variances.
// Beyond 54 steps the error of step 54 is repeated; a coefficient sum above 1e12 gives 1e24.
//   sigma2 (in)       white-noise variance
//   chi    (work, k+1) weights of 1/phi(z)
void PredictorMse(int k, const double* Theta, double sigma2, const double* r, int n, int p,
                  int q, const double* coef, double* mse, double* chi);
