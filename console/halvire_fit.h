#pragma once
// halvire's fit: Whittle's frequency-domain approximation to -2 ln L of the fractionally
// integrated ARMA model and its minimisation by the pattern search of numerics/pattern_search.h,
// in single precision. The parameter vector is beta(1..p+q+1) = (phi(1..p), theta(1..q), d).
// Arrays are passed from their first element and indexed from 1 in the comments.

// The criterion of a point outside the admissible region (d outside (-0.5, 0.5) by
// DifferencingAdmissible, AR part not stable, MA part not invertible).
constexpr float kWhittleInadmissible = 1e30f;
// The value of 2 pi in the -2 ln L of the display.
constexpr float kHalvireTwoPi = 6.283185f;

// Whether all zeros of a(1) + a(2) z + ... + a(L) z^(L-1), a(1) = 1, lie outside the unit circle:
// the step-down recursion a'(i) = a(1) a(i) - a(L) a(L + 1 - i), i = 1..L-1, must keep a'(1) > 0 at
// every step. Each step is rescaled by its a'(1), which changes no sign but keeps the squared
// scale of ten steps from underflowing single precision. Degree 0 passes.
//   a (in, L); L (in, >= 1)
bool StabilityRecursion(const float* a, int L);

// The number n' of the last values of a series of length n that the criterion uses: n rounded
// down to a multiple of 10 for 1001..2000, of 20 for 2001..4000, of 40 for 4001..10000, of 100 for
// 10001..20000, and otherwise n made even (the last n - 1 values for odd n), so that the
// periodogram's last ordinate is always the one at frequency pi.
int WhittleWorkingLength(int n);

// The criterion at beta for x(1..n): with y the last n' values, m = n'/2, I(j) = |DFT y(j + 1)|^2 / n'
// and f = FracSpectralDensity(m), r = I / f,
//   A = (r(m) + 2 sum over j < m of r(j)) / n',  F = ln A + (ln f(m) + 2 sum over j < m of ln f(j)) / n'.
//   x (in, n); n (in, 2..20000); p, q (in, 0..10); beta (in, p + q + 1); F (out); A (out)
// Returns 1 with F and A; 0 with F = kWhittleInadmissible (A not written) for an inadmissible beta,
// arguments out of range, or a series whose periodogram gives no positive finite A (no power at
// the Fourier frequencies).
int WhittleLikelihood(const float* x, int n, int p, int q, const float* beta, float& F, float& A);

// The pattern search of the menu's fit from beta over its first k parameters (k = p + q + 1, or
// p + q with d kept fixed): each evaluation is WhittleLikelihood on the whole series.
//   x, n, p, q (in) as above; beta (in/out, p + q + 1): the start, the estimates on return;
//   k (in, 0..p+q+1); step (in/out): the first step, > 0; the last step on return;
//   F (out), A (out): the criterion and the white-noise variance at the estimates
// Returns 1, or 0 (beta unchanged, F = kWhittleInadmissible, A = 0) when no point tried was
// admissible or the arguments are out of range.
int WhittleSearch(const float* x, int n, int p, int q, float* beta, int k, float& step, float& F, float& A);

// -2 ln L after a fit, n (ln 2 pi + F + 1), and before one, at a model with white-noise variance
// sigma2 whose criterion gave F and A: n (ln sigma2 + A / sigma2 + ln 2 pi + F - ln A).
float WhittleMinus2LogLikelihood(int n, float F);
float ModelMinus2LogLikelihood(int n, float sigma2, float F, float A);
