#include "univariate/win32/smoothing_dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "numerics/fft_smoother.h"
#include "numerics/smoothing.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/number_format.h"
#include "shell/win32/info_window.h"
#include "shell/win32/project_commands.h"
#include "univariate/periodogram_smoothing.h"
#include "univariate/smoothing_commands.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/spectrum_smoothing.h"
#include "univariate/win32/univariate_reports.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// Types `text` into an edit and leaves it for `next`, as a user tabbing on.
void Type(HWND dialog, int edit, const wchar_t* text, int next)
{
    SetFocus(GetDlgItem(dialog, edit));
    SetDlgItemTextW(dialog, edit, text);
    SetFocus(GetDlgItem(dialog, next));
}

// Enter, with the focus where it is.
void Enter(HWND dialog) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

void Slide(HWND dialog, int trackbar, int position)
{
    HWND bar = GetDlgItem(dialog, trackbar);
    SendMessageW(bar, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(bar));
}

int SliderAt(HWND dialog, int trackbar) { return static_cast<int>(SendDlgItemMessageW(dialog, trackbar, TBM_GETPOS, 0, 0)); }

// Message boxes among the dialogs seen since the last call, each with the expected caption.
std::vector<std::wstring> Messages(const wchar_t* caption)
{
    std::vector<std::wstring> messages;
    for (const SeenDialog& seen : TakeSeenDialogs()) {
        if (seen.message.empty()) continue;
        EXPECT_EQ(seen.caption, caption) << testing::PrintToString(seen.message);
        messages.push_back(seen.message);
    }
    return messages;
}

std::vector<double> Series()
{
    std::vector<double> x;
    for (int t = 0; t < 40; ++t) x.push_back(10.0 + 3.0 * std::sin(0.3 * t) + (t * 7) % 5);
    return x;
}

// One smoother outside the commands, for the expected curves.
std::vector<double> Smoothed(SmoothingKind kind, const std::vector<double>& x, double v)
{
    std::vector<double> out(x.size());
    const int n = static_cast<int>(x.size());
    if (kind == SMOOTH_EXPONENTIAL)
        EXPECT_EQ(ExponentialSmooth(x.data(), out.data(), n, v), 0);
    else
        EXPECT_EQ(FftSmoother(x.data(), out.data(), n, v), 0);
    return out;
}

// The constant the exponential smoother's search picks for x.
double SearchedAlpha(const std::vector<double>& x)
{
    std::vector<double> out(x.size());
    double alpha = kExpSmoothSearch;
    EXPECT_EQ(ExponentialSmooth(x.data(), out.data(), static_cast<int>(x.size()), alpha), 0);
    return alpha;
}

double MeanSquare(const std::vector<double>& x, const std::vector<double>& s)
{
    double sum = 0.0;
    for (size_t t = 0; t < x.size(); ++t) sum += (x[t] - s[t]) * (x[t] - s[t]);
    return sum / static_cast<double>(x.size());
}

// The two slider dialogs differ only in these.
struct Slider {
    SmoothingKind kind;
    int32_t (*command)(UnivariateProject&);
    const wchar_t* caption;
    int edit, trackbar;
    const wchar_t* title;
    const wchar_t* refusal;
};
const Slider kSliders[] = {
    {SMOOTH_EXPONENTIAL, ExpSmooth, L"Exponential Smoothing", IDC_EXP_ALPHA, IDC_EXP_TRACKBAR,
     L"Exponential Smoothing: New Univariate Project", L"Exp. smooth parameter must be in [0.0, 1.0] or -1"},
    {SMOOTH_FFT, FftSmooth, L"FFT Smoothing", IDC_FFT_FRACTION, IDC_FFT_TRACKBAR, L"FFT Smoothing: New Univariate Project",
     L"FFT smooth parameter must be in [0.0, 1.0]"},
};

class SmoothingDialogsTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        AnswerNextDialog(DialogAnswer{});
        SendCommand(IDM_PROJECT_NEW);
        project_ = CurrentUnivariate();
        ASSERT_NE(project_, nullptr);
        ASSERT_EQ(VeskImportData(*project_, Series()), 1);
        PumpMessages();
        TakeSeenDialogs();
    }
    UnivariateProject* project_ = nullptr;
};

}  // namespace

