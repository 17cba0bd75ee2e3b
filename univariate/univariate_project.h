#pragma once
// The record of one open univariate project: the ARMA model with its estimation settings and
// results, the regression trend, the series, every derived result, the 17 views, the 5 text
// report windows and the transform stack.
//
// Conventions: vectors are 1-based in meaning (element i is v[i - 1]) and empty means absent;
// a correlation vector for lags 0..L holds L + 1 values. Fixed arrays keep the 1-based
// numbering with an unused element 0. Matrices are stored column by column.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "shell/plot_record.h"
#include "univariate/transform_node.h"

struct ColumnMatrix {
    int32_t rows = 0, cols = 0;
    std::vector<double> values;  // element (i, j) at values[(j - 1) * rows + (i - 1)]
    bool present() const { return !values.empty(); }
    void clear() { rows = cols = 0; values.clear(); }
};

// Most forecasts one run of a forecasting method gives.
constexpr int32_t kMaxForecastSteps = 100000;
// The index range of a series as loaded: it starts at 1 (the transforms only move the first index
// up from there), and its last index leaves room for kMaxForecastSteps forecasts after it, whose
// indices are int32 too.
constexpr int32_t kFirstSeriesIndex = 1;
constexpr int32_t kMaxLastSeriesIndex = std::numeric_limits<int32_t>::max() - kMaxForecastSteps;

constexpr int32_t kViewCount = 17;
constexpr int32_t kTextWindowCount = 5;

enum ViewIndex : int32_t {
    VIEW_DATA = 0, VIEW_ACF, VIEW_SPECTRUM, VIEW_CUM_SPECTRUM, VIEW_HISTOGRAM, VIEW_FIT,
    VIEW_REGRESSION, VIEW_ARMA_FORECAST, VIEW_ARAR_FORECAST, VIEW_HW_FORECAST, VIEW_SHW_FORECAST,
    VIEW_EXP_SMOOTH, VIEW_FFT_SMOOTH, VIEW_MA_SMOOTH, VIEW_RESIDUAL, VIEW_RESIDUAL_ACF,
    VIEW_RESIDUAL_HISTOGRAM,
};

enum TextWindowIndex : int32_t {
    TEXT_TESTS = 0, TEXT_PRELIMINARY, TEXT_MLE, TEXT_REGRESSION, TEXT_INFINITY,
};

// Title prefixes of each view's window and of its report window, by view index.
extern const char* const kViewTitlePrefix[kViewCount];
extern const char* const kViewInfoTitlePrefix[kViewCount];
// Title prefixes of the five text report windows, by text window index.
extern const char* const kTextWindowTitlePrefix[kTextWindowCount];

// Every field with its default; UnivariateProject adds the named views and ownership.
struct UnivariateFields {
    // Model
    int32_t inUse = 0;
    int32_t p = 0;
    double phi[27 + 1] = {};
    int32_t q = 0;
    double theta[27 + 1] = {};
    std::vector<double> modelAcf, modelPacf, residuals, residualAcf, residualPacf;
    std::vector<double> armaForecasts, armaForecastMse;
    int32_t forecastSteps = 0;
    int32_t residualAcfLags = 40;
    // Bins the residual histogram was last drawn with; the data histogram keeps histogramBins.
    int32_t residualHistogramBins = 10;
    int32_t prelimAcvfCount = 0;
    int32_t modelAcfLags = 40;
    int32_t prelimMethod = 0;
    int32_t mleMethod = 0;
    int32_t residualsValid = 0;
    int32_t numFree = 0;
    int32_t maxIterations = 0;
    int32_t noOptimisation = 0;
    int32_t iterationsDone = 0;
    int32_t stopReason = 0;
    double wnVariance = 1.0;
    double prelimWnVariance = 1.0;
    double likelihoodTolerance = 0.0;
    double accuracy = 0.0;
    int32_t freeIndex[52 + 1] = {};
    int32_t relationCount = 0;
    int32_t relations[6 + 1][3 + 1] = {};
    int32_t optimiserState = 0;
    int32_t settlingStep = 0;
    int32_t evaluationCount = 0;
    double standardErrors[52 + 1] = {};

    // Fit statistics
    double aicc = 0, bestAicc = 0, bic = 0, fpe = 0, residualSsPerN = 0, reducedLikelihood = 0,
           objectiveValue = 0, minus2LogLikelihood = 0, modelGamma0 = 0, d = 0;

    // Long memory and forecast options
    double fiStep = 0.1;
    int32_t M = 50;
    int32_t fracIntegrated = 0;
    int32_t optimiseD = 1;
    int32_t forecastInvertBoxCox = 0, forecastAddMean = 0, forecastAddTrend = 0,
            forecastUndifference = 0, forecastRegression = 0;

    // Regression trend. regressionDesign holds the trend's columns at the series' times (n by
    // termCount); auxVariables the auxiliary variables imported for the trend, a separate thing.
    ColumnMatrix auxVariables, regressionDesign, coefficientCovariance;
    std::vector<double> trendCoefficients, trendValues;
    int32_t harmonicCount = 0;
    int32_t fourierIndex[4 + 1] = {};
    int32_t polynomialDegree = 0;
    int32_t termCount = 0;
    int32_t auxPresent = 0;
    int32_t regressionSpecified = 0;
    int32_t regressionPresent = 0;
    int32_t intercept = 1;

    // Data
    std::vector<double> series;  // present exactly when the project has data
    int32_t n = 0;
    std::vector<double> originalSeries;
    int32_t firstIndex = 0, lastIndex = 0;
    std::vector<double> sampleAcf, samplePacf;
    double sampleGamma0 = 1.0;
    int32_t acfLags = 40;
    int32_t histogramBins = 10;

