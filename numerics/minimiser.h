#pragma once
// Quasi-Newton minimiser of a smooth function of n parameters without constraints. The Hessian is
// carried as its lower Cholesky factor, updated by the factored BFGS formula after every step;
// gradients are finite differences of function values (forward, switched for good to central
// differences when a line search fails), and the Hessian at the returned point comes from second
// differences.
//
// Method: J. E. Dennis and R. B. Schnabel, Numerical Methods for Unconstrained Optimization and
// Nonlinear Equations (1983), Algorithm D6.1.1 with the line search A6.3.1 and the secant update
// A9.4.2.
//
// Arrays are column-major with leading dimension nr; vectors have n elements. The routines are not
// re-entrant: the objective must not call the minimiser.
#include "numerics/line_search.h"

#include <cstdint>
#include <string>

// Stop codes.
constexpr int32_t kStopGradient = 1;        // relative gradient within the gradient tolerance
constexpr int32_t kStopStep = 2;            // relative step within the step tolerance
constexpr int32_t kStopLineSearch = 3;      // no acceptable point along the direction
constexpr int32_t kStopIterationLimit = 4;  // iteration limit reached
constexpr int32_t kStopMaximumSteps = 5;    // five consecutive steps of maximum length
// Refusals: nothing was minimised, and a and gpls hold nothing usable.
constexpr int32_t kStopNotFinite = 6;       // the start or the objective there is not finite
constexpr int32_t kStopBadArgument = 7;     // n < 1 or nr < n

// Settings of one run (typical sizes and scale factors are vectors of the work array).
struct MinimiserSettings {
    double fscale = 1.0;   // function scale
    double eps = 0.0;      // relative precision
    int32_t ndigit = -1;   // digits of accuracy of the objective; negative: derive from eps
    double rnf = 0.0;      // noise level of the objective
    double gradtl = 0.0;   // gradient tolerance
    double stepmx = 0.0;   // maximum scaled step length
    double steptl = 0.0;   // relative step tolerance
    int32_t itnlim = 0;    // iteration limit
    bool central = false;  // gradients by central rather than forward differences
};

// The relative precision the minimiser assumes of the objective: 8e-8.
double RelativePrecision();

// Default settings; typsiz (n, out) := 1.
void MinimiserDefaults(int32_t n, double* typsiz, MinimiserSettings& settings);

// Completes the settings for the starting point x (n): sx (n, out) := 1/typsiz; the maximum step
// := max(1000 sqrt(sum (sx_i x_i)^2), 1000); negative digits become the whole part of -log10(eps).
void CheckMinimiserSettings(int32_t n, const double* x, const double* typsiz, double* sx,
                            MinimiserSettings& settings);

// The stop test after a step to xpls (or at the starting point, itncnt = 0). Returns the stop code,
// 0 while the run goes on. consecutiveMaxSteps (in/out) counts consecutive maximum steps.
//   xpls, gpls (n)  new point and its gradient; fpls its value; x (n) the previous point.
//   lineSearchCode  -1 before the first search, else the code of the last search.
int32_t MinimiserStopTest(int32_t n, const double* xpls, double fpls, const double* gpls,
                          const double* x, int32_t itncnt, int32_t lineSearchCode,
                          bool maxStepTaken, const double* sx, const MinimiserSettings& settings,
                          int32_t& consecutiveMaxSteps);

// Runs the iteration with completed defaults (see MinimiseObjective for the arguments).
void MinimiserDriver(int32_t nr, int32_t n, double* x, const MinimiserObjective& fcn,
                     MinimiserSettings& settings, double* xpls, double& fpls, double* gpls,
                     int32_t& itrmcd, double* a, double* wrk, int32_t& itncnt);

// Minimises fcn from x.
//   nr          leading dimension of a and wrk, at least n.
//   n           number of parameters, at least 1.
//   x (n)       in: starting point; out: the point from which the last step was taken (xpls after
//               a stop at the starting point or with stop code 3).
//   steptl      relative step tolerance; itnlim: iteration limit.
//   fcn         objective, fcn(n, x, f); it must leave x unchanged.
//   xpls (n)    out: the point returned; fpls: f there; gpls (n): finite-difference gradient there.
//   itrmcd      out: stop code 1 to 5; kStopNotFinite when x is not finite (nothing done) or
//               f(x) is not finite (xpls := x, fpls := f(x), gpls := 0, nothing else done);
//               kStopBadArgument (nothing done).
//   a (nr x n)  out: lower triangle and diagonal hold the finite-difference Hessian at xpls; the
//               strict upper triangle holds leftovers.
//   wrk (nr x 9) work array.
//   itncnt      out: iterations done.
// Writes "  ITERATION" and each iteration number in three columns, without a line end, to the
// progress output (SetMinimiserOutput).
void MinimiseObjective(int32_t nr, int32_t n, double* x, double steptl, int32_t itnlim,
                       const MinimiserObjective& fcn, double* xpls, double& fpls, double* gpls,
                       int32_t& itrmcd, double* a, double* wrk, int32_t& itncnt);

// Directs the progress text to *capture (appended) instead of the standard output; nullptr
// restores the standard output.
void SetMinimiserOutput(std::string* capture);
