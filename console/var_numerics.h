#pragma once
// The numerical steps molda and drav share around their fits: differencing and mean correction of
// the m-variate series, the order bound, one-step prediction errors, forecasts of the differenced
// series, psi matrices and forecast mean squared errors, and the forecasts of the undifferenced
// series with the operator their errors come from. molda works on its differenced series in double
// precision, drav in single: the real type is a template parameter (instantiated for both).
//
// Storage is fixed-size. A series array holds the m values of one time together: element (j, t),
// component j at time t (both from 1), is at [(t-1)·m + (j-1)]; it has room for kVarColumns times.
// Square matrices have the leading dimension kVarLd; a set of lag matrices holds matrix k (from 1)
// at [(k-1)·kVarMatrix], element (i, j) of it at [(i-1) + kVarLd·(j-1)].

#include <cmath>
#include <cstddef>
#include <limits>

constexpr int kVarComponents = 11;  // m at most
constexpr int kVarVectors = 10000;  // observation vectors kept
constexpr int kVarForecasts = 20;   // h at most
constexpr int kVarColumns = kVarVectors + kVarForecasts;
constexpr int kVarLags = 20;  // orders and psi matrices at most
constexpr int kVarLd = kVarComponents;
constexpr int kVarMatrix = kVarLd * kVarLd;
constexpr int kVarSeriesLength = kVarComponents * kVarColumns;
constexpr int kVarLagSetLength = kVarLags * kVarMatrix;

// x in single precision; a value beyond the float range becomes an infinity of its sign (a
// conversion the language leaves undefined), which the programs' finiteness checks then catch.
inline float VarSingle(double x)
{
    if (std::isnan(x) || std::fabs(x) <= static_cast<double>(std::numeric_limits<float>::max()))
        return static_cast<float>(x);
    return x > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
}
inline float VarSingle(float x)
{
    return x;
}

// Where element (j, t), component j at time t (both from 1), of a series of m components lies.
inline std::size_t VarAt(int j, int t, int m)
{
    return static_cast<std::size_t>(t - 1) * static_cast<std::size_t>(m) + static_cast<std::size_t>(j - 1);
}

// Where element (i, j), from 1, of a matrix of leading dimension kVarLd lies.
inline std::size_t VarEntry(int i, int j)
{
    return static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(kVarLd) * static_cast<std::size_t>(j - 1);
}

// C += alpha·A·op(B), op(B) = B' when transposeB, for m × m matrices of leading dimension kVarLd.
template <typename T>
void VarAddProduct(int m, T alpha, const T* A, const T* B, bool transposeB, T* C)
{
    for (int j = 1; j <= m; ++j)
        for (int k = 1; k <= m; ++k) {
            const T b = alpha * (transposeB ? B[VarEntry(j, k)] : B[VarEntry(k, j)]);
            for (int i = 1; i <= m; ++i) C[VarEntry(i, j)] += A[VarEntry(i, k)] * b;
        }
}

// B := A for m × m matrices of leading dimension kVarLd.
template <typename T>
void VarCopyMatrix(const T* A, int m, T* B)
{
    for (int j = 1; j <= m; ++j)
        for (int i = 1; i <= m; ++i) B[VarEntry(i, j)] = A[VarEntry(i, j)];
}

// pmax = min(21, (n'·m - 2) div (m·m)), integer division towards zero: orders must lie below it.
// 0 or less when the series is too short for any order.
int VarOrderBound(int nPrime, int m);

// Y := X differenced ndiff (0, 1 or 2) times at lag1 and lag2; returns n' = n - lag1 (- lag2).
// The caller has checked 1 <= lag1 (+ lag2) < n.
//   X (in, m × n), Y (out, m × n')
template <typename T>
int DifferenceSeries(const float* X, int n, int m, int ndiff, int lag1, int lag2, T* Y);

// mean(i) = sum over t of Y(i, t) / n'; Y(i, t) -= mean(i); var(i) = sum of Y(i, t)^2 / n' after
// the subtraction; sd(i) = sqrt(var(i)). The sums are double for either type; in single precision
// a variance beyond the float range is an infinity while sd may still be held.
//   Y (in/out, m × n'), mean, var, sd (out, m)
template <typename T>
void MeanCorrect(int m, int nPrime, T* Y, T* mean, T* var, T* sd);

// e(t) = Y(t) - sum for k = 1..p of PHI(k) Y(t-k), t = p+1..n', rounded to single precision;
// columns 1..p of e are not written.
//   Y (in, m × n'), PHI (in, lag set), e (out, m × n')
template <typename T>
void PredictionErrors(const T* Y, int nPrime, int m, const T* PHI, int p, float* e);

// Y(., n'+i) = sum for k = 1..p of PHI(k) Y(., n'+i-k), i = 1..h, forecasts of the mean-corrected
// series, each from the data and the forecasts before it. p < n'.
//   Y (in/out, m × (n'+h)), PHI (in, lag set), h <= kVarForecasts
template <typename T>
void ForecastDifferenced(T* Y, int nPrime, int m, const T* PHI, int p, int h);

// PSI(1) = I; PSI(s) = sum for j = 1..min(s-1, q) of phi(j) PSI(s-j), s = 2..20, with
// phi(j) = -A(j): the moving-average matrices of the model whose negated coefficients A are given.
//   A (in, lag set, lags 1..q), PSI (out, lag set, 20 matrices), q <= kVarLags
template <typename T>
void PsiMatrices(const T* A, T* PSI, int q, int m);

// MSE(1) = PSI(1) V PSI(1)'; MSE(i) = MSE(i-1) + PSI(i) V PSI(i)', i = 2..h: the i-step forecast
// mean squared error matrices.
//   PSI (in, lag set), V (in, matrix), MSE (out, lag set, matrices 1..h)
template <typename T>
void ForecastMse(const T* PSI, const T* V, int m, int h, T* MSE);

// The negated coefficients A(1..q) of the undifferenced series' operator phi(z)(1 - z^lag1) for
// ndiff = 1 and phi(z)(1 - z^lag1)(1 - z^lag2) for ndiff = 2, with phi(z) = I - sum PHI(k) z^k:
// each factor of lag L turns phi*(k) into phi*(k) - phi*(k - L) + [k = L] I. Only lags 1..20 are
// kept; q = min(p + lag1 (+ lag2), 20).
//   PHI (in, lag set, lags 1..p), A (out, lag set)
template <typename T>
void UndifferencedOperator(const T* PHI, int p, int m, int ndiff, int lag1, int lag2, T* A, int& q);

// X(j, n+i), i = 1..h, in single precision from the forecasts Y(j, n'+i) of the differenced,
// mean-corrected series and its means: for ndiff = 1, Y + mean + X(j, n+i-lag1); for ndiff = 2,
// X(j, n+i-lag1) + X(j, n+i-lag2) - X(j, n+i-lag1-lag2) + Y + mean, later values using the
// forecasts made before them.
//   X (in/out, m × (n+h)), Y (in, m × (n'+h)), mean (in, m)
template <typename T>
void UndifferenceForecasts(float* X, int n, int m, const T* Y, int nPrime, const T* mean, int ndiff, int lag1,
                           int lag2, int h);

// Whether every one of `count` values is finite.
template <typename T>
bool AllValuesFinite(const T* values, int count);

// Whether the m × m blocks of `count` matrices stored one after another (leading dimension kVarLd)
// are finite; the rest of each block is not looked at.
template <typename T>
bool MatricesFinite(const T* matrices, int count, int m);
