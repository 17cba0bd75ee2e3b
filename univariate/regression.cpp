#include "univariate/regression.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "numlib/error_stack.h"
#include "numlib/least_squares.h"
#include "platform/blas.h"
#include "shell/number_format.h"
#include "univariate/model_evaluation.h"
#include "univariate/residuals.h"

namespace {

bool AllFinite(const std::vector<double>& values)
{
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool Fittable(const UnivariateFields& u)
{
    return u.regressionSpecified && u.termCount > 0 && u.n > 0 && u.series.size() >= static_cast<size_t>(u.n);
}

// The stored design when it has exactly n rows and termCount columns, else one rebuilt from the
// stored choice (a transform or undo since Specify changed n).
ColumnMatrix CurrentDesign(const UnivariateFields& u)
{
    const auto size = static_cast<size_t>(u.n) * static_cast<size_t>(u.termCount);
    if (u.regressionDesign.rows == u.n && u.regressionDesign.cols == u.termCount &&
        u.regressionDesign.values.size() == size)
        return u.regressionDesign;
    return BuildRegressionDesign(u, u.n);
}

// Everything a fit changes, committed at once.
struct TrendFit {
    ColumnMatrix design, covariance;
    std::vector<double> coefficients, trend, series;
};

void Commit(UnivariateFields& u, TrendFit& fit, int32_t method)
{
    u.regressionDesign = std::move(fit.design);
    u.trendCoefficients = std::move(fit.coefficients);
    u.trendValues = std::move(fit.trend);
    u.series = std::move(fit.series);
    if (method == 2) u.coefficientCovariance = std::move(fit.covariance);
    u.regressionPresent = method;
}

// Columns `use` (from 1, increasing) of a.
ColumnMatrix Columns(const ColumnMatrix& a, const std::vector<int32_t>& use)
{
    ColumnMatrix sub;
    sub.rows = a.rows;
    sub.cols = static_cast<int32_t>(use.size());
    sub.values.reserve(static_cast<size_t>(sub.rows) * use.size());
    for (int32_t j : use) {
        const auto first = a.values.begin() + static_cast<std::ptrdiff_t>(j - 1) * a.rows;
        sub.values.insert(sub.values.end(), first, first + a.rows);
    }
    return sub;
}

// DLSQRR with tolerance 0 on a, whose columns are the design columns `use` (from 1) of a design of
// k columns: x (k values) the coefficients, 0 outside `use`; leftOut the columns of `use` that
// the rank rule left out; covariance, when asked for, the k by k inverse(R'R) over the columns
// kept, 0 elsewhere. False when the library abandoned the call.
bool SolveLeastSquares(const ColumnMatrix& a, const std::vector<double>& b, const std::vector<int32_t>& use, int32_t k,
                       std::vector<double>& x, std::vector<double>& residual, std::vector<int32_t>& leftOut,
                       ColumnMatrix* covariance)
{
    std::vector<double> solution(static_cast<size_t>(a.cols), 0.0), inverse;
    if (covariance) inverse.resize(static_cast<size_t>(a.cols) * static_cast<size_t>(a.cols));
    residual = b;
    int basis = 0;
    std::vector<int> order(static_cast<size_t>(a.cols), 0);
    DLSQRR(a.rows, a.cols, a.values.data(), a.rows, b.data(), 0.0, solution.data(), residual.data(), basis,
           order.data(), covariance ? inverse.data() : nullptr);
    if (LibraryCallAbandoned()) return false;
    x.assign(static_cast<size_t>(k), 0.0);
    for (size_t i = 0; i < use.size(); ++i) x[static_cast<size_t>(use[i] - 1)] = solution[i];
    leftOut.clear();
    for (auto j = order.begin() + std::clamp(basis, 0, a.cols); j != order.end(); ++j)
        leftOut.push_back(use[static_cast<size_t>(*j - 1)]);
    if (covariance) {
        covariance->rows = covariance->cols = k;
        covariance->values.assign(static_cast<size_t>(k) * static_cast<size_t>(k), 0.0);
        for (size_t j = 0; j < use.size(); ++j)
            for (size_t i = 0; i < use.size(); ++i)
                covariance->values[static_cast<size_t>(use[j] - 1) * static_cast<size_t>(k) +
                                   static_cast<size_t>(use[i] - 1)] = inverse[j * use.size() + i];
    }
    return true;
}

// Why a design column is left out before any fit, by the arithmetic of its Fourier index.
struct Alias {
    bool zero = false;     // zero at every t
    int32_t repeats = 0;   // the earlier column (from 1) it equals; 0 for none
    bool negated = false;  // it equals minus that column
    bool leftOut() const { return zero || repeats > 0; }
};

// One entry per design column of the stored choice over n observations. With m = f mod n for the
// harmonic of index f: its sine is zero at every t when 2m = 0 (mod n); its cosine is the
// constant when m = 0, a repeat beside an intercept; a harmonic whose m equals that of an earlier
// one, or n minus it, repeats the first such one (its sine with the sign changed when m differs).
// Decided on the integers, before the rounded 2 pi makes equal columns differ by 1e-11.
std::vector<Alias> HarmonicAliases(const UnivariateFields& u, int32_t n)
{
    std::vector<Alias> alias(static_cast<size_t>(std::max(RegressionTermCount(u), 0)));
    const int32_t harmonics = std::clamp(u.harmonicCount, 0, 4);
    const int32_t powers = static_cast<int32_t>(alias.size()) - 2 * u.harmonicCount;
    if (n <= 0 || powers < 0) return alias;
    int64_t m[5] = {};
    for (int32_t h = 1; h <= harmonics; ++h) {
        m[h] = (static_cast<int64_t>(u.fourierIndex[h]) % n + n) % n;
        const int32_t cosine = powers + 2 * h - 1, sine = cosine + 1;
        int32_t g = 1;
        while (g < h && m[g] != m[h] && m[g] != (n - m[h]) % n) ++g;
        Alias& c = alias[static_cast<size_t>(cosine - 1)];
        Alias& s = alias[static_cast<size_t>(sine - 1)];
        if (m[h] == 0 && u.intercept == 1) c.repeats = 1;
        else if (g < h) c.repeats = powers + 2 * g - 1;
        if (2 * m[h] % n == 0) {
            s.zero = true;
        } else if (g < h) {
            s.repeats = powers + 2 * g;
            s.negated = m[g] != m[h];
        }
    }
    return alias;
}

// The design columns (from 1) index arithmetic keeps.
std::vector<int32_t> ColumnsToFit(const std::vector<Alias>& alias)
{
    std::vector<int32_t> use;
    for (size_t j = 0; j < alias.size(); ++j)
        if (!alias[j].leftOut()) use.push_back(static_cast<int32_t>(j + 1));
    return use;
}

// The columns left out: those of index arithmetic and those of the rank rule, increasing.
std::vector<int32_t> LeftOutColumns(const std::vector<Alias>& alias, std::vector<int32_t> dropped)
{
    for (size_t j = 0; j < alias.size(); ++j)
        if (alias[j].leftOut()) dropped.push_back(static_cast<int32_t>(j + 1));
    std::sort(dropped.begin(), dropped.end());
    return dropped;
}

// The model residuals of `values` through a scratch copy of the model; false when the model
// gives none.
bool Whiten(UnivariateFields& scratch, const double* values, int32_t n, std::vector<double>& out)
{
    scratch.series.assign(values, values + n);
    scratch.n = n;
    if (ComputeResiduals(scratch) != 1 || scratch.residuals.size() != static_cast<size_t>(n)) return false;
    out = std::move(scratch.residuals);
    scratch.residuals.clear();
    return true;
}

}  // namespace

std::vector<double> TrendFreeData(const UnivariateFields& u)
{
    std::vector<double> y(u.series.begin(), u.series.begin() + u.n);
    if (u.trendValues.size() == y.size())
        for (size_t t = 0; t < y.size(); ++t) y[t] += u.trendValues[t];
    return y;
}

int32_t RegressionTermCount(const UnivariateFields& u)
{
    return u.polynomialDegree + 2 * u.harmonicCount + (u.intercept ? 1 : 0);
}

ColumnMatrix BuildRegressionDesign(const UnivariateFields& u, int32_t rows)
{
    ColumnMatrix x;
    const int32_t terms = RegressionTermCount(u);
    if (terms <= 0 || rows <= 0) return x;
    x.rows = rows;
    x.cols = terms;
    x.values.assign(static_cast<size_t>(rows) * static_cast<size_t>(terms), 0.0);
    const double pi = 3.14159265359;
    const int32_t p0 = u.intercept ? 0 : 1;
    for (int32_t t = 1; t <= rows; ++t) {
        int32_t column = 0;
        auto cell = [&](int32_t j) -> double& {
            return x.values[static_cast<size_t>(j - 1) * static_cast<size_t>(rows) + static_cast<size_t>(t - 1)];
        };
        for (int32_t power = p0; power <= u.polynomialDegree; ++power)
            cell(++column) = std::pow(static_cast<double>(t), static_cast<double>(power));
        for (int32_t h = 1; h <= u.harmonicCount; ++h) {
            const double a = ((static_cast<double>(u.fourierIndex[h]) / rows) * pi) * t * 2.0;
            cell(++column) = std::cos(a);
            cell(++column) = std::sin(a);
        }
    }
    return x;
}

int32_t SpecifyRegressionDesign(UnivariateFields& u)
{
    const int32_t terms = RegressionTermCount(u);
    u.auxPresent = 0;
    u.termCount = terms;
    if (terms <= 0) return 0;
    u.regressionDesign = BuildRegressionDesign(u, u.n);
    u.regressionSpecified = 1;
    u.regressionPresent = 0;
    return 1;
}

int32_t FitLeastSquaresTrend(UnivariateFields& u)
{
    std::vector<int32_t> leftOut;
    return FitLeastSquaresTrend(u, leftOut);
}

int32_t FitLeastSquaresTrend(UnivariateFields& u, std::vector<int32_t>& leftOut)
{
    leftOut.clear();
    if (!Fittable(u)) return REGRESSION_NOT_SPECIFIED;
    TrendFit fit;
    fit.design = CurrentDesign(u);
    const std::vector<double> y = TrendFreeData(u);
    const std::vector<Alias> alias = HarmonicAliases(u, u.n);
    const std::vector<int32_t> use = ColumnsToFit(alias);
    std::vector<double> residual;
    std::vector<int32_t> dropped;
    if (!SolveLeastSquares(Columns(fit.design, use), y, use, u.termCount, fit.coefficients, residual, dropped,
                           nullptr))
        return REGRESSION_ABANDONED;
    fit.trend.resize(y.size());
    for (size_t t = 0; t < y.size(); ++t) fit.trend[t] = y[t] - residual[t];
    fit.series = std::move(residual);
    if (!AllFinite(fit.coefficients) || !AllFinite(fit.trend) || !AllFinite(fit.series)) return REGRESSION_NOT_FINITE;
    Commit(u, fit, 1);
    leftOut = LeftOutColumns(alias, std::move(dropped));
    return REGRESSION_DONE;
}

int32_t FitGlsTrend(UnivariateFields& u)
{
    std::vector<int32_t> leftOut;
    return FitGlsTrend(u, leftOut);
}

int32_t FitGlsTrend(UnivariateFields& u, std::vector<int32_t>& leftOut)
{
    leftOut.clear();
    if (!Fittable(u)) return REGRESSION_NOT_SPECIFIED;
    TrendFit fit;
    fit.design = CurrentDesign(u);
    const int32_t n = u.n, k = u.termCount;
    const std::vector<double> y = TrendFreeData(u);
    const std::vector<Alias> alias = HarmonicAliases(u, n);
    const std::vector<int32_t> use = ColumnsToFit(alias);

    if (!u.fracIntegrated && n < EvaluationMinimumLength(u.p, u.q)) return REGRESSION_SHORT_SERIES;
    UnivariateFields scratch = u;
    std::vector<double> v;
    if (!Whiten(scratch, y.data(), n, v)) return REGRESSION_NOT_WHITENED;
    ColumnMatrix z;
    z.rows = n;
    z.cols = static_cast<int32_t>(use.size());
    z.values.reserve(static_cast<size_t>(n) * use.size());
    for (int32_t j : use) {
        std::vector<double> column;
        if (!Whiten(scratch, fit.design.values.data() + static_cast<size_t>(j - 1) * static_cast<size_t>(n), n, column))
            return REGRESSION_NOT_WHITENED;
        z.values.insert(z.values.end(), column.begin(), column.end());
    }

    // The covariance wnVariance inverse(Z'Z) over the columns kept comes from the solve's
    // triangular factor; a coefficient left out is fixed at 0, so its row and column are 0.
    std::vector<double> residual;
    std::vector<int32_t> dropped;
    if (!SolveLeastSquares(z, v, use, k, fit.coefficients, residual, dropped, &fit.covariance))
        return REGRESSION_ABANDONED;
    for (double& c : fit.covariance.values) c *= u.wnVariance;

    // The trend from the unwhitened design.
    fit.trend.assign(static_cast<size_t>(n), 0.0);
    const int one = 1;
    const double unit = 1.0, zero = 0.0;
    dgemv_("N", &n, &k, &unit, fit.design.values.data(), &n, fit.coefficients.data(), &one, &zero,
           fit.trend.data(), &one, 1);
    fit.series.resize(static_cast<size_t>(n));
    for (int32_t t = 0; t < n; ++t) fit.series[static_cast<size_t>(t)] = y[static_cast<size_t>(t)] - fit.trend[static_cast<size_t>(t)];
    if (!AllFinite(fit.coefficients) || !AllFinite(fit.trend) || !AllFinite(fit.series) ||
        !AllFinite(fit.covariance.values))
        return REGRESSION_NOT_FINITE;
    Commit(u, fit, 2);
    leftOut = LeftOutColumns(alias, std::move(dropped));
    return REGRESSION_DONE;
}

std::string RegressionShortSeriesMessage(const UnivariateFields& u)
{
    return "The series has " + IntText(u.n) + " values: too few for the ARMA(" + IntText(u.p) + "," + IntText(u.q) +
           ") model, which needs at least " + IntText(EvaluationMinimumLength(u.p, u.q)) +
           ", so the regression cannot be fitted with it.";
}

std::string RegressionTermName(const UnivariateFields& u, int32_t column)
{
    const int32_t degree = std::clamp(u.polynomialDegree, 0, 10);
    const int32_t powers = u.intercept == 1 ? degree + 1 : degree;
    if (column <= powers) return "t^" + IntText(u.intercept == 1 ? column - 1 : column);
    const int32_t k = column - powers;  // 1 cos and 2 sin of harmonic 1, then harmonic 2, ..
    const int32_t h = std::clamp((k + 1) / 2, 1, 4);
    return std::string(k % 2 == 1 ? "Cos" : "Sin") + "(2*pi*t" + IntText(u.fourierIndex[h]) + "/N)";
}

std::string LeftOutTermsMessage(const UnivariateFields& u, const std::vector<int32_t>& leftOut)
{
    if (leftOut.empty()) return std::string();
    const auto name = [&u](int32_t column) {
        return RegressionTermName(u, column) + (u.intercept == 1 && column == 1 ? " (the constant)" : "");
    };
    const std::vector<Alias> alias = HarmonicAliases(u, u.n);
    std::string text = leftOut.size() == 1 ? "The trend was fitted without this term, whose coefficient is set to 0:"
                                           : "The trend was fitted without these terms, whose coefficients are set to 0:";
    for (int32_t j : leftOut) {
        const Alias a = j >= 1 && static_cast<size_t>(j) <= alias.size() ? alias[static_cast<size_t>(j - 1)] : Alias();
        text += "\n" + name(j);
        if (a.zero) text += " is zero at every t.";
        else if (a.repeats > 0)
            text += " repeats the earlier term " + name(a.repeats) + (a.negated ? " with the sign changed." : ".");
        else text += " is a combination of the terms before it, to within 1e-7 of its size.";
    }
    return text;
}

void RemoveRegressionTrend(UnivariateFields& u)
{
    if (!u.trendValues.empty()) {
        u.series = TrendFreeData(u);
        u.trendValues.clear();
    }
    u.regressionDesign.clear();
    u.trendCoefficients.clear();
    u.coefficientCovariance.clear();
    u.regressionPresent = u.regressionSpecified = 0;
    u.polynomialDegree = u.auxPresent = u.harmonicCount = 0;
    for (int32_t& f : u.fourierIndex) f = 0;
}

int32_t ModelCriteria(UnivariateFields& u)
{
    const double k = u.numFree, n = u.n, sigma2 = u.wnVariance;
    // Written so that a NaN fails every guard.
    const bool varianceUsable = sigma2 > 0.0 && std::isfinite(sigma2);
    const bool countsUsable = k < n;
    if (u.q == 0 && u.p > 0) {
        u.fpe = varianceUsable && countsUsable ? sigma2 * (n + k) / (n - k) : 0.0;
        if (!std::isfinite(u.fpe)) u.fpe = 0.0;
    }
    u.bic = 0.0;
    if (!(k > 0.0) || !countsUsable || !varianceUsable || u.series.size() < static_cast<size_t>(u.n)) return 1;
    double sum = 0.0;
    for (int32_t t = 0; t < u.n; ++t) sum += u.series[static_cast<size_t>(t)] * u.series[static_cast<size_t>(t)];
    const double s = sum / n;
    if (!(sigma2 < s)) return 1;
    const double a = n * (std::log(sigma2) + std::log(6.28318) + 1.0);
    const double b = a - (n - k) * std::log(1.0 - k / n);
    const double c = k * (std::log(n) + std::log((s / sigma2 - 1.0) / k));
    const double bic = b + c;
    u.bic = std::isfinite(bic) ? bic : 0.0;
    return 1;
}
