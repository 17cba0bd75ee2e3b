#include <windows.h>

#include "app/win32/program_start.h"
#include "shell/win32/frame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int)
{
    if (!StartProgram(instance, previousInstance)) return 1;
    return RunMessageLoop();
}
