#include "console/var_dialogue.h"

#include "console/data_file.h"
#include "console/file_select.h"
#include "console/menu.h"
#include "console/screen.h"
#include "console/screen_io.h"
#include "console/series_plot.h"
#include "platform/pc.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The longest line a typed file name may take on the way in; names themselves are kFileNameField.
constexpr int kTypedNameLimit = 127;

const std::string kMark(1, kMenuHotKeyMark);

enum class Next { MainMenu, Exit };

// The text of one formatted record, without its line end.
std::string Format(std::string_view format, const std::vector<FormatValue>& values)
{
    std::string text = Formatted(format, values);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whether `lines` more records and the pause after them stand below the cursor without
// scrolling the page: the pause's own line end must not pass the last row.
bool PageHolds(int lines)
{
    int column = 0, row = 0;
    BiosGetCursor(column, row);
    return row + lines + 1 < kPcRows;
}

// "1st" .. "11th" with the hot-key mark before the first digit, or before the last digit of 10th
// and 11th.
std::string Ordinal(int k)
{
    static const char* const kSuffix[] = {"th", "st", "nd", "rd"};
    const std::string suffix = k >= 1 && k <= 3 ? kSuffix[k] : "th";
    if (k < 10)
        return kMark + std::to_string(k) + suffix;
    return "1" + kMark + std::to_string(k - 10) + suffix;
}

// An exit item's text with its hot key x: "E" + mark + "xit ...".
std::string ExitText(const char* text)
{
    const std::string item(text);
    return item.substr(0, 1) + kMark + item.substr(1) + "~";
}

void Choose(int& choice, int column, int row)
{
    MenuChoose(choice, column, row);
}

int ReadInteger(int32_t& value)
{
    return ScreenReadInts(1, &value);
}

// The component menus: Continue, one item a component, an optional exit item.
void ComponentMenu(int& choice, int m, const char* prefix, const char* suffix, const char* thirdSuffix,
                   const char* exitItem)
{
    MenuClear();
    MenuAdd(1, kMark + "Continue~");
    for (int k = 1; k <= m; ++k)
        MenuAdd(k + 1, std::string(prefix) + Ordinal(k) + (k == 3 ? thirdSuffix : suffix) + "~");
    if (exitItem)
        MenuAdd(m + 2, ExitText(exitItem));
    int id = 0;
    Choose(id, 5, 2);
    choice = id - 1;
}

template <typename Real>
class Dialogue {
public:
    Dialogue(const VarProgram<Real>& program, VarSession<Real>& session) : p_(program), s_(session) {}

    [[noreturn]] void Run()
    {
        int adapter = 0, layout = 0, bottom = 0;
        StartScreen(p_.spacedName, adapter, layout, bottom);
        VarClear();
        ShowIntroduction(p_.algorithmLines);
        for (;;) {
            VarClear();
            MenuClear();
            MenuAdd(1, kMark + "Enter data~");
            MenuAdd(2, ExitText(p_.exitItem));
            int choice = 0;
            Choose(choice, 3, 2);
            if (choice != 1 || DataSet() == Next::Exit)
                End();
        }
    }

private:
    [[noreturn]] void End()
    {
        SetTextMode();
        ScreenWrite("('Stop - Program terminated.')", {});
        ProgramStop(0);
    }

    // Steps from the dimension to the last model of one data set.
    Next DataSet()
    {
        AskDimension();
        ReadData();
        VarClear();
        ScreenWrite("(/,'  Number of observation vectors = ',I6)", {s_.n});
        for (const std::string& line : readLines_)
            ScreenWrite("(2X,A)", {line});
        ScreenWrite("('      <Press any key to continue>')", {});
        WaitKey();
        if (PlotMenu(s_.X, s_.n) == Next::Exit)
            return Next::Exit;

        VarClear();
        ScreenWrite("(2X,' Do you wish to difference the data ?  ')", {});
        int answer = 0;
        AskYesNo(answer, p_.yesNo);
        VarClear();
        bool difference = answer == 1;
        for (;;) {
            if (difference)
                AskDifferencing();
            else
                s_.ndiff = 0;
            s_.nPrime = DifferenceSeries(s_.X, s_.n, s_.m, s_.ndiff, s_.lag1, s_.lag2, s_.Y);
            MeanCorrect(s_.m, s_.nPrime, s_.Y, s_.mean, s_.var, s_.sd);
            for (int j = 0; j < s_.m; ++j)
                s_.meanCopy[j] = s_.mean[j];
            ReportMeans();
            if (PlotMenu(s_.Y, s_.nPrime) == Next::Exit)
                return Next::Exit;
            VarClear();
            ScreenWrite("(2X,' Try new differencing operations ?  ')", {});
            AskYesNo(answer, p_.yesNo);
            if (answer != 1)
                break;
            difference = true;
        }
        if (VarOrderBound(s_.nPrime, s_.m) < 0) {
            // One value: no order bound to offer and nothing to fit; another data set may be.
            VarClear();
            ScreenWriteList({"  The series is too short to fit an autoregression."});
            VarPause();
            return Next::MainMenu;
        }
        if (p_.differencingDone(s_) != 1)
            return Next::MainMenu;
        return Models();
    }

    void AskDimension()
    {
        VarClear();
        ScreenWriteList({"  The data must be in an ASCII file with the m", "  components of X(t) in row t."});
        for (;;) {
            ScreenWrite("('   ENTER DIMENSION OF EACH OBSERVED VECTOR (<12): ',\\)", {});
            int32_t m = 0;
            // A dimension below 1 would leave every later step without meaning.
            if (ReadInteger(m) == 1 && m >= 1 && m <= kVarComponents) {
                s_.m = m;
                return;
            }
        }
    }

    // Says why a data file gives no data, waits for a key; the file list comes next.
    void FileNotUsed(const std::string& name, const std::string& why)
    {
        VarClear();
        ScreenWrite("(3X,'The file ',A,' cannot be used.',/,3X,A)", {name, why});
        VarPause();
    }

    void ReadData()
    {
        const int m = s_.m;
        for (;;) {
            VarClear();
            SetTextCursor(0, 0);
            ScreenWrite("(2X,'SELECT NAME OF FILE ...',\\)", {});
            std::string name(static_cast<std::size_t>(kFileNameField), ' ');
            SelectFile(name);
            const std::string chosen = Trimmed(name);
            if (chosen == "changedir")
                continue;
            DataFileRead read;
            if (ReadDataFile(chosen, m, kVarVectors, read) != 1) {
                FileNotUsed(chosen, "It cannot be opened.");
                continue;
            }
            if (read.count == 0 || DataFaultRefuses(read.fault)) {
                FileNotUsed(chosen, DataFileProblem(read));
                continue;
            }
            if (read.more) {
                VarClear();
                ScreenWrite("(3X,'DATA TRUNCATED AFTER FIRST 10000 VECTORS.')", {});
                ScreenWrite("('     <Press any key to continue>')", {});
                WaitKey();
            }
            std::copy(read.values.begin(), read.values.end(), s_.X);
            s_.n = read.count;
            dataPath_ = DataFilePath(chosen);
            readLines_ = DataReadLines(read, "vector");
            return;
        }
    }

    // The plot menu over a series of `count` times, plotted in single precision; Exit or Continue.
    template <typename S>
    Next PlotMenu(const S* series, int count)
    {
        for (;;) {
            int choice = 0;
            PlotComponentMenu(choice, s_.m, p_.plotExitItem);
            if (choice == 0)
                return Next::MainMenu;
            if (choice < 1 || choice > s_.m)
                return Next::Exit;
            for (int t = 1; t <= count; ++t) {
                PlotBufferA[t] = VarSingle(series[VarAt(choice, t, s_.m)]);
                PlotBufferB[t] = kPlotNoValue;
            }
            (void)PlotSeries(count, 0);
        }
    }

    void AskDifferencing()
    {
        const int n = s_.n;
        for (;;) {
            VarClear();
            ScreenWrite("('  HOW MANY DIFFERENCING OPERATIONS REQUIRED (<3)?: ',\\)", {});
            int32_t ndiff = 0;
            // Every operation needs a lag of at least 1 and leaves at least one value.
            if (ReadInteger(ndiff) == 1 && ndiff >= 0 && ndiff <= 2 && ndiff < n) {
                s_.ndiff = ndiff;
                break;
            }
        }
        int used = 0;
        for (int i = 1; i <= s_.ndiff; ++i) {
            // The lags left for the later operations must still leave a value each.
            const int largest = n - 1 - used - (s_.ndiff - i);
            for (;;) {
                ScreenWrite("(2X,'LAG(',I1,') = ',\\)", {i});
                int32_t lag = 0;
                if (ReadInteger(lag) == 1 && lag >= 1 && lag <= largest) {
                    (i == 1 ? s_.lag1 : s_.lag2) = lag;
                    used += lag;
                    break;
                }
            }
        }
    }

    void ReportMeans()
    {
        if (s_.ndiff == 1) {
            ScreenWrite("('  1 differencing transformation : LAG =',I3)", {s_.lag1});
            ScreenWrite("(' After differencing we obtain :')", {});
        } else if (s_.ndiff == 2) {
            ScreenWrite("('  2 differencing transformations : LAGS =',2I3)", {s_.lag1, s_.lag2});
            ScreenWrite("(' After differencing we obtain :')", {});
        }
        ScreenWrite("(3X,'i',4X,'Mean of series i',3X,'Std. dev. of series i')", {});
        for (int i = 1; i <= s_.m; ++i)
            ScreenWrite("(2X,I2,2X,E14.6,8X,E14.6)",
                        {i, static_cast<double>(s_.mean[i - 1]), static_cast<double>(s_.sd[i - 1])});
        ScreenWriteList({" THE MEANS HAVE NOW BEEN SUBTRACTED TO GENERATE THE", " MEAN-CORRECTED SERIES   X1, ... , Xm."});
        ScreenWrite("('   <Press any key to continue>')", {});
        WaitKey();
    }

    Next Models()
    {
        for (;;) {
            VarClear();
            s_.pmax = VarOrderBound(s_.nPrime, s_.m);
            ScreenWrite("(5X,'The first option will fit the minimum AICC model with p < ',I2)", {s_.pmax});
            MenuClear();
            MenuAdd(1, kMark + "Find minimum AICC model~");
            MenuAdd(2, kMark + "Specify order for fitted model~");
            MenuAdd(3, ExitText(p_.exitItem));
            int choice = 0;
            Choose(choice, 5, 4);
            VarClear();
            if (choice != 1 && choice != 2)
                return Next::Exit;
            if (s_.pmax <= 0) {
                // No order lies below the bound: nothing can be fitted to so few values.
                ScreenWriteList({"  The series is too short to fit an autoregression."});
                VarPause();
                continue;
            }
            const int order = choice == 2 ? AskOrder() : -1;
            if (p_.fit(s_, order) != 1)
                return Next::MainMenu;
            ShowCoefficients();
            ShowCovariance();
            if (Forecasts() != 1)
                return Next::MainMenu;
            PredictionErrorFile();
            VarClear();
            ScreenWrite("(4X,' Do you wish to try another model for X ?       ')", {});
            int answer = 0;
            AskYesNo(answer, p_.yesNo);
            VarClear();
            if (answer != 1)
                return Next::MainMenu;
        }
    }

    int AskOrder()
    {
        for (;;) {
            ScreenWrite("(5X,'Order of multivariate AR to be fitted [<',I2,']? ',\\)", {s_.pmax});
            int32_t p = 0;
            if (ReadInteger(p) == 1 && p >= 0 && p < s_.pmax && p < s_.nPrime)
                return p;
        }
    }

    void WriteMatrixRows(const Real* matrix)
    {
        std::vector<FormatValue> row;
        for (int i = 1; i <= s_.m; ++i) {
            row.clear();
            for (int j = 1; j <= s_.m; ++j)
                row.emplace_back(static_cast<double>(matrix[VarEntry(i, j)]));
            ScreenWrite("(6E13.4)", row);
        }
    }

    void ShowCoefficients()
    {
        const int every = s_.m < 7 ? 3 : 1;
        for (int k = 1; k <= s_.order; ++k) {
            ScreenWrite("(1X,'  PHI(',I2,')')", {k});
            WriteMatrixRows(s_.phi + static_cast<std::size_t>(k - 1) * kVarMatrix);
            if (k % every == 0 || k == s_.order) {
                VarPause();
                VarClear();
            }
        }
    }

    void ShowCovariance()
    {
        VarClear();
        ScreenWrite(std::string("('") + p_.covarianceHeading + "')", {});
        WriteMatrixRows(s_.V);
        // Where the criterion would push the heading off the page, the page ends after the whole
        // matrix, as the coefficient pages do, and the criterion has a page of its own.
        if (!PageHolds(1)) {
            VarPause();
            VarClear();
        }
        ScreenWrite("(2X,' AICC = ',E11.5)", {s_.aicc});
        VarPause();
        VarClear();
    }

    // Steps 19 to 21; 0 after a numerical difficulty (back to the main menu).
    int Forecasts()
    {
        ScreenWrite("(4X,' Forecasts required ?  ',\\)", {});
        int answer = 0;
        AskYesNo(answer, p_.yesNo);
        VarClear();
        if (answer != 1)
            return 1;
        const int m = s_.m;
        for (;;) {
            ScreenWrite("(4X,' Number of forecasts required (<21)? ',\\)", {});
            int32_t h = 0;
            if (ReadInteger(h) == 1 && h >= 0 && h <= kVarForecasts) {
                s_.h = h;
                break;
            }
        }
        ForecastDifferenced(s_.Y, s_.nPrime, m, s_.phi, s_.order, s_.h);
        for (int e = 0; e < kVarLagSetLength; ++e)
            s_.operatorA[e] = -s_.phi[e];
        PsiMatrices(s_.operatorA, s_.psi, s_.order, m);
        ForecastMse(s_.psi, s_.V, m, s_.h, s_.mse);
        if (s_.ndiff > 0) {
            UndifferenceForecasts(s_.X, s_.n, m, s_.Y, s_.nPrime, s_.meanCopy, s_.ndiff, s_.lag1, s_.lag2, s_.h);
            int q = 0;
            UndifferencedOperator(s_.phi, s_.order, m, s_.ndiff, s_.lag1, s_.lag2, s_.operatorA, q);
            PsiMatrices(s_.operatorA, s_.psi, q, m);
            ForecastMse(s_.psi, s_.V, m, s_.h, s_.originalMse);
        }
        if (!ForecastsFinite()) {
            VarNumericalDifficulties(" Numerical difficulties", "  <Press any key to start over>");
            return 0;
        }

        for (;;) {
            int k = 0;
            ForecastMenu(k, m);
            if (k < 1 || k > m)
                break;
            ForecastTable(Format("(8X,'TIME',6X,'X',I2,'+MEAN',8X,'SQRT(MSE)')", {k}), s_.nPrime, s_.mse, k,
                          [&](int i) { return static_cast<double>(s_.Y[VarAt(k, s_.nPrime + i, m)] + s_.meanCopy[k - 1]); });
            if (s_.ndiff == 0)
                OfferPlot(k);
        }
        if (s_.ndiff == 0)
            return 1;
        for (;;) {
            VarClear();
            int k = 0;
            OriginalForecastMenu(k, m);
            if (k < 1 || k > m)
                break;
            ForecastTable(Format("(8X,'TIME',6X,'ORIG.Y',I2,8X,'SQRT(MSE)')", {k}), s_.n, s_.originalMse, k,
                          [&](int i) { return static_cast<double>(s_.X[VarAt(k, s_.n + i, m)]); });
            OfferPlot(k);
        }
        return 1;
    }

    // A page of the h forecasts of component k at the times after `origin`, with the square
    // roots of the diagonal elements of their mean squared errors.
    template <typename Forecast>
    void ForecastTable(const std::string& head, int origin, const Real* mse, int k, Forecast forecast)
    {
        VarClear();
        ScreenWrite("('  FORECASTS :')", {});
        ScreenWrite("(A)", {head});
        for (int i = 1; i <= s_.h; ++i)
            ScreenWrite("(I11,E15.4,E15.4)",
                        {origin + i, forecast(i),
                         static_cast<double>(std::sqrt(mse[static_cast<std::size_t>(i - 1) * kVarMatrix + VarEntry(k, k)]))});
        VarPause();
    }

    bool ForecastsFinite() const
    {
        const int m = s_.m;
        if (!AllValuesFinite(s_.Y + VarAt(1, s_.nPrime + 1, m), s_.h * m) || !MatricesFinite(s_.mse, s_.h, m))
            return false;
        return s_.ndiff == 0 ||
               (AllValuesFinite(s_.X + VarAt(1, s_.n + 1, m), s_.h * m) && MatricesFinite(s_.originalMse, s_.h, m));
    }

    void OfferPlot(int k)
    {
        ScreenWrite("(4X,' Plot the data and predictors for component',I3,'?  ')", {k});
        int answer = 0;
        AskYesNo(answer, p_.yesNo);
        if (answer != 1)
            return;
        const int m = s_.m;
        for (int t = 1; t <= s_.n; ++t) {
            PlotBufferA[t] = s_.X[VarAt(k, t, m)];
            PlotBufferB[t] = kPlotNoValue;
        }
        for (int i = 1; i <= s_.h; ++i)
            PlotBufferB[s_.n + i] = s_.ndiff == 0
                                        ? VarSingle(s_.Y[VarAt(k, s_.nPrime + i, m)] + s_.meanCopy[k - 1])
                                        : s_.X[VarAt(k, s_.n + i, m)];
        VarClear();
        ScreenWriteList({"  Press any key and the original data will ", "  be plotted.  Press any key once again to",
                         "  view the forecasts. ", "  ", "   <Press any key to continue>"});
        WaitKey();
        (void)PlotSeries(s_.n, s_.h);
    }

    void PredictionErrorFile()
    {
        for (;;) {
            // The forecast menu may still stand where the question goes.
            VarClear();
            ScreenWrite("(4X,' File (n-p) one-step prediction errors for X ?  ')", {});
            int answer = 0;
            AskYesNo(answer, p_.yesNo);
            if (answer != 1)
                return;
            VarClear();
            std::string name;
            for (;;) {
                ScreenWrite("(/,/,4X,'Enter filename for the prediction errors : ',\\)", {});
                std::string typed(static_cast<std::size_t>(kTypedNameLimit), ' ');
                ReadLine(typed, kFileNameField);
                name = Trimmed(typed);
                // A longer name cut to the field would write another file than the one typed.
                if (name.empty())
                    ScreenWriteList({"    The file name is empty: give a name."});
                else if (name.size() > static_cast<std::size_t>(kFileNameField))
                    ScreenWriteList({"    A file name has at most 24 characters."});
                else if (IsSameFile(name, dataPath_))
                    ScreenWriteList({"    The file " + name + " holds the data read: give another name."});
                else if (AskReplaceFile(name, 5, p_.yesNo) == 1)
                    break;
            }
            if (WriteErrors(name) == 1)
                return;
            ScreenWriteList({"    The file could not be written: " + name});
            VarPause();
        }
    }

    int WriteErrors(const std::string& name)
    {
        TextFile file;
        if (OpenOutputFile(file, name) != 1)
            return 0;
        std::vector<FormatValue> values;
        for (int t = s_.order + 1; t <= s_.nPrime; ++t) {
            values.clear();
            for (int j = 1; j <= s_.m; ++j)
                values.emplace_back(s_.e[VarAt(j, t, s_.m)]);
            if (WriteFileFormatted(file, "(6E13.5)", values) != 1) {
                file = TextFile();
                return 0;
            }
        }
        return CloseFile(file) == 1 ? 1 : 0;
    }

    const VarProgram<Real>& p_;
    VarSession<Real>& s_;
    std::string dataPath_;                // the data file read (DataFilePath), kept from outputs
    std::vector<std::string> readLines_;  // where the reading rules took effect or reading stopped
};

}  // namespace

