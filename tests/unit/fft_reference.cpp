#include "fft_reference.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

const long double kTwoPiL = 6.283185307179586476925286766559005768L;

// Roots exp(-2πi·j/order) by two tables of about sqrt(order) entries each; the product of two
// extended-precision roots is far more accurate than any double the tests compare.
struct LongRoots {
    int64_t order = 1, width = 1;
    std::vector<LongComplex> low, high;
    explicit LongRoots(int64_t n) : order(n)
    {
        while (width * width < n) ++width;
        for (int64_t j = 0; j < width; ++j) low.push_back(Exact(j));
        for (int64_t j = 0; j * width < n; ++j) high.push_back(Exact(j * width));
    }
    LongComplex Exact(int64_t j) const
    {
        const long double angle = kTwoPiL * static_cast<long double>(j) / static_cast<long double>(order);
        return {std::cos(angle), -std::sin(angle)};
    }
    LongComplex operator()(int64_t j) const
    {
        const LongComplex a = low[j % width], b = high[j / width];
        return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
    }
};

LongComplex Mul(LongComplex a, LongComplex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// out(k), k = 0..n-1 := the transform of x(stride·t), t = 0..n-1, with roots of order n·step.
// A length with a factor p <= 7 is split into p decimated parts, transformed into the p blocks of
// out and combined k by k; other lengths are summed directly.
template <class Source>
void Transform(const Source& x, int64_t offset, int64_t stride, int64_t n, const LongRoots& w, int64_t step,
               LongComplex* out)
{
    int64_t p = 0;
    for (int64_t d : {2, 3, 5, 7})
        if (n % d == 0 && n > 8) {
            p = d;
            break;
        }
    if (p == 0) {
        // The n roots of order n once, then every product from them.
        std::vector<LongComplex> roots(static_cast<size_t>(n));
        for (int64_t j = 0; j < n; ++j) roots[j] = w(step * j);
        for (int64_t k = 0; k < n; ++k) {
            LongComplex sum;
            int64_t index = 0;
            for (int64_t t = 0; t < n; ++t) {
                const LongComplex v = Mul(x(offset + stride * t), roots[index]);
                sum.re += v.re;
                sum.im += v.im;
                index += k;
                if (index >= n) index -= n;
            }
            out[k] = sum;
        }
        return;
    }
    const int64_t m = n / p;
    for (int64_t r = 0; r < p; ++r) Transform(x, offset + stride * r, stride * p, m, w, step * p, out + r * m);
    // out(k1 + m·q) = sum over r of [part r (k1)·W_n^(r·k1)]·W_p^(r·q).
    LongComplex z[7], y[7], rootsP[7];
    for (int64_t j = 0; j < p; ++j) rootsP[j] = w(step * m * j);
    for (int64_t k1 = 0; k1 < m; ++k1) {
        for (int64_t r = 0; r < p; ++r) z[r] = Mul(out[r * m + k1], w(step * r * k1));
        for (int64_t q = 0; q < p; ++q) {
            LongComplex sum;
            int64_t index = 0;
            for (int64_t r = 0; r < p; ++r) {
                const LongComplex v = Mul(z[r], rootsP[index]);
                sum.re += v.re;
                sum.im += v.im;
                index += q;
                if (index >= p) index -= p;
            }
            y[q] = sum;
        }
        for (int64_t q = 0; q < p; ++q) out[k1 + m * q] = y[q];
    }
}

template <class Source>
std::vector<LongComplex> TransformOf(const Source& x, int64_t n)
{
    const LongRoots w(n);
    std::vector<LongComplex> out(static_cast<size_t>(n));
    Transform(x, 0, 1, n, w, 1, out.data());
    return out;
}

}  // namespace

std::vector<LongComplex> LongDft(const std::vector<double>& x)
{
    const int64_t n = static_cast<int64_t>(x.size() / 2);
    const auto input = [&x](int64_t t) { return LongComplex{x[2 * t], x[2 * t + 1]}; };
    int64_t rest = n;
    for (int64_t d : {2, 3, 5, 7})
        while (rest > 0 && rest % d == 0) rest /= d;
    if (rest <= 3000) return TransformOf(input, n);

    // Chirp w(k) = exp(-πi·k²/n): out(j) = w(j)·sum over m of x(m)w(m)·conj(w(j-m)), the sum a
    // cyclic convolution over M >= 2n-1, done as conj(F(conj(F(a)·F(b)))) / M.
    int64_t M = 1;
    while (M < 2 * n - 1) M *= 2;
    const LongRoots roots2n(2 * n);
    const auto chirp = [&roots2n, n](int64_t k) { return roots2n((k * k) % (2 * n)); };
    std::vector<LongComplex> a(static_cast<size_t>(M)), b(static_cast<size_t>(M));
    for (int64_t k = 0; k < n; ++k) {
        a[k] = Mul(input(k), chirp(k));
        const LongComplex c = chirp(k);
        b[k] = b[(M - k) % M] = {c.re, -c.im};
    }
    const std::vector<LongComplex> A = TransformOf([&a](int64_t t) { return a[t]; }, M);
    const std::vector<LongComplex> B = TransformOf([&b](int64_t t) { return b[t]; }, M);
    for (int64_t j = 0; j < M; ++j) {
        const LongComplex v = Mul(A[j], B[j]);
        a[j] = {v.re, -v.im};
    }
    const std::vector<LongComplex> C = TransformOf([&a](int64_t t) { return a[t]; }, M);
    std::vector<LongComplex> out(static_cast<size_t>(n));
    for (int64_t j = 0; j < n; ++j) out[j] = Mul({C[j].re / M, -C[j].im / M}, chirp(j));
    return out;
}

std::vector<double> RandomComplex(int n, uint64_t seed)
{
    std::mt19937_64 generator(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> x(2 * static_cast<size_t>(n));
    for (double& v : x) v = uniform(generator);
    return x;
}

double RelativeError(const std::vector<double>& y, const std::vector<LongComplex>& ref)
{
    long double worst = 0.0L, largest = 0.0L;
    for (size_t k = 0; k < ref.size(); ++k) {
        worst = std::max(worst, std::hypot(y[2 * k] - ref[k].re, y[2 * k + 1] - ref[k].im));
        largest = std::max(largest, std::hypot(ref[k].re, ref[k].im));
    }
    return static_cast<double>(largest > 0.0L ? worst / largest : worst);
}
