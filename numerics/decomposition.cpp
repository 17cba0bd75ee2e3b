#include "numerics/decomposition.h"

#include "numerics/acf.h"
#include "numerics/one_based.h"
#include "numerics/scaled_results.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <cmath>
#include <initializer_list>

namespace {

// Takes each vector back from the power of two `scale` the work was scaled by; false when a
// value is not finite afterwards.
bool Unscaled(double scale, std::initializer_list<std::vector<double>*> vectors)
{
    const int k = PowerOfTwoExponent(scale);
    for (std::vector<double>* v : vectors)
        if (!UnscaleValues(v->data(), v->size(), k)) return false;
    return true;
}

}  // namespace

int ClassicalDecomposition(std::vector<double>& x, std::vector<double>& s,
                           std::vector<double>& comp, int d)
{
    if (d < 2) return kStatusBadArgument;
    const int n = static_cast<int>(x.size());
    const int h = d / 2;
    // Shorter series leave some season position without a moving-average value, and its count
    // of deviations would be 0.
    if (n < d + 2 * h) return kStatusBadArgument;
    if (!AllFinite(x.data(), n)) return kStatusNotFinite;
    const double frac = std::fabs(d / 2.0 - h);

    // Worked on a copy, scaled into a safe range when the values are extreme; the series and
    // the outputs change only once every result is known to be finite.
    const double scale = RangeScale(x.data(), n);
    std::vector<double> xs(x), mStore(n, 0.0), sNew(n, 0.0), compNew(d, 0.0);
    for (double& v : xs) v *= scale;
    Vec1<double> xv(xs.data()), m(mStore.data()), sv(sNew.data()), cv(compNew.data());

    for (int t = h + 1; t <= n - h; ++t) {
        double sum = xv(t);
        for (int j = 1; j <= h; ++j) sum += xv(t + j) + xv(t - j);
        if (frac <= 0.01) sum += -0.5 * (xv(t + h) + xv(t - h));
        m(t) = sum / d;
    }

    for (int k = h + 1; k <= h + d; ++k) {
        const int cnt = (n - k - h) / d + 1;
        double sum = 0.0;
        for (int j = 0; j <= cnt - 1; ++j) sum += xv(k + j * d) - m(k + j * d);
        sv(k) = sum / cnt;
    }
    for (int k = 1; k <= h; ++k) sv(k) = sv(k + d);
    SubtractMean(sNew.data(), d);
    for (int k = 1; k <= d; ++k) cv(k) = sv(k);
    for (int k = d + 1; k <= n; ++k) sv(k) = sv(k - d);
    for (int t = 1; t <= n; ++t) xv(t) -= sv(t);
    if (!Unscaled(scale, {&xs, &sNew, &compNew})) return kStatusOutOfRange;
    x.swap(xs);
    s.swap(sNew);
    comp.swap(compNew);
    return kStatusDone;
}

int HarmonicRegression(std::vector<double>& x, std::vector<double>& fit, std::vector<double>& a,
                       std::vector<double>& b, int k, double& level, const std::vector<int>& f)
{
    const int n = static_cast<int>(x.size());
    if (n < 1 || k < 0 || k > static_cast<int>(f.size())) return kStatusBadArgument;
    if (!AllFinite(x.data(), n)) return kStatusNotFinite;
    const double omega = 6.28318530718 / n;
    const double scale = RangeScale(x.data(), n);
    std::vector<double> xs(x), aNew(k, 0.0), bNew(k, 0.0), fitNew(n, 0.0);
    for (double& v : xs) v *= scale;
    Vec1<double> xv(xs.data()), fv(fitNew.data()), av(aNew.data()), bv(bNew.data());
    Vec1<const int> fi(f.data());

    for (int i = 1; i <= k; ++i) {
        double sumCos = 0.0, sumSin = 0.0;
        for (int t = 1; t <= n; ++t) {
            // The integer product is formed in 64 bits: f(i)·t can pass 2^31 for long series.
            const double arg = static_cast<double>(static_cast<long long>(fi(i)) * t) * omega;
            sumCos += std::cos(arg) * xv(t);
            sumSin += std::sin(arg) * xv(t);
        }
        av(i) = sumCos;
        bv(i) = sumSin;
    }

    std::vector<double> levelNew(1, SeriesMean(xs.data(), n));
    const double factor = 2.0 / n;
    for (int t = 1; t <= n; ++t) {
        double sum = 0.0;
        for (int i = 1; i <= k; ++i) {
            const double arg = fi(i) * omega * t;
            sum += std::cos(arg) * av(i) * factor + std::sin(arg) * bv(i) * factor;
        }
        fv(t) = sum + levelNew[0];
        xv(t) -= fv(t);
    }
    if (!Unscaled(scale, {&xs, &fitNew, &aNew, &bNew, &levelNew})) return kStatusOutOfRange;
    x.swap(xs);
    fit.swap(fitNew);
    a.swap(aNew);
    b.swap(bNew);
    level = levelNew[0];
    return kStatusDone;
}

int PolynomialTrend(std::vector<double>& x, std::vector<double>& fit, std::vector<double>& c,
                    int degree)
{
    const int nInt = static_cast<int>(x.size());
    if ((degree != 1 && degree != 2) || degree >= nInt || fit.size() != x.size())
        return kStatusBadArgument;
    if (!AllFinite(x.data(), nInt) || !AllFinite(fit.data(), nInt)) return kStatusNotFinite;
    const double n = nInt;
    const double scale = RangeScale(x.data(), nInt);
    std::vector<double> xs(x), trendNew(nInt);
    for (double& v : xs) v *= scale;
    Vec1<double> xv(xs.data()), tv(trendNew.data());

    double S0 = 0.0, S1 = 0.0, S2 = 0.0;
    for (int ti = 1; ti <= nInt; ++ti) {
        const double t = ti;
        S0 += xv(ti);
        S1 += t * xv(ti);
        S2 += t * t * xv(ti);
    }

    double c0, c1, c2;
    if (degree == 1) {
        c2 = 0.0;
        c1 = 12.0 * (S1 - S0 * (n + 1.0) / 2.0) / ((n * n - 1.0) * n);
        c0 = S0 / n - c1 * (n + 1.0) / 2.0;
    } else {
        c2 = 30.0 * (6.0 * S2 + ((n + 2.0) * S0 - 6.0 * S1) * (n + 1.0)) /
             ((n * n - 4.0) * n * (n * n - 1.0));
        c1 = 12.0 * (S1 - S0 * (n + 1.0) / 2.0) / (n * (n * n - 1.0)) - c2 * (n + 1.0);
        c0 = S0 / n + (n + 1.0) * (-(2.0 * n + 1.0) * c2 / 6.0 - c1 / 2.0);
    }

    for (int ti = 1; ti <= nInt; ++ti) {
        const double t = ti;
        tv(ti) = (c2 * t + c1) * t + c0;
        xv(ti) -= tv(ti);
    }
    std::vector<double> cNew = {c0, c1, c2}, fitNew(fit);
    if (!Unscaled(scale, {&xs, &trendNew, &cNew})) return kStatusOutOfRange;
    for (int i = 0; i < nInt; ++i) fitNew[i] += trendNew[i];
    if (!AllFinite(fitNew.data(), nInt)) return kStatusOutOfRange;
    x.swap(xs);
    fit.swap(fitNew);
    c.swap(cNew);
    return kStatusDone;
}
