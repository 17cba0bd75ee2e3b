// ospe on the scripted PC: whole runs of the program in a fixture folder (the USAccDeaths
// forecasts on the screen and in the file, the data sets it takes and refuses, the forecast
// counts, the series it cannot model, the output file's names) and its plots.
#include "scratch_folder.h"
#include "scripted_pc.h"

#include "console/menu.h"
#include "console/ospe.h"
#include "console/series_plot.h"
#include "numerics/arar.h"
#include "numerics/status.h"
#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"
#include "tests/unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kMagenta = 5;
constexpr double kTwoPi = 6.283185307179586;

void WriteText(const std::string& name, const std::string& text)
{
    ASSERT_EQ(ReplaceFileBytes(name, std::vector<unsigned char>(text.begin(), text.end())), 1) << name;
}

std::string NumberLines(const std::vector<double>& values)
{
    std::string text;
    for (double v : values)
        text += FreeFormatReal(v) + "\n";
    return text;
}

std::vector<double> Series(int n, const std::function<double(int)>& value)
{
    std::vector<double> x;
    for (int t = 1; t <= n; ++t)
        x.push_back(value(t));
    return x;
}

std::string Repeated(const std::string& text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// The values as the program holds them.
std::vector<double> Singles(std::vector<double> x)
{
    for (double& v : x)
        v = static_cast<float>(v);
    return x;
}

// A seasonal series with a trend: the memory shortening finds long memory in it.
double Seasonal(int t)
{
    return 100 + 0.02 * t + 10 * std::sin(kTwoPi * t / 12) + 3 * std::sin(t * 1.7) + 2 * std::cos(t * 0.37);
}

std::vector<std::string> FileRecords(const std::string& name)
{
    std::vector<unsigned char> bytes;
    if (ReadFileBytes(name, bytes) != 1)
        return {};
    return SplitRecords(std::string(bytes.begin(), bytes.end()));
}

// The records of a format, as lines of the screen.
std::vector<std::string> Lines(std::string_view format, const std::vector<FormatValue>& values)
{
    std::vector<std::string> lines;
    std::string text = Formatted(format, values);
    size_t begin = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// A screen's text: each row ended by a line end.
std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

void Append(std::vector<std::string>& lines, const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
}

std::vector<FormatValue> Values(const std::vector<double>& v)
{
    return std::vector<FormatValue>(v.begin(), v.end());
}

// A script built input by input; Add returns the index of the wait its first input answers.
struct Script {
    std::string text;
    int count = 0;
    int Add(const std::string& lines)
    {
        const int first = count;
        size_t begin = 0;
        while (begin < lines.size()) {
            size_t end = lines.find('\n', begin);
            if (end == std::string::npos)
                end = lines.size();
            text += lines.substr(begin, end - begin) + "\n";
            ++count;
            begin = end + 1;
        }
        return first;
    }
};

// Start screen and introduction.
const char* const kStart = "key x\nkey enter";
// The file at `position` of the listing (".", "..", then the files by name from 3).
std::string Choose(int position)
{
    std::string keys;
    for (int i = 1; i < position; ++i)
        keys += "key down\n";
    return keys + "key enter";
}
// A forecast plot from the page before it to its menu: the page's key, the pause, the scale line,
// Continue.
const char* const kThroughPlot = "key x\nkey x\nkey x\nkey enter";

struct UsAccDeaths {
    ReferenceTable table = ReadReferenceTable("arar_usaccdeaths_reference.csv");
    std::vector<double> Get(const std::string& quantity) const
    {
        for (size_t r = 0; r < table.rows.size(); ++r)
            if (table.Text(r, "quantity") == quantity)
                return table.List(r, "values");
        ADD_FAILURE() << "no " << quantity;
        return {};
    }
    double One(const std::string& quantity) const
    {
        const std::vector<double> v = Get(quantity);
        return v.empty() ? 0.0 : v[0];
    }
};

// The subset AR report page of a fit, from the reference values.
std::string ReportPage(const UsAccDeaths& r, const std::string& key, int choice)
{
    std::vector<std::string> page{""};
    std::vector<FormatValue> lags;
    for (double l : r.Get(key + "lags"))
        lags.emplace_back(static_cast<int>(l));
    Append(page, Lines("('Optimal lags   : ',4I10)", lags));
    Append(page, Lines("('Optimal coeffs : ',4F10.4)", Values(r.Get(key + "coef"))));
    if (choice == 3) {
        Append(page, Lines("('WN Variance    : ',E11.5)", {r.One(key + "wn_variance")}));
        Append(page, Lines("('Optimal AIC    : ',E11.5)", {r.One(key + "criterion")}));
    } else {
        Append(page, Lines("('WN Variance    : ',E11.5)", {r.One(key + "criterion")}));
    }
    page.push_back("COEFFICIENTS OF OVERALL WHITENING FILTER :");
    Append(page, Lines("(5F10.4)", Values(r.Get(key + "whitening"))));
    page.push_back("");
    page.push_back("   <Press any key to continue>");
    return Join(page);
}

std::string SqrtMseRow(double rootMse)
{
    return Lines("(' SQRT(MSE) for one-step forecasts of data =',F22.6)", {rootMse}).at(0);
}

// The file's records against the data as the program holds them (in single precision) and
// ArarForecast's values rounded to single precision.
void ExpectDataAndForecasts(const std::string& name, std::vector<double> x, const std::vector<double>& psi,
                            int choice, int h)
{
    x = Singles(x);
    const std::vector<std::string> records = FileRecords(name);
    ASSERT_EQ(records.size(), x.size() + static_cast<size_t>(h)) << name;
    ArarFitResult fit;
    const int n = static_cast<int>(x.size());
    ASSERT_EQ(ArarSubsetFit(x.data(), n, psi, choice, fit, kArarSumFromFirst), kStatusDone);
    std::vector<double> F(static_cast<size_t>(h));
    ASSERT_EQ(ArarForecast(x.data(), n, fit, h, F.data()), kStatusDone) << name;
    for (int i = 0; i < n + h; ++i) {
        const float v = static_cast<float>(i < n ? x[static_cast<size_t>(i)] : F[static_cast<size_t>(i - n)]);
        ASSERT_EQ(records[static_cast<size_t>(i)], Lines("(E15.8)", {v}).at(0)) << name << " record " << i + 1;
    }
}

TEST(Ospe, UsAccDeathsFromTheScreenToTheFile)
{
    const UsAccDeaths r;
    const std::vector<double> x = r.Get("series");
    ASSERT_EQ(x.size(), 72u);
    ScratchFolder folder("ospe-deaths");
    WriteText("deaths.dat", NumberLines(x));

    Script s;
    s.Add(kStart);
    const int firstMenu = s.Add("key enter");
    s.Add(Choose(3));
    s.Add("key x");
    const int mainMenu = s.Add("key d");
    const int psiPage = s.Add("key x");
    const int subsetMenu = s.Add("key f");
    const int report1 = s.Add("key x");
    s.Add("line 12");
    const int sqrt1 = s.Add("key x");
    const int pause = s.Add("key x");
    const int plotted = s.Add("key x");
    s.Add("key enter");
    const int question = s.Add("key y\nline deaths1.out");
    s.Add("key x");
    s.Add("key n");
    const int report3 = s.Add("key x");
    s.Add("line 12");
    const int sqrt3 = s.Add("key x\nkey x\nkey x\nkey enter");
    s.Add("key y\nline deaths3.out\nkey x");
    const int menuAgain = s.Add("key r");
    s.Add("key x");
    const ScriptedRun run = RunScripted(s.text, OspeMain);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.inputsLeft, 0);

    // Before data the main menu offers two items; then five, two of them on two lines.
    EXPECT_EQ(run.waits[firstMenu].text, "\n  MAIN MENU:\n\n    Enter a new data set.\n    Exit from OSPE.\n");
    EXPECT_EQ(run.waits[mainMenu].text,
              "\n  MAIN MENU:\n\n"
              "    Enter a new data set.\n"
              "    Plot the data.\n"
              "    Determine the memory-shortening polynomial and\n"
              "       fit a subset AR model to the transformed data.\n"
              "    Bypass memory-shortening and fit a subset AR\n"
              "       model to the original data.\n"
              "    Exit from OSPE.\n");

    // The last pass (lag 1, short memory) stands above the polynomial 1 - 0.978 B^12.
    const std::vector<double> pass2 = r.Get("pass2");
    std::vector<std::string> psiPageLines{"",
                                          " BEST LONG-MEMORY LAG",
                                          "     1",
                                          " LAGGED AR COEFFICIENT",
                                          " " + FreeFormatSingle(static_cast<float>(pass2.at(1))),
                                          " RESIDUAL S.S./TOTAL S.S.",
                                          " " + FreeFormatSingle(static_cast<float>(pass2.at(2))),
                                          "",
                                          "      < Memory shortening is now complete>",
                                          "COEFFICIENT OF B**j IN MEMORY-SHORTENING POLYNOMIAL,  j=0,1,... :"};
    Append(psiPageLines, Lines("(5F10.4)", Values(r.Get("psi"))));
    Append(psiPageLines, {"", "      <Press any key to continue>"});
    EXPECT_EQ(run.waits[psiPage].text, Join(psiPageLines));
    EXPECT_EQ(psiPageLines.at(12), "    0.0000    0.0000   -0.9780");

    const std::vector<double> meanLength = r.Get("shortened_mean_length");
    std::vector<std::string> menuLines{""};
    Append(menuLines, Lines("('MEAN OF SHORT-MEMORY SERIES   =',F12.4)", {meanLength.at(0)}));
    Append(menuLines, {"LENGTH OF SHORT-MEMORY SERIES =     60", "", "", "  SUBSET AR MENU :", "",
                       "     Find the 4-coefficient Yule-Walker model with",
                       "        minimum WN variance estimate (max lag = 13).",
                       "     Find the 4-coefficient Yule-Walker model with",
                       "        minimum WN variance estimate (max lag = 26).",
                       "     Find the 4-coefficient Yule-Walker model with",
                       "        maximum Gaussian likelihood  (max lag = 13).",
                       "     Return to main menu."});
    EXPECT_EQ(run.waits[subsetMenu].text, Join(menuLines));
    EXPECT_EQ(run.waits[menuAgain].text, Join(menuLines));

    EXPECT_EQ(run.waits[report1].text, ReportPage(r, "shortened_1_", 1));
    EXPECT_EQ(run.waits[report3].text, ReportPage(r, "shortened_3_", 3));
    EXPECT_EQ(run.waits[report1 + 1].text, "\nNumber of future predicted values required (<53) ?\n");
    for (const auto& [wait, key] : {std::pair{sqrt1, "shortened_1_"}, std::pair{sqrt3, "shortened_3_"}}) {
        EXPECT_EQ(run.waits[wait].text, "\n\n" + SqrtMseRow(r.One(std::string(key) + "root_mse")) +
                                            "\n\n\n Press any key and the original series\n"
                                            " will be plotted. After inspecting the\n"
                                            " graph, press any key and the forecast\n"
                                            " values will be added to the graph.\n\n"
                                            " <Press any key to continue>\n");
    }

    // The data first, the forecasts after the pause, from index 0 to 84.
    EXPECT_EQ(run.waits[pause].Count(0, 0, kPcWidth - 1, kPcHeight - 1, kMagenta), 0);
    EXPECT_GT(run.waits[plotted].Count(0, 0, kPcWidth - 1, kPcHeight - 1, kMagenta), 0);
    EXPECT_EQ(run.waits[plotted].Row(19), std::string(12, ' ') + "0" + std::string(63, ' ') + "84");
    EXPECT_NE(DumpPicture(run.waits[plotted], "ospe-forecasts"), "");
    EXPECT_EQ(run.waits[question].Row(1), " File the data plus  12 predictors ?     No");
    EXPECT_EQ(run.waits[question + 1].Row(4), "  Name of new file?");

    ExpectDataAndForecasts("deaths1.out", x, r.Get("psi"), 1, 12);
    ExpectDataAndForecasts("deaths3.out", x, r.Get("psi"), 3, 12);
    // And the forecasts are R's, to single precision.
    const std::vector<std::string> records = FileRecords("deaths3.out");
    const std::vector<double> forecasts = r.Get("shortened_3_forecasts");
    for (size_t k = 0; k < forecasts.size() && 72 + k < records.size(); ++k)
        EXPECT_NEAR(std::stod(records[72 + k]), forecasts[k], 1e-6 * forecasts[k]) << k;
}

TEST(Ospe, EscOnTheStartScreenStopsAndExitEndsInTextMode)
{
    ScriptedRun run = RunScripted("key esc", OspeMain);
    EXPECT_EQ(run.ending, "stopped") << run.Describe();
    EXPECT_EQ(run.code, 0);
    run = RunScripted("key x\nkey enter\nkey x", OspeMain);
    EXPECT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.inputsLeft, 0);
    EXPECT_EQ(PcVideoMode(), kPcTextMode);
}

