// halvire's dialogue on the scripted PC, in a fixture directory: the main path on the Nile series
// (keyboard model, likelihood, fit, model file, predictions and their file, a seeded simulation
// and its file, the two autocovariance plots, the model file read back), the refused entries, the
// data files at and past their limits, and the graph of the series as read or mean-corrected.
#include "scratch_folder.h"
#include "scripted_pc.h"

#include "console/halvire.h"
#include "console/halvire_fit.h"
#include "console/halvire_model.h"
#include "console/screen.h"
#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kMagenta = 5;

void WriteFile(const std::string& name, const std::string& text)
{
    ASSERT_EQ(ReplaceFileBytes(name, std::vector<unsigned char>(text.begin(), text.end())), 1) << name;
}

std::string FileText(const std::string& name)
{
    std::vector<unsigned char> bytes;
    if (ReadFileBytes(name, bytes) != 1) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

std::vector<double> NileValues()
{
    const ReferenceTable t = ReadReferenceTable("halvire_series.csv");
    std::vector<double> x;
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.Text(r, "series") == "nile") x.push_back(t.Number(r, "value"));
    return x;
}

std::string NileFile()
{
    std::string text;
    for (double v : NileValues()) text += std::to_string(static_cast<int>(v)) + "\n";
    return text;
}

// The Nile series as the program holds it after subtracting the mean.
std::vector<float> NileCorrected(float& mean)
{
    std::vector<float> x;
    double sum = 0.0;
    for (double v : NileValues()) {
        x.push_back(static_cast<float>(v));
        sum += v;
    }
    mean = static_cast<float>(sum / x.size());
    for (float& v : x) v -= mean;
    return x;
}

