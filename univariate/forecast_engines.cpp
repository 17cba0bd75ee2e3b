#include "univariate/forecast_engines.h"

#include "numerics/arar.h"
#include "numerics/holt_winters.h"
#include "numerics/scaled_results.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

bool RangeFits(int first, int last, int nx) { return first >= 1 && first <= last && last <= nx; }

// The forecast vector holds elements 1..last + h.
bool Holds(const std::vector<double>& out, int last, int h)
{
    return static_cast<long long>(out.size()) >= static_cast<long long>(last) + h;
}

// Writes the data over first..last and the h forecasts after them; the vector holds last + h.
void StoreForecasts(std::vector<double>& out, const double* x, int first, int last,
                    const double* F, int h)
{
    for (int i = first; i <= last; ++i) out[i - 1] = x[i - 1];
    for (int k = 1; k <= h; ++k) out[last + k - 1] = F[k - 1];
}

}  // namespace

int ArarEngine(UnivariateProject& project, const double* x, int nx)
{
    const int first = project.ararFirst, last = project.ararLast, h = project.ararCount;
    if (!RangeFits(first, last, nx) || last - first + 1 < kArarMinObservations || h < 1
        || project.ararCriterion < 1 || project.ararCriterion > 3
        || !Holds(project.ararForecasts, last, h))
        return kStatusBadArgument;
    const int n = last - first + 1;
    // The kernels fit a series near the ends of the double range scaled by a power of two, but
    // then refuse its white-noise variance, which leaves the doubles from about 1e154 on. The
    // forecasts need only the filters, which do not depend on the scale, and the mean and root
    // mean squared error, which scale with the series: the engine fits the series so scaled
    // and takes the forecasts and the error back.
    const double scale = RangeScale(x + (first - 1), n);
    std::vector<double> scaled;
    const double* Y = Scaled(x + (first - 1), n, scale, scaled);
    const bool shorten = project.ararOption != 1;

    std::vector<double> psi{1.0};
    if (shorten) {
        const int status = ArarMemoryShortening(Y, n, psi);
        if (status != kStatusDone) return status;
    }
    ArarFitResult fit;
    const int status = ArarSubsetFit(Y, n, psi, project.ararCriterion, fit);
    if (status != kStatusDone) return status;
    std::vector<double> F(h);
    if (const int forecast = ArarForecast(Y, n, fit, h, F.data()); forecast != kStatusDone) return forecast;
    const int k = PowerOfTwoExponent(scale);
    if (!UnscaleValues(F.data(), F.size(), k) || !UnscaleSpread(fit.rootMse, k, 1)) return kStatusOutOfRange;

    if (shorten) {
        project.ararDegree = static_cast<int32_t>(psi.size()) - 1;
        std::copy(psi.begin(), psi.end(), std::begin(project.ararShortening));
    }
    std::copy(std::begin(fit.lags), std::end(fit.lags), std::begin(project.ararLags));
    std::copy(std::begin(fit.coef), std::end(fit.coef), std::begin(project.ararSubsetCoef));
    std::copy(fit.xi.begin(), fit.xi.end(), std::begin(project.ararFilter));
    project.ararRootMse = fit.rootMse;
    StoreForecasts(project.ararForecasts, x, first, last, F.data(), h);
    return kStatusDone;
}

int HoltWintersFit(UnivariateProject& project, const double* x, int nx)
{
    const int d = project.shwPeriod;
    const bool seasonal = d != 0;
    const int first = seasonal ? project.shwFirst : project.hwFirst;
    const int last = seasonal ? project.shwLast : project.hwLast;
    const int h = seasonal ? project.shwCount : project.hwCount;
    std::vector<double>& out = seasonal ? project.shwForecasts : project.hwForecasts;
    if (!RangeFits(first, last, nx) || first == last || h < 1 || (seasonal && d < 2)
        || !Holds(out, last, h))
        return kStatusBadArgument;
    // The first one-step prediction is of value 3, or of value d + 2 after one season.
    const int n = last - first + 1;
    if (n < (seasonal ? d + 2 : 3)) return kStatusBadArgument;

    double constants[3];
    bool optimise;
    if (seasonal) {
        constants[0] = project.shwAlpha;
        constants[1] = project.shwGamma;
        constants[2] = project.shwBeta;
        optimise = project.shwOptimise == 1;
    } else {
        constants[0] = project.hwAlpha;
        constants[1] = project.hwBeta;
        optimise = project.hwOptimise == 1;
    }
    // The kernel smooths the series scaled by a power of two. Its mean squared error may leave
    // the doubles on the scale of the data where the forecasts and the root mean squared error,
    // which scale with the series, still fit: the engine takes those two back itself.
    std::vector<double> F(h);
    double scaledMse = 0.0;
    int k = 0;
    const int status = HoltWintersForecastScaled(seasonal ? kHoltWintersSeasonal : kHoltWintersPlain,
                                                 n, d, h, x + (first - 1), optimise, constants,
                                                 scaledMse, F.data(), k);
    if (status != kStatusDone) return status;
    double rootMse = std::sqrt(scaledMse);
    if (!UnscaleValues(F.data(), F.size(), k) || !UnscaleSpread(rootMse, k, 1)) return kStatusOutOfRange;

    if (seasonal) {
        project.shwAlpha = constants[0];
        project.shwGamma = constants[1];
        project.shwBeta = constants[2];
        project.shwRootMse = rootMse;
    } else {
        project.hwAlpha = constants[0];
        project.hwBeta = constants[1];
        project.hwRootMse = rootMse;
    }
    StoreForecasts(out, x, first, last, F.data(), h);
    return kStatusDone;
}
