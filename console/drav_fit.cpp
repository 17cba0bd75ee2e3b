#include "console/drav_fit.h"

#include "numerics/small_matrix.h"
#include "numerics/status.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// 2 pi as the single-precision criterion has always taken it.
constexpr float kTwoPi = 6.2831855f;
constexpr float kPastData = 1e20f;

float* Matrix(float* set, int k)
{
    return set + static_cast<std::size_t>(k) * kVarMatrix;
}

// The AICC of order k >= 1 from det Vf(k), or 1E20 when k m^2 + 2 >= n'm.
float Criterion(int k, int nPrime, int m, float det)
{
    const long long nm = static_cast<long long>(nPrime) * m;
    const long long km = static_cast<long long>(k) * m * m;
    if (km + 2 >= nm)
        return kPastData;
    const float N = static_cast<float>(nPrime);
    const float mN = static_cast<float>(nm);
    return N * std::log(det) + (2.0f * km + 2.0f) / (1.0f - (km + 2.0f) / mN) + mN * (1.0f + std::log(kTwoPi));
}

float TimeFirst(const float* D, int nPrime, int t, int j)
{
    return D[static_cast<std::size_t>(t - 1) + static_cast<std::size_t>(nPrime) * (j - 1)];
}

// Sfb, Sff, Sbb over s = 1..n'-k from the forward errors e(s+k) and backward errors b(s), then
// the factors of Sff and Sbb and the normalised partial correlation Lf^-1 Sfb (Lb')^-1 in Sfb.
// False when a sum is not positive definite.
bool PartialCorrelation(int nPrime, int m, int k, const float* e, DravWork& w)
{
    const std::size_t n = static_cast<std::size_t>(nPrime);
    const int length = nPrime - k;
    for (int j = 1; j <= m; ++j)
        for (int i = 1; i <= m; ++i) {
            const float* ei = e + k + n * (i - 1);
            const float* ej = e + k + n * (j - 1);
            const float* bi = w.backward + n * (i - 1);
            const float* bj = w.backward + n * (j - 1);
            float fb = 0.0f, ff = 0.0f, bb = 0.0f;
            for (int s = 0; s < length; ++s) {
                fb += ei[s] * bj[s];
                ff += ei[s] * ej[s];
                bb += bi[s] * bj[s];
            }
            w.Sfb[VarEntry(i, j)] = fb;
            w.Sff[VarEntry(i, j)] = ff;
            w.Sbb[VarEntry(i, j)] = bb;
        }
    if (CHOLES(w.Sff, m, kVarLd) != kStatusDone || CHOLES(w.Sbb, m, kVarLd) != kStatusDone)
        return false;
    SolveLower(w.Sff, m, kVarLd, w.Sfb, m);
    SolveLowerTransposedRight(w.Sbb, m, kVarLd, w.Sfb, m);
    return true;
}

// e(t) -= Ak b(t-k) and b(s) -= Bk e(s+k), both from the errors of the previous order.
void UpdateErrors(int nPrime, int m, int k, const float* Ak, const float* Bk, float* e, DravWork& w)
{
    const std::size_t n = static_cast<std::size_t>(nPrime);
    const int length = nPrime - k;
    for (int i = 1; i <= m; ++i) {
        float* wi = w.update + n * (i - 1);
        for (int s = 0; s < length; ++s) {
            float sum = 0.0f;
            for (int j = 1; j <= m; ++j) sum += Ak[VarEntry(i, j)] * w.backward[static_cast<std::size_t>(s) + n * (j - 1)];
            wi[s] = sum;
        }
    }
    for (int s = 0; s < length; ++s) {
        float next[kVarComponents];
        for (int i = 1; i <= m; ++i) {
            float sum = 0.0f;
            for (int j = 1; j <= m; ++j) sum += Bk[VarEntry(i, j)] * e[static_cast<std::size_t>(s + k) + n * (j - 1)];
            next[i - 1] = w.backward[static_cast<std::size_t>(s) + n * (i - 1)] - sum;
        }
        for (int i = 1; i <= m; ++i) w.backward[static_cast<std::size_t>(s) + n * (i - 1)] = next[i - 1];
    }
    for (int i = 1; i <= m; ++i)
        for (int s = 0; s < length; ++s) e[static_cast<std::size_t>(s + k) + n * (i - 1)] -= w.update[s + n * (i - 1)];
}

// Turns the partial matrices A(1..q), B(1..q) into the coefficient matrices of order q (the
// multivariate Levinson step-up).
void StepUp(int m, int q, DravWork& w)
{
    float* newA = w.F;
    float* newB = w.G;
    for (int k = 2; k <= q; ++k)
        for (int j = 1; j <= k / 2; ++j) {
            const int l = k - j;
            float* aj = Matrix(w.A, j - 1);
            float* bj = Matrix(w.B, j - 1);
            float* al = Matrix(w.A, l - 1);
            float* bl = Matrix(w.B, l - 1);
            const float* ak = Matrix(w.A, k - 1);
            const float* bk = Matrix(w.B, k - 1);
            VarCopyMatrix(aj, m, newA);
            VarAddProduct(m, -1.0f, ak, bl, false, newA);
            VarCopyMatrix(bj, m, newB);
            VarAddProduct(m, -1.0f, bk, al, false, newB);
            if (j < l) {
                VarAddProduct(m, -1.0f, ak, bj, false, al);
                VarAddProduct(m, -1.0f, bk, aj, false, bl);
            }
            VarCopyMatrix(newA, m, aj);
            VarCopyMatrix(newB, m, bj);
        }
}

}  // namespace

