#include "fft_reference.h"
#include "library_capture.h"
#include "numlib/fft_plan.h"
#include "numlib/periodogram.h"
#include "reference_table.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

using Periodogram = LibraryCapture;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Result {
    int rows;
    std::vector<double> pm;  // rows by 5, leading dimension rows
    double At(int k, int column) const { return pm[static_cast<size_t>((column - 1) * rows + k)]; }
};

Result ComputePeriodogram(const std::vector<double>& x, double xbase, int npad, int ifscal, int ipver)
{
    Result r;
    r.rows = (static_cast<int>(x.size()) + npad) / 2 + 1;
    r.pm.assign(static_cast<size_t>(5 * r.rows), -1.0);
    DPFFT(static_cast<int>(x.size()), x.data(), 0, xbase, npad, ifscal, ipver, r.pm.data(), r.rows);
    return r;
}

double Mean(const std::vector<double>& x)
{
    double sum = 0;
    for (double v : x) sum += v;
    return sum / x.size();
}

}  // namespace

// R's spec.pgram(x, taper = 0, detrend = FALSE, demean = TRUE, fast = FALSE) is |sum z_t e^(-iwt)|^2 / n.
// IPVER 0 scales by 2/n, so I = 2 * spec; IPVER 1 by 1/(2 pi n), so I = spec / (2 pi). The table's
// a and b are R's direct sums with the scale sqrt(2/n) of IPVER 0; IPVER 1 divides them by sqrt(4 pi).
TEST_F(Periodogram, AgreesWithRSpecPgramForBothScalings)
{
    const std::map<std::string, std::vector<double>> data = ReferenceSeriesByName("periodogram_series.csv", "x");
    const ReferenceTable ref = ReadReferenceTable("periodogram_reference.csv");
    ASSERT_FALSE(ref.rows.empty());
    ASSERT_EQ(data.size(), 4u);

    for (const auto& [name, x] : data) {
        const double mean = Mean(x);
        const Result p0 = ComputePeriodogram(x, mean, 0, 0, 0);
        const Result p1 = ComputePeriodogram(x, mean, 0, 1, 1);
        const int n = static_cast<int>(x.size());
        ASSERT_EQ(p0.rows, n / 2 + 1);
        EXPECT_TRUE(std::isnan(p0.At(0, 2))) << name;
        EXPECT_EQ(p0.At(0, 1), 0.0);
        EXPECT_NEAR(p0.At(0, 4), 0.0, 1e-12 * std::abs(mean) * n) << name;
        EXPECT_EQ(p0.At(0, 5), 0.0);
        int checked = 0;
        for (size_t r = 0; r < ref.rows.size(); ++r) {
            if (ref.Text(r, "series") != name) continue;
            const int k = ref.Integer(r, "k");
            const double spec = ref.Number(r, "spec");
            const double a = ref.Number(r, "a");
            const double b = ref.Number(r, "b");
            const double tol = 1e-11 * (std::abs(a) + std::abs(b) + 1e-3 * std::sqrt(spec) + 1e-300);
            EXPECT_NEAR(p0.At(k, 1), 2 * kPi * ref.Number(r, "freq"), 1e-15) << name << k;
            EXPECT_NEAR(p1.At(k, 1), ref.Number(r, "freq"), 1e-16) << name << k;
            EXPECT_NEAR(p0.At(k, 2), static_cast<double>(n) / k, 1e-12) << name << k;
            EXPECT_NEAR(p0.At(k, 3), 2 * spec, 1e-11 * 2 * spec + 1e-300) << name << k;
            EXPECT_NEAR(p1.At(k, 3), spec / (2 * kPi), 1e-11 * spec) << name << k;
            EXPECT_NEAR(p0.At(k, 4), a, tol) << name << k;
            EXPECT_NEAR(p0.At(k, 5), b, tol) << name << k;
            EXPECT_NEAR(p1.At(k, 4), a / std::sqrt(4 * kPi), tol) << name << k;
            EXPECT_NEAR(p1.At(k, 5), b / std::sqrt(4 * kPi), tol) << name << k;
            ++checked;
        }
        EXPECT_EQ(checked, n / 2) << name;
    }
    EXPECT_TRUE(output.empty());
}

