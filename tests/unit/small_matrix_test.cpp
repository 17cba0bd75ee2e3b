#include "numerics/series_scaling.h"
#include "numerics/small_matrix.h"
#include "numerics/status.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

// Every table runs in double and in float (the console programs' form) at the type's tolerance,
// with the matrix stored in a larger leading dimension (11, as the console programs keep it) so
// that a routine reading or writing outside its block shows.
namespace {

constexpr int kLd = 11;
constexpr double kPadding = -777.0;

template <typename T>
double Tolerance()
{
    return std::is_same<T, float>::value ? 2e-5 : 1e-13;
}

// An n × n matrix in ld-11 storage from row-major values, the rest of the storage padded.
template <typename T>
std::vector<T> Matrix(int n, const std::vector<double>& rowMajor)
{
    std::vector<T> a(kLd * kLd, static_cast<T>(kPadding));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[i + kLd * j] = static_cast<T>(rowMajor[i * n + j]);
    return a;
}

template <typename T>
T& At(std::vector<T>& a, int i, int j)
{
    return a[(i - 1) + kLd * (j - 1)];
}

// True when nothing outside the leading n × n block changed.
template <typename T>
bool PaddingIntact(const std::vector<T>& a, int n)
{
    for (int j = 0; j < kLd; ++j)
        for (int i = 0; i < kLd; ++i)
            if ((i >= n || j >= n) && a[i + kLd * j] != static_cast<T>(kPadding)) return false;
    return true;
}

// A random symmetric positive definite matrix B·B' + n·I in ld-11 storage.
template <typename T>
std::vector<T> RandomSpd(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> b(n * n), rows(n * n);
    for (double& v : b) v = u(rng);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = (i == j) ? n : 0.0;
            for (int l = 0; l < n; ++l) s += b[i * n + l] * b[j * n + l];
            rows[i * n + j] = s;
        }
    return Matrix<T>(n, rows);
}

template <typename T>
class SmallMatrix : public testing::Test {};
using RealTypes = testing::Types<double, float>;
TYPED_TEST_SUITE(SmallMatrix, RealTypes);

}  // namespace

TYPED_TEST(SmallMatrix, GaussJordanInverse)
{
    using T = TypeParam;
    const double tol = Tolerance<T>();
    struct Case {
        int n;
        std::vector<double> a;
        int flag;
        std::vector<double> expected;  // row-major result: the inverse, or the matrix as left
    };
    const std::vector<Case> cases = {
        {1, {5.0}, 0, {0.2}},
        {2, {2, 1, 1, 2}, 0, {2.0 / 3, -1.0 / 3, -1.0 / 3, 2.0 / 3}},
        {1, {0.0}, 1, {1.0}},
        // Invertible but needs a row exchange: stops at the first pivot with the offset diagonal.
        {2, {0, 1, 1, 0}, 1, {1, 1, 1, 1}},
        // Not symmetric, leading minors 4, 17 and 97: the inverse is the adjugate over 97.
        {3,
         {4, 1, 2, 3, 5, 1, 1, 2, 6},
         0,
         {28.0 / 97, -2.0 / 97, -9.0 / 97, -17.0 / 97, 22.0 / 97, 2.0 / 97, 1.0 / 97, -7.0 / 97,
          17.0 / 97}},
    };
    for (const Case& c : cases) {
        std::vector<T> a = Matrix<T>(c.n, c.a);
        int flag = -1;
        GaussJordanInverse(c.n - 1, a.data(), flag, kLd);
        EXPECT_EQ(flag, c.flag) << "n=" << c.n << " a11=" << c.a[0];
        for (int i = 0; i < c.n; ++i)
            for (int j = 0; j < c.n; ++j)
                EXPECT_NEAR(At(a, i + 1, j + 1), c.expected[i * c.n + j], tol)
                    << "n=" << c.n << " " << i << "," << j;
        EXPECT_TRUE(PaddingIntact(a, c.n));
    }
    // 6/5 - 1 in double is the value the offset diagonal leaves, not 0.2.
    if (std::is_same<T, double>::value) {
        std::vector<T> five = Matrix<T>(1, {5.0});
        int flag = -1;
        GaussJordanInverse(0, five.data(), flag, kLd);
        EXPECT_EQ(static_cast<double>(five[0]), 0.19999999999999996);
    }
    // A larger positive definite matrix: A·A^-1 = I.
    const std::vector<T> spd = RandomSpd<T>(7, 3);
    std::vector<T> inverse = spd;
    int flag = -1;
    GaussJordanInverse(6, inverse.data(), flag, kLd);
    EXPECT_EQ(flag, 0);
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j) {
            double s = 0.0;
            for (int l = 0; l < 7; ++l)
                s += static_cast<double>(spd[i + kLd * l]) * inverse[l + kLd * j];
            EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 10 * tol);
        }
}

