#include "univariate/periodogram_smoothing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "numerics/smoothing.h"
#include "numerics/status.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"

const char* const kDaniellCountMessage = "Number of Daniell filters must be from 0 to 50";
const char* const kNoPeriodogramMessage = "The periodogram needs at least 2 observations";

namespace {

// A whole number typed into `field`, a blank text reading as 0: "" with `value` set, else the
// refusal that says why.
std::string ReadLenientWhole(const char* field, std::string_view text, double& value)
{
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Whole, value);
    if (fault == EntryFault::Blank) value = 0;
    return fault == EntryFault::None || fault == EntryFault::Blank ? "" : EntryRefusal(field, text, fault);
}

int32_t FilterCount(const UnivariateFields& u) { return std::clamp(u.daniellCount, 0, kMaxDaniellFilters); }

}  // namespace

std::string ReadDaniellCount(std::string_view text, int32_t& count)
{
    double c = 0;
    const std::string refusal = ReadLenientWhole("Number of filters", text, c);
    if (!refusal.empty()) return refusal;
    if (c < 0 || c > kMaxDaniellFilters) return kDaniellCountMessage;
    count = static_cast<int32_t>(c);
    return "";
}

void AcceptDaniellCount(UnivariateFields& u, int32_t count)
{
    count = std::clamp(count, 0, kMaxDaniellFilters);
    if (count >= 1) std::fill(u.daniellOrders + count + 1, u.daniellOrders + kMaxDaniellFilters + 1, 0);
    u.daniellCount = count;
}

int64_t DaniellHalfWidth(const UnivariateFields& u)
{
    int64_t M = 0;
    for (int32_t i = 1; i <= FilterCount(u); ++i) M += std::max(u.daniellOrders[i], 0);
    return M;
}

std::string DaniellBoundMessage(int32_t ordinates)
{
    return "The orders of the filters must add up to at most " + IntText(std::max(ordinates - 1, 0));
}

std::string AcceptDaniellOrder(UnivariateFields& u, int32_t k, std::string_view text)
{
    if (k < 1 || k > FilterCount(u)) return "";
    double typed = 0;
    const std::string refusal = ReadLenientWhole("Order of filter", text, typed);
    if (!refusal.empty()) return refusal;
    if (typed < 0 || typed > u.n) return "Order of filter must be from 0 to " + IntText(u.n);
    const int32_t m = static_cast<int32_t>(typed);
    const int32_t K = static_cast<int32_t>(u.periodogram.size());
    const int64_t M = DaniellHalfWidth(u) - std::max(u.daniellOrders[k], 0) + m;
    // Lowering an order is always allowed, so settings from a longer series can be mended.
    if (m > u.daniellOrders[k] && M > K - 1) return DaniellBoundMessage(K);
    u.daniellOrders[k] = m;
    return "";
}

std::vector<double> ConvolveDaniell(int32_t count, const int32_t* orders)
{
    count = std::clamp(count, 0, kMaxDaniellFilters);
    int64_t total = 0;
    for (int32_t i = 1; i <= count; ++i) total += std::max(orders[i], 0);
    std::vector<double> a(static_cast<size_t>(total) + 1, 0.0), b(a.size(), 0.0);
    a[0] = 1.0;
    int64_t cur = 0;
    for (int32_t i = 1; i <= count; ++i) {
        const int64_t m = orders[i];
        if (m <= 0) continue;
        const double w = 1.0 / static_cast<double>(2 * m + 1);
        for (int64_t j = 0; j <= cur + m; ++j) {
            // Only the terms with |j - l| <= cur are present; l runs upwards over them.
            const int64_t lo = std::max(-m, j - cur), hi = std::min(m, j + cur);
            double sum = 0.0;
            for (int64_t l = lo; l <= hi; ++l) sum += a[static_cast<size_t>(std::llabs(j - l))];
            b[static_cast<size_t>(j)] = w * sum;
        }
        cur += m;
        std::copy(b.begin(), b.begin() + cur + 1, a.begin());
    }
    a.resize(static_cast<size_t>(cur) + 1);
    return a;
}

int32_t DaniellWeights(UnivariateFields& u)
{
    u.daniellWeights = ConvolveDaniell(FilterCount(u), u.daniellOrders);
    return 1;
}

FilterWeightPicture LayOutFilterWeights(const std::vector<double>& weights)
{
    FilterWeightPicture picture;
    if (weights.empty()) return picture;
    const int64_t M = static_cast<int64_t>(weights.size()) - 1;
    picture.M = static_cast<int32_t>(M);
    picture.wmax = *std::max_element(weights.begin(), weights.end());
    picture.sticks.reserve(static_cast<size_t>(2 * M + 1));
    for (int64_t j = -M; j <= M; ++j) {
        FilterStick stick;
        stick.x = static_cast<int32_t>((100 * (M + j + 1)) / (2 * M + 2));
        const double w = weights[static_cast<size_t>(std::llabs(j))];
        const double drop = picture.wmax > 0.0 ? (picture.wmax - w) / picture.wmax * 100.0 : 100.0;
        stick.top = 20 + static_cast<int32_t>(std::trunc(std::clamp(drop, 0.0, 100.0)));
        picture.sticks.push_back(stick);
    }
    return picture;
}

std::string FilterWeightMaxText(double wmax) { return SignificantText(wmax, 5); }

std::string ApplyDaniellSmoothing(UnivariateFields& u)
{
    const int32_t K = static_cast<int32_t>(u.periodogram.size());
    if (K < 1 || u.n < 2) return kNoPeriodogramMessage;
    (void)DaniellWeights(u);
    const int32_t M = static_cast<int32_t>(u.daniellWeights.size()) - 1;
    if (M >= K) return DaniellBoundMessage(K);
    std::vector<double> S(static_cast<size_t>(K) + 1);
    if (PeriodogramSmoother(u.periodogram.data(), S.data(), K, u.daniellWeights.data(), M, u.n) != kStatusDone)
        return DaniellBoundMessage(K);
    u.smoothedPeriodogram = std::move(S);
    return "";
}
