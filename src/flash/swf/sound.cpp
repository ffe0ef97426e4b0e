#include "flash/swf/sound.h"

#include <algorithm>
#include <cmath>

namespace vitrine::swf {

namespace {

bool Known(uint32_t codec) { return codec <= 6 || codec == 11; }

SoundFormat ReadFormat(BitReader& r) {
  SoundFormat f;
  f.codec = SoundCodec(r.UBits(4));
  f.rateCode = uint8_t(r.UBits(2));
  f.sixteenBit = r.UBits(1);
  f.stereo = r.UBits(1);
  return f;
}

class PcmDecoder final : public SoundDecoder {
 public:
  PcmDecoder(const SoundFormat& format, int32_t outRate) : format_(format), resampler_(format.RateHz(), outRate) {}

  void Decode(std::span<const uint8_t> data, std::vector<int16_t>& out, size_t maxFrames, bool last) override {
    const size_t bytes = format_.sixteenBit ? 2 : 1;
    const size_t frameBytes = bytes * size_t(format_.Channels());
    auto sample = [&](size_t at) -> int16_t {
      if (bytes == 1) return int16_t((int(data[at]) - 128) * 256);
      return int16_t(uint16_t(data[at] | data[at + 1] << 8));
    };
    for (size_t at = 0; at + frameBytes <= data.size() && out.size() / 2 < maxFrames; at += frameBytes) {
      int16_t left = sample(at);
      int16_t right = format_.stereo ? sample(at + bytes) : left;
      resampler_.Push(left, right, out, maxFrames);
    }
    if (last) resampler_.Flush(out, maxFrames);
  }
  void Reset() override { resampler_.Reset(); }

 private:
  SoundFormat format_;
  LinearResampler resampler_;
};

// SWF's ADPCM: a 2-bit code size (2..5 bits), then packets of 4096 samples a channel, each a
// 16-bit first sample and a 6-bit step index a channel, then 4095 codes a channel interleaved.
// One Decode call takes one whole run (an event sound, or one stream block with its own header).
class AdpcmDecoder final : public SoundDecoder {
 public:
  AdpcmDecoder(const SoundFormat& format, int32_t outRate)
      : channels_(format.Channels()), resampler_(format.RateHz(), outRate) {}

  void Decode(std::span<const uint8_t> data, std::vector<int16_t>& out, size_t maxFrames, bool last) override {
    const uint64_t size = uint64_t(data.size()) * 8;
    uint64_t at = 0;
    auto bits = [&](uint32_t n) {
      uint32_t v = 0;
      for (uint32_t i = 0; i < n; ++i, ++at) v = v << 1 | (data[at >> 3] >> (7 - (at & 7)) & 1);
      return v;
    };
    if (size >= 2) {
      const uint32_t codeBits = bits(2) + 2;
      const int8_t* indexTable = kIndexTables[codeBits - 2];
      const uint32_t signBit = 1u << (codeBits - 1);
      const uint64_t headerBits = 22 * uint64_t(channels_), codeRowBits = codeBits * uint64_t(channels_);
      int32_t sample[2] = {0, 0}, index[2] = {0, 0};
      auto emit = [&] {
        resampler_.Push(int16_t(sample[0]), int16_t(sample[channels_ - 1]), out, maxFrames);
      };
      while (at + headerBits <= size && out.size() / 2 < maxFrames) {
        for (int32_t c = 0; c < channels_; ++c) {
          sample[c] = int16_t(bits(16));
          index[c] = int32_t(bits(6));
        }
        emit();
        for (int32_t n = 0; n < 4095 && at + codeRowBits <= size && out.size() / 2 < maxFrames; ++n) {
          for (int32_t c = 0; c < channels_; ++c) {
            const uint32_t code = bits(codeBits);
            // The difference is (magnitude + 1/2) steps over 2^(bits-2), added bit by bit.
            int32_t step = kSteps[index[c]], diff = 0;
            for (uint32_t k = signBit >> 1; k; k >>= 1, step >>= 1)
              if (code & k) diff += step;
            diff += step;
            sample[c] = std::clamp(code & signBit ? sample[c] - diff : sample[c] + diff, -32768, 32767);
            index[c] = std::clamp(index[c] + indexTable[code & (signBit - 1)], 0, 88);
          }
          emit();
        }
      }
    }
    if (last) resampler_.Flush(out, maxFrames);
  }
  void Reset() override { resampler_.Reset(); }

