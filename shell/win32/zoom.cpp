#include "shell/win32/zoom.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"
#include "shell/plot_zoom.h"
#include "shell/win32/frame.h"
#include "shell/win32/gdi_guards.h"
#include "shell/win32/plot_window.h"

int32_t ZoomDragging = 0;
int32_t ZoomPanel = 1;
PlotRect ZoomRect;

namespace {

HWND WindowOf(const PlotRecord& plot)
{
    HWND window = reinterpret_cast<HWND>(plot.window);
    return window && IsWindow(window) ? window : nullptr;
}

int32_t PanelUnderMouse(HWND window, const PlotRecord& plot, int32_t x, int32_t y)
{
    PlotLayout layout;
    if (!LayOutPlotWindow(window, plot, layout)) return 0;
    const RECT area = PlotPaintRect(window);
    return ZoomPanelAt(layout, PlotRect{area.left, area.top, area.right, area.bottom}, x, y);
}

void DrawBand(HDC dc, const PlotRect& r)
{
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

// Ends a drag: the whole window repainted, the capture released, the zoom mode over.
void EndDrag(HWND window)
{
    ZoomPanel = 1;
    ZoomDragging = 0;
    ZoomMode = ZOOM_NONE;
    InvalidateRect(window, nullptr, TRUE);
    if (GetCapture() == window) ReleaseCapture();
}

struct LimitsDialog : DialogRecord {
    PlotRecord* plot = nullptr;
    int32_t panel = 0;
    HENHMETAFILE picture = nullptr;
};

LimitsDialog& LimitsOf(DialogRecord& dialog) { return static_cast<LimitsDialog&>(dialog); }

void ShowPanelPicture(LimitsDialog& d)
{
    if (!d.window) return;
    // Drawn at the size it is shown, so the whole panel fits the frame and its labels stay
    // readable (a window-sized picture shrunk into the frame turns them into dots).
    RECT area{};
    GetClientRect(GetDlgItem(d.window, IDC_LIMIT_PICTURE), &area);
    HENHMETAFILE picture = RecordPlotPicture(*d.plot, area, d.panel);
    SendDlgItemMessageW(d.window, IDC_LIMIT_PICTURE, STM_SETIMAGE, IMAGE_ENHMETAFILE,
                        reinterpret_cast<LPARAM>(picture));
    if (d.picture) DeleteEnhMetaFile(d.picture);
    d.picture = picture;
}

void FillLimits(LimitsDialog& d)
{
    const PlotPanel& panel = d.plot->panels[d.panel];
    const AxisLimitTexts x = ProposedAxisLimits(panel.xMin, panel.xMax);
    const AxisLimitTexts y = ProposedAxisLimits(panel.yMin, panel.yMax);
    DialogSetText(d, IDC_LIMIT_XMIN, x.min);
    DialogSetText(d, IDC_LIMIT_XMAX, x.max);
    DialogSetText(d, IDC_LIMIT_YMIN, y.min);
    DialogSetText(d, IDC_LIMIT_YMAX, y.max);
    ShowPanelPicture(d);
}

void OnLimitsOpened(DialogRecord& dialog, int, int) { ShowPanelPicture(LimitsOf(dialog)); }

void OnNextPlot(DialogRecord& dialog, int, int)
{
    LimitsDialog& d = LimitsOf(dialog);
    d.panel = NextPanelInUse(*d.plot, d.panel);
    FillLimits(d);
}

// An axis whose limits cannot be drawn: tell the user and return to its first field.
bool AxisAccepted(HWND dialog, double a, double b, int firstField)
{
    if (AxisLimitsDrawable(a, b)) return true;
    MessageBoxW(dialog, L"Axis limits too close together or too large to draw", L"KELO::Vesk Error", MB_OK);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, firstField)), TRUE);
    return false;
}