TYPED_TEST(SmallMatrix, DeterminantsAndLuDecomposition)
{
    using T = TypeParam;
    const double tol = Tolerance<T>();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        int n;
        std::vector<double> a;
        double det;
        double parity;  // d of LuDecompose
    };
    const std::vector<Case> cases = {
        {2, {1, 0, 0, 1}, 1.0, 1.0},
        {2, {0, 1, 1, 0}, -1.0, -1.0},
        // Scores 3 + 1/4 and 1 + 2: row 1 stays the pivot row.
        {2, {3, 4, 1, 0.5}, -2.5, 1.0},
        // Scores 0 + 1000 and 1 + 1: the zero pivot stays and becomes 1e-20 in single precision.
        {2, {0, 0.001, 1, 1}, -0.001, 1.0},
        // A zero row stops the decomposition before any change: the diagonal's product is 0.
        {3, {2, 1, 0, 0, 0, 0, 1, 5, 3}, 0.0, 1.0},
        {3, {4, 1, 2, 3, 5, 1, 1, 2, 6}, 97.0, 1.0},
        {1, {-3.5}, -3.5, 1.0},
    };
    for (const Case& c : cases) {
        const std::vector<T> a = Matrix<T>(c.n, c.a);
        std::vector<T> copy = a;
        T det = T(-99);
        ASSERT_EQ(Determinant(copy.data(), c.n, kLd, det), kStatusDone);
        EXPECT_NEAR(det, c.det, tol * std::max(1.0, std::fabs(c.det)))
            << "n=" << c.n << " a11=" << c.a[0];
        EXPECT_EQ(copy, a) << "Determinant leaves its argument alone";

        T d = T(0);
        ASSERT_EQ(LuDecompose(copy.data(), c.n, d, kLd), kStatusDone);
        EXPECT_EQ(d, static_cast<T>(c.parity)) << "n=" << c.n << " a11=" << c.a[0];
        EXPECT_TRUE(PaddingIntact(copy, c.n));
    }
    // The zero-row case leaves the matrix as it was.
    std::vector<T> zeroRow = Matrix<T>(3, cases[4].a);
    const std::vector<T> before = zeroRow;
    T d = T(0);
    ASSERT_EQ(LuDecompose(zeroRow.data(), 3, d, kLd), kStatusDone);
    EXPECT_EQ(zeroRow, before);
    // The 1e-20 replacement is the single-precision value.
    std::vector<T> zeroPivot = Matrix<T>(2, {0, 0.001, 1, 1});
    ASSERT_EQ(LuDecompose(zeroPivot.data(), 2, d, kLd), kStatusDone);
    EXPECT_EQ(static_cast<double>(zeroPivot[0]), static_cast<double>(1.0e-20f));
    // An element that is not finite is refused, and a determinant that leaves the range of the
    // type is not called a result (det is then not written).
    std::vector<T> withNan = Matrix<T>(2, {1, 0.5, 0.5, nan});
    T det = T(1);
    EXPECT_EQ(Determinant(withNan.data(), 2, kLd, det), kStatusNotFinite);
    EXPECT_EQ(LuDecompose(withNan.data(), 2, d, kLd), kStatusNotFinite);
    const double big = std::sqrt(static_cast<double>(std::numeric_limits<T>::max())) * 4;
    const double small = std::sqrt(static_cast<double>(std::numeric_limits<T>::denorm_min())) / 4;
    EXPECT_EQ(Determinant(Matrix<T>(2, {big, 0, 0, big}).data(), 2, kLd, det), kStatusOutOfRange);
    EXPECT_EQ(Determinant(Matrix<T>(2, {small, 0, 0, small}).data(), 2, kLd, det), kStatusOutOfRange);
    EXPECT_EQ(det, T(1));
    EXPECT_EQ(Determinant(withNan.data(), 0, kLd, det), kStatusBadArgument);
}

