#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "gui_harness.h"
#include "platform/file_bytes.h"
#include "multivariate/multivariate_project.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_colors.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/toolbar.h"
#include "univariate/univariate_project.h"

namespace {

class ProjectCommandsTest : public FrameFixture {
protected:
    static void PutClipboardText(const char* text)
    {
        ASSERT_TRUE(OpenClipboard(FrameWindow));
        EmptyClipboard();
        if (text) {
            const size_t size = strlen(text) + 1;
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
            memcpy(GlobalLock(memory), text, size);
            GlobalUnlock(memory);
            SetClipboardData(CF_TEXT, memory);
        }
        CloseClipboard();
    }

    static HWND DataWindowOf(int32_t slot)
    {
        const ProjectSlot& entry = ProjectTable[slot];
        return reinterpret_cast<HWND>(entry.kind == PROJECT_UNIVARIATE ? entry.univariate->dataView.window
                                                                       : entry.multivariate->seriesView.window);
    }

    static int ToolbarButtons() { return static_cast<int>(SendMessageW(ToolbarHandle, TB_BUTTONCOUNT, 0, 0)); }
    static bool Grayed(HMENU bar, UINT id) { return (GetMenuState(bar, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    static bool TopGrayed(HMENU bar, int position)
    {
        return (GetMenuState(bar, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED) != 0;
    }
};

}  // namespace

TEST_F(ProjectCommandsTest, NewProjectsOfEachKind)
{
    NewProjectOfKind(1);
    ASSERT_EQ(CurrentProject, 1);
    UnivariateProject* u = ProjectTable[1].univariate;
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(WindowText(reinterpret_cast<HWND>(u->dataView.window)), L"New Univariate Project");
    EXPECT_EQ(ToolbarButtons(), kFixedToolbarButtons + 25);
    EXPECT_EQ(StatusText(0), L"New Univariate Project");
    EXPECT_EQ(StatusText(1), L"None");
    EXPECT_EQ(StatusText(2), L" ");
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
    // Without data: Print, Export, Transform... grayed; Model > Specify, Simulate and Spectrum > Model usable.
    for (UINT id : {UINT(IDM_PRINT), UINT(IDM_EXPORT), UINT(IDM_PRELIMINARY), UINT(IDM_SPECTRUM_PERIODOGRAM)})
        EXPECT_TRUE(Grayed(UnivariateMenu, id)) << id;
    for (UINT id : {UINT(IDM_SPECIFY_MODEL), UINT(IDM_SIMULATE), UINT(IDM_SPECTRUM_MODEL), UINT(IDM_IMPORT_FILE)})
        EXPECT_FALSE(Grayed(UnivariateMenu, id)) << id;
    EXPECT_TRUE(TopGrayed(UnivariateMenu, 1));   // Transform
    EXPECT_FALSE(TopGrayed(UnivariateMenu, 2));  // Model
    EXPECT_FALSE(TopGrayed(UnivariateMenu, 7));  // Spectrum

    NewProjectOfKind(2);
    ASSERT_EQ(CurrentProject, 2);
    MultivariateProject* m = ProjectTable[2].multivariate;
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(WindowText(reinterpret_cast<HWND>(m->seriesView.window)), L"New Multivariate Project");
    EXPECT_EQ(GetMenu(FrameWindow), MultivariateMenu);
    EXPECT_EQ(MenuInUse, 2);
    EXPECT_EQ(ToolbarButtons(), kFixedToolbarButtons + 7);
    EXPECT_EQ(StatusText(1), L"# of series = 0");
    EXPECT_EQ(StatusText(2), L"Length of series = 0");

    // Activating the univariate project's window swaps the bar back.
    SetFocus(reinterpret_cast<HWND>(u->dataView.window));
    PumpMessages();
    EXPECT_EQ(CurrentProject, 1);
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
    EXPECT_EQ(ToolbarButtons(), kFixedToolbarButtons + 25);
    EXPECT_TRUE(TakeSeenDialogs().size() == 2u);
}

TEST_F(ProjectCommandsTest, CancelledNewAndTheEleventhProjectChangeNothing)
{
    NewProjectOfKind(1);
    AnswerWith(IDCANCEL);
    SendCommand(IDM_PROJECT_NEW);
    EXPECT_EQ(LastProjectSlot(), 1);
    EXPECT_EQ(CurrentProject, 1);

    for (int k = 2; k <= 10; ++k) NewProjectOfKind(k % 2 == 0 ? 2 : 1);
    ASSERT_EQ(LastProjectSlot(), 10);
    TakeSeenDialogs();
    AnswerWith(IDOK);
    SendCommand(IDM_PROJECT_NEW);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"KELO::Error");
    EXPECT_EQ(seen[0].message, L"Maximum allowable projects exceeded");
    EXPECT_EQ(CurrentProject, 10);
}

TEST_F(ProjectCommandsTest, CloseAsksAndMakesTheHighestRemainingCurrent)
{
    NewProjectOfKind(1);
    NewProjectOfKind(2);
    NewProjectOfKind(1);
    // Activated 3, 1, 2: after 2 the MDI client's next window is 1's, not the highest slot's.
    const wchar_t* titles[] = {L"", L"First", L"Second", L"Third"};
    for (int32_t slot : {3, 1, 2}) {
        SetWindowTextW(DataWindowOf(slot), titles[slot]);
        SetFocus(DataWindowOf(slot));
        PumpMessages();
    }
    ASSERT_EQ(CurrentProject, 2);
    TakeSeenDialogs();

    AnswerWith(IDNO);
    SendCommand(IDM_PROJECT_CLOSE);
    EXPECT_EQ(ProjectTable[2].kind, PROJECT_MULTIVARIATE);
    AnswerWith(IDYES);
    SendCommand(IDM_PROJECT_CLOSE);
    std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, L"Close current project ?");
    EXPECT_EQ(seen[0].caption, L"KELO");
    EXPECT_EQ(ProjectTable[2].kind, PROJECT_FREE);
    EXPECT_EQ(CurrentProject, 3);
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
    // What is active is what the commands act on.
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), DataWindowOf(3));
    EXPECT_EQ(StatusText(0), L"Third");
    EXPECT_TRUE(SaveScreenshot(FrameWindow, "frame-after-close"));