void DravLagZeroCovariance(const float* Y, int nPrime, int m, float* G)
{
    for (int j = 1; j <= m; ++j)
        for (int i = j; i <= m; ++i) {
            float s = 0.0f;
            for (int t = 0; t < nPrime; ++t)
                s += Y[static_cast<std::size_t>(t) * m + (i - 1)] * Y[static_cast<std::size_t>(t) * m + (j - 1)];
            G[VarEntry(i, j)] = s / static_cast<float>(nPrime);
            G[VarEntry(j, i)] = G[VarEntry(i, j)];
        }
}

float DravOrderZeroAicc(int nPrime, int m, float det)
{
    const float N = static_cast<float>(nPrime);
    const float mN = static_cast<float>(static_cast<long long>(nPrime) * m);
    return N * std::log(det) + 2.0f / (1.0f - 2.0f / mN) + mN * (1.0f + std::log(kTwoPi));
}

int DravSearchOrder(float aicc0, float fitAicc, int chosen)
{
    return aicc0 <= fitAicc ? 0 : chosen;
}

int DravDeterminant(const float* a, int m, float& det)
{
    return Determinant(a, m, kVarLd, det) == kStatusDone ? 1 : 0;
}

void BurgFit(int choice, int nPrime, int m, int P, float* D, float* PHI, int& q, float* V, float& aicc,
             DravWork& w, BurgFitEnd& end)
{
    if (choice >= 0)
        P = choice;
    end = BurgFitEnd();
    const std::size_t length = static_cast<std::size_t>(nPrime) * m;
    std::copy_n(D, length, w.backward);

    float* vf0 = Matrix(w.Vf, 0);
    for (int j = 1; j <= m; ++j)
        for (int i = j; i <= m; ++i) {
            float s = 0.0f;
            for (int t = 1; t <= nPrime; ++t) s += TimeFirst(D, nPrime, t, i) * TimeFirst(D, nPrime, t, j);
            vf0[VarEntry(i, j)] = s / static_cast<float>(nPrime);
            vf0[VarEntry(j, i)] = vf0[VarEntry(i, j)];
        }
    VarCopyMatrix(vf0, m, Matrix(w.Vb, 0));
    float det = 0.0f;
    FactorCopy(vf0, w.scratch, m, kVarLd, det);
    float best = DravOrderZeroAicc(nPrime, m, det);
    q = 0;

    float last = best;
    for (int k = 1; k <= P; ++k) {
        VarCopyMatrix(Matrix(w.Vf, k - 1), m, w.Cf);
        VarCopyMatrix(Matrix(w.Vb, k - 1), m, w.Cb);
        if (!PartialCorrelation(nPrime, m, k, D, w) || CHOLES(w.Cf, m, kVarLd) != kStatusDone ||
            CHOLES(w.Cb, m, kVarLd) != kStatusDone) {
            end.order = k;
            end.notPositiveDefinite = true;
            break;
        }
        // F = Cf P and G = Cb P' over the lower triangles of the factors.
        for (int j = 1; j <= m; ++j)
            for (int i = 1; i <= m; ++i) {
                float f = 0.0f, g = 0.0f;
                for (int c = 1; c <= i; ++c) {
                    f += w.Cf[VarEntry(i, c)] * w.Sfb[VarEntry(c, j)];
                    g += w.Cb[VarEntry(i, c)] * w.Sfb[VarEntry(j, c)];
                }
                w.F[VarEntry(i, j)] = f;
                w.G[VarEntry(i, j)] = g;
            }
        float* Ak = Matrix(w.A, k - 1);
        float* Bk = Matrix(w.B, k - 1);
        VarCopyMatrix(w.F, m, Ak);
        SolveLowerRight(w.Cb, m, kVarLd, Ak, m);
        VarCopyMatrix(w.G, m, Bk);
        SolveLowerRight(w.Cf, m, kVarLd, Bk, m);
        VarCopyMatrix(Matrix(w.Vf, k - 1), m, Matrix(w.Vf, k));
        VarAddProduct(m, -1.0f, w.F, w.F, true, Matrix(w.Vf, k));
        VarCopyMatrix(Matrix(w.Vb, k - 1), m, Matrix(w.Vb, k));
        VarAddProduct(m, -1.0f, w.G, w.G, true, Matrix(w.Vb, k));
        UpdateErrors(nPrime, m, k, Ak, Bk, D, w);

        FactorCopy(Matrix(w.Vf, k), w.scratch, m, kVarLd, det);
        if (!(det > 0.0f)) {
            end.order = k;
            break;
        }
        last = Criterion(k, nPrime, m, det);
        if (best > last) {
            best = last;
            q = k;
        }
    }
    if (end.order == 0 && choice >= 0) {
        best = last;
        q = P;
    }
    VarCopyMatrix(Matrix(w.Vf, q), m, V);
    aicc = best;
    StepUp(m, q, w);
    std::copy_n(w.A, static_cast<std::size_t>(q) * kVarMatrix, PHI);
}
