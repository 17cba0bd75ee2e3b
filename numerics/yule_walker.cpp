#include "numerics/yule_walker.h"

#include "numerics/invert_matrix.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <vector>

int YuleWalkerFit(int p, double* G, const double* acvf, double* phi)
{
    if (p < 1 || p > kLeadingDimension) return kStatusBadArgument;
    if (!AllFinite(acvf, static_cast<long>(p) + 1)) return kStatusNotFinite;
    Vec1<const double> gamma(acvf);  // gamma(h+1) = gamma(h)
    if (!(gamma(1) > 0.0)) return kStatusDegenerate;
    Mat1<double> g(G);
    for (int j = 1; j <= p; ++j)
        for (int i = 1; i <= p; ++i) g(i, j) = gamma(std::abs(i - j) + 1) / gamma(1);
    int fail = kStatusDone;
    InvertMatrix(p - 1, G, kLeadingDimension, fail, kInvertSymmetric);
    if (fail != kStatusDone) return kStatusInversionFailed;
    std::vector<double> solution(p);
    for (int i = 1; i <= p; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= p; ++j) sum += g(i, j) * (gamma(j + 1) / gamma(1));
        solution[i - 1] = sum;
    }
    if (!AllFinite(solution.data(), p)) return kStatusOutOfRange;
    std::copy(solution.begin(), solution.end(), phi);
    return kStatusDone;
}

int HannanRissanenFit(double* coef, double* resid, int p, int q, double* M, const double* acvf,
                      int m, int n, const double* x)
{
    if (p < 0 || p > kMaxArmaOrder || q < 0 || q > kMaxArmaOrder || p + q < 1 || m < 1 ||
        m > kLeadingDimension)
        return kStatusBadArgument;
    const int k = p + q;
    const int t0 = m + std::max(p, q) + 1;
    // Fewer than k equations after t0 leave the cross-product matrix singular.
    if (n - t0 + 1 < k) return kStatusBadArgument;
    if (!AllFinite(x, n) || !AllFinite(acvf, static_cast<long>(m) + 1)) return kStatusNotFinite;

    std::vector<double> work(static_cast<size_t>(kLeadingDimension) * m), aStore(m);
    const int status = YuleWalkerFit(m, work.data(), acvf, aStore.data());
    if (status != kStatusDone) return status;

    Vec1<const double> xv(x), a(aStore.data());
    Vec1<double> e(resid);
    for (int t = 1; t <= m; ++t) e(t) = 0.0;
    for (int t = m + 1; t <= n; ++t) {
        double sum = xv(t);
        for (int j = 1; j <= m; ++j) sum -= a(j) * xv(t - j);
        e(t) = sum;
    }

    // Regressor i at time t: x(t-i) for i <= p, resid(t-(i-p)) beyond.
    auto z = [&](int i, int t) { return i <= p ? xv(t - i) : e(t - (i - p)); };
    Mat1<double> mm(M);
    std::vector<double> yStore(k, 0.0);
    Vec1<double> y(yStore.data());
    for (int j = 1; j <= k; ++j)
        for (int i = 1; i <= k; ++i) {
            double sum = 0.0;
            for (int t = t0; t <= n; ++t) sum += z(i, t) * z(j, t);
            mm(i, j) = sum;
        }
    for (int i = 1; i <= k; ++i) {
        double sum = 0.0;
        for (int t = t0; t <= n; ++t) sum += z(i, t) * xv(t);
        y(i) = sum;
    }
    int fail = kStatusDone;
    InvertMatrix(k - 1, M, kLeadingDimension, fail, kInvertSymmetric);
    // The series was finite: cross products that are not overflowed.
    if (fail == kStatusNotFinite || fail == kStatusOutOfRange) return kStatusOutOfRange;
    if (fail != kStatusDone) return kStatusInversionFailed;
    std::vector<double> solution(k);
    for (int i = 1; i <= k; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= k; ++j) sum += mm(i, j) * y(j);
        solution[i - 1] = sum;
    }
    // Squares of values near the top of the double range overflow in the cross products.
    if (!AllFinite(solution.data(), k) || !AllFinite(resid, n)) return kStatusOutOfRange;
    std::copy(solution.begin(), solution.end(), coef);
    return kStatusDone;
}
