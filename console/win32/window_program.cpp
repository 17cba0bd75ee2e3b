// A console program in its window (platform/win32/pc_window.h). Built per program by
// vesk_console_program (CMake), which names the program's header, dialogue routine and title.
#include VESK_CONSOLE_HEADER

#include "platform/win32/pc_window.h"

#define VESK_WIDE_TEXT(text) L##text
#define VESK_WIDE(text) VESK_WIDE_TEXT(text)

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    PcWindowRun(instance, VESK_WIDE(VESK_CONSOLE_NAME), VESK_CONSOLE_MAIN);
}
