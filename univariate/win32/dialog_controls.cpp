#include "univariate/win32/dialog_controls.h"

#include "platform/win32/wide_text.h"
#include "shell/win32/frame.h"

std::wstring DialogItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    const int length = item ? GetWindowTextLengthW(item) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (item) GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void FocusSelected(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    SetFocus(item);
    SendMessageW(item, EM_SETSEL, 0, -1);
}

void EnableDialogControls(HWND dialog, std::initializer_list<int> ids, bool enabled)
{
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

void KeepFocusIn(HWND dialog)
{
    HWND focus = GetFocus();
    if (focus != dialog && !IsChild(dialog, focus)) SetFocus(dialog);
}

void ShowDialogMessage(HWND dialog, const std::string& text, const char* caption)
{
    MessageBoxW(dialog ? dialog : MessageBoxOwner(), WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
}

void DialogTexts::Write(HWND dialog, int id, const std::string& text)
{
    ++writing;
    SetDlgItemTextW(dialog, id, WideText(text).c_str());
    --writing;
}

void DialogTexts::Show(HWND dialog, int id, const std::string& text)
{
    Write(dialog, id, text);
    shown[id] = DialogItemText(dialog, id);
}

void DialogTexts::Accept(HWND dialog, int id) { shown[id] = DialogItemText(dialog, id); }

std::optional<std::string> DialogTexts::Edited(HWND dialog, int id)
{
    const std::wstring text = DialogItemText(dialog, id);
    const auto at = shown.find(id);
    if (at != shown.end() && at->second == text) return std::nullopt;
    if (at != shown.end()) shown.erase(at);
    return Utf8Text(text);
}

void DialogTexts::End(HWND dialog, INT_PTR result)
{
    ending = true;
    EndDialog(dialog, result);
}
