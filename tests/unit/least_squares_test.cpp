#include "library_capture.h"
#include "numlib/least_squares.h"
#include "reference_table.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

using LeastSquares = LibraryCapture;

namespace {

struct Problem {
    int nra = 0;
    int nca = 0;
    std::vector<double> a;  // column-major, leading dimension nra
    std::vector<double> y;
    std::vector<double> residual;  // R's
};

std::map<std::string, Problem> ReadProblems()
{
    const ReferenceTable t = ReadReferenceTable("least_squares_design.csv");
    const ReferenceTable c = ReadReferenceTable("least_squares_coefficients.csv");
    std::map<std::string, Problem> problems;
    for (size_t r = 0; r < c.rows.size(); ++r) problems[c.Text(r, "case")].nca = c.Integer(r, "nca");
    std::map<std::string, std::vector<std::vector<double>>> columns;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        Problem& p = problems[t.Text(r, "case")];
        auto& cols = columns[t.Text(r, "case")];
        cols.resize(static_cast<size_t>(p.nca));
        for (int j = 0; j < p.nca; ++j) cols[j].push_back(t.Number(r, "a" + std::to_string(j + 1)));
        p.y.push_back(t.Number(r, "y"));
        p.residual.push_back(t.Number(r, "residual"));
        ++p.nra;
    }
    for (auto& [name, p] : problems)
        for (const auto& col : columns[name]) p.a.insert(p.a.end(), col.begin(), col.end());
    return problems;
}

}  // namespace

// Under the tolerance the regression commands pass (0) and, where the row says so, under a small
// positive one: columns dependent on those before them exactly, to within rounding, by being zero,
// or beyond lm.fit's 1e-7 of their own norm (a column 1.2e-8 from the others) are left out, the
// later of each dependent set, with coefficient 0 in their own places; a column 3.9e-7 from the
// others, the powers of t whatever their sizes, a small column beside large dependent ones, and
// columns at opposite ends of the double range (1e-155 beside 1e155 once stopped as a solution
// too large, 1e-170 beside 1e170 lost its small column; 1e300 and 1e-300) are kept.
TEST_F(LeastSquares, AgreesWithRLmFit)
{
    const std::map<std::string, Problem> problems = ReadProblems();
    const ReferenceTable c = ReadReferenceTable("least_squares_coefficients.csv");
    ASSERT_EQ(c.rows.size(), 14u);
    for (size_t r = 0; r < c.rows.size(); ++r)
        for (const double tol : c.List(r, "tolerances")) {
            const std::string name = c.Text(r, "case");
            SCOPED_TRACE(name + " with tolerance " + std::to_string(tol));
            const Problem& p = problems.at(name);
            const int rank = c.Integer(r, "rank");
            std::vector<double> a = p.a, y = p.y;
            std::vector<double> x(p.nca, -7.0), res(p.nra, -7.0);
            std::vector<int> order(p.nca, 0);
            int kbasis = -1;
            // Columns at the ends of the range have coefficients within it, but a covariance beyond it
            // (R's holds Inf, which reads as no list): it is asked for only where R's is finite.
            const std::vector<double> expected = c.List(r, "covariance");
            const bool withCovariance =
                expected.size() == static_cast<size_t>(p.nca) * p.nca &&
                std::all_of(expected.begin(), expected.end(), [](double v) { return std::isfinite(v); });
            std::vector<double> covariance(static_cast<size_t>(p.nca) * p.nca, -7.0);
            DLSQRR(p.nra, p.nca, a.data(), p.nra, y.data(), tol, x.data(), res.data(), kbasis, order.data(),
                   withCovariance ? covariance.data() : nullptr);
            ASSERT_EQ(kbasis, rank);
            EXPECT_EQ(a, p.a);  // A and b unchanged
            EXPECT_EQ(y, p.y);
            // The forward errors of a least-squares solution grow with the condition number.
            const double relative = std::max(1e-10, 1e-14 * c.Number(r, "kappa"));
            double scale = 0;
            for (double v : p.y) scale = std::max(scale, std::abs(v));
            for (int i = 0; i < p.nra; ++i) EXPECT_NEAR(res[i], p.residual[i], relative * scale) << i;
            // The residuals are b - A x for the returned coefficients.
            for (int i = 0; i < p.nra; ++i) {
                double fit = 0;
                for (int j = 0; j < p.nca; ++j) fit += p.a[j * p.nra + i] * x[j];
                EXPECT_NEAR(res[i], p.y[i] - fit, relative * scale) << i;
            }
            std::vector<int> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            for (int j = 0; j < p.nca; ++j) EXPECT_EQ(sorted[j], j + 1);  // a permutation
            for (int k = rank; k < p.nca; ++k) EXPECT_EQ(x[order[k] - 1], 0.0) << "left out " << order[k];
            // The columns left out and the coefficients are lm.fit's.
            std::vector<double> leftOut(order.begin() + rank, order.end());
            std::sort(leftOut.begin(), leftOut.end());
            EXPECT_EQ(leftOut, c.List(r, "left_out"));
            const std::vector<double> coef = c.List(r, "coefficients");
            for (int j = 0; j < p.nca; ++j)
                EXPECT_NEAR(x[j], coef[j], std::max(1e-9, relative) * std::abs(coef[j])) << j;
            // inverse(R'R) over the kept columns, 0 for those left out, as chol2inv of lm.fit's R;
            // an element is compared on the scale of its row's and column's variances.
            if (!withCovariance) continue;
            const auto at = [&](const std::vector<double>& m, int i, int j) { return m[j * p.nca + i]; };
            for (int j = 0; j < p.nca; ++j)
                for (int i = 0; i < p.nca; ++i)
                    EXPECT_NEAR(at(covariance, i, j), at(expected, i, j),
                                std::max(1e-12, 1e-14 * c.Number(r, "kappa")) *
                                    std::sqrt(at(expected, i, i) * at(expected, j, j)))
                        << i << ", " << j;
        }
    EXPECT_TRUE(stops.empty());
}

