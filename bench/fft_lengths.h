#pragma once
// The lengths of the Fourier workloads, shared by the vesk and FFTW cases so that one run
// compares them length by length. The complex FFT: a power of two, 10^6, 2·3^12, the primes 99991
// and 999983, and 10^6 + 2 = 2·3·166667 (a large prime factor). The periodogram: powers of ten
// from 10^3, 2^20 and the two primes. FFTW's real-input transform runs at all of them.
#include <benchmark/benchmark.h>

inline void FftLengths(benchmark::internal::Benchmark* b)
{
    for (int n : {1 << 20, 1000000, 2 * 531441, 99991, 999983, 1000002}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

inline void PeriodogramLengths(benchmark::internal::Benchmark* b)
{
    for (int n : {1000, 10000, 100000, 1000000, 1 << 20, 99991, 999983}) b->Arg(n);
    b->Unit(benchmark::kMicrosecond);
}

inline void RealFftLengths(benchmark::internal::Benchmark* b)
{
    for (int n : {1000, 10000, 100000, 1000000, 1 << 20, 2 * 531441, 99991, 999983, 1000002}) b->Arg(n);
    b->Unit(benchmark::kMicrosecond);
}
