// halvire's entry: in a window on Windows, on the headless PC natively (a script of inputs).
#include "console/halvire.h"

#ifdef _WIN32
#include "platform/win32/pc_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    PcWindowRun(instance, L"HALVIRE", HalvireMain);
}
#else
#include "platform/pc_headless.h"

int main(int argc, char** argv)
{
    HeadlessProgramMain(argc, argv, HalvireMain);
}
#endif
