// Allocation failure inside the numerical routines, the multivariate commands and the series file
// reader: this binary
// replaces the global operator new with one that fails after a set number of allocations, and
// checks that every routine returns its no-memory status with its outputs untouched instead of
// letting the exception out, and that a command that fails leaves its project as it was.
#include "multivariate/burg_fit.h"
#include "multivariate/multivariate_project.h"
#include "multivariate/multivariate_transforms.h"
#include "multivariate/table_reader.h"
#include "multivariate/var_estimation.h"
#include "multivariate/var_forecast.h"
#include "multivariate/whittle_fit.h"
#include "numerics/fft_smoother.h"
#include "numerics/small_matrix.h"
#include "numerics/status.h"
#include "numlib/fft.h"
#include "numlib/periodogram.h"
#include "shell/ascii_files.h"
#include "tests/unit/file_test_support.h"
#include "tests/unit/library_capture.h"
#include "univariate/arma_simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Allocations left before the next one fails; negative: no limit.
long allocationsLeft = -1;
// Only that one fails, the later ones succeed again (for code that reports its failure through
// routines that allocate themselves).
bool failOnlyOnce = false;
// Only the non-throwing forms count and fail (for routines whose error reporting allocates with
// the throwing forms).
bool onlyNothrow = false;

void* Allocate(std::size_t size, bool nothrowForm = false)
{
    if (onlyNothrow && !nothrowForm) {
        if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
        throw std::bad_alloc();
    }
    if (allocationsLeft == 0) {
        if (failOnlyOnce) allocationsLeft = -1;
        throw std::bad_alloc();
    }
    if (allocationsLeft > 0) --allocationsLeft;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
// The non-throwing forms fail the same way, as a null pointer.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size, true);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size, true);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using Fit = int (*)(const double*, int, int, double*, double*, int&, double&, double*);

// A 2-variate series of 60 times with some dependence between its components.
std::vector<double> Series()
{
    std::vector<double> x;
    double a = 0.0, b = 0.0;
    for (int t = 0; t < 60; ++t) {
        const double za = std::sin(0.7 * t * t), zb = std::cos(1.3 * t + 0.2 * t * t);
        a = 0.5 * a + 0.2 * b + za;
        b = 0.3 * a + zb;
        x.push_back(a);
        x.push_back(b);
    }
    return x;
}

// Fails the k-th allocation of a fit for k = 0, 1, ... until the fit no longer meets a failure;
// each failed run returns kStatusNoMemory with the outputs as they were.
void CheckEveryAllocation(Fit fit, const std::string& name)
{
    const std::vector<double> x = Series();
    const int n = 60, m = 2;
    int failures = 0;
    for (long k = 0;; ++k) {
        std::vector<double> PHI(20 * m * m, -1.0), V(m * m, -1.0), out(n * m, -1.0);
        int p = -1;
        double aicc = -1.0;
        allocationsLeft = k;
        const int status = fit(x.data(), n, m, PHI.data(), V.data(), p, aicc, out.data());
        allocationsLeft = -1;
        if (status == kStatusNoMemory) {
            ++failures;
            EXPECT_EQ(p, -1) << name << " k=" << k;
            EXPECT_EQ(aicc, -1.0) << name << " k=" << k;
            EXPECT_EQ(PHI, std::vector<double>(20 * m * m, -1.0)) << name << " k=" << k;
            EXPECT_EQ(V, std::vector<double>(m * m, -1.0)) << name << " k=" << k;
            EXPECT_EQ(out, std::vector<double>(n * m, -1.0)) << name << " k=" << k;
            continue;
        }
        EXPECT_EQ(status, kStatusDone) << name << " k=" << k;
        EXPECT_NE(p, -1) << name;
        break;
    }
    EXPECT_GT(failures, 3) << name;
}

}  // namespace