// One formatted record without its line end.
std::string Record(std::string_view format, const std::vector<FormatValue>& values)
{
    std::string text = Formatted(format, values);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::vector<std::string> Rows(const ScreenPicture& picture)
{
    std::vector<std::string> rows;
    for (int row = 0; row < 25; ++row) rows.push_back(picture.Row(row));
    return rows;
}

// The first wait at or after `from` whose screen has a row equal to `row`; -1 when none.
int WaitWithRow(const ScriptedRun& run, const std::string& row, int from = 0)
{
    for (int w = from; w < static_cast<int>(run.waits.size()); ++w) {
        for (const std::string& r : Rows(run.waits[w]))
            if (r == row) return w;
    }
    return -1;
}

// The row number of `row` on a screen, or -1.
int RowOf(const ScreenPicture& picture, const std::string& row)
{
    const std::vector<std::string> rows = Rows(picture);
    for (int r = 0; r < 25; ++r)
        if (rows[r] == row) return r;
    return -1;
}

// Checks that `expected` stand on consecutive rows of the screen, from the row of the first.
void ExpectRowsInOrder(const ScreenPicture& picture, const std::vector<std::string>& expected, const std::string& what)
{
    const int first = RowOf(picture, expected.front());
    ASSERT_GE(first, 0) << what << ": no row \"" << expected.front() << "\" in\n" << picture.text;
    for (size_t k = 1; k < expected.size(); ++k)
        EXPECT_EQ(picture.Row(first + static_cast<int>(k)), expected[k]) << what << " row " << k << " in\n" << picture.text;
}

// Checks that each of `rows` is shown at the wait of the one before it or at a later one.
void ExpectRowsInWaitOrder(const ScriptedRun& run, const std::vector<std::string>& rows, const std::string& what)
{
    int from = 0;
    for (const std::string& row : rows) {
        const int at = WaitWithRow(run, row, from);
        EXPECT_GE(at, 0) << what << ": no row \"" << row << "\" from wait " << from;
        if (at >= 0) from = at;
    }
}

double NumberAfter(const std::string& row, const std::string& label)
{
    const size_t at = row.find(label);
    if (at == std::string::npos) return std::nan("");
    return std::strtod(row.c_str() + at + label.size(), nullptr);
}

const std::string kStart = "key a\nkey a\n";
// From the first menu: the data file at position `down` of the listing ("." and ".." first),
// then the mean choice.
std::string ChooseData(int down, const char* mean)
{
    std::string script = "key i\n";
    for (int k = 0; k < down; ++k) script += "key down\n";
    return script + "key enter\nkey " + mean + "\n";
}
// A white-noise model from the keyboard, N kept.
const std::string kWhiteNoise = "key e\nline 0\nline 0\nline 0\nline 1\nkey n\n";

std::vector<std::string> MenuRows(bool meanCorrected)
{
    return {" ESTIMATION AND PREDICTION MENU :",
            " File the current model",
            " ML Estimation using Whittle's approximation",
            " Prediction",
            meanCorrected ? " Graph the mean-corrected data" : " Graph the data",
            " Enter a new model",
            " Input a new data set",
            " Simulation",
            " Plot model ACVF",
            meanCorrected ? " Plot model and sample ACVF" : " Plot model and sample ACVF (assuming mean=0)",
            " Exit from HALVIRE"};
}

TEST(HalvireDialogue, MainPathOnNile)
{
    ScratchFolder folder("halvire-main");
    WriteFile("nile.dat", NileFile());
    const std::string script = kStart + ChooseData(2, "s") +
                               // ARFIMA(1, d, 0) from the keyboard; the display's pause.
                               "key e\nline 0.2\nline 1\nline 0.3\nline 0\nline 15000\nkey n\nkey a\n"
                               // The fit over all parameters with step .1.
                               "key m\nkey o\nline .1\nkey a\n"
                               // Both autocovariances of the mean-corrected series, lags 0..99.
                               "key o\nkey a\nkey c\nkey a\n"
                               // The model file.
                               "key f\nline nile.mod\nkey a\nkey a\n"
                               // 45 predictions: pauses before rows 21 and 41, the plot, the file.
                               "key p\nline 45\nkey a\nkey a\nkey a\nkey y\nkey a\nkey a\nkey a\nkey c\nkey y\nline nile.prd\nkey a\n"
                               // No predictions, filed all the same.
                               "key p\nline 0\nkey a\nkey n\nkey y\nline empty.prd\nkey a\n"
                               // A seeded simulation of 50 values, filed.
                               "key s\nkey y\nline 50\nline 12345\nkey y\nline sim.dat\nkey a\n"
                               // Both autocovariances, then the model's alone.
                               "key o\nkey a\nkey c\nkey a\n"
                               "key l\nkey a\nkey c\nkey a\n"
                               // The model file read back, and the exit.
                               "key e\nkey r\nline nile.mod\nkey a\nkey x\n";
    const ScriptedRun run = RunScripted(script, HalvireMain);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.inputsLeft, 0);

    // The introduction and the first menu.
    const ScreenPicture& intro = run.waits[1];
    EXPECT_EQ(intro.Row(5), std::string(13, ' ') + "  This program can be used to simulate data");
    EXPECT_EQ(intro.Row(7), std::string(13, ' ') + " ARMA model with zero mean.");
    EXPECT_EQ(intro.Row(12), std::string(13, ' ') + " but the analysis is slow for n>2000.");
    EXPECT_EQ(intro.Row(16), std::string(19, ' ') + "<Press any key to continue>");
    ExpectRowsInOrder(run.waits[2], {" Input data and model", " Enter model only", " Exit from HALVIRE"}, "first menu");
    EXPECT_EQ(RowOf(run.waits[2], " Input data and model"), 19);
    ExpectRowsInOrder(run.waits[3], {"  SELECT NAME OF FILE ...", " <.                       >", " <..                      >", " nile.dat"},
                      "file selection");

    // The statistics of the series as read: the mean and the standard deviation with divisor n.
    const std::vector<double> nile = NileValues();
    double mean = 0.0, squares = 0.0;
    for (double v : nile) mean += v / nile.size();
    for (double v : nile) squares += (v - mean) * (v - mean) / nile.size();
    const int statistics = WaitWithRow(run, "  Number of observations=    100");
    ASSERT_GE(statistics, 0);
    const ScreenPicture& stats = run.waits[statistics];
    EXPECT_EQ(stats.Row(2), "  Mean of series    Std. dev. of series");
    EXPECT_NEAR(std::strtod(stats.Row(3).c_str(), nullptr), mean, 1e-3);
    EXPECT_NEAR(std::strtod(stats.Row(3).c_str() + 14, nullptr), std::sqrt(squares), 1e-3);
    ExpectRowsInOrder(stats, {" Subtract the sample mean", " Assume data is from a zero-mean process"}, "mean menu");
    EXPECT_EQ(RowOf(stats, " Subtract the sample mean"), 7);

    // The keyboard model and the truncation screen.
    const int nQuestion = WaitWithRow(run, "  Increase the value of N ?  No");
    ASSERT_GT(nQuestion, 0);
    ExpectRowsInOrder(run.waits[nQuestion - 1],
                      {"  Specify the order of differencing (-.5<d<.5) : 0.2", "  Specify the autoregressive coeffs",
                       "  (with p<11) :", "   p = 1", "    Enter the values of ph(1),...,ph(p):", "     ph(1) =  0.3",
                       "  Specify the moving average coeffs", "  (with q<11) :", "   q = 0", "  White noise variance ="},
                      "keyboard model");
    ExpectRowsInOrder(run.waits[nQuestion],
                      {"  The model autovariance function is calculated from", "",
                       "      GAMMA(h)= SUM [psi(j)*psi(k)*gamma(h+j-k)]", "",
                       "  where gamma is the ACVF of fractionally integrated",
                       "  WN with index d, and j and k run from  0 to N. The",
                       "  default value of N is 50.  You may wish to increase",
                       "  N if you have an autoregressive zero very close to", "  the unit circle.", "",
                       "  Increase the value of N ?  No", std::string(29, ' ') + "Yes"},
                      "truncation");

    // The model as entered with -2 ln L from R's criterion at it.
    const ScreenPicture& entered = run.waits[nQuestion + 1];
    ExpectRowsInOrder(entered, {" CURRENT MODEL PARAMETERS ARE:", "  AR COEFFICIENTS", "      0.3000000",
                                "  ORDER OF DIFFERENCING", "      0.2000000", "  WN VARIANCE", "  0.1500000E+05"},
                      "model as entered");
    EXPECT_EQ(RowOf(entered, " CURRENT MODEL PARAMETERS ARE:"), 0);
    const ReferenceTable whittle = ReadReferenceTable("halvire_whittle.csv");
    ASSERT_EQ(whittle.Text(3, "case"), "arfima10_raw");
    const double F = whittle.Number(3, "F"), A = whittle.Number(3, "A"), sigma2 = 15000;
    const double expected = 100 * (std::log(sigma2) + A / sigma2 + std::log(6.283185) + F - std::log(A));
    EXPECT_NEAR(NumberAfter(entered.Row(7), "  -2ln(L) (Whittle)      = "), expected, 5e-5 * expected) << entered.text;
    EXPECT_EQ(entered.Row(8), "    <Press any key to continue>");
    const ScreenPicture& menu = run.waits[nQuestion + 2];
    EXPECT_EQ(menu.Row(0), "");
    ExpectRowsInOrder(menu, MenuRows(true), "menu");

    // The fit: its menu and step prompt, then the estimates of the same search run here.
    const int fitMenu = WaitWithRow(run, " Optimize with respect to all parameters");
    ASSERT_GT(fitMenu, 0);
    EXPECT_EQ(run.waits[fitMenu].Row(2), " Keep the order of differencing fixed");
    EXPECT_EQ(run.waits[fitMenu + 1].Row(4), " Step size (eg. .1,reducing later to .01,.001)?");
    float nileMean = 0.0f;
    const std::vector<float> x = NileCorrected(nileMean);
    float beta[] = {0.3f, 0.2f};
    float step = 0.1f, fitF = 0.0f, fitA = 0.0f;
    ASSERT_EQ(WhittleSearch(x.data(), 100, 1, 0, beta, 2, step, fitF, fitA), 1);
    const float fitted2LogL = WhittleMinus2LogLikelihood(100, fitF);
    const std::vector<std::string> fittedRows = {" CURRENT MODEL PARAMETERS ARE:",
                                                 "  AR COEFFICIENTS",
                                                 Record("(5F15.7)", {beta[0]}),
                                                 "  ORDER OF DIFFERENCING",
                                                 Record("(5F15.7)", {beta[1]}),
                                                 "  WN VARIANCE",
                                                 Record("(E15.7)", {fitA}),
                                                 Record("(2X,'-2ln(L) (Whittle)      = ',E15.6)", {fitted2LogL}),
                                                 Record("(2X,'AKAIKE AIC STATISTIC   = ',E15.6)", {fitted2LogL + 6.0f}),
                                                 "    <Press any key to continue>"};
    const ScreenPicture& fitted = run.waits[fitMenu + 2];
    ExpectRowsInOrder(fitted, fittedRows, "fitted model");
    EXPECT_EQ(RowOf(fitted, " CURRENT MODEL PARAMETERS ARE:"), 1);
    const ScreenPicture& nileAcvf = run.waits[fitMenu + 4];
    EXPECT_EQ(nileAcvf.Row(19), std::string(11, ' ') + "-1" + std::string(60, ' ') + "   99");
    EXPECT_GT(nileAcvf.Count(0, 0, 639, 349, kMagenta), 100);
    EXPECT_FALSE(DumpPicture(nileAcvf, "halvire-two-acvf").empty());

    // The model file: the fitted model, one item a record, read back exactly.
    TextFile modelFile;
    ASSERT_EQ(OpenInputFile(modelFile, "nile.mod"), 1);
    float d = 0, phi = 0, variance = 0;
    int32_t p = -1, q = -1;
    ASSERT_EQ(ReadFileSingles(modelFile, 1, &d), 1);
    ASSERT_EQ(ReadFileInts(modelFile, 1, &p), 1);
    ASSERT_EQ(ReadFileSingles(modelFile, 1, &phi), 1);
    ASSERT_EQ(ReadFileInts(modelFile, 1, &q), 1);
    ASSERT_EQ(ReadFileSingles(modelFile, 1, &variance), 1);
    EXPECT_EQ(modelFile.records.size(), 5u);
    EXPECT_EQ(d, beta[1]);
    EXPECT_EQ(p, 1);
    EXPECT_EQ(phi, beta[0]);
    EXPECT_EQ(q, 0);
    EXPECT_EQ(variance, fitA);

    // 45 predictions of the fitted model, in the scale of the data, three pages.
    FracArmaModel model;
    model.p = 1;
    model.phi[0] = beta[0];
    model.d = beta[1];
    std::vector<float> series(x), mse(145);
    series.resize(145);
    ASSERT_EQ(FracPredict(model, fitA, 100, 45, 50, series.data(), mse.data()), 1);
    std::vector<std::string> tableRows, predictorRecords;
    for (int i = 1; i <= 45; ++i) {
        tableRows.push_back(Record("(I11,E16.6,E25.6)", {i, nileMean + series[99 + i], std::sqrt(mse[99 + i])}));
        predictorRecords.push_back(Record("(E13.6)", {nileMean + series[99 + i]}));
    }
    const int firstPage = WaitWithRow(run, "  Enter the number of predicted values required(< 20000): 45");
    ASSERT_GT(firstPage, 0);
    const ScreenPicture& page1 = run.waits[firstPage];
    EXPECT_EQ(page1.Row(1), "");
    EXPECT_EQ(page1.Row(2), " Number of steps  Predicted nile.dat        Sqrt(MSE)");
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(page1.Row(2 + i), tableRows[i - 1]) << i;
    EXPECT_EQ(page1.Row(23), "    <Press return to continue>");
    const ScreenPicture& page2 = run.waits[firstPage + 1];
    for (int i = 21; i <= 40; ++i) EXPECT_EQ(page2.Row(i - 21), tableRows[i - 1]) << i;
    EXPECT_EQ(page2.Row(20), "    <Press return to continue>");
    const ScreenPicture& page3 = run.waits[firstPage + 2];
    for (int i = 41; i <= 45; ++i) EXPECT_EQ(page3.Row(i - 41), tableRows[i - 1]) << i;
    EXPECT_EQ(page3.Row(5), "   <Press any key to continue>");
    ExpectRowsInOrder(run.waits[firstPage + 4],
                      {"  Press any key and the original data will", "  be plotted.  Press any key once again to",
                       "  view the forecasts.", "   <Press any key to continue>"},
                      "before the prediction plot");
    // The plot: 145 values from index 0, the predictions after a pause.
    EXPECT_EQ(run.waits[firstPage + 5].Row(19), std::string(12, ' ') + "0" + std::string(60, ' ') + "  145");
    EXPECT_EQ(run.waits[firstPage + 5].Count(0, 0, 639, 349, kMagenta), 0);
    EXPECT_GT(run.waits[firstPage + 6].Count(0, 0, 639, 349, kMagenta), 0);
    const int fileQuestion = WaitWithRow(run, " File predictors of nile.dat           No");
    ASSERT_GT(fileQuestion, firstPage);
    EXPECT_EQ(run.waits[fileQuestion + 1].Row(0), " Name of new file ?");
    std::string predictorFile;
    for (const std::string& record : predictorRecords) predictorFile += record + "\r\n";
    EXPECT_EQ(FileText("nile.prd"), predictorFile);

    // No predictions: no rows, and a predictor file without records.
    const int none = WaitWithRow(run, "  Enter the number of predicted values required(< 20000): 0");
    ASSERT_GT(none, fileQuestion);
    ExpectRowsInOrder(run.waits[none],
                      {"  Enter the number of predicted values required(< 20000): 0", "",
                       " Number of steps  Predicted nile.dat        Sqrt(MSE)", "   <Press any key to continue>"},
                      "no predictions");
    EXPECT_EQ(FileText("empty.prd"), "");

    // The simulation: its page, the seeded series in its file, the data replaced.
    const int simulation = WaitWithRow(run, "  Do you wish to continue with simulation ?  No");
    ASSERT_GT(simulation, none);
    ExpectRowsInOrder(run.waits[simulation],
                      {" This option generates a realization of the current", " fractionally integrated ARMA model by calculating",
                       " autocovariances and using the innovations algorithm.", "", " NOTE THAT THE CURRENT DATA WILL BE REPLACED", "",
                       "  Do you wish to continue with simulation ?  No"},
                      "simulation");
    ExpectRowsInOrder(run.waits[simulation + 2],
                      {std::string(45, ' ') + "Yes", "", "  Enter the number of values required (<20001) :50", "",
                       "  Random number seed (integer with <10 digits)?"},
                      "simulation prompts");
    EXPECT_EQ(run.waits[simulation + 4].Row(5), "   Name of new file :");
    SeedRandom(12345);
    std::vector<float> simulated(50);
    ASSERT_EQ(FracSimulate(model, fitA, 50, 50, simulated.data()), 1);
    std::string simulatedFile;
    for (float v : simulated) simulatedFile += Record("(E15.6)", {v}) + "\r\n";
    EXPECT_EQ(FileText("sim.dat"), simulatedFile);
    float simF = 0.0f, simA = 0.0f;
    ASSERT_EQ(WhittleLikelihood(simulated.data(), 50, 1, 0, beta, simF, simA), 1);
    const ScreenPicture& afterSimulation = run.waits[simulation + 5];
    EXPECT_EQ(afterSimulation.Row(7),
              Record("(2X,'-2ln(L) (Whittle)      = ',E15.6)", {ModelMinus2LogLikelihood(50, fitA, simF, simA)}));
    EXPECT_EQ(RowOf(afterSimulation, Record("(2X,'AKAIKE AIC STATISTIC   = ',E15.6)", {fitted2LogL + 6.0f})), -1);
    ExpectRowsInOrder(run.waits[simulation + 6], MenuRows(false), "menu after the simulation");

    // Both autocovariances of the 50 values over lags 0..49, the sample's in magenta.
    const ScreenPicture& both = run.waits[simulation + 7];
    EXPECT_EQ(both.Row(19), std::string(11, ' ') + "-1" + std::string(60, ' ') + "   49");
    EXPECT_GT(both.Count(0, 0, 639, 349, kMagenta), 50);
    const ScreenPicture& modelOnly = run.waits[simulation + 11];
    EXPECT_EQ(modelOnly.Row(19), std::string(11, ' ') + "-1" + std::string(60, ' ') + "   49");
    EXPECT_EQ(modelOnly.Count(0, 0, 639, 349, kMagenta), 0);

    // The model file read back: the fitted model again.
    const int readBack = WaitWithRow(run, "  Name of file containing model :");
    ASSERT_GT(readBack, simulation);
    ExpectRowsInOrder(run.waits[readBack + 1], {fittedRows.begin(), fittedRows.begin() + 7}, "model read back");

    // The exit leaves the text screen.
    EXPECT_EQ(run.end.text, "");
}

