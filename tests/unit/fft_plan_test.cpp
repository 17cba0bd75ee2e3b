#include "fft_reference.h"
#include "numlib/fft_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const long double kTwoPiL = 6.283185307179586476925286766559005768L;

std::vector<double> Forward(int n, const std::vector<double>& x, bool inPlace = false)
{
    FftWorkspace space;
    EXPECT_TRUE(FftWorkspaceInit(space, n));
    std::vector<double> y = inPlace ? x : std::vector<double>(x.size());
    const FftComplex* in = reinterpret_cast<const FftComplex*>(inPlace ? y.data() : x.data());
    EXPECT_TRUE(FftWorkspaceRun(space, in, reinterpret_cast<FftComplex*>(y.data()), false));
    return y;
}

// One unit in the last place of v.
double Ulp(double v)
{
    return std::nextafter(std::fabs(v), 2.0) - std::fabs(v);
}

}  // namespace

// exp(-2πi·m/order) against extended precision, at and around every octant boundary, where the
// reduction changes branch: within an ulp of the correctly rounded value. Where the value is 0
// the reduction gives 0 exactly and the long double reference is off by about 1e-19.
TEST(FftPlan, RootsAreRoundedOnce)
{
    for (int64_t order : {1, 2, 3, 4, 5, 7, 8, 12, 16, 1000, 1009, 1 << 20, 2 * 99991, 2147483647}) {
        std::vector<int64_t> ms = {0, 1, order - 1};
        for (int64_t eighth = 1; eighth < 8; ++eighth)
            for (int64_t d : {-1, 0, 1}) ms.push_back(eighth * order / 8 + d);
        for (int64_t m : ms) {
            if (m < 0 || m >= order) continue;
            const FftComplex w = FftExactRoot(m, order);
            const long double angle = kTwoPiL * m / order;
            const double c = static_cast<double>(std::cos(angle)), s = static_cast<double>(-std::sin(angle));
            EXPECT_LE(std::fabs(w.re - c), Ulp(c) + 1e-18) << m << "/" << order;
            EXPECT_LE(std::fabs(w.im - s), Ulp(s) + 1e-18) << m << "/" << order;
        }
        // The two-table products stay within a few ulps of 1 in absolute terms.
        std::vector<FftComplex> storage(static_cast<size_t>(FftRootTableSize(order)));
        const FftRootTable table = FftRootTableInit(order, storage.data());
        for (int64_t k = 0; k < 200; ++k) {
            const int64_t m = (k * 104729 + k * k) % order;
            const FftComplex w = table.Root(m);
            const long double angle = kTwoPiL * m / order;
            EXPECT_NEAR(w.re, static_cast<double>(std::cos(angle)), 4.5e-16) << m << "/" << order;
            EXPECT_NEAR(w.im, static_cast<double>(-std::sin(angle)), 4.5e-16) << m << "/" << order;
        }
    }
}

// The library table gives the engine n complex values for its roots and n for its scratch.
TEST(FftPlan, StoresFitTheLibraryTable)
{
    std::vector<int> lengths;
    for (int n = 1; n <= 3000; ++n) lengths.push_back(n);
    for (int n : {16385, 17408, 32288, 65536, 99991, 199982, 274432, 278528, 1000000, 1000002, 1062882, 1 << 20,
                  2147483646})
        lengths.push_back(n);
    for (int n : lengths) {
        FftPlan plan;
        FftPlanInit(plan, n);
        EXPECT_LE(plan.rootCount, n) << n;
        EXPECT_LE(plan.scratchCount, n) << n;
        EXPECT_LE(FftPlanRootsTemp(plan), std::max(n, 16)) << n;
        long long product = plan.split ? static_cast<long long>(plan.n1) * plan.n2 : plan.leaf[0].n;
        EXPECT_EQ(product, n);
    }
}

