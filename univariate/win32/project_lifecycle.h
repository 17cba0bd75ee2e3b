#pragma once
// The univariate halves of the project commands: Open and Import, Import Clipboard and the
// Project Editor's transfer, Save, Save As, Export, Rename, Minimize and Restore. Each takes the
// project's record and returns an int32 status.
#include <cstdint>
#include <vector>

struct UnivariateProject;

// Asks for a file and reads it: a multi-part file, a univariate project file or ASCII numbers.
// Only a file that loads data (or a whole project file) replaces the project's data, model and
// transforms; the data window is then titled with the file's name. Returns 1 loaded, 0 when
// cancelled or nothing was loaded (the project as it was; the readers show their messages, and
// a file without numbers is named in its own).
int32_t VeskOpen(UnivariateProject& project);

// VeskOpen, then the data curve, residuals and every open view brought up to date and the focus
// to the data window; the project then has no changes. Returns VeskOpen's result; `chosen` is 1
// when a file was chosen (0: the file dialog was cancelled).
int32_t VeskImportFile(UnivariateProject& project, int32_t& chosen);
int32_t VeskImportFile(UnivariateProject& project);

// Replaces the project's data by `values` (indices 1..n) and brings it up to date. Returns 1.
int32_t VeskImportData(UnivariateProject& project, const std::vector<double>& values);

// Writes the project to its own file; asks for a name (VeskSaveAs) when it has none yet. The
// file is replaced only after a complete write, which clears the changed mark. Returns 1
// written, 0 cancelled or failed (after the writer's message).
int32_t VeskSave(UnivariateProject& project);

// Asks for a new name (the file may be new) and writes the project there; on success the name
// becomes the project's file and its data window's title. Returns 1 written, 0 otherwise.
int32_t VeskSaveAs(UnivariateProject& project);

// Dialog 105: exports the series, residuals, periodogram, ACF or PACF to a file (one value a
// line) or to the clipboard. An existing file is replaced only after the file dialog's own
// question. Returns the file writer's result; 0 for the clipboard, for a cancelled dialog, no
// kind chosen or an empty vector.
int32_t VeskExport(UnivariateProject& project);

// With `ask` non-zero, asks the title in dialog 113; retitles every window of the project with
// its prefix and the title. Returns 0 when the project has no data window, else 1.
int32_t VeskRename(UnivariateProject& project, int32_t ask);

// Minimises, or has the MDI client restore, every existing window of the project. Return 1.
int32_t VeskMinimize(UnivariateProject& project);
int32_t VeskRestore(UnivariateProject& project);

// A new univariate project holding a copy of `record` (Simulate's new project), made current.
// Returns its slot, 0 when no slot was free (after "Maximum allowable projects exceeded").
int32_t NewProjectFromData(const UnivariateProject& record);
