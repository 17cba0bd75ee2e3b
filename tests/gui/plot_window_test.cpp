#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/plot_layout.h"
#include "shell/win32/duplicate_window.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"

namespace {

// Messages the frame received, recorded by a subclass of its window procedure.
struct FrameMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<FrameMessage> frameMessages;
WNDPROC frameProc = nullptr;

LRESULT CALLBACK SpyFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message >= UM_PLOTACTIVATED && message <= UM_TEXTDEACTIVATED) || message == WM_COMMAND)
        frameMessages.push_back({message, wParam, lParam});
    return CallWindowProcW(frameProc, window, message, wParam, lParam);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<std::wstring> SystemMenuTexts(HWND window)
{
    std::vector<std::wstring> texts;
    HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

// Every text a picture writes, in record order.
std::vector<std::wstring> PictureTexts(HENHMETAFILE picture)
{
    std::vector<std::wstring> texts;
    EnumEnhMetaFile(
        nullptr, picture,
        [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out) -> int {
            if (record->iType == EMR_EXTTEXTOUTW) {
                const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
                const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                                     text->emrtext.offString);
                reinterpret_cast<std::vector<std::wstring>*>(out)->emplace_back(chars, text->emrtext.nChars);
            }
            return 1;
        },
        &texts, nullptr);
    return texts;
}

std::vector<std::wstring> ClipboardPictureTexts(bool* present)
{
    std::vector<std::wstring> texts;
    *present = false;
    if (!OpenClipboard(nullptr)) return texts;
    if (HENHMETAFILE picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE))) {
        *present = true;
        texts = PictureTexts(picture);
    }
    CloseClipboard();
    return texts;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::wstring EditText(HWND report) { return WindowText(ReportEditOf(report)); }

std::vector<HWND> MdiChildren()
{
    std::vector<HWND> children;
    for (HWND w = GetWindow(MdiClient, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (GetParent(w) == MdiClient) children.push_back(w);
    return children;
}

// The one MDI child that is not in `before`, or null.
HWND NewChild(const std::vector<HWND>& before)
{
    std::vector<HWND> added;
    for (HWND w : MdiChildren())
        if (std::find(before.begin(), before.end(), w) == before.end()) added.push_back(w);
    return added.size() == 1 ? added[0] : nullptr;
}

class ViewWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(CreateTestFrame(), nullptr);
        frameProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(FrameWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyFrameProc)));
        frameMessages.clear();
    }
    void TearDown() override
    {
        DestroyTestFrame();
        frameMessages.clear();
    }

    // A plot of two panels: a titled series, and a titled panel without data.
    void FillTwoPanels(PlotRecord& plot)
    {
        std::vector<double> y(50);
        for (size_t i = 0; i < y.size(); ++i) y[i] = 1000 + static_cast<double>((i * 37) % 11);
        ASSERT_EQ(SetCurveYInPanel(plot, 1, y, 1, 50, 1), 1);
        ASSERT_EQ(SetPanelTitle(plot, 1, "Series  ", 8), 1);
        ASSERT_EQ(SetCurveSeries(plot, 2, {}, 0, 2), 1);
        ASSERT_EQ(ResetCurve(plot, 2), 1);
        AutoscalePlot(plot);
        ASSERT_EQ(SetPanelTitle(plot, 2, "Residuals", 9), 1);
    }

    PlotRecord plot_, other_;
};

}  // namespace

TEST_F(ViewWindowTest, FrameRegistersTheViewClassesAndDefaultColours)
{
    WNDCLASSW info{};
    for (const wchar_t* name : {kPlotWinClass, kPlotTxtWinClass, kDupPlotWinClass, kDupTextWinClass})
        EXPECT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), name, &info)) << name;
    EXPECT_EQ(PlotColors[1], 0x80A000u);
    EXPECT_EQ(PlotColors[15], 0xA000F0u);
}

