#pragma once
// Evaluation of a univariate project's ARMA model on its current series: the one place where the
// Gaussian likelihood, the white-noise variance estimate, the residuals and the ARMA forecasts
// are computed (preliminary and maximum likelihood estimation, residuals, the switch to an
// invertible model and ARMA forecasting all evaluate through here), and the settled innovations
// coefficients that give the invertible moving average of a model.
//
// Model convention: X(t) - phi1 X(t-1) - ... - phip X(t-p) = Z(t) + theta1 Z(t-1) + ... +
// thetaq Z(t-q). The combined coefficient vector c(1..p+q) is phi1..phip, theta1..thetaq;
// relations and the free-index list address it. Both routines keep their work arrays between
// calls (they run once per objective evaluation of the minimiser) and are not reentrant.
#include <cstdint>

#include "univariate/univariate_project.h"

// Status of EvaluateModel and ModelLikelihood.
enum EvaluationStatus : int32_t {
    EVALUATION_DONE = 0,
    // The AR part is not causal, or the innovations recursion met a one-step variance that is
    // not positive.
    EVALUATION_NOT_CAUSAL = -1,
    // The series is too short for the model: n < EvaluationMinimumLength(p, q), or least squares with n <= p + q (no positive
    // divisor for the variance).
    EVALUATION_SHORT_SERIES = -2,
    // Anything else that leaves no finite result: orders outside 0..26, a relation index outside
    // 1..p+q, a non-finite coefficient or series value, a horizon above kMaxEvaluationHorizon,
    // sums outside the double range, or no memory for the work arrays.
    EVALUATION_FAILED = -3,
};

// The fewest values EvaluateModel takes with AR order p and MA order q: max(2 max(p, q), 2) (the
// recursion reads x(1..2m) and the model's start-up rows).
int32_t EvaluationMinimumLength(int32_t p, int32_t q);

// Most forecast steps EvaluateModel gives.
constexpr int32_t kMaxEvaluationHorizon = 100000;

// Applies the relations (a, b, d) of relations(1..relationCount) to the record in table order:
// c(a) := c(b)·c(d) of the combined vector, stored negated as phi(a) when a <= p and as
// theta(a - p) otherwise (a later relation sees the values of an earlier one). The model the
// record describes is the one after its relations: whoever examines the coefficients before
// evaluating them applies these first.
// Returns 1; 0, with the record unchanged, for orders outside 0..26, a relation count outside
// 0..6 or a relation index outside 1..p+q.
[[nodiscard]] int32_t ApplyModelRelations(UnivariateFields& project);

// Evaluates the project's model on series(1..n).
//   horizon (in) -1 maximum likelihood (and every plain evaluation), 0 least squares, h > 0 also
//                forecasts h steps ahead.
// Steps: evaluationCount += 1; the relations are applied (ApplyModelRelations), so their
// targets are rewritten before anything can fail. A white-noise model (p = q = 0) is evaluated
// as an AR(1) with phi1 = 0 (the record keeps p = 0). The innovations recursion with unit
// noise variance then gives S = sum (X(t) - Xhat(t))^2 / r(t-1) and L = sum ln r(t-1).
// On EVALUATION_DONE it writes:
//   wnVariance        S/n, or S/(n - p' - q) for least squares (p' the working AR order)
//   reducedLikelihood L/n + ln(S/n)
//   objectiveValue    reducedLikelihood for horizon -1, ln wnVariance otherwise
//                     (when S = 0, an all-zero series, the two logarithms are left out: the
//                     terms stay 0 and both results finite)
//   settlingStep      the step at which the recursion froze (unchanged when it did not)
//   residuals         n values (X(t) - Xhat(t))/sqrt(r(t-1)) when residualsValid = 1 and
//                     either horizon <= 0 or q = 0; otherwise untouched
//   armaForecasts, armaForecastMse  h values each when horizon = h > 0
// On any other status nothing after the relations is changed (settlingStep included).
[[nodiscard]] int32_t EvaluateModel(UnivariateFields& project, int32_t horizon);

// Runs the innovations recursion of the model (p, q, phi, theta as they stand: no relations, no
// white-noise substitution) over a series of zeros until it settles, and hands back its
// coefficient table.
//   coefficientTable (out, 54 x 54, column-major, leading dimension 54) the coefficients
//                    Theta(k, j) of the recursion; row 54, columns 1..q, holds the coefficients
//                    of its last step: for a non-invertible MA part, the coefficients of the
//                    invertible moving average with the same autocovariances.
// The zero series starts with N = max(n, 54) values; while the recursion has not settled within
// N steps and N < 2200, N doubles (capped at 2200) and it runs again. settlingStep is set to N
// before each run and holds the settling step of the last run afterwards (N when it did not
// settle). The tolerance is min(1e-5, likelihoodTolerance).
// Returns EVALUATION_DONE; EVALUATION_NOT_CAUSAL when the AR part is not causal; EVALUATION_FAILED
// for q = 0 (nothing to invert), orders outside 0..26, non-finite coefficients or no memory. The
// table and settlingStep are left untouched on failure.
[[nodiscard]] int32_t ModelLikelihood(UnivariateFields& project, double* coefficientTable);

// Theta(54, j) of a coefficient table as ModelLikelihood fills it, j = 1..q.
inline double SettledCoefficient(const double* coefficientTable, int32_t j)
{
    return coefficientTable[53 + 54 * (j - 1)];
}

// Whether the MA part theta(1..q) as it stands is invertible (the step-down test of ArmaAcvf):
// true for q = 0, and for orders outside 0..26 or coefficients that are not finite, which the
// test cannot judge and no invertible twin could be computed for.
bool MaPartInvertible(const UnivariateFields& project);

// The invertible twin of the model's MA part: theta(1..q) := the coefficients the innovations
// recursion settles to (ModelLikelihood's row 54), the invertible moving average with the same
// autocovariances up to the noise variance. Where the recursion reaches its cap without settling
// (a zero of theta(z) near the unit circle), the zeros inside the circle are reflected to
// 1/conj(r) instead (ReflectMaRoots). The model is taken as it stands: the caller applies the
// relations first, and drops those that would rewrite the new coefficients.
// Returns ModelLikelihood's status, or EVALUATION_FAILED when the zeros cannot be found; theta is
// replaced only on EVALUATION_DONE.
[[nodiscard]] int32_t InvertibleTwin(UnivariateFields& project);
