#include "univariate/win32/univariate_reports.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "univariate/data_report.h"
#include "univariate/estimation_reports.h"
#include "univariate/forecast_reports.h"
#include "univariate/model_text.h"
#include "univariate/refresh.h"
#include "univariate/residual_reports.h"
#include "univariate/univariate_project.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

bool Exists(HWND__* window) { return window && IsWindow(Handle(window)); }

// A window's title, at most `limit` characters read, without trailing blanks.
std::wstring TitleOf(HWND__* window, int limit)
{
    std::wstring text(static_cast<size_t>(limit) + 1, L'\0');
    const int length = window ? GetWindowTextW(Handle(window), text.data(), limit + 1) : 0;
    text.resize(static_cast<size_t>(length));
    const size_t end = text.find_last_not_of(L' ');
    text.erase(end == std::wstring::npos ? 0 : end + 1);
    return text;
}

void Write(HWND__* window, const std::wstring& prefix, const std::wstring& title, const InfoCalls& calls)
{
    SetWindowTextW(Handle(window), (prefix + title).c_str());
    InfoReplay(Handle(window), calls);
}

// A view report: written only while the view's report window exists.
int32_t ViewReport(UnivariateProject& u, int32_t view, InfoCalls (*report)(const UnivariateFields&))
{
    WriteViewReport(u, view, report);
    return 1;
}

// A project window report, titled after the data window.
void ProjectReport(UnivariateProject& u, int32_t which, const InfoCalls& calls)
{
    HWND__* window = u.textWindows[which];
    if (!Exists(window)) return;
    Write(window, WideText(kTextWindowTitlePrefix[which]), TitleOf(u.dataView.window, 230), calls);
}

}  // namespace

int32_t WriteViewReport(UnivariateProject& u, int32_t view, InfoCalls (*report)(const UnivariateFields&))
{
    if (view < 0 || view >= kViewCount) return 0;
    PlotRecord& record = u.views[view];
    if (!Exists(record.infoWindow)) return 0;
    Write(record.infoWindow, L"INFO: ", TitleOf(record.window, 240), report(u));
    return 1;
}

int32_t InfoData(UnivariateProject& u) { return ViewReport(u, VIEW_DATA, DataReport); }
int32_t InfoFit(UnivariateProject& u) { return ViewReport(u, VIEW_FIT, FitReport); }
int32_t InfoArmaForecast(UnivariateProject& u) { return ViewReport(u, VIEW_ARMA_FORECAST, ArmaForecastReport); }
int32_t InfoArarForecast(UnivariateProject& u) { return ViewReport(u, VIEW_ARAR_FORECAST, ArarForecastReport); }
int32_t InfoHoltWinters(UnivariateProject& u) { return ViewReport(u, VIEW_HW_FORECAST, HoltWintersReport); }
int32_t InfoSeasonalHoltWinters(UnivariateProject& u)
{
    return ViewReport(u, VIEW_SHW_FORECAST, SeasonalHoltWintersReport);
}
int32_t InfoExpSmoothing(UnivariateProject& u) { return ViewReport(u, VIEW_EXP_SMOOTH, ExpSmoothingReport); }
int32_t InfoFftSmoothing(UnivariateProject& u) { return ViewReport(u, VIEW_FFT_SMOOTH, FftSmoothingReport); }
int32_t InfoMaSmoothing(UnivariateProject& u) { return ViewReport(u, VIEW_MA_SMOOTH, MaSmoothingReport); }
int32_t InfoResiduals(UnivariateProject& u) { return ViewReport(u, VIEW_RESIDUAL, ResidualsReport); }
int32_t InfoResidualAcf(UnivariateProject& u) { return ViewReport(u, VIEW_RESIDUAL_ACF, ResidualAcfReport); }
int32_t InfoResidualHistogram(UnivariateProject& u)
{
    return ViewReport(u, VIEW_RESIDUAL_HISTOGRAM, ResidualHistogramReport);
}

HWND__* OpenProjectTextWindow(UnivariateProject& u, int32_t which)
{
    if (which < 0 || which >= kTextWindowCount) return nullptr;
    if (!Exists(u.textWindows[which]))
        u.textWindows[which] = reinterpret_cast<HWND__*>(CreateInfoWindow(u.dataView.slot));
    return u.textWindows[which];
}

int32_t InfoRegression(UnivariateProject& u)
{
    OpenProjectTextWindow(u, TEXT_REGRESSION);
    PlotRecord& view = u.views[VIEW_REGRESSION];
    if (Exists(view.infoWindow)) SendMessageW(MdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle(view.infoWindow)), 0);
    ProjectReport(u, TEXT_REGRESSION, RegressionReport(u));
    return 1;
}

int32_t InfoPreliminary(UnivariateProject& u)
{
    ProjectReport(u, TEXT_PRELIMINARY, PreliminaryReport(u));
    return 1;
}

int32_t InfoMaxLikelihood(UnivariateProject& u)
{
    if (Exists(u.textWindows[TEXT_MLE])) ProjectReport(u, TEXT_MLE, MaxLikelihoodReport(u));
    return 1;
}

int32_t InfoArmaInfinity(UnivariateProject& u)
{
    OpenProjectTextWindow(u, TEXT_INFINITY);
    ProjectReport(u, TEXT_INFINITY, ArmaInfinityReport(u));
    return 1;
}

int32_t VeskInfo(UnivariateProject& u, PlotRecord& view)
{
    if (!view.window) return 1;
    if (!Exists(view.infoWindow)) view.infoWindow = reinterpret_cast<HWND__*>(CreateInfoWindow(view.slot));
    // The four statistics views' reports come with those views; one not installed is skipped.
    const RefreshRoutines& r = UnivariateRefresh;
    const ProjectRoutine statistics[kViewCount] = {nullptr, r.infoAcf, r.infoSpectrum, r.infoCumulativeSpectrum,
                                                   r.infoHistogram};
    static int32_t (*const kReports[kViewCount])(UnivariateProject&) = {
        InfoData, nullptr, nullptr, nullptr, nullptr, InfoFit, InfoRegression, InfoArmaForecast, InfoArarForecast,
        InfoHoltWinters, InfoSeasonalHoltWinters, InfoExpSmoothing, InfoFftSmoothing, InfoMaSmoothing, InfoResiduals,
        InfoResidualAcf, InfoResidualHistogram,
    };
    for (int32_t k = 0; k < kViewCount; ++k) {
        if (u.views[k].window != view.window) continue;
        if (kReports[k])
            kReports[k](u);
        else if (statistics[k])
            statistics[k](u);
    }
    return 1;
}

void InstallUnivariateReports()
{
    UnivariateRefresh.infoData = [](UnivariateProject& u) { InfoData(u); };
    UnivariateRefresh.infoArmaInfinity = [](UnivariateProject& u) { InfoArmaInfinity(u); };
    UnivariateRefresh.infoArmaForecast = [](UnivariateProject& u) { InfoArmaForecast(u); };
    UnivariateRefresh.infoResiduals = [](UnivariateProject& u) { InfoResiduals(u); };
    UnivariateRefresh.infoResidualAcf = [](UnivariateProject& u) { InfoResidualAcf(u); };
    UnivariateRefresh.infoResidualHistogram = [](UnivariateProject& u) { InfoResidualHistogram(u); };
}