TEST_F(Periodogram, ShortAndPaddedSeries)
{
    // NOBS = 2: rows for frequency 0 and pi; z = (-0.5, 0.5), so A(pi) = s (-z1 + z2) = 1 with s = 1.
    const Result two = ComputePeriodogram({1.0, 2.0}, 1.5, 0, 0, 0);
    ASSERT_EQ(two.rows, 2);
    EXPECT_TRUE(std::isnan(two.At(0, 2)));
    EXPECT_NEAR(two.At(1, 1), kPi, 1e-15);
    EXPECT_EQ(two.At(1, 2), 2.0);
    EXPECT_NEAR(two.At(1, 4), 1.0, 1e-15);
    EXPECT_NEAR(two.At(1, 5), 0.0, 1e-15);
    EXPECT_NEAR(two.At(1, 3), 1.0, 1e-15);

    // Padding changes the frequencies and periods but not the scale, which stays sqrt(2/NOBS).
    const std::vector<double> x = {0.3, -1.2, 2.5, 0.7, -0.4, 1.1, 0.0};
    const int npad = 5, n = 12;
    const Result padded = ComputePeriodogram(x, 0.2, npad, 1, 0);
    ASSERT_EQ(padded.rows, 7);
    const double s = std::sqrt(2.0 / x.size());
    for (int k = 0; k <= n / 2; ++k) {
        double a = 0, b = 0;
        for (size_t t = 1; t <= x.size(); ++t) {
            a += (x[t - 1] - 0.2) * std::cos(2 * kPi * k * t / n);
            b += (x[t - 1] - 0.2) * std::sin(2 * kPi * k * t / n);
        }
        EXPECT_NEAR(padded.At(k, 1), static_cast<double>(k) / n, 1e-16);
        if (k > 0) {
            EXPECT_NEAR(padded.At(k, 2), static_cast<double>(n) / k, 1e-14);
        }
        EXPECT_NEAR(padded.At(k, 4), s * a, 1e-14) << k;
        EXPECT_NEAR(padded.At(k, 5), s * b, 1e-14) << k;
    }
    EXPECT_TRUE(output.empty());
}

// Every row against a long double transform of the centred series, rotated to the time origin
// t = 1 in long double, for both scales: even lengths whose half is odd or even and leaves every
// remainder of the rows done four at a time, odd lengths, halves with a direct prime (61) and a
// chirp-z one (1019), and a series whose mean is far from 0. Frequencies and periods are the
// exact quotients. The lengths follow one another, each call another length than the one before;
// the rows one at a time give the same.
TEST_F(Periodogram, RowsMatchALongDoubleTransform)
{
    const long double twoPi = 6.283185307179586476925286766559005768L;
    const int lengths[] = {2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  18,  20,  22,  24,   26,
                           34, 36, 38, 40, 99, 122, 1000, 1001, 2038, 4096, 1000, 36, 1001, 2038, 3};
    for (const bool wide : {true, false}) {
        FftAllowWideVectors(wide);
        for (const int n : lengths) {
            std::vector<double> x(n);
            for (int t = 0; t < n; ++t) x[t] = 1e3 + std::sin(0.7 * t * t) + 0.001 * t;
            const double mean = Mean(x);
            std::vector<double> z(2 * static_cast<size_t>(n), 0.0);
            for (int t = 0; t < n; ++t) z[2 * t] = x[t] - mean;
            const std::vector<LongComplex> X = LongDft(z);
            for (const int ipver : {0, 1}) {
                const Result r = ComputePeriodogram(x, mean, 0, ipver, ipver);
                const long double s = ipver == 0 ? std::sqrt(2.0L / n) : std::sqrt(1.0L / (twoPi * n));
                long double largest = 0.0L, worst = 0.0L, worstI = 0.0L, largestI = 0.0L;
                for (int k = 0; k <= n / 2; ++k) {
                    const long double theta = twoPi * k / n, c = std::cos(theta), sn = std::sin(theta);
                    // s·X(k)·exp(-iθ): A its real part, B its imaginary part negated.
                    const long double a = s * (X[k].re * c + X[k].im * sn);
                    const long double b = -s * (X[k].im * c - X[k].re * sn);
                    largest = std::max({largest, std::fabs(a), std::fabs(b)});
                    largestI = std::max(largestI, a * a + b * b);
                    worst = std::max({worst, std::fabs(r.At(k, 4) - a), std::fabs(r.At(k, 5) - b)});
                    worstI = std::max(worstI, std::fabs(r.At(k, 3) - (a * a + b * b)));
                    const double freq = static_cast<double>(k) / n;
                    EXPECT_EQ(r.At(k, 1), ipver == 0 ? freq * 6.283185307179586 : freq) << n << " k=" << k;
                    if (k > 0) {
                        EXPECT_EQ(r.At(k, 2), static_cast<double>(n) / k) << n << " k=" << k;
                    }
                }
                EXPECT_TRUE(std::isnan(r.At(0, 2))) << n;
                EXPECT_LE(static_cast<double>(worst), 1e-14 * static_cast<double>(largest))
                    << "n=" << n << " ipver=" << ipver << " wide=" << wide;
                EXPECT_LE(static_cast<double>(worstI), 1e-14 * static_cast<double>(largestI))
                    << "n=" << n << " ipver=" << ipver << " wide=" << wide;
            }
        }
    }
    FftAllowWideVectors(true);
    EXPECT_TRUE(output.empty()) << output;
}

