#pragma once
// The lower Cholesky factor L of the minimiser's Hessian approximation H = L L^T and the
// operations on it: the initial factor, the solve L L^T x = b, the factored BFGS update done as a
// QR update with Givens rotations, and small triangular products.
//
// Matrices are column-major with leading dimension nr (element (i, j), 0-based, at a[i + j * nr]);
// L is the lower triangle and diagonal of a. Vectors have n elements. None of these routines checks
// its arguments.
//
// Method: J. E. Dennis and R. B. Schnabel, Numerical Methods for Unconstrained Optimization and
// Nonlinear Equations (1983), Algorithms A3.4.1 (QR update) and A9.4.2 (factored secant update).
#include <cstdint>

// a(j, j) := sx_j (sx_j^2 when method = 3), zero below the diagonal. a: nr x n, out.
void InitialHessianFactor(int32_t nr, int32_t n, double* a, const double* sx, int32_t method);

// Solves L L^T x = b. a: nr x n in; x: n out; b: n in (x may be b).
void CholeskySolve(int32_t nr, int32_t n, const double* a, double* x, const double* b);

// Solves L x = b by forward substitution. x may be b.
void ForwardSolveLower(int32_t nr, int32_t n, const double* a, double* x, const double* b);

// Solves L^T x = b by back substitution. x may be b.
void BackSolveTransposed(int32_t nr, int32_t n, const double* a, double* x, const double* b);

// y := L x. x and y are distinct vectors of n.
void LowerTimesVector(int32_t nr, int32_t n, const double* a, const double* x, double* y);

// y := L^T x. x and y are distinct vectors of n.
void TransposedLowerTimesVector(int32_t nr, int32_t n, const double* a, const double* x, double* y);

// z := s * v (z may be v).
void ScaleVector(int32_t n, double s, const double* v, double* z);

// Replaces L by the factor of the BFGS update of L L^T for the step from (x, g) to (xpls, gpls), or
// leaves it unchanged when the step shows too little curvature or the change of gradient is
// already explained by L L^T within the noise of the finite differences.
//   nr, n        dimensions; a: nr x n in/out.
//   x, g         old point and gradient (n, in); xpls, gpls: new point and gradient (n, in).
//   eps          relative precision; rnf: noise level of the objective.
//   itncnt       iteration count; the first-update flag is set when it is 1.
//   central      true once gradients are central differences (tighter skip tolerance).
//   firstUpdate  in/out: while set, the first update that passes the curvature test rescales L.
//   s, y, u, w   work vectors of n.
// The DDOT and DNRM2 of the BLAS give the inner products and norms.
void SecantUpdateFactor(int32_t nr, int32_t n, const double* x, const double* g, double* a,
                        const double* xpls, const double* gpls, double eps, int32_t itncnt,
                        double rnf, bool central, bool& firstUpdate, double* s, double* y,
                        double* u, double* w);

// Given upper triangular R in the upper triangle and diagonal of a (nr x n, in/out), overwrites it
// with the upper triangular factor R* of the QR factorisation of R + u v^T. u (n) is destroyed.
// The strict lower triangle is used as scratch for the subdiagonal.
void QrUpdate(int32_t nr, int32_t n, double* a, double* u, const double* v);

// Interchanges a(i, j) and a(i+1, j) for j = i..n-1 (i 0-based).
void SwapHessenbergRows(int32_t nr, int32_t n, double* a, int32_t i);

// Rotates rows i and i+1 (0-based) over columns i..n-1 by c = alpha/d, s = beta/d,
// d = sqrt(alpha^2 + beta^2): (a(i,j), a(i+1,j)) := (c a(i,j) - s a(i+1,j), s a(i,j) + c a(i+1,j)).
void RotateRows(int32_t nr, int32_t n, double* a, int32_t i, double alpha, double beta);
