#include "multivariate/whittle_fit.h"

#include "numerics/scaled_results.h"
#include "numerics/series_scaling.h"
#include "numerics/small_matrix.h"
#include "multivariate/var_fit_support.h"
#include "numerics/status.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace {

// ln(2 pi) and 1 + ln(2 pi) to seven digits, as the criterion has always been computed.
constexpr double kLn2Pi = 1.837877;
constexpr double kOnePlusLn2Pi = 2.837877;
constexpr double kPastData = 1e20;

constexpr const char* kDifficultiesAtOrderZero =
    " Numerical difficulties \n\n  <Press any key to start over> \n";
constexpr const char* kDifficulties =
    " Numerical difficulties\n\n  <Press any key to start over>\n";

// The recursion's working state for orders 0..maxOrder on the standardised series.
struct Whittle {
    int n = 0;
    int m = 0;
    int maxOrder = 0;
    std::size_t mm = 0;
    std::vector<double> y;       // n × m, time first
    std::vector<double> sums;    // lagged products of y, lags 0..maxOrder
    std::vector<double> gamma;   // sums / n
    std::vector<double> phi;     // forward set of order l, lag j (j <= l)
    std::vector<double> psi;     // backward sets, likewise
    std::vector<double> logDet;  // L(0..maxOrder)
    std::vector<double> quad;    // Q(0..maxOrder)
    std::vector<double> aicc;    // criterion of each order, standardised scale
    std::vector<double> vf, vb, delta, inverse, window, a, c, M;  // m × m scratch
    std::vector<double> t;                                        // maxOrder+1 of m × m
    std::vector<double> e;                                        // m

    void Allocate(int n_, int m_, int maxOrder_)
    {
        n = n_;
        m = m_;
        maxOrder = maxOrder_;
        mm = static_cast<std::size_t>(m) * m;
        const std::size_t orders = static_cast<std::size_t>(maxOrder) + 1;
        y.resize(static_cast<std::size_t>(n) * m);
        sums.resize(orders * mm);
        gamma.resize(orders * mm);
        const std::size_t sets = static_cast<std::size_t>(maxOrder) * maxOrder * mm;
        phi.assign(sets, 0.0);
        psi.assign(sets, 0.0);
        logDet.assign(orders, 0.0);
        quad.assign(orders, 0.0);
        aicc.assign(orders, 0.0);
        for (std::vector<double>* v : {&vf, &vb, &delta, &inverse, &window, &a, &c, &M})
            v->resize(mm);
        t.resize(orders * mm);
        e.resize(static_cast<std::size_t>(m));
    }
    double* Gamma(int h) { return gamma.data() + static_cast<std::size_t>(h) * mm; }
    double* Phi(int l, int j)
    {
        return phi.data() + (static_cast<std::size_t>(l - 1) * maxOrder + (j - 1)) * mm;
    }
    double* Psi(int l, int j)
    {
        return psi.data() + (static_cast<std::size_t>(l - 1) * maxOrder + (j - 1)) * mm;
    }
    double Y(int t_, int a) const
    {
        return y[static_cast<std::size_t>(t_ - 1) + static_cast<std::size_t>(n) * (a - 1)];
    }
};

// out := A^-1 by Gauss-Jordan elimination on a copy; a zero pivot is left to the determinant
// tests, which cover every forward covariance.
void Invert(const double* A, int m, double* out)
{
    std::copy_n(A, static_cast<std::size_t>(m) * m, out);
    int flag = 0;
    GaussJordanInverse(m - 1, out, flag, m);
}

// x' W x for the time-first error vector e (m values).
double QuadraticForm(const double* W, const std::vector<double>& e, int m)
{
    double q = 0.0;
    for (int b = 0; b < m; ++b)
        for (int a = 0; a < m; ++a) q += e[a] * W[a + m * b] * e[b];
    return q;
}

