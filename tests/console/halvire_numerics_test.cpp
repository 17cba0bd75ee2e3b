// halvire's numerics in single precision against R (scripts/reference/halvire.R): the split
// transform, the spectral density, the truncated autocovariances, predictors and their errors, the
// seeded simulation, the Whittle criterion and its pattern search on the Nile series.
#include "console/halvire_fit.h"
#include "console/halvire_model.h"
#include "console/halvire_spectrum.h"
#include "console/screen.h"
#include "numerics/long_memory.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

using Complex = std::complex<float>;

std::vector<float> Series(const std::string& name)
{
    const ReferenceTable t = ReadReferenceTable("halvire_series.csv");
    std::vector<float> x;
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.Text(r, "series") == name) x.push_back(static_cast<float>(t.Number(r, "value")));
    return x;
}

std::vector<float> MeanCorrected(std::vector<float> x)
{
    double sum = 0.0;
    for (float v : x) sum += v;
    const float mean = static_cast<float>(sum / x.size());
    for (float& v : x) v -= mean;
    return x;
}

FracArmaModel Model(std::vector<float> phi, std::vector<float> theta, float d)
{
    FracArmaModel model;
    model.p = static_cast<int>(phi.size());
    model.q = static_cast<int>(theta.size());
    for (int i = 0; i < model.p; ++i) model.phi[i] = phi[i];
    for (int i = 0; i < model.q; ++i) model.theta[i] = theta[i];
    model.d = d;
    return model;
}

// The input of the transform references: integers, exact in single precision.
std::vector<Complex> DftInput(int n)
{
    std::vector<Complex> x(static_cast<size_t>(n));
    for (int j = 1; j <= n; ++j)
        x[j - 1] = {static_cast<float>((37 * j) % 101 - 50), static_cast<float>((53 * j) % 89 - 44)};
    return x;
}

TEST(SplitDft, FactorsOfTheSplit)
{
    struct Case {
        int n, largest, factor;
    };
    // 1000: 25 (sqrt 1000 < 32); inside, 40 splits by 5 into classes of 8; a prime has none.
    const Case cases[] = {{1, 36, 1}, {1000, 36, 25}, {40, 35, 5}, {997, 36, 1}, {20000, 36, 32}, {625, 35, 25}, {4, 36, 2}};
    for (const Case& c : cases) EXPECT_EQ(SplitFactor(c.n, c.largest), c.factor) << c.n;
}

TEST(SplitDft, MatchesRFft)
{
    const ReferenceTable t = ReadReferenceTable("halvire_dft.csv");
    ASSERT_GT(t.rows.size(), 60u);
    for (int n : {1, 1000, 997, 20000}) {
        const std::vector<Complex> x = DftInput(n);
        std::vector<Complex> X(static_cast<size_t>(n));
        SplitDft(x.data(), n, X.data(), 1);
        // Single-precision sums of n terms: errors relative to the size of a term of the output.
        double power = 0.0;
        for (const Complex& v : x) power += std::norm(v);
        const double scale = std::sqrt(power);
        int checked = 0;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.Integer(r, "n") != n) continue;
            const int k = t.Integer(r, "k");
            EXPECT_NEAR(X[k - 1].real(), t.Number(r, "re"), 2e-5 * scale) << n << " " << k;
            EXPECT_NEAR(X[k - 1].imag(), t.Number(r, "im"), 2e-5 * scale) << n << " " << k;
            ++checked;
        }
        EXPECT_GE(checked, 1) << n;
    }
}

TEST(SplitDft, InverseSignUndoesTheTransform)
{
    for (int n : {12, 97, 240}) {
        const std::vector<Complex> x = DftInput(n);
        std::vector<Complex> X(static_cast<size_t>(n)), back(static_cast<size_t>(n));
        SplitDft(x.data(), n, X.data(), 1);
        SplitDft(X.data(), n, back.data(), -1);
        for (int j = 0; j < n; ++j) {
            EXPECT_NEAR(back[j].real() / n, x[j].real(), 1e-3) << n << " " << j;
            EXPECT_NEAR(back[j].imag() / n, x[j].imag(), 1e-3) << n << " " << j;
        }
    }
}

