#include "shell/win32/project_editor.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "multivariate/multivariate_project.h"
#include "resources/resource.h"
#include "shell/project_table.h"
#include "shell/series_transfer.h"
#include "shell/win32/frame.h"
#include "shell/win32/toolbar.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"

namespace {

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

// The cursor's display counter, left as it was.
int CursorCount()
{
    const int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return count;
}

std::wstring ItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[260] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 260;
    TreeView_GetItem(tree, &data);
    return text;
}

TVITEMW ItemData(HWND tree, HTREEITEM item)
{
    TVITEMW data = {};
    data.mask = TVIF_PARAM | TVIF_IMAGE | TVIF_STATE | TVIF_HANDLE;
    data.stateMask = TVIS_EXPANDED;
    data.hItem = item;
    TreeView_GetItem(tree, &data);
    return data;
}

// The whole tree, one line per node, indented by one space per level below the root.
std::vector<std::wstring> TreeLines(HWND tree)
{
    std::vector<std::wstring> lines;
    std::function<void(HTREEITEM, size_t)> walk = [&](HTREEITEM item, size_t depth) {
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            lines.push_back(std::wstring(depth, L' ') + ItemText(tree, item));
            walk(TreeView_GetChild(tree, item), depth + 1);
        }
    };
    walk(TreeView_GetRoot(tree), 0);
    return lines;
}

// The project node of `slot`, or its series leaf `k` when k > 0.
HTREEITEM FindNode(HWND tree, int32_t slot, int32_t k = 0)
{
    for (HTREEITEM node = TreeView_GetChild(tree, TreeView_GetRoot(tree)); node;
         node = TreeView_GetNextSibling(tree, node)) {
        if (TreeItemNumber(ItemData(tree, node).lParam) != slot) continue;
        if (k == 0) return node;
        TreeView_Expand(tree, node, TVE_EXPAND);
        for (HTREEITEM leaf = TreeView_GetChild(tree, node); leaf; leaf = TreeView_GetNextSibling(tree, leaf))
            if (TreeItemNumber(ItemData(tree, leaf).lParam) == k) return leaf;
    }
    return nullptr;
}

// The middle of an item's label, in the dialog's client coordinates.
LPARAM PointOver(HWND dialog, HWND tree, HTREEITEM item)
{
    RECT r = {};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MapWindowPoints(tree, dialog, &p, 1);
    return MAKELPARAM(p.x, p.y);
}

void BeginDrag(HWND dialog, HWND tree, HTREEITEM item)
{
    NMTREEVIEWW info = {};
    info.hdr.hwndFrom = tree;
    info.hdr.idFrom = IDC_PROJECT_TREE;
    info.hdr.code = TVN_BEGINDRAGW;
    info.action = TVC_UNKNOWN;
    info.itemNew.hItem = item;
    info.itemNew.lParam = ItemData(tree, item).lParam;
    SendMessageW(dialog, WM_NOTIFY, IDC_PROJECT_TREE, reinterpret_cast<LPARAM>(&info));
}

// A drag as the mouse makes it: begin on `dragged`, move over `target`, release there.
void DragOnto(HWND dialog, HWND tree, HTREEITEM dragged, HTREEITEM target)
{
    BeginDrag(dialog, tree, dragged);
    const LPARAM at = PointOver(dialog, tree, target);
    SendMessageW(dialog, WM_MOUSEMOVE, MK_LBUTTON, at);
    // Wine's tree never reports the root as drop target; every other node is checked.
    if (target != TreeView_GetRoot(tree)) {
        EXPECT_EQ(TreeView_GetDropHilight(tree), target);
    }
    SendMessageW(dialog, WM_LBUTTONUP, 0, at);
}

SeriesTable Data(int32_t slot)
{
    const ProjectSlot& entry = ProjectTable[slot];
    if (entry.kind == PROJECT_UNIVARIATE)
        return {entry.univariate->series, static_cast<int32_t>(entry.univariate->series.size()),
                entry.univariate->hasData() ? 1 : 0};
    const MultivariateData& d = *entry.multivariate->data;
    return d.hasData() ? SeriesTable{d.values, d.n, d.m} : SeriesTable{};
}

class ProjectEditorTest : public FrameFixture {
protected:
    // A new project of `kind` (1 univariate, 2 multivariate) holding `table` of m series.
    static int32_t Project(int kind, std::vector<double> table = {}, int32_t m = 1)
    {
        const int32_t slot = NewProjectOfKind(kind);
        if (!table.empty()) {
            if (kind == 1)
                EXPECT_EQ(VeskImportData(*ProjectTable[slot].univariate, table), 1);
            else
                EXPECT_EQ(MultivarSetData(*ProjectTable[slot].multivariate, table, m,
                                          static_cast<int32_t>(table.size()) / m, 1),
                          1);
        }
        UpdateStatusBar(slot);
        TakeSeenDialogs();
        return slot;
    }

