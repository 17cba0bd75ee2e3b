#pragma once
// The dialogue molda and drav share: start screen and introduction, the main menu, the data file,
// differencing and mean correction with their plots, the model menu, the coefficient and
// covariance tables, forecasts of the differenced and the undifferenced series with their tables
// and plots, and the prediction-error file. A program supplies its texts and its fit; the real
// type is that of its differenced series (double in molda, float in drav).
#include "console/start_screen.h"
#include "console/var_numerics.h"

// Everything a run keeps, in fixed storage for 11 components and 10,000 vectors plus 20 forecasts.
template <typename Real>
struct VarSession {
    int m = 0;       // components
    int n = 0;       // vectors read
    int ndiff = 0;   // differencing operations
    int lag1 = 0;
    int lag2 = 0;
    int nPrime = 0;  // length of the differenced series
    int pmax = 0;    // orders must lie below it
    int order = 0;   // the order fitted
    int h = 0;       // forecasts
    float aicc = 0.0f;
    float X[kVarSeriesLength];  // the data, then the undifferenced forecasts at n+1..n+h
    Real Y[kVarSeriesLength];   // differenced, mean-corrected; forecasts at n'+1..n'+h
    Real mean[kVarComponents];
    Real var[kVarComponents];
    Real sd[kVarComponents];
    Real meanCopy[kVarComponents];  // added back to the forecasts
    Real phi[kVarLagSetLength];     // PHI(1..order) on the scale of the data
    Real V[kVarMatrix];
    float e[kVarSeriesLength];      // one-step prediction errors at p+1..n'
    Real operatorA[kVarLagSetLength];
    Real psi[kVarLagSetLength];
    Real mse[kVarLagSetLength];
    Real originalMse[kVarLagSetLength];
};

// The lines 9 to 13 of the 23-line introduction, which tell the fitting algorithm.
constexpr int kAlgorithmLines = 5;

template <typename Real>
struct VarProgram {
    const char* spacedName;    // on the start screen
    const char* exitItem;      // of the main and model menus: "Exit from MOLDA"
    const char* plotExitItem;  // of the plot menu
    const char* const* algorithmLines;  // kAlgorithmLines lines of the introduction
    YesNoItems yesNo;
    const char* covarianceHeading;  // above V
    // When the differencing dialogue has ended: 1 goes on to the model menu; 0, after its message
    // and a key, back to the main menu.
    int (*differencingDone)(VarSession<Real>& session);
    // Fits the order asked (-1: the minimum-AICC search over 0..pmax-1), writing its own messages:
    // 1 with session.order, phi, V, aicc and the prediction errors e on the scale of the data;
    // 0, after its message and a key, back to the main menu.
    int (*fit)(VarSession<Real>& session, int order);
};

// Runs the program's dialogue until an Exit item ends it with "Stop - Program terminated." in
// text mode and the program stop.
template <typename Real>
[[noreturn]] void RunVarProgram(const VarProgram<Real>& program, VarSession<Real>& session);

// What the programs share on the screen: setting the graphics mode again with drawing colour 1;
// "  <Press any key to continue>" and a key; the free-format message of a numerical difficulty.
void VarClear();
void VarPause();
void VarNumericalDifficulties(const char* first, const char* last);

// The program's menus; each returns the chosen identifier minus 1 (0 Continue, k component k, m + 1
// exit).
// The 23 lines of the introduction as a menu, with the program's lines 9 to 13.
void ShowIntroduction(const char* const* algorithmLines);
void PlotComponentMenu(int& choice, int m, const char* exitItem);
void ForecastMenu(int& choice, int m);
void OriginalForecastMenu(int& choice, int m);