// Without memory shortening the whole series is modelled, the filter is phi(B) and the one-step
// predictions start at l3 + 1; the likelihood from t = 1 chooses lags 1, 6, 12, 13.
TEST(Ospe, BypassFitsTheSeriesAsRead)
{
    const UsAccDeaths r;
    const std::vector<double> x = r.Get("series");
    ScratchFolder folder("ospe-bypass");
    WriteText("deaths.dat", NumberLines(x));
    Script s;
    s.Add(kStart);
    s.Add("key enter");
    s.Add(Choose(3));
    s.Add("key x\nkey b");
    const int menu = s.Add("key n");
    const int report = s.Add("key x");
    s.Add("line 12");
    const int sqrt = s.Add(kThroughPlot);
    s.Add("key n\nkey r\nkey x");
    const ScriptedRun run = RunScripted(s.text, OspeMain);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.waits[menu].Row(1),
              Lines("('MEAN OF SHORT-MEMORY SERIES   =',F12.4)", {r.Get("bypass_mean_length").at(0)}).at(0));
    EXPECT_EQ(run.waits[menu].Row(2), "LENGTH OF SHORT-MEMORY SERIES =     72");
    EXPECT_EQ(run.waits[report].text, ReportPage(r, "bypass_3_", 3));
    EXPECT_EQ(run.waits[report].Row(1), "Optimal lags   :          1         6        12        13");
    EXPECT_EQ(run.waits[sqrt].Row(2), SqrtMseRow(r.One("bypass_3_root_mse")));
}

