#include "univariate/win32/statistics_commands.h"

#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/plot_window.h"
#include "univariate/refresh.h"
#include "univariate/statistics.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/statistics_dialogs.h"
#include "univariate/win32/statistics_views.h"

namespace {

// A repeated ACF command cycles the panels of the view when what it asks for is exactly what
// the view shows; otherwise it draws in the mode asked. `wanted` holds bits 1 and 2.
bool ToggleAcf(UnivariateProject& u, int32_t wanted)
{
    if (!u.acfView.window || (u.acfViewFlags & (ACF_SAMPLE | ACF_MODEL)) != wanted) return false;
    ToggleCurves(u.acfView, u.acfViewFlags);
    InfoAcf(u);
    return true;
}

void AcfSample(UnivariateProject& u)
{
    if (ToggleAcf(u, ACF_SAMPLE)) return;
    u.acfView.curves[2].shown = u.acfView.curves[4].shown = 0;
    u.acfViewFlags = ACF_SAMPLE | ACF_PANEL | PACF_PANEL;
    PlotSampleAcf(u);
}

void AcfModel(UnivariateProject& u)
{
    if (ToggleAcf(u, ACF_MODEL)) return;
    u.acfView.curves[1].shown = u.acfView.curves[3].shown = 0;
    u.acfViewFlags = ACF_MODEL | ACF_PANEL | PACF_PANEL;
    PlotModelAcf(u);
}

void AcfBoth(UnivariateProject& u)
{
    if (ToggleAcf(u, ACF_SAMPLE | ACF_MODEL)) return;
    u.acfViewFlags = ACF_SAMPLE | ACF_MODEL | ACF_PANEL | PACF_PANEL;
    PlotSampleModelAcf(u);
}

void Histogram(UnivariateProject& u)
{
    if (u.histogramView.window) {
        ActivatePlotWindow(u.histogramView);
        return;
    }
    int32_t bins = 0;
    PlotHistogram(u, bins);
}

// The spectrum rule: compute when the view is not open, set the flags, draw. A long series
// takes a while, so it gets the hourglass as a refresh does.
void Spectrum(UnivariateProject& u, int32_t periodogram, int32_t model)
{
    if (!u.spectrumView.window) {
        const bool busy = UnivariateRefresh.busy && u.n >= kBusyRefreshLength;
        if (busy) UnivariateRefresh.busy(u, 1);
        ComputeSpectra(u);
        if (busy) UnivariateRefresh.busy(u, 0);
    }
    u.showPeriodogram = periodogram;
    u.showModelSpectrum = model;
    PlotSpectrum(u);
}

// The cumulative spectrum commands. With the spectrum view open its spectra are current and not
// computed again, so a periodogram missing from them (values too large for one) would go
// unsaid: the spectra are then computed again, which says why.
void CumulativeSpectrum(UnivariateProject& u, int32_t mode)
{
    if (mode != 2 && u.spectrumView.window && u.periodogram.empty()) ComputeSpectra(u);
    PlotCumulativeSpectrum(u, mode);
}

void InstallStatisticsRefresh()
{
    RefreshRoutines& r = UnivariateRefresh;
    r.plotSampleAcf = [](UnivariateProject& u) { PlotSampleAcf(u); };
    r.infoAcf = [](UnivariateProject& u) { InfoAcf(u); };
    r.plotHistogram = [](UnivariateProject& u) {
        int32_t bins = u.histogramBins;
        PlotHistogram(u, bins);
    };
    r.infoHistogram = [](UnivariateProject& u) { InfoHistogram(u); };
    r.plotModelAcf = [](UnivariateProject& u) { PlotModelAcf(u); };
    r.computeSpectra = [](UnivariateProject& u) { ComputeSpectra(u); };
    r.plotSpectrum = [](UnivariateProject& u) { PlotSpectrum(u); };
    r.infoSpectrum = [](UnivariateProject& u) { InfoSpectrum(u); };
    r.plotCumulativeSpectrum = [](UnivariateProject& u, int32_t mode) { PlotCumulativeSpectrum(u, mode); };
    r.infoCumulativeSpectrum = [](UnivariateProject& u) { InfoCumulativeSpectrum(u); };
}

}  // namespace

void RegisterStatisticsCommands()
{
    InstallStatisticsRefresh();
    RegisterUnivariateCommand(IDM_ACF_SAMPLE, AcfSample);
    RegisterUnivariateCommand(IDM_ACF_MODEL, AcfModel);
    RegisterUnivariateCommand(IDM_ACF_SAMPLE_MODEL, AcfBoth);
    RegisterUnivariateCommand(IDM_ACF_SPECIFY_LAG, [](UnivariateProject& u) { SpecifyLagDialog(u); });
    RegisterUnivariateCommand(IDM_HISTOGRAM, Histogram);
    RegisterUnivariateCommand(IDM_HISTOGRAM_BINS, [](UnivariateProject& u) { HistogramBinsDialog(u); });
    RegisterUnivariateCommand(IDM_SPECTRUM_PERIODOGRAM, [](UnivariateProject& u) {
        if (!u.hasData()) return;
        u.showSmoothedPeriodogram = 0;
        Spectrum(u, 1, 0);
    });
    RegisterUnivariateCommand(IDM_SPECTRUM_MODEL, [](UnivariateProject& u) { Spectrum(u, 0, 1); });
    RegisterUnivariateCommand(IDM_SPECTRUM_BOTH, [](UnivariateProject& u) { Spectrum(u, 1, 1); });
    RegisterUnivariateCommand(IDM_LOG_SPECTRUM, [](UnivariateProject& u) { ToggleLogSpectrum(u); });
    RegisterUnivariateCommand(IDM_FISHER_TEST, [](UnivariateProject& u) { FisherTestDialog(u); });
    RegisterUnivariateCommand(IDM_CUMULATIVE_MODEL, [](UnivariateProject& u) { CumulativeSpectrum(u, 2); });
    RegisterUnivariateCommand(IDM_CUMULATIVE_PERIODOGRAM, [](UnivariateProject& u) { CumulativeSpectrum(u, 1); });
    RegisterUnivariateCommand(IDM_CUMULATIVE_BOTH, [](UnivariateProject& u) { CumulativeSpectrum(u, 4); });
}
