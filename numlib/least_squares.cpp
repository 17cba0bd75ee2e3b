#include "numlib/least_squares.h"

#include "numlib/error_stack.h"
#include "numlib/finite_values.h"
#include "numlib/machine.h"
#include "numlib/pd_inverse.h"
#include "platform/blas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kOne = 1;

// Element (i, j), 1-based, of a column-major matrix.
inline double& At(double* m, int ld, int i, int j)
{
    return m[static_cast<long>(j - 1) * ld + (i - 1)];
}

// Applies reflection j of the factorisation to v (nra values), as DQRSL does.
void Reflect(int nra, double* qr, int ldqr, const double* hscal, int j, double* v)
{
    if (hscal[j - 1] == 0.0) return;
    double& diag = At(qr, ldqr, j, j);
    const double saved = diag;
    diag = hscal[j - 1];
    const int len = nra - j + 1;
    const double t = -ddot_(&len, &diag, &kOne, v + (j - 1), &kOne) / diag;
    daxpy_(&len, &t, &diag, &kOne, v + (j - 1), &kOne);
    diag = saved;
}

void MessageRowsColumns(int code, const char* text, int nra, int nca)
{
    MsgSetInt(1, nra);
    MsgSetInt(2, nca);
    E1MES(5, code, text);
}

// A column is left out when what remains of it after the columns kept before it is below this
// fraction of its own norm, as R's lm.fit (LINPACK's DQRDC2 with tol = 1e-7) leaves it out: the
// rounding left in a dependent column is eps times the norms of the columns it depends on, which
// may be many orders above its own, and measured against its own norm at 1e-7 that rounding
// stays below the mark for any ordinary design, while the powers of t up to t^10 all pass.
constexpr double kDependence = 1e-7;

const char* const kPositiveHaveTo =
    "Both the number of rows and the number of columns of the input matrix have to be positive while NRA = %(I1) "
    "and NCA = %(I2) are given.";
const char* const kLdaMessage =
    "The number of rows of A must be less than or equal to its leading dimension while NRA = %(I1) and LDA = %(I2) "
    "are given.";
const char* const kLdqrMessage =
    "The number of rows of QR must be less than or equal to its leading dimension while NRA = %(I1) and LDQR = "
    "%(I2) are given.";

const char* const kStorageMessage =
    "The required storage cannot be allocated.  The workspace is based on NRA and NCA, where NRA = %(I1) and NCA = "
    "%(I2) are given.";

