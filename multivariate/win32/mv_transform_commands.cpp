#include "multivariate/win32/mv_transform_commands.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "multivariate/multivariate_project.h"
#include "multivariate/multivariate_transforms.h"
#include "multivariate/win32/multivariate_windows.h"
#include "platform/typed_entry.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/frame.h"

namespace {

constexpr const char* kMemoryMessage = "Not enough memory for the transform";

void AfterChange(MultivariateProject& project)
{
    MultivarRefresh(project, 1, 0);
    MvUpdateUndoMenu(project);
    // The table's length is on the status bar.
    MultivarStatusBar(project);
    if (HWND window = SeriesWindow(project)) SetFocus(window);
}

int32_t Run(MultivariateProject& project, int32_t kind)
{
    switch (kind) {
    case MV_TRANSFORM_DIFFERENCE:
        return MvDifferenceDialog(project);
    case MV_TRANSFORM_SUBTRACT_MEANS:
        if (MvSubtractMeans(project)) return 1;
        ShowMvMessage(SeriesWindow(project), kMvRangeMessage, kMvDifferenceCaption);
        return 0;
    case MV_TRANSFORM_TRIM:
        return MvTrimDialog(project);
    default:
        return 0;
    }
}

template <int32_t Kind>
void TransformCommand(MultivariateProject& project)
{
    MultivarTransform(project, Kind);
}

void UndoCommand(MultivariateProject& project) { MultivarUndo(project); }

}  // namespace

int32_t MultivarTransform(MultivariateProject& project, int32_t kind)
{
    if (!project.data || !project.data->hasData()) return 0;
    int32_t applied = 0;
    try {
        applied = Run(project, kind);
    } catch (const std::bad_alloc&) {
        ShowMvMessage(SeriesWindow(project), kMemoryMessage, kMvDifferenceCaption);
    }
    AfterChange(project);
    return applied;
}

int32_t MultivarUndo(MultivariateProject& project)
{
    if (!project.transforms) return 0;
    int32_t status = 0;
    try {
        status = MvUndoNewest(project);
        if (!status)
            ShowMvMessage(SeriesWindow(project), "The last transform cannot be undone: its values do not fit the table",
                          kMvDifferenceCaption);
    } catch (const std::bad_alloc&) {
        ShowMvMessage(SeriesWindow(project), kMemoryMessage, kMvDifferenceCaption);
    }
    AfterChange(project);
    return status;
}

int32_t MvUpdateUndoMenu(MultivariateProject& project)
{
    if (!MultivariateMenu) return 1;
    const MvUndoItem item = MvUndoMenuItem(project);
    // The item keeps its access key U whatever it says.
    ModifyMenuW(MultivariateMenu, IDM_MV_UNDO, MF_BYCOMMAND | MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                IDM_MV_UNDO, (L"&" + WideText(item.text)).c_str());
    if (FrameWindow) DrawMenuBar(FrameWindow);
    return 1;
}

int32_t MvDifferenceDialog(MultivariateProject& project)
{
    HWND owner = SeriesWindow(project);
    for (;;) {
        std::vector<std::string> texts;
        if (DialogRunEntries(IDD_DIFFERENCE, {{IDC_DIFFERENCE_LAG, "1"}}, texts) != 1) return 0;
        double lag = 0;
        const std::string refusal = ReadFieldEntry("Lag", texts[0], EntryKind::Integer, lag);
        if (!refusal.empty()) {
            ShowMvMessage(owner, refusal, kMvDifferenceCaption);
            continue;
        }
        const int32_t h = static_cast<int32_t>(lag);
        const std::string message = MvDifferenceLagMessage(project.data->n, h);
        if (!message.empty()) {
            ShowMvMessage(owner, message, kMvDifferenceCaption);
            continue;
        }
        if (MvDifference(project, h)) return 1;
        ShowMvMessage(owner, kMvRangeMessage, kMvDifferenceCaption);
        return 0;
    }
}

int32_t MvTrimDialog(MultivariateProject& project)
{
    const MultivariateData& data = *project.data;
    for (;;) {
        std::vector<std::string> texts;
        if (DialogRunEntries(IDD_SUBSEQUENCE, {{IDC_SUBSEQUENCE_MIN, IntText(data.firstIndex)},
                                               {IDC_SUBSEQUENCE_MAX, IntText(data.lastIndex)}},
                             texts) != 1)
            return 0;
        int32_t a = 0, b = 0;
        const std::string refusal = ReadIndexRange(texts[0], texts[1], a, b);
        if (refusal.empty() && MvTrim(project, a, b)) return 1;
        ShowMvMessage(SeriesWindow(project), refusal.empty() ? MvTrimMessage(data.firstIndex, data.lastIndex) : refusal,
                      kMvTrimCaption);
    }
}

void RegisterMvTransformCommands()
{
    RegisterMultivariateCommand(IDM_MV_DIFFERENCE, TransformCommand<MV_TRANSFORM_DIFFERENCE>);
    RegisterMultivariateCommand(IDM_MV_SUBTRACT_MEANS, TransformCommand<MV_TRANSFORM_SUBTRACT_MEANS>);
    RegisterMultivariateCommand(IDM_MV_TRIM, TransformCommand<MV_TRANSFORM_TRIM>);
    RegisterMultivariateCommand(IDM_MV_UNDO, UndoCommand);
}
