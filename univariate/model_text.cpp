#include "univariate/model_text.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "numerics/arma_acvf.h"
#include "numerics/long_memory.h"
#include "numerics/status.h"
#include "univariate/regression.h"
#include "univariate/report_cells.h"

namespace {

std::string TrimRight(const std::string& text)
{
    const size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// Builds the terms of one sum, at most four to a line; a continuation line starts with its
// indentation and the term's sign.
class TermLine {
public:
    TermLine(ReportWriter& out, std::string start, std::string indent, int32_t terms = 0)
        : out_(out), buffer_(std::move(start)), indent_(std::move(indent)), terms_(terms)
    {
    }
    void Add(const std::string& sign, const std::string& term)
    {
        if (terms_ == 4) {
            out_.Line(buffer_);
            buffer_ = indent_ + sign + term;
            terms_ = 1;
            return;
        }
        buffer_ = TrimRight(buffer_) + sign + term;
        ++terms_;
    }
    void Flush() { out_.Line(buffer_); }

private:
    ReportWriter& out_;
    std::string buffer_;
    std::string indent_;
    int32_t terms_;
};

// Coefficient j (1-based) of the trend, 0 when the vector does not hold it.
double TrendCoefficient(const UnivariateFields& u, int32_t j)
{
    return j >= 1 && static_cast<size_t>(j) <= u.trendCoefficients.size() ? u.trendCoefficients[j - 1] : 0.0;
}

// The weights are relative to the first, which is one.
constexpr NumberScale kWeightScale = NumberScale::Fixed;

std::string Magnitude(double x, int32_t digits) { return SignificantText(std::fabs(x), digits); }

void AppendTrend(ReportWriter& out, const UnivariateFields& u)
{
    out.Line(" Y(t) = M(t) + X(t)");
    out.Blank();
    out.Line("Trend Function: ");
    const int32_t degree = std::clamp(u.polynomialDegree, 0, 10);
    const int32_t terms = u.intercept == 1 ? degree + 1 : degree;
    TermLine poly(out, "M(t) = ", "      ");
    for (int32_t j = 1; j <= terms; ++j) {
        const double c = TrendCoefficient(u, j);
        const std::string sign = c < 0 ? " -" : (j == 1 ? "  " : " +");
        poly.Add(sign, " " + Magnitude(c, 8) + " " + RegressionTermName(u, j) + " ");
    }
    poly.Flush();
    const int32_t harmonics = std::clamp(u.harmonicCount, 0, 4);
    for (int32_t k = 1; k <= harmonics; ++k) {
        const double a = TrendCoefficient(u, terms + 2 * k - 1), b = TrendCoefficient(u, terms + 2 * k);
        const std::string cosine = RegressionTermName(u, terms + 2 * k - 1);
        const std::string sine = RegressionTermName(u, terms + 2 * k);
        std::string line = "    ";
        line += std::string(a < 0 ? " -" : " +") + " " + Magnitude(a, 8) + " " + cosine + " ";
        line = TrimRight(line) + (b < 0 ? " -" : " +") + " " + Magnitude(b, 8) + " " + sine + " ";
        out.Line(line);
    }
    // Without auxiliary variables the line stays empty, and is still written as a line.
    std::string aux;
    if (u.auxPresent == 1) {
        const double c = TrendCoefficient(u, terms + 2 * harmonics + 1);
        aux = std::string("    ") + (c < 0 ? " -" : " +") + " " + Magnitude(c, 8) + " x(" + IntText(1) + ") ";
    }
    out.Line(aux);
}

}  // namespace

void AppendModelText(ReportWriter& out, const UnivariateFields& u)
{
    if (u.regressionPresent > 0) AppendTrend(out, u);
    out.Blank();
    out.Line("ARMA Model: ");
    const int32_t p = std::clamp(u.p, 0, kMaxArmaOrder), q = std::clamp(u.q, 0, kMaxArmaOrder);
    std::string start = "X(t) = ";
    if (u.fracIntegrated) {
        out.Line("(1-B)^" + SignificantText(u.d, 4) + " " + "X(t)");
        start = "     = ";
    }
    TermLine line(out, start, "      ");
    for (int32_t j = 1; j <= p; ++j) {
        const std::string sign = u.phi[j] < 0 ? " -" : (j == 1 ? "  " : " +");
        line.Add(sign, " " + Magnitude(u.phi[j], 4) + " X(t-" + IntText(j) + ") ");
    }
    TermLine noise = p == 0 ? TermLine(out, TrimRight(start) + " Z(t)", "    ", 1)
                            : TermLine(out, "     + Z(t)", "    ", 1);
    if (p > 0) line.Flush();
    for (int32_t k = 1; k <= q; ++k)
        noise.Add(u.theta[k] < 0 ? " -" : " +", " " + Magnitude(u.theta[k], 4) + " Z(t-" + IntText(k) + ") ");
    noise.Flush();
}

InfinityWeights ArmaInfinityTable(const UnivariateFields& u)
{
    InfinityWeights w;
    const int32_t p = u.p, q = u.q;
    if (p < 0 || q < 0 || p > kMaxArmaOrder || q > kMaxArmaOrder) return w;
    if (u.fracIntegrated) {
        (void)ArmaInfinityWeights(27, &u.phi[1], &u.theta[1], w.ma, p, q, u.d, kInfinityLags, 2, kMaInfinity);
        (void)ArmaInfinityWeights(27, &u.phi[1], &u.theta[1], w.ar, p, q, u.d, kInfinityLags, 2, kArInfinity);
        return w;
    }
    double coef[2 * kMaxArmaOrder + 1] = {};
    for (int32_t j = 1; j <= p; ++j) coef[j - 1] = u.phi[j];
    for (int32_t k = 1; k <= q; ++k) coef[p + k - 1] = u.theta[k];
    double acvf[kMaxArmaOrder + 3] = {};
    int status = kStatusDone;
    ArmaAcvf(2, kArmaAcvfTestInvertible, acvf, status, 1.0, coef, p, q);
    w.invertible = status != kStatusNotCausal;
    (void)PsiWeights(p, q, coef, kInfinityLags - 1, w.ma);
    if (!w.invertible) return w;
    for (int32_t k = 1; k <= q; ++k) coef[k - 1] = -u.theta[k];
    for (int32_t j = 1; j <= p; ++j) coef[q + j - 1] = -u.phi[j];
    (void)PsiWeights(q, p, coef, kInfinityLags - 1, w.ar);
    return w;
}

InfoCalls ArmaInfinityReport(const UnivariateFields& u)
{
    ReportWriter out;
    out.Begin(26, "KELO::Vesk(AR/MA Infinity)");
    out.Blank();
    out.Line("ARMA Model: ");
    AppendModelText(out, u);
    out.Blank();
    out.Line("AR/MA Infinity: ");
    const InfinityWeights w = ArmaInfinityTable(u);
    out.Line(w.invertible ? "                   MA-Infinity    AR-Infinity"
                          : "                   MA-Infinity Non-Invertible");
    for (int32_t j = 0; j < kInfinityLags; ++j)
        out.Line(IntCell(j) + FixedCell(w.ma[j], 5, kWeightScale) +
                 (w.invertible ? FixedCell(w.ar[j], 5, kWeightScale) : "       *       "));
    out.Blank();
    return out.Take();
}
