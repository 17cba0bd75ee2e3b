#pragma once
// Small dense matrix routines of the vector autoregressive fits: an inverse by Gauss-Jordan
// elimination, an LU decomposition and two determinants, a Cholesky factorisation and three
// triangular solves. The real type is a template parameter (the fits work in double, the
// console programs in float) and every matrix carries its leading dimension. Matrices are
// column-major and the comments index them from 1: element (i, j) of a matrix with leading
// dimension ld is at position (i-1) + ld·(j-1).
#include "numerics/one_based.h"
#include "numerics/status.h"

#include <cmath>
#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

namespace small_matrix_detail {

// x := L^-1·x by forward substitution, for the vector x(1..n) stored `stride` apart.
template <typename T>
void ForwardSubstitution(const T* L, int n, int ld, T* x, std::size_t stride)
{
    Mat1<const T> l(L, ld);
    auto at = [&](int i) -> T& { return x[static_cast<std::size_t>(i - 1) * stride]; };
    at(1) /= l(1, 1);
    for (int i = 2; i <= n; ++i) {
        T s = at(i);
        for (int q = 1; q < i; ++q) s -= l(i, q) * at(q);
        at(i) = s / l(i, i);
    }
}

// Runs resize, turning a failed allocation into false.
template <typename T>
bool Resize(std::vector<T>& v, std::size_t count)
{
    try {
        v.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// Whether the n × n matrix (leading dimension ld) is finite; only its lower triangle when
// `lower` is set.
template <typename T>
bool Finite(const T* A, int n, int ld, bool lower = false)
{
    for (int j = 0; j < n; ++j)
        for (int i = lower ? j : 0; i < n; ++i)
            if (!std::isfinite(A[i + static_cast<std::size_t>(ld) * j])) return false;
    return true;
}

}  // namespace small_matrix_detail

// A := A^-1 in place by Gauss-Jordan elimination without row or column exchanges. The diagonal
// is kept offset by +1 during the sweep, so that one update formula builds the inverse in the
// matrix's own storage.
//   k    (in)      order minus one: the matrix is K × K with K = k+1
//   A    (in/out)  lda × K; replaced by its inverse
//   flag (out)     0 done; 1 when a pivot is exactly 0 (a singular matrix, or a zero leading
//                  minor that would need an exchange): A is then left partly transformed with
//                  its diagonal still offset by 1; 2 when an element of A is not finite (A
//                  unchanged) or the inverse overflowed (A then holds it as computed)
//   lda  (in)      leading dimension, lda >= K
// Pivot is the type the pivot and the multiplier are held in (single precision in a program that
// keeps its matrices in double but computed them so).
template <typename T, typename Pivot = T>
void GaussJordanInverse(int k, T* A, int& flag, int lda)
{
    const int K = k + 1;
    Mat1<T> a(A, lda);
    flag = 0;
    if (!small_matrix_detail::Finite(A, K, lda)) {
        flag = 2;
        return;
    }
    for (int i = 1; i <= K; ++i) a(i, i) += T(1);
    for (int i = 1; i <= K; ++i) {
        const Pivot pivot = static_cast<Pivot>(a(i, i) - T(1));
        if (pivot == Pivot(0)) {
            flag = 1;
            return;
        }
        for (int j = 1; j <= K; ++j) a(i, j) /= pivot;
        for (int r = 1; r <= K; ++r) {
            if (r == i) continue;
            const Pivot f = static_cast<Pivot>(a(r, i));
            for (int j = 1; j <= K; ++j) a(r, j) -= f * a(i, j);
        }
    }
    for (int i = 1; i <= K; ++i) a(i, i) -= T(1);
    if (!small_matrix_detail::Finite(A, K, lda)) flag = 2;
}

// LU decomposition with partial pivoting by Crout's method with implicit row scaling (Press et
// al., Numerical Recipes, section 2.3). The pivot row of column j is the row i >= j with the
// largest |s| + v(i), where s is the reduced element and v(i) the inverse of row i's largest
// absolute element (a sum, not the usual product); a later row wins a tie. A zero pivot is
// replaced by 1e-20 taken in single precision.
//   A   (in/out)  np × n; replaced by L (unit diagonal, below) and U (on and above the diagonal)
//                 of the row-exchanged matrix
//   n   (in)      order
//   d   (out)     +1 or -1, the parity of the row exchanges
//   np  (in)      leading dimension, np >= n
// Returns kStatusDone; a row of zeros returns at once with A unchanged and d = 1, so the
// product of the diagonal stands as the determinant. kStatusNoMemory (A unchanged) when the row
// scales cannot be allocated; kStatusBadArgument for n < 0 or np < n, kStatusNotFinite for an
// element that is not finite (A unchanged); kStatusOutOfRange when the factors overflow.
// Score is the type the running largest pivot score is held in.
template <typename T, typename Score = T>
[[nodiscard]] int LuDecompose(T* A, int n, T& d, int np)
{
    if (n < 0 || np < n) return kStatusBadArgument;
    if (!small_matrix_detail::Finite(A, n, np)) return kStatusNotFinite;
    std::vector<T> scale;
    if (!small_matrix_detail::Resize(scale, static_cast<std::size_t>(n))) return kStatusNoMemory;
    Mat1<T> a(A, np);
    Vec1<T> v(scale.data());
    d = T(1);
    for (int i = 1; i <= n; ++i) {
        T big = T(0);
        for (int j = 1; j <= n; ++j)
            if (std::fabs(a(i, j)) > big) big = std::fabs(a(i, j));
        if (big == T(0)) return kStatusDone;
        v(i) = T(1) / big;
    }
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i < j; ++i) {
            T s = a(i, j);
            for (int k = 1; k < i; ++k) s -= a(i, k) * a(k, j);
            a(i, j) = s;
        }
        Score big = Score(0);
        int imax = j;
        for (int i = j; i <= n; ++i) {
            T s = a(i, j);
            for (int k = 1; k < j; ++k) s -= a(i, k) * a(k, j);
            a(i, j) = s;
            const T score = std::fabs(s) + v(i);
            if (score >= big) {
                big = static_cast<Score>(score);
                imax = i;
            }
        }
        if (imax != j) {
            for (int k = 1; k <= n; ++k) {
                const T t = a(imax, k);
                a(imax, k) = a(j, k);
                a(j, k) = t;
            }
            d = -d;
            v(imax) = v(j);
        }
        if (a(j, j) == T(0)) a(j, j) = static_cast<T>(1.0e-20f);
        if (j < n) {
            const T inverse = T(1) / a(j, j);
            for (int i = j + 1; i <= n; ++i) a(i, j) *= inverse;
        }
    }
    return small_matrix_detail::Finite(A, n, np) ? kStatusDone : kStatusOutOfRange;
}

