#include "shell/win32/printing.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "shell/print_layout.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_draw.h"

namespace {

// The printer chosen in the print dialog. Owns its context, which it deletes at the end whatever
// happened; all pages share that context.
class PrinterDevice : public PrintDevice {
public:
    explicit PrinterDevice(HDC printer) : printer_(printer) {}
    ~PrinterDevice() override
    {
        if (printer_) DeleteDC(printer_);
    }
    PrinterDevice(const PrinterDevice&) = delete;
    PrinterDevice& operator=(const PrinterDevice&) = delete;

    bool Chosen() const { return printer_ != nullptr; }
    int32_t Width() override { return GetDeviceCaps(printer_, HORZRES); }
    int32_t Height() override { return GetDeviceCaps(printer_, VERTRES); }
    int32_t DpiX() override { return GetDeviceCaps(printer_, LOGPIXELSX); }
    int32_t DpiY() override { return GetDeviceCaps(printer_, LOGPIXELSY); }
    HDC MeasureDc() override { return printer_; }
    bool StartJob() override
    {
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = L"KELO";
        return StartDocW(printer_, &info) > 0;
    }
    HDC StartPage() override { return ::StartPage(printer_) > 0 ? printer_ : nullptr; }
    void EndPage() override { ::EndPage(printer_); }
    int32_t EndJob() override { return EndDoc(printer_); }

private:
    HDC printer_;
};

RECT ToRect(const PlotRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::wstring EditLine(HWND edit, size_t i)
{
    const LRESULT start = SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
    const LRESULT length = start < 0 ? 0 : SendMessageW(edit, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (length <= 0) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    *reinterpret_cast<WORD*>(text.data()) = static_cast<WORD>(std::min<LRESULT>(length + 1, 0xFFFF));
    const LRESULT copied = SendMessageW(edit, EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
    return text;
}

// The edit's lines, switched to report soft line breaks first; only their emptiness is used, so
// other characters are narrowed crudely.
std::vector<std::string> EditLines(HWND edit)
{
    SendMessageW(edit, EM_FMTLINES, TRUE, 0);
    const LRESULT count = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    std::vector<std::string> lines;
    for (LRESULT i = 0; i < count; ++i) {
        const std::wstring text = EditLine(edit, static_cast<size_t>(i));
        lines.emplace_back(text.size(), 'x');
    }
    return lines;
}

}  // namespace

HDC GetPrinterDC(HWND owner)
{
    PRINTDLGW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    // A failing dialog (no printer installed) is a cancel, without the system's warning.
    request.Flags = PD_RETURNDC | PD_NOWARNING;
    request.nCopies = 1;
    if (!PrintDlgW(&request)) return nullptr;
    // Only the context is wanted; records the dialog allocated are released.
    if (request.hDevMode) GlobalFree(request.hDevMode);
    if (request.hDevNames) GlobalFree(request.hDevNames);
    return request.hDC;
}

int32_t PrintPlotOn(PlotRecord& plot, PrintDevice& device)
{
    HWND window = reinterpret_cast<HWND>(plot.window);
    if (!window || !IsWindow(window)) return 0;
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    const double wIn = static_cast<double>(client.right - client.left) / GetDeviceCaps(screen, LOGPIXELSX);
    const double hIn = static_cast<double>(client.bottom - client.top) / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window, screen);

    const int32_t dpiX = device.DpiX(), dpiY = device.DpiY();
    PlotRect area;
    if (dpiX <= 0 || dpiY <= 0 ||
        !PlacePlotOnPage(wIn, hIn, static_cast<double>(device.Width()) / dpiX,
                         static_cast<double>(device.Height()) / dpiY, dpiX, dpiY, area) ||
        !device.StartJob())
        return 0;
    if (HDC page = device.StartPage()) {
        DrawPlot(plot, page, ToRect(area), 0, 0);
        device.EndPage();
    }
    return device.EndJob();
}

int32_t PrintPlot(PlotRecord& plot)
{
    HWND window = reinterpret_cast<HWND>(plot.window);
    if (!window || !IsWindow(window)) return 0;
    PrinterDevice printer(GetPrinterDC(window));
    return printer.Chosen() ? PrintPlotOn(plot, printer) : 0;
}

int32_t PrintTextWindowOn(HWND window, PrintDevice& device)
{
    HWND edit = window && IsWindow(window) ? ReportEditOf(window) : nullptr;
    if (!edit) return 0;
    SIZE size{0, 0};
    GetTextExtentPoint32W(device.MeasureDc(), L"Test String", 11, &size);
    std::vector<std::vector<PrintedLine>> pages;
    if (!PaginateReport(EditLines(edit), size.cy, device.Height(), pages) || !device.StartJob()) return 0;
    if (pages.empty()) pages.emplace_back();  // an empty report still prints its one page
    for (const std::vector<PrintedLine>& page : pages) {
        HDC dc = device.StartPage();
        if (!dc) break;
        for (const PrintedLine& line : page) {
            const std::wstring text = EditLine(edit, line.line);
            TextOutW(dc, 4, line.y, text.c_str(), static_cast<int>(text.size()));
        }
        device.EndPage();
    }
    return device.EndJob();
}

int32_t PrintTextWindow(HWND window)
{
    if (!window || !IsWindow(window) || !ReportEditOf(window)) return 0;
    PrinterDevice printer(GetPrinterDC(window));
    return printer.Chosen() ? PrintTextWindowOn(window, printer) : 0;
}

namespace {

// The picture's drawn part and its frame, in the device units of the screen it was recorded on;
// false when the drawing has no size.
bool PictureExtent(HENHMETAFILE picture, PlotRect& bounds, PlotRect& frame)
{
    ENHMETAHEADER header{};
    if (!picture || !GetEnhMetaFileHeader(picture, sizeof header, &header)) return false;
    bounds = PlotRect{header.rclBounds.left, header.rclBounds.top, header.rclBounds.right, header.rclBounds.bottom};
    // The frame is kept in 0.01 mm; the header tells the device's size in pixels and millimetres.
    const auto pixels = [](LONG v, LONG device, LONG mm) {
        return mm > 0 ? static_cast<int32_t>(MulDiv(v, device, mm * 100)) : 0;
    };
    const LONG dx = header.szlDevice.cx, dy = header.szlDevice.cy;
    const LONG mx = header.szlMillimeters.cx, my = header.szlMillimeters.cy;
    frame = PlotRect{pixels(header.rclFrame.left, dx, mx), pixels(header.rclFrame.top, dy, my),
                     pixels(header.rclFrame.right, dx, mx), pixels(header.rclFrame.bottom, dy, my)};
    return bounds.Width() > 0 && bounds.Height() > 0;
}

}  // namespace

int32_t PrintMetafileOn(HENHMETAFILE picture, PrintDevice& device)
{
    PlotRect bounds, frame, area, target;
    if (!PictureExtent(picture, bounds, frame) ||
        !PlacePictureOnPage(bounds.Width(), bounds.Height(), device.Width(), device.Height(), area) ||
        !PictureTarget(frame, bounds, area, target) || !device.StartJob())
        return 0;
    if (HDC page = device.StartPage()) {
        const RECT rect = ToRect(target);
        PlayEnhMetaFile(page, picture, &rect);
        device.EndPage();
    }
    return device.EndJob();
}

int32_t PrintMetafile(HWND window, HENHMETAFILE picture)
{
    PlotRect bounds, frame;
    // A picture without size is refused before anything is asked of a printer.
    if (!window || !IsWindow(window) || !PictureExtent(picture, bounds, frame)) return 0;
    PrinterDevice printer(GetPrinterDC(window));
    return printer.Chosen() ? PrintMetafileOn(picture, printer) : 0;
}
