#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "gui_harness.h"
#include "resources/resource.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_colors.h"
#include "shell/win32/plot_window.h"

namespace {

// The colour dialog's red, green and blue edits.
constexpr int kChooserRed = 706, kChooserGreen = 707, kChooserBlue = 708;
constexpr COLORREF kChosen = RGB(255, 0, 0);

// Colours of the pens a fresh Copy of the window creates.
std::set<COLORREF> CopiedPenColors(HWND window)
{
    std::set<COLORREF> colors;
    SendMessageW(window, WM_SYSCOMMAND, SC_COPYVIEW, 0);
    if (!OpenClipboard(nullptr)) return colors;
    if (auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)))
        EnumEnhMetaFile(
            nullptr, picture,
            [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out) -> int {
                if (record->iType == EMR_CREATEPEN)
                    reinterpret_cast<std::set<COLORREF>*>(out)->insert(
                        reinterpret_cast<const EMRCREATEPEN*>(record)->lopn.lopnColor);
                return 1;
            },
            &colors, nullptr);
    CloseClipboard();
    return colors;
}

class PlotColorsTest : public PlotWindowFixture {
protected:
    void SetUp() override
    {
        PlotWindowFixture::SetUp();
        original_ = PlotColors[1];
        ASSERT_NE(original_, kChosen);
    }
    void TearDown() override
    {
        SetDefaultPlotColors();
        PlotWindowFixture::TearDown();
    }
    // Colours dialog: #1 checked, Choose Color answered with red, then `button`. The Copy taken
    // while the dialog is open lands in `during`.
    void ChooseRedThen(int button, std::set<COLORREF>& during)
    {
        DialogAnswer colours;
        colours.inspect = [&](HWND dialog) {
            CheckRadioButton(dialog, IDC_COLOR_1, IDC_COLOR_BACKGROUND, IDC_COLOR_1);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COLOR_CHOOSE, BN_CLICKED), 0);
            during = CopiedPenColors(plot_.window);
        };
        colours.button = button;
        AnswerNextDialog(colours);
        DialogAnswer chooser;
        chooser.texts = {{kChooserRed, L"255"}, {kChooserGreen, L"0"}, {kChooserBlue, L"0"}};
        AnswerNextDialog(chooser);
        SendMessageW(plot_.window, UM_CUSTOMIZECOLORS, reinterpret_cast<WPARAM>(FrameWindow), 0);
        PumpMessages();
    }

    COLORREF original_ = 0;
};

}  // namespace

TEST_F(PlotColorsTest, ChosenColourDrawsAtOnceAndOkKeepsIt)
{
    std::set<COLORREF> during;
    ChooseRedThen(IDOK, during);
    EXPECT_EQ(TakeSeenDialogs().size(), 2u);
    EXPECT_EQ(PlotColors[1], kChosen);
    EXPECT_TRUE(during.count(kChosen)) << "the preview uses the new colour";
    EXPECT_TRUE(CopiedPenColors(plot_.window).count(kChosen));
}

TEST_F(PlotColorsTest, CancelRestoresTheColoursOfTheOpening)
{
    std::set<COLORREF> during;
    ChooseRedThen(IDCANCEL, during);
    EXPECT_TRUE(during.count(kChosen));
    EXPECT_EQ(PlotColors[1], original_);
    const std::set<COLORREF> after = CopiedPenColors(plot_.window);
    EXPECT_TRUE(after.count(original_));
    EXPECT_FALSE(after.count(kChosen));
}

TEST_F(PlotColorsTest, TitleBarCloseKeepsTheChosenColour)
{
    DialogAnswer colours;
    colours.inspect = [&](HWND dialog) {
        CheckRadioButton(dialog, IDC_COLOR_1, IDC_COLOR_BACKGROUND, IDC_COLOR_1);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COLOR_CHOOSE, BN_CLICKED), 0);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    };
    colours.button = IDC_SWATCH_1;  // a click on a swatch does nothing: the close decides
    AnswerNextDialog(colours);
    DialogAnswer chooser;
    chooser.texts = {{kChooserRed, L"255"}, {kChooserGreen, L"0"}, {kChooserBlue, L"0"}};
    AnswerNextDialog(chooser);
    EXPECT_EQ(CustomizeColors(), 0);
    PumpMessages();
    EXPECT_EQ(PlotColors[1], kChosen);
}

TEST_F(PlotColorsTest, CancelledChooserKeepsTheColour)
{
    DialogAnswer colours;
    colours.inspect = [&](HWND dialog) {
        CheckDlgButton(dialog, IDC_COLOR_BORDER, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COLOR_CHOOSE, BN_CLICKED), 0);
    };
    AnswerNextDialog(colours);  // the chooser finds no answer and is cancelled
    const COLORREF border = PlotColors[13];
    EXPECT_EQ(CustomizeColors(), 1);
    PumpMessages();
    EXPECT_EQ(PlotColors[13], border);
    EXPECT_EQ(TakeSeenDialogs().size(), 2u);
}
