#include "univariate/win32/transform_commands.h"

#include <windows.h>

#include <new>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/frame.h"
#include "shell/win32/plot_window.h"
#include "univariate/refresh.h"
#include "univariate/transform_menu.h"
#include "univariate/transforms.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/transform_dialogs.h"
#include "univariate/win32/univariate_windows.h"

namespace {

HWND DataWindow(const UnivariateProject& project) { return reinterpret_cast<HWND>(project.dataView.window); }

void FocusDataWindow(const UnivariateProject& project)
{
    if (HWND window = DataWindow(project)) SetFocus(window);
}

void AfterChange(UnivariateProject& project)
{
    VeskRefresh(project, 1, 0);
    VeskTransformMenu(project);
    FocusDataWindow(project);
}

void RunTransform(UnivariateProject& project, int32_t kind)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND owner = DataWindow(project) ? DataWindow(project) : FrameWindow;
    const LPARAM parameter = reinterpret_cast<LPARAM>(&project);
    switch (kind) {
    case TRANSFORM_DIFFERENCE:
        DifferenceDialog(project);
        break;
    case TRANSFORM_BOX_COX:
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BOX_COX), owner, BoxCoxDlgProc, parameter);
        break;
    case TRANSFORM_CLASSICAL:
    case TRANSFORM_HARMONIC:
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CLASSICAL), owner, ClassicalDlgProc, parameter);
        break;
    case TRANSFORM_SUBTRACT_MEAN: {
        const char* why = kTransformRangeMessage;
        if (!ApplySubtractMean(project, &why)) ShowTransformMessage(nullptr, why);
        break;
    }
    case TRANSFORM_SUBSEQUENCE:
        SubsequenceDialog(project);
        break;
    default:
        break;
    }
}

// A transform command: runs only while its menu item is enabled for the stack.
template <int32_t Kind, uint32_t Item>
void TransformCommand(UnivariateProject& project)
{
    if (TransformItemEnabled(ComputeTransformMenu(project), Item)) VeskTransform(project, Kind);
}

void UndoCommand(UnivariateProject& project) { VeskUndo(project); }

void ShowClassicalFitCommand(UnivariateProject& project)
{
    if (TransformItemEnabled(ComputeTransformMenu(project), IDM_SHOW_CLASSICAL_FIT)) ShowClassicalFit(project);
}

}  // namespace

int32_t VeskTransform(UnivariateProject& project, int32_t kind)
{
    if (!project.hasData()) return 0;
    // The old top stays allocated throughout, so a new top is a transform the dialog left applied.
    const TransformNode* before = project.transforms;
    const int32_t changedBefore = project.changed;
    try {
        RunTransform(project, kind);
    } catch (const std::bad_alloc&) {
        ShowTransformMessage(nullptr, kTransformMemoryMessage);
    }
    AfterChange(project);
    // The data window took the focus back from the Classical dialog: a fit its Show Fit drew comes
    // to the front again.
    if (kind == TRANSFORM_CLASSICAL || kind == TRANSFORM_HARMONIC)
        BringViewForward(reinterpret_cast<HWND>(project.views[VIEW_FIT].window));
    // A dialog cancelled after its previews leaves the project, and its changed mark, as it was.
    if (project.transforms == before) project.changed = changedBefore;
    return project.transforms != before ? 1 : 0;
}

int32_t VeskUndo(UnivariateProject& project)
{
    if (project.regressionPresent > 0) {
        ShowTransformMessage(nullptr, "Must remove regression function before untransforming");
        return 1;
    }
    if (!project.transforms) return 0;
    int32_t status = 0;
    try {
        status = UndoNewestTransform(project);
        if (!status) ShowTransformMessage(nullptr, kUndoImpossibleMessage);
    } catch (const std::bad_alloc&) {
        ShowTransformMessage(nullptr, kTransformMemoryMessage);
    }
    AfterChange(project);
    return status;
}

int32_t VeskTransformMenu(UnivariateProject& project)
{
    const TransformMenuState state = ComputeTransformMenu(project);
    if (UnivariateMenu) {
        for (const MenuChange& change : state.changes)
            EnableMenuItem(UnivariateMenu, change.command, MF_BYCOMMAND | (change.enabled ? MF_ENABLED : MF_GRAYED));
        const UINT undoState = TransformItemEnabled(state, IDM_UNDO) ? MF_ENABLED : MF_GRAYED;
        // The item keeps its access key U whatever it says.
        ModifyMenuW(UnivariateMenu, IDM_UNDO, MF_BYCOMMAND | MF_STRING | undoState, IDM_UNDO,
                    (L"&" + WideText(state.undoText)).c_str());
    }
    project.transformText = PaddedTransformText(state.description);
    return VeskStatusBar(project);
}

int32_t ShowClassicalFit(UnivariateProject& project)
{
    int32_t drawn = 0;
    try {
        ClassicalFit fit;
        drawn = ClassicalFitOfStack(project, fit);
        if (drawn) drawn = ShowFitView(project, fit.data, fit.fit, fit.firstIndex, fit.lastIndex);
    } catch (const std::bad_alloc&) {
        drawn = 0;
    }
    if (!drawn && UnivariateWindows.destroyPlotWindow) UnivariateWindows.destroyPlotWindow(project.views[VIEW_FIT]);
    return drawn;
}

void RegisterTransformCommands()
{
    RegisterUnivariateCommand(IDM_DIFFERENCE, TransformCommand<TRANSFORM_DIFFERENCE, IDM_DIFFERENCE>);
    RegisterUnivariateCommand(IDM_BOX_COX, TransformCommand<TRANSFORM_BOX_COX, IDM_BOX_COX>);
    RegisterUnivariateCommand(IDM_CLASSICAL, TransformCommand<TRANSFORM_CLASSICAL, IDM_CLASSICAL>);
    RegisterUnivariateCommand(IDM_SUBTRACT_MEAN, TransformCommand<TRANSFORM_SUBTRACT_MEAN, IDM_SUBTRACT_MEAN>);
    RegisterUnivariateCommand(IDM_SUBSEQUENCE, TransformCommand<TRANSFORM_SUBSEQUENCE, IDM_SUBSEQUENCE>);
    RegisterUnivariateCommand(IDM_UNDO, UndoCommand);
    RegisterUnivariateCommand(IDM_SHOW_CLASSICAL_FIT, ShowClassicalFitCommand);
}
