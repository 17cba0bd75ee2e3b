#include "numerics/polynomial_roots.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "numerics/status.h"

namespace {

using Complex = std::complex<double>;

constexpr int kMaxDegree = 64;
constexpr int kMaxSweeps = 500;

// The Newton correction p(z)/p'(z), and whether |p(z)| is within the rounding of its own
// evaluation (z is then as good a zero as double arithmetic can tell). Beyond the unit circle the
// polynomial is evaluated as z^n R(1/z), R(y) = c(n) + c(n-1)·y + ... + c(0)·y^n.
struct Newton {
    Complex step;
    bool settled = false;
};

Newton NewtonStep(int n, const double* c, Complex z)
{
    const double eps = std::numeric_limits<double>::epsilon();
    const bool outside = std::abs(z) > 1.0;
    const Complex y = outside ? 1.0 / z : z;
    const double ay = std::abs(y);
    Complex v = 0.0, d = 0.0;
    double bound = 0.0;
    for (int k = 0; k <= n; ++k) {
        const double a = outside ? c[k] : c[n - k];
        d = d * y + v;
        v = v * y + a;
        bound = bound * ay + std::fabs(a);
    }
    Newton r;
    r.settled = std::abs(v) <= 8.0 * (n + 1) * eps * bound;
    if (v == 0.0) return r;
    // Inside: p/p' = v/d. Outside: p(z) = z^n R(y) and p'(z) = z^(n-1)(n R(y) - y R'(y)).
    r.step = outside ? z * v / (static_cast<double>(n) * v - y * d) : v / d;
    return r;
}

// Starting points on circles whose radii come from the upper convex hull of the points
// (k, log|c(k)|), as the Newton polygon gives them (D. A. Bini, Numer. Algorithms 13, 1996):
// a zero count between two hull corners lies near their ratio's root.
std::vector<Complex> StartingPoints(int n, const double* c)
{
    std::vector<int> hull;
    for (int k = 0; k <= n; ++k) {
        if (c[k] == 0.0) continue;
        const double lk = std::log(std::fabs(c[k]));
        while (hull.size() >= 2) {
            const int i = hull[hull.size() - 2], j = hull.back();
            const double li = std::log(std::fabs(c[i])), lj = std::log(std::fabs(c[j]));
            // j lies on or below the line from i to k: not a corner of the upper hull.
            if ((lj - li) * (k - i) <= (lk - li) * (j - i)) hull.pop_back();
            else break;
        }
        hull.push_back(k);
    }
    std::vector<Complex> z;
    const double pi = 3.14159265358979323846;
    for (size_t h = 1; h < hull.size(); ++h) {
        const int i = hull[h - 1], j = hull[h], m = j - i;
        const double radius = std::pow(std::fabs(c[i] / c[j]), 1.0 / m);
        for (int k = 0; k < m; ++k) z.push_back(std::polar(radius, 2.0 * pi * k / m + pi / (2.0 * n) + 0.4 * h));
    }
    return z;
}

}  // namespace

int PolynomialRoots(int n, const double* c, Complex* roots)
{
    if (n < 1 || n > kMaxDegree) return kStatusBadArgument;
    for (int k = 0; k <= n; ++k)
        if (!std::isfinite(c[k])) return kStatusNotFinite;
    if (c[n] == 0.0) return kStatusBadArgument;
    // Zeros at the origin come off first; the rest has c(0) != 0.
    int low = 0;
    while (c[low] == 0.0) ++low;
    const int m = n - low;
    const double* a = c + low;
    std::vector<Complex> z = m > 0 ? StartingPoints(m, a) : std::vector<Complex>();
    std::vector<bool> settled(static_cast<size_t>(m), false);
    int open = m;
    for (int sweep = 0; sweep < kMaxSweeps && open > 0; ++sweep) {
        for (int i = 0; i < m; ++i) {
            if (settled[i]) continue;
            const Newton t = NewtonStep(m, a, z[i]);
            if (t.settled) {
                settled[i] = true;
                --open;
                continue;
            }
            Complex s = 0.0;
            for (int j = 0; j < m; ++j)
                if (j != i) s += 1.0 / (z[i] - z[j]);
            const Complex w = t.step / (1.0 - t.step * s);
            z[i] -= w;
            if (!std::isfinite(z[i].real()) || !std::isfinite(z[i].imag())) return kStatusOutOfRange;
        }
    }
    if (open > 0) return kStatusOutOfRange;
    for (int k = 0; k < low; ++k) roots[k] = 0.0;
    std::copy(z.begin(), z.end(), roots + low);
    return kStatusDone;
}

int ReflectMaRoots(int q, const double* theta, double* twin, double& factor)
{
    if (q < 1 || q > kMaxArmaOrder) return kStatusBadArgument;
    for (int j = 0; j < q; ++j)
        if (!std::isfinite(theta[j])) return kStatusNotFinite;
    int degree = q;
    while (degree > 0 && theta[degree - 1] == 0.0) --degree;
    std::vector<double> c(static_cast<size_t>(degree) + 1);
    c[0] = 1.0;
    std::copy(theta, theta + degree, c.begin() + 1);
    std::vector<Complex> r(static_cast<size_t>(degree));
    if (degree > 0)
        if (const int status = PolynomialRoots(degree, c.data(), r.data()); status != kStatusDone) return status;
    double f = 1.0;
    // theta(z) = prod (1 - z/r), theta(0) = 1: multiplied out with the reflected zeros.
    std::vector<Complex> poly(static_cast<size_t>(degree) + 1, 0.0);
    poly[0] = 1.0;
    for (int k = 0; k < degree; ++k) {
        Complex root = r[k];
        if (std::abs(root) < 1.0) {
            root = 1.0 / std::conj(root);
            f *= std::norm(root);
        }
        for (int j = k + 1; j >= 1; --j) poly[j] -= poly[j - 1] / root;
    }
    // The kept and reflected zeros all lie on or outside the unit circle, so the coefficients are
    // at most 2^26; only the factor can leave the doubles.
    if (!(f > 0.0) || !std::isfinite(f)) return kStatusOutOfRange;
    for (int j = 0; j < q; ++j) twin[j] = j < degree ? poly[j + 1].real() : 0.0;
    factor = f;
    return kStatusDone;
}
