#include "numerics/arma_acvf.h"

#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace {

// Square table with rows and columns 0..n, for the step-down coefficients a(k, j) and the
// moving-average stage tables b and e.
class Table {
public:
    explicit Table(int n) : n_(n + 1), v_(static_cast<size_t>(n_) * n_, 0.0) {}
    double& operator()(int i, int j) { return v_[static_cast<size_t>(i) * n_ + j]; }

private:
    int n_;
    std::vector<double> v_;
};

bool OrderInRange(int k) { return k >= 0 && k <= kMaxArmaOrder; }

// |x| < 1, false for NaN so that a broken coefficient never passes as causal.
bool InsideUnit(double x) { return std::fabs(x) < 1.0; }

// Step down from order top to order 0 on row top of a (Levinson recursion run backwards):
// a(k-1, j) = (a(k, j) + a(k,k)·a(k, k-j)) / d(k). Fails as soon as a partial autocorrelation
// a(k,k) leaves the open unit interval. When g is given, g(k-1) = g(k)/d(k) carries the one-step
// variances down.
bool StepDown(Table& a, std::vector<double>& d, int top, std::vector<double>* g)
{
    if (!InsideUnit(a(top, top))) return false;
    for (int k = top; k >= 1; --k) {
        d[k] = 1.0 - a(k, k) * a(k, k);
        for (int j = 1; j <= k - 1; ++j) a(k - 1, j) = (a(k, j) + a(k, k) * a(k, k - j)) / d[k];
        if (k > 1 && !InsideUnit(a(k - 1, k - 1))) return false;
        if (g) (*g)[k - 1] = (*g)[k] / d[k];
    }
    return true;
}

}  // namespace

void ArmaAcvf(int nlag, int mode, double* acvf, int& status, double sigma2, const double* coef,
              int p, int q)
{
    if (!OrderInRange(p) || !OrderInRange(q)) {
        status = kStatusBadArgument;
        return;
    }
    if (!AllFinite(coef, p + q) || !std::isfinite(sigma2)) {
        status = kStatusNotFinite;
        return;
    }
    // The autocovariances written: gamma(0..max(nlag, p, q)).
    const int written = std::max({nlag, p, q}) + 1;
    Vec1<const double> c(coef);
    Vec1<double> out(acvf);
    const int M = std::max(p, q);
    Table a(M);
    std::vector<double> d(M + 1, 1.0), g(M + 1, 0.0);

    if (mode == kArmaAcvfTestInvertible) {
        if (q >= 1) {
            for (int j = 1; j <= q; ++j) a(q, j) = -c(p + j);
            if (!StepDown(a, d, q, nullptr)) {
                status = kStatusNotCausal;
                return;
            }
        }
        status = kStatusDone;
        return;
    }

    if (p >= 1) {
        g[p] = sigma2;
        for (int j = 1; j <= p; ++j) a(p, j) = c(j);
        if (!StepDown(a, d, p, &g)) {
            status = kStatusNotCausal;
            return;
        }
    }
    // Orders above p continue the autoregression with zero partial autocorrelations.
    for (int k = p + 1; k <= q; ++k) {
        d[k] = 1.0;
        for (int j = 1; j <= k; ++j) a(k, j) = (j <= p) ? c(j) : 0.0;
    }
    if (mode == kArmaAcvfTestCausal && q >= 1) {
        status = kStatusDone;
        return;
    }

    if (q == 0) {
        if (p == 0) {
            out(1) = sigma2;
            for (int h = 1; h <= nlag; ++h) out(h + 1) = 0.0;
            status = kStatusDone;
            return;
        }
        out(1) = g[0];
        out(2) = a(1, 1) * g[0];
        for (int h = 2; h <= p; ++h) {
            double sum = a(h, h) * g[h - 1];
            for (int j = 1; j <= h - 1; ++j) sum += a(h - 1, j) * out(h + 1 - j);
            out(h + 1) = sum;
        }
        for (int h = p + 1; h <= nlag; ++h) {
            double sum = 0.0;
            for (int j = 1; j <= p; ++j) sum += c(j) * out(h + 1 - j);
            out(h + 1) = sum;
        }
        status = AllFinite(acvf, written) ? kStatusDone : kStatusOutOfRange;
        return;
    }

    // Unit-variance MA autocovariances c(0..q); q is in range, so this cannot fail.
    std::vector<double> maStore(q + 1);
    (void)MaAcvf(q + 1, q, coef + p, maStore.data(), 1.0);
    Vec1<double> cma(maStore.data());  // cma(i+1) = c(i)

    Table b(M);
    for (int i = 1; i <= q; ++i) b(q, i) = cma(i + 1);
    for (int r = q + 1; r <= p; ++r) b(r, r) = 0.0;
    for (int k = q; k >= 2; --k)
        for (int i = 1; i <= k - 1; ++i) b(k - 1, i) = b(k, i) + a(k - 1, k - i) * b(k, k);

    Table e(M + 1);
    e(1, 1) = cma(1) / 2.0;
    for (int r = 1; r <= M; ++r) e(r, r + 1) = b(r, r);
    for (int s = 2; s <= M + 1; ++s) {
        const int k = s - 1;
        for (int t = 1; t <= s; ++t) e(s, t) = (e(k, t) + a(k, k) * e(k, s + 1 - t)) / d[k];
    }

    out(1) = e(M + 1, 1);
    for (int h = 1; h <= M; ++h) {
        double sum = 0.0;
        for (int j = 1; j <= std::min(h, p); ++j) sum += c(j) * out(h + 1 - j);
        out(h + 1) = sum + e(M + 1, h + 1);
    }
    out(1) = 2.0 * sigma2 * out(1);
    for (int h = 1; h <= M; ++h) out(h + 1) *= sigma2;
    for (int h = M + 1; h <= nlag; ++h) {
        double sum = 0.0;
        for (int j = 1; j <= p; ++j) sum += c(j) * out(h + 1 - j);
        out(h + 1) = sum;
    }
    // A model close to a unit root, or a large variance, can carry the values past any double.
    status = AllFinite(acvf, written) ? kStatusDone : kStatusOutOfRange;
}