// C(j, k) = sum over t = l+1..n of y(t-j)·y(t-k)', from the lagged products by removing the
// terms outside the window (l < n, so the window is not empty and the lag k-j is below n).
void WindowProducts(Whittle& w, int l, int j, int k, double* out)
{
    const int m = w.m;
    const bool transpose = j > k;
    if (transpose) std::swap(j, k);
    const int h = k - j;
    std::vector<double>& c = w.window;
    std::copy_n(w.sums.data() + static_cast<std::size_t>(h) * w.mm, w.mm, c.data());
    auto remove = [&](int first, int last) {
        for (int s = first; s <= last; ++s)
            for (int b = 1; b <= m; ++b)
                for (int a = 1; a <= m; ++a) c[(a - 1) + m * (b - 1)] -= w.Y(s + h, a) * w.Y(s, b);
    };
    remove(1, l - k);
    remove(w.n - k + 1, w.n - h);
    for (int b = 0; b < m; ++b)
        for (int a = 0; a < m; ++a) out[a + m * b] = transpose ? c[b + m * a] : c[a + m * b];
}

// S = sum over t = l+1..n of e(t)' W e(t) with e(t) = sum over j = 0..l of A(j) y(t-j),
// A(0) = I and A(j) = -Phi(l, j): S = trace(W·M) with M = sum over j, k of A(j) C(j, k) A(k)',
// formed from lagged products instead of a pass over the errors.
double ErrorSum(Whittle& w, int l, const double* W)
{
    if (l >= w.n) return 0.0;
    const int m = w.m;
    auto A = [&](int j, double* out, double& sign) {
        if (j == 0) {
            for (std::size_t i = 0; i < w.mm; ++i) out[i] = 0.0;
            for (int a = 0; a < m; ++a) out[a + m * a] = 1.0;
            sign = 1.0;
        } else {
            std::copy_n(w.Phi(l, j), w.mm, out);
            sign = -1.0;
        }
    };
    std::vector<double>& a = w.a;
    std::vector<double>& c = w.c;
    for (std::size_t i = 0; i < w.M.size(); ++i) w.M[i] = 0.0;
    for (int k = 0; k <= l; ++k) {
        double* tk = w.t.data() + static_cast<std::size_t>(k) * w.mm;
        for (std::size_t i = 0; i < w.mm; ++i) tk[i] = 0.0;
        for (int j = 0; j <= l; ++j) {
            double sign = 1.0;
            A(j, a.data(), sign);
            WindowProducts(w, l, j, k, c.data());
            AddProduct(m, sign, a.data(), c.data(), false, tk);
        }
        double sign = 1.0;
        A(k, a.data(), sign);
        AddProduct(m, sign, tk, a.data(), true, w.M.data());
    }
    double S = 0.0;
    for (int b = 0; b < m; ++b)
        for (int i = 0; i < m; ++i) S += W[b + m * i] * w.M[i + m * b];
    return S;
}

// Q(l) = e(l+1)' W e(l+1), the term of the first time the order-l model predicts; 0 when that
// time lies past n.
double FirstErrorForm(Whittle& w, int l, const double* W)
{
    if (l + 1 > w.n) return 0.0;
    const int m = w.m;
    std::vector<double>& e = w.e;
    for (int a = 1; a <= m; ++a) e[a - 1] = w.Y(l + 1, a);
    for (int j = 1; j <= l; ++j) {
        const double* ph = w.Phi(l, j);
        for (int b = 1; b <= m; ++b) {
            const double yb = w.Y(l + 1 - j, b);
            for (int a = 1; a <= m; ++a) e[a - 1] -= ph[(a - 1) + m * (b - 1)] * yb;
        }
    }
    return QuadraticForm(W, e, m);
}

// Vf of order l: Gamma(0) - sum over j = 1..l of Phi(l, j) Gamma(j)'.
void ForwardCovariance(Whittle& w, int l, double* vf)
{
    std::copy_n(w.Gamma(0), w.mm, vf);
    for (int j = 1; j <= l; ++j) AddProduct(w.m, -1.0, w.Phi(l, j), w.Gamma(j), true, vf);
}

