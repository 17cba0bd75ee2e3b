#pragma once
// What the dialog-template layer keeps of a dialog's controls while no window exists: the values
// staged before a run and the values the controls had when the run ended. Portable, so the
// bookkeeping and the number reading are tested natively.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DialogRecord;

// Routine attached to a control; callbackType is one of the DIALOG_CLICKED / DIALOG_CHANGED codes.
using DialogCallback = void (*)(DialogRecord& dialog, int controlId, int callbackType);

enum : int {
    DIALOG_CLICKED = 1,  // a button was clicked (OK included)
    DIALOG_CHANGED = 2,  // the user left an edit, whose text is then checked
    DIALOG_OPENED = 3,   // the dialog is shown with its staged values (control id 0)
};

// One control. A field that is empty was neither staged nor read from a live control.
struct DialogControlValues {
    int id = 0;
    std::optional<std::string> text;  // UTF-8
    std::optional<int> checked;       // 1 checked, 0 not
    std::optional<int> enabled;       // 1 enabled, 0 disabled
    DialogCallback callback = nullptr;
};

// The entry of control `id`, appended when there is none yet.
DialogControlValues& StageControl(std::vector<DialogControlValues>& controls, int id);

// The entry of control `id`, or null.
const DialogControlValues* FindControl(const std::vector<DialogControlValues>& controls, int id);

// Reads a field that asks for one real number: the whole text is one item of number text, with
// blanks around it (ReadEntryNumber). Returns 1 with `value` set, 0 for anything else (`value`
// unchanged): a blank text, text, a decimal comma, a thousands separator, a date or a fraction,
// two numbers, Inf or NaN. ReadEntryNumber tells which, for the refusal's message.
[[nodiscard]] int ParseDialogReal(std::string_view text, double& value);

// The same for a field that asks for a whole number within the 32-bit integers: 1.5 is refused,
// 1e3 reads as 1000.
[[nodiscard]] int ParseDialogInteger(std::string_view text, int& value);
