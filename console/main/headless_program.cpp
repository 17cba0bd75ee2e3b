// A console program on the headless PC, for runs without a window: `PROGRAM SCRIPT [FOLDER]`
// takes its inputs from the script file (platform/pc_headless.h) and leaves the screen, its
// transcript and how the run ended in FOLDER. Built per program by vesk_console_program (CMake),
// which names the program's header and dialogue routine.
#include VESK_CONSOLE_HEADER

#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s SCRIPT [FOLDER]\n", argv[0]);
        return 2;
    }
    std::vector<unsigned char> bytes;
    if (ReadFileBytes(argv[1], bytes) != 1) {
        std::fprintf(stderr, "%s: cannot read the script %s\n", argv[0], argv[1]);
        return 2;
    }
    HeadlessScript script;
    std::string error;
    if (ParseHeadlessScript(std::string(bytes.begin(), bytes.end()), script, error) != 1) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    PcReset();
    PcInstallHeadless(script, argc == 3 ? argv[2] : "");
    VESK_CONSOLE_MAIN();
    HeadlessEnd(HeadlessEnding::Returned, 0);
}
