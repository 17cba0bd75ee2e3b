#include "platform/win32/dialog_layer.h"

#include "platform/typed_entry.h"
#include "platform/win32/wide_text.h"

namespace {

std::wstring ControlText(HWND control)
{
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied));
    return text;
}

bool IsButton(HWND control)
{
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    return lstrcmpiW(className, L"Button") == 0;
}

// Writes to live controls without calling their routines: edits report SetWindowText as a change.
class QuietSetting {
public:
    explicit QuietSetting(DialogRecord& dialog) : dialog_(dialog), saved_(dialog.settingValues)
    {
        dialog_.settingValues = true;
    }
    ~QuietSetting() { dialog_.settingValues = saved_; }
    QuietSetting(const QuietSetting&) = delete;
    QuietSetting& operator=(const QuietSetting&) = delete;

private:
    DialogRecord& dialog_;
    bool saved_;
};

void ApplyStagedValues(DialogRecord& dialog)
{
    QuietSetting quiet(dialog);
    for (const DialogControlValues& staged : dialog.controls) {
        HWND control = GetDlgItem(dialog.window, staged.id);
        if (!control) continue;
        if (staged.text) SetWindowTextW(control, WideText(*staged.text).c_str());
        if (staged.checked) SendMessageW(control, BM_SETCHECK, *staged.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (staged.enabled) EnableWindow(control, *staged.enabled ? TRUE : FALSE);
    }
}

// Replaces the record's values by those of the live controls, keeping the routines of controls
// that exist, so that Get answers for exactly the dialog's controls after the run.
void KeepFinalValues(DialogRecord& dialog)
{
    std::vector<DialogControlValues> final;
    for (HWND control = GetWindow(dialog.window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        DialogControlValues& values = StageControl(final, GetDlgCtrlID(control));
        values.text = Utf8Text(ControlText(control));
        if (IsButton(control))
            values.checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        values.enabled = IsWindowEnabled(control) ? 1 : 0;
        if (const DialogControlValues* before = FindControl(dialog.controls, values.id))
            values.callback = before->callback;
    }
    dialog.controls.swap(final);
}

INT_PTR OnCommand(DialogRecord& dialog, int controlId, int code)
{
    if (dialog.settingValues) return TRUE;
    if (controlId == IDCANCEL) {
        EndDialog(dialog.window, 2);
        return TRUE;
    }
    const DialogControlValues* control = FindControl(dialog.controls, controlId);
    if (const DialogCallback routine = control ? control->callback : nullptr) {
        if (code == BN_CLICKED) {
            dialog.inCallback = true;
            routine(dialog, controlId, DIALOG_CLICKED);
            dialog.inCallback = false;
        } else if (code == EN_KILLFOCUS && !dialog.inCallback &&
                   GetFocus() != GetDlgItem(dialog.window, IDCANCEL)) {
            // An edit is checked when the user leaves it. A message box of the check takes the
            // focus again, and leaving for Cancel needs no check.
            dialog.inCallback = true;
            routine(dialog, controlId, DIALOG_CHANGED);
            dialog.inCallback = false;
        }
        return TRUE;
    }
    if (controlId == IDOK && code == BN_CLICKED) {
        EndDialog(dialog.window, 1);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK DialogLayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<DialogRecord*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->window = window;
        ApplyStagedValues(*dialog);
        if (dialog->opened) {
            dialog->inCallback = true;
            dialog->opened(*dialog, 0, DIALOG_OPENED);
            dialog->inCallback = false;
        }
        return TRUE;
    }
    auto* dialog = reinterpret_cast<DialogRecord*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!dialog) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return OnCommand(*dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        // The controls still exist while their parent gets WM_DESTROY.
        KeepFinalValues(*dialog);
        dialog->window = nullptr;
        SetWindowLongPtrW(window, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

HWND LiveControl(const DialogRecord& dialog, int controlId)
{
    return dialog.window ? GetDlgItem(dialog.window, controlId) : nullptr;
}

}  // namespace

int DialogInit(DialogRecord& dialog, int templateId)
{
    if (dialog.window) return 0;
    dialog = DialogRecord{};
    if (!FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), RT_DIALOG)) return 0;
    dialog.templateId = templateId;
    return 1;
}

int DialogSetText(DialogRecord& dialog, int controlId, std::string_view text)
{
    if (!dialog.templateId) return 0;
    if (!dialog.window) {
        StageControl(dialog.controls, controlId).text = std::string(text);
        return 1;
    }
    HWND control = LiveControl(dialog, controlId);
    if (!control) return 0;
    QuietSetting quiet(dialog);
    SetWindowTextW(control, WideText(text).c_str());
    return 1;
}

int DialogGetText(const DialogRecord& dialog, int controlId, std::string& text)
{
    text.clear();
    if (!dialog.templateId) return 0;
    if (dialog.window) {
        HWND control = LiveControl(dialog, controlId);
        if (!control) return 0;
        text = Utf8Text(ControlText(control));
        return 1;
    }
    const DialogControlValues* control = FindControl(dialog.controls, controlId);
    if (!control || !control->text) return 0;
    text = *control->text;
    return 1;
}

int DialogSetLogical(DialogRecord& dialog, int controlId, int value, int selector)
{
    if (!dialog.templateId) return 0;
    if (selector != DIALOG_SELECT_CHECKED && selector != DIALOG_SELECT_ENABLED) return 0;
    const int state = value ? 1 : 0;
    if (!dialog.window) {
        DialogControlValues& staged = StageControl(dialog.controls, controlId);
        (selector == DIALOG_SELECT_CHECKED ? staged.checked : staged.enabled) = state;
        return 1;
    }
    HWND control = LiveControl(dialog, controlId);
    if (!control) return 0;
    QuietSetting quiet(dialog);
    if (selector == DIALOG_SELECT_CHECKED)
        SendMessageW(control, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
    else
        EnableWindow(control, state ? TRUE : FALSE);
    return 1;
}

int DialogGetLogical(const DialogRecord& dialog, int controlId, int& value, int selector)
{
    value = 0;
    if (!dialog.templateId) return 0;
    if (selector != DIALOG_SELECT_CHECKED && selector != DIALOG_SELECT_ENABLED) return 0;
    if (dialog.window) {
        HWND control = LiveControl(dialog, controlId);
        if (!control) return 0;
        if (selector == DIALOG_SELECT_CHECKED)
            value = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        else
            value = IsWindowEnabled(control) ? 1 : 0;
        return 1;
    }
    const DialogControlValues* control = FindControl(dialog.controls, controlId);
    if (!control) return 0;
    const std::optional<int>& state = selector == DIALOG_SELECT_CHECKED ? control->checked : control->enabled;
    if (!state) return 0;
    value = *state;
    return 1;
}

int DialogSetCallback(DialogRecord& dialog, int controlId, DialogCallback routine)
{
    if (!dialog.templateId) return 0;
    StageControl(dialog.controls, controlId).callback = routine;
    return 1;
}

int DialogSetOpenRoutine(DialogRecord& dialog, DialogCallback routine)
{
    if (!dialog.templateId) return 0;
    dialog.opened = routine;
    return 1;
}

int DialogRunModal(DialogRecord& dialog)
{
    if (!dialog.templateId || dialog.window) return -1;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialog.templateId),
                                           GetActiveWindow(), DialogLayerProc, reinterpret_cast<LPARAM>(&dialog));
    return result == 1 || result == 2 ? static_cast<int>(result) : -1;
}

