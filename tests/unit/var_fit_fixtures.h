#pragma once
// What the tests of the two vector autoregressive fits share: the reference series, a runner
// that starts every output from a sentinel, and the comparison with the R tables.
#include "numerics/series_scaling.h"
#include "multivariate/var_fit_support.h"
#include "numerics/status.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

constexpr int kVarLags = 20;
constexpr double kSentinel = -12345.0;

// m components by n times, the m values of one time together.
struct VarSeries {
    int n = 0;
    int m = 0;
    std::vector<double> x;
};

// A series of tests/data/mvar_series.csv with its means subtracted, as the commands hand it on.
inline VarSeries CentredVarSeries(const std::string& name)
{
    const ReferenceTable t = ReadReferenceTable("mvar_series.csv");
    VarSeries s;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        if (t.Text(r, "series") != name) continue;
        const std::vector<double> values = t.List(r, "values");
        s.m = static_cast<int>(values.size());
        s.x.insert(s.x.end(), values.begin(), values.end());
        ++s.n;
    }
    std::vector<double> mean(static_cast<size_t>(s.m));
    if (s.n > 0) SubtractSeriesMeans(s.x.data(), s.n, s.m, mean.data());
    return s;
}

using VarFitRoutine = int (*)(const double* X, int n, int m, double* PHI, double* V, int& p,
                              double& AICC, double* E);

struct VarFitResult {
    int status = -99;
    int p = 0;
    double aicc = kSentinel;
    std::vector<double> PHI, V, E;
    // Row i, column j of PHI(k).
    double Phi(int k, int i, int j, int m) const
    {
        return PHI[static_cast<size_t>(k - 1) +
                   kVarLags * ((i - 1) + static_cast<size_t>(m) * (j - 1))];
    }
};

// Outputs are sized for n and m when x holds the n·m values; calls that must be refused pass
// counts past x and get outputs of x's size.
inline VarFitResult RunVarFit(VarFitRoutine fit, const std::vector<double>& x, int n, int m, int p)
{
    VarFitResult r;
    r.p = p;
    const bool sized = n > 0 && m > 0 && static_cast<size_t>(n) * m <= x.size();
    const size_t mm = sized ? static_cast<size_t>(m) * m : 1;
    r.PHI.assign(kVarLags * mm, kSentinel);
    r.V.assign(mm, kSentinel);
    r.E.assign(sized ? static_cast<size_t>(n) * m : x.size(), kSentinel);
    r.status = fit(x.data(), n, m, r.PHI.data(), r.V.data(), r.p, r.aicc, r.E.data());
    return r;
}

// True when the fit left every output as RunVarFit set it, the order as asked.
inline bool OutputsUntouched(const VarFitResult& r, int p)
{
    auto all = [](const std::vector<double>& v) {
        for (double e : v)
            if (e != kSentinel) return false;
        return true;
    };
    return r.p == p && r.aicc == kSentinel && all(r.PHI) && all(r.V) && all(r.E);
}

// (2 l m^2 + 2) / (1 - (l m^2 + 2)/(n m)), the criterion's penalty of order l.
inline double VarPenalty(int l, int n, int m)
{
    const double k = static_cast<double>(l) * m * m;
    return (2 * k + 2) / (1 - (k + 2) / (static_cast<double>(n) * m));
}

// Checks a fit against every row of an R table (columns series, p, chosen, phi, V, aicc): each
// order asked returns itself with the criterion of that order, p = -1 returns the order of
// minimum criterion; coefficients and covariance where the row lists them. Returns the number
// of rows checked.
inline size_t CompareWithReferenceTable(VarFitRoutine fit, const std::string& file,
                                        double tolerance)
{
    const ReferenceTable t = ReadReferenceTable(file);
    EXPECT_GT(t.rows.size(), 100u);
    std::string loaded;
    VarSeries s;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::string name = t.Text(r, "series");
        if (name != loaded) {
            s = CentredVarSeries(name);
            loaded = name;
        }
        const int p = t.Integer(r, "p");
        const int chosen = t.Integer(r, "chosen");
        const VarFitResult result = RunVarFit(fit, s.x, s.n, s.m, p);
        const std::string where = name + " p=" + std::to_string(p);
        EXPECT_EQ(result.status, kStatusDone) << where;
        EXPECT_EQ(result.p, chosen) << where;
        const double aicc = t.Number(r, "aicc");
        EXPECT_NEAR(result.aicc, aicc, tolerance * std::fabs(aicc)) << where;
        const std::vector<double> phi = t.List(r, "phi"), V = t.List(r, "V");
        const int m = s.m;
        if (!V.empty()) {
            for (int i = 0; i < m * m; ++i)
                EXPECT_NEAR(result.V[i], V[i],
                            tolerance * std::fabs(V[i]) + 1e-14 * std::fabs(V[0]))
                    << where;
            // R lists PHI lag first: (k, i, j) at (k-1) + chosen·((i-1) + m·(j-1)).
            EXPECT_EQ(phi.size(), static_cast<size_t>(chosen) * m * m) << where;
            if (phi.size() != static_cast<size_t>(chosen) * m * m) continue;
            for (int k = 1; k <= chosen; ++k)
                for (int i = 1; i <= m; ++i)
                    for (int j = 1; j <= m; ++j)
                        EXPECT_NEAR(result.Phi(k, i, j, m),
                                    phi[(k - 1) + chosen * ((i - 1) + m * (j - 1))], tolerance * 10)
                            << where << " lag " << k;
        }
        for (int k = chosen + 1; k <= kVarLags; ++k)
            EXPECT_EQ(result.Phi(k, 1, 1, m), kSentinel) << where;
    }
    return t.rows.size();
}

// Captures the fits' diagnostic lines in `diagnostics`.
class VarFitTest : public testing::Test {
protected:
    void SetUp() override { SetVarDiagnosticCapture(&diagnostics); }
    void TearDown() override { SetVarDiagnosticCapture(nullptr); }
    std::string diagnostics;
};

// A call that must fail: its status, the diagnostic text it writes, every output untouched and
// the data untouched bit for bit.
struct VarFailureCase {
    std::string what;
    std::vector<double> x;
    int n, m, p;
    int status;
    std::string message;
};

inline void ExpectFailures(VarFitRoutine fit, const std::vector<VarFailureCase>& cases,
                           std::string& diagnostics)
{
    for (const VarFailureCase& c : cases) {
        diagnostics.clear();
        const std::vector<double> before = c.x;
        const VarFitResult r = RunVarFit(fit, c.x, c.n, c.m, c.p);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_TRUE(OutputsUntouched(r, c.p)) << c.what;
        EXPECT_EQ(diagnostics, c.message) << c.what;
        EXPECT_EQ(std::memcmp(before.data(), c.x.data(), before.size() * sizeof(double)), 0)
            << c.what;
    }
}
