#include "numerics/arma_acvf.h"
#include "numerics/estimator_covariance.h"
#include "numerics/status.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kLd = 54;

struct Covariance {
    int code, fail;
    std::vector<double> V;  // ld 54
    double operator()(int i, int j) const { return V[(i - 1) + kLd * (j - 1)]; }
};

Covariance RunCovariance(const std::vector<double>& coef, int p, int q, const std::vector<int>& idx)
{
    Covariance c{-9, -9, std::vector<double>(kLd * (p + q > 0 ? p + q : 1), -7.0)};
    ArmaEstimatorCovariance(p, q, coef.data(), static_cast<int>(idx.size()), idx.data(),
                            c.V.data(), c.code, c.fail);
    return c;
}

// Gamma by brute force from psi weights: U has weights of 1/phi(z), V of 1/theta(z), and
// E U(t-i)V(t-j) = sum_a psiU(a)·psiV(a+i-j). 4000 terms reach below 1e-16 for these models.
std::vector<double> GammaByPsiSums(const std::vector<double>& coef, int p, int q)
{
    const int L = 4000, n = p + q;
    std::vector<double> phi(coef.begin(), coef.begin() + p), negTheta;
    for (int j = 0; j < q; ++j) negTheta.push_back(-coef[p + j]);
    std::vector<double> psiU(L + 1), psiV(L + 1);
    EXPECT_EQ(PsiWeights(p, 0, phi.data(), L, psiU.data()), kStatusDone);
    EXPECT_EQ(PsiWeights(q, 0, negTheta.data(), L, psiV.data()), kStatusDone);
    auto cov = [&](const std::vector<double>& x, const std::vector<double>& y, int lag) {
        double s = 0.0;
        for (int a = std::max(0, -lag); a + lag <= L && a <= L; ++a) s += x[a] * y[a + lag];
        return s;
    };
    std::vector<double> G(n * n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const bool iu = i <= p, ju = j <= p;
            const int ti = iu ? i : i - p, tj = ju ? j : j - p;
            const std::vector<double>& x = iu ? psiU : psiV;
            const std::vector<double>& y = ju ? psiU : psiV;
            G[(i - 1) * n + (j - 1)] = cov(x, y, ti - tj);
        }
    return G;
}

}  // namespace

// Closed forms (Brockwell and Davis, section 8.8): AR(1) 1-phi^2; MA(1) 1-theta^2; AR(2)
// [[1-phi2^2, -phi1(1+phi2)], ...]; MA(2) the same with phi = -theta; ARMA(1,1)
// (1+phi·theta)/(phi+theta)^2 · [[(1-phi^2)(1+phi·theta), -(1-theta^2)(1-phi^2)],
// [.., (1-theta^2)(1+phi·theta)]]. Tolerance 1e-12 relative.
TEST(ArmaEstimatorCovariance, ClosedForms)
{
    struct Case { std::vector<double> coef; int p, q; std::vector<double> expected; };
    std::vector<Case> cases;
    for (double phi : {0.5, -0.8, 0.05}) cases.push_back({{phi}, 1, 0, {1 - phi * phi}});
    for (double theta : {0.3, -0.9}) cases.push_back({{theta}, 0, 1, {1 - theta * theta}});
    for (auto ph : {std::vector<double>{0.5, 0.3}, std::vector<double>{1.2, -0.5}}) {
        const double a = 1 - ph[1] * ph[1], b = -ph[0] * (1 + ph[1]);
        cases.push_back({ph, 2, 0, {a, b, b, a}});
        const std::vector<double> th = {-ph[0], -ph[1]};
        cases.push_back({th, 0, 2, {a, b, b, a}});
    }
    for (auto pt : {std::vector<double>{0.5, 0.3}, std::vector<double>{-0.7, 0.2},
                    std::vector<double>{0.9, -0.4}}) {
        const double f = pt[0], t = pt[1], s = (1 + f * t) / ((f + t) * (f + t));
        const double off = -s * (1 - t * t) * (1 - f * f);
        cases.push_back({pt, 1, 1, {s * (1 - f * f) * (1 + f * t), off, off,
                                    s * (1 - t * t) * (1 + f * t)}});
    }
    for (const Case& c : cases) {
        const int n = c.p + c.q;
        std::vector<int> all;
        for (int i = 1; i <= n; ++i) all.push_back(i);
        const Covariance v = RunCovariance(c.coef, c.p, c.q, all);
        ASSERT_EQ(v.code, kCovarianceDone) << c.coef[0];
        EXPECT_EQ(v.fail, kStatusDone);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                const double e = c.expected[(i - 1) * n + (j - 1)];
                EXPECT_NEAR(v(i, j), e, 1e-12 * (1 + std::fabs(e)))
                    << "p=" << c.p << " q=" << c.q << " coef0=" << c.coef[0] << " (" << i << ","
                    << j << ")";
            }
    }
}