int MaAcvf(int nout, int q, const double* theta, double* out, double sigma2)
{
    if (!OrderInRange(q)) return kStatusBadArgument;
    if (!AllFinite(theta, q) || !std::isfinite(sigma2)) return kStatusNotFinite;
    std::vector<double> t(q + 1);  // t[j] = theta(j), theta(0) = 1
    t[0] = 1.0;
    for (int j = 1; j <= q; ++j) t[j] = theta[j - 1];
    Vec1<double> o(out);
    for (int h = 0; h <= q; ++h) {
        double sum = 0.0;
        for (int j = 0; j <= q - h; ++j) sum += t[j] * t[j + h];
        o(h + 1) = sigma2 * sum;
    }
    for (int k = q + 2; k <= nout; ++k) o(k) = 0.0;
    return AllFinite(out, static_cast<long>(q) + 1) ? kStatusDone : kStatusOutOfRange;
}

bool MaZeroOnUnitCircle(int q, const double* theta)
{
    if (q < 1 || q > kMaxArmaOrder || !AllFinite(theta, q)) return false;
    double size = 1.0;
    for (int j = 0; j < q; ++j) size += std::fabs(theta[j]);
    const double tolerance = 1e-6 * size;
    // |theta(e^(iw))| by Horner's rule; real coefficients make it even in w.
    const auto modulus = [&](double w) {
        const std::complex<double> z = std::polar(1.0, w);
        std::complex<double> sum = theta[q - 1];
        for (int j = q - 2; j >= 0; --j) sum = sum * z + theta[j];
        return std::abs(sum * z + 1.0);
    };
    const double pi = 3.14159265358979323846;
    const int M = 64 * (q + 1);
    std::vector<double> grid(static_cast<size_t>(M) + 1);
    for (int k = 0; k <= M; ++k) grid[k] = modulus(pi * k / M);
    for (int k = 0; k <= M; ++k) {
        if ((k > 0 && grid[k] > grid[k - 1]) || (k < M && grid[k] > grid[k + 1])) continue;
        if (grid[k] <= tolerance) return true;
        // Golden-section search over the neighbouring grid points; the value keeps falling until
        // rounding, near a zero on the circle, stops it.
        const double ratio = 0.6180339887498949;
        double a = pi * std::max(k - 1, 0) / M, b = pi * std::min(k + 1, M) / M;
        double c = b - ratio * (b - a), d = a + ratio * (b - a);
        double fc = modulus(c), fd = modulus(d);
        for (int i = 0; i < 80 && b - a > 1e-16; ++i) {
            if (fc <= fd) {
                b = d, d = c, fd = fc;
                c = b - ratio * (b - a);
                fc = modulus(c);
            } else {
                a = c, c = d, fc = fd;
                d = a + ratio * (b - a);
                fd = modulus(d);
            }
            if (std::min(fc, fd) <= tolerance) return true;
        }
    }
    return false;
}

