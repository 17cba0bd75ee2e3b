#pragma once
// drav's fit: the multivariate Burg recursion (normalised partial correlations from Cholesky
// factors; Morf, Vieira, Lee and Kailath, IEEE Transactions on Geoscience Electronics 16, 1978,
// in the form of R. H. Jones, Multivariate autoregression estimation using residuals, 1978) in
// single precision on fixed storage, with the AICC of every order. Layouts as in
// console/var_numerics.h; the series handed to the fit lies time first.
#include "console/var_numerics.h"

// The fit's fixed working storage, about 0.5 MB: one per program.
struct DravWork {
    float backward[kVarSeriesLength];             // backward errors, time first
    float update[kVarSeriesLength];               // forward corrections of one order
    float Vf[(kVarLags + 1) * kVarMatrix];        // forward error covariances of orders 0..20
    float Vb[(kVarLags + 1) * kVarMatrix];        // backward ones
    float A[kVarLagSetLength];                    // forward partial, then coefficient, matrices
    float B[kVarLagSetLength];                    // backward ones
    float Sfb[kVarMatrix], Sff[kVarMatrix], Sbb[kVarMatrix];
    float Cf[kVarMatrix], Cb[kVarMatrix], F[kVarMatrix], G[kVarMatrix], scratch[kVarMatrix];
};

// Where the order loop of BurgFit ended early: at `order` (0 when it ran to its end), because a
// sum or covariance was not positive definite (Cholesky) or the forward error covariance's
// determinant was not above 0.
struct BurgFitEnd {
    int order = 0;
    bool notPositiveDefinite = false;
};

// Gamma(0)(i, j) = (1/n') sum for t = 1..n' of Y(i, t) Y(j, t), filled symmetrically.
//   Y (in, m × n', values of one time together), G (out, matrix)
void DravLagZeroCovariance(const float* Y, int nPrime, int m, float* G);

// The order-0 criterion n' ln det + 2 / (1 - 2/(n'm)) + n'm (1 + ln 2 pi), with 2 pi = 6.2831855.
float DravOrderZeroAicc(int nPrime, int m, float det);

// drav's order for the search: 0 when AICC(0) is not above the best criterion the fit returned
// (a tie selects order 0), else the order the fit chose.
int DravSearchOrder(float aicc0, float fitAicc, int chosen);

// det of the m × m matrix (leading dimension kVarLd, not changed) by the pivoted LU decomposition
// in single precision. Returns 1, or 0 when its working copy cannot be had.
[[nodiscard]] int DravDeterminant(const float* a, int m, float& det);

// BurgFit: orders 0..P of the recursion on D, and the coefficient matrices of the chosen order q:
// the minimum-AICC order for the search (choice -1; a tie keeps the lower order), P = choice for a
// fixed order. When the loop ends early (BurgFitEnd) q is the best order computed before, also for
// a fixed order.
//   choice (in)  -1 search, else the order (then P = choice)
//   D      (in/out, n' × m, time first: element (t, j) at [(t-1) + n'·(j-1)]) the mean-corrected
//          series; overwritten with the forward errors of the last order computed
//   PHI    (out, lag set) PHI(1..q), natural sign: X(t) = sum PHI(k) X(t-k) + Z(t)
//   q      (out) the order chosen
//   V      (out, matrix) Vf(q)
//   aicc   (out) AICC(q), or the AICC of the last order for a fixed order that ran to its end;
//          meaningless for a fixed order 0
//   end    (out) where the loop ended early
// P <= 20, P < n'.
void BurgFit(int choice, int nPrime, int m, int P, float* D, float* PHI, int& q, float* V, float& aicc,
             DravWork& work, BurgFitEnd& end);
