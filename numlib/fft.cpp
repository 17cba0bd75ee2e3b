#include "numlib/fft.h"

#include "numlib/error_stack.h"
#include "numlib/finite_values.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Cx {
    double re;
    double im;
};

inline Cx Add(Cx a, Cx b)
{
    return {a.re + b.re, a.im + b.im};
}
inline Cx Sub(Cx a, Cx b)
{
    return {a.re - b.re, a.im - b.im};
}
inline Cx Scale(double s, Cx a)
{
    return {s * a.re, s * a.im};
}
// i * a
inline Cx TimesI(Cx a)
{
    return {-a.im, a.re};
}
// z * conj(w)
inline Cx MulConj(Cx z, Cx w)
{
    return {z.re * w.re + z.im * w.im, z.im * w.re - z.re * w.im};
}

inline Cx Load(const double* buffer, long index)
{
    return {buffer[2 * index], buffer[2 * index + 1]};
}
inline void Store(double* buffer, long index, Cx z)
{
    buffer[2 * index] = z.re;
    buffer[2 * index + 1] = z.im;
}

// Calls f(r, g) for r < q and g < groups, with the longer range as the inner loop.
template <class F>
inline void ForEachBlock(long q, long groups, F f)
{
    if (q >= groups) {
        for (long g = 0; g < groups; ++g)
            for (long r = 0; r < q; ++r) f(r, g);
    } else {
        for (long r = 0; r < q; ++r)
            for (long g = 0; g < groups; ++g) f(r, g);
    }
}

// Factors of n in pass order; false when there are more than kFftMaxFactors.
bool Factorise(int n, std::vector<int>& factors)
{
    factors.clear();
    int remaining = n;
    int divisor = 3;
    int step = 0;  // 3, 4, 2, 5, then odd divisors from 7
    while (remaining > 1) {
        if (remaining % divisor == 0) {
            if (static_cast<int>(factors.size()) == kFftMaxFactors) return false;
            if (divisor == 2) factors.insert(factors.begin(), 2);
            else factors.push_back(divisor);
            remaining /= divisor;
            continue;
        }
        switch (step++) {
        case 0: divisor = 4; break;
        case 1: divisor = 2; break;
        case 2: divisor = 5; break;
        case 3: divisor = 7; break;
        default: divisor += 2; break;
        }
        // Past sqrt(remaining) the rest is prime.
        if (step > 3 && static_cast<long long>(divisor) * divisor > remaining) divisor = remaining;
    }
    return true;
}

// Twiddles and factors into the table (twiddle part 2n doubles, factor part at 4n+1).
void FftFactor(int n, double* twiddle, double* factorPart, const std::vector<int>& factors)
{
    const double delta = kTwoPi / n;
    long position = 0;  // complex entry where the next block starts
    long before = 1;     // P: product of the factors before this pass
    for (int p : factors) {
        const long q = n / (before * p);
        for (int j = 1; j < p; ++j) {
            Store(twiddle, position, {1.0, 0.0});
            const double step = static_cast<double>(j * before) * delta;
            double angle = 0.0;
            for (long r = 1; r <= q; ++r) {
                angle += step;
                // Entry q is the next block's entry 0; the blocks use n - 1 entries in all, so
                // the last block's entry q is the table's last entry.
                Store(twiddle, position + r, {std::cos(angle), std::sin(angle)});
            }
            if (p > 5) Store(twiddle, position, {std::cos(angle), std::sin(angle)});
            position += q;
        }
        before *= p;
    }
    factorPart[0] = n;
    factorPart[1] = static_cast<double>(factors.size());
    for (size_t i = 0; i < factors.size(); ++i) factorPart[2 + i] = factors[i];
}

// Factor 2, first pass only (P = 1).
void Pass2(long q, const double* src, double* dst, const double* tw)
{
    Store(dst, 0, Add(Load(src, 0), Load(src, q)));
    Store(dst, q, Sub(Load(src, 0), Load(src, q)));
    for (long r = 1; r < q; ++r) {
        const Cx s0 = Load(src, r);
        const Cx s1 = Load(src, r + q);
        Store(dst, r, Add(s0, s1));
        Store(dst, r + q, MulConj(Sub(s0, s1), Load(tw, r)));
    }
}

void FftPass3(long q, long groups, const double* src, double* dst, const double* tw)
{
    constexpr double c3 = -0.8660254037844386;
    const long ps = q * groups;  // destination stride between j slots
    auto butterfly = [&](long r, long g, bool twiddle) {
        const long s = r + q * 3 * g;
        const Cx s0 = Load(src, s);
        const Cx s1 = Load(src, s + q);
        const Cx s2 = Load(src, s + 2 * q);
        const Cx t = Add(s1, s2);
        const Cx u = TimesI(Scale(c3, Sub(s1, s2)));
        const Cx m = Sub(s0, Scale(0.5, t));
        Cx d1 = Add(m, u);
        Cx d2 = Sub(m, u);
        if (twiddle) {
            d1 = MulConj(d1, Load(tw, r));
            d2 = MulConj(d2, Load(tw, q + r));
        }
        const long d = r + q * g;
        Store(dst, d, Add(s0, t));
        Store(dst, d + ps, d1);
        Store(dst, d + 2 * ps, d2);
    };
    if (q == 1) {
        for (long g = 0; g < groups; ++g) butterfly(0, g, false);
    } else {
        ForEachBlock(q, groups, [&](long r, long g) { butterfly(r, g, true); });
    }
}

