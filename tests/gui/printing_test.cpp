#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/win32/duplicate_window.h"
#include "shell/win32/frame.h"
#include "shell/win32/info_window.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/printing.h"

namespace {

class PrintingTest : public PlotWindowFixture {};

}  // namespace

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