    // ARAR, Holt-Winters and seasonal Holt-Winters forecasting
    std::vector<double> ararForecasts, hwForecasts, shwForecasts;
    int32_t ararForecastEnd = 0, hwForecastEnd = 0, shwForecastEnd = 0;
    // Last fitted index in the numbering of hwForecasts and shwForecasts (the engine's), set by
    // the two Holt-Winters commands: forecast i stands at this index + i. hwLast and shwLast are
    // kept in the untransformed numbering instead.
    int32_t hwEngineLast = 0, shwEngineLast = 0;
    int32_t ararCount = 10, hwCount = 10, shwCount = 10;
    int32_t ararFirst = 1, hwFirst = 1, shwFirst = 1;
    int32_t ararLast = 2, hwLast = 2, shwLast = 2;
    int32_t ararOption = 0;
    int32_t ararCriterion = 1;
    int32_t shwPeriod = 0;
    int32_t hwOptimise = 1, shwOptimise = 1;
    double hwAlpha = 0.2, hwBeta = 0.2;
    double hwRootMse = 1.0;
    double ararRootMse = 1.0;
    double shwAlpha = 0.2, shwBeta = 0.2, shwGamma = 0.2;
    double shwRootMse = 1.0;
    int32_t ararSubset = 0, hwSubset = 0, shwSubset = 0;
    double ararShortening[50] = {};  // lags 0..49
    double ararFilter[72] = {};      // lags 0..71: L + D reaches 26 + 45
    double ararSubsetCoef[4] = {};
    int32_t ararDegree = 0;
    int32_t ararLags[4] = {};

    // Smoothing
    std::vector<double> expSmoothed, fftSmoothed, maSmoothed, maWeights;
    double expAlpha = -1.0;
    double fftFraction = 0.5;
    double expRootMse = 1.0, fftRootMse = 1.0, maRootMse = 1.0;
    int32_t maOrder = 0;

    // Spectra
    std::vector<double> periodogram, smoothedPeriodogram, modelSpectrum, cumPeriodogram,
        cumModelSpectrum;
    double fisherStatistic = 0, fisherProbability = 0;
    // Ordinates Fisher's values were computed from; 0 while there are none (fewer than 3
    // observations, or no positive ordinate).
    int32_t fisherCount = 0;
    int32_t showPeriodogram = 0;
    int32_t showModelSpectrum = 0;
    int32_t logSpectrum = 0;
    int32_t showSmoothedPeriodogram = 0;
    int32_t ordinateCount = 0;
    int32_t spectrumIntervals = 1024;
    int32_t daniellCount = 0;
    int32_t daniellOrders[50 + 1] = {};
    std::vector<double> daniellWeights;

    // Views and windows
    PlotRecord views[kViewCount];
    HWND__* textWindows[kTextWindowCount] = {};
    int32_t acfViewFlags = 24;
    int32_t residualAcfViewFlags = 24;
    std::string transformText = std::string(256, ' ');
    TransformNode* transforms = nullptr;  // newest node; owned

    // The project's own file: Save writes here without asking only while hasFileName is 1, so
    // saving one project never writes over another project's file.
    std::string fileName;
    int32_t hasFileName = 0;
    // 1 after a change of the data or the model (or of the plot colours, which the file keeps)
    // since the project was last opened or saved; a project that holds no data is never marked.
    int32_t changed = 0;

    bool hasData() const { return !series.empty(); }
};

struct UnivariateProject : UnivariateFields {
    PlotRecord& dataView = views[VIEW_DATA];
    PlotRecord& acfView = views[VIEW_ACF];
    PlotRecord& spectrumView = views[VIEW_SPECTRUM];
    PlotRecord& cumSpectrumView = views[VIEW_CUM_SPECTRUM];
    PlotRecord& histogramView = views[VIEW_HISTOGRAM];
    PlotRecord& residualAcfView = views[VIEW_RESIDUAL_ACF];

    UnivariateProject() = default;
    UnivariateProject(const UnivariateProject&) = delete;
    UnivariateProject& operator=(const UnivariateProject&) = delete;
    ~UnivariateProject() { FreeTransformStack(transforms); }
};

// What the record's lifecycle needs of the windows; the program installs the real operations,
// tests install fakes. Every member may be null (the step is then skipped).
struct UnivariateWindowOps {
    // Destroys a view's window, its picture and report window and frees its curves.
    int32_t (*destroyPlotWindow)(PlotRecord& view) = nullptr;
    // Ends a text report window: close (true: WM_CLOSE) or ask the MDI client to destroy it.
    void (*endTextWindow)(HWND__* window, bool close) = nullptr;
    // Creates the data window of a new project and titles it.
    void (*createDataWindow)(UnivariateProject& project, int32_t slot, const char* title) = nullptr;
};
extern UnivariateWindowOps UnivariateWindows;

// Stores every default (all fields of a fresh record; views reset, no windows, no transforms).
// Releases nothing: only for a fresh record or one whose arrays were released.
int32_t VeskInit(UnivariateProject& project);
// A new record with its defaults and its data window "New Univariate Project" for `slot`.
UnivariateProject* VeskNew(int32_t slot);
// Releases everything the record owns (arrays, views, text windows, transforms, regression).
int32_t VeskFree(UnivariateProject& project);
// Forgets the data and every data-derived result; the model and views 0 to 4 stay.
int32_t VeskClearData(UnivariateProject& project);
// Copies model, data, regression, spectra and transforms of `source` into `target`.
int32_t VeskCopy(const UnivariateProject& source, UnivariateProject& target);
