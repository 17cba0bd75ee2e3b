#include "numerics/minimiser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// One run of MinimiseObjective with the progress text captured and the evaluations counted.
struct MinimiserRun {
    int32_t n;
    std::vector<double> x, xpls, gpls, a, wrk;
    double fpls = 0.0;
    int32_t itrmcd = -1, itncnt = -1;
    int evaluations = 0;
    std::string text;

    MinimiserRun(std::function<double(const double*)> f, std::vector<double> x0, double steptl,
        int32_t itnlim, int32_t nr = 0)
        : n(static_cast<int32_t>(x0.size())), x(std::move(x0)), xpls(x.size()), gpls(x.size())
    {
        if (nr < n) nr = n;
        a.assign(static_cast<std::size_t>(nr) * n, 0.0);
        wrk.assign(static_cast<std::size_t>(nr) * 9, 0.0);
        // A run that never ends would hang the test run, so past 10^6 evaluations it stops the
        // program with a message.
        const MinimiserObjective fcn = [&](int32_t, const double* p, double& value) {
            if (++evaluations > 1000000) {
                std::fputs("minimiser test: the run does not end\n", stderr);
                std::abort();
            }
            value = f(p);
        };
        SetMinimiserOutput(&text);
        MinimiseObjective(nr, n, x.data(), steptl, itnlim, fcn, xpls.data(), fpls, gpls.data(),
                          itrmcd, a.data(), wrk.data(), itncnt);
        SetMinimiserOutput(nullptr);
        this->nr = nr;
    }
    double A(int i, int j) const { return a[static_cast<std::size_t>(i + j * nr)]; }
    int32_t nr = 0;
};

double Rosenbrock(const double* x)
{
    return 100.0 * (x[1] - x[0] * x[0]) * (x[1] - x[0] * x[0]) + (1.0 - x[0]) * (1.0 - x[0]);
}

}  // namespace

TEST(Minimiser, DefaultSettings)
{
    std::vector<double> typsiz(3, 0.0), sx(3, 0.0);
    MinimiserSettings s;
    MinimiserDefaults(3, typsiz.data(), s);
    EXPECT_EQ(typsiz, std::vector<double>(3, 1.0));
    EXPECT_EQ(s.eps, 8e-8);
    EXPECT_EQ(RelativePrecision(), 8e-8);
    EXPECT_NEAR(s.gradtl, 1.811e-7, 1e-10);
    EXPECT_FALSE(s.central);

    struct Case { std::vector<double> x; double stepmx; };
    const Case cases[] = {{{0.0, 0.0, 0.0}, 1000.0}, {{0.3, 0.4, 0.0}, 1000.0}, {{3.0, 4.0, 0.0}, 5000.0}};
    for (const Case& c : cases) {
        s.stepmx = 1.0;  // always recomputed
        CheckMinimiserSettings(3, c.x.data(), typsiz.data(), sx.data(), s);
        EXPECT_EQ(sx, std::vector<double>(3, 1.0));
        EXPECT_NEAR(s.stepmx, c.stepmx, 1e-9);
        EXPECT_EQ(s.ndigit, 7);
    }
}

TEST(Minimiser, QuadraticReachesMinimiserAndHessian)
{
    const auto f = [](const double* x) {
        return (x[0] - 1.0) * (x[0] - 1.0) + 10.0 * (x[1] + 2.0) * (x[1] + 2.0);
    };
    MinimiserRun r(f, {0.0, 0.0}, 1e-6, 50, 54);
    EXPECT_TRUE(r.itrmcd == kStopGradient || r.itrmcd == kStopStep) << r.itrmcd;
    EXPECT_NEAR(r.xpls[0], 1.0, 1e-4);
    EXPECT_NEAR(r.xpls[1], -2.0, 1e-4);
    EXPECT_NEAR(r.fpls, f(r.xpls.data()), 0.0);
    EXPECT_NEAR(r.A(0, 0), 2.0, 1e-4);
    EXPECT_NEAR(r.A(1, 1), 20.0, 1e-3);
    EXPECT_NEAR(r.A(1, 0), 0.0, 1e-4);
    EXPECT_GT(r.itncnt, 0);
}

TEST(Minimiser, StopCodes)
{
    struct Case {
        const char* name;
        std::function<double(const double*)> f;
        std::vector<double> x0;
        double steptl;
        int32_t itnlim;
        int32_t code;
        int32_t iterations;  // -1: not checked
    };
    const Case cases[] = {
        // At the minimum of a function whose size hides the forward-difference bias.
        {"gradient at start", [](const double* x) { return 1e5 + (x[0] - 2.0) * (x[0] - 2.0); }, {2.0},
         1e-6, 50, kStopGradient, 0},
        // A smooth function whose gradient test holds after a few steps.
        {"gradient", [](const double* x) { return std::cosh(x[0] - 0.5) + 0.5 * x[1] * x[1]; },
         {0.0, 0.3}, 1e-12, 50, kStopGradient, -1},
        // A loose step tolerance stops once the steps become small.
        {"step", Rosenbrock, {-1.2, 1.0}, 1e-2, 200, kStopStep, -1},
        // |x| + x/2 cannot be decreased from 0 along either difference gradient.
        {"line search", [](const double* x) { return std::fabs(x[0]) + 0.5 * x[0]; }, {0.0}, 1e-6,
         50, kStopLineSearch, 1},
        {"iteration limit", Rosenbrock, {-1.2, 1.0}, 1e-6, 1, kStopIterationLimit, 1},
        // A steep linear function: every step is a maximum step.
        {"maximum steps", [](const double* x) { return -2000.0 * x[0]; }, {0.0}, 1e-6, 50,
         kStopMaximumSteps, 5},
    };
    for (const Case& c : cases) {
        MinimiserRun r(c.f, c.x0, c.steptl, c.itnlim);
        EXPECT_EQ(r.itrmcd, c.code) << c.name;
        if (c.iterations >= 0) {
            EXPECT_EQ(r.itncnt, c.iterations) << c.name;
        }
        EXPECT_EQ(r.fpls, c.f(r.xpls.data())) << c.name;
    }
}

