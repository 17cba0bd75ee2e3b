// The numerics of molda and drav: small matrix routines in their precisions, the order rules, the
// fits against R and against the double-precision Burg fit, the Burg fit's early ends, psi
// matrices and forecast errors, and differencing with its inverse.
#include "var_reference.h"

#include "console/drav_fit.h"
#include "console/molda_fit.h"
#include "console/var_numerics.h"
#include "multivariate/burg_fit.h"
#include "numerics/series_scaling.h"
#include "numerics/status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

std::size_t Entry(int i, int j)
{
    return static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(kVarLd) * static_cast<std::size_t>(j - 1);
}

std::size_t At(int k, int i, int j)
{
    return static_cast<std::size_t>(k - 1) * kVarMatrix + Entry(i, j);
}

// An m × m matrix given by rows, in a kVarLd × kVarLd block.
template <typename T>
std::vector<T> Block(int m, const std::vector<double>& rows)
{
    std::vector<T> a(kVarMatrix, T(0));
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
            a[Entry(i, j)] = static_cast<T>(rows[static_cast<std::size_t>((i - 1) * m + (j - 1))]);
    return a;
}

// The lag-12 differences of the deaths series, mean-corrected, in the precision T.
template <typename T>
struct Differenced {
    int m = 0;
    int n = 0;
    std::vector<T> Y;
    std::vector<T> mean, var, sd;

    explicit Differenced(int components) : m(components)
    {
        const std::vector<float> X = DeathsData(m);
        Y.resize(X.size());
        mean.resize(static_cast<std::size_t>(m));
        var.resize(mean.size());
        sd.resize(mean.size());
        n = DifferenceSeries(X.data(), static_cast<int>(X.size()) / m, m, 1, 12, 0, Y.data());
        MeanCorrect(m, n, Y.data(), mean.data(), var.data(), sd.data());
    }
    // The series time first, as the Burg fit takes it.
    std::vector<float> TimeFirst() const
    {
        std::vector<float> D(static_cast<std::size_t>(n) * m);
        for (int t = 0; t < n; ++t)
            for (int j = 0; j < m; ++j) D[static_cast<std::size_t>(t + n * j)] = static_cast<float>(Y[t * m + j]);
        return D;
    }
};

MoldaWork moldaWork;
DravWork dravWork;

TEST(MoldaMatrices, InverseHoldsItsPivotInSinglePrecision)
{
    struct Case {
        const char* name;
        int m;
        std::vector<double> rows;
        int flag;
        std::vector<double> inverse;  // by rows, when flag is 0; the matrix left behind otherwise
        double tolerance;
    };
    const Case cases[] = {
        {"2 x 2", 2, {2, 1, 1, 2}, 0, {2.0 / 3, -1.0 / 3, -1.0 / 3, 2.0 / 3}, 1e-7},
        {"5, with a pivot exact in single precision", 1, {5}, 0, {0.19999999999999996}, 0.0},
        {"0", 1, {0}, 1, {1}, 0.0},
        {"an exchange would be needed", 2, {0, 1, 1, 0}, 1, {1, 1, 1, 1}, 0.0},
        {"non-symmetric", 2, {4, 3, 6, 3}, 0, {-0.5, 0.5, 1.0, -2.0 / 3}, 1e-6},
    };
    for (const Case& c : cases) {
        std::vector<double> a = Block<double>(c.m, c.rows);
        int flag = -1;
        MoldaInvertMatrix(c.m - 1, a.data(), flag);
        EXPECT_EQ(flag, c.flag) << c.name;
        for (int i = 1; i <= c.m; ++i)
            for (int j = 1; j <= c.m; ++j)
                EXPECT_NEAR(a[Entry(i, j)], c.inverse[static_cast<std::size_t>((i - 1) * c.m + j - 1)], c.tolerance)
                    << c.name << " (" << i << "," << j << ")";
    }
    // 0.1 + 1 - 1 is not a float: the inverse of 0.1 misses 10 by the float rounding of the pivot.
    std::vector<double> a = Block<double>(1, {0.1});
    int flag = -1;
    MoldaInvertMatrix(0, a.data(), flag);
    EXPECT_EQ(flag, 0);
    EXPECT_NEAR(a[0], 10.0, 1e-5);
    EXPECT_GT(std::fabs(a[0] - 10.0), 1e-9);
}

