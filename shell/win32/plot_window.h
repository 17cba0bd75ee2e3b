#pragma once
// Plot windows (MDI children of class PlotWin showing a PlotRecord) and the registration of the
// four view classes; helpers the other view windows share.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "shell/plot_layout.h"
#include "shell/plot_record.h"

constexpr const wchar_t* kPlotWinClass = L"PlotWin";
constexpr const wchar_t* kPlotTxtWinClass = L"PlotTxtWin";
constexpr const wchar_t* kDupPlotWinClass = L"DupPlotWin";
constexpr const wchar_t* kDupTextWinClass = L"DupTextWin";

// Registers the four view classes, sets the default plot colours and keeps `instance` and
// `mdiClient` for every view window. Returns 1; 0 after telling the user when PlotWin cannot be
// registered (then no colours are set). A class registered before counts as registered.
int32_t RegisterPlotClasses(HINSTANCE instance, HWND mdiClient);

// Initialises `plot` and opens its window: an MDI child titled "Plot" showing it. isView 0 is a
// project's data window (closing it closes the project), 1 a derived view. Returns 1, 0 when the
// window could not be created. The caller sets the slot, fills the curves and sets the title.
int32_t CreatePlotWindow(PlotRecord& plot, int32_t isView);
// Restores the record's window and gives it the focus: 1; 0 when it has no window.
int32_t ActivatePlotWindow(PlotRecord& plot);
// Destroys the record's window and then frees the record: 1; 0 (record untouched) when it has
// no window.
int32_t DestroyPlotWindow(PlotRecord& plot);
// Deletes the record's picture, destroys its report window and clears its 10 curves.
void FreePlotRecord(PlotRecord& plot);

LRESULT CALLBACK PlotWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The rectangle a plot window's repaint draws into, and the panels laid out in it: what the
// window shows, for mapping mouse positions. Returns LayOutPlot's result.
RECT PlotPaintRect(HWND window);
[[nodiscard]] int32_t LayOutPlotWindow(HWND window, const PlotRecord& plot, PlotLayout& out);

// Shared by the view windows.
HINSTANCE ViewInstance();
HWND ViewClient();
// Creates an MDI child of `className` in the view client with default position and size, kept
// inside the client; `param` reaches the window procedure through the MDICREATESTRUCT.
HWND CreateViewChild(const wchar_t* className, const wchar_t* title, LPARAM param);
// Moves (and if need be shrinks) an MDI child so that it lies whole inside its MDI client, with
// its caption buttons in reach; a maximised or minimised child is left as it is.
void KeepInsideClient(HWND child);
// Window > Cascade: the view client's visible children that are not minimised, placed by
// CascadePlacement in their z-order (the front window last, at the bottom right) so that all lie
// whole inside the client; a maximised child is restored first and minimised ones stay arranged
// along the bottom, below the cascade.
void CascadeViews();
// Places `report` beside `window` (PlaceSideBySide) in their MDI client and makes `window` the
// active child, so that both show whole: a new project's window and its report.
void ShowReportBeside(HWND window, HWND report);
// Restores `window` when it is minimised and makes it the active MDI child, in front of the
// others: a report a command has just written.
void BringViewForward(HWND window);
// Inserts a separator and then each command at position 0 of the system menu, so the menu reads
// the commands in reverse order, then the separator, then the standard entries.
void AddViewCommands(HWND window, const UINT* commands, int count);
// The MDICREATESTRUCT parameter of WM_NCCREATE / WM_CREATE.
LPARAM MdiCreateParam(LPARAM createLParam);
// Records `plot` drawn into `rect` (panel selector as DrawPlot's, compute-mapping 0) as an
// enhanced metafile with the screen as reference; the frame of the picture is `rect`, so even an
// empty picture has its size.
HENHMETAFILE RecordPlotPicture(PlotRecord& plot, const RECT& rect, int32_t selector = 0);
// When the clipboard can be opened for `owner`: empties it and puts the picture `make` returns
// on it as CF_ENHMETAFILE (the clipboard then owns it). Returns 1 when a picture was placed, 0
// when the clipboard could not be opened or there was no picture.
int32_t CopyPictureToClipboard(HWND owner, const std::function<HENHMETAFILE()>& make);
