#pragma once
// The AR estimation commands of a multivariate project without their windows: the check of the
// order dialog, the fit of the mean-corrected table by Whittle's or the Burg recursion with the
// constant terms and residuals, and the text of the estimates report.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "multivariate/multivariate_project.h"

enum MvFitMethod : int32_t {
    MV_FIT_YULE_WALKER = 1,
    MV_FIT_BURG = 2,
};

// Caption of the order dialog's and the fit's messages.
extern const char* const kMvEstimationCaption;  // "ERROR"

// L = (m n - 2) div m^2, at most 21: orders 0..L-1 can be fitted to n points of m series.
int32_t MvOrderLimit(int32_t n, int32_t m);

// Checks the order dialog's answer for n points of m series. With `search` the order text is not
// read; the search needs L >= 1. Otherwise the text must be an integer 0 <= p < L. Returns "" with
// `order` set (-1 for the search), or the message: " p must be non-negative.", " p is too large,
// try a smaller value." or, for a text that is no whole number, the refusal that says why
// (" p \"1,5\" has a decimal comma: ...").
std::string MvOrderMessage(bool search, std::string_view text, int32_t n, int32_t m, int32_t& order);

// What a fit came to.
struct MvFitOutcome {
    int32_t status = 0;          // kStatusDone, kStatusLowerOrder, or the failure of the fit
    int32_t constantSeries = 0;  // > 0: that series is constant and nothing was fitted
    int32_t orderAsked = 0;      // -1 for the search
    int32_t orderFitted = 0;
};

// Fits the AR model of `order` (or the search, -1) by `method` to a mean-corrected copy of the
// table; the table itself is never changed. On success (also at a lower order than asked) the
// model's coefficients, constant terms mean(i) - sum PHI(k)(i, j) mean(j), noise covariance,
// AICC, order and the method's search flag are replaced, the residuals become
// X(t) - sum PHI(k) X(t-k) of the centred table for t = p+1..n, the data keep their means and
// the model counts as fitted to the data. Returns 1 then; 0 with the project unchanged when a
// series is constant (all its values equal), the table is missing, the fit failed or its
// storage could not be allocated (status kStatusNoMemory).
[[nodiscard]] int32_t MvFitModel(MultivariateProject& project, int32_t method, int32_t order, MvFitOutcome& outcome);

// What to tell the user after a fit: "" after a complete fit; the reason for a refusal or a
// failure ("Numerical difficulties" when the recursion failed; that the values are out of the
// range the fit handles when the noise covariance, or a mean of the table, would leave the
// doubles); for a lower order than asked, the order fitted. Caption kMvEstimationCaption.
std::string MvFitMessage(const MvFitOutcome& outcome);

// One call of a report writer: a line for InfoPrint (perLine 0; `length` counts the ending NUL),
// or a block of numbers for InfoPrintArray (`values`, perLine to a line, 6 decimals).
struct MvReportCall {
    std::string text;
    int32_t length = 0;
    std::vector<double> values;
    int32_t perLine = 0;
};

// The estimates report of the model after a fit by `method`, from the clearing call on.
std::vector<MvReportCall> MvEstimatesReport(const MultivariateProject& project, int32_t method);
// The text a report window holds after the calls.
std::string MvReportText(const std::vector<MvReportCall>& calls);
// "Multivariate Yule-Walker estimates: " or "Multivariate Burg estimates: " and the series
// window's title, cut to 230 characters.
std::string MvReportTitle(int32_t method, const std::string& seriesTitle);