// A seeded family of designs (scripts/reference/random_designs.R): integer and real columns at
// scales from 1e-12 to 1e12, exact integer and real combinations of earlier columns, duplicates,
// zero columns, and columns within 1e-10 (dependent) or 1e-4 (independent) of an earlier one.
// Under the tolerance the regression commands pass (0), DLSQRR keeps the columns lm.fit keeps and
// leaves out the others, the later of each dependent set, with coefficient 0, and fits what
// lm.fit fits.
TEST_F(LeastSquares, RandomDesignsAgreeWithLmFit)
{
    const ReferenceTable t = ReadReferenceTable("least_squares_random.csv");
    ASSERT_EQ(t.rows.size(), 100u);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        SCOPED_TRACE("design " + t.Text(r, "id") + ": " + t.Text(r, "kinds"));
        const int n = t.Integer(r, "n"), k = t.Integer(r, "k");
        const std::vector<double> a = t.List(r, "x"), y = t.List(r, "y"), fitted = t.List(r, "fitted");
        ASSERT_EQ(a.size(), static_cast<size_t>(n) * k);
        std::vector<double> x(k, -7.0), res(n, -7.0);
        std::vector<int> order(k, 0);
        int kbasis = -1;
        DLSQRR(n, k, a.data(), n, y.data(), 0.0, x.data(), res.data(), kbasis, order.data());
        ASSERT_EQ(kbasis, t.Integer(r, "rank"));
        std::vector<double> leftOut(order.begin() + kbasis, order.end());
        std::sort(leftOut.begin(), leftOut.end());
        EXPECT_EQ(leftOut, t.List(r, "left_out"));
        for (double j : leftOut) EXPECT_EQ(x[static_cast<size_t>(j) - 1], 0.0) << "left out " << j;
        // The fitted values are those of the projection on the kept columns, whose error grows with
        // their condition number.
        double norm = 0.0;
        for (double v : y) norm += v * v;
        norm = std::sqrt(norm);
        const double tolerance = std::max(1e-13, 1e-14 * t.Number(r, "kappa")) * norm;
        for (int i = 0; i < n; ++i) EXPECT_NEAR(y[i] - res[i], fitted[i], tolerance) << "row " << i + 1;
    }
    EXPECT_TRUE(stops.empty());
}

