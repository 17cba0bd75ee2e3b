#include "console/var_numerics.h"

#include "numerics/series_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

std::size_t Lag(int k)
{
    return static_cast<std::size_t>(k - 1) * kVarMatrix;
}

// C := A·B for m × m matrices of leading dimension kVarLd.
template <typename T>
void Multiply(const T* A, const T* B, int m, T* C)
{
    for (int j = 1; j <= m; ++j)
        for (int i = 1; i <= m; ++i) {
            T s = T(0);
            for (int k = 1; k <= m; ++k) s += A[VarEntry(i, k)] * B[VarEntry(k, j)];
            C[VarEntry(i, j)] = s;
        }
}

}  // namespace

int VarOrderBound(int nPrime, int m)
{
    const long long bound = (static_cast<long long>(nPrime) * m - 2) / (static_cast<long long>(m) * m);
    return static_cast<int>(std::min<long long>(21, bound));
}

template <typename T>
int DifferenceSeries(const float* X, int n, int m, int ndiff, int lag1, int lag2, T* Y)
{
    const int nPrime = ndiff == 0 ? n : ndiff == 1 ? n - lag1 : n - lag1 - lag2;
    for (int t = 1; t <= nPrime; ++t)
        for (int j = 1; j <= m; ++j) {
            const T x = static_cast<T>(X[VarAt(j, t, m)]);
            if (ndiff == 0)
                Y[VarAt(j, t, m)] = x;
            else if (ndiff == 1)
                Y[VarAt(j, t, m)] = static_cast<T>(X[VarAt(j, t + lag1, m)]) - x;
            else
                Y[VarAt(j, t, m)] = static_cast<T>(X[VarAt(j, t + lag1 + lag2, m)]) -
                                 static_cast<T>(X[VarAt(j, t + lag1, m)]) - static_cast<T>(X[VarAt(j, t + lag2, m)]) + x;
        }
    return nPrime;
}

template <typename T>
void MeanCorrect(int m, int nPrime, T* Y, T* mean, T* var, T* sd)
{
    // The sums are double in both programs: single-precision values near the end of their range
    // (2e37 in a few dozen values) would overflow a float sum although each value and the mean fit.
    SubtractSeriesMeans<T, double>(Y, nPrime, m, mean);
    SeriesScales<T, double>(Y, nPrime, m, var, sd);
}

template <typename T>
void PredictionErrors(const T* Y, int nPrime, int m, const T* PHI, int p, float* e)
{
    for (int t = p + 1; t <= nPrime; ++t)
        for (int i = 1; i <= m; ++i) {
            T s = Y[VarAt(i, t, m)];
            for (int k = 1; k <= p; ++k) {
                const T* phi = PHI + Lag(k);
                for (int j = 1; j <= m; ++j) s -= phi[VarEntry(i, j)] * Y[VarAt(j, t - k, m)];
            }
            e[VarAt(i, t, m)] = VarSingle(s);
        }
}

template <typename T>
void ForecastDifferenced(T* Y, int nPrime, int m, const T* PHI, int p, int h)
{
    for (int step = 1; step <= h; ++step) {
        const int t = nPrime + step;
        for (int i = 1; i <= m; ++i) {
            T s = T(0);
            for (int k = 1; k <= p; ++k) {
                const T* phi = PHI + Lag(k);
                for (int j = 1; j <= m; ++j) s += phi[VarEntry(i, j)] * Y[VarAt(j, t - k, m)];
            }
            Y[VarAt(i, t, m)] = s;
        }
    }
}

template <typename T>
void PsiMatrices(const T* A, T* PSI, int q, int m)
{
    std::fill(PSI, PSI + kVarLagSetLength, T(0));
    for (int i = 1; i <= m; ++i) PSI[VarEntry(i, i)] = T(1);
    for (int s = 2; s <= kVarLags; ++s) {
        T* psi = PSI + Lag(s);
        for (int j = 1; j <= std::min(s - 1, q); ++j) {
            const T* a = A + Lag(j);
            const T* previous = PSI + Lag(s - j);
            for (int c = 1; c <= m; ++c)
                for (int r = 1; r <= m; ++r) {
                    T sum = T(0);
                    for (int k = 1; k <= m; ++k) sum += a[VarEntry(r, k)] * previous[VarEntry(k, c)];
                    psi[VarEntry(r, c)] -= sum;
                }
        }
    }
}

