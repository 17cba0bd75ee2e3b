#include "numerics/spectral_likelihood.h"

#include "numerics/one_based.h"
#include "numerics/pattern_search.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

bool ArgumentsValid(int m, int N, int p, int q)
{
    return m >= 1 && N >= 1 && p >= 0 && p <= kMaxArmaOrder && q >= 0 && q <= kMaxArmaOrder;
}

// Schur-Cohn step-down test of a(0..k), a(0) > 0: true when every root lies outside the unit
// circle. Each step is rescaled by its leading coefficient; the step squares the coefficients'
// scale, so without rescaling high orders underflow to 0 and stable polynomials fail. A positive
// scale does not change the sign of any later leading coefficient.
bool StepDownStable(std::vector<double> a)
{
    std::vector<double> b(a.size());
    for (int k = static_cast<int>(a.size()) - 1; k >= 1; --k) {
        for (int i = 0; i <= k - 1; ++i) b[i] = a[0] * a[i] - a[k] * a[k - i];
        if (!(b[0] > 0.0)) return false;
        for (int i = 0; i <= k - 1; ++i) a[i] = b[i] / b[0];
    }
    return true;
}

// The sums over the ordinates: S = sum of I(j)/g(j), L = sum of ln g(j), and the last g.
struct Sums {
    double S = 0.0, L = 0.0, gLast = 0.0;
};

// |a(z)|² for a(z) = 1 + c(1)·z + ... + c(k)·z^k at z = x + iy by Horner's rule, in real
// arithmetic: std::complex products test for NaN at every step and its quotient and modulus
// rescale, which would cost more than the rest of the criterion. kOrder >= 0 fixes k at compile
// time.
template <int kOrder>
inline double SquaredModulus(int order, const double* c, double x, double y)
{
    const int k = kOrder >= 0 ? kOrder : order;
    double re = 0.0, im = 0.0;
    for (int i = k - 1; i >= 0; --i) {
        re += c[i];
        const double t = re * x - im * y;
        im = re * y + im * x;
        re = t;
    }
    re += 1.0;
    return re * re + im * im;
}

// The logarithm of a product of positive normal numbers, kept as a mantissa and a power of two:
// a logarithm of every factor would cost as much as the rest of the criterion's loop. Each factor
// is split exactly into its power of two and a mantissa in [1, 2); the product of the mantissas
// must be brought back to [1, 2) at least every kRenormalise factors, before it could overflow. The result
// carries one rounding per factor, as a sum of logarithms does.
class LogProduct {
public:
    static constexpr int kRenormalise = 256;

