// The video file a render writes, read back through FFmpeg's libraries: its length, its
// frames and their colours, its sound in step with the pictures, and what is left of it when
// the render is killed half-way.
#include <gtest/gtest.h>

#if !defined(VITRINE_HAVE_LIBAV)
// Builds without FFmpeg's libraries (the Windows ones) write no video file.
TEST(ShowVideoFile, SkippedWithoutFFmpeg) { GTEST_SKIP() << "this build writes no video: it has no FFmpeg libraries"; }
#else
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "apps/headless/show_render.h"
#include "platform/test_media.h"
#include "show_test_rig.h"

namespace vitrine::test {
namespace {

using Rgb = std::array<int, 3>;

// What a decoder finds in a video file: the container's duration, the pictures (each one's
// mean colour) and the sound's length.
struct VideoFileContent {
  bool opened = false;
  double duration = 0;  // seconds, as the container says
  std::vector<Rgb> frames;
  double framesEnd = 0;  // seconds: the last picture's time plus its length
  int64_t soundSamples = 0;
  int soundRate = 0;
  std::string codecs;
};

// The mean colour of a decoded 4:2:0 picture: the planes' means turned into RGB with the
// studio-range BT.601 matrix the writer encodes with (the conversion is linear, so the mean
// of the colours is the colour of the means).
Rgb MeanColour(const AVFrame* frame) {
  double mean[3] = {0, 0, 0};
  for (int plane = 0; plane < 3; ++plane) {
    int w = plane ? (frame->width + 1) / 2 : frame->width, h = plane ? (frame->height + 1) / 2 : frame->height;
    double sum = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) sum += frame->data[plane][y * frame->linesize[plane] + x];
    mean[plane] = sum / (double(w) * h);
  }
  double y = 1.164 * (mean[0] - 16), u = mean[1] - 128, v = mean[2] - 128;
  auto clamp = [](double c) { return int(std::lround(std::clamp(c, 0.0, 255.0))); };
  return {clamp(y + 1.596 * v), clamp(y - 0.392 * u - 0.813 * v), clamp(y + 2.017 * u)};
}

VideoFileContent ReadVideoFile(const std::string& path) {
  VideoFileContent content;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return content;
  if (avformat_find_stream_info(format, nullptr) < 0) {
    avformat_close_input(&format);
    return content;
  }
  content.opened = true;
  content.duration = format->duration > 0 ? double(format->duration) / AV_TIME_BASE : 0;
  int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  int audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  std::vector<AVCodecContext*> decoders(format->nb_streams, nullptr);
  for (int index : {video, audio}) {
    if (index < 0) continue;
    const AVCodecParameters* parameters = format->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    AVCodecContext* decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!decoder || avcodec_parameters_to_context(decoder, parameters) < 0 || avcodec_open2(decoder, codec, nullptr) < 0) {
      avcodec_free_context(&decoder);
      continue;
    }
    decoders[size_t(index)] = decoder;
    content.codecs += (content.codecs.empty() ? "" : "+") + std::string(codec->name);
  }
  if (audio >= 0 && decoders[size_t(audio)]) content.soundRate = decoders[size_t(audio)]->sample_rate;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](int index) {
    AVCodecContext* decoder = decoders[size_t(index)];
    while (avcodec_receive_frame(decoder, frame) == 0) {
      if (index == video) {
        content.frames.push_back(frame->format == AV_PIX_FMT_YUV420P ? MeanColour(frame) : Rgb{-1, -1, -1});
        AVRational base = format->streams[index]->time_base;
        double end = double(frame->best_effort_timestamp + frame->pkt_duration) * av_q2d(base);
        content.framesEnd = std::max(content.framesEnd, end);
      } else {
        content.soundSamples += frame->nb_samples;
      }
    }
  };
  // A damaged end (a killed render) ends the reading like the end of the file.
  while (av_read_frame(format, packet) >= 0) {
    int index = packet->stream_index;
    if ((index == video || index == audio) && decoders[size_t(index)] &&
        avcodec_send_packet(decoders[size_t(index)], packet) >= 0)
      drain(index);
    av_packet_unref(packet);
  }
  for (int index : {video, audio})
    if (index >= 0 && decoders[size_t(index)] && avcodec_send_packet(decoders[size_t(index)], nullptr) >= 0) drain(index);
  av_frame_free(&frame);
  av_packet_free(&packet);
  for (auto& decoder : decoders) avcodec_free_context(&decoder);
  avformat_close_input(&format);
  return content;
}

