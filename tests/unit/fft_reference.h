#pragma once
// A reference discrete Fourier transform in long double for the FFT tests, independent of the
// library's engine: out(k) = sum over t of x(t)·exp(-2πi·k·t/n). Lengths whose part without
// the factors 2, 3, 5 and 7 is at most 3000 are split into decimated parts down to direct sums;
// other lengths go through Bluestein's chirp-z convolution over a power of two. Roots come from
// cosl/sinl of 2π·j/n, indexed by (k·t) mod n, so no large angle is ever formed.
#include <cstdint>
#include <vector>

struct LongComplex {
    long double re = 0.0L;
    long double im = 0.0L;
};

// The transform of n complex values given as (real, imaginary) pairs of doubles.
std::vector<LongComplex> LongDft(const std::vector<double>& x);

// n complex values as (real, imaginary) pairs, both uniform on (-1, 1), from a fixed seed.
std::vector<double> RandomComplex(int n, uint64_t seed);

// Largest |y(k) - ref(k)| over the largest |ref(k)|, y as (real, imaginary) pairs.
double RelativeError(const std::vector<double>& y, const std::vector<LongComplex>& ref);
