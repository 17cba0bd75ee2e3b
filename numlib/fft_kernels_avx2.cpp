// The butterflies of fft_kernels.h two complex values at a time, on AVX2 with FMA. This file
// alone is compiled for those instructions (CMakeLists.txt) and runs only where the processor
// has them (FftWideAvailable); it defines nothing with outside linkage but FftWideRadix.
#include "numlib/fft_kernels.h"

#if defined(VESK_FFT_WIDE) && defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>

namespace {

struct FftWide {
    static constexpr int kWidth = 2;
    struct V {
        __m256d v;
    };
    // Twiddles ready for multiplication: (re, re) and (im, im) of each.
    struct W {
        __m256d re, im;
    };
    // Two values: p[0] and p[stride].
    static V Load(const FftComplex* p, FftIndex stride)
    {
        if (stride == 1) return {_mm256_loadu_pd(&p->re)};
        return {_mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(&p->re)), _mm_loadu_pd(&p[stride].re), 1)};
    }
    static void Store(FftComplex* p, FftIndex stride, V a)
    {
        if (stride == 1) {
            _mm256_storeu_pd(&p->re, a.v);
            return;
        }
        _mm_storeu_pd(&p->re, _mm256_castpd256_pd128(a.v));
        _mm_storeu_pd(&p[stride].re, _mm256_extractf128_pd(a.v, 1));
    }
    static V Add(V a, V b) { return {_mm256_add_pd(a.v, b.v)}; }
    static V Sub(V a, V b) { return {_mm256_sub_pd(a.v, b.v)}; }
    static V Scale(double s, V a) { return {_mm256_mul_pd(_mm256_set1_pd(s), a.v)}; }
    // i·a = (-im, re) in each half
    static V TimesI(V a)
    {
        return {_mm256_xor_pd(_mm256_permute_pd(a.v, 0x5), _mm256_set_pd(0.0, -0.0, 0.0, -0.0))};
    }
    static W Split(__m256d w) { return {_mm256_movedup_pd(w), _mm256_permute_pd(w, 0xF)}; }
    // Two successive twiddles, for butterflies i and i+1.
    static W Twiddle(const FftComplex* p) { return Split(_mm256_loadu_pd(&p->re)); }
    // One twiddle for both butterflies.
    static W Broadcast(const FftComplex* p) { return Split(_mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p))); }
    // (re·wr - im·wi, im·wr + re·wi) in each half.
    static V Mul(V a, W w)
    {
        return {_mm256_fmaddsub_pd(a.v, w.re, _mm256_mul_pd(_mm256_permute_pd(a.v, 0x5), w.im))};
    }
};

}  // namespace

void FftWideRadix(int p, bool twiddle, bool step, std::ptrdiff_t count, const FftComplex* s, std::ptrdiff_t ss,
                  std::ptrdiff_t si, FftComplex* d, std::ptrdiff_t ds, std::ptrdiff_t di, const FftComplex* tw,
                  std::ptrdiff_t ws)
{
    FftSmallRadix<FftWide>(p, twiddle, step, count, s, ss, si, d, ds, di, tw, ws);
}
#endif