// Columns near the ends of the double range are solved scaled, each by its own power of two; the
// covariance comes back scaled by the powers of its row and column: with A's columns scaled by
// S = diag(s), inverse((A S)'(A S)) = S^-1 inverse(A'A) S^-1. The same power for every column, and
// a different one for each.
TEST_F(LeastSquares, CovarianceOfADesignNearTheEndsOfTheRange)
{
    const Problem p = ReadProblems().at("cars");
    const ReferenceTable c = ReadReferenceTable("least_squares_coefficients.csv");
    ASSERT_EQ(c.Text(0, "case"), "cars");
    const std::vector<double> expected = c.List(0, "covariance");
    const std::vector<std::vector<int>> powerSets = {{-500, -500, -500}, {450, 450, 450}, {-450, 450, 420}};
    for (const std::vector<int>& powers : powerSets) {
        SCOPED_TRACE(std::to_string(powers[0]) + " " + std::to_string(powers[1]) + " " + std::to_string(powers[2]));
        std::vector<double> a = p.a;
        for (int j = 0; j < p.nca; ++j)
            for (int i = 0; i < p.nra; ++i) a[j * p.nra + i] = std::ldexp(a[j * p.nra + i], powers[j]);
        std::vector<double> x(p.nca), res(p.nra), covariance(static_cast<size_t>(p.nca) * p.nca);
        int kbasis = 0;
        DLSQRR(p.nra, p.nca, a.data(), p.nra, p.y.data(), 0.0, x.data(), res.data(), kbasis, nullptr,
               covariance.data());
        ASSERT_EQ(kbasis, 3);
        for (int j = 0; j < p.nca; ++j)
            for (int i = 0; i < p.nca; ++i) {
                const size_t k = static_cast<size_t>(j) * p.nca + i;
                EXPECT_NEAR(std::ldexp(covariance[k], powers[i] + powers[j]), expected[k],
                            1e-10 * std::fabs(expected[k]))
                    << i << ", " << j;
            }
    }
    EXPECT_TRUE(stops.empty());
}

TEST_F(LeastSquares, ExactlyDependentAndZeroDesigns)
{
    // Two equal columns, the first and the third. Once the first is eliminated what remains of the
    // third is a rounding residue, whose size depends on how the BLAS kernel sums; the rank rule
    // leaves it out even under a zero or negative tolerance: the later of the two gets 0.
    const std::vector<double> a = {1, 1, 1, 1, 1, 2, 3, 4, 1, 1, 1, 1};
    const std::vector<double> b = {2, 3, 5, 6};
    int kbasis = 0;
    for (const double tol : {1e-10, 0.0, -1.0}) {
        SCOPED_TRACE(tol);
        std::vector<double> x(3), res(4);
        DLSQRR(4, 3, a.data(), 4, b.data(), tol, x.data(), res.data(), kbasis);
        EXPECT_EQ(kbasis, 2);
        EXPECT_EQ(x[2], 0.0);
        EXPECT_NEAR(x[0], 0.5, 1e-12);  // b = 0.5 + 1.4 t fits (1,2,3,4) with residuals below
        EXPECT_NEAR(x[1], 1.4, 1e-12);
        const double expected[] = {0.1, -0.3, 0.3, -0.1};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(res[i], expected[i], 1e-12);
    }

    // A zero column beside a line is left out under any tolerance, negative ones too: what remains
    // of it is 0, which no tolerance keeps.
    const std::vector<double> line = {1, 2, 3, 4, 0, 0, 0, 0};
    for (const double tol : {0.0, -1.0}) {
        SCOPED_TRACE(tol);
        std::vector<double> x(2, 5.0), res(4);
        DLSQRR(4, 2, line.data(), 4, b.data(), tol, x.data(), res.data(), kbasis);
        EXPECT_EQ(kbasis, 1);
        EXPECT_NEAR(x[0], 47.0 / 30.0, 1e-12);  // sum t b(t) / sum t^2
        EXPECT_EQ(x[1], 0.0);
    }

    // A zero design: rank 0, zero coefficients, the residual array as passed. Every norm is an
    // exact 0 whatever the kernel, so even a zero tolerance finds no column.
    const std::vector<double> zero(6, 0.0);
    std::vector<double> x2(2, 5.0), res2 = {9, 9, 9};
    DLSQRR(3, 2, zero.data(), 3, b.data(), 0.0, x2.data(), res2.data(), kbasis);
    EXPECT_EQ(kbasis, 0);
    EXPECT_EQ(x2, (std::vector<double>{0, 0}));
    EXPECT_EQ(res2, (std::vector<double>{9, 9, 9}));
    EXPECT_TRUE(stops.empty());
}

