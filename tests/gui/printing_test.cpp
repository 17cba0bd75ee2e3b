#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/win32/duplicate_window.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "shell/print_layout.h"
#include "shell/win32/printing.h"

namespace {

// A letter page (8.5 by 11 inches at the screen's resolution) whose pages are recorded as
// pictures, one for each page, with the screen as reference.
class PagePictures : public PrintDevice {
public:
    PagePictures() : screen_(GetDC(nullptr))
    {
        width_ = GetDeviceCaps(screen_, LOGPIXELSX) * 17 / 2;
        height_ = GetDeviceCaps(screen_, LOGPIXELSY) * 11;
    }
    ~PagePictures() override
    {
        if (page_) DeleteEnhMetaFile(CloseEnhMetaFile(page_));
        for (HENHMETAFILE picture : pages) DeleteEnhMetaFile(picture);
        ReleaseDC(nullptr, screen_);
    }
    PagePictures(const PagePictures&) = delete;
    PagePictures& operator=(const PagePictures&) = delete;

    int32_t Width() override { return width_; }
    int32_t Height() override { return height_; }
    int32_t DpiX() override { return GetDeviceCaps(screen_, LOGPIXELSX); }
    int32_t DpiY() override { return GetDeviceCaps(screen_, LOGPIXELSY); }
    HDC MeasureDc() override { return screen_; }
    bool StartJob() override
    {
        ++jobs;
        return true;
    }
    HDC StartPage() override
    {
        // The frame in 0.01 mm by the screen's own millimetres, so that the page plays back 1:1.
        const RECT frame{0, 0, MulDiv(width_, GetDeviceCaps(screen_, HORZSIZE) * 100, GetDeviceCaps(screen_, HORZRES)),
                         MulDiv(height_, GetDeviceCaps(screen_, VERTSIZE) * 100, GetDeviceCaps(screen_, VERTRES))};
        page_ = CreateEnhMetaFileW(screen_, nullptr, &frame, nullptr);
        return page_;
    }
    void EndPage() override
    {
        pages.push_back(CloseEnhMetaFile(page_));
        page_ = nullptr;
    }
    int32_t EndJob() override
    {
        ++jobsEnded;
        return 1;
    }

    std::vector<HENHMETAFILE> pages;
    int jobs = 0, jobsEnded = 0;

private:
    HDC screen_;
    HDC page_ = nullptr;
    int32_t width_ = 0, height_ = 0;
};

// What a recorded page draws: rectangles and line ends with the colour of the pen they were
// drawn with, texts at their reference points, and the bounds of everything.
struct PageContents {
    RECTL bounds{};
    std::vector<std::pair<COLORREF, RECTL>> rectangles;
    std::vector<std::pair<COLORREF, POINTL>> lineEnds;
    std::vector<std::pair<POINTL, std::wstring>> texts;
};

PageContents ReadPage(HENHMETAFILE page)
{
    struct Reader {
        PageContents contents;
        std::map<DWORD, COLORREF> pens;
        COLORREF pen = 0;
    } reader;
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(page, sizeof header, &header);
    reader.contents.bounds = header.rclBounds;
    EnumEnhMetaFile(
        nullptr, page,
        [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) -> int {
            Reader& r = *reinterpret_cast<Reader*>(data);
            switch (record->iType) {
            case EMR_CREATEPEN: {
                const auto* create = reinterpret_cast<const EMRCREATEPEN*>(record);
                r.pens[create->ihPen] = create->lopn.lopnColor;
                break;
            }
            case EMR_SELECTOBJECT: {
                const auto found = r.pens.find(reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject);
                if (found != r.pens.end()) r.pen = found->second;
                break;
            }
            case EMR_RECTANGLE:
                r.contents.rectangles.emplace_back(r.pen, reinterpret_cast<const EMRRECTANGLE*>(record)->rclBox);
                break;
            case EMR_LINETO:
                r.contents.lineEnds.emplace_back(r.pen, reinterpret_cast<const EMRLINETO*>(record)->ptl);
                break;
            case EMR_EXTTEXTOUTW: {
                const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
                const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                                      text->emrtext.offString);
                r.contents.texts.emplace_back(text->emrtext.ptlReference, std::wstring(chars, text->emrtext.nChars));
                break;
            }
            default:
                break;
            }
            return 1;
        },
        &reader, nullptr);
    return reader.contents;
}

// The smallest rectangle holding every pixel that is not white when the page is played onto
// white paper of the device's size; empty (right < left) when nothing shows.
RECT InkBounds(HENHMETAFILE page, int32_t width, int32_t height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP paper = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, paper);
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(dc, page, &all);
    GdiFlush();
    RECT ink{width, height, -1, -1};
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != 0xFFFFFF) {
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x);
                ink.bottom = std::max<LONG>(ink.bottom, y);
            }
    SelectObject(dc, old);
    DeleteObject(paper);
    DeleteDC(dc);
    return ink;
}

