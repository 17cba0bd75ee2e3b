#include "multivariate/win32/multivariate_kind.h"

#include <windows.h>

#include <new>
#include <vector>

#include "multivariate/multivariate_project.h"
#include "multivariate/win32/multivariate_windows.h"
#include "multivariate/win32/mv_transform_commands.h"
#include "multivariate/win32/table_commands.h"
#include "shell/project_kinds.h"
#include "shell/project_table.h"
#include "shell/series_transfer.h"
#include "shell/win32/clipboard_transfer.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/project_commands.h"

namespace {

MultivariateProject* Record(int32_t slot)
{
    if (slot < 1 || slot > kMaxProjects || ProjectTable[slot].kind != PROJECT_MULTIVARIATE) return nullptr;
    return ProjectTable[slot].multivariate;
}

// The record with its data table, which every data operation needs.
MultivariateProject* WithData(int32_t slot)
{
    MultivariateProject* m = Record(slot);
    return m && m->data ? m : nullptr;
}

int32_t Create(int32_t slot)
{
    try {
        ProjectTable[slot].multivariate = MultivarNew(slot);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return ProjectTable[slot].multivariate ? 1 : 0;
}

int32_t Free(int32_t slot)
{
    MultivariateProject* m = Record(slot);
    if (!m) return 1;
    const int32_t status = MultivarFree(*m);
    delete m;
    ProjectTable[slot].multivariate = nullptr;
    return status;
}

// Open on the new empty project: the table, then its report beside the series window, which
// gets the focus, and the project's status bar.
int32_t Open(int32_t slot)
{
    MultivariateProject* m = WithData(slot);
    if (!m || !MultivarReadData(*m)) return 0;
    ShowProjectInfo(slot, m->seriesView);
    ShowReportBeside(reinterpret_cast<HWND>(m->seriesView.window), reinterpret_cast<HWND>(m->seriesView.infoWindow));
    MultivarStatusBar(*m);
    return 1;
}

template <int32_t (*Command)(MultivariateProject&)>
int32_t OnRecord(int32_t slot)
{
    MultivariateProject* m = WithData(slot);
    return m ? Command(*m) : 0;
}

int32_t ImportClipboard(int32_t slot, int32_t& read)
{
    read = 0;
    MultivariateProject* m = WithData(slot);
    if (!m) return 0;
    std::vector<double> table;
    int32_t columns = 0, rows = 0;
    ReadClipboardTable(table, columns, rows, read);
    try {
        return read == 1 ? MultivarSetData(*m, table, columns, rows, 1) : 0;
    } catch (const std::bad_alloc&) {
        // The active window is the frame, or the dialog the import was made from.
        MessageBoxW(GetActiveWindow(), L"Memory allocation error.", L"ERROR", MB_OK);
        return 0;
    }
}

int32_t ShowInfo(int32_t slot, PlotRecord& view)
{
    MultivariateProject* m = Record(slot);
    return m ? MultivarInfoRefresh(*m, view) : 0;
}

int32_t SetupToolbar(int32_t slot)
{
    MultivariateProject* m = Record(slot);
    return m ? SetupMultivariateToolbar(*m) : 0;
}

int32_t StatusBar(int32_t slot)
{
    MultivariateProject* m = Record(slot);
    return m ? MultivarStatusBar(*m) : 0;
}

ProjectFacts Facts(int32_t slot)
{
    ProjectFacts facts;
    if (const MultivariateProject* m = WithData(slot)) facts.hasData = m->data->hasData();
    return facts;
}

HWND__* CaptionWindow(int32_t slot)
{
    const MultivariateProject* m = Record(slot);
    return m ? m->seriesView.window : nullptr;
}

int32_t ReadData(int32_t slot, SeriesTable& out)
{
    const MultivariateProject* m = WithData(slot);
    if (!m) return 0;
    out = SeriesTable{};
    if (m->data->hasData()) {
        out.values = m->data->values;
        out.n = m->data->n;
        out.m = m->data->m;
    }
    return 1;
}

int32_t ReplaceData(int32_t slot, const SeriesTable& table)
{
    MultivariateProject* m = WithData(slot);
    if (!m || table.values.size() < static_cast<size_t>(table.m) * static_cast<size_t>(table.n)) return 0;
    return MultivarSetData(*m, table.values, table.m, table.n, 1);
}

int32_t AppendSeries(int32_t slot, const std::vector<double>& series)
{
    MultivariateProject* m = WithData(slot);
    return m ? MultivarSetData(*m, series, 1, static_cast<int32_t>(series.size()), 0) : 0;
}

}  // namespace

void RegisterMultivariateProjectKind()
{
    ProjectKindOperations ops;
    ops.create = Create;
    ops.free = Free;
    ops.open = Open;
    ops.importFile = OnRecord<MultivarReadData>;
    ops.exportData = OnRecord<MultivarExport>;
    // The Undo item is shared by all multivariate projects: it follows the one made current.
    ops.menus = OnRecord<MvUpdateUndoMenu>;
    ops.importClipboard = ImportClipboard;
    ops.showInfo = ShowInfo;
    ops.setupToolbar = SetupToolbar;
    ops.statusBar = StatusBar;
    ops.facts = Facts;
    ops.captionWindow = CaptionWindow;
    ops.readData = ReadData;
    ops.replaceData = ReplaceData;
    ops.appendSeries = AppendSeries;
    RegisterProjectKind(PROJECT_MULTIVARIATE, ops);
}
