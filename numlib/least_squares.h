#pragma once
// Linear least squares, min over x of ||b - A x||, by Householder QR with the limited column
// pivoting of LINPACK's DQRDC2 (R's lm.fit): the columns are taken in their order, and one that
// depends on those before it is moved behind the others and left out (the method of DQRDC and
// DQRSL, Dongarra et al., 1979, with R's rank rule).
// Matrices are column-major with indices from 1 in the comments; all errors go through the
// library's error stack (E1MES).

// Solves the problem for the nra by nca matrix a (leading dimension lda >= nra) and the right-hand
// side b (nra values); a and b are not changed. x (nca values) receives the coefficients in the
// original column order, with 0 for the columns left out; res (nra values) the residuals b - A x;
// kbasis the rank used. The columns are taken in their order; a column is left out when what
// remains of it after the columns kept before it is below 1e-7 of its own norm (lm.fit's rule),
// is 0, or is at most tol |R(1,1)|, R(1,1) being the first column kept. So tol = 0 leaves out
// exactly what lm.fit leaves out, of two dependent columns the later, and a larger tol leaves out
// more. Columns beyond nra are not used.
// When kbasis is 0 (a zero matrix), res is left as passed.
// TERMINAL errors of "DLSQRR": code 1 for nra < 1 or nca < 1, code 2 when the work space cannot be
// obtained; of "DL2QRR": code 2 for lda < nra, code 4 for bad padding options, code 5 for an
// element of a or b, or tol, that is not finite (nothing computed). A solution or residual that
// overflows is a FATAL error of "DL2QRR" (code 6). Columns or a right-hand side near the ends of
// the double range are solved scaled, each by its own power of two, and the results scaled back.
void DLSQRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis);

// The same, and basisOrder (nca values, may be null) receives the original index (from 1) of the
// column in each pivot position: basisOrder(1..kbasis) are the columns used, in their order, the
// rest those left out. Its contents mean nothing when the call was abandoned.
void DLSQRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis, int* basisOrder);

// The same, and covariance (nca by nca, leading dimension nca, may be null) receives inverse(R'R)
// = inverse(A'A) over the columns used, in the original column order, with 0 in the rows and
// columns of those left out: the coefficients' covariance for unit error variance, formed from the
// triangular factor R as R's summary.lm forms it (chol2inv), never from A'A itself. An element that
// overflows is the FATAL error 6; a diagonal element of R below the smallest normal number the
// TERMINAL error 5 of "DLINRT".
void DLSQRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis, int* basisOrder, double* covariance);

// The same with the work space: qr ((nra + pad) by nca, pad = option 16 value 3 of IUMAG when nra is a
// multiple of its value 4, else 0), hscal (nca), korder (nca), scratch (2 nca - 1).
void DL2QRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis, double* qr, double* hscal, int* korder, double* scratch);

// Householder QR of a copy of a into qr (leading dimension ldqr). With pivot != 0 korder(j) > 0
// marks an initial column kept in front, < 0 a final column kept at the back, 0 a free one; the
// free columns keep their order, except that one whose remainder at its step is 0 or below 1e-7
// of its own norm is moved behind the other free columns (as DL2QRR leaves it out); on return
// korder(j) is the original index of the column in position j. R is the upper triangle of qr,
// the Householder vectors lie below it and in hscal; cnorm receives the norms of the columns in
// their final positions (it may be hscal, which then holds the Householder vectors instead);
// scratch has 2 nca - 1 values, with pivoting its entries nca..2 nca-1 the same norms.
void DL2RRR(int nra, int nca, const double* a, int lda, int pivot, int* korder, double* qr, int ldqr,
            double* hscal, double* cnorm, double* scratch);

// Uses the first kbasis columns of the factorisation to compute, as the decimal digits of ipath
// (1 to 99999) ask: Q y (ten-thousands), Q'y (any lower digit), the solution (hundreds), the
// residuals (tens), the fitted values (units). Outputs not requested are not touched and may be
// null. qr is restored on return. A zero diagonal element of R met in the solution is a FATAL
// error (code 1).
void DLQRSL(int nra, int kbasis, double* qr, int ldqr, const double* hscal, const double* y, int ipath, double* qy,
            double* qty, double* b, double* rsd, double* xb);

// Permutes x (n values) into xpermu (may be x): ipath 1 xpermu(i) = x(ipermu(i)); ipath 2
// xpermu(ipermu(i)) = x(i). ipermu is used for marks and restored.
void DPERMU(int n, const double* x, int* ipermu, int ipath, double* xpermu);
