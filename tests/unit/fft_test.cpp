#include "fft_reference.h"
#include "library_capture.h"
#include "numlib/fft.h"
#include "reference_table.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <map>
#include <vector>

using Fft = LibraryCapture;

namespace {

std::vector<double> Transform(int n, const std::vector<double>& x)
{
    std::vector<double> ftab(4 * static_cast<size_t>(n) + 15, 0.0);
    std::vector<double> work(2 * static_cast<size_t>(n));
    std::vector<double> y(2 * static_cast<size_t>(n));
    DFFTCI(n, ftab.data());
    DF2TCF(n, x.data(), y.data(), ftab.data(), work.data());
    return y;
}

// The stored factors of a table.
std::vector<int> Factors(int n)
{
    std::vector<double> ftab(4 * static_cast<size_t>(n) + 15, 0.0);
    DFFTCI(n, ftab.data());
    std::vector<int> f;
    for (int i = 0; i < static_cast<int>(ftab[4 * n + 1]); ++i) f.push_back(static_cast<int>(ftab[4 * n + 2 + i]));
    return f;
}

// One coefficient by the direct sum, in long double.
std::complex<long double> DirectCoefficient(const std::vector<double>& x, int64_t j)
{
    const int64_t n = static_cast<int64_t>(x.size() / 2);
    std::complex<long double> sum = 0;
    // 64-bit products: j * t overflows a Windows long.
    for (int64_t t = 0; t < n; ++t) {
        const long double angle = -2.0L * 3.14159265358979323846264338327950288L * ((j * t) % n) / n;
        sum += std::complex<long double>(x[2 * t], x[2 * t + 1]) * std::polar(1.0L, angle);
    }
    return sum;
}

}  // namespace

TEST_F(Fft, AgreesWithRForSmallAndPrimeLengths)
{
    const ReferenceTable t = ReadReferenceTable("fft_reference.csv");
    ASSERT_EQ(t.rows.size(), 529u);
    std::map<int, std::vector<size_t>> rowsOfLength;
    for (size_t r = 0; r < t.rows.size(); ++r) rowsOfLength[t.Integer(r, "n")].push_back(r);
    ASSERT_EQ(rowsOfLength.size(), 11u);
    for (const auto& [n, rows] : rowsOfLength) {
        std::vector<double> x;
        double scale = 0;
        for (size_t r : rows) {
            x.push_back(t.Number(r, "x_re"));
            x.push_back(t.Number(r, "x_im"));
            scale += std::hypot(t.Number(r, "y_re"), t.Number(r, "y_im"));
        }
        const std::vector<double> y = Transform(n, x);
        for (size_t k = 0; k < rows.size(); ++k) {
            EXPECT_NEAR(y[2 * k], t.Number(rows[k], "y_re"), 1e-14 * scale) << "n=" << n << " k=" << k;
            EXPECT_NEAR(y[2 * k + 1], t.Number(rows[k], "y_im"), 1e-14 * scale) << "n=" << n << " k=" << k;
        }
    }
    EXPECT_TRUE(output.empty());
}

// Random data against the long double reference at every kind of length: trivial ones, each
// butterfly, a direct prime, a chirp-z prime, lengths long enough to be split into columns and
// rows, and a long prime. The largest error stays at rounding level relative to the largest
// output whatever the length.
TEST_F(Fft, MatchesLongDoubleTransformAtEveryLength)
{
    for (int n : {1, 2, 3, 5, 7, 16, 1000, 1009, 2 * 531441, 99991, 1 << 20}) {
        const std::vector<double> x = RandomComplex(n, 20240611u + n);
        const std::vector<double> y = Transform(n, x);
        EXPECT_LE(RelativeError(y, LongDft(x)), 1e-14) << "n=" << n;
    }
    EXPECT_TRUE(output.empty());
}

