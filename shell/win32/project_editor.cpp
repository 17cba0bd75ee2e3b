#include "shell/win32/project_editor.h"

#include <windowsx.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/project_kinds.h"
#include "shell/project_table.h"
#include "shell/series_transfer.h"
#include "shell/win32/frame.h"
#include "shell/win32/project_commands.h"
#include "shell/win32/toolbar.h"

namespace {

// Positions in the tree's image list, in the order FillProjectTree adds the icons.
enum : int { IMAGE_ROOT = 0, IMAGE_UNIVARIATE = 1, IMAGE_MULTIVARIATE = 2, IMAGE_SERIES = 3, IMAGE_NO_DROP = 4 };

constexpr wchar_t kOldEditProc[] = L"VeskTreeLabelEditProc";

// The drag in progress; dragged is null between drags.
struct EditorDialog {
    HTREEITEM dragged = nullptr;
    HIMAGELIST dragImage = nullptr;
    bool cursorHidden = false;
    // A label edit in progress. Hiding a cancelled edit can move the focus and end the same edit
    // a second time, with its text; only the first end counts.
    bool editing = false;
};

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

LPARAM ItemValue(HWND tree, HTREEITEM item)
{
    TVITEMW data = {};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    return item && TreeView_GetItem(tree, &data) ? data.lParam : 0;
}

HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const std::wstring& text, int image, LPARAM value)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = value;
    return TreeView_InsertItem(tree, &insert);
}

// The window whose caption names the project: a univariate project's data window, a
// multivariate project's series window.
HWND ProjectWindow(int32_t slot)
{
    const ProjectKindOperations* ops = ProjectOperations(slot);
    return ops && ops->captionWindow ? Handle(ops->captionWindow(slot)) : nullptr;
}

std::wstring Caption(HWND window)
{
    wchar_t text[256] = {};
    if (window) GetWindowTextW(window, text, 256);
    return text;
}

std::wstring SeriesText(int32_t k) { return L"Series #" + std::to_wstring(k); }

HIMAGELIST CreateTreeImages()
{
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 1);
    if (!images) return nullptr;
    for (int id : {IDI_TREE_ROOT, IDI_TREE_UNIVARIATE, IDI_TREE_MULTIVARIATE, IDI_TREE_SERIES, IDI_TREE_NO_DROP}) {
        auto icon = static_cast<HICON>(LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
        ImageList_AddIcon(images, icon);
        if (icon) DestroyIcon(icon);
    }
    return images;
}

// A project's data as a table of series (m = 0 when it has none). Returns false when the slot
// holds no project that can give or take a series.
bool ReadProjectData(int32_t slot, SeriesTable& table)
{
    table = SeriesTable{};
    const ProjectKindOperations* ops = ProjectOperations(slot);
    return ops && ops->readData && ops->readData(slot, table);
}

void ApplyTransfer(int32_t from, int32_t to, const SeriesTransfer& plan)
{
    const ProjectKindOperations& target = *ProjectOperations(to);
    if (plan.targetReplaced) {
        SeriesTable whole;
        whole.values = plan.moved;
        whole.n = static_cast<int32_t>(plan.moved.size());
        whole.m = 1;
        if (target.replaceData) target.replaceData(to, whole);
    } else if (target.appendSeries) {
        target.appendSeries(to, plan.moved);
    }
    const ProjectKindOperations& source = *ProjectOperations(from);
    if (source.replaceData) source.replaceData(from, plan.sourceRest);
}

void ApplyRename(HWND tree, const NMTVDISPINFOW& info)
{
    if (!info.item.pszText) return;  // cancelled
    TVITEMW item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = info.item.hItem;
    item.pszText = info.item.pszText;
    TreeView_SetItem(tree, &item);
    const LPARAM value = ItemValue(tree, info.item.hItem);
    if (TreeItemLevel(value) != TREE_LEVEL_PROJECT) return;
    const int32_t slot = TreeItemNumber(value);
    HWND window = ProjectWindow(slot);
    if (!window) return;
    SetWindowTextW(window, info.item.pszText);
    RenameProject(slot, 0);
    // Renaming writes that project's texts; the bar belongs to the current one.
    UpdateStatusBar(CurrentProject);
}

// `point` in the dialog's client area, as the tree's client coordinates.
TVHITTESTINFO HitTree(HWND dialog, HWND tree, POINT point)
{
    TVHITTESTINFO hit = {};
    hit.pt = point;
    MapWindowPoints(dialog, tree, &hit.pt, 1);
    TreeView_HitTest(tree, &hit);
    return hit;
}

// `point` in `window`'s client area, relative to the window's upper left corner, where the
// image-list drag places its image.
POINT WindowPoint(HWND window, POINT point)
{
    RECT frame = {};
    GetWindowRect(window, &frame);
    ClientToScreen(window, &point);
    return {point.x - frame.left, point.y - frame.top};
}

