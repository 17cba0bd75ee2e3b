#include "univariate/estimation_reports.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "shell/number_format.h"
#include "univariate/model_text.h"
#include "univariate/regression.h"
#include "univariate/report_cells.h"

namespace {

int32_t FitCriteria(UnivariateProject& project) { return ModelCriteria(project); }

}  // namespace

int32_t (*ModelCriteriaRoutine)(UnivariateProject& project) = FitCriteria;

namespace {

// A titled vector: elements first..last (1-based) of a fixed array, four to a line.
void Vector(ReportWriter& out, const char* title, const double* values, int32_t first, int32_t last)
{
    out.Line(title);
    const std::vector<double> slice(values + first, values + last + 1);
    out.Array(slice, static_cast<int32_t>(slice.size()), 4, 6);
}

// "X(t) = c1 * t + c0" and the quadratic form; each sign piece follows the text built so far
// without its trailing blanks.
std::string PolynomialLine(const TransformNode& node)
{
    const double c0 = node.polyCoef[0], c1 = node.polyCoef[1], c2 = node.polyCoef[2];
    const auto signed_ = [](double c) {
        return c <= 0 ? " - " + SignificantText(std::fabs(c), 5) : " + " + SignificantText(c, 5);
    };
    if (node.degree == 0) return "No regression";
    if (node.degree == 1) return "X(t) = " + SignificantText(c1, 5) + " * t" + signed_(c0);
    if (node.degree == 2)
        return "X(t) = " + SignificantText(c2, 5) + " * (t^2)" + signed_(c1) + " * t" + signed_(c0);
    return "";
}

void CorrectedAiccLine(ReportWriter& out, const UnivariateFields& u)
{
    double value = 0.0;
    // A left-justified 15-character field; the text takes at most 14, so a blank parts it from the
    // label after it. Asterisks stand for a value the fit cannot give.
    std::string field(15, '*');
    if (CorrectedAicc(u, value)) {
        field = FittedFixed(value, 6, 14);
        field.resize(15, ' ');
    }
    out.Line("AICC = " + field + "(Corrected for regression)");
}

void WnVarianceLines(ReportWriter& out, const UnivariateFields& u)
{
    out.Line("WN Variance = " + FittedText(u.wnVariance, 6));
    out.Blank();
}

}  // namespace

bool CorrectedAicc(const UnivariateFields& u, double& value)
{
    const double k = static_cast<double>(u.termCount) + u.p + u.q, n = u.n;
    const double denominator = n - k - 2.0;
    if (!(denominator > 0.0)) return false;
    value = u.minus2LogLikelihood + 2.0 * (k + 1.0) * n / denominator;
    return true;
}

InfoCalls FitReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(15, "KELO::Vesk(Fit)");
    const TransformNode* node = u.transforms;
    while (node && node->kind != TRANSFORM_HARMONIC && node->kind != TRANSFORM_CLASSICAL) node = node->next;
    if (!node) {
        out.Blank();
        return out.Take();
    }
    out.Blank();
    out.Blank();
    out.Line("Polynomial Fit:");
    const std::string polynomial = PolynomialLine(*node);
    if (!polynomial.empty()) out.Line(polynomial);
    out.Blank();
    if (node->kind == TRANSFORM_CLASSICAL && !node->seasonal.empty()) {
        out.Line("Seasonal fit of period = " + IntText(node->period));
        out.Line("Seasonal components: ");
        const int32_t count = std::min(node->period, static_cast<int32_t>(node->seasonal.size()));
        for (int32_t k = 1; k <= count; ++k)
            out.Line(IntCell(k) + ")  " + SignificantText(node->seasonal[k - 1], 5));
        out.Blank();
    }
    if (node->kind == TRANSFORM_HARMONIC) {
        out.Blank();
        out.Line("Harmonic regression with " + IntText(node->harmonics) + " Fourier frequencies.");
        out.Line("      frequency          alpha           beta");
        out.Line(IntCell(0) + SignificantCell(node->level, 5) + SignificantCell(0.0, 5));
        const int32_t harmonics = std::clamp(node->harmonics, 0, 4);
        for (int32_t k = 0; k < harmonics; ++k)
            out.Line(IntCell(node->fourierIndex[k]) + SignificantCell(node->cosCoef[k], 5) +
                     SignificantCell(node->sinCoef[k], 5));
    }
    out.Blank();
    return out.Take();
}

InfoCalls RegressionReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(40, "KELO::Vesk(Regression estimates)");
    out.Blank();
    out.Line(u.regressionPresent == 1 ? "Method: Least Squares" : "Method: Generalized Least Squares");
    out.Blank();
    AppendModelText(out, u);
    out.Blank();
    out.Line("WN Variance = " + FittedText(u.wnVariance, 6));
    out.Blank();
    out.Blank();
    const bool gls = u.regressionPresent == 2;
    out.Line(gls ? "           Coeff     Value          Std Error " : "           Coeff     Value      ");
    const int32_t terms = std::min(u.termCount, static_cast<int32_t>(u.trendCoefficients.size()));
    const ColumnMatrix& c = u.coefficientCovariance;
    for (int32_t j = 1; j <= terms; ++j) {
        std::string row = IntCell(u.intercept ? j - 1 : j) + FixedCell(u.trendCoefficients[j - 1], 8);
        if (gls) {
            const size_t at = static_cast<size_t>(j - 1) * static_cast<size_t>(std::max(c.rows, 0)) + (j - 1);
            const bool held = j <= c.rows && j <= c.cols && at < c.values.size();
            const double variance = held ? c.values[at] : std::nan("");
            row += FixedCell(std::sqrt(variance), 8);
        }
        out.Line(row);
    }
    out.Blank();
    return out.Take();
}