// DL2RRR's work, with the caller's rank tolerance: returns the position of the last free column
// that was not left out (hi less the columns left out; nca when pivot is 0), or 0 when the
// arguments were refused. With pivot != 0 a free column that reaches position l while what
// remains of it, nu = ||QR(l..nra, l)||, is 0, below kDependence of its own norm, or at most tol
// |R(1,1)| (|R(1,1)| being its own nu at l = 1) is moved behind the other free columns and the
// next one takes its place, as DQRDC2 moves a negligible column: the others keep their order,
// so of two dependent columns the later is the one left out. columnScale (nca values, may be
// null) gives the power of two each column of a was scaled by, in the original column order; tol
// then applies to the columns as they were before it.
int Factor(int nra, int nca, const double* a, int lda, int pivot, int* korder, double* qr, int ldqr, double* hscal,
           double* cnorm, double* scratch, double tol, const double* columnScale = nullptr)
{
    E1PSH("DL2RRR");
    if (nra < 1 || nca < 1) {
        MessageRowsColumns(1,
                           "Both the number of rows and the number of columns of the input matrix must be positive "
                           "while NRA = %(I1) and NCA = %(I2) are given.",
                           nra, nca);
        E1POP("DL2RRR");
        return 0;
    }
    if (lda < nra) {
        MessageRowsColumns(2, kLdaMessage, nra, lda);
        E1POP("DL2RRR");
        return 0;
    }
    if (ldqr < nra) {
        MessageRowsColumns(3, kLdqrMessage, nra, ldqr);
        E1POP("DL2RRR");
        return 0;
    }
    for (int j = 1; j <= nca; ++j) {
        dcopy_(&nra, a + static_cast<long>(j - 1) * lda, &kOne, &At(qr, ldqr, 1, j), &kOne);
    }
    int lo = 1;
    int hi = nca;
    if (pivot != 0) {
        // Initial columns to the front and final ones to the back, each group keeping its order.
        std::vector<int> kind(korder, korder + nca);
        for (int j = 1; j <= nca; ++j) korder[j - 1] = j;
        auto swapColumns = [&](int i, int j) {
            dswap_(&nra, &At(qr, ldqr, 1, i), &kOne, &At(qr, ldqr, 1, j), &kOne);
            std::swap(korder[i - 1], korder[j - 1]);
            std::swap(kind[i - 1], kind[j - 1]);
        };
        for (int j = 1; j <= nca; ++j) {
            if (kind[j - 1] > 0) {
                if (j != lo) swapColumns(lo, j);
                ++lo;
            }
        }
        for (int j = nca; j >= lo; --j) {
            if (kind[j - 1] < 0) {
                if (j != hi) swapColumns(hi, j);
                --hi;
            }
        }
    }
    // Each column's own norm, moved with the column (cnorm may be hscal, which the steps overwrite).
    std::vector<double> own(static_cast<size_t>(nca));
    for (int j = 1; j <= nca; ++j) own[j - 1] = hscal[j - 1] = dnrm2_(&nra, &At(qr, ldqr, 1, j), &kOne);

    int last = pivot != 0 ? hi : nca;
    double r11 = 0.0;
    const int steps = nra < nca ? nra : nca;
    for (int l = 1; l <= steps; ++l) {
        const int len = nra - l + 1;
        double* column = &At(qr, ldqr, l, l);
        double nu = dnrm2_(&len, column, &kOne);
        while (pivot != 0 && lo <= l && l <= last) {
            // tol compares the columns as the caller gave them: with column l scaled by s(l) and the
            // first by s(1), its mark is tol |R(1,1)| s(l)/s(1), which can leave the doubles only
            // where the columns stand so far apart that the verdict is plain.
            const double ratio = columnScale ? columnScale[korder[l - 1] - 1] / columnScale[korder[0] - 1] : 1.0;
            const double first = l == 1 ? nu : r11;
            if (nu > 0.0 && nu >= kDependence * own[l - 1] && (!(tol > 0.0) || nu > tol * first * ratio)) break;
            // Columns l+1..last move one place forward and column l goes to place last; whole
            // columns are contiguous at stride ldqr.
            double* block = &At(qr, ldqr, 1, l);
            std::rotate(block, block + ldqr, block + static_cast<long>(last - l + 1) * ldqr);
            std::rotate(korder + (l - 1), korder + l, korder + last);
            std::rotate(own.begin() + (l - 1), own.begin() + l, own.begin() + last);
            --last;
            nu = dnrm2_(&len, column, &kOne);
        }
        if (l == 1) r11 = nu;
        hscal[l - 1] = 0.0;
        if (l == nra || nu == 0.0) continue;
        if (*column < 0.0) nu = -nu;
        const double inverse = 1.0 / nu;
        dscal_(&len, &inverse, column, &kOne);
        *column += 1.0;
        if (l < nca) {
            const int rest = nca - l;
            const double alpha = -1.0 / *column;
            const double zero = 0.0;
            const double one = 1.0;
            dgemv_("T", &len, &rest, &alpha, &At(qr, ldqr, l, l + 1), &ldqr, column, &kOne, &zero, scratch, &kOne, 1);
            dger_(&len, &rest, &one, column, &kOne, scratch, &kOne, &At(qr, ldqr, l, l + 1), &ldqr);
        }
        hscal[l - 1] = *column;
        *column = -nu;
    }
    if (cnorm != hscal) std::copy(own.begin(), own.end(), cnorm);
    if (pivot != 0) std::copy(own.begin(), own.end(), scratch + (nca - 1));
    E1POP("DL2RRR");
    return last;
}

