#include "numerics/secant_update.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// Column-major n x n matrix with leading dimension nr.
struct Matrix {
    int32_t nr, n;
    std::vector<double> v;
    Matrix(int32_t nr_, int32_t n_, double fill = 0.0)
        : nr(nr_), n(n_), v(static_cast<std::size_t>(nr_) * n_, fill) {}
    double& operator()(int i, int j) { return v[static_cast<std::size_t>(i + j * nr)]; }
    double* data() { return v.data(); }
};

// A well-conditioned lower factor with a leading dimension larger than n.
Matrix RandomLower(int32_t nr, int32_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> unif(-1.0, 1.0);
    Matrix a(nr, n, 99.0);  // 99 marks elements the routines must not read as part of L
    for (int j = 0; j < n; ++j) {
        a(j, j) = 1.5 + std::fabs(unif(gen));
        for (int i = j + 1; i < n; ++i) a(i, j) = 0.5 * unif(gen);
    }
    return a;
}

// H s with H = L L^T, computed directly from the lower triangle.
std::vector<double> HessianTimes(Matrix& a, const std::vector<double>& s)
{
    const int n = a.n;
    std::vector<double> t(n, 0.0), r(n, 0.0);
    for (int i = 0; i < n; ++i)
        for (int k = i; k < n; ++k) t[i] += a(k, i) * s[k];
    for (int i = 0; i < n; ++i)
        for (int k = 0; k <= i; ++k) r[i] += a(i, k) * t[k];
    return r;
}

}  // namespace

TEST(SecantUpdate, InitialFactorAndIdentitySolve)
{
    const double sx[] = {2.0, 3.0, 0.5};
    for (int method : {1, 3}) {
        Matrix a(5, 3, 7.0);
        InitialHessianFactor(5, 3, a.data(), sx, method);
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(a(j, j), method == 3 ? sx[j] * sx[j] : sx[j]);
            for (int i = j + 1; i < 3; ++i) EXPECT_EQ(a(i, j), 0.0);
            for (int i = 0; i < j; ++i) EXPECT_EQ(a(i, j), 7.0);  // upper triangle untouched
        }
    }
    const double one[] = {1.0, 1.0, 1.0};
    Matrix identity(3, 3);
    InitialHessianFactor(3, 3, identity.data(), one, 1);
    const double b[] = {4.0, -2.0, 0.25};
    double x[3];
    CholeskySolve(3, 3, identity.data(), x, b);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(x[i], b[i]);
}

TEST(SecantUpdate, TriangularProductsAndSolvesAreInverse)
{
    const int nr = 6, n = 4;
    Matrix a = RandomLower(nr, n, 7u);
    const std::vector<double> x = {0.3, -1.2, 2.0, 0.7};
    std::vector<double> y(n), z(n), back(n);

    LowerTimesVector(nr, n, a.data(), x.data(), y.data());
    for (int i = 0; i < n; ++i) {
        double expect = 0.0;
        for (int j = 0; j <= i; ++j) expect += a(i, j) * x[j];
        EXPECT_NEAR(y[i], expect, 1e-14);
    }
    ForwardSolveLower(nr, n, a.data(), back.data(), y.data());
    for (int i = 0; i < n; ++i) EXPECT_NEAR(back[i], x[i], 1e-13);

    TransposedLowerTimesVector(nr, n, a.data(), x.data(), z.data());
    BackSolveTransposed(nr, n, a.data(), back.data(), z.data());
    for (int i = 0; i < n; ++i) EXPECT_NEAR(back[i], x[i], 1e-13);

    // L L^T x = b solved in place (x aliases b).
    std::vector<double> b = HessianTimes(a, x);
    CholeskySolve(nr, n, a.data(), b.data(), b.data());
    for (int i = 0; i < n; ++i) EXPECT_NEAR(b[i], x[i], 1e-13);

    std::vector<double> v = {1.0, -2.0, 3.0, 0.5};
    ScaleVector(n, -2.0, v.data(), v.data());
    EXPECT_EQ(v, (std::vector<double>{-2.0, 4.0, -6.0, -1.0}));
}

TEST(SecantUpdate, RotationsAndSwaps)
{
    Matrix a(3, 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a(i, j) = 1 + i + 3 * j;
    const Matrix original = a;

    RotateRows(3, 3, a.data(), 0, 2.5, 0.0);  // c = 1, s = 0
    EXPECT_EQ(a.v, original.v);

    // A rotation by (a(1,1), -a(2,1)) zeroes a(2,1) and keeps column norms from column 1 on.
    RotateRows(3, 3, a.data(), 1, a(1, 1), -a(2, 1));
    EXPECT_NEAR(a(2, 1), 0.0, 1e-14);
    for (int j = 1; j < 3; ++j)
        EXPECT_NEAR(std::hypot(a(1, j), a(2, j)), std::hypot(original.v[1 + 3 * j], original.v[2 + 3 * j]),
                    1e-13);
    EXPECT_EQ(a(1, 0), original.v[1]);  // columns before i are not touched

    Matrix b = original;
    SwapHessenbergRows(3, 3, b.data(), 0);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(b(0, j), original.v[1 + 3 * j]);
        EXPECT_EQ(b(1, j), original.v[0 + 3 * j]);
    }
}

