#pragma once
// Backtracking line search and finite-difference derivatives for the quasi-Newton minimiser.
// Every routine calls the objective only through fcn and changes x only temporarily: each perturbed
// element is saved and restored exactly before the routine moves on.
//
// Step sizes use the scaled magnitude max(|x_i|, 1/sx_i): forward differences take
// sqrt(rnf) times it, central differences and the Hessian rnf^(1/3) times it.
//
// Method: J. E. Dennis and R. B. Schnabel, Numerical Methods for Unconstrained Optimization and
// Nonlinear Equations (1983), Algorithms A6.3.1 (line search), A5.6.3, A5.6.4 (gradients) and
// A5.6.2 (Hessian from function values).
#include <cstdint>
#include <functional>

// The objective: f := objective value at x (n elements). It must leave x unchanged.
using MinimiserObjective = std::function<void(int32_t n, const double* x, double& f)>;

// Line-search result codes.
constexpr int32_t kLineSearchFound = 0;     // an acceptable point was found
constexpr int32_t kLineSearchNoPoint = 1;   // none distinct enough from x

// Backtracks from x along p until f(x + lambda p) <= f + 1e-4 lambda g.p.
//   n                       number of parameters.
//   x (n, in)               current point; f: its value; g (n, in): its gradient.
//   p (n, in/out)           direction; comes back shortened to the maximum step when longer.
//   xpls (n, out), fpls     the last trial point x + lambda p and its value.
//   fcn                     objective.
//   maxStepTaken (out)      a full step longer than 0.99 times the maximum step was accepted.
//   code (out)              kLineSearchFound or kLineSearchNoPoint.
//   stepmx, steptl          maximum scaled step length; relative step tolerance.
//   sx (n, in)              scale factors.
// A trial whose step or value is not finite is shrunk by the smallest factor allowed (0.1), so the
// search ends through its minimum step when no finite acceptable point exists.
void LineSearch(int32_t n, const double* x, double f, const double* g, double* p, double* xpls,
                double& fpls, const MinimiserObjective& fcn, bool& maxStepTaken, int32_t& code,
                double stepmx, double steptl, const double* sx);

// g_i := (f(x + h_i e_i) - f) / h_i with h_i = sqrt(rnf) max(|x_i|, 1/sx_i). n evaluations.
// x (n) is restored on return; f = f(x); g (n, out).
void ForwardDifferenceGradient(int32_t n, double* x, const MinimiserObjective& fcn, double f,
                               double* g, const double* sx, double rnf);

// g_i := (f(x + h_i e_i) - f(x - h_i e_i)) / (2 h_i) with h_i = rnf^(1/3) max(|x_i|, 1/sx_i).
// 2n evaluations. x (n) is restored on return; g (n, out).
void CentralDifferenceGradient(int32_t n, double* x, const MinimiserObjective& fcn,
                               const double* sx, double rnf, double* g);

// Lower triangle and diagonal of a (nr x n, column-major, out) := the Hessian at x by second
// differences of function values with h_i = rnf^(1/3) max(|x_i|, 1/sx_i); f = f(x).
// stepSize and fStep are work vectors of n. 2n + n(n-1)/2 evaluations. x is restored on return.
void FiniteDifferenceHessian(int32_t nr, int32_t n, double* x, const MinimiserObjective& fcn,
                             double f, double* a, const double* sx, double rnf, double* stepSize,
                             double* fStep);