void VarClear()
{
    SetGraphicsMode(16);
    SetDrawColor(1);
}

void VarPause()
{
    ScreenWrite("('  <Press any key to continue>')", {});
    WaitKey();
}

void VarNumericalDifficulties(const char* first, const char* last)
{
    ScreenWriteList({first});
    ScreenWriteList({});
    ScreenWriteList({last});
    WaitKey();
}

void ShowIntroduction(const char* const* algorithmLines)
{
    static const char* const kHead[] = {
        "  INTRODUCTION    <Press enter to continue> ",
        "  The program will read observations of an m-variate",
        " time series, allow up to two differencing operations,",
        " then subtract the component means to give the series,",
        "  (X1(t),  X2(t), ...,  Xm(t))', t=1,2,...,    (m<12).",
        " It next fits a multivariate AR process of specified",
        " order p<21 to the multivariate series X and predicts",
        " future values, giving estimated mean squared errors",
    };
    static const char* const kTail[] = {
        "       The fitted model is:",
        "       X(t)=phi(1)X(t-1)+...+phi(p)X(t-p)+Z(t),",
        "         where",
        "       X(t) =  (X1(t), ..., Xm(t))',",
        "       phi(j), j=1,...,p, are  m x m matrices",
        "         and",
        "       {Z(t)} is multivariate WN(0,V).",
        " If differencing was performed, the program will also",
        " predict the original series and find estimated mean",
        " squared errors of the predictors.",
    };
    SetTextCursor(12, 0);
    MenuClear();
    for (const char* line : kHead)
        MenuAdd(1, std::string(line) + "~");
    for (int i = 0; i < kAlgorithmLines; ++i)
        MenuAdd(1, std::string(algorithmLines[i]) + "~");
    for (const char* line : kTail)
        MenuAdd(1, std::string(line) + "~");
    int choice = 0;
    Choose(choice, 10, 2);
}

void PlotComponentMenu(int& choice, int m, const char* exitItem)
{
    VarClear();
    ComponentMenu(choice, m, "Plot ", " component", " component", exitItem);
}

void ForecastMenu(int& choice, int m)
{
    VarClear();
    ComponentMenu(choice, m, "Display forecasts of ", " component", "  component", nullptr);
}

void OriginalForecastMenu(int& choice, int m)
{
    ComponentMenu(choice, m, "Display forecasts of ", " ORIGINAL component", " ORIGINAL component", nullptr);
}

template <typename Real>
void RunVarProgram(const VarProgram<Real>& program, VarSession<Real>& session)
{
    Dialogue<Real>(program, session).Run();
}

template void RunVarProgram<float>(const VarProgram<float>&, VarSession<float>&);
template void RunVarProgram<double>(const VarProgram<double>&, VarSession<double>&);
