#include "numerics/invert_matrix.h"

#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <cmath>

namespace {

// Gauss-Jordan in place. The diagonal carries an extra 1 throughout, which keeps the implicit
// identity of the augmented matrix in the same storage; it is removed at the end.
void InvertGaussJordan(int n, Mat1<double> a, int& fail)
{
    for (int k = 1; k <= n; ++k) a(k, k) += 1.0;
    for (int k = 1; k <= n; ++k) {
        const double t = a(k, k) - 1.0;
        if (t == 0.0) {
            fail = kStatusInversionFailed;
            return;
        }
        for (int j = 1; j <= n; ++j) a(k, j) /= t;
        for (int i = 1; i <= n; ++i) {
            if (i == k) continue;
            const double s = a(i, k);
            for (int j = 1; j <= n; ++j) a(i, j) -= a(k, j) * s;
        }
    }
    for (int k = 1; k <= n; ++k) a(k, k) -= 1.0;
}

// Not positive, NaN included.
bool NotPositive(double v) { return !(v > 0.0); }

void InvertSymmetric(int n, Mat1<double> a, int& fail)
{
    // A = L·D·L': unit lower L below the diagonal, D on it. D(1) is tested before the first
    // division so that a zero never turns into an infinity that later tests let through.
    if (NotPositive(a(1, 1))) {
        fail = kStatusInversionFailed;
        return;
    }
    if (n >= 2) {
        a(2, 1) /= a(1, 1);
        a(2, 2) -= a(2, 1) * a(2, 1) * a(1, 1);
    }
    for (int k = 3; k <= n; ++k) {
        if (NotPositive(a(k - 1, k - 1))) {
            fail = kStatusInversionFailed;
            return;
        }
        for (int j = 1; j <= k - 1; ++j) {
            double s = a(k, j);
            for (int l = 1; l <= j - 1; ++l) s -= a(k, l) * a(j, l) * a(l, l);
            a(k, j) = s / a(j, j);
        }
        double s = a(k, k);
        for (int l = 1; l <= k - 1; ++l) s -= a(k, l) * a(k, l) * a(l, l);
        a(k, k) = s;
    }
    for (int k = 1; k <= n; ++k) {
        if (NotPositive(a(k, k))) {
            fail = kStatusInversionFailed;
            return;
        }
        a(k, k) = std::sqrt(a(k, k));
    }
    // Scale the columns of L: the lower triangle becomes the Cholesky factor C, A = C·C'.
    for (int k = 1; k <= n - 1; ++k)
        for (int i = k + 1; i <= n; ++i) a(i, k) *= a(k, k);

    // C^-1 row by row; row k of C is still intact to the right of column j when C^-1(k,j) is
    // formed.
    a(1, 1) = 1.0 / a(1, 1);
    for (int k = 2; k <= n; ++k) {
        for (int j = 1; j <= k - 1; ++j) {
            double s = 0.0;
            for (int l = j; l <= k - 1; ++l) s += a(k, l) * a(l, j);
            a(k, j) = -s / a(k, k);
        }
        a(k, k) = 1.0 / a(k, k);
    }
    // A^-1 = C^-T·C^-1 into the upper triangle (diagonal last for each column), then mirrored.
    for (int c = 1; c <= n; ++c)
        for (int r = 1; r <= c; ++r) {
            double s = 0.0;
            for (int l = c; l <= n; ++l) s += a(l, c) * a(l, r);
            a(r, c) = s;
        }
    for (int j = 1; j <= n; ++j)
        for (int i = j + 1; i <= n; ++i) a(i, j) = a(j, i);
}

}  // namespace

void InvertMatrix(int nm1, double* A, int lda, int& fail, int mode)
{
    const int n = nm1 + 1;
    if (nm1 < 0 || lda < n || (mode != kInvertGaussJordan && mode != kInvertSymmetric)) {
        fail = kStatusBadArgument;
        return;
    }
    Mat1<double> a(A, lda);
    // Gauss-Jordan reads the whole matrix, the symmetric mode its lower triangle.
    for (int j = 1; j <= n; ++j) {
        const int first = mode == kInvertGaussJordan ? 1 : j;
        if (!AllFinite(&a(first, j), n - first + 1)) {
            fail = kStatusNotFinite;
            return;
        }
    }
    fail = kStatusDone;
    if (mode == kInvertGaussJordan)
        InvertGaussJordan(n, a, fail);
    else
        InvertSymmetric(n, a, fail);
    // Entries of a nearly singular or very small matrix can overflow.
    for (int j = 1; fail == kStatusDone && j <= n; ++j)
        if (!AllFinite(&a(1, j), n)) fail = kStatusOutOfRange;
}
