#include "univariate/win32/project_lifecycle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "gui_harness.h"

#include <commctrl.h>

#include "platform/file_bytes.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/win32/clipboard_transfer.h"
#include "shell/win32/common_dialogs.h"
#include "shell/win32/frame.h"
#include "platform/win32/wide_text.h"
#include "univariate/project_file.h"

namespace {

// A project record whose data window is a plain MDI child of the test frame.
class ProjectLifecycleTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(CreateTestFrame(), nullptr);
        TakeSeenDialogs();
        WNDCLASSW cls = {};
        cls.lpfnWndProc = DefMDIChildProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"VeskLifecycleTestChild";
        RegisterClassW(&cls);
        folder = std::filesystem::temp_directory_path() / ("vesk-lifecycle-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        projects.clear();
        DestroyTestFrame();
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
    UnivariateProject& NewProject()
    {
        projects.push_back(std::make_unique<UnivariateProject>());
        UnivariateProject& project = *projects.back();
        VeskInit(project);
        project.inUse = 1;
        HWND window = CreateMDIWindowW(L"VeskLifecycleTestChild", L"New Univariate Project", 0, CW_USEDEFAULT,
                                       CW_USEDEFAULT, 300, 200, MdiClient, GetModuleHandleW(nullptr), 0);
        project.dataView.window = reinterpret_cast<HWND__*>(window);
        return project;
    }
    std::wstring Path(const std::string& name) const { return (folder / name).wstring(); }
    std::string PathUtf8(const std::string& name) const { return (folder / name).u8string(); }
    static HWND Window(HWND__* window) { return reinterpret_cast<HWND>(window); }

    std::filesystem::path folder;
    std::vector<std::unique_ptr<UnivariateProject>> projects;
};

}  // namespace

TEST_F(ProjectLifecycleTest, OpenReadsAFixtureThroughTheFileDialog)
{
    std::vector<unsigned char> fixture;
    for (int32_t v : {9923, 12, 1, 9924, 36, 3}) AppendInt32(fixture, v);
    for (double v : {1.5, 2.5, -4.0}) AppendDouble(fixture, v);
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("parts.kdx"), fixture), 1);

    UnivariateProject& project = NewProject();
    AnswerFileDialog(Path("parts.kdx"), L"Open file");
    ASSERT_EQ(VeskImportFile(project), 1);
    EXPECT_EQ(project.series, (std::vector<double>{1.5, 2.5, -4.0}));
    EXPECT_EQ(project.originalSeries, project.series);
    EXPECT_EQ(project.lastIndex, 3);
    EXPECT_EQ(WindowText(Window(project.dataView.window)), Path("parts.kdx"));
    EXPECT_EQ(StatusText(0), Path("parts.kdx").substr(0, 127));
    EXPECT_EQ(StatusText(1), L"None");
    EXPECT_EQ(project.hasFileName, 0);  // a multi-part file is never rewritten in another format

    // Save then asks for a name instead of writing over the multi-part file; cancelled.
    EXPECT_EQ(VeskSave(project), 0);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, L"Save KELO file");
    EXPECT_FALSE(seen[1].expected);
    std::vector<unsigned char> after;
    ASSERT_EQ(ReadFileBytes(PathUtf8("parts.kdx"), after), 1);
    EXPECT_EQ(after, fixture);
}

