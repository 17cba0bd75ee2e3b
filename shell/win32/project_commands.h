#pragma once
// The table of open projects and the project commands: New, Close, Close All, Select, Info,
// and the menu, toolbar and status-bar states that follow the current project.
#include <windows.h>

#include <cstdint>

struct PlotRecord;
struct UnivariateProject;
struct MultivariateProject;

// The current slot's univariate or multivariate record; null when the slot holds the other
// kind or nothing, so a record is never read as the wrong kind.
UnivariateProject* CurrentUnivariate();
MultivariateProject* CurrentMultivariate();

// First free slot; 0 after "Maximum allowable projects exceeded" when all ten are taken.
int32_t FindFreeProjectSlot();
// New: asks the kind, creates the project in a free slot and makes it current. Returns the
// slot, 0 when no slot was free or the user cancelled.
int32_t NewProject();
// Open: a new project of the chosen kind, then its data read from a file. Returns 1 when a
// univariate project was read; a cancelled read leaves the new empty project current, a file that
// gave nothing closes it again and the project current before stays current.
int32_t OpenProject();
// Before the program ends: for each project with changes since it was last opened or saved,
// "Save changes to <title>?" with Yes (save it), No and Cancel. Returns false, and the program
// goes on, on Cancel or when a save failed or was cancelled.
bool ConfirmExit();
// The univariate halves of Save, Save As, Minimize, Restore and Rename; nothing for a
// multivariate project. Each returns the routine's status (0 for nothing done).
int32_t SaveProject(int32_t slot);
int32_t SaveProjectAs(int32_t slot);
int32_t MinimizeProject(int32_t slot);
int32_t RestoreProject(int32_t slot);
int32_t RenameProject(int32_t slot, int32_t mode);
// Import File and Import Clipboard; non-zero when data were read. Menus and toolbar follow.
int32_t ImportFile(int32_t slot);
int32_t ImportClipboard(int32_t slot);
int32_t ExportProject(int32_t slot);
// Frees the project of `slot` and marks the slot free; returns the free routine's status.
int32_t CloseProject(int32_t slot);
// Asks "Close all projects ?"; on Yes asks about the changes of each project as ConfirmExit
// does and closes all ten slots unless the user cancelled. Returns 1 when closed.
int32_t CloseAllProjects();
// The Close command on `slot`: asks "Close current project ?", or for a project with changes
// "Save changes to <title>?" (Yes saves it first; Cancel, or a save that did not happen, keeps
// it). After the close the highest remaining slot is current and its window active. Returns 1
// when the project was closed.
int32_t CloseProjectCommand(int32_t slot);
// Closing a project's data window: selects that window's own project, then the Close command.
int32_t CloseProjectOfView(int32_t slot);
int32_t SelectProject(int32_t slot);
int32_t UpdateMenus(int32_t slot);
int32_t LastProjectSlot();
int32_t RedrawAllProjects();
// The shared plot colours changed: each project's kind may mark it changed.
void NoteColorsChanged();
// Opens or rewrites the report of a view of the project in `slot`.
int32_t ShowProjectInfo(int32_t slot, PlotRecord& view);
// A view of `slot` got the focus: selects that project unless it is current, free or closing.
void ProjectActivated(int32_t slot);
