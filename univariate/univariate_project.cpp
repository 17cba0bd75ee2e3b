#include "univariate/univariate_project.h"

#include "univariate/refresh.h"

#include <algorithm>
#include <iterator>

const char* const kViewTitlePrefix[kViewCount] = {
    "", "ACF/PACF:", "SPECTRUM: ", "CUMULATIVE SPECTRUM: ", "HISTOGRAM: ", "FIT: ", "Regress: ",
    "ARMA Forecast: ", "ARAR Forecast: ", "Holt-Winters Forecast: ", "Seasonal H-W Forecast: ",
    "Exponential Smoothing: ", "FFT Smooth: ", "Moving Average Smoothing: ", "Residuals: ",
    "Residuals:ACF/PACF: ", "Residuals:HISTOGRAM: ",
};

const char* const kViewInfoTitlePrefix[kViewCount] = {
    "INFO: ", "ACF.PACF:INFO: ", "SPECTRUM:INFO: ", "CUMULATIVE SPECTRUM:INFO: ",
    "HISTOGRAM:INFO: ", "FIT:INFO: ", "Regress:INFO: ", "ARMA FORECAST:INFO: ",
    "ARAR FORECAST:INFO: ", "Holt-Winters FORECAST:INFO: ", "Seasonal H-W FORECAST:INFO: ",
    "Exponential Smoothing:INFO: ", "FFT Smooth:INFO: ", "Moving Average Smoothing:INFO: ",
    "Residuals:INFO: ", "Residuals:ACF/PACF:INFO: ", "Residuals:HISTOGRAM:INFO: ",
};

const char* const kTextWindowTitlePrefix[kTextWindowCount] = {
    "Tests of Randomness: ", "Preliminary estimates: ", "ML estimates: ", "Regression estimates: ",
    "AR/MA Infinity: ",
};

UnivariateWindowOps UnivariateWindows;

namespace {

void ResetRegression(UnivariateFields& u)
{
    u.coefficientCovariance.clear();
    u.trendCoefficients.clear();
    u.trendValues.clear();
    u.auxVariables.clear();
    u.regressionDesign.clear();
    u.harmonicCount = 0;
    std::fill(std::begin(u.fourierIndex), std::end(u.fourierIndex), 0);
    u.polynomialDegree = 0;
    u.termCount = 0;
    u.auxPresent = 0;
    u.regressionSpecified = 0;
    u.regressionPresent = 0;
    u.intercept = 1;
}

// The data and everything computed from them; the model's vectors do not depend on the data.
void ReleaseDataVectors(UnivariateFields& u)
{
    for (std::vector<double>* v :
         {&u.series, &u.originalSeries, &u.sampleAcf, &u.samplePacf, &u.residuals, &u.residualAcf,
          &u.residualPacf, &u.armaForecasts, &u.armaForecastMse, &u.ararForecasts, &u.hwForecasts,
          &u.shwForecasts, &u.expSmoothed, &u.fftSmoothed, &u.maSmoothed, &u.maWeights,
          &u.periodogram, &u.smoothedPeriodogram, &u.cumPeriodogram, &u.daniellWeights})
        v->clear();
}

void DestroyView(PlotRecord& view)
{
    if (UnivariateWindows.destroyPlotWindow) UnivariateWindows.destroyPlotWindow(view);
}

void EndTextWindow(HWND__*& window, bool close)
{
    if (window && UnivariateWindows.endTextWindow) UnivariateWindows.endTextWindow(window, close);
    window = nullptr;
}

}  // namespace

int32_t VeskInit(UnivariateProject& project)
{
    // Releases nothing: the stack pointer is simply cleared, as for a fresh record.
    static_cast<UnivariateFields&>(project) = UnivariateFields{};
    for (PlotRecord& view : project.views) InitPlotRecord(view);
    return 1;
}

UnivariateProject* VeskNew(int32_t slot)
{
    auto* project = new UnivariateProject;
    VeskInit(*project);
    project->inUse = 1;
    if (UnivariateWindows.createDataWindow)
        UnivariateWindows.createDataWindow(*project, slot, "New Univariate Project");
    project->dataView.slot = slot;
    VeskRefresh(*project, 1, 1);
    return project;
}

int32_t VeskFree(UnivariateProject& project)
{
    ReleaseDataVectors(project);
    for (std::vector<double>* v : {&project.modelAcf, &project.modelPacf, &project.modelSpectrum,
                                   &project.cumModelSpectrum})
        v->clear();
    for (int32_t k : {0, 1, 4, 2, 3}) DestroyView(project.views[k]);
    for (int32_t k = 5; k < kViewCount; ++k) DestroyView(project.views[k]);
    for (int32_t k : {TEXT_PRELIMINARY, TEXT_MLE, TEXT_REGRESSION, TEXT_INFINITY, TEXT_TESTS})
        EndTextWindow(project.textWindows[k], true);
    FreeTransformStack(project.transforms);
    ResetRegression(project);
    return 1;
}

