#include "numlib/periodogram.h"

#include "numlib/error_stack.h"
#include "numlib/fft.h"
#include "numlib/fft_plan.h"
#include "numlib/finite_values.h"
#include "numlib/machine.h"
#include "numlib/matrix_print.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <cmath>
#include <new>

namespace {
constexpr double kTwoPi = 6.283185307179586;

// The transform of z(t) = x(t) - xbase, t < nobs, followed by zeros, in place in cx with cy as
// work space (cwork is never touched: at a million points fresh pages cost as much as the
// arithmetic); false when a transform routine raised an error. An even length goes through the
// complex transform of half its length, z packed two values to a complex, which leaves the packed
// transform Z(0..n/2-1) for FftRealSplitEach; an odd length through the full transform of
// (z(t), 0). Afterwards ftab holds the roots of order n. The transform is linear: a series near
// the ends of the double range is transformed multiplied by the power of two `range`, which the
// caller divides out again.
bool PeriodogramTransform(int nobs, const double* x, double xbase, int n, double* cx, double* cy, double* ftab,
                          FftRootTable& roots, double& range)
{
    // The transform routines push their names only around an error, so a level above left at -1
    // (nothing ran there) is a success too.
    const int length = n % 2 == 0 ? n / 2 : n;
    if (n % 2 == 0) {
        // Packed, the series is simply its n values in a row.
        for (int t = 0; t < nobs; ++t) cx[t] = x[t] - xbase;
        std::fill(cx + nobs, cx + n, 0.0);
    } else {
        for (int t = 0; t < nobs; ++t) {
            cx[2 * t] = x[t] - xbase;
            cx[2 * t + 1] = 0.0;
        }
        if (n > nobs) FillComplex(n - nobs, 0.0, 0.0, cx + 2L * nobs, 1);
    }
    const int step = n % 2 == 0 ? 1 : 2;
    range = RangeScale(cx, step, 1, nobs);
    if (range != 1.0)
        for (int t = 0; t < nobs; ++t) cx[static_cast<long>(step) * t] *= range;
    DFFTCI(length, ftab);
    if (N1RCD(1) > 0) return false;
    DF2TCF(length, cx, cx, ftab, cy);
    if (N1RCD(1) > 0) return false;
    // Frequency 0 of a real series is real; a chirp-z transform would leave rounding noise there.
    if (n % 2 == 1) cx[1] = 0.0;
    roots = FftRootTableInit(n, reinterpret_cast<FftComplex*>(ftab));
    return true;
}

// The doubles of each work area that DP2FT uses for a transform of length n; the sizes its
// interface asks of callers (2n, 2n, 4n+15, 2n) are upper bounds. An even length needs half of
// cx, cy and ftab: its transform has length n/2.
struct WorkSizes {
    size_t cx, cy, ftab, cwork;
};
WorkSizes PeriodogramWorkSizes(size_t n)
{
    if (n % 2 == 0) return {n, n + 2, 2 * n + 15, 1};
    return {2 * n, 2 * n, 4 * n + 15, 1};
}

}  // namespace

int IDANAN(int n, const double* x, int incx)
{
    if (n < 0 || incx < 0) {
        E1PSH("IDANAN");
        if (n < 0) {
            MsgSetInt(1, n);
            E1MES(5, 1, " The length of the input vector is %(I1).  The length must be non-negative.");
        } else {
            MsgSetInt(1, incx);
            E1MES(5, 2,
                  " The length of the incrementation of the input vector is %(I1).  The incrementation must be "
                  "non-negative.");
        }
        E1POP("IDANAN");
        return 0;
    }
    if (n == 0 || incx == 0) return 0;
    // A NaN is the one value unequal to itself; the comparison inlines where IsNaN would be a
    // call for every element.
    for (int i = 0; i < n; ++i) {
        const double v = x[static_cast<long>(i) * incx];
        if (v != v) return i + 1;
    }
    return 0;
}

void FillComplex(int n, double re, double im, double* x, int incx)
{
    if (incx < 1) return;
    for (int i = 0; i < n; ++i) {
        x[2L * i * incx] = re;
        x[2L * i * incx + 1] = im;
    }
}

void DPFFT(int nobs, const double* x, int iprint, double xbase, int npad, int ifscal, int ipver, double* pm,
           int ldpm)
{
    E1PSH("DPFFT");
    if (nobs < 2 || npad < 0) {
        MsgSetInt(1, nobs);
        MsgSetInt(2, npad);
        E1MES(5, 1, "NOBS = %(I1) and NPAD = %(I2).  NOBS must be 2 or more and NPAD must be 0 or more.");
        E1POP("DPFFT");
        return;
    }
    // Every work area is written before it is read, so none is cleared: at a million points the
    // clearing would cost more than the transform. Each gets what DP2FT uses of it.
    std::unique_ptr<double[]> cx, cy, ftab, cwork;
    bool obtained = npad <= (INT_MAX - 15) / 4 - nobs;  // 4N+15 must stay an int
    if (obtained) {
        const WorkSizes size = PeriodogramWorkSizes(static_cast<size_t>(nobs) + static_cast<size_t>(npad));
        cx.reset(new (std::nothrow) double[size.cx]);
        cy.reset(new (std::nothrow) double[size.cy]);
        ftab.reset(new (std::nothrow) double[size.ftab]);
        cwork.reset(new (std::nothrow) double[size.cwork]);
        obtained = cx && cy && ftab && cwork;
    }
    if (!obtained) {
        MsgSetInt(1, nobs);
        MsgSetInt(2, npad);
        E1MES(5, 2, "The required storage cannot be allocated based on NOBS = %(I1) and NPAD = %(I2).");
        E1POP("DPFFT");
        return;
    }
    const int n = nobs + npad;
    if (ldpm < n / 2 + 1) {
        MsgSetInt(1, n / 2 + 1);
        MsgSetInt(2, ldpm);
        E1MES(5, 7, "LDPM = %(I2).  LDPM must be greater than or equal to INT(N/2)+1 = %(I1).");
    } else {
        DP2FT(nobs, x, iprint, xbase, npad, ifscal, ipver, pm, ldpm, cx.get(), cy.get(), ftab.get(), cwork.get());
    }
    E1POP("DPFFT");
}

