// A console program on the headless PC, for runs without a window: `PROGRAM SCRIPT [FOLDER]`
// takes its inputs from the script file (platform/pc_headless.h) and leaves the screen, its
// transcript and how the run ended in FOLDER. Built per program by vesk_console_program (CMake),
// which names the program's header and dialogue routine.
#include VESK_CONSOLE_HEADER

#include "platform/pc_headless.h"

int main(int argc, char** argv)
{
    HeadlessProgramMain(argc, argv, VESK_CONSOLE_MAIN);
}