    // Opens the editor, runs `work` on it and closes it with `button`; the editor must open.
    static void InEditor(std::function<void(HWND dialog, HWND tree)> work, int button = IDC_PROJECT_EDITOR_OK)
    {
        int runs = 0;
        DialogAnswer answer;
        answer.button = button;
        answer.inspect = [work, &runs](HWND dialog) {
            ++runs;
            work(dialog, GetDlgItem(dialog, IDC_PROJECT_TREE));
        };
        AnswerNextDialog(answer);
        SendCommand(IDM_PROJECT_EDITOR);
        EXPECT_EQ(runs, 1) << "the Project Editor did not open";
    }
};

}  // namespace

TEST_F(ProjectEditorTest, TreeListsTheOpenProjectsAndTheirSeries)
{
    Project(1, {1, 2, 3});
    Project(1);
    Project(2, {1, 2, 3, 4, 5, 6}, 3);
    Project(2);
    SetWindowTextW(Handle(ProjectTable[3].multivariate->seriesView.window), L"Rates");

    HWND seen = nullptr;
    InEditor([&](HWND dialog, HWND tree) {
        seen = dialog;
        EXPECT_EQ(ModelessDialog, dialog);
        EXPECT_EQ(WindowText(dialog), L"Project Editor");
        const HTREEITEM root = TreeView_GetRoot(tree);
        EXPECT_TRUE(ItemData(tree, root).state & TVIS_EXPANDED);
        EXPECT_EQ(ItemData(tree, root).lParam, 0);
        for (int32_t slot = 1; slot <= 4; ++slot) TreeView_Expand(tree, FindNode(tree, slot), TVE_EXPAND);
        EXPECT_EQ(TreeLines(tree),
                  (std::vector<std::wstring>{L"KELO Projects", L" New Univariate Project", L"  Series #1",
                                             L" New Univariate Project", L" Rates", L"  Series #1", L"  Series #2",
                                             L"  Series #3", L" New Multivariate Project"}));
        // Item values carry level and number; images tell the kinds apart.
        struct Case { int32_t slot, k, level, number, image; };
        for (const Case& c : {Case{1, 0, 1, 1, 1}, Case{1, 1, 2, 1, 3}, Case{3, 0, 1, 3, 2}, Case{3, 3, 2, 3, 3},
                              Case{4, 0, 1, 4, 2}}) {
            const TVITEMW item = ItemData(tree, FindNode(tree, c.slot, c.k));
            EXPECT_EQ(TreeItemLevel(item.lParam), c.level) << c.slot << ' ' << c.k;
            EXPECT_EQ(TreeItemNumber(item.lParam), c.number) << c.slot << ' ' << c.k;
            EXPECT_EQ(item.iImage, c.image) << c.slot << ' ' << c.k;
        }
        EXPECT_EQ(ImageList_GetImageCount(TreeView_GetImageList(tree, TVSIL_NORMAL)), 5);
        // Only the two buttons end it: Escape and the close box leave it open.
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }, IDC_PROJECT_EDITOR_CANCEL);
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(ModelessDialog, nullptr);
}

TEST_F(ProjectEditorTest, CommandNeedsACurrentProject)
{
    AnswerWith(IDC_PROJECT_EDITOR_OK);  // would close an editor opened by mistake
    SendCommand(IDM_PROJECT_EDITOR);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(DropUnusedAnswers(), 1u);
}

