// ospe in its window.
#include "console/ospe.h"
#include "platform/win32/pc_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    PcWindowRun(instance, L"OSPE", OspeMain);
}