TEST_F(ProjectLifecycleTest, UnreadableFilesLeaveTheProjectAsItWas)
{
    std::vector<unsigned char> cut;
    AppendInt32(cut, kUnivariateFileMagic);
    AppendInt32(cut, 5);
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("cut.kdx"), cut), 1);
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("words.txt"), {'a', 'b', '\r', '\n'}), 1);
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("empty.txt"), {}), 1);
    const std::string dated = "1990-01,123.4\r\n1990-02,125.1\r\n1990-03,119.8\r\n";  // once 199, 19.9, 1.99
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("dated.csv"), {dated.begin(), dated.end()}), 1);

    UnivariateProject& project = NewProject();
    ASSERT_EQ(VeskImportData(project, {7, 8}), 1);
    project.changed = 0;
    struct Case {
        const char* file;
        const wchar_t* caption;
        std::wstring message;
    } const cases[] = {
        {"cut.kdx", L"VeskRead()", L"Cannot read file: it is cut short"},
        {"words.txt", L"ReadRawData()", L"Line 1 holds text where a number should stand. No values were read."},
        {"empty.txt", L"VeskRead()", L"No numbers in file " + Path("empty.txt")},
        {"dated.csv", L"ReadRawData()",
         L"Line 1 holds a date or a fraction where a number should stand. No values were read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        AnswerFileDialog(Path(c.file), L"Open file");
        AnswerNextDialog({});  // the message
        int32_t chosen = 0;
        EXPECT_EQ(VeskImportFile(project, chosen), 0);
        EXPECT_EQ(chosen, 1);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[1].caption, c.caption);
        EXPECT_EQ(seen[1].message, c.message);
        EXPECT_EQ(seen[1].owner, FrameWindow);
        EXPECT_EQ(project.series, (std::vector<double>{7, 8}));
        EXPECT_EQ(project.changed, 0);
        EXPECT_EQ(WindowText(Window(project.dataView.window)), L"New Univariate Project");
    }
    // A cancelled file dialog is no chosen file.
    int32_t chosen = 1;
    EXPECT_EQ(VeskImportFile(project, chosen), 0);
    EXPECT_EQ(chosen, 0);
}

TEST_F(ProjectLifecycleTest, ATextReadOnlyInPartIsKeptOnlyWhenTheUserAgrees)
{
    const std::string text = "\xEF\xBB\xBF" "1.5\n2.5\nNaN\n3.5\n";
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("partial.txt"), {text.begin(), text.end()}), kReplaceDone);
    UnivariateProject& project = NewProject();
    ASSERT_EQ(VeskImportData(project, {7, 8}), 1);

    for (int button : {IDCANCEL, IDOK}) {
        AnswerFileDialog(Path("partial.txt"), L"Open file");
        DialogAnswer answer;
        answer.button = button;
        AnswerNextDialog(answer);
        EXPECT_EQ(VeskImportFile(project), button == IDOK ? 1 : 0);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_TRUE(seen[1].expected);
        EXPECT_EQ(seen[1].caption, L"ReadRawData()");
        EXPECT_EQ(seen[1].message,
                  L"Line 3 holds a value that is not a finite number. Reading stopped there after 2 values. Keep them?");
        const std::vector<double> expected = button == IDOK ? std::vector<double>{1.5, 2.5} : std::vector<double>{7, 8};
        EXPECT_EQ(project.series, expected);
    }
}

TEST_F(ProjectLifecycleTest, SaveAsWritesANewFileThatReopensAndSaveKeepsToEachProjectsFile)
{
    UnivariateProject& first = NewProject();
    UnivariateProject& second = NewProject();
    ASSERT_EQ(VeskImportData(first, {1.25, -3.5, 1e-300}), 1);
    ASSERT_EQ(VeskImportData(second, {42}), 1);
    first.p = 1;
    first.phi[1] = 0.5;
    EXPECT_EQ(first.changed, 1);

    AnswerFileDialog(Path("first"), L"Save KELO file");  // no extension: KDX is added
    ASSERT_EQ(VeskSaveAs(first), 1);
    EXPECT_EQ(first.changed, 0);
    AnswerFileDialog(Path("second.kdx"), L"Save KELO file");
    ASSERT_EQ(VeskSaveAs(second), 1);
    TakeSeenDialogs();
    EXPECT_TRUE(std::filesystem::exists(folder / "first.KDX") || std::filesystem::exists(folder / "first.kdx"));
    const std::wstring firstTitle = WindowText(Window(first.dataView.window));
    EXPECT_EQ(Utf8Text(firstTitle), first.fileName);

    // Save of the first project writes its own file, not the one chosen last.
    first.series[0] = 9.75;
    first.changed = 1;
    ASSERT_EQ(VeskSave(first), 1);
    EXPECT_EQ(first.changed, 0);
    EXPECT_TRUE(TakeSeenDialogs().empty());

    UnivariateProject& reopened = NewProject();
    AnswerFileDialog(firstTitle, L"Open file");
    ASSERT_EQ(VeskImportFile(reopened), 1);
    EXPECT_EQ(reopened.changed, 0);
    EXPECT_EQ(reopened.series, (std::vector<double>{9.75, -3.5, 1e-300}));
    EXPECT_EQ(reopened.p, 1);
    EXPECT_EQ(reopened.phi[1], 0.5);
    EXPECT_EQ(reopened.hasFileName, 1);

    UnivariateProject& other = NewProject();
    AnswerFileDialog(Path("second.kdx"), L"Open file");
    ASSERT_EQ(VeskImportFile(other), 1);
    EXPECT_EQ(other.series, std::vector<double>{42});
}