TEST(FracSpectralDensity, WhiteNoiseAndTheThresholdOfD)
{
    const int m = 40;
    std::vector<float> white(m), tiny(m), small(m);
    FracSpectralDensity(m, nullptr, nullptr, 0, 0, 0.0f, white.data());
    FracSpectralDensity(m, nullptr, nullptr, 0, 0, 0.00005f, tiny.data());
    FracSpectralDensity(m, nullptr, nullptr, 0, 0, 0.0001f, small.data());
    int differ = 0;
    for (int k = 0; k < m; ++k) {
        EXPECT_EQ(white[k], 1.0f) << k;
        EXPECT_EQ(tiny[k], 1.0f) << k;  // d below 0.0001 counts as 0
        differ += small[k] != 1.0f;
    }
    EXPECT_GT(differ, m / 2);
}

TEST(FracSpectralDensity, MatchesR)
{
    const ReferenceTable t = ReadReferenceTable("halvire_density.csv");
    ASSERT_EQ(t.rows.size(), 87u);
    const FracArmaModel models[] = {Model({0.5f}, {0.3f}, 0.2f), Model({0.6f, -0.3f}, {-0.4f, 0.2f}, -0.3f)};
    const char* names[] = {"arfima11", "arfima22"};
    for (int which = 0; which < 2; ++which) {
        const FracArmaModel& mo = models[which];
        std::vector<double> expected;
        for (size_t r = 0; r < t.rows.size(); ++r)
            if (t.Text(r, "model") == names[which]) expected.push_back(t.Number(r, "f"));
        const int m = static_cast<int>(expected.size());
        std::vector<float> f(static_cast<size_t>(m));
        FracSpectralDensity(m, mo.phi, mo.theta, mo.p, mo.q, mo.d, f.data());
        for (int k = 0; k < m; ++k) EXPECT_NEAR(f[k], expected[k], 2e-5 * expected[k]) << names[which] << " " << k + 1;
    }
}

TEST(FracAcvf, MatchesR)
{
    const ReferenceTable t = ReadReferenceTable("halvire_acvf.csv");
    struct Case {
        const char* name;
        FracArmaModel model;
    };
    // d = 0: the ARMA autocovariances truncated at N; p = q = 0: g0 rho(h) in closed form; then
    // the double sum.
    const Case cases[] = {{"arma_d0", Model({0.6f, -0.2f}, {0.4f}, 0.0f)},
                          {"frac_plus", Model({}, {}, 0.3f)},
                          {"frac_minus", Model({}, {}, -0.3f)},
                          {"arfima11", Model({0.5f}, {0.3f}, 0.2f)},
                          {"arfima11_n200", Model({0.5f}, {0.3f}, 0.2f)}};
    for (const Case& c : cases) {
        std::vector<double> expected;
        int N = 0;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.Text(r, "case") != c.name) continue;
            expected.push_back(t.Number(r, "gamma"));
            N = t.Integer(r, "N");
        }
        ASSERT_GT(expected.size(), 10u) << c.name;
        const int H = static_cast<int>(expected.size()) - 1;
        std::vector<float> gamma;
        ASSERT_EQ(FracAcvf(c.model, H, N, gamma), 1) << c.name;
        ASSERT_EQ(gamma.size(), expected.size()) << c.name;
        for (int h = 0; h <= H; ++h) EXPECT_NEAR(gamma[h], expected[h], 2e-5 * expected[0]) << c.name << " lag " << h;
    }
}

TEST(FracAcvf, RefusesArgumentsOutOfRange)
{
    std::vector<float> gamma;
    EXPECT_EQ(FracAcvf(Model({}, {}, 0.5f), 5, 50, gamma), 0);
    EXPECT_EQ(FracAcvf(Model({}, {}, 0.2f), -1, 50, gamma), 0);
    EXPECT_EQ(FracAcvf(Model({}, {}, 0.2f), 5, -1, gamma), 0);
    FracArmaModel tooLong = Model({}, {}, 0.0f);
    tooLong.p = kHalvireMaxOrder + 1;
    EXPECT_EQ(FracAcvf(tooLong, 5, 50, gamma), 0);
}