TEST(AllocationFailure, FitsReturnAStatus)
{
    CheckEveryAllocation(WhittleMvarFit, "Whittle");
    CheckEveryAllocation(BurgMvarFit, "Burg");
}

TEST(AllocationFailure, DeterminantAndLuDecomposition)
{
    const std::vector<double> a = {2, 1, 1, 3};
    double det = -1.0, d = -1.0;
    std::vector<double> copy = a;
    allocationsLeft = 0;
    const int status = Determinant(a.data(), 2, 2, det);
    allocationsLeft = 0;
    const int luStatus = LuDecompose(copy.data(), 2, d, 2);
    allocationsLeft = -1;
    EXPECT_EQ(status, kStatusNoMemory);
    EXPECT_EQ(det, -1.0);
    EXPECT_EQ(luStatus, kStatusNoMemory);
    EXPECT_EQ(copy, a);
    ASSERT_EQ(Determinant(a.data(), 2, 2, det), kStatusDone);
    EXPECT_DOUBLE_EQ(det, 5.0);
}

// Every allocation of the smoother failing in turn, at odd and even lengths whose transforms need
// chirp-z work (101, and 134 = 2·67): kStatusNoMemory with y untouched, until it succeeds.
TEST(AllocationFailure, FftSmootherReturnsAStatus)
{
    for (int n : {101, 134}) {
        std::vector<double> x(static_cast<size_t>(n));
        for (int t = 0; t < n; ++t) x[t] = std::sin(0.3 * t) + 0.1 * t;
        int failures = 0;
        for (long k = 0;; ++k) {
            std::vector<double> y(x.size(), -1.0);
            allocationsLeft = k;
            const int status = FftSmoother(x.data(), y.data(), n, 0.3);
            allocationsLeft = -1;
            if (status == kStatusNoMemory) {
                ++failures;
                EXPECT_EQ(y, std::vector<double>(x.size(), -1.0)) << n << " k=" << k;
                continue;
            }
            EXPECT_EQ(status, kStatusDone) << n << " k=" << k;
            break;
        }
        EXPECT_GT(failures, 3) << n;
    }
}

using LibraryAllocationFailure = LibraryCapture;

// A transform whose chirp-z work cannot be obtained reports code 3 and writes nothing.
TEST_F(LibraryAllocationFailure, TransformWithoutChirpWorkReportsIt)
{
    const int n = 1013;  // prime, transformed through a chirp-z convolution
    std::vector<double> ftab(4 * n + 15), work(2 * n), x(2 * n), y(2 * n, -1.0);
    for (int t = 0; t < 2 * n; ++t) x[t] = std::cos(0.1 * t);
    DFFTCI(n, ftab.data());
    failOnlyOnce = true;
    allocationsLeft = 0;
    DF2TCF(n, x.data(), y.data(), ftab.data(), work.data());
    allocationsLeft = -1;
    failOnlyOnce = false;
    EXPECT_NE(output.find("TERMINAL ERROR 3 from DF2TCF.  The work space for the length N = 1013"), std::string::npos)
        << output;
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_EQ(y, std::vector<double>(2 * n, -1.0));
}

