#include "numerics/invert_matrix.h"
#include "numerics/status.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kLd = 54;

// An n × n matrix in ld-54 storage from row-major values.
std::vector<double> Matrix(int n, const std::vector<double>& rowMajor)
{
    std::vector<double> a(kLd * n, 0.0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[i + kLd * j] = rowMajor[i * n + j];
    return a;
}

// max |A·B - I| for n × n matrices in ld-54 storage.
double IdentityError(int n, const std::vector<double>& a, const std::vector<double>& b)
{
    double worst = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int l = 0; l < n; ++l) s += a[i + kLd * l] * b[l + kLd * j];
            worst = std::max(worst, std::fabs(s - (i == j ? 1.0 : 0.0)));
        }
    return worst;
}

// A random symmetric positive definite matrix B·B' + n·I.
std::vector<double> RandomSpd(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> b(n * n), a(kLd * n, 0.0);
    for (double& v : b) v = u(rng);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = (i == j) ? n : 0.0;
            for (int l = 0; l < n; ++l) s += b[i * n + l] * b[j * n + l];
            a[i + kLd * j] = s;
        }
    return a;
}

}  // namespace

// Inverses checked by A·A^-1 = I; tolerance 1e-12 for these well-conditioned matrices.
TEST(InvertMatrix, BothModesInvertWellConditionedMatrices)
{
    for (int n : {1, 2, 3, 7, 26, 54}) {
        const std::vector<double> a = RandomSpd(n, 100 + n);
        for (int mode : {kInvertGaussJordan, kInvertSymmetric}) {
            std::vector<double> inv = a;
            int fail = -9;
            InvertMatrix(n - 1, inv.data(), kLd, fail, mode);
            ASSERT_EQ(fail, kStatusDone) << n << " mode " << mode;
            EXPECT_LT(IdentityError(n, a, inv), 1e-12) << n << " mode " << mode;
        }
    }
    // Gauss-Jordan also inverts a non-symmetric matrix whose diagonal pivots stay non-zero.
    const std::vector<double> a = Matrix(3, {4, 1, 2, -1, 3, 0.5, 2, -2, 5});
    std::vector<double> inv = a;
    int fail = -9;
    InvertMatrix(2, inv.data(), kLd, fail, kInvertGaussJordan);
    ASSERT_EQ(fail, kStatusDone);
    EXPECT_LT(IdentityError(3, a, inv), 1e-14);
}

TEST(InvertMatrix, OneByOne)
{
    struct Case { double a; int mode; int fail; double inverse; };
    const Case cases[] = {
        {4.0, kInvertGaussJordan, kStatusDone, 0.25},
        {-2.0, kInvertGaussJordan, kStatusDone, -0.5},
        {0.0, kInvertGaussJordan, kStatusInversionFailed, 0.0},
        {4.0, kInvertSymmetric, kStatusDone, 0.25},
        {0.0, kInvertSymmetric, kStatusInversionFailed, 0.0},
        {-2.0, kInvertSymmetric, kStatusInversionFailed, 0.0},
    };
    for (const Case& c : cases) {
        double a = c.a;
        int fail = -9;
        InvertMatrix(0, &a, 1, fail, c.mode);
        EXPECT_EQ(fail, c.fail) << c.a << " mode " << c.mode;
        if (c.fail == kStatusDone) {
            EXPECT_DOUBLE_EQ(a, c.inverse);
        }
    }
}

// Mode 1 reads only the lower triangle and returns a symmetric result.
TEST(InvertMatrix, SymmetricModeIgnoresUpperTriangle)
{
    const std::vector<double> lower = Matrix(3, {4, 0, 0, 1, 3, 0, 0.5, -1, 5});
    const std::vector<double> full = Matrix(3, {4, 1, 0.5, 1, 3, -1, 0.5, -1, 5});
    std::vector<double> junk = lower;
    junk[0 + kLd * 1] = 99.0;
    junk[0 + kLd * 2] = -42.0;
    junk[1 + kLd * 2] = 7.0;
    int fail = -9;
    InvertMatrix(2, junk.data(), kLd, fail, kInvertSymmetric);
    ASSERT_EQ(fail, kStatusDone);
    EXPECT_LT(IdentityError(3, full, junk), 1e-14);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(junk[i + kLd * j], junk[j + kLd * i]);
}

// Failures: singular, indefinite, needing an exchange (mode 0 does none), non-finite, and
// arguments out of range (matrix untouched).
TEST(InvertMatrix, FailingCases)
{
    struct Case { int n; std::vector<double> rowMajor; int mode; int fail; };
    const double inf = HUGE_VAL;
    const Case cases[] = {
        {2, {1, 1, 1, 1}, kInvertGaussJordan, kStatusInversionFailed},
        {2, {1, 1, 1, 1}, kInvertSymmetric, kStatusInversionFailed},
        {2, {0, 1, 1, 0}, kInvertGaussJordan, kStatusInversionFailed},
        {2, {0, 1, 1, 0}, kInvertSymmetric, kStatusInversionFailed},
        {2, {1, 2, 2, 1}, kInvertSymmetric, kStatusInversionFailed},
        {3, {2, 1, 1, 1, 2, 1, 1, 1, -3}, kInvertSymmetric, kStatusInversionFailed},
        {3, {1, 2, 3, 2, 4, 6, 1, 0, 1}, kInvertGaussJordan, kStatusInversionFailed},
        {2, {std::nan(""), 0, 0, 1}, kInvertSymmetric, kStatusNotFinite},
        {3, {1, 0, 0, 0, std::nan(""), 0, 0, 0, 1}, kInvertSymmetric, kStatusNotFinite},
        {2, {1, inf, 0, 1}, kInvertGaussJordan, kStatusNotFinite},
        // Inverses whose entries pass the top of the range: once given as successes with Inf.
        {2, {1e-310, 0, 0, 2e-310}, kInvertSymmetric, kStatusOutOfRange},
        {2, {1e-310, 0, 0, 2e-310}, kInvertGaussJordan, kStatusInversionFailed},  // pivots vanish beside 1
    };
    for (const Case& c : cases) {
        std::vector<double> a = Matrix(c.n, c.rowMajor);
        int fail = -9;
        InvertMatrix(c.n - 1, a.data(), kLd, fail, c.mode);
        EXPECT_EQ(fail, c.fail) << c.rowMajor[0] << " n=" << c.n << " mode " << c.mode;
    }
    // The upper triangle is not read by the symmetric mode: a NaN there does not matter.
    std::vector<double> upper = Matrix(2, {2, std::nan(""), 0, 2});
    int upperFail = -9;
    InvertMatrix(1, upper.data(), kLd, upperFail, kInvertSymmetric);
    EXPECT_EQ(upperFail, kStatusDone);
    std::vector<double> a = Matrix(2, {2, 0, 0, 2});
    const std::vector<double> before = a;
    int fail = -9;
    InvertMatrix(-1, a.data(), kLd, fail, kInvertGaussJordan);
    EXPECT_EQ(fail, kStatusBadArgument);
    InvertMatrix(1, a.data(), 1, fail, kInvertSymmetric);
    EXPECT_EQ(fail, kStatusBadArgument);
    InvertMatrix(1, a.data(), kLd, fail, 2);
    EXPECT_EQ(fail, kStatusBadArgument);
    EXPECT_EQ(a, before);
}
