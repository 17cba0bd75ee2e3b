#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/plot_zoom.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/zoom.h"

namespace {

struct Limits {
    std::wstring xMin, xMax, yMin, yMax;
};

Limits DialogLimits(HWND dialog)
{
    return {ItemText(dialog, IDC_LIMIT_XMIN), ItemText(dialog, IDC_LIMIT_XMAX), ItemText(dialog, IDC_LIMIT_YMIN),
            ItemText(dialog, IDC_LIMIT_YMAX)};
}

Limits PanelLimits(const PlotPanel& p)
{
    const AxisLimitTexts x = ProposedAxisLimits(p.xMin, p.xMax), y = ProposedAxisLimits(p.yMin, p.yMax);
    return {WideText(x.min), WideText(x.max), WideText(y.min), WideText(y.max)};
}

void ExpectSame(const Limits& a, const Limits& b)
{
    EXPECT_EQ(a.xMin, b.xMin);
    EXPECT_EQ(a.xMax, b.xMax);
    EXPECT_EQ(a.yMin, b.yMin);
    EXPECT_EQ(a.yMax, b.yMax);
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class ZoomTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(CreateTestFrame(), nullptr);
        ASSERT_EQ(CreatePlotWindow(plot_, 1), 1);
        std::vector<double> y(40);
        for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<double>((i * 7) % 13);
        ASSERT_EQ(SetCurveYInPanel(plot_, 1, y, 1, 40, 1), 1);
        ASSERT_EQ(SetCurveYInPanel(plot_, 2, y, 1, 40, 2), 1);
        AutoscalePlot(plot_);
        ShowWindow(plot_.window, SW_MAXIMIZE);
        Repaint();
    }
    void TearDown() override
    {
        ZoomMode = 0;
        DestroyTestFrame();
    }
    void Repaint()
    {
        RedrawWindow(plot_.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages();
    }
    LRESULT Mouse(UINT message, int x, int y)
    {
        const LRESULT r = SendMessageW(plot_.window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, At(x, y));
        PumpMessages();
        return r;
    }
    // Pixel of data point (x, y) in panel p through the repaint's mapping.
    POINT PixelOf(int32_t p, double x, double y) const
    {
        const PlotPanel& panel = plot_.panels[p];
        return POINT{static_cast<LONG>(panel.xOrigin + x / panel.xPerPixel),
                     static_cast<LONG>(panel.yOrigin - y / panel.yPerPixel)};
    }
    int32_t ManualZoomByMenu()
    {
        SendMessageW(plot_.window, WM_COMMAND, MAKEWPARAM(IDM_ZOOM_MANUAL, 0), 0);
        PumpMessages();
        return 0;
    }

    PlotRecord plot_;
};

}  // namespace

TEST_F(ZoomTest, RegionDragSetsLimitsThatTheLimitsDialogShows)
{
    const PlotPanel before = plot_.panels[1];
    const POINT a = PixelOf(1, 10, 9), b = PixelOf(1, 30, 3);
    SendCommand(IDM_ZOOM_REGION);
    ASSERT_EQ(ZoomMode, 1);
    Mouse(WM_LBUTTONDOWN, b.x, b.y);  // dragged up and to the left
    EXPECT_EQ(ZoomDragging, 1);
    EXPECT_EQ(GetCapture(), plot_.window);
    Mouse(WM_MOUSEMOVE, (a.x + b.x) / 2, a.y);
    Mouse(WM_MOUSEMOVE, a.x, a.y);
    Mouse(WM_LBUTTONUP, a.x, a.y);
    EXPECT_EQ(ZoomMode, 0);
    EXPECT_EQ(ZoomDragging, 0);
    EXPECT_EQ(ZoomPanel, 1);
    EXPECT_NE(GetCapture(), plot_.window);
    const PlotPanel& after = plot_.panels[1];
    EXPECT_NEAR(after.xMin, 10, 2 * before.xPerPixel);
    EXPECT_NEAR(after.xMax, 30, 2 * before.xPerPixel);
    EXPECT_NEAR(after.yMin, 3, 2 * before.yPerPixel);
    EXPECT_NEAR(after.yMax, 9, 2 * before.yPerPixel);
    EXPECT_EQ(plot_.panels[2].xMin, before.xMin);  // the other panel keeps its limits

    Limits shown;
    bool pictured = false;
    DialogAnswer look;
    look.inspect = [&](HWND dialog) {
        shown = DialogLimits(dialog);
        pictured = SendDlgItemMessageW(dialog, IDC_LIMIT_PICTURE, STM_GETIMAGE, IMAGE_ENHMETAFILE, 0) != 0;
    };
    look.button = IDCANCEL;
    AnswerNextDialog(look);
    ManualZoomByMenu();
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Set plot limits");
    ExpectSame(shown, PanelLimits(after));
    EXPECT_TRUE(pictured);
}

