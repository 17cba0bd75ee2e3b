#include "univariate/win32/statistics_dialogs.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/dialog_values.h"
#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"
#include "univariate/refresh.h"
#include "univariate/report_cells.h"
#include "univariate/statistics.h"
#include "univariate/statistics_reports.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/statistics_views.h"
#include "univariate/win32/transform_dialogs.h"

namespace {

// Asks one count in dialog `templateId` until it lies in 1..maximum; 0 when cancelled.
int32_t AskCount(int templateId, std::vector<std::pair<int, std::string>> staged, int32_t proposed,
                 int32_t maximum, const char* what, int32_t& value)
{
    staged.emplace_back(templateId == IDD_SPECIFY_LAG ? IDC_LAG_COUNT : IDC_BINS_COUNT, IntText(proposed));
    for (;;) {
        std::vector<std::string> texts;
        if (DialogRunEntries(templateId, staged, texts) != 1) return 0;
        int entered = 0;
        if (ParseDialogInteger(texts.back(), entered) && entered >= 1 && entered <= maximum) {
            value = entered;
            return 1;
        }
        ShowTransformMessage(nullptr, std::string("The number of ") + what + " must be a whole number from 1 to " +
                                          IntText(maximum));
    }
}

}  // namespace

int32_t SpecifyLagDialog(UnivariateProject& u)
{
    int32_t lags = 0;
    if (!AskCount(IDD_SPECIFY_LAG, {{IDC_LAG_PROMPT, "Enter # of lags :"}}, u.acfLags, kMaxAcfLags, "lags", lags))
        return 0;
    u.acfLags = u.modelAcfLags = u.residualAcfLags = lags;
    // Redraw what is shown, whether or not its panel is in use: a hidden panel comes back current.
    if (u.acfView.window) {
        if (u.acfViewFlags & ACF_SAMPLE) PlotSampleAcf(u);
        if (u.acfViewFlags & ACF_MODEL) PlotModelAcf(u);
    }
    if (u.residualAcfView.window && UnivariateRefresh.residualAcf) UnivariateRefresh.residualAcf(u);
    return 1;
}

int32_t HistogramBinsDialog(UnivariateProject& u)
{
    const int32_t proposed = u.histogramView.window ? u.histogramBins : DefaultHistogramBins(u.n);
    int32_t bins = 0;
    if (!AskCount(IDD_HISTOGRAM_BINS, {}, proposed, kMaxHistogramBins, "bins", bins)) return 0;
    PlotHistogram(u, bins);
    return 1;
}

int32_t FisherTestDialog(UnivariateProject& u)
{
    if (!u.spectrumView.window && !u.cumSpectrumView.window) ComputeSpectra(u);
    const bool values = u.fisherCount > 0;
    std::vector<std::string> texts;
    (void)DialogRunEntries(IDD_FISHER_TEST,
                         {{IDC_FISHER_RATIO, values ? SignificantText(u.fisherStatistic, 6) : "none"},
                          {IDC_FISHER_PROBABILITY, values ? FittedSignificant(u.fisherProbability, 6, 15, NumberScale::Fixed) : "none"}},
                         texts);
    return 1;
}
