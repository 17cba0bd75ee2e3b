#pragma once
// Reports of the three residual views of a univariate project: the residual variance, the
// residual autocorrelations and partial autocorrelations, and the histogram's bin count.
#include "shell/report_text.h"
#include "univariate/univariate_project.h"

InfoCalls ResidualsReport(const UnivariateFields& project);
// The autocorrelation sections appear while either curve of the view (bits 8 and 16) is drawn.
InfoCalls ResidualAcfReport(const UnivariateFields& project);
InfoCalls ResidualHistogramReport(const UnivariateFields& project);
