#pragma once
// The report windows of a univariate project: each report routine writes its report (built by
// the portable report writers) into its window, titled after the view or the project. A view
// report is written only while the view's report window exists; the regression and AR/MA
// infinity reports create their project window when it does not exist.
#include <cstdint>

#include "shell/report_text.h"

struct HWND__;
struct PlotRecord;
struct UnivariateFields;
struct UnivariateProject;

// Writes `report` of view `view` (ViewIndex) into the view's report window, titled "INFO: " and
// the view's title. Returns 1, or 0 when the report window does not exist.
int32_t WriteViewReport(UnivariateProject& project, int32_t view, InfoCalls (*report)(const UnivariateFields&));

// View reports, into the view's report window.
int32_t InfoData(UnivariateProject& project);
int32_t InfoFit(UnivariateProject& project);
int32_t InfoArmaForecast(UnivariateProject& project);
int32_t InfoArarForecast(UnivariateProject& project);
int32_t InfoHoltWinters(UnivariateProject& project);
int32_t InfoSeasonalHoltWinters(UnivariateProject& project);
int32_t InfoExpSmoothing(UnivariateProject& project);
int32_t InfoFftSmoothing(UnivariateProject& project);
int32_t InfoMaSmoothing(UnivariateProject& project);
int32_t InfoResiduals(UnivariateProject& project);
int32_t InfoResidualAcf(UnivariateProject& project);
int32_t InfoResidualHistogram(UnivariateProject& project);

// Reports of the project's own text windows. The regression estimates go only to
// `regressionWindow` (the regression view's own report window is closed); the preliminary and
// maximum likelihood reports write into windows their commands opened (see
// OpenProjectTextWindow).
int32_t InfoRegression(UnivariateProject& project);
int32_t InfoPreliminary(UnivariateProject& project);
int32_t InfoMaxLikelihood(UnivariateProject& project);
int32_t InfoArmaInfinity(UnivariateProject& project);

// The project text window of index `which` (TextWindowIndex), created for the data view's slot
// when it does not exist. Returns it (null when it could not be created).
HWND__* OpenProjectTextWindow(UnivariateProject& project, int32_t which);

// Info for a view of the project: opens the view's report window when it has none and writes
// the report of every view shown in that plot window. Returns 1.
int32_t VeskInfo(UnivariateProject& project, PlotRecord& view);

// Installs the reports the project refresh rewrites.
void InstallUnivariateReports();