// A new project searches alpha before the dialog opens; a slider move recomputes the view; OK
// keeps the value and stores the mean squared difference.
TEST_F(SmoothingDialogsTest, SliderOkKeepsTheValueOfTheMove)
{
    UnivariateProject& u = *project_;
    const std::vector<double> x = Series();
    for (const Slider& d : kSliders) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(d.caption)));
        const double start = d.kind == SMOOTH_EXPONENTIAL ? SearchedAlpha(x) : 0.5;
        bool moved = false;
        DialogAnswer answer = Press(IDOK);
        answer.inspect = [&](HWND dialog) {
            EXPECT_EQ(WindowText(dialog), d.caption);
            EXPECT_EQ(ItemText(dialog, d.edit), WideText(FixedText(start, 2)));
            EXPECT_EQ(SliderAt(dialog, d.trackbar), SmoothingSliderPosition(start));
            EXPECT_EQ(SendDlgItemMessageW(dialog, d.trackbar, TBM_GETRANGEMIN, 0, 0), 1);
            EXPECT_EQ(SendDlgItemMessageW(dialog, d.trackbar, TBM_GETRANGEMAX, 0, 0), 11);
            PlotRecord& view = u.views[SmoothingView(d.kind)];
            ASSERT_NE(view.window, nullptr);
            EXPECT_EQ(view.curves[2].y, Smoothed(d.kind, x, start));

            // Away first: a move to the position already applied recomputes nothing.
            Slide(dialog, d.trackbar, 11);
            EXPECT_EQ(view.curves[2].y, Smoothed(d.kind, x, 1.0));
            Slide(dialog, d.trackbar, 4);
            EXPECT_EQ(ItemText(dialog, d.edit), L"0.30");
            EXPECT_EQ(*SmoothingParameter(u, d.kind), SmoothingSliderValue(4));
            EXPECT_EQ(view.curves[2].y, Smoothed(d.kind, x, SmoothingSliderValue(4)));
            moved = true;
        };
        AnswerNextDialog(answer);
        EXPECT_EQ(d.command(u), 1);
        EXPECT_TRUE(moved);
        EXPECT_TRUE(Messages(L"").empty());

        const PlotRecord& view = u.views[SmoothingView(d.kind)];
        ASSERT_NE(view.window, nullptr);
        EXPECT_EQ(WindowText(Handle(view.window)), d.title);
        const std::vector<double> smoothed = Smoothed(d.kind, x, SmoothingSliderValue(4));
        EXPECT_EQ(*SmoothingParameter(u, d.kind), SmoothingSliderValue(4));
        EXPECT_EQ(SmoothedSeries(u, d.kind), smoothed);
        EXPECT_EQ(view.curves[1].y, x);
        EXPECT_EQ(view.curves[2].y, smoothed);
        EXPECT_EQ(view.curves[1].penStyle, 2);
        EXPECT_EQ(view.curves[2].showMarkers, 0);
        EXPECT_DOUBLE_EQ(SmoothingError(u, d.kind), MeanSquare(x, smoothed));
    }
}

// Cancel with the view open puts the parameter and the curves back and rewrites the open
// report; Cancel on a first run closes the view and keeps the value last tried.
TEST_F(SmoothingDialogsTest, SliderCancelRestoresOnlyAnOpenView)
{
    UnivariateProject& u = *project_;
    const std::vector<double> x = Series();
    for (const Slider& d : kSliders) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(d.caption)));
        DialogAnswer first = Press(IDCANCEL);
        first.inspect = [&](HWND dialog) {
            Slide(dialog, d.trackbar, 10);
            Slide(dialog, d.trackbar, 3);
        };
        AnswerNextDialog(first);
        EXPECT_EQ(d.command(u), 1);
        PlotRecord& view = u.views[SmoothingView(d.kind)];
        EXPECT_EQ(view.window, nullptr);
        EXPECT_EQ(*SmoothingParameter(u, d.kind), SmoothingSliderValue(3));

        // Opened and kept at 0.2, with its report open.
        AnswerNextDialog(Press(IDOK));
        EXPECT_EQ(d.command(u), 1);
        ASSERT_NE(view.window, nullptr);
        ASSERT_EQ(VeskInfo(u, view), 1);
        const std::vector<double> kept = SmoothedSeries(u, d.kind);
        const double keptError = SmoothingError(u, d.kind);

        bool moved = false;
        DialogAnswer second = Press(IDCANCEL);
        second.inspect = [&](HWND dialog) {
            Slide(dialog, d.trackbar, 9);
            EXPECT_EQ(view.curves[2].y, Smoothed(d.kind, x, SmoothingSliderValue(9)));
            moved = true;
        };
        AnswerNextDialog(second);
        EXPECT_EQ(d.command(u), 1);
        EXPECT_TRUE(moved);
        ASSERT_NE(view.window, nullptr);
        EXPECT_EQ(*SmoothingParameter(u, d.kind), SmoothingSliderValue(3));
        EXPECT_EQ(SmoothedSeries(u, d.kind), kept);
        EXPECT_EQ(view.curves[2].y, kept);
        EXPECT_EQ(SmoothingError(u, d.kind), keptError);
        const std::wstring report = WindowText(ReportEditOf(Handle(view.infoWindow)));
        const std::string root = FixedText(std::sqrt(keptError), 5);
        EXPECT_NE(report.find(L" SQRT(MSE) =  " + WideText(root)), std::wstring::npos) << testing::PrintToString(report);
        EXPECT_NE(report.find(L" =  0.20000"), std::wstring::npos) << testing::PrintToString(report);
    }
}