TYPED_TEST(SmallMatrix, FactorCopy)
{
    using T = TypeParam;
    const double tol = Tolerance<T>();
    // n = 1: the element itself, also 0 and negative values.
    for (double v : {0.0, -3.0, 5.0}) {
        const std::vector<T> a = Matrix<T>(1, {v});
        std::vector<T> w(kLd * kLd, static_cast<T>(kPadding));
        T det = T(-99);
        FactorCopy(a.data(), w.data(), 1, kLd, det);
        EXPECT_EQ(det, static_cast<T>(v));
    }
    // Without pivoting the determinant equals the pivoted one when the leading minors are not 0.
    struct Case {
        int n;
        std::vector<T> a;
    };
    for (const Case& c :
         {Case{3, Matrix<T>(3, {4, 1, 2, 3, 5, 1, 1, 2, 6})}, Case{6, RandomSpd<T>(6, 11)}}) {
        const int n = c.n;
        const std::vector<T>& a = c.a;
        std::vector<T> w(kLd * kLd, static_cast<T>(kPadding));
        T det = T(0), reference = T(0);
        FactorCopy(a.data(), w.data(), n, kLd, det);
        ASSERT_EQ(Determinant(a.data(), n, kLd, reference), kStatusDone);
        EXPECT_NEAR(det / reference, 1.0, 10 * tol) << "n=" << n;
        EXPECT_TRUE(PaddingIntact(w, n));
    }
    // A zero leading minor is not tested: the determinant is not finite.
    const std::vector<T> exchange = Matrix<T>(2, {0, 1, 1, 0});
    std::vector<T> w(kLd * kLd);
    T det = T(0);
    FactorCopy(exchange.data(), w.data(), 2, kLd, det);
    EXPECT_FALSE(std::isfinite(det));
}

TYPED_TEST(SmallMatrix, CholeskyAndTriangularSolves)
{
    using T = TypeParam;
    const double tol = Tolerance<T>();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Failure {
        int n;
        std::vector<double> a;
    };
    // Not positive definite to working precision: the second pivot of the ones matrix is exactly
    // 0. A NaN in the lower triangle is refused before any work.
    for (const Failure& f :
         {Failure{2, {1, 1, 1, 1}}, Failure{1, {0.0}}, Failure{1, {-2.0}}, Failure{2, {4, 3, 3, 2}}}) {
        std::vector<T> a = Matrix<T>(f.n, f.a);
        EXPECT_EQ(CHOLES(a.data(), f.n, kLd), kStatusInversionFailed)
            << "n=" << f.n << " a11=" << f.a[0];
    }
    for (const Failure& f : {Failure{1, {nan}}, Failure{2, {1, 0.5, 0.5, nan}}, Failure{2, {1, 0.5, nan, 1}}}) {
        std::vector<T> a = Matrix<T>(f.n, f.a);
        const std::vector<T> before = a;
        EXPECT_EQ(CHOLES(a.data(), f.n, kLd), kStatusNotFinite) << "n=" << f.n;
        EXPECT_EQ(std::memcmp(a.data(), before.data(), a.size() * sizeof(T)), 0);
    }
    std::vector<T> one = Matrix<T>(1, {2.25});
    ASSERT_EQ(CHOLES(one.data(), 1, kLd), kStatusDone);
    EXPECT_EQ(one[0], T(1.5));

    // The identity factors to itself and the solves leave B alone.
    std::vector<T> identity = Matrix<T>(3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
    ASSERT_EQ(CHOLES(identity.data(), 3, kLd), kStatusDone);
    EXPECT_EQ(identity, Matrix<T>(3, {1, 0, 0, 0, 1, 0, 0, 0, 1}));
    const std::vector<T> b = RandomSpd<T>(3, 5);
    std::vector<T> x = b;
    SolveLower(identity.data(), 3, kLd, x.data(), 3);
    SolveLowerTransposedRight(identity.data(), 3, kLd, x.data(), 3);
    SolveLowerRight(identity.data(), 3, kLd, x.data(), 3);
    EXPECT_EQ(x, b);

    for (int n : {1, 2, 5}) {
        const std::vector<T> a = RandomSpd<T>(n, 20 + n);
        std::vector<T> L = a;
        ASSERT_EQ(CHOLES(L.data(), n, kLd), kStatusDone);
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j)
                EXPECT_EQ(At(L, i, j), a[(i - 1) + kLd * (j - 1)]) << "upper kept";
        // L·L' = A, reading the lower triangle only.
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                double s = 0.0;
                for (int k = 1; k <= std::min(i, j); ++k)
                    s += static_cast<double>(At(L, i, k)) * At(L, j, k);
                EXPECT_NEAR(s, a[(i - 1) + kLd * (j - 1)], tol * n * 10);
            }
        std::vector<T> lowerOnly = L;
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j) At(lowerOnly, i, j) = T(0);

        // L^-1·A = L', A·(L')^-1 = L, L·L^-1 = I.
        std::vector<T> left = a, right = a, unit = lowerOnly;
        SolveLower(L.data(), n, kLd, left.data(), n);
        SolveLowerTransposedRight(L.data(), n, kLd, right.data(), n);
        SolveLowerRight(L.data(), n, kLd, unit.data(), n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                EXPECT_NEAR(At(left, i, j), At(lowerOnly, j, i), tol * n * 10) << "n=" << n;
                EXPECT_NEAR(At(right, i, j), At(lowerOnly, i, j), tol * n * 10) << "n=" << n;
                EXPECT_NEAR(At(unit, i, j), i == j ? 1.0 : 0.0, tol * n * 10) << "n=" << n;
            }
        EXPECT_TRUE(PaddingIntact(left, n) && PaddingIntact(right, n) && PaddingIntact(unit, n));
    }
}