// One step of the recursion from order l-1 to l; the criterion goes to aicc[l]. Returns
// kStatusDegenerate when det Vf(l) is not positive.
int RecursionStep(Whittle& w, int l)
{
    const int m = w.m;
    const std::size_t mm = w.mm;
    double* vf = w.vf.data();
    double* vb = w.vb.data();
    double* delta = w.delta.data();
    double* inverse = w.inverse.data();

    ForwardCovariance(w, l - 1, vf);
    std::copy_n(w.Gamma(0), mm, vb);
    for (int j = 1; j < l; ++j) AddProduct(m, -1.0, w.Psi(l - 1, j), w.Gamma(j), false, vb);

    std::copy_n(w.Gamma(l), mm, delta);
    for (int j = 1; j < l; ++j) AddProduct(m, -1.0, w.Phi(l - 1, j), w.Gamma(l - j), false, delta);
    Invert(vb, m, inverse);
    double* phiLL = w.Phi(l, l);
    for (std::size_t i = 0; i < mm; ++i) phiLL[i] = 0.0;
    AddProduct(m, 1.0, delta, inverse, false, phiLL);

    for (int b = 0; b < m; ++b)
        for (int a = 0; a < m; ++a) delta[a + m * b] = w.Gamma(l)[b + m * a];
    for (int j = 1; j < l; ++j) AddProduct(m, -1.0, w.Psi(l - 1, j), w.Gamma(l - j), true, delta);
    Invert(vf, m, inverse);
    double* psiLL = w.Psi(l, l);
    for (std::size_t i = 0; i < mm; ++i) psiLL[i] = 0.0;
    AddProduct(m, 1.0, delta, inverse, false, psiLL);

    for (int j = 1; j < l; ++j) {
        std::copy_n(w.Phi(l - 1, j), mm, w.Phi(l, j));
        AddProduct(m, -1.0, phiLL, w.Psi(l - 1, l - j), false, w.Phi(l, j));
        std::copy_n(w.Psi(l - 1, j), mm, w.Psi(l, j));
        AddProduct(m, -1.0, psiLL, w.Phi(l - 1, l - j), false, w.Psi(l, j));
    }

    ForwardCovariance(w, l, vf);
    Invert(vf, m, inverse);
    const double S = ErrorSum(w, l, inverse);
    w.quad[l] = FirstErrorForm(w, l, inverse);
    double D = 0.0;
    const int status = Determinant(vf, m, m, D);
    // A determinant beyond the doubles is as unusable as one that is not positive.
    if (status == kStatusNoMemory) return status;
    if (status != kStatusDone || !(D > 0.0) || !std::isfinite(D)) return kStatusDegenerate;
    w.logDet[l] = std::log(D);

    const double nm = static_cast<double>(static_cast<long long>(w.n) * m);
    double neg2LogLik = (w.n - l) * w.logDet[l] + kLn2Pi * nm + S;
    for (int k = 0; k < l; ++k) neg2LogLik += w.logDet[k] + w.quad[k];
    const double k2 = static_cast<double>(static_cast<long long>(l) * m * m + 2);
    w.aicc[l] =
        VarOrderPastData(l, w.n, m) ? kPastData : neg2LogLik + (2.0 * k2 - 2.0) / (1.0 - k2 / nm);
    return kStatusDone;
}

// Order 0 on the standardised series; returns kStatusDegenerate when det Gamma(0) is not
// positive.
int OrderZero(Whittle& w)
{
    const int m = w.m;
    Invert(w.Gamma(0), m, w.inverse.data());
    std::vector<double>& e = w.e;
    for (int a = 1; a <= m; ++a) e[a - 1] = w.Y(1, a);
    w.quad[0] = QuadraticForm(w.inverse.data(), e, m);
    double D = 0.0;
    const int status = Determinant(w.Gamma(0), m, m, D);
    // A determinant beyond the doubles is as unusable as one that is not positive.
    if (status == kStatusNoMemory) return status;
    if (status != kStatusDone || !(D > 0.0) || !std::isfinite(D)) return kStatusDegenerate;
    w.logDet[0] = std::log(D);
    const double nm = static_cast<double>(static_cast<long long>(w.n) * m);
    w.aicc[0] = w.n * w.logDet[0] + 2.0 / (1.0 - 2.0 / nm) + kOnePlusLn2Pi * nm;
    return kStatusDone;
}