// DL2QRR's work; covariance, when not null, receives the nca by nca matrix inverse(R'R) over the
// columns used, in the original column order, 0 in the rows and columns of those left out.
void Solve(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
           int& kbasis, double* qr, double* hscal, int* korder, double* scratch, double* covariance)
{
    E1PSH("DL2QRR");
    if (nra < 1 || nca < 1) {
        MessageRowsColumns(1, kPositiveHaveTo, nra, nca);
        E1POP("DL2QRR");
        return;
    }
    if (lda < nra) {
        MessageRowsColumns(2, kLdaMessage, nra, lda);
        E1POP("DL2QRR");
        return;
    }
    std::vector<int> padding;
    IUMAG("MATH", 1, 1, 1, {16}, padding);
    if (N1RCD(1) != 0 || padding.size() != 4) {
        E1POP("DL2QRR");
        return;
    }
    if (padding[2] < 0 || padding[3] < 1) {
        MessageRowsColumns(4,
                           "The option values 3,4 must be respectively not less than zero, and non-negative while "
                           "%(I1) and %(I2) are given.",
                           padding[2], padding[3]);
        E1POP("DL2QRR");
        return;
    }
    for (int j = 1; j <= nca; ++j)
        for (int i = 1; i <= nra; ++i)
            if (!std::isfinite(a[static_cast<long>(j - 1) * lda + (i - 1)])) {
                MsgSetInt(1, i);
                MsgSetInt(2, j);
                E1MES(5, 5, "A(%(I1),%(I2)) is not a finite number.  Every element of A and B must be finite.");
                E1POP("DL2QRR");
                return;
            }
    for (int i = 1; i <= nra; ++i)
        if (!std::isfinite(b[i - 1])) {
            MsgSetInt(1, i);
            E1MES(5, 5, "B(%(I1)) is not a finite number.  Every element of A and B must be finite.");
            E1POP("DL2QRR");
            return;
        }
    if (!std::isfinite(tol)) {
        E1MES(5, 5, "TOL is not a finite number.  The rank tolerance must be finite.");
        E1POP("DL2QRR");
        return;
    }
    // Columns or a right-hand side near the ends of the double range are solved scaled, each by
    // its own power of two, so that the factorisation neither overflows nor loses its digits to
    // underflow, even beside a column at the other end; the solution and residuals are scaled
    // back. Householder's reflections and lm.fit's rank rule (a column against its own norm) do
    // not see a power of two that scales a column, so ordinary columns, left as they stand, give
    // exactly what they gave unscaled.
    std::vector<double> scaledA, scaledB, sa;
    const double sb = RangeScale(b, nra);
    try {
        sa.resize(static_cast<size_t>(nca));
        bool scaled = false;
        for (int j = 0; j < nca; ++j) {
            sa[j] = RangeScale(a + static_cast<long>(j) * lda, nra);
            scaled = scaled || sa[j] != 1.0;
        }
        if (scaled) {
            scaledA.resize(static_cast<size_t>(nra) * static_cast<size_t>(nca));
            for (int j = 0; j < nca; ++j)
                for (int i = 0; i < nra; ++i)
                    scaledA[static_cast<size_t>(j) * nra + i] = a[static_cast<long>(j) * lda + i] * sa[j];
            a = scaledA.data();
            lda = nra;
        }
        if (sb != 1.0) {
            scaledB.assign(b, b + nra);
            for (double& v : scaledB) v *= sb;
            b = scaledB.data();
        }
    } catch (const std::bad_alloc&) {
        MessageRowsColumns(2, kStorageMessage, nra, nca);
        E1POP("DL2QRR");
        return;
    }
    const int pad = nra % padding[3] == 0 ? padding[2] : 0;
    const int ldqr = nra + pad;
    for (int j = 0; j < nca; ++j) korder[j] = 0;
    const int used = Factor(nra, nca, a, lda, 1, korder, qr, ldqr, hscal, hscal, scratch, tol, sa.data());
    if (N1RCD(1) != 0) {
        E1POP("DL2QRR");
        return;
    }
    // The columns left out stand behind those used, and no column beyond the row count is used.
    kbasis = std::min(used, std::min(nra, nca));
    if (kbasis > 0) {
        double unused = 0.0;
        DLQRSL(nra, kbasis, qr, ldqr, hscal, b, 110, &unused, res, x, res, &unused);
        if (N1RCD(1) != 0) {
            E1POP("DL2QRR");
            return;
        }
    }
    bool finite = true;
    if (covariance) {
        // inverse(R'R) of the columns used, as R's summary.lm forms it with chol2inv: from R
        // itself, so its accuracy follows the condition of the columns, not its square.
        std::fill(covariance, covariance + static_cast<long>(nca) * nca, 0.0);
        std::vector<double> inverse;
        try {
            inverse.resize(static_cast<size_t>(kbasis) * static_cast<size_t>(kbasis));
        } catch (const std::bad_alloc&) {
            MessageRowsColumns(2, kStorageMessage, nra, nca);
            E1POP("DL2QRR");
            return;
        }
        if (kbasis > 0) {
            InverseFromFactor(kbasis, qr, ldqr, inverse.data(), kbasis);
            if (N1RCD(1) != 0) {
                E1POP("DL2QRR");
                return;
            }
        }
        for (int j = 0; j < kbasis; ++j)
            for (int i = 0; i < kbasis; ++i) {
                double& c = covariance[static_cast<long>(korder[j] - 1) * nca + (korder[i] - 1)];
                c = inverse[static_cast<size_t>(j) * kbasis + i] * sa[korder[i] - 1] * sa[korder[j] - 1];
                finite = finite && std::isfinite(c);
            }
    }
    for (int j = kbasis; j < nca; ++j) x[j] = 0.0;
    DPERMU(nca, x, korder, 2, x);
    for (int j = 0; j < nca; ++j) {
        x[j] = x[j] * sa[j] / sb;
        finite = finite && std::isfinite(x[j]);
    }
    for (int i = 0; kbasis > 0 && i < nra; ++i) {
        res[i] /= sb;
        finite = finite && std::isfinite(res[i]);
    }
    if (!finite)
        E1MES(4, 6,
              "The solution is too large for double precision: the matrix is too nearly singular or too small beside "
              "the right-hand side.");
    E1POP("DL2QRR");
}

}  // namespace

void DLSQRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis)
{
    DLSQRR(nra, nca, a, lda, b, tol, x, res, kbasis, nullptr, nullptr);
}

void DLSQRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis, int* basisOrder)
{
    DLSQRR(nra, nca, a, lda, b, tol, x, res, kbasis, basisOrder, nullptr);
}

void DLSQRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis, int* basisOrder, double* covariance)
{
    E1PSH("DLSQRR");
    // This call works with the default padding and condition flag; the caller's settings come back.
    std::vector<int> kept;
    IUMAG("MATH", 1, 1, 2, {16, 17}, kept);
    if (kept.size() == 6) {
        std::vector<int> perCall = kept;
        perCall[2] = kept[0];
        perCall[3] = kept[1];
        perCall[5] = kept[4];
        IUMAG("MATH", 1, 2, 2, {16, 17}, perCall);
    }
    if (nra < 1 || nca < 1) {
        MessageRowsColumns(1, kPositiveHaveTo, nra, nca);
    } else {
        const int pad = (kept.size() == 6 && kept[1] >= 1 && nra % kept[1] == 0) ? kept[0] : 0;
        std::vector<double> qr, hscal, scratch;
        std::vector<int> korder;
        bool obtained = pad >= 0;
        try {
            qr.resize(static_cast<size_t>(nra + (pad > 0 ? pad : 0)) * static_cast<size_t>(nca));
            hscal.resize(static_cast<size_t>(nca));
            korder.resize(static_cast<size_t>(nca));
            scratch.resize(2 * static_cast<size_t>(nca) - 1);
        } catch (const std::bad_alloc&) {
            obtained = false;
        }
        if (!obtained) {
            MessageRowsColumns(2, kStorageMessage, nra, nca);
        } else {
            Solve(nra, nca, a, lda, b, tol, x, res, kbasis, qr.data(), hscal.data(), korder.data(), scratch.data(),
                  covariance);
            if (basisOrder) std::copy(korder.begin(), korder.end(), basisOrder);
        }
    }
    if (kept.size() == 6) IUMAG("MATH", 1, 2, 2, {16, 17}, kept);
    E1POP("DLSQRR");
}

