#include "imaging/pad_bytes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vitrine {
namespace {

// Every version this processor runs, at every width across its vector steps and their
// tails, from every 4-byte alignment within a cache line: the pad bytes become 0, the colour
// bytes keep their values, and nothing outside the row is written.
TEST(PadBytes, EveryVersionClearsOnlyThePadBytesOfTheRow) {
  std::mt19937 random(7);
  constexpr size_t kGuard = 64;
  for (const PadClearer& version : PadClearers()) {
    SCOPED_TRACE(version.name);
    for (uint32_t width = 0; width <= 70; ++width)
      for (size_t offset = 0; offset < 64; offset += 4) {
        std::vector<uint8_t> before(kGuard + offset + 4 * width + kGuard);
        for (uint8_t& b : before) b = uint8_t(random() | 0x80);  // never 0 already
        std::vector<uint8_t> after = before;
        version.clear(after.data() + kGuard + offset, width);
        for (size_t i = 0; i < after.size(); ++i) {
          const bool inRow = i >= kGuard + offset && i < kGuard + offset + 4 * width;
          const bool pad = inRow && (i - kGuard - offset) % 4 == 3;
          ASSERT_EQ(after[i], pad ? 0 : before[i]) << "width " << width << ", offset " << offset << ", byte " << i;
        }
      }
  }
}

}  // namespace
}  // namespace vitrine