// det = determinant of the n × n matrix A, through LuDecompose of a copy: the parity times the
// product of the diagonal.
//   A   (in)   lda × n, not changed
//   n   (in)   order, n >= 1
//   lda (in)   leading dimension, lda >= n
//   det (out)
// Returns kStatusDone, or (det not written) kStatusNoMemory when the copy cannot be allocated,
// kStatusBadArgument for n < 1 or lda < n, kStatusNotFinite for an element that is not finite,
// kStatusOutOfRange when the determinant overflows, or underflows to 0 from a diagonal without
// a zero. Score as for LuDecompose.
template <typename T, typename Score = T>
[[nodiscard]] int Determinant(const T* A, int n, int lda, T& det)
{
    if (n < 1 || lda < n) return kStatusBadArgument;
    if (!small_matrix_detail::Finite(A, n, lda)) return kStatusNotFinite;
    std::vector<T> copy;
    if (!small_matrix_detail::Resize(copy,
                                     static_cast<std::size_t>(n) * static_cast<std::size_t>(n)))
        return kStatusNoMemory;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            copy[i + static_cast<std::size_t>(n) * j] = A[i + static_cast<std::size_t>(lda) * j];
    T d = T(1);
    const int status = LuDecompose<T, Score>(copy.data(), n, d, n);
    if (status != kStatusDone) return status;
    T product = d;
    bool zeroFactor = false;
    for (int i = 0; i < n; ++i) {
        const T u = copy[i + static_cast<std::size_t>(n) * i];
        product *= u;
        if (u == T(0)) zeroFactor = true;
    }
    if (!std::isfinite(product) || (product == T(0) && !zeroFactor)) return kStatusOutOfRange;
    det = product;
    return kStatusDone;
}

