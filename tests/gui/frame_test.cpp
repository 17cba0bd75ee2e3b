#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "multivariate/multivariate_project.h"
#include "shell/win32/plot_window.h"
#include "univariate/univariate_project.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/toolbar.h"

namespace {

class FrameTest : public FrameFixture {};

std::vector<std::wstring> TopLevelMenus(HMENU bar, std::vector<bool>* grayed)
{
    std::vector<std::wstring> names;
    for (int k = 0; k < GetMenuItemCount(bar); ++k) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, k, text, 64, MF_BYPOSITION);
        names.push_back(text);
        grayed->push_back((GetMenuState(bar, k, MF_BYPOSITION) & MF_GRAYED) != 0);
    }
    return names;
}

bool Grayed(HMENU bar, UINT id) { return (GetMenuState(bar, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

}  // namespace

TEST_F(FrameTest, StartsMaximisedWithUnivariateBar)
{
    EXPECT_EQ(WindowText(FrameWindow), L"KELO::Vesk");
    wchar_t cls[16] = {};
    GetClassNameW(FrameWindow, cls, 16);
    EXPECT_STREQ(cls, L"Vesk");
    EXPECT_TRUE(IsZoomed(FrameWindow));
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
    EXPECT_EQ(MenuInUse, 1);
    EXPECT_EQ(CurrentProject, 0);
    EXPECT_EQ(StatusText(0), L"NONE");
    EXPECT_EQ(GetParent(MdiClient), FrameWindow);
    // The toolbar takes the keyboard focus at creation; this also shows that focus works on the
    // virtual desktop the tests run on.
    EXPECT_EQ(GetForegroundWindow(), FrameWindow);
    EXPECT_EQ(GetFocus(), ToolbarHandle);
}

TEST_F(FrameTest, MenuBarsHaveTheirMenusInOrderWithStartStates)
{
    struct Bar {
        HMENU menu;
        std::vector<std::wstring> names;
        std::vector<bool> grayed;
    };
    const Bar bars[] = {
        {UnivariateMenu,
         {L"&File", L"&Transform", L"&Model", L"&Regression", L"Stat&istics", L"F&orecasting",
          L"&Smooth", L"Spe&ctrum", L"&Plot", L"&Window", L"&Help"},
         {false, true, true, true, true, true, true, true, true, true, false}},
        {MultivariateMenu,
         {L"&File", L"&Transform", L"&Model", L"F&orecasting", L"&Plot", L"&Window", L"&Help"},
         {false, false, false, false, true, true, false}},
    };
    for (const Bar& bar : bars) {
        std::vector<bool> grayed;
        EXPECT_EQ(TopLevelMenus(bar.menu, &grayed), bar.names);
        EXPECT_EQ(grayed, bar.grayed);
    }
    for (UINT id : {IDM_IMPORT_FILE, IDM_IMPORT_CLIPBOARD, IDM_EXPORT, IDM_PRINT, IDM_UNDO})
        EXPECT_TRUE(Grayed(UnivariateMenu, id)) << id;
    for (UINT id : {IDM_IMPORT_FILE, IDM_EXPORT, IDM_PRINT, IDM_MV_UNDO})
        EXPECT_TRUE(Grayed(MultivariateMenu, id)) << id;
    for (UINT id : {IDM_PROJECT_NEW, IDM_PROJECT_OPEN, IDM_EXIT, IDM_SPECIFY_MODEL, IDM_ABOUT})
        EXPECT_FALSE(Grayed(UnivariateMenu, id)) << id;
}

TEST_F(FrameTest, EveryCommandStandsInItsBarWithItsText)
{
    struct Item {
        UINT id;
        const wchar_t* univariate;    // null: not on the univariate bar
        const wchar_t* multivariate;  // null: not on the multivariate bar
    };
    const Item items[] = {
        {40005, L"&Print", L"&Print"}, {40006, L"&Export", L"&Export"}, {40008, L"E&xit", L"E&xit"},
        {40011, L"&Copy to Clipboard", L"&Copy to Clipboard"},
        {40013, L"&Contents", L"&Contents"}, {40015, L"&Help on Help", L"&Help on Help"},
        {40016, L"&About", L"&About"}, {40025, L"&Range", L"&Range"}, {40026, L"&Out", L"&Out"},
        {40027, L"Re&gion", L"Re&gion"}, {40041, L"&Duplicate", L"&Duplicate"},
        {40042, L"&Info", L"&Info"}, {40043, L"&Manual", L"&Manual"},
        {40044, L"&Difference", nullptr}, {40045, L"&Specify", nullptr},
        {40047, L"&Sample", nullptr}, {40048, L"&Model", nullptr},
        {40049, L"S&ample / Model", nullptr}, {40050, L"Specify &Lag", nullptr},
        {40051, L"&Spectrum", nullptr}, {40052, L"S&pectrum", nullptr},
        {40053, L"Model &and Periodogram", nullptr}, {40055, L"&Undo ", nullptr},
        {40056, L"&Box - Cox", nullptr}, {40061, L"&Subtract Mean", nullptr},
        {40064, L"&Default", nullptr}, {40065, L"&Set Bin Count", nullptr},
        {40066, L"&Classical", nullptr}, {40067, L"Subse&quence", nullptr},
        {40068, L"&Minimize ", L"&Minimize "}, {40069, L"&Close ", L"&Close "},
        {40070, L"Res&tore", L"Res&tore"}, {40072, L"Close &All", L"Close &All"},
        {40073, L"&Rename", L"&Rename"}, {40074, L"&Tile", L"&Tile"},
        {40075, L"&Cascade", L"&Cascade"}, {40077, L"", nullptr},
        {40078, L"&Preliminary", nullptr}, {40079, L"&Max likelihood", nullptr},
        {40082, L"&Plot", nullptr}, {40083, L"&Histogram", nullptr},
        {40084, L"&ACF/PACF", nullptr}, {40085, L"&Tests of Randomness", nullptr},
        {40086, L"&ARMA", nullptr}, {40087, L"S&imulate", nullptr},
        {40090, L"A&R/MA Infinity", nullptr}, {40091, L"&New", L"&New"},
        {40095, L"&Open", L"&Open"}, {40096, L"&Save", L"&Save"},
        {40097, L"Save &As", L"Save &As"}, {40098, L"&Import File", L"&Import"},
        {40105, L"S&witch to invertible", nullptr}, {40115, L"S&how Classical Fit", nullptr},
        {40117, L"Customize Co&lors", L"Customize Co&lors"}, {40118, L"A&RAR", nullptr},
        {40119, L"&Holt-Winters", nullptr}, {40120, L"&Seasonal Holt-Winters", nullptr},
        {40122, L"&Exponential ", nullptr}, {40123, L"&FFT", nullptr},
        {40124, L"&Moving Ave.", nullptr}, {40127, L"&Smoothed Periodogram", nullptr},
        {40128, L"&Log Spectrum", nullptr}, {40129, L"&Fisher Test", nullptr},
        {40131, L"&Model", nullptr}, {40132, L"&Periodogram", nullptr},
        {40133, L"&Both", nullptr}, {40138, nullptr, L"S&imulate"},
        {40139, nullptr, L"&Cross-ACF"}, {40140, nullptr, L"&Burg"},
        {40141, nullptr, L"&Yule-Walker"}, {40142, nullptr, L"&AR Model"},
        {40147, nullptr, L"&Difference"}, {40148, nullptr, L"&Undo "},
        {40149, nullptr, L"&Subtract Means"}, {40150, nullptr, L"&Trim"},
        {40151, L"Project E&ditor", L"Project E&ditor"},
        {40152, L"Import &Clipboard", L"Import &Clipboard"}, {40153, L"&Specify", nullptr},
        {40156, L"&Least Squares", nullptr}, {40157, L"&Generalized LS", nullptr},
        {40158, L"&Remove ", nullptr}, {40159, L"S&how fit", nullptr},
    };
    for (const Item& item : items) {
        const HMENU bars[2] = {UnivariateMenu, MultivariateMenu};
        const wchar_t* texts[2] = {item.univariate, item.multivariate};
        for (int b = 0; b < 2; ++b) {
            const bool present = GetMenuState(bars[b], item.id, MF_BYCOMMAND) != static_cast<UINT>(-1);
            EXPECT_EQ(present, texts[b] != nullptr) << item.id << " bar " << b;
            if (present && texts[b]) {
                EXPECT_EQ(MenuItemText(bars[b], item.id), texts[b]) << item.id;
            }
        }
    }
}

TEST_F(FrameTest, ToolbarHasTheSixFixedButtonsWithTips)
{
    ASSERT_EQ(SendMessageW(ToolbarHandle, TB_BUTTONCOUNT, 0, 0), kFixedToolbarButtons);
    const int commands[kFixedToolbarButtons] = {0, IDM_PROJECT_NEW, IDM_PROJECT_OPEN,
                                                IDM_PROJECT_SAVE, IDM_PROJECT_CLOSE, IDM_PRINT};
    for (int k = 0; k < kFixedToolbarButtons; ++k) {
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageW(ToolbarHandle, TB_GETBUTTON, k, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.fsStyle & BTNS_SEP, k == 0 ? BTNS_SEP : 0) << k;
        if (k > 0) {
            EXPECT_EQ(button.idCommand, commands[k]) << k;
        }
    }

    // Both tooltip notification forms resolve to the string table.
    struct Tip { UINT command; const wchar_t* text; };
    const Tip tips[] = {{IDM_PROJECT_NEW, L"New Project"}, {IDM_PROJECT_OPEN, L"Open Project"},
                        {IDM_PROJECT_SAVE, L"Save project"}, {IDM_PROJECT_CLOSE, L"Close Project"},
                        {IDM_PRINT, L"Print current window"}, {IDM_ACF_SAMPLE, L"Plot sample ACF/PACF "},
                        {IDM_REGRESSION_GLS, L"Generalized least squares"}, {IDM_DUPLICATE, L"Duplicate window."}};
    for (const Tip& tip : tips) {
        NMTTDISPINFOW wide{};
        wide.hdr.code = TTN_GETDISPINFOW;
        wide.hdr.idFrom = tip.command;
        SendMessageW(FrameWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
        wchar_t text[80] = {};
        LoadStringW(wide.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(wide.lpszText)), text, 80);
        EXPECT_STREQ(text, tip.text);

        NMTTDISPINFOA narrow{};
        narrow.hdr.code = TTN_GETDISPINFOA;
        narrow.hdr.idFrom = tip.command;
        SendMessageW(FrameWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&narrow));
        EXPECT_EQ(reinterpret_cast<UINT_PTR>(narrow.lpszText), reinterpret_cast<UINT_PTR>(wide.lpszText));
    }

    NMTTDISPINFOW none{};
    none.hdr.code = TTN_GETDISPINFOW;
    none.hdr.idFrom = IDM_EXIT;
    none.lpszText = none.szText;
    SendMessageW(FrameWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_EQ(none.lpszText, none.szText);
    EXPECT_EQ(none.szText[0], L'\0');
}

TEST_F(FrameTest, ToolbarNotificationsAnswerCustomisation)
{
    struct Case { HWND from; int code; LRESULT result; };
    const Case cases[] = {{ToolbarHandle, -706, 1}, {ToolbarHandle, -707, 1},
                          {ToolbarHandle, -708, 0}, {MdiClient, -706, 0}};
    for (const Case& c : cases) {
        NMHDR header{};
        header.hwndFrom = c.from;
        header.code = static_cast<UINT>(c.code);
        EXPECT_EQ(SendMessageW(FrameWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), c.result)
            << c.code;
    }
}

TEST_F(FrameTest, StatusBarPartsFollowTheWidth)
{
    {
        RECT mdi{}, status{};
        GetWindowRect(StatusBar, &status);
        GetWindowRect(MdiClient, &mdi);
        RECT client{};
        GetClientRect(FrameWindow, &client);
        MapWindowPoints(nullptr, FrameWindow, reinterpret_cast<POINT*>(&status), 2);
        MapWindowPoints(nullptr, FrameWindow, reinterpret_cast<POINT*>(&mdi), 2);
        EXPECT_EQ(status.bottom, client.bottom) << "maximised at start";
        EXPECT_EQ(mdi.bottom, status.top - 1) << "maximised at start";
    }
    ShowWindow(FrameWindow, SW_RESTORE);
    for (int width : {900, 641, 1203}) {
        SetWindowPos(FrameWindow, nullptr, 10, 10, width, 500, SWP_NOZORDER);
        PumpMessages();
        RECT client{};
        GetClientRect(FrameWindow, &client);
        int edges[3] = {};
        ASSERT_EQ(SendMessageW(StatusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
        EXPECT_EQ(edges[0], client.right / 3);
        EXPECT_EQ(edges[1], 2 * client.right / 3);
        EXPECT_EQ(edges[2], -1);
        // The client lies between the bars: from the toolbar's height less one down to just
        // above the status bar, which has its natural height from the first layout on.
        RECT mdi{}, status{}, tools{};
        GetWindowRect(StatusBar, &status);
        GetWindowRect(ToolbarHandle, &tools);
        GetWindowRect(MdiClient, &mdi);
        MapWindowPoints(nullptr, FrameWindow, reinterpret_cast<POINT*>(&mdi), 2);
        MapWindowPoints(nullptr, FrameWindow, reinterpret_cast<POINT*>(&status), 2);
        EXPECT_GT(status.bottom - status.top, 10);
        EXPECT_EQ(mdi.top, tools.bottom - tools.top - 1);
        EXPECT_EQ(mdi.bottom, status.top - 1);
    }
}

TEST_F(FrameTest, NoProjectResetsStatusBarAndToolbar)
{
    TBBUTTON extra{};
    extra.idCommand = IDM_INFO;
    extra.fsState = TBSTATE_ENABLED;
    SendMessageW(ToolbarHandle, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&extra));
    SendMessageW(ToolbarHandle, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&extra));
    UpdateToolbar(0);
    EXPECT_EQ(SendMessageW(ToolbarHandle, TB_BUTTONCOUNT, 0, 0), kFixedToolbarButtons);
    UpdateStatusBar(0);
    EXPECT_EQ(StatusText(0), L"No project open");
    EXPECT_EQ(StatusText(1), L" ");
    EXPECT_EQ(StatusText(2), L" ");
}

TEST_F(FrameTest, WindowMenuListsMdiChildren)
{
    WNDCLASSW child{};
    child.lpfnWndProc = DefMDIChildProcW;
    child.hInstance = GetModuleHandleW(nullptr);
    child.lpszClassName = L"VeskTestChild";
    RegisterClassW(&child);
    HMENU windowMenu = WindowMenuOf(UnivariateMenu);
    const int before = GetMenuItemCount(windowMenu);
    MDICREATESTRUCTW create{};
    create.szClass = L"VeskTestChild";
    create.szTitle = L"Child";
    create.hOwner = GetModuleHandleW(nullptr);
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    HWND window = reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    ASSERT_NE(window, nullptr);
    PumpMessages();
    EXPECT_GT(GetMenuItemCount(windowMenu), before);
    EXPECT_EQ(MenuItemText(windowMenu, IDM_FIRSTCHILD), L"&1 Child");
    SendMessageW(MdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
}

namespace {

// The access key of a menu text: the character after a single '&' ("&&" shows an '&'), upper
// case; 0 when it has none.
wchar_t AccessKey(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return static_cast<wchar_t>(towupper(text[i + 1]));
        ++i;
    }
    return 0;
}

// Every item of `menu` and of its submenus that has a text has an access key, and no two items
// of one menu share one.
void ExpectOneItemPerLetter(HMENU menu, const std::wstring& path)
{
    std::map<wchar_t, std::wstring> taken;
    for (int k = 0; k < GetMenuItemCount(menu); ++k) {
        wchar_t buffer[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(k), buffer, 256, MF_BYPOSITION);
        const std::wstring text = buffer;
        if (HMENU sub = GetSubMenu(menu, k)) ExpectOneItemPerLetter(sub, path + L" > " + text);
        if (text.empty()) continue;  // separators, and the untitled item of Model > Estimation
        const wchar_t key = AccessKey(text);
        EXPECT_NE(key, 0) << testing::PrintToString(path + L" > " + text) << " has no access key";
        if (key == 0) continue;
        const auto [other, added] = taken.emplace(key, text);
        EXPECT_TRUE(added) << testing::PrintToString(path) << ": " << testing::PrintToString(text) << " and "
                           << testing::PrintToString(other->second) << " share one access key";
    }
}

void ExpectOneItemPerLetterOnBothBars()
{
    ExpectOneItemPerLetter(UnivariateMenu, L"univariate bar");
    ExpectOneItemPerLetter(MultivariateMenu, L"multivariate bar");
}

// The top-level menu that Alt+`key` opens.
std::wstring MenuOfKey(HMENU bar, wchar_t key)
{
    for (int k = 0; k < GetMenuItemCount(bar); ++k) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(k), text, 64, MF_BYPOSITION);
        if (AccessKey(text) == key) return text;
    }
    return L"";
}

}  // namespace

