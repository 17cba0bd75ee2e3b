#pragma once
// Forecasting > AR Model of a multivariate project: dialog 162 and the "AR Forecast" view.
#include <cstdint>

struct DialogRecord;
struct MultivariateProject;

// Asks the number of forecasts and their origin, computes them from the fitted model and draws
// them. Refused with a message when the model was not fitted to the data as they are or the
// project has more series than the view shows. Returns 1 after plotting, 0 otherwise.
int32_t MultivarForecast(MultivariateProject& project);

// Routine of the option buttons 1205 and 1206, the origin edit 1207 and OK of dialog 162: keeps
// the origin edit's state and the prompt up to date, and ends the dialog only with valid entries.
void MvForecastDlgCallback(DialogRecord& dialog, int controlId, int callbackType);

// Creates the "AR Forecast" view when it has no window, then draws the forecasts into it.
// Returns 0.
int32_t MvForecastPlot(MultivariateProject& project);

// Registers Forecasting > AR Model for the current multivariate project.
void RegisterMvForecastCommand();