// Ordinates beyond the largest double are refused, not returned as infinities, whichever row
// they fall in: with n = 40 the rows 1..8 and their partners h-k = 19..12 are done four at a time
// where the processor has the wide kernels, row 9 and its partner one at a time. A cosine of
// amplitude 1e154 at frequency k gives I(k) = (20·1e154)^2·s^2: 2e309 with IPVER 0, 1.6e308 (a
// double) with IPVER 1.
TEST_F(Periodogram, OrdinatesBeyondTheDoublesAreRefused)
{
    struct Case {
        int k, ipver;
        bool refused;
    };
    const Case cases[] = {
        {2, 0, true},    // row k of a block of four
        {18, 0, true},   // row h-k of a block of four
        {9, 0, true},    // a row done alone
        {18, 1, false},  // fits: every row finite
    };
    for (const bool wide : {true, false}) {
        FftAllowWideVectors(wide);
        for (const Case& c : cases) {
            SCOPED_TRACE("k = " + std::to_string(c.k) + ", IPVER " + std::to_string(c.ipver) + (wide ? ", wide" : ""));
            std::vector<double> x(40);
            for (int t = 1; t <= 40; ++t) x[t - 1] = 1e154 * std::cos(2.0 * kPi * c.k * t / 40.0);
            Clear();
            const Result r = ComputePeriodogram(x, 0.0, 0, 0, c.ipver);
            EXPECT_EQ(LibraryCallAbandoned(), c.refused);
            EXPECT_EQ(output.find("ordinates are too large") != std::string::npos, c.refused) << output;
            if (c.refused) continue;
            for (int k = 0; k <= 20; ++k)
                for (int column = 3; column <= 5; ++column) EXPECT_TRUE(std::isfinite(r.At(k, column))) << k;
            EXPECT_NEAR(r.At(c.k, 3) / (2e155 * (2e155 / (2.0 * kPi * 40.0))), 1.0, 1e-12);
        }
    }
    FftAllowWideVectors(true);
}

TEST_F(Periodogram, ArgumentErrorsLeaveTheResultAlone)
{
    std::vector<double> pm(10, -1.0);
    const std::vector<double> x = {1, 2, 3, 4, 5, 6};
    DPFFT(1, x.data(), 0, 0.0, 0, 0, 0, pm.data(), 5);
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from DPFFT.  NOBS = 1 and NPAD = 0.  NOBS must be 2 or\n"
                      " ***          more and NPAD must be 0 or more.\n");
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_TRUE(LibraryCallAbandoned());

    Clear();
    DPFFT(6, x.data(), 0, 0.0, 0, 0, 0, pm.data(), 3);  // INT(6/2)+1 = 4 rows needed
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 7 from DPFFT.  LDPM = 3.  LDPM must be greater than or\n"
                      " ***          equal to INT(N/2)+1 = 4.\n");
    EXPECT_EQ(pm, std::vector<double>(10, -1.0));

    // DP2FT runs every check; the NaN at the 5th and 6th observations is named once, by the first.
    Clear();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> y = {1, 2, 3, 4, nan, nan};
    std::vector<double> cx(12), cy(12), ftab(39), work(12);
    DP2FT(6, y.data(), 2, 0.0, 0, 0, 3, pm.data(), 4, cx.data(), cy.data(), ftab.data(), work.data());
    EXPECT_EQ(output,
              "\n *** TERMINAL ERROR 2 from DP2FT.  X(5) = NaN (not a number).  No elements of\n"
              " ***          X may be missing.  There may be other elements of X equal to \n"
              " ***          NaN.\n"
              "\n *** TERMINAL ERROR 3 from DP2FT.  IPRINT = 2.  IPRINT must be 0 or 1.\n"
              "\n *** TERMINAL ERROR 5 from DP2FT.  IPVER = 3.  IPVER must be 0 or 1.\n");
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], output);
    EXPECT_EQ(pm, std::vector<double>(10, -1.0));
}

TEST_F(Periodogram, FirstNaNOrdinal)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> x = {1, inf, 3, nan, 5, nan};
    struct Case {
        int n, incx, expected;
    };
    const Case cases[] = {{6, 1, 4}, {3, 1, 0}, {3, 2, 0}, {3, 3, 2}, {0, 1, 0}, {6, 0, 0}};
    for (const Case& c : cases) EXPECT_EQ(IDANAN(c.n, x.data(), c.incx), c.expected) << c.n << " " << c.incx;
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(IDANAN(-1, x.data(), 1), 0);
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from IDANAN.   The length of the input vector is -1. \n"
                      " ***          The length must be non-negative.\n");
}