// The bound on d: the autocovariances take any float strictly inside (-0.5, 0.5), the last one
// below 0.5 included; the rule the user meets refuses, as well, the floats that show as
// 0.5000000 in F15.7, the largest admissible being 0.4999999.
TEST(FracAcvf, BoundOnD)
{
    const float below = std::nextafterf(0.5f, 0.0f), above = std::nextafterf(0.5f, 1.0f);
    std::vector<float> gamma;
    for (float d : {below, -below, 0.4999f, -0.4999f}) {
        ASSERT_EQ(FracAcvf(Model({0.3f}, {0.2f}, d), 5, 50, gamma), 1) << d;
        for (float g : gamma) EXPECT_TRUE(std::isfinite(g)) << d;
        EXPECT_GT(gamma[0], 0.0f) << d;
    }
    for (float d : {above, -above, 0.5f, -0.5f, 0.6f})
        EXPECT_EQ(FracAcvf(Model({0.3f}, {0.2f}, d), 5, 50, gamma), 0) << d;

    for (float d : {0.4999999f, -0.4999999f, 0.0f, 0.25f}) EXPECT_TRUE(DifferencingAdmissible(d)) << d;
    for (float d : {below, -below, 0.5f, -0.5f, above, std::nanf("")}) EXPECT_FALSE(DifferencingAdmissible(d)) << d;
}

TEST(HalvireLogGamma, IsTheLanczosSeriesRounded)
{
    for (float x : {0.5f, 1.0f, 1.4f, 2.5f, 10.0f}) {
        EXPECT_EQ(HalvireLogGamma(x), static_cast<float>(LogGamma(x))) << x;
        EXPECT_NEAR(HalvireLogGamma(x), std::lgamma(static_cast<double>(x)), 1e-6) << x;
    }
}

TEST(FracWeights, NoWeightsAreWrittenForNoPredictions)
{
    float w[3] = {7.0f, 7.0f, 7.0f};
    FracWeights(Model({0.5f}, {}, 0.2f), 0, w);
    EXPECT_EQ(w[0], 7.0f);
    FracWeights(Model({0.5f}, {}, 0.2f), 2, w);
    EXPECT_EQ(w[0], 1.0f);
    EXPECT_FLOAT_EQ(w[1], 0.7f);  // d + phi
    EXPECT_EQ(w[2], 7.0f);
}

TEST(FracPredict, MatchesRToeplitzSolveAndPsiSums)
{
    const std::vector<float> data = Series("sim200");
    ASSERT_EQ(data.size(), 200u);
    const ReferenceTable t = ReadReferenceTable("halvire_predict.csv");
    const int n = 200, h = static_cast<int>(t.rows.size());
    ASSERT_EQ(h, 10);
    std::vector<float> x(data), mse(static_cast<size_t>(n + h), -1.0f);
    x.resize(static_cast<size_t>(n + h), 0.0f);
    ASSERT_EQ(FracPredict(Model({0.5f}, {0.3f}, 0.2f), 1.7f, n, h, 50, x.data(), mse.data()), 1);
    for (int i = 1; i <= h; ++i) {
        EXPECT_NEAR(x[n + i - 1], t.Number(i - 1, "predictor"), 2e-4) << i;
        EXPECT_NEAR(mse[n + i - 1], t.Number(i - 1, "mse"), 1e-5 * t.Number(i - 1, "mse")) << i;
    }
    for (int i = 0; i < n; ++i) ASSERT_EQ(x[i], data[i]) << "the data are kept, " << i;
}

TEST(FracPredict, OneStepErrorIsTheVarianceAndNoStepsWriteNothing)
{
    std::vector<float> x = Series("nile");
    const int n = static_cast<int>(x.size());
    x.push_back(-1.0f);
    std::vector<float> mse(static_cast<size_t>(n + 1), -1.0f);
    const FracArmaModel model = Model({0.3f}, {0.2f}, 0.25f);
    ASSERT_EQ(FracPredict(model, 14000.0f, n, 0, 50, x.data(), mse.data()), 1);
    EXPECT_EQ(x[n], -1.0f);
    EXPECT_EQ(mse[n], -1.0f);
    ASSERT_EQ(FracPredict(model, 14000.0f, n, 1, 50, x.data(), mse.data()), 1);
    EXPECT_EQ(mse[n], 14000.0f);
    EXPECT_TRUE(std::isfinite(x[n]));
    EXPECT_EQ(FracPredict(model, 0.0f, n, 1, 50, x.data(), mse.data()), 0);
    EXPECT_EQ(FracPredict(model, 1.0f, kHalvireMaxSeries, 1, 50, x.data(), mse.data()), 0);
}