// Typed values: 1.5 is refused with a message and changes nothing; 0.25 smooths with 0.25 while
// the slider shows the nearest tenth; NaN is not a number; a typed -1 keeps -1 in the project
// and smooths with the constant the search picks.
TEST_F(SmoothingDialogsTest, SliderTypedValues)
{
    UnivariateProject& u = *project_;
    const std::vector<double> x = Series();
    for (const Slider& d : kSliders) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(d.caption)));
        bool typed = false;
        DialogAnswer answer = Press(IDOK);
        answer.inspect = [&](HWND dialog) {
            const double before = *SmoothingParameter(u, d.kind);
            const std::vector<double> curve = u.views[SmoothingView(d.kind)].curves[2].y;
            const int position = SliderAt(dialog, d.trackbar);
            AnswerNextDialog(Press(IDOK));  // the refusal
            Type(dialog, d.edit, L"1.5", d.trackbar);
            EXPECT_EQ(*SmoothingParameter(u, d.kind), before);
            EXPECT_EQ(u.views[SmoothingView(d.kind)].curves[2].y, curve);
            EXPECT_EQ(SliderAt(dialog, d.trackbar), position);
            EXPECT_TRUE(IsWindow(dialog));

            AnswerNextDialog(Press(IDOK));  // the refusal, with its reason
            Type(dialog, d.edit, L"NaN", d.trackbar);
            EXPECT_EQ(*SmoothingParameter(u, d.kind), before);

            Type(dialog, d.edit, L"0.25", d.trackbar);
            EXPECT_EQ(*SmoothingParameter(u, d.kind), 0.25);
            EXPECT_EQ(SliderAt(dialog, d.trackbar), 4);
            EXPECT_EQ(ItemText(dialog, d.edit), L"0.25");
            EXPECT_EQ(u.views[SmoothingView(d.kind)].curves[2].y, Smoothed(d.kind, x, 0.25));

            // Enter in the edit applies what was typed and stays open.
            SetFocus(GetDlgItem(dialog, d.edit));
            SetDlgItemTextW(dialog, d.edit, L"0.75");
            Enter(dialog);
            EXPECT_TRUE(IsWindow(dialog));
            EXPECT_EQ(*SmoothingParameter(u, d.kind), 0.75);
            EXPECT_EQ(SliderAt(dialog, d.trackbar), 9);
            typed = true;
        };
        AnswerNextDialog(answer);
        EXPECT_EQ(d.command(u), 1);
        EXPECT_TRUE(typed);
        EXPECT_EQ(Messages(L"KELO::Vesk Error"),
                  (std::vector<std::wstring>{d.refusal, std::wstring(d.kind == SMOOTH_EXPONENTIAL ? L"Exp." : L"FFT") +
                                                            L" smooth parameter \"NaN\" is not a finite number."}));
        EXPECT_EQ(*SmoothingParameter(u, d.kind), 0.75);
        EXPECT_EQ(SmoothedSeries(u, d.kind), Smoothed(d.kind, x, 0.75));
    }

    bool searched = false;
    DialogAnswer answer = Press(IDOK);
    answer.inspect = [&](HWND dialog) {
        Type(dialog, IDC_EXP_ALPHA, L"-1", IDC_EXP_TRACKBAR);
        const double chosen = SearchedAlpha(x);
        EXPECT_EQ(u.expAlpha, -1.0);
        EXPECT_EQ(u.expSmoothed, Smoothed(SMOOTH_EXPONENTIAL, x, chosen));
        EXPECT_EQ(SliderAt(dialog, IDC_EXP_TRACKBAR), SmoothingSliderPosition(chosen));
        EXPECT_EQ(ItemText(dialog, IDC_EXP_ALPHA), L"-1");
        searched = true;
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(ExpSmooth(u), 1);
    EXPECT_TRUE(searched);
    EXPECT_EQ(u.expAlpha, -1.0);
}