// The periodogram obtains its work areas, its plan and roots and, for a half length with a large
// prime, chirp-z work: each that cannot be obtained is reported (the work areas by DPFFT, the
// rest as work space of the transform) with the result left alone, until a run meets no failure.
TEST_F(LibraryAllocationFailure, PeriodogramReportsEachFailedAllocation)
{
    for (const int n : {1000, 2 * 1019}) {
        std::vector<double> x(n), pm(5 * static_cast<size_t>(n / 2 + 1));
        for (int t = 0; t < n; ++t) x[t] = std::sin(0.3 * t) + 0.01 * t;
        int storage = 0, transform = 0;
        for (long k = 0;; ++k) {
            // Another length first, so that nothing is kept for n.
            DPFFT(16, x.data(), 0, 0.0, 0, 0, 0, pm.data(), 9);
            std::fill(pm.begin(), pm.end(), -1.0);
            Clear();
            onlyNothrow = true;
            failOnlyOnce = true;
            allocationsLeft = k;
            DPFFT(n, x.data(), 0, 0.0, 0, 0, 0, pm.data(), n / 2 + 1);
            const bool failed = allocationsLeft < 0;
            allocationsLeft = -1;
            failOnlyOnce = false;
            onlyNothrow = false;
            if (!failed) {
                EXPECT_TRUE(output.empty()) << output;
                EXPECT_FALSE(LibraryCallAbandoned());
                for (double v : pm) EXPECT_NE(v, -1.0);
                break;
            }
            if (output.find("TERMINAL ERROR 2 from DPFFT.  The required storage cannot be allocated") !=
                std::string::npos)
                ++storage;
            else if (output.find("TERMINAL ERROR 3 from DF2TCF.  The work space for the length N = " +
                                 std::to_string(n / 2)) != std::string::npos)
                ++transform;
            else
                ADD_FAILURE() << "n=" << n << " k=" << k << ": " << output;
            EXPECT_EQ(stops.size(), 1u) << k;
            EXPECT_EQ(pm, std::vector<double>(pm.size(), -1.0)) << "n=" << n << " k=" << k;
        }
        EXPECT_EQ(storage, 1) << n;
        EXPECT_GE(transform, n == 1000 ? 3 : 5) << n;
    }
}

namespace {

// What a command may change of a multivariate project.
struct ProjectState {
    std::vector<double> values, means, phi, constant, V, residuals, forecasts;
    int32_t n = 0, m = 0, first = 0, p = 0, origin = 0, fitted = 0, nodes = 0;
    bool operator==(const ProjectState& o) const
    {
        return values == o.values && means == o.means && phi == o.phi && constant == o.constant && V == o.V &&
               residuals == o.residuals && forecasts == o.forecasts && n == o.n && m == o.m && first == o.first &&
               p == o.p && origin == o.origin && fitted == o.fitted && nodes == o.nodes;
    }
};

ProjectState StateOf(const MultivariateProject& project)
{
    const MultivariateData& d = *project.data;
    const MultivariateModel& model = *project.model;
    ProjectState s{d.values, d.means, model.phi, model.constant, model.noiseCovariance, model.residuals,
                   model.forecasts, d.n, d.m, d.firstIndex, model.p, model.forecastOrigin, model.fitted, 0};
    for (const MultivariateTransformNode* node = project.transforms; node; node = node->next) ++s.nodes;
    return s;
}

// Fails the k-th allocation of a command for k = 0, 1, ... until it runs through: each failed
// run (a 0 result or the exception the window code catches) leaves the project as it was.
template <typename Command>
void CheckCommand(MultivariateProject& project, const std::string& name, Command command)
{
    const ProjectState before = StateOf(project);
    int failures = 0;
    for (long k = 0;; ++k) {
        int32_t done = 0;
        allocationsLeft = k;
        try {
            done = command(project);
        } catch (const std::bad_alloc&) {
            done = 0;
        }
        allocationsLeft = -1;
        if (done) break;
        ++failures;
        EXPECT_TRUE(StateOf(project) == before) << name << " k=" << k;
    }
    EXPECT_GT(failures, 0) << name;
}

}  // namespace