// One whole run with its data files, its script and what its screens and files must show.
struct RowCheck {
    int wait;  // -1: the screen at the end
    int row;
    std::string text;
};

struct RunCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string script;
    std::vector<RowCheck> rows;
    std::vector<int> dataAlone;                           // waits that show no forecasts
    std::vector<std::pair<std::string, size_t>> outputs;  // files written and their record counts
    std::vector<std::string> absent;                      // files that must not exist
};

std::string Values30(double (*value)(int))
{
    std::vector<double> v;
    for (int t = 1; t <= 30; ++t)
        v.push_back(value(t));
    return NumberLines(v);
}

std::string TwoNumbersALine()
{
    std::string text;
    for (int t = 1; t <= 30; ++t)
        text += std::to_string(t) + " " + std::to_string(1000 + t) + "\n";
    return text;
}

// A pattern of period 15 with small noise: the lag-15 filter leaves M = 15 and K = -1 for n = 30.
double Period15(int t)
{
    const double pattern[15] = {3, 7, -2, 5, 0, -6, 1, 4, -3, 2, 6, -1, 8, -4, 9};
    return pattern[(t - 1) % 15] + 0.01 * std::sin(t * 2.3);
}

const std::string kMainMenuExit = "key x";

TEST(Ospe, ScriptedRuns)
{
    const UsAccDeaths r;
    const std::string deaths = NumberLines(r.Get("series"));
    const std::string twentyThousand = NumberLines(Series(20000, Seasonal));
    const std::string n29 = NumberLines(Series(29, Seasonal));
    const std::string n30 = NumberLines(Series(30, Seasonal));
    const std::string fit = std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\nkey b\nkey f\nkey x\n";
    const std::string name24 = "a_name_of_exactly_24_chr";
    const std::string name25 = "a_name_of_twenty_five_chr";
    const std::string refused = " Number of data values, n=";
    const RunCase cases[] = {
        {"29 values refused, 30 accepted",
         {{"a29.dat", n29}, {"b30.dat", n30}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\n" + Choose(4) + "\nkey x\n" + kMainMenuExit,
         {{6, 1, refused + "   29"},
          {6, 3, " This program requires at least 30 data values"},
          {6, 4, "      <Press any key to continue>"},
          {7, 1, "SELECT NAME OF FILE ..."},
          {11, 1, refused + "   30"},
          {11, 7, "      <Press any key to continue>"},
          {12, 4, "    Plot the data."}},
         {},
         {},
         {}},
        {"20,001 values refused while the program runs on, 20,000 accepted and plotted",
         {{"c20000.dat", twentyThousand}, {"d20001.dat", twentyThousand + "7\n"}},
         std::string(kStart) + "\nkey enter\n" + Choose(4) + "\nkey x\n" + Choose(3) +
             "\nkey x\nkey p\nkey x\nkey enter\n" + kMainMenuExit,
         {{7, 1, refused + "20001"},
          {7, 3, " Data set must contain no more than 20000 values"},
          {8, 1, "SELECT NAME OF FILE ..."},
          {11, 1, refused + "20000"},
          {13, 19, std::string(12, ' ') + "0" + std::string(60, ' ') + "20000"}},
         {},
         {},
         {}},
        {"n in five columns up to 99,999 values, in full from 100,000 (also at a million)",
         {{"a99999.dat", Repeated(twentyThousand, 5).substr(twentyThousand.find('\n') + 1)},
          {"b100000.dat", Repeated(twentyThousand, 5)},
          {"c1000000.dat", Repeated(twentyThousand, 50)},
          {"d30.dat", n30}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\n" + Choose(4) + "\nkey x\n" + Choose(5) +
             "\nkey x\n" + Choose(6) + "\nkey x\n" + kMainMenuExit,
         {{6, 1, refused + "99999"},
          {6, 3, " Data set must contain no more than 20000 values"},
          {11, 1, refused + "100000"},
          {11, 3, " Data set must contain no more than 20000 values"},
          {17, 1, refused + "1000000"},
          {24, 1, refused + "   30"}},
         {},
         {},
         {}},
        {"two numbers a line: the first of each",
         {{"pairs.dat", TwoNumbersALine()}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\nkey p\nkey x\nkey enter\n" + kMainMenuExit,
         {{6, 1, refused + "   30"}, {9, 1, " Max. on vertical axis  =              30.000000"}},
         {},
         {},
         {}},
        {"text on the fifth line: four values, refused; a file without a number is refused with the reason",
         {{"a5.dat", "1\n2\n3\n4\nfive\n6\n"}, {"b.dat", "none\n1\n"}, {"c30.dat", n30}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\n" + Choose(4) + "\nkey x\n" + Choose(5) +
             "\nkey x\n" + kMainMenuExit,
         {{6, 1, refused + "    4"},
          {6, 3, " This program requires at least 30 data values"},
          {6, 4, " Line 5 holds text where a number should stand."},
          {6, 5, " Reading stopped there; the 4 values before it were kept."},
          {6, 6, "      <Press any key to continue>"},
          {11, 1, " The file b.dat cannot be used."},
          {11, 2, " Line 1 holds text where a number should stand."},
          {11, 4, "      <Press any key to continue>"},
          {12, 1, "SELECT NAME OF FILE ..."},
          {17, 1, refused + "   30"}},
         {},
         {},
         {}},
        {"h: 53, -1 and a word asked again, 52 accepted",
         {{"deaths.dat", deaths}},
         fit + "line 53\nline -1\nline x\nline 52\n" + kThroughPlot + "\nkey y\nline h52.out\nkey x\nkey r\n" +
             kMainMenuExit,
         {{13, 1, "Number of future predicted values required (<53) ? 53"},
          {13, 2, "Number of future predicted values required (<53) ? -1"},
          {13, 3, "Number of future predicted values required (<53) ? x"},
          {13, 4, " Entry \"x\" is not a number."},
          {13, 5, "Number of future predicted values required (<53) ?"},
          {15, 19, std::string(12, ' ') + "0" + std::string(62, ' ') + "124"},
          {18, 1, " File the data plus  52 predictors ?     No"}},
         {},
         {{"h52.out", 72 + 52}},
         {}},
        {"h = 0: the data alone, still with a pause, and a file of n values",
         {{"deaths.dat", deaths}},
         fit + "line 0\n" + kThroughPlot + "\nkey y\nline h0.out\nkey x\nkey r\n" + kMainMenuExit,
         {{12, 19, std::string(12, ' ') + "0" + std::string(63, ' ') + "72"},
          {12, 20, ""},
          {13, 20, std::string(14, ' ') + "Vertical scale: 1 unit =             100.000000"},
          {15, 1, " File the data plus   0 predictors ?     No"}},
         {12, 13, 14},
         {{"h0.out", 72}},
         {}},
        {"K < 4: a lag-15 filter leaves 15 values; no lag triple, the menu again",
         {{"p15.dat", Values30(Period15)}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\nkey d\nkey x\nkey f\nkey x\nkey i\nkey x\nkey r\n" +
             kMainMenuExit,
         {{8, 2, "    15"},
          {8, 10, "    1.0000    0.0000    0.0000    0.0000    0.0000"},
          {9, 2, "LENGTH OF SHORT-MEMORY SERIES =     15"},
          {10, 1, " The short-memory series is too short for a subset AR model:"},
          {10, 3, "   <Press any key to continue>"},
          {11, 7, "     Find the 4-coefficient Yule-Walker model with"},
          {12, 1, " The short-memory series is too short for a subset AR model:"},
          {14, 1, "  MAIN MENU:"}},
         {},
         {},
         {}},
        {"30 equal values: constant after the lag-1 filter, and as read",
         {{"same.dat", NumberLines(std::vector<double>(30, 0.1))}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\nkey d\nkey x\nkey x\nkey b\nkey x\n" +
             kMainMenuExit,
         {{8, 2, "     1"},
          {9, 1, " The short-memory series is constant: no model can be fitted."},
          {9, 2, "   <Press any key to continue>"},
          {10, 1, "  MAIN MENU:"},
          {11, 1, " The short-memory series is constant: no model can be fitted."},
          {12, 1, "  MAIN MENU:"}},
         {},
         {},
         {}},
        {"a series of zeros: no filter can be found",
         {{"zeros.dat", NumberLines(std::vector<double>(40, 0.0))}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\nkey d\nkey x\n" + kMainMenuExit,
         {{8, 3, " The series, or what a filter leaves of it, is all zeros:"},
          {8, 4, " no memory-shortening filter can be found."},
          {9, 1, "  MAIN MENU:"}},
         {},
         {},
         {}},
        {"forecasts past the single-precision range are refused, and nothing is plotted",
         {{"huge.dat", NumberLines(Series(34, [](int t) { return 1e37 * t; }))}},
         std::string(kStart) + "\nkey enter\n" + Choose(3) + "\nkey x\nkey d\nkey x\nkey f\nkey x\nline 10\nkey x\nkey r\n" +
             kMainMenuExit,
         {{12, 1, " The forecasts grow past the largest number the program holds."},
          {12, 2, "   <Press any key to continue>"},
          {13, 5, "  SUBSET AR MENU :"}},
         {},
         {},
         {}},
        {"a name of 25 characters is asked again; one of 24 is taken",
         {{"deaths.dat", deaths}},
         fit + "line 1\n" + kThroughPlot + "\nkey y\nline " + name25 + "\nline " + name24 + "\nkey x\nkey r\n" +
             kMainMenuExit,
         {{17, 4, "  Name of new file? " + name25},
          {17, 5, " A file name may have at most 24 characters."},
          {17, 6, "  Name of new file?"},
          {18, 8, "   <Press any key to continue>"}},
         {},
         {{name24, 73}},
         {name25, name25.substr(0, 24)}},
        {"an existing file: No asks for another name, Yes replaces it; the data file is refused first",
         {{"deaths.dat", deaths}, {"old.out", "old\n"}},
         fit + "line 1\n" + kThroughPlot + "\nkey y\nline deaths.dat\nline old.out\nkey n\nline old.out\nkey y\nkey x\n" +
             "key r\n" + kMainMenuExit,
         {{17, 4, "  Name of new file? deaths.dat"},
          {17, 5, " The file deaths.dat holds the data read: choose another name."},
          {18, 6, "  Name of new file? old.out"},
          {18, 7, " old.out exists. Replace it?  No"},
          {18, 8, std::string(30, ' ') + "Yes"},
          {19, 9, ""},
          {19, 10, "  Name of new file?"},
          {20, 11, " old.out exists. Replace it?  No"},
          {21, 14, ""},
          {21, 15, "   <Press any key to continue>"}},
         {},
         {{"old.out", 73}},
         {}},
        {"a file that cannot be written is reported and the question asked again",
         {{"deaths.dat", deaths}, {"sub/inner.dat", "1\n"}},
         fit + "line 1\n" + kThroughPlot + "\nkey y\nline sub\nkey x\nkey y\nline nowhere/x.out\nkey x\nkey y\n" +
             "line ok.out\nkey x\nkey r\n" + kMainMenuExit,
         {{17, 6, " The file sub could not be written."},
          {17, 7, "   <Press any key to continue>"},
          {18, 1, " File the data plus   1 predictors ?     No"},
          {20, 6, " The file nowhere/x.out could not be written."}},
         {},
         {{"ok.out", 73}},
         {"nowhere"}},
    };
    for (const RunCase& c : cases) {
        ScratchFolder folder("ospe-runs");
        for (const auto& [name, text] : c.files) {
            fs::create_directories(fs::path(name).parent_path().empty() ? fs::path(".") : fs::path(name).parent_path());
            WriteText(name, text);
        }
        const ScriptedRun run = RunScripted(c.script, OspeMain);
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        for (const RowCheck& check : c.rows) {
            const ScreenPicture& shown = check.wait < 0 ? run.end : run.waits.at(static_cast<size_t>(check.wait));
            EXPECT_EQ(shown.Row(check.row), check.text)
                << c.name << ", wait " << check.wait << " (" << shown.label << "), row " << check.row << "\n"
                << shown.text;
        }
        for (int wait : c.dataAlone) {
            const ScreenPicture& shown = run.waits.at(static_cast<size_t>(wait));
            EXPECT_GT(shown.Count(0, 0, kPcWidth - 1, kPcHeight - 1, 9), 0) << c.name << ", wait " << wait;
            EXPECT_EQ(shown.Count(0, 0, kPcWidth - 1, kPcHeight - 1, kMagenta), 0) << c.name << ", wait " << wait;
        }
        for (const auto& [name, count] : c.outputs)
            EXPECT_EQ(FileRecords(name).size(), count) << c.name << " " << name;
        for (const std::string& name : c.absent)
            EXPECT_FALSE(FileExists(name)) << c.name << " " << name;
    }
}

// The longest series with the most forecasts: X holds n + 52 values (under the sanitizers).
TEST(Ospe, LongestSeriesWithMostForecasts)
{
    const std::vector<double> x = Singles(Series(20000, Seasonal));
    ScratchFolder folder("ospe-longest");
    WriteText("long.dat", NumberLines(x));
    Script s;
    s.Add(kStart);
    s.Add("key enter");
    s.Add(Choose(3));
    s.Add("key x\nkey d");
    const int psiPage = s.Add("key x\nkey f\nkey x");
    s.Add("line 52");
    const int plotted = s.Add("key x\nkey x") + 1;
    s.Add("key x\nkey enter\nkey y\nline long.out\nkey x\nkey r\nkey x");
    const ScriptedRun run = RunScripted(s.text, OspeMain);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.inputsLeft, 0);
    EXPECT_EQ(run.waits[plotted].Row(19), std::string(8, ' ') + "18999" + std::string(60, ' ') + "20052");
    std::vector<double> psi;
    ASSERT_EQ(ArarMemoryShortening(x.data(), 20000, psi), kStatusDone);
    EXPECT_GT(psi.size(), 1u) << run.waits[psiPage].text;
    ExpectDataAndForecasts("long.out", x, psi, 1, 52);
}

float Zigzag(int i)
{
    return static_cast<float>((i + 5) % 10 - 3);
}

std::vector<float> ZigzagSeries(int n, int room)
{
    std::vector<float> x(static_cast<size_t>(n + room), -77.0f);
    for (int i = 1; i <= n; ++i)
        x[static_cast<size_t>(i - 1)] = Zigzag(i);
    return x;
}

TEST(OspePlots, DataForecastsAndBounds)
{
    // 1500 values: all of them, labelled 0 and 1500, with 3 x 3 markers. A refused subset is asked
    // again below the first question; the menu is Continue 1, subset 2, rescale 3.
    std::vector<float> x = ZigzagSeries(1500, 0);
    int status = -1;
    ScriptedRun run = RunScripted("key x\nkey p\nline 0 5\nline 2 8\nkey x\nkey c",
                                  [&] { status = OspePlotData(1500, x.data()); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(run.inputsLeft, 0);
    EXPECT_EQ(run.waits[0].Row(19), std::string(12, ' ') + "0" + std::string(60, ' ') + " 1500");
    // Zigzag's top, 6, lies at screen row 24; its markers reach one row out of the frame, not two.
    EXPECT_GT(run.waits[0].Count(50, 23, 550, 23, 9), 0);
    EXPECT_EQ(run.waits[0].Count(53, 22, 547, 22, 9), 0);
    EXPECT_EQ(run.waits[3].Row(9), " Total number of data values =  1500");
    EXPECT_EQ(run.waits[3].Row(11), std::string(33, ' ') + "(0<i<j< 1501) :0 5");
    EXPECT_EQ(run.waits[3].Row(14), " Total number of data values =  1500");
    EXPECT_EQ(run.waits[4].Row(19), std::string(12, ' ') + "1" + std::string(64, ' ') + "8");
    EXPECT_EQ(std::vector<int>(MenuItems.identifiers + 1, MenuItems.identifiers + 4), (std::vector<int>{1, 2, 3}));

    // The forecast plot with n = 1500 and h = 0 starts at index 500 and pauses once after the
    // data, before the scale line.
    x = ZigzagSeries(1500, 0);
    const std::vector<float> none(1500, kPlotNoValue);
    run = RunScripted("key x\nkey x\nkey c", [&] { status = OspePlotForecasts(1500, 0, x.data(), none.data()); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(status, 1);
    ASSERT_EQ(run.waits.size(), 3u);
    EXPECT_EQ(run.waits[0].Row(19), std::string(10, ' ') + "499" + std::string(60, ' ') + " 1500");
    EXPECT_EQ(run.waits[0].Row(20), "");
    EXPECT_NE(run.waits[1].Row(20).find("Vertical scale"), std::string::npos);

    // With forecasts they follow the data in X.
    x = ZigzagSeries(40, 3);
    std::vector<float> b(43, kPlotNoValue);
    b[40] = 1.5f;
    b[41] = 2.5f;
    b[42] = -1.5f;
    run = RunScripted("key x\nkey x\nkey c", [&] { status = OspePlotForecasts(40, 3, x.data(), b.data()); });
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(std::vector<float>(x.begin() + 40, x.end()), (std::vector<float>{1.5f, 2.5f, -1.5f}));
}

TEST(OspePlots, BoundsPromptTexts)
{
    struct Case {
        const char* name;
        float max, min;
        std::string script;
        std::vector<std::string> screen;
        float newMax, newMin;
    };
    const std::string maxPrompt = "  Enter maximum for vertical scale : ";
    const std::string minPrompt = "  Enter minimum for vertical scale : ";
    const std::string outside = " Data outside given bounds. - Respecify bounds.";
    const Case cases[] = {
        {"outside, then taken", 2.0f, -1.0f, "line 1.5\nline 3\nline 0\nline 3\nline -2",
         {"", "", maxPrompt + "1.5", outside, maxPrompt + "3", minPrompt + "0", outside, maxPrompt + "3",
          minPrompt + "-2"},
         3.0f, -2.0f},
        {"a constant range: min not below max, an empty line, asked again", 5.0f, 5.0f,
         "line 5\nline 5\nline 6\nline 4",
         {"", "", maxPrompt + "5", minPrompt + "5", " Min must be less than max.  Respecify.", "", maxPrompt + "6",
          minPrompt + "4"},
         6.0f, 4.0f},
    };
    for (const Case& c : cases) {
        float max = c.max, min = c.min;
        const ScriptedRun run = RunScripted(c.script, [&] { OspeBoundsPrompt(max, min); });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(run.end.text, Join(c.screen)) << c.name;
        EXPECT_EQ(max, c.newMax) << c.name;
        EXPECT_EQ(min, c.newMin) << c.name;
    }
}

}  // namespace