TEST_F(ZoomTest, RangeDragKeepsYAndZoomOutRestoresTheAutomaticLimits)
{
    const PlotPanel before = plot_.panels[2];
    const POINT a = PixelOf(2, 5, 4), b = PixelOf(2, 15, 4);
    SendCommand(IDM_ZOOM_RANGE);
    Mouse(WM_LBUTTONDOWN, a.x, a.y);
    Mouse(WM_MOUSEMOVE, b.x, b.y + 40);
    Mouse(WM_LBUTTONUP, b.x, b.y + 40);
    EXPECT_NEAR(plot_.panels[2].xMin, 5, 2 * before.xPerPixel);
    EXPECT_NEAR(plot_.panels[2].xMax, 15, 2 * before.xPerPixel);
    EXPECT_EQ(plot_.panels[2].yMin, before.yMin);
    EXPECT_EQ(plot_.panels[2].yMax, before.yMax);

    // A click without a zoom mode does nothing; Zoom Out then restores the margins.
    Mouse(WM_LBUTTONDOWN, a.x, a.y);
    Mouse(WM_LBUTTONUP, a.x, a.y);
    EXPECT_EQ(ZoomDragging, 0);
    EXPECT_NEAR(plot_.panels[2].xMax, 15, 2 * before.xPerPixel);
    ZoomMode = 3;
    Mouse(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(ZoomMode, 0);
    EXPECT_EQ(plot_.panels[2].xMin, before.xMin);
    EXPECT_EQ(plot_.panels[2].xMax, before.xMax);
}

// Plot > Zoom > Out sent to the frame acts at once on the focused plot window: its zoomed panels
// get their automatic limits back and no zoom mode stays set.
TEST_F(ZoomTest, FrameZoomOutRestoresTheFocusedPlotAtOnce)
{
    const PlotPanel before = plot_.panels[1];
    const POINT a = PixelOf(1, 5, 4), b = PixelOf(1, 15, 8);
    SendCommand(IDM_ZOOM_REGION);
    Mouse(WM_LBUTTONDOWN, a.x, a.y);
    Mouse(WM_MOUSEMOVE, b.x, b.y);
    Mouse(WM_LBUTTONUP, b.x, b.y);
    ASSERT_NE(plot_.panels[1].xMax, before.xMax);
    ASSERT_NE(plot_.panels[1].yMin, before.yMin);

    SetFocus(plot_.window);
    PumpMessages();
    SendCommand(IDM_ZOOM_OUT);
    EXPECT_EQ(ZoomMode, 0);
    EXPECT_EQ(plot_.panels[1].xMin, before.xMin);
    EXPECT_EQ(plot_.panels[1].xMax, before.xMax);
    EXPECT_EQ(plot_.panels[1].yMin, before.yMin);
    EXPECT_EQ(plot_.panels[1].yMax, before.yMax);
}

TEST_F(ZoomTest, ReleaseOutsideTheWindowStillZoomsTheStartingPanel)
{
    const PlotPanel before = plot_.panels[1];
    const POINT a = PixelOf(1, 20, 6);
    ZoomMode = 1;
    Mouse(WM_LBUTTONDOWN, a.x, a.y);
    Mouse(WM_MOUSEMOVE, -30, -30);
    Mouse(WM_LBUTTONUP, -30, -30);
    EXPECT_EQ(ZoomMode, 0);
    EXPECT_NEAR(plot_.panels[1].xMax, 20, 2 * before.xPerPixel);
    EXPECT_NEAR(plot_.panels[1].yMin, 6, 2 * before.yPerPixel);
    EXPECT_GT(plot_.panels[1].yMax, before.yMax);  // beyond the panel: limits beyond the old ones
}

TEST_F(ZoomTest, StatusBarShowsTheMouseInDataUnits)
{
    for (const auto& [p, x, y] : {std::tuple{1, 12.0, 5.0}, std::tuple{2, 33.0, 1.0}}) {
        const POINT at = PixelOf(p, x, y);
        Mouse(WM_MOUSEMOVE, at.x, at.y);
        const std::wstring text = StatusText(2);
        ASSERT_EQ(text.rfind(L"( ", 0), 0u) << text;
        const double shownX = wcstod(text.c_str() + 2, nullptr);
        const double shownY = wcstod(text.c_str() + text.find(L", ") + 2, nullptr);
        EXPECT_NEAR(shownX, x, 2 * plot_.panels[p].xPerPixel) << text;
        EXPECT_NEAR(shownY, y, 2 * plot_.panels[p].yPerPixel) << text;
        EXPECT_EQ(text.substr(text.size() - 2), L" )");
    }
}

TEST_F(ZoomTest, LimitsDialogOrdersTypedLimitsAndMovesToTheNextPlot)
{
    Limits first, second;
    DialogAnswer answer;
    answer.inspect = [&](HWND dialog) {
        first = DialogLimits(dialog);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIMIT_NEXT, BN_CLICKED), 0);
        second = DialogLimits(dialog);
    };
    // The maximum typed into the minimum field and the other way round.
    answer.texts = {{IDC_LIMIT_XMIN, L"30"}, {IDC_LIMIT_XMAX, L"-2.5"}, {IDC_LIMIT_YMIN, L"8"}, {IDC_LIMIT_YMAX, L"1"}};
    AnswerNextDialog(answer);
    const PlotPanel panel1 = plot_.panels[1], panel2 = plot_.panels[2];
    ManualZoomByMenu();
    ExpectSame(first, PanelLimits(panel1));
    ExpectSame(second, PanelLimits(panel2));
    EXPECT_EQ(plot_.panels[2].xMin, -2.5);
    EXPECT_EQ(plot_.panels[2].xMax, 30);
    EXPECT_EQ(plot_.panels[2].yMin, 1);
    EXPECT_EQ(plot_.panels[2].yMax, 8);
    EXPECT_EQ(plot_.panels[1].xMax, panel1.xMax);
}