TEST_F(ViewWindowTest, PlotWindowIsAnMdiChildThatAnswersTheFrame)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    PumpMessages();
    HWND w = plot_.window;
    ASSERT_TRUE(IsWindow(w));
    EXPECT_EQ(GetParent(w), MdiClient);
    EXPECT_EQ(ClassOf(w), L"PlotWin");
    EXPECT_EQ(WindowText(w), L"Plot");
    EXPECT_EQ(plot_.isView, 1);
    EXPECT_EQ(SendMessageW(w, UM_QUERYVIEWTYPE, 0, 0), VIEW_PLOT);
    EXPECT_EQ(SendMessageW(w, UM_QUERYVIEWINFO, 0, 0), reinterpret_cast<LRESULT>(w));
    const std::vector<std::wstring> menu = SystemMenuTexts(w);
    ASSERT_GE(menu.size(), 5u);
    EXPECT_EQ(std::vector<std::wstring>(menu.begin(), menu.begin() + 5),
              (std::vector<std::wstring>{L"Duplicate", L"Info", L"Print", L"Copy", L""}));
}

TEST_F(ViewWindowTest, RepaintDrawsTheCurveWhereTheStoredMappingSays)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    ASSERT_EQ(SetCurveY(plot_, 1, {2, 2, 2, 2, 2}, 1, 5), 1);
    ASSERT_EQ(SetCurveStyle(plot_, 1, -1, -1, 0), 1);
    ShowWindow(plot_.window, SW_MAXIMIZE);
    RedrawWindow(plot_.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    const PlotPanel& p = plot_.panels[1];
    ASSERT_NE(p.xPerPixel, 1.0);  // set by the repaint
    const int x = static_cast<int>(p.xOrigin + 3 / p.xPerPixel);
    const int y = static_cast<int>(p.yOrigin - 2 / p.yPerPixel);
    HDC dc = GetDC(plot_.window);
    int hits = 0;
    for (int dy = -1; dy <= 1; ++dy) hits += GetPixel(dc, x, y + dy) == PlotColors[1] ? 1 : 0;
    const COLORREF inside = GetPixel(dc, x, y + 20);
    ReleaseDC(plot_.window, dc);
    EXPECT_GT(hits, 0) << "no curve pixel near " << x << "," << y;
    EXPECT_EQ(inside, PlotColors[11]);
}

TEST_F(ViewWindowTest, FocusIsReportedToTheFrame)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 0), 1);
    plot_.slot = 3;
    ASSERT_EQ(CreatePlotWindow(other_, 1), 1);
    other_.slot = 4;
    PumpMessages();

    frameMessages.clear();
    ASSERT_EQ(ActivatePlotWindow(plot_), 1);
    PumpMessages();
    const auto activated = std::find_if(frameMessages.begin(), frameMessages.end(), [&](const FrameMessage& m) {
        return m.message == UM_PLOTACTIVATED && m.wParam == 3 && m.lParam == reinterpret_cast<LPARAM>(plot_.window);
    });
    EXPECT_NE(activated, frameMessages.end());

    // The data window reports losing the focus with 0, a view with 1.
    struct Case {
        PlotRecord* from;
        PlotRecord* to;
        WPARAM expected;
    };
    for (const Case& c : {Case{&plot_, &other_, 0}, Case{&other_, &plot_, 1}}) {
        frameMessages.clear();
        ASSERT_EQ(ActivatePlotWindow(*c.to), 1);
        PumpMessages();
        const auto lost = std::find_if(frameMessages.begin(), frameMessages.end(), [&](const FrameMessage& m) {
            return m.message == UM_PLOTDEACTIVATED && m.lParam == reinterpret_cast<LPARAM>(c.from->window);
        });
        ASSERT_NE(lost, frameMessages.end());
        EXPECT_EQ(lost->wParam, c.expected);
    }
}

TEST_F(ViewWindowTest, ClosingAViewFreesItAndClosingADataWindowOfNoProjectKeepsIt)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 0), 1);
    ASSERT_EQ(CreatePlotWindow(other_, 1), 1);
    ASSERT_EQ(SetCurveY(other_, 1, {1, 2, 3}, 1, 3), 1);
    HWND view = other_.window;
    SendMessageW(view, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(other_.window, nullptr);
    EXPECT_EQ(other_.curves[1].shown, 0);
    EXPECT_TRUE(other_.curves[1].x.empty());
    EXPECT_EQ(ActivatePlotWindow(other_), 0);
    EXPECT_EQ(DestroyPlotWindow(other_), 0);

    // A data window belongs to its project, whose Close destroys it; one of a free slot stays.
    SendMessageW(plot_.window, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(plot_.window));
}

