#pragma once
#include <cstdint>

// Lehmer (Park-Miller) uniform generator: state := 48271 * state mod (2^31 - 1).
// The state is the program's one piece of shared state; every call takes its lock.
//
// UniformRandom(flag) returns a double in the open interval (0, 1):
//   flag 0: the next value of the sequence;
//   flag 1: restart from the seed saved by the last reseeding, then return the next value;
//   other:  reseed with flag, then return the next value.
// A seed is reduced modulo 2^31 - 1 (negative seeds by their magnitude); a seed that reduces to 0
// would stick the generator at 0, so it is mapped to 1.
double UniformRandom(int32_t flag);

// Reseeds with `seed` (reduced as above) and saves it for a restart, without drawing a value.
// Unlike UniformRandom, every seed is a seed here: 1 included.
void SetLehmerSeed(int64_t seed);

// The reduced seed that UniformRandom(seed) would start from (exposed for tests).
int32_t LehmerSeed(int64_t seed);

constexpr int32_t kLehmerModulus = 2147483647;
constexpr int32_t kLehmerMultiplier = 48271;
