#pragma once
// molda's fit: Whittle's multivariate form of the Durbin-Levinson recursion on the sample
// cross-covariances of the standardised series (Whittle, Biometrika 50, 1963), with the exact
// Gaussian likelihood of every order from the one-step prediction errors and its AICC.
// Covariances, coefficients, error covariances and determinants are double precision; the
// likelihood sums, the AICC and the prediction errors single precision. Layouts as in
// console/var_numerics.h.
#include "console/var_numerics.h"

// The fit's fixed working storage, about 0.8 MB: one per program.
struct MoldaWork {
    double gamma[(kVarLags + 1) * kVarMatrix];  // Gamma(0..20), matrix h at [h·kVarMatrix]
    double forward[kVarLags * kVarLagSetLength];   // Phi(l, j) of order l, lag j <= l
    double backward[kVarLags * kVarLagSetLength];  // Psi(l, j), the backward sets
    double logDet[kVarLags + 1];                   // L(0..20)
    float quadratic[kVarLags + 1];                 // q(0..20)
    float aicc[kVarLags + 1];                      // AICC(0..P), standardised scale
    double vf[kVarMatrix];                         // forward error covariance of the last order
    double vb[kVarMatrix];
    double delta[kVarMatrix];
    double inverse[kVarMatrix];
};

// The Gauss-Jordan inverse in place (leading dimension kVarLd) of the matrix of order N + 1, with
// the pivot and the multiplier held in single precision; flag 1 on a zero pivot (the matrix is
// then left partly transformed).
void MoldaInvertMatrix(int N, double* a, int& flag);

// det of the m × m matrix a (leading dimension kVarLd, not changed) by the LU decomposition with
// implicit row scaling whose running largest pivot score is held in single precision. Returns 1,
// or 0 when its working copy cannot be had.
[[nodiscard]] int MoldaDeterminant(const double* a, int m, double& det);

// Gamma(h)(i, j) = (1/n') sum for t = 1..n'-h of Y(i, t+h) Y(j, t), h = 0..20.
//   Y (in, m × n'), standardised
void MoldaCovariances(const double* Y, int nPrime, int m, MoldaWork& work);

// Orders 0..P of the recursion on the covariances of MoldaCovariances: the coefficient sets of
// every order, L(k), q(k) and AICC(k) (1e20 when k m^2 + 2 >= n'm), and in work.vf the forward
// error covariance of order P. The prediction errors of each order k >= 1 go to e(., k+1..n').
// Returns 1; 0 when the determinant of Gamma(0) or of the error covariance of an order is not above
// 0 (or not a number), with that order in failedOrder.
//   Y (in, m × n') standardised; e (work, m × n'); P <= 20, P < n'
[[nodiscard]] int MoldaRecursion(const double* Y, int nPrime, int m, int P, MoldaWork& work, float* e,
                                 int& failedOrder);

// The order of least AICC among 0..count-1; a tie keeps the lower order.
int MoldaBestOrder(const float* aicc, int count);

// The coefficient matrix Phi(P, k) of order P at lag k in `work`.
const double* MoldaCoefficient(const MoldaWork& work, int P, int k);