TEST(HalvireDialogue, RefusedEntriesAreAskedAgain)
{
    struct Case {
        const char* name;
        std::string files;  // name=content pairs, one a line ("|" for line ends in the content)
        std::string script;
        std::vector<std::string> rows;  // rows that must appear, in order of the waits
        // A row and the number of waits that must show it (none when the count is 0).
        std::pair<std::string, int> counted = {"", 0};
        // A file and what it must hold at the end (none when the name is empty).
        std::pair<std::string, std::string> written = {"", ""};
    };
    const std::string modelOnly = kStart + "key e\n";
    const std::string keyboardEnd = "line 0\nline 1\nkey n\nkey x\n";  // q = 0, sigma2 = 1, N kept, exit
    const std::string goodFile = "good.mod=0.1|0|0|2|";
    const std::string readGood = "key r\nline good.mod\nkey x\n";
    const Case cases[] = {
        {"d = 0.5", "", modelOnly + "key e\nline 0.5\nline 0.49\nline 0\n" + keyboardEnd,
         {"  Specify the order of differencing (-.5<d<.5) : 0.5", "  Specify the order of differencing (-.5<d<.5) : 0.49"}},
        {"d = -0.5", "", modelOnly + "key e\nline -0.5\nline x\nline -0.1\nline 0\n" + keyboardEnd,
         {"  Specify the order of differencing (-.5<d<.5) : -0.5", "  Specify the order of differencing (-.5<d<.5) : x",
          "  Specify the order of differencing (-.5<d<.5) : -0.1"}},
        {"p = 11, then ten coefficients", "",
         modelOnly + "key e\nline 0\nline 11\nline 10\n" + [] {
             std::string s;
             for (int i = 0; i < 10; ++i) s += "line 0\n";
             return s;
         }() + keyboardEnd,
         {"   p = 11", "   p = 10", "     ph(10) =  0"}},
        {"phi = 1", "", modelOnly + "key e\nline 0\nline 1\nline 1\nline 0.99\n" + keyboardEnd,
         {"     ph(1) =  1", "      PH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE.", "     ph(1) =  0.99"}},
        {"theta = -1", "", modelOnly + "key e\nline 0\nline 0\nline 1\nline -1\nline -0.9\nline 1\nkey n\nkey x\n",
         {"     th(1) =  -1", "      TH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE.", "     th(1) =  -0.9"}},
        {"sigma2 = 0", "", modelOnly + "key e\nline 0\nline 0\nline 0\nline 0\nkey a\nline 2\nkey n\nkey x\n",
         {"  White noise variance = 0", "      WNV must be positive", "   <Press any key to continue>", "  White noise variance ="}},
        {"N = 201", "", modelOnly + "key e\nline 0\nline 0\nline 0\nline 1\nkey y\nline 49\nline 201\nline 200\nkey x\n",
         {"  Enter new value for N (<201):49", "  Enter new value for N (<201):201", "  Enter new value for N (<201):"}},
        {"model file with p = 11", "bad.mod=0.2|11|\n" + goodFile, modelOnly + "key r\nline bad.mod\n" + readGood,
         {"      MODEL FILE REFUSED: p OR q NOT IN 0..10.", "  WN VARIANCE"}},
        {"model file with d = 0.5", "bad.mod=0.5|0|0|1|\n" + goodFile, modelOnly + "key r\nline bad.mod\n" + readGood,
         {"      MODEL FILE REFUSED: d NOT IN (-.5,.5)."}},
        {"model file with phi = 1", "bad.mod=0.1|1|1.0|0|1|\n" + goodFile, modelOnly + "key r\nline bad.mod\n" + readGood,
         {"      MODEL FILE REFUSED: PH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE."}},
        {"model file with an MA part outside and p = 0", "bad.mod=0.1|0|1|-1.5|1|\n" + goodFile,
         modelOnly + "key r\nline bad.mod\n" + readGood, {"      MODEL FILE REFUSED: TH(.) HAS ZEROES INSIDE OR ON UNIT CIRCLE."}},
        {"model file with sigma2 = 0", "bad.mod=0.1|0|0|0|\n" + goodFile, modelOnly + "key r\nline bad.mod\n" + readGood,
         {"      MODEL FILE REFUSED: WNV NOT POSITIVE."}},
        {"short model file", "bad.mod=0.1|1|0.5|\n" + goodFile, modelOnly + "key r\nline bad.mod\n" + readGood,
         {"      MODEL FILE REFUSED: AN ITEM IS MISSING OR NOT A NUMBER."}},
        {"model file with text", "bad.mod=0.1|1|abc|0|1|\n" + goodFile, modelOnly + "key r\nline bad.mod\n" + readGood,
         {"      MODEL FILE REFUSED: AN ITEM IS MISSING OR NOT A NUMBER."}},
        {"missing model file", goodFile, modelOnly + "key r\nline none.mod\n" + readGood,
         {"      MODEL FILE NOT FOUND: none.mod", " Enter model from keyboard", "  Name of file containing model :"}},
        {"step 0 and a negative step", "nile.dat=NILE",
         kStart + ChooseData(2, "s") + "key e\nline 0.2\nline 0\nline 0\nline 15000\nkey n\nkey a\nkey m\nline 0\nline -0.1\nline .1\nkey a\nkey x\n",
         {" Step size (eg. .1,reducing later to .01,.001)?0", " Step size (eg. .1,reducing later to .01,.001)?-0.1",
          " Step size (eg. .1,reducing later to .01,.001)?"}},
        {"an unreadable step brings back the menu", "nile.dat=NILE",
         kStart + ChooseData(2, "s") +
             "key e\nline 0.2\nline 1\nline 0.3\nline 0\nline 15000\nkey n\nkey a\nkey m\nkey k\nline x\nkey k\nline .1\nkey a\nkey x\n",
         {" Step size (eg. .1,reducing later to .01,.001)?"},
         {" Keep the order of differencing fixed", 4}},
        {"a long file name", "", modelOnly + kWhiteNoise + "key f\nline a_name_of_twenty_five_chr\nline ok.mod\nkey a\nkey x\n",
         {" Name of file for model : a_name_of_twenty_five_chr", "   A FILE NAME HAS AT MOST 24 CHARACTERS.",
          " Name of file for model : ok.mod"},
         {"", 0},
         {"ok.mod", " 0\r\n 0\r\n 0\r\n 1\r\n"}},
        {"a model file that exists: the data file refused, No asks again, Yes replaces it",
         "nile.dat=NILE\nold.mod=old|",
         kStart + ChooseData(2, "s") + kWhiteNoise + "key a\nkey f\nline nile.dat\nline old.mod\nkey n\nline old.mod\nkey y\n" +
             "key a\nkey a\nkey x\n",
         {"   FILE HOLDS THE DATA IN USE, GIVE ANOTHER NAME: nile.dat", " Name of file for model : old.mod",
          "   old.mod exists. Replace it?  No", std::string(32, ' ') + "Yes", " Name of file for model :",
          "   <Press any key to continue>"},
         {"", 0},
         {"old.mod", " 0\r\n 0\r\n 0\r\n 1\r\n"}},
        {"a file that cannot be written", "", modelOnly + kWhiteNoise + "key f\nline nodir/x.mod\nkey a\nkey x\n",
         {"   FILE COULD NOT BE WRITTEN: nodir/x.mod", "   <Press any key to continue>"}},
        {"simulated lengths 0, 1 and 20,001", "",
         modelOnly + kWhiteNoise + "key s\nkey y\nline 0\nline 1\nline 20001\nline 2\nline 5\nkey n\nkey a\nkey x\n",
         {"  Enter the number of values required (<20001) :0", "  Enter the number of values required (<20001) :1",
          "  Enter the number of values required (<20001) :20001", "  Enter the number of values required (<20001) :2"}},
    };
    for (const Case& c : cases) {
        ScratchFolder folder("halvire-refused");
        size_t start = 0;
        while (start < c.files.size()) {
            size_t end = c.files.find('\n', start);
            if (end == std::string::npos) end = c.files.size();
            const std::string pair = c.files.substr(start, end - start);
            start = end + 1;
            const size_t equals = pair.find('=');
            if (equals == std::string::npos) continue;
            std::string content = pair.substr(equals + 1);
            if (content == "NILE") content = NileFile();
            for (char& ch : content)
                if (ch == '|') ch = '\n';
            WriteFile(pair.substr(0, equals), content);
        }
        const ScriptedRun run = RunScripted(c.script, HalvireMain);
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        ExpectRowsInWaitOrder(run, c.rows, c.name);
        if (c.counted.second > 0) {
            int count = 0;
            for (const ScreenPicture& wait : run.waits) count += RowOf(wait, c.counted.first) >= 0;
            EXPECT_EQ(count, c.counted.second) << c.name << ": " << c.counted.first;
        }
        if (!c.written.first.empty()) {
            EXPECT_EQ(FileText(c.written.first), c.written.second) << c.name;
        }
    }
}