// Smooth > Exponential (40122) and Smooth > Moving Ave. (40124) sent to the frame as the menu
// sends them: each runs its dialog on the current project and draws its view.
TEST_F(SmoothingDialogsTest, FrameCommandsRunTheirDialogsOnTheCurrentProject)
{
    UnivariateProject& u = *project_;
    const std::vector<double> x = Series();
    DialogAnswer exponential = Press(IDOK, {{IDC_EXP_ALPHA, L"0.25"}});
    exponential.inspect = [](HWND dialog) { EXPECT_EQ(WindowText(dialog), L"Exponential Smoothing"); };
    AnswerNextDialog(exponential);
    SendCommand(IDM_SMOOTH_EXPONENTIAL);
    EXPECT_EQ(u.expAlpha, 0.25);
    const PlotRecord& expView = u.views[VIEW_EXP_SMOOTH];
    ASSERT_NE(expView.window, nullptr);
    EXPECT_EQ(WindowText(Handle(expView.window)), L"Exponential Smoothing: New Univariate Project");
    EXPECT_EQ(expView.curves[2].y, Smoothed(SMOOTH_EXPONENTIAL, x, 0.25));

    DialogAnswer moving = Press(IDOK);
    moving.inspect = [](HWND dialog) { EXPECT_EQ(WindowText(dialog), L"Moving Average Smooth"); };
    AnswerNextDialog(moving);
    SendCommand(IDM_SMOOTH_MOVING_AVERAGE);
    const PlotRecord& maView = u.views[VIEW_MA_SMOOTH];
    ASSERT_NE(maView.window, nullptr);
    EXPECT_EQ(WindowText(Handle(maView.window)), L"Moving Average Smoothing: New Univariate Project");
    EXPECT_EQ(maView.curves[2].y, x);  // the identity filter of a new project
    EXPECT_TRUE(Messages(L"").empty());
}

TEST_F(SmoothingDialogsTest, NoSeriesNoView)
{
    UnivariateProject& u = *project_;
    ASSERT_EQ(VeskClearData(u), 1);
    for (const Slider& d : kSliders) EXPECT_EQ(d.command(u), 0);
    EXPECT_EQ(MaSmooth(u), 0);
    for (SmoothingKind kind : {SMOOTH_EXPONENTIAL, SMOOTH_FFT, SMOOTH_MOVING_AVERAGE})
        EXPECT_EQ(u.views[SmoothingView(kind)].window, nullptr);
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

// The weight dialog: an order typed and Enter, weights typed with Enter stepping through them,
// OK scales them into a three-point average.
TEST_F(SmoothingDialogsTest, MovingAverageOk)
{
    UnivariateProject& u = *project_;
    const std::vector<double> x = Series();
    bool typed = false;
    DialogAnswer answer = Press(IDOK);
    answer.inspect = [&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Moving Average Smooth");
        EXPECT_EQ(ItemText(dialog, IDC_MA_ORDER), L"0");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MA_WEIGHT)));
        EXPECT_EQ(u.maSmoothed, x);  // the identity filter of a new project
        SetFocus(GetDlgItem(dialog, IDC_MA_ORDER));
        SetDlgItemTextW(dialog, IDC_MA_ORDER, L"1");
        Enter(dialog);
        EXPECT_EQ(u.maOrder, 1);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_MA_WEIGHT));
        EXPECT_EQ(ItemText(dialog, IDC_MA_LABEL), L"Theta(0) = ");
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"1");
        Enter(dialog);
        EXPECT_EQ(ItemText(dialog, IDC_MA_LABEL), L"Theta(1) = ");
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"1");
        Enter(dialog);
        EXPECT_EQ(ItemText(dialog, IDC_MA_LABEL), L"Theta(0) = ");
        EXPECT_EQ(u.maWeights, (std::vector<double>{1.0, 1.0}));
        EXPECT_EQ(u.maSmoothed, x);  // typing alone recomputes nothing
        typed = true;
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(MaSmooth(u), 1);
    EXPECT_TRUE(typed);
    EXPECT_TRUE(Messages(L"").empty());
    ASSERT_EQ(u.maWeights.size(), 2u);
    EXPECT_DOUBLE_EQ(u.maWeights[0], 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(u.maWeights[1], 1.0 / 3.0);
    ASSERT_EQ(u.maSmoothed.size(), x.size());
    EXPECT_NEAR(u.maSmoothed[0], (2 * x[0] + x[1]) / 3.0, 1e-12);
    EXPECT_NEAR(u.maSmoothed[5], (x[4] + x[5] + x[6]) / 3.0, 1e-12);
    const PlotRecord& view = u.views[VIEW_MA_SMOOTH];
    ASSERT_NE(view.window, nullptr);
    EXPECT_EQ(WindowText(Handle(view.window)), L"Moving Average Smoothing: New Univariate Project");
    EXPECT_EQ(view.curves[2].y, u.maSmoothed);
    EXPECT_DOUBLE_EQ(u.maRootMse, MeanSquare(x, u.maSmoothed));
}