void FftPass4(long q, long groups, const double* src, double* dst, const double* tw)
{
    const long ps = q * groups;
    auto butterfly = [&](long r, long g, bool twiddle) {
        const long s = r + q * 4 * g;
        const Cx s0 = Load(src, s);
        const Cx s1 = Load(src, s + q);
        const Cx s2 = Load(src, s + 2 * q);
        const Cx s3 = Load(src, s + 3 * q);
        const Cx a = Add(s0, s2);
        const Cx b = Sub(s0, s2);
        const Cx c = Add(s1, s3);
        const Cx id = TimesI(Sub(s1, s3));
        Cx d1 = Sub(b, id);
        Cx d2 = Sub(a, c);
        Cx d3 = Add(b, id);
        if (twiddle) {
            d1 = MulConj(d1, Load(tw, r));
            d2 = MulConj(d2, Load(tw, q + r));
            d3 = MulConj(d3, Load(tw, 2 * q + r));
        }
        const long d = r + q * g;
        Store(dst, d, Add(a, c));
        Store(dst, d + ps, d1);
        Store(dst, d + 2 * ps, d2);
        Store(dst, d + 3 * ps, d3);
    };
    if (q == 1) {
        for (long g = 0; g < groups; ++g) butterfly(0, g, false);
    } else {
        ForEachBlock(q, groups, [&](long r, long g) { butterfly(r, g, true); });
    }
}

void FftPass5(long q, long groups, const double* src, double* dst, const double* tw)
{
    constexpr double c1 = 0.30901699437494745;
    constexpr double s1 = -0.9510565162951535;
    constexpr double c2 = -0.8090169943749475;
    constexpr double s2 = -0.5877852522924731;
    const long ps = q * groups;
    auto butterfly = [&](long r, long g, bool twiddle) {
        const long s = r + q * 5 * g;
        const Cx x0 = Load(src, s);
        const Cx x1 = Load(src, s + q);
        const Cx x2 = Load(src, s + 2 * q);
        const Cx x3 = Load(src, s + 3 * q);
        const Cx x4 = Load(src, s + 4 * q);
        const Cx a = Add(x1, x4);
        const Cx b = Sub(x1, x4);
        const Cx c = Add(x2, x3);
        const Cx dd = Sub(x2, x3);
        const Cx m1 = Add(x0, Add(Scale(c1, a), Scale(c2, c)));
        const Cx n1 = TimesI(Add(Scale(s1, b), Scale(s2, dd)));
        const Cx m2 = Add(x0, Add(Scale(c2, a), Scale(c1, c)));
        const Cx n2 = TimesI(Sub(Scale(s2, b), Scale(s1, dd)));
        Cx y1 = Add(m1, n1);
        Cx y4 = Sub(m1, n1);
        Cx y2 = Add(m2, n2);
        Cx y3 = Sub(m2, n2);
        if (twiddle) {
            y1 = MulConj(y1, Load(tw, r));
            y2 = MulConj(y2, Load(tw, q + r));
            y3 = MulConj(y3, Load(tw, 2 * q + r));
            y4 = MulConj(y4, Load(tw, 3 * q + r));
        }
        const long d = r + q * g;
        Store(dst, d, Add(x0, Add(a, c)));
        Store(dst, d + ps, y1);
        Store(dst, d + 2 * ps, y2);
        Store(dst, d + 3 * ps, y3);
        Store(dst, d + 4 * ps, y4);
    };
    if (q == 1) {
        for (long g = 0; g < groups; ++g) butterfly(0, g, false);
    } else {
        ForEachBlock(q, groups, [&](long r, long g) { butterfly(r, g, true); });
    }
}

// Any other odd (prime) factor p. Uses the source as scratch; returns true when the result is in
// dst, false when it has been written back, twiddled, into src.
bool FftPassGeneral(int p, long q, long groups, double* src, double* dst, const double* tw)
{
    const int h = (p + 1) / 2;
    const long ps = q * groups;
    ForEachBlock(q, groups, [&](long r, long g) {
        const long s = r + q * p * g;
        const long d = r + q * g;
        const Cx s0 = Load(src, s);
        Store(dst, d, s0);
        for (int j = 1; j < h; ++j) {
            const Cx a = Load(src, s + j * q);
            const Cx b = Load(src, s + (p - j) * q);
            Store(dst, d + j * ps, Add(a, b));
            Store(dst, d + (p - j) * ps, Sub(a, b));
        }
        for (int l = 1; l < h; ++l) {
            Cx sumA = s0;
            Cx sumB = {0.0, 0.0};
            int block = 0;
            for (int j = 1; j < h; ++j) {
                block += l;
                if (block >= p) block -= p;
                const Cx w = Load(tw, static_cast<long>(block - 1) * q);  // (cos, sin) of 2 pi j l / p
                sumA = Add(sumA, Scale(w.re, Load(dst, d + j * ps)));
                sumB = Sub(sumB, Scale(w.im, Load(dst, d + (p - j) * ps)));
            }
            Store(src, s + l * q, sumA);
            Store(src, s + (p - l) * q, sumB);
        }
        Cx sum = s0;
        for (int j = 1; j < h; ++j) sum = Add(sum, Load(dst, d + j * ps));
        Store(dst, d, sum);
        for (int l = 1; l < h; ++l) {
            const Cx a = Load(src, s + l * q);
            const Cx ib = TimesI(Load(src, s + (p - l) * q));
            Store(dst, d + l * ps, Add(a, ib));
            Store(dst, d + (p - l) * ps, Sub(a, ib));
        }
    });
    if (q == 1) return true;
    const long n = ps * p;
    for (long k = 0; k < n; ++k) {
        // Destination index k = r + q * (g + P * j).
        const long r = k % q;
        const long j = k / ps;
        const Cx z = Load(dst, k);
        Store(src, k, (j == 0 || r == 0) ? z : MulConj(z, Load(tw, (j - 1) * q + r)));
    }
    return false;
}