TYPED_TEST(SmallMatrix, MeansAndScalesRoundTrip)
{
    using T = TypeParam;
    const double tol = Tolerance<T>();
    const int n = 7, m = 3;
    std::mt19937 rng(8);
    std::normal_distribution<double> z(0.0, 1.0);
    std::vector<T> x(n * m);
    for (int t = 0; t < n; ++t)
        for (int j = 0; j < m; ++j)
            x[t * m + j] = static_cast<T>(std::pow(10.0, j) * z(rng) + 100.0 * j);
    const std::vector<T> original = x;

    std::vector<T> mean(m), var(m), sd(m);
    SubtractSeriesMeans(x.data(), n, m, mean.data());
    for (int j = 0; j < m; ++j) {
        double sum = 0.0, centred = 0.0;
        for (int t = 0; t < n; ++t) {
            sum += original[t * m + j];
            centred += x[t * m + j];
        }
        EXPECT_NEAR(mean[j], sum / n, tol * std::fabs(sum));
        EXPECT_NEAR(centred, 0.0, tol * std::fabs(sum));
    }
    const std::vector<T> centred = x;
    SeriesScales(x.data(), n, m, var.data(), sd.data());
    for (int j = 0; j < m; ++j) {
        double ss = 0.0;
        for (int t = 0; t < n; ++t) ss += static_cast<double>(x[t * m + j]) * x[t * m + j];
        EXPECT_NEAR(var[j], ss / n, tol * ss / n);
        EXPECT_NEAR(sd[j] * sd[j], var[j], tol * var[j]);
    }

    // Flag 1 gives unit scales; another flag takes X back and scales a covariance.
    std::vector<T> C = Matrix<T>(m, {1, 0.5, 0, 0.5, 1, -0.25, 0, -0.25, 1});
    Standardise(x.data(), n, m, static_cast<T*>(nullptr), kLd, sd.data(), 1);
    std::vector<T> unitVar(m), unitSd(m);
    SeriesScales(x.data(), n, m, unitVar.data(), unitSd.data());
    for (int j = 0; j < m; ++j) EXPECT_NEAR(unitVar[j], 1.0, 10 * tol);
    Standardise(x.data(), n, m, C.data(), kLd, sd.data(), 2);
    for (int i = 0; i < n * m; ++i) EXPECT_NEAR(x[i], centred[i], 10 * tol * std::fabs(sd[i % m]));
    const std::vector<double> c0 = {1, 0.5, 0, 0.5, 1, -0.25, 0, -0.25, 1};
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
            EXPECT_NEAR(At(C, i, j), c0[(i - 1) * m + j - 1] * sd[i - 1] * sd[j - 1],
                        tol * sd[i - 1] * sd[j - 1]);
    EXPECT_TRUE(PaddingIntact(C, m));

    RestoreSeriesMeans(x.data(), n, m, mean.data());
    for (int i = 0; i < n * m; ++i)
        EXPECT_NEAR(x[i], original[i], 10 * tol * (100.0 + std::fabs(original[i])));
}
