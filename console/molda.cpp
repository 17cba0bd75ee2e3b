#include "console/molda.h"

#include "console/molda_fit.h"
#include "console/screen.h"
#include "console/screen_io.h"
#include "console/var_dialogue.h"
#include "numerics/series_scaling.h"

#include <cmath>
#include <cstddef>

namespace {

const char* const kAlgorithm[kAlgorithmLines] = {
    " for the predicted values.  The algorithm for fitting",
    " the AR process is Whittle's multivariate version of",
    " the Durbin-Levinson algorithm.  The order",
    " p can be chosen by minimization of",
    "       AICC=-2ln(L)+(2pm^2+2)/(1-(pm^2+2)/nm).",
};

VarSession<double> session;
MoldaWork work;

void Difficulties(int order)
{
    if (order == 0)
        VarNumericalDifficulties(" Numerical difficulties ", "  <Press any key to start over> ");
    else
        VarNumericalDifficulties(" Numerical difficulties", "  <Press any key to start over>");
}

int Recursion(VarSession<double>& s, int P)
{
    int failedOrder = 0;
    if (MoldaRecursion(s.Y, s.nPrime, s.m, P, work, s.e, failedOrder) == 1)
        return 1;
    Difficulties(failedOrder);
    return 0;
}

// The fit on the standardised series and its results on the scale of the data.
int Fit(VarSession<double>& s, int order)
{
    const int m = s.m;
    // A constant component cannot be put on unit scale.
    for (int a = 0; a < m; ++a)
        if (!(s.sd[a] > 0.0) || !std::isfinite(s.sd[a])) {
            Difficulties(0);
            return 0;
        }
    Standardise(s.Y, s.nPrime, m, s.V, kVarLd, s.sd, 1);
    MoldaCovariances(s.Y, s.nPrime, m, work);
    int P = order >= 0 ? order : s.pmax - 1;
    if (Recursion(s, P) != 1)
        return 0;
    if (order < 0) {
        P = MoldaBestOrder(work.aicc, P + 1);
        ScreenWrite("('   Optimal order, p=',I2,2X)", {P});
        VarPause();
        VarClear();
        if (Recursion(s, P) != 1)
            return 0;
    }

    for (int k = 1; k <= P; ++k) {
        const double* phi = MoldaCoefficient(work, P, k);
        double* out = s.phi + static_cast<std::size_t>(k - 1) * kVarMatrix;
        for (int b = 0; b < m; ++b)
            for (int a = 0; a < m; ++a)
                out[a + kVarLd * b] = phi[a + kVarLd * b] * s.sd[a] / s.sd[b];
    }
    for (int b = 0; b < m; ++b)
        for (int a = 0; a < m; ++a)
            s.V[a + kVarLd * b] = work.vf[a + kVarLd * b];
    double logVariances = 0.0;
    for (int a = 0; a < m; ++a)
        logVariances += std::log(s.var[a]);
    const float aicc = VarSingle(work.aicc[P] + s.nPrime * logVariances);
    Standardise(s.Y, s.nPrime, m, s.V, kVarLd, s.sd, 2);
    PredictionErrors(s.Y, s.nPrime, m, s.phi, P, s.e);
    s.order = P;
    s.aicc = aicc;
    const int errors = (s.nPrime - P) * m;
    if (!std::isfinite(aicc) || !MatricesFinite(s.phi, P, m) || !MatricesFinite(s.V, 1, m) ||
        !AllValuesFinite(s.e + static_cast<std::size_t>(P) * m, errors)) {
        Difficulties(P);
        return 0;
    }
    return 1;
}

int DifferencingDone(VarSession<double>&)
{
    return 1;
}

}  // namespace

[[noreturn]] void MoldaMain()
{
    VarProgram<double> program;
    program.spacedName = "M O L D A   ";
    program.exitItem = "Exit from MOLDA";
    program.plotExitItem = "Exit from MOLDA";
    program.algorithmLines = kAlgorithm;
    program.yesNo = YesNoItems::Narrow;
    program.covarianceHeading = "  Y-W WHITE NOISE COVARIANCE MATRIX, V";
    program.differencingDone = DifferencingDone;
    program.fit = Fit;
    RunVarProgram(program, session);
}
