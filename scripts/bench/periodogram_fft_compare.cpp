// Times the periodogram DPFFT, the bare transform DF2TCF and an FFTW transform with an estimated
// plan (FFTW_ESTIMATE) of the same lengths, median of repeated runs, in milliseconds.
// Built and run by scripts/bench/periodogram_vs_r_fftw.sh; not part of the unit build.
#include "numlib/fft.h"
#include "numlib/periodogram.h"

#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

template <class F>
double MedianMs(F f, int repeats)
{
    std::vector<double> ms;
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main()
{
    for (int n : {1 << 20, 1000000}) {
        std::vector<double> x(n);
        for (int t = 0; t < n; ++t) x[t] = std::sin(0.01 * t) + 0.3 * std::cos(1.7 * t) + (t % 7) * 0.01;
        std::vector<double> pm(5 * static_cast<size_t>(n / 2 + 1));
        const double periodogram = MedianMs([&] { DPFFT(n, x.data(), 0, 0.0, 0, 0, 1, pm.data(), n / 2 + 1); }, 7);

        std::vector<double> ftab(4 * static_cast<size_t>(n) + 15), cx(2 * static_cast<size_t>(n)), cy(cx.size()),
            work(cx.size());
        for (int t = 0; t < n; ++t) cx[2 * t] = x[t];
        DFFTCI(n, ftab.data());
        const double transform = MedianMs([&] { DF2TCF(n, cx.data(), cy.data(), ftab.data(), work.data()); }, 7);

        fftw_complex* in = fftw_alloc_complex(n);
        fftw_complex* out = fftw_alloc_complex(n);
        fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
        for (int t = 0; t < n; ++t) {
            in[t][0] = x[t];
            in[t][1] = 0.0;
        }
        const double fftw = MedianMs([&] { fftw_execute(plan); }, 7);
        fftw_destroy_plan(plan);
        fftw_free(in);
        fftw_free(out);
        std::printf("n=%d DPFFT_ms=%.2f DF2TCF_ms=%.2f FFTW_estimate_ms=%.2f\n", n, periodogram, transform, fftw);
    }
    return 0;
}
