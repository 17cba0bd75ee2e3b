#include "numerics/fft_smoother.h"
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

// Plain DFT with exact twiddles: exp(-2πi·sign·j/n) for j = 0..n-1 in long double, indexed by
// (k·t) mod n so that no large angles are formed.
std::vector<Complex> DirectDft(const std::vector<Complex>& a, int sign)
{
    const long n = static_cast<long>(a.size());
    const long double twoPi = 2.0L * std::acos(-1.0L);
    std::vector<std::complex<long double>> w(static_cast<size_t>(n));
    for (long j = 0; j < n; ++j)
        w[j] = std::polar(1.0L, -twoPi * sign * static_cast<long double>(j) / n);
    std::vector<Complex> out(static_cast<size_t>(n));
    for (long k = 0; k < n; ++k) {
        std::complex<long double> sum = 0.0L;
        for (long t = 0; t < n; ++t)
            sum += std::complex<long double>(a[t].real(), a[t].imag()) * w[(k * t) % n];
        out[k] = Complex(static_cast<double>(sum.real()), static_cast<double>(sum.imag()));
    }
    return out;
}

// Low pass by the direct DFT: frequency index f = min(j, n-j) is dropped when 2f > n·frac.
std::vector<double> DirectLowPass(const std::vector<double>& x, double frac)
{
    const int n = static_cast<int>(x.size());
    std::vector<Complex> a(x.begin(), x.end());
    std::vector<Complex> c = DirectDft(a, 1);
    for (int j = 0; j < n; ++j)
        if (2 * std::min(j, n - j) > n * frac) c[j] = 0.0;
    const std::vector<Complex> back = DirectDft(c, -1);
    std::vector<double> y(x.size());
    for (int t = 0; t < n; ++t) y[t] = back[t].real() / n;
    return y;
}

std::vector<double> TestSeries(int n)
{
    std::vector<double> x(n);
    for (int t = 0; t < n; ++t)
        x[t] = std::sin(0.37 * t) + 0.5 * std::cos(2.1 * t + 0.3) + 0.002 * t + ((t * 7919) % 13) / 13.0;
    return x;
}

double SumAbs(const std::vector<Complex>& a)
{
    double s = 0.0;
    for (const Complex& v : a) s += std::abs(v);
    return s;
}

}  // namespace

// Lengths with every kind of factor: primes below and above the direct-pass limit (13, 101),
// 12, 360, 2450 = 2·5²·7², 2601 = 3²·17², and the smallest lengths. Agreement is to rounding
// relative to the sum of magnitudes.
TEST(FftTransform, MatchesDirectDft)
{
    for (int n : {1, 2, 3, 4, 12, 13, 101, 360, 2450, 2601}) {
        std::vector<Complex> a(n);
        for (int t = 0; t < n; ++t) a[t] = Complex(std::sin(0.7 * t) + 0.01 * t, std::cos(1.3 * t * t));
        for (int sign : {1, -1}) {
            std::vector<Complex> out(n, Complex(-9.0, -9.0));
            ASSERT_EQ(FftTransform(a.data(), n, out.data(), sign), kStatusDone);
            const std::vector<Complex> ref = DirectDft(a, sign);
            const double tol = 1e-14 * SumAbs(a);
            double worst = 0.0;
            for (int k = 0; k < n; ++k) worst = std::max(worst, std::abs(out[k] - ref[k]));
            EXPECT_LT(worst, tol) << "n " << n << " sign " << sign;
        }
    }
}

TEST(FftTransform, FactorPassAlone)
{
    for (int L : {1, 7, 35 * 3, 153}) {
        std::vector<Complex> b(L);
        for (int t = 0; t < L; ++t) b[t] = Complex(1.0 / (t + 1), 0.5 - t % 3);
        std::vector<Complex> out(L);
        ASSERT_EQ(FftFactorPass(b.data(), L, out.data(), 1, -1), kStatusDone);
        const std::vector<Complex> ref = DirectDft(b, -1);
        for (int k = 0; k < L; ++k) EXPECT_LT(std::abs(out[k] - ref[k]), 1e-14 * SumAbs(b)) << L;
    }
}

