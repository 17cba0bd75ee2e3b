#include "numerics/innovations.h"

#include "numerics/arma_acvf.h"
#include "numerics/one_based.h"
#include "numerics/status.h"
#include "numlib/finite_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kRow = kInnovationsLagRow;
// Forecast errors beyond this many steps repeat the last one.
constexpr int kMaxMseSteps = 54;
constexpr double kMseSumLimit = 1e12;
constexpr double kMseOverflow = 1e24;

// The recursion freezes once the distance its variance and weights still have to travel is
// below tol times this margin. The frozen tail moves the reduced likelihood by up to about that
// distance, so the margin keeps the move under the minimiser's noise level (1e-7) at the
// estimation commands' tolerance of 5e-5.
constexpr double kFreezeMargin = 1e-3;

bool Positive(double v) { return v > 0.0; }  // false for NaN as well

// The likelihood ln(S/n) + L/n needs a positive, finite S and a finite L: an all-zero series
// gives S = 0 (degenerate, though the recursion itself stands), values near the top of the
// double range an infinite S.
int LikelihoodFault(double S, double L, const double* x, int n)
{
    if (!std::isfinite(S) || !std::isfinite(L)) return kStatusOutOfRange;
    if (S >= kSmallestNormal) return kStatusDone;
    // A sum that vanished from values that did not is an underflow.
    return std::all_of(x, x + n, [](double v) { return v == 0.0; }) ? kStatusDegenerate : kStatusOutOfRange;
}

// Row r := row r+1 in columns 1..cols(r), for r = first..53 in increasing order.
template <typename Cols>
void ShiftRowsUp(Mat1<double>& th, int first, Cols cols)
{
    for (int r = first; r <= kRow - 1; ++r)
        for (int c = 1; c <= cols(r); ++c) th(r, c) = th(r + 1, c);
}

// Work arrays kept between calls and only ever grown: the likelihood is evaluated many times
// over the same series, and fresh arrays of a long series cost more in page faults than the
// recursion itself. One set per thread keeps the routine safe to call from several threads.
struct InnovationsWork {
    std::vector<double> U, Xhat, r, chi, frozenRow, settleRows, settleChanges;
};

double* Reserve(std::vector<double>& v, int len)
{
    const size_t need = static_cast<size_t>(std::max(len, 1));
    if (v.size() < need) v.resize(need);
    return v.data();
}

// The rest of the series once r and the row-54 weights are frozen: O(p+q) per step and no
// logarithms. Returns the sum of U(t)^2 over t = from..n. Xhat(t), t <= n, is read by nothing
// later and is not stored.
double FrozenPass(int from, int n, const double* x, const double* coef, int p, int q,
                  const double* thetaRow, double* U)
{
    // Offsets so that the loops index with t as the formulas do.
    const double* xs = x - 1;
    double* us = U - 1;
    const double theta1 = q >= 1 ? thetaRow[0] : 0.0;
    double sum = 0.0;
    double uLast = q >= 1 ? us[from - 1] : 0.0;
    for (int t = from; t <= n; ++t) {
        // U(t-1) enters last, from a register: it is the only term that waits for the
        // previous step.
        double s = 0.0;
        for (int j = p; j >= 1; --j) s += coef[j - 1] * xs[t - j];
        for (int j = q; j >= 2; --j) s += thetaRow[j - 1] * us[t - j];
        s += theta1 * uLast;
        const double u = xs[t] - s;
        us[t] = u;
        uLast = u;
        sum += u * u;
    }
    return sum;
}

// Decides when the lag-form recursion has settled. Its state is the last q variances and rows,
// so a seasonal model can hold still for most of a season and move again at the seasonal lag:
// a change is measured over a window of w = max(q,1) steps, never over one. The recursion then
// converges geometrically, and the ratio of the changes over two successive windows estimates
// the rate, from which the distance still left is D/(1 - ratio).
class SettleTest {
public:
    // rows (work, (w+1)·q) and changes (work, w+1) hold the last w+1 rows and window changes.
    SettleTest(int m, int q, double tol, double* rows, double* changes)
        : m_(m), q_(q), w_(std::max(q, 1)), limit_(tol * kFreezeMargin), rows_(rows),
          changes_(changes)
    {
    }

