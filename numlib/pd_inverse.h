#pragma once
// Inverse of a real symmetric positive definite matrix from its upper triangle: Cholesky
// factorisation A = R'R, an estimate of the reciprocal L1 condition number (LINPACK's DPOCO
// scheme, Cline, Moler, Stewart and Wilkinson, 1979), inv(R), and inv(A) = inv(R) inv(R)'.
// Matrices are column-major; errors go through the library's error stack (E1MES).

// Writes the full symmetric inverse of the n by n matrix a (leading dimension lda; only its upper
// triangle is read) into ainv (leading dimension ldainv). ainv may be the same array as a.
// TERMINAL errors of "DLINDS": code 1 for n < 1, code 2 when the work vector cannot be obtained;
// a matrix that is not positive definite is a FATAL error (code 2, raised by DLFTDS); RCOND at or
// below the machine epsilon is a WARNING (code 1) and the inverse is still returned. Of
// "DL2NDS": an element of the upper triangle that is not finite is a TERMINAL error (code 5,
// nothing computed), an inverse with an element that overflows a FATAL error (code 6).
void DLINDS(int n, const double* a, int lda, double* ainv, int ldainv);

// The same with a work vector of n doubles.
void DL2NDS(int n, const double* a, int lda, double* ainv, int ldainv, double* wk);

// Cholesky factor R into the upper triangle of fac (leading dimension ldfac; may be a) and, when
// MATH chapter 1 option 17 asks for it (value 2 = 2), the estimate rcond of the reciprocal L1
// condition number (1 without the estimate). wk: n doubles.
void DL2CDS(int n, const double* a, int lda, double* fac, int ldfac, double& rcond, double* wk);

// Cholesky factorisation only: R in the upper triangle of fac, the lower triangle of fac holding
// the mirrored upper triangle of a. A non-positive pivot at column j is a FATAL error (code 2).
void DLFTDS(int n, const double* a, int lda, double* fac, int ldfac);

// inverse(R'R) from the upper triangular n by n factor r (leading dimension ldr; its lower triangle
// is not read) into the full symmetric ainv (leading dimension ldainv; may be r): inv(R) by
// DLINRT, then inv(R) inv(R)', as LINPACK's DPODI and R's chol2inv form it. The errors are
// DLINRT's; N1RCD(1) is not 0 after one.
void InverseFromFactor(int n, const double* r, int ldr, double* ainv, int ldainv);

// Inverse of a triangular matrix: ipath 1 lower, 2 upper; the other triangle of ainv is set to 0.
// ainv may be a. A diagonal element of magnitude at or below the smallest normalised number is a
// TERMINAL error (code 5).
void DLINRT(int n, const double* a, int lda, int ipath, double* ainv, int ldainv);

// Copies the upper triangle into the lower one: a(i, j) = a(j, i) for i > j.
void DCSFRG(int n, double* a, int lda);
