#pragma once
// In-place inversion of a square matrix, column-major and indexed from 1
// (numerics/one_based.h).

constexpr int kInvertGaussJordan = 0;
constexpr int kInvertSymmetric = 1;

// A := A^-1 for a matrix of order nm1+1.
//   nm1  (in)      order minus one, nm1 >= 0
//   A    (in/out)  lda × (nm1+1) matrix
//   lda  (in)      leading dimension, lda >= nm1+1 (callers pass 54)
//   fail (out)     0 done; kStatusInversionFailed (1) when a pivot is zero (mode 0) or not
//                  positive (mode 1), A then partly overwritten; kStatusBadArgument when nm1,
//                  lda or mode is out of range and kStatusNotFinite when an element read is
//                  not finite, A untouched; kStatusOutOfRange when an element of the inverse
//                  overflows (A overwritten, not to be used)
//   mode (in)      kInvertGaussJordan: Gauss-Jordan elimination on the diagonal as it stands,
//                  without exchanges (a matrix needing them fails);
//                  kInvertSymmetric: symmetric positive definite, through A = L·D·L' and the
//                  Cholesky factor; only the lower triangle and diagonal are read and the
//                  result is symmetric
void InvertMatrix(int nm1, double* A, int lda, int& fail, int mode);
