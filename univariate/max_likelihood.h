#pragma once
// Maximum likelihood (or least squares) estimation of a univariate project's ARMA model: the
// quasi-Newton minimiser on the reduced Gaussian likelihood over the free coefficients, honouring
// fixed coefficients and multiplicative relations (univariate/constraints.h), with standard errors
// from the minimiser's Hessian or, failing that, from the large-sample covariance of the
// estimators (Brockwell and Davis, Time Series: Theory and Methods, sections 8.7-8.8). A
// fractionally integrated model is fitted by a pattern search on the Whittle criterion instead.
#include <cstdint>
#include <string>

#include "univariate/univariate_project.h"

// The project being estimated: the only way from the minimiser's objective back to the record.
// Set during a fit (and during the estimation dialog); null otherwise.
extern UnivariateFields* EstimatedProject;

// Upper bound of the iteration limit the dialog accepts.
constexpr int32_t kMaxIterationLimit = 100000;

// The accuracy the dialog proposes: |0.01 × the mean of the non-zero coefficients| + 1e-5, or
// 0.001 when every coefficient is zero.
double DefaultAccuracy(const UnivariateFields& project);

// An accuracy or a step as the estimation dialogs propose it: with 5 decimals where they show it,
// else to 6 significant digits, so that a tolerance below 0.000005 is not proposed as 0, which
// OK would refuse (ProposedNumberText).
std::string AccuracyText(double accuracy);

// What the maximum likelihood dialog holds at OK.
struct MleChoice {
    bool maximumLikelihood = true, noOptimisation = false;
    std::string iterationsText, accuracyText;
};

// Checks OK: the accuracy must be a number in (0, 1] and the iteration limit an integer from 1 to
// kMaxIterationLimit. Returns the message of the first failure (the record is then untouched), or
// "" after storing mleMethod, noOptimisation, accuracy and maxIterations.
std::string AcceptMaxLikelihoodChoice(const MleChoice& choice, UnivariateFields& project);

// The two entries alone: "" with the value set, else the message (a text that is no number of its
// kind gets the refusal that says why: " Number of iterations \"1.5\" is not a whole number.").
std::string ReadMleIterations(const std::string& text, int32_t& iterations);
std::string ReadMleAccuracy(const std::string& text, double& accuracy);

// Why the project's model cannot be fitted as it stands, or "" when it can: a series too short
// for the model (the AICC needs n > k + 2, least squares n > p + q, the evaluation n >= 2 max(p,
// q)), constraints that do not address the model, or nothing to optimise.
std::string MaxLikelihoodRefusal(const UnivariateFields& project);

// The objective the minimiser calls: writes x(1..count) into the free coefficients of
// *EstimatedProject, evaluates, and returns the reduced likelihood (least squares: ln of the
// variance estimate), penalised by half its size plus 0.01 when the AR part is not causal or, with
// every coefficient free, the MA part is not invertible.
void LikelihoodObjective(int32_t count, const double* x, double& f);

// Minimises from the record's coefficients with step tolerance stepTolerance and the record's
// iteration limit, writes the minimiser back, evaluates it (residualSsPerN := its variance
// estimate) and fills standardErrors (element 1 = -1 when they cannot be computed).
// Returns the evaluation status at the minimiser (0 done).
int32_t OptimiseLikelihood(UnivariateFields& project, double stepTolerance, int32_t& stopReason);

// The fit of the ARMA model with its statistics (minus2LogLikelihood, aicc, bestAicc). Returns 0,
// or -1 when the model at the end was not causal and every coefficient was set to 0.001 (the
// statistics are then those of that model).
int32_t MaxLikelihoodFit(UnivariateFields& project);

// Outcomes of FractionalMaxLikelihood.
enum FractionalFitStatus : int32_t {
    FRACTIONAL_FIT_DONE = 0,
    FRACTIONAL_FIT_REFUSED = 1,    // `refusal` says why
    FRACTIONAL_FIT_ABANDONED = 2,  // the numerical library stopped the periodogram and has said why
};

// The fit of a fractionally integrated model by the Whittle criterion on the periodogram. Returns
// FRACTIONAL_FIT_DONE, or a failure with the model unchanged: FRACTIONAL_FIT_REFUSED with the
// message in `refusal`, or FRACTIONAL_FIT_ABANDONED, whose message the library has given already.
[[nodiscard]] int32_t FractionalMaxLikelihood(UnivariateFields& project, std::string& refusal);

// Checks OK of the fractionally integrated estimation dialog: "" when accepted (noOptimisation,
// optimiseD and fiStep stored); otherwise the message ("" texts never refuse silently: an
// unreadable step gives a message too).
std::string AcceptFractionalChoice(bool noOptimisation, bool keepDFixed, const std::string& stepText,
                                   UnivariateFields& project);