// A column equal to the first beside a small independent one, the shape of a constant, a cosine
// at the Fourier index n and its sine, a ramp of about 4e-13 t. Once the first column is
// eliminated, the duplicate's remaining norm is rounding and the ramp's is 1e-11 of R(1,1) but
// half its own norm: the duplicate is left out and the ramp, moved up into its place, kept.
TEST_F(LeastSquares, DuplicateColumnDoesNotOvertakeASmallIndependentOne)
{
    for (const int n : {88, 113, 136, 171, 272, 289}) {
        SCOPED_TRACE(n);
        std::vector<double> a(3 * static_cast<size_t>(n), 1.0), y(static_cast<size_t>(n));
        for (int t = 1; t <= n; ++t) {
            a[2 * n + t - 1] = 4e-13 * t;
            y[t - 1] = 5.0 + 0.5 * t;
        }
        std::vector<double> x(3), res(static_cast<size_t>(n));
        std::vector<int> order(3);
        int kbasis = 0;
        DLSQRR(n, 3, a.data(), n, y.data(), 0.0, x.data(), res.data(), kbasis, order.data());
        ASSERT_EQ(kbasis, 2);
        EXPECT_EQ(order[2], 2);
        EXPECT_EQ(x[1], 0.0);
        EXPECT_NEAR(x[0], 5.0, 1e-9);
        EXPECT_NEAR(x[2], 0.5 / 4e-13, 1e-9 * (0.5 / 4e-13));
        for (int t = 0; t < n; ++t) EXPECT_NEAR(res[t], 0.0, 1e-10 * y[n - 1]);
    }
    EXPECT_TRUE(stops.empty());
}

