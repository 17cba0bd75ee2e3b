#include "numlib/pd_inverse.h"

#include "numlib/error_stack.h"
#include "numlib/machine.h"
#include "platform/blas.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr int kOne = 1;

inline double& At(double* m, int ld, int i, int j)
{
    return m[static_cast<long>(j - 1) * ld + (i - 1)];
}
inline double At(const double* m, int ld, int i, int j)
{
    return m[static_cast<long>(j - 1) * ld + (i - 1)];
}

const char* const kOrderPositive = "The order of the matrix must be positive while N = %(I1) is given.";

// The shared checks of order and leading dimensions; true when they pass.
bool CheckOrder(int n, int lda, int ld2, const char* ld2Message)
{
    if (n < 1) {
        MsgSetInt(1, n);
        E1MES(5, 1, kOrderPositive);
        return false;
    }
    if (lda < n) {
        MsgSetInt(1, n);
        MsgSetInt(2, lda);
        E1MES(5, 2,
              "The order of the matrix must be less than or equal to its leading dimension while N = %(I1) and LDA = "
              "%(I2) are given.");
        return false;
    }
    if (ld2 < n) {
        MsgSetInt(1, n);
        MsgSetInt(2, ld2);
        E1MES(5, 3, ld2Message);
        return false;
    }
    return true;
}

const char* const kLdainvMessage =
    "The order of the matrix must be less than or equal to its leading dimension while N = %(I1) and LDAINV = %(I2) "
    "are given.";
const char* const kLdfacMessage =
    "The order of the matrix must be less than or equal to its leading dimension while N = %(I1) and LDFAC = %(I2) "
    "are given.";

double TinyThreshold()
{
    return DMACH(1) * DMACH(2) <= 1.0 ? 1.0 / DMACH(2) : DMACH(1);
}

void ScaleVector(int n, double s, double* z)
{
    dscal_(&n, &s, z, &kOne);
}

}  // namespace

void DLINDS(int n, const double* a, int lda, double* ainv, int ldainv)
{
    E1PSH("DLINDS");
    if (n < 1) {
        MsgSetInt(1, n);
        E1MES(5, 1, "The order of the matrix must be positive while N = %(i1) is given.");
    } else {
        std::vector<double> wk;
        bool obtained = true;
        try {
            wk.resize(static_cast<size_t>(n));
        } catch (const std::bad_alloc&) {
            obtained = false;
        }
        if (!obtained) {
            MsgSetInt(1, n);
            E1MES(5, 2, "The required storage cannot be allocated.  The workspace is based on N, where N = %(i1).");
        } else {
            DL2NDS(n, a, lda, ainv, ldainv, wk.data());
        }
    }
    E1POP("DLINDS");
}

void DL2NDS(int n, const double* a, int lda, double* ainv, int ldainv, double* wk)
{
    E1PSH("DL2NDS");
    if (!CheckOrder(n, lda, ldainv, kLdainvMessage)) {
        E1POP("DL2NDS");
        return;
    }
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= j; ++i)
            if (!std::isfinite(At(a, lda, i, j))) {
                MsgSetInt(1, i);
                MsgSetInt(2, j);
                E1MES(5, 5, "A(%(I1),%(I2)) is not a finite number.  Every element of the upper triangle must be finite.");
                E1POP("DL2NDS");
                return;
            }
    double rcond = 1.0;
    DL2CDS(n, a, lda, ainv, ldainv, rcond, wk);
    if (N1RTY(1) == 4 || N1RTY(1) == 5) {
        E1POP("DL2NDS");
        return;
    }
    InverseFromFactor(n, ainv, ldainv, ainv, ldainv);
    if (N1RCD(1) != 0) {
        E1POP("DL2NDS");
        return;
    }
    if (rcond <= DMACH(4)) {
        MsgSetReal(1, rcond);
        E1MES(3, 1,
              "The matrix is too ill-conditioned. An estimate of the reciprocal of its L1 condition number is RCOND = "
              "%(D1).  The inverse might not be accurate.");
    }
    // The inverse of a matrix of very small elements overflows.
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i)
            if (!std::isfinite(At(ainv, ldainv, i, j))) {
                E1MES(4, 6, "The inverse has elements too large for double precision.  The matrix is too nearly singular or its elements are too small.");
                E1POP("DL2NDS");
                return;
            }
    E1POP("DL2NDS");
}

void InverseFromFactor(int n, const double* r, int ldr, double* ainv, int ldainv)
{
    DLINRT(n, r, ldr, 2, ainv, ldainv);
    if (N1RCD(1) != 0) return;
    // inv(R'R) = inv(R) inv(R)': column j adds its outer product to the leading block, then scales.
    const double one = 1.0;
    for (int j = 1; j <= n; ++j) {
        const int lead = j - 1;
        if (lead > 0) dsyr_("U", &lead, &one, &At(ainv, ldainv, 1, j), &kOne, ainv, &ldainv, 1);
        const double diag = At(ainv, ldainv, j, j);
        ScaleVector(j, diag, &At(ainv, ldainv, 1, j));
    }
    DCSFRG(n, ainv, ldainv);
}