TEST_F(ProjectEditorTest, LabelEditRenamesTheProjectAndEscapeKeepsIt)
{
    const int32_t uni = Project(1, {4, 5});
    const int32_t multi = Project(2, {1, 2}, 2);
    UnivariateProject& u = *ProjectTable[uni].univariate;
    HWND data = Handle(u.dataView.window);
    HWND series = Handle(ProjectTable[multi].multivariate->seriesView.window);
    // A second window of the univariate project, titled with its prefix.
    WNDCLASSW cls = {};
    cls.lpfnWndProc = DefMDIChildProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"VeskEditorTestChild";
    RegisterClassW(&cls);
    HWND acf = CreateMDIWindowW(cls.lpszClassName, L"ACF/PACF:New Univariate Project", 0, CW_USEDEFAULT,
                                CW_USEDEFAULT, 200, 100, MdiClient, cls.hInstance, 0);
    u.acfView.window = reinterpret_cast<HWND__*>(acf);

    struct Case {
        int32_t slot, k;
        const wchar_t* typed;
        WPARAM key;
        const wchar_t* label;  // the node's text afterwards
    };
    const Case cases[] = {
        {uni, 0, L"Sales", VK_RETURN, L"Sales"},
        {uni, 0, L"Ignored", VK_ESCAPE, L"Sales"},
        {multi, 0, L"Rates", VK_RETURN, L"Rates"},
        {multi, 2, L"Second", VK_RETURN, L"Second"},
    };
    InEditor([&](HWND, HWND tree) {
        for (const Case& c : cases) {
            HTREEITEM item = FindNode(tree, c.slot, c.k);
            HWND edit = TreeView_EditLabel(tree, item);
            ASSERT_NE(edit, nullptr) << c.typed;
            EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
            SetWindowTextW(edit, c.typed);
            SendMessageW(edit, WM_KEYDOWN, c.key, 0);
            EXPECT_FALSE(IsWindow(edit)) << c.typed;
            EXPECT_EQ(ItemText(tree, item), c.label) << c.typed;
        }
    });
    EXPECT_EQ(WindowText(data), L"Sales");
    EXPECT_EQ(WindowText(acf), L"ACF/PACF:Sales");
    EXPECT_EQ(WindowText(series), L"Rates");
    // A series leaf's label is the tree's own; the status bar still names the current project.
    EXPECT_EQ(StatusText(0), L"Rates");
    EXPECT_EQ(StatusText(1), L"# of series = 2");

    u.acfView.window = nullptr;
    DestroyWindow(acf);
}

TEST_F(ProjectEditorTest, DraggedSeriesMovesAfterYesAndNothingMovesAfterNo)
{
    struct Case {
        const char* name;
        int sourceKind;
        std::vector<double> source;
        int32_t sourceM, k;
        int targetKind;
        std::vector<double> target;
        int32_t targetM;
        std::wstring question;
        SeriesTable sourceAfter, targetAfter;
    };
    const Case cases[] = {
        {"univariate replaces univariate", 1, {1, 2, 3}, 1, 1, 1, {9, 9}, 1, L"Confirm data transfer",
         {}, {{1, 2, 3}, 3, 1}},
        {"series 2 of three into univariate", 2, {11, 12, 13, 21, 22, 23}, 3, 2, 1, {}, 1, L"Confirm data transfer",
         {{11, 13, 21, 23}, 2, 2}, {{12, 22}, 2, 1}},
        {"longer univariate widens a table", 1, {1, 2, 3, 4, 5}, 1, 1, 2, {7, 8, 7, 8, 7, 8}, 2,
         L"Confirm data transfer\n2 rows of the moved series will be cut", {}, {{7, 8, 1, 7, 8, 2, 7, 8, 3}, 3, 3}},
        {"shorter series cuts the target table", 2, {1, 2, 3, 4}, 2, 1, 2, {7, 8, 9}, 1,
         L"Confirm data transfer\n1 rows of the target's series will be cut", {{2, 4}, 2, 1}, {{7, 1, 8, 3}, 2, 2}},
        {"only series into an empty table", 2, {5, 6, 7}, 1, 1, 2, {}, 1, L"Confirm data transfer", {},
         {{5, 6, 7}, 3, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int button : {IDNO, IDYES}) {
            DestroyTestFrame();
            ASSERT_NE(CreateTestFrame(), nullptr);
            const int32_t from = Project(c.sourceKind, c.source, c.sourceM);
            const int32_t to = Project(c.targetKind, c.target, c.targetM);
            const SeriesTable sourceBefore = Data(from), targetBefore = Data(to);
            const int cursor = CursorCount();
            std::vector<std::wstring> treeAfter;
            InEditor([&](HWND dialog, HWND tree) {
                AnswerWith(button);
                DragOnto(dialog, tree, FindNode(tree, from, c.k), FindNode(tree, to));
                EXPECT_EQ(CursorCount(), cursor);
                EXPECT_NE(GetCapture(), dialog);
                for (int32_t slot : {from, to}) TreeView_Expand(tree, FindNode(tree, slot), TVE_EXPAND);
                treeAfter = TreeLines(tree);
            });
            const std::vector<SeenDialog> seen = TakeSeenDialogs();
            ASSERT_EQ(seen.size(), 2u);  // the editor, then the question
            EXPECT_EQ(seen[1].caption, L"KELO Project Editor");
            EXPECT_EQ(seen[1].message, c.question);
            const SeriesTable source = Data(from), target = Data(to);
            const SeriesTable& sourceWant = button == IDYES ? c.sourceAfter : sourceBefore;
            const SeriesTable& targetWant = button == IDYES ? c.targetAfter : targetBefore;
            EXPECT_EQ(source.values, sourceWant.values) << button;
            EXPECT_EQ(source.m, sourceWant.m) << button;
            EXPECT_EQ(target.values, targetWant.values) << button;
            EXPECT_EQ(target.n, targetWant.n) << button;
            EXPECT_EQ(target.m, targetWant.m) << button;
            // A table left empty shows no curves any more.
            if (c.sourceKind == 2 && source.m == 0) {
                EXPECT_TRUE(ProjectTable[from].multivariate->seriesView.curves[1].x.empty());
            }
            // The refilled tree numbers the leaves by their columns now.
            size_t leaves = 0;
            for (const std::wstring& line : treeAfter) leaves += line.rfind(L"  Series #", 0) == 0;
            EXPECT_EQ(leaves, static_cast<size_t>(source.m + target.m)) << button;
            // The current project (the target) shows its new data in the status bar.
            if (c.targetKind == 2) {
                EXPECT_EQ(StatusText(1), L"# of series = " + std::to_wstring(target.m)) << button;
            }
        }
    }
}

TEST_F(ProjectEditorTest, DropsThatMoveNothingAskNothing)
{
    const int32_t a = Project(1, {1, 2});
    const int32_t b = Project(2, {3, 4, 5, 6}, 2);
    struct Case {
        const char* name;
        int32_t dragSlot, dragK;  // k = 0: the project node
        int32_t dropSlot, dropK;  // slot = 0: the root
    };
    const Case cases[] = {
        {"project node onto a project", a, 0, b, 0},
        {"series onto the root", a, 1, 0, 0},
        {"series onto another series", a, 1, b, 1},
        {"series onto its own project", b, 2, b, 0},
    };
    const int cursor = CursorCount();
    InEditor([&](HWND dialog, HWND tree) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            HTREEITEM drop = c.dropSlot == 0 ? TreeView_GetRoot(tree) : FindNode(tree, c.dropSlot, c.dropK);
            DragOnto(dialog, tree, FindNode(tree, c.dragSlot, c.dragK), drop);
            EXPECT_EQ(CursorCount(), cursor) << c.name;
        }
        // A drag that loses the capture ends there, showing the cursor; a release then drops nothing.
        BeginDrag(dialog, tree, FindNode(tree, a, 1));
        EXPECT_EQ(GetCapture(), dialog);
        EXPECT_EQ(CursorCount(), cursor - 1);
        ReleaseCapture();
        EXPECT_EQ(CursorCount(), cursor);
        SendMessageW(dialog, WM_LBUTTONUP, 0, PointOver(dialog, tree, FindNode(tree, b)));
    });
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);  // the editor only
    EXPECT_EQ(Data(a).values, (std::vector<double>{1, 2}));
    EXPECT_EQ(Data(b).m, 2);
}

