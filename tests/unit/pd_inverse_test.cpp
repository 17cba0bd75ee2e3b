#include "library_capture.h"
#include "numlib/pd_inverse.h"
#include "reference_table.h"

#include <cmath>
#include <vector>

using PdInverse = LibraryCapture;

namespace {

double NormOne(int n, const std::vector<double>& m)
{
    double best = 0;
    for (int j = 0; j < n; ++j) {
        double sum = 0;
        for (int i = 0; i < n; ++i) sum += std::abs(m[j * n + i]);
        best = std::max(best, sum);
    }
    return best;
}

}  // namespace

TEST_F(PdInverse, AgreesWithRChol2invAndBoundsTheCondition)
{
    const ReferenceTable t = ReadReferenceTable("pd_inverse_reference.csv");
    ASSERT_EQ(t.rows.size(), 3u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const std::string name = t.Text(r, "name");
        const int n = t.Integer(r, "n");
        const std::vector<double> a = t.List(r, "a");
        const std::vector<double> expected = t.List(r, "inverse");
        ASSERT_EQ(a.size(), static_cast<size_t>(n * n));
        // Garbage below the diagonal must not matter: only the upper triangle is read.
        std::vector<double> upper = a;
        for (int j = 0; j < n; ++j)
            for (int i = j + 1; i < n; ++i) upper[j * n + i] = 1e30;
        std::vector<double> inverse(n * n, 0.0);
        DLINDS(n, upper.data(), n, inverse.data(), n);
        const double size = NormOne(n, expected);
        for (int k = 0; k < n * n; ++k) EXPECT_NEAR(inverse[k], expected[k], 1e-9 * size) << name << " " << k;

        // In place, as the regression command calls it. The same steps on other storage: equal up
        // to what a kernel that splits its sums by address might round differently.
        std::vector<double> inPlace = upper;
        DLINDS(n, inPlace.data(), n, inPlace.data(), n);
        for (int k = 0; k < n * n; ++k) EXPECT_NEAR(inPlace[k], inverse[k], 1e-13 * size) << name << " " << k;

        // The estimate of 1/cond is at least the true value (it underestimates |A^-1|) and close to it.
        std::vector<double> fac(n * n), work(n);
        double rcond = 0;
        DL2CDS(n, a.data(), n, fac.data(), n, rcond, work.data());
        const double trueRcond = 1.0 / (NormOne(n, a) * NormOne(n, expected));
        EXPECT_GE(rcond, trueRcond * (1 - 1e-8)) << name;
        EXPECT_LE(rcond, 20 * trueRcond) << name;
    }
    EXPECT_TRUE(stops.empty());
}

TEST_F(PdInverse, OrderOneAndTriangularInverse)
{
    std::vector<double> a = {4.0}, inv = {0.0}, fac = {0.0}, work = {0.0};
    DLINDS(1, a.data(), 1, inv.data(), 1);
    EXPECT_EQ(inv[0], 0.25);
    double rcond = 0;
    DL2CDS(1, a.data(), 1, fac.data(), 1, rcond, work.data());
    EXPECT_EQ(rcond, 1.0);
    EXPECT_EQ(fac[0], 2.0);

    // Upper and lower triangular inverses: T * inv(T) = I.
    const int n = 4;
    const std::vector<double> u = {2, 0, 0, 0, 1, 3, 0, 0, -1, 2, 0.5, 0, 4, 1, 1, 1.5};
    for (int ipath : {1, 2}) {
        std::vector<double> t(n * n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) t[j * n + i] = ipath == 2 ? u[j * n + i] : u[i * n + j];
        std::vector<double> ti(n * n, 99.0);
        DLINRT(n, t.data(), n, ipath, ti.data(), n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double sum = 0;
                for (int k = 0; k < n; ++k) sum += t[k * n + i] * ti[j * n + k];
                EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-14) << ipath << " " << i << j;
            }
    }
    EXPECT_TRUE(stops.empty());
}

TEST_F(PdInverse, NotPositiveDefiniteIsFatalNamingDlinds)
{
    const std::vector<double> a = {1, 2, 2, 3};
    std::vector<double> inv(4, 7.0);
    DLINDS(2, a.data(), 2, inv.data(), 2);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], "\n *** FATAL    ERROR 2 from DLINDS.  The leading 2 by 2 submatrix of the input\n"
                        " ***          matrix is not positive definite.\n");
    EXPECT_TRUE(LibraryCallAbandoned());
}

TEST_F(PdInverse, NearlySingularMatrixWarnsOnceAndStillInverts)
{
    const std::vector<double> a = {1, 0, 0, 1e-20};
    std::vector<double> inv(4);
    DLINDS(2, a.data(), 2, inv.data(), 2);
    EXPECT_EQ(inv, (std::vector<double>{1, 0, 0, 1e20}));
    EXPECT_TRUE(stops.empty());
    const size_t first = output.find(" *** WARNING  ERROR 1 from DLINDS.  The matrix is too ill-conditioned.");
    EXPECT_NE(first, std::string::npos) << output;
    EXPECT_NE(output.find("RCOND \n ***          = 1.000000000000000D-20.  The inverse might not be accurate.\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("WARNING", first + 10), std::string::npos);  // only the last warning
    EXPECT_EQ(output.find("algorithmically"), std::string::npos);
    // The application hears of it once, with the call's results in place.
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], output.substr(output.find("\n *** WARNING")));
}

TEST_F(PdInverse, ArgumentErrors)
{
    std::vector<double> a(4, 1.0);
    DLINDS(0, a.data(), 2, a.data(), 2);
    EXPECT_NE(output.find("TERMINAL ERROR 1 from DLINDS.  The order of the matrix must be positive\n"
                          " ***          while N = 0 is given.\n"),
              std::string::npos);
    Clear();
    DLINDS(2, a.data(), 1, a.data(), 2);
    EXPECT_NE(output.find("TERMINAL ERROR 2 from DL2NDS."), std::string::npos);
    Clear();
    DCSFRG(3, a.data(), 2);
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 2 from DCSFRG.  N = 3 and LDA = 2.  The order of A, N,\n"
                      " ***          must be less than or equal to the leading dimension of A, LDA.\n");
    EXPECT_EQ(a, std::vector<double>(4, 1.0));
}
