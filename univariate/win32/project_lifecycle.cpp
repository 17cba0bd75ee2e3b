#include "univariate/win32/project_lifecycle.h"

#include <windows.h>

#include <new>
#include <string>

#include "platform/file_bytes.h"
#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"
#include "shell/ascii_files.h"
#include "shell/project_table.h"
#include "shell/win32/clipboard_transfer.h"
#include "shell/win32/common_dialogs.h"
#include "shell/win32/frame.h"
#include "shell/win32/project_commands.h"
#include "platform/win32/wide_text.h"
#include "univariate/project_open.h"
#include "univariate/project_windows.h"
#include "univariate/refresh.h"
#include "univariate/win32/transform_commands.h"
#include "univariate/win32/univariate_windows.h"

namespace {

// File messages are owned by the active dialog or the frame.
void Show(const FileMessage& message)
{
    if (!message.empty())
        MessageBoxW(MessageBoxOwner(), WideText(message.text).c_str(), WideText(message.caption).c_str(), MB_OK);
}

// Asks whether to keep what a read that stopped early took; true for OK.
bool Keep(const FileMessage& question)
{
    return question.empty() || MessageBoxW(MessageBoxOwner(), WideText(question.text).c_str(),
                                           WideText(question.caption).c_str(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

HWND DataWindow(const UnivariateProject& project) { return reinterpret_cast<HWND>(project.dataView.window); }

HWND DialogOwner(const UnivariateProject& project)
{
    HWND window = DataWindow(project);
    return window ? window : FrameWindow;
}

void SetTitle(HWND window, const std::string& title)
{
    if (window) SetWindowTextW(window, WideText(title).c_str());
}

// The project's name is its data window's title; every other window of the project carries it
// after its own prefix, so a new name goes to them all.
void RetitleProject(UnivariateProject& project, const std::string& title)
{
    SetTitle(DataWindow(project), title);
    for (const auto& [window, text] : ProjectWindowTitles(project, title))
        SetTitle(reinterpret_cast<HWND>(window), text);
}

// After new data: the data curve, residuals, every open view, and the focus to the data window.
void DataLoaded(UnivariateProject& project)
{
    SetCurveY(project.dataView, 1, project.series, project.firstIndex, project.lastIndex);
    if (UnivariateRefresh.computeResiduals) UnivariateRefresh.computeResiduals(project);
    VeskRefresh(project, 1, 1);
    // The stack may have come with the file: its description, the Undo item and the status bar.
    VeskTransformMenu(project);
    if (HWND window = DataWindow(project)) {
        if (HWND client = GetParent(window)) SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
        SetFocus(window);
    }
}

int32_t SaveTo(UnivariateProject& project, const std::string& path)
{
    FileMessage message;
    if (WriteUnivariateFile(project, path, message)) return 1;
    Show(message);
    return 0;
}

int32_t ReadChosenFile(UnivariateProject& project, const std::string& path);

// VeskOpen; `chosen` is set when a file was chosen, so a cancel can be told from a file that gave
// nothing.
int32_t OpenChosenFile(UnivariateProject& project, int32_t& chosen)
{
    chosen = 0;
    std::string name;
    if (!GetProjectFileName(FrameWindow, name, kOpenFileMode)) return 0;
    chosen = 1;
    const std::string path = TrimFileName(name);
    ShowBusy(L"Reading the file...");
    const int32_t read = ReadChosenFile(project, path);
    EndBusy();
    return read;
}

// Reads the file at `path` into the project; 0 leaves the project as it was.
int32_t ReadChosenFile(UnivariateProject& project, const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes)) {
        Show({"Cannot open file", "VeskRead()"});
        return 0;
    }
    LoadedProjectFile loaded;
    std::vector<FileMessage> messages;
    ReadProjectBytes(bytes, loaded, messages);
    for (const FileMessage& message : messages) Show(message);
    if (loaded.kind == LOADED_NOTHING) {
        // A multi-part file without values: said here, since no reader had anything to say.
        if (messages.empty()) Show({"No numbers in file " + path, "VeskRead()"});
        return 0;
    }
    if (!Keep(loaded.partial)) return 0;
    // Only now, with the file read whole and checked, is the old data given up.
    VeskClearData(project);
    try {
        CommitLoadedFile(loaded, project, path, PlotColors);
    } catch (const std::bad_alloc&) {
        VeskClearData(project);
        Show({"Memory allocation error.", "ERROR"});
        return 0;
    }
    RetitleProject(project, path);
    return 1;
}

}  // namespace

int32_t VeskOpen(UnivariateProject& project)
{
    int32_t chosen = 0;
    return OpenChosenFile(project, chosen);
}

int32_t VeskImportFile(UnivariateProject& project, int32_t& chosen)
{
    if (!OpenChosenFile(project, chosen)) return 0;
    DataLoaded(project);
    project.changed = 0;  // the project is what its file holds
    return 1;
}

int32_t VeskImportFile(UnivariateProject& project)
{
    int32_t chosen = 0;
    return VeskImportFile(project, chosen);
}

int32_t VeskImportData(UnivariateProject& project, const std::vector<double>& values)
{
    // Both copies are made before the old data is given up, so no lack of memory loses it.
    std::vector<double> series, original;
    try {
        series = values;
        original = values;
    } catch (const std::bad_alloc&) {
        Show({"Memory allocation error.", "ERROR"});
        return 0;
    }
    VeskClearData(project);
    project.series = std::move(series);
    project.n = static_cast<int32_t>(values.size());
    project.firstIndex = values.empty() ? 0 : 1;
    project.lastIndex = project.n;
    project.originalSeries = std::move(original);
    DataLoaded(project);
    return 1;
}

int32_t VeskSave(UnivariateProject& project)
{
    if (!project.hasFileName || project.fileName.empty()) return VeskSaveAs(project);
    if (!SaveTo(project, project.fileName)) return 0;
    project.changed = 0;
    return 1;
}

int32_t VeskSaveAs(UnivariateProject& project)
{
    std::string name;
    if (!GetProjectFileName(DialogOwner(project), name, 0)) return 0;
    const std::string path = TrimFileName(name);
    if (!SaveTo(project, path)) return 0;
    project.fileName = path;
    project.hasFileName = 1;
    project.changed = 0;
    RetitleProject(project, path);
    VeskStatusBar(project);
    return 1;
}

int32_t VeskExport(UnivariateProject& project)
{
    DialogRecord dialog;
    if (!DialogInit(dialog, IDD_EXPORT)) return 0;
    const std::vector<double>* kinds[] = {&project.series, &project.residuals, &project.periodogram,
                                          &project.sampleAcf, &project.samplePacf};
    const int kindIds[] = {IDC_EXPORT_SERIES, IDC_EXPORT_RESIDUALS, IDC_EXPORT_PERIODOGRAM, IDC_EXPORT_ACF,
                           IDC_EXPORT_PACF};
    DialogSetLogical(dialog, IDC_EXPORT_FILE, 1);
    DialogSetLogical(dialog, IDC_EXPORT_CLIPBOARD, 0);
    // The first kind that has values starts chosen, so OK always exports something.
    bool preselected = false;
    for (int k = 0; k < 5; ++k) {
        if (kinds[k]->empty()) {
            DialogSetLogical(dialog, kindIds[k], 0, DIALOG_SELECT_ENABLED);
        } else if (!preselected) {
            DialogSetLogical(dialog, kindIds[k], 1);
            preselected = true;
        }
    }
    if (DialogRunModal(dialog) != 1) {
        DialogRelease(dialog);
        return 0;
    }
    int toFile = 0;
    DialogGetLogical(dialog, IDC_EXPORT_FILE, toFile);
    const std::vector<double>* chosen = nullptr;
    for (int k = 0; k < 5; ++k) {
        int checked = 0;
        if (DialogGetLogical(dialog, kindIds[k], checked) && checked) chosen = kinds[k];
    }
    DialogRelease(dialog);
    if (!chosen) {
        Show({"The project has no values to export yet.", "Export to ASCII"});
        return 0;
    }
    if (!toFile) {
        CopySeriesToClipboard(*chosen);
        return 0;
    }
    if (chosen->empty()) return 0;
    std::string name;
    HWND owner = DialogOwner(project);
    if (!GetProjectFileName(owner, name, 0)) return 0;
    const std::string path = TrimFileName(name);
    // The file dialog has asked before replacing a file; the old file stays until the new one is
    // complete: the writer replaces it.
    FileMessage message;
    const int32_t written = WriteRawData(path, *chosen, message);
    Show(message);
    return written;
}

int32_t VeskRename(UnivariateProject& project, int32_t ask)
{
    HWND data = DataWindow(project);
    if (!data) return 0;
    std::string title = WindowTextUtf8(data);
    bool retitle = true;
    if (ask) {
        retitle = false;
        DialogRecord dialog;
        if (DialogInit(dialog, IDD_RENAME_PROJECT)) {
            DialogSetText(dialog, IDC_PROJECT_TITLE, title.substr(0, 255));
            if (DialogRunModal(dialog) == 1 && DialogGetText(dialog, IDC_PROJECT_TITLE, title)) {
                title = TrimFileName(title);
                retitle = true;
            }
            DialogRelease(dialog);
        }
    }
    if (retitle) RetitleProject(project, title);
    VeskStatusBar(project);
    return 1;
}

int32_t VeskMinimize(UnivariateProject& project)
{
    for (HWND__* window : ProjectWindowOrder(project))
        if (IsWindow(reinterpret_cast<HWND>(window))) ShowWindow(reinterpret_cast<HWND>(window), SW_MINIMIZE);
    return 1;
}

int32_t VeskRestore(UnivariateProject& project)
{
    HWND data = DataWindow(project);
    HWND client = data ? GetParent(data) : MdiClient;
    for (HWND__* window : ProjectWindowOrder(project))
        if (IsWindow(reinterpret_cast<HWND>(window)))
            SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
    return 1;
}

int32_t NewProjectFromData(const UnivariateProject& record)
{
    const int32_t slot = FindFreeProjectSlot();
    if (slot == 0) return 0;
    ProjectTable[slot].kind = PROJECT_UNIVARIATE;
    UnivariateProject* u = VeskNew(slot);
    ProjectTable[slot].univariate = u;
    VeskCopy(record, *u);
    u->changed = u->hasData() ? 1 : 0;  // simulated data are in no file yet
    SetCurveY(u->dataView, 1, u->series, u->firstIndex, u->lastIndex);
    if (u->dataView.window) InvalidateRect(DataWindow(*u), nullptr, TRUE);
    SelectProject(slot);
    return slot;
}