int Fit(const double* X, int n, int m, double* PHI, double* V, int& p, double& AICC, double* E)
{
    const bool search = p == -1;
    const int maxOrder = search ? VarSearchBound(n, m) : (p < 0 ? 0 : p);
    const std::size_t mm = static_cast<std::size_t>(m) * m;

    // The scales are taken of the series multiplied by 2^k to unit size, so that its sums of
    // squares neither overflow nor vanish whatever the scale of the data. The standardised
    // series, and so the recursion, are those of the data exactly; the covariance and the
    // criterion are taken back at the end.
    const int k = SeriesScaleExponent(X, n, m);
    std::vector<double> scaled(X, X + static_cast<std::size_t>(n) * m);
    ScaleSeries(scaled.data(), n, m, k);
    std::vector<double> var(static_cast<std::size_t>(m)), s(static_cast<std::size_t>(m));
    SeriesScales(scaled.data(), n, m, var.data(), s.data());
    for (int a = 0; a < m; ++a)
        if (!(s[a] > 0.0) || !std::isfinite(var[a])) {
            WriteVarDiagnostic(kDifficultiesAtOrderZero);
            return kStatusDegenerate;
        }

    Whittle w;
    w.Allocate(n, m, maxOrder);
    TimeFirstCopy(scaled.data(), n, m, s.data(), w.y.data());
    LaggedProducts(w.y.data(), n, m, maxOrder, w.sums.data());
    for (std::size_t i = 0; i < w.gamma.size(); ++i) w.gamma[i] = w.sums[i] / n;

    int status = OrderZero(w);
    if (status != kStatusDone) {
        if (status == kStatusDegenerate) WriteVarDiagnostic(kDifficultiesAtOrderZero);
        return status;
    }
    int P = 0;
    double best = w.aicc[0];
    for (int l = 1; l <= maxOrder; ++l) {
        status = RecursionStep(w, l);
        if (status != kStatusDone) {
            if (status == kStatusDegenerate) WriteVarDiagnostic(kDifficulties);
            return status;
        }
        if (w.aicc[l] < best) {
            best = w.aicc[l];
            P = l;
        }
    }
    // A given order is fitted whatever the criteria of the lower orders; the search's second
    // pass over orders 0..P would reproduce the first, so its values are taken as they stand.
    if (!search) P = maxOrder;

    std::vector<double> vf(mm), phi(static_cast<std::size_t>(P) * mm);
    ForwardCovariance(w, P, vf.data());
    for (int a = 0; a < m; ++a)
        for (int b = 0; b < m; ++b) vf[a + m * b] = vf[a + m * b] * s[a] * s[b];
    for (int k = 1; k <= P; ++k)
        for (int b = 0; b < m; ++b)
            for (int a = 0; a < m; ++a)
                phi[(k - 1) * mm + a + m * b] = w.Phi(P, k)[a + m * b] * s[a] / s[b];
    double aicc = w.aicc[P];
    for (int a = 0; a < m; ++a) aicc += n * (std::log(var[a]) - 2.0 * k * std::log(2.0));

    // The errors on the scale of the data, in the storage of the standardised copy.
    std::vector<double>& e = w.y;
    const std::size_t ms = static_cast<std::size_t>(m);
    for (int t = 1; t <= n; ++t) {
        double* et = e.data() + (t - 1) * ms;
        const double* xt = X + (t - 1) * ms;
        if (t <= P) {
            for (int a = 0; a < m; ++a) et[a] = 0.0;
            continue;
        }
        for (int a = 0; a < m; ++a) et[a] = xt[a];
        for (int k = 1; k <= P; ++k) {
            const double* xlag = X + (t - 1 - k) * ms;
            const double* ph = phi.data() + (k - 1) * mm;
            for (int b = 0; b < m; ++b)
                for (int a = 0; a < m; ++a) et[a] -= ph[a + m * b] * xlag[b];
        }
    }
    if (!std::isfinite(aicc) || !AllFinite(vf.data(), mm) || !AllFinite(phi.data(), phi.size()))
        return kStatusDegenerate;
    // A covariance beyond the doubles, or errors of values near their end that overflow.
    if (!UnscaleCovariance(m, k, vf.data()) || !AllFinite(e.data(), e.size())) return kStatusOutOfRange;

    StoreCoefficients(m, P, phi.data(), PHI);
    std::copy_n(vf.data(), mm, V);
    std::copy_n(e.data(), e.size(), E);
    AICC = aicc;
    p = P;
    return kStatusDone;
}

}  // namespace

int WhittleMvarFit(const double* X, int n, int m, double* PHI, double* V, int& p, double& AICC,
                   double* E)
{
    // Every negative order other than -1 fits order 0.
    if (!VarArgumentsValid(X, n, m, p, std::numeric_limits<int>::min())) return kStatusBadArgument;
    return NoMemoryAsStatus([&] { return Fit(X, n, m, PHI, V, p, AICC, E); });
}