void DL2CDS(int n, const double* a, int lda, double* fac, int ldfac, double& rcond, double* wk)
{
    E1PSH("DL2CDS");
    if (!CheckOrder(n, lda, ldfac, kLdfacMessage)) {
        E1POP("DL2CDS");
        return;
    }
    rcond = 1.0;
    std::vector<int> option;
    IUMAG("MATH", 1, 1, 1, {17}, option);
    const int flag = option.size() == 2 ? option[1] : 0;
    if (flag != 1 && flag != 2) {
        MsgSetInt(1, flag);
        E1MES(5, 4, "The flag value for computing the matrix condition number must be 1 or 2 while %(I1) is given.");
        E1POP("DL2CDS");
        return;
    }
    double anorm = 0.0;
    if (flag == 2) {
        // Column sums of the symmetric matrix from its upper triangle (read before fac may overwrite a).
        for (int j = 1; j <= n; ++j) {
            double sum = 0.0;
            for (int i = 1; i <= j; ++i) sum += std::fabs(At(a, lda, i, j));
            for (int k = j + 1; k <= n; ++k) sum += std::fabs(At(a, lda, j, k));
            if (sum > anorm) anorm = sum;
        }
    }
    DLFTDS(n, a, lda, fac, ldfac);
    if (N1RCD(1) != 0) {
        E1POP("DL2CDS");
        return;
    }
    if (flag == 2) {
        const double tau = TinyThreshold();
        double* z = wk;
        auto r = [&](int i, int j) { return At(fac, ldfac, i, j); };
        auto asum = [&]() { return dasum_(&n, z, &kOne); };

        // Solve R'w = e, choosing e of +-1 entries so that w grows.
        for (int i = 0; i < n; ++i) z[i] = 0.0;
        double e = 1.0;
        for (int k = 1; k <= n; ++k) {
            if (z[k - 1] != 0.0) e = std::copysign(std::fabs(e), -z[k - 1]);
            if (std::fabs(e - z[k - 1]) > r(k, k)) {
                const double s = r(k, k) / std::fabs(e - z[k - 1]);
                ScaleVector(n, s, z);
                e *= s;
            }
            double p = e - z[k - 1];
            double q = -e - z[k - 1];
            double sp = std::fabs(p);
            double sq = std::fabs(q);
            if (std::fabs(r(k, k)) > tau) {
                p /= r(k, k);
                q /= r(k, k);
            }
            for (int j = k + 1; j <= n; ++j) {
                sq += std::fabs(z[j - 1] + q * r(k, j));
                z[j - 1] += p * r(k, j);
                sp += std::fabs(z[j - 1]);
            }
            if (sp < sq) {
                const double t = q - p;
                for (int j = k + 1; j <= n; ++j) z[j - 1] += t * r(k, j);
                p = q;
            }
            z[k - 1] = p;
        }
        ScaleVector(n, 1.0 / asum(), z);

        double g = 1.0;
        auto backSolve = [&](bool scaleG) {
            for (int k = n; k >= 1; --k) {
                if (std::fabs(z[k - 1]) > r(k, k)) {
                    const double s = r(k, k) / std::fabs(z[k - 1]);
                    ScaleVector(n, s, z);
                    if (scaleG) g *= s;
                }
                if (std::fabs(r(k, k)) > tau) z[k - 1] /= r(k, k);
                const int len = k - 1;
                const double t = -z[k - 1];
                if (len > 0) daxpy_(&len, &t, &At(fac, ldfac, 1, k), &kOne, z, &kOne);
            }
        };
        backSolve(false);  // R y = z
        ScaleVector(n, 1.0 / asum(), z);
        g = 1.0;

        for (int k = 1; k <= n; ++k) {  // R'v = y
            const int len = k - 1;
            if (len > 0) z[k - 1] -= ddot_(&len, &At(fac, ldfac, 1, k), &kOne, z, &kOne);
            if (std::fabs(z[k - 1]) > r(k, k)) {
                const double s = r(k, k) / std::fabs(z[k - 1]);
                ScaleVector(n, s, z);
                g *= s;
            }
            if (std::fabs(r(k, k)) > tau) z[k - 1] /= r(k, k);
        }
        double s = 1.0 / asum();
        ScaleVector(n, s, z);
        g *= s;

        backSolve(true);  // R z = v
        s = 1.0 / asum();
        ScaleVector(n, s, z);
        g *= s;

        if (anorm != 0.0) rcond = g / anorm;
        if (rcond <= DMACH(4)) {
            MsgSetReal(1, rcond);
            E1MES(3, 1,
                  "The matrix is algorithmically singular.  An estimate of the reciprocal of its L1 condition number "
                  "is RCOND = %(D1).");
        }
    }
    E1POP("DL2CDS");
}

