#include "numerics/decomposition.h"

#include "numerics/acf.h"
#include "numerics/one_based.h"
#include "numerics/status.h"

#include <cmath>

int ClassicalDecomposition(std::vector<double>& x, std::vector<double>& s,
                           std::vector<double>& comp, int d)
{
    if (d < 2) return kStatusBadArgument;
    const int n = static_cast<int>(x.size());
    const int h = d / 2;
    // Shorter series leave some season position without a moving-average value, and its count
    // of deviations would be 0.
    if (n < d + 2 * h) return kStatusBadArgument;
    const double frac = std::fabs(d / 2.0 - h);

    std::vector<double> mStore(n, 0.0);
    s.assign(n, 0.0);
    comp.assign(d, 0.0);
    Vec1<double> xv(x.data()), m(mStore.data()), sv(s.data()), cv(comp.data());

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
    SubtractMean(s.data(), d);
    for (int k = 1; k <= d; ++k) cv(k) = sv(k);
    for (int k = d + 1; k <= n; ++k) sv(k) = sv(k - d);
    for (int t = 1; t <= n; ++t) xv(t) -= sv(t);
    return kStatusDone;
}

int HarmonicRegression(std::vector<double>& x, std::vector<double>& fit, std::vector<double>& a,
                       std::vector<double>& b, int k, double& level, const std::vector<int>& f)
{
    const int n = static_cast<int>(x.size());
    if (n < 1 || k < 0 || k > static_cast<int>(f.size())) return kStatusBadArgument;
    const double omega = 6.28318530718 / n;
    a.assign(k, 0.0);
    b.assign(k, 0.0);
    fit.assign(n, 0.0);
    Vec1<double> xv(x.data()), fv(fit.data()), av(a.data()), bv(b.data());
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

    level = SeriesMean(x.data(), n);
    const double scale = 2.0 / n;
    for (int t = 1; t <= n; ++t) {
        double sum = 0.0;
        for (int i = 1; i <= k; ++i) {
            const double arg = fi(i) * omega * t;
            sum += std::cos(arg) * av(i) * scale + std::sin(arg) * bv(i) * scale;
        }
        fv(t) = sum + level;
        xv(t) -= fv(t);
    }
    return kStatusDone;
}

int PolynomialTrend(std::vector<double>& x, std::vector<double>& fit, std::vector<double>& c,
                    int degree)
{
    const int nInt = static_cast<int>(x.size());
    if ((degree != 1 && degree != 2) || degree >= nInt || fit.size() != x.size())
        return kStatusBadArgument;
    const double n = nInt;
    Vec1<double> xv(x.data()), fv(fit.data());

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
        const double trend = (c2 * t + c1) * t + c0;
        xv(ti) -= trend;
        fv(ti) += trend;
    }
    c.assign(3, 0.0);
    c[0] = c0;
    c[1] = c1;
    c[2] = c2;
    return kStatusDone;
}