// Save As renames the project: its data window and every other window of it, each after its own
// prefix, as Rename does.
TEST_F(ProjectLifecycleTest, SaveAsRetitlesEveryWindowOfTheProject)
{
    UnivariateProject& project = NewProject();
    ASSERT_EQ(VeskImportData(project, {1, 2, 3}), 1);
    const auto child = [](const wchar_t* title) {
        return reinterpret_cast<HWND__*>(CreateMDIWindowW(L"VeskLifecycleTestChild", title, 0, CW_USEDEFAULT,
                                                          CW_USEDEFAULT, 200, 100, MdiClient,
                                                          GetModuleHandleW(nullptr), 0));
    };
    project.dataView.infoWindow = child(L"INFO: New Univariate Project");
    project.acfView.window = child(L"ACF/PACF:New Univariate Project");
    project.acfView.infoWindow = child(L"ACF.PACF:INFO: New Univariate Project");
    project.textWindows[TEXT_MLE] = child(L"ML estimates: New Univariate Project");

    AnswerFileDialog(Path("named.kdx"), L"Save KELO file");
    ASSERT_EQ(VeskSaveAs(project), 1);
    const std::wstring name = WindowText(Window(project.dataView.window));
    EXPECT_EQ(Utf8Text(name), project.fileName);
    EXPECT_EQ(WindowText(Window(project.dataView.infoWindow)), L"INFO: " + name);
    EXPECT_EQ(WindowText(Window(project.acfView.window)), L"ACF/PACF:" + name);
    EXPECT_EQ(WindowText(Window(project.acfView.infoWindow)), L"ACF.PACF:INFO: " + name);
    EXPECT_EQ(WindowText(Window(project.textWindows[TEXT_MLE])), L"ML estimates: " + name);
    EXPECT_EQ(StatusText(0), name);
}