void DLFTDS(int n, const double* a, int lda, double* fac, int ldfac)
{
    E1PSH("DLFTDS");
    if (!CheckOrder(n, lda, ldfac, kLdfacMessage)) {
        E1POP("DLFTDS");
        return;
    }
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= j; ++i) At(fac, ldfac, i, j) = At(a, lda, i, j);
    }
    for (int j = 1; j <= n; ++j) {
        for (int i = j + 1; i <= n; ++i) At(fac, ldfac, i, j) = At(fac, ldfac, j, i);
    }
    const double minusOne = -1.0;
    for (int j = 1; j <= n; ++j) {
        double& diag = At(fac, ldfac, j, j);
        if (diag <= 0.0) {
            MsgSetInt(1, j);
            E1MES(4, 2, "The leading %(I1) by %(I1) submatrix of the input matrix is not positive definite.");
            break;
        }
        diag = std::sqrt(diag);
        const int rest = n - j;
        if (rest > 0) {
            // Row j right of the diagonal, then the trailing upper triangle less its outer product.
            const double inverse = 1.0 / diag;
            dscal_(&rest, &inverse, &At(fac, ldfac, j, j + 1), &ldfac);
            dsyr_("U", &rest, &minusOne, &At(fac, ldfac, j, j + 1), &ldfac, &At(fac, ldfac, j + 1, j + 1), &ldfac, 1);
        }
    }
    E1POP("DLFTDS");
}

void DLINRT(int n, const double* a, int lda, int ipath, double* ainv, int ldainv)
{
    E1PSH("DLINRT");
    if (!CheckOrder(n, lda, ldainv, kLdainvMessage)) {
        E1POP("DLINRT");
        return;
    }
    if (ipath != 1 && ipath != 2) {
        MsgSetInt(1, ipath);
        E1MES(5, 4, "IPATH must be either 1 or 2 while a value of %(I1) is given.");
        E1POP("DLINRT");
        return;
    }
    const double tau = DMACH(1) * DMACH(2) < 1.0 ? 1.0 / DMACH(2) : DMACH(1);
    const bool upper = ipath == 2;
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            const bool inTriangle = upper ? i <= j : i >= j;
            At(ainv, ldainv, i, j) = inTriangle ? At(a, lda, i, j) : 0.0;
        }
    }
    int singularAt = 0;
    if (upper) {
        for (int j = 1; j <= n; ++j) {
            double& diag = At(ainv, ldainv, j, j);
            if (std::fabs(diag) <= tau) {
                singularAt = j;
                break;
            }
            diag = 1.0 / diag;
            const int lead = j - 1;
            const double d = diag;
            if (lead > 0) ScaleVector(lead, -d, &At(ainv, ldainv, 1, j));
            const int rest = n - j;
            if (rest > 0) {
                const double one = 1.0;
                if (lead > 0) {
                    dger_(&lead, &rest, &one, &At(ainv, ldainv, 1, j), &kOne, &At(ainv, ldainv, j, j + 1), &ldainv,
                          &At(ainv, ldainv, 1, j + 1), &ldainv);
                }
                dscal_(&rest, &d, &At(ainv, ldainv, j, j + 1), &ldainv);
            }
        }
    } else {
        for (int j = n; j >= 1; --j) {
            double& diag = At(ainv, ldainv, j, j);
            if (std::fabs(diag) <= tau) {
                singularAt = j;
                break;
            }
            diag = 1.0 / diag;
            const double d = diag;
            const int below = n - j;
            if (below > 0) ScaleVector(below, -d, &At(ainv, ldainv, j + 1, j));
            const int lead = j - 1;
            if (lead > 0) {
                const double one = 1.0;
                if (below > 0) {
                    dger_(&below, &lead, &one, &At(ainv, ldainv, j + 1, j), &kOne, &At(ainv, ldainv, j, 1), &ldainv,
                          &At(ainv, ldainv, j + 1, 1), &ldainv);
                }
                dscal_(&lead, &d, &At(ainv, ldainv, j, 1), &ldainv);
            }
        }
    }
    if (singularAt != 0) {
        MsgSetInt(1, singularAt);
        E1MES(5, 5, "The matrix to be inverted is singular.  The index of the first zero diagonal element of A is %(I1).");
    }
    E1POP("DLINRT");
}

void DCSFRG(int n, double* a, int lda)
{
    E1PSH("DCSFRG");
    if (n < 1) {
        MsgSetInt(1, n);
        E1MES(5, 1, "N = %(I1).  The order of A, N, must be greater than 0.");
    } else if (lda < n) {
        MsgSetInt(1, n);
        MsgSetInt(2, lda);
        E1MES(5, 2,
              "N = %(I1) and LDA = %(I2).  The order of A, N, must be less than or equal to the leading dimension of "
              "A, LDA.");
    } else {
        for (int j = 1; j < n; ++j) {
            for (int i = j + 1; i <= n; ++i) At(a, lda, i, j) = At(a, lda, j, i);
        }
    }
    E1POP("DCSFRG");
}