TEST(FracSimulate, RedoneInRFromTheLehmerSequence)
{
    const ReferenceTable t = ReadReferenceTable("halvire_simulate.csv");
    const int n = static_cast<int>(t.rows.size());
    ASSERT_EQ(n, 60);
    SeedRandom(12345);
    std::vector<float> x(static_cast<size_t>(n));
    ASSERT_EQ(FracSimulate(Model({0.5f}, {0.3f}, 0.2f), 2.0f, n, 50, x.data()), 1);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(x[i], t.Number(i, "value"), 2e-4) << i + 1;

    // One value: the deviate scaled by gamma(0)^0.5 alone.
    SeedRandom(12345);
    float one = 0.0f;
    ASSERT_EQ(FracSimulate(Model({0.5f}, {0.3f}, 0.2f), 2.0f, 1, 50, &one), 1);
    EXPECT_NEAR(one, t.Number(0, "value"), 2e-4);
    EXPECT_EQ(FracSimulate(Model({0.5f}, {0.3f}, 0.2f), 2.0f, 0, 50, &one), 0);
}

TEST(WhittleLikelihood, WorkingLengths)
{
    struct Case {
        int n, working;
    };
    const Case cases[] = {{2, 2},       {3, 2},       {100, 100},   {999, 998},     {1000, 1000},   {1001, 1000},
                          {1999, 1990}, {2001, 2000}, {3999, 3980}, {4039, 4000}, {10001, 10000}, {19999, 19900}, {20000, 20000}};
    for (const Case& c : cases) EXPECT_EQ(WhittleWorkingLength(c.n), c.working) << c.n;
}

TEST(WhittleLikelihood, MatchesROnNile)
{
    const std::vector<float> nile = Series("nile");
    const std::vector<float> corrected = MeanCorrected(nile);
    const ReferenceTable t = ReadReferenceTable("halvire_whittle.csv");
    ASSERT_EQ(t.rows.size(), 5u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::string name = t.Text(r, "case");
        const std::vector<double> b = t.List(r, "beta");
        std::vector<float> beta(b.begin(), b.end());
        const std::vector<float>& x = name == "arfima10_raw" ? nile : corrected;
        const int n = name == "ma1_odd" ? 99 : static_cast<int>(x.size());
        EXPECT_EQ(WhittleWorkingLength(n), t.Integer(r, "working")) << name;
        float F = 0.0f, A = 0.0f;
        ASSERT_EQ(WhittleLikelihood(x.data(), n, t.Integer(r, "p"), t.Integer(r, "q"), beta.data(), F, A), 1) << name;
        EXPECT_NEAR(F, t.Number(r, "F"), 2e-5 * std::fabs(t.Number(r, "F"))) << name;
        EXPECT_NEAR(A, t.Number(r, "A"), 2e-5 * t.Number(r, "A")) << name;
    }
}

TEST(WhittleLikelihood, InadmissibleParameters)
{
    const std::vector<float> x = MeanCorrected(Series("nile"));
    const int n = static_cast<int>(x.size());
    struct Case {
        const char* name;
        int p, q;
        std::vector<float> beta;
    };
    const Case cases[] = {
        {"d = 0.5", 0, 0, {0.5f}},
        {"d = -0.5", 0, 0, {-0.5f}},
        {"AR on the unit circle", 1, 0, {1.0f, 0.1f}},
        {"MA outside, without an AR part", 0, 1, {1.5f, 0.1f}},
        {"MA on the unit circle, without an AR part", 0, 1, {-1.0f, 0.0f}},
        {"MA outside, with an AR part", 1, 1, {0.2f, 2.0f, 0.1f}},
        {"d not a number", 0, 0, {std::nanf("")}},
    };
    for (const Case& c : cases) {
        float F = 0.0f, A = -7.0f;
        EXPECT_EQ(WhittleLikelihood(x.data(), n, c.p, c.q, c.beta.data(), F, A), 0) << c.name;
        EXPECT_EQ(F, kWhittleInadmissible) << c.name;
        EXPECT_EQ(A, -7.0f) << c.name;
    }
    // Too short, and a series without power at the Fourier frequencies (zeros: no rounding).
    const float beta[] = {0.1f};
    float F = 0.0f, A = 0.0f;
    EXPECT_EQ(WhittleLikelihood(x.data(), 1, 0, 0, beta, F, A), 0);
    const std::vector<float> zeros(50, 0.0f);
    EXPECT_EQ(WhittleLikelihood(zeros.data(), 50, 0, 0, beta, F, A), 0);
    EXPECT_EQ(F, kWhittleInadmissible);
}

