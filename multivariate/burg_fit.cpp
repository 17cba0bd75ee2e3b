#include "multivariate/burg_fit.h"

#include "numerics/scaled_results.h"
#include "numerics/series_scaling.h"
#include "numerics/small_matrix.h"
#include "multivariate/var_fit_support.h"
#include "numerics/status.h"
#include "platform/blas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// 2 pi to ten digits, as the criterion has always been computed.
constexpr double kTwoPi = 6.283185307;
constexpr double kPastData = 1e20;

constexpr const char* kDifficulties =
    "\n Numerical difficulties \n   <Press any key to start over>\n";
constexpr const char* kNotPositiveDefinite = " MATRIX NOT POSITIVE DEFINITE IN CHOLES\n";

// CHOLES on a copy of A in L; false (after the diagnostic line) when A is not positive definite.
bool Factor(const double* A, int m, double* L)
{
    if (A != L) std::copy_n(A, static_cast<std::size_t>(m) * m, L);
    if (CHOLES(L, m, m) == kStatusDone) return true;
    WriteVarDiagnostic(kNotPositiveDefinite);
    return false;
}

// N ln d + (2k + 2) / (1 - (k + 2)/(m N)) + m N (1 + ln 2 pi) with k = l·m·m, or 1E20 when the
// order has too few data.
double Criterion(int l, int n, int m, double d)
{
    if (VarOrderPastData(l, n, m)) return kPastData;
    const double k = static_cast<double>(static_cast<long long>(l) * m * m);
    const double mN = static_cast<double>(static_cast<long long>(n) * m);
    return n * std::log(d) + (2.0 * k + 2.0) / (1.0 - (k + 2.0) / mN) +
           mN * (1.0 + std::log(kTwoPi));
}

// The normalised partial correlation of one order from the error sums over s = 1..n-order.
// Returns false when a sum is not positive definite.
bool PartialCorrelation(int n, int m, int order, const double* e, BurgMvarWork& work)
{
    const std::size_t ns = static_cast<std::size_t>(n);
    const int length = n - order;
    const int one = 1;
    for (int j = 0; j < m; ++j)
        for (int i = 0; i < m; ++i) {
            const std::size_t ij = i + static_cast<std::size_t>(m) * j;
            if (length <= 0) {
                work.Sfb[ij] = work.Sff[ij] = work.Sbb[ij] = 0.0;
                continue;
            }
            const double* ei = e + order + ns * i;
            const double* bi = work.b.data() + ns * i;
            work.Sfb[ij] = ddot_(&length, ei, &one, work.b.data() + ns * j, &one);
            work.Sff[ij] = ddot_(&length, ei, &one, e + order + ns * j, &one);
            work.Sbb[ij] = ddot_(&length, bi, &one, work.b.data() + ns * j, &one);
        }
    // Sff and Sbb become their factors Lf and Lb, Sfb the correlation Lf^-1 Sfb (Lb')^-1.
    if (!Factor(work.Sff.data(), m, work.Sff.data()) ||
        !Factor(work.Sbb.data(), m, work.Sbb.data()))
        return false;
    SolveLower(work.Sff.data(), m, m, work.Sfb.data(), m);
    SolveLowerTransposedRight(work.Sbb.data(), m, m, work.Sfb.data(), m);
    return true;
}

// e(t) -= Ap b(t-order) and b(s) -= Bp e(s+order), both from the errors of the previous order.
void UpdateErrors(int n, int m, int order, const double* Ap, const double* Bp, double* e,
                  BurgMvarWork& work)
{
    const std::size_t ns = static_cast<std::size_t>(n);
    const int length = n - order;
    if (length <= 0) return;
    const int one = 1;
    double* b = work.b.data();
    double* w = work.w.data();
    for (int i = 0; i < m; ++i) {
        double* wi = w + ns * i;
        for (int s = 0; s < length; ++s) wi[s] = 0.0;
        for (int j = 0; j < m; ++j) daxpy_(&length, &Ap[i + m * j], b + ns * j, &one, wi, &one);
    }
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) {
            const double minus = -Bp[i + m * j];
            daxpy_(&length, &minus, e + order + ns * j, &one, b + ns * i, &one);
        }
    const double minusOne = -1.0;
    for (int i = 0; i < m; ++i)
        daxpy_(&length, &minusOne, w + ns * i, &one, e + order + ns * i, &one);
}

