#include "univariate/win32/statistics_views.h"

#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/statistics.h"
#include "univariate/statistics_reports.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

void Repaint(const PlotRecord& view)
{
    if (view.window) InvalidateRect(Handle(view.window), nullptr, TRUE);
}

}  // namespace

bool OpenProjectView(UnivariateProject& u, PlotRecord& view, const wchar_t* prefix)
{
    if (!view.window) {
        if (!CreatePlotWindow(view, 1)) return false;
        wchar_t title[236] = {};
        if (u.dataView.window) GetWindowTextW(Handle(u.dataView.window), title, 236);
        SetWindowTextW(Handle(view.window), (std::wstring(prefix) + title).c_str());
    }
    view.slot = u.dataView.slot;
    return true;
}

bool DrawAcfView(UnivariateProject& u, PlotRecord& view, const wchar_t* prefix, int32_t acfCurve, bool shown,
                 const std::vector<double>& acf, const std::vector<double>& pacf, int32_t nObs, int32_t flags)
{
    const bool created = !view.window;
    if (!OpenProjectView(u, view, prefix)) return false;
    if (created) {
        SetPanelTitle(view, 1, "ACF", 3);
        SetPanelTitle(view, 2, "PACF", 4);
    }
    SetAcfCurves(view, acfCurve, shown, acf, pacf, nObs, acfCurve, flags);
    Repaint(view);
    return true;
}

int32_t PlotSampleAcf(UnivariateProject& u)
{
    PlotRecord& view = u.acfView;
    if (!ComputeSampleAcf(u)) {
        if (u.hasData())
            MessageBoxW(MessageBoxOwner(), L"The variance of the series is beyond the range of numbers: no sample ACF.",
                        L"KELO::Vesk ERROR", MB_OK);
        if (view.window) {
            ClearCurveData(view, 1);
            ClearCurveData(view, 3);
            Repaint(view);
        }
        return 0;
    }
    return DrawAcfView(u, view, L"ACF/PACF: ", 1, (u.acfViewFlags & ACF_SAMPLE) != 0, u.sampleAcf, u.samplePacf, u.n,
                       u.acfViewFlags)
               ? 1
               : 0;
}

int32_t PlotModelAcf(UnivariateProject& u)
{
    PlotRecord& view = u.acfView;
    const bool computed = ComputeModelAcf(u) != 0;
    // Opened by the model alone, the view's panels stay untitled.
    if (!OpenProjectView(u, view, L"ACF/PACF: ")) return 1;
    SetAcfCurves(view, 2, computed && (u.acfViewFlags & ACF_MODEL), u.modelAcf, u.modelPacf, 0, 2, u.acfViewFlags);
    Repaint(view);
    return 1;
}

int32_t PlotSampleModelAcf(UnivariateProject& u)
{
    PlotSampleAcf(u);
    return PlotModelAcf(u);
}

int32_t ToggleCurves(PlotRecord& view, int32_t& flags)
{
    ToggleCurvePanels(view, flags);
    Repaint(view);
    return 1;
}

int32_t PlotHistogram(UnivariateProject& u, int32_t& bins)
{
    PlotRecord& view = u.histogramView;
    bool counted = false;
    std::vector<double> edges, counts;
    if (u.hasData()) {
        if (bins == 0) bins = DefaultHistogramBins(u.n);
        double lo = 0.0, hi = 0.0;
        counted = DataWindowRange(u.dataView, lo, hi) && HistogramCounts(u.series, lo, hi, bins, edges, counts);
        u.histogramBins = bins;
    }
    if (!counted) {
        // No data or no bins to draw: an open view must not go on showing another series' counts.
        if (view.window) {
            ClearCurveData(view, 1);
            Repaint(view);
        }
        return 0;
    }
    if (!OpenProjectView(u, view, L"HISTOGRAM: ")) return 0;
    SetCurveHistogram(view, 1, edges, counts);
    Repaint(view);
    return 1;
}