int32_t VeskClearData(UnivariateProject& project)
{
    project.n = project.firstIndex = project.lastIndex = 0;
    ReleaseDataVectors(project);
    for (int32_t k = VIEW_FIT; k < kViewCount; ++k) DestroyView(project.views[k]);
    for (int32_t k = 0; k < kTextWindowCount; ++k) EndTextWindow(project.textWindows[k], false);
    FreeTransformStack(project.transforms);
    ResetRegression(project);
    project.showPeriodogram = 0;
    project.showModelSpectrum = 1;
    project.acfViewFlags &= ~1;
    ResetCurve(project.dataView, 1);
    VeskRefresh(project, 1, 1);
    return 1;
}

int32_t VeskCopy(const UnivariateProject& s, UnivariateProject& t)
{
    t.transformText = s.transformText;
    t.acfViewFlags = s.acfViewFlags;
    t.residualAcfViewFlags = s.residualAcfViewFlags;
    t.p = s.p;
    t.q = s.q;
    std::copy(std::begin(s.phi), std::end(s.phi), t.phi);
    std::copy(std::begin(s.theta), std::end(s.theta), t.theta);
    t.modelAcf = s.modelAcf;
    t.modelPacf = s.modelPacf;
    t.residuals = s.residuals;
    t.residualAcf = s.residualAcf;
    t.residualPacf = s.residualPacf;

    t.modelAcfLags = s.modelAcfLags;
    t.prelimMethod = s.prelimMethod;
    t.mleMethod = s.mleMethod;
    t.numFree = s.numFree;
    t.maxIterations = s.maxIterations;
    t.noOptimisation = s.noOptimisation;
    t.iterationsDone = s.iterationsDone;
    t.stopReason = s.stopReason;
    t.wnVariance = s.wnVariance;
    t.prelimWnVariance = s.prelimWnVariance;
    t.likelihoodTolerance = s.likelihoodTolerance;
    t.accuracy = s.accuracy;
    std::copy(std::begin(s.freeIndex), std::end(s.freeIndex), t.freeIndex);
    t.relationCount = s.relationCount;
    for (int i = 0; i <= 6; ++i) std::copy(std::begin(s.relations[i]), std::end(s.relations[i]), t.relations[i]);
    t.optimiserState = s.optimiserState;
    t.settlingStep = s.settlingStep;
    t.evaluationCount = s.evaluationCount;
    std::copy(std::begin(s.standardErrors), std::end(s.standardErrors), t.standardErrors);

    t.aicc = s.aicc;
    t.bic = s.bic;
    t.fpe = s.fpe;
    t.residualSsPerN = s.residualSsPerN;
    t.reducedLikelihood = s.reducedLikelihood;
    t.objectiveValue = s.objectiveValue;
    t.minus2LogLikelihood = s.minus2LogLikelihood;
    t.d = s.d;
    t.fiStep = s.fiStep;
    t.M = s.M;
    t.fracIntegrated = s.fracIntegrated;
    t.optimiseD = s.optimiseD;

    t.coefficientCovariance = s.coefficientCovariance;
    t.trendCoefficients = s.trendCoefficients;
    t.trendValues = s.trendValues;
    t.auxVariables = s.auxVariables;
    t.regressionDesign = s.regressionDesign;
    t.harmonicCount = s.harmonicCount;
    std::copy(std::begin(s.fourierIndex), std::end(s.fourierIndex), t.fourierIndex);
    t.polynomialDegree = s.polynomialDegree;
    t.termCount = s.termCount;
    t.auxPresent = s.auxPresent;
    t.regressionSpecified = s.regressionSpecified;
    t.regressionPresent = s.regressionPresent;
    t.intercept = s.intercept;

    t.series = s.series;
    t.n = s.n;
    t.originalSeries = s.originalSeries;
    t.firstIndex = s.firstIndex;
    t.lastIndex = s.lastIndex;
    t.sampleAcf = s.sampleAcf;
    t.samplePacf = s.samplePacf;
    t.acfLags = s.acfLags;
    t.histogramBins = s.histogramBins;

    t.periodogram = s.periodogram;
    t.modelSpectrum = s.modelSpectrum;
    t.cumPeriodogram = s.cumPeriodogram;
    t.cumModelSpectrum = s.cumModelSpectrum;
    t.ordinateCount = s.ordinateCount;
    t.spectrumIntervals = s.spectrumIntervals;
    t.daniellCount = s.daniellCount;
    std::copy(std::begin(s.daniellOrders), std::end(s.daniellOrders), t.daniellOrders);
    t.daniellWeights = s.daniellWeights;

    // The target's own stack, if any, gives way; the copy keeps the source's order.
    FreeTransformStack(t.transforms);
    TransformNode** tail = &t.transforms;
    for (const TransformNode* node = s.transforms; node; node = node->next) {
        *tail = CopyTransformNode(*node);
        tail = &(*tail)->next;
    }
    return 1;
}