TEST_F(ViewWindowTest, CopyPutsLabelsTitlesAndNoDataOnTheClipboard)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    FillTwoPanels(plot_);
    PumpMessages();
    SendMessageW(plot_.window, WM_SYSCOMMAND, SC_COPYVIEW, 0);
    bool present = false;
    const std::vector<std::wstring> texts = ClipboardPictureTexts(&present);
    ASSERT_TRUE(present);
    EXPECT_TRUE(Contains(texts, L"Series"));
    EXPECT_TRUE(Contains(texts, L"Residuals"));
    EXPECT_TRUE(Contains(texts, L"<NO DATA PRESENT>"));

    // The labels the layout gives for the whole client area are written, none as asterisks; where
    // neighbours would overlap, one is left out, never two in a row (past the last one written, a
    // label may also reach beyond the picture's edge).
    RECT client;
    GetClientRect(plot_.window, &client);
    PlotLayout layout;
    ASSERT_EQ(LayOutPlot(plot_, PlotRect{client.left, client.top, client.right, client.bottom}, 0, layout), 1);
    size_t labels = 0;
    for (const LaidOutPanel& cell : layout.panels) {
        PanelAxes axes;
        ASSERT_EQ(LayOutPanelAxes(plot_.panels[cell.panel], cell.rect, axes), 1);
        for (const auto* list : {&axes.x, &axes.y}) {
            size_t missing = 0;
            for (const AxisTick& tick : *list) {
                if (tick.label.empty()) continue;
                if (Contains(texts, WideText(tick.label))) {
                    EXPECT_LT(missing, 2u) << "before " << tick.label;
                    ++labels;
                    missing = 0;
                } else {
                    ++missing;
                }
            }
        }
    }
    EXPECT_GT(labels, 8u);
    for (const std::wstring& t : texts) EXPECT_EQ(t.find(L'*'), std::wstring::npos) << t.c_str();
}

TEST_F(ViewWindowTest, CopyOfAPlotWithEveryCurveHiddenIsAnEmptyPicture)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    PumpMessages();
    SendMessageW(plot_.window, WM_SYSCOMMAND, SC_COPYVIEW, 0);
    bool present = false;
    EXPECT_TRUE(ClipboardPictureTexts(&present).empty());
    EXPECT_TRUE(present);
}

TEST_F(ViewWindowTest, ReportWindowShowsExactlyWhatWasWritten)
{
    HWND report = CreateInfoWindow(4);
    ASSERT_NE(report, nullptr);
    PumpMessages();
    EXPECT_EQ(ClassOf(report), L"PlotTxtWin");
    EXPECT_EQ(WindowText(report), L"INFO");
    EXPECT_EQ(GetParent(report), MdiClient);
    EXPECT_EQ(SendMessageW(report, UM_QUERYVIEWTYPE, 0, 0), VIEW_TEXT);
    EXPECT_EQ(SendMessageW(report, UM_QUERYVIEWINFO, 0, 0), 4);
    const std::vector<std::wstring> menu = SystemMenuTexts(report);
    ASSERT_GE(menu.size(), 3u);
    EXPECT_EQ(std::vector<std::wstring>(menu.begin(), menu.begin() + 3),
              (std::vector<std::wstring>{L"Duplicate", L"Print", L""}));

    EXPECT_EQ(InfoPrint(report, "Sample ACF", 11), 1);
    EXPECT_EQ(InfoPrint(report, "  ", 3), 1);
    EXPECT_EQ(InfoPrintArray(report, {1.5, -2.25, 3, 4, 5}, 5, 3, 2), 1);
    EXPECT_EQ(EditText(report), L"Sample ACF\r\n  \r\n"
                                L"          1.50         -2.25          3.00\r\n"
                                L"          4.00          5.00\r\n");

    // A click into the report does not move where the next line goes.
    SendMessageW(ReportEditOf(report), EM_SETSEL, 2, 5);
    EXPECT_EQ(InfoPrint(report, "Next", 5), 1);
    EXPECT_EQ(EditText(report).substr(EditText(report).size() - 8), L"\r\nNext\r\n");

    EXPECT_EQ(InfoPrint(report, "", 0), 1);
    EXPECT_EQ(EditText(report), L"");

    // Far beyond the default limit of an EDIT control.
    std::wstring expected;
    for (int i = 0; i < 100; ++i) {
        const std::string line = "Line " + std::to_string(i) + std::string(300, '.');
        EXPECT_EQ(InfoPrint(report, line, static_cast<int32_t>(line.size()) + 1), 1);
        expected += WideText(line) + L"\r\n";
    }
    EXPECT_GT(expected.size(), 30000u);
    EXPECT_EQ(EditText(report), expected);

    SendMessageW(report, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(report));
    EXPECT_EQ(InfoPrint(report, "ignored", 8), 1);
}