TEST(MoldaMatrices, DeterminantsOfBothPrecisions)
{
    struct Case {
        const char* name;
        int m;
        std::vector<double> rows;
        double det;
    };
    const Case cases[] = {
        {"identity", 2, {1, 0, 0, 1}, 1.0},
        {"one interchange", 2, {0, 1, 1, 0}, -1.0},
        {"scale plus size keeps row 1", 2, {3, 4, 1, 0.5}, -2.5},
        {"a zero pivot becomes 1e-20", 2, {0, 0.001, 1, 1}, -0.001},
        {"a zero row", 3, {1, 2, 3, 0, 0, 0, 4, 5, 7}, 0.0},
        {"3 x 3", 3, {2, -1, 0, -1, 2, -1, 0, -1, 2}, 4.0},
    };
    for (const Case& c : cases) {
        double det = -7.0;
        ASSERT_EQ(MoldaDeterminant(Block<double>(c.m, c.rows).data(), c.m, det), 1) << c.name;
        EXPECT_NEAR(det, c.det, 1e-12 + 1e-9 * std::fabs(c.det)) << c.name;
        float single = -7.0f;
        ASSERT_EQ(DravDeterminant(Block<float>(c.m, c.rows).data(), c.m, single), 1) << c.name;
        EXPECT_NEAR(single, c.det, 1e-6 + 1e-5 * std::fabs(c.det)) << c.name;
    }
}

TEST(VarOrders, TiesKeepTheLowerOrderAndDravsOrderZeroWinsATie)
{
    struct Best {
        std::vector<float> aicc;
        int order;
    };
    const Best best[] = {
        {{5.0f, 3.0f, 3.0f, 4.0f}, 1}, {{2.0f, 2.0f, 2.0f}, 0}, {{9.0f, 8.0f, 1e20f, 7.0f}, 3}, {{1.0f}, 0}};
    for (const Best& b : best)
        EXPECT_EQ(MoldaBestOrder(b.aicc.data(), static_cast<int>(b.aicc.size())), b.order);

    struct Search {
        float aicc0, fitAicc;
        int chosen, order;
    };
    const Search searches[] = {{100.0f, 100.0f, 3, 0}, {99.0f, 100.0f, 3, 0}, {101.0f, 100.0f, 3, 3}, {5.0f, 5.0f, 0, 0}};
    for (const Search& s : searches)
        EXPECT_EQ(DravSearchOrder(s.aicc0, s.fitAicc, s.chosen), s.order) << s.aicc0 << " " << s.fitAicc;

    struct Bound {
        int nPrime, m, pmax;
    };
    const Bound bounds[] = {{50, 3, 16}, {60, 2, 21}, {60, 1, 21}, {1, 2, 0}, {2, 2, 0}, {3, 2, 1}, {1, 1, -1}};
    for (const Bound& b : bounds)
        EXPECT_EQ(VarOrderBound(b.nPrime, b.m), b.pmax) << b.nPrime << " x " << b.m;
}