bool Inside(const RECTL& inner, LONG left, LONG top, LONG right, LONG bottom)
{
    return inner.left >= left && inner.top >= top && inner.right <= right && inner.bottom <= bottom &&
           inner.left < inner.right && inner.top < inner.bottom;
}

class PrintingTest : public PlotWindowFixture {
protected:
    void Resize(HWND window, int width, int height)
    {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
    }
};

}  // namespace

// A plot window smaller than the page prints at its own size, a larger one shrinks; either way the
// page holds the panel's frame and the curve's four points inside it, on the printable area.
TEST_F(PrintingTest, PlotPageHoldsTheFrameAndTheCurve)
{
    for (const SIZE window : {SIZE{420, 300}, SIZE{1250, 950}}) {
        SCOPED_TRACE(window.cx);
        Resize(plot_.window, window.cx, window.cy);
        PagePictures device;
        ASSERT_EQ(PrintPlotOn(plot_, device), 1);
        EXPECT_EQ(device.jobsEnded, 1);
        ASSERT_EQ(device.pages.size(), 1u);
        const PageContents page = ReadPage(device.pages[0]);
        EXPECT_TRUE(Inside(page.bounds, 0, 0, device.Width(), device.Height()))
            << page.bounds.left << ' ' << page.bounds.top << ' ' << page.bounds.right << ' ' << page.bounds.bottom
            << " page " << device.Width() << ' ' << device.Height();

        std::vector<RECTL> frames;
        for (const auto& [colour, box] : page.rectangles)
            if (colour == PlotColors[13]) frames.push_back(box);
        ASSERT_EQ(frames.size(), 1u);
        const RECTL frame = frames[0];
        EXPECT_TRUE(Inside(frame, 0, 0, device.Width(), device.Height()));
        RECT client{};
        GetClientRect(plot_.window, &client);
        EXPECT_LT(frame.right - frame.left, client.right);

        std::vector<POINTL> curve;
        for (const auto& [colour, at] : page.lineEnds)
            if (colour == PlotColors[1]) curve.push_back(at);
        ASSERT_EQ(curve.size(), 4u);
        for (const POINTL& at : curve) {
            EXPECT_TRUE(at.x > frame.left && at.x < frame.right && at.y > frame.top && at.y < frame.bottom)
                << at.x << ' ' << at.y;
        }
        // The values 1, 4, 2, 3 from left to right: higher values stand higher on the page.
        EXPECT_TRUE(curve[0].x < curve[1].x && curve[1].x < curve[2].x && curve[2].x < curve[3].x);
        EXPECT_TRUE(curve[0].y > curve[2].y && curve[2].y > curve[3].y && curve[3].y > curve[1].y);
    }
}

// Lines in order, one line height apart, blank lines closed up; what does not fit goes on the next
// page, which starts one line height from its top again.
TEST_F(PrintingTest, LongReportContinuesOnTheNextPage)
{
    HWND report = CreateDupTextWindow();
    ASSERT_NE(report, nullptr);
    Resize(report, 600, 400);
    std::wstring text;
    std::vector<std::wstring> printed;
    for (int k = 1; k <= 150; ++k) {
        const std::wstring line = k % 10 == 0 ? L"" : L"line " + std::to_wstring(k);
        text += line + L"\r\n";
        if (!line.empty()) printed.push_back(line);
    }
    SetWindowTextW(ReportEditOf(report), text.c_str());

    PagePictures device;
    SIZE size{};
    GetTextExtentPoint32W(device.MeasureDc(), L"Test String", 11, &size);
    ASSERT_GT(size.cy, 0);
    ASSERT_EQ(PrintTextWindowOn(report, device), 1);
    EXPECT_EQ(device.jobs, 1);
    ASSERT_GE(device.pages.size(), 2u);

    std::vector<std::wstring> read;
    for (HENHMETAFILE picture : device.pages) {
        const PageContents page = ReadPage(picture);
        ASSERT_FALSE(page.texts.empty());
        EXPECT_TRUE(Inside(page.bounds, 0, 0, device.Width(), device.Height()));
        for (size_t i = 0; i < page.texts.size(); ++i) {
            const auto& [at, line] = page.texts[i];
            EXPECT_EQ(at.x, 4);
            EXPECT_EQ(at.y, static_cast<LONG>((i + 1) * size.cy)) << testing::PrintToString(line);
            EXPECT_LE(at.y + size.cy, device.Height());
            read.push_back(line);
        }
        // Every page but the last is full: one more line would have reached past its bottom.
        if (picture != device.pages.back()) {
            EXPECT_GT(static_cast<LONG>((page.texts.size() + 2) * size.cy), device.Height());
        }
    }
    EXPECT_EQ(read, printed);
}

