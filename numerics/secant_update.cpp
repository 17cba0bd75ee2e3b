#include "numerics/secant_update.h"

#include "platform/blas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

inline std::size_t At(int32_t nr, int32_t i, int32_t j)
{
    return static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * static_cast<std::size_t>(nr);
}

double Dot(int32_t n, const double* x, const double* y)
{
    const int len = n, one = 1;
    return ddot_(&len, x, &one, y, &one);
}

double Norm2(int32_t n, const double* x)
{
    const int len = n, one = 1;
    return dnrm2_(&len, x, &one);
}

}  // namespace

void InitialHessianFactor(int32_t nr, int32_t n, double* a, const double* sx, int32_t method)
{
    for (int32_t j = 0; j < n; ++j) {
        a[At(nr, j, j)] = method == 3 ? sx[j] * sx[j] : sx[j];
        for (int32_t i = j + 1; i < n; ++i) a[At(nr, i, j)] = 0.0;
    }
}

void CholeskySolve(int32_t nr, int32_t n, const double* a, double* x, const double* b)
{
    ForwardSolveLower(nr, n, a, x, b);
    BackSolveTransposed(nr, n, a, x, x);
}

void ForwardSolveLower(int32_t nr, int32_t n, const double* a, double* x, const double* b)
{
    for (int32_t i = 0; i < n; ++i) {
        double sum = b[i];
        for (int32_t j = 0; j < i; ++j) sum -= a[At(nr, i, j)] * x[j];
        x[i] = sum / a[At(nr, i, i)];
    }
}

void BackSolveTransposed(int32_t nr, int32_t n, const double* a, double* x, const double* b)
{
    for (int32_t i = n - 1; i >= 0; --i) {
        double sum = b[i];
        for (int32_t j = i + 1; j < n; ++j) sum -= a[At(nr, j, i)] * x[j];
        x[i] = sum / a[At(nr, i, i)];
    }
}

void LowerTimesVector(int32_t nr, int32_t n, const double* a, const double* x, double* y)
{
    for (int32_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int32_t j = 0; j <= i; ++j) sum += a[At(nr, i, j)] * x[j];
        y[i] = sum;
    }
}

void TransposedLowerTimesVector(int32_t nr, int32_t n, const double* a, const double* x, double* y)
{
    for (int32_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int32_t j = i; j < n; ++j) sum += a[At(nr, j, i)] * x[j];
        y[i] = sum;
    }
}

void ScaleVector(int32_t n, double s, const double* v, double* z)
{
    for (int32_t i = 0; i < n; ++i) z[i] = s * v[i];
}

void SwapHessenbergRows(int32_t nr, int32_t n, double* a, int32_t i)
{
    for (int32_t j = i; j < n; ++j) std::swap(a[At(nr, i, j)], a[At(nr, i + 1, j)]);
}

void RotateRows(int32_t nr, int32_t n, double* a, int32_t i, double alpha, double beta)
{
    const double d = std::sqrt(alpha * alpha + beta * beta);
    const double c = alpha / d;
    const double s = beta / d;
    for (int32_t j = i; j < n; ++j) {
        const double top = a[At(nr, i, j)];
        const double bottom = a[At(nr, i + 1, j)];
        a[At(nr, i, j)] = c * top - s * bottom;
        a[At(nr, i + 1, j)] = s * top + c * bottom;
    }
}

void QrUpdate(int32_t nr, int32_t n, double* a, double* u, const double* v)
{
    int32_t k = n - 1;
    while (u[k] == 0.0 && k > 0) --k;

    // Rotate u into a multiple of e_1; R becomes upper Hessenberg.
    for (int32_t i = k - 1; i >= 0; --i) {
        if (u[i] == 0.0) {
            SwapHessenbergRows(nr, n, a, i);
            u[i] = u[i + 1];
        } else {
            RotateRows(nr, n, a, i, u[i], -u[i + 1]);
            u[i] = std::sqrt(u[i] * u[i] + u[i + 1] * u[i + 1]);
        }
    }

    for (int32_t j = 0; j < n; ++j) a[At(nr, 0, j)] += u[0] * v[j];

    // Return the Hessenberg matrix to upper triangular form.
    for (int32_t i = 0; i < k; ++i) {
        if (a[At(nr, i, i)] == 0.0)
            SwapHessenbergRows(nr, n, a, i);
        else
            RotateRows(nr, n, a, i, a[At(nr, i, i)], -a[At(nr, i + 1, i)]);
    }
}

void SecantUpdateFactor(int32_t nr, int32_t n, const double* x, const double* g, double* a,
                        const double* xpls, const double* gpls, double eps, int32_t itncnt,
                        double rnf, bool central, bool& firstUpdate, double* s, double* y,
                        double* u, double* w)
{
    if (itncnt == 1) firstUpdate = true;
    for (int32_t i = 0; i < n; ++i) {
        s[i] = xpls[i] - x[i];
        y[i] = gpls[i] - g[i];
    }

    // Too little curvature along the step (or a non-finite one): keep L, which stays positive
    // definite.
    const double den1 = Dot(n, s, y);
    const double snorm = Norm2(n, s);
    const double ynorm = Norm2(n, y);
    if (!(den1 > std::sqrt(eps) * snorm * ynorm)) return;

    TransposedLowerTimesVector(nr, n, a, s, u);
    double den2 = Dot(n, u, u);
    double alpha = std::sqrt(den1 / den2);

    // The first accepted update rescales the initial factor to the curvature just measured.
    if (firstUpdate) {
        ScaleVector(n, alpha, u, u);
        for (int32_t j = 0; j < n; ++j)
            for (int32_t i = j; i < n; ++i) a[At(nr, i, j)] *= alpha;
        firstUpdate = false;
        den2 = den1;
        alpha = 1.0;
    }

    LowerTimesVector(nr, n, a, u, w);

    const double tolerance = central ? rnf : std::sqrt(rnf);
    bool explained = true;
    for (int32_t i = 0; i < n; ++i) {
        if (!(std::fabs(y[i] - w[i]) < tolerance * std::max(std::fabs(g[i]), std::fabs(gpls[i])))) {
            explained = false;
            break;
        }
    }
    if (explained) return;

    for (int32_t i = 0; i < n; ++i) w[i] = y[i] - alpha * w[i];
    alpha /= den1;
    ScaleVector(n, alpha, u, u);

    // The QR update works on R = L^T held in the upper triangle.
    if (n > 1) {
        for (int32_t j = 0; j < n; ++j)
            for (int32_t i = j + 1; i < n; ++i) {
                a[At(nr, j, i)] = a[At(nr, i, j)];
                a[At(nr, i, j)] = 0.0;
            }
    }
    QrUpdate(nr, n, a, u, w);
    if (n > 1) {
        for (int32_t j = 0; j < n; ++j)
            for (int32_t i = j + 1; i < n; ++i) a[At(nr, i, j)] = a[At(nr, j, i)];
    }
}