TEST(MoldaFit, MatchesRsYuleWalkerFitsAndTheirLikelihood)
{
    const VarReference reference;
    Differenced<double> d(2);
    Standardise(d.Y.data(), d.n, d.m, static_cast<double*>(nullptr), kVarLd, d.sd.data(), 1);
    MoldaCovariances(d.Y.data(), d.n, d.m, moldaWork);
    std::vector<float> e(kVarSeriesLength);
    int failed = -1;
    const int pmax = VarOrderBound(d.n, d.m);
    ASSERT_EQ(pmax, 21);
    ASSERT_EQ(MoldaRecursion(d.Y.data(), d.n, d.m, pmax - 1, moldaWork, e.data(), failed), 1);
    const double logVariances = std::log(d.var[0]) + std::log(d.var[1]);
    for (int k = 0; k < pmax; ++k) {
        const double expected = reference.Get("molda", "search_aicc", k);
        EXPECT_NEAR(moldaWork.aicc[k] + d.n * logVariances, expected, 2e-6 * std::fabs(expected)) << "order " << k;
    }
    EXPECT_EQ(MoldaBestOrder(moldaWork.aicc, pmax), static_cast<int>(reference.Get("molda", "search_best")));

    // Order 2 on the data scale; the inverses hold their pivots in single precision.
    ASSERT_EQ(MoldaRecursion(d.Y.data(), d.n, d.m, 2, moldaWork, e.data(), failed), 1);
    for (int k = 1; k <= 2; ++k)
        for (int a = 1; a <= 2; ++a)
            for (int b = 1; b <= 2; ++b)
                EXPECT_NEAR(MoldaCoefficient(moldaWork, 2, k)[Entry(a, b)] * d.sd[a - 1] / d.sd[b - 1],
                            reference.Get("molda", "phi", k, a, b), 1e-6);
    for (int a = 1; a <= 2; ++a)
        for (int b = 1; b <= 2; ++b) {
            const double expected = reference.Get("molda", "V", a, b);
            EXPECT_NEAR(moldaWork.vf[Entry(a, b)] * d.sd[a - 1] * d.sd[b - 1], expected, 1e-7 * std::fabs(expected));
        }
}

TEST(MoldaFit, ASingularLagZeroCovarianceFailsAtOrderZero)
{
    // The second component is 0 at every time: Gamma(0) is singular at order 0.
    std::vector<double> Y;
    for (int t = 1; t <= 20; ++t) {
        Y.push_back(t % 3 - 1.0);
        Y.push_back(0.0);
    }
    MoldaCovariances(Y.data(), 20, 2, moldaWork);
    std::vector<float> e(kVarSeriesLength);
    int failed = -1;
    EXPECT_EQ(MoldaRecursion(Y.data(), 20, 2, 3, moldaWork, e.data(), failed), 0);
    EXPECT_EQ(failed, 0);
}

TEST(DravFit, OneComponentMatchesTheRecursionWrittenInR)
{
    const VarReference reference;
    const Differenced<float> d(1);
    for (int choice : {2, -1}) {
        std::vector<float> D = d.TimeFirst();
        std::vector<float> phi(kVarLagSetLength), V(kVarMatrix);
        int q = -1;
        float aicc = 0.0f;
        BurgFitEnd end;
        const int pmax = VarOrderBound(d.n, 1);
        BurgFit(choice, d.n, 1, pmax - 1, D.data(), phi.data(), q, V.data(), aicc, dravWork, end);
        EXPECT_EQ(end.order, 0);
        const int expectedOrder = choice >= 0 ? choice : static_cast<int>(reference.Get("drav1", "search_best"));
        ASSERT_EQ(q, expectedOrder);
        EXPECT_NEAR(aicc, reference.Get("drav1", "search_aicc", q), 2e-6 * std::fabs(aicc));
        if (choice < 0)
            continue;
        for (int k = 1; k <= 2; ++k)
            EXPECT_NEAR(phi[At(k, 1, 1)], reference.Get("drav1", "phi", k, 1, 1), 2e-6) << "lag " << k;
        const double v = reference.Get("drav1", "V", 1, 1);
        EXPECT_NEAR(V[0], v, 2e-6 * v);
    }
}

