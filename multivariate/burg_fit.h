#pragma once
// Vector autoregression X(t) = PHI(1) X(t-1) + ... + PHI(p) X(t-p) + Z(t), {Z(t)} white noise
// with covariance V, fitted by the multivariate Burg recursion with normalised partial
// correlations from Cholesky factors (Morf, Vieira, Lee and Kailath, IEEE Transactions on
// Geoscience Electronics 16, 1978), with the order given or chosen by minimum AICC.
#include <vector>

// BurgMvarFit: the Burg estimates of order p, or of the order 0..20 of minimum AICC.
//   X    (in, m × n)        centred series; element (j, t) at X[(t-1)·m + (j-1)]; not changed
//   n, m (in)               times and components; n·m > 2
//   PHI  (out, 20 × m × m)  element (k, i, j) = row i, column j of PHI(k) at
//                           PHI[(k-1) + 20·((i-1) + m·(j-1))]; lags 1..p written, the others
//                           left as they were
//   V    (out, m × m)       the forward prediction-error covariance of the order fitted
//   p    (in/out)           in: 0..20 the order to fit, -1 the search; out: the order fitted
//   AICC (out)              criterion of the order fitted
//   R    (out, m × n)       a copy of X
// The search stops at the highest order l with l·m·m + 2 < n·m, since higher orders can only
// score 1E20; a tie keeps the lower order.
// The recursion runs on X scaled by a power of two to unit size (numerics/series_scaling.h), so
// that X and c·X get the same coefficients, V times c^2, for any c whose covariance fits.
// Returns kStatusDone; kStatusLowerOrder when the recursion met a forward covariance with a
// determinant that is not positive, or a matrix that is not positive definite, below the order
// asked (or the search's highest order): the outputs then hold the best order before it. With
// every output untouched: kStatusBadArgument (n, m or p out of range, or a value of X not
// finite); kStatusDegenerate when the lag-0 covariance is not finite or its determinant is not
// positive (" Numerical difficulties" is written to the standard output), or a result is not
// finite; kStatusOutOfRange when V on the scale of X leaves the doubles (overflows, or a
// variance falls below the smallest normal number); kStatusNoMemory when the working storage
// cannot be allocated.
[[nodiscard]] int BurgMvarFit(const double* X, int n, int m, double* PHI, double* V, int& p,
                              double& AICC, double* R);

// Working arrays of the recursion for n times, m components and orders up to pmax.
struct BurgMvarWork {
    std::vector<double> b;       // n × m, time first: backward prediction errors
    std::vector<double> w;       // n × m: forward corrections of one order
    std::vector<double> Vf, Vb;  // pmax+1 matrices m × m: error covariances of orders 0..pmax
    std::vector<double> B;  // pmax matrices m × m: backward partial, then coefficient, matrices
    std::vector<double> Sfb, Sff, Sbb, Cf, Cb, F, G, scratch;  // m × m
};
// Sizes the arrays; kStatusDone, or kStatusNoMemory.
[[nodiscard]] int AllocateBurgMvarWork(BurgMvarWork& work, int n, int m, int pmax);

// BurgMvarRecursion: orders 0..pmax of the Burg recursion on the working copy E, with the
// criterion of each order and the step-up to the coefficients of the order chosen.
//   mode   (in)      the order asked (0..20), or -1 for the search
//   n, m   (in)      times and components
//   pmax   (in)      highest order to compute (mode when mode >= 0); the work is sized for it
//   E      (in/out)  n × m, time first: the series, overwritten by forward prediction errors
//   chosen (out)     the order selected: the lowest of minimum criterion, or the order asked
//   V      (out)     m × m: forward error covariance of the chosen order
//   A      (out)     m × m × pmax, lag last: A(i, j, k) = row i, column j of PHI(k) of the
//                    chosen order (lags 1..chosen), other lags hold partial matrices
//   work   (work)    sized by AllocateBurgMvarWork for n, m and pmax
//   AICC   (out)     criterion of the chosen order
// Returns kStatusDone, or kStatusLowerOrder when an order below pmax met a forward covariance
// whose determinant is not positive or a matrix that is not positive definite
// (" MATRIX NOT POSITIVE DEFINITE IN CHOLES" is written to the standard output for the latter);
// the result is then the best of the orders before it, also when an order was asked.
[[nodiscard]] int BurgMvarRecursion(int mode, int n, int m, int pmax, double* E, int& chosen,
                                    double* V, double* A, BurgMvarWork& work, double& AICC);
