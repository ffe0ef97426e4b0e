#include "backends/media/av_show_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <vector>

#include "platform/sound_output.h"

namespace vitrine {

namespace {
// The longest stretch between key frames, and so between fragments of the file.
constexpr int kKeySeconds = 10;
}  // namespace

struct ShowVideoWriter::State {
  AVFormatContext* format = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  AVFrame* picture = nullptr;
  AVFrame* sound = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  int32_t width = 0, height = 0;  // the screen; the encoded size is rounded up to even
  int64_t frames = 0, soundFrames = 0;
  std::vector<int16_t> pendingSound;  // interleaved, less than one encoder frame
  bool headerWritten = false, finished = false;

  ~State() {
    if (headerWritten && !finished) av_write_trailer(format);
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&picture);
    av_frame_free(&sound);
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }

  // Sends one frame (null: flush) to an encoder and writes what comes out.
  bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
    if (avcodec_send_frame(codec, frame) < 0) return false;
    while (true) {
      int got = avcodec_receive_packet(codec, packet);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) break;
      if (got < 0) return false;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(format, packet) < 0) return false;
    }
    // A fragment the muxer has just completed goes to the file now, not when the write
    // buffer fills: what is in the file plays even if the render is killed.
    avio_flush(format->pb);
    return format->pb->error >= 0;
  }

  bool EncodeSound(const int16_t* samples, int count) {
    if (av_frame_make_writable(sound) < 0) return false;
    sound->nb_samples = count;
    auto* left = reinterpret_cast<float*>(sound->data[0]);
    auto* right = reinterpret_cast<float*>(sound->data[1]);
    for (int i = 0; i < count; ++i) {
      left[i] = samples[2 * i] / 32768.0f;
      right[i] = samples[2 * i + 1] / 32768.0f;
    }
    sound->pts = soundFrames;
    soundFrames += count;
    return Encode(audio, audioStream, sound);
  }
};

ShowVideoWriter::ShowVideoWriter() = default;
ShowVideoWriter::~ShowVideoWriter() = default;

bool ShowVideoWriter::Open(const std::string& path, int32_t width, int32_t height, int32_t fps, std::string& error) {
  av_log_set_level(AV_LOG_QUIET);  // failures are reported here, in one line
  state_ = std::make_unique<State>();
  State& s = *state_;
  s.width = width;
  s.height = height;
  auto fail = [&](const std::string& why) {
    error = why;
    state_.reset();
    return false;
  };
  if (width < 1 || height < 1 || fps < 1) return fail("bad frame size or rate");
  if (avformat_alloc_output_context2(&s.format, nullptr, "mp4", path.c_str()) < 0 || !s.format)
    return fail("the MP4 container is not available");

  const AVCodec* videoCodec = avcodec_find_encoder(AV_CODEC_ID_H264);
  if (!videoCodec) videoCodec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
  if (!videoCodec) return fail("no H.264 or MPEG-4 encoder");
  s.video = avcodec_alloc_context3(videoCodec);
  s.video->width = (width + 1) & ~1;
  s.video->height = (height + 1) & ~1;
  s.video->time_base = AVRational{1, fps};
  s.video->framerate = AVRational{fps, 1};
  s.video->pix_fmt = AV_PIX_FMT_YUV420P;
  s.video->gop_size = kKeySeconds * fps;
  s.video->thread_count = 1;  // the same bytes on every run
  if (videoCodec->id == AV_CODEC_ID_H264) {
    av_opt_set(s.video->priv_data, "preset", "veryfast", 0);
    av_opt_set(s.video->priv_data, "crf", "20", 0);
  } else {
    s.video->bit_rate = int64_t(s.video->width) * s.video->height * fps / 4;
    s.video->flags |= AV_CODEC_FLAG_QSCALE;
    s.video->global_quality = FF_QP2LAMBDA * 3;
  }
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) s.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(s.video, videoCodec, nullptr) < 0) return fail("cannot open the video encoder");
  s.videoStream = avformat_new_stream(s.format, nullptr);
  if (!s.videoStream || avcodec_parameters_from_context(s.videoStream->codecpar, s.video) < 0)
    return fail("cannot add the video stream");
  s.videoStream->time_base = s.video->time_base;

  const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_AAC);
  if (!audioCodec) return fail("no AAC encoder");
  s.audio = avcodec_alloc_context3(audioCodec);
  s.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
  s.audio->sample_rate = kSoundRate;
  s.audio->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
  s.audio->bit_rate = 160000;
  s.audio->time_base = AVRational{1, kSoundRate};
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) s.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(s.audio, audioCodec, nullptr) < 0) return fail("cannot open the AAC encoder");
  s.audioStream = avformat_new_stream(s.format, nullptr);
  if (!s.audioStream || avcodec_parameters_from_context(s.audioStream->codecpar, s.audio) < 0)
    return fail("cannot add the sound stream");
  s.audioStream->time_base = s.audio->time_base;

  s.packet = av_packet_alloc();
  s.picture = av_frame_alloc();
  s.sound = av_frame_alloc();
  if (!s.packet || !s.picture || !s.sound) return fail("out of memory");
  s.picture->format = s.video->pix_fmt;
  s.picture->width = s.video->width;
  s.picture->height = s.video->height;
  s.sound->format = s.audio->sample_fmt;
  s.sound->sample_rate = kSoundRate;
  av_channel_layout_copy(&s.sound->ch_layout, &s.audio->ch_layout);
  s.sound->nb_samples = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;
  if (av_frame_get_buffer(s.picture, 0) < 0 || av_frame_get_buffer(s.sound, 0) < 0) return fail("out of memory");

  if (avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return fail("cannot create " + path);
  AVDictionary* options = nullptr;
  av_dict_set(&options, "fflags", "+bitexact", 0);
  // Fragmented: the index of each stretch goes out with it, so a long render holds no index
  // of the whole show in memory, and a render that is stopped leaves a file that plays up to
  // its last whole fragment. A fragment starts at each key frame (at most kKeySeconds apart);
  // the header waits for the first fragment, so that its edit list can place the encoders'
  // start-up delay.
  av_dict_set(&options, "movflags", "+frag_keyframe+empty_moov+delay_moov+default_base_moof", 0);
  int header = avformat_write_header(s.format, &options);
  av_dict_free(&options);
  if (header < 0) return fail("cannot write the header of " + path);
  s.headerWritten = true;
  return true;
}

