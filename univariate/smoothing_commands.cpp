#include "univariate/smoothing_commands.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "numerics/fft_smoother.h"
#include "numerics/smoothing.h"
#include "numerics/status.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"
#include "univariate/specify_model.h"

const char* const kSmoothingMemoryMessage = "Not enough memory for the smoothing";
const char* const kExpParameterMessage = "Exp. smooth parameter must be in [0.0, 1.0] or -1";
const char* const kFftParameterMessage = "FFT smooth parameter must be in [0.0, 1.0]";
const char* const kMaOrderMessage = "MA Order must be < 100";
const char* const kMaZeroSumMessage = "MA coefficients cannot sum to zero";
const char* const kMaNotFiniteMessage = "MA coefficients must have a finite sum";
const char* const kMaOverflowMessage = "MA coefficients too large: the smoothed series would overflow";

int32_t SmoothingView(SmoothingKind kind)
{
    switch (kind) {
    case SMOOTH_EXPONENTIAL: return VIEW_EXP_SMOOTH;
    case SMOOTH_FFT: return VIEW_FFT_SMOOTH;
    default: return VIEW_MA_SMOOTH;
    }
}

const char* SmoothingViewTitlePrefix(SmoothingKind kind)
{
    switch (kind) {
    case SMOOTH_EXPONENTIAL: return "Exponential Smoothing: ";
    case SMOOTH_FFT: return "FFT Smoothing: ";
    default: return "Moving Average Smoothing: ";
    }
}

int32_t SmoothingSliderPosition(double v)
{
    if (!std::isfinite(v)) return kSmoothSliderFirst;
    const double position = std::floor(10.0 * v + 0.5) + 1.0;
    return static_cast<int32_t>(std::clamp(position, double(kSmoothSliderFirst), double(kSmoothSliderLast)));
}

int32_t SmoothingSliderStart(SmoothingKind kind, double v)
{
    if (kind == SMOOTH_EXPONENTIAL && v <= -1.0) return kSmoothSliderFirst;
    return SmoothingSliderPosition(v);
}

double SmoothingSliderValue(int32_t position) { return (position - 1) * 0.1; }

std::string SmoothingParameterText(double v) { return FittedFixed(v, 2, 15, NumberScale::Fixed); }

SmoothingEntry ReadSmoothingEntry(SmoothingKind kind, std::string_view text, double& v, std::string& message)
{
    message.clear();
    double read = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Real, read);
    if (fault == EntryFault::Blank) return SMOOTHING_ENTRY_IGNORED;
    if (fault != EntryFault::None) {
        message = EntryRefusal(kind == SMOOTH_EXPONENTIAL ? "Exp. smooth parameter" : "FFT smooth parameter", text, fault);
        return SMOOTHING_ENTRY_REFUSED;
    }
    const bool search = kind == SMOOTH_EXPONENTIAL && read == kExpSmoothSearch;
    if (!search && (read < 0.0 || read > 1.0)) {
        message = kind == SMOOTH_EXPONENTIAL ? kExpParameterMessage : kFftParameterMessage;
        return SMOOTHING_ENTRY_REFUSED;
    }
    v = read;
    return SMOOTHING_ENTRY_ACCEPTED;
}

double* SmoothingParameter(UnivariateFields& u, SmoothingKind kind)
{
    switch (kind) {
    case SMOOTH_EXPONENTIAL: return &u.expAlpha;
    case SMOOTH_FFT: return &u.fftFraction;
    default: return nullptr;
    }
}

std::vector<double>& SmoothedSeries(UnivariateFields& u, SmoothingKind kind)
{
    switch (kind) {
    case SMOOTH_EXPONENTIAL: return u.expSmoothed;
    case SMOOTH_FFT: return u.fftSmoothed;
    default: return u.maSmoothed;
    }
}

double& SmoothingError(UnivariateFields& u, SmoothingKind kind)
{
    switch (kind) {
    case SMOOTH_EXPONENTIAL: return u.expRootMse;
    case SMOOTH_FFT: return u.fftRootMse;
    default: return u.maRootMse;
    }
}

