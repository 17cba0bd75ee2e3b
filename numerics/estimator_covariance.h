#pragma once
// Large-sample covariance of ARMA estimators (Brockwell and Davis, Time Series: Theory and
// Methods, section 8.8). Coefficients as in numerics/arma_acvf.h: coef = (phi1..phip,
// theta1..thetaq), orders 0..26. Matrices are column-major and indexed from 1
// (numerics/one_based.h).

// Leading dimension of the matrix ArAcvfMatrix fills.
constexpr int kArAcvfLeadingDimension = 27;

// Result codes of ArmaEstimatorCovariance. Any code but kCovarianceDone means that no standard
// errors are available.
constexpr int kCovarianceDone = 0;
constexpr int kCovarianceBadArgument = 3;  // equals kStatusBadArgument
constexpr int kCovarianceNotFinite = 6;    // a coefficient is not finite; equals kStatusNotFinite
constexpr int kCovarianceMaNotInvertible = 10;
constexpr int kCovarianceArNotCausal = 20;
constexpr int kCovarianceSingular = 30;

// Autocovariance matrix of the AR(p) process a(B)U(t) = Z(t), Var Z = 1, through the step-down
// (partial autocorrelation) recursion, which also tests causality.
//   p      (in)   order, 1..26
//   A      (out)  p × p, leading dimension 27: A(i,j) = g(|i-j|); used as the step-down table
//   a      (in, p) autoregressive coefficients a1..ap of 1 - a1·z - ... - ap·z^p
//   status (out)  kStatusDone; kStatusNotCausal when a partial autocorrelation reaches 1 in
//                 magnitude (A partly overwritten); kStatusBadArgument for p out of range and
//                 kStatusNotFinite for a coefficient that is not finite (nothing written)
void ArAcvfMatrix(int p, double* A, const double* a, int& status);

// Inverse of the free-coefficient submatrix of Gamma, the covariance matrix of
// (U(t-1..t-p), V(t-1..t-q)) with phi(B)U(t) = Z(t) and theta(B)V(t) = Z(t), Var Z = 1. The
// standard error of free coefficient i is sqrt(V(i,i)/n) for a series of length n.
//   p, q (in), coef (in, p+q)  the model, p+q >= 1
//   k    (in)        number of free coefficients, 1..p+q
//   idx  (in, k)     their positions in coef, strictly increasing within 1..p+q
//   V    (out)       leading dimension 54, (p+q) × (p+q) used as work; result in V(1..k,1..k)
//   code (out)       kCovarianceDone, kCovarianceMaNotInvertible, kCovarianceArNotCausal,
//                    kCovarianceSingular (an inversion met a zero pivot or overflowed, or the
//                    result has a diagonal element that is not positive and finite),
//                    kCovarianceBadArgument, kCovarianceNotFinite (nothing written)
//   fail (out)       0; -1 with codes 10 and 20; kStatusInversionFailed (1) with code 30
void ArmaEstimatorCovariance(int p, int q, const double* coef, int k, const int* idx, double* V,
                             int& code, int& fail);
