#include "univariate/regression.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "numlib/error_stack.h"
#include "numlib/least_squares.h"
#include "numlib/pd_inverse.h"
#include "platform/blas.h"
#include "shell/number_format.h"
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

// The data with no trend subtracted.
std::vector<double> TrendFreeData(const UnivariateFields& u)
{
    std::vector<double> y(u.series.begin(), u.series.begin() + u.n);
    if (u.trendValues.size() == y.size())
        for (size_t t = 0; t < y.size(); ++t) y[t] += u.trendValues[t];
    return y;
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

// DLSQRR with tolerance 0 on an n by k matrix, and the columns it left out in increasing order;
// false when the library abandoned the call.
bool SolveLeastSquares(const ColumnMatrix& a, const std::vector<double>& b, std::vector<double>& x,
                       std::vector<double>& residual, std::vector<int32_t>& leftOut)
{
    x.assign(static_cast<size_t>(a.cols), 0.0);
    residual = b;
    int basis = 0;
    std::vector<int> order(static_cast<size_t>(a.cols), 0);
    DLSQRR(a.rows, a.cols, a.values.data(), a.rows, b.data(), 0.0, x.data(), residual.data(), basis, order.data());
    if (LibraryCallAbandoned()) return false;
    leftOut.assign(order.begin() + std::clamp(basis, 0, a.cols), order.end());
    std::sort(leftOut.begin(), leftOut.end());
    return true;
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
    std::vector<double> residual;
    std::vector<int32_t> dropped;
    if (!SolveLeastSquares(fit.design, y, fit.coefficients, residual, dropped)) return REGRESSION_ABANDONED;
    fit.trend.resize(y.size());
    for (size_t t = 0; t < y.size(); ++t) fit.trend[t] = y[t] - residual[t];
    fit.series = std::move(residual);
    if (!AllFinite(fit.coefficients) || !AllFinite(fit.trend) || !AllFinite(fit.series)) return REGRESSION_NOT_FINITE;
    Commit(u, fit, 1);
    leftOut = std::move(dropped);
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

    UnivariateFields scratch = u;
    std::vector<double> v;
    if (!Whiten(scratch, y.data(), n, v)) return REGRESSION_NOT_WHITENED;
    ColumnMatrix z;
    z.rows = n;
    z.cols = k;
    z.values.resize(fit.design.values.size());
    for (int32_t j = 0; j < k; ++j) {
        std::vector<double> column;
        const size_t offset = static_cast<size_t>(j) * static_cast<size_t>(n);
        if (!Whiten(scratch, fit.design.values.data() + offset, n, column)) return REGRESSION_NOT_WHITENED;
        std::copy(column.begin(), column.end(), z.values.begin() + static_cast<std::ptrdiff_t>(offset));
    }

    std::vector<double> residual;
    std::vector<int32_t> dropped;
    if (!SolveLeastSquares(z, v, fit.coefficients, residual, dropped)) return REGRESSION_ABANDONED;

    // The trend from the unwhitened design.
    fit.trend.assign(static_cast<size_t>(n), 0.0);
    const int one = 1;
    const double unit = 1.0, zero = 0.0;
    dgemv_("N", &n, &k, &unit, fit.design.values.data(), &n, fit.coefficients.data(), &one, &zero,
           fit.trend.data(), &one, 1);
    fit.series.resize(static_cast<size_t>(n));
    for (int32_t t = 0; t < n; ++t) fit.series[static_cast<size_t>(t)] = y[static_cast<size_t>(t)] - fit.trend[static_cast<size_t>(t)];

    // inverse(Z'Z) wnVariance over the columns the solution kept; Z'Z of all of them is singular
    // when one was left out. A left-out coefficient is fixed at 0, so its row and column of the
    // covariance are 0.
    std::vector<int32_t> kept;
    for (int32_t j = 1; j <= k; ++j)
        if (!std::binary_search(dropped.begin(), dropped.end(), j)) kept.push_back(j - 1);
    const int r = static_cast<int>(kept.size());
    std::vector<double> b(static_cast<size_t>(r) * static_cast<size_t>(r));
    for (int i = 0; i < r; ++i)
        for (int m = i; m < r; ++m) {
            const double s = ddot_(&n, z.values.data() + static_cast<size_t>(kept[i]) * n, &one,
                                   z.values.data() + static_cast<size_t>(kept[m]) * n, &one);
            b[static_cast<size_t>(m) * r + i] = b[static_cast<size_t>(i) * r + m] = s;
        }
    if (r > 0) {
        DLINDS(r, b.data(), r, b.data(), r);
        if (LibraryCallAbandoned()) return REGRESSION_ABANDONED;
    }
    fit.covariance.rows = fit.covariance.cols = k;
    fit.covariance.values.assign(static_cast<size_t>(k) * static_cast<size_t>(k), 0.0);
    for (int i = 0; i < r; ++i)
        for (int m = 0; m < r; ++m)
            fit.covariance.values[static_cast<size_t>(kept[m]) * k + kept[i]] =
                b[static_cast<size_t>(m) * r + i] * u.wnVariance;
    if (!AllFinite(fit.coefficients) || !AllFinite(fit.trend) || !AllFinite(fit.series) ||
        !AllFinite(fit.covariance.values))
        return REGRESSION_NOT_FINITE;
    Commit(u, fit, 2);
    leftOut = std::move(dropped);
    return REGRESSION_DONE;
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
    std::string names;
    for (size_t i = 0; i < leftOut.size(); ++i) {
        if (i > 0) names += i + 1 == leftOut.size() ? " and " : ", ";
        names += RegressionTermName(u, leftOut[i]);
        if (u.intercept == 1 && leftOut[i] == 1) names += " (the constant)";
    }
    const bool one = leftOut.size() == 1;
    return "The trend was fitted without " + names + ": " + (one ? "this term depends" : "these terms depend") +
           " on the others to within rounding, so " + (one ? "its coefficient is" : "their coefficients are") +
           " set to 0.";
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
