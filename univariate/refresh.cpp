#include "univariate/refresh.h"

RefreshRoutines UnivariateRefresh;

namespace {

bool Open(const PlotRecord& view) { return view.window != nullptr; }

bool Exists(HWND__* window)
{
    return window && (!UnivariateRefresh.windowExists || UnivariateRefresh.windowExists(window));
}

void Call(ProjectRoutine routine, UnivariateProject& project)
{
    if (routine) routine(project);
}

void Call(ProjectModeRoutine routine, UnivariateProject& project, int32_t mode)
{
    if (routine) routine(project, mode);
}

}  // namespace

int32_t VeskRefresh(UnivariateProject& project, int32_t dataChanged, int32_t modelChanged)
{
    const RefreshRoutines& r = UnivariateRefresh;
    UnivariateProject& u = project;
    const bool busy = r.busy && u.n >= kBusyRefreshLength;
    if (busy) r.busy(u, 1);
    if ((dataChanged || modelChanged) && u.hasData()) u.changed = 1;

    if (Open(u.dataView)) {
        if (u.hasData())
            SetCurveY(u.dataView, 1, u.series, u.firstIndex, u.lastIndex);
        else
            ResetCurve(u.dataView, 1);
        if (r.invalidate) r.invalidate(u.dataView.window);
        if (Exists(u.dataView.infoWindow)) Call(r.infoData, u);
    }
    if (dataChanged) {
        // A smoothed periodogram belongs to the series it was made from.
        u.showSmoothedPeriodogram = 0;
        if (Open(u.acfView) && (u.acfViewFlags & 1)) {
            Call(r.plotSampleAcf, u);
            Call(r.infoAcf, u);
        } else if (Open(u.acfView)) {
            // Sample curves no longer shown must not go on showing another series.
            ClearCurveData(u.acfView, 1);
            ClearCurveData(u.acfView, 3);
        }
        if (Open(u.histogramView)) {
            Call(r.plotHistogram, u);
            if (Exists(u.histogramView.infoWindow)) Call(r.infoHistogram, u);
        }
    }
    if (modelChanged) {
        if (Open(u.acfView) && (u.acfViewFlags & 2)) {
            Call(r.plotModelAcf, u);
            Call(r.infoAcf, u);
        }
        if (Exists(u.textWindows[TEXT_INFINITY])) Call(r.infoArmaInfinity, u);
        if (Open(u.views[VIEW_ARMA_FORECAST])) Call(r.armaForecast, u, 1);
        if (Exists(u.views[VIEW_ARMA_FORECAST].infoWindow)) Call(r.infoArmaForecast, u);
    }
    if (u.hasData()) Call(r.computeResiduals, u);
    if (Exists(u.textWindows[TEXT_TESTS])) Call(r.testsOfRandomness, u, 0);
    if (Open(u.views[VIEW_RESIDUAL])) {
        Call(r.residualPlot, u);
        if (Exists(u.views[VIEW_RESIDUAL].infoWindow)) Call(r.infoResiduals, u);
    }
    if (Open(u.views[VIEW_RESIDUAL_ACF])) {
        Call(r.residualAcf, u);
        if (Exists(u.views[VIEW_RESIDUAL_ACF].infoWindow)) Call(r.infoResidualAcf, u);
    }
    if (Open(u.views[VIEW_RESIDUAL_HISTOGRAM])) {
        Call(r.residualHistogram, u, 0);
        if (Exists(u.views[VIEW_RESIDUAL_HISTOGRAM].infoWindow)) Call(r.infoResidualHistogram, u);
    }
    if (Open(u.spectrumView)) {
        Call(r.computeSpectra, u);
        Call(r.plotSpectrum, u);
        if (Exists(u.spectrumView.infoWindow)) Call(r.infoSpectrum, u);
    }
    if (Open(u.cumSpectrumView)) {
        const bool periodogram = u.cumSpectrumView.curves[1].shown != 0;
        const bool model = u.cumSpectrumView.curves[2].shown != 0;
        if (periodogram || model) Call(r.plotCumulativeSpectrum, u, periodogram && model ? 4 : (periodogram ? 1 : 2));
    }
    if (Exists(u.cumSpectrumView.infoWindow)) Call(r.infoCumulativeSpectrum, u);
    if (busy) r.busy(u, 0);
    return 1;
}

int32_t VeskInvalidate(UnivariateProject& project)
{
    if (!UnivariateRefresh.invalidate) return 1;
    for (int32_t k : {0, 1, 2, 3, 4, 14, 15, 16, 7, 8, 9, 10, 11, 12, 13, 5, 6})
        if (project.views[k].window) UnivariateRefresh.invalidate(project.views[k].window);
    return 1;
}
