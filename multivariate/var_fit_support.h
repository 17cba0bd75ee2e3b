#pragma once
// What the two vector autoregressive fits (multivariate/whittle_fit.h, multivariate/burg_fit.h)
// share: argument checks, the highest order a search can use, the diagnostic text output and a
// few m × m and series operations. Matrices are m × m, column-major with leading dimension m.
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <cstddef>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

// The coefficient arrays hold lags 1..kVarMaxLag.
constexpr int kVarMaxLag = 20;

// Writes diagnostic lines of the fits to the standard output, or appends them to the capture
// string while one is set (tests).
void WriteVarDiagnostic(std::string_view text);
void SetVarDiagnosticCapture(std::string* capture);

// True when the fits can take n, m and the order p: n >= 1, m >= 1, n·m > 2 (the order-0
// criterion divides by 1 - 2/(n·m)), n·m and 20·m·m + 2 within 32-bit integers (the criterion's
// integer products), lowestOrder <= p <= 20, and every one of the n·m values of X finite.
bool VarArgumentsValid(const double* X, int n, int m, int p, int lowestOrder);

// The highest order l <= 20 with l·m·m + 2 < n·m: every order above it can only score 1E20.
int VarSearchBound(int n, int m);

// True when the n·m criterion of order l has its 1E20 form: n·m <= l·m·m + 2 (integer products).
bool VarOrderPastData(int l, int n, int m);

// C := C + alpha·A·op(B) for m × m matrices; op(B) = B' when transposeB.
void AddProduct(int m, double alpha, const double* A, const double* B, bool transposeB, double* C);

// Y (n × m, time first: element (t, a) at (t-1) + n·(a-1)) := X (m × n, element (a, t) at
// (a-1) + m·(t-1)), each component divided by divisor(a) when divisor is given.
void TimeFirstCopy(const double* X, int n, int m, const double* divisor, double* Y);

// G(h) = sum over t = 1..n-h of Y(t+h, .)·Y(t, .)' for h = 0..maxLag (zero for h >= n), from
// the time-first series Y (n × m); G holds maxLag+1 matrices of m × m one after the other.
void LaggedProducts(const double* Y, int n, int m, int maxLag, double* G);

// PHI(k)(i, j) for k = 1..p, i, j = 1..m, from matrices stored one m × m after another (lag last)
// into the 20 × m × m lag-first layout: element (k, i, j) at (k-1) + 20·((i-1) + m·(j-1)).
void StoreCoefficients(int m, int p, const double* lagLast, double* PHI);

// body(), or kStatusNoMemory when it fails to allocate: no exception leaves a fit.
template <typename Body>
int NoMemoryAsStatus(Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kStatusNoMemory;
    } catch (const std::length_error&) {
        return kStatusNoMemory;
    }
}
