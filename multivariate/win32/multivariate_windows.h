#pragma once
// The window side of a multivariate project: status bar, toolbar, its report and the window
// operations its record's lifecycle uses.
#include <windows.h>

#include <cstdint>
#include <string>

struct MultivariateProject;
struct PlotRecord;

// The project's series window (its data window), or null.
HWND SeriesWindow(const MultivariateProject& project);
// Whether `project` is the current slot's record.
bool IsCurrentMultivariate(const MultivariateProject& project);
// A message box with an OK button and `caption`, owned by `owner`, else the frame.
void ShowMvMessage(HWND owner, const std::string& text, const char* caption);

// "# of series = m" and "Length of series = n" behind the series window's title. Returns 1.
int32_t MultivarStatusBar(MultivariateProject& project);
// Replaces the project buttons behind the six fixed ones by the zoom, Info and Duplicate set.
int32_t SetupMultivariateToolbar(MultivariateProject& project);
// Makes sure the view's report window exists and fills it for the series view. Returns 1.
int32_t MultivarInfoRefresh(MultivariateProject& project, PlotRecord& view);
// Writes the series view's report. Returns 1.
int32_t InfoMultivariate(MultivariateProject& project);
void InstallMultivariateWindowOps();
