#include "numerics/minimiser.h"

#include "numerics/secant_update.h"
#include "platform/fortran_format.h"
#include "platform/standard_output.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace {

std::string* progressCapture = nullptr;

void WriteProgress(std::string_view text)
{
    WriteStandardOutput(text, progressCapture);
}

// The largest of the values seen so far; a NaN sticks, so that tests on the result fail.
void TakeMax(double value, double& largest)
{
    if (std::isnan(largest)) return;
    if (std::isnan(value) || value > largest) largest = value;
}

}  // namespace

void SetMinimiserOutput(std::string* capture)
{
    progressCapture = capture;
}

double RelativePrecision()
{
    return 8e-8;
}

void MinimiserDefaults(int32_t n, double* typsiz, MinimiserSettings& settings)
{
    for (int32_t i = 0; i < n; ++i) typsiz[i] = 1.0;
    settings = MinimiserSettings{};
    settings.fscale = 1.0;
    settings.eps = RelativePrecision();
    settings.ndigit = -1;
    settings.gradtl = std::pow(settings.eps, 0.95);
    settings.central = false;
}

void CheckMinimiserSettings(int32_t n, const double* x, const double* typsiz, double* sx,
                            MinimiserSettings& settings)
{
    double sum = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        sx[i] = 1.0 / typsiz[i];
        sum += (sx[i] * x[i]) * (sx[i] * x[i]);
    }
    settings.stepmx = std::max(1000.0 * std::sqrt(sum), 1000.0);
    if (settings.ndigit < 0) settings.ndigit = static_cast<int32_t>(-std::log10(settings.eps));
}

int32_t MinimiserStopTest(int32_t n, const double* xpls, double fpls, const double* gpls,
                          const double* x, int32_t itncnt, int32_t lineSearchCode,
                          bool maxStepTaken, const double* sx, const MinimiserSettings& settings,
                          int32_t& consecutiveMaxSteps)
{
    if (lineSearchCode == kLineSearchNoPoint) return kStopLineSearch;

    const double fsize = std::max(std::fabs(fpls), settings.fscale);
    double relgrad = 0.0;
    for (int32_t i = 0; i < n; ++i)
        TakeMax(std::fabs(gpls[i]) * std::max(std::fabs(xpls[i]), 1.0 / sx[i]) / fsize, relgrad);
    if (relgrad <= settings.gradtl) return kStopGradient;

    if (itncnt == 0) return 0;

    double relstep = 0.0;
    for (int32_t i = 0; i < n; ++i)
        TakeMax(std::fabs(xpls[i] - x[i]) / std::max(std::fabs(xpls[i]), 1.0 / sx[i]), relstep);
    if (relstep <= settings.steptl) return kStopStep;

    if (itncnt >= settings.itnlim) return kStopIterationLimit;

    if (maxStepTaken) {
        ++consecutiveMaxSteps;
        if (consecutiveMaxSteps >= 5) return kStopMaximumSteps;
    } else {
        consecutiveMaxSteps = 0;
    }
    return 0;
}

