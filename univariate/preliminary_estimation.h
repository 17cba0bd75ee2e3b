#pragma once
// Preliminary estimation of a univariate project's ARMA model: Yule-Walker or Burg
// autoregressions (each at a given order or at the order of minimum AICC), the innovations
// algorithm or the Hannan-Rissanen procedure for models with a moving average part (Brockwell and
// Davis, Introduction to Time Series and Forecasting, sections 5.1.1-5.1.4). The estimates
// replace the model and are evaluated by the exact Gaussian likelihood (EvaluateModel).
#include <cstdint>
#include <string>
#include <vector>

#include "univariate/univariate_project.h"

enum PrelimMethodCode : int32_t {
    PRELIM_YW_SEARCH = 1,
    PRELIM_BURG_SEARCH = 2,
    PRELIM_YW = 3,
    PRELIM_BURG = 4,
    PRELIM_INNOVATIONS = 5,
    PRELIM_HANNAN_RISSANEN = 6,
};

// Highest AR or MA order the estimators (and the evaluation) take.
constexpr int32_t kMaxPrelimOrder = 26;
// Autocovariances the innovations method may use at most (lags 0..74).
constexpr int32_t kMaxInnovationsAcvf = 75;

// The ln(2 pi) the criteria of the estimation reports use.
constexpr double kLnTwoPi = 1.8378762217451237;  // ln 6.28318

// What dialog 122 holds when OK is pressed: order texts, the method boxes and the text of the
// autocovariance count.
struct PrelimChoice {
    std::string pText, qText, acvfText;
    bool yuleWalker = false, burg = false, minAicc = false, innovations = false, hannanRissanen = false;
};

// The outcome of OK in dialog 122.
struct PrelimRequest {
    int32_t p = 0, q = 0, method = 0;
    int32_t m = 0;  // innovations: sample autocovariances to use; 0 for the other methods
    std::string refusal;  // empty when accepted; else the message, the dialog stays
    int32_t focus = 0;    // control to give the focus with the refusal (0: none)
};

// Reads the order `name` ("p" or "q") from its text: "" with `order` set when it is an integer in
// 0..26, else the refusal that says why (" p must be between 0 and 26" for a number out of range).
[[nodiscard]] std::string ReadPrelimOrder(const char* name, const std::string& text, int32_t& order);

// Method code of the boxes, a later box overriding: Yule-Walker, Burg, innovations,
// Hannan-Rissanen (0 when none is checked).
int32_t PrelimMethodOf(const PrelimChoice& choice);

// The number m of sample autocovariances for the innovations method from the entered count k:
// k = 0, k + 1 >= 76, k + 1 > n or k + 1 <= p + q give min(p + q + 16, n - 1), otherwise k + 1.
int32_t InnovationsAcvfCount(int32_t k, int32_t p, int32_t q, int32_t n);

// Checks OK of dialog 122 for a series of n values: the orders, a method for them, and whether the
// series can carry the model (the AICC and the least-squares variance need n > p + q + 2, the
// evaluation n >= 2 max(p, q), the search n >= 3, the innovations method n - 1 > p + q).
PrelimRequest CheckPrelimChoice(const PrelimChoice& choice, int32_t n);

// Result of PrelimEstimate.
enum PrelimOutcome : int32_t {
    PRELIM_DONE = 1,
    // The estimator refused (a singular Toeplitz or cross-product matrix, a one-step variance of
    // the innovations algorithm that is not positive, a series too short for the orders): the
    // project is as it was. `message` says why.
    PRELIM_REFUSED = 0,
};

struct PrelimResult {
    int32_t outcome = PRELIM_REFUSED;
    // 0, or -1 when the estimated AR part was not causal and every coefficient was set to 0.001.
    int32_t status = 0;
    std::string message;
    // Minimum-AICC search: the AICC of each order tried, element k for order k (order 0 is white
    // noise, then orders up to min(n - 3, n/2, 26): the exact likelihood needs n >= 2k); an order
    // whose evaluation failed holds a NaN.
    std::vector<double> searchAicc;
};

// Fits the model by `method` to series(1..n) with orders p, q of the record.
//   m (in/out) innovations: sample autocovariances to use (from the dialog); on return the
//              number computed (lags 0..m-1).
// Writes phi, theta, numFree, freeIndex (all free), relationCount = 0, standardErrors (the ratio of
// each estimate to 1.96 standard errors), prelimWnVariance, and the final evaluation's statistics
// wnVariance, reducedLikelihood, objectiveValue, minus2LogLikelihood, aicc; bestAicc keeps the
// AICC before the run (the search's minimum for the search methods). On PRELIM_REFUSED every
// model field is as before.
PrelimResult PrelimEstimate(UnivariateFields& project, int32_t& m, int32_t method);

// Burg's AR estimates of orders 1..k from x(1..n) (n > k >= 1).
//   phi (out, k) the order-k coefficients; returns the Burg variance
//   sum_{t=k+1..n} (f(t)^2 + b(t)^2) / (2(n - k)) of the forward and backward errors.
double BurgFit(int32_t k, const double* x, int32_t n, double* phi);

// The innovations algorithm on the autocovariances gamma(0..K) (acvf[h] = gamma(h)): the
// coefficients theta_{K,1..K} into theta (K values) and v_K into v. Returns 0 when a one-step
// variance is not positive and finite.
[[nodiscard]] int32_t SampleInnovations(int32_t K, const double* acvf, double* theta, double& v);