// det = determinant of A through an LU decomposition without pivoting, W = L·U with unit lower
// L, computed column after column in the work matrix. No pivot is tested: a zero leading minor
// gives an infinite or undefined determinant. For n = 1 the element itself.
//   A   (in)   ld × n, not changed
//   W   (work) ld × n, overwritten (not touched for n = 1)
//   n   (in)   order, n >= 1
//   ld  (in)   leading dimension of A and W
//   det (out)
template <typename T>
void FactorCopy(const T* A, T* W, int n, int ld, T& det)
{
    if (n < 2) {
        det = A[0];
        return;
    }
    Mat1<const T> a(A, ld);
    Mat1<T> w(W, ld);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) w(i, j) = a(i, j);
    for (int k = 2; k <= n; ++k) {
        const int j = k - 1;
        for (int i = k; i <= n; ++i) w(i, j) /= w(j, j);
        if (j >= 2)
            for (int c = k; c <= n; ++c) {
                T s = w(j, c);
                for (int q = 1; q < j; ++q) s -= w(j, q) * w(q, c);
                w(j, c) = s;
            }
        for (int i = k; i <= n; ++i) {
            T s = w(i, k);
            for (int q = 1; q < k; ++q) s -= w(i, q) * w(q, k);
            w(i, k) = s;
        }
    }
    T product = T(1);
    for (int i = 1; i <= n; ++i) product *= w(i, i);
    det = product;
}

// Cholesky factorisation A = L·L' row by row, in place in the lower triangle (the strict upper
// triangle keeps what it held). No pivoting and no tolerance: only the sign of each pivot is
// tested, and a NaN pivot fails too.
//   A  (in/out)  ld × n, symmetric; only the lower triangle is read and written
//   n  (in)      order, n >= 1
//   ld (in)      leading dimension
// Returns kStatusDone, or kStatusInversionFailed when a pivot is not positive (the matrix is
// not positive definite to working precision); A is then left partly factored.
// kStatusBadArgument for n < 1 or ld < n and kStatusNotFinite for a lower-triangle element that
// is not finite (A unchanged).
template <typename T>
[[nodiscard]] int CHOLES(T* A, int n, int ld)
{
    if (n < 1 || ld < n) return kStatusBadArgument;
    if (!small_matrix_detail::Finite(A, n, ld, true)) return kStatusNotFinite;
    Mat1<T> a(A, ld);
    if (!(a(1, 1) > T(0))) return kStatusInversionFailed;
    a(1, 1) = std::sqrt(a(1, 1));
    for (int i = 2; i <= n; ++i) {
        for (int j = 1; j < i; ++j) {
            T s = a(i, j);
            for (int k = 1; k < j; ++k) s -= a(i, k) * a(j, k);
            a(i, j) = s / a(j, j);
            a(i, i) -= a(i, j) * a(i, j);
        }
        if (!(a(i, i) > T(0))) return kStatusInversionFailed;
        a(i, i) = std::sqrt(a(i, i));
    }
    return kStatusDone;
}

// The three triangular systems of the Burg recursion, with L the lower triangle (diagonal
// included) of an n × n factor; nothing is tested, so a zero diagonal element gives infinite or
// undefined values. L and B share the leading dimension ld.

// B := L^-1·B (solves L·X = B), column by column; B is n × k.
template <typename T>
void SolveLower(const T* L, int n, int ld, T* B, int k)
{
    for (int c = 1; c <= k; ++c)
        small_matrix_detail::ForwardSubstitution(L, n, ld,
                                                 B + static_cast<std::size_t>(ld) * (c - 1), 1);
}

// B := B·(L')^-1 (solves X·L' = B), row by row; B is k × n.
template <typename T>
void SolveLowerTransposedRight(const T* L, int n, int ld, T* B, int k)
{
    for (int r = 1; r <= k; ++r)
        small_matrix_detail::ForwardSubstitution(L, n, ld, B + (r - 1),
                                                 static_cast<std::size_t>(ld));
}

// B := B·L^-1 (solves X·L = B), row by row from the last column; B is k × n.
template <typename T>
void SolveLowerRight(const T* L, int n, int ld, T* B, int k)
{
    Mat1<const T> l(L, ld);
    Mat1<T> b(B, ld);
    for (int r = 1; r <= k; ++r) {
        b(r, n) /= l(n, n);
        for (int j = n - 1; j >= 1; --j) {
            T s = b(r, j);
            for (int q = j + 1; q <= n; ++q) s -= l(q, j) * b(r, q);
            b(r, j) = s / l(j, j);
        }
    }
}