TEST(StabilityRecursion, UnitCircleAndHighOrders)
{
    const float inside[] = {1.0f, -0.99f}, on[] = {1.0f, -1.0f}, ma[] = {1.0f, 1.0f}, constant[] = {1.0f};
    EXPECT_TRUE(StabilityRecursion(inside, 2));
    EXPECT_FALSE(StabilityRecursion(on, 2));
    EXPECT_FALSE(StabilityRecursion(ma, 2));
    EXPECT_TRUE(StabilityRecursion(constant, 1));
    // (1 - z/1.5)^10: ten zeros at 1.5. Without rescaling, the squared scale of ten steps
    // underflows single precision and the stable polynomial would be refused.
    std::vector<float> a(11);
    double binomial = 1.0;
    for (int k = 0; k <= 10; ++k) {
        a[k] = static_cast<float>(binomial * std::pow(-1.0 / 1.5, k));
        binomial = binomial * (10 - k) / (k + 1);
    }
    EXPECT_TRUE(StabilityRecursion(a.data(), 11));
    // Ten zeros at 0.9 of them inside.
    for (int k = 0; k <= 10; ++k) a[k] = static_cast<float>(std::pow(-1.0 / 0.9, k) * std::tgamma(11.0) / (std::tgamma(k + 1.0) * std::tgamma(11.0 - k)));
    EXPECT_FALSE(StabilityRecursion(a.data(), 11));
}

TEST(WhittleSearch, StaysAdmissibleNearTheBoundary)
{
    // A long-memory series: a step of 0.1 from d = 0.45 tries 0.55, which is never taken.
    SeedRandom(777);
    std::vector<float> x(400);
    ASSERT_EQ(FracSimulate(Model({}, {}, 0.45f), 1.0f, 400, 50, x.data()), 1);
    float beta[] = {0.45f};
    float step = 0.1f, F = 0.0f, A = 0.0f;
    ASSERT_EQ(WhittleSearch(x.data(), 400, 0, 0, beta, 1, step, F, A), 1);
    EXPECT_LT(std::fabs(beta[0]), 0.5f);
    EXPECT_LT(F, kWhittleInadmissible);
    EXPECT_GT(A, 0.0f);

    // An AR(1) start at 0.95 with step 0.1 tries 1.05, outside the stable region.
    float ar[] = {0.95f, 0.0f};
    step = 0.1f;
    ASSERT_EQ(WhittleSearch(x.data(), 400, 1, 0, ar, 2, step, F, A), 1);
    EXPECT_LT(std::fabs(ar[0]), 1.0f);
    EXPECT_LT(std::fabs(ar[1]), 0.5f);
}

TEST(WhittleSearch, NothingToVaryKeepsTheStart)
{
    const std::vector<float> x = MeanCorrected(Series("nile"));
    float beta[] = {0.2f};
    float step = 0.1f, F = 0.0f, A = 0.0f;
    ASSERT_EQ(WhittleSearch(x.data(), 100, 0, 0, beta, 0, step, F, A), 1);
    EXPECT_EQ(beta[0], 0.2f);
    float F0 = 0.0f, A0 = 0.0f;
    ASSERT_EQ(WhittleLikelihood(x.data(), 100, 0, 0, beta, F0, A0), 1);
    EXPECT_EQ(F, F0);
    EXPECT_EQ(A, A0);
}

TEST(WhittleSearch, FindsDOnNileWithinTheFinalStepOfROptimize)
{
    const std::vector<float> x = MeanCorrected(Series("nile"));
    const ReferenceTable t = ReadReferenceTable("halvire_search.csv");
    ASSERT_EQ(t.rows.size(), 1u);
    float beta[] = {0.0f};
    float step = 0.1f, F = 0.0f, A = 0.0f;
    ASSERT_EQ(WhittleSearch(x.data(), 100, 0, 0, beta, 1, step, F, A), 1);
    EXPECT_LE(step, 0.04f);  // stopped at the second halving below 0.4 of the first step
    EXPECT_NEAR(beta[0], t.Number(0, "d"), step);
    EXPECT_GE(F, t.Number(0, "F") - 1e-5);
    EXPECT_NEAR(F, t.Number(0, "F"), 1e-3);
}

TEST(WhittleSearch, RefusesBadSteps)
{
    const std::vector<float> x = MeanCorrected(Series("nile"));
    for (float bad : {0.0f, -0.1f, std::nanf("")}) {
        float beta[] = {0.2f};
        float step = bad, F = 0.0f, A = 1.0f;
        EXPECT_EQ(WhittleSearch(x.data(), 100, 0, 0, beta, 1, step, F, A), 0) << bad;
        EXPECT_EQ(beta[0], 0.2f);
        EXPECT_EQ(F, kWhittleInadmissible);
        EXPECT_EQ(A, 0.0f);
    }
}

}  // namespace