void BeginDrag(HWND dialog, EditorDialog& state, const NMTREEVIEWW& info)
{
    if (state.dragged || !info.itemNew.hItem) return;
    HWND tree = info.hdr.hwndFrom;
    state.dragged = info.itemNew.hItem;
    state.dragImage = TreeView_CreateDragImage(tree, state.dragged);
    RECT item = {};
    TreeView_GetItemRect(tree, state.dragged, &item, TRUE);
    if (state.dragImage) ImageList_BeginDrag(state.dragImage, 0, 0, 0);
    ShowCursor(FALSE);
    state.cursorHidden = true;
    SetCapture(dialog);
    POINT start = {item.left, (item.top + item.bottom) / 2};
    MapWindowPoints(tree, dialog, &start, 1);
    start = WindowPoint(dialog, start);
    if (state.dragImage) ImageList_DragEnter(dialog, start.x, start.y);
    SetTimer(dialog, IDT_SERIESDRAG, 200, nullptr);
}

void MoveDrag(HWND dialog, const EditorDialog& state, POINT point)
{
    if (!state.dragged) return;
    HWND tree = GetDlgItem(dialog, IDC_PROJECT_TREE);
    const POINT at = WindowPoint(dialog, point);
    ImageList_DragMove(at.x, at.y);
    ImageList_DragShowNolock(FALSE);
    const TVHITTESTINFO hit = HitTree(dialog, tree, point);
    if (hit.hItem) {
        const bool accepted = TreeItemLevel(ItemValue(tree, state.dragged)) == TREE_LEVEL_SERIES &&
                              TreeItemLevel(ItemValue(tree, hit.hItem)) == TREE_LEVEL_PROJECT;
        if (state.dragImage)
            ImageList_SetDragCursorImage(TreeView_GetImageList(tree, TVSIL_NORMAL),
                                         accepted ? IMAGE_SERIES : IMAGE_NO_DROP, 0, 0);
        TreeView_SelectDropTarget(tree, hit.hItem);
    } else if (hit.flags & TVHT_ABOVE) {
        SendMessageW(tree, WM_VSCROLL, SB_LINEUP, 0);
    } else if (hit.flags & TVHT_BELOW) {
        SendMessageW(tree, WM_VSCROLL, SB_LINEDOWN, 0);
    }
    ImageList_DragShowNolock(TRUE);
}

// Ends the drag however it ends: by the drop, by losing the capture or with the dialog. The
// item is forgotten before the capture goes, so the capture change this causes finds no drag.
void EndDrag(HWND dialog, EditorDialog& state)
{
    if (!state.dragged) return;
    state.dragged = nullptr;
    KillTimer(dialog, IDT_SERIESDRAG);
    if (state.dragImage) {
        ImageList_DragLeave(dialog);
        ImageList_EndDrag();
        ImageList_Destroy(state.dragImage);
        state.dragImage = nullptr;
    }
    if (state.cursorHidden) {
        ShowCursor(TRUE);
        state.cursorHidden = false;
    }
    if (GetCapture() == dialog) ReleaseCapture();
}

void Drop(HWND dialog, EditorDialog& state, POINT point)
{
    if (!state.dragged) return;
    KillTimer(dialog, IDT_SERIESDRAG);
    HWND tree = GetDlgItem(dialog, IDC_PROJECT_TREE);
    const TVHITTESTINFO hit = HitTree(dialog, tree, point);
    HTREEITEM dragged = state.dragged;
    EndDrag(dialog, state);
    TreeView_SelectDropTarget(tree, nullptr);
    if (hit.hItem) TransferSeries(tree, dragged, hit.hItem);
}

POINT CursorInClient(HWND dialog)
{
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(dialog, &point);
    return point;
}

LRESULT OnTreeNotify(HWND dialog, EditorDialog& state, const NMHDR& header)
{
    switch (header.code) {
    case TVN_BEGINLABELEDITW:
        state.editing = true;
        if (HWND edit = TreeView_GetEditControl(header.hwndFrom)) {
            auto old = SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeLabelEditProc));
            SetPropW(edit, kOldEditProc, reinterpret_cast<HANDLE>(old));
        }
        return FALSE;  // allow the edit
    case TVN_ENDLABELEDITW:
        if (HWND edit = TreeView_GetEditControl(header.hwndFrom)) {
            if (HANDLE old = RemovePropW(edit, kOldEditProc))
                SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        }
        if (!state.editing) return FALSE;
        state.editing = false;
        ApplyRename(header.hwndFrom, reinterpret_cast<const NMTVDISPINFOW&>(header));
        return FALSE;  // the text is already set
    case TVN_BEGINDRAGW:
        BeginDrag(dialog, state, reinterpret_cast<const NMTREEVIEWW&>(header));
        return 0;
    default:
        return 0;
    }
}

void OnDestroy(HWND dialog, EditorDialog& state)
{
    EndDrag(dialog, state);
    if (HIMAGELIST images = TreeView_SetImageList(GetDlgItem(dialog, IDC_PROJECT_TREE), nullptr, TVSIL_NORMAL))
        ImageList_Destroy(images);
    ModelessDialog = nullptr;
}

}  // namespace