    void Multiply(double v)
    {
        const std::uint64_t bits = Bits(v);
        exponent_ += static_cast<std::int64_t>(bits >> 52) - 1023;
        mantissa_ *= FromBits((bits & kFraction) | kOne);
    }
    void Renormalise()
    {
        const std::uint64_t bits = Bits(mantissa_);
        exponent_ += static_cast<std::int64_t>(bits >> 52) - 1023;
        mantissa_ = FromBits((bits & kFraction) | kOne);
    }
    // ln 2 in two parts, the first with trailing zero bits, so that exponent·ln2Hi is exact.
    double Log() const
    {
        constexpr double ln2Hi = 6.93147180369123816490e-01, ln2Lo = 1.90821492927058770002e-10;
        const double e = static_cast<double>(exponent_);
        return e * ln2Hi + (std::log(mantissa_) + e * ln2Lo);
    }

private:
    static constexpr std::uint64_t kFraction = (std::uint64_t{1} << 52) - 1;
    static constexpr std::uint64_t kOne = std::uint64_t{1023} << 52;
    static std::uint64_t Bits(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    static double FromBits(std::uint64_t bits)
    {
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    double mantissa_ = 1.0;
    std::int64_t exponent_ = 0;
};

// The sums with g(j) = |theta(z)|²/|phi(z)|²·exp(-d·ln|1-z|²), phi(z) = 1 + a(1)·z + ... (a the
// negated AR coefficients); false at the first g that is not positive and finite. They go
// through v = 1/g = |phi(z)|²·exp(d·ln|1-z|²)/|theta(z)|², one division per ordinate:
// S = sum of I·v and L = -ln(product of v). The frequencies go in blocks, first the exponentials
// of a block, then its sums, so that the loop of sums makes no call and keeps its running values
// in registers. A block with a v that is not normal is summed again one ordinate at a time.
template <int kP, int kQ, bool kFractional>
bool SumOrdinatesOf(const SpectralFrequencies& f, const double* I, int p, int q, const double* a, const double* c,
                    double d, Sums& out)
{
    constexpr int kBlock = LogProduct::kRenormalise;
    constexpr double kLeast = std::numeric_limits<double>::min(), kMost = std::numeric_limits<double>::max();
    const double* cosine = f.cosine.data();
    const double* sine = f.sine.data();
    const double* logGap = f.logGap.data();
    double S = 0.0, v = 0.0, tiny = 0.0;
    LogProduct product;
    double e[kBlock];
    const auto inverse = [&](int j, int i) {
        const double x = cosine[j], y = sine[j];
        const double den = SquaredModulus<kP>(p, a, x, y);
        return (kFractional ? den * e[i] : den) / SquaredModulus<kQ>(q, c, x, y);
    };
    for (int start = 0; start < f.m; start += kBlock) {
        const int count = std::min(kBlock, f.m - start);
        if (kFractional)
            for (int i = 0; i < count; ++i) e[i] = std::exp(d * logGap[start + i]);
        const double blockS = S;
        const LogProduct blockProduct = product;
        bool normal = true;
        for (int i = 0; i < count; ++i) {
            v = inverse(start + i, i);
            normal &= v >= kLeast && v <= kMost;
            S += I[start + i] * v;
            product.Multiply(v);
        }
        if (!normal) {
            S = blockS;
            product = blockProduct;
            for (int i = 0; i < count; ++i) {
                v = inverse(start + i, i);
                // g = 1/v must be positive and finite.
                if (!(v > 0.0) || !(v <= kMost) || !(1.0 / v <= kMost)) return false;
                // A subnormal v has no exact mantissa in [1, 2).
                if (v < kLeast)
                    tiny += std::log(v);
                else
                    product.Multiply(v);
                S += I[start + i] * v;
            }
        }
        product.Renormalise();
    }
    out.S = S;
    out.L = -(product.Log() + tiny);
    out.gLast = 1.0 / v;
    return true;
}

template <int kP, int kQ>
bool SumOrdinatesOrders(const SpectralFrequencies& f, const double* I, int p, int q, const double* a,
                        const double* c, double d, Sums& out)
{
    // d = 0 leaves |1-z|^-2d out: it is 1 even at frequency 0.
    if (d != 0.0) return SumOrdinatesOf<kP, kQ, true>(f, I, p, q, a, c, d, out);
    return SumOrdinatesOf<kP, kQ, false>(f, I, p, q, a, c, d, out);
}

// The sums for beta = (phi, theta, d); the orders up to 2 have loops of their own.
bool SumOrdinates(const SpectralFrequencies& f, const double* I, int p, int q, const double* beta, Sums& out)
{
    double a[kMaxArmaOrder];
    for (int i = 0; i < p; ++i) a[i] = -beta[i];
    const double* c = beta + p;
    const double d = beta[p + q];
    switch (p <= 2 && q <= 2 ? 3 * p + q : -1) {
    case 0: return SumOrdinatesOrders<0, 0>(f, I, p, q, a, c, d, out);
    case 1: return SumOrdinatesOrders<0, 1>(f, I, p, q, a, c, d, out);
    case 2: return SumOrdinatesOrders<0, 2>(f, I, p, q, a, c, d, out);
    case 3: return SumOrdinatesOrders<1, 0>(f, I, p, q, a, c, d, out);
    case 4: return SumOrdinatesOrders<1, 1>(f, I, p, q, a, c, d, out);
    case 5: return SumOrdinatesOrders<1, 2>(f, I, p, q, a, c, d, out);
    case 6: return SumOrdinatesOrders<2, 0>(f, I, p, q, a, c, d, out);
    case 7: return SumOrdinatesOrders<2, 1>(f, I, p, q, a, c, d, out);
    case 8: return SumOrdinatesOrders<2, 2>(f, I, p, q, a, c, d, out);
    default: return SumOrdinatesOrders<-1, -1>(f, I, p, q, a, c, d, out);
    }
}

// The criterion at beta for checked sizes and finite ordinates and parameters.
int Criterion(const SpectralFrequencies& f, const double* I, int N, int p, int q, const double* beta, double& F,
              double& sigma2)
{
    const int m = f.m;
    const bool even = std::fabs(N / 2.0 - N / 2) < 0.1;
    Vec1<const double> b(beta), Iv(I);
    const double d = b(p + q + 1);

    F = kInadmissibleCriterion;
    if (!(std::fabs(d) < 0.5)) return kStatusNotCausal;
    std::vector<double> poly(p + 1);
    poly[0] = 1.0;
    for (int i = 1; i <= p; ++i) poly[i] = -b(i);
    if (!StepDownStable(poly)) return kStatusNotCausal;
    poly.assign(q + 1, 1.0);
    for (int i = 1; i <= q; ++i) poly[i] = b(p + i);
    if (!StepDownStable(poly)) return kStatusNotCausal;

    Sums sums;
    if (!SumOrdinates(f, I, p, q, beta, sums)) return kStatusNotCausal;
    const double S = sums.S, L = sums.L, gLast = sums.gLast;

    double s2 = S / N;
    if (even) s2 = s2 - 0.5 * Iv(m) / (gLast * N);
    if (!(s2 > 0.0)) {
        sigma2 = s2;
        return kStatusDegenerate;
    }
    // Ordinates near the top of the double range overflow the sum; tiny ones underflow it.
    if (!std::isfinite(s2) || s2 < kSmallestNormal || !std::isfinite(L)) return kStatusOutOfRange;
    sigma2 = s2;
    double f0 = std::log(s2) + 2.0 * L / N;
    if (even) f0 = f0 - std::log(gLast) / N;
    F = f0;
    return kStatusDone;
}

}  // namespace

int SpectralFrequenciesInit(const double* omega, int m, SpectralFrequencies& f)
{
    f = SpectralFrequencies();
    if (m < 1) return kStatusBadArgument;
    if (!AllFinite(omega, m)) return kStatusNotFinite;
    f.m = m;
    f.cosine.resize(m);
    f.sine.resize(m);
    f.logGap.resize(m);
    for (int j = 0; j < m; ++j) {
        const double c = std::cos(omega[j]), s = std::sin(omega[j]);
        f.cosine[j] = c;
        f.sine[j] = s;
        // |1 - z|² with the sine's square carrying it near frequency 0, where 1 - cos loses its
        // digits; -inf at a multiple of 2π.
        f.logGap[j] = std::log((1.0 - c) * (1.0 - c) + s * s);
    }
    return kStatusDone;
}

int SpectralLikelihood(const double* omega, const double* I, int m, int N, int p, int q,
                       const double* beta, double& F, double& sigma2)
{
    if (!ArgumentsValid(m, N, p, q)) return kStatusBadArgument;
    if (!AllFinite(omega, m) || !AllFinite(I, m) || !AllFinite(beta, p + q + 1)) return kStatusNotFinite;
    SpectralFrequencies f;
    const int status = SpectralFrequenciesInit(omega, m, f);
    if (status != kStatusDone) return status;
    return Criterion(f, I, N, p, q, beta, F, sigma2);
}

int SpectralLikelihoodAt(const SpectralFrequencies& f, const double* I, int N, int p, int q,
                         const double* beta, double& F, double& sigma2)
{
    if (!ArgumentsValid(f.m, N, p, q)) return kStatusBadArgument;
    if (!AllFinite(I, f.m) || !AllFinite(beta, p + q + 1)) return kStatusNotFinite;
    return Criterion(f, I, N, p, q, beta, F, sigma2);
}

int SpectralLikelihoodSearch(const double* omega, const double* I, int m, int N, int p, int q,
                             double* phi, double* theta, double& d, double& h, int searchD,
                             double& sigma2, double& F)
{
    if (!ArgumentsValid(m, N, p, q) || !(h > 0.0) || !std::isfinite(h)) return kStatusBadArgument;
    if (!AllFinite(omega, m) || !AllFinite(I, m) || !AllFinite(phi, p) || !AllFinite(theta, q) ||
        !std::isfinite(d))
        return kStatusNotFinite;
    // The cosines, sines and logarithms of the frequencies are the same at every point tried.
    SpectralFrequencies f;
    if (SpectralFrequenciesInit(omega, m, f) != kStatusDone) return kStatusNotFinite;
    const int dim = p + q + 1;
    const int K = searchD != 0 ? dim : dim - 1;
    std::vector<double> point(dim);
    for (int i = 0; i < p; ++i) point[i] = phi[i];
    for (int i = 0; i < q; ++i) point[p + i] = theta[i];
    point[dim - 1] = d;

    // The variance of an inadmissible point is 0 so that nothing unset can be returned.
    auto criterion = [&](const double* beta) {
        PatternValue<double> v{kInadmissibleCriterion, 0.0, kStatusNotCausal};
        v.status = AllFinite(beta, dim) ? Criterion(f, I, N, p, q, beta, v.F, v.A) : kStatusNotFinite;
        if (v.status != kStatusDone) v.A = 0.0;
        return v;
    };
    const PatternValue<double> result = PatternSearch(dim, K, point.data(), h, criterion);

    for (int i = 0; i < p; ++i) phi[i] = point[i];
    for (int i = 0; i < q; ++i) theta[i] = point[p + i];
    if (searchD != 0) d = point[dim - 1];
    F = result.F;
    sigma2 = result.A;
    return result.status;
}