TEST(HalvireDialogue, TextAfterAMenuLeavesItsFrameWhole)
{
    struct Frame {
        int column;
        int row;  // from the anchor's row
        int width;
        int count;
        // Only the foot: a menu on the first row has its frame's top line above the screen.
        bool footOnly = false;
    };
    struct Case {
        const char* name;
        std::string script;
        std::string anchor;  // the start of a row of the last wait that shows it; rows count from it
        std::vector<Frame> frames;
        std::vector<std::pair<int, std::string>> rows;  // (row from the anchor's, text)
    };
    const std::string modelOnly = kStart + "key e\n";
    const std::string nileModel = kStart + ChooseData(2, "s") + kWhiteNoise + "key a\n";
    const std::string plotMenuItem = " Continue";
    const std::string fileQuestion = " File predictors of nile.dat           No";
    const Case cases[] = {
        {"the prompt for N under the Yes/No", modelOnly + "key e\nline 0\nline 0\nline 0\nline 1\nkey y\nline 60\nkey x\n",
         "  Increase the value of N ?  No", {{29, 0, 6, 2}}, {{3, "  Enter new value for N (<201):"}}},
        {"the model file's name under the source menu", modelOnly + "key r\nline x.mod\nkey x\n", " Enter model only",
         {{1, -1, 22, 3}, {24, 1, 27, 2}},
         {{1, " Exit from HALVIRE      Enter model from keyboard"}, {2, std::string(24, ' ') + "Read model from a file"},
          {4, "  Name of file containing model :"}}},
        {"the file question under the plot's menu", nileModel + "key p\nline 5\nkey a\nkey y\nkey a\nkey a\nkey a\nkey c\nkey n\nkey a\nkey x\n",
         plotMenuItem, {{1, 0, 27, 3}, {39, 4, 6, 2}}, {{4, fileQuestion}}},
        {"the file question under the plot question: the frames apart",
         nileModel + "key p\nline 5\nkey a\nkey n\nkey n\nkey a\nkey x\n", " Do you want to plot the predictors ?  No",
         {{39, 0, 6, 2, true}, {39, 3, 6, 2}}, {{2, ""}, {3, fileQuestion}}},
        {"a blank between the file question and the name typed",
         nileModel + "key p\nline 5\nkey a\nkey n\nkey y\nline nile.dat\nline p.prd\nkey a\nkey x\n",
         " Name of new file ? nile.dat", {},
         {{1, "   FILE HOLDS THE DATA IN USE, GIVE ANOTHER NAME: nile.dat"}, {2, " Name of new file ?"}}},
    };
    for (const Case& c : cases) {
        ScratchFolder folder("halvire-frames");
        WriteFile("nile.dat", NileFile());
        WriteFile("x.mod", "0.1\n0\n0\n2\n");
        const ScriptedRun run = RunScripted(c.script, HalvireMain);
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        // The last wait that shows the anchor.
        int wait = -1, anchor = -1;
        for (int w = static_cast<int>(run.waits.size()) - 1; w >= 0 && anchor < 0; --w) {
            for (int row = 0; row < 25 && anchor < 0; ++row)
                if (run.waits[w].Row(row).find(c.anchor) == 0) wait = w, anchor = row;
        }
        ASSERT_GE(anchor, 0) << c.name;
        const ScreenPicture& shown = run.waits[wait];
        for (const Frame& f : c.frames) {
            const int row = anchor + f.row;
            if (f.footOnly) {
                const int left = f.column * 8 - 2, right = left + f.width * 8 + 4, foot = (row + f.count) * 14 + 2;
                EXPECT_EQ(shown.Count(left, foot, right, foot, 7), right - left + 1) << c.name << "\n" << shown.text;
                continue;
            }
            EXPECT_TRUE(shown.MenuFrameWhole(f.column, row, f.width, f.count))
                << c.name << ": the frame at " << f.column << "," << row << "\n" << shown.text;
        }
        for (const auto& [below, text] : c.rows) EXPECT_EQ(shown.Row(anchor + below), text) << c.name << "\n" << shown.text;
    }
}

