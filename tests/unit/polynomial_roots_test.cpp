#include "numerics/polynomial_roots.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

using Complex = std::complex<double>;

// c(0..n) multiplied out from leading coefficient `lead` and the zeros.
std::vector<Complex> FromRoots(const std::vector<Complex>& roots, double lead)
{
    std::vector<Complex> c(1, lead);
    for (const Complex& r : roots) {
        c.push_back(0.0);
        for (size_t j = c.size() - 1; j >= 1; --j) c[j] = c[j - 1] - r * c[j];
        c[0] = -r * c[0];
    }
    return c;
}

double SmallestModulus(const std::vector<Complex>& roots)
{
    double m = HUGE_VAL;
    for (const Complex& r : roots) m = std::min(m, std::abs(r));
    return m;
}

}  // namespace

// The smallest zero modulus of 1 - phi1·z - ... and of 1 + theta1·z + ... against R's polyroot,
// for simple, double (to 1e-12 as the others) and complex zeros, zeros close to the unit circle
// and degree 26.
TEST(PolynomialRoots, SmallestModuliMatchR)
{
    const ReferenceTable t = ReadReferenceTable("arma_roots.csv");
    ASSERT_EQ(t.rows.size(), 11u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        SCOPED_TRACE(t.Text(r, "id"));
        for (const bool ar : {true, false}) {
            const std::vector<double> coef = t.List(r, ar ? "ar" : "ma");
            std::vector<double> c(1, 1.0);
            for (double v : coef) c.push_back(ar ? -v : v);
            const int n = static_cast<int>(coef.size());
            std::vector<Complex> roots(static_cast<size_t>(n));
            ASSERT_EQ(PolynomialRoots(n, c.data(), roots.data()), kStatusDone);
            EXPECT_NEAR(SmallestModulus(roots), t.Number(r, ar ? "ar_min_modulus" : "ma_min_modulus"), 1e-12)
                << (ar ? "AR" : "MA");
        }
    }
}

// The zeros multiply out to the polynomial again: zeros at the origin, of very different sizes
// (up to 1e200, whose powers leave the doubles), on a circle (the seasonal factor 1 - 0.6z^12),
// and a polynomial that is not monic.
TEST(PolynomialRoots, ZerosRebuildThePolynomial)
{
    const std::vector<std::vector<Complex>> sets = {
        {2.0},
        {0.0, 0.0, 3.0},
        {1e-6, 1e6, -2.0},
        {Complex(0.3, 0.9), Complex(0.3, -0.9), -1.5, 4.0},
        {1.001, -1.001, Complex(0, 1.001), Complex(0, -1.001)},
        {1e200, -0.5},
        {Complex(3e150, 4e150), Complex(3e150, -4e150), 7.0},
    };
    std::vector<std::vector<double>> polys;
    for (const auto& zeros : sets) {
        std::vector<double> c;
        for (const Complex& v : FromRoots(zeros, -2.5)) c.push_back(v.real());
        polys.push_back(c);
    }
    std::vector<double> seasonal(14, 0.0);  // (1 + 0.5z)(1 - 0.6z^12)
    seasonal[0] = 1.0, seasonal[1] = 0.5, seasonal[12] = -0.6, seasonal[13] = -0.3;
    polys.push_back(seasonal);
    for (const std::vector<double>& c : polys) {
        const int n = static_cast<int>(c.size()) - 1;
        SCOPED_TRACE("degree " + std::to_string(n));
        std::vector<Complex> roots(static_cast<size_t>(n));
        ASSERT_EQ(PolynomialRoots(n, c.data(), roots.data()), kStatusDone);
        const std::vector<Complex> back = FromRoots(roots, c[static_cast<size_t>(n)]);
        double size = 0.0;
        for (double v : c) size = std::max(size, std::fabs(v));
        for (int k = 0; k <= n; ++k) EXPECT_NEAR(std::abs(back[k] - c[k]), 0.0, 1e-9 * size) << k;
    }
}

