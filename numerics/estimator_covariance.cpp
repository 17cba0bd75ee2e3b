#include "numerics/estimator_covariance.h"

#include "numerics/invert_matrix.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <cmath>
#include <vector>

void ArAcvfMatrix(int p, double* A, const double* a, int& status)
{
    if (p < 1 || p > kMaxArmaOrder) {
        status = kStatusBadArgument;
        return;
    }
    if (!AllFinite(a, p)) {
        status = kStatusNotFinite;
        return;
    }
    Vec1<const double> coef(a);
    Mat1<double> T(A, kArAcvfLeadingDimension);
    if (!(std::fabs(coef(p)) < 1.0)) {
        status = kStatusNotCausal;
        return;
    }
    std::vector<double> v(p + 1), d(p + 1), g(p + 1);
    v[p] = 1.0;
    for (int j = 1; j <= p; ++j) T(p, j) = coef(j);
    for (int k = p; k >= 1; --k) {
        d[k] = 1.0 - T(k, k) * T(k, k);
        for (int j = 1; j <= k - 1; ++j) T(k - 1, j) = (T(k, j) + T(k, k) * T(k, k - j)) / d[k];
        if (k > 1 && !(std::fabs(T(k - 1, k - 1)) < 1.0)) {
            status = kStatusNotCausal;
            return;
        }
        v[k - 1] = v[k] / d[k];
    }
    g[0] = v[0];
    g[1] = T(1, 1) * v[0];
    for (int m = 2; m <= p; ++m) {
        double sum = T(m, m) * v[m - 1];
        for (int j = 1; j <= m - 1; ++j) sum += T(m - 1, j) * g[m - j];
        g[m] = sum;
    }
    for (int j = 1; j <= p; ++j)
        for (int i = 1; i <= p; ++i) T(i, j) = g[std::abs(i - j)];
    status = kStatusDone;
}

void ArmaEstimatorCovariance(int p, int q, const double* coef, int k, const int* idx, double* V,
                             int& code, int& fail)
{
    code = kCovarianceDone;
    fail = kStatusDone;
    bool argumentsValid = p >= 0 && p <= kMaxArmaOrder && q >= 0 && q <= kMaxArmaOrder &&
                          p + q >= 1 && k >= 1 && k <= p + q;
    for (int i = 0; argumentsValid && i < k; ++i)
        argumentsValid = idx[i] >= 1 && idx[i] <= p + q && (i == 0 || idx[i] > idx[i - 1]);
    if (!argumentsValid) {
        code = kCovarianceBadArgument;
        return;
    }
    if (!AllFinite(coef, p + q)) {
        code = kCovarianceNotFinite;
        return;
    }

    Vec1<const double> c(coef);
    Mat1<double> v(V);
    std::vector<double> a1Store(kArAcvfLeadingDimension * kArAcvfLeadingDimension);
    std::vector<double> a2Store(a1Store.size());
    Mat1<double> A1(a1Store.data(), kArAcvfLeadingDimension);
    Mat1<double> A2(a2Store.data(), kArAcvfLeadingDimension);
    std::vector<double> negTheta(q);
    for (int j = 1; j <= q; ++j) negTheta[j - 1] = -c(p + j);

    if (p == 0 || q == 0) {
        const int order = p + q;
        ArAcvfMatrix(order, a1Store.data(), p == 0 ? negTheta.data() : coef, fail);
        if (fail < 0) {
            code = p == 0 ? kCovarianceMaNotInvertible : kCovarianceArNotCausal;
            return;
        }
        for (int j = 1; j <= order; ++j)
            for (int i = 1; i <= order; ++i) v(i, j) = A1(i, j);
    } else {
        // Column p of the inverse of this banded matrix gives the cross covariances
        // E U(t-i)V(t-j) = cross(p-i+j). The matrix is singular when phi and theta share a
        // root; the causality and invertibility tests below take precedence in the report.
        const int n = p + q;
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) v(i, j) = (i == j) ? 1.0 : 0.0;
        for (int i = 1; i <= p; ++i)
            for (int l = 1; l <= q; ++l) v(i, i + l) = c(p + l);
        for (int i = p + 1; i <= n; ++i)
            for (int l = 1; l <= p; ++l) v(i, i - l) = -c(l);
        int crossFail = kStatusDone;
        InvertMatrix(n - 1, V, kLeadingDimension, crossFail, kInvertGaussJordan);
        std::vector<double> cross(n + 1);
        for (int r = 1; r <= n; ++r) cross[r] = v(r, p);

        ArAcvfMatrix(p, a2Store.data(), coef, fail);
        if (fail < 0) {
            code = kCovarianceArNotCausal;
            return;
        }
        ArAcvfMatrix(q, a1Store.data(), negTheta.data(), fail);
        if (fail < 0) {
            code = kCovarianceMaNotInvertible;
            return;
        }
        if (crossFail != kStatusDone) {
            code = kCovarianceSingular;
            fail = kStatusInversionFailed;
            return;
        }
        for (int j = 1; j <= p; ++j)
            for (int i = 1; i <= p; ++i) v(i, j) = A2(i, j);
        for (int j = 1; j <= q; ++j)
            for (int i = 1; i <= q; ++i) v(p + i, p + j) = A1(i, j);
        for (int i = 1; i <= p; ++i)
            for (int j = 1; j <= q; ++j) v(p + j, i) = v(i, p + j) = cross[p - i + j];
    }

    // Compress to the free coefficients in place: idx increases, so every source lies at or
    // after its target in this order and is read before it could be overwritten.
    Vec1<const int> ix(idx);
    for (int i = 1; i <= k; ++i)
        for (int j = 1; j <= k; ++j) v(i, j) = v(ix(i), ix(j));

    InvertMatrix(k - 1, V, kLeadingDimension, fail, kInvertGaussJordan);
    bool usable = fail == kStatusDone;
    for (int i = 1; usable && i <= k; ++i) usable = v(i, i) > 0.0 && std::isfinite(v(i, i));
    if (!usable) {
        code = kCovarianceSingular;
        fail = kStatusInversionFailed;
    }
}
