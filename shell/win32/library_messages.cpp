#include "shell/win32/library_messages.h"

#include <windows.h>

#include <string>

#include "numlib/error_stack.h"
#include "shell/library_message_text.h"
#include "shell/win32/frame.h"

namespace {

// Frame commands running now (nested ones included), and whether one of them showed a warning.
int commandDepth = 0;
bool warnedInCommand = false;

// Library text is ASCII; line ends become CR LF for the message box.
std::wstring BoxText(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '\n') out += L'\r';
        out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return out;
}

void ShowLibraryStop(const std::string& messages, void*)
{
    const std::wstring text = BoxText(LibraryMessageText(messages));
    MessageBoxW(MessageBoxOwner(), text.c_str(), L"KELO::Error", MB_OK | MB_ICONERROR);
}

void ShowLibraryWarning(const std::string& warnings, void*)
{
    if (commandDepth > 0) {
        if (warnedInCommand) return;
        warnedInCommand = true;
    }
    const std::wstring text = BoxText(LibraryMessageText(warnings));
    MessageBoxW(MessageBoxOwner(), text.c_str(), L"KELO::Warning", MB_OK | MB_ICONWARNING);
}

}  // namespace

void InstallLibraryMessageHook()
{
    SetLibraryStopHook(ShowLibraryStop, nullptr);
    SetLibraryWarningHook(ShowLibraryWarning, nullptr);
}

LibraryWarningScope::LibraryWarningScope()
{
    if (commandDepth++ == 0) warnedInCommand = false;
}

LibraryWarningScope::~LibraryWarningScope() { --commandDepth; }