// Lengths that reach each kind of pass and both layouts: the largest direct prime and the
// smallest chirp-z one, two chirp-z primes (the first pass with twiddles), a repeated one, a
// chirp-z prime after other factors (4·67), and split lengths whose rows hold a direct prime
// (2^14·17 = 512 by 544) or a chirp-z prime (2^12·67 = 512 by 536). In place and apart give the
// same values; the one-at-a-time butterflies give the same as the wide ones up to rounding.
TEST(FftPlan, EveryKindOfPassMatchesTheReference)
{
    for (int n : {61, 67, 77, 268, 4489, 4757, 278528, 274432}) {
        const std::vector<double> x = RandomComplex(n, 7u + n);
        const std::vector<double> y = Forward(n, x);
        EXPECT_LE(RelativeError(y, LongDft(x)), 1e-14) << "n=" << n;
        EXPECT_EQ(Forward(n, x, true), y) << "n=" << n;
        FftAllowWideVectors(false);
        const std::vector<double> narrow = Forward(n, x);
        FftAllowWideVectors(true);
        double largest = 0.0, worst = 0.0;
        for (size_t i = 0; i < y.size(); ++i) {
            largest = std::max(largest, std::fabs(y[i]));
            worst = std::max(worst, std::fabs(narrow[i] - y[i]));
        }
        EXPECT_LE(worst, 1e-14 * largest) << "n=" << n;
    }
}

// The real-input split against the complex transform of (x, 0), and the merge back to the
// packed transform, for even lengths, halves with a direct prime (17408) and a chirp-z one (1009)
// among them.
TEST(FftPlan, RealSplitAndMergeInvertEachOther)
{
    for (int n : {2, 4, 10, 12, 1000, 2 * 1009, 2 * 17408}) {
        const int h = n / 2;
        const std::vector<double> noise = RandomComplex(h, 11u + n);  // n real values
        std::vector<double> complexSeries(2 * static_cast<size_t>(n), 0.0);
        for (int t = 0; t < n; ++t) complexSeries[2 * t] = noise[t];
        const std::vector<double> full = Forward(n, complexSeries);

        std::vector<double> Z = Forward(h, noise);
        std::vector<FftComplex> storage(static_cast<size_t>(FftRootTableSize(n)));
        const FftRootTable roots = FftRootTableInit(n, storage.data());
        std::vector<FftComplex> X(static_cast<size_t>(h) + 1);
        FftRealSplit(h, reinterpret_cast<const FftComplex*>(Z.data()), X.data(), roots);
        double largest = 0.0, worst = 0.0;
        for (int k = 0; k <= h; ++k) {
            largest = std::max(largest, std::hypot(full[2 * k], full[2 * k + 1]));
            worst = std::max(worst, std::hypot(X[k].re - full[2 * k], X[k].im - full[2 * k + 1]));
        }
        EXPECT_LE(worst, 1e-15 * largest) << "n=" << n;

        std::vector<FftComplex> back(X);
        FftRealMerge(h, back.data(), back.data(), roots);
        worst = 0.0;
        for (int k = 0; k < h; ++k) worst = std::max(worst, std::hypot(back[k].re - Z[2 * k], back[k].im - Z[2 * k + 1]));
        EXPECT_LE(worst, 1e-15 * largest) << "n=" << n;

        // Split in place gives the same values.
        std::vector<FftComplex> inPlace(static_cast<size_t>(h) + 1);
        std::copy(reinterpret_cast<const FftComplex*>(Z.data()), reinterpret_cast<const FftComplex*>(Z.data()) + h,
                  inPlace.begin());
        FftRealSplit(h, inPlace.data(), inPlace.data(), roots);
        for (int k = 0; k <= h; ++k) {
            EXPECT_EQ(inPlace[k].re, X[k].re) << n << " " << k;
            EXPECT_EQ(inPlace[k].im, X[k].im) << n << " " << k;
        }
    }
}

// The inverse sum undoes the forward one up to the factor n.
TEST(FftPlan, InverseUndoesForward)
{
    for (int n : {1, 6, 67, 1000, 17408}) {
        const std::vector<double> x = RandomComplex(n, 3u + n);
        FftWorkspace space;
        ASSERT_TRUE(FftWorkspaceInit(space, n));
        std::vector<double> y(x.size());
        ASSERT_TRUE(FftWorkspaceRun(space, reinterpret_cast<const FftComplex*>(x.data()),
                                    reinterpret_cast<FftComplex*>(y.data()), false));
        ASSERT_TRUE(FftWorkspaceRun(space, reinterpret_cast<const FftComplex*>(y.data()),
                                    reinterpret_cast<FftComplex*>(y.data()), true));
        for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(y[i] / n, x[i], 1e-14) << n << " " << i;
    }
}
