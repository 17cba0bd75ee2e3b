#include "multivariate/win32/table_commands.h"

#include <new>
#include <string>
#include <vector>

#include "multivariate/multivariate_project.h"
#include "multivariate/table_reader.h"
#include "multivariate/win32/multivariate_windows.h"
#include "platform/dialog_values.h"
#include "platform/typed_entry.h"
#include "platform/file_bytes.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/ascii_files.h"
#include "shell/win32/clipboard_transfer.h"
#include "shell/win32/common_dialogs.h"
#include "shell/win32/frame.h"

namespace {

constexpr const char* kReadCaption = "MultivarReadData()";
constexpr const char* kMemoryMessage = "Not enough memory for the table";

// Dialog 157's state, from WM_INITDIALOG to WM_NCDESTROY behind DWLP_USER.
struct ReadDataState {
    MultivariateProject* project = nullptr;
    const MvTableFile* file = nullptr;
    std::vector<double> table;  // what OK read: m by n
    int32_t m = 0;
    int32_t n = 0;
};

ReadDataState* StateOf(HWND dialog) { return reinterpret_cast<ReadDataState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

std::string ColumnsText(HWND dialog)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, IDC_MV_COLUMNS, text, 64);
    return Utf8Text(text);
}

// Whether the number of columns reads as an integer, into m.
bool ColumnsEntered(HWND dialog, int32_t& m)
{
    int value = 0;
    if (!ParseDialogInteger(ColumnsText(dialog), value)) return false;
    m = value;
    return true;
}

// The previews of m, or that m reads no vector.
void Preview(HWND dialog, const ReadDataState& s, int32_t m)
{
    std::string first, last;
    (void)MultivarPreviewTexts(*s.file, m, first, last);
    SetDlgItemTextW(dialog, IDC_MV_PREVIEW_FIRST, WideText(first).c_str());
    SetDlgItemTextW(dialog, IDC_MV_PREVIEW_LAST, WideText(last).c_str());
}

// Asks whether to keep a table read that did not take the file as it stands; true for OK.
bool KeepTable(HWND dialog, const std::string& question)
{
    return question.empty() || MessageBoxW(dialog, WideText(question).c_str(), WideText(kReadCaption).c_str(),
                                           MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

// OK: Enter in the edit only moves the focus to OK; OK itself reads the table and closes only
// when it was read and, if the reading stopped early or lines held fewer or more items than a
// vector, the user keeps it; otherwise it says why.
void ReadDataOk(HWND dialog, ReadDataState& s)
{
    if (GetFocus() != GetDlgItem(dialog, IDOK)) {
        SetFocus(GetDlgItem(dialog, IDOK));
        return;
    }
    const std::string text = ColumnsText(dialog);
    double columns = 0;
    std::string refusal = ReadFieldEntry("Number of columns", text, EntryKind::Integer, columns);
    if (refusal.empty() && columns < 1) refusal = "Number of columns must be at least 1";
    if (!refusal.empty()) {
        ShowMvMessage(dialog, refusal, kReadCaption);
        SetFocus(GetDlgItem(dialog, IDC_MV_COLUMNS));
        return;
    }
    const int32_t m = static_cast<int32_t>(columns);
    std::string message;
    s.n = MultivarReadDialogTable(*s.file, m, s.table, message);
    if (s.n == 0) {
        ShowMvMessage(dialog, message, kReadCaption);
        SetFocus(GetDlgItem(dialog, IDC_MV_COLUMNS));
        return;
    }
    if (!KeepTable(dialog, message)) {
        s.table.clear();
        s.n = 0;
        SetFocus(GetDlgItem(dialog, IDC_MV_COLUMNS));
        return;
    }
    s.m = m;
    EndDialog(dialog, 1);
}

INT_PTR ReadDataMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* s = reinterpret_cast<ReadDataState*>(lParam);
        if (!s || !s->project || !s->file) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
        SetDlgItemTextW(dialog, IDC_MV_COLUMNS, L"2");
        Preview(dialog, *s, 2);
        return TRUE;
    }
    ReadDataState* s = StateOf(dialog);
    if (!s) return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MV_COLUMNS:
            // Text that is no integer yet (a number being retyped) keeps what the last one showed.
            if (HIWORD(wParam) == EN_CHANGE) {
                int32_t m = 0;
                if (ColumnsEntered(dialog, m)) Preview(dialog, *s, m);
            }
            return TRUE;
        case IDOK:
            ReadDataOk(dialog, *s);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK ReadMultivariateDataDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may leave a dialog procedure through the system's code.
    try {
        return ReadDataMessage(dialog, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ShowMvMessage(dialog, kMemoryMessage, kReadCaption);
        return TRUE;
    }
}

int32_t MultivarReadData(MultivariateProject& project)
{
    std::string name;
    if (!GetProjectFileName(FrameWindow, name, kOpenFileMode)) return 0;
    try {
        MvTableFile file;
        if (!OpenMvTableFile(TrimFileName(name), file)) {
            ShowMvMessage(nullptr, "Cannot open file", kReadCaption);
            return 0;
        }
        ReadDataState state;
        state.project = &project;
        state.file = &file;
        const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MV_READ_DATA), FrameWindow,
                                               ReadMultivariateDataDlgProc, reinterpret_cast<LPARAM>(&state));
        if (result != 1) return 0;
        // The old table, its model and its transforms go only now, with the new table complete.
        MultivarSetData(project, state.table, state.m, state.n, 1);
    } catch (const std::bad_alloc&) {
        ShowMvMessage(nullptr, kMemoryMessage, kReadCaption);
        return 0;
    }
    return 1;
}

