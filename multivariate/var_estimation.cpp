#include "multivariate/var_estimation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>
#include <stdexcept>

#include "multivariate/burg_fit.h"
#include "multivariate/whittle_fit.h"
#include "numerics/series_scaling.h"
#include "numerics/status.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"
#include "shell/report_text.h"

const char* const kMvEstimationCaption = "ERROR";

namespace {

constexpr const char* kTooLarge = " p is too large, try a smaller value.";
constexpr const char* kNegative = " p must be non-negative.";
constexpr const char* kRule = "========================================";

size_t PhiIndex(int32_t k, int32_t i, int32_t j, int32_t m)
{
    return static_cast<size_t>(k - 1) + static_cast<size_t>(kMaxVarOrder) * (static_cast<size_t>(i - 1) + static_cast<size_t>(m) * (j - 1));
}

// The first series whose values are all equal, or 0. Centring would leave such a series as
// rounding noise (0.1 repeated does not centre to exact zeros), which a fit would take for data.
int32_t ConstantSeries(const MultivariateData& data)
{
    for (int32_t j = 1; j <= data.m; ++j) {
        bool constant = true;
        for (int32_t t = 2; t <= data.n && constant; ++t) constant = data.at(j, t) == data.at(j, 1);
        if (constant) return j;
    }
    return 0;
}

bool AllFinite(const std::vector<double>& values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The fitted model, built apart from the project and installed only when complete.
struct FittedModel {
    std::vector<double> phi, constant, V, residuals, means;
    double aicc = 0.0;
    int32_t p = 0;
};

int32_t Fit(const MultivariateData& data, int32_t method, int32_t order, FittedModel& out)
{
    const int32_t n = data.n, m = data.m;
    const size_t mm = static_cast<size_t>(m) * m;
    std::vector<double> x(data.values);
    out.means.assign(static_cast<size_t>(m), 0.0);
    SubtractSeriesMeans(x.data(), n, m, out.means.data());
    // Near the end of the doubles the sums behind the means overflow (values of 4.25e307 need
    // only a few), or a centred value does: such a table lies beyond the range the fits handle.
    if (!AllFinite(out.means) || !AllFinite(x)) return kStatusOutOfRange;
    out.phi.assign(static_cast<size_t>(kMaxVarOrder) * mm, 0.0);
    out.V.assign(mm, 0.0);
    std::vector<double> work(data.values.size());
    int p = order;
    const int status = method == MV_FIT_BURG
                           ? BurgMvarFit(x.data(), n, m, out.phi.data(), out.V.data(), p, out.aicc, work.data())
                           : WhittleMvarFit(x.data(), n, m, out.phi.data(), out.V.data(), p, out.aicc, work.data());
    if (status != kStatusDone && status != kStatusLowerOrder) return status;
    out.p = p;
    out.constant = out.means;
    for (int32_t i = 1; i <= m; ++i)
        for (int32_t k = 1; k <= p; ++k)
            for (int32_t j = 1; j <= m; ++j) out.constant[i - 1] -= out.phi[PhiIndex(k, i, j, m)] * out.means[j - 1];
    // E(., t) = X(., t) - sum PHI(k) X(., t-k) on the centred table, for t = p+1..n.
    out.residuals.assign(static_cast<size_t>(n - p) * m, 0.0);
    for (int32_t t = p + 1; t <= n; ++t) {
        double* e = out.residuals.data() + static_cast<size_t>(t - p - 1) * m;
        for (int32_t i = 1; i <= m; ++i) {
            double sum = x[static_cast<size_t>(t - 1) * m + (i - 1)];
            for (int32_t k = 1; k <= p; ++k)
                for (int32_t j = 1; j <= m; ++j)
                    sum -= out.phi[PhiIndex(k, i, j, m)] * x[static_cast<size_t>(t - k - 1) * m + (j - 1)];
            e[i - 1] = sum;
        }
    }
    if (!AllFinite(out.constant) || !AllFinite(out.residuals)) return kStatusDegenerate;
    return status;
}

MvReportCall Line(const std::string& text)
{
    MvReportCall call;
    call.text = text;
    call.length = static_cast<int32_t>(text.size()) + 1;
    return call;
}

MvReportCall Block(std::vector<double> values, int32_t perLine)
{
    MvReportCall call;
    call.values = std::move(values);
    call.perLine = perLine;
    return call;
}

}  // namespace

int32_t MvOrderLimit(int32_t n, int32_t m)
{
    if (n < 1 || m < 1) return 0;
    const int64_t limit = (static_cast<int64_t>(m) * n - 2) / (static_cast<int64_t>(m) * m);
    return static_cast<int32_t>(std::min<int64_t>(limit, kMaxVarOrder + 1));
}

std::string MvOrderMessage(bool search, std::string_view text, int32_t n, int32_t m, int32_t& order)
{
    const int32_t L = MvOrderLimit(n, m);
    if (search) {
        if (L < 1) return kTooLarge;
        order = -1;
        return "";
    }
    double p = 0;
    const std::string refusal = ReadFieldEntry("p", text, EntryKind::Whole, p);
    if (!refusal.empty()) return " " + refusal;
    if (p < 0) return kNegative;
    if (p >= L) return kTooLarge;
    order = static_cast<int32_t>(p);
    return "";
}

int32_t MvFitModel(MultivariateProject& project, int32_t method, int32_t order, MvFitOutcome& outcome)
{
    outcome = MvFitOutcome{};
    outcome.orderAsked = order;
    outcome.status = kStatusBadArgument;
    if (!project.data || !project.model || !project.data->hasData()) return 0;
    const MultivariateData& data = *project.data;
    if (data.values.size() != static_cast<size_t>(data.n) * static_cast<size_t>(data.m)) return 0;
    outcome.constantSeries = ConstantSeries(data);
    if (outcome.constantSeries) return 0;
    FittedModel fitted;
    try {
        outcome.status = Fit(data, method, order, fitted);
    } catch (const std::bad_alloc&) {
        outcome.status = kStatusNoMemory;
    } catch (const std::length_error&) {
        outcome.status = kStatusNoMemory;
    }
    if (outcome.status != kStatusDone && outcome.status != kStatusLowerOrder) return 0;
    outcome.orderFitted = fitted.p;
    MultivariateModel& model = *project.model;
    model.phi.swap(fitted.phi);
    model.constant.swap(fitted.constant);
    model.noiseCovariance.swap(fitted.V);
    model.residuals.swap(fitted.residuals);
    model.aicc = fitted.aicc;
    model.p = fitted.p;
    model.fitted = 1;
    (method == MV_FIT_BURG ? model.minAiccBurg : model.minAiccYuleWalker) = order == -1 ? 1 : 0;
    project.data->means.swap(fitted.means);
    return 1;
}

std::string MvFitMessage(const MvFitOutcome& outcome)
{
    if (outcome.constantSeries)
        return "Series " + IntText(outcome.constantSeries) + " is constant: no AR model can be fitted.";
    switch (outcome.status) {
    case kStatusDone:
        return "";
    case kStatusLowerOrder:
        if (outcome.orderAsked < 0)
            return "Numerical difficulties ended the order search: the model fitted has order " +
                   IntText(outcome.orderFitted) + ".";
        return "Numerical difficulties: the model fitted has order " + IntText(outcome.orderFitted) +
               ", lower than the order " + IntText(outcome.orderAsked) + " asked.";
    case kStatusNoMemory:
        return "Not enough memory for the fit";
    case kStatusOutOfRange:
        return "The values are out of the range the fit handles: the noise covariance would leave the range of "
               "numbers.";
    default:
        return "Numerical difficulties";
    }
}

std::vector<MvReportCall> MvEstimatesReport(const MultivariateProject& project, int32_t method)
{
    const MultivariateModel& model = *project.model;
    const int32_t m = project.data->m;
    const bool burg = method == MV_FIT_BURG;
    std::vector<MvReportCall> calls;
    MvReportCall clear;
    calls.push_back(clear);
    calls.push_back(Line(kRule));
    calls.push_back(Line(burg ? "KELO::(Multivariate Burg Estimates)" : "KELO::(Multivariate Yule-Walker Estimates)"));
    calls.push_back(Line(kRule));
    calls.push_back(Line("  "));
    if (burg ? model.minAiccBurg : model.minAiccYuleWalker) calls.push_back(Line("Optimal value of p = " + IntText(model.p)));
    calls.push_back(Line("  "));
    calls.push_back(Line(" PHI(0)"));
    calls.push_back(Block(model.constant, 1));
    for (int32_t k = 1; k <= model.p; ++k) {
        calls.push_back(Line(" PHI(" + IntText(k) + ")"));
        std::vector<double> rows;
        for (int32_t i = 1; i <= m; ++i)
            for (int32_t j = 1; j <= m; ++j) rows.push_back(model.phi[PhiIndex(k, i, j, m)]);
        calls.push_back(Block(rows, m));
    }
    calls.push_back(Line("  "));
    calls.push_back(Line("  "));
    calls.push_back(Line(burg ? "Burg White Noise Covariance Matrix, V" : "Y-W White Noise Covariance Matrix, V"));
    // Line j holds column j of V: the column-major storage in order.
    calls.push_back(Block(model.noiseCovariance, m));
    calls.push_back(Line("  "));
    calls.push_back(Line("AICC = " + FittedText(model.aicc, 6)));
    return calls;
}

std::string MvReportText(const std::vector<MvReportCall>& calls)
{
    std::string text;
    for (const MvReportCall& call : calls) {
        if (call.perLine > 0) {
            text += InfoArrayText(call.values, static_cast<int32_t>(call.values.size()), call.perLine, 6);
        } else if (InfoPrintClears(call.text, call.length)) {
            text = std::string(InfoPrintText(call.text));
        } else {
            text += std::string(InfoPrintText(call.text)) + "\r\n";
        }
    }
    return text;
}

std::string MvReportTitle(int32_t method, const std::string& seriesTitle)
{
    const std::string prefix = method == MV_FIT_BURG ? "Multivariate Burg estimates: " : "Multivariate Yule-Walker estimates: ";
    return (prefix + seriesTitle).substr(0, 230);
}