int DialogExit(DialogRecord& dialog)
{
    if (!dialog.window) return 0;
    EndDialog(dialog.window, 1);
    return 1;
}

int DialogRelease(DialogRecord& dialog)
{
    if (dialog.window) return 0;
    dialog = DialogRecord{};
    return 1;
}

int ReadDialogReal(HWND dialog, int controlId, double& value)
{
    HWND control = GetDlgItem(dialog, controlId);
    std::string message = "Error reading dialog-item";
    if (control) {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        // A character beyond ASCII is no part of a number.
        std::string field;
        for (wchar_t c : text) field += c < 128 ? static_cast<char>(c) : '?';
        const EntryFault fault = ReadEntryNumber(field, EntryKind::Real, value);
        if (fault == EntryFault::None) return 1;
        message += ". " + EntryRefusal("Entry", field, fault);
    }
    MessageBoxW(dialog, WideText(message).c_str(), L"KELO::Vesk Error", MB_OK);
    if (control) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return 0;
}

int DialogRunEntries(int templateId, const std::vector<std::pair<int, std::string>>& staged,
                     std::vector<std::string>& texts)
{
    texts.clear();
    DialogRecord dialog;
    if (!DialogInit(dialog, templateId)) return -1;
    for (const auto& [id, text] : staged) DialogSetText(dialog, id, text);
    const int result = DialogRunModal(dialog);
    for (const auto& [id, text] : staged) {
        std::string final;
        DialogGetText(dialog, id, final);
        texts.push_back(final);
    }
    DialogRelease(dialog);
    return result;
}