void DL2QRR(int nra, int nca, const double* a, int lda, const double* b, double tol, double* x, double* res,
            int& kbasis, double* qr, double* hscal, int* korder, double* scratch)
{
    Solve(nra, nca, a, lda, b, tol, x, res, kbasis, qr, hscal, korder, scratch, nullptr);
}

void DL2RRR(int nra, int nca, const double* a, int lda, int pivot, int* korder, double* qr, int ldqr,
            double* hscal, double* cnorm, double* scratch)
{
    Factor(nra, nca, a, lda, pivot, korder, qr, ldqr, hscal, cnorm, scratch, 0.0);
}

void DLQRSL(int nra, int kbasis, double* qr, int ldqr, const double* hscal, const double* y, int ipath, double* qy,
            double* qty, double* b, double* rsd, double* xb)
{
    E1PSH("DLQRSL");
    if (nra < 1) {
        MsgSetInt(1, nra);
        E1MES(5, 1, "The number of rows of the input matrix must be positive while NRA = %(I1) is given.");
    } else if (ldqr < nra) {
        MessageRowsColumns(2, kLdqrMessage, nra, ldqr);
    } else if (kbasis < 1) {
        MsgSetInt(1, kbasis);
        E1MES(5, 3,
              "The number of columns of the submatrix AK of A must be positive while KBASIS = %(I1) is given.");
    } else if (ipath < 1 || ipath > 99999) {
        MsgSetInt(1, ipath);
        E1MES(5, 4, "Illegal format for IPATH.  IPATH must be between 1 and 99999 while a value of %(I1) is given.");
    }
    if (N1RCD(0) != 0) {
        E1POP("DLQRSL");
        return;
    }
    const bool wantQy = ipath / 10000 != 0;
    const bool wantQty = ipath % 10000 != 0;
    const bool wantB = ipath % 1000 / 100 != 0;
    const bool wantRsd = ipath % 100 / 10 != 0;
    const bool wantXb = ipath % 10 != 0;
    const int k = kbasis < nra - 1 ? kbasis : nra - 1;
    int singularAt = 0;
    const size_t bytes = sizeof(double) * static_cast<size_t>(nra);

    if (k == 0) {
        if (wantQty) qty[0] = y[0];
        if (wantQy) qy[0] = y[0];
        if (wantXb) xb[0] = y[0];
        if (wantRsd) rsd[0] = 0.0;
        if (wantB) {
            if (At(qr, ldqr, 1, 1) == 0.0) singularAt = 1;
            else b[0] = y[0] / At(qr, ldqr, 1, 1);
        }
    } else {
        if (wantQy) {
            std::memmove(qy, y, bytes);
            for (int j = k; j >= 1; --j) Reflect(nra, qr, ldqr, hscal, j, qy);
        }
        if (wantQty) {
            std::memmove(qty, y, bytes);
            for (int j = 1; j <= k; ++j) Reflect(nra, qr, ldqr, hscal, j, qty);
        }
        // qty may be the same array as rsd: take the solution part out before zeroing.
        if (wantB) std::memmove(b, qty, sizeof(double) * static_cast<size_t>(kbasis));
        if (wantRsd && rsd != qty) {
            for (int i = kbasis; i < nra; ++i) rsd[i] = qty[i];
        }
        if (wantXb) {
            for (int i = 0; i < kbasis && i < nra; ++i) xb[i] = qty[i];
        }
        if (wantRsd) {
            for (int i = 0; i < kbasis && i < nra; ++i) rsd[i] = 0.0;
        }
        if (wantXb) {
            for (int i = kbasis; i < nra; ++i) xb[i] = 0.0;
        }
        if (wantB) {
            for (int j = kbasis; j >= 1; --j) {
                const double diag = At(qr, ldqr, j, j);
                if (diag == 0.0) {
                    singularAt = j;
                    break;
                }
                b[j - 1] /= diag;
                if (j > 1) {
                    const int len = j - 1;
                    const double t = -b[j - 1];
                    daxpy_(&len, &t, &At(qr, ldqr, 1, j), &kOne, b, &kOne);
                }
            }
        }
        if (wantRsd || wantXb) {
            for (int j = k; j >= 1; --j) {
                if (wantRsd) Reflect(nra, qr, ldqr, hscal, j, rsd);
                if (wantXb) Reflect(nra, qr, ldqr, hscal, j, xb);
            }
        }
    }
    if (singularAt != 0) {
        MsgSetInt(1, singularAt);
        E1MES(4, 1,
              "Computation of the least squares solution has been requested but the upper triangular matrix R is "
              "exactly singular; the index of the first zero diagonal element of R is %(I1).");
    }
    E1POP("DLQRSL");
}