// Every row of the third column within an ulp of three times the first: dependent to within
// rounding, left out; a caller's tolerance leaves out more; and a tolerance that is not a number
// is refused, not taken as rank 0.
TEST_F(LeastSquares, RoundingDependenceAndTolerances)
{
    const int n = 20;
    std::vector<double> a(3 * n), y(n);
    for (int i = 0; i < n; ++i) {
        a[i] = 1.0 + 0.1 * i;
        a[n + i] = std::sin(i + 1.0);
        a[2 * n + i] = 3.0 * a[i] * (1.0 + (i % 2 == 0 ? 1.0 : -1.0) * 0x1p-52);
        y[i] = 2.0 * a[i] - a[n + i] + 0.01 * (i % 3);
    }
    std::vector<double> x(3), res(n);
    std::vector<int> order(3);
    int kbasis = 0;
    DLSQRR(n, 3, a.data(), n, y.data(), 0.0, x.data(), res.data(), kbasis, order.data());
    ASSERT_EQ(kbasis, 2);
    EXPECT_EQ(order[2], 3);
    EXPECT_EQ(x[2], 0.0);
    EXPECT_NEAR(x[0], 2.0, 0.05);
    EXPECT_TRUE(stops.empty());

    // A caller's tolerance leaves out more: a column whose remainder is at most tol |R(1,1)| goes,
    // and only it; from tol 1 on, the first column fails against itself and nothing is used.
    std::vector<double> b(3 * n);
    for (int i = 0; i < n; ++i) {
        b[i] = 1.0;
        b[n + i] = 1e-8 * std::cos(1.3 * i);
        b[2 * n + i] = i + 1.0;
    }
    struct Case {
        double tol;
        int kbasis;
        std::vector<int> order;
    };
    const Case cases[] = {{-1.0, 3, {1, 2, 3}}, {0.0, 3, {1, 2, 3}}, {1e-6, 2, {1, 3, 2}},
                          {0.9, 2, {1, 3, 2}},  {1.0, 0, {3, 2, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tol);
        std::fill(order.begin(), order.end(), 0);
        DLSQRR(n, 3, b.data(), n, y.data(), c.tol, x.data(), res.data(), kbasis, order.data());
        EXPECT_EQ(kbasis, c.kbasis);
        EXPECT_EQ(order, c.order);
        for (int j = c.kbasis; j < 3; ++j) EXPECT_EQ(x[order[j] - 1], 0.0) << order[j];
    }
    EXPECT_TRUE(stops.empty());

    // The tolerance judges the columns as given, whatever power of two each is solved scaled by: a
    // column of 1e-300 after one of 1e300 is below any positive tolerance and kept under 0; before
    // it, the large one is kept under any tolerance below 1.
    std::vector<double> ends(2 * n), swapped(2 * n);
    for (int i = 0; i < n; ++i) {
        ends[i] = swapped[n + i] = i % 2 == 0 ? 1e300 : 0.0;
        ends[n + i] = swapped[i] = 1e-300 * (i + 1);
    }
    struct Far {
        const std::vector<double>* a;
        double tol;
        int kbasis;
    } const far[] = {{&ends, 0.0, 2}, {&ends, 1e-10, 1}, {&swapped, 1e-10, 2}, {&swapped, 0.5, 2}};
    for (const Far& c : far) {
        SCOPED_TRACE((c.a == &ends ? "large first, tol " : "small first, tol ") + std::to_string(c.tol));
        DLSQRR(n, 2, c.a->data(), n, y.data(), c.tol, x.data(), res.data(), kbasis);
        EXPECT_EQ(kbasis, c.kbasis);
    }
    EXPECT_TRUE(stops.empty());

    for (const double tol : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        SCOPED_TRACE(tol);
        Clear();
        DLSQRR(n, 3, a.data(), n, y.data(), tol, x.data(), res.data(), kbasis);
        EXPECT_TRUE(LibraryCallAbandoned());
        EXPECT_NE(output.find("TERMINAL ERROR 5 from DL2QRR.  TOL is not a finite number."), std::string::npos)
            << output;
    }
}

TEST_F(LeastSquares, WorkCopyIsPaddedWhenRowsAreAMultipleOfSixteen)
{
    // 32 rows: with the padding of option 16 in force (as DLSQRR puts it for its call) the work
    // copy has leading dimension 33.
    const int nra = 32, nca = 2;
    std::vector<double> a(nra * nca), y(nra);
    for (int i = 0; i < nra; ++i) {
        a[i] = 1.0;
        a[nra + i] = i + 1.0;
        y[i] = 3.0 - 0.5 * (i + 1) + ((i % 3) - 1) * 0.25;
    }
    const double sentinel = 12345.0;
    std::vector<double> qr((nra + 1) * nca, sentinel), hscal(nca), scratch(2 * nca - 1), x(nca), res(nra);
    std::vector<int> korder(nca);
    int kbasis = 0;
    std::vector<int> padding = {1, 16, 1, 16};
    IUMAG("MATH", 1, 2, 1, {16}, padding);
    DL2QRR(nra, nca, a.data(), nra, y.data(), 0.0, x.data(), res.data(), kbasis, qr.data(), hscal.data(),
           korder.data(), scratch.data());
    IUMAG("MATH", 1, 2, 1, {-16}, padding);
    EXPECT_EQ(kbasis, 2);
    EXPECT_EQ(qr[nra], sentinel);  // the pad row of column 1
    EXPECT_EQ(qr[2 * nra + 1], sentinel);
    // The columns are taken in their order: |R(1,1)| is the norm of the constant, sqrt(32), and
    // |R(2,2)| what remains of 1..32 after it, sqrt(sum (i - 16.5)^2) = sqrt(2728), stored at (2,2)
    // of the padded copy.
    EXPECT_NEAR(std::abs(qr[0]), std::sqrt(32.0), 1e-12);
    EXPECT_NEAR(std::abs(qr[nra + 2]), std::sqrt(2728.0), 1e-11);
    EXPECT_EQ(korder, (std::vector<int>{1, 2}));
    // The same problem in 31 rows plus one, through DLSQRR, gives the same coefficients.
    std::vector<double> x2(nca), res2(nra);
    DLSQRR(nra, nca, a.data(), nra, y.data(), 0.0, x2.data(), res2.data(), kbasis);
    EXPECT_NEAR(x2[0], x[0], 1e-13);
    EXPECT_NEAR(x2[1], x[1], 1e-13);
    EXPECT_TRUE(stops.empty());
}

TEST_F(LeastSquares, PermutationBothWaysInPlace)
{
    const std::vector<double> x = {10, 20, 30, 40, 50};
    std::vector<int> perm = {3, 1, 2, 5, 4};
    std::vector<double> gathered(5), scattered = x;
    DPERMU(5, x.data(), perm.data(), 1, gathered.data());
    EXPECT_EQ(gathered, (std::vector<double>{30, 10, 20, 50, 40}));
    DPERMU(5, scattered.data(), perm.data(), 2, scattered.data());
    EXPECT_EQ(scattered, (std::vector<double>{20, 30, 10, 50, 40}));
    EXPECT_EQ(perm, (std::vector<int>{3, 1, 2, 5, 4}));
    EXPECT_TRUE(output.empty());
}

TEST_F(LeastSquares, ArgumentErrors)
{
    const std::vector<double> a(6, 1.0), b(3, 1.0);
    std::vector<double> x(2), res(3);
    int kbasis = 0;
    DLSQRR(0, 2, a.data(), 3, b.data(), 0.0, x.data(), res.data(), kbasis);
    EXPECT_NE(output.find(" *** TERMINAL ERROR 1 from DLSQRR.  Both the number of rows and the number of\n"
                          " ***          columns of the input matrix have to be positive while NRA = 0 \n"
                          " ***          and NCA = 2 are given.\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(stops.size(), 1u);

    Clear();
    DLSQRR(3, 2, a.data(), 2, b.data(), 0.0, x.data(), res.data(), kbasis);
    EXPECT_NE(output.find(" *** TERMINAL ERROR 2 from DL2QRR.  The number of rows of A must be less than\n"
                          " ***          or equal to its leading dimension while NRA = 3 and LDA = 2 are \n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("(Called internally)"), std::string::npos);
    EXPECT_EQ(stops.size(), 1u);

    Clear();
    std::vector<int> perm = {1, 4};
    DPERMU(2, x.data(), perm.data(), 1, x.data());
    EXPECT_EQ(output, "\n *** TERMINAL ERROR 3 from DPERMU.  IPERMU(2) = 4 is not allowed.  It must be\n"
                      " ***          between 1 and N = 2.\n");
}
