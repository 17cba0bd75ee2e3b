#pragma once
// Shared by the fuzz harnesses: a failed check aborts, so libFuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)