void DPERMU(int n, const double* x, int* ipermu, int ipath, double* xpermu)
{
    E1PSH("DPERMU");
    if (n < 1) {
        MsgSetInt(1, n);
        E1MES(5, 1, "The length of the arrays X and XPERMU must be positive while N = %(I1) is given.");
        E1POP("DPERMU");
        return;
    }
    if (ipath != 1 && ipath != 2) {
        MsgSetInt(1, ipath);
        E1MES(5, 2, "IPATH must be equal to 1 or 2 while a value of %(I1) is given.");
        E1POP("DPERMU");
        return;
    }
    if (xpermu != x) std::memmove(xpermu, x, sizeof(double) * static_cast<size_t>(n));
    if (n == 1) {
        E1POP("DPERMU");
        return;
    }
    for (int i = 1; i <= n; ++i) {
        if (ipermu[i - 1] < 1 || ipermu[i - 1] > n) {
            MsgSetInt(1, i);
            MsgSetInt(2, n);
            MsgSetInt(3, ipermu[i - 1]);
            E1MES(5, 3, "IPERMU(%(I1)) = %(I3) is not allowed.  It must be between 1 and N = %(I2).");
            E1POP("DPERMU");
            return;
        }
    }
    // Cycle by cycle, negating visited entries and restoring them at the end.
    for (int i = 1; i <= n; ++i) {
        if (ipermu[i - 1] < 0) continue;
        if (ipath == 1) {
            const double first = xpermu[i - 1];
            int j = i;
            for (;;) {
                const int k = ipermu[j - 1];
                ipermu[j - 1] = -k;
                if (k == i) {
                    xpermu[j - 1] = first;
                    break;
                }
                xpermu[j - 1] = xpermu[k - 1];
                j = k;
            }
        } else {
            double carried = xpermu[i - 1];
            int j = i;
            for (;;) {
                const int k = ipermu[j - 1];
                ipermu[j - 1] = -k;
                const double displaced = xpermu[k - 1];
                xpermu[k - 1] = carried;
                carried = displaced;
                if (k == i) break;
                j = k;
            }
        }
    }
    for (int i = 0; i < n; ++i) ipermu[i] = -ipermu[i];
    E1POP("DPERMU");
}
