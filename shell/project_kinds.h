#pragma once
// What the shell's project commands need of each project kind, filled by the univariate and
// multivariate modules at start-up. Every operation takes a slot number whose kind is the one
// the table was registered for; a null operation is a step the kind does not have (the command
// then does nothing for it and returns 0).
#include <cstdint>
#include <vector>

struct HWND__;
struct PlotRecord;
struct SeriesTable;

struct ProjectFacts {
    bool hasData = false;
    bool spectrumWindowOpen = false;  // a univariate spectrum or cumulative spectrum view is open
    bool logSpectrum = false;         // a univariate project draws its spectra on the log scale
    // Changes since the project was last opened or saved that its Save would keep; never set for
    // a project that has not held data.
    bool changed = false;
};

struct ProjectKindOperations {
    // Makes the empty record of a new project and its window in `slot` (the kind already set).
    // Returns 1, 0 when no record could be made.
    int32_t (*create)(int32_t slot) = nullptr;
    // Frees the record and everything it owns and clears the slot's record pointer.
    int32_t (*free)(int32_t slot) = nullptr;
    // The file part of Open on a new empty project: 1 when data were read, 0 when the file dialog
    // was cancelled, -1 when the chosen file gave nothing (the user has been told why).
    int32_t (*open)(int32_t slot) = nullptr;
    // Writes the project to its file, through Save As when it has none: 1 when written; 0 when
    // the writing failed or the user cancelled (the project keeps its changed mark then).
    int32_t (*save)(int32_t slot) = nullptr;
    int32_t (*saveAs)(int32_t slot) = nullptr;
    int32_t (*minimize)(int32_t slot) = nullptr;
    int32_t (*restore)(int32_t slot) = nullptr;
    // Retitles the project's windows; `ask` non-zero asks the title first.
    int32_t (*rename)(int32_t slot, int32_t ask) = nullptr;
    int32_t (*importFile)(int32_t slot) = nullptr;
    // Reads the clipboard into the project. `read` is 1 when the clipboard held numbers, 0 when
    // it was empty or unreadable (the caller then says so). Returns 1 when data were replaced.
    int32_t (*importClipboard)(int32_t slot, int32_t& read) = nullptr;
    int32_t (*exportData)(int32_t slot) = nullptr;
    // Opens or rewrites the report window of `view`, one of the project's views.
    int32_t (*showInfo)(int32_t slot, PlotRecord& view) = nullptr;
    // Repaints every plot window of the project (after a colour change).
    int32_t (*redraw)(int32_t slot) = nullptr;
    // The shared plot colours were changed; a kind that saves them with its projects marks the
    // project changed.
    void (*colorsChanged)(int32_t slot) = nullptr;
    // The project-specific toolbar buttons and the three status-bar parts.
    int32_t (*setupToolbar)(int32_t slot) = nullptr;
    int32_t (*statusBar)(int32_t slot) = nullptr;
    // Sets the kind's own menu items once the shell has enabled its menus for a project with
    // data (the univariate Transform and Regression items and the Undo text).
    int32_t (*menus)(int32_t slot) = nullptr;
    ProjectFacts (*facts)(int32_t slot) = nullptr;
    // The window whose caption names the project.
    HWND__* (*captionWindow)(int32_t slot) = nullptr;
    // The project's data as a table of series (m = 0: no data). Returns 0 when the project has no
    // record that can give or take a series.
    int32_t (*readData)(int32_t slot, SeriesTable& out) = nullptr;
    // Replaces the project's data by `table` (m = 0 clears it).
    int32_t (*replaceData)(int32_t slot, const SeriesTable& table) = nullptr;
    // Appends one series, keeping the smaller row count.
    int32_t (*appendSeries)(int32_t slot, const std::vector<double>& series) = nullptr;
};

// Installs the operations of `kind` (PROJECT_UNIVARIATE or PROJECT_MULTIVARIATE); a later call
// replaces them. Other kinds are ignored.
void RegisterProjectKind(int32_t kind, const ProjectKindOperations& operations);

// The operations of the project in `slot`; null when the slot number is out of range, the slot
// is free or its kind registered nothing.
const ProjectKindOperations* ProjectOperations(int32_t slot);
// The operations registered for `kind`; null when none.
const ProjectKindOperations* KindOperations(int32_t kind);
