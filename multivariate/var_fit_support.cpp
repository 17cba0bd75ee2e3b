#include "multivariate/var_fit_support.h"

#include "platform/blas.h"
#include "platform/standard_output.h"

#include <cstdint>
#include <limits>

namespace {

std::string* diagnosticCapture = nullptr;

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

}  // namespace

void WriteVarDiagnostic(std::string_view text)
{
    WriteStandardOutput(text, diagnosticCapture);
}

void SetVarDiagnosticCapture(std::string* capture)
{
    diagnosticCapture = capture;
}

bool VarArgumentsValid(const double* X, int n, int m, int p, int lowestOrder)
{
    if (n < 1 || m < 1 || p < lowestOrder || p > kVarMaxLag) return false;
    const int64_t nm = static_cast<int64_t>(n) * m;
    if (nm <= 2 || nm > kInt32Max) return false;
    if (static_cast<int64_t>(kVarMaxLag) * m * m + 2 > kInt32Max) return false;
    return AllFinite(X, static_cast<long>(nm));
}

bool VarOrderPastData(int l, int n, int m)
{
    return static_cast<int64_t>(n) * m <= static_cast<int64_t>(l) * m * m + 2;
}

int VarSearchBound(int n, int m)
{
    int l = 0;
    while (l < kVarMaxLag && !VarOrderPastData(l + 1, n, m)) ++l;
    return l;
}

void AddProduct(int m, double alpha, const double* A, const double* B, bool transposeB, double* C)
{
    for (int j = 0; j < m; ++j)
        for (int k = 0; k < m; ++k) {
            const double b = alpha * (transposeB ? B[j + m * k] : B[k + m * j]);
            for (int i = 0; i < m; ++i) C[i + m * j] += A[i + m * k] * b;
        }
}

void TimeFirstCopy(const double* X, int n, int m, const double* divisor, double* Y)
{
    const std::size_t ns = static_cast<std::size_t>(n);
    for (std::size_t t = 0; t < ns; ++t)
        for (int a = 0; a < m; ++a) {
            const double x = X[t * m + a];
            Y[t + ns * a] = divisor != nullptr ? x / divisor[a] : x;
        }
}

void LaggedProducts(const double* Y, int n, int m, int maxLag, double* G)
{
    const std::size_t ns = static_cast<std::size_t>(n);
    const int one = 1;
    for (int h = 0; h <= maxLag; ++h) {
        double* g = G + static_cast<std::size_t>(h) * m * m;
        const int length = n - h;
        for (int b = 0; b < m; ++b)
            for (int a = 0; a < m; ++a)
                g[a + m * b] =
                    length > 0 ? ddot_(&length, Y + h + ns * a, &one, Y + ns * b, &one) : 0.0;
    }
}

void StoreCoefficients(int m, int p, const double* lagLast, double* PHI)
{
    const std::size_t mm = static_cast<std::size_t>(m) * m;
    for (int k = 1; k <= p; ++k)
        for (int j = 0; j < m; ++j)
            for (int i = 0; i < m; ++i)
                PHI[(k - 1) + kVarMaxLag * (i + static_cast<std::size_t>(m) * j)] =
                    lagLast[(k - 1) * mm + i + static_cast<std::size_t>(m) * j];
}
