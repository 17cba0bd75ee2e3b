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

// Error-free transformations: a + b = s + e and a·b = p + e exactly (Knuth's two-sum; Dekker's
// product with Veltkamp's split, which needs no fused multiply-add: a library fma can be computed
// in extended precision and rounded twice, which spoils the error term). Where the split
// overflows (|a| or |b| beyond 1e300) the error term is dropped.
void TwoSum(double a, double b, double& s, double& e)
{
    s = a + b;
    const double bb = s - a;
    e = (a - (s - bb)) + (b - bb);
}

void Split(double a, double& high, double& low)
{
    const double c = 134217729.0 * a;  // 2^27 + 1
    high = c - (c - a);
    low = a - high;
}

void TwoProduct(double a, double b, double& p, double& e)
{
    p = a * b;
    double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    if (!std::isfinite(e)) e = 0.0;
}

// v·y + a for complex v and y and a real a, rounded to `hi`, with the rounding errors of the
// product and the sum added to `lo` (which the caller carries as v's own low part times y).
void HornerStep(Complex v, Complex y, double a, Complex& hi, Complex& lo)
{
    double p1, e1, p2, e2, s, e3, t, e4;
    TwoProduct(v.real(), y.real(), p1, e1);
    TwoProduct(-v.imag(), y.imag(), p2, e2);
    TwoSum(p1, p2, s, e3);
    TwoSum(s, a, t, e4);
    double q1, f1, q2, f2, u, f3;
    TwoProduct(v.real(), y.imag(), q1, f1);
    TwoProduct(v.imag(), y.real(), q2, f2);
    TwoSum(q1, q2, u, f3);
    hi = Complex(t, u);
    lo += Complex(e1 + e2 + e3 + e4, f1 + f2 + f3);
}

// The Newton correction p(z)/p'(z), and whether z is as good a zero as the arithmetic can tell.
// p and p' come from Horner's rule compensated by the error-free transformations (S. Graillat,
// N. Louvet and P. Langlois, Compensated Horner scheme, 2005): as accurate as in twice the working
// precision, so that a zero of multiplicity m is found to about eps^(2/m) rather than eps^(1/m),
// where plain evaluation is lost in its own rounding (a double zero to the rounding unit). Beyond
// the unit circle the polynomial is evaluated as z^n R(1/z), R(y) = c(n) + c(n-1)·y + ... +
// c(0)·y^n; there the rounding of 1/z itself leaves p(z) about eps·|z·p'(z)| from 0 at the zero,
// so a zero is also taken once the residual is at the rounding of plain evaluation and the
// correction within a few units of the last place of z.
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
    Complex v = 0.0, vlo = 0.0, d = 0.0, dlo = 0.0;
    double bound = 0.0;
    for (int k = 0; k <= n; ++k) {
        const double a = outside ? c[k] : c[n - k];
        // d := d·y + v and v := v·y + a, each with its low part carried along.
        Complex dhi, vhi;
        Complex dl = dlo * y + vlo, vl = vlo * y;
        HornerStep(d, y, 0.0, dhi, dl);
        double s, e1, s2, e2;
        TwoSum(dhi.real(), v.real(), s, e1);
        TwoSum(dhi.imag(), v.imag(), s2, e2);
        dhi = Complex(s, s2);
        dl += Complex(e1, e2);
        HornerStep(v, y, a, vhi, vl);
        d = dhi, dlo = dl, v = vhi, vlo = vl;
        bound = bound * ay + std::fabs(a);
    }
    v += vlo;
    d += dlo;
    Newton r;
    const double rounding = (n + 1) * eps * bound;
    if (std::abs(v) <= 8.0 * rounding * eps) r.settled = true;
    if (v == 0.0) return r;
    // Inside: p/p' = v/d. Outside: p(z) = z^n R(y) and p'(z) = z^(n-1)(n R(y) - y R'(y)).
    r.step = outside ? z * v / (static_cast<double>(n) * v - y * d) : v / d;
    if (std::abs(v) <= 8.0 * rounding && std::abs(r.step) <= 4.0 * eps * std::abs(z)) r.settled = true;
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

// x := A^-1 x for the n × n matrix A (column-major, overwritten) by Gaussian elimination with
// partial pivoting. False for a pivot of 0.
bool SolveSquare(int n, std::vector<double>& A, std::vector<double>& x)
{
    auto a = [&](int i, int j) -> double& { return A[static_cast<size_t>(i) + static_cast<size_t>(n) * j]; };
    for (int j = 0; j < n; ++j) {
        int pivot = j;
        for (int i = j + 1; i < n; ++i)
            if (std::fabs(a(i, j)) > std::fabs(a(pivot, j))) pivot = i;
        if (a(pivot, j) == 0.0) return false;
        if (pivot != j) {
            for (int k = 0; k < n; ++k) std::swap(a(j, k), a(pivot, k));
            std::swap(x[j], x[pivot]);
        }
        for (int i = j + 1; i < n; ++i) {
            const double l = a(i, j) / a(j, j);
            if (l == 0.0) continue;
            for (int k = j + 1; k < n; ++k) a(i, k) -= l * a(j, k);
            x[i] -= l * x[j];
        }
    }
    for (int j = n - 1; j >= 0; --j) {
        for (int k = j + 1; k < n; ++k) x[j] -= a(j, k) * x[k];
        x[j] /= a(j, j);
    }
    return true;
}

