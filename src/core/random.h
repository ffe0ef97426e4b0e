#pragma once
// The one process-wide pseudo-random generator. Every random choice of the system goes
// through it, so a test or a render can seed it and get the same show every time, on every
// build (the sequence does not depend on the C++ library).
#include <cstdint>

namespace vitrine {

// Seeds the generator; the same seed gives the same sequence.
void RandomSeed(uint64_t seed);
// Seeds from the clock, as a show does once at start-up.
void RandomSeedFromClock();
// Uniform over 0..n-1; 0 when n <= 0.
int32_t Random(int32_t n);
// Uniform in [0, 1).
double RandomUnit();

}  // namespace vitrine
