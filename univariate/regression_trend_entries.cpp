#include "univariate/regression_trend_entries.h"

#include "platform/typed_entry.h"
#include "resources/resource.h"

namespace {

const char* const kDegreeMessage = "Degree must be between 0 and 10";
const char* const kHarmonicsMessage = "Number of harmonics must be between 0 and 4";
const char* const kIndexMessage = "Index must be between 1 and number of obs.";

}  // namespace

int FourierIndexControl(int k)
{
    static const int controls[4] = {IDC_TREND_INDEX_1, IDC_TREND_INDEX_2, IDC_TREND_INDEX_3, IDC_TREND_INDEX_4};
    return k >= 1 && k <= 4 ? controls[k - 1] : 0;
}

std::string ReadRegressionTrendEntry(int controlId, const std::string& text, int32_t n, int32_t& value)
{
    int32_t low = 1, high = n;
    const char* message = kIndexMessage;
    const char* field = "Index";
    if (controlId == IDC_TREND_ORDER) {
        low = 0;
        high = 10;
        message = kDegreeMessage;
        field = "Degree";
    } else if (controlId == IDC_TREND_HARMONICS) {
        low = 0;
        high = 4;
        message = kHarmonicsMessage;
        field = "Number of harmonics";
    }
    double read = 0.0;
    const std::string refusal = ReadFieldEntry(field, text, EntryKind::Whole, read);
    if (!refusal.empty()) return refusal;
    if (read < low || read > high) return message;
    value = static_cast<int32_t>(read);
    return "";
}

int RegressionTrendFault(const UnivariateFields& u, std::string& message)
{
    if (u.polynomialDegree < 0 || u.polynomialDegree > 10) {
        message = kDegreeMessage;
        return IDC_TREND_ORDER;
    }
    if (u.harmonicCount < 0 || u.harmonicCount > 4) {
        message = kHarmonicsMessage;
        return IDC_TREND_HARMONICS;
    }
    for (int k = 1; k <= u.harmonicCount; ++k)
        if (u.fourierIndex[k] < 1 || u.fourierIndex[k] > u.n) {
            message = kIndexMessage;
            return FourierIndexControl(k);
        }
    message.clear();
    return 0;
}
