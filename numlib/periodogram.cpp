#include "numlib/periodogram.h"

#include "numlib/error_stack.h"
#include "numlib/fft.h"
#include "numlib/fft_plan.h"
#include "numlib/kept_record.h"
#include "numlib/finite_values.h"
#include "numlib/machine.h"
#include "numlib/matrix_print.h"
#include "numlib/periodogram_kernels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <new>

namespace {
constexpr double kTwoPi = 6.283185307179586;

using Index = std::ptrdiff_t;

// What a transform of one length needs besides its work areas: the engine's plan and root store
// for the complex transform (of length n/2 for even n, of n for odd n) and the roots of order n
// that move the time origin and split the packed transform. The record of the last length is
// kept for the next call: a view that is refreshed and a fit that is repeated transform the same
// length again, and the roots, rounded from extended precision, cost more than a short transform.
// A record larger than kKeepBytes is not kept.
struct RealTransform {
    int n = 0;
    FftPlan plan;
    std::unique_ptr<FftComplex[]> store;
    FftComplex* roots = nullptr;  // plan.rootCount values
    FftRootTable table;           // roots of order n
    // For an even n, exp(-2πi·k/n) for k = 0..n/4 apart into real and imaginary parts, so that
    // the rows read them four at a time.
    std::unique_ptr<double[]> rootParts;
    const double* wr = nullptr;
    const double* wi = nullptr;
    std::size_t bytes = 0;
};

constexpr std::size_t kKeepBytes = std::size_t{64} << 20;

KeptRecord<RealTransform>& Keeper()
{
    static KeptRecord<RealTransform> keeper;
    return keeper;
}

// The record of length n: the kept one, or a new one (nullptr when its space cannot be obtained).
std::unique_ptr<RealTransform> TakeRealTransform(int n)
{
    if (std::unique_ptr<RealTransform> kept = Keeper().Take([n](const RealTransform& r) { return r.n == n; }))
        return kept;
    std::unique_ptr<RealTransform> r(new (std::nothrow) RealTransform);
    if (!r) return nullptr;
    r->n = n;
    FftPlanInit(r->plan, n % 2 == 0 ? n / 2 : n);
    const Index count = r->plan.rootCount + FftRootTableSize(n);
    r->store.reset(new (std::nothrow) FftComplex[static_cast<std::size_t>(count)]);
    if (!r->store) return nullptr;
    r->bytes = sizeof(FftComplex) * static_cast<std::size_t>(count);
    r->roots = r->store.get();
    // The roots of order n serve the transform of n/2 too: W(n/2)^m = W(n)^2m.
    r->table = FftRootTableInit(n, r->roots + r->plan.rootCount);
    FftPlanRootsFrom(r->plan, r->roots, r->table);
    if (n % 2 == 0) {
        const Index parts = n / 4 + 1;
        r->rootParts.reset(new (std::nothrow) double[2 * static_cast<std::size_t>(parts)]);
        if (!r->rootParts) return nullptr;
        r->bytes += 2 * sizeof(double) * static_cast<std::size_t>(parts);
        double* wr = r->rootParts.get();
        double* wi = wr + parts;
        for (Index k = 0; k < parts; ++k) {
            const FftComplex w = r->table.Root(k);
            wr[k] = w.re;
            wi[k] = w.im;
        }
        r->wr = wr;
        r->wi = wi;
    }
    return r;
}

void KeepRealTransform(std::unique_ptr<RealTransform> r)
{
    Keeper().Keep(std::move(r), kKeepBytes);
}

// The doubles of each work area that DP2FT uses for a transform of length n; the sizes its
// interface asks of callers (2n, 2n, 4n+15, 2n) are upper bounds. An even length needs half of
// cx and cy (its transform has length n/2) and of ftab only the engine's scratch.
struct WorkSizes {
    size_t cx, cy, ftab, cwork;
};
WorkSizes PeriodogramWorkSizes(int n)
{
    FftPlan plan;
    FftPlanInit(plan, n % 2 == 0 ? n / 2 : n);
    const size_t scratch = 2 * static_cast<size_t>(plan.scratchCount) + 1;
    const size_t length = static_cast<size_t>(n);
    if (n % 2 == 0) return {length, length + 2, scratch, 1};
    return {2 * length, 2 * length, scratch, 1};
}

// z(t) = x(t) - xbase into cx(kStep·t), t < nobs (with 0 in cx(2t+1) when kStep is 2), in one
// pass that returns the sum of |z(t)|: a NaN or infinite z makes it NaN or infinite, and when it
// lies between nobs·2^-400 and 2^400 (or is 0) the largest |z| lies where RangeScale leaves the
// series alone, so that an ordinary series needs no pass of its own for either test. Four
// partial sums keep the additions independent.
template <int kStep>
double CentreInto(int nobs, const double* x, double xbase, double* cx)
{
    double sum[4] = {0.0, 0.0, 0.0, 0.0};
    int t = 0;
    for (; t + 4 <= nobs; t += 4)
        for (int l = 0; l < 4; ++l) {
            const double z = x[t + l] - xbase;
            cx[kStep * static_cast<Index>(t + l)] = z;
            if (kStep == 2) cx[2 * static_cast<Index>(t + l) + 1] = 0.0;
            sum[l] += std::fabs(z);
        }
    for (; t < nobs; ++t) {
        const double z = x[t] - xbase;
        cx[kStep * static_cast<Index>(t)] = z;
        if (kStep == 2) cx[2 * static_cast<Index>(t) + 1] = 0.0;
        sum[0] += std::fabs(z);
    }
    return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

double Centre(int nobs, const double* x, double xbase, int step, double* cx)
{
    return step == 1 ? CentreInto<1>(nobs, x, xbase, cx) : CentreInto<2>(nobs, x, xbase, cx);
}

// Rows 0..h of columns 3 to 5 (I, A, B) of an even length n = 2h from the packed transform Z (h
// values) of z(t) = x(2t) + i·x(2t+1): with E and O the transforms of the even and odd samples,
// Z(k) = E(k) + i·O(k) and conj Z(h-k) = E(k) - i·O(k), X(k) = E(k) + w·O(k) with w = exp(-iθ),
// θ = 2πk/n, and the row is s·X(k)·w (A its real part, B its imaginary part negated). Rows k and
// h-k share their root, w(h-k) = -conj w(k): with P = 2E(k)·w and Q = w²·2O(k), row k is
// (s/2)(P + Q) and row h-k is -(s/2)·conj(P - Q). Row 0 has w = 1, row h w = -1 and row h/2
// w = -i, exactly. wr and wi hold w(k) for k <= h/2. Returns false when an ordinate is not
// finite (then A or B is not either).
bool EvenRows(Index h, const FftComplex* Z, const double* wr, const double* wi, double s, double* I, double* A,
              double* B)
{
    const double half = 0.5 * s;
    bool finite = true;
    const auto put = [&](Index k, double a, double b) {
        A[k] = a;
        B[k] = b;
        I[k] = b * b + a * a;
        finite &= I[k] <= std::numeric_limits<double>::max();
    };
    const Index last = (h - 1) / 2;  // the pairs are k = 1..last
    Index k = 1;
#if defined(VESK_FFT_WIDE)
    if (FftWideAvailable() && last >= 4) {
        const Index count = last - last % 4;
        finite = PeriodogramPairsWide(h, 1, count, Z, wr, wi, half, I, A, B);
        k += count;
    }
#endif
    for (; k <= last; ++k) {
        const FftComplex u = Z[k], v = Z[h - k];
        const double er = u.re + v.re, ei = u.im - v.im;  // 2E
        const double orr = u.im + v.im, oi = v.re - u.re;  // 2O = -i·(u - conj v)
        const double cr = wr[k], ci = wi[k];
        const double pr = er * cr - ei * ci, pi = er * ci + ei * cr;
        const double w2r = cr * cr - ci * ci, w2i = 2.0 * (cr * ci);
        const double qr = orr * w2r - oi * w2i, qi = orr * w2i + oi * w2r;
        put(k, half * (pr + qr), -(half * (pi + qi)));
        put(h - k, -(half * (pr - qr)), -(half * (pi - qi)));
    }
    // The rows whose roots are exact. Their zeros keep the signs they have always been printed
    // with: B(0) = -(s·0), and an A(h/2) that is exactly 0 is +0.
    const FftComplex z0 = Z[0];
    put(0, s * (z0.re + z0.im), -(s * 0.0));
    if (h % 2 == 0) put(h / 2, 0.0 - s * Z[h / 2].im, s * Z[h / 2].re);
    put(h, -(s * (z0.re - z0.im)), 0.0);
    return finite;
}

// Columns 1 and 2 for k = 0..rows-1: freq(k) = k/n, times 2π when radians is set, and
// period(k) = n/k, NaN at k = 0.
void Axes(int n, int rows, bool radians, double* freq, double* period)
{
    int k = 0;
#if defined(VESK_FFT_WIDE)
    if (FftWideAvailable()) {
        k = rows - rows % 4;
        PeriodogramAxesWide(n, k, radians, freq, period);
    }
#endif
    for (; k < rows; ++k) {
        double f = static_cast<double>(k) / n;
        if (radians) f *= kTwoPi;
        freq[k] = f;
        if (k > 0) period[k] = static_cast<double>(n) / k;
    }
    period[0] = DMACH(6);
}

// The same for an odd length n from its full transform X (rows 0..(n-1)/2).
bool OddRows(Index n, const FftComplex* X, const FftRootTable& table, double s, double* I, double* A, double* B)
{
    bool finite = true;
    for (Index k = 0; 2 * k < n; ++k) {
        // Frequency 0 of a real series is real; a chirp-z transform would leave rounding noise there.
        const FftComplex x = k == 0 ? FftComplex{X[0].re, 0.0} : X[k];
        const FftComplex w = k == 0 ? FftComplex{1.0, 0.0} : table.Root(k);
        const double a = s * (x.re * w.re - x.im * w.im);
        const double b = -(s * (x.re * w.im + x.im * w.re));
        A[k] = a;
        B[k] = b;
        I[k] = b * b + a * a;
        finite &= I[k] <= std::numeric_limits<double>::max();
    }
    return finite;
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
    // clearing would cost more than the transform. Each gets what DP2FT uses of it, all four from
    // one block.
    std::unique_ptr<double[]> block;
    double *cx = nullptr, *cy = nullptr, *ftab = nullptr, *cwork = nullptr;
    if (npad <= (INT_MAX - 15) / 4 - nobs) {  // 4N+15 must stay an int
        const WorkSizes size = PeriodogramWorkSizes(nobs + npad);
        block.reset(new (std::nothrow) double[size.cx + size.cy + size.ftab + size.cwork]);
        cx = block.get();
        cy = cx + size.cx;
        ftab = cy + size.cy;
        cwork = ftab + size.ftab;
    }
    if (!block) {
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
        DP2FT(nobs, x, iprint, xbase, npad, ifscal, ipver, pm, ldpm, cx, cy, ftab, cwork);
    }
    E1POP("DPFFT");
}

void DP2FT(int nobs, const double* x, int iprint, double xbase, int npad, int ifscal, int ipver, double* pm,
           int ldpm, double* cx, double* cy, double* ftab, double* /*cwork*/)
{
    // cwork stays in the interface for callers that hold the four work areas; the transform runs
    // in cx and cy, with ftab as the engine's scratch.
    E1PSH("DP2FT");
    const int n = nobs + npad;
    const int step = n % 2 == 0 ? 1 : 2;
    // Every check runs, each reporting its own error. The series is centred into cx while it is
    // checked (cx has room for it whenever NPAD >= 0); only a series whose sum of |z| is not
    // finite goes through the checks that name a value.
    double total = 0.0;
    if (nobs < 2) {
        MsgSetInt(1, nobs);
        E1MES(5, 1, "NOBS = %(I1).  NOBS must be 2 or more.");
    } else {
        if (npad >= 0) total = Centre(nobs, x, xbase, step, cx);
        const bool checked = npad >= 0 && std::isfinite(total);
        const int first = checked ? 0 : IDANAN(nobs, x, 1);
        if (first > 0) {
            MsgSetInt(1, first);
            E1MES(5, 2,
                  "X(%(I1)) = NaN (not a number).  No elements of X may be missing.  There may be other elements "
                  "of X equal to NaN.");
        } else if (!checked) {
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

    // An even length goes through the complex transform of half its length, the centred series
    // packed two values to a complex (simply its n values in a row); an odd length through the full
    // transform of (z(t), 0). The transform is linear: a series near the ends of the double range
    // is transformed multiplied by a power of two, divided out again in the scale s.
    std::fill(cx + static_cast<Index>(step) * nobs, cx + static_cast<Index>(step) * n, 0.0);
    const bool plain = total == 0.0 || (total >= nobs * 0x1p-400 && total <= 0x1p400);
    const double range = plain ? 1.0 : RangeScale(cx, step, 1, nobs);
    if (range != 1.0)
        for (int t = 0; t < nobs; ++t) cx[static_cast<Index>(step) * t] *= range;
    std::unique_ptr<RealTransform> transform = TakeRealTransform(n);
    FftComplex* data = reinterpret_cast<FftComplex*>(cx);
    if (!transform || !FftPlanRun(transform->plan, transform->roots, data, data, reinterpret_cast<FftComplex*>(cy),
                                  reinterpret_cast<FftComplex*>(ftab))) {
        E1PSH("DF2TCF");
        MsgSetInt(1, step == 1 ? n / 2 : n);
        E1MES(5, 3, "The work space for the length N = %(I1) cannot be allocated.");
        E1POP("DF2TCF");
        E1POP("DP2FT");
        return;
    }

    // The scale of the ordinates, with the power of two of the transformed series divided out
    // (exactly: it is a power of two).
    const double s = (ipver == 0 ? std::sqrt(2.0 / nobs) : std::sqrt(1.0 / (kTwoPi * nobs))) / range;
    const long ld = ldpm;
    Axes(n, n / 2 + 1, ifscal == 0, pm, pm + ld);
    const bool finite = step == 1 ? EvenRows(n / 2, data, transform->wr, transform->wi, s, pm + 2 * ld,
                                             pm + 3 * ld, pm + 4 * ld)
                                  : OddRows(n, data, transform->table, s, pm + 2 * ld, pm + 3 * ld, pm + 4 * ld);
    KeepRealTransform(std::move(transform));
    // Ordinates are squares: values near the top of the range overflow them.
    if (!finite) {
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