// A replayed report leaves the text its calls one by one would: appended when it does not clear,
// from its last clear step on otherwise.
TEST_F(ViewWindowTest, ReplayedReportEqualsItsCallsOneByOne)
{
    HWND one = CreateInfoWindow(1), all = CreateInfoWindow(1);
    ASSERT_TRUE(one && all);
    const auto line = [](std::string text) {
        InfoCall call;
        call.length = static_cast<int32_t>(text.size()) + 1;
        call.text = std::move(text);
        return call;
    };
    InfoCall array;
    array.array = true;
    array.values = {1, 2.5, -3};
    array.perLine = 2;
    array.decimals = 3;
    InfoCall clear;
    const std::vector<InfoCalls> reports = {
        {line("kept"), line("")},
        {line("gone"), clear, line("heading"), array, line("  "), line("")},
        {line("appended"), array},
    };
    for (const InfoCalls& calls : reports) {
        for (const InfoCall& call : calls) {
            if (call.array)
                InfoPrintArray(one, call.values, static_cast<int32_t>(call.values.size()), call.perLine, call.decimals);
            else
                InfoPrint(one, call.text, call.length);
        }
        ASSERT_EQ(InfoReplay(all, calls), 1);
        EXPECT_EQ(EditText(all), EditText(one));
    }
    EXPECT_EQ(EditText(all), L"heading\r\n         1.000         2.500\r\n        -3.000\r\n  \r\n\r\nappended\r\n"
                             L"         1.000         2.500\r\n        -3.000\r\n");
}

TEST_F(ViewWindowTest, ReportFocusIsReportedWithItsSlot)
{
    HWND report = CreateInfoWindow(6);
    ASSERT_NE(report, nullptr);
    PumpMessages();
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    PumpMessages();
    frameMessages.clear();
    SetFocus(report);
    PumpMessages();
    const bool activated = std::any_of(frameMessages.begin(), frameMessages.end(), [&](const FrameMessage& m) {
        return m.message == UM_TEXTACTIVATED && m.wParam == 6 && m.lParam == reinterpret_cast<LPARAM>(report);
    });
    EXPECT_TRUE(activated);
}

TEST_F(ViewWindowTest, PlotDuplicateOutlivesItsSourceAndCopiesItsOwnPicture)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    FillTwoPanels(plot_);
    PumpMessages();
    const std::vector<HWND> before = MdiChildren();
    SendMessageW(plot_.window, WM_SYSCOMMAND, SC_DUPLICATEVIEW, 0);
    PumpMessages();
    HWND dup = NewChild(before);
    ASSERT_NE(dup, nullptr);
    EXPECT_EQ(ClassOf(dup), L"DupPlotWin");
    EXPECT_EQ(WindowText(dup), L"(DUPLICATE) Plot");
    EXPECT_EQ(SendMessageW(dup, UM_QUERYVIEWTYPE, 0, 0), VIEW_DUPPLOT);
    RECT source, copy;
    GetWindowRect(plot_.window, &source);
    GetWindowRect(dup, &copy);
    EXPECT_EQ(copy.right - copy.left, source.right - source.left);
    EXPECT_EQ(copy.bottom - copy.top, source.bottom - source.top);
    const std::vector<std::wstring> menu = SystemMenuTexts(dup);
    ASSERT_GE(menu.size(), 3u);
    EXPECT_EQ(std::vector<std::wstring>(menu.begin(), menu.begin() + 3),
              (std::vector<std::wstring>{L"Copy", L"Print", L""}));

    ASSERT_EQ(DestroyPlotWindow(plot_), 1);
    PumpMessages();
    ASSERT_TRUE(IsWindow(dup));
    const std::vector<std::wstring> texts = PictureTexts(DupPicture(dup));
    EXPECT_TRUE(Contains(texts, L"Series"));
    EXPECT_TRUE(Contains(texts, L"<NO DATA PRESENT>"));
    RedrawWindow(dup, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    SendMessageW(dup, WM_SYSCOMMAND, SC_COPYVIEW, 0);
    SendMessageW(dup, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(dup));
    bool present = false;
    EXPECT_TRUE(Contains(ClipboardPictureTexts(&present), L"Residuals"));
    EXPECT_TRUE(present);
}

