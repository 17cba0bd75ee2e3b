#include "numerics/line_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// An objective that records every point it is called at. A search that never ends would hang the
// test run, so past 10^5 calls it stops the program with a message.
struct Recorder {
    std::function<double(const std::vector<double>&)> f;
    std::vector<std::vector<double>> calls;
    MinimiserObjective Objective()
    {
        return [this](int32_t n, const double* x, double& value) {
            calls.emplace_back(x, x + n);
            if (calls.size() > 100000) {
                std::fputs("line search test: the search does not end\n", stderr);
                std::abort();
            }
            value = f(calls.back());
        };
    }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(LineSearch, AcceptsFullStepAndFlagsMaximumStep)
{
    // f(x) = -x: every trial decreases; the flag depends only on the scaled length.
    struct Case { double p, stepmx; bool flag; double expectP; };
    const Case cases[] = {
        {1.0, 1000.0, false, 1.0},
        {990.5, 1000.0, true, 990.5},     // above 0.99 of the maximum step
        {989.0, 1000.0, false, 989.0},
        {5000.0, 1000.0, true, 1000.0},   // shortened to exactly the maximum step
    };
    for (const Case& c : cases) {
        Recorder r{[](const std::vector<double>& x) { return -x[0]; }, {}};
        const double x = 0.0, g = -1.0, sx = 1.0;
        double p = c.p, xpls = 0.0, fpls = 0.0;
        bool flag = true;
        int32_t code = -1;
        LineSearch(1, &x, 0.0, &g, &p, &xpls, fpls, r.Objective(), flag, code, c.stepmx, 1e-6, &sx);
        EXPECT_EQ(code, kLineSearchFound);
        EXPECT_EQ(flag, c.flag) << c.p;
        EXPECT_EQ(p, c.expectP);
        EXPECT_EQ(xpls, c.expectP);
        EXPECT_EQ(fpls, -c.expectP);
        EXPECT_EQ(r.calls.size(), 1u);
    }
}

TEST(LineSearch, ShortensLongDirectionInScaledNorm)
{
    Recorder r{[](const std::vector<double>& x) { return -x[0] - x[1]; }, {}};
    const double x[] = {0.0, 0.0}, g[] = {-1.0, -1.0}, sx[] = {1.0, 1.0};
    double p[] = {3000.0, 4000.0}, xpls[2], fpls;
    bool flag = false;
    int32_t code = -1;
    LineSearch(2, x, 0.0, g, p, xpls, fpls, r.Objective(), flag, code, 1000.0, 1e-6, sx);
    EXPECT_NEAR(p[0], 600.0, 1e-12);
    EXPECT_NEAR(p[1], 800.0, 1e-12);
    EXPECT_TRUE(flag);
    EXPECT_EQ(code, kLineSearchFound);
}

TEST(LineSearch, BacktrackSteps)
{
    // The objective along x = lambda (x0 = 0, p = 1, f(0) = 1, slope -1) is given by a table of
    // values at the expected trials; other points return 0, which is accepted.
    struct Case {
        const char* name;
        std::vector<double> trials;   // expected trial lambdas, in order
        std::vector<double> values;   // objective at all but the last trial
    };
    const Case cases[] = {
        // 1 - l + 2 l^2 has the value 2 at 1: the quadratic step is 1/(2 (2 - 1 + 1)) = 0.25.
        {"quadratic", {1.0, 0.25}, {2.0}},
        // value 100 at 1: the quadratic step 0.005 is raised to 0.1 * lambda.
        {"quadratic raised", {1.0, 0.1}, {100.0}},
        // values 100 and 1: the cubic minimum 0.0577 is lowered to 0.5 * 0.1.
        {"cubic lowered", {1.0, 0.1, 0.05}, {100.0, 1.0}},
        // a non-finite value shrinks by 0.1, and so does the cubic through it.
        {"infinite value", {1.0, 0.1, 0.01}, {kInf, 5.0}},
        {"NaN value", {1.0, 0.1, 0.01}, {kNaN, 5.0}},
    };
    for (const Case& c : cases) {
        std::size_t k = 0;
        Recorder r{[&](const std::vector<double>&) { return k < c.values.size() ? c.values[k++] : 0.0; },
                   {}};
        const double x = 0.0, g = -1.0, sx = 1.0;
        double p = 1.0, xpls, fpls;
        bool flag = false;
        int32_t code = -1;
        LineSearch(1, &x, 1.0, &g, &p, &xpls, fpls, r.Objective(), flag, code, 1000.0, 1e-6, &sx);
        EXPECT_EQ(code, kLineSearchFound) << c.name;
        ASSERT_EQ(r.calls.size(), c.trials.size()) << c.name;
        for (std::size_t i = 0; i < c.trials.size(); ++i)
            EXPECT_NEAR(r.calls[i][0], c.trials[i], 1e-12 * c.trials[i]) << c.name << ' ' << i;
        EXPECT_EQ(xpls, r.calls.back()[0]);
    }
}

TEST(LineSearch, NoAcceptablePointEndsThroughMinimumStep)
{
    // Each case must end with code 1 after a bounded number of trials.
    struct Case {
        const char* name;
        double f0, g0, steptl;
        std::function<double(double)> f;
        std::size_t maxCalls;
    };
    const Case cases[] = {
        {"kink", 0.0, -0.5, 1e-6, [](double x) { return std::fabs(x) + 0.5 * x; }, 40},
        {"NaN everywhere", 0.0, -1.0, 1e-6, [](double) { return kNaN; }, 10},
        {"NaN at the start", kNaN, -1.0, 1e-6, [](double x) { return x * x; }, 10},
        {"NaN gradient", 0.0, kNaN, 1e-6, [](double x) { return x * x; }, 1},
        {"zero tolerance", 0.0, -1.0, 0.0, [](double) { return kNaN; }, 400},
    };
    for (const Case& c : cases) {
        Recorder r{[&](const std::vector<double>& x) { return c.f(x[0]); }, {}};
        const double x = 0.0, sx = 1.0;
        double p = std::isnan(c.g0) ? kNaN : 0.5, xpls, fpls;
        bool flag = true;
        int32_t code = -1;
        LineSearch(1, &x, c.f0, &c.g0, &p, &xpls, fpls, r.Objective(), flag, code, 1000.0, c.steptl,
                   &sx);
        EXPECT_EQ(code, kLineSearchNoPoint) << c.name;
        EXPECT_FALSE(flag) << c.name;
        EXPECT_LE(r.calls.size(), c.maxCalls) << c.name;
    }
}

TEST(LineSearch, ZeroDirectionAcceptsCurrentPoint)
{
    Recorder r{[](const std::vector<double>& x) { return x[0] * x[0] + 1.0; }, {}};
    const double x = 2.0, g = 0.0, sx = 1.0;
    double p = 0.0, xpls, fpls;
    bool flag = true;
    int32_t code = -1;
    LineSearch(1, &x, 5.0, &g, &p, &xpls, fpls, r.Objective(), flag, code, 1000.0, 1e-6, &sx);
    EXPECT_EQ(code, kLineSearchFound);
    EXPECT_EQ(xpls, 2.0);
    EXPECT_EQ(fpls, 5.0);
}

TEST(FiniteDifferences, GradientStepsAndCosts)
{
    Recorder r{[](const std::vector<double>& x) { return x[0] * x[0] + x[1] * x[1]; }, {}};
    double x[] = {0.0, 3.0};
    const double sx[] = {1.0, 1.0};
    double g[2];
    ForwardDifferenceGradient(2, x, r.Objective(), 9.0, g, sx, 1e-7);
    ASSERT_EQ(r.calls.size(), 2u);
    const double h1 = r.calls[0][0] - 0.0, h2 = r.calls[1][1] - 3.0;
    EXPECT_NEAR(h1, 3.162e-4, 1e-7);
    EXPECT_NEAR(h2, 9.487e-4, 1e-7);
    EXPECT_EQ(r.calls[0][1], 3.0);
    EXPECT_EQ(r.calls[1][0], 0.0);
    EXPECT_NEAR(g[0], h1, 1e-9);         // (h^2 - 0) / h
    EXPECT_NEAR(g[1], 6.0 + h2, 1e-9);
    EXPECT_EQ(x[0], 0.0);
    EXPECT_EQ(x[1], 3.0);

    r.calls.clear();
    CentralDifferenceGradient(2, x, r.Objective(), sx, 1e-7, g);
    ASSERT_EQ(r.calls.size(), 4u);
    EXPECT_NEAR(r.calls[0][0], 4.642e-3, 1e-6);
    EXPECT_NEAR(r.calls[1][0], -4.642e-3, 1e-6);
    EXPECT_NEAR(r.calls[2][1] - 3.0, 3.0 * 4.642e-3, 1e-5);
    EXPECT_NEAR(g[0], 0.0, 1e-12);
    EXPECT_NEAR(g[1], 6.0, 1e-10);
    EXPECT_EQ(x[1], 3.0);
}

TEST(FiniteDifferences, HessianOfQuadraticAndCost)
{
    // f = x^T Q x / 2 + b^T x with a full Q: second differences are exact up to rounding.
    const double q[3][3] = {{4.0, 1.0, -0.5}, {1.0, 3.0, 0.25}, {-0.5, 0.25, 2.0}};
    const auto f = [&](const std::vector<double>& x) {
        double v = 0.0;
        for (int i = 0; i < 3; ++i) {
            v += 0.7 * x[i];
            for (int j = 0; j < 3; ++j) v += 0.5 * x[i] * q[i][j] * x[j];
        }
        return v;
    };
    Recorder r{f, {}};
    double x[] = {0.5, -2.0, 10.0};
    const double sx[] = {1.0, 1.0, 1.0};
    const int nr = 4;
    std::vector<double> a(nr * 3, -1.0), h(3), fs(3);
    FiniteDifferenceHessian(nr, 3, x, r.Objective(), f({0.5, -2.0, 10.0}), a.data(), sx, 1e-7, h.data(),
                            fs.data());
    EXPECT_EQ(r.calls.size(), 2u * 3 + 3 * 2 / 2);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            if (i >= j)
                EXPECT_NEAR(a[i + j * nr], q[i][j], 1e-4 * (1 + std::fabs(q[i][j]))) << i << j;
            else
                EXPECT_EQ(a[i + j * nr], -1.0);  // strict upper triangle not written
        }
    EXPECT_EQ(x[0], 0.5);
    EXPECT_EQ(x[1], -2.0);
    EXPECT_EQ(x[2], 10.0);
}
