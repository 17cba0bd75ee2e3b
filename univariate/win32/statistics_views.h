#pragma once
// The sample and model statistics views of a univariate project: the ACF/PACF view (view 1),
// the spectrum and cumulative spectrum views (views 2 and 3) and the histogram (view 4), with
// their reports. The values come from univariate/statistics.h; here the views are created,
// titled, repainted, and messages are shown.
#include <cstdint>
#include <vector>

struct PlotRecord;
struct UnivariateProject;

// The project's view, its window created when it has none and titled `prefix` followed by the
// data window's title; the view belongs to the project's slot. Returns false when the window
// could not be created.
bool OpenProjectView(UnivariateProject& project, PlotRecord& view, const wchar_t* prefix);
// A two-panel ACF/PACF view (this project's, or the residual one) opened as OpenProjectView does,
// its panels titled "ACF" and "PACF" when it is new, curves `acfCurve` and `acfCurve` + 2 filled
// by SetAcfCurves with pen style `acfCurve`, and repainted. Returns false when the window could
// not be created.
bool DrawAcfView(UnivariateProject& project, PlotRecord& view, const wchar_t* prefix, int32_t acfCurve, bool shown,
                 const std::vector<double>& acf, const std::vector<double>& pacf, int32_t nObs, int32_t flags);

// Sample ACF/PACF into curves 1 (panel 1) and 3 (panel 2) of the ACF/PACF view, created when
// needed. Returns 1, or 0 without data (the sample curves of an open view are then cleared).
int32_t PlotSampleAcf(UnivariateProject& project);
// Model ACF/PACF into curves 2 and 4; with a model that has none (not causal) the model curves
// are cleared. Returns 1.
int32_t PlotModelAcf(UnivariateProject& project);
// PlotSampleAcf, then PlotModelAcf. Returns 1.
int32_t PlotSampleModelAcf(UnivariateProject& project);
// Cycles the panels of a two-panel ACF/PACF view (this project's or the residual one) and
// repaints it. Returns 1.
int32_t ToggleCurves(PlotRecord& view, int32_t& flags);

// Histogram of the series over the data window's y range with `bins` bins (0: the default rule,
// written back), into curve 1 of the histogram view. Returns 1, or 0 without data or when the
// range has no positive width (an open view is then emptied).
int32_t PlotHistogram(UnivariateProject& project, int32_t& bins);

// Periodogram, model spectrum and Fisher's values; shows one message when the model spectrum
// is singular somewhere. Returns 1.
int32_t ComputeSpectra(UnivariateProject& project);
// The spectrum view by the project's show and log flags. Returns 1.
int32_t PlotSpectrum(UnivariateProject& project);
// Inverts the project's log scale, sets the Log Spectrum check mark from it and redraws.
int32_t ToggleLogSpectrum(UnivariateProject& project);
// The Log Spectrum check mark of the univariate menu from the project's flag.
void SetLogSpectrumCheck(const UnivariateProject& project);
// Mode 1 the cumulative periodogram, 2 the cumulative model spectrum, 4 both. Returns 1, or 0
// when a spectrum the mode needs does not exist: no view is then opened, and in an open one
// that curve is cleared while the other is drawn.
int32_t PlotCumulativeSpectrum(UnivariateProject& project, int32_t mode);

// Reports of the four views; each returns 1 when written, 0 when its window does not exist.
int32_t InfoAcf(UnivariateProject& project);
int32_t InfoHistogram(UnivariateProject& project);
int32_t InfoSpectrum(UnivariateProject& project);
int32_t InfoCumulativeSpectrum(UnivariateProject& project);
