#include "core/lzma.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace vitrine {
namespace {

// The bytes tests/data/flash/make_lzma_fixtures.py compressed, built again the same way.
std::vector<uint8_t> Pattern(size_t count) {
  const std::string phrase = "a picture show, frame after frame; ";
  std::vector<uint8_t> out;
  uint32_t x = 12345;
  while (out.size() < count) {
    x = (x * 1103515245u + 12345u) & 0x7FFFFFFF;
    uint32_t r = x >> 16;
    if (r % 7 == 0) out.insert(out.end(), phrase.begin(), phrase.end());
    else if (r % 3 == 0) out.push_back(uint8_t(r & 0xFF));
    else out.push_back(uint8_t(97 + r % 5));
  }
  out.resize(count);
  return out;
}

std::vector<uint8_t> Fixture(const std::string& name) {
  const char* root = std::getenv("VITRINE_TEST_DATA");
  std::string path = std::string(root && *root ? root : "../data") + "/flash/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << path << " cannot be read";
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The .lzma files hold 5 property bytes, an 8-byte size (unknown: all ones) and the stream,
// which ends with the end marker.
struct Alone {
  std::vector<uint8_t> file;
  std::span<const uint8_t> Properties() const { return std::span(file).first(5); }
  std::span<const uint8_t> Stream() const { return std::span(file).subspan(13); }
};

TEST(Lzma, StreamsOfEveryLiteralAndPositionLayoutDecodeToTheirBytes) {
  const std::vector<uint8_t> expected = Pattern(30000);
  for (const char* name : {"lzma_pattern_default.lzma", "lzma_pattern_lc0_lp2_pb0.lzma"}) {
    Alone a{Fixture(name)};
    ASSERT_GT(a.file.size(), 13u) << name;
    std::vector<uint8_t> out;
    // Told the size, decoding stops there; told more, it stops at the end marker.
    EXPECT_EQ(LzmaDecode(a.Properties(), a.Stream(), expected.size(), out), LzmaStatus::Done) << name;
    EXPECT_TRUE(out == expected) << name;
    EXPECT_EQ(LzmaDecode(a.Properties(), a.Stream(), expected.size() + 1000, out), LzmaStatus::Done) << name;
    EXPECT_TRUE(out == expected) << name;
    // Told less, only that much comes out.
    EXPECT_EQ(LzmaDecode(a.Properties(), a.Stream(), 1234, out), LzmaStatus::Done) << name;
    EXPECT_TRUE(std::equal(out.begin(), out.end(), expected.begin()) && out.size() == 1234) << name;
  }
}

TEST(Lzma, CutAndDamagedStreamsStopWithinTheirBytes) {
  const std::vector<uint8_t> expected = Pattern(30000);
  Alone a{Fixture("lzma_pattern_default.lzma")};
  ASSERT_GT(a.file.size(), 2000u);
  std::vector<uint8_t> out;
  // Cut in the middle: a correct beginning, and the cut reported.
  EXPECT_EQ(LzmaDecode(a.Properties(), a.Stream().first(1500), expected.size(), out), LzmaStatus::CutShort);
  EXPECT_GT(out.size(), 1000u);
  EXPECT_LT(out.size(), expected.size());
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 1000, expected.begin()));
  // Invalid properties, a first byte that is not zero, no stream at all.
  std::vector<uint8_t> badProps = {225, 0, 0, 1, 0};
  EXPECT_EQ(LzmaDecode(badProps, a.Stream(), 100, out), LzmaStatus::Corrupt);
  std::vector<uint8_t> stream(a.Stream().begin(), a.Stream().end());
  stream[0] = 1;
  EXPECT_EQ(LzmaDecode(a.Properties(), stream, 100, out), LzmaStatus::Corrupt);
  EXPECT_EQ(LzmaDecode(a.Properties(), {}, 100, out), LzmaStatus::CutShort);
  EXPECT_TRUE(out.empty());
  // Damage anywhere: never more than asked, and a damaged stream does not pass as whole.
  int whole = 0;
  for (size_t at = 5; at < a.Stream().size(); at += 97) {
    std::vector<uint8_t> damaged(a.Stream().begin(), a.Stream().end());
    damaged[at] ^= 0x5A;
    LzmaStatus status = LzmaDecode(a.Properties(), damaged, expected.size() + 1000, out);
    EXPECT_LE(out.size(), expected.size() + 1000);
    if (status == LzmaStatus::Done && out == expected) ++whole;
  }
  EXPECT_EQ(whole, 0);
}

}  // namespace
}  // namespace vitrine
