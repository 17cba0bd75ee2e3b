#pragma once
// Dialog-template layer: modal dialogs built from the program's dialog templates, driven by
// control id. Values and callbacks are staged on a record before the run, act on the live
// controls during it, and stay readable after it until DialogRelease.
//
// Typical use:
//     DialogRecord dialog;
//     if (!DialogInit(dialog, IDD_SOMETHING)) return 0;
//     DialogSetText(dialog, 1101, "3");
//     DialogSetCallback(dialog, IDOK, CheckEntries);  // the dialog then ends only by DialogExit
//     const int result = DialogRunModal(dialog);      // 1 OK, 2 Cancel
//     std::string text;
//     DialogGetText(dialog, 1101, text);
//     DialogRelease(dialog);
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dialog_values.h"

// Selectors of DialogSetLogical / DialogGetLogical.
enum : int {
    DIALOG_SELECT_CHECKED = 0,   // check state of a check box or radio button
    DIALOG_SELECT_ENABLED = -3,  // enabled state of any control
};

struct DialogRecord {
    int templateId = 0;       // 0 while unbound
    HWND window = nullptr;    // the live dialog, only during the run; callbacks use it
    std::vector<DialogControlValues> controls;
    bool settingValues = false;  // true while the layer itself writes to live controls
    bool inCallback = false;     // true while a control's routine runs
    DialogCallback opened = nullptr;
};

// Binds `dialog` to the dialog template `templateId` of the program's resources, discarding what
// the record held. Returns 1, or 0 when no such template exists or the record is running.
[[nodiscard]] int DialogInit(DialogRecord& dialog, int templateId);

// Text of an edit or static control. Before the run the text is staged; during it the live control
// changes (without calling the control's callback); after it Get returns the final text.
// Return 1, or 0 when the record is unbound, or the control does not exist (live) or is unknown.
int DialogSetText(DialogRecord& dialog, int controlId, std::string_view text);
int DialogGetText(const DialogRecord& dialog, int controlId, std::string& text);

// Check state (selector DIALOG_SELECT_CHECKED) or enabled state (DIALOG_SELECT_ENABLED) of a
// control; `value` non-zero means checked or enabled. Setting a radio button changes only that
// button, never the others of its group. Staging, live and final values as for texts.
// Return 1, or 0 as for texts and for an unknown selector.
int DialogSetLogical(DialogRecord& dialog, int controlId, int value, int selector = DIALOG_SELECT_CHECKED);
int DialogGetLogical(const DialogRecord& dialog, int controlId, int& value,
                     int selector = DIALOG_SELECT_CHECKED);

// Attaches `routine` to a control (null detaches it). It is called with DIALOG_CLICKED when the
// user clicks a button and with DIALOG_CHANGED when the user leaves an edit (it loses the focus); changes made
// through the layer call no routine. A routine on OK (IDOK) replaces the default ending: the run
// then ends with 1 only when a routine calls DialogExit. Cancel and the close box always end it.
// Returns 1, or 0 when the record is unbound.
int DialogSetCallback(DialogRecord& dialog, int controlId, DialogCallback routine);

// Attaches a routine called once when the dialog opens, after the staged values are in its
// controls, with control id 0 and DIALOG_OPENED: for what staging cannot hold, such as pictures.
// Returns 1, or 0 when the record is unbound.
int DialogSetOpenRoutine(DialogRecord& dialog, DialogCallback routine);

// Runs the dialog modally over the active window (the frame). Returns 1 for OK or DialogExit,
// 2 for Cancel or the close box, -1 when the record is unbound or already running or the
// dialog could not be created.
[[nodiscard]] int DialogRunModal(DialogRecord& dialog);

// From a callback: ends the run with 1, keeping the controls' final values. Returns 1, or 0 when
// the record is not running.
int DialogExit(DialogRecord& dialog);

// Unbinds the record and forgets its values and callbacks; it can then be bound again.
// Returns 1, or 0 while it is running.
int DialogRelease(DialogRecord& dialog);

// A dialog of edits in one call: binds `templateId`, stages the edits' texts, runs it and returns
// DialogRunModal's result (-1 when there is no such template), with the edits' final texts in
// `texts` in the order of `staged`.
int DialogRunEntries(int templateId, const std::vector<std::pair<int, std::string>>& staged,
                     std::vector<std::string>& texts);

// Reads one real number, the whole text of a control of a live dialog (any dialog window, of the
// layer or not; ReadEntryNumber). On failure shows "Error reading dialog-item" and the reason
// ("Error reading dialog-item. Entry \"0,5\" has a decimal comma: type a decimal point.", caption
// "KELO::Vesk Error") and moves the focus to the control, for the user to correct it.
// Returns 1 with `value` set, or 0 with `value` unchanged.
[[nodiscard]] int ReadDialogReal(HWND dialog, int controlId, double& value);