    AnswerWith(IDYES);
    SendCommand(IDM_PROJECT_CLOSE);
    AnswerWith(IDYES);
    SendCommand(IDM_PROJECT_CLOSE);
    EXPECT_EQ(CurrentProject, 0);
    EXPECT_EQ(StatusText(0), L"No project open");
    EXPECT_EQ(StatusText(1), L" ");
    EXPECT_EQ(ToolbarButtons(), kFixedToolbarButtons);
    EXPECT_TRUE(Grayed(UnivariateMenu, IDM_IMPORT_FILE));
    EXPECT_TRUE(TopGrayed(UnivariateMenu, 2));
}

TEST_F(ProjectCommandsTest, CloseAllAsksItsQuestion)
{
    NewProjectOfKind(1);
    NewProjectOfKind(2);
    TakeSeenDialogs();
    AnswerWith(IDNO);
    SendCommand(IDM_CLOSE_ALL);
    EXPECT_EQ(LastProjectSlot(), 2);
    AnswerWith(IDYES);
    SendCommand(IDM_CLOSE_ALL);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, L"Close all projects ?");
    EXPECT_EQ(LastProjectSlot(), 0);
    EXPECT_EQ(CurrentProject, 0);
    EXPECT_EQ(StatusText(0), L"No project open");
    EXPECT_EQ(ToolbarButtons(), kFixedToolbarButtons);
}