TEST(SecantUpdate, QrUpdateGivesFactorOfRankOneChange)
{
    struct Case { std::vector<double> u; };
    // u with a single leading element, interior zeros (row swaps) and a full vector.
    const Case cases[] = {{{2.0, 0.0, 0.0, 0.0}}, {{0.0, 0.0, 1.5, 0.0}}, {{0.5, 0.0, -1.0, 2.0}},
                          {{1.0, -0.3, 0.8, 0.2}}};
    const std::vector<double> v = {0.4, -1.1, 0.6, 1.3};
    const int nr = 5, n = 4;
    for (const Case& c : cases) {
        Matrix l = RandomLower(nr, n, 11u);
        Matrix r(nr, n);  // R = L^T in the upper triangle, zero below
        for (int i = 0; i < n; ++i)
            for (int j = i; j < n; ++j) r(i, j) = l(j, i);
        // Target: (R + u v^T)^T (R + u v^T).
        Matrix m = r;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) m(i, j) += c.u[i] * v[j];
        std::vector<double> u = c.u;
        QrUpdate(nr, n, r.data(), u.data(), v.data());

        if (c.u[1] == 0.0 && c.u[2] == 0.0 && c.u[3] == 0.0) {
            // Only the first row changes, by u_1 v, and no rotation is done.
            for (int i = 0; i < n; ++i)
                for (int j = i; j < n; ++j) EXPECT_EQ(r(i, j), m(i, j));
        }
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j) EXPECT_NEAR(r(i, j), 0.0, 1e-13) << i << j;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double got = 0.0, want = 0.0;
                for (int k = 0; k <= std::min(i, j); ++k) got += r(k, i) * r(k, j);
                for (int k = 0; k < n; ++k) want += m(k, i) * m(k, j);
                EXPECT_NEAR(got, want, 1e-12) << i << ' ' << j;
            }
    }
}

TEST(SecantUpdate, OneParameterRescalesToSecantOrKeepsFactor)
{
    struct Case { double x, g, xpls, gpls; double expectL; };
    const Case cases[] = {
        {0.0, -4.0, 1.0, 2.0, std::sqrt(6.0)},   // curvature y/s = 6
        {2.0, 1.0, 1.5, 0.0, std::sqrt(2.0)},    // y/s = 2
        {0.0, -4.0, 1.0, -5.0, 1.0},             // s y < 0: unchanged
        {0.0, -4.0, 1.0, -4.0, 1.0},             // s y = 0: unchanged
        {0.0, -4.0, 1.0, std::nan(""), 1.0},     // NaN curvature: unchanged
    };
    for (const Case& c : cases) {
        double a = 1.0, s, y, u, w;
        bool first = false;
        SecantUpdateFactor(1, 1, &c.x, &c.g, &a, &c.xpls, &c.gpls, 8e-8, 1, 1e-7, false, first, &s,
                           &y, &u, &w);
        EXPECT_NEAR(a, c.expectL, 1e-14) << c.gpls;
        EXPECT_EQ(first, c.expectL == 1.0);  // cleared only by an accepted rescaling
    }
}

TEST(SecantUpdate, SecantConditionHoldsAfterEveryUpdate)
{
    const int nr = 7, n = 5;
    std::mt19937 gen(3u);
    std::uniform_real_distribution<double> unif(-1.0, 1.0);

    // Gradients of a convex function that is not quadratic, so updates keep changing L.
    const auto gradient = [](const std::vector<double>& x) {
        std::vector<double> g(x.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            g[i] = (i + 1.0) * x[i] + std::exp(0.3 * x[i]) + 0.2 * x[(i + 1) % x.size()];
        return g;
    };
    Matrix a(nr, n);
    const std::vector<double> sx(n, 1.0);
    InitialHessianFactor(nr, n, a.data(), sx.data(), 1);
    std::vector<double> x(n), s(n), y(n), u(n), w(n);
    for (double& xi : x) xi = unif(gen);
    std::vector<double> g = gradient(x);
    bool first = false;
    int accepted = 0;
    for (int it = 1; it <= 12; ++it) {
        std::vector<double> xpls(n);
        for (int i = 0; i < n; ++i) xpls[i] = x[i] + 0.5 * unif(gen);
        const std::vector<double> gpls = gradient(xpls);
        const Matrix before = a;
        SecantUpdateFactor(nr, n, x.data(), g.data(), a.data(), xpls.data(), gpls.data(), 8e-8, it,
                           1e-7, it > 6, first, s.data(), y.data(), u.data(), w.data());
        if (a.v != before.v) {
            ++accepted;
            std::vector<double> step(n), dg(n);
            for (int i = 0; i < n; ++i) {
                step[i] = xpls[i] - x[i];
                dg[i] = gpls[i] - g[i];
            }
            const std::vector<double> hs = HessianTimes(a, step);
            for (int i = 0; i < n; ++i) EXPECT_NEAR(hs[i], dg[i], 1e-10 * (1 + std::fabs(dg[i]))) << it;
            for (int i = 0; i < n; ++i) EXPECT_NE(a(i, i), 0.0);
        }
        x = xpls;
        g = gpls;
    }
    EXPECT_EQ(accepted, 12);
}

TEST(SecantUpdate, SkipsWhenFactorAlreadyExplainsGradientChange)
{
    // H = L L^T with the factor already rescaled; y = H s exactly, so nothing changes.
    const int nr = 3, n = 3;
    Matrix a = RandomLower(nr, n, 5u);
    const std::vector<double> x = {0.0, 0.0, 0.0}, xpls = {0.2, -0.1, 0.3};
    const std::vector<double> hs = HessianTimes(a, xpls);
    const std::vector<double> g = {10.0, 10.0, 10.0};
    std::vector<double> gpls(n), s(n), y(n), u(n), w(n);
    for (int i = 0; i < n; ++i) gpls[i] = g[i] + hs[i];
    bool first = false;
    const Matrix before = a;
    SecantUpdateFactor(nr, n, x.data(), g.data(), a.data(), xpls.data(), gpls.data(), 8e-8, 2, 1e-7,
                       false, first, s.data(), y.data(), u.data(), w.data());
    EXPECT_EQ(a.v, before.v);
}