InfoCalls PreliminaryReport(const UnivariateFields& u)
{
    static const char* const kMethods[] = {"Method: Yule-Walker (Minimum AICC)", "Method: Burg (Minimum AICC)",
                                           "Method: Yule-Walker", "Method: Burg", "Method: Innovations",
                                           "Method: Hannan-Rissanen"};
    ReportWriter out;
    out.Begin(33, "KELO::Vesk(Preliminary estimates)");
    out.Blank();
    const int32_t method = u.prelimMethod;
    if (method >= 1 && method <= 6) out.Line(kMethods[method - 1]);
    if (method == 5) out.Line("(Number of ACVF's used is " + IntText(u.prelimAcvfCount) + ".)");
    out.Blank();
    AppendModelText(out, u);
    out.Blank();
    WnVarianceLines(out, u);
    const int32_t p = std::clamp(u.p, 0, 26), q = std::clamp(u.q, 0, 26);
    if (p > 0) {
        Vector(out, "AR Coefficients", u.phi, 1, p);
    }
    out.Blank();
    if (q > 0) {
        Vector(out, "MA Coefficients", u.theta, 1, q);
    }
    out.Blank();
    if (!(method == 5 && p > 0 && q != p)) {
        if (p > 0) {
            Vector(out, "Ratio of AR coeff. to 1.96 * (standard error)", u.standardErrors, 1, p);
            out.Blank();
        }
        if (q > 0) {
            Vector(out, "Ratio of MA coeff. to 1.96 * (standard error)", u.standardErrors, p + 1, p + q);
            out.Blank();
        }
    }
    out.Line("(Residual SS)/N = " + SignificantText(u.wnVariance, 6));
    out.Blank();
    const char* label = nullptr;
    if (q == 0 && (method == 1 || method == 3)) label = "WN variance estimate (Yule Walker): ";
    if (q == 0 && (method == 2 || method == 4)) label = "WN variance estimate (Burg): ";
    if (q > 0 && p == 0 && method == 5) label = "WN variance estimate (Innovations): ";
    if (q > 0 && p == 0 && method == 6) label = "WN variance estimate (Hannan-Rissanen): ";
    if (label) {
        out.Line(label + SignificantText(u.prelimWnVariance, 6));
        out.Blank();
    }
    out.Line("-2Log(Like) = " + FittedText(u.minus2LogLikelihood, 6));
    out.Line("AICC = " + FittedText(u.aicc, 6));
    if (u.regressionPresent > 0) CorrectedAiccLine(out, u);
    out.Blank();
    return out.Take();
}

InfoCalls MaxLikelihoodReport(UnivariateProject& u)
{
    ReportWriter out;
    out.Begin(40, "KELO::Vesk(Maximum likelihood estimates)");
    out.Blank();
    out.Line(u.mleMethod == 0 ? "Method: Least Squares" : "Method: Maximum Likelihood");
    out.Blank();
    AppendModelText(out, u);
    out.Blank();
    WnVarianceLines(out, u);
    const int32_t p = std::clamp(u.p, 0, 26), q = std::clamp(u.q, 0, 26);
    const bool optimised = u.noOptimisation == 0;
    const bool errorsShown = optimised && u.standardErrors[1] >= -0.5;
    if (p > 0) {
        Vector(out, "AR Coefficients", u.phi, 1, p);
        out.Blank();
        if (errorsShown) {
            Vector(out, "Standard Error of AR Coefficients", u.standardErrors, 1, p);
            out.Blank();
        }
    }
    if (q > 0) {
        Vector(out, "MA Coefficients", u.theta, 1, q);
        out.Blank();
        if (errorsShown) {
            Vector(out, "Standard Error of MA Coefficients", u.standardErrors, p + 1, p + q);
            out.Blank();
        }
    }
    if (optimised && u.standardErrors[1] <= -0.5) {
        out.Line("Numerical difficulties computing standard errors");
        out.Blank();
    }
    out.Line("(Residual SS)/N = " + SignificantText(u.residualSsPerN, 6));
    out.Blank();
    const bool fractional = u.fracIntegrated != 0;
    if (!(fractional && u.noOptimisation == 1)) {
        out.Line((fractional ? "AIC  = " : "AICC = ") + FittedText(u.aicc, 6));
        if (u.regressionPresent > 0) CorrectedAiccLine(out, u);
        if (optimised && !fractional) {
            if (ModelCriteriaRoutine) ModelCriteriaRoutine(u);
            out.Line("BIC  = " + FittedText(u.bic, 6));
            if (q == 0 && p > 0) out.Line("FPE  = " + FittedText(u.fpe, 6));
        }
    }
    out.Blank();
    out.Line((fractional ? "-2Log(Likelihood) (Whittle) = " : "-2Log(Likelihood) = ") +
             FittedText(u.minus2LogLikelihood, 6));
    out.Blank();
    if (optimised && !fractional) {
        static const char* const kStops[] = {"Optimization stopped with gradient near zero.",
                                             "Optimization stopped within accuracy level.", "Uncertain minimum.",
                                             "Iteration limit exceeded."};
        out.Line("Accuracy parameter = " + SignificantText(u.accuracy, 6));
        out.Blank();
        out.Line("Number of iterations = " + IntText(u.iterationsDone));
        out.Blank();
        out.Line("Number of function evaluations = " + IntText(u.evaluationCount));
        out.Blank();
        if (u.stopReason >= 1 && u.stopReason <= 4) out.Line(kStops[u.stopReason - 1]);
    }
    return out.Take();
}