// The returned inverse times Gamma (from psi sums) restricted to the free coefficients is the
// identity, for mixed models and for subsets that skip fixed coefficients. Tolerance 1e-10.
TEST(ArmaEstimatorCovariance, InverseOfFreeSubmatrixOfGamma)
{
    struct Case { std::vector<double> coef; int p, q; std::vector<int> idx; };
    const Case cases[] = {
        {{0.5, 0.3}, 1, 1, {2}},
        {{0.5, 0.3}, 1, 1, {1, 2}},
        {{0.6, -0.3, 0.5}, 2, 1, {1, 3}},
        {{0.6, -0.3, 0.5}, 2, 1, {1, 2, 3}},
        {{0.7, 0.4, 0.3, -0.2}, 1, 3, {1, 2, 3, 4}},
        {{0.7, 0.4, 0.3, -0.2}, 1, 3, {2, 4}},
        {{1.1, -0.4, -0.3, 0.2}, 2, 2, {1, 2, 3, 4}},
        {{0.3, 0.2, -0.25, 0.6, -0.2, 0.1}, 3, 3, {1, 3, 4, 6}},
    };
    for (const Case& c : cases) {
        const Covariance v = RunCovariance(c.coef, c.p, c.q, c.idx);
        ASSERT_EQ(v.code, kCovarianceDone);
        const std::vector<double> G = GammaByPsiSums(c.coef, c.p, c.q);
        const int n = c.p + c.q, k = static_cast<int>(c.idx.size());
        for (int i = 1; i <= k; ++i)
            for (int j = 1; j <= k; ++j) {
                double s = 0.0;
                for (int l = 1; l <= k; ++l)
                    s += v(i, l) * G[(c.idx[l - 1] - 1) * n + (c.idx[j - 1] - 1)];
                EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-10) << "p=" << c.p << " q=" << c.q;
            }
    }
    // Worked value: ARMA(1,1) 0.5, 0.3 with only theta free gives 1 - 0.3^2.
    EXPECT_NEAR(RunCovariance({0.5, 0.3}, 1, 1, {2})(1, 1), 0.91, 1e-14);
    EXPECT_NEAR(RunCovariance({0.5}, 1, 0, {1})(1, 1), 0.75, 1e-15);
}

TEST(ArmaEstimatorCovariance, FailuresMeanNoStandardErrors)
{
    struct Case { std::vector<double> coef; int p, q; std::vector<int> idx; int code, fail; };
    const Case cases[] = {
        {{1.0}, 1, 0, {1}, kCovarianceArNotCausal, -1},
        {{0.5, 0.6}, 2, 0, {1, 2}, kCovarianceArNotCausal, -1},
        {{-1.0, 0.3}, 1, 1, {1, 2}, kCovarianceArNotCausal, -1},
        {{1.5}, 0, 1, {1}, kCovarianceMaNotInvertible, -1},
        {{0.5, 1.0}, 1, 1, {1, 2}, kCovarianceMaNotInvertible, -1},
        // theta = -1/phi makes the cross-covariance system singular; the MA test reports it.
        {{0.5, -2.0}, 1, 1, {1, 2}, kCovarianceMaNotInvertible, -1},
        // A common factor (1 - 0.5B) on both sides: Gamma is singular.
        {{0.5, -0.5}, 1, 1, {1, 2}, kCovarianceSingular, kStatusInversionFailed},
        {{0.5}, 1, 0, {}, kCovarianceBadArgument, 0},
        {{0.5}, 1, 0, {2}, kCovarianceBadArgument, 0},
        {{0.5, 0.3}, 1, 1, {2, 1}, kCovarianceBadArgument, 0},
        {{0.5, 0.3}, 1, 1, {1, 1}, kCovarianceBadArgument, 0},
        {{}, 0, 0, {1}, kCovarianceBadArgument, 0},
    };
    for (const Case& c : cases) {
        const Covariance v = RunCovariance(c.coef, c.p, c.q, c.idx);
        EXPECT_EQ(v.code, c.code) << "p=" << c.p << " q=" << c.q;
        EXPECT_EQ(v.fail, c.fail) << "p=" << c.p << " q=" << c.q;
    }
}

// Every order pair up to 26 runs in bounds and gives a positive diagonal for a causal,
// invertible model without common factors.
TEST(ArmaEstimatorCovariance, AllOrderPairs)
{
    for (int p = 0; p <= 26; ++p)
        for (int q = 0; q <= 26; ++q) {
            if (p + q == 0) continue;
            std::vector<double> coef;
            for (int j = 1; j <= p; ++j) coef.push_back(j == p ? 0.5 : 0.0);
            for (int j = 1; j <= q; ++j) coef.push_back(j == 1 ? 0.3 : 0.0);
            std::vector<int> idx;
            for (int i = 1; i <= p + q; i += (p + q > 20 ? 2 : 1)) idx.push_back(i);
            const Covariance v = RunCovariance(coef, p, q, idx);
            ASSERT_EQ(v.code, kCovarianceDone) << p << "," << q;
            for (size_t i = 1; i <= idx.size(); ++i) EXPECT_GT(v(i, i), 0.0);
        }
}

TEST(ArAcvfMatrix, AutocovariancesAndCausality)
{
    std::vector<double> A(27 * 27, -7.0);
    int status = -9;
    const double ar2[] = {0.5, 0.3};
    ArAcvfMatrix(2, A.data(), ar2, status);
    ASSERT_EQ(status, kStatusDone);
    // AR(2), unit variance: gamma(0) = (1-phi2)/((1+phi2)((1-phi2)^2-phi1^2)), rho1 = phi1/(1-phi2).
    const double g0 = (1 - 0.3) / ((1 + 0.3) * ((1 - 0.3) * (1 - 0.3) - 0.25));
    EXPECT_NEAR(A[0], g0, 1e-14);
    EXPECT_NEAR(A[1], g0 * 0.5 / 0.7, 1e-14);
    EXPECT_EQ(A[1], A[27]);
    EXPECT_EQ(A[0], A[28]);

    const double unit[] = {0.2, 1.0}, stepDown[] = {0.5, 0.6};
    ArAcvfMatrix(2, A.data(), unit, status);
    EXPECT_EQ(status, kStatusNotCausal);
    ArAcvfMatrix(2, A.data(), stepDown, status);
    EXPECT_EQ(status, kStatusNotCausal);
    ArAcvfMatrix(0, A.data(), unit, status);
    EXPECT_EQ(status, kStatusBadArgument);
    ArAcvfMatrix(27, A.data(), unit, status);
    EXPECT_EQ(status, kStatusBadArgument);
}
