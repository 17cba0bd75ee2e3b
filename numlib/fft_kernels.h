#pragma once
// The butterflies of the self-sorting passes for the factors 2, 3, 4 and 5, written once over a
// vector policy A: one complex value per register (SSE2, which every x86-64 has, or a pair of
// doubles elsewhere), or two per register (AVX2 with FMA, in fft_kernels_avx2.cpp, chosen at run
// time). Internal to the transform engine (fft_plan.cpp); everything here has internal linkage,
// so the two translation units never share a function compiled for the other's instruction set.
//
// Each kernel runs `count` butterflies (a multiple of A::kWidth): butterfly i reads
// s[i·si + m·ss], m = 0..p-1, and writes d[i·di + j·ds], j = 0..p-1, output j >= 1 multiplied by
// the twiddle tw[(j-1)·ws + i] (kStep) or tw[(j-1)·ws] (constant) when kTwiddle.
#include "numlib/fft_plan.h"

#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VESK_FFT_SSE2 1
#endif

namespace {

using FftIndex = std::ptrdiff_t;

// One complex value at a time.
struct FftNarrow {
    static constexpr int kWidth = 1;
#if defined(VESK_FFT_SSE2)
    struct V {
        __m128d v;
    };
    // A twiddle w ready for multiplication: (re, re) and (-im, im).
    struct W {
        __m128d re, im;
    };
    static V Load(const FftComplex* p, FftIndex = 1) { return {_mm_loadu_pd(&p->re)}; }
    static void Store(FftComplex* p, FftIndex, V a) { _mm_storeu_pd(&p->re, a.v); }
    static V Add(V a, V b) { return {_mm_add_pd(a.v, b.v)}; }
    static V Sub(V a, V b) { return {_mm_sub_pd(a.v, b.v)}; }
    static V Scale(double s, V a) { return {_mm_mul_pd(_mm_set1_pd(s), a.v)}; }
    // i·a = (-im, re)
    static V TimesI(V a) { return {_mm_xor_pd(_mm_shuffle_pd(a.v, a.v, 1), _mm_set_pd(0.0, -0.0))}; }
    static W Twiddle(const FftComplex* p)
    {
        const __m128d w = _mm_loadu_pd(&p->re);
        return {_mm_unpacklo_pd(w, w), _mm_xor_pd(_mm_unpackhi_pd(w, w), _mm_set_pd(0.0, -0.0))};
    }
    static W Broadcast(const FftComplex* p) { return Twiddle(p); }
    static V Mul(V a, W w)
    {
        return {_mm_add_pd(_mm_mul_pd(a.v, w.re), _mm_mul_pd(_mm_shuffle_pd(a.v, a.v, 1), w.im))};
    }
#else
    using V = FftComplex;
    using W = FftComplex;
    static V Load(const FftComplex* p, FftIndex = 1) { return *p; }
    static void Store(FftComplex* p, FftIndex, V a) { *p = a; }
    static V Add(V a, V b) { return {a.re + b.re, a.im + b.im}; }
    static V Sub(V a, V b) { return {a.re - b.re, a.im - b.im}; }
    static V Scale(double s, V a) { return {s * a.re, s * a.im}; }
    static V TimesI(V a) { return {-a.im, a.re}; }
    static W Twiddle(const FftComplex* p) { return *p; }
    static W Broadcast(const FftComplex* p) { return *p; }
    static V Mul(V a, W w) { return {a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re}; }
#endif
};

template <class A, bool kTwiddle, bool kStep, int p>
struct FftTwiddles {
    typename A::W w[p];
    const FftComplex* tw;
    FftIndex ws;
    FftTwiddles(const FftComplex* table, FftIndex stride) : tw(table), ws(stride)
    {
        if (kTwiddle && !kStep)
            for (int j = 1; j < p; ++j) w[j] = A::Broadcast(table + (j - 1) * stride);
    }
    typename A::V Apply(int j, FftIndex i, typename A::V y) const
    {
        if (!kTwiddle) return y;
        return A::Mul(y, kStep ? A::Twiddle(tw + (j - 1) * ws + i) : w[j]);
    }
};

template <class A, bool kTwiddle, bool kStep>
void FftRadix2(FftIndex count, const FftComplex* s, FftIndex ss, FftIndex si, FftComplex* d, FftIndex ds,
               FftIndex di, const FftComplex* tw, FftIndex ws)
{
    const FftTwiddles<A, kTwiddle, kStep, 2> w(tw, ws);
    for (FftIndex i = 0; i < count; i += A::kWidth) {
        const FftComplex* x = s + i * si;
        FftComplex* y = d + i * di;
        const typename A::V x0 = A::Load(x, si), x1 = A::Load(x + ss, si);
        A::Store(y, di, A::Add(x0, x1));
        A::Store(y + ds, di, w.Apply(1, i, A::Sub(x0, x1)));
    }
}

template <class A, bool kTwiddle, bool kStep>
void FftRadix3(FftIndex count, const FftComplex* s, FftIndex ss, FftIndex si, FftComplex* d, FftIndex ds,
               FftIndex di, const FftComplex* tw, FftIndex ws)
{
    using V = typename A::V;
    constexpr double c3 = -0.8660254037844386;  // -sin(2π/3)
    const FftTwiddles<A, kTwiddle, kStep, 3> w(tw, ws);
    for (FftIndex i = 0; i < count; i += A::kWidth) {
        const FftComplex* x = s + i * si;
        FftComplex* y = d + i * di;
        const V x0 = A::Load(x, si), x1 = A::Load(x + ss, si), x2 = A::Load(x + 2 * ss, si);
        const V t = A::Add(x1, x2);
        const V u = A::TimesI(A::Scale(c3, A::Sub(x1, x2)));
        const V m = A::Sub(x0, A::Scale(0.5, t));
        A::Store(y, di, A::Add(x0, t));
        A::Store(y + ds, di, w.Apply(1, i, A::Add(m, u)));
        A::Store(y + 2 * ds, di, w.Apply(2, i, A::Sub(m, u)));
    }
}

template <class A, bool kTwiddle, bool kStep>
void FftRadix4(FftIndex count, const FftComplex* s, FftIndex ss, FftIndex si, FftComplex* d, FftIndex ds,
               FftIndex di, const FftComplex* tw, FftIndex ws)
{
    using V = typename A::V;
    const FftTwiddles<A, kTwiddle, kStep, 4> w(tw, ws);
    for (FftIndex i = 0; i < count; i += A::kWidth) {
        const FftComplex* x = s + i * si;
        FftComplex* y = d + i * di;
        const V x0 = A::Load(x, si), x1 = A::Load(x + ss, si), x2 = A::Load(x + 2 * ss, si),
                x3 = A::Load(x + 3 * ss, si);
        const V a = A::Add(x0, x2), b = A::Sub(x0, x2), c = A::Add(x1, x3);
        const V id = A::TimesI(A::Sub(x1, x3));
        A::Store(y, di, A::Add(a, c));
        A::Store(y + ds, di, w.Apply(1, i, A::Sub(b, id)));
        A::Store(y + 2 * ds, di, w.Apply(2, i, A::Sub(a, c)));
        A::Store(y + 3 * ds, di, w.Apply(3, i, A::Add(b, id)));
    }
}

template <class A, bool kTwiddle, bool kStep>
void FftRadix5(FftIndex count, const FftComplex* s, FftIndex ss, FftIndex si, FftComplex* d, FftIndex ds,
               FftIndex di, const FftComplex* tw, FftIndex ws)
{
    using V = typename A::V;
    constexpr double c1 = 0.30901699437494745;  // cos(2π/5)
    constexpr double s1 = -0.9510565162951535;  // -sin(2π/5)
    constexpr double c2 = -0.8090169943749475;  // cos(4π/5)
    constexpr double s2 = -0.5877852522924731;  // -sin(4π/5)
    const FftTwiddles<A, kTwiddle, kStep, 5> w(tw, ws);
    for (FftIndex i = 0; i < count; i += A::kWidth) {
        const FftComplex* x = s + i * si;
        FftComplex* y = d + i * di;
        const V x0 = A::Load(x, si), x1 = A::Load(x + ss, si), x2 = A::Load(x + 2 * ss, si),
                x3 = A::Load(x + 3 * ss, si), x4 = A::Load(x + 4 * ss, si);
        const V a = A::Add(x1, x4), b = A::Sub(x1, x4), c = A::Add(x2, x3), e = A::Sub(x2, x3);
        const V m1 = A::Add(x0, A::Add(A::Scale(c1, a), A::Scale(c2, c)));
        const V n1 = A::TimesI(A::Add(A::Scale(s1, b), A::Scale(s2, e)));
        const V m2 = A::Add(x0, A::Add(A::Scale(c2, a), A::Scale(c1, c)));
        const V n2 = A::TimesI(A::Sub(A::Scale(s2, b), A::Scale(s1, e)));
        A::Store(y, di, A::Add(x0, A::Add(a, c)));
        A::Store(y + ds, di, w.Apply(1, i, A::Add(m1, n1)));
        A::Store(y + 2 * ds, di, w.Apply(2, i, A::Add(m2, n2)));
        A::Store(y + 3 * ds, di, w.Apply(3, i, A::Sub(m2, n2)));
        A::Store(y + 4 * ds, di, w.Apply(4, i, A::Sub(m1, n1)));
    }
}

// The butterflies of factor p (2 to 5) under the policy A, the twiddle choice made at run time.
template <class A>
void FftSmallRadix(int p, bool twiddle, bool step, FftIndex count, const FftComplex* s, FftIndex ss, FftIndex si,
                   FftComplex* d, FftIndex ds, FftIndex di, const FftComplex* tw, FftIndex ws)
{
#define VESK_FFT_RADIX(R)                                                                        \
    if (!twiddle)                                                                                \
        R<A, false, false>(count, s, ss, si, d, ds, di, tw, ws);                                 \
    else if (step)                                                                               \
        R<A, true, true>(count, s, ss, si, d, ds, di, tw, ws);                                   \
    else                                                                                         \
        R<A, true, false>(count, s, ss, si, d, ds, di, tw, ws);
    switch (p) {
    case 2: VESK_FFT_RADIX(FftRadix2) break;
    case 3: VESK_FFT_RADIX(FftRadix3) break;
    case 4: VESK_FFT_RADIX(FftRadix4) break;
    default: VESK_FFT_RADIX(FftRadix5) break;
    }
#undef VESK_FFT_RADIX
}

}  // namespace

// The same butterflies two at a time on AVX2 with FMA (fft_kernels_avx2.cpp); count must be
// even. Call only when FftWideAvailable() says the processor has them.
void FftWideRadix(int p, bool twiddle, bool step, std::ptrdiff_t count, const FftComplex* s, std::ptrdiff_t ss,
                  std::ptrdiff_t si, FftComplex* d, std::ptrdiff_t ds, std::ptrdiff_t di, const FftComplex* tw,
                  std::ptrdiff_t ws);

// True when this build has the wide butterflies and the processor runs them.
bool FftWideAvailable();