TEST(Minimiser, StopAtStartReturnsStartAndHessian)
{
    int calls = 0;
    // The relative gradient of forward differences at the minimum is below the tolerance only
    // because the function value is large.
    MinimiserRun r(
        [&](const double* x) {
            ++calls;
            return 1e4 + 3.0 * (x[0] - 1.0) * (x[0] - 1.0) + (x[1] + 1.0) * (x[1] + 1.0);
        },
        {1.0, -1.0}, 1e-6, 50);
    EXPECT_EQ(r.itrmcd, kStopGradient);
    EXPECT_EQ(r.itncnt, 0);
    EXPECT_EQ(r.xpls, (std::vector<double>{1.0, -1.0}));
    EXPECT_EQ(r.fpls, 1e4);
    // f, a forward gradient (2) and the Hessian (2n + n(n-1)/2 = 5).
    EXPECT_EQ(calls, 1 + 2 + 5);
    EXPECT_NEAR(r.A(0, 0), 6.0, 1e-5);
    EXPECT_NEAR(r.A(1, 1), 2.0, 1e-5);
    EXPECT_NEAR(r.A(1, 0), 0.0, 1e-5);
    EXPECT_EQ(r.text, "  ITERATION");
}

TEST(Minimiser, FailedSearchSwitchesToCentralAndReturnsLastPoint)
{
    std::vector<double> points;
    MinimiserRun r([&](const double* x) { points.push_back(x[0]); return std::fabs(x[0] - 0.25) + 0.5 * x[0]; },
          {0.25}, 1e-6, 50);
    EXPECT_EQ(r.itrmcd, kStopLineSearch);
    EXPECT_EQ(r.itncnt, 1);
    EXPECT_EQ(r.xpls[0], 0.25);
    EXPECT_EQ(r.x[0], 0.25);
    EXPECT_EQ(r.fpls, 0.125);
    EXPECT_NEAR(r.gpls[0], 0.5, 1e-9);  // the central gradient
    EXPECT_EQ(r.text, "  ITERATION  1");  // the retry keeps the iteration number
    // The final Hessian ends the run: x + h, then x + 2h.
    ASSERT_GE(points.size(), 2u);
    EXPECT_NEAR(points[points.size() - 1] - 0.25, 2 * (points[points.size() - 2] - 0.25), 1e-15);
}

TEST(Minimiser, ProgressTextIsExact)
{
    MinimiserRun three(Rosenbrock, {-1.2, 1.0}, 1e-6, 3);
    EXPECT_EQ(three.itrmcd, kStopIterationLimit);
    EXPECT_EQ(three.text, "  ITERATION  1  2  3");

    MinimiserRun many(Rosenbrock, {-1.2, 1.0}, 1e-10, 12);
    EXPECT_EQ(many.text, "  ITERATION  1  2  3  4  5  6  7  8  9 10 11 12");
}

TEST(Minimiser, NaNObjectiveEndsWithStopCode)
{
    struct Case { const char* name; std::function<double(const double*)> f; std::vector<double> x0; };
    const Case cases[] = {
        {"NaN everywhere", [](const double*) { return kNaN; }, {0.5, 0.5}},
        {"NaN except at the start",
         [](const double* x) { return x[0] == 0.5 && x[1] == 0.5 ? 1.0 : kNaN; }, {0.5, 0.5}},
        // NaN beyond a wall that the minimum lies behind.
        {"NaN beyond a wall",
         [](const double* x) { return x[0] > 0.8 ? kNaN : (x[0] - 2.0) * (x[0] - 2.0) + x[1] * x[1]; },
         {0.0, 1.0}},
    };
    for (const Case& c : cases) {
        MinimiserRun r(c.f, c.x0, 1e-8, 50);
        // Without a finite value at the start there is nothing to minimise from.
        if (std::string(c.name) == "NaN everywhere") {
            EXPECT_EQ(r.itrmcd, kStopNotFinite);
            EXPECT_EQ(r.evaluations, 1);
            continue;
        }
        EXPECT_GE(r.itrmcd, 1) << c.name;
        EXPECT_LE(r.itrmcd, 5) << c.name;
        EXPECT_LT(r.evaluations, 5000) << c.name;
        if (std::string(c.name) == "NaN beyond a wall") {
            EXPECT_LE(r.xpls[0], 0.8);
            EXPECT_TRUE(std::isfinite(r.fpls));
        }
    }
}
