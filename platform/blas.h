#pragma once
// Declarations of the Fortran BLAS routines the program calls (levels 1 and 2, double precision).
// Arguments follow the Fortran calling convention: everything by address, hidden string lengths
// after the last argument for character arguments.
#include <cstddef>

extern "C" {
void dcopy_(const int* n, const double* x, const int* incx, double* y, const int* incy);
void dswap_(const int* n, double* x, const int* incx, double* y, const int* incy);
void dscal_(const int* n, const double* alpha, double* x, const int* incx);
void daxpy_(const int* n, const double* alpha, const double* x, const int* incx, double* y,
            const int* incy);
double dasum_(const int* n, const double* x, const int* incx);
double ddot_(const int* n, const double* x, const int* incx, const double* y, const int* incy);
double dnrm2_(const int* n, const double* x, const int* incx);
int idamax_(const int* n, const double* x, const int* incx);
void dgemv_(const char* trans, const int* m, const int* n, const double* alpha, const double* a,
            const int* lda, const double* x, const int* incx, const double* beta, double* y,
            const int* incy, std::size_t transLen);
void dger_(const int* m, const int* n, const double* alpha, const double* x, const int* incx,
           const double* y, const int* incy, double* a, const int* lda);
void dsyr_(const char* uplo, const int* n, const double* alpha, const double* x, const int* incx,
           double* a, const int* lda, std::size_t uploLen);
}