TEST_F(ZoomTest, LimitsDialogRefusesUnreadableAndUndrawableLimits)
{
    const PlotPanel before = plot_.panels[1];
    struct Case {
        std::wstring xMin, yMax, message;
    };
    const Case cases[] = {
        {L"abc", L"9", L"Error reading dialog-item. Entry \"abc\" is not a number."},
        {L"1", L"1e999", L"Error reading dialog-item. Entry \"1e999\" is too large."},
        {L"0,5", L"9", L"Error reading dialog-item. Entry \"0,5\" has a decimal comma: type a decimal point."},
        {L"7", L"9", L"Axis limits too close together or too large to draw"},  // x: 7 .. 7
    };
    for (const Case& c : cases) {
        DialogAnswer typed;
        typed.texts = {{IDC_LIMIT_XMIN, c.xMin}, {IDC_LIMIT_XMAX, L"7"}, {IDC_LIMIT_YMIN, L"1"},
                       {IDC_LIMIT_YMAX, c.yMax}};
        AnswerNextDialog(typed);
        AnswerNextDialog(DialogAnswer{});  // the message box
        DialogAnswer cancel;
        cancel.button = IDCANCEL;
        AnswerNextDialog(cancel);  // the dialog, still open
        ManualZoomByMenu();
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 3u) << c.xMin;
        EXPECT_EQ(seen[1].message, c.message);
        EXPECT_EQ(seen[2].caption, L"Set plot limits");
        EXPECT_EQ(plot_.panels[1].xMin, before.xMin);
        EXPECT_EQ(plot_.panels[1].yMax, before.yMax);
    }
}

// The preview is drawn at the size of its frame: the whole panel shows, with labels in a readable
// font, none reaching past the frame.
TEST_F(ZoomTest, LimitsPreviewShowsTheWholePanelInItsFrame)
{
    RECT frame{};
    ENHMETAHEADER header{};
    std::vector<LONG> fontHeights;
    bool opened = false;
    DialogAnswer look;
    look.inspect = [&](HWND dialog) {
        opened = true;
        HWND picture = GetDlgItem(dialog, IDC_LIMIT_PICTURE);
        GetClientRect(picture, &frame);
        auto shown = reinterpret_cast<HENHMETAFILE>(SendMessageW(picture, STM_GETIMAGE, IMAGE_ENHMETAFILE, 0));
        ASSERT_NE(shown, nullptr);
        GetEnhMetaFileHeader(shown, sizeof header, &header);
        EnumEnhMetaFile(
            nullptr, shown,
            [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out) -> int {
                if (record->iType == EMR_EXTCREATEFONTINDIRECTW)
                    reinterpret_cast<std::vector<LONG>*>(out)->push_back(
                        reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)->elfw.elfLogFont.lfHeight);
                return 1;
            },
            &fontHeights, nullptr);
        SaveScreenshot(dialog, "limits-dialog");
    };
    look.button = IDCANCEL;
    AnswerNextDialog(look);
    ManualZoomByMenu();
    ASSERT_TRUE(opened);
    // The picture's frame is the preview's client area (0.01 mm converted by the header's device).
    const auto pixels = [&](LONG v, LONG device, LONG mm) { return MulDiv(v, device, mm * 100); };
    EXPECT_NEAR(pixels(header.rclFrame.right, header.szlDevice.cx, header.szlMillimeters.cx), frame.right, 2);
    EXPECT_NEAR(pixels(header.rclFrame.bottom, header.szlDevice.cy, header.szlMillimeters.cy), frame.bottom, 2);
    EXPECT_GE(header.rclBounds.left, 0);
    EXPECT_GE(header.rclBounds.top, 0);
    EXPECT_LE(header.rclBounds.right, frame.right);
    EXPECT_LE(header.rclBounds.bottom, frame.bottom);
    ASSERT_FALSE(fontHeights.empty());
    for (LONG height : fontHeights) EXPECT_GE(height, kMinLabelFontHeight);
}