    // Records row 54 and r(t) of time t > 2m and reports whether the recursion has settled. The
    // first verdict comes at t = 2m + 2w + 1, when two window changes are known.
    bool Settled(int t, const double* r, const Mat1<double>& th)
    {
        const int slot = t % (w_ + 1), back = (t - w_) % (w_ + 1);
        double* row = rows_ + slot * q_;
        for (int j = 1; j <= q_; ++j) row[j - 1] = th(kRow, j);
        if (t - w_ <= 2 * m_) return false;
        const double* old = rows_ + back * q_;
        double change = std::fabs(r[t - 1] - r[t - w_ - 1]);
        for (int j = 0; j < q_; ++j) change = std::max(change, std::fabs(row[j] - old[j]));
        changes_[slot] = change;
        if (t - 2 * w_ <= 2 * m_) return false;
        if (change == 0.0) return limit_ >= 0.0;
        const double before = changes_[back];
        return change < before && change <= limit_ * (1.0 - change / before);
    }

private:
    int m_, q_, w_;
    double limit_;
    double* rows_;
    double* changes_;
};

}  // namespace

void InnovationsStartRows(int t1, int t2, int& status, double* Theta, const double* K, double* r)
{
    Mat1<double> th(Theta);
    Mat1<const double> k(K);
    Vec1<double> v(r);
    for (int t = t1; t <= t2; ++t) {
        th(t, 1) = k(t, 1) / v(1);
        for (int c = 2; c <= t - 1; ++c) {
            double s = k(t, c);
            for (int j = 1; j <= c - 1; ++j) s -= th(c, j) * th(t, j) * v(j);
            th(t, c) = s / v(c);
        }
        double s = k(t, t);
        for (int j = 1; j <= t - 1; ++j) s -= th(t, j) * th(t, j) * v(j);
        v(t) = s;
        if (!Positive(s)) {
            status = kStatusNotCausal;
            return;
        }
    }
}

void InnovationsLagRow(int t, int q, const double* g, double* r, double* Theta)
{
    Mat1<double> th(Theta);
    Vec1<const double> gv(g);
    Vec1<double> v(r);
    for (int l = q; l >= 1; --l) {
        double s = gv(l + 1);
        for (int i = l + 1; i <= q; ++i) s -= th(kRow - l, i - l) * th(kRow, i) * v(t - i);
        th(kRow, l) = s / v(t - l);
    }
    double s = gv(1);
    for (int j = 1; j <= q; ++j) s -= th(kRow, j) * th(kRow, j) * v(t - j);
    v(t) = s;
}

void InnovationsPredictor(int t, double* U, const double* Theta, double* Xhat, const double* x,
                          int p, int q, const double* coef)
{
    Mat1<const double> th(Theta);
    Vec1<double> u(U), xh(Xhat);
    Vec1<const double> xv(x), phi(coef);
    double s = 0.0;
    for (int j = 1; j <= q; ++j) s += th(kRow, j) * u(t - j);
    for (int j = 1; j <= p; ++j) s += phi(j) * xv(t - j);
    xh(t) = s;
    u(t) = xv(t) - s;
}

void PredictorMse(int k, const double* Theta, double sigma2, const double* r, int n, int p,
                  int q, const double* coef, double* mse, double* chi)
{
    Vec1<double> out(mse);
    if (k > kMaxMseSteps) {
        out(k) = out(k - 1);
        return;
    }
    Mat1<const double> th(Theta);
    Vec1<const double> v(r);
    (void)PsiWeights(p, 0, coef, k, chi);  // orders were checked by the caller
    Vec1<const double> c(chi);             // c(j+1) = chi(j)
    // The weight chi(i-1) multiplies a coefficient of the predictor of time n+k-i+1, which is
    // row 55-i (Brockwell and Davis, (5.3.22)). Rows 54-i would agree only once the recursion
    // has settled, and give wrong errors after a short series.
    double sum = 0.0;
    for (int j = 1; j <= k; ++j) {
        double s = c(j);
        for (int i = std::max(j - q, 1); i <= j - 1; ++i) s += c(i) * th(kRow + 1 - i, j - i);
        if (s > kMseSumLimit) {
            out(k) = kMseOverflow;
            return;
        }
        sum += s * s * v(n + k - j + 1);
    }
    out(k) = sum * sigma2;
}