TEST_F(ProjectLifecycleTest, SavingOverAReadOnlyFileIsRefusedWithAMessage)
{
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("locked.kdx"), {'9', '\n'}), kReplaceDone);
    std::filesystem::permissions(folder / "locked.kdx", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    UnivariateProject& project = NewProject();
    ASSERT_EQ(VeskImportData(project, {1, 2}), 1);
    AnswerFileDialog(Path("locked.kdx"), L"Save KELO file");
    DialogAnswer yes;
    yes.button = IDYES;
    AnswerNextDialog(yes);  // the file dialog's own overwrite question
    AnswerNextDialog({});   // the refusal
    EXPECT_EQ(VeskSaveAs(project), 0);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].caption, L"VeskSave()");
    EXPECT_EQ(seen[2].message, L"Cannot write to a read-only file");
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes(PathUtf8("locked.kdx"), bytes), 1);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{'9', '\n'}));
    std::filesystem::permissions(folder / "locked.kdx", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

TEST_F(ProjectLifecycleTest, ExportThenImportReturnsTheSameSeries)
{
    UnivariateProject& project = NewProject();
    const std::vector<double> series = {0.1, 2.0 / 3.0, -1e10, 5};
    ASSERT_EQ(VeskImportData(project, series), 1);
    ASSERT_EQ(ReplaceFileBytes(PathUtf8("old.txt"), {'9', '\n'}), 1);

    DialogAnswer choose;
    choose.inspect = [](HWND dialog) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_SERIES)));
        // The import computed the residuals of the (white-noise) model.
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_RESIDUALS)));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXPORT_FILE), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXPORT_CLIPBOARD), static_cast<UINT>(BST_UNCHECKED));
    };
    choose.checks = {{IDC_EXPORT_SERIES, true}};
    AnswerNextDialog(choose);
    AnswerFileDialog(Path("old.txt"), L"Save KELO file");
    AnswerWith(IDYES);  // the file dialog's own overwrite question, the only one
    ASSERT_EQ(VeskExport(project), 1);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].caption, L"Export to ASCII");
    EXPECT_EQ(seen[1].caption, L"Save KELO file");
    EXPECT_FALSE(seen[2].message.empty());
    // A Windows text file: every line ends in CR LF.
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes(PathUtf8("old.txt"), bytes), 1);
    const std::string text(bytes.begin(), bytes.end());
    size_t lineEnds = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << i;
            ++lineEnds;
        }
    EXPECT_EQ(lineEnds, series.size());

    UnivariateProject& imported = NewProject();
    AnswerFileDialog(Path("old.txt"), L"Open file");
    ASSERT_EQ(VeskImportFile(imported), 1);
    EXPECT_EQ(imported.series, series);
    EXPECT_EQ(imported.hasFileName, 0);
}

// Without data nothing can be chosen: Cancel exports nothing, and OK says why nothing was
// exported instead of doing nothing in silence.
TEST_F(ProjectLifecycleTest, ExportCancelledOrOfNoKindExportsNothing)
{
    UnivariateProject& project = NewProject();
    DialogAnswer cancel;
    cancel.button = IDCANCEL;
    cancel.inspect = [](HWND dialog) {
        for (int id = IDC_EXPORT_SERIES; id <= IDC_EXPORT_PACF; ++id) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id)));
    };
    AnswerNextDialog(cancel);
    EXPECT_EQ(VeskExport(project), 0);
    AnswerNextDialog({});
    AnswerWith(IDOK);
    EXPECT_EQ(VeskExport(project), 0);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 3u);  // no file dialog followed
    EXPECT_EQ(seen[2].caption, L"Export to ASCII");
    EXPECT_EQ(seen[2].message, L"The project has no values to export yet.");
}

// The dialog starts with the first kind that has values chosen: OK alone exports the series.
TEST_F(ProjectLifecycleTest, ExportStartsWithTheFirstKindThatHasValues)
{
    UnivariateProject& project = NewProject();
    ASSERT_EQ(VeskImportData(project, {1.5, -2.25, 3}), 1);
    ASSERT_EQ(CopySeriesToClipboard({9}), 1);
    DialogAnswer answer = Press(IDOK, {}, {{IDC_EXPORT_FILE, false}, {IDC_EXPORT_CLIPBOARD, true}});
    answer.inspect = [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXPORT_SERIES), static_cast<UINT>(BST_CHECKED));
        for (int id = IDC_EXPORT_RESIDUALS; id <= IDC_EXPORT_PACF; ++id)
            EXPECT_EQ(IsDlgButtonChecked(dialog, id), static_cast<UINT>(BST_UNCHECKED)) << id;
    };
    AnswerNextDialog(answer);
    VeskExport(project);
    std::vector<double> values;
    int32_t status = 0;
    ReadClipboardSeries(values, status);
    ASSERT_EQ(status, 1);
    EXPECT_EQ(values, (std::vector<double>{1.5, -2.25, 3}));
}

// Puts `text` on the clipboard as CF_TEXT.
static void PutClipboardText(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(FrameWindow));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