// The factors of theta(z) = 1 + theta1·z + ... + thetaq·z^q (c(0..q), c(0) = 1) with the zeros
// inside and outside the unit circle: m0·theta = M·B, M(z) = m(0) + ... + m(k-1)·z^(k-1) + z^k
// monic with the k zeros inside and B(z) = 1 + b(1)·z + ... + b(q-k)·z^(q-k) with those outside.
// Both have coefficients of at most 2^q, whatever the zeros. Multiplied out from the zeros, M is
// only as good as they are, and the zeros of a cluster or a multiple zero are not: each lies
// anywhere in a region as wide as the root of the rounding unit of the multiplicity's order. The
// factors themselves are well determined while no zero lies near the unit circle, so Newton's
// method on M·B - m0·theta = 0 (coefficients 1..q, a linear system in the corrections of m and b)
// polishes them; a step is kept only while it makes the residual smaller.
void PolishFactors(int q, const double* c, int k, std::vector<double>& m, std::vector<double>& b)
{
    auto residual = [&](const std::vector<double>& mm, const std::vector<double>& bb, std::vector<double>& F) {
        double largest = 0.0;
        for (int i = 1; i <= q; ++i) {
            double f = -mm[0] * c[i];
            for (int j = std::max(0, i - (q - k)); j <= std::min(i, k); ++j) f += mm[j] * bb[i - j];
            F[i - 1] = f;
            largest = std::max(largest, std::fabs(f));
        }
        return largest;
    };
    std::vector<double> F(static_cast<size_t>(q)), J(static_cast<size_t>(q) * q);
    double size = residual(m, b, F);
    for (int iteration = 0; iteration < 10 && size > 0.0; ++iteration) {
        std::fill(J.begin(), J.end(), 0.0);
        for (int i = 1; i <= q; ++i) {
            for (int j = 0; j < k; ++j)
                if (i - j >= 0 && i - j <= q - k) J[(i - 1) + static_cast<size_t>(q) * j] = b[i - j];
            J[i - 1] -= c[i];
            for (int l = 1; l <= q - k; ++l)
                if (i - l >= 0 && i - l <= k) J[(i - 1) + static_cast<size_t>(q) * (k + l - 1)] = m[i - l];
        }
        std::vector<double> step(F);
        if (!SolveSquare(q, J, step)) return;  // for m(0..k-1), then b(1..q-k)
        std::vector<double> m2(m), b2(b), F2(F);
        for (int j = 0; j < k; ++j) m2[j] -= step[j];
        for (int l = 1; l <= q - k; ++l) b2[l] -= step[k + l - 1];
        const double size2 = residual(m2, b2, F2);
        if (!(size2 < size)) return;
        m.swap(m2);
        b.swap(b2);
        F.swap(F2);
        size = size2;
    }
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
    // M(z) = prod (z - r) over the zeros inside, B(z) = prod (1 - z/r) over those outside.
    std::vector<Complex> inside(1, 1.0), outside(1, 1.0);
    for (const Complex& root : r) {
        if (std::abs(root) < 1.0) {
            inside.insert(inside.begin(), 0.0);
            for (size_t j = 0; j + 1 < inside.size(); ++j) inside[j] -= root * inside[j + 1];
        } else {
            outside.push_back(0.0);
            for (size_t j = outside.size() - 1; j >= 1; --j) outside[j] -= outside[j - 1] / root;
        }
    }
    const int k = static_cast<int>(inside.size()) - 1;
    std::vector<double> m(inside.size()), b(outside.size());
    for (size_t j = 0; j < m.size(); ++j) m[j] = inside[j].real();
    for (size_t j = 0; j < b.size(); ++j) b[j] = outside[j].real();
    // With no zero inside, B is theta itself.
    if (k == 0) b = c;
    if (k > 0) PolishFactors(degree, c.data(), k, m, b);
    // The reflected zeros 1/conj(r) are those of z^k M(1/z) = m(k) + m(k-1)·z + ... + m(0)·z^k,
    // which is prod (1 - z·conj(r)) with the value 1 at 0; the twin is it times B. The factor
    // prod 1/|r|^2 is 1/m0^2.
    const double f = k > 0 ? 1.0 / (m[0] * m[0]) : 1.0;
    if (!(f > 0.0) || !std::isfinite(f)) return kStatusOutOfRange;
    // Both factors have their zeros on or outside the circle, so the twin's coefficients are at most
    // 2^26 wherever the polish has kept to the zeros; a polish gone astray is refused.
    std::vector<double> poly(static_cast<size_t>(degree) + 1, 0.0);
    for (int i = 0; i <= k; ++i)
        for (int l = 0; l <= degree - k; ++l) poly[static_cast<size_t>(i + l)] += m[static_cast<size_t>(k - i)] * b[l];
    for (double v : poly)
        if (!std::isfinite(v)) return kStatusOutOfRange;
    for (int j = 0; j < q; ++j) twin[j] = j < degree ? poly[static_cast<size_t>(j) + 1] : 0.0;
    factor = f;
    return kStatusDone;
}
