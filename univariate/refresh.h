#pragma once
// The project refresh: after a command changed a univariate project's data or model, brings
// every open view and report of the project up to date. Views that are not open are not
// computed; a view is open exactly when its window exists.
#include <cstdint>

#include "univariate/univariate_project.h"

// The routines the refresh calls. Each view's own code installs its routines when it is built;
// a routine not installed yet is skipped.
using ProjectRoutine = void (*)(UnivariateProject& project);
using ProjectModeRoutine = void (*)(UnivariateProject& project, int32_t mode);

struct RefreshRoutines {
    // Windows: repaint a view's window with erase; does nothing for a null window.
    void (*invalidate)(HWND__* window) = nullptr;
    // A refresh of a long series: on = 1 before it, 0 after it, so the window code can show the
    // hourglass and a status-bar message while the message loop waits.
    void (*busy)(UnivariateProject& project, int32_t on) = nullptr;
    // Whether a report (text) window exists.
    bool (*windowExists)(HWND__* window) = nullptr;
    ProjectRoutine infoData = nullptr;
    ProjectRoutine plotSampleAcf = nullptr;
    ProjectRoutine infoAcf = nullptr;
    ProjectRoutine plotHistogram = nullptr;
    ProjectRoutine infoHistogram = nullptr;
    ProjectRoutine plotModelAcf = nullptr;
    ProjectRoutine infoArmaInfinity = nullptr;
    ProjectModeRoutine armaForecast = nullptr;
    ProjectRoutine infoArmaForecast = nullptr;
    ProjectRoutine computeResiduals = nullptr;
    ProjectModeRoutine testsOfRandomness = nullptr;
    ProjectRoutine residualPlot = nullptr;
    ProjectRoutine infoResiduals = nullptr;
    ProjectRoutine residualAcf = nullptr;
    ProjectRoutine infoResidualAcf = nullptr;
    ProjectModeRoutine residualHistogram = nullptr;
    ProjectRoutine infoResidualHistogram = nullptr;
    ProjectRoutine computeSpectra = nullptr;
    ProjectRoutine plotSpectrum = nullptr;
    ProjectRoutine infoSpectrum = nullptr;
    ProjectModeRoutine plotCumulativeSpectrum = nullptr;
    ProjectRoutine infoCumulativeSpectrum = nullptr;
};
extern RefreshRoutines UnivariateRefresh;

// Series from this length on get the busy routine around their refresh.
constexpr int32_t kBusyRefreshLength = 200000;

// Every command that changes the data or the model ends here, so the refresh also marks a project
// that holds data as changed when either flag is set. Returns 1.
int32_t VeskRefresh(UnivariateProject& project, int32_t dataChanged, int32_t modelChanged);
// Repaints the 17 views without recomputing anything; returns 1.
int32_t VeskInvalidate(UnivariateProject& project);
