#include "numlib/periodogram.h"

#include "numlib/error_stack.h"
#include "numlib/fft.h"
#include "numlib/finite_values.h"
#include "numlib/machine.h"
#include "numlib/matrix_print.h"

#include <climits>
#include <memory>
#include <cmath>
#include <new>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

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
    for (int i = 0; i < n; ++i) {
        if (IsNaN(x[static_cast<long>(i) * incx])) return i + 1;
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
    // clearing would cost more than the transform.
    std::unique_ptr<double[]> cx, cy, ftab, cwork;
    bool obtained = npad <= (INT_MAX - 15) / 4 - nobs;  // 4N+15 must stay an int
    if (obtained) {
        const size_t n = static_cast<size_t>(nobs) + static_cast<size_t>(npad);
        cx.reset(new (std::nothrow) double[2 * n]);
        cy.reset(new (std::nothrow) double[2 * n]);
        ftab.reset(new (std::nothrow) double[4 * n + 15]);
        cwork.reset(new (std::nothrow) double[2 * n]);
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
           int ldpm, double* cx, double* cy, double* ftab, double* cwork)
{
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

    // The transform is linear: a series near the ends of the double range is transformed scaled
    // by a power of two, and A and B are scaled back.
    for (int t = 0; t < nobs; ++t) {
        cx[2 * t] = x[t] - xbase;
        cx[2 * t + 1] = 0.0;
    }
    const double range = RangeScale(cx, 2, 1, nobs);
    for (int t = 0; t < nobs; ++t) cx[2 * t] *= range;
    if (npad > 0) FillComplex(npad, 0.0, 0.0, cx + 2L * nobs, 1);
    // The transform routines push their names only around an error, so a level above left at -1
    // (nothing ran there) is a success too.
    DFFTCI(n, ftab);
    if (N1RCD(1) > 0) {
        E1POP("DP2FT");
        return;
    }
    DF2TCF(n, cx, cy, ftab, cwork);
    if (N1RCD(1) > 0) {
        E1POP("DP2FT");
        return;
    }

    const double s = ipver == 0 ? std::sqrt(2.0 / nobs) : std::sqrt(1.0 / (kTwoPi * nobs));
    const long ld = ldpm;
    for (int k = 0; k <= n / 2; ++k) {
        double freq = static_cast<double>(k) / n;
        if (ifscal == 0) freq *= kTwoPi;
        pm[k] = freq;
        // Moving the time origin from t = 0 to t = 1: multiply by exp(-i theta).
        const double theta = static_cast<double>(k) / n * kTwoPi;
        const double c = std::cos(theta);
        const double sn = -std::sin(theta);
        const double re = cy[2 * k];
        const double im = cy[2 * k + 1];
        const double a = s * (re * c - im * sn) / range;
        const double b = -(s * (re * sn + im * c)) / range;
        pm[ld + k] = k > 0 ? static_cast<double>(n) / k : DMACH(6);
        pm[3 * ld + k] = a;
        pm[4 * ld + k] = b;
        pm[2 * ld + k] = pm[4 * ld + k] * pm[4 * ld + k] + pm[3 * ld + k] * pm[3 * ld + k];
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