void InnovationsLikelihood(int h, double* acvf, double& S, double& L, int& status,
                           const double* x, int n, const double* coef, int p, int q,
                           const double* K, double tol, int& tconv, double* Theta, double* resid,
                           int residFlag, double* mse, double* fcst)
{
    const int m = std::max(p, q);
    // The recursion reads x(1..2m) before it looks at n: shorter series are refused here.
    if (p < 0 || p > kMaxArmaOrder || q < 0 || q > kMaxArmaOrder || p + q < 1 || n < std::max(2 * m, 2) ||
        h > kMaxInnovationsForecasts) {
        status = kStatusBadArgument;
        return;
    }
    if (!AllFinite(x, n) || !AllFinite(coef, p + q)) {
        status = kStatusNotFinite;
        return;
    }
    const int steps = std::max(h, 0);
    thread_local InnovationsWork work;
    double* const UStore = Reserve(work.U, n);
    double* const XhatStore = Reserve(work.Xhat, n + steps + 1);
    double* const rStore = Reserve(work.r, n + steps + 1);
    double* const chi = Reserve(work.chi, kMaxMseSteps + 1);
    double* const frozenRow = Reserve(work.frozenRow, q);
    Vec1<double> U(UStore), Xhat(XhatStore), r(rStore);
    Vec1<const double> xv(x), phi(coef);
    Mat1<double> th(Theta);
    Mat1<const double> k(K);

    Xhat(1) = 0.0;
    U(1) = xv(1);
    r(1) = k(1, 1);
    if (!Positive(r(1))) {
        status = kStatusNotCausal;
        return;
    }
    S = U(1) * U(1) / r(1);
    L = std::log(r(1));

    // Taken even when m = 1: the next steps read Theta(2,1) and r(2).
    th(2, 1) = k(2, 1) / r(1);
    r(2) = k(2, 2) - th(2, 1) * th(2, 1) * r(1);
    if (!Positive(r(2))) {
        status = kStatusNotCausal;
        return;
    }
    if (m >= 2) {
        int startStatus = kStatusDone;
        InnovationsStartRows(3, q == 0 ? p : 2 * m, startStatus, Theta, K, rStore);
        if (startStatus == kStatusNotCausal) {
            status = kStatusNotCausal;
            return;
        }
    }
    for (int t = 2; t <= m; ++t) {
        double s = 0.0;
        for (int j = 1; j <= t - 1; ++j) s += th(t, j) * U(j);
        Xhat(t) = s;
        U(t) = xv(t) - s;
        S += U(t) * U(t) / r(t);
        L += std::log(r(t));
    }

    if (q == 0) {
        for (int t = p + 1; t <= n; ++t) r(t) = 1.0;
        S += FrozenPass(p + 1, n, x, coef, p, 0, nullptr, UStore);
        const int fault = LikelihoodFault(S, L, x, n);
        if (fault == kStatusOutOfRange) {
            status = fault;
            return;
        }
        const double sigma2 = S / n;
        if (residFlag == 1)
            for (int t = 1; t <= n; ++t) resid[t - 1] = U(t) / std::sqrt(r(t));
        for (int kk = 1; kk <= h; ++kk) {
            const int t = n + kk;
            r(t) = 1.0;
            double s = 0.0;
            for (int j = 1; j <= std::min(kk - 1, p); ++j) s += phi(j) * Xhat(t - j);
            for (int j = kk; j <= p; ++j) s += phi(j) * xv(t - j);
            Xhat(t) = s;
            PredictorMse(kk, Theta, sigma2, rStore, n, p, q, coef, mse, chi);
        }
        for (int kk = 1; kk <= h; ++kk) fcst[kk - 1] = Xhat(n + kk);
        if (!AllFinite(fcst, steps) || !AllFinite(mse, steps)) status = kStatusOutOfRange;
        else if (fault != kStatusDone) status = fault;
        return;
    }

    for (int t = m + 1; t <= 2 * m; ++t) {
        double s = 0.0;
        for (int j = t - q; j <= t - 1; ++j) s += th(t, j) * U(j);
        for (int j = 1; j <= p; ++j) s += phi(j) * xv(t - j);
        Xhat(t) = s;
        U(t) = xv(t) - s;
        S += U(t) * U(t) / r(t);
        L += std::log(r(t));
    }
    if (p > 0) (void)MaAcvf(q + 1, q, coef + p, acvf, 1.0);
    const double* g = acvf;

    // Lag form: row rr takes the predictor of time rr + 2m - 53, so row 53 holds time 2m. The
    // source columns (>= 2m-q >= q) never meet the columns already written (< q) in a lower row.
    for (int rr = 55 - q; rr <= kRow - 1; ++rr) {
        const int R = rr + 2 * m - 53;
        for (int l = 1; l <= q + rr - 53; ++l) th(rr, l) = th(R, R - l);
    }

    const int w = std::max(q, 1);
    SettleTest settle(m, q, tol, Reserve(work.settleRows, (w + 1) * q),
                      Reserve(work.settleChanges, w + 1));
    for (int t = 2 * m + 1; t <= n; ++t) {
        InnovationsLagRow(t, q, g, rStore, Theta);
        if (!Positive(r(t))) {
            status = kStatusNotCausal;
            return;
        }
        if (settle.Settled(t, rStore, th)) {
            tconv = t;
            const double rt = r(t);
            for (int tt = t; tt <= n; ++tt) r(tt) = rt;
            for (int j = 1; j <= q; ++j) frozenRow[j - 1] = th(kRow, j);
            S += FrozenPass(t, n, x, coef, p, q, frozenRow, UStore) / rt;
            L += (n - t + 1) * std::log(rt);
            break;
        }
        InnovationsPredictor(t, UStore, Theta, XhatStore, x, p, q, coef);
        S += U(t) * U(t) / r(t);
        L += std::log(r(t));
        if (q >= 2) ShiftRowsUp(th, kRow - q, [q](int rr) { return q + rr - 53; });
    }

    const int fault = LikelihoodFault(S, L, x, n);
    if (fault == kStatusOutOfRange) {
        status = fault;
        return;
    }
    const double sigma2 = S / n;
    if (h <= 0) {
        if (residFlag == 1)
            for (int t = 1; t <= n; ++t) resid[t - 1] = U(t) / std::sqrt(r(t));
        if (fault != kStatusDone) status = fault;
        return;
    }
    for (int kk = 1; kk <= h; ++kk) {
        const int t = n + kk;
        InnovationsLagRow(t, q, g, rStore, Theta);
        double s = 0.0;
        for (int j = kk; j <= q; ++j) s += th(kRow, j) * U(t - j);
        for (int j = 1; j <= std::min(kk - 1, p); ++j) s += phi(j) * Xhat(t - j);
        for (int j = kk; j <= p; ++j) s += phi(j) * xv(t - j);
        Xhat(t) = s;
        PredictorMse(kk, Theta, sigma2, rStore, n, p, q, coef, mse, chi);
        ShiftRowsUp(th, std::max(kRow - t, 1), [q](int) { return q; });
    }
    for (int kk = 1; kk <= h; ++kk) fcst[kk - 1] = Xhat(n + kk);
    if (!AllFinite(fcst, steps) || !AllFinite(mse, steps)) status = kStatusOutOfRange;
    else if (fault != kStatusDone) status = fault;
}