// The four-letter types of the boxes at the top level of an MP4 file, in order.
std::vector<std::string> TopLevelBoxes(const std::string& path) {
  std::vector<uint8_t> bytes = MediaDir::Read(path);
  std::vector<std::string> boxes;
  size_t at = 0;
  while (at + 8 <= bytes.size()) {
    uint64_t size = (uint64_t(bytes[at]) << 24) | (uint64_t(bytes[at + 1]) << 16) | (uint64_t(bytes[at + 2]) << 8) | bytes[at + 3];
    boxes.emplace_back(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    if (size < 8) break;  // 64-bit sizes and "to the end" do not occur in these small files
    at += size;
  }
  return boxes;
}

int Count(const std::vector<std::string>& boxes, const std::string& type) {
  return static_cast<int>(std::count(boxes.begin(), boxes.end(), type));
}

// Colours within the lossy codec's reach of the expected one.
::testing::AssertionResult Near(const Rgb& seen, const Rgb& expected, int tolerance = 12) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(seen[size_t(c)] - expected[size_t(c)]) > tolerance)
      return ::testing::AssertionFailure() << "colour " << seen[0] << "," << seen[1] << "," << seen[2] << " is not near "
                                           << expected[0] << "," << expected[1] << "," << expected[2];
  return ::testing::AssertionSuccess();
}

constexpr Rgb kRedRgb{255, 0, 0}, kGreenRgb{0, 255, 0}, kBlueRgb{0, 0, 255};

// Red from 10 ms on, green from 3020, blue from 6030, red again from 9040: each picture
// stands three seconds (a one-frame transition, then two seconds plus the one the show adds).
// The pictures are as large as the screen.
void AddThreeColours(ShowRig& rig, int32_t width = 64, int32_t height = 48) {
  rig.AddPicture(RGBColor(255, 0, 0), width, height);
  rig.AddPicture(RGBColor(0, 255, 0), width, height);
  rig.AddPicture(RGBColor(0, 0, 255), width, height);
  rig.Set(5, "2");
}

TEST(ShowVideoFile, HoldsEveryFrameInItsColourWithTheSoundInStepForTheWholeLength) {
  MediaDir dir;
  ShowRig rig;
  AddThreeColours(rig);
  rig.Start(64, 48);
  ASSERT_TRUE(rig.started);
  ShowRenderOptions options;
  options.seconds = 12;
  options.fps = 10;
  options.videoPath = dir.Path("show.mp4");
  ShowRenderResult result = RenderShow(*rig.show, options);
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.frames, 120);

  VideoFileContent file = ReadVideoFile(options.videoPath);
  ASSERT_TRUE(file.opened);
  EXPECT_EQ(file.codecs, "h264+aac");
  EXPECT_NEAR(file.duration, 12.0, 0.1);
  ASSERT_EQ(file.frames.size(), 120u);
  EXPECT_NEAR(file.framesEnd, 12.0, 0.001);
  // The sound is as long as the pictures, to within one frame.
  ASSERT_EQ(file.soundRate, 48000);
  EXPECT_NEAR(double(file.soundSamples) / 48000, 12.0, 0.1);
  // Frame k shows the screen at k × 100 ms.
  EXPECT_TRUE(Near(file.frames[1], kRedRgb));
  EXPECT_TRUE(Near(file.frames[15], kRedRgb));
  EXPECT_TRUE(Near(file.frames[29], kRedRgb));
  EXPECT_TRUE(Near(file.frames[31], kGreenRgb));
  EXPECT_TRUE(Near(file.frames[59], kGreenRgb));
  EXPECT_TRUE(Near(file.frames[61], kBlueRgb));
  EXPECT_TRUE(Near(file.frames[89], kBlueRgb));
  EXPECT_TRUE(Near(file.frames[91], kRedRgb));
  EXPECT_TRUE(Near(file.frames[119], kRedRgb));

  // The index goes out in fragments, a movie header first with no samples of its own.
  std::vector<std::string> boxes = TopLevelBoxes(options.videoPath);
  ASSERT_GE(boxes.size(), 3u);
  EXPECT_EQ(boxes[0], "ftyp");
  EXPECT_EQ(boxes[1], "moov");
  EXPECT_GE(Count(boxes, "moof"), 2);
  EXPECT_EQ(Count(boxes, "moof"), Count(boxes, "mdat"));
}

