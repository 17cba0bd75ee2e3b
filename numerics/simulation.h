#pragma once
// Standard normal deviates from the platform's uniform generator, and exact sample paths of a
// causal ARMA(p,q) process through its innovations representation (Brockwell and Davis, Time
// Series: Theory and Methods, section 5.3): every observation has the model's distribution from
// the first time on, so no burn-in is discarded. Arrays are indexed from 1
// (numerics/one_based.h); coef = (phi1..phip, theta1..thetaq), orders 0..26.

// z[1..n] := standard normal deviates, z = (-2 ln U1)^0.5 · sin(2 pi U2) with two uniforms per
// deviate (the sine member of the Box-Muller pair).
//   n    (in)       number of deviates; n <= 0 only seeds
//   z    (out, n)
//   seed (in)       handed to UniformRandom once and that value discarded: 0 continues the
//                   current sequence, 1 restarts from the last seed, anything else reseeds (a
//                   multiple of 2^31-1 is taken as 1 by the generator)
void NormalDeviate(int n, double* z, int seed);

// x[1..n] := one path of the causal ARMA(p,q) model with white-noise variance sigma2, driven by
// NormalDeviate(n, ., seed): x = C·Z with C the Cholesky factor of the covariance matrix of
// X(1..n).
// Returns kStatusDone; kStatusBadArgument for orders outside 0..26, n below max(2·max(p,q), 1)
// (below max(p, 1) without a moving average) or sigma2 < 0, and kStatusNotFinite for a
// coefficient or sigma2 that is not finite (nothing written, no deviates drawn);
// kStatusNotCausal when the model is not causal or a one-step variance is not positive, the
// status of ArmaAcvf or MaAcvf when they fail, and kStatusOutOfRange when a value of the path
// overflows (nothing written).
[[nodiscard]] int ArmaSimulate(double* x, int n, const double* coef, int p, int q, double sigma2, int seed);