// Turns the partial matrices A(.,.,1..chosen) and B(1..chosen) into the coefficient matrices
// of the order-chosen model (the multivariate Levinson step-up).
void StepUp(int m, int chosen, double* A, BurgMvarWork& work)
{
    const std::size_t mm = static_cast<std::size_t>(m) * m;
    auto a = [&](int k) { return A + (k - 1) * mm; };
    auto b = [&](int k) { return work.B.data() + (k - 1) * mm; };
    std::vector<double>& newA = work.F;
    std::vector<double>& newB = work.G;
    for (int k = 2; k <= chosen; ++k)
        for (int j = 1; j <= k / 2; ++j) {
            const int l = k - j;
            std::copy_n(a(j), mm, newA.data());
            AddProduct(m, -1.0, a(k), b(l), false, newA.data());
            std::copy_n(b(j), mm, newB.data());
            AddProduct(m, -1.0, b(k), a(l), false, newB.data());
            if (j < l) {
                AddProduct(m, -1.0, a(k), b(j), false, a(l));
                AddProduct(m, -1.0, b(k), a(j), false, b(l));
            }
            std::copy_n(newA.data(), mm, a(j));
            std::copy_n(newB.data(), mm, b(j));
        }
}

int Fit(const double* X, int n, int m, double* PHI, double* V, int& p, double& AICC, double* R)
{
    const std::size_t mm = static_cast<std::size_t>(m) * m;
    const std::size_t nm = static_cast<std::size_t>(n) * m;
    // The recursion runs on the series scaled by 2^k to unit size, where its covariances and
    // determinants stay within the doubles whatever the scale of the data: the coefficients are
    // those of the data exactly, the covariance and the criterion are taken back at the end.
    const int k = SeriesScaleExponent(X, n, m);
    std::vector<double> E(nm), C0(mm);
    TimeFirstCopy(X, n, m, nullptr, E.data());
    ScaleSeries(E.data(), n, m, k);
    LaggedProducts(E.data(), n, m, 0, C0.data());
    for (double& c : C0) c /= n;
    double d0 = 0.0;
    int status = Determinant(C0.data(), m, m, d0);
    if (status == kStatusNoMemory) return status;
    // A covariance that overflowed has no usable determinant either.
    if (status != kStatusDone || !(d0 > 0.0) || !std::isfinite(d0) || !AllFinite(C0.data(), mm)) {
        WriteVarDiagnostic(kDifficulties);
        return kStatusDegenerate;
    }
    const double aicc0 = Criterion(0, n, m, d0);

    const int pmax = p >= 0 ? p : VarSearchBound(n, m);
    BurgMvarWork work;
    status = AllocateBurgMvarWork(work, n, m, pmax);
    if (status != kStatusDone) return status;
    std::vector<double> A(mm * (pmax > 0 ? pmax : 1)), v(mm);
    int chosen = 0;
    double aicc = 0.0;
    status = BurgMvarRecursion(p, n, m, pmax, E.data(), chosen, v.data(), A.data(), work, aicc);
    if (p == -1 && !(aicc < aicc0)) chosen = 0;
    if (chosen == 0) {
        aicc = aicc0;
        std::copy_n(work.Vf.data(), mm, v.data());
    }
    if (!std::isfinite(aicc) || !AllFinite(v.data(), mm) || !AllFinite(A.data(), mm * chosen))
        return kStatusDegenerate;
    // det V = 2^-2mk det of the scaled covariance; the 1E20 of an order past the data stands.
    if (aicc != kPastData) aicc -= 2.0 * k * std::log(2.0) * m * n;
    if (!UnscaleCovariance(m, k, v.data()) || !std::isfinite(aicc)) return kStatusOutOfRange;

    StoreCoefficients(m, chosen, A.data(), PHI);
    std::copy_n(v.data(), mm, V);
    std::copy_n(X, nm, R);
    AICC = aicc;
    p = chosen;
    return status;
}

}  // namespace

