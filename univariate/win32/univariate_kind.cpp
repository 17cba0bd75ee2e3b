#include "univariate/win32/univariate_kind.h"

#include <windows.h>

#include <new>
#include <vector>

#include "shell/project_kinds.h"
#include "shell/project_table.h"
#include "shell/series_transfer.h"
#include "shell/win32/clipboard_transfer.h"
#include "shell/win32/plot_window.h"
#include "shell/win32/project_commands.h"
#include "univariate/refresh.h"
#include "univariate/univariate_project.h"
#include "univariate/win32/project_lifecycle.h"
#include "univariate/win32/transform_commands.h"
#include "univariate/win32/univariate_reports.h"
#include "univariate/win32/univariate_windows.h"

namespace {

UnivariateProject* Record(int32_t slot)
{
    if (slot < 1 || slot > kMaxProjects || ProjectTable[slot].kind != PROJECT_UNIVARIATE) return nullptr;
    return ProjectTable[slot].univariate;
}

HWND Handle(HWND__* window) { return reinterpret_cast<HWND>(window); }

bool WindowOpen(const PlotRecord& view) { return view.window && IsWindow(Handle(view.window)); }

int32_t Create(int32_t slot)
{
    try {
        ProjectTable[slot].univariate = VeskNew(slot);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return ProjectTable[slot].univariate ? 1 : 0;
}

int32_t Free(int32_t slot)
{
    UnivariateProject* u = Record(slot);
    if (!u) return 1;
    const int32_t status = VeskFree(*u);
    delete u;
    ProjectTable[slot].univariate = nullptr;
    return status;
}

int32_t Open(int32_t slot)
{
    UnivariateProject* u = Record(slot);
    if (!u) return 0;
    int32_t chosen = 0;
    if (!VeskImportFile(*u, chosen)) return chosen ? -1 : 0;
    ShowProjectInfo(slot, u->dataView);
    // The data window gets the focus, with its report beside it rather than behind it.
    ShowReportBeside(Handle(u->dataView.window), Handle(u->dataView.infoWindow));
    return 1;
}

// The lifecycle commands that take only the record.
template <int32_t (*Command)(UnivariateProject&)>
int32_t OnRecord(int32_t slot)
{
    UnivariateProject* u = Record(slot);
    return u ? Command(*u) : 0;
}

int32_t Rename(int32_t slot, int32_t ask)
{
    UnivariateProject* u = Record(slot);
    return u ? VeskRename(*u, ask) : 0;
}

int32_t ImportClipboard(int32_t slot, int32_t& read)
{
    read = 0;
    UnivariateProject* u = Record(slot);
    if (!u) return 0;
    std::vector<double> values;
    ReadClipboardSeries(values, read);
    return read == 1 ? VeskImportData(*u, values) : 0;
}

int32_t ShowInfo(int32_t slot, PlotRecord& view)
{
    UnivariateProject* u = Record(slot);
    return u ? VeskInfo(*u, view) : 0;
}

ProjectFacts Facts(int32_t slot)
{
    ProjectFacts facts;
    if (const UnivariateProject* u = Record(slot)) {
        facts.hasData = u->hasData();
        facts.spectrumWindowOpen = WindowOpen(u->spectrumView) || WindowOpen(u->cumSpectrumView);
        facts.logSpectrum = u->logSpectrum != 0;
        facts.changed = u->changed != 0;
    }
    return facts;
}

// The project file keeps the plot colours, so a project with data has changed with them.
void ColorsChanged(int32_t slot)
{
    UnivariateProject* u = Record(slot);
    if (u && u->hasData()) u->changed = 1;
}

HWND__* CaptionWindow(int32_t slot)
{
    const UnivariateProject* u = Record(slot);
    return u ? u->dataView.window : nullptr;
}

int32_t ReadData(int32_t slot, SeriesTable& out)
{
    const UnivariateProject* u = Record(slot);
    if (!u) return 0;
    out = SeriesTable{};
    if (u->hasData()) {
        out.values = u->series;
        out.n = static_cast<int32_t>(out.values.size());
        out.m = 1;
    }
    return 1;
}

// A univariate project holds one series: a table of one column replaces it, an empty one clears it.
int32_t ReplaceData(int32_t slot, const SeriesTable& table)
{
    UnivariateProject* u = Record(slot);
    if (!u) return 0;
    if (table.m == 0) return VeskClearData(*u);
    if (table.m != 1 || table.values.size() != static_cast<size_t>(table.n)) return 0;
    return VeskImportData(*u, table.values);
}

}  // namespace

void RegisterUnivariateProjectKind()
{
    ProjectKindOperations ops;
    ops.create = Create;
    ops.free = Free;
    ops.open = Open;
    ops.save = OnRecord<VeskSave>;
    ops.saveAs = OnRecord<VeskSaveAs>;
    ops.minimize = OnRecord<VeskMinimize>;
    ops.restore = OnRecord<VeskRestore>;
    ops.rename = Rename;
    ops.importFile = OnRecord<VeskImportFile>;
    ops.importClipboard = ImportClipboard;
    ops.exportData = OnRecord<VeskExport>;
    ops.showInfo = ShowInfo;
    ops.redraw = OnRecord<VeskInvalidate>;
    ops.colorsChanged = ColorsChanged;
    ops.setupToolbar = OnRecord<SetupUnivariateToolbar>;
    ops.statusBar = OnRecord<VeskStatusBar>;
    ops.menus = OnRecord<VeskTransformMenu>;
    ops.facts = Facts;
    ops.captionWindow = CaptionWindow;
    ops.readData = ReadData;
    ops.replaceData = ReplaceData;
    RegisterProjectKind(PROJECT_UNIVARIATE, ops);
}
