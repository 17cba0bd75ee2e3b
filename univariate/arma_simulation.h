#pragma once
// Simulation of a univariate project's model, portable: the values the Simulate dialog proposes,
// the checks of its entries, a Gaussian path of the model, the regression trend, mean, classical
// components and Box-Cox added back in that order, and delivery into a new record or into the
// project. The window layer only runs the dialog, shows the messages and opens the windows.
#include <cstdint>
#include <string>
#include <vector>

#include "univariate/univariate_project.h"

// Longest series the dialog accepts; a fractionally integrated model costs m^2 operations in the
// Durbin-Levinson recursion, so it has a shorter limit.
constexpr int32_t kMaxSimulationLength = 1000000;
constexpr int32_t kMaxFractionalSimulationLength = 50000;

// What the project's transform stack and regression offer to add back. The stack is walked from
// the newest node to the oldest, so where a kind occurs more than once the oldest node's values
// stand.
struct SimulationComponents {
    int32_t regressionPresent = 0;
    // Harmonic node (kind 8) and its values, used when harmonics > 0.
    bool harmonicNode = false;
    int32_t harmonics = 0;
    int32_t fourierIndex[4] = {0, 0, 0, 0};
    double cosCoef[4] = {0, 0, 0, 0};
    double sinCoef[4] = {0, 0, 0, 0};
    double level = 0.0;
    // Classical node (kind 4): period d > 0 with its d seasonal components, or -1 for a trend
    // alone.
    bool seasonalNode = false;
    int32_t period = 0;
    std::vector<double> seasonal;
    double polyCoef[3] = {0, 0, 0};  // c0 + c1 t + c2 t^2, from a node of kind 8 or 4
    bool boxCoxNode = false;
    double lambda = 1.0;
    double mean = 0.0;        // the mean field of the newest node, 0 without nodes
    int32_t length = 100;     // n, or 100 without data
};
SimulationComponents GatherSimulationComponents(const UnivariateFields& project);

// The dialog's entries as read back: length m, seed, white-noise variance sigma2, mean, the three
// boxes and the destination.
struct SimulationChoice {
    int32_t m = 0;
    int32_t seed = 1234;
    double sigma2 = 1.0;
    double mean = 0.0;
    bool addSeasonal = false;
    bool addBoxCox = false;
    bool addRegression = false;
    bool newProject = true;
};

// Reads the texts of the length, seed, variance and mean edits into `choice`, checking them in
// the dialog's order; the boxes and the destination must already be set. Returns "" when the
// entries can be simulated, else the message to show (the dialog then asks again):
// - m <= 0 (or not a number): " Number of observations must be > 0"; m past int32 or past the
//   length limit: a message naming the limit;
// - sigma2 not > 0: " WN Variance must be postive";
// - seed not an integer, mean not a finite number: a message naming the field;
// - regression trend with auxiliary variables added and fewer of them than m: " Cannot simulate
//   beyond the length of the auxiliary variables in regression function."; a trend whose
//   coefficients are missing or out of range is refused too;
// - the model: orders out of range, not causal, d outside (-0.5, 0.5), or m < 2·max(p, q).
std::string ReadSimulationChoice(const UnivariateFields& project, const std::string& lengthText,
                                 const std::string& seedText, const std::string& varianceText,
                                 const std::string& meanText, SimulationChoice& choice);

// The path X(1..x.size()) of the forward Durbin-Levinson recursion driven by the deviates z:
// X(1) = sqrt(sigma2·v(0))·z(1), X(k+1) = xhat(k+1) + sqrt(sigma2·v(k))·z(k+1), where xhat is
// the best linear predictor from X(1..k) under autocovariances gamma(0..) and v(k) the one-step
// variances for unit white-noise variance (Brockwell and Davis, Time Series: Theory and Methods,
// section 5.2). The inverse of DurbinLevinsonResiduals. Returns 1; 0 (x untouched) when gamma
// has fewer than z.size() values, z is empty, a one-step variance is not positive or a value
// not finite.
int32_t DurbinLevinsonPath(const std::vector<double>& gamma, const std::vector<double>& z,
                           double sigma2, std::vector<double>& x);

// A Gaussian path of length choice.m of the project's model with variance choice.sigma2 and
// seed choice.seed: ArmaSimulate, or for a fractionally integrated model the autocovariances of
// FracArmaAcvf (on a copy of the model: the project's model ACF stays) through
// DurbinLevinsonPath with NormalDeviate's deviates. Returns 1; 0 when the model cannot be
// simulated or memory runs out (x then empty).
int32_t SimulateModelPath(const UnivariateFields& project, const SimulationChoice& choice,
                          std::vector<double>& x);

// Adds back, in order, the regression trend (when present and chosen; a present trend not
// chosen adds nothing at all), the mean, the seasonal/trend components and Box-Cox (base below
// 0 taken as 0). n is the project's length. Returns 1, or 0 when a value is not finite.
int32_t AddSimulationComponents(const UnivariateFields& project, const SimulationComponents& components,
                                const SimulationChoice& choice, std::vector<double>& x);

// The whole simulation of the entries in `choice`: SimulateModelPath then the components.
// Returns 1, or 0 with a message in `message`.
int32_t SimulateSeries(const UnivariateFields& project, const SimulationChoice& choice, std::vector<double>& x,
                       std::string& message);

// A new record holding x with the project's model, constraints and long-memory settings and
// white-noise variance sigma2, its residuals computed. Returns 1, or 0 when memory runs out.
int32_t BuildSimulatedRecord(const UnivariateFields& project, const std::vector<double>& x, double sigma2,
                             UnivariateProject& record);

// Replaces the project's data by x as any load does (VeskClearData: the transform stack, the
// regression and the derived views go, the model and its white-noise variance stay), indices
// 1..m, and computes the residuals. Returns 1; 0 when memory runs out (the project unchanged).
int32_t ImportSimulatedSeries(UnivariateProject& project, const std::vector<double>& x);