// Within each menu of both bars every letter leads to one item, Alt+H opens Help, and the Undo
// items keep their letter when transforms rewrite them.
TEST_F(FrameTest, EveryAccessKeyLeadsToOneItemOfItsMenu)
{
    ExpectOneItemPerLetterOnBothBars();
    EXPECT_EQ(MenuOfKey(UnivariateMenu, L'H'), L"&Help");
    EXPECT_EQ(MenuOfKey(MultivariateMenu, L'H'), L"&Help");

    std::vector<double> values;
    for (int t = 1; t <= 30; ++t) values.push_back(std::sin(0.7 * t) + 0.1 * t);
    NewUnivariateProject(values);
    AnswerNextDialog(Press(IDOK, {{IDC_DIFFERENCE_LAG, L"1"}}));
    SendCommand(IDM_DIFFERENCE);
    EXPECT_EQ(AccessKey(MenuItemText(UnivariateMenu, IDM_UNDO)), L'U') << testing::PrintToString(MenuItemText(UnivariateMenu, IDM_UNDO));

    ASSERT_EQ(NewProjectOfKind(2), 2);
    std::vector<double> table;
    for (int t = 1; t <= 20; ++t) table.insert(table.end(), {1.0 * t, 2.0 * t * t});
    ASSERT_EQ(MultivarSetData(*ProjectTable[2].multivariate, table, 2, 20, 1), 1);
    AnswerNextDialog(Press(IDOK, {{IDC_DIFFERENCE_LAG, L"1"}}));
    SendCommand(IDM_MV_DIFFERENCE);
    EXPECT_EQ(AccessKey(MenuItemText(MultivariateMenu, IDM_MV_UNDO)), L'U')
        << testing::PrintToString(MenuItemText(MultivariateMenu, IDM_MV_UNDO));
    // With the projects' windows listed in the Window menu.
    ExpectOneItemPerLetterOnBothBars();
}

