#include "shell/win32/printing.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "shell/print_layout.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_draw.h"

namespace {

// Owns the printer's context: the job is started once the page is laid out, and the context is
// deleted at the end whatever happened.
class PrintJob {
public:
    explicit PrintJob(HDC printer) : printer_(printer) {}
    ~PrintJob()
    {
        if (printer_) DeleteDC(printer_);
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    HDC Dc() const { return printer_; }
    bool Start()
    {
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = L"KELO";
        return StartDocW(printer_, &info) > 0;
    }
    int32_t End() { return EndDoc(printer_); }

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

int32_t PrintPlot(PlotRecord& plot)
{
    HWND window = reinterpret_cast<HWND>(plot.window);
    if (!window || !IsWindow(window)) return 0;
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    const double wIn = static_cast<double>(client.right - client.left) / GetDeviceCaps(screen, LOGPIXELSX);
    const double hIn = static_cast<double>(client.bottom - client.top) / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window, screen);

    PrintJob job(GetPrinterDC(window));
    if (!job.Dc()) return 0;
    const int32_t dpiX = GetDeviceCaps(job.Dc(), LOGPIXELSX), dpiY = GetDeviceCaps(job.Dc(), LOGPIXELSY);
    PlotRect area;
    if (dpiX <= 0 || dpiY <= 0 ||
        !PlacePlotOnPage(wIn, hIn, static_cast<double>(GetDeviceCaps(job.Dc(), HORZRES)) / dpiX,
                         static_cast<double>(GetDeviceCaps(job.Dc(), VERTRES)) / dpiY, dpiX, dpiY, area) ||
        !job.Start())
        return 0;
    StartPage(job.Dc());
    DrawPlot(plot, job.Dc(), ToRect(area), 0, 0);
    EndPage(job.Dc());
    return job.End();
}

int32_t PrintTextWindow(HWND window)
{
    HWND edit = window && IsWindow(window) ? ReportEditOf(window) : nullptr;
    if (!edit) return 0;
    PrintJob job(GetPrinterDC(window));
    if (!job.Dc()) return 0;
    SIZE size{0, 0};
    GetTextExtentPoint32W(job.Dc(), L"Test String", 11, &size);
    std::vector<std::vector<PrintedLine>> pages;
    if (!PaginateReport(EditLines(edit), size.cy, GetDeviceCaps(job.Dc(), VERTRES), pages) || !job.Start())
        return 0;
    for (const std::vector<PrintedLine>& page : pages) {
        StartPage(job.Dc());
        for (const PrintedLine& line : page) {
            const std::wstring text = EditLine(edit, line.line);
            TextOutW(job.Dc(), 4, line.y, text.c_str(), static_cast<int>(text.size()));
        }
        EndPage(job.Dc());
    }
    if (pages.empty()) {
        StartPage(job.Dc());  // an empty report still prints its one page
        EndPage(job.Dc());
    }
    return job.End();
}

int32_t PrintMetafile(HWND window, HENHMETAFILE picture)
{
    if (!window || !IsWindow(window) || !picture) return 0;
    ENHMETAHEADER header{};
    if (!GetEnhMetaFileHeader(picture, sizeof header, &header)) return 0;
    const int32_t w = header.rclBounds.right - header.rclBounds.left;
    const int32_t h = header.rclBounds.bottom - header.rclBounds.top;
    PlotRect probe;
    if (!PlacePictureOnPage(w, h, 1, 1, probe)) return 0;  // no size: nothing to ask a printer for
    PrintJob job(GetPrinterDC(window));
    if (!job.Dc()) return 0;
    PlotRect area;
    if (!PlacePictureOnPage(w, h, GetDeviceCaps(job.Dc(), HORZRES), GetDeviceCaps(job.Dc(), VERTRES), area) ||
        !job.Start())
        return 0;
    StartPage(job.Dc());
    const RECT target = ToRect(area);
    PlayEnhMetaFile(job.Dc(), picture, &target);
    EndPage(job.Dc());
    return job.End();
}