TEST_F(Fft, FactorsComeInPassOrder)
{
    struct Case {
        int n;
        std::vector<int> factors;
    };
    const Case cases[] = {{12, {3, 4}}, {8, {2, 4}}, {24, {2, 3, 4}}, {100, {4, 5, 5}}, {7, {7}}, {2, {2}},
                          {4, {4}},     {221, {13, 17}}, {1048576, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
                          {1000000, {4, 4, 4, 5, 5, 5, 5, 5, 5}}};
    for (const Case& c : cases) {
        EXPECT_EQ(Factors(c.n), c.factors) << c.n;
        EXPECT_EQ(FftFactorCount(c.n), static_cast<int>(c.factors.size())) << c.n;
    }
    EXPECT_EQ(FftFactorCount(1), 0);
}

TEST_F(Fft, LargeCompositeLengthMatchesDirectSumsAndInverts)
{
    // 2 * 3 * 4 * 5 * 7 * 11 * 13: every kind of pass, two general ones.
    const int n = 120120;
    std::vector<double> x(2 * n);
    for (int t = 0; t < n; ++t) {
        x[2 * t] = std::sin(0.001 * t * t) + (t % 17) * 0.1;
        x[2 * t + 1] = std::cos(0.37 * t) - (t % 5) * 0.2;
    }
    const std::vector<double> y = Transform(n, x);
    double energyX = 0, energyY = 0;
    for (int t = 0; t < n; ++t) {
        energyX += x[2 * t] * x[2 * t] + x[2 * t + 1] * x[2 * t + 1];
        energyY += y[2 * t] * y[2 * t] + y[2 * t + 1] * y[2 * t + 1];
    }
    EXPECT_NEAR(energyY / n, energyX, 1e-10 * energyX);  // Parseval
    const double size = std::sqrt(energyY / n);
    for (int64_t j : {0, 1, 2, 7, 1001, 30030, 60059, 60060, 99999, 120119}) {
        const std::complex<long double> d = DirectCoefficient(x, j);
        EXPECT_NEAR(y[2 * j], static_cast<double>(d.real()), 1e-9 * size) << j;
        EXPECT_NEAR(y[2 * j + 1], static_cast<double>(d.imag()), 1e-9 * size) << j;
    }
    // Inverse by conjugation: conj(F(conj(y))) / n gives x back.
    std::vector<double> c = y;
    for (int t = 0; t < n; ++t) c[2 * t + 1] = -c[2 * t + 1];
    const std::vector<double> back = Transform(n, c);
    double worst = 0;
    for (int t = 0; t < n; ++t) {
        worst = std::max(worst, std::abs(back[2 * t] / n - x[2 * t]));
        worst = std::max(worst, std::abs(-back[2 * t + 1] / n - x[2 * t + 1]));
    }
    EXPECT_LT(worst, 1e-11);
}

TEST_F(Fft, SpecialSequencesAndInPlaceUse)
{
    for (int n : {1, 2, 3, 5, 9, 16, 35, 77}) {
        std::vector<double> constant(2 * n), impulse(2 * n, 0.0);
        for (int t = 0; t < n; ++t) {
            constant[2 * t] = 1.5;
            constant[2 * t + 1] = -0.5;
        }
        impulse[0] = 1.0;
        const std::vector<double> yc = Transform(n, constant);
        const std::vector<double> yi = Transform(n, impulse);
        EXPECT_NEAR(yc[0], 1.5 * n, 1e-13 * n) << n;
        EXPECT_NEAR(yc[1], -0.5 * n, 1e-13 * n) << n;
        for (int k = 0; k < n; ++k) {
            if (k > 0) {
                EXPECT_NEAR(yc[2 * k], 0.0, 1e-13 * n) << n << " " << k;
                EXPECT_NEAR(yc[2 * k + 1], 0.0, 1e-13 * n) << n << " " << k;
            }
            EXPECT_NEAR(yi[2 * k], 1.0, 1e-15) << n << " " << k;
            EXPECT_NEAR(yi[2 * k + 1], 0.0, 1e-15) << n << " " << k;
        }
    }
    const std::vector<double> pair = Transform(2, {1.0, 2.0, 3.0, -1.0});
    EXPECT_EQ(pair, (std::vector<double>{4.0, 1.0, -2.0, 3.0}));

    // The same array as input and output.
    const int n = 60;
    std::vector<double> x(2 * n);
    for (int t = 0; t < 2 * n; ++t) x[t] = std::cos(1.3 * t);
    const std::vector<double> separate = Transform(n, x);
    std::vector<double> ftab(4 * n + 15), work(2 * n);
    DFFTCI(n, ftab.data());
    DF2TCF(n, x.data(), x.data(), ftab.data(), work.data());
    EXPECT_EQ(x, separate);
}

TEST_F(Fft, BadLengthsAreRefusedWithoutWriting)
{
    std::vector<double> ftab(19, 7.0), x = {1, 2}, y = {9, 9}, work(2);
    DFFTCI(1, ftab.data());
    EXPECT_EQ(ftab, std::vector<double>(19, 7.0));
    EXPECT_TRUE(output.empty());

    DFFTCI(0, ftab.data());
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from DFFTCI.  The length of the sequence N = 0.  It\n"
                      " ***          must be at least 1.\n");
    Clear();
    DF2TCF(-3, x.data(), y.data(), ftab.data(), work.data());
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 1 from DF2TCF.  The length of the sequence N = -3.  It\n"
                      " ***          must be at least 1.\n");
    EXPECT_EQ(y, (std::vector<double>{9, 9}));
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_TRUE(LibraryCallAbandoned());

    // 2 * 3^13 needs a fourteenth factor: refused, the table not written.
    const int n = 2 * 1594323;
    EXPECT_EQ(FftFactorCount(n), kFftMaxFactors + 1);
    EXPECT_EQ(FftFactorCount(n / 2), 13);
    Clear();
    std::vector<double> big(4 * static_cast<size_t>(n) + 15, 7.0);
    DFFTCI(n, big.data());
    EXPECT_NE(output.find("TERMINAL ERROR 2 from DFFTCI.  The length of the sequence N = 3188646"),
              std::string::npos);
    EXPECT_EQ(big[4 * static_cast<size_t>(n) + 1], 7.0);
    EXPECT_EQ(stops.size(), 1u);
}