TEST_F(ViewWindowTest, DuplicateOfAHiddenPlotPaintsWithoutAPicture)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    PumpMessages();
    HWND dup = CreateDupPlotWindow();
    ASSERT_NE(dup, nullptr);
    FillDupPlot(dup, plot_);
    RedrawWindow(dup, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    EXPECT_TRUE(PictureTexts(DupPicture(dup)).empty());

    // A duplicate shrunk below its margins paints nothing rather than stretching to no size.
    SetWindowPos(dup, nullptr, 0, 0, 12, 12, SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(dup, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    EXPECT_TRUE(IsWindow(dup));
}

TEST_F(ViewWindowTest, ReportDuplicateCopiesTheTextAndOutlivesItsSource)
{
    HWND report = CreateInfoWindow(2);
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(InfoPrint(report, "Estimates", 10), 1);
    ASSERT_EQ(InfoPrintArray(report, {0.5, 0.25}, 2, 2, 4), 1);
    HWND empty = CreateInfoWindow(2);
    PumpMessages();

    const std::vector<HWND> before = MdiChildren();
    SendMessageW(report, WM_SYSCOMMAND, SC_DUPLICATEVIEW, 0);
    PumpMessages();
    HWND dup = NewChild(before);
    ASSERT_NE(dup, nullptr);
    EXPECT_EQ(ClassOf(dup), L"DupTextWin");
    EXPECT_EQ(WindowText(dup), L"(DUPLICATE) INFO");
    EXPECT_EQ(SendMessageW(dup, UM_QUERYVIEWTYPE, 0, 0), VIEW_DUPTEXT);
    const std::wstring text = EditText(report);
    EXPECT_EQ(EditText(dup), text);

    SendMessageW(report, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(report));
    ASSERT_TRUE(IsWindow(dup));
    EXPECT_EQ(EditText(dup), L"Estimates\r\n        0.5000        0.2500\r\n\r\n");

    HWND emptyDup = CreateDupTextWindow();
    FillDupText(emptyDup, empty);
    EXPECT_EQ(EditText(emptyDup), L"");
    EXPECT_EQ(WindowText(emptyDup), L"(DUPLICATE) INFO");
}

// A duplicate takes its source's size at its own cascaded place; a source as wide as the client
// must not push the copy, and its caption buttons, past the client's right edge.
TEST_F(ViewWindowTest, DuplicateOfAFullWidthWindowOpensInsideTheClient)
{
    ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
    FillTwoPanels(plot_);
    HWND report = CreateInfoWindow(2);
    ASSERT_NE(report, nullptr);
    RECT area{};
    GetClientRect(MdiClient, &area);
    for (HWND source : {static_cast<HWND>(plot_.window), report}) {
        SCOPED_TRACE(WindowText(source));
        SetWindowPos(source, nullptr, 0, 0, area.right, area.bottom * 2 / 3, SWP_NOZORDER);
        PumpMessages();
        const std::vector<HWND> before = MdiChildren();
        SendMessageW(source, WM_SYSCOMMAND, SC_DUPLICATEVIEW, 0);
        PumpMessages();
        HWND dup = NewChild(before);
        ASSERT_NE(dup, nullptr);
        RECT placed{};
        GetWindowRect(dup, &placed);
        MapWindowPoints(nullptr, MdiClient, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_GE(placed.left, 0);
        EXPECT_GE(placed.top, 0);
        EXPECT_LE(placed.right, area.right);
        EXPECT_LE(placed.bottom, area.bottom);
        EXPECT_EQ(placed.right - placed.left, area.right);  // the source's width still
        if (source != report) {
            EXPECT_TRUE(SaveScreenshot(FrameWindow, "duplicate"));
        }
    }
}