TEST(HalvireDialogue, DataFilesAtAndPastTheirLimits)
{
    auto values = [](int count) {
        std::string text;
        for (int i = 1; i <= count; ++i) text += std::to_string(i % 17) + "." + std::to_string(i % 10) + "\n";
        return text;
    };
    struct Case {
        const char* name;
        std::string data;  // data.dat; nile.dat is always there as the second choice
        std::string script;
        std::vector<std::string> rows;
        std::vector<std::string> absentRows;
    };
    const std::string exitAfterModel = kWhiteNoise + "key a\nkey x\n";
    const std::string truncated = "   DATA TRUNCATED AFTER FIRST 20000 OBSERVATIONS.";
    const std::string refusedPause = "   <Press any key to continue>";
    // data.dat, refused with a pause, then nile.dat.
    const std::string refusedThenNile = "key i\nkey down\nkey down\nkey enter\nkey a\nkey down\nkey down\nkey down\nkey enter\n";
    const Case cases[] = {
        {"20,000 values", values(20000), kStart + ChooseData(2, "a") + kWhiteNoise + "key a\nkey p\nline 101\nline 0\nkey a\nkey n\nkey n\nkey a\nkey x\n",
         {"  Number of observations=  20000", "  Enter the number of predicted values required(<   100): 101",
          "  Enter the number of predicted values required(<   100): 0"},
         {truncated}},
        {"20,001 values", values(20001), kStart + ChooseData(2, "a") + exitAfterModel, {truncated, "  Number of observations=  20000"}, {}},
        {"a text fifth record", "1\n2\n3\n4\nfive\n6\n", kStart + ChooseData(2, "a") + exitAfterModel,
         {"  Number of observations=      4"}, {}},
        {"one value", "5\n", kStart + refusedThenNile + "key a\n" + exitAfterModel,
         {"   THE FILE HOLDS ONE VALUE: AT LEAST 2 ARE NEEDED.", refusedPause, "  SELECT NAME OF FILE ...",
          "  Number of observations=    100"},
         {}},
        {"a constant series", "7\n7\n7.0\n7\n", kStart + refusedThenNile + "key s\n" + exitAfterModel,
         {"   THE SERIES IS CONSTANT: IT HAS NO SPECTRUM TO FIT.", refusedPause, "  Number of observations=    100"},
         {}},
        {"no value", "x\n", kStart + "key i\nkey down\nkey down\nkey enter\nkey a\nkey down\nkey down\nkey down\nkey enter\nkey a\n" + exitAfterModel,
         {"   FILE CANNOT BE USED: data.dat", "   LINE 1 HOLDS TEXT WHERE A NUMBER SHOULD STAND.", refusedPause,
          "  Number of observations=    100"},
         {"   THE FILE HOLDS ONE VALUE: AT LEAST 2 ARE NEEDED."}},
    };
    for (const Case& c : cases) {
        ScratchFolder folder("halvire-data");
        WriteFile("data.dat", c.data);
        WriteFile("nile.dat", NileFile());
        const ScriptedRun run = RunScripted(c.script, HalvireMain);
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        ExpectRowsInWaitOrder(run, c.rows, c.name);
        for (const std::string& row : c.absentRows) EXPECT_EQ(WaitWithRow(run, row), -1) << c.name << ": " << row;
    }
}

