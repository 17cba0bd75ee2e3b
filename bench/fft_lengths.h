#pragma once
// The lengths of the complex FFT workload, shared by the vesk and FFTW cases so that one run
// compares them length by length: a power of two, 10^6, 2·3^12, the primes 99991 and 999983,
// and 10^6 + 2 = 2·3·166667 (a large prime factor).
#include <benchmark/benchmark.h>

inline void FftLengths(benchmark::internal::Benchmark* b)
{
    for (int n : {1 << 20, 1000000, 2 * 531441, 99991, 999983, 1000002}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}
