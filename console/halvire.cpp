#include "console/halvire.h"

#include "console/data_file.h"
#include "console/file_select.h"
#include "console/halvire_fit.h"
#include "console/halvire_plot.h"
#include "console/menu.h"
#include "console/screen.h"
#include "console/screen_io.h"
#include "console/series_plot.h"
#include "console/start_screen.h"
#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

// What the main menu asks HalvireModelMenu for.
constexpr int kNewDataSet = 5;
constexpr int kExit = 9;

const std::string kMark(1, kMenuHotKeyMark);

// The name the program gives a simulated series.
constexpr char kSimulatedName[] = "simulated data";

void NewScreen()
{
    SetGraphicsMode(16);
    SetDrawColor(1);
}

// Text begins a row of its own: a menu leaves the cursor behind its last item.
void StartRow()
{
    int column = 0, row = 0;
    BiosGetCursor(column, row);
    if (column > 0) ScreenWrite("()", {});
}

// `count` blank rows below what is shown. Line ends only, so that no blank is written over a
// menu's frame beside the cursor.
void EmptyLines(int count)
{
    StartRow();
    for (int i = 0; i < count; ++i) ScreenWrite("()", {});
}

void Line(const std::string& text)
{
    StartRow();
    ScreenWrite("(A)", {text});
}

// A prompt: the cursor stays behind it.
void Prompt(const std::string& text)
{
    StartRow();
    ScreenWrite("(A,\\)", {text});
}

void Pause(const std::string& text)
{
    Line(text);
    WaitKey();
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Padded(const std::string& text, size_t length)
{
    std::string padded = text.substr(0, length);
    padded.resize(length, ' ');
    return padded;
}

// The program's messages are in capitals; file names are shown as they are.
std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Shows the menu of the items (identifier, text) at the cursor and returns the choice.
int Choose(const std::vector<std::pair<int, std::string>>& items)
{
    MenuClear();
    for (const auto& item : items) MenuAdd(item.first, item.second);
    int choice = 0, column = kMenuAtCursor, row = 0;
    MenuChoose(choice, column, row);
    return choice;
}

// Asks with `prompt` until a typed real can be read and `accept` takes it.
float AskReal(const std::string& prompt, const std::function<bool(float)>& accept)
{
    for (;;) {
        Prompt(prompt);
        float value = 0.0f;
        if (ScreenReadSingles(1, &value) == 1 && accept(value)) return value;
    }
}

int AskInteger(const std::string& prompt, const std::function<bool(int)>& accept)
{
    for (;;) {
        Prompt(prompt);
        int32_t value = 0;
        if (ScreenReadInts(1, &value) == 1 && accept(value)) return value;
    }
}

// A typed file name, trimmed; a name longer than the program's names is asked for again. For a
// file to be written (`output`) so are an empty name, the name of the file that holds the data in
// use (`dataPath`, DataFilePath's form, empty when there is none) and the name of a file the user
// would not replace.
std::string AskName(const std::string& prompt, bool output, const std::string& dataPath)
{
    for (;;) {
        Prompt(prompt);
        std::string typed(127, ' ');
        ReadLine(typed, 127);
        const std::string name = Trimmed(typed);
        if (output && name.empty())
            Line("   THE FILE NAME IS EMPTY: GIVE A NAME.");
        else if (name.size() > static_cast<size_t>(kFileNameField))
            Line("   A FILE NAME HAS AT MOST 24 CHARACTERS.");
        else if (IsSameFile(name, dataPath))
            Line("   FILE HOLDS THE DATA IN USE, GIVE ANOTHER NAME: " + name);
        else if (!output || AskReplaceFile(name, 3) == 1)
            return name;
    }
}

std::string AskFileName(const std::string& prompt)
{
    return AskName(prompt, false, std::string());
}

std::string AskOutputName(const std::string& prompt, const std::string& dataPath)
{
    return AskName(prompt, true, dataPath);
}

// Writes one record per value under `format`; a file that cannot be created or written is
// reported with a pause. The old file stays when the new one cannot be written. Returns whether
// the file was written.
bool WriteValuesFile(const std::string& name, const std::string& format, const float* values, int count)
{
    TextFile file;
    bool written = OpenOutputFile(file, name) == 1;
    for (int i = 0; written && i < count; ++i) written = WriteFileFormatted(file, format, {values[i]}) == 1;
    if (file.mode != TextFile::Mode::Closed) written = CloseFile(file) == 1 && written;
    if (!written) {
        Line("   FILE COULD NOT BE WRITTEN: " + name);
        Pause("   <Press any key to continue>");
    }
    return written;
}

void ComputationFailed()
{
    Line("   THE COMPUTATION FAILED: ITS RESULTS WOULD NOT BE FINITE.");
    Pause("   <Press any key to continue>");
}

}  // namespace