TEST(HalvireDialogue, GraphShowsTheSeriesAsReadOrMeanCorrectedAndANewDataSetKeepsTheModel)
{
    ScratchFolder folder("halvire-graph");
    WriteFile("nile.dat", NileFile());
    // As read (1370 at most: labels 137 and 46), then after a new data set, mean-corrected
    // (450.65 and -463.35: labels 451 and -463) with the model kept.
    const std::string script = kStart + ChooseData(2, "a") + kWhiteNoise + "key a\nkey g\nkey a\nkey c\nkey a\n" + "key i\n" +
                               "key down\nkey down\nkey enter\nkey s\nkey a\nkey g\nkey a\nkey c\nkey a\nkey x\n";
    const ScriptedRun run = RunScripted(script, HalvireMain);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.inputsLeft, 0);
    const int asRead = WaitWithRow(run, "    137");
    ASSERT_GT(asRead, 0);
    EXPECT_EQ(run.waits[asRead].Row(18), "     46");
    const int corrected = WaitWithRow(run, "    451", asRead);
    ASSERT_GT(corrected, asRead);
    EXPECT_EQ(run.waits[corrected].Row(18), "   -463");
    // Only one model entry: the second data set went straight to the display.
    EXPECT_EQ(WaitWithRow(run, " Read model from a file", WaitWithRow(run, " Input a new data set", asRead)), -1);
    EXPECT_GE(WaitWithRow(run, " Graph the mean-corrected data", asRead), 0);
}

TEST(HalvireDialogue, ModelAcvfWithoutDataShows300Lags)
{
    ScratchFolder folder("halvire-lags");
    const ScriptedRun run = RunScripted(kStart + "key e\n" + kWhiteNoise + "key l\nkey a\nkey c\nkey x\n", HalvireMain);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.inputsLeft, 0);
    // Without data the menu follows the model at once, without the data's items.
    const int menu = WaitWithRow(run, " File the current model");
    ASSERT_GT(menu, 0);
    EXPECT_EQ(RowOf(run.waits[menu], " ML Estimation using Whittle's approximation"), -1);
    ExpectRowsInOrder(run.waits[menu],
                      {"  WN VARIANCE", "  0.1000000E+01", " File the current model", " Enter a new model", " Input a new data set",
                       " Simulation", " Plot model ACVF", " Exit from HALVIRE"},
                      "menu without data");
    // White noise of variance 1: lag 0 alone is 1 and the others 0, over lags -1 .. 299 of the axis.
    const ScreenPicture& plot = run.waits[menu + 1];
    EXPECT_EQ(plot.Row(19), std::string(11, ' ') + "-1" + std::string(60, ' ') + "  299");
    EXPECT_EQ(plot.Row(0), "    100");
}

}  // namespace