void DP2FT(int nobs, const double* x, int iprint, double xbase, int npad, int ifscal, int ipver, double* pm,
           int ldpm, double* cx, double* cy, double* ftab, double* /*cwork*/)
{
    // cwork stays in the interface for callers that hold the four work areas; the transform runs
    // in cx and cy alone.
    E1PSH("DP2FT");
    const int n = nobs + npad;
    // Every check runs, each reporting its own error.
    if (nobs < 2) {
        MsgSetInt(1, nobs);
        E1MES(5, 1, "NOBS = %(I1).  NOBS must be 2 or more.");
    } else {
        const int first = IDANAN(nobs, x, 1);
        if (first > 0) {
            MsgSetInt(1, first);
            E1MES(5, 2,
                  "X(%(I1)) = NaN (not a number).  No elements of X may be missing.  There may be other elements "
                  "of X equal to NaN.");
        } else {
            for (int t = 0; t < nobs; ++t)
                if (std::isinf(x[t]) || !std::isfinite(x[t] - xbase)) {
                    MsgSetInt(1, t + 1);
                    E1MES(5, 8, "X(%(I1)) - XBASE is not finite.  Every element of X and XBASE must be finite.");
                    break;
                }
        }
    }
    if (iprint != 0 && iprint != 1) {
        MsgSetInt(1, iprint);
        E1MES(5, 3, "IPRINT = %(I1).  IPRINT must be 0 or 1.");
    }
    if (npad < 0) {
        MsgSetInt(1, npad);
        E1MES(5, 4, "NPAD = %(I1).  NPAD must be 0 or more.");
    }
    if (ipver != 0 && ipver != 1) {
        MsgSetInt(1, ipver);
        E1MES(5, 5, "IPVER = %(I1).  IPVER must be 0 or 1.");
    }
    if (ifscal != 0 && ifscal != 1) {
        MsgSetInt(1, ifscal);
        E1MES(5, 6, "IFSCAL = %(I1).  IFSCAL must be 0 or 1.");
    }
    if (ldpm < n / 2 + 1) {
        MsgSetInt(1, n / 2 + 1);
        MsgSetInt(2, ldpm);
        E1MES(5, 7, "LDPM = %(I2).  LDPM must be greater than or equal to INT(N/2)+1 = %(I1).");
    }
    if (N1RCD(0) != 0) {
        E1POP("DP2FT");
        return;
    }

    FftRootTable roots;
    double range = 1.0;
    if (!PeriodogramTransform(nobs, x, xbase, n, cx, cy, ftab, roots, range)) {
        E1POP("DP2FT");
        return;
    }
    // The scale of the ordinates, with the power of two of the transformed series divided out
    // (exactly: it is a power of two).
    const double s = (ipver == 0 ? std::sqrt(2.0 / nobs) : std::sqrt(1.0 / (kTwoPi * nobs))) / range;
    const long ld = ldpm;
    // Frequencies and periods in a loop of their own, which the compiler can vectorise.
    pm[ld] = DMACH(6);
    for (int k = 0; k <= n / 2; ++k) {
        double freq = static_cast<double>(k) / n;
        if (ifscal == 0) freq *= kTwoPi;
        pm[k] = freq;
    }
    for (int k = 1; k <= n / 2; ++k) pm[ld + k] = static_cast<double>(n) / k;
    // Columns 3 to 5 of row k from the transform X(k) and w = exp(-i theta), theta = 2 pi k/n,
    // which moves the time origin from t = 0 to t = 1.
    const auto row = [&](std::ptrdiff_t k, FftComplex value, FftComplex w) {
        const double a = s * (value.re * w.re - value.im * w.im);
        const double b = -(s * (value.re * w.im + value.im * w.re));
        pm[3 * ld + k] = a;
        pm[4 * ld + k] = b;
        pm[2 * ld + k] = pm[4 * ld + k] * pm[4 * ld + k] + pm[3 * ld + k] * pm[3 * ld + k];
    };
    const FftComplex* X = reinterpret_cast<const FftComplex*>(cx);
    if (n % 2 == 0) {
        FftRealSplitEach(n / 2, X, roots, row);
    } else {
        for (int k = 0; k <= n / 2; ++k) row(k, X[k], roots.Root(k));
    }
    // Ordinates are squares: values near the top of the range overflow them.
    for (int k = 0; k <= n / 2; ++k)
        if (!std::isfinite(pm[2 * ld + k]) || !std::isfinite(pm[3 * ld + k]) || !std::isfinite(pm[4 * ld + k])) {
            E1MES(4, 9, "The periodogram ordinates are too large for double precision.");
            E1POP("DP2FT");
            return;
        }
    if (iprint == 1) {
        DW2RRL("Results of the Periodogram Analysis", n / 2 + 1, 5, pm, ldpm, 0, "(W10.4,F10.2,3W10.4)", {"NUMBER"},
               {"          ", "Freq, w(k)", "Period    ", "I(w(k))   ", "A(w(k))   ", "B(w(k))   "});
    }

    E1POP("DP2FT");
}