// Degrees out of range, a zero leading coefficient and values that are not finite are refused.
TEST(PolynomialRoots, RefusesWhatItCannotSolve)
{
    const double nan = std::nan(""), inf = HUGE_VAL;
    struct Case {
        const char* name;
        int n;
        std::vector<double> c;
        int status;
    } const cases[] = {
        {"degree 0", 0, {1.0}, kStatusBadArgument},
        {"degree 65", 65, std::vector<double>(66, 1.0), kStatusBadArgument},
        {"leading zero", 2, {1.0, 2.0, 0.0}, kStatusBadArgument},
        {"degree 1, leading zero", 1, {1.0, 0.0}, kStatusBadArgument},
        {"NaN", 2, {1.0, nan, 1.0}, kStatusNotFinite},
        {"infinite leading", 1, {1.0, inf}, kStatusNotFinite},
        {"a zero below the doubles", 1, {1e-300, 1e300}, kStatusOutOfRange},
        {"a zero beyond the doubles", 1, {1e300, 1e-300}, kStatusOutOfRange},
    };
    for (const Case& k : cases) {
        std::vector<Complex> roots(static_cast<size_t>(std::max(k.n, 1)), Complex(7.0, 7.0));
        EXPECT_EQ(PolynomialRoots(k.n, k.c.data(), roots.data()), k.status) << k.name;
        EXPECT_EQ(roots[0], Complex(7.0, 7.0)) << k.name;
    }
}

// Reflection keeps zeros outside the circle, lowers the degree for trailing zeros and refuses
// what the zero search refuses.
TEST(ReflectMaRoots, TwinsFactorsAndRefusals)
{
    struct Case {
        const char* name;
        std::vector<double> theta, twin;
        double factor;
        int status;
    } const cases[] = {
        {"invertible already", {0.5, -0.2}, {0.5, -0.2}, 1.0, kStatusDone},
        {"theta 4", {4.0}, {0.25}, 16.0, kStatusDone},
        {"theta -1.25 with trailing zeros", {-1.25, 0.0, 0.0}, {-0.8, 0.0, 0.0}, 1.5625, kStatusDone},
        {"(1 + 2z)(1 + 4z)", {6.0, 8.0}, {0.75, 0.125}, 64.0, kStatusDone},
        {"nothing but zeros", {0.0, 0.0}, {0.0, 0.0}, 1.0, kStatusDone},
        {"theta 1e200: the factor leaves the doubles", {1e200}, {}, 0.0, kStatusOutOfRange},
        {"order 27", std::vector<double>(27, 0.1), {}, 0.0, kStatusBadArgument},
        {"NaN", {std::nan("")}, {}, 0.0, kStatusNotFinite},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const int q = static_cast<int>(k.theta.size());
        std::vector<double> twin(k.theta.size(), -9.0);
        double factor = -9.0;
        ASSERT_EQ(ReflectMaRoots(q, k.theta.data(), twin.data(), factor), k.status);
        if (k.status != kStatusDone) {
            EXPECT_EQ(factor, -9.0);
            EXPECT_EQ(twin[0], -9.0);
            continue;
        }
        for (int j = 0; j < q; ++j) EXPECT_NEAR(twin[j], k.twin[j], 1e-14) << j;
        EXPECT_NEAR(factor, k.factor, 1e-13 * k.factor);
    }
}

// The invertible twins of R's switch table, R's polyroot zeros reflected, to 1e-10: zeros near the
// unit circle, and multiple and clustered zeros, whose zeros the iteration finds only to the root
// of the rounding unit of their multiplicity's order while their factors are well determined
// ((1 - 2z)^4 once gave -2.000028548 and 255.990977743 for -2 and 256).
TEST(ReflectMaRoots, MatchesRsReflectionOfMultipleZeros)
{
    const ReferenceTable t = ReadReferenceTable("switch_reference.csv");
    ASSERT_EQ(t.rows.size(), 17u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        SCOPED_TRACE(t.Text(r, "id"));
        const std::vector<double> theta = t.List(r, "theta"), want = t.List(r, "invertible");
        const int q = static_cast<int>(theta.size());
        std::vector<double> twin(theta.size());
        double factor = 0.0;
        ASSERT_EQ(ReflectMaRoots(q, theta.data(), twin.data(), factor), kStatusDone);
        for (int j = 0; j < q; ++j) EXPECT_NEAR(twin[j], want[j], 1e-10) << j;
        EXPECT_NEAR(factor / t.Number(r, "factor"), 1.0, 1e-10);
    }
}
