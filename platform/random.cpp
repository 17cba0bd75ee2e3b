#include "platform/random.h"

#include <cstdlib>
#include <mutex>

namespace {
std::mutex generatorLock;
int64_t state = 1;
int64_t savedSeed = 1;
}  // namespace

int32_t LehmerSeed(int64_t seed)
{
    int64_t s = seed < 0 ? -seed : seed;
    s %= kLehmerModulus;
    return static_cast<int32_t>(s == 0 ? 1 : s);
}

void SetLehmerSeed(int64_t seed)
{
    std::lock_guard<std::mutex> guard(generatorLock);
    savedSeed = LehmerSeed(seed);
    state = savedSeed;
}

double UniformRandom(int32_t flag)
{
    std::lock_guard<std::mutex> guard(generatorLock);
    if (flag == 1) {
        state = savedSeed;
    } else if (flag != 0) {
        savedSeed = LehmerSeed(flag);
        state = savedSeed;
    }
    state = (state * kLehmerMultiplier) % kLehmerModulus;
    return static_cast<double>(state) / static_cast<double>(kLehmerModulus);
}