std::string ReadModelFile(TextFile& file, FracArmaModel& model, float& sigma2)
{
    const std::string refused = "      MODEL FILE REFUSED: ";
    const std::string unreadable = refused + "AN ITEM IS MISSING OR NOT A NUMBER.";
    // Free format would read a decimal comma as two items and let an empty item leave a
    // coefficient unset: the line of the next item is looked at before it is read.
    std::string wrongItem;
    auto itemSound = [&]() {
        size_t r = file.nextRecord;
        while (r < file.records.size() && file.records[r].find_first_not_of(" \t") == std::string::npos) ++r;
        if (r == file.records.size()) return true;
        const DataFault fault = FirstItemFault(file.records[r]);
        if (fault == DataFault::None) return true;
        wrongItem = refused + "LINE " + std::to_string(r + 1) + " " + Upper(DataFaultText(fault)) + ".";
        return false;
    };
    auto readReal = [&](float& value) { return itemSound() && ReadFileSingles(file, 1, &value) == 1; };
    auto readInt = [&](int32_t& value) { return itemSound() && ReadFileInts(file, 1, &value) == 1; };
    auto failure = [&]() { return wrongItem.empty() ? unreadable : wrongItem; };
    FracArmaModel read;
    int32_t order = 0;
    if (!readReal(read.d) || !readInt(order)) return failure();
    if (order < 0 || order > kHalvireMaxOrder) return refused + "p OR q NOT IN 0..10.";
    read.p = order;
    for (int i = 0; i < read.p; ++i)
        if (!readReal(read.phi[i])) return failure();
    if (!readInt(order)) return failure();
    if (order < 0 || order > kHalvireMaxOrder) return refused + "p OR q NOT IN 0..10.";
    read.q = order;
    for (int i = 0; i < read.q; ++i)
        if (!readReal(read.theta[i])) return failure();
    float variance = 0.0f;
    if (!readReal(variance)) return failure();
    if (!DifferencingAdmissible(read.d)) return refused + "d NOT IN (-.5,.5).";
    float a[kHalvireMaxOrder + 1] = {1.0f};
    for (int i = 0; i < read.p; ++i) a[i + 1] = -read.phi[i];
    if (!StabilityRecursion(a, read.p + 1)) return refused + "PH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE.";
    for (int i = 0; i < read.q; ++i) a[i + 1] = read.theta[i];
    if (!StabilityRecursion(a, read.q + 1)) return refused + "TH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE.";
    if (!(variance > 0.0f)) return refused + "WNV NOT POSITIVE.";
    model = read;
    sigma2 = variance;
    return {};
}

