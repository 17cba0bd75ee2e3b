#pragma once
// The regression trend of a univariate project, portable: the design matrix of powers of t and
// cosine/sine pairs, the least-squares and generalised least-squares fits, removal, and the model
// selection criteria of a fitted model. The window layer runs the dialog, shows messages and
// redraws.
//
// Fits compute into locals and change the record only after every library call succeeded, so a
// call the numerical library abandons leaves the project exactly as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "univariate/univariate_project.h"

// Columns the stored choice gives: polynomialDegree + 2 harmonicCount, plus 1 for the intercept.
int32_t RegressionTermCount(const UnivariateFields& project);

// The design for rows t = 1..rows from polynomialDegree, harmonicCount, fourierIndex and
// intercept: the powers of t first (from t^0 with the intercept, else from t^1), then for each
// harmonic the column cos(a) and the column sin(a), a = ((f / n) pi) t 2, pi = 3.14159265359,
// n = rows. An empty matrix for no terms.
ColumnMatrix BuildRegressionDesign(const UnivariateFields& project, int32_t rows);

// What Specify does once its dialog ended with OK or the close box: auxPresent := 0, termCount
// from the choice, and when there are terms a design of n rows, regressionSpecified := 1 and
// regressionPresent := 0. Returns 1 when a trend is now specified, 0 when there are no terms.
int32_t SpecifyRegressionDesign(UnivariateFields& project);

enum RegressionFitStatus : int32_t {
    REGRESSION_ABANDONED = 0,      // a library call stopped; nothing changed
    REGRESSION_DONE = 1,           // fitted and subtracted
    REGRESSION_NOT_SPECIFIED = 2,  // no trend specified; nothing changed
    REGRESSION_NOT_WHITENED = 3,   // the model gives no residuals for the series or a column
    REGRESSION_NOT_FINITE = 4,     // the fit's values are not all finite; nothing changed
    REGRESSION_SHORT_SERIES = 5,   // the series is too short for the ARMA model; nothing changed
};

// Why a fit was refused as REGRESSION_SHORT_SERIES: the count of values, the model and the count
// it needs.
std::string RegressionShortSeriesMessage(const UnivariateFields& project);

// Least squares of the data (series + trendValues) on the design: trendCoefficients,
// trendValues and series := data - trend, regressionPresent := 1; coefficientCovariance is left
// as it was. A design whose row count is not n is rebuilt from the stored choice first.
// Columns are left out, with coefficient 0, in two ways. First by the arithmetic of the Fourier
// indices, before any rounding: with m = f mod n, the sine of a harmonic with 2m = 0 (mod n) is
// zero at every t; the cosine with m = 0 is the constant, left out beside an intercept (kept in
// its place otherwise); a harmonic whose m is that of an earlier one, or n minus it, repeats it.
// Then by the rank rule of DLSQRR on the columns that remain, as R's lm.fit: a column within 1e-7
// of its own norm of a combination of those before it.
// leftOut receives, in increasing order, the design columns (from 1) left out. It is emptied when
// the fit does not succeed.
int32_t FitLeastSquaresTrend(UnivariateFields& project);
int32_t FitLeastSquaresTrend(UnivariateFields& project, std::vector<int32_t>& leftOut);

// Generalised least squares under the project's model: the data and every design column that
// index arithmetic keeps are whitened by the model's residual filter, the whitened data are
// regressed on the whitened columns, the trend comes from the unwhitened design and the
// coefficient covariance is wnVariance inverse(Z'Z) over the columns kept, formed from the
// solve's triangular factor, with 0 in the rows and columns of those left out;
// regressionPresent := 2. REGRESSION_SHORT_SERIES for an ARMA model that the series is too short
// to give residuals for (EvaluationMinimumLength). `residuals` is not touched (the refresh that follows recomputes it from
// the new series). leftOut as for least squares, the rank rule judging the whitened columns.
int32_t FitGlsTrend(UnivariateFields& project);
int32_t FitGlsTrend(UnivariateFields& project, std::vector<int32_t>& leftOut);

// The name the model text gives design column `column` (from 1) of the stored choice: "t^p"
// for a power of t, "Cos(2*pi*tf/N)" and "Sin(2*pi*tf/N)" for the harmonic of Fourier index f.
std::string RegressionTermName(const UnivariateFields& project, int32_t column);

// The message that names the left-out columns (as FitLeastSquaresTrend gives them) in those
// words, the constant also called so, each with its reason: "is zero at every t", "repeats the
// earlier term Cos(2*pi*t10/N)" (a sine that is minus the one it repeats "with the sign
// changed"), or, for
// the rank rule, a combination of the terms before it; empty when none was left out.
std::string LeftOutTermsMessage(const UnivariateFields& project, const std::vector<int32_t>& leftOut);

// The data as the transforms left them: series with the fitted trend (trendValues, when it has n
// values) added back; the first n values of series when no trend is fitted. n <= series.size().
std::vector<double> TrendFreeData(const UnivariateFields& project);

// Adds a fitted trend back to series and forgets the trend's terms; intercept stays.
void RemoveRegressionTrend(UnivariateFields& project);

// bic and, for a pure autoregression, fpe of the fitted model on the current series. Where a
// criterion is not defined (no free coefficient, numFree >= n, a white-noise variance that is
// not positive and finite, or one not below the series' mean square) it is 0. Returns 1.
int32_t ModelCriteria(UnivariateFields& project);
