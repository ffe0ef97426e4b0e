#pragma once
// The one process-wide pseudo-random generator. Every random choice of the system goes
// through it, so a test or a render can seed it and get the same show every time, on every
// build (the sequence does not depend on the C++ library).
#include <cstddef>
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
// count draws of Random(n) into out, the same as count calls in a row, only faster.
void RandomFill(int32_t n, int32_t* out, size_t count);

// The generator's whole state. A caller that draws ahead in blocks, more than it will turn
// out to use, saves the state before a block and, when it is done, goes back to it and
// draws again only as many as it used, so the sequence carries on as if it had drawn one
// at a time.
struct RandomState {
  uint32_t words[4];
};
RandomState RandomSaveState();
void RandomRestoreState(const RandomState& state);

}  // namespace vitrine