TEST_F(ProjectCommandsTest, ClosingADataWindowClosesItsOwnProject)
{
    NewProjectOfKind(1);
    NewProjectOfKind(1);
    ASSERT_EQ(CurrentProject, 2);
    HWND first = reinterpret_cast<HWND>(ProjectTable[1].univariate->dataView.window);
    TakeSeenDialogs();
    AnswerWith(IDYES);
    SendMessageW(first, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(ProjectTable[1].kind, PROJECT_FREE);
    EXPECT_EQ(ProjectTable[2].kind, PROJECT_UNIVARIATE);
    EXPECT_EQ(CurrentProject, 2);
    EXPECT_FALSE(IsWindow(first));
}

TEST_F(ProjectCommandsTest, ViewCommandsWithoutAFocusedViewDoNothing)
{
    SetFocus(FrameWindow);
    for (UINT id : {UINT(IDM_PRINT), UINT(IDM_COPY_TO_CLIPBOARD), UINT(IDM_DUPLICATE), UINT(IDM_INFO),
                    UINT(IDM_ZOOM_MANUAL), UINT(IDM_CUSTOMIZE_COLORS)})
        EXPECT_EQ(SendCommand(id), 0) << id;
    EXPECT_EQ(CommandTarget, nullptr);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    SendCommand(IDM_ZOOM_REGION);
    EXPECT_EQ(ZoomMode, 1);
    SendCommand(IDM_ZOOM_RANGE);
    EXPECT_EQ(ZoomMode, 2);
}

TEST_F(ProjectCommandsTest, ImportClipboardFillsTheCurrentProjectOfEitherKind)
{
    NewProjectOfKind(1);
    PutClipboardText("1.5\r\n2.5\r\n-3\r\n4");
    SendCommand(IDM_IMPORT_CLIPBOARD);
    const UnivariateProject& u = *ProjectTable[1].univariate;
    EXPECT_EQ(u.series, (std::vector<double>{1.5, 2.5, -3, 4}));
    // The menus now show the with-data state.
    EXPECT_FALSE(Grayed(UnivariateMenu, IDM_PRINT));
    EXPECT_FALSE(Grayed(UnivariateMenu, IDM_PRELIMINARY));
    EXPECT_FALSE(TopGrayed(UnivariateMenu, 1));

    NewProjectOfKind(2);
    PutClipboardText("1\t2\r\n3\t4\r\n5\t6");
    SendCommand(IDM_IMPORT_CLIPBOARD);
    const MultivariateData& data = *ProjectTable[2].multivariate->data;
    EXPECT_EQ(data.m, 2);
    EXPECT_EQ(data.n, 3);
    EXPECT_EQ(data.at(2, 3), 6);
    EXPECT_EQ(StatusText(1), L"# of series = 2");
    EXPECT_EQ(StatusText(2), L"Length of series = 3");
    EXPECT_FALSE(TopGrayed(MultivariateMenu, 1));  // Transform

    TakeSeenDialogs();
    PutClipboardText(nullptr);
    AnswerWith(IDOK);
    SendCommand(IDM_IMPORT_CLIPBOARD);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Import from clipboard");
    EXPECT_EQ(seen[0].message, L"Clipboard empty");
    EXPECT_EQ(seen[0].owner, FrameWindow);
    EXPECT_EQ(data.m, 2);  // the project keeps its data
}

// Paste reads a table's columns as the table files do, and refuses, with its line, a row of
// another length or a dated first column; a refused paste leaves the project as it was.
TEST_F(ProjectCommandsTest, PasteReadsColumnsAsTheFilesDoAndNamesTheLineItRefuses)
{
    NewProjectOfKind(2);
    const MultivariateData& data = *ProjectTable[1].multivariate->data;
    const struct {
        const char* text;
        int32_t m;
        int32_t n;
        double last;  // series m at time n
    } read[] = {
        {"1 2 3\r\n4 5 6\r\n", 3, 2, 6},  // blank-separated columns: once one series of 1 and 4
        {"1\t2\t\r\n4\t5\r\n", 2, 2, 5},  // a trailing TAB: once a third series of zeros
    };
    TakeSeenDialogs();
    for (const auto& c : read) {
        PutClipboardText(c.text);
        SendCommand(IDM_IMPORT_CLIPBOARD);
        EXPECT_TRUE(TakeSeenDialogs().empty()) << c.text;
        EXPECT_EQ(data.m, c.m) << c.text;
        EXPECT_EQ(data.n, c.n) << c.text;
        EXPECT_EQ(data.at(c.m, c.n), c.last) << c.text;
    }

    const struct {
        int32_t slot;  // 1 the multivariate project, 2 the univariate one
        const char* text;
        const wchar_t* message;
    } refused[] = {
        {1, "1\t2\r\n3\t4\t5\r\n", L"Line 2 has more numbers than the first line"},
        {1, "1990-01,123.4\r\n1990-02,125.1\r\n", L"Line 1 holds a date or a fraction where a number should stand"},
        {2, "1990-01,123.4\r\n1990-02,125.1\r\n", L"Line 1 holds a date or a fraction where a number should stand"},
    };
    NewProjectOfKind(1);
    const UnivariateProject& u = *ProjectTable[2].univariate;
    PutClipboardText("7\r\n8\r\n");
    SendCommand(IDM_IMPORT_CLIPBOARD);
    for (const auto& c : refused) {
        SelectProject(c.slot);
        PutClipboardText(c.text);
        TakeSeenDialogs();
        AnswerWith(IDOK);
        SendCommand(IDM_IMPORT_CLIPBOARD);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 1u) << c.text;
        EXPECT_EQ(seen[0].caption, L"Import from clipboard");
        EXPECT_EQ(seen[0].message, c.message);
    }
    EXPECT_EQ(data.m, 2);
    EXPECT_EQ(data.n, 2);
    EXPECT_EQ(u.series, (std::vector<double>{7, 8}));
}

