#include "backends/media/av_sound_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

#include "backends/media/av_stereo_resampler.h"

namespace vitrine {

namespace {

// Nellymoser goes to the decoder in pieces of whole 64-byte blocks.
constexpr size_t kNellyChunk = 64 * 32;

class AvSoundDecoder final : public swf::SoundDecoder {
 public:
  ~AvSoundDecoder() override {
    av_parser_close(parser_);
    avcodec_free_context(&codec_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
  }

  bool Open(const swf::SoundFormat& format, int32_t outRate) {
    AVCodecID id = AV_CODEC_ID_NONE;
    switch (format.codec) {
      case swf::SoundCodec::Mp3: id = AV_CODEC_ID_MP3; break;
      case swf::SoundCodec::Nellymoser16k: case swf::SoundCodec::Nellymoser8k: case swf::SoundCodec::Nellymoser:
        id = AV_CODEC_ID_NELLYMOSER;
        break;
      default: return false;
    }
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) return false;
    codec_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!codec_ || !packet_ || !frame_) return false;
    codec_->sample_rate = int(format.RateHz());
    av_channel_layout_default(&codec_->ch_layout, format.Channels());
    if (avcodec_open2(codec_, codec, nullptr) < 0) return false;
    if (id == AV_CODEC_ID_MP3 && !(parser_ = av_parser_init(id))) return false;
    codecId_ = id;
    outRate_ = outRate;
    return true;
  }

  void Decode(std::span<const uint8_t> data, std::vector<int16_t>& out, size_t maxFrames, bool last) override {
    // The decoders may read a little past the end of what they are given.
    padded_.assign(data.begin(), data.end());
    padded_.resize(data.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    const uint8_t* at = padded_.data();
    size_t left = data.size();
    while (left > 0 && !Full(out, maxFrames)) {
      if (parser_) {
        uint8_t* piece = nullptr;
        int size = 0;
        int used = av_parser_parse2(parser_, codec_, &piece, &size, at, int(std::min<size_t>(left, 1 << 20)),
                                    AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (used < 0) break;
        at += used;
        left -= size_t(used);
        if (size > 0) Send(piece, size, out, maxFrames);
        else if (used == 0) break;
      } else {
        size_t piece = codecId_ == AV_CODEC_ID_NELLYMOSER ? std::min(left, kNellyChunk) : left;
        Send(at, int(std::min<size_t>(piece, INT32_MAX / 2)), out, maxFrames);
        at += piece;
        left -= piece;
      }
    }
    if (!last) return;
    if (parser_ && !Full(out, maxFrames)) {
      uint8_t* piece = nullptr;
      int size = 0;
      av_parser_parse2(parser_, codec_, &piece, &size, nullptr, 0, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
      if (size > 0) Send(piece, size, out, maxFrames);
    }
    if (avcodec_send_packet(codec_, nullptr) >= 0) Receive(out, maxFrames);
    if (resampler_.Context() && !Full(out, maxFrames)) Convert(nullptr, 0, out, maxFrames);
    Reset();
  }

  void Reset() override {
    avcodec_flush_buffers(codec_);
    if (parser_) {
      av_parser_close(parser_);
      parser_ = av_parser_init(codecId_);
    }
    resampler_.Free();
  }

 private:
  static bool Full(const std::vector<int16_t>& out, size_t maxFrames) { return out.size() / 2 >= maxFrames; }

  void Send(const uint8_t* data, int size, std::vector<int16_t>& out, size_t maxFrames) {
    packet_->data = const_cast<uint8_t*>(data);
    packet_->size = size;
    int rc = avcodec_send_packet(codec_, packet_);
    if (rc == AVERROR(EAGAIN)) {  // frames to take first
      Receive(out, maxFrames);
      rc = avcodec_send_packet(codec_, packet_);
    }
    av_packet_unref(packet_);
    if (rc >= 0) Receive(out, maxFrames);  // a damaged piece gives nothing: the next may decode
  }

  void Receive(std::vector<int16_t>& out, size_t maxFrames) {
    while (avcodec_receive_frame(codec_, frame_) >= 0) {
      if (frame_->nb_samples > 0 && !Full(out, maxFrames) && resampler_.Fit(frame_, outRate_, 2))
        Convert(const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples, out, maxFrames);
      av_frame_unref(frame_);
    }
  }

  void Convert(const uint8_t** in, int samples, std::vector<int16_t>& out, size_t maxFrames) {
    int capacity = swr_get_out_samples(resampler_.Context(), samples);
    if (capacity <= 0) return;
    scratch_.resize(size_t(capacity) * 2);
    uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(scratch_.data())};
    int got = swr_convert(resampler_.Context(), dst, capacity, in, samples);
    if (got <= 0) return;
    size_t take = std::min(size_t(got), maxFrames - out.size() / 2);
    out.insert(out.end(), scratch_.begin(), scratch_.begin() + std::ptrdiff_t(take * 2));
  }

  AVCodecID codecId_ = AV_CODEC_ID_NONE;
  AVCodecContext* codec_ = nullptr;
  AVCodecParserContext* parser_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  AvStereoResampler resampler_;
  int32_t outRate_ = 0;
  std::vector<uint8_t> padded_;
  std::vector<int16_t> scratch_;
};

}  // namespace

std::unique_ptr<swf::SoundDecoder> AvSoundDecoders::Create(const swf::SoundFormat& format, int32_t outRate) {
  auto decoder = std::make_unique<AvSoundDecoder>();
  if (outRate <= 0 || !decoder->Open(format, outRate)) return nullptr;
  return decoder;
}

}  // namespace vitrine