TEST(ShowVideoFile, AnOddScreenSizeIsPaddedAndStillPlays) {
  MediaDir dir;
  ShowRig rig;
  AddThreeColours(rig, 63, 47);
  rig.Start(63, 47);
  ASSERT_TRUE(rig.started);
  ShowRenderOptions options;
  options.seconds = 4;
  options.videoPath = dir.Path("show.mp4");
  ASSERT_EQ(RenderShow(*rig.show, options).error, "");
  VideoFileContent file = ReadVideoFile(options.videoPath);
  ASSERT_EQ(file.frames.size(), 40u);
  // One black column and row in 64 × 48 darken the mean a little, no more.
  EXPECT_TRUE(Near(file.frames[15], {int(255 * 63.0 * 47 / (64 * 48)), 0, 0}, 14));
  EXPECT_TRUE(Near(file.frames[35], {0, int(255 * 63.0 * 47 / (64 * 48)), 0}, 14));
}

// Reads what the child reports: the show time rendered so far, a number a line.
int64_t ReadProgress(int fd, std::string& pending) {
  char buffer[256];
  ssize_t got = read(fd, buffer, sizeof buffer);
  if (got <= 0) return -1;
  pending.append(buffer, size_t(got));
  int64_t last = 0;
  size_t end;
  while ((end = pending.find('\n')) != std::string::npos) {
    last = std::atoll(pending.substr(0, end).c_str());
    pending.erase(0, end + 1);
  }
  return last;
}

TEST(ShowVideoFile, ARenderKilledHalfWayLeavesAFileThatPlaysWhatItHadWritten) {
  MediaDir dir;
  std::string path = dir.Path("show.mp4");
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child renders an hour of the show, reporting its progress, until it is killed.
    close(report[0]);
    ShowRig rig;
    AddThreeColours(rig);
    rig.Start(64, 48);
    ShowRenderOptions options;
    options.seconds = 3600;
    options.videoPath = path;
    options.onProgress = [&](int64_t doneMs) {
      std::string line = std::to_string(doneMs) + "\n";
      if (write(report[1], line.data(), line.size()) < 0) _exit(1);
    };
    RenderShow(*rig.show, options);
    _exit(0);
  }
  close(report[1]);
  // Waits until the child has rendered 35 seconds of the show (three fragments and more);
  // the bound fails only on a hang.
  std::string pending;
  int64_t done = 0;
  while (done < 35000) {
    pollfd waiting{report[0], POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, 120000), 1) << "the render reported nothing for two minutes";
    done = ReadProgress(report[0], pending);
    ASSERT_GE(done, 0) << "the render ended before it was killed";
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(report[0]);
  ASSERT_TRUE(WIFSIGNALED(status));

  // The same show rendered to its end, to compare with.
  ShowRig rig;
  AddThreeColours(rig);
  rig.Start(64, 48);
  ShowRenderOptions options;
  options.seconds = 60;
  options.videoPath = dir.Path("whole.mp4");
  ASSERT_EQ(RenderShow(*rig.show, options).error, "");
  VideoFileContent whole = ReadVideoFile(options.videoPath);
  ASSERT_EQ(whole.frames.size(), 600u);

  VideoFileContent file = ReadVideoFile(path);
  ASSERT_TRUE(file.opened);
  EXPECT_EQ(file.codecs, "h264+aac");
  // The fragments completed before the kill play: at least the first 25 seconds (a fragment
  // is at most 10 seconds long), each frame as the whole render has it.
  ASSERT_GE(file.frames.size(), 250u);
  for (size_t k = 0; k < std::min(file.frames.size(), whole.frames.size()); ++k)
    ASSERT_TRUE(Near(file.frames[k], whole.frames[k])) << "frame " << k;
  EXPECT_TRUE(Near(file.frames[45], kGreenRgb));
  // Its sound reaches as far as its pictures: a fragment ends where the next key frame is
  // decoded, two frames before it is shown.
  EXPECT_NEAR(double(file.soundSamples) / 48000, file.framesEnd, 0.25);
}

}  // namespace
}  // namespace vitrine::test
#endif  // VITRINE_HAVE_LIBAV