TEST(AllocationFailure, MultivariateCommandsLeaveTheProjectAsItWas)
{
    std::unique_ptr<MultivariateProject> project(MultivarNew(1));
    MultivarSetData(*project, Series(), 2, 60, 1);
    CheckCommand(*project, "fit", [](MultivariateProject& p) {
        MvFitOutcome outcome;
        const int32_t done = MvFitModel(p, MV_FIT_BURG, 2, outcome);
        EXPECT_TRUE(done || outcome.status == kStatusNoMemory);
        return done;
    });
    CheckCommand(*project, "forecast", [](MultivariateProject& p) { return MvForecast(p, 12, 60, 0); });
    CheckCommand(*project, "difference", [](MultivariateProject& p) { return MvDifference(p, 2); });
    CheckCommand(*project, "undo difference", MvUndoDifference);
    CheckCommand(*project, "subtract means", MvSubtractMeans);
    CheckCommand(*project, "undo subtract means", MvUndoSubtractMeans);
    CheckCommand(*project, "trim", [](MultivariateProject& p) { return MvTrim(p, 5, 50); });
    CheckCommand(*project, "undo trim", MvUndoTrim);
    const MvTableFile file = MvTableFromText("1 2 3\n4 5 6\n7 8 9\n");
    CheckCommand(*project, "read", [&file](MultivariateProject& p) {
        std::vector<double> table;
        const int32_t n = MultivarReadTable(file, 3, table);
        return n > 0 ? MultivarSetData(p, table, 3, n, 1) : 0;
    });
    EXPECT_EQ(project->data->m, 3);
    MultivarFree(*project);
}

// The simulation of a project's model, ARMA or fractionally integrated, out of memory at each
// allocation in turn: a message and no series, never an exception. Only that allocation
// fails, as a large one does when memory is short, so the message can be written.
TEST(AllocationFailure, SimulationReportsIt)
{
    failOnlyOnce = true;
    for (int32_t fractional : {0, 1}) {
        UnivariateProject project;
        project.p = 1;
        project.phi[1] = 0.4;
        project.q = 1;
        project.theta[1] = 0.3;
        project.fracIntegrated = fractional;
        project.d = 0.2;
        SimulationChoice choice;
        choice.m = 50;
        int failures = 0;
        for (long k = 0;; ++k) {
            std::vector<double> x;
            std::string message;
            int32_t done = 0;
            allocationsLeft = k;
            try {
                done = SimulateSeries(project, choice, x, message);
            } catch (const std::bad_alloc&) {
                allocationsLeft = -1;
                ADD_FAILURE() << "fractional " << fractional << " k=" << k << ": the exception escaped";
                break;
            }
            allocationsLeft = -1;
            if (done) {
                EXPECT_EQ(x.size(), 50u);
                break;
            }
            ++failures;
            EXPECT_TRUE(x.empty()) << k;
            EXPECT_FALSE(message.empty()) << k;
        }
        EXPECT_GT(failures, 2) << fractional;
    }
    failOnlyOnce = false;
}

// A text file read as a series with each of its allocations failing in turn: the reader refuses
// with its message and leaves the old values, never letting the exception end the program.
TEST(AllocationFailure, SeriesFileReaderRefusesWithAMessage)
{
    const ScratchFolder folder("alloc-failure");
    const std::string name = folder.File("series.txt");
    {
        std::FILE* f = std::fopen(name.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("1.5\n2.5\n-3\n4e2\n", f);
        std::fclose(f);
    }
    const std::vector<double> old = {9.0};
    for (long failAt = 0;; ++failAt) {
        std::vector<double> values = old;
        FileMessage message;
        int32_t status = -1;
        // One allocation fails, as a large one does when memory runs short; the message after
        // it may still be had.
        allocationsLeft = failAt;
        failOnlyOnce = true;
        bool escaped = false;
        try {
            status = ReadRawData(name, values, message);
        } catch (const std::bad_alloc&) {
            escaped = true;
        }
        allocationsLeft = -1;
        failOnlyOnce = false;
        ASSERT_FALSE(escaped) << "allocation " << failAt;
        if (status == 1) {
            EXPECT_EQ(values, std::vector<double>({1.5, 2.5, -3.0, 400.0}));
            break;
        }
        EXPECT_EQ(status, 0) << failAt;
        EXPECT_EQ(values, old) << failAt;
        EXPECT_FALSE(message.text.empty()) << failAt;
        ASSERT_LT(failAt, 1000);
    }
    std::remove(name.c_str());
}