namespace {

// Typed coefficients c(1..count) until the polynomial 1 + sign c(1) z + ... passes the stability
// recursion.
void AskCoefficients(const char* name, const char* message, float sign, int count, float* c)
{
    for (;;) {
        for (int i = 1; i <= count; ++i)
            c[i - 1] = AskReal(std::string("     ") + name + "(" + std::to_string(i) + ") =  ", [](float) { return true; });
        float a[kHalvireMaxOrder + 1] = {1.0f};
        for (int i = 0; i < count; ++i) a[i + 1] = sign * c[i];
        if (StabilityRecursion(a, count + 1)) return;
        Line(message);
    }
}

void AskModelFromKeyboard(HalvireState& state)
{
    FracArmaModel& model = state.model;
    EmptyLines(1);
    model.d = AskReal("  Specify the order of differencing (-.5<d<.5) : ", DifferencingAdmissible);
    auto orderValid = [](int order) { return order >= 0 && order <= kHalvireMaxOrder; };
    Line("  Specify the autoregressive coeffs");
    Line("  (with p<11) :");
    model.p = AskInteger("   p = ", orderValid);
    if (model.p > 0) {
        Line("    Enter the values of ph(1),...,ph(p):");
        AskCoefficients("ph", "      PH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE.", -1.0f, model.p, model.phi);
    }
    Line("  Specify the moving average coeffs");
    Line("  (with q<11) :");
    model.q = AskInteger("   q = ", orderValid);
    if (model.q > 0) {
        Line("    Enter the values of th(1),...,th(p):");
        AskCoefficients("th", "      TH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE.", 1.0f, model.q, model.theta);
    }
    for (;;) {
        state.sigma2 = AskReal("  White noise variance = ", [](float) { return true; });
        if (state.sigma2 > 0.0f) break;
        Line("      WNV must be positive");
        Pause("   <Press any key to continue>");
    }
    NewScreen();
    Line("  The model autovariance function is calculated from");
    EmptyLines(1);
    Line("      GAMMA(h)= SUM [psi(j)*psi(k)*gamma(h+j-k)]");
    EmptyLines(1);
    Line("  where gamma is the ACVF of fractionally integrated");
    Line("  WN with index d, and j and k run from  0 to N. The");
    Line("  default value of N is 50.  You may wish to increase");
    Line("  N if you have an autoregressive zero very close to");
    Line("  the unit circle.");
    EmptyLines(1);
    Prompt("  Increase the value of N ? ");
    int answer = 0;
    AskYesNo(answer);
    MenuStepBelow();
    if (answer == 1)
        state.N = AskInteger("  Enter new value for N (<201):",
                             [](int N) { return N >= kHalvireMinTerms && N <= kHalvireMaxTerms; });
}

// Model entry: from the keyboard or a model file, which is checked as the keyboard entry is. A
// file that cannot be used is said on a new page, and the source menu follows it there, whole.
void EnterModel(HalvireState& state)
{
    for (;;) {
        state.model = FracArmaModel();
        state.N = kHalvireMinTerms;
        const int source = Choose({{1, kMark + "Enter model from keyboard~"}, {2, kMark + "Read model from a file~"}});
        if (source == 1) {
            AskModelFromKeyboard(state);
            break;
        }
        MenuStepBelow();
        const std::string name = AskFileName("  Name of file containing model : ");
        TextFile file;
        std::string refusal;
        if (OpenInputFile(file, name) != 1) {
            refusal = std::string(FileExists(name) ? "      MODEL FILE CANNOT BE READ: " : "      MODEL FILE NOT FOUND: ") + name;
        } else {
            refusal = ReadModelFile(file, state.model, state.sigma2);
            (void)CloseFile(file);
        }
        if (refusal.empty()) break;
        NewScreen();
        Line(refusal);
        EmptyLines(1);
    }
    state.variance = state.sigma2;
}

void FileModel(const HalvireState& state)
{
    NewScreen();
    const std::string name = AskOutputName(" Name of file for model : ", state.dataPath);
    const FracArmaModel& model = state.model;
    std::vector<std::string> records;
    records.push_back(FreeFormatSingle(model.d));
    records.push_back(FreeFormatInt(model.p));
    for (int i = 0; i < model.p; ++i) records.push_back(FreeFormatSingle(model.phi[i]));
    records.push_back(FreeFormatInt(model.q));
    for (int i = 0; i < model.q; ++i) records.push_back(FreeFormatSingle(model.theta[i]));
    records.push_back(FreeFormatSingle(state.variance));
    TextFile file;
    bool written = OpenOutputFile(file, name) == 1;
    for (size_t i = 0; written && i < records.size(); ++i)
        written = WriteFileFormatted(file, "(1X,A)", {records[i]}) == 1;
    if (file.mode != TextFile::Mode::Closed) written = CloseFile(file) == 1 && written;
    if (!written) Line("   FILE COULD NOT BE WRITTEN: " + name);
    Pause("   <Press any key to continue>");
}

// Why a series cannot be fitted, or "": the criterion needs two values and power at the
// Fourier frequencies, which the values it uses lack when they are all equal.
std::string SeriesRefusal(const std::vector<float>& values, int n)
{
    if (n < 2) return "   THE FILE HOLDS ONE VALUE: AT LEAST 2 ARE NEEDED.";
    const int used = WhittleWorkingLength(n);
    for (int i = n - used + 1; i < n; ++i)
        if (values[i] != values[n - used]) return {};
    return "   THE SERIES IS CONSTANT: IT HAS NO SPECTRUM TO FIT.";
}

void EvaluateModel(HalvireState& state)
{
    state.likelihoodShown = false;
    if (state.dataFlag == 0) return;
    Line("      <Computing Gaussian likelihood>");
    float beta[2 * kHalvireMaxOrder + 1];
    const FracArmaModel& model = state.model;
    for (int i = 0; i < model.p; ++i) beta[i] = model.phi[i];
    for (int i = 0; i < model.q; ++i) beta[model.p + i] = model.theta[i];
    beta[model.p + model.q] = model.d;
    float F = 0.0f, A = 0.0f;
    if (WhittleLikelihood(state.x.data(), state.n, model.p, model.q, beta, F, A) != 1) return;
    state.minus2LogL = ModelMinus2LogLikelihood(state.n, state.variance, F, A);
    state.likelihoodShown = std::isfinite(state.minus2LogL);
}

void ShowValues(const float* values, int count)
{
    std::vector<FormatValue> items;
    for (int i = 0; i < count; ++i) items.emplace_back(values[i]);
    ScreenWrite("(5F15.7)", items);
}

void ShowModel(const HalvireState& state, bool afterFit)
{
    const FracArmaModel& model = state.model;
    NewScreen();
    if (afterFit) EmptyLines(1);
    Line(" CURRENT MODEL PARAMETERS ARE:");
    if (model.p > 0) {
        Line("  AR COEFFICIENTS");
        ShowValues(model.phi, model.p);
    }
    if (model.q > 0) {
        Line("  MA COEFFICIENTS");
        ShowValues(model.theta, model.q);
    }
    Line("  ORDER OF DIFFERENCING");
    ShowValues(&model.d, 1);
    Line("  WN VARIANCE");
    ScreenWrite("(E15.7)", {state.variance});
    if (state.dataFlag == 0) return;
    if (state.likelihoodShown)
        ScreenWrite("(2X,'-2ln(L) (Whittle)      = ',E15.6)", {state.minus2LogL});
    else
        Line("  -2ln(L) CANNOT BE COMPUTED FOR THIS SERIES.");
    if (state.fitFlag == 1) ScreenWrite("(2X,'AKAIKE AIC STATISTIC   = ',E15.6)", {state.aic});
    Pause("    <Press any key to continue>");
    NewScreen();
    EmptyLines(1);
    Line(" ESTIMATION AND PREDICTION MENU :");
}

int MainMenu(const HalvireState& state)
{
    std::vector<std::pair<int, std::string>> items;
    items.push_back({1, kMark + "File the current model~"});
    if (state.dataFlag == 1) {
        items.push_back({2, kMark + "ML Estimation using Whittle's approximation~"});
        items.push_back({3, kMark + "Prediction~"});
        items.push_back({4, kMark + (state.meanFlag == 1 ? "Graph the mean-corrected data~" : "Graph the data~")});
    }
    items.push_back({5, kMark + "Enter a new model~"});
    items.push_back({6, kMark + "Input a new data set~"});
    items.push_back({7, kMark + "Simulation~"});
    items.push_back({8, "P" + kMark + "lot model ACVF~"});
    if (state.dataFlag == 1)
        items.push_back({9, "Pl" + kMark + (state.meanFlag == 1 ? "ot model and sample ACVF~"
                                                                 : "ot model and sample ACVF (assuming mean=0)~")});
    items.push_back({10, "E" + kMark + "xit from HALVIRE~"});
    return Choose(items);
}

// The fit: the parameters varied, the step, then the pattern search from the current model.
// Returns whether the model now holds estimates.
bool Fit(HalvireState& state)
{
    FracArmaModel& model = state.model;
    int k = 1;
    float step = 0.1f;
    for (;;) {
        NewScreen();
        EmptyLines(1);
        k = 1;
        if (model.p + model.q > 0) {
            const int choice = Choose({{1, kMark + "Optimize with respect to all parameters~"},
                                       {2, kMark + "Keep the order of differencing fixed~"}});
            k = choice == 1 ? model.p + model.q + 1 : model.p + model.q;
        }
        EmptyLines(1);
        Prompt(" Step size (eg. .1,reducing later to .01,.001)?");
        // A step of 0 would never end the search and a negative one ends it early.
        int status = ScreenReadSingles(1, &step);
        while (status == 1 && !(step > 0.0f)) {
            Prompt(" Step size (eg. .1,reducing later to .01,.001)?");
            status = ScreenReadSingles(1, &step);
        }
        if (status == 1) break;
    }
    float beta[2 * kHalvireMaxOrder + 1];
    for (int i = 0; i < model.p; ++i) beta[i] = model.phi[i];
    for (int i = 0; i < model.q; ++i) beta[model.p + i] = model.theta[i];
    beta[model.p + model.q] = model.d;
    float F = 0.0f, A = 0.0f;
    if (WhittleSearch(state.x.data(), state.n, model.p, model.q, beta, k, step, F, A) != 1) {
        Line("   NO ADMISSIBLE MODEL WAS FOUND: THE MODEL IS KEPT.");
        Pause("   <Press any key to continue>");
        return false;
    }
    for (int i = 0; i < model.p; ++i) model.phi[i] = beta[i];
    for (int i = 0; i < model.q; ++i) model.theta[i] = beta[model.p + i];
    model.d = beta[model.p + model.q];
    state.variance = A;
    state.fitFlag = 1;
    state.minus2LogL = WhittleMinus2LogLikelihood(state.n, F);
    state.aic = state.minus2LogL + static_cast<float>(2 * k + 2);
    state.likelihoodShown = std::isfinite(state.minus2LogL) && std::isfinite(state.aic);
    return true;
}

void Predict(HalvireState& state)
{
    const int n = state.n;
    NewScreen();
    std::vector<FormatValue> bound = {kHalvireMaxSeries - n};
    int h = 0;
    for (;;) {
        ScreenWrite("('  Enter the number of predicted values required(< ',I5,'): ',\\)", bound);
        int32_t value = 0;
        if (ScreenReadInts(1, &value) == 1 && value >= 0 && value <= kHalvireMaxSeries - n) {
            h = value;
            break;
        }
    }
    state.h = h;
    std::vector<float> mse(static_cast<size_t>(n) + h);
    if (FracPredict(state.model, state.variance, n, h, state.N, state.x.data(), mse.data()) != 1) {
        ComputationFailed();
        return;
    }
    const float shift = state.meanFlag == 1 ? state.mean : 0.0f;
    for (int i = 1; i <= h; ++i) state.y[n + i - 1] = shift + state.x[n + i - 1];

    EmptyLines(1);
    Line(" Number of steps  Predicted " + state.dataName.substr(0, 15) + " Sqrt(MSE)");
    for (int i = 1; i <= h; ++i) {
        if (i > 1 && (i - 1) % 20 == 0) {
            Pause("    <Press return to continue>");
            NewScreen();
        }
        ScreenWrite("(I11,E16.6,E25.6)", {i, state.y[n + i - 1], std::sqrt(mse[n + i - 1])});
    }
    Pause("   <Press any key to continue>");

    NewScreen();
    Prompt(" Do you want to plot the predictors ? ");
    int answer = 0;
    AskYesNo(answer);
    if (answer == 1) {
        std::vector<float> second(static_cast<size_t>(n) + h, kPlotNoValue);
        for (int i = n; i < n + h; ++i) second[i] = state.y[i];
        NewScreen();
        Line("  Press any key and the original data will ");
        Line("  be plotted.  Press any key once again to");
        Line("  view the forecasts. ");
        Pause("   <Press any key to continue>");
        (void)HalvirePlot(state.y.data(), n, h, second.data(), false);
    }
    // Below the frame of the menu before it, the plot's or the question's.
    MenuStepBelow();
    ScreenWrite("(' File predictors of ',A18,\\)", {state.dataName});
    AskYesNo(answer);
    if (answer == 1) {
        NewScreen();
        // The typed name stands a blank apart from the question.
        const std::string name = AskOutputName(" Name of new file ? ", state.dataPath);
        (void)WriteValuesFile(name, "(E13.6)", state.y.data() + n, h);
    }
}

void Graph(const HalvireState& state)
{
    const std::vector<float> second(static_cast<size_t>(state.n), kPlotNoValue);
    // The mean-corrected series is x; otherwise x is the series as read.
    (void)HalvirePlot(state.x.data(), state.n, 0, second.data(), false);
}

// Returns whether the data were replaced by a simulated series.
bool Simulate(HalvireState& state)
{
    NewScreen();
    Line(" This option generates a realization of the current");
    Line(" fractionally integrated ARMA model by calculating");
    Line(" autocovariances and using the innovations algorithm.");
    EmptyLines(1);
    Line(" NOTE THAT THE CURRENT DATA WILL BE REPLACED");
    EmptyLines(1);
    Prompt("  Do you wish to continue with simulation ? ");
    int answer = 0;
    AskYesNo(answer);
    if (answer == 0) return false;
    EmptyLines(1);
    // A series needs two values for the criterion.
    const int n = AskInteger("  Enter the number of values required (<20001) :",
                             [](int count) { return count >= 2 && count <= kHalvireMaxData; });
    EmptyLines(1);
    const int seed = AskInteger("  Random number seed (integer with <10 digits)? ", [](int) { return true; });
    Line("       <Simulation in progress>");
    SeedRandom(seed);
    std::vector<float> series(static_cast<size_t>(n));
    if (FracSimulate(state.model, state.variance, n, state.N, series.data()) != 1) {
        ComputationFailed();
        return false;
    }
    NewScreen();
    Prompt("   File the simulated series (y/n) ? ");
    AskYesNo(answer);
    // The simulated series replaces the data: only a file that now holds it is kept from outputs.
    std::string simulatedPath;
    if (answer == 1) {
        EmptyLines(3);
        const std::string name = AskOutputName("   Name of new file : ", state.dataPath);
        if (WriteValuesFile(name, "(E15.6)", series.data(), n)) simulatedPath = DataFilePath(name);
    }
    std::copy(series.begin(), series.end(), state.x.begin());
    std::copy(series.begin(), series.end(), state.y.begin());
    state.n = n;
    state.mean = 0.0f;
    state.meanFlag = 0;
    state.dataFlag = 1;
    state.dataName = Padded(kSimulatedName, kFileNameField);
    state.dataPath = simulatedPath;
    state.fitFlag = 0;
    state.sigma2 = state.variance;
    return true;
}

// gamma(0..H - 1) of the current model and variance into `values`; false after a failure line.
bool ModelAcvf(const HalvireState& state, int H, std::vector<float>& values)
{
    EmptyLines(2);
    Line("     <Computing ACVF>");
    if (FracAcvf(state.model, H, state.N, values) != 1) {
        ComputationFailed();
        return false;
    }
    values.resize(static_cast<size_t>(H));
    for (float& g : values) g *= state.variance;
    for (float g : values) {
        if (!std::isfinite(g)) {
            ComputationFailed();
            return false;
        }
    }
    return true;
}

void PlotModelAcvf(const HalvireState& state)
{
    // Without data the plot shows 300 lags.
    const int H = state.dataFlag == 1 ? state.n : 300;
    std::vector<float> gamma;
    if (!ModelAcvf(state, H, gamma)) return;
    const std::vector<float> second(static_cast<size_t>(H), kPlotNoValue);
    (void)HalvirePlot(gamma.data(), H, 0, second.data(), true);
}

void PlotBothAcvf(const HalvireState& state)
{
    const int n = state.n;
    std::vector<float> gamma;
    if (!ModelAcvf(state, n, gamma)) return;
    // The sample autocovariances of x as held: no further mean is removed.
    std::vector<float> sample(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        double sum = 0.0;
        for (int t = 0; t + k < n; ++t) sum += static_cast<double>(state.x[t + k]) * state.x[t];
        sample[k] = static_cast<float>(sum / n);
    }
    (void)HalvirePlot(gamma.data(), n, 0, sample.data(), true);
}

// Says on a page of its own why a data file gives no series, and waits for a key.
void FileNotUsed(const std::string& refusal, const std::string& why)
{
    NewScreen();
    Line(refusal);
    if (!why.empty()) Line(why);
    Pause("   <Press any key to continue>");
}

// Reads the data file the user selects into x and y; a file that gives no series, or one the
// criterion cannot use, is refused with the reason and the selection comes back. Where the
// reading rules took effect, and where reading stopped before the end of the file, is said on the
// page that follows.
void ChooseDataFile(HalvireState& state)
{
    EmptyLines(1);
    for (;;) {
        std::string name(kFileNameField, ' ');
        do {
            NewScreen();
            Prompt("  SELECT NAME OF FILE ...");
            SelectFile(name);
        } while (Trimmed(name) == "changedir");
        const std::string chosen = Trimmed(name);
        DataFileRead read;
        if (ReadDataFile(chosen, 1, kHalvireMaxData, read) != 1) {
            FileNotUsed("   FILE CANNOT BE USED: " + chosen, "   IT CANNOT BE OPENED.");
            continue;
        }
        if (read.count == 0 || DataFaultRefuses(read.fault)) {
            FileNotUsed("   FILE CANNOT BE USED: " + chosen, "   " + Upper(DataFileProblem(read)));
            continue;
        }
        const int n = read.count;
        const std::string refusal = SeriesRefusal(read.values, n);
        if (!refusal.empty()) {
            FileNotUsed(refusal, "");
            continue;
        }
        std::copy(read.values.begin(), read.values.end(), state.x.begin());
        std::copy(read.values.begin(), read.values.end(), state.y.begin());
        state.n = n;
        state.dataName = Padded(name, kFileNameField);
        state.dataPath = DataFilePath(chosen);
        NewScreen();
        // Shown on the page that follows, where it stays to be read.
        if (read.more) Line("   DATA TRUNCATED AFTER FIRST 20000 OBSERVATIONS.");
        for (const std::string& line : DataReadLines(read, "value")) Line("   " + Upper(line));
        return;
    }
}

void ShowStatisticsAndChooseMean(HalvireState& state)
{
    const int n = state.n;
    ScreenWrite("('  Number of observations= ',I6)", {n});
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += state.x[i];
    state.mean = static_cast<float>(sum / n);
    double squares = 0.0;
    for (int i = 0; i < n; ++i) {
        const double deviation = static_cast<double>(state.x[i]) - state.mean;
        squares += deviation * deviation;
    }
    const float deviation = static_cast<float>(std::sqrt(squares / n));
    EmptyLines(1);
    ScreenWrite("(2X,'Mean of series ',3X,'Std. dev. of series')", {});
    ScreenWrite("(F14.5,8X,F14.5)", {state.mean, deviation});
    EmptyLines(3);
    const int choice = Choose({{1, kMark + "Subtract the sample mean~"}, {2, kMark + "Assume data is from a zero-mean process~"}});
    state.meanFlag = choice == 1 ? 1 : 0;
    if (state.meanFlag == 1)
        for (int i = 0; i < n; ++i) state.x[i] -= state.mean;
}

}  // namespace

