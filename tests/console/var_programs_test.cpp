// molda and drav on the scripted PC: a whole run on R's mdeaths and fdeaths against R's numbers,
// and the dialogue's rules (limits, refused answers, pauses, numerical difficulties, the
// prediction-error file) as a table of short runs.
#include "scripted_pc.h"
#include "var_reference.h"

#include "console/drav.h"
#include "console/molda.h"
#include "platform/fortran_format.h"
#include "platform/pc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A script with names for the screens before some of its inputs.
class Script {
public:
    Script& operator()(const std::string& input, const std::string& tag = "")
    {
        inputs_.push_back(input);
        tags_.push_back(tag);
        return *this;
    }
    Script& Keys(const std::string& keys)
    {
        for (char c : keys) (*this)(std::string("key ") + c);
        return *this;
    }
    std::string Text() const
    {
        std::string text;
        for (const std::string& input : inputs_) text += input + "\n";
        return text;
    }
    size_t Index(const std::string& tag) const
    {
        for (size_t i = 0; i < tags_.size(); ++i)
            if (tags_[i] == tag) return i;
        ADD_FAILURE() << "no input tagged " << tag;
        return inputs_.size();
    }

private:
    std::vector<std::string> inputs_;
    std::vector<std::string> tags_;
};

const ScreenPicture& Before(const ScriptedRun& run, const Script& script, const std::string& tag)
{
    static const ScreenPicture none;
    const size_t index = script.Index(tag);
    if (index >= run.waits.size()) {
        ADD_FAILURE() << "the run ended before the input tagged " << tag << "\n" << run.Describe();
        return none;
    }
    return run.waits[index];
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The row holding `part`, or -1.
int RowWith(const ScreenPicture& picture, const std::string& part)
{
    for (int row = 0; row < kPcRows; ++row)
        if (picture.Row(row).find(part) != std::string::npos) return row;
    return -1;
}

// The row under a menu's bar (inverted to colour 15 over most of a cell), or -1.
int BarRow(const ScreenPicture& picture)
{
    for (int row = 0; row < kPcRows; ++row)
        if (picture.Count(0, row * 14, kPcWidth - 1, row * 14 + 13, 15) > 40) return row;
    return -1;
}

struct Token {
    std::string text;
    size_t end = 0;  // the column after it
};

std::vector<Token> Tokens(const std::string& line)
{
    std::vector<Token> tokens;
    size_t at = 0;
    while ((at = line.find_first_not_of(' ', at)) != std::string::npos) {
        const size_t end = std::min(line.find(' ', at), line.size());
        tokens.push_back({line.substr(at, end - at), end});
        at = end;
    }
    return tokens;
}

bool Number(const std::string& text, double& value)
{
    if (text.find_first_of("0123456789") == std::string::npos) return false;
    size_t used = 0;
    try {
        value = std::stod(text, &used);
    } catch (...) {
        return false;
    }
    return used == text.size();
}

// Half a unit of the last digit shown by an E-format text such as "0.1234E+04".
double HalfUnit(const std::string& text)
{
    const size_t point = text.find('.');
    const size_t e = text.find('E');
    if (point == std::string::npos || e == std::string::npos) return 0.5;
    const int digits = static_cast<int>(e - point - 1);
    return 0.5 * std::pow(10.0, std::stoi(text.substr(e + 1)) - digits);
}

// The shown line has the layout of `expected` (texts equal, fields ending in the same columns) and
// every number within half a unit of its last digit, plus `slack`, of the expected one.
void ExpectLine(const std::string& shown, const std::string& expected, double slack, const std::string& what)
{
    const std::vector<Token> a = Tokens(shown);
    const std::vector<Token> b = Tokens(expected);
    ASSERT_EQ(a.size(), b.size()) << what << "\nshown:    [" << shown << "]\nexpected: [" << expected << "]";
    for (size_t i = 0; i < a.size(); ++i) {
        double x = 0.0, y = 0.0;
        EXPECT_EQ(a[i].end, b[i].end) << what << ": field " << i << " of [" << shown << "]";
        if (Number(a[i].text, x) && Number(b[i].text, y))
            EXPECT_NEAR(x, y, HalfUnit(a[i].text) * 1.001 + slack) << what << ": [" << shown << "]";
        else
            EXPECT_EQ(a[i].text, b[i].text) << what;
    }
}

std::string Format(const std::string& format, const std::vector<FormatValue>& values)
{
    std::string text = Formatted(format, values);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// A program as the tests see it.
struct Program {
    const char* name;
    void (*main)();
    const char* run;  // its reference values
    const char* spacedName;
    const char* exitItem;
    const char* plotExitItem;
    const char* covarianceHeading;
    double slack;  // relative, of what single precision loses beyond the digits shown
};

const Program kMolda = {"molda", MoldaMain, "molda", "M O L D A", "Exit from MOLDA", "Exit from MOLDA",
                        "  Y-W WHITE NOISE COVARIANCE MATRIX, V", 1e-6};
const Program kDrav = {"drav", DravMain, "drav", " D R A V", "Exit from DRAV", "Exit DRAV",
                       "  WHITE NOISE COVARIANCE MATRIX, V", 2e-5};

// The width of the program's Yes/No menu: molda's items are one column narrower than drav's.
int YesNoWidth(const Program& p)
{
    return p.main == MoldaMain ? 5 : 6;
}

// The inputs up to the order prompt: m components from `file`, the k-th entry of the listing
// (".", ".." first), differencing at `lags` (none when empty).
Script ToModelMenu(int m, int entry, const std::vector<int>& lags)
{
    Script s;
    s("key a", "start")("key enter", "introduction")("key e", "main menu");
    s("line " + std::to_string(m), "dimension");
    for (int k = 1; k < entry; ++k) s("key down", k == 1 ? "file" : "");
    s("key enter", entry == 1 ? "file" : "")("key a", "count")("key c", "data plot menu");
    if (lags.empty()) {
        s("key n", "difference");
    } else {
        s("key y", "difference")("line " + std::to_string(lags.size()), "ndiff");
        for (size_t i = 0; i < lags.size(); ++i) s("line " + std::to_string(lags[i]), i == 0 ? "lag" : "");
    }
    s("key a", "means")("key c", "differenced plot menu")("key n", "try again");
    return s;
}

TEST(VarPrograms, AWholeRunMatchesR)
{
    const VarReference reference;
    for (const Program& program : {kMolda, kDrav}) {
        SCOPED_TRACE(program.name);
        ScratchFolder folder(std::string("whole-") + program.name);
        folder.Write("deaths.txt", TestDataText("mdeaths_fdeaths.txt"));
        Script s = ToModelMenu(2, 3, {12});
        s("key s", "model menu")("line 2", "order")("key a", "coefficients")("key a", "covariance");
        s("key y", "forecasts?")("line 5", "h");
        s("key 1", "forecast menu")("key a", "table 1")("key 2")("key a", "table 2")("key c");
        s("key 1", "original menu")("key a", "original table 1")("key y", "plot?")("key a", "plot text");
        s("key a", "data plotted")("key a", "forecasts plotted")("key c", "plot menu");
        s("key 2")("key a", "original table 2")("key n")("key c");
        s("key y", "file?")("line errors.txt", "file name")("key n", "another model?")("key x", "main menu again");
        const ScriptedRun run = RunScripted(s.Text(), program.main);
        ASSERT_EQ(run.ending, "stopped") << run.Describe();
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.inputsLeft, 0);
        EXPECT_EQ(run.end.Row(0), "Stop - Program terminated.");
        const double slack = program.slack;
        const std::string r = program.run;

        EXPECT_EQ(Before(run, s, "start").Row(8), std::string(21, ' ') + "K E L O : PROGRAM  " + program.spacedName);
        const ScreenPicture& introduction = Before(run, s, "introduction");
        EXPECT_EQ(introduction.Row(2), std::string(10, ' ') + "  INTRODUCTION    <Press enter to continue>");
        EXPECT_EQ(introduction.Row(7), std::string(10, ' ') + " It next fits a multivariate AR process of specified");
        const ScreenPicture& mainMenu = Before(run, s, "main menu");
        EXPECT_EQ(mainMenu.Row(2), "   Enter data");
        EXPECT_EQ(mainMenu.Row(3), std::string("   ") + program.exitItem);
        const ScreenPicture& dimension = Before(run, s, "dimension");
        EXPECT_EQ(dimension.Row(0), "   The data must be in an ASCII file with the m  components of X(t) in row t.");
        EXPECT_EQ(dimension.Row(1), "   ENTER DIMENSION OF EACH OBSERVED VECTOR (<12):");
        EXPECT_EQ(Before(run, s, "file").Row(0), "  SELECT NAME OF FILE ...");
        EXPECT_NE(Before(run, s, "file").text.find("deaths.txt"), std::string::npos);
        EXPECT_EQ(Before(run, s, "count").Row(1), "  Number of observation vectors =     72");
        const ScreenPicture& plotMenu = Before(run, s, "data plot menu");
        EXPECT_EQ(plotMenu.Row(2), "     Continue");
        EXPECT_EQ(plotMenu.Row(3), "     Plot 1st component");
        EXPECT_EQ(plotMenu.Row(4), "     Plot 2nd component");
        EXPECT_EQ(plotMenu.Row(5), std::string("     ") + program.plotExitItem);
        EXPECT_EQ(Before(run, s, "difference").Row(0), "   Do you wish to difference the data ?");

        const ScreenPicture& means = Before(run, s, "means");
        EXPECT_EQ(means.Row(0), "  HOW MANY DIFFERENCING OPERATIONS REQUIRED (<3)?: 1");
        EXPECT_EQ(means.Row(1), "  LAG(1) = 12");
        EXPECT_EQ(means.Row(2), "  1 differencing transformation : LAG = 12");
        EXPECT_EQ(means.Row(3), " After differencing we obtain :");
        EXPECT_EQ(means.Row(4), "   i    Mean of series i   Std. dev. of series i");
        for (int i = 1; i <= 2; ++i)
            ExpectLine(means.Row(4 + i),
                       Format("(2X,I2,2X,E14.6,8X,E14.6)", {i, reference.Get(r, "mean", i), reference.Get(r, "sd", i)}),
                       slack * reference.Get(r, "sd", i), "means");
        EXPECT_EQ(means.Row(7), "  THE MEANS HAVE NOW BEEN SUBTRACTED TO GENERATE THE");
        EXPECT_EQ(means.Row(8), "  MEAN-CORRECTED SERIES   X1, ... , Xm.");
        EXPECT_EQ(means.Row(9), "   <Press any key to continue>");

        EXPECT_EQ(Before(run, s, "model menu").Row(0), "     The first option will fit the minimum AICC model with p < 21");
        EXPECT_EQ(Before(run, s, "order").Row(0), "     Order of multivariate AR to be fitted [<21]?");
        const ScreenPicture& coefficients = Before(run, s, "coefficients");
        EXPECT_EQ(coefficients.Row(1), "   PHI( 1)");
        EXPECT_EQ(coefficients.Row(4), "   PHI( 2)");
        EXPECT_EQ(coefficients.Row(7), "  <Press any key to continue>");
        double largest = 0.0;
        for (int k = 1; k <= 2; ++k)
            for (int i = 1; i <= 2; ++i)
                for (int j = 1; j <= 2; ++j) largest = std::max(largest, std::fabs(reference.Get(r, "phi", k, i, j)));
        for (int k = 1; k <= 2; ++k)
            for (int i = 1; i <= 2; ++i)
                ExpectLine(coefficients.Row(3 * k - 2 + i),
                           Format("(6E13.4)", {reference.Get(r, "phi", k, i, 1), reference.Get(r, "phi", k, i, 2)}),
                           slack * largest, "PHI");
        const ScreenPicture& covariance = Before(run, s, "covariance");
        EXPECT_EQ(covariance.Row(0), program.covarianceHeading);
        for (int i = 1; i <= 2; ++i)
            ExpectLine(covariance.Row(i), Format("(6E13.4)", {reference.Get(r, "V", i, 1), reference.Get(r, "V", i, 2)}),
                       slack * reference.Get(r, "V", 1, 1), "V");
        ExpectLine(covariance.Row(3), Format("(2X,' AICC = ',E11.5)", {reference.Get(r, "aicc")}),
                   2e-6 * reference.Get(r, "aicc"), "AICC");
        EXPECT_EQ(covariance.Row(4), "  <Press any key to continue>");
        EXPECT_EQ(Before(run, s, "forecasts?").Row(0).substr(0, 27), "     Forecasts required ?  ");
        EXPECT_EQ(Before(run, s, "h").Row(0), "     Number of forecasts required (<21)?");

        for (int k = 1; k <= 2; ++k) {
            const ScreenPicture& table = Before(run, s, "table " + std::to_string(k));
            EXPECT_EQ(table.Row(0), "  FORECASTS :");
            EXPECT_EQ(table.Row(1), "        TIME      X " + std::to_string(k) + "+MEAN        SQRT(MSE)");
            for (int i = 1; i <= 5; ++i) {
                const double forecast = reference.Get(r, "forecast", i, k);
                ExpectLine(table.Row(1 + i),
                           Format("(I11,E15.4,E15.4)", {60 + i, forecast, std::sqrt(reference.Get(r, "mse", i, k, k))}),
                           slack * std::fabs(forecast) + 1e-3, "forecast");
            }
            EXPECT_EQ(table.Row(7), "  <Press any key to continue>");
            const ScreenPicture& original = Before(run, s, "original table " + std::to_string(k));
            EXPECT_EQ(original.Row(1), "        TIME      ORIG.Y " + std::to_string(k) + "        SQRT(MSE)");
            for (int i = 1; i <= 5; ++i) {
                const double forecast = reference.Get(r, "orig_forecast", i, k);
                // Undifferenced forecasts are single precision in both programs.
                ExpectLine(original.Row(1 + i),
                           Format("(I11,E15.4,E15.4)",
                                  {72 + i, forecast, std::sqrt(reference.Get(r, "orig_mse", i, k, k))}),
                           2e-6 * std::fabs(forecast), "original forecast");
            }
        }
        EXPECT_EQ(Before(run, s, "plot?").Row(8), "     Plot the data and predictors for component  1?");
        EXPECT_EQ(Before(run, s, "plot text").Row(0), "   Press any key and the original data will");
        // The data are drawn first, the forecasts after the next key.
        const ScreenPicture& data = Before(run, s, "data plotted");
        const ScreenPicture& forecasts = Before(run, s, "forecasts plotted");
        EXPECT_EQ(data.Count(0, 14, kPcWidth - 1, 300, 5), 0);
        EXPECT_GT(forecasts.Count(0, 14, kPcWidth - 1, 300, 5), 0);
        EXPECT_GT(forecasts.Count(0, 14, kPcWidth - 1, 300, 9), 0);
        if (program.main == MoldaMain) {
            EXPECT_FALSE(DumpPicture(forecasts, "molda-forecast-plot").empty());
        }

        // The question on a page of its own: the forecast menu no longer stands beside it.
        EXPECT_EQ(Before(run, s, "file?").text, "     File (n-p) one-step prediction errors for X ?\n No\n Yes\n");
        EXPECT_EQ(Before(run, s, "file name").Row(2), "    Enter filename for the prediction errors :");
        const std::vector<std::string> lines = Lines(folder.Read("errors.txt"));
        ASSERT_EQ(lines.size(), 58u);
        for (int t = 3; t <= 60; ++t) {
            const double e1 = reference.Get(r, "resid", t, 1);
            const double e2 = reference.Get(r, "resid", t, 2);
            ExpectLine(lines[static_cast<size_t>(t - 3)], Format("(6E13.5)", {e1, e2}),
                       slack * 10 * std::sqrt(reference.Get(r, "V", 1, 1)), "prediction error " + std::to_string(t));
        }
        EXPECT_EQ(Count(folder.Read("errors.txt"), "\r\n"), 58);
        EXPECT_EQ(Before(run, s, "another model?").Row(0), "     Do you wish to try another model for X ?");
        EXPECT_EQ(Before(run, s, "main menu again").Row(2), "   Enter data");
    }
}

// A series of `n` vectors of m values from a Lehmer generator, as whole numbers in -50..50.
std::string Simulated(int n, int m, uint32_t seed)
{
    uint64_t state = seed;
    std::string text;
    for (int t = 0; t < n; ++t) {
        for (int j = 0; j < m; ++j) {
            state = state * 48271 % 2147483647;
            text += std::to_string(static_cast<int>(state % 101) - 50) + (j + 1 < m ? " " : "\n");
        }
    }
    return text;
}

std::string Repeated(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

struct DialogueCase {
    const char* name;
    std::vector<const Program*> programs;
    std::string data;  // the file data.txt, the third entry of the listing
    std::function<Script(const Program&)> script;
    std::function<void(const Program&, const ScriptedRun&, const Script&, const ScratchFolder&)> check;
};

TEST(VarPrograms, DialogueRules)
{
    const std::string deaths = TestDataText("mdeaths_fdeaths.txt");
    const std::vector<DialogueCase> cases = {
        {"10000 vectors are all read",
         {&kMolda},
         Repeated("1\n", 10000),
         [](const Program&) { return ToModelMenu(1, 3, {}); },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(Before(run, s, "count").Row(1), "  Number of observation vectors =  10000");
             for (const ScreenPicture& wait : run.waits) EXPECT_EQ(wait.text.find("TRUNCATED"), std::string::npos);
         }},
        {"the 10001st vector is dropped with a message",
         {&kMolda, &kDrav},
         Repeated("1 2\n", 10001),
         [](const Program&) {
             Script s;
             s("key a")("key enter")("key e")("line 2")("key down")("key down")("key enter")("key a", "truncated");
             return s("key a", "count");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& truncated = Before(run, s, "truncated");
             EXPECT_EQ(truncated.Row(0), "   DATA TRUNCATED AFTER FIRST 10000 VECTORS.");
             EXPECT_EQ(truncated.Row(1), "     <Press any key to continue>");
             EXPECT_EQ(Before(run, s, "count").Row(1), "  Number of observation vectors =  10000");
         }},
        {"a short last line ends the data",
         {&kMolda},
         "1 2\n3 4\n5\n",
         [](const Program&) { return ToModelMenu(2, 3, {}); },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(Before(run, s, "count").Row(1), "  Number of observation vectors =      2");
         }},
        {"an unreadable value ends the data",
         {&kMolda},
         "1 2\n3 x\n5 6\n",
         [](const Program&) { return ToModelMenu(2, 3, {}); },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(Before(run, s, "count").Row(1), "  Number of observation vectors =      1");
         }},
        {"a dimension from 1 to 11 is taken",
         {&kMolda, &kDrav},
         "1\n",
         [](const Program&) {
             Script s;
             s("key a")("key enter")("key e")("line 12")("line 0")("line abc")("line -3")("line 11", "eleven");
             return s("key down", "file");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& eleven = Before(run, s, "eleven");
             for (int row = 1; row <= 5; ++row)
                 EXPECT_EQ(eleven.Row(row).substr(0, 49), "   ENTER DIMENSION OF EACH OBSERVED VECTOR (<12):");
             EXPECT_EQ(eleven.Row(4), "   ENTER DIMENSION OF EACH OBSERVED VECTOR (<12): -3");
             EXPECT_EQ(Before(run, s, "file").Row(0), "  SELECT NAME OF FILE ...");
         }},
        {"refused differencing counts and lags are asked again",
         {&kMolda, &kDrav},
         deaths,
         [](const Program&) {
             Script s = ToModelMenu(2, 3, {});
             s = Script();
             s("key a")("key enter")("key e")("line 2")("key down")("key down")("key enter")("key a")("key c");
             s("key y")("line 3", "count 3")("line -1", "count -1")("line x")("line 2", "count 2");
             s("line 0", "lag 0")("line 72")("line 71")("line 12")("line 60", "lag2 60")("line 1", "lag2 1");
             return s("key a", "means");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             // A refused count clears the screen and asks again.
             EXPECT_EQ(Before(run, s, "count -1").text, "  HOW MANY DIFFERENCING OPERATIONS REQUIRED (<3)?:\n");
             const ScreenPicture& lag2 = Before(run, s, "lag2 1");
             EXPECT_EQ(lag2.Row(1), "  LAG(1) = 0");
             EXPECT_EQ(lag2.Row(2), "  LAG(1) = 72");
             EXPECT_EQ(lag2.Row(3), "  LAG(1) = 71");
             EXPECT_EQ(lag2.Row(4), "  LAG(1) = 12");
             EXPECT_EQ(lag2.Row(5), "  LAG(2) = 60");
             EXPECT_EQ(lag2.Row(6), "  LAG(2) =");
             EXPECT_EQ(Before(run, s, "means").Row(7), "  2 differencing transformations : LAGS = 12  1");
         }},
        {"refused orders and forecast counts are asked again",
         {&kMolda, &kDrav},
         deaths,
         [](const Program&) {
             Script s = ToModelMenu(2, 3, {12});
             s("key s")("line 21")("line -1")("line abc")("line 2", "order 2")("key a")("key a")("key y");
             s("line 21")("line -1")("line x")("line 0", "h 0")("key 1", "forecast menu")("key a", "empty table");
             return s;
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& order = Before(run, s, "order 2");
             EXPECT_EQ(order.Row(0), "     Order of multivariate AR to be fitted [<21]? 21");
             EXPECT_EQ(order.Row(2), "     Order of multivariate AR to be fitted [<21]? abc");
             EXPECT_EQ(order.Row(3), "     Order of multivariate AR to be fitted [<21]?");
             const ScreenPicture& h = Before(run, s, "h 0");
             EXPECT_EQ(h.Row(2), "     Number of forecasts required (<21)? x");
             EXPECT_EQ(h.Row(3), "     Number of forecasts required (<21)?");
             const ScreenPicture& table = Before(run, s, "empty table");
             EXPECT_EQ(table.Row(1), "        TIME      X 1+MEAN        SQRT(MSE)");
             EXPECT_EQ(table.Row(2), "  <Press any key to continue>");
         }},
        {"pmax for 50 vectors of 3 components is 16",
         {&kMolda, &kDrav},
         Simulated(50, 3, 7),
         [](const Program&) {
             Script s = ToModelMenu(3, 3, {});
             return s("key s", "model menu")("line 16")("line 15", "order 15")("key a", "first pause");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(Before(run, s, "model menu").Row(0),
                       "     The first option will fit the minimum AICC model with p < 16");
             EXPECT_EQ(Before(run, s, "order 15").Row(0), "     Order of multivariate AR to be fitted [<16]? 16");
             const ScreenPicture& pause = Before(run, s, "first pause");
             EXPECT_EQ(pause.Row(2), "   PHI( 1)");
             EXPECT_EQ(pause.Row(10), "   PHI( 3)");
         }},
        {"a series too short for any order goes back to the model menu",
         {&kMolda, &kDrav},
         "1\n3\n",
         [](const Program&) {
             Script s = ToModelMenu(1, 3, {});
             return s("key f", "model menu")("key a", "too short")("key s", "model menu again")("key a")("key x");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(run.ending, "stopped");
             EXPECT_EQ(Before(run, s, "model menu").Row(0),
                       "     The first option will fit the minimum AICC model with p <  0");
             EXPECT_EQ(Before(run, s, "too short").text,
                       "   The series is too short to fit an autoregression.\n  <Press any key to continue>\n");
             EXPECT_EQ(Before(run, s, "model menu again").Row(4), "     Find minimum AICC model");
             EXPECT_EQ(Before(run, s, "model menu again").Row(6), std::string("     ") + p.exitItem);
         }},
        {"with 6 components a pause comes after every third matrix and the last",
         {&kMolda, &kDrav},
         Simulated(60, 6, 11),
         [](const Program&) {
             Script s = ToModelMenu(6, 3, {});
             return s("key s")("line 4")("key a", "pause 1")("key a", "pause 2")("key a", "covariance");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& first = Before(run, s, "pause 1");
             EXPECT_EQ(first.Row(1), "   PHI( 1)");
             EXPECT_EQ(first.Row(15), "   PHI( 3)");
             EXPECT_EQ(first.Row(22), "  <Press any key to continue>");
             const ScreenPicture& second = Before(run, s, "pause 2");
             EXPECT_EQ(second.Row(0), "   PHI( 4)");
             EXPECT_EQ(second.Row(7), "  <Press any key to continue>");
             EXPECT_EQ(Before(run, s, "covariance").Row(0), p.covarianceHeading);
         }},
        {"with 7 components a pause comes after every matrix",
         {&kMolda, &kDrav},
         Simulated(60, 7, 13),
         [](const Program&) {
             Script s = ToModelMenu(7, 3, {});
             return s("key s")("line 2")("key a", "pause 1")("key a", "pause 2")("key a", "covariance");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& first = Before(run, s, "pause 1");
             EXPECT_EQ(first.Row(1), "   PHI( 1)");
             // Seven values a row take two lines.
             EXPECT_EQ(Tokens(first.Row(2)).size(), 6u);
             EXPECT_EQ(Tokens(first.Row(3)).size(), 1u);
             EXPECT_EQ(first.Row(16), "  <Press any key to continue>");
             EXPECT_EQ(Before(run, s, "pause 2").Row(0), "   PHI( 2)");
             EXPECT_EQ(Before(run, s, "covariance").Row(0), p.covarianceHeading);
         }},
        {"a constant component is a numerical difficulty, then the main menu",
         {&kMolda, &kDrav},
         Repeated("1 5\n2 5\n4 5\n3 5\n", 10),
         [](const Program& p) {
             Script s = ToModelMenu(2, 3, {});
             if (p.main == MoldaMain) s("key s", "model menu")("line 1");
             return s("key a", "difficulties")("key x", "main menu");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(run.ending, "stopped");
             const ScreenPicture& difficulties = Before(run, s, "difficulties");
             // drav finds it when the differencing ends, before the model menu.
             if (p.main == MoldaMain) {
                 EXPECT_EQ(difficulties.text,
                           "     Order of multivariate AR to be fitted [<19]? 1\n  Numerical difficulties\n\n"
                           "   <Press any key to start over>\n");
             } else {
                 // On a page of its own, not under the question's menu.
                 EXPECT_EQ(difficulties.text, "\n  Numerical difficulties\n    <Press any key to start over>\n");
             }
             EXPECT_EQ(Before(run, s, "main menu").Row(2), "   Enter data");
         }},
        {"differences beyond the single-precision range are a numerical difficulty",
         {&kMolda, &kDrav},
         Repeated("3e38 1\n-3e38 2\n2.9e38 3\n-2.5e38 5\n3e38 -1\n", 8),
         [](const Program& p) {
             Script s = ToModelMenu(2, 3, {1});
             if (p.main == MoldaMain) s("key s")("line 1");
             return s("key a", "difficulties")("key x", "main menu");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             EXPECT_EQ(run.ending, "stopped");
             EXPECT_NE(Before(run, s, "difficulties").text.find("  Numerical difficulties"), std::string::npos);
             EXPECT_EQ(Before(run, s, "main menu").Row(2), "   Enter data");
         }},
        {"a sum that is not positive definite leaves the best lower order, announced",
         {&kDrav},
         "-9 -4.5\n" + Repeated("1 0.5\n", 9),
         [](const Program&) {
             Script s = ToModelMenu(2, 3, {});
             return s("key s")("line 2", "order")("key a", "lower order")("key a", "covariance");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& lower = Before(run, s, "lower order");
             EXPECT_EQ(lower.Row(1), " MATRIX NOT POSITIVE DEFINITE IN CHOLES");
             EXPECT_EQ(lower.Row(2), "  The fit stopped at order  1: the best lower order,  0, is fitted.");
             EXPECT_EQ(lower.Row(3), "  <Press any key to continue>");
             // Order 0: no matrices, V = Gamma(0) and the order-0 criterion.
             const ScreenPicture& covariance = Before(run, s, "covariance");
             EXPECT_EQ(covariance.Row(1), "   0.9000E+01   0.4500E+01");
             EXPECT_EQ(covariance.Row(2), "   0.4500E+01   0.2250E+01");
             EXPECT_EQ(covariance.Row(3).substr(0, 10), "   AICC = ");
         }},
        {"the search announces the order of least AICC and fits it",
         {&kMolda, &kDrav},
         deaths,
         [](const Program&) {
             Script s = ToModelMenu(2, 3, {12});
             return s("key f")("key a", "optimal order")("key a", "covariance");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const VarReference reference;
             const int best = static_cast<int>(reference.Get(p.run, "search_best"));
             EXPECT_EQ(Before(run, s, "optimal order").Row(0), Format("('   Optimal order, p=',I2)", {best}));
             EXPECT_EQ(Before(run, s, "optimal order").Row(1), "  <Press any key to continue>");
             const double aicc = reference.Get(p.run, "search_aicc", best);
             ExpectLine(Before(run, s, "covariance").Row(3), Format("(2X,' AICC = ',E11.5)", {aicc}), 2e-6 * aicc,
                        "AICC");
         }},
        {"a file that cannot be written is reported and the question comes again",
         {&kMolda, &kDrav},
         deaths,
         [](const Program&) {
             Script s = ToModelMenu(2, 3, {12});
             s("key s")("line 1")("key a")("key a")("key n");
             s("key y", "file?")("line abcdefghijklmnopqrstuvwxyz.txt", "too long")("line .", "directory");
             s("key a", "question again")("key y")("line nowhere/errors.txt")("key a", "second failure")("key n", "no file");
             return s("key n")("key x");
         },
         [](const Program&, const ScriptedRun& run, const Script& s, const ScratchFolder& folder) {
             EXPECT_EQ(run.ending, "stopped");
             const ScreenPicture& tooLong = Before(run, s, "directory");
             EXPECT_EQ(tooLong.Row(2), "    Enter filename for the prediction errors : abcdefghijklmnopqrstuvwxyz.txt");
             EXPECT_EQ(tooLong.Row(3), "     A file name has at most 24 characters.");
             EXPECT_EQ(tooLong.Row(6), "    Enter filename for the prediction errors :");
             const ScreenPicture& again = Before(run, s, "question again");
             EXPECT_EQ(again.Row(7), "     The file could not be written: .");
             EXPECT_EQ(again.Row(8), "  <Press any key to continue>");
             EXPECT_NE(Before(run, s, "second failure").text.find("     The file could not be written: nowhere/errors.txt"),
                       std::string::npos);
             EXPECT_EQ(Before(run, s, "no file").Row(0), "     File (n-p) one-step prediction errors for X ?");
             EXPECT_EQ(folder.Read("abcdefghijklmnopqrstuvwx"), "");
         }},
        {"with 11 components the covariance page keeps its heading: the criterion follows on a page of its own",
         {&kMolda, &kDrav},
         Simulated(40, 11, 17),
         [](const Program&) {
             Script s = ToModelMenu(11, 3, {});
             return s("key s")("line 1")("key a", "coefficients")("key a", "covariance")("key a", "criterion");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& coefficients = Before(run, s, "coefficients");
             EXPECT_EQ(coefficients.Row(0), "   PHI( 1)");
             EXPECT_EQ(coefficients.Row(23), "  <Press any key to continue>");
             const ScreenPicture& covariance = Before(run, s, "covariance");
             EXPECT_EQ(covariance.Row(0), p.covarianceHeading);
             // Eleven values a row take two lines.
             for (int row = 1; row <= 22; ++row)
                 EXPECT_EQ(Tokens(covariance.Row(row)).size(), row % 2 == 1 ? 6u : 5u) << row;
             EXPECT_EQ(covariance.Row(23), "  <Press any key to continue>");
             const ScreenPicture& criterion = Before(run, s, "criterion");
             EXPECT_EQ(criterion.Row(0).substr(0, 10), "   AICC = ");
             EXPECT_EQ(criterion.Row(1), "  <Press any key to continue>");
             EXPECT_EQ(Before(run, s, "criterion").Row(2), "");
         }},
        {"with 10 components the covariance page holds the criterion",
         {&kMolda, &kDrav},
         Simulated(40, 10, 19),
         [](const Program&) {
             Script s = ToModelMenu(10, 3, {});
             return s("key s")("line 1")("key a")("key a", "covariance")("key y", "forecasts?");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const ScreenPicture& covariance = Before(run, s, "covariance");
             EXPECT_EQ(covariance.Row(0), p.covarianceHeading);
             EXPECT_EQ(covariance.Row(21).substr(0, 10), "   AICC = ");
             EXPECT_EQ(covariance.Row(22), "  <Press any key to continue>");
             EXPECT_EQ(Before(run, s, "forecasts?").Row(0).substr(0, 25), "     Forecasts required ?");
         }},
        {"the plot question under 20 forecasts: its menu whole, Enter takes No, Y plots",
         {&kMolda, &kDrav},
         Simulated(98, 1, 23),
         [](const Program&) {
             Script s = ToModelMenu(1, 3, {});
             s("key s")("line 2")("key a")("key a")("key y")("line 20")("key 1")("key a", "table");
             return s("key enter", "plot?")("key 1", "forecast menu")("key a")("key y", "plot? again")("key a", "plot text");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder&) {
             const std::string question = "     Plot the data and predictors for component  1?";
             EXPECT_EQ(Before(run, s, "table").Row(21).substr(0, 11), "        118");
             for (const char* tag : {"plot?", "plot? again"}) {
                 const ScreenPicture& asked = Before(run, s, tag);
                 // The page scrolled up under the question: the menu's frame stands on the screen.
                 const int row = RowWith(asked, question);
                 EXPECT_EQ(row, 21) << tag << "\n" << asked.text;
                 EXPECT_EQ(asked.Row(row + 1), " No") << tag;
                 EXPECT_EQ(asked.Row(row + 2), " Yes") << tag;
                 EXPECT_EQ(BarRow(asked), row + 1) << tag;
                 EXPECT_TRUE(asked.MenuFrameWhole(1, row + 1, YesNoWidth(p), 2)) << tag;
             }
             // Enter answered No: the forecast menu again, not the plot.
             EXPECT_EQ(Before(run, s, "forecast menu").Row(2), "     Continue");
             EXPECT_EQ(Before(run, s, "plot text").Row(0), "   Press any key and the original data will");
         }},
        {"whether to replace a file, asked at the foot of a scrolled page: its menu whole, Enter takes No",
         {&kMolda, &kDrav},
         deaths,
         [](const Program&) {
             Script s = ToModelMenu(2, 3, {12});
             s("key s")("line 1")("key a")("key a")("key n")("key y")("line errors.txt")("key y");
             s("key s")("line 2")("key a")("key a")("key n")("key y");
             for (int refused = 0; refused < 7; ++refused) s("line data.txt");
             s("line errors.txt")("key enter", "exists")("line other.txt", "asked again");
             return s("key n")("key x");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder& folder) {
             EXPECT_EQ(run.ending, "stopped");
             const ScreenPicture& exists = Before(run, s, "exists");
             const int row = RowWith(exists, "     errors.txt exists. Replace it?  No");
             EXPECT_EQ(row, 22) << exists.text;
             EXPECT_EQ(BarRow(exists), row);
             EXPECT_TRUE(exists.MenuFrameWhole(37, row, YesNoWidth(p), 2)) << exists.text;
             const ScreenPicture& again = Before(run, s, "asked again");
             EXPECT_EQ(again.Row(24), "    Enter filename for the prediction errors :");
             // Enter kept the file of order 1, 59 vectors; the errors of order 2 went to the other.
             EXPECT_EQ(Count(folder.Read("errors.txt"), "\r\n"), 59);
             EXPECT_EQ(Count(folder.Read("other.txt"), "\r\n"), 58);
         }},
        {"a file that exists is replaced on Yes only; the data file is refused first",
         {&kMolda, &kDrav},
         deaths,
         [](const Program&) {
             // The errors of order 1 filed, then those of order 2 over them.
             Script s = ToModelMenu(2, 3, {12});
             s("key s")("line 1")("key a")("key a")("key n")("key y")("line errors.txt")("key y");
             s("key s")("line 2")("key a")("key a")("key n", "forecasts?")("key y", "file?")("line data.txt");
             s("line errors.txt", "data refused")("key n", "exists")("line errors.txt", "asked again")("key y", "exists again");
             return s("key n", "another model?")("key x");
         },
         [](const Program& p, const ScriptedRun& run, const Script& s, const ScratchFolder& folder) {
             EXPECT_EQ(run.ending, "stopped");
             EXPECT_EQ(Before(run, s, "file?").text, "     File (n-p) one-step prediction errors for X ?\n No\n Yes\n");
             const ScreenPicture& refused = Before(run, s, "data refused");
             EXPECT_EQ(refused.Row(2), "    Enter filename for the prediction errors : data.txt");
             EXPECT_EQ(refused.Row(3), "     The file data.txt holds the data read: give another name.");
             const ScreenPicture& exists = Before(run, s, "exists");
             EXPECT_EQ(exists.Row(6), "    Enter filename for the prediction errors : errors.txt");
             EXPECT_EQ(exists.Row(7), "     errors.txt exists. Replace it?  No");
             EXPECT_EQ(exists.Row(8), std::string(37, ' ') + "Yes");
             // molda's items are one column narrower than drav's, as in its other questions.
             EXPECT_TRUE(exists.MenuFrameWhole(37, 7, YesNoWidth(p), 2));
             EXPECT_EQ(Before(run, s, "asked again").Row(12), "    Enter filename for the prediction errors :");
             EXPECT_EQ(Before(run, s, "exists again").Row(13), "     errors.txt exists. Replace it?  No");
             EXPECT_EQ(Before(run, s, "another model?").Row(0), "     Do you wish to try another model for X ?");
             // Order 2 leaves one error vector fewer than order 1 of the 60 differenced vectors.
             EXPECT_EQ(Count(folder.Read("errors.txt"), "\r\n"), 58);
             EXPECT_EQ(folder.Read("data.txt"), TestDataText("mdeaths_fdeaths.txt"));
         }},
    };
    for (const DialogueCase& c : cases)
        for (const Program* program : c.programs) {
            SCOPED_TRACE(std::string(c.name) + " (" + program->name + ")");
            ScratchFolder folder(std::string("rules-") + program->name);
            folder.Write("data.txt", c.data);
            const Script script = c.script(*program);
            const ScriptedRun run = RunScripted(script.Text(), program->main);
            EXPECT_NE(run.ending, "returned") << run.Describe();
            c.check(*program, run, script, folder);
        }
}

}  // namespace
