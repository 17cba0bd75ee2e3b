#include "platform/standard_output.h"

#include <cstdio>

void WriteStandardOutput(std::string_view text, std::string* capture)
{
    if (capture != nullptr) {
        capture->append(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}
