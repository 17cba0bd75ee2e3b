#include <windows.h>

#include "shell/win32/frame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int)
{
    StartFrame(instance, previousInstance);
    return RunMessageLoop();
}