TEST_F(ProjectLifecycleTest, ImportClipboardReadsTheTextOnTheClipboard)
{
    PutClipboardText("1.5\n2.5\r\n-3");

    std::vector<double> values;
    int32_t status = 0;
    ReadClipboardSeries(values, status);
    ASSERT_EQ(status, 1);
    UnivariateProject& project = NewProject();
    ASSERT_EQ(VeskImportData(project, values), 1);
    EXPECT_EQ(project.series, (std::vector<double>{1.5, 2.5, -3}));

    ASSERT_EQ(CopySeriesToClipboard({1.5, 2.25, -3}), 1);
    ReadClipboardSeries(values, status);
    ASSERT_EQ(status, 1);
    EXPECT_EQ(values, (std::vector<double>{1.5, 2.25, -3}));

    ASSERT_EQ(CopyTableToClipboard(2, 2, {1, 2, 3, 4}), 1);
    std::vector<double> table;
    int32_t columns = 0, rows = 0;
    ReadClipboardTable(table, columns, rows, status);
    ASSERT_EQ(status, 1);
    EXPECT_EQ(columns, 2);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(table, (std::vector<double>{1, 2, 3, 4}));

    ASSERT_EQ(CopyTableToClipboard(2, 2, {1, 2, 3, 4}), 1);
    PutClipboardText("1\nabc\n");
    TakeSeenDialogs();
    AnswerNextDialog({});
    ReadClipboardSeries(values, status);
    EXPECT_EQ(status, -1);
    const std::vector<SeenDialog> seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Import from clipboard");
    EXPECT_EQ(seen[0].message, L"Line 2 holds text where a number should stand");
    EXPECT_EQ(seen[0].owner, FrameWindow);

    // A paste that is read says what it left out of its lines.
    PutClipboardText("1 2\r\n3\r\n");
    AnswerNextDialog({});
    ReadClipboardSeries(values, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(values, (std::vector<double>{1, 3}));
    const std::vector<SeenDialog> notes = TakeSeenDialogs();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].caption, L"Import from clipboard");
    EXPECT_EQ(notes[0].message, L"Line 1 holds more than one item. The rest of such lines was not read: 1 item in all.");
}

TEST_F(ProjectLifecycleTest, RenameRetitlesEveryWindowAndCancelKeepsThem)
{
    UnivariateProject& project = NewProject();
    HWND acf = CreateMDIWindowW(L"VeskLifecycleTestChild", L"ACF/PACF:New Univariate Project", 0, CW_USEDEFAULT,
                                CW_USEDEFAULT, 200, 100, MdiClient, GetModuleHandleW(nullptr), 0);
    project.acfView.window = reinterpret_cast<HWND__*>(acf);
    DialogAnswer answer;
    answer.inspect = [](HWND dialog) {
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PROJECT_TITLE)), L"New Univariate Project");
    };
    answer.texts = {{IDC_PROJECT_TITLE, L"Sales  "}};
    AnswerNextDialog(answer);
    EXPECT_EQ(VeskRename(project, 1), 1);
    EXPECT_EQ(WindowText(Window(project.dataView.window)), L"Sales");
    EXPECT_EQ(WindowText(acf), L"ACF/PACF:Sales");
    EXPECT_EQ(StatusText(0), L"Sales");

    DialogAnswer cancel;
    cancel.texts = {{IDC_PROJECT_TITLE, L"Other"}};
    cancel.button = IDCANCEL;
    AnswerNextDialog(cancel);
    EXPECT_EQ(VeskRename(project, 1), 1);
    EXPECT_EQ(WindowText(Window(project.dataView.window)), L"Sales");
    EXPECT_EQ(WindowText(acf), L"ACF/PACF:Sales");
    SendMessageW(StatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"stale"));
    EXPECT_EQ(VeskRename(project, 0), 1);  // without asking: the status bar is still rewritten
    EXPECT_EQ(StatusText(0), L"Sales");

    VeskMinimize(project);
    EXPECT_TRUE(IsIconic(acf));
    EXPECT_TRUE(IsIconic(Window(project.dataView.window)));
    VeskRestore(project);
    EXPECT_FALSE(IsIconic(acf));

    UnivariateProject windowless;
    VeskInit(windowless);
    EXPECT_EQ(VeskRename(windowless, 1), 0);
}
