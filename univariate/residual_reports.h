#pragma once
// Reports of the three residual views of a univariate project (the residual variance, the
// residual autocorrelations and partial autocorrelations, and the histogram's bin count) and the
// tests of randomness on the residuals. Without residuals (the model could not be evaluated)
// each says so instead of showing numbers.
#include "shell/report_text.h"
#include "univariate/univariate_project.h"

InfoCalls ResidualsReport(const UnivariateFields& project);
// The autocorrelation sections appear while either curve of the view (bits 8 and 16) is drawn.
InfoCalls ResidualAcfReport(const UnivariateFields& project);
// The bin count the residual histogram was last drawn with (residualHistogramBins).
InfoCalls ResidualHistogramReport(const UnivariateFields& project);
// The tests of randomness on the residuals with lag h: the Ljung-Box statistic with h - k
// degrees of freedom (k = numFree), the McLeod-Li statistic with h, the turning-point,
// difference-sign and rank counts with their asymptotic means and standard deviations, and the
// order of the minimum-AICC Yule-Walker autoregression. Unless n >= 3 and k < h < n the report
// says that the tests are not available.
InfoCalls TestsOfRandomnessReport(const UnivariateFields& project, int32_t h);