// Orders are taken when the box is left: "12" typed over "10" keeps theta(0..10); 150 is refused
// with a message, -3 and a letter without one.
TEST_F(SmoothingDialogsTest, MovingAverageOrders)
{
    UnivariateProject& u = *project_;
    u.maOrder = 10;
    u.maWeights.clear();
    for (int k = 0; k <= 10; ++k) u.maWeights.push_back(11.0 - k);
    const std::vector<double> start = u.maWeights;
    bool typed = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_MA_ORDER), L"10");
        HWND order = GetDlgItem(dialog, IDC_MA_ORDER);
        SetFocus(order);
        SetDlgItemTextW(dialog, IDC_MA_ORDER, L"1");
        EXPECT_EQ(u.maOrder, 10);
        SetDlgItemTextW(dialog, IDC_MA_ORDER, L"12");
        SetFocus(GetDlgItem(dialog, IDC_MA_WEIGHT));
        EXPECT_EQ(u.maOrder, 12);
        ASSERT_EQ(u.maWeights.size(), 13u);
        for (int k = 0; k <= 10; ++k) EXPECT_EQ(u.maWeights[k], start[k]) << k;
        EXPECT_EQ(u.maWeights[11], 0.0);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_MA_LIST, LB_GETCOUNT, 0, 0), 13);

        // The list stays in lag order; choosing theta(10)'s line makes it current.
        SendDlgItemMessageW(dialog, IDC_MA_LIST, LB_SETCURSEL, 10, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MA_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_MA_LIST)));
        EXPECT_EQ(ItemText(dialog, IDC_MA_LABEL), L"Theta(10) = ");
        EXPECT_EQ(ItemText(dialog, IDC_MA_WEIGHT), L"1.0000");

        for (const wchar_t* refused : {L"150", L"-3", L"x"}) {
            if (std::wstring(refused) != L"-3") AnswerNextDialog(Press(IDOK));
            Type(dialog, IDC_MA_ORDER, refused, IDC_MA_WEIGHT);
            EXPECT_EQ(u.maOrder, 12) << refused;
            EXPECT_EQ(ItemText(dialog, IDC_MA_ORDER), L"12") << refused;
            EXPECT_EQ(GetFocus(), order) << refused;
        }
        typed = true;
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(MaSmooth(u), 1);
    EXPECT_TRUE(typed);
    EXPECT_EQ(Messages(L"KELO::ERROR"),
              (std::vector<std::wstring>{L"MA Order must be < 100", L"MA order \"x\" is not a number."}));
    // Cancel on a first run: the order and weights of the start, as nothing was applied.
    EXPECT_EQ(u.maOrder, 10);
    EXPECT_EQ(u.maWeights, start);
    EXPECT_EQ(u.views[VIEW_MA_SMOOTH].window, nullptr);
}