void FftDriver(int n, double* data, double* scratch, const double* twiddle, const double* factorPart)
{
    const int count = static_cast<int>(std::lround(factorPart[1]));
    double* from = data;
    double* to = scratch;
    long before = 1;
    long position = 0;
    for (int f = 0; f < count; ++f) {
        const int p = static_cast<int>(std::lround(factorPart[2 + f]));
        const long q = n / (before * p);
        const double* tw = twiddle + 2 * position;
        bool flip = true;
        switch (p) {
        case 2: Pass2(q, from, to, tw); break;
        case 3: FftPass3(q, before, from, to, tw); break;
        case 4: FftPass4(q, before, from, to, tw); break;
        case 5: FftPass5(q, before, from, to, tw); break;
        default: flip = FftPassGeneral(p, q, before, from, to, tw); break;
        }
        if (flip) std::swap(from, to);
        before *= p;
        position += static_cast<long>(p - 1) * q;
    }
    if (from != data) std::memcpy(data, from, sizeof(double) * 2 * static_cast<size_t>(n));
}

// True when ftab's factor part describes a transform of length n.
bool TableFits(int n, const double* ftab)
{
    const double* factorPart = ftab + 4L * n;
    if (std::lround(factorPart[0]) != n) return false;
    const long count = std::lround(factorPart[1]);
    if (count < 1 || count > kFftMaxFactors) return false;
    long long product = 1;
    for (long i = 0; i < count; ++i) product *= std::lround(factorPart[2 + i]);
    return product == n;
}

}  // namespace

int FftFactorCount(int n)
{
    std::vector<int> factors;
    if (n <= 1) return 0;
    // Factorise stops at the table's limit; count past it.
    if (Factorise(n, factors)) return static_cast<int>(factors.size());
    return kFftMaxFactors + 1;
}

void DFFTCI(int n, double* ftab)
{
    if (n < 1) {
        E1PSH("DFFTCI");
        MsgSetInt(1, n);
        E1MES(5, 1, "The length of the sequence N = %(I1).  It must be at least 1.");
        E1POP("DFFTCI");
        return;
    }
    if (n == 1) return;
    std::vector<int> factors;
    if (!Factorise(n, factors)) {
        E1PSH("DFFTCI");
        MsgSetInt(1, n);
        MsgSetInt(2, kFftMaxFactors);
        E1MES(5, 2, "The length of the sequence N = %(I1) has more than %(I2) factors.  It cannot be transformed.");
        E1POP("DFFTCI");
        return;
    }
    FftFactor(n, ftab + 2L * n, ftab + 4L * n, factors);
}

void DF2TCF(int n, const double* xin, double* xout, double* ftab, double* cwork)
{
    if (n < 1) {
        E1PSH("DF2TCF");
        MsgSetInt(1, n);
        E1MES(5, 1, "The length of the sequence N = %(I1).  It must be at least 1.");
        E1POP("DF2TCF");
        return;
    }
    if (n > 1 && !TableFits(n, ftab)) {
        E1PSH("DF2TCF");
        MsgSetInt(1, n);
        E1MES(5, 2, "The transform table was not prepared for the length N = %(I1).");
        E1POP("DF2TCF");
        return;
    }
    const size_t doubles = 2 * static_cast<size_t>(n);
    if (!AllFinite(xin, static_cast<long>(doubles))) {
        E1PSH("DF2TCF");
        E1MES(5, 3, "The sequence holds a value that is not finite.  Every element must be finite.");
        E1POP("DF2TCF");
        return;
    }
    std::memmove(cwork, xin, sizeof(double) * doubles);
    if (n > 1) FftDriver(n, cwork, ftab, ftab + 2L * n, ftab + 4L * n);
    std::memmove(xout, cwork, sizeof(double) * doubles);
    if (!AllFinite(xout, static_cast<long>(doubles))) {
        E1PSH("DF2TCF");
        E1MES(4, 4, "The transform has elements too large for double precision.");
        E1POP("DF2TCF");
    }
}
