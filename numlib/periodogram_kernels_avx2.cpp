// The periodogram's row loops four rows at a time, on AVX2 with FMA. This file alone is compiled
// for those instructions (CMakeLists.txt) and runs only where the processor has them
// (FftWideAvailable). Every helper is inlined, so no vector is ever passed on the stack.
#include "numlib/periodogram_kernels.h"

#if defined(VESK_FFT_WIDE) && defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>

#include <limits>

bool PeriodogramPairsWide(std::ptrdiff_t h, std::ptrdiff_t first, std::ptrdiff_t count, const FftComplex* Z,
                          const double* wr, const double* wi, double half, double* I, double* A, double* B)
{
    const __m256d vhalf = _mm256_set1_pd(half), vminus = _mm256_set1_pd(-half), two = _mm256_set1_pd(2.0);
    const __m256d most = _mm256_set1_pd(std::numeric_limits<double>::max());
    __m256d bad = _mm256_setzero_pd();
    for (std::ptrdiff_t k = first; k < first + count; k += 4) {
        // Z(k..k+3) into real and imaginary parts in the order of k.
        const __m256d z01 = _mm256_loadu_pd(&Z[k].re), z23 = _mm256_loadu_pd(&Z[k + 2].re);
        const __m256d ur = _mm256_permute4x64_pd(_mm256_unpacklo_pd(z01, z23), 0xD8);
        const __m256d ui = _mm256_permute4x64_pd(_mm256_unpackhi_pd(z01, z23), 0xD8);
        // Z(h-k..h-k-3), lane j holding h-k-j.
        const std::ptrdiff_t m = h - k - 3;
        const __m256d y01 = _mm256_loadu_pd(&Z[m].re), y23 = _mm256_loadu_pd(&Z[m + 2].re);
        const __m256d vr = _mm256_permute4x64_pd(_mm256_unpacklo_pd(y01, y23), 0x27);
        const __m256d vi = _mm256_permute4x64_pd(_mm256_unpackhi_pd(y01, y23), 0x27);
        const __m256d cr = _mm256_loadu_pd(wr + k), ci = _mm256_loadu_pd(wi + k);

        const __m256d er = _mm256_add_pd(ur, vr), ei = _mm256_sub_pd(ui, vi);
        const __m256d orr = _mm256_add_pd(ui, vi), oi = _mm256_sub_pd(vr, ur);
        const __m256d pr = _mm256_fmsub_pd(er, cr, _mm256_mul_pd(ei, ci));
        const __m256d pi = _mm256_fmadd_pd(er, ci, _mm256_mul_pd(ei, cr));
        const __m256d w2r = _mm256_fmsub_pd(cr, cr, _mm256_mul_pd(ci, ci));
        const __m256d w2i = _mm256_mul_pd(two, _mm256_mul_pd(cr, ci));
        const __m256d qr = _mm256_fmsub_pd(orr, w2r, _mm256_mul_pd(oi, w2i));
        const __m256d qi = _mm256_fmadd_pd(orr, w2i, _mm256_mul_pd(oi, w2r));

        const __m256d a1 = _mm256_mul_pd(vhalf, _mm256_add_pd(pr, qr));
        const __m256d b1 = _mm256_mul_pd(vminus, _mm256_add_pd(pi, qi));
        const __m256d a2 = _mm256_mul_pd(vminus, _mm256_sub_pd(pr, qr));
        const __m256d b2 = _mm256_mul_pd(vminus, _mm256_sub_pd(pi, qi));
        const __m256d i1 = _mm256_fmadd_pd(b1, b1, _mm256_mul_pd(a1, a1));
        const __m256d i2 = _mm256_fmadd_pd(b2, b2, _mm256_mul_pd(a2, a2));
        _mm256_storeu_pd(A + k, a1);
        _mm256_storeu_pd(B + k, b1);
        _mm256_storeu_pd(I + k, i1);
        // Rows h-k-3..h-k in memory order.
        _mm256_storeu_pd(A + m, _mm256_permute4x64_pd(a2, 0x1B));
        _mm256_storeu_pd(B + m, _mm256_permute4x64_pd(b2, 0x1B));
        _mm256_storeu_pd(I + m, _mm256_permute4x64_pd(i2, 0x1B));
        // Not below or equal to the largest double: infinite or NaN.
        bad = _mm256_or_pd(bad, _mm256_cmp_pd(i1, most, _CMP_NLE_UQ));
        bad = _mm256_or_pd(bad, _mm256_cmp_pd(i2, most, _CMP_NLE_UQ));
    }
    return _mm256_movemask_pd(bad) == 0;
}

void PeriodogramAxesWide(int n, std::ptrdiff_t count, bool radians, double* freq, double* period)
{
    const __m256d vn = _mm256_set1_pd(static_cast<double>(n)), four = _mm256_set1_pd(4.0);
    const __m256d twoPi = _mm256_set1_pd(6.283185307179586);
    // k as doubles; adding 4 stays exact for every int.
    __m256d k = _mm256_set_pd(3.0, 2.0, 1.0, 0.0);
    for (std::ptrdiff_t i = 0; i < count; i += 4) {
        __m256d f = _mm256_div_pd(k, vn);
        if (radians) f = _mm256_mul_pd(f, twoPi);
        _mm256_storeu_pd(freq + i, f);
        _mm256_storeu_pd(period + i, _mm256_div_pd(vn, k));
        k = _mm256_add_pd(k, four);
    }
}
#endif