int32_t MultivarExport(MultivariateProject& project)
{
    const MultivariateData& data = *project.data;
    const MultivariateModel& model = *project.model;
    DialogRecord dialog;
    if (!DialogInit(dialog, IDD_EXPORT)) return 0;
    DialogSetLogical(dialog, IDC_EXPORT_FILE, 1);
    DialogSetLogical(dialog, IDC_EXPORT_CLIPBOARD, 0);
    if (!data.hasData()) DialogSetLogical(dialog, IDC_EXPORT_SERIES, 0, DIALOG_SELECT_ENABLED);
    if (model.residuals.empty()) DialogSetLogical(dialog, IDC_EXPORT_RESIDUALS, 0, DIALOG_SELECT_ENABLED);
    // The first kind that has values starts chosen, so OK always exports something.
    if (data.hasData())
        DialogSetLogical(dialog, IDC_EXPORT_SERIES, 1);
    else if (!model.residuals.empty())
        DialogSetLogical(dialog, IDC_EXPORT_RESIDUALS, 1);
    for (int id : {IDC_EXPORT_PERIODOGRAM, IDC_EXPORT_ACF, IDC_EXPORT_PACF})
        DialogSetLogical(dialog, id, 0, DIALOG_SELECT_ENABLED);
    if (DialogRunModal(dialog) != 1) {
        DialogRelease(dialog);
        return 0;
    }
    int toFile = 0, series = 0, residuals = 0;
    DialogGetLogical(dialog, IDC_EXPORT_FILE, toFile);
    DialogGetLogical(dialog, IDC_EXPORT_SERIES, series);
    DialogGetLogical(dialog, IDC_EXPORT_RESIDUALS, residuals);
    DialogRelease(dialog);
    const std::vector<double>* table = residuals ? &model.residuals : series ? &data.values : nullptr;
    const int32_t m = data.m;
    if (!table || m < 1) {
        ShowMvMessage(nullptr, "The project has no values to export yet.", "Export to ASCII");
        return 0;
    }
    const int32_t columns = static_cast<int32_t>(table->size() / static_cast<size_t>(m));
    if (!toFile) {
        CopyTableToClipboard(m, columns, *table);
        return 0;
    }
    if (table->empty()) return 0;
    std::string name;
    HWND owner = SeriesWindow(project) ? SeriesWindow(project) : FrameWindow;
    if (!GetProjectFileName(owner, name, 0)) return 0;
    const std::string path = TrimFileName(name);
    // The file dialog has already asked about replacing an existing file; the old file stays
    // until the new one is complete, because the writer replaces it.
    FileMessage message;
    const int32_t written = WriteAsciiArray(path, m, columns, *table, message);
    if (!message.empty()) ShowMvMessage(owner, message.text, message.caption.c_str());
    return written;
}