TEST_F(ProjectCommandsTest, OpenCancelledLeavesAnEmptyProjectAndSaveOfAMultivariateDoesNothing)
{
    NewProjectOfKind(2);
    TakeSeenDialogs();
    SendCommand(IDM_PROJECT_SAVE);
    SendCommand(IDM_PROJECT_SAVE_AS);
    SendCommand(IDM_PROJECT_RENAME);
    EXPECT_TRUE(TakeSeenDialogs().empty());

    AnswerNextDialog({});  // the project kind: univariate
    AnswerWith(IDCANCEL);   // the file dialog
    SendCommand(IDM_PROJECT_OPEN);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, L"Open file");
    EXPECT_EQ(ProjectTable[1].kind, PROJECT_MULTIVARIATE);
    ASSERT_EQ(ProjectTable[2].kind, PROJECT_UNIVARIATE);
    EXPECT_FALSE(ProjectTable[2].univariate->hasData());
    EXPECT_EQ(CurrentProject, 2);
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
}

namespace {

// Project commands with files in a scratch folder, on projects whose data came from the
// clipboard and so have changes no file holds.
class ProjectFileCommandsTest : public ProjectCommandsTest {
protected:
    void SetUp() override
    {
        ProjectCommandsTest::SetUp();
        folder_ = std::filesystem::temp_directory_path() / ("vesk-commands-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        ProjectCommandsTest::TearDown();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    // A univariate project titled `title` holding the clipboard's `values`; returns its slot.
    static int32_t ChangedProject(const char* values, const wchar_t* title)
    {
        const int32_t slot = NewProjectOfKind(1);
        PutClipboardText(values);
        SendCommand(IDM_IMPORT_CLIPBOARD);
        SetWindowTextW(DataWindowOf(slot), title);
        EXPECT_EQ(ProjectTable[slot].univariate->changed, 1);
        return slot;
    }
    std::wstring Path(const std::string& name) const { return (folder_ / name).wstring(); }

    std::filesystem::path folder_;
};

}  // namespace

TEST_F(ProjectFileCommandsTest, CloseOfAChangedProjectAsksToSaveAndClosesOnlyWhenSavedOrDropped)
{
    struct Case {
        const char* name;
        int button;
        const char* saveAs;  // the file Save As is answered with; "" cancels it; null: not asked
        bool closed;
    } const cases[] = {
        {"No closes without saving", IDNO, nullptr, true},
        {"Cancel keeps the project", IDCANCEL, nullptr, false},
        {"Yes saves through Save As, then closes", IDYES, "kept.kdx", true},
        {"Yes with Save As cancelled keeps the project", IDYES, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DestroyTestFrame();
        ASSERT_NE(CreateTestFrame(), nullptr);
        const int32_t other = NewProjectOfKind(1);
        const int32_t slot = ChangedProject("1.5\r\n2.5\r\n-3", L"Sales");
        TakeSeenDialogs();
        AnswerWith(c.button);
        if (c.saveAs && *c.saveAs) AnswerFileDialog(Path(c.saveAs), L"Save KELO file");
        if (c.saveAs && !*c.saveAs) AnswerWith(IDCANCEL);
        SendCommand(IDM_PROJECT_CLOSE);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), c.saveAs ? 2u : 1u);
        EXPECT_EQ(seen[0].message, L"Save changes to Sales?");
        EXPECT_EQ(seen[0].caption, L"KELO");
        EXPECT_EQ(seen[0].owner, FrameWindow);
        EXPECT_EQ(ProjectTable[slot].kind == PROJECT_FREE, c.closed);
        EXPECT_EQ(std::filesystem::exists(folder_ / "kept.kdx"), c.saveAs && *c.saveAs);
        if (c.closed) {
            EXPECT_EQ(CurrentProject, other);
        } else {
            EXPECT_EQ(CurrentProject, slot);
            EXPECT_EQ(ProjectTable[slot].univariate->changed, 1);
        }
        std::error_code error;
        std::filesystem::remove(folder_ / "kept.kdx", error);
    }
}

TEST_F(ProjectFileCommandsTest, CloseAllAndExitAskAboutEachChangedProjectAndStopAtCancel)
{
    const int32_t sales = ChangedProject("1\r\n2", L"Sales");
    const int32_t empty = NewProjectOfKind(1);  // never held data: nothing to ask
    const int32_t rates = ChangedProject("3\r\n4", L"Rates");
    TakeSeenDialogs();

    for (int button : {IDYES, IDNO, IDCANCEL}) AnswerWith(button);
    SendCommand(IDM_CLOSE_ALL);
    std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, L"Close all projects ?");
    EXPECT_EQ(seen[1].message, L"Save changes to Sales?");
    EXPECT_EQ(seen[2].message, L"Save changes to Rates?");
    for (int32_t slot : {sales, empty, rates}) EXPECT_EQ(ProjectTable[slot].kind, PROJECT_UNIVARIATE) << slot;