TEST_F(ProjectEditorTest, DragHeldAboveOrBelowTheTreeScrollsItALine)
{
    for (int k = 0; k < kMaxProjects; ++k) Project(2, {1, 2, 3, 4, 5, 6}, 3);
    InEditor([&](HWND dialog, HWND tree) {
        for (int32_t slot = 1; slot <= kMaxProjects; ++slot) TreeView_Expand(tree, FindNode(tree, slot), TVE_EXPAND);
        HTREEITEM middle = FindNode(tree, 3, 2);
        TreeView_SelectSetFirstVisible(tree, middle);
        ASSERT_EQ(TreeView_GetFirstVisible(tree), middle);
        BeginDrag(dialog, tree, FindNode(tree, 4, 1));

        RECT area = {};
        GetWindowRect(tree, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        const int x = (area.left + area.right) / 2;
        SendMessageW(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, area.top - 4));
        EXPECT_EQ(TreeView_GetFirstVisible(tree), TreeView_GetPrevVisible(tree, middle));
        // Resting below the tree: the timer's tick reads where the mouse is.
        POINT below = {x, area.bottom + 4};
        ClientToScreen(dialog, &below);
        SetCursorPos(below.x, below.y);
        // The display server moves the pointer in its own time; the tick must see it there.
        POINT seen = {};
        for (int waited = 0; waited < 10000 && (GetCursorPos(&seen), seen.y != below.y); waited += 10) Sleep(10);
        ASSERT_EQ(seen.y, below.y);
        SendMessageW(dialog, WM_TIMER, IDT_SERIESDRAG, 0);
        EXPECT_EQ(TreeView_GetFirstVisible(tree), middle);
        ReleaseCapture();
    });
}
