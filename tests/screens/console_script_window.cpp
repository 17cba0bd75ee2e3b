// A console program in its window with its keys typed ahead from a script, for screenshots of a
// page deep in a dialogue (scripts/console-script-screenshot.sh):
//   console_script_window.exe PROGRAM SCRIPT
// PROGRAM is molda or drav; SCRIPT has the headless form (platform/pc_headless.h), of which keys
// and typed lines are posted to the window before the program starts. The program then runs in
// the current folder until the script's keys are used up and waits there.
#include "console/drav.h"
#include "console/molda.h"
#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"
#include "platform/win32/pc_window.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

struct NamedProgram {
    const wchar_t* name;
    void (*main)();
};

const NamedProgram kPrograms[] = {{L"molda", MoldaMain}, {L"drav", DravMain}};

WPARAM VirtualKey(unsigned char code)
{
    switch (code) {
    case 72: return VK_UP;
    case 80: return VK_DOWN;
    case 75: return VK_LEFT;
    case 77: return VK_RIGHT;
    case 71: return VK_HOME;
    case 79: return VK_END;
    case 73: return VK_PRIOR;
    case 81: return VK_NEXT;
    case 82: return VK_INSERT;
    case 83: return VK_DELETE;
    default: return code >= 59 && code <= 68 ? VK_F1 + (code - 59) : 0;
    }
}

void PostKeys(HWND window, const std::string& keys)
{
    for (size_t i = 0; i < keys.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(keys[i]);
        if (c == 0 && i + 1 < keys.size())
            PostMessageW(window, WM_KEYDOWN, VirtualKey(static_cast<unsigned char>(keys[++i])), 1);
        else
            PostMessageW(window, WM_CHAR, c, 1);
    }
}

int Fail(const wchar_t* message)
{
    MessageBoxW(nullptr, message, L"console_script_window", MB_OK | MB_ICONERROR);
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count != 3)
        return Fail(L"usage: console_script_window.exe PROGRAM SCRIPT");
    void (*program)() = nullptr;
    for (const NamedProgram& named : kPrograms)
        if (std::wstring(arguments[1]) == named.name)
            program = named.main;
    std::vector<unsigned char> bytes;
    const std::wstring wide(arguments[2]);
    if (program == nullptr || ReadFileBytes(std::string(wide.begin(), wide.end()), bytes) != 1)
        return Fail(L"unknown program or unreadable script");
    HeadlessScript script;
    std::string error;
    if (ParseHeadlessScript(std::string(bytes.begin(), bytes.end()), script, error) != 1)
        return Fail(L"malformed script");
    PcReset();
    HWND window = PcWindowOpen(instance, arguments[1], nullptr);
    if (window == nullptr)
        return Fail(L"no window");
    for (const HeadlessInput& input : script.inputs)
        if (input.kind == HeadlessInput::Kind::Keys)
            PostKeys(window, input.keys);
    program();
    PcStop(0);
}
