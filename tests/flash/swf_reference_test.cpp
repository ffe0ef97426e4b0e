// Movies that other programs wrote, drawn by our player and compared with their reference:
// mean difference per channel at most 3 of 255, no 16 x 16 block off by more than 24.
#include <gtest/gtest.h>

#include "flash/swf_render.h"

namespace vitrine::test {
namespace {

struct Difference {
  double mean = 0;       // per channel, over the frame
  double worstBlock = 0;  // mean per channel of the worst 16 x 16 block
};

Difference Compare(const Bitmap& ours, const uint8_t* rgb, int width, int height) {
  Difference d;
  double total = 0;
  for (int by = 0; by < height; by += 16)
    for (int bx = 0; bx < width; bx += 16) {
      double block = 0;
      int n = 0;
      for (int y = by; y < std::min(by + 16, height); ++y)
        for (int x = bx; x < std::min(bx + 16, width); ++x, ++n) {
          const uint8_t* p = rgb + (size_t(y) * width + x) * 3;
          Color c = ours.GetPixel(x, y);
          double e = std::abs(RedOf(c) - p[0]) + std::abs(GreenOf(c) - p[1]) + std::abs(BlueOf(c) - p[2]);
          block += e;
          total += e;
        }
      d.worstBlock = std::max(d.worstBlock, block / (3.0 * n));
    }
  d.mean = total / (3.0 * width * height);
  return d;
}

TEST(SwfReference, FfmpegPictureSequenceMatchesFfmpegsOwnDecode) {
  std::vector<uint8_t> movie = TestDataFile("flash/ffmpeg_testsrc.swf");
  std::vector<uint8_t> reference = TestDataFile("flash/ffmpeg_testsrc.rgb");
  ASSERT_FALSE(movie.empty() || reference.empty()) << "tests/data/flash/ffmpeg_testsrc.swf or .rgb is missing";
  constexpr int kWidth = 48, kHeight = 32;
  auto player = PlayerOf(movie);
  ASSERT_TRUE(player);
  ASSERT_EQ(player->FrameCount(), 3u);
  ASSERT_EQ(reference.size(), size_t(3 * kWidth * kHeight * 3));
  player->Play();
  for (uint32_t frame = 0; frame < 3; ++frame) {
    SCOPED_TRACE(frame);
    ASSERT_EQ(player->CurrentFrame(), frame);
    Bitmap ours = Draw(*player, kWidth, kHeight);
    Difference d = Compare(ours, reference.data() + size_t(frame) * kWidth * kHeight * 3, kWidth, kHeight);
    EXPECT_LE(d.mean, 3.0);
    EXPECT_LE(d.worstBlock, 24.0);
    RecordProperty("frame" + std::to_string(frame) + "_mean", std::to_string(d.mean));
    std::printf("ffmpeg movie frame %u: mean %.3f, worst block %.3f\n", frame, d.mean, d.worstBlock);
    player->Tick();
  }
}

}  // namespace
}  // namespace vitrine::test