TEST(DravFit, TwoComponentsMatchTheDoublePrecisionBurgFit)
{
    const Differenced<float> d(2);
    std::vector<double> X(d.Y.begin(), d.Y.end());
    for (int choice : {2, 4, -1}) {
        std::vector<float> D = d.TimeFirst();
        std::vector<float> phi(kVarLagSetLength), V(kVarMatrix);
        int q = -1;
        float aicc = 0.0f;
        BurgFitEnd end;
        BurgFit(choice, d.n, 2, VarOrderBound(d.n, 2) - 1, D.data(), phi.data(), q, V.data(), aicc, dravWork, end);

        std::vector<double> PHI(20 * 4), Vd(4), R(X.size());
        int p = choice;
        double AICC = 0.0;
        ASSERT_EQ(BurgMvarFit(X.data(), d.n, 2, PHI.data(), Vd.data(), p, AICC, R.data()), kStatusDone);
        EXPECT_EQ(end.order, 0);
        ASSERT_EQ(q, p) << "choice " << choice;
        // The double fit takes 2 pi to ten digits.
        EXPECT_NEAR(aicc, AICC, 2e-6 * std::fabs(AICC)) << "choice " << choice;
        double largest = 0.0;
        for (double v : PHI) largest = std::max(largest, std::fabs(v));
        for (int k = 1; k <= q; ++k)
            for (int i = 1; i <= 2; ++i)
                for (int j = 1; j <= 2; ++j)
                    EXPECT_NEAR(phi[At(k, i, j)], PHI[(k - 1) + 20 * ((i - 1) + 2 * (j - 1))], 1e-5 * largest)
                        << "choice " << choice << " lag " << k << " (" << i << "," << j << ")";
        for (int i = 1; i <= 2; ++i)
            for (int j = 1; j <= 2; ++j)
                EXPECT_NEAR(V[Entry(i, j)], Vd[(i - 1) + 2 * (j - 1)], 1e-5 * Vd[0]);
    }
}

TEST(DravFit, EarlyEndsLeaveTheBestLowerOrder)
{
    struct Case {
        const char* name;
        int m;
        std::vector<float> rows;  // time by time
        int choice;
        int endOrder;
        bool notPositiveDefinite;
    };
    // The second component half the first: the sums of order 1 are exactly singular. A series of
    // period 2 with 9 products is predicted exactly at order 1: Vf(1) = 0.
    std::vector<float> proportional, alternating;
    for (int t = 1; t <= 10; ++t) {
        const float x = t == 1 ? -9.0f : 1.0f;
        proportional.push_back(x);
        proportional.push_back(x / 2);
        alternating.push_back(t % 2 ? 1.0f : -1.0f);
    }
    const Case cases[] = {
        {"not positive definite, fixed order", 2, proportional, 2, 1, true},
        {"not positive definite, search", 2, proportional, -1, 1, true},
        {"determinant 0, fixed order", 1, alternating, 3, 1, false},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.rows.size()) / c.m;
        std::vector<float> D(c.rows.size());
        for (int t = 0; t < n; ++t)
            for (int j = 0; j < c.m; ++j) D[static_cast<std::size_t>(t + n * j)] = c.rows[static_cast<std::size_t>(t * c.m + j)];
        std::vector<float> phi(kVarLagSetLength), V(kVarMatrix);
        int q = -1;
        float aicc = 0.0f;
        BurgFitEnd end;
        BurgFit(c.choice, n, c.m, 3, D.data(), phi.data(), q, V.data(), aicc, dravWork, end);
        EXPECT_EQ(end.order, c.endOrder) << c.name;
        EXPECT_EQ(end.notPositiveDefinite, c.notPositiveDefinite) << c.name;
        EXPECT_EQ(q, 0) << c.name;
        // V is the lag-0 covariance.
        float gamma0[kVarMatrix];
        DravLagZeroCovariance(c.rows.data(), n, c.m, gamma0);
        for (int i = 1; i <= c.m; ++i)
            for (int j = 1; j <= c.m; ++j) EXPECT_EQ(V[Entry(i, j)], gamma0[Entry(i, j)]) << c.name;
    }
}

TEST(VarForecasts, PsiMatricesAndMeanSquaredErrorsMatchR)
{
    const VarReference reference;
    std::vector<double> A(kVarLagSetLength, 0.0), PSI(kVarLagSetLength), MSE(kVarLagSetLength);
    std::vector<double> V(kVarMatrix, 0.0);
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j) {
            V[Entry(i, j)] = reference.Get("molda", "V", i, j);
            for (int k = 1; k <= 2; ++k) A[At(k, i, j)] = -reference.Get("molda", "phi", k, i, j);
        }
    PsiMatrices(A.data(), PSI.data(), 2, 2);
    ForecastMse(PSI.data(), V.data(), 2, 5, MSE.data());
    for (int step = 1; step <= 5; ++step)
        for (int i = 1; i <= 2; ++i)
            for (int j = 1; j <= 2; ++j) {
                const double expected = reference.Get("molda", "mse", step, i, j);
                EXPECT_NEAR(MSE[At(step, i, j)], expected, 1e-10 * std::fabs(expected)) << step;
                if (step == 1) {
                    EXPECT_EQ(MSE[At(1, i, j)], V[Entry(i, j)]) << "one step: V itself";
                }
            }
}

