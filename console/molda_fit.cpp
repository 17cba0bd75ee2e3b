#include "console/molda_fit.h"

#include "numerics/small_matrix.h"
#include "numerics/status.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// ln(2 pi) and 1 + ln(2 pi) to seven digits, as the criterion has always been computed.
constexpr double kLn2Pi = 1.837877;
constexpr double kOnePlusLn2Pi = 2.837877;
constexpr float kPastData = 1e20f;

double* Gamma(MoldaWork& w, int h)
{
    return w.gamma + static_cast<std::size_t>(h) * kVarMatrix;
}

double* Forward(MoldaWork& w, int l, int j)
{
    return w.forward + static_cast<std::size_t>(l - 1) * kVarLagSetLength + static_cast<std::size_t>(j - 1) * kVarMatrix;
}

double* Backward(MoldaWork& w, int l, int j)
{
    return w.backward + static_cast<std::size_t>(l - 1) * kVarLagSetLength + static_cast<std::size_t>(j - 1) * kVarMatrix;
}

void Transpose(const double* A, int m, double* B)
{
    for (int j = 1; j <= m; ++j)
        for (int i = 1; i <= m; ++i) B[VarEntry(i, j)] = A[VarEntry(j, i)];
}

void Zero(int m, double* A)
{
    for (int j = 1; j <= m; ++j)
        for (int i = 1; i <= m; ++i) A[VarEntry(i, j)] = 0.0;
}

// out := A^-1; a zero pivot is left to the determinant tests, which cover Gamma(0) and every
// forward error covariance.
void Invert(const double* A, int m, double* out)
{
    VarCopyMatrix(A, m, out);
    int flag = 0;
    MoldaInvertMatrix(m - 1, out, flag);
}

// e' W e for the m values e.
double QuadraticForm(const double* W, const float* e, int m)
{
    double q = 0.0;
    for (int b = 1; b <= m; ++b)
        for (int a = 1; a <= m; ++a) q += e[a - 1] * W[VarEntry(a, b)] * e[b - 1];
    return q;
}

// Vf of order l: Gamma(0) - sum for j = 1..l of Phi(l, j) Gamma(j)'.
void ForwardCovariance(MoldaWork& w, int l, int m, double* vf)
{
    VarCopyMatrix(Gamma(w, 0), m, vf);
    for (int j = 1; j <= l; ++j) VarAddProduct(m, -1.0, Forward(w, l, j), Gamma(w, j), true, vf);
}

// Whether the determinant is above 0; L = its logarithm.
bool LogDeterminant(const double* A, int m, double& L)
{
    double D = 0.0;
    if (MoldaDeterminant(A, m, D) != 1 || !(D > 0.0) || !std::isfinite(D))
        return false;
    L = std::log(D);
    return true;
}

// The coefficient sets of order l from those of order l-1 (Whittle's recursion).
void RecursionStep(MoldaWork& w, int l, int m)
{
    double* vf = w.vf;
    double* vb = w.vb;
    double* delta = w.delta;
    double* inverse = w.inverse;
    ForwardCovariance(w, l - 1, m, vf);
    VarCopyMatrix(Gamma(w, 0), m, vb);
    for (int j = 1; j < l; ++j) VarAddProduct(m, -1.0, Backward(w, l - 1, j), Gamma(w, j), false, vb);

    VarCopyMatrix(Gamma(w, l), m, delta);
    for (int j = 1; j < l; ++j) VarAddProduct(m, -1.0, Forward(w, l - 1, j), Gamma(w, l - j), false, delta);
    Invert(vb, m, inverse);
    double* phiLL = Forward(w, l, l);
    Zero(m, phiLL);
    VarAddProduct(m, 1.0, delta, inverse, false, phiLL);

    Transpose(Gamma(w, l), m, delta);
    for (int j = 1; j < l; ++j) VarAddProduct(m, -1.0, Backward(w, l - 1, j), Gamma(w, l - j), true, delta);
    Invert(vf, m, inverse);
    double* psiLL = Backward(w, l, l);
    Zero(m, psiLL);
    VarAddProduct(m, 1.0, delta, inverse, false, psiLL);

    for (int j = 1; j < l; ++j) {
        VarCopyMatrix(Forward(w, l - 1, j), m, Forward(w, l, j));
        VarAddProduct(m, -1.0, phiLL, Backward(w, l - 1, l - j), false, Forward(w, l, j));
        VarCopyMatrix(Backward(w, l - 1, j), m, Backward(w, l, j));
        VarAddProduct(m, -1.0, psiLL, Forward(w, l - 1, l - j), false, Backward(w, l, j));
    }
}

}  // namespace