// Weights whose symmetric sum is zero: Apply and OK refuse them and the dialog stays open;
// Cancel on this first run then drops them. With the view open, Cancel after an Apply puts
// back the weights and the curve.
TEST_F(SmoothingDialogsTest, MovingAverageRefusedWeightsAndCancel)
{
    UnivariateProject& u = *project_;
    const std::vector<double> x = Series();
    bool refused = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        // At order 0 the weight box is disabled: the order box is left for Apply's button.
        Type(dialog, IDC_MA_ORDER, L"1", IDC_MA_APPLY);
        SetFocus(GetDlgItem(dialog, IDC_MA_WEIGHT));
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"2");
        Enter(dialog);
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"-1");
        AnswerNextDialog(Press(IDOK));
        SendDlgItemMessageW(dialog, IDC_MA_APPLY, BM_CLICK, 0, 0);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_MA_WEIGHT));
        AnswerNextDialog(Press(IDOK));
        SetFocus(GetDlgItem(dialog, IDOK));
        Enter(dialog);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(u.maWeights, (std::vector<double>{2.0, -1.0}));
        EXPECT_EQ(u.maSmoothed, x);
        refused = true;
    };
    AnswerNextDialog(answer);
    EXPECT_EQ(MaSmooth(u), 1);
    EXPECT_TRUE(refused);
    EXPECT_EQ(Messages(L"KELO::ERROR"),
              (std::vector<std::wstring>{L"MA coefficients cannot sum to zero", L"MA coefficients cannot sum to zero"}));
    EXPECT_EQ(u.maOrder, 0);
    EXPECT_EQ(u.maWeights, std::vector<double>{1.0});

    DialogAnswer three = Press(IDOK);
    three.inspect = [](HWND dialog) {
        Type(dialog, IDC_MA_ORDER, L"1", IDC_MA_APPLY);
        SetFocus(GetDlgItem(dialog, IDC_MA_WEIGHT));
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"1");
        Enter(dialog);
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"1");
    };
    AnswerNextDialog(three);
    EXPECT_EQ(MaSmooth(u), 1);
    const std::vector<double> weights = u.maWeights, smoothed = u.maSmoothed;
    const double error = u.maRootMse;

    bool applied = false;
    DialogAnswer again = Press(IDCANCEL);
    again.inspect = [&](HWND dialog) {
        Type(dialog, IDC_MA_ORDER, L"2", IDC_MA_WEIGHT);
        Enter(dialog);
        Enter(dialog);
        EXPECT_EQ(ItemText(dialog, IDC_MA_LABEL), L"Theta(2) = ");
        SetDlgItemTextW(dialog, IDC_MA_WEIGHT, L"1");
        SendDlgItemMessageW(dialog, IDC_MA_APPLY, BM_CLICK, 0, 0);
        EXPECT_EQ(u.maOrder, 2);
        EXPECT_NE(u.views[VIEW_MA_SMOOTH].curves[2].y, smoothed);
        applied = true;
    };
    AnswerNextDialog(again);
    EXPECT_EQ(MaSmooth(u), 1);
    EXPECT_TRUE(applied);
    EXPECT_EQ(u.maOrder, 1);
    EXPECT_EQ(u.maWeights, weights);
    EXPECT_EQ(u.maSmoothed, smoothed);
    EXPECT_EQ(u.views[VIEW_MA_SMOOTH].curves[2].y, smoothed);
    EXPECT_EQ(u.maRootMse, error);
}

namespace {

// Dialog 155 on the 40 observations of the fixture: K = 20 ordinates, so M may reach 19.
int ListCount(HWND dialog) { return static_cast<int>(SendDlgItemMessageW(dialog, IDC_DANIELL_LIST, CB_GETCOUNT, 0, 0)); }

void SelectFilter(HWND dialog, int k)
{
    SendDlgItemMessageW(dialog, IDC_DANIELL_LIST, CB_SETCURSEL, static_cast<WPARAM>(k - 1), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DANIELL_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_DANIELL_LIST)));
}

// Types an order for filter k, as the user does: into the focused order edit.
void TypeOrder(HWND dialog, int k, const wchar_t* text)
{
    SelectFilter(dialog, k);
    SetFocus(GetDlgItem(dialog, IDC_DANIELL_ORDER));
    SetDlgItemTextW(dialog, IDC_DANIELL_ORDER, text);
}

// A click: the button takes the focus, then reports itself.
void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    SetFocus(button);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace

// OK applies the filters typed and closes: curve 1 of the spectrum view is S, S is the running
// mean of three ordinates inside the band, and the picture shows three sticks labelled -2..2.
TEST_F(SmoothingDialogsTest, DaniellOkShowsTheSmoothedPeriodogram)
{
    UnivariateProject& u = *project_;
    bool typed = false;
    DialogAnswer answer = Press(IDOK);
    answer.inspect = [&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Spectrum smoothing");
        ASSERT_NE(u.spectrumView.window, nullptr);  // the command opened the view first
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_COUNT), L"0");
        EXPECT_EQ(ListCount(dialog), 1);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DANIELL_ORDER)));
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_RIGHT), L"1");
        // With no filter the list is disabled: the edit is left for the Apply button.
        Type(dialog, IDC_DANIELL_COUNT, L"1", IDC_DANIELL_APPLY);
        EXPECT_EQ(u.daniellCount, 1);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DANIELL_ORDER)));
        TypeOrder(dialog, 1, L"1");
        EXPECT_EQ(u.daniellOrders[1], 1);
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_LEFT), L"-2");
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_RIGHT), L"2");
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_MAX), L"0.33333");
        // Enter inside an edit neither applies nor closes.
        Enter(dialog);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(u.smoothedPeriodogram.empty());
        PressButton(dialog, IDOK);
        typed = true;
    };
    AnswerNextDialog(answer);
    SendCommand(IDM_SMOOTHED_PERIODOGRAM);
    EXPECT_TRUE(typed);
    EXPECT_TRUE(Messages(L"").empty());
    EXPECT_EQ(u.showSmoothedPeriodogram, 1);
    EXPECT_EQ(u.daniellWeights, (std::vector<double>{1.0 / 3.0, 1.0 / 3.0}));
    const int32_t K = u.ordinateCount;
    ASSERT_EQ(K, 20);
    ASSERT_EQ(u.smoothedPeriodogram.size(), static_cast<size_t>(K) + 1);
    const std::vector<double>& I = u.periodogram;  // I(j) is I[j - 1]
    for (int32_t j = 2; j <= K - 1; ++j)
        EXPECT_NEAR(u.smoothedPeriodogram[j], (I[j - 2] + I[j - 1] + I[j]) / 3.0, 1e-12 * I[j - 1]) << j;
    const PlotCurve& curve = u.spectrumView.curves[1];
    EXPECT_EQ(curve.y, u.smoothedPeriodogram);
    ASSERT_EQ(curve.x.size(), static_cast<size_t>(K) + 1);
    EXPECT_EQ(curve.x[0], 0.0);
    EXPECT_NEAR(curve.x[K], 2.0 * 3.14159265358979 * K / 40.0, 1e-12);
}

// Cancel after Apply puts back the count, the orders and S, recomputes the weights and redraws
// curve 1 from what was kept.
TEST_F(SmoothingDialogsTest, DaniellCancelAfterApplyRestoresAll)
{
    UnivariateProject& u = *project_;
    DialogAnswer first = Press(IDOK);
    first.inspect = [](HWND dialog) {
        Type(dialog, IDC_DANIELL_COUNT, L"1", IDC_DANIELL_APPLY);
        TypeOrder(dialog, 1, L"1");
        PressButton(dialog, IDOK);
    };
    AnswerNextDialog(first);
    SendCommand(IDM_SMOOTHED_PERIODOGRAM);
    ASSERT_EQ(u.showSmoothedPeriodogram, 1);
    const std::vector<double> kept = u.smoothedPeriodogram, weights = u.daniellWeights;
    ASSERT_FALSE(kept.empty());

    bool applied = false;
    DialogAnswer second = Press(IDCANCEL);
    second.inspect = [&](HWND dialog) {
        Type(dialog, IDC_DANIELL_COUNT, L"2", IDC_DANIELL_LIST);
        TypeOrder(dialog, 1, L"2");
        TypeOrder(dialog, 2, L"3");
        PressButton(dialog, IDC_DANIELL_APPLY);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(u.daniellWeights.size(), 6u);
        EXPECT_NE(u.smoothedPeriodogram, kept);
        EXPECT_EQ(u.spectrumView.curves[1].y, u.smoothedPeriodogram);
        // On the log scale Apply draws the logarithms, as the view does.
        u.logSpectrum = 1;
        PressButton(dialog, IDC_DANIELL_APPLY);
        const std::vector<double>& S = u.smoothedPeriodogram;
        ASSERT_EQ(u.spectrumView.curves[1].y.size(), S.size());
        for (size_t j = 0; j < S.size(); ++j) EXPECT_DOUBLE_EQ(u.spectrumView.curves[1].y[j], std::log(S[j])) << j;
        u.logSpectrum = 0;
        applied = true;
    };
    AnswerNextDialog(second);
    SendCommand(IDM_SMOOTHED_PERIODOGRAM);
    EXPECT_TRUE(applied);
    EXPECT_TRUE(Messages(L"").empty());
    EXPECT_EQ(u.daniellCount, 1);
    EXPECT_EQ(u.daniellOrders[1], 1);
    EXPECT_EQ(u.daniellOrders[2], 0);
    EXPECT_EQ(u.smoothedPeriodogram, kept);
    EXPECT_EQ(u.daniellWeights, weights);
    EXPECT_EQ(u.spectrumView.curves[1].y, kept);
    EXPECT_EQ(u.showSmoothedPeriodogram, 1);
}