void HalvireIntro()
{
    NewScreen();
    SetTextCursor(12, 5);
    MenuClear();
    const char* lines[] = {"  This program can be used to simulate data", " from a specified fractionally integrated",
                           " ARMA model with zero mean.",                 " It can also be used to fit such models to",
                           " (a possibly mean corrected) data set and",   " to forecast future values of the series.",
                           " Series of length n up to 20000 are allowed", " but the analysis is slow for n>2000."};
    for (const char* line : lines) MenuAdd(1, std::string(line) + "~");
    MenuShow();
    SetTextCursor(3, 16);
    ScreenWrite("(16X,'<Press any key to continue>',\\)", {});
    WaitKey();
}

int HalvireModelMenu(HalvireState& state)
{
    if (state.modelKept == 1) {
        state.modelKept = 0;
    } else {
        EnterModel(state);
    }
    bool evaluate = true;
    bool afterFit = false;
    for (;;) {
        if (evaluate) EvaluateModel(state);
        ShowModel(state, afterFit);
        evaluate = false;
        afterFit = false;
        switch (MainMenu(state)) {
        case 1:
            FileModel(state);
            break;
        case 2:
            afterFit = Fit(state);
            break;
        case 3:
            Predict(state);
            break;
        case 4:
            Graph(state);
            break;
        case 5:
            state.fitFlag = 0;
            state.h = 0;
            EnterModel(state);
            evaluate = true;
            break;
        case 6:
            // The model shown goes with the new data; its fit belonged to the old series.
            state.sigma2 = state.variance;
            state.fitFlag = 0;
            state.modelKept = 1;
            return kNewDataSet;
        case 7:
            evaluate = Simulate(state);
            break;
        case 8:
            PlotModelAcvf(state);
            break;
        case 9:
            PlotBothAcvf(state);
            break;
        default:
            return kExit;
        }
    }
}

void HalvireSession(HalvireState& state)
{
    HalvireIntro();
    EmptyLines(2);
    const int choice = Choose({{1, kMark + "Input data and model~"}, {2, kMark + "Enter model only~"},
                               {3, "E" + kMark + "xit from HALVIRE~"}});
    if (choice == 3) return;
    state.dataFlag = 0;
    if (choice == 2 && HalvireModelMenu(state) != kNewDataSet) return;
    for (;;) {
        ChooseDataFile(state);
        ShowStatisticsAndChooseMean(state);
        state.dataFlag = 1;
        state.fitFlag = 0;
        if (HalvireModelMenu(state) != kNewDataSet) return;
    }
}

void HalvireMain()
{
    int adapter = 0, layout = 0, plotBottom = 0;
    StartScreen("H A L V I R E", adapter, layout, plotBottom);
    try {
        HalvireState state;
        state.x.assign(kHalvireMaxSeries, 0.0f);
        state.y.assign(kHalvireMaxSeries, 0.0f);
        HalvireSession(state);
    } catch (const std::bad_alloc&) {
        SetTextMode();
        Line(" HALVIRE: NOT ENOUGH MEMORY.");
        ProgramStop(1);
    }
    SetTextMode();
}
