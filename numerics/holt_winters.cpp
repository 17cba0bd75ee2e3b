#include "numerics/holt_winters.h"

#include "numerics/one_based.h"
#include "numerics/scaled_results.h"
#include "numerics/series_scaling.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr double kStartStep = 0.02;
constexpr double kStepLimit = 0.008;

struct Work {
    int mode, n, d;
    const double* Y;
    std::vector<double> L, T, S, P;

    double Evaluate(const std::vector<double>& c)
    {
        return HoltWintersRecursion(c.data(), mode, n, d, Y, L.data(), T.data(), S.data(),
                                    P.data());
    }
};

// Exploration about B: each coordinate in turn tries +h then -h from B's value, keeping strict
// improvements of fb.
std::vector<double> Explore(Work& w, const std::vector<double>& B, double step, double& fb)
{
    std::vector<double> E = B;
    for (std::size_t i = 0; i < B.size(); ++i) {
        std::vector<double> X = E;
        X[i] = B[i] + step;
        double f = w.Evaluate(X);
        if (f < fb) {
            fb = f;
            E[i] = X[i];
        }
        X[i] = B[i] - step;
        f = w.Evaluate(X);
        if (f < fb) {
            fb = f;
            E[i] = X[i];
        }
    }
    return E;
}

// Hooke-Jeeves pattern search; B holds the start and receives the result, fb its error.
void PatternSearch(Work& w, std::vector<double>& B, double& fb)
{
    double step = kStartStep;
    fb = w.Evaluate(B);
    std::vector<double> Bs;
    double fs = 0.0;
    bool fresh = true;
    for (;;) {
        const std::vector<double> E = Explore(w, B, step, fb);
        bool patternMove = false;
        if (E != B) {
            patternMove = fresh || fb < fs;
        } else {
            step *= 0.5;
            const bool finished = step < kStepLimit;
            if (fresh) {
                if (finished) return;
                patternMove = true;
            } else if (!finished && fb < fs) {
                patternMove = true;
            } else if (finished) {
                B = Bs;
                fb = fs;
                return;
            }
        }
        if (patternMove) {
            Bs = E;
            fs = fb;
            for (std::size_t i = 0; i < B.size(); ++i) B[i] = 2.0 * E[i] - B[i];
            fb = w.Evaluate(B);
            fresh = false;
        } else {
            B = Bs;
            fb = fs;
            fresh = true;
        }
    }
}

}  // namespace

double HoltWintersRecursion(const double* constants, int mode, int n, int d, const double* Y,
                            double* L, double* T, double* S, double* P)
{
    for (int i = 0; i < mode; ++i)
        if (constants[i] * (1.0 - constants[i]) < -1e-6) return kHoltWintersOutside;
    Vec1<const double> y(Y);
    Vec1<double> l(L), tr(T), s(S), p(P);
    const double alpha = constants[0];
    double sum = 0.0;
    int count = 0;
    if (mode == kHoltWintersPlain) {
        const double beta = constants[1];
        for (int t = 3; t <= n; ++t) {
            p(t) = l(t - 1) + tr(t - 1);
            l(t) = alpha * y(t) + (1.0 - alpha) * (l(t - 1) + tr(t - 1));
            tr(t) = (1.0 - beta) * tr(t - 1) + beta * (l(t) - l(t - 1));
            sum += (p(t) - y(t)) * (p(t) - y(t));
            ++count;
        }
    } else {
        const double gamma = constants[1], beta = constants[2];
        for (int t = d + 2; t <= n; ++t) {
            p(t) = l(t - 1) + tr(t - 1) + s(t - d);
            l(t) = alpha * (y(t) - s(t - d)) + (1.0 - alpha) * (l(t - 1) + tr(t - 1));
            tr(t) = (1.0 - beta) * tr(t - 1) + beta * (l(t) - l(t - 1));
            s(t) = (1.0 - gamma) * s(t - d) + gamma * (y(t) - l(t));
            sum += (p(t) - y(t)) * (p(t) - y(t));
            ++count;
        }
    }
    return count < 1 ? 0.0 : sum / count;
}

int HoltWintersForecastScaled(int mode, int n, int d, int h, const double* Y, bool optimise,
                              double* constants, double& fb, double* F, int& k)
{
    const bool seasonal = mode == kHoltWintersSeasonal;
    if ((mode != kHoltWintersPlain && !seasonal) || h < 0 || n < 3
        || (seasonal && (d < 2 || n < d + 2)))
        return kStatusBadArgument;
    // A start outside [0, 1] would be scored kHoltWintersOutside and leave no state to forecast
    // from.
    for (int i = 0; i < mode; ++i)
        if (!(constants[i] >= 0.0 && constants[i] <= 1.0)) return kStatusBadArgument;
    if (!AllFinite(Y, n)) return kStatusNotFinite;
    // The recursions are linear in Y: the series is smoothed scaled by the power of two 2^k that
    // brings its largest value near 1, so that the search compares finite errors, and errors
    // that the penalty of constants outside [0, 1] always exceeds (errors of values from about
    // 1e15 on once passed below it, and the search left [0, 1]).
    const int exponent = SeriesScaleExponent(Y, n, 1);
    std::vector<double> scaled(Y, Y + n);
    ScaleSeries(scaled.data(), n, 1, exponent);
    Y = scaled.data();

    Work w{mode, n, d, Y, std::vector<double>(n), std::vector<double>(n),
           std::vector<double>(n + h), std::vector<double>(n + h)};
    Vec1<const double> y(Y);
    Vec1<double> l(w.L.data()), tr(w.T.data()), s(w.S.data());
    if (!seasonal) {
        l(2) = y(2);
        tr(2) = y(2) - y(1);
    } else {
        l(d + 1) = y(d + 1);
        tr(d + 1) = (y(d + 1) - y(1)) / d;
        for (int i = 1; i <= d; ++i) s(i) = y(i) - y(1) - (i - 1) * tr(d + 1);
        s(d + 1) = s(1);
    }

    std::vector<double> B(constants, constants + mode);
    double best = 0.0;
    if (optimise) PatternSearch(w, B, best);
    // The last evaluation leaves L, T and S at the final constants' values.
    best = w.Evaluate(B);

    if (seasonal)
        for (int j = 1; j <= h; ++j) s(n + j) = s(n + j - d);
    for (int j = 1; j <= h; ++j) F[j - 1] = l(n) + j * tr(n) + (seasonal ? s(n + j) : 0.0);
    for (int i = 0; i < mode; ++i) constants[i] = B[i];
    fb = best;
    k = exponent;
    return kStatusDone;
}

int HoltWintersForecast(int mode, int n, int d, int h, const double* Y, bool optimise,
                        double* constants, double& mse, double* F)
{
    if ((mode != kHoltWintersPlain && mode != kHoltWintersSeasonal) || h < 0) return kStatusBadArgument;
    std::vector<double> c(constants, constants + mode);
    std::vector<double> forecasts(static_cast<size_t>(h));
    double error = 0.0;
    int k = 0;
    const int status = HoltWintersForecastScaled(mode, n, d, h, Y, optimise, c.data(), error,
                                                 forecasts.data(), k);
    if (status != kStatusDone) return status;
    // An error that overflows, or underflows from a positive value, has no digits left to give.
    if (!UnscaleValues(forecasts.data(), forecasts.size(), k) || !UnscaleSpread(error, k, 2))
        return kStatusOutOfRange;
    std::copy(c.begin(), c.end(), constants);
    mse = error;
    std::copy(forecasts.begin(), forecasts.end(), F);
    return kStatusDone;
}