// Refused entries, each with its message and nothing changed: a count of 51, an order above n,
// an order that takes M past K - 1. A count typed over another is taken when the edit is left,
// so "12" over "10" keeps the orders of filters 2..10.
TEST_F(SmoothingDialogsTest, DaniellRefusedEntries)
{
    UnivariateProject& u = *project_;
    AcceptDaniellCount(u, 10);
    for (int k = 1; k <= 10; ++k) u.daniellOrders[k] = 1;
    bool typed = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        EXPECT_EQ(ListCount(dialog), 10);
        HWND count = GetDlgItem(dialog, IDC_DANIELL_COUNT);
        SetFocus(count);
        SetDlgItemTextW(dialog, IDC_DANIELL_COUNT, L"1");
        SetDlgItemTextW(dialog, IDC_DANIELL_COUNT, L"12");
        SetFocus(GetDlgItem(dialog, IDC_DANIELL_LIST));
        EXPECT_EQ(u.daniellCount, 12);
        EXPECT_EQ(ListCount(dialog), 12);
        for (int k = 1; k <= 10; ++k) EXPECT_EQ(u.daniellOrders[k], 1) << k;
        EXPECT_EQ(u.daniellOrders[11], 0);

        AnswerNextDialog(Press(IDOK));
        Type(dialog, IDC_DANIELL_COUNT, L"51", IDC_DANIELL_LIST);
        EXPECT_EQ(u.daniellCount, 12);
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_COUNT), L"12");
        EXPECT_EQ(ListCount(dialog), 12);

        // M is 10 now; 41 is above n = 40, and 10 more on filter 3 would make M = 19 + 1.
        for (const wchar_t* refused : {L"41", L"11"}) {
            AnswerNextDialog(Press(IDOK));
            TypeOrder(dialog, 3, refused);
            EXPECT_EQ(u.daniellOrders[3], 1) << refused;
            EXPECT_EQ(ItemText(dialog, IDC_DANIELL_ORDER), L"1") << refused;
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_DANIELL_ORDER)) << refused;
        }
        TypeOrder(dialog, 3, L"10");
        EXPECT_EQ(u.daniellOrders[3], 10);
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_RIGHT), L"20");
        typed = true;
    };
    AnswerNextDialog(answer);
    SendCommand(IDM_SMOOTHED_PERIODOGRAM);
    EXPECT_TRUE(typed);
    EXPECT_EQ(Messages(L"KELO::Error"),
              (std::vector<std::wstring>{L"Number of Daniell filters must be from 0 to 50",
                                         L"Order of filter must be from 0 to 40",
                                         L"The orders of the filters must add up to at most 19"}));
    EXPECT_EQ(u.daniellCount, 10);
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(u.daniellOrders[k], 1) << k;
    EXPECT_TRUE(u.smoothedPeriodogram.empty());
}

// Settings kept from a longer series: Apply refuses M >= K with the bound and leaves S alone.
// A series of one observation has no periodogram: the command says so and opens nothing.
TEST_F(SmoothingDialogsTest, DaniellSettingsThatDoNotFitTheSeries)
{
    UnivariateProject& u = *project_;
    AcceptDaniellCount(u, 2);
    u.daniellOrders[1] = 15;
    u.daniellOrders[2] = 5;
    bool pressed = false;
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_DANIELL_RIGHT), L"21");
        AnswerNextDialog(Press(IDOK));
        PressButton(dialog, IDC_DANIELL_APPLY);
        EXPECT_TRUE(u.smoothedPeriodogram.empty());
        AnswerNextDialog(Press(IDOK));
        PressButton(dialog, IDOK);
        EXPECT_TRUE(IsWindow(dialog));
        pressed = true;
    };
    AnswerNextDialog(answer);
    SendCommand(IDM_SMOOTHED_PERIODOGRAM);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(Messages(L"KELO::Error"),
              (std::vector<std::wstring>(2, L"The orders of the filters must add up to at most 19")));
    EXPECT_EQ(u.showSmoothedPeriodogram, 0);

    ASSERT_EQ(VeskImportData(u, std::vector<double>{3.0}), 1);
    PumpMessages();
    TakeSeenDialogs();
    HWND view = Handle(u.spectrumView.window);
    if (view) DestroyWindow(view);
    PumpMessages();
    AnswerNextDialog(Press(IDOK));
    SendCommand(IDM_SMOOTHED_PERIODOGRAM);
    EXPECT_EQ(Messages(L"KELO::Error"), std::vector<std::wstring>{L"The periodogram needs at least 2 observations"});
    EXPECT_EQ(u.spectrumView.window, nullptr);
}
