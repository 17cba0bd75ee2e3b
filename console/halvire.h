#pragma once
// halvire: simulates, fits and forecasts fractionally integrated ARMA models in a menu dialogue on
// the console screen. It reads a series data file and model files, and writes model, predictor and
// simulated-series files in the current directory (which the file selection may change).
#include "console/halvire_model.h"
#include "platform/text_file.h"

#include <string>
#include <vector>

// The program's state for one run.
struct HalvireState {
    std::vector<float> x;  // the working series x(1..n) (mean-corrected when chosen), predictions after it
    std::vector<float> y;  // the series as read or simulated; predictors in its scale after y(n)
    int n = 0;
    float mean = 0.0f;
    int meanFlag = 0;  // 1: the mean was subtracted from x
    int dataFlag = 0;  // 1: a series is present
    std::string dataName;
    std::string dataPath;  // the absolute name of the file that holds the data in use, or ""
    FracArmaModel model;
    float sigma2 = 0.0f;    // the white-noise variance as entered
    float variance = 0.0f;  // the current variance: sigma2, or the estimate after a fit
    int fitFlag = 0;
    int N = kHalvireMinTerms;
    int h = 0;
    int modelKept = 0;  // the next model entry is skipped once
    // The likelihood lines of the model display.
    bool likelihoodShown = false;
    float minus2LogL = 0.0f;
    float aic = 0.0f;
};

// The program: the start screen, the session, then text mode.
void HalvireMain();
// The introduction, the first menu, the data file and its mean correction, then the model menu
// for as long as it asks for a new data set.
void HalvireSession(HalvireState& state);
// Model entry (skipped once when the model is kept), the model display and the ESTIMATION AND
// PREDICTION MENU. Returns 5 for "Input a new data set" (the model kept) and 9 for the exit.
int HalvireModelMenu(HalvireState& state);
// The introduction box and its pause.
void HalvireIntro();

// Reads a model file opened for reading: d, p, phi(1..p), q, theta(1..q) and the white-noise
// variance. Returns the line that says why the file is refused (naming the file's line when an
// item is empty or has a decimal comma, which free format would misread), or "" for a model that
// is read whole and lies inside the limits the keyboard entry keeps (model and sigma2 are then set).
std::string ReadModelFile(TextFile& file, FracArmaModel& model, float& sigma2);