void OnLimitsOk(DialogRecord& dialog, int, int)
{
    LimitsDialog& d = LimitsOf(dialog);
    HWND ok = GetDlgItem(d.window, IDOK);
    // Enter in an edit first moves to OK; OK itself accepts.
    if (GetFocus() != ok) {
        SendMessageW(d.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
        return;
    }
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    if (!ReadDialogReal(d.window, IDC_LIMIT_XMIN, xMin) || !ReadDialogReal(d.window, IDC_LIMIT_XMAX, xMax) ||
        !ReadDialogReal(d.window, IDC_LIMIT_YMIN, yMin) || !ReadDialogReal(d.window, IDC_LIMIT_YMAX, yMax))
        return;
    if (!AxisAccepted(d.window, xMin, xMax, IDC_LIMIT_XMIN) || !AxisAccepted(d.window, yMin, yMax, IDC_LIMIT_YMIN))
        return;
    SetPanelLimits(*d.plot, d.panel, xMin, xMax, yMin, yMax);
    DialogExit(d);
}

}  // namespace

int32_t StartZoom(PlotRecord& plot, int32_t x, int32_t y)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    ZoomDragging = 1;
    SetCapture(window);
    ZoomPanel = PanelUnderMouse(window, plot, x, y);
    const PlotPanel& panel = plot.panels[ZoomPanel >= 1 ? ZoomPanel : 1];
    ZoomRect = ZoomStartRect(panel, ZoomMode, x, y);
    return 1;
}

int32_t TrackZoom(PlotRecord& plot, int32_t x, int32_t y)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    HDC dc = GetDC(window);
    {
        DcStateGuard state(dc);
        GdiObject pen(CreatePen(PS_SOLID, 0, ~PlotColors[15] & 0xFFFFFF));
        SelectGuard usePen(dc, pen.get()), useBrush(dc, GetStockObject(NULL_BRUSH));
        SetROP2(dc, R2_XORPEN);
        DrawBand(dc, ZoomRect);
        ZoomRect.right = x;
        if (ZoomMode == ZOOM_REGION) ZoomRect.bottom = y;
        DrawBand(dc, ZoomRect);
    }
    ReleaseDC(window, dc);
    return 1;
}

int32_t FinishZoom(PlotRecord& plot)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    ZoomRect = NormalisedRect(ZoomRect);
    ApplyZoomRect(plot, ZoomPanel, ZoomMode, ZoomRect);
    EndDrag(window);
    return 1;
}

int32_t AbandonZoom(PlotRecord& plot)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    EndDrag(window);
    return 1;
}

int32_t ZoomOut(PlotRecord& plot)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    AutoscalePlot(plot);
    EndDrag(window);
    return 1;
}

int32_t ShowPlotCoordinates(PlotRecord& plot, int32_t x, int32_t y)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    const int32_t p = PanelUnderMouse(window, plot, x, y);
    if (p == 0 || !StatusBar) return 1;
    const std::string text = PlotCoordinatesText(plot.panels[p], x, y);
    const std::wstring wide(text.begin(), text.end());
    SendMessageW(StatusBar, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(wide.c_str()));
    UpdateWindow(StatusBar);
    return 1;
}

int32_t ManualZoom(PlotRecord& plot)
{
    HWND window = WindowOf(plot);
    if (!window) return 0;
    LimitsDialog d;
    if (!DialogInit(d, IDD_PLOT_LIMITS)) return 0;
    d.plot = &plot;
    d.panel = FirstPanelInUse(plot);
    if (d.panel == 0) return 0;
    FillLimits(d);
    DialogSetOpenRoutine(d, OnLimitsOpened);
    DialogSetCallback(d, IDC_LIMIT_NEXT, OnNextPlot);
    DialogSetCallback(d, IDOK, OnLimitsOk);
    const int result = DialogRunModal(d);
    if (d.picture) DeleteEnhMetaFile(d.picture);
    DialogRelease(d);
    if (result != 1) return 0;
    InvalidateRect(window, nullptr, TRUE);
    return 1;
}
