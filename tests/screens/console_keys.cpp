// Types keys into a console program's window from another process (scripts/ospe-screenshot.sh).
// Usage: console_keys TITLE TOKEN... (the tokens of tests/blackbox/console_keys.h); waits up to
// 30 seconds for the window. Exit code 0, or 1 without the window or with an unknown token.
#include "../blackbox/console_keys.h"

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: console_keys TITLE TOKEN...\n");
        return 1;
    }
    HWND window = WaitForConsoleWindow(argv[1], 30000);
    if (!window) {
        std::fprintf(stderr, "console_keys: no window\n");
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        std::string token;
        for (const wchar_t* c = argv[i]; *c; ++c)
            token += static_cast<char>(*c);
        if (!PostConsoleKeys(window, token)) {
            std::fprintf(stderr, "console_keys: unknown token %s\n", token.c_str());
            return 1;
        }
    }
    return 0;
}