// The duplicate's picture fills the page's width as far as the page allows: enlarged when it is
// small, shrunk when it is wider than the page, never cut.
TEST_F(PrintingTest, DuplicatePictureIsScaledToFitThePage)
{
    for (const SIZE window : {SIZE{300, 220}, SIZE{1250, 500}}) {
        SCOPED_TRACE(window.cx);
        Resize(plot_.window, window.cx, window.cy);
        HWND duplicate = CreateDupPlotWindow();
        ASSERT_NE(duplicate, nullptr);
        FillDupPlot(duplicate, plot_);
        PumpMessages();
        HENHMETAFILE picture = DupPicture(duplicate);
        ENHMETAHEADER header{};
        ASSERT_TRUE(GetEnhMetaFileHeader(picture, sizeof header, &header));
        const int32_t w = header.rclBounds.right - header.rclBounds.left;
        const int32_t h = header.rclBounds.bottom - header.rclBounds.top;

        PagePictures device;
        ASSERT_EQ(PrintMetafileOn(picture, device), 1);
        ASSERT_EQ(device.pages.size(), 1u);
        PlotRect area;
        ASSERT_EQ(PlacePictureOnPage(w, h, device.Width(), device.Height(), area), 1);
        const RECT ink = InkBounds(device.pages[0], device.Width(), device.Height());
        ASSERT_LE(ink.left, ink.right) << "nothing printed";
        // The drawing stays in the placed rectangle (a few pixels for rounding at the scale) and
        // fills most of it (the blank parts of its text cells show no ink).
        EXPECT_GE(ink.left, area.left - 3);
        EXPECT_GE(ink.top, area.top - 3);
        EXPECT_LE(ink.right, area.right + 3);
        EXPECT_LE(ink.bottom, area.bottom + 3);
        EXPECT_GT(ink.right - ink.left, 9 * area.Width() / 10);
        EXPECT_GT(ink.bottom - ink.top, 9 * area.Height() / 10);
        if (w < device.Width() / 2) {
            EXPECT_GT(ink.right - ink.left, w) << "a small picture is enlarged";
        }
        SendMessageW(duplicate, WM_CLOSE, 0, 0);
        PumpMessages();
    }
}

// Here no printer is installed (or, where one is, its dialog is cancelled): every print returns 0
// at once and prints nothing, from the routines and from the views' system menus.
TEST_F(PrintingTest, WithoutAChosenPrinterNothingPrintsAndNothingWaits)
{
    HWND report = CreateDupTextWindow();
    ASSERT_NE(report, nullptr);
    SetWindowTextW(ReportEditOf(report), L"line one\r\n\r\nline three");
    HWND duplicate = CreateDupPlotWindow();
    ASSERT_NE(duplicate, nullptr);
    FillDupPlot(duplicate, plot_);
    PumpMessages();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GetPrinterDC(FrameWindow), nullptr);
    EXPECT_EQ(PrintPlot(plot_), 0);
    EXPECT_EQ(PrintTextWindow(report), 0);
    EXPECT_EQ(PrintMetafile(duplicate, DupPicture(duplicate)), 0);
    for (HWND view : {static_cast<HWND>(plot_.window), report, duplicate})
        EXPECT_EQ(SendMessageW(view, WM_SYSCOMMAND, SC_PRINTVIEW, 0), 0);
    PumpMessages();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    // The program itself says nothing. Only the system's print dialog appears (cancelled here),
    // or under Wine its notice that no printer is installed, which ignores PD_NOWARNING.
    for (const SeenDialog& seen : TakeSeenDialogs()) {
        EXPECT_FALSE(seen.expected);
        EXPECT_EQ(seen.caption, L"Print");
    }
}

TEST_F(PrintingTest, WithoutAWindowOrPictureNothingIsAsked)
{
    PlotRecord windowless;
    InitPlotRecord(windowless);
    EXPECT_EQ(PrintPlot(windowless), 0);
    EXPECT_EQ(PrintTextWindow(nullptr), 0);
    EXPECT_EQ(PrintMetafile(plot_.window, nullptr), 0);
    // A picture of no size is refused before the print dialog.
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    HENHMETAFILE empty = CloseEnhMetaFile(dc);
    EXPECT_EQ(PrintMetafile(plot_.window, empty), 0);
    DeleteEnhMetaFile(empty);
    PumpMessages();
    EXPECT_TRUE(TakeSeenDialogs().empty());
}