void MinimiserDriver(int32_t nr, int32_t n, double* x, const MinimiserObjective& fcn,
                     MinimiserSettings& settings, double* xpls, double& fpls, double* gpls,
                     int32_t& itrmcd, double* a, double* wrk, int32_t& itncnt)
{
    const auto column = [wrk, nr](int k) {
        return wrk + static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(nr);
    };
    double* g = column(2);
    double* p = column(3);
    double* typsiz = column(4);
    double* sx = column(5);
    double* s = column(6);
    double* y = column(7);
    double* u = column(8);
    double* w = column(9);
    double* rhs = column(9);

    itncnt = 0;
    if (n < 1 || nr < n) {
        itrmcd = kStopBadArgument;
        return;
    }
    for (int32_t i = 0; i < n; ++i) p[i] = 0.0;
    int32_t consecutiveMaxSteps = 0;
    int32_t lineSearchCode = -1;
    bool maxStepTaken = false;
    bool firstUpdate = false;
    settings.eps = RelativePrecision();

    CheckMinimiserSettings(n, x, typsiz, sx, settings);
    settings.rnf = std::max(std::pow(10.0, -settings.ndigit), settings.eps);

    double f = 0.0;
    if (!std::all_of(x, x + n, [](double v) { return std::isfinite(v); })) {
        itrmcd = kStopNotFinite;
        return;
    }
    fcn(n, x, f);
    // No step can be measured against a value that is not finite.
    if (!std::isfinite(f)) {
        std::copy(x, x + n, xpls);
        std::fill(gpls, gpls + n, 0.0);
        fpls = f;
        itrmcd = kStopNotFinite;
        return;
    }
    ForwardDifferenceGradient(n, x, fcn, f, g, sx, settings.rnf);

    itrmcd = MinimiserStopTest(n, x, f, g, x, itncnt, lineSearchCode, maxStepTaken, sx, settings,
                               consecutiveMaxSteps);
    const bool stopAtStart = itrmcd != 0;

    if (!stopAtStart) {
        InitialHessianFactor(nr, n, a, sx, 1);
        for (;;) {
            ++itncnt;
            WriteProgress(Formatted("(I3,\\\\)", {itncnt}));

            for (;;) {
                for (int32_t i = 0; i < n; ++i) rhs[i] = -g[i];
                CholeskySolve(nr, n, a, p, rhs);
                LineSearch(n, x, f, g, p, xpls, fpls, fcn, maxStepTaken, lineSearchCode,
                           settings.stepmx, settings.steptl, sx);
                // Forward differences may have misled the direction; retry once with central ones.
                if (lineSearchCode != kLineSearchNoPoint || settings.central) break;
                settings.central = true;
                CentralDifferenceGradient(n, x, fcn, sx, settings.rnf, g);
            }

            for (int32_t i = 0; i < n; ++i) p[i] = xpls[i] - x[i];
            if (settings.central)
                CentralDifferenceGradient(n, xpls, fcn, sx, settings.rnf, gpls);
            else
                ForwardDifferenceGradient(n, xpls, fcn, fpls, gpls, sx, settings.rnf);

            itrmcd = MinimiserStopTest(n, xpls, fpls, gpls, x, itncnt, lineSearchCode,
                                       maxStepTaken, sx, settings, consecutiveMaxSteps);
            if (itrmcd != 0) break;

            SecantUpdateFactor(nr, n, x, g, a, xpls, gpls, settings.eps, itncnt, settings.rnf,
                               settings.central, firstUpdate, s, y, u, w);
            for (int32_t i = 0; i < n; ++i) {
                x[i] = xpls[i];
                g[i] = gpls[i];
            }
            f = fpls;
        }
    }

    if (stopAtStart || itrmcd == kStopLineSearch) {
        for (int32_t i = 0; i < n; ++i) {
            xpls[i] = x[i];
            gpls[i] = g[i];
        }
        fpls = f;
    }
    FiniteDifferenceHessian(nr, n, xpls, fcn, fpls, a, sx, settings.rnf, s, y);
}

void MinimiseObjective(int32_t nr, int32_t n, double* x, double steptl, int32_t itnlim,
                       const MinimiserObjective& fcn, double* xpls, double& fpls, double* gpls,
                       int32_t& itrmcd, double* a, double* wrk, int32_t& itncnt)
{
    if (n < 1 || nr < n) {
        itrmcd = kStopBadArgument;
        itncnt = 0;
        return;
    }
    MinimiserSettings settings;
    MinimiserDefaults(n, wrk + 3 * static_cast<std::size_t>(nr), settings);
    settings.steptl = steptl;
    settings.itnlim = itnlim;
    WriteProgress(Formatted("(2X,'ITERATION',\\\\)", {}));
    MinimiserDriver(nr, n, x, fcn, settings, xpls, fpls, gpls, itrmcd, a, wrk, itncnt);
}
