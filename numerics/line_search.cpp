#include "numerics/line_search.h"

#include "numerics/secant_update.h"
#include "platform/blas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int32_t kSearching = 2;

inline double ScaledMagnitude(double xi, double sxi)
{
    return std::max(std::fabs(xi), 1.0 / sxi);
}

}  // namespace

void LineSearch(int32_t n, const double* x, double f, const double* g, double* p, double* xpls,
                double& fpls, const MinimiserObjective& fcn, bool& maxStepTaken, int32_t& code,
                double stepmx, double steptl, const double* sx)
{
    maxStepTaken = false;
    code = kSearching;

    double sum = 0.0;
    for (int32_t i = 0; i < n; ++i) sum += (sx[i] * p[i]) * (sx[i] * p[i]);
    double sln = std::sqrt(sum);
    if (sln > stepmx) {
        ScaleVector(n, stepmx / sln, p, p);
        sln = stepmx;
    }

    const int len = n, one = 1;
    const double slp = ddot_(&len, g, &one, p, &one);

    // A NaN in p must reach lambdaMin, so the maximum propagates it.
    double rln = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        const double r = std::fabs(p[i]) / ScaledMagnitude(x[i], sx[i]);
        if (std::isnan(r) || r > rln) rln = r;
        if (std::isnan(rln)) break;
    }
    const double lambdaMin = steptl / rln;

    double lambda = 1.0;
    double lambdaPrev = 0.0;
    double fPrev = 0.0;
    while (code == kSearching) {
        for (int32_t i = 0; i < n; ++i) xpls[i] = x[i] + lambda * p[i];
        fcn(n, xpls, fpls);

        if (fpls <= f + 1e-4 * lambda * slp) {
            code = kLineSearchFound;
            if (lambda == 1.0 && sln > 0.99 * stepmx) maxStepTaken = true;
            break;
        }
        // Written so that a NaN lambdaMin, or a step that has shrunk to nothing, ends the search.
        if (!(lambda >= lambdaMin) || !(lambda > 0.0)) {
            code = kLineSearchNoPoint;
            break;
        }

        double lambdaTrial;
        if (!std::isfinite(fpls)) {
            lambdaTrial = 0.1 * lambda;
        } else if (lambda == 1.0) {
            // Minimum of the quadratic through f, slp and fpls.
            lambdaTrial = -slp / (2.0 * (fpls - f - slp));
        } else {
            // Minimum of the cubic through f, slp and the last two trials.
            const double t1 = fpls - f - lambda * slp;
            const double t2 = fPrev - f - lambdaPrev * slp;
            const double t3 = 1.0 / (lambda - lambdaPrev);
            const double ca = t3 * (t1 / (lambda * lambda) - t2 / (lambdaPrev * lambdaPrev));
            const double cb =
                t3 * (t2 * lambda / (lambdaPrev * lambdaPrev) - t1 * lambdaPrev / (lambda * lambda));
            const double disc = cb * cb - 3.0 * ca * slp;
            const double signCa = ca >= 0.0 ? 1.0 : -1.0;
            if (disc > cb * cb)
                lambdaTrial = (-cb + signCa * std::sqrt(disc)) / (3.0 * ca);
            else
                lambdaTrial = (-cb - signCa * std::sqrt(disc)) / (3.0 * ca);
            // std::min keeps its first argument when that is NaN; the test below catches it.
            lambdaTrial = std::min(lambdaTrial, 0.5 * lambda);
        }
        // A zero leading coefficient or a negative discriminant gives no usable minimum.
        if (!std::isfinite(lambdaTrial)) lambdaTrial = 0.1 * lambda;

        lambdaPrev = lambda;
        fPrev = fpls;
        lambda = std::max(lambdaTrial, 0.1 * lambda);
    }
}

void ForwardDifferenceGradient(int32_t n, double* x, const MinimiserObjective& fcn, double f,
                               double* g, const double* sx, double rnf)
{
    const double relStep = std::sqrt(rnf);
    for (int32_t i = 0; i < n; ++i) {
        const double h = relStep * ScaledMagnitude(x[i], sx[i]);
        const double saved = x[i];
        x[i] = saved + h;
        double fhat = 0.0;
        fcn(n, x, fhat);
        x[i] = saved;
        g[i] = (fhat - f) / h;
    }
}

void CentralDifferenceGradient(int32_t n, double* x, const MinimiserObjective& fcn,
                               const double* sx, double rnf, double* g)
{
    const double relStep = std::cbrt(rnf);
    for (int32_t i = 0; i < n; ++i) {
        const double h = relStep * ScaledMagnitude(x[i], sx[i]);
        const double saved = x[i];
        double fplus = 0.0, fminus = 0.0;
        x[i] = saved + h;
        fcn(n, x, fplus);
        x[i] = saved - h;
        fcn(n, x, fminus);
        x[i] = saved;
        g[i] = (fplus - fminus) / (2.0 * h);
    }
}

void FiniteDifferenceHessian(int32_t nr, int32_t n, double* x, const MinimiserObjective& fcn,
                             double f, double* a, const double* sx, double rnf, double* stepSize,
                             double* fStep)
{
    const auto at = [nr](int32_t i, int32_t j) {
        return static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * static_cast<std::size_t>(nr);
    };
    const double relStep = std::cbrt(rnf);
    for (int32_t i = 0; i < n; ++i) {
        stepSize[i] = relStep * ScaledMagnitude(x[i], sx[i]);
        const double saved = x[i];
        x[i] = saved + stepSize[i];
        fcn(n, x, fStep[i]);
        x[i] = saved;
    }
    for (int32_t i = 0; i < n; ++i) {
        const double savedI = x[i];
        const double hi = stepSize[i];
        double fhat = 0.0;
        x[i] = savedI + 2.0 * hi;
        fcn(n, x, fhat);
        a[at(i, i)] = ((f - fStep[i]) + (fhat - fStep[i])) / (hi * hi);

        x[i] = savedI + hi;
        for (int32_t j = i + 1; j < n; ++j) {
            const double savedJ = x[j];
            x[j] = savedJ + stepSize[j];
            fcn(n, x, fhat);
            a[at(j, i)] = ((f - fStep[i]) + (fhat - fStep[j])) / (hi * stepSize[j]);
            x[j] = savedJ;
        }
        x[i] = savedI;
    }
}
