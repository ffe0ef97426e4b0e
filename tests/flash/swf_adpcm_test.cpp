// Our ADPCM decoder against FFmpeg's: sample for sample on what FFmpeg's encoder writes and on
// arbitrary bytes of every code size.
#ifdef VITRINE_HAVE_LIBAV
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <cmath>
#include <random>
#include <vector>

#include "flash/swf/sound.h"

namespace vitrine {
namespace {

// What libavcodec's adpcm_swf decoder makes of one run, as stereo frames (mono on both sides).
std::vector<int16_t> LibavDecode(const std::vector<uint8_t>& data, int rate, int channels) {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_ADPCM_SWF);
  if (!codec) return {};
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->sample_rate = rate;
  av_channel_layout_default(&ctx->ch_layout, channels);
  std::vector<int16_t> out;
  if (avcodec_open2(ctx, codec, nullptr) == 0) {
    std::vector<uint8_t> padded(data);
    padded.resize(data.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    packet->data = padded.data();
    packet->size = int(data.size());
    if (avcodec_send_packet(ctx, packet) == 0) {
      while (avcodec_receive_frame(ctx, frame) == 0) {
        bool planar = frame->format == AV_SAMPLE_FMT_S16P;
        for (int i = 0; i < frame->nb_samples; ++i) {
          for (int side = 0; side < 2; ++side) {
            int c = std::min(side, channels - 1);
            auto* plane = reinterpret_cast<const int16_t*>(frame->extended_data[planar ? c : 0]);
            out.push_back(planar ? plane[i] : plane[i * channels + c]);
          }
        }
        av_frame_unref(frame);
      }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
  avcodec_free_context(&ctx);
  return out;
}

// Ours at the sound's own rate, where the resampler passes every sample through.
std::vector<int16_t> OurDecode(const std::vector<std::vector<uint8_t>>& blocks, swf::SoundFormat format) {
  auto decoder = swf::CreateSoundDecoder(format, int32_t(format.RateHz()), nullptr);
  std::vector<int16_t> out;
  if (!decoder) return out;
  for (size_t i = 0; i < blocks.size(); ++i) decoder->Decode(blocks[i], out, size_t(1) << 24, i + 1 == blocks.size());
  return out;
}

swf::SoundFormat Adpcm(uint8_t rateCode, bool stereo) { return {swf::SoundCodec::Adpcm, rateCode, true, stereo}; }

// FFmpeg's encoder: one packet (a header, then one 4096-sample packet) per frame of a tone.
std::vector<std::vector<uint8_t>> LibavEncodeTone(int rate, int channels, int frames, double hz) {
  std::vector<std::vector<uint8_t>> packets;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_ADPCM_SWF);
  if (!codec) return packets;
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->sample_rate = rate;
  ctx->sample_fmt = AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&ctx->ch_layout, channels);
  if (avcodec_open2(ctx, codec, nullptr) == 0) {
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    int64_t t = 0;
    for (int f = 0; f < frames; ++f) {
      frame->nb_samples = ctx->frame_size;
      frame->format = ctx->sample_fmt;
      av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
      av_frame_get_buffer(frame, 0);
      auto* s = reinterpret_cast<int16_t*>(frame->data[0]);
      for (int i = 0; i < frame->nb_samples; ++i, ++t)
        for (int c = 0; c < channels; ++c)
          s[i * channels + c] = int16_t(std::lround((c ? -9000.0 : 12000.0) * std::sin(2 * M_PI * hz * double(t) / rate)));
      if (avcodec_send_frame(ctx, frame) == 0)
        while (avcodec_receive_packet(ctx, packet) == 0) {
          packets.emplace_back(packet->data, packet->data + packet->size);
          av_packet_unref(packet);
        }
      av_frame_unref(frame);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
  }
  avcodec_free_context(&ctx);
  return packets;
}

// The packets as one event sound: the first one's code-size header, the others' dropped.
std::vector<uint8_t> JoinPackets(const std::vector<std::vector<uint8_t>>& packets, const std::vector<size_t>& bitsEach) {
  std::vector<uint8_t> out;
  uint64_t at = 0;
  auto put = [&](bool bit) {
    if (at % 8 == 0) out.push_back(0);
    if (bit) out.back() |= uint8_t(0x80 >> (at % 8));
    ++at;
  };
  for (size_t p = 0; p < packets.size(); ++p)
    for (size_t b = p == 0 ? 0 : 2; b < bitsEach[p]; ++b) put(packets[p][b / 8] >> (7 - b % 8) & 1);
  return out;
}

TEST(SwfAdpcm, FfmpegsEncodedToneDecodesAsFfmpegDecodesIt) {
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const int rate = 22050;
    auto packets = LibavEncodeTone(rate, channels, 3, 440);
    ASSERT_EQ(packets.size(), 3u);
    swf::SoundFormat format = Adpcm(2, channels == 2);

    // As stream blocks: each packet its own run through one decoder.
    std::vector<int16_t> theirs;
    for (const auto& p : packets) {
      auto d = LibavDecode(p, rate, channels);
      theirs.insert(theirs.end(), d.begin(), d.end());
    }
    ASSERT_EQ(theirs.size(), size_t(3 * 4096 * 2));
    EXPECT_EQ(OurDecode(packets, format), theirs);

    // As one event sound, and what it decodes to is the tone that went in.
    const size_t packetBits = 2 + size_t(channels) * (22 + 4 * 4095);
    std::vector<uint8_t> joined = JoinPackets(packets, {packetBits, packetBits, packetBits});
    std::vector<int16_t> whole = LibavDecode(joined, rate, channels);
    ASSERT_EQ(whole.size(), size_t(3 * 4096 * 2));
    EXPECT_EQ(OurDecode({joined}, format), whole);
    // Past the first few samples, where the step size is still growing from its smallest.
    double error = 0;
    for (size_t i = 64; i < whole.size() / 2; ++i)
      error = std::max(error, std::abs(whole[i * 2] - 12000.0 * std::sin(2 * M_PI * 440 * double(i) / rate)));
    EXPECT_LT(error, 1500);
  }
}

TEST(SwfAdpcm, ArbitraryBytesOfEveryCodeSizeDecodeAsFfmpegDecodesThem) {
  av_log_set_level(AV_LOG_QUIET);  // FFmpeg says so of the runs too short for a sample
  std::mt19937 random(7);
  for (uint8_t codeSize = 0; codeSize < 4; ++codeSize)
    for (int channels : {1, 2})
      // Short of a header, in the middle of a packet, a packet and a bit, several packets.
      for (size_t bytes : {size_t(2), size_t(3), size_t(700), size_t(2 * 2600 + 5), size_t(9000)}) {
        SCOPED_TRACE(testing::Message() << int(codeSize) << " " << channels << " " << bytes);
        std::vector<uint8_t> data(bytes);
        for (auto& b : data) b = uint8_t(random());
        data[0] = uint8_t(codeSize << 6 | (data[0] & 0x3F));
        std::vector<int16_t> theirs = LibavDecode(data, 44100, channels);
        EXPECT_EQ(OurDecode({data}, Adpcm(3, channels == 2)), theirs);
        if (bytes >= 700) {
          EXPECT_GT(theirs.size(), 0u);
        }
      }
}

TEST(SwfAdpcm, EventSoundIsResampledAndCutToItsSampleCount) {
  auto packets = LibavEncodeTone(11025, 1, 2, 441);
  ASSERT_EQ(packets.size(), 2u);
  std::vector<uint8_t> joined = JoinPackets(packets, {2 + 22 + 4 * 4095, 2 + 22 + 4 * 4095});
  swf::SoundDefinition sound;
  sound.format = Adpcm(1, false);
  sound.sampleCount = 5000;
  sound.data = joined;
  std::vector<int16_t> out = swf::DecodeSound(sound, 44100, nullptr, size_t(1) << 20);
  ASSERT_EQ(out.size(), size_t(20000 * 2));
  // 441 Hz at 44.1 kHz: a cycle every 100 frames, on both sides.
  int crossings = 0;
  for (size_t i = 1; i < out.size() / 2; ++i) crossings += (out[i * 2] < 0) != (out[i * 2 - 2] < 0);
  EXPECT_NEAR(crossings, 400, 4);
  for (size_t i = 0; i < out.size(); i += 2) ASSERT_EQ(out[i], out[i + 1]);
}

}  // namespace
}  // namespace vitrine
#else
// The Windows builds carry no FFmpeg libraries to compare with: these cases show as skipped.
#include <gtest/gtest.h>

#define VITRINE_NO_FFMPEG GTEST_SKIP() << "FFmpeg's decoder is the reference here, and this build has no FFmpeg libraries"
TEST(SwfAdpcm, FfmpegsEncodedToneDecodesAsFfmpegDecodesIt) { VITRINE_NO_FFMPEG; }
TEST(SwfAdpcm, ArbitraryBytesOfEveryCodeSizeDecodeAsFfmpegDecodesThem) { VITRINE_NO_FFMPEG; }
TEST(SwfAdpcm, EventSoundIsResampledAndCutToItsSampleCount) { VITRINE_NO_FFMPEG; }
#endif