namespace {

bool WeightsMatchOrder(const UnivariateFields& u)
{
    return u.maOrder >= 0 && u.maOrder <= kMaxMaOrder && u.maWeights.size() == static_cast<size_t>(u.maOrder) + 1;
}

bool AllFinite(const std::vector<double>& values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

int32_t SmoothOriginal(UnivariateFields& u, SmoothingKind kind, double& parameter)
{
    const std::vector<double>& x = u.originalSeries;
    const int n = static_cast<int>(x.size());
    if (n < 1) return 0;
    if (kind == SMOOTH_MOVING_AVERAGE && !WeightsMatchOrder(u)) return 0;
    std::vector<double> smoothed(x.size());
    int status = kStatusDone;
    switch (kind) {
    case SMOOTH_EXPONENTIAL:
        status = ExponentialSmooth(x.data(), smoothed.data(), n, parameter);
        break;
    case SMOOTH_FFT:
        status = FftSmoother(x.data(), smoothed.data(), n, parameter);
        break;
    default:
        status = MovingAverageSmooth(x.data(), smoothed.data(), n, u.maWeights.data(), u.maOrder);
        break;
    }
    if (status != kStatusDone) return 0;
    SmoothedSeries(u, kind) = std::move(smoothed);
    return 1;
}

double MeanSquaredDifference(const std::vector<double>& x, const std::vector<double>& s)
{
    const size_t n = std::min(x.size(), s.size());
    if (n == 0) return 0.0;
    double sum = 0.0;
    for (size_t t = 0; t < n; ++t) sum += (x[t] - s[t]) * (x[t] - s[t]);
    return sum / static_cast<double>(n);
}

int32_t BeginSmoothing(UnivariateFields& u, SmoothingKind kind, SmoothingRun& run)
{
    if (u.originalSeries.empty()) return 0;
    run = SmoothingRun{};
    run.kind = kind;
    if (kind == SMOOTH_MOVING_AVERAGE) {
        // A project without weights (new, or whose data were replaced) starts from the identity.
        if (!WeightsMatchOrder(u)) {
            u.maOrder = 0;
            u.maWeights.assign(1, 1.0);
        }
        run.maOrder = run.appliedOrder = u.maOrder;
        run.maWeights = run.appliedWeights = u.maWeights;
    } else {
        run.parameter = *SmoothingParameter(u, kind);
    }
    run.smoothed = SmoothedSeries(u, kind);
    double unused = 0.0;
    double& parameter = kind == SMOOTH_MOVING_AVERAGE ? unused : *SmoothingParameter(u, kind);
    return SmoothOriginal(u, kind, parameter);
}

void EndSmoothing(UnivariateFields& u, SmoothingRun& run, int32_t accepted, bool viewExisted)
{
    const SmoothingKind kind = run.kind;
    if (!accepted) {
        if (viewExisted) {
            if (kind == SMOOTH_MOVING_AVERAGE) {
                u.maOrder = run.maOrder;
                u.maWeights = run.maWeights;
            } else {
                *SmoothingParameter(u, kind) = run.parameter;
            }
            SmoothedSeries(u, kind) = std::move(run.smoothed);
        } else if (kind == SMOOTH_MOVING_AVERAGE) {
            u.maOrder = run.appliedOrder;
            u.maWeights = run.appliedWeights;
        }
    }
    SmoothingError(u, kind) = MeanSquaredDifference(u.originalSeries, SmoothedSeries(u, kind));
}

bool ReadMaOrderEntry(std::string_view text, int32_t& order, std::string& message)
{
    message.clear();
    double read = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Whole, read);
    if (fault != EntryFault::None) {
        if (fault != EntryFault::Blank) message = EntryRefusal("MA order", text, fault);
        return false;
    }
    if (read < 0) return false;
    if (read > kMaxMaOrder) {
        message = kMaOrderMessage;
        return false;
    }
    order = static_cast<int32_t>(read);
    return true;
}

void ChangeMaOrder(UnivariateFields& u, int32_t order)
{
    order = std::clamp(order, 0, kMaxMaOrder);
    u.maWeights.resize(static_cast<size_t>(order) + 1, 0.0);
    u.maOrder = order;
}

bool ReadMaWeightEntry(std::string_view text, double& weight)
{
    return ReadCoefficientEntry(text, weight);
}

std::string MaWeightRefusal(int32_t lag, std::string_view text)
{
    return CoefficientRefusal(false, lag, text);
}

std::string MaWeightLabel(int32_t lag) { return "Theta(" + IntText(lag) + ") = "; }

std::string MaWeightText(double weight) { return SignificantText(weight, 5); }

std::vector<std::string> MaWeightLines(const std::vector<double>& weights)
{
    std::vector<std::string> lines;
    lines.reserve(weights.size());
    for (size_t k = 0; k < weights.size(); ++k)
        lines.push_back(MaWeightLabel(static_cast<int32_t>(k)) + MaWeightText(weights[k]));
    return lines;
}

int32_t NextMaWeight(int32_t current, int32_t order) { return current >= order + 1 || current < 1 ? 1 : current + 1; }

std::string ApplyMaWeights(UnivariateFields& u, SmoothingRun& run)
{
    if (!WeightsMatchOrder(u)) ChangeMaOrder(u, u.maOrder);
    double sum = 0.0;
    for (size_t k = 1; k < u.maWeights.size(); ++k) sum += u.maWeights[k];
    sum = u.maWeights[0] + 2.0 * sum;
    if (sum == 0.0) return kMaZeroSumMessage;
    if (!std::isfinite(sum)) return kMaNotFiniteMessage;
    std::vector<double> scaled = u.maWeights;
    for (double& w : scaled) w /= sum;
    // A sum so small that a weight overflows when divided by it is zero for this purpose.
    if (!AllFinite(scaled)) return kMaZeroSumMessage;
    const std::vector<double>& x = u.originalSeries;
    std::vector<double> smoothed(x.size());
    if (!x.empty()) {
        const int status =
            MovingAverageSmooth(x.data(), smoothed.data(), static_cast<int>(x.size()), scaled.data(), u.maOrder);
        // The smoother refuses a result that left the doubles.
        if (status == kStatusOutOfRange) return kMaOverflowMessage;
        if (status != kStatusDone) return kMaNotFiniteMessage;
    }
    if (!AllFinite(smoothed)) return kMaOverflowMessage;
    u.maWeights = std::move(scaled);
    u.maSmoothed = std::move(smoothed);
    run.appliedOrder = u.maOrder;
    run.appliedWeights = u.maWeights;
    return "";
}