TEST(VarForecasts, TheUndifferencedOperatorKeepsLagsUpTo20)
{
    struct Case {
        int ndiff, lag1, lag2, p, q;
    };
    const Case cases[] = {{1, 12, 0, 15, 20}, {2, 1, 12, 2, 15}, {1, 1, 0, 20, 20}, {2, 6, 6, 3, 15}, {1, 3, 0, 0, 3}};
    const int m = 2;
    for (const Case& c : cases) {
        std::vector<double> PHI(kVarLagSetLength, 0.0);
        for (int k = 1; k <= c.p; ++k)
            for (int i = 1; i <= m; ++i)
                for (int j = 1; j <= m; ++j) PHI[At(k, i, j)] = 0.01 * k + 0.1 * i - 0.2 * j;
        std::vector<double> A(kVarLagSetLength);
        int q = -1;
        UndifferencedOperator(PHI.data(), c.p, m, c.ndiff, c.lag1, c.lag2, A.data(), q);
        EXPECT_EQ(q, c.q);
        // The operator's polynomial I - sum PHI(k) z^k times (1 - z^lag) for each lag, in full.
        const int degree = c.p + c.lag1 + c.lag2;
        std::vector<std::vector<double>> poly(static_cast<std::size_t>(degree) + 1, std::vector<double>(4, 0.0));
        poly[0] = {1, 0, 0, 1};
        for (int k = 1; k <= c.p; ++k)
            for (int i = 1; i <= m; ++i)
                for (int j = 1; j <= m; ++j) poly[k][(i - 1) + m * (j - 1)] = -PHI[At(k, i, j)];
        for (int f = 0; f < c.ndiff; ++f) {
            const int L = f == 0 ? c.lag1 : c.lag2;
            for (int k = degree; k >= L; --k)
                for (int e = 0; e < 4; ++e) poly[k][e] -= poly[k - L][e];
        }
        for (int k = 1; k <= kVarLags; ++k)
            for (int i = 1; i <= m; ++i)
                for (int j = 1; j <= m; ++j) {
                    const double expected = k <= degree ? poly[k][(i - 1) + m * (j - 1)] : 0.0;
                    EXPECT_NEAR(A[At(k, i, j)], expected, 1e-12) << "lag " << k;
                }
    }
}

TEST(VarForecasts, UndifferencingInvertsDifferencing)
{
    // Months 1..60 as data, the differences of months 61..72 as if they were forecasts: undoing
    // the differencing gives back the months (integers, exact in single precision).
    const std::vector<float> all = DeathsData(2);
    const int m = 2;
    struct Case {
        int ndiff, lag1, lag2;
    };
    for (const Case& c : {Case{1, 12, 0}, Case{2, 1, 12}, Case{2, 12, 12}, Case{1, 1, 0}}) {
        std::vector<double> Y(all.size());
        const int nPrimeAll = DifferenceSeries(all.data(), 72, m, c.ndiff, c.lag1, c.lag2, Y.data());
        const int n = 60;
        const int nPrime = nPrimeAll - 12;
        std::vector<float> X(all.begin(), all.begin() + n * m);
        X.resize(static_cast<std::size_t>(kVarSeriesLength), 0.0f);
        const double zero[2] = {0.0, 0.0};
        UndifferenceForecasts(X.data(), n, m, Y.data(), nPrime, zero, c.ndiff, c.lag1, c.lag2, 12);
        for (int i = 0; i < 12 * m; ++i) EXPECT_EQ(X[static_cast<std::size_t>(n * m + i)], all[static_cast<std::size_t>(n * m + i)]);
    }
}

}  // namespace