    // File > Exit: Cancel at the second project, and the program goes on.
    AnswerWith(IDNO);
    AnswerWith(IDCANCEL);
    SendCommand(IDM_EXIT);
    EXPECT_EQ(TakeSeenDialogs().size(), 2u);
    EXPECT_TRUE(IsWindow(FrameWindow));
    EXPECT_EQ(QuitCode(), -1);

    AnswerWith(IDNO);
    AnswerWith(IDNO);
    SendCommand(IDM_EXIT);
    seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, L"Save changes to Rates?");
    EXPECT_FALSE(IsWindow(FrameWindow));
    EXPECT_EQ(QuitCode(), 0);
}

// Exit with a changed project answered Yes leads to the Save dialog, which opens inside the frame
// even when the project's data window, its owner, lies at the bottom right corner of a frame that
// does not fill the screen.
TEST_F(ProjectFileCommandsTest, TheSaveDialogReachedFromExitOpensInsideTheFrame)
{
    const int32_t slot = ChangedProject("1\r\n2", L"Sales");
    ShowWindow(FrameWindow, SW_RESTORE);
    SetWindowPos(FrameWindow, nullptr, 40, 30, 900, 700, SWP_NOZORDER);
    PumpMessages();
    HWND data = DataWindowOf(slot);
    RECT client{};
    GetClientRect(MdiClient, &client);
    SetWindowPos(data, nullptr, client.right - 260, client.bottom - 180, 260, 180, SWP_NOZORDER);
    PumpMessages();
    TakeSeenDialogs();
    AnswerWith(IDYES);
    bool inside = false;
    DialogAnswer file;
    file.button = IDCANCEL;
    file.inspect = [&inside](HWND dialog) {
        RECT box{}, frame{}, shown{};
        GetWindowRect(dialog, &box);
        GetWindowRect(FrameWindow, &frame);
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&shown, &frame, &screen);
        inside = box.left >= shown.left && box.top >= shown.top && box.right <= shown.right && box.bottom <= shown.bottom;
        EXPECT_TRUE(inside) << box.left << "," << box.top << " - " << box.right << "," << box.bottom;
    };
    AnswerNextDialog(file);
    SendCommand(IDM_EXIT);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, L"Save changes to Sales?");
    EXPECT_EQ(seen[1].caption, L"Save KELO file");
    EXPECT_TRUE(inside);
    EXPECT_TRUE(IsWindow(FrameWindow));  // the save was cancelled, so vesk goes on
}