bool ShowVideoWriter::AddFrame(const Bitmap& frame) {
  if (!state_ || frame.Width() != state_->width || frame.Height() != state_->height) return false;
  State& s = *state_;
  AVPixelFormat from = frame.Format() == PixelFormat::Rgb565 ? AV_PIX_FMT_RGB565LE : AV_PIX_FMT_BGR0;
  s.scaler = sws_getCachedContext(s.scaler, s.width, s.height, from, s.width, s.height, AV_PIX_FMT_YUV420P,
                                  SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!s.scaler || av_frame_make_writable(s.picture) < 0) return false;
  // Black in the padding row and column of an odd size.
  if (s.video->width != s.width || s.video->height != s.height) {
    for (int plane = 0; plane < 3; ++plane) {
      int h = plane ? s.video->height / 2 : s.video->height;
      for (int y = 0; y < h; ++y) std::memset(s.picture->data[plane] + y * s.picture->linesize[plane], plane ? 128 : 16, s.picture->linesize[plane]);
    }
  }
  const uint8_t* src[4] = {frame.Bits(), nullptr, nullptr, nullptr};
  int srcStride[4] = {static_cast<int>(frame.Stride()), 0, 0, 0};
  sws_scale(s.scaler, src, srcStride, 0, s.height, s.picture->data, s.picture->linesize);
  s.picture->pts = s.frames++;
  return s.Encode(s.video, s.videoStream, s.picture);
}

bool ShowVideoWriter::AddSound(std::span<const int16_t> samples) {
  if (!state_) return false;
  State& s = *state_;
  int frameSize = s.sound->nb_samples;
  s.pendingSound.insert(s.pendingSound.end(), samples.begin(), samples.end());
  size_t whole = s.pendingSound.size() / (size_t(frameSize) * kSoundChannels);
  for (size_t i = 0; i < whole; ++i)
    if (!s.EncodeSound(s.pendingSound.data() + i * frameSize * kSoundChannels, frameSize)) return false;
  s.pendingSound.erase(s.pendingSound.begin(), s.pendingSound.begin() + std::ptrdiff_t(whole * frameSize * kSoundChannels));
  return true;
}

bool ShowVideoWriter::Finish() {
  if (!state_) return false;
  State& s = *state_;
  bool ok = true;
  if (!s.pendingSound.empty()) {
    // The last stretch, filled up with silence to a whole encoder frame.
    s.pendingSound.resize(size_t(s.sound->nb_samples) * kSoundChannels, 0);
    ok = s.EncodeSound(s.pendingSound.data(), s.sound->nb_samples) && ok;
    s.pendingSound.clear();
  }
  ok = s.Encode(s.video, s.videoStream, nullptr) && ok;
  ok = s.Encode(s.audio, s.audioStream, nullptr) && ok;
  // The fragmented trailer returns the size of its last box.
  ok = av_write_trailer(s.format) >= 0 && ok;
  s.finished = true;
  ok = avio_closep(&s.format->pb) == 0 && ok;
  return ok;
}

std::string ShowVideoWriter::Codecs() const {
  if (!state_) return {};
  return std::string(avcodec_get_name(state_->video->codec_id)) + "+" + avcodec_get_name(state_->audio->codec_id);
}

}  // namespace vitrine
