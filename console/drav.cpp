#include "console/drav.h"

#include "console/drav_fit.h"
#include "console/screen.h"
#include "console/screen_io.h"
#include "console/var_dialogue.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

const char* const kAlgorithm[kAlgorithmLines] = {
    " for the predicted values.  The fitting procedure uses",
    " Jones's multivariate version of the Burg algorithm",
    " (R. H. Jones, Multivariate autoregression estimation",
    " using residuals, 1978).  p can be chosen by minimizing the AICC,",
    " nln(det(V))+(2pm^2+2)/(1-(pm^2+2)/nm)+nm(1+ln(2pi)).",
};

VarSession<float> session;
DravWork work;
float D[kVarSeriesLength];
// The lag-0 covariance of the current differencing and its order-0 criterion.
float gamma0[kVarMatrix];
float aicc0 = 0.0f;

// The lag-0 covariance must be positive definite before any model is offered.
int DifferencingDone(VarSession<float>& s)
{
    DravLagZeroCovariance(s.Y, s.nPrime, s.m, gamma0);
    float det = 0.0f;
    if (MatricesFinite(gamma0, 1, s.m) && DravDeterminant(gamma0, s.m, det) == 1 && det > 0.0f && std::isfinite(det)) {
        // Infinite for n'm = 2, when the model menu offers no order.
        aicc0 = DravOrderZeroAicc(s.nPrime, s.m, det);
        return 1;
    }
    // A page of its own: the question's Yes/No menu is still on the screen.
    VarClear();
    ScreenWrite("()", {});
    ScreenWriteList({" Numerical difficulties "});
    if (!MatricesFinite(gamma0, 1, s.m))
        ScreenWriteList({"  The covariances of the series lie beyond the single-precision range."});
    ScreenWriteList({"   <Press any key to start over>"});
    WaitKey();
    VarClear();
    return 0;
}

int Fit(VarSession<float>& s, int order)
{
    const int m = s.m;
    const int n = s.nPrime;
    const int P = order >= 0 ? order : s.pmax - 1;
    for (int t = 1; t <= n; ++t)
        for (int j = 1; j <= m; ++j)
            D[static_cast<std::size_t>(t - 1) + static_cast<std::size_t>(n) * (j - 1)] =
                s.Y[static_cast<std::size_t>(t - 1) * m + (j - 1)];
    int q = 0;
    float aicc = 0.0f;
    BurgFitEnd end;
    BurgFit(order, n, m, P, D, s.phi, q, s.V, aicc, work, end);
    if (end.notPositiveDefinite)
        ScreenWrite("(1X,'MATRIX NOT POSITIVE DEFINITE IN CHOLES')", {});
    if (end.order > 0) {
        // The recursion could not reach the order asked: say which order the model has instead.
        if (order >= 0)
            ScreenWrite("(2X,'The fit stopped at order',I3,': the best lower order,',I3,', is fitted.')",
                        {end.order, q});
        else
            ScreenWrite("(2X,'The fit stopped at order',I3,': the search covers the orders below it.')",
                        {end.order});
        VarPause();
        VarClear();
    }
    const int chosen = order >= 0 ? q : DravSearchOrder(aicc0, aicc, q);
    if (order < 0) {
        ScreenWrite("('   Optimal order, p=',I2,2X)", {chosen});
        VarPause();
        VarClear();
    }
    s.order = chosen;
    s.aicc = aicc;
    if (chosen == 0) {
        s.aicc = aicc0;
        std::copy_n(gamma0, kVarMatrix, s.V);
    }
    PredictionErrors(s.Y, n, m, s.phi, chosen, s.e);
    if (!std::isfinite(s.aicc) || !MatricesFinite(s.phi, chosen, m) || !MatricesFinite(s.V, 1, m) ||
        !AllValuesFinite(s.e + static_cast<std::size_t>(chosen) * m, (n - chosen) * m)) {
        VarNumericalDifficulties(" Numerical difficulties", "  <Press any key to start over>");
        return 0;
    }
    return 1;
}

}  // namespace

[[noreturn]] void DravMain()
{
    VarProgram<float> program;
    program.spacedName = " D R A V    ";
    program.exitItem = "Exit from DRAV";
    program.plotExitItem = "Exit DRAV";
    program.algorithmLines = kAlgorithm;
    program.yesNo = YesNoItems::Wide;
    program.covarianceHeading = "  WHITE NOISE COVARIANCE MATRIX, V";
    program.differencingDone = DifferencingDone;
    program.fit = Fit;
    RunVarProgram(program, session);
}