int32_t ComputeSpectra(UnivariateProject& u)
{
    bool tooLarge = false;
    const int32_t singular = ComputeSpectrumValues(u, &tooLarge);
    if (tooLarge)
        MessageBoxW(MessageBoxOwner(), L"The values are too large for a periodogram: it is not shown.",
                    L"KELO::Vesk ERROR", MB_OK);
    if (singular > 0)
        MessageBoxW(MessageBoxOwner(), L"Singularity in model spectrum, set to 1000000 * WN-Variance", L"VESK::ERROR", MB_OK);
    else if (singular < 0)
        MessageBoxW(MessageBoxOwner(), L"The model spectrum is beyond the range of numbers: it is not shown.",
                    L"KELO::Vesk ERROR", MB_OK);
    return 1;
}

int32_t PlotSpectrum(UnivariateProject& u)
{
    PlotRecord& view = u.spectrumView;
    const SpectrumCurves c = BuildSpectrumCurves(u);
    // Nothing to draw (a periodogram alone of values too large for one, which ComputeSpectra has
    // said): no empty view opens for it.
    if (!c.periodogram && !c.model && !view.window) return 1;
    if (!OpenProjectView(u, view, L"SPECTRUM: ")) return 1;
    ClearCurveData(view, 1);
    ClearCurveData(view, 2);
    // One message for the whole drawing, however many values are zero.
    if (c.zeros > 0)
        MessageBoxW(MessageBoxOwner(), L"Null in spectrum, setting log to -100", L"KELO::Vesk ERROR", MB_OKCANCEL);
    if (c.periodogram) SetCurveXY(view, 1, c.x1, c.y1);
    if (c.model) {
        SetCurveXY(view, 2, c.x2, c.y2);
        if (!u.logSpectrum) SetCurveStyle(view, 2, -1, -1, 0);
    }
    Repaint(view);
    Repaint(u.cumSpectrumView);
    return 1;
}

void SetLogSpectrumCheck(const UnivariateProject& u)
{
    if (UnivariateMenu)
        CheckMenuItem(UnivariateMenu, IDM_LOG_SPECTRUM, MF_BYCOMMAND | (u.logSpectrum ? MF_CHECKED : MF_UNCHECKED));
}

int32_t ToggleLogSpectrum(UnivariateProject& u)
{
    u.logSpectrum = u.logSpectrum ? 0 : 1;
    SetLogSpectrumCheck(u);
    return PlotSpectrum(u);
}

int32_t PlotCumulativeSpectrum(UnivariateProject& u, int32_t mode)
{
    u.cumModelSpectrum.clear();
    u.cumPeriodogram.clear();
    if (!u.spectrumView.window) ComputeSpectra(u);
    const bool model = mode == 2 || mode == 4, periodogram = mode == 1 || mode == 4;
    const bool modelMade = model && CumulativeModelSpectrum(u);
    const bool periodogramMade = periodogram && CumulativePeriodogram(u);
    const bool complete = model == modelMade && periodogram == periodogramMade;
    PlotRecord& view = u.cumSpectrumView;
    // Without a spectrum the mode needs no view is opened. An open one must not go on showing
    // another series' curve (a differenced trend is constant and has none): the missing curve
    // is cleared and the other one drawn.
    if (!complete && !view.window) return 0;
    if (!OpenProjectView(u, view, L"CUMULATIVE SPECTRUM: ")) return 0;
    if (!model) view.curves[2].shown = 0;
    if (!periodogram) view.curves[1].shown = 0;
    if (periodogramMade)
        SetCurveXY(view, 1, CumulativePeriodogramX(static_cast<int32_t>(u.cumPeriodogram.size())), u.cumPeriodogram);
    else if (periodogram)
        ClearCurveData(view, 1);
    if (modelMade)
        SetCurveXY(view, 2, SpectrumFrequencies(static_cast<int32_t>(u.cumModelSpectrum.size()) - 1),
                   u.cumModelSpectrum);
    else if (model)
        ClearCurveData(view, 2);
    Repaint(view);
    return complete ? 1 : 0;
}

int32_t InfoAcf(UnivariateProject& u) { return WriteViewReport(u, VIEW_ACF, AcfReport); }
int32_t InfoHistogram(UnivariateProject& u) { return WriteViewReport(u, VIEW_HISTOGRAM, HistogramReport); }
int32_t InfoSpectrum(UnivariateProject& u) { return WriteViewReport(u, VIEW_SPECTRUM, SpectrumReport); }
int32_t InfoCumulativeSpectrum(UnivariateProject& u)
{
    return WriteViewReport(u, VIEW_CUM_SPECTRUM, CumulativeSpectrumReport);
}
