#include "univariate/specify_model.h"

#include <algorithm>
#include <cmath>

#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "platform/dialog_values.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"
#include "shell/proposed_number.h"
#include "univariate/constraints.h"

SpecifyModelWork StartSpecifyModel(const UnivariateFields& u)
{
    SpecifyModelWork w;
    w.p = std::clamp(u.p, 0, kMaxArmaOrder);
    w.q = std::clamp(u.q, 0, kMaxArmaOrder);
    std::copy(std::begin(u.phi), std::end(u.phi), w.phi);
    std::copy(std::begin(u.theta), std::end(u.theta), w.theta);
    w.fracIntegrated = u.fracIntegrated ? 1 : 0;
    if (w.fracIntegrated) {
        w.d = u.d;
        w.M = u.M;
    }
    w.wnVariance = u.wnVariance;
    return w;
}

bool ReadOrderEntry(std::string_view text, bool ar, int32_t& order, std::string& message)
{
    message.clear();
    double k = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Whole, k);
    if (fault != EntryFault::None) {
        if (fault != EntryFault::Blank) message = EntryRefusal(ar ? "AR order" : "MA order", text, fault);
        return false;
    }
    if (k >= kMaxArmaOrder + 1) {
        message = ar ? "AR Order must be < 27" : "MA Order must be < 27";
        return false;
    }
    if (k < 0) return false;
    order = static_cast<int32_t>(k);
    return true;
}

bool ReadCoefficientEntry(std::string_view text, double& value)
{
    return ParseDialogReal(text, value) == 1;
}

std::string CoefficientRefusal(bool ar, int32_t row, std::string_view text)
{
    double value = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Real, value);
    if (fault == EntryFault::None || fault == EntryFault::Blank) return "";
    return EntryRefusal(std::string(ar ? "Phi(" : "Theta(") + IntText(row) + ")", text, fault);
}

std::string CoefficientLabel(bool ar, int32_t row) { return std::string(ar ? "Phi(" : "Theta(") + IntText(row) + ") = "; }

std::string CoefficientText(double value) { return SignificantText(value, 5); }

std::vector<std::string> CoefficientList(bool ar, const double* values, int32_t order)
{
    std::vector<std::string> rows;
    for (int32_t i = 1; i <= order; ++i) rows.push_back(CoefficientLabel(ar, i) + CoefficientText(values[i]));
    return rows;
}

std::string DText(double d) { return FittedFixed(d, 3, 15, NumberScale::Fixed); }

std::string VarianceText(double variance)
{
    return ProposedNumberText(variance, FixedText(variance, 5), 6);
}

std::string ReadDEntry(std::string_view text, double& d)
{
    double value = d;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Real, value);
    if (fault != EntryFault::None && fault != EntryFault::Blank) return EntryRefusal("d", text, fault);
    if (fault != EntryFault::None || !(value > -0.5 && value < 0.5)) return "d must be between -.5 and .5";
    d = value;
    return "";
}

std::string ReadVarianceEntry(std::string_view text, double& variance)
{
    double value = variance;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Real, value);
    if (fault != EntryFault::None && fault != EntryFault::Blank) return EntryRefusal("Variance", text, fault);
    if (fault != EntryFault::None || !(value > 0.0)) return "Variance must be positive";
    variance = value;
    return "";
}

std::string ReadMEntry(std::string_view text, int32_t& M)
{
    double value = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Whole, value);
    if (fault != EntryFault::None && fault != EntryFault::Blank) return EntryRefusal("M", text, fault);
    if (fault != EntryFault::None || value < 50) return "M must be at least 50.";
    if (value > kMaxImpulseTerms) return "M must not exceed " + IntText(kMaxImpulseTerms) + ".";
    M = static_cast<int32_t>(value);
    return "";
}

ModelRoots TestWorkingModel(const SpecifyModelWork& w)
{
    double coef[2 * kMaxArmaOrder] = {};
    for (int32_t i = 1; i <= w.p; ++i) coef[i - 1] = w.phi[i];
    for (int32_t j = 1; j <= w.q; ++j) coef[w.p + j - 1] = w.theta[j];
    double acvf[kMaxArmaOrder + 3] = {};
    ModelRoots roots;
    int status = kStatusDone;
    ArmaAcvf(2, kArmaAcvfTestInvertible, acvf, status, 1.0, coef, w.p, w.q);
    roots.invertible = status == kStatusDone;
    status = kStatusDone;
    ArmaAcvf(2, kArmaAcvfTestCausal, acvf, status, 1.0, coef, w.p, w.q);
    roots.causal = status == kStatusDone;
    return roots;
}

SpecifyCommit CommitSpecifyModel(const SpecifyModelWork& w, UnivariateFields& u)
{
    const ModelRoots roots = TestWorkingModel(w);
    if (w.fracIntegrated && !roots.invertible) return SPECIFY_NOT_INVERTIBLE;
    if (!roots.causal) return SPECIFY_NOT_CAUSAL;
    u.p = w.p;
    u.q = w.q;
    for (int32_t i = 1; i <= 27; ++i) {
        u.phi[i] = i <= w.p ? w.phi[i] : 0.0;
        u.theta[i] = i <= w.q ? w.theta[i] : 0.0;
    }
    u.wnVariance = w.wnVariance;
    u.fracIntegrated = w.fracIntegrated;
    u.d = w.d;
    u.M = w.M;
    FreeNonZeroCoefficients(u);
    return SPECIFY_STORED;
}