template <typename T>
void ForecastMse(const T* PSI, const T* V, int m, int h, T* MSE)
{
    T product[kVarMatrix];
    for (int step = 1; step <= h; ++step) {
        const T* psi = PSI + Lag(step);
        T* mse = MSE + Lag(step);
        Multiply(psi, V, m, product);
        for (int j = 1; j <= m; ++j)
            for (int i = 1; i <= m; ++i) {
                T s = step == 1 ? T(0) : MSE[Lag(step - 1) + VarEntry(i, j)];
                for (int k = 1; k <= m; ++k) s += product[VarEntry(i, k)] * psi[VarEntry(j, k)];
                mse[VarEntry(i, j)] = s;
            }
    }
}

template <typename T>
void UndifferencedOperator(const T* PHI, int p, int m, int ndiff, int lag1, int lag2, T* A, int& q)
{
    // star(k) for k = 1..20 of I - sum star(k) z^k; factors only add terms, so lags above 20 can
    // be dropped as they arise.
    T star[kVarLagSetLength];
    T next[kVarLagSetLength];
    std::fill(star, star + kVarLagSetLength, T(0));
    for (int k = 1; k <= std::min(p, kVarLags); ++k) std::copy_n(PHI + Lag(k), kVarMatrix, star + Lag(k));
    long long order = p;
    const int lags[2] = {lag1, lag2};
    for (int f = 0; f < ndiff; ++f) {
        const int L = lags[f];
        std::copy_n(star, kVarLagSetLength, next);
        for (int k = 1; k <= kVarLags; ++k) {
            if (k == L)
                for (int i = 1; i <= m; ++i) next[Lag(k) + VarEntry(i, i)] += T(1);
            if (k - L >= 1)
                for (std::size_t e = 0; e < static_cast<std::size_t>(kVarMatrix); ++e)
                    next[Lag(k) + e] -= star[Lag(k - L) + e];
        }
        std::copy_n(next, kVarLagSetLength, star);
        order += L;
    }
    q = static_cast<int>(std::min<long long>(order, kVarLags));
    for (std::size_t e = 0; e < static_cast<std::size_t>(kVarLagSetLength); ++e) A[e] = -star[e];
}

template <typename T>
void UndifferenceForecasts(float* X, int n, int m, const T* Y, int nPrime, const T* mean, int ndiff, int lag1,
                           int lag2, int h)
{
    for (int i = 1; i <= h; ++i)
        for (int j = 1; j <= m; ++j) {
            const T y = Y[VarAt(j, nPrime + i, m)] + mean[j - 1];
            const int t = n + i;
            T x = y + static_cast<T>(X[VarAt(j, t - lag1, m)]);
            if (ndiff == 2)
                x += static_cast<T>(X[VarAt(j, t - lag2, m)]) - static_cast<T>(X[VarAt(j, t - lag1 - lag2, m)]);
            X[VarAt(j, t, m)] = VarSingle(x);
        }
}

template <typename T>
bool AllValuesFinite(const T* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

template <typename T>
bool MatricesFinite(const T* matrices, int count, int m)
{
    for (int k = 1; k <= count; ++k)
        for (int j = 1; j <= m; ++j)
            if (!AllValuesFinite(matrices + Lag(k) + VarEntry(1, j), m)) return false;
    return true;
}

#define VAR_NUMERICS_INSTANTIATE(T)                                                                              \
    template int DifferenceSeries<T>(const float*, int, int, int, int, int, T*);                                 \
    template void MeanCorrect<T>(int, int, T*, T*, T*, T*);                                                      \
    template void PredictionErrors<T>(const T*, int, int, const T*, int, float*);                                \
    template void ForecastDifferenced<T>(T*, int, int, const T*, int, int);                                      \
    template void PsiMatrices<T>(const T*, T*, int, int);                                                        \
    template void ForecastMse<T>(const T*, const T*, int, int, T*);                                              \
    template void UndifferencedOperator<T>(const T*, int, int, int, int, int, T*, int&);                         \
    template void UndifferenceForecasts<T>(float*, int, int, const T*, int, const T*, int, int, int, int);       \
    template bool AllValuesFinite<T>(const T*, int);                                                            \
    template bool MatricesFinite<T>(const T*, int, int);

VAR_NUMERICS_INSTANTIATE(float)
VAR_NUMERICS_INSTANTIATE(double)