int32_t FillProjectTree(HWND tree)
{
    TreeView_DeleteAllItems(tree);
    if (HIMAGELIST old = TreeView_SetImageList(tree, CreateTreeImages(), TVSIL_NORMAL)) ImageList_Destroy(old);
    HTREEITEM root = InsertNode(tree, TVI_ROOT, L"KELO Projects", IMAGE_ROOT, TreeItemValue(TREE_LEVEL_ROOT, 0));
    for (int32_t slot = 1; slot <= kMaxProjects; ++slot) {
        SeriesTable data;
        if (!ReadProjectData(slot, data)) continue;
        const int image = ProjectTable[slot].kind == PROJECT_UNIVARIATE ? IMAGE_UNIVARIATE : IMAGE_MULTIVARIATE;
        HTREEITEM node = InsertNode(tree, root, Caption(ProjectWindow(slot)), image,
                                    TreeItemValue(TREE_LEVEL_PROJECT, slot));
        for (int32_t k = 1; k <= data.m; ++k)
            InsertNode(tree, node, SeriesText(k), IMAGE_SERIES, TreeItemValue(TREE_LEVEL_SERIES, k));
    }
    TreeView_Expand(tree, root, TVE_EXPAND);
    return 1;
}

int32_t TransferSeries(HWND tree, HTREEITEM dragged, HTREEITEM target)
{
    if (!tree || !dragged || !target) return 0;
    const LPARAM series = ItemValue(tree, dragged);
    const LPARAM node = ItemValue(tree, target);
    if (TreeItemLevel(series) != TREE_LEVEL_SERIES || TreeItemLevel(node) != TREE_LEVEL_PROJECT) return 0;
    const int32_t from = TreeItemNumber(ItemValue(tree, TreeView_GetParent(tree, dragged)));
    const int32_t to = TreeItemNumber(node);
    if (from == to) return 0;

    SeriesTable fromData, toData;
    if (!ReadProjectData(from, fromData) || !ReadProjectData(to, toData)) return 0;
    SeriesTransfer plan;
    const int32_t targetMultivariate = ProjectTable[to].kind == PROJECT_MULTIVARIATE ? 1 : 0;
    if (!PlanSeriesTransfer(fromData, TreeItemNumber(series), toData, targetMultivariate, plan)) return 0;
    if (MessageBoxW(GetParent(tree), WideText(TransferQuestion(plan)).c_str(), L"KELO Project Editor", MB_YESNO) != IDYES)
        return 0;
    ApplyTransfer(from, to, plan);

    // The source's remaining series have moved down a column; refilling renumbers their leaves.
    FillProjectTree(tree);
    UpdateMenus(CurrentProject);
    UpdateToolbar(CurrentProject);
    UpdateStatusBar(CurrentProject);
    return 1;
}

LRESULT CALLBACK TreeLabelEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto old = reinterpret_cast<WNDPROC>(GetPropW(edit, kOldEditProc));
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | (old ? CallWindowProcW(old, edit, message, wParam, lParam) : 0);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            // The edit is gone when this returns.
            TreeView_EndEditLabelNow(GetParent(edit), wParam == VK_ESCAPE);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 27) return 0;  // no beep for the keys handled above
        break;
    case WM_NCDESTROY:
        // The edit can go without the end notification having put its procedure back.
        RemovePropW(edit, kOldEditProc);
        if (old) SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        break;
    default:
        break;
    }
    return old ? CallWindowProcW(old, edit, message, wParam, lParam) : DefWindowProcW(edit, message, wParam, lParam);
}

INT_PTR CALLBACK ProjectEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ModelessDialog = dialog;
        FillProjectTree(GetDlgItem(dialog, IDC_PROJECT_TREE));
        return TRUE;
    }
    auto* state = reinterpret_cast<EditorDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROJECT_EDITOR_OK) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_PROJECT_EDITOR_CANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;  // neither Escape nor the close box ends the editor
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom != IDC_PROJECT_TREE) return FALSE;
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, OnTreeNotify(dialog, *state, header));
        return TRUE;
    }
    case WM_MOUSEMOVE:
        MoveDrag(dialog, *state, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return TRUE;
    case WM_TIMER:
        if (wParam != IDT_SERIESDRAG) return FALSE;
        MoveDrag(dialog, *state, CursorInClient(dialog));
        return TRUE;
    case WM_LBUTTONUP:
        Drop(dialog, *state, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return TRUE;
    case WM_CAPTURECHANGED:
        if (state->dragged) {
            EndDrag(dialog, *state);
            TreeView_SelectDropTarget(GetDlgItem(dialog, IDC_PROJECT_TREE), nullptr);
        }
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog, *state);
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

int32_t ProjectEditor()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    EditorDialog state;
    DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(IDD_PROJECT_EDITOR), FrameWindow, ProjectEditorDlgProc,
                    reinterpret_cast<LPARAM>(&state));
    return 0;
}
