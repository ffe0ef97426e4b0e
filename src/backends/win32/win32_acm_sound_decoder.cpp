#include "backends/win32/win32_acm_sound_decoder.h"

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <optional>

namespace vitrine {

namespace {

// The codec is given at most this much at a time.
constexpr size_t kSourceChunk = 16 * 1024;
// Coded sound kept waiting for the codec at most.
constexpr size_t kMaxPending = 1024 * 1024;

struct FrameHeader {
  int32_t rate = 0, channels = 0, bitrate = 0;  // bit rate in bits a second
  int32_t blockSize = 0;                        // bytes in a frame without padding
};

// The first MP3 (layer III) frame header in data: the codec is opened for the rate and
// channels the frames have, whatever the movie's record says.
std::optional<FrameHeader> FindFrameHeader(std::span<const uint8_t> data) {
  static constexpr int32_t kRates[3] = {44100, 48000, 32000};
  static constexpr int32_t kBitrates[2][15] = {
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},  // MPEG-1
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},      // MPEG-2 and 2.5
  };
  for (size_t i = 0; i + 4 <= data.size(); ++i) {
    if (data[i] != 0xFF || (data[i + 1] & 0xE0) != 0xE0) continue;
    uint32_t version = data[i + 1] >> 3 & 3, layer = data[i + 1] >> 1 & 3;
    uint32_t bitrateIndex = data[i + 2] >> 4, rateIndex = data[i + 2] >> 2 & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) continue;
    FrameHeader h;
    bool mpeg1 = version == 3;
    h.rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    h.channels = (data[i + 3] >> 6) == 3 ? 1 : 2;
    h.bitrate = kBitrates[mpeg1 ? 0 : 1][bitrateIndex] * 1000;
    h.blockSize = (mpeg1 ? 144 : 72) * h.bitrate / h.rate;
    return h;
  }
  return std::nullopt;
}

class AcmMp3Decoder final : public swf::SoundDecoder {
 public:
  explicit AcmMp3Decoder(int32_t outRate) : outRate_(outRate) {}
  ~AcmMp3Decoder() override { CloseStream(); }

  void Decode(std::span<const uint8_t> data, std::vector<int16_t>& out, size_t maxFrames, bool last) override {
    pending_.insert(pending_.end(), data.begin(), data.end());
    if (!stream_ && !OpenStream()) {
      // Nothing like an MP3 frame yet: kept until one comes, within reason.
      if (last || pending_.size() > kSourceChunk) pending_.clear();
      return;
    }
    // The codec may hold decoded sound back until it is asked again, with or without more.
    for (int guard = 0; guard < 1 << 16 && !Full(out, maxFrames); ++guard) {
      size_t offered = std::min(pending_.size(), kSourceChunk);
      size_t used = 0, made = 0;
      if (!Convert(offered, last && offered == pending_.size(), out, maxFrames, used, made)) break;
      pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(used));
      if (made == 0 && (used == 0 || pending_.empty())) break;
    }
    if (last) {
      if (resampler_) resampler_->Flush(out, maxFrames);
      Reset();
    } else if (pending_.size() > kMaxPending) {
      pending_.clear();  // a codec that takes none of it, or a caller that never lets it catch up
    }
  }

  void Reset() override {
    CloseStream();
    pending_.clear();
  }

 private:
  static bool Full(const std::vector<int16_t>& out, size_t maxFrames) { return out.size() / 2 >= maxFrames; }

  bool OpenStream() {
    std::optional<FrameHeader> h = FindFrameHeader(pending_);
    if (!h) return false;
    MPEGLAYER3WAVEFORMAT source{};
    source.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    source.wfx.nChannels = WORD(h->channels);
    source.wfx.nSamplesPerSec = DWORD(h->rate);
    source.wfx.nAvgBytesPerSec = DWORD(h->bitrate / 8);
    source.wfx.nBlockAlign = 1;
    source.wfx.wBitsPerSample = 0;
    source.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    source.wID = MPEGLAYER3_ID_MPEG;
    source.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    source.nBlockSize = WORD(h->blockSize);
    source.nFramesPerBlock = 1;
    source.nCodecDelay = 0;
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = WORD(h->channels);
    pcm.nSamplesPerSec = DWORD(h->rate);
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = WORD(pcm.nChannels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, &source.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) {
      pending_.clear();  // no codec for it here: the sound stays silent
      return false;
    }
    DWORD size = 0;
    if (acmStreamSize(stream, DWORD(kSourceChunk), &size, ACM_STREAMSIZEF_SOURCE) != 0) size = 0;
    // Room for what the chunk decodes to at the lowest bit rate, with some to spare.
    pcmBytes_.assign(std::max<size_t>(size_t(size) * 2, size_t(kSourceChunk) * 64), 0);
    stream_ = stream;
    channels_ = h->channels;
    started_ = false;
    resampler_.emplace(double(h->rate), outRate_);
    return true;
  }

  void CloseStream() {
    if (stream_) acmStreamClose(static_cast<HACMSTREAM>(stream_), 0);
    stream_ = nullptr;
    resampler_.reset();
  }

  bool Convert(size_t offered, bool end, std::vector<int16_t>& out, size_t maxFrames, size_t& used, size_t& made) {
    auto stream = static_cast<HACMSTREAM>(stream_);
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = pending_.data();
    header.cbSrcLength = DWORD(offered);
    header.pbDst = pcmBytes_.data();
    header.cbDstLength = DWORD(pcmBytes_.size());
    if (acmStreamPrepareHeader(stream, &header, 0) != 0) return false;
    DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN | (started_ ? 0 : ACM_STREAMCONVERTF_START) |
                  (end ? ACM_STREAMCONVERTF_END : 0);
    MMRESULT rc = acmStreamConvert(stream, &header, flags);
    header.cbSrcLength = DWORD(offered);
    header.cbDstLength = DWORD(pcmBytes_.size());
    acmStreamUnprepareHeader(stream, &header, 0);
    if (rc != 0) return false;
    started_ = true;
    used = std::min<size_t>(header.cbSrcLengthUsed, offered);
    made = std::min<size_t>(header.cbDstLengthUsed, pcmBytes_.size());
    const size_t frameBytes = size_t(channels_) * 2;
    for (size_t at = 0; at + frameBytes <= made && !Full(out, maxFrames); at += frameBytes) {
      auto sample = [&](size_t i) { return int16_t(uint16_t(pcmBytes_[i] | pcmBytes_[i + 1] << 8)); };
      int16_t left = sample(at), right = channels_ == 2 ? sample(at + 2) : left;
      resampler_->Push(left, right, out, maxFrames);
    }
    return true;
  }

  int32_t outRate_;
  void* stream_ = nullptr;  // HACMSTREAM
  int32_t channels_ = 0;
  bool started_ = false;
  std::vector<uint8_t> pending_;
  std::vector<uint8_t> pcmBytes_;
  std::optional<swf::LinearResampler> resampler_;
};

}  // namespace

std::unique_ptr<swf::SoundDecoder> AcmSoundDecoders::Create(const swf::SoundFormat& format, int32_t outRate) {
  if (format.codec != swf::SoundCodec::Mp3 || outRate <= 0) return nullptr;
  return std::make_unique<AcmMp3Decoder>(outRate);
}

}  // namespace vitrine
