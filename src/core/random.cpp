#include "core/random.h"

#include <algorithm>
#include <chrono>

namespace vitrine {
namespace {
// xoshiro128** seeded through splitmix64: small, fast, and the same on every platform.
struct Generator {
  uint32_t s[4] = {0x9E3779B9u, 0x243F6A88u, 0xB7E15162u, 0x12345678u};

  static uint32_t Rotl(uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

  uint32_t Next() {
    uint32_t result = Rotl(s[1] * 5, 7) * 9;
    uint32_t t = s[1] << 9;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 11);
    return result;
  }

  void Seed(uint64_t seed) {
    for (auto& word : s) {
      seed += 0x9E3779B97F4A7C15ull;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = static_cast<uint32_t>(z ^ (z >> 31));
    }
    if ((s[0] | s[1] | s[2] | s[3]) == 0) s[0] = 1;
  }
};

Generator& TheGenerator() {
  static Generator generator;
  return generator;
}

// A 32-bit output scaled to 0..n-1 by its high bits, for n > 0.
int32_t Scale(uint32_t value, int32_t n) {
  return static_cast<int32_t>((static_cast<uint64_t>(value) * static_cast<uint32_t>(n)) >> 32);
}
}  // namespace

void RandomSeed(uint64_t seed) { TheGenerator().Seed(seed); }

void RandomSeedFromClock() {
  RandomSeed(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
             static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  return Scale(TheGenerator().Next(), n);
}

void RandomFill(int32_t n, int32_t* out, size_t count) {
  if (n <= 0) {
    std::fill(out, out + count, 0);
    return;
  }
  // The state stays in registers for the whole run instead of going back to memory after
  // every draw.
  Generator generator = TheGenerator();
  for (size_t i = 0; i < count; ++i) out[i] = Scale(generator.Next(), n);
  TheGenerator() = generator;
}

double RandomUnit() { return TheGenerator().Next() / 4294967296.0; }

RandomState RandomSaveState() {
  RandomState state;
  for (int i = 0; i < 4; ++i) state.words[i] = TheGenerator().s[i];
  return state;
}

void RandomRestoreState(const RandomState& state) {
  for (int i = 0; i < 4; ++i) TheGenerator().s[i] = state.words[i];
}

}  // namespace vitrine
