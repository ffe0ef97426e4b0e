#pragma once
// Sound in a movie: the DefineSound, StartSound and SoundStreamHead records read into plain
// structs, uncompressed sound and ADPCM decoded here, and the other compressed sound (MP3,
// Nellymoser) through a decoder the player is given from outside. Everything decodes to interleaved
// 16-bit stereo at the rate the caller asks for.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "flash/swf/bit_reader.h"

namespace vitrine::swf {

enum class SoundCodec : uint8_t {
  PcmNative = 0,  // written by little-endian machines in practice
  Adpcm = 1,
  Mp3 = 2,
  PcmLittle = 3,
  Nellymoser16k = 4,
  Nellymoser8k = 5,
  Nellymoser = 6,
  Speex = 11,
};

struct SoundFormat {
  SoundCodec codec = SoundCodec::PcmLittle;
  uint8_t rateCode = 0;  // 5512.5, 11025, 22050, 44100 Hz
  bool sixteenBit = true;
  bool stereo = false;
  // The rate the samples are at; the Nellymoser codes that name their own rate use it.
  double RateHz() const;
  int32_t Channels() const { return stereo ? 2 : 1; }
};

struct SoundDefinition {
  uint16_t id = 0;
  SoundFormat format;
  uint32_t sampleCount = 0;
  int16_t seekSamples = 0;          // MP3: decoder delay at the start, in samples
  std::span<const uint8_t> data;    // the sound's bytes, inside the movie
};

struct EnvelopePoint {
  uint32_t pos44 = 0;  // in samples at 44.1 kHz from the sound's start
  uint16_t left = 32768, right = 32768;
};

struct SoundInfo {
  bool syncStop = false;
  bool syncNoMultiple = false;
  std::optional<uint32_t> inPoint, outPoint;  // in samples at 44.1 kHz
  uint16_t loopCount = 1;
  std::vector<EnvelopePoint> envelope;
};

struct StartSound {
  uint16_t id = 0;
  SoundInfo info;
};

struct StreamHead {
  SoundFormat format;
  uint16_t samplesPerBlock = 0;
  int16_t latencySeek = 0;
};

// Nothing when the record is cut short or names a format no decoder plays.
std::optional<SoundDefinition> ReadDefineSound(std::span<const uint8_t> body);
SoundInfo ReadSoundInfo(BitReader& r);
std::optional<StartSound> ReadStartSound(std::span<const uint8_t> body);
std::optional<StreamHead> ReadSoundStreamHead(std::span<const uint8_t> body);
// The coded sound in a SoundStreamBlock: for MP3 after its sample count and seek.
std::span<const uint8_t> StreamBlockData(const StreamHead& head, std::span<const uint8_t> body);

// One run of sound of one format, decoded piece by piece (stream blocks follow each other
// through the same decoder, which keeps its state between them).
class SoundDecoder {
 public:
  virtual ~SoundDecoder() = default;
  // Appends the stereo frames decoded from data to out, at the rate the decoder was made
  // for, until out holds maxFrames frames. last: no more data follows (flush what is held).
  virtual void Decode(std::span<const uint8_t> data, std::vector<int16_t>& out, size_t maxFrames, bool last) = 0;
  // The next data does not follow on from the last (the timeline jumped).
  virtual void Reset() = 0;
};

// Linear interpolation from a sound's rate to the output rate, one stereo frame at a time,
// carried over from one piece to the next so that stream blocks join without a seam. For the
// decoders here and the platforms' own.
class LinearResampler {
 public:
  LinearResampler(double inRate, int32_t outRate);
  // Appends the frames due before this one, up to maxFrames frames in out.
  void Push(int16_t left, int16_t right, std::vector<int16_t>& out, size_t maxFrames);
  // The last frame held until its own time has passed.
  void Flush(std::vector<int16_t>& out, size_t maxFrames);
  void Reset();

 private:
  void Emit(int16_t left, int16_t right, std::vector<int16_t>& out, size_t maxFrames);

  double step_;
  double pos_ = 0;
  bool havePrev_ = false;
  int16_t prev_[2] = {0, 0};
};

// Makes decoders for the compressed formats; nothing for a format it does not decode.
class SoundDecoderFactory {
 public:
  virtual ~SoundDecoderFactory() = default;
  virtual std::unique_ptr<SoundDecoder> Create(const SoundFormat& format, int32_t outRate) = 0;
};

// A decoder for the format: uncompressed sound and ADPCM decoded here, the others through compressed
// (which may be null: then nothing).
std::unique_ptr<SoundDecoder> CreateSoundDecoder(const SoundFormat& format, int32_t outRate,
                                                 SoundDecoderFactory* compressed);

// A whole event sound, at most maxFrames frames at outRate: the MP3 seek samples skipped and
// the sound cut to its sample count. Empty when nothing decodes it.
std::vector<int16_t> DecodeSound(const SoundDefinition& sound, int32_t outRate, SoundDecoderFactory* compressed,
                                 size_t maxFrames);

}  // namespace vitrine::swf
