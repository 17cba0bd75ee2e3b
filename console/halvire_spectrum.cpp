#include "console/halvire_spectrum.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Complex = std::complex<float>;

constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415927f;
// Below this |d| the model counts as not fractionally integrated.
constexpr float kLeastD = 0.0001f;

// Plain products: std::complex's operator* takes the slow path that guards infinities.
Complex Times(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// e^(-i s 2 pi j / n) for j = 0..n-1. Each factor comes from its own angle, reduced to one turn
// by its integer index, never from a recurrence.
std::vector<Complex> Twiddles(int n, int sign)
{
    std::vector<Complex> table(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) {
        const float angle = kTwoPi * static_cast<float>(j) / static_cast<float>(n);
        table[j] = {std::cos(angle), -static_cast<float>(sign) * std::sin(angle)};
    }
    return table;
}

int Index(int64_t a, int64_t b, int n)
{
    return static_cast<int>((a * b) % n);
}

// Y(1..length) = sum over the `factor` classes c of twiddle((k - 1)(c - 1)) Yc((k - 1) mod K + 1),
// the class transforms of length K stored one after the other in classes.
void Combine(const std::vector<Complex>& classes, int factor, int K, int length, int sign, Complex* Y)
{
    const std::vector<Complex> twiddle = Twiddles(length, sign);
    for (int k = 0; k < length; ++k) {
        const int kk = k % K;
        Complex sum(0.0f, 0.0f);
        for (int c = 0; c < factor; ++c) sum += Times(twiddle[Index(k, c, length)], classes[static_cast<size_t>(c) * K + kk]);
        Y[k] = sum;
    }
}

}  // namespace

int SplitFactor(int n, int largest)
{
    int r = 1;
    for (int c = 2; c <= largest; ++c) {
        if (static_cast<int64_t>(c) * c > n) break;
        if (n % c == 0) r = c;
    }
    return r;
}

void FracSpectralDensity(int m, const float* phi, const float* theta, int p, int q, float d, float* f)
{
    const bool fractional = std::fabs(d) >= kLeastD;
    // Frequency 0 (i = 1) is never needed: f(k) belongs to lambda(k + 1) = k pi / m.
    for (int i = 2; i <= m + 1; ++i) {
        const float lambda = static_cast<float>(i - 1) * kPi / static_cast<float>(m);
        Complex ar(1.0f, 0.0f);
        for (int j = 1; j <= p; ++j) {
            const float angle = static_cast<float>(j) * lambda;
            ar -= phi[j - 1] * Complex(std::cos(angle), -std::sin(angle));
        }
        Complex ma(1.0f, 0.0f);
        for (int j = 1; j <= q; ++j) {
            const float angle = static_cast<float>(j) * lambda;
            ma += theta[j - 1] * Complex(std::cos(angle), -std::sin(angle));
        }
        float P = std::abs(ar);
        P *= P;
        float Q = std::abs(ma);
        Q *= Q;
        if (fractional) P *= std::pow(std::abs(Complex(1.0f - std::cos(lambda), std::sin(lambda))), 2.0f * d);
        f[i - 2] = Q / P;
    }
}

void SplitDftPass(const Complex* y, int L, Complex* Y, int sign)
{
    const int r2 = SplitFactor(L, 35);
    const int K = L / r2;
    const std::vector<Complex> twiddle = Twiddles(K, sign);
    std::vector<Complex> classes(static_cast<size_t>(L));
    for (int c = 0; c < r2; ++c) {
        for (int k = 0; k < K; ++k) {
            Complex sum(0.0f, 0.0f);
            for (int j = 0; j < K; ++j) sum += Times(y[static_cast<size_t>(j) * r2 + c], twiddle[Index(k, j, K)]);
            classes[static_cast<size_t>(c) * K + k] = sum;
        }
    }
    Combine(classes, r2, K, L, sign, Y);
}

void SplitDft(const Complex* x, int n, Complex* X, int sign)
{
    const int r = SplitFactor(n, 36);
    const int L = n / r;
    std::vector<Complex> classes(static_cast<size_t>(n));
    std::vector<Complex> y(static_cast<size_t>(L));
    for (int c = 0; c < r; ++c) {
        for (int k = 0; k < L; ++k) y[k] = x[static_cast<size_t>(k) * r + c];
        SplitDftPass(y.data(), L, classes.data() + static_cast<size_t>(c) * L, sign);
    }
    Combine(classes, r, L, n, sign, X);
}
