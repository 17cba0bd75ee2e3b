#pragma once
// Means and scales of the components of a multivariate series, for the vector autoregressive
// fits. A series array X holds m components at n times, the m values of one time together:
// element (j, t) is at X[(t-1)·m + (j-1)]. The real type is a template parameter, as in
// numerics/small_matrix.h; the sums may be formed in a wider type Sum (the console programs sum
// single-precision series in double), their results then rounded to T.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>

namespace series_scaling_detail {
inline std::size_t At(int j, int t, int m)
{
    return static_cast<std::size_t>(t - 1) * static_cast<std::size_t>(m) +
           static_cast<std::size_t>(j - 1);
}

// x rounded to T; a value beyond T's range becomes an infinity of its sign (a conversion the
// language leaves undefined).
template <typename T, typename Sum>
T Narrowed(Sum x)
{
    if constexpr (std::is_same_v<T, Sum>) {
        return x;
    } else {
        if (std::isnan(x) || std::fabs(x) <= static_cast<Sum>(std::numeric_limits<T>::max()))
            return static_cast<T>(x);
        return x > 0 ? std::numeric_limits<T>::infinity() : -std::numeric_limits<T>::infinity();
    }
}
}  // namespace series_scaling_detail

// mean(j) = average of component j over the n times; each component loses its mean.
//   X (in/out, m × n), n >= 1, m >= 1, mean (out, m)
template <typename T, typename Sum = T>
void SubtractSeriesMeans(T* X, int n, int m, T* mean)
{
    using series_scaling_detail::At;
    for (int j = 1; j <= m; ++j) {
        Sum sum = Sum(0);
        for (int t = 1; t <= n; ++t) sum += static_cast<Sum>(X[At(j, t, m)]);
        mean[j - 1] = series_scaling_detail::Narrowed<T>(sum / static_cast<Sum>(n));
        for (int t = 1; t <= n; ++t) X[At(j, t, m)] -= mean[j - 1];
    }
}

// Each component gets mean(j) added back.
//   X (in/out, m × n), mean (in, m)
template <typename T>
void RestoreSeriesMeans(T* X, int n, int m, const T* mean)
{
    using series_scaling_detail::At;
    for (int t = 1; t <= n; ++t)
        for (int j = 1; j <= m; ++j) X[At(j, t, m)] += mean[j - 1];
}

// var(j) = (1/n)·sum over t of X(j, t)^2 and sd(j) = sqrt(var(j)), for a series already
// centred (nothing is subtracted). With a wider Sum, sd is the root of the wide variance: it may
// be held in T where var is an infinity.
//   X (in, m × n), var (out, m), sd (out, m)
template <typename T, typename Sum = T>
void SeriesScales(const T* X, int n, int m, T* var, T* sd)
{
    using series_scaling_detail::At;
    using series_scaling_detail::Narrowed;
    for (int j = 1; j <= m; ++j) {
        Sum sum = Sum(0);
        for (int t = 1; t <= n; ++t) {
            const Sum x = static_cast<Sum>(X[At(j, t, m)]);
            sum += x * x;
        }
        const Sum variance = sum / static_cast<Sum>(n);
        var[j - 1] = Narrowed<T>(variance);
        sd[j - 1] = Narrowed<T>(std::sqrt(variance));
    }
}

// flag 1: X(j, t) := X(j, t) / sd(j). Any other flag: X(j, t) := X(j, t)·sd(j), and the m × m
// covariance C (leading dimension ldc) gets C(i, j) := C(i, j)·sd(i)·sd(j), which takes a
// covariance of the scaled series to the scale of the data. The caller makes sure no sd is 0.
//   X (in/out, m × n), C (in/out, ldc × m; not used for flag 1), sd (in, m)
template <typename T>
void Standardise(T* X, int n, int m, T* C, int ldc, const T* sd, int flag)
{
    using series_scaling_detail::At;
    if (flag == 1) {
        for (int t = 1; t <= n; ++t)
            for (int j = 1; j <= m; ++j) X[At(j, t, m)] /= sd[j - 1];
        return;
    }
    for (int t = 1; t <= n; ++t)
        for (int j = 1; j <= m; ++j) X[At(j, t, m)] *= sd[j - 1];
    for (int j = 0; j < m; ++j)
        for (int i = 0; i < m; ++i) C[i + static_cast<std::size_t>(ldc) * j] *= sd[i] * sd[j];
}

// The exponent k that brings the largest |X(j, t)| of the n·m values into [1/2, 1) when X is
// multiplied by 2^k; 0 when every value is 0. A fit on 2^k·X gives the coefficients of X
// exactly and every covariance times 2^2k: multiplying by a power of two is exact, except for
// values it drives below the smallest normal number, which are negligible beside the largest.
// Covariances and their determinants of a series so scaled neither overflow nor vanish, at any
// scale of the data; numerics/scaled_results.h takes results back to the scale of the data.
//   X (in, m × n), values finite
template <typename T>
int SeriesScaleExponent(const T* X, int n, int m)
{
    T largest = T(0);
    const std::size_t count = static_cast<std::size_t>(n) * static_cast<std::size_t>(m);
    for (std::size_t i = 0; i < count; ++i) largest = std::max(largest, static_cast<T>(std::fabs(X[i])));
    if (largest == T(0)) return 0;
    int exponent = 0;
    (void)std::frexp(largest, &exponent);
    return -exponent;
}

// X(j, t) := 2^k·X(j, t) for the n·m values.
//   X (in/out, m × n)
template <typename T>
void ScaleSeries(T* X, int n, int m, int k)
{
    if (k == 0) return;
    const std::size_t count = static_cast<std::size_t>(n) * static_cast<std::size_t>(m);
    for (std::size_t i = 0; i < count; ++i) X[i] = std::ldexp(X[i], k);
}