void MoldaInvertMatrix(int N, double* a, int& flag)
{
    GaussJordanInverse<double, float>(N, a, flag, kVarLd);
}

int MoldaDeterminant(const double* a, int m, double& det)
{
    return Determinant<double, float>(a, m, kVarLd, det) == kStatusDone ? 1 : 0;
}

void MoldaCovariances(const double* Y, int nPrime, int m, MoldaWork& work)
{
    for (int h = 0; h <= kVarLags; ++h) {
        double* g = Gamma(work, h);
        for (int j = 1; j <= m; ++j)
            for (int i = 1; i <= m; ++i) {
                double s = 0.0;
                for (int t = 1; t <= nPrime - h; ++t) s += Y[VarAt(i, t + h, m)] * Y[VarAt(j, t, m)];
                g[VarEntry(i, j)] = s / nPrime;
            }
    }
}

int MoldaRecursion(const double* Y, int nPrime, int m, int P, MoldaWork& w, float* e, int& failedOrder)
{
    std::fill(std::begin(w.forward), std::end(w.forward), 0.0);
    std::fill(std::begin(w.backward), std::end(w.backward), 0.0);
    const double nm = static_cast<double>(static_cast<long long>(nPrime) * m);

    float first[kVarComponents];
    for (int a = 1; a <= m; ++a) first[a - 1] = VarSingle(Y[VarAt(a, 1, m)]);
    Invert(Gamma(w, 0), m, w.inverse);
    w.quadratic[0] = VarSingle(QuadraticForm(w.inverse, first, m));
    if (!LogDeterminant(Gamma(w, 0), m, w.logDet[0])) {
        failedOrder = 0;
        return 0;
    }
    w.aicc[0] = VarSingle(nm * kOnePlusLn2Pi + 2.0 / (1.0 - 2.0 / nm) + nPrime * w.logDet[0]);
    VarCopyMatrix(Gamma(w, 0), m, w.vf);

    for (int l = 1; l <= P; ++l) {
        RecursionStep(w, l, m);
        PredictionErrors(Y, nPrime, m, Forward(w, l, 1), l, e);
        ForwardCovariance(w, l, m, w.vf);
        Invert(w.vf, m, w.inverse);
        float S = 0.0f;
        for (int t = l + 1; t <= nPrime; ++t) S += VarSingle(QuadraticForm(w.inverse, e + VarAt(1, t, m), m));
        w.quadratic[l] = l + 1 <= nPrime ? VarSingle(QuadraticForm(w.inverse, e + VarAt(1, l + 1, m), m)) : 0.0f;
        if (!LogDeterminant(w.vf, m, w.logDet[l])) {
            failedOrder = l;
            return 0;
        }
        float neg2LogLik = VarSingle(nm * kLn2Pi + (nPrime - l) * w.logDet[l]) + S;
        for (int k = 0; k < l; ++k) neg2LogLik += VarSingle(w.quadratic[k] + w.logDet[k]);
        const double k2 = static_cast<double>(static_cast<long long>(l) * m * m + 2);
        w.aicc[l] = k2 >= nm ? kPastData : VarSingle(neg2LogLik + (2.0 * k2 - 2.0) / (1.0 - k2 / nm));
    }
    return 1;
}

int MoldaBestOrder(const float* aicc, int count)
{
    int best = 0;
    for (int k = 1; k < count; ++k)
        if (aicc[k] < aicc[best])
            best = k;
    return best;
}

const double* MoldaCoefficient(const MoldaWork& work, int P, int k)
{
    return work.forward + static_cast<std::size_t>(P - 1) * kVarLagSetLength + static_cast<std::size_t>(k - 1) * kVarMatrix;
}
