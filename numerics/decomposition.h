#pragma once
// Removal of deterministic components from a series: the classical seasonal decomposition,
// regression on chosen harmonics, and a linear or quadratic trend. Each routine subtracts what it
// fitted from the series in place and returns the removed part so that a transform can be undone.
// Series are indexed 1..n in the formulas and stored as vector elements 0..n-1; n is the length
// of the series vector. Each routine refuses a series holding a NaN or infinite value
// (kStatusNotFinite) and a result that overflows (kStatusOutOfRange), changing nothing then;
// series near the ends of the double range are worked on scaled by a power of two.
#include <vector>

// Classical decomposition with period d: a centred moving average of length d (end points
// weighted one half when d is even), the mean deviation from it at each season position, and
// those d averages re-centred to sum to 0.
//   x    (in/out, n)  the series; on return x(t) - s(t)
//   s    (out, n)     resized to n; s(t) = the seasonal component of the season of t
//   comp (out, d)     resized to d; the d seasonal components, comp(1) for t = 1
//   d    (in)         period, d >= 2
// Returns kStatusDone, or kStatusBadArgument when d < 2 or n < d + 2·(d div 2), the shortest
// series in which every season position has a moving-average value; nothing is changed then.
[[nodiscard]] int ClassicalDecomposition(std::vector<double>& x, std::vector<double>& s,
                                         std::vector<double>& comp, int d);

// Least-squares fit of a level and k harmonics at the Fourier indices f(1..k):
// a(i) = sum of x(t)·cos(2π·f(i)·t/n), b(i) the same with sin, level = mean of x, and
// fit(t) = level + (2/n)·sum over i of (a(i)·cos + b(i)·sin), which is the least-squares fit for
// distinct indices strictly between 0 and n/2.
//   x     (in/out, n)  the series; on return x(t) - fit(t)
//   fit   (out, n)     resized to n
//   a, b  (out, k)     resized to k; the raw sums, without the factor 2/n
//   k     (in)         number of harmonics, 0 <= k <= size of f
//   level (out)        mean of x on entry
//   f     (in, k)      Fourier indices
// Returns kStatusDone, or kStatusBadArgument for an empty series or k outside 0..size of f;
// nothing is changed then.
[[nodiscard]] int HarmonicRegression(std::vector<double>& x, std::vector<double>& fit,
                                     std::vector<double>& a, std::vector<double>& b, int k,
                                     double& level, const std::vector<int>& f);

// Least-squares polynomial trend c0 + c1·t + c2·t² in t = 1..n, in closed form from the sums
// of x(t), t·x(t) and t²·x(t) (c2 = 0 for degree 1).
//   x      (in/out, n)  the series; on return x(t) - trend(t)
//   fit    (in/out, n)  the component removed before (of size n); trend(t) is added to it
//   c      (out, 3)     resized to 3; (c0, c1, c2)
//   degree (in)         1 or 2
// Returns kStatusDone, or kStatusBadArgument when the degree is not 1 or 2, when it is not below
// n (the fit would divide by zero), or when fit is not of size n; nothing is changed then.
[[nodiscard]] int PolynomialTrend(std::vector<double>& x, std::vector<double>& fit,
                                  std::vector<double>& c, int degree);