// Window > Tile and Window > Cascade through the frame, with a project's views and more plot
// windows than Cascade can step down the client at full step: Tile shows every window whole;
// Cascade keeps every window inside the client with the title of each uncovered, and the active
// window, in front, whole.
TEST_F(FrameTest, TileAndCascadeKeepEveryWindowInTheClient)
{
    std::vector<double> values;
    for (int t = 1; t <= 60; ++t) values.push_back(100 + 10 * std::sin(0.4 * t));
    UnivariateProject& u = NewUnivariateProject(values);
    SetFocus(reinterpret_cast<HWND>(u.dataView.window));
    PumpMessages();
    SendCommand(IDM_INFO);
    for (UINT view : {IDM_ACF_SAMPLE, IDM_HISTOGRAM, IDM_SPECTRUM_PERIODOGRAM, IDM_RESIDUAL_PLOT}) SendCommand(view);
    // Plots whose tick labels are wide (11000.) or negative (-0.150): after Tile their windows are
    // small, and the picture shows each label whole or not at all.
    std::vector<PlotRecord> extra(15);
    for (size_t k = 0; k < extra.size(); ++k) {
        PlotRecord& plot = extra[k];
        ASSERT_EQ(CreatePlotWindow(plot, 1), 1);
        const std::vector<double> y = k % 2 == 0 ? std::vector<double>{9000, 11000, 10000, 10500}
                                                 : std::vector<double>{-0.18, 0.05, -0.15, 0.02};
        ASSERT_EQ(SetCurveY(plot, 1, y, 1, 4), 1);
        AutoscalePlot(plot);
    }
    PumpMessages();
    std::vector<HWND> windows;
    for (HWND child = GetWindow(MdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && !GetWindow(child, GW_OWNER)) windows.push_back(child);
    ASSERT_EQ(windows.size(), 21u);  // data window, its report, four views, fifteen plots
    HWND active = reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0));

    SendCommand(IDM_TILE);
    for (HWND window : windows) EXPECT_TRUE(ShownInClient(window)) << testing::PrintToString(WindowText(window));
    EXPECT_TRUE(SaveScreenshot(FrameWindow, "window-tile"));

    SendCommand(IDM_CASCADE);
    const int title = GetSystemMetrics(SM_CYCAPTION);
    for (HWND window : windows)
        EXPECT_TRUE(ShownInClient(window, title)) << testing::PrintToString(WindowText(window));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), active);
    EXPECT_TRUE(ShownInClient(active));
    EXPECT_TRUE(SaveScreenshot(FrameWindow, "window-cascade"));
    for (PlotRecord& plot : extra) DestroyPlotWindow(plot);
}

TEST_F(FrameTest, ExitDestroysFrameAndQuitsWithZero)
{
    SendCommand(IDM_EXIT);
    EXPECT_FALSE(IsWindow(FrameWindow));
    EXPECT_EQ(QuitCode(), 0);
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

TEST_F(FrameTest, UnknownCommandsGoToTheDefaultProcedure)
{
    for (UINT id : {UINT(IDM_MV_SIMULATE), UINT(IDM_MV_CROSS_ACF), UINT(IDM_ESTIMATION_BLANK), 12345u})
        EXPECT_EQ(SendCommand(id), 0) << id;
    EXPECT_TRUE(IsWindow(FrameWindow));
    EXPECT_TRUE(TakeSeenDialogs().empty());
}
