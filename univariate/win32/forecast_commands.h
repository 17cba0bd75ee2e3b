#pragma once
// The Forecasting menu of a univariate project: ARMA (dialog 146, also redrawn by the project
// refresh), ARAR (dialog 102), Holt-Winters (dialog 104) and seasonal Holt-Winters (dialog 103).
// Each asks its dialog, runs the portable forecast (univariate/forecasting.h), draws data and
// forecasts into its view and rewrites the view's report when that window exists.
#include <cstdint>

struct UnivariateProject;

// noDialog 1: the refresh's redraw with the stored options. Returns 1 when forecasts were made.
int32_t ArmaForecast(UnivariateProject& project, int32_t noDialog);
int32_t ArarForecast(UnivariateProject& project);
int32_t HoltWintersForecast(UnivariateProject& project);
int32_t SeasonalHoltWintersForecast(UnivariateProject& project);

void RegisterForecastCommands();