TEST(FftTransform, RefusesBadArguments)
{
    const std::vector<Complex> a(4, Complex(1.0, 0.0));
    std::vector<Complex> out(4, Complex(-1.0, 0.0));
    EXPECT_EQ(FftTransform(a.data(), 0, out.data(), 1), kStatusBadArgument);
    EXPECT_EQ(FftTransform(a.data(), 4, out.data(), 0), kStatusBadArgument);
    EXPECT_EQ(FftTransform(a.data(), 4, out.data(), 2), kStatusBadArgument);
    EXPECT_EQ(FftFactorPass(a.data(), 0, out.data(), 1, 1), kStatusBadArgument);
    EXPECT_EQ(FftFactorPass(a.data(), 4, out.data(), 1, -2), kStatusBadArgument);
    for (const Complex& v : out) EXPECT_EQ(v, Complex(-1.0, 0.0));
}

// R: fft, the coefficients with 2·min(j, n-j) > n·frac set to 0, Re(fft(inverse)) / n.
TEST(FftSmoother, MatchesRReference)
{
    const ReferenceTable t = ReadReferenceTable("fft_smoother_reference.csv");
    ASSERT_EQ(t.rows.size(), 4u * 12u + 2u * 13u + 2u * 98u + 89u);
    size_t row = 0;
    int cases = 0;
    while (row < t.rows.size()) {
        const std::string name = t.Text(row, "case");
        const std::string fracText = t.Text(row, "frac");
        std::vector<double> x, ref;
        for (; row < t.rows.size() && t.Text(row, "case") == name && t.Text(row, "frac") == fracText;
             ++row) {
            x.push_back(t.Number(row, "x"));
            ref.push_back(t.Number(row, "y"));
        }
        const int n = static_cast<int>(x.size());
        const std::vector<double> original = x;
        std::vector<double> y(x.size(), -99.0);
        ASSERT_EQ(FftSmoother(x.data(), y.data(), n, std::strtod(fracText.c_str(), nullptr)),
                  kStatusDone);
        EXPECT_EQ(x, original);
        double scale = 0.0;
        for (double v : x) scale = std::max(scale, std::fabs(v));
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(y[i], ref[i], 1e-12 * scale) << name << " frac " << fracText << " t " << i + 1;
        ++cases;
    }
    EXPECT_EQ(cases, 9);
}

// Long and prime lengths, odd and even, against the low pass by a direct DFT.
TEST(FftSmoother, MatchesDirectLowPass)
{
    struct Case {
        int n;
        double frac;
    };
    for (const Case& c : {Case{2601, 0.3}, Case{2018, 0.4}, Case{101, 0.5}, Case{12, 0.5}, Case{2, 0.0}}) {
        const std::vector<double> x = TestSeries(c.n);
        std::vector<double> y(x.size());
        ASSERT_EQ(FftLowPass(x.data(), y.data(), c.n, c.frac), kStatusDone);
        const std::vector<double> ref = DirectLowPass(x, c.frac);
        double worst = 0.0;
        for (int i = 0; i < c.n; ++i) worst = std::max(worst, std::fabs(y[i] - ref[i]));
        EXPECT_LT(worst, 1e-12) << c.n;
    }
}

// frac = 1 returns the series, frac = 0 its mean, frac < 0 zeros; n = 1 passes the value
// through; n < 1 is refused.
TEST(FftSmoother, EdgeFractions)
{
    const std::vector<double> x = TestSeries(30);
    double mean = 0.0;
    for (double v : x) mean += v / 30.0;
    std::vector<double> y(30);
    ASSERT_EQ(FftSmoother(x.data(), y.data(), 30, 1.0), kStatusDone);
    for (int i = 0; i < 30; ++i) EXPECT_NEAR(y[i], x[i], 1e-13);
    ASSERT_EQ(FftSmoother(x.data(), y.data(), 30, 0.0), kStatusDone);
    for (double v : y) EXPECT_NEAR(v, mean, 1e-12);
    ASSERT_EQ(FftSmoother(x.data(), y.data(), 30, -0.1), kStatusDone);
    for (double v : y) EXPECT_EQ(v, 0.0);

    const double one = 2.5;
    double out = 0.0;
    ASSERT_EQ(FftSmoother(&one, &out, 1, 0.0), kStatusDone);
    EXPECT_DOUBLE_EQ(out, 2.5);
    out = -1.0;
    EXPECT_EQ(FftSmoother(&one, &out, 0, 0.5), kStatusBadArgument);
    EXPECT_EQ(out, -1.0);
}
