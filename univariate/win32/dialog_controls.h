#pragma once
// Small pieces the univariate command dialogs with their own procedures share: the state behind
// DWLP_USER, texts the dialog writes into its own edits (told apart from what the user types),
// focus and enabling helpers, and their message boxes.
#include <windows.h>

#include <initializer_list>
#include <map>
#include <optional>
#include <string>

// A dialog's state lives behind DWLP_USER from WM_INITDIALOG to WM_NCDESTROY.
template <typename State>
State* DialogStateOf(HWND dialog)
{
    return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// For WM_NCDESTROY: forgets and deletes the state; returns FALSE (the message goes on).
template <typename State>
INT_PTR ReleaseDialogState(HWND dialog, State* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    delete state;
    return FALSE;
}

// The whole text of a control.
std::wstring DialogItemText(HWND dialog, int id);
// Gives the control the focus with its whole text selected.
void FocusSelected(HWND dialog, int id);
void EnableDialogControls(HWND dialog, std::initializer_list<int> ids, bool enabled);
// Keeps the keyboard in the dialog after a message box or a redraw moved it elsewhere.
void KeepFocusIn(HWND dialog);
// A message box with an OK button, owned by the dialog (else the active dialog or the frame).
void ShowDialogMessage(HWND dialog, const std::string& text, const char* caption);

// What the dialog itself writes into its controls. Change notifications raised by those writes
// come while `writing` is above 0; a text the dialog showed is read back only once the user has
// changed it, so a value shown rounded keeps its full precision.
struct DialogTexts {
    int writing = 0;
    bool ending = false;  // the dialog is ending: leaving an edit checks nothing
    std::map<int, std::wstring> shown;

    // Writes a control's text.
    void Write(HWND dialog, int id, const std::string& text);
    // Writes an edit's text and remembers it as shown.
    void Show(HWND dialog, int id, const std::string& text);
    // Takes the edit's present text as shown.
    void Accept(HWND dialog, int id);
    // The edit's text when the user changed it since the dialog showed it; nothing otherwise.
    std::optional<std::string> Edited(HWND dialog, int id);
    // Ends the dialog with `result`.
    void End(HWND dialog, INT_PTR result);
};