TEST_F(ProjectFileCommandsTest, ChangedColoursMarkEveryProjectWithData)
{
    const int32_t saved = ChangedProject("1\r\n2\r\n3", L"Sales");
    AnswerFileDialog(Path("sales.kdx"), L"Save KELO file");
    SendCommand(IDM_PROJECT_SAVE);
    ASSERT_EQ(ProjectTable[saved].univariate->changed, 0);
    const int32_t empty = NewProjectOfKind(1);

    bool opened = false;
    DialogAnswer colours;
    colours.inspect = [&](HWND dialog) {
        opened = true;
        CheckRadioButton(dialog, IDC_COLOR_1, IDC_COLOR_BACKGROUND, IDC_COLOR_1);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COLOR_CHOOSE, BN_CLICKED), 0);
    };
    AnswerNextDialog(colours);
    DialogAnswer chooser;  // the colour chooser's red, green and blue edits
    chooser.texts = {{706, L"255"}, {707, L"0"}, {708, L"0"}};
    AnswerNextDialog(chooser);
    EXPECT_EQ(CustomizeColors(), 1);
    SetDefaultPlotColors();
    EXPECT_TRUE(opened);
    EXPECT_EQ(ProjectTable[saved].univariate->changed, 1);
    EXPECT_EQ(ProjectTable[empty].univariate->changed, 0);
}

TEST_F(ProjectFileCommandsTest, OpenOfAFileWithoutNumbersSaysSoAndLeavesNoNewProject)
{
    ASSERT_EQ(ReplaceFileBytes((folder_ / "empty.txt").u8string(), {}), 1);
    const int32_t first = ChangedProject("1\r\n2", L"Sales");
    NewProjectOfKind(2);
    SetFocus(DataWindowOf(first));
    PumpMessages();
    ASSERT_EQ(CurrentProject, first);
    TakeSeenDialogs();

    AnswerNextDialog({});  // the project kind: univariate
    AnswerFileDialog(Path("empty.txt"), L"Open file");
    AnswerNextDialog({});  // the message
    SendCommand(IDM_PROJECT_OPEN);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].message, L"No numbers in file " + Path("empty.txt"));
    EXPECT_EQ(LastProjectSlot(), 2);
    EXPECT_EQ(ProjectTable[3].kind, PROJECT_FREE);
    EXPECT_EQ(CurrentProject, first);
    EXPECT_EQ(GetMenu(FrameWindow), UnivariateMenu);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(MdiClient, WM_MDIGETACTIVE, 0, 0)), DataWindowOf(first));
}