int AllocateBurgMvarWork(BurgMvarWork& work, int n, int m, int pmax)
{
    const std::size_t mm = static_cast<std::size_t>(m) * m;
    const std::size_t nm = static_cast<std::size_t>(n) * m;
    return NoMemoryAsStatus([&] {
        work.b.resize(nm);
        work.w.resize(nm);
        work.Vf.resize(mm * (static_cast<std::size_t>(pmax) + 1));
        work.Vb.resize(mm * (static_cast<std::size_t>(pmax) + 1));
        work.B.resize(mm * static_cast<std::size_t>(pmax > 0 ? pmax : 1));
        for (std::vector<double>* v :
             {&work.Sfb, &work.Sff, &work.Sbb, &work.Cf, &work.Cb, &work.F, &work.G, &work.scratch})
            v->resize(mm);
        return kStatusDone;
    });
}

int BurgMvarRecursion(int mode, int n, int m, int pmax, double* E, int& chosen, double* V,
                      double* A, BurgMvarWork& work, double& AICC)
{
    if (mode >= 0) pmax = mode;
    const std::size_t mm = static_cast<std::size_t>(m) * m;
    const std::size_t nm = static_cast<std::size_t>(n) * m;
    std::copy_n(E, nm, work.b.data());
    auto vf = [&](int k) { return work.Vf.data() + k * mm; };
    auto vb = [&](int k) { return work.Vb.data() + k * mm; };

    LaggedProducts(E, n, m, 0, vf(0));
    for (std::size_t i = 0; i < mm; ++i) vf(0)[i] /= n;
    for (int j = 0; j < m; ++j)
        for (int i = j + 1; i < m; ++i) vf(0)[j + m * i] = vf(0)[i + m * j];
    std::copy_n(vf(0), mm, vb(0));
    double d = 0.0;
    FactorCopy(vf(0), work.scratch.data(), m, m, d);
    double best = Criterion(0, n, m, d);
    chosen = 0;

    double last = best;
    bool completed = true;
    for (int order = 1; order <= pmax; ++order) {
        if (!PartialCorrelation(n, m, order, E, work) ||
            !Factor(vf(order - 1), m, work.Cf.data()) ||
            !Factor(vb(order - 1), m, work.Cb.data())) {
            completed = false;
            break;
        }
        const double* P = work.Sfb.data();
        double* F = work.F.data();
        double* G = work.G.data();
        for (int j = 0; j < m; ++j)
            for (int i = 0; i < m; ++i) {
                double f = 0.0, g = 0.0;
                for (int k = 0; k <= i; ++k) {
                    f += work.Cf[i + m * k] * P[k + m * j];
                    g += work.Cb[i + m * k] * P[j + m * k];
                }
                F[i + m * j] = f;
                G[i + m * j] = g;
            }
        double* Ap = A + (order - 1) * mm;
        double* Bp = work.B.data() + (order - 1) * mm;
        std::copy_n(F, mm, Ap);
        SolveLowerRight(work.Cb.data(), m, m, Ap, m);
        std::copy_n(G, mm, Bp);
        SolveLowerRight(work.Cf.data(), m, m, Bp, m);
        std::copy_n(vf(order - 1), mm, vf(order));
        AddProduct(m, -1.0, F, F, true, vf(order));
        std::copy_n(vb(order - 1), mm, vb(order));
        AddProduct(m, -1.0, G, G, true, vb(order));
        UpdateErrors(n, m, order, Ap, Bp, E, work);

        FactorCopy(vf(order), work.scratch.data(), m, m, d);
        if (!(d > 0.0)) {
            completed = false;
            break;
        }
        last = Criterion(order, n, m, d);
        if (best > last) {
            best = last;
            chosen = order;
        }
    }
    if (completed && mode >= 0) {
        best = last;
        chosen = pmax;
    }
    std::copy_n(vf(chosen), mm, V);
    AICC = best;
    StepUp(m, chosen, A, work);
    return completed ? kStatusDone : kStatusLowerOrder;
}

int BurgMvarFit(const double* X, int n, int m, double* PHI, double* V, int& p, double& AICC,
                double* R)
{
    if (!VarArgumentsValid(X, n, m, p, -1)) return kStatusBadArgument;
    return NoMemoryAsStatus([&] { return Fit(X, n, m, PHI, V, p, AICC, R); });
}