 private:
  static constexpr int8_t kIndexTables[4][16] = {
      {-1, 2},
      {-1, -1, 2, 4},
      {-1, -1, -1, -1, 2, 4, 6, 8},
      {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16},
  };
  static constexpr int16_t kSteps[89] = {
      7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
      31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
      130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
      544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
      2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
      9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

  int32_t channels_;
  LinearResampler resampler_;
};

}  // namespace

LinearResampler::LinearResampler(double inRate, int32_t outRate) : step_(inRate / outRate) {}

void LinearResampler::Push(int16_t left, int16_t right, std::vector<int16_t>& out, size_t maxFrames) {
  if (!havePrev_) {
    prev_[0] = left;
    prev_[1] = right;
    havePrev_ = true;
    return;
  }
  Emit(left, right, out, maxFrames);
  prev_[0] = left;
  prev_[1] = right;
}

void LinearResampler::Flush(std::vector<int16_t>& out, size_t maxFrames) {
  if (havePrev_) Emit(prev_[0], prev_[1], out, maxFrames);
  Reset();
}

void LinearResampler::Reset() {
  havePrev_ = false;
  pos_ = 0;
}

void LinearResampler::Emit(int16_t left, int16_t right, std::vector<int16_t>& out, size_t maxFrames) {
  while (pos_ < 1.0) {
    if (out.size() / 2 >= maxFrames) break;
    out.push_back(int16_t(std::lround(prev_[0] + (left - prev_[0]) * pos_)));
    out.push_back(int16_t(std::lround(prev_[1] + (right - prev_[1]) * pos_)));
    pos_ += step_;
  }
  pos_ -= 1.0;
}

double SoundFormat::RateHz() const {
  if (codec == SoundCodec::Nellymoser16k) return 16000;
  if (codec == SoundCodec::Nellymoser8k) return 8000;
  static constexpr double kRates[4] = {5512.5, 11025, 22050, 44100};
  return kRates[rateCode & 3];
}

std::optional<SoundDefinition> ReadDefineSound(std::span<const uint8_t> body) {
  try {
    BitReader r(body);
    SoundDefinition s;
    s.id = r.U16();
    s.format = ReadFormat(r);
    if (!Known(uint32_t(s.format.codec))) return std::nullopt;
    s.sampleCount = r.U32();
    if (s.format.codec == SoundCodec::Mp3) s.seekSamples = r.S16();
    s.data = r.Rest();
    return s;
  } catch (const SwfError&) {
    return std::nullopt;
  }
}

SoundInfo ReadSoundInfo(BitReader& r) {
  SoundInfo info;
  r.UBits(2);
  info.syncStop = r.UBits(1);
  info.syncNoMultiple = r.UBits(1);
  bool hasEnvelope = r.UBits(1), hasLoops = r.UBits(1), hasOut = r.UBits(1), hasIn = r.UBits(1);
  if (hasIn) info.inPoint = r.U32();
  if (hasOut) info.outPoint = r.U32();
  if (hasLoops) info.loopCount = r.U16();
  if (hasEnvelope) {
    uint8_t points = r.U8();
    for (uint8_t i = 0; i < points; ++i) {
      EnvelopePoint p;
      p.pos44 = r.U32();
      p.left = r.U16();
      p.right = r.U16();
      info.envelope.push_back(p);
    }
  }
  return info;
}

std::optional<StartSound> ReadStartSound(std::span<const uint8_t> body) {
  try {
    BitReader r(body);
    StartSound s;
    s.id = r.U16();
    s.info = ReadSoundInfo(r);
    return s;
  } catch (const SwfError&) {
    return std::nullopt;
  }
}

std::optional<StreamHead> ReadSoundStreamHead(std::span<const uint8_t> body) {
  try {
    BitReader r(body);
    StreamHead h;
    r.UBits(4);
    r.UBits(4);  // the rate, size and channels the author would have it played at: played as it is
    h.format = ReadFormat(r);
    if (!Known(uint32_t(h.format.codec))) return std::nullopt;
    h.samplesPerBlock = r.U16();
    if (h.format.codec == SoundCodec::Mp3 && r.Remaining() >= 2) h.latencySeek = r.S16();
    return h;
  } catch (const SwfError&) {
    return std::nullopt;
  }
}

std::span<const uint8_t> StreamBlockData(const StreamHead& head, std::span<const uint8_t> body) {
  if (head.format.codec != SoundCodec::Mp3) return body;
  return body.size() < 4 ? std::span<const uint8_t>() : body.subspan(4);
}

std::unique_ptr<SoundDecoder> CreateSoundDecoder(const SoundFormat& format, int32_t outRate,
                                                 SoundDecoderFactory* compressed) {
  if (outRate <= 0) return nullptr;
  if (format.codec == SoundCodec::PcmNative || format.codec == SoundCodec::PcmLittle)
    return std::make_unique<PcmDecoder>(format, outRate);
  // Ours on every platform, so that a movie's ADPCM sounds the same everywhere.
  if (format.codec == SoundCodec::Adpcm) return std::make_unique<AdpcmDecoder>(format, outRate);
  return compressed ? compressed->Create(format, outRate) : nullptr;
}

std::vector<int16_t> DecodeSound(const SoundDefinition& sound, int32_t outRate, SoundDecoderFactory* compressed,
                                 size_t maxFrames) {
  auto decoder = CreateSoundDecoder(sound.format, outRate, compressed);
  if (!decoder) return {};
  const double toOut = outRate / sound.format.RateHz();
  size_t skip = sound.format.codec == SoundCodec::Mp3 && sound.seekSamples > 0
                    ? size_t(std::lround(sound.seekSamples * toOut))
                    : 0;
  size_t limit = maxFrames;
  if (sound.sampleCount > 0) limit = std::min<size_t>(limit, skip + size_t(std::lround(sound.sampleCount * toOut)));
  std::span<const uint8_t> data = sound.data;
  if (sound.format.codec == SoundCodec::Adpcm) {
    // ADPCM goes to the decoder whole; no more of it than the frames wanted can fill (at
    // least 2 bits a sample and a 22-bit header a channel every 4096 samples).
    size_t samples = size_t(double(limit) / toOut) + 4096;
    size_t channels = size_t(sound.format.Channels());
    size_t bytes = (samples / 4096 + 1) * (channels * (22 + 5 * 4096) / 8 + 1) + 1;
    data = data.first(std::min(bytes, data.size()));
  }
  std::vector<int16_t> out;
  decoder->Decode(data, out, limit, true);
  if (out.size() / 2 > limit) out.resize(limit * 2);
  size_t drop = std::min(skip, out.size() / 2) * 2;
  out.erase(out.begin(), out.begin() + std::ptrdiff_t(drop));
  return out;
}

}  // namespace vitrine::swf