int PsiWeights(int p, int q, const double* coef, int L, double* psi)
{
    if (!OrderInRange(p) || !OrderInRange(q) || L < 0) return kStatusBadArgument;
    if (!AllFinite(coef, p + q)) return kStatusNotFinite;
    const int M = std::max(p, q);
    std::vector<double> phi(M + 1, 0.0), theta(M + 1, 0.0);
    phi[0] = theta[0] = 1.0;
    for (int j = 1; j <= p; ++j) phi[j] = coef[j - 1];
    for (int j = 1; j <= q; ++j) theta[j] = coef[p + j - 1];

    Vec1<double> w(psi);  // w(j+1) = psi(j)
    w(1) = 1.0;
    for (int j = 1; j <= std::min(M, L); ++j) {
        double sum = theta[j];
        for (int k = 1; k <= j; ++k) sum += phi[k] * w(j - k + 1);
        w(j + 1) = sum;
    }
    for (int j = M + 1; j <= L; ++j) {
        double sum = 0.0;
        for (int k = 1; k <= p; ++k) sum += phi[k] * w(j - k + 1);
        w(j + 1) = sum;
    }
    // The weights of a model that is not causal grow without bound.
    return AllFinite(psi, static_cast<long>(L) + 1) ? kStatusDone : kStatusOutOfRange;
}

int ArmaStateCovariance(const double* acvf, int p, int q, const double* coef, double* K)
{
    if (!OrderInRange(p) || !OrderInRange(q)) return kStatusBadArgument;
    const int m = std::max(p, q);
    if (!AllFinite(coef, p + q) || !AllFinite(acvf, static_cast<long>(m) + 1)) return kStatusNotFinite;
    Vec1<const double> gamma(acvf);  // gamma(h+1) = gamma(h)
    Mat1<double> k(K);
    std::vector<double> theta(q + 1);  // theta(0) = 1
    theta[0] = 1.0;
    for (int j = 1; j <= q; ++j) theta[j] = coef[p + j - 1];

    if (p == 0) {
        const int N = 2 * q + 1;
        for (int j = 1; j <= N; ++j)
            for (int i = j; i <= N; ++i) k(i, j) = (i - j <= q) ? gamma(i - j + 1) : 0.0;
        return kStatusDone;
    }

    const int N = 2 * m;
    for (int j = 1; j <= m; ++j)
        for (int i = j; i <= m; ++i) k(i, j) = gamma(i - j + 1);
    if (q == 0) {
        for (int i = m + 1; i <= N; ++i) {
            for (int j = 1; j < i; ++j) k(i, j) = 0.0;
            k(i, i) = 1.0;
        }
        return kStatusDone;
    }

    std::vector<double> psi(q + 1);
    if (const int status = PsiWeights(p, q, coef, q, psi.data()); status != kStatusDone) return status;
    for (int i = m + 1; i <= N; ++i) {
        for (int j = 1; j <= i; ++j) {
            const int h = i - j;
            double sum = 0.0;
            if (h <= q) {
                // Columns up to m pair W(i) with X(j); the later ones pair W(i) with W(j).
                for (int r = 0; r <= q - h; ++r)
                    sum += (j <= m) ? theta[h + r] * psi[r] : theta[r] * theta[r + h];
            }
            k(i, j) = sum;
        }
    }
    for (int j = 1; j <= N; ++j)
        if (!AllFinite(&k(j, j), N - j + 1)) return kStatusOutOfRange;
    return kStatusDone;
}
