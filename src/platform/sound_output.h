#pragma once
// How decoded sound leaves the media players and reaches the platform. Every player that
// makes sound is one SoundSource, attached to the platform's SoundOutput while it has a file
// open. The platform pulls: a real-time platform from its audio callback (through a
// SoundMixer), the headless platform against its virtual clock, for the render.
#include <cstddef>
#include <cstdint>

namespace vitrine {

// The one format on the way: interleaved signed 16-bit stereo frames at one fixed rate.
inline constexpr int32_t kSoundRate = 48000;
inline constexpr int32_t kSoundChannels = 2;
inline constexpr int32_t kSoundFramesPerMs = kSoundRate / 1000;

class SoundSource {
 public:
  virtual ~SoundSource() = default;
  // Writes the next frames of what the player plays into out (frames × 2 samples) and
  // returns how many it wrote; fewer than asked means silence for the rest (paused, stopped,
  // at the end). A real-time platform calls this on its audio thread: players guard their
  // state against their own operations on the user-interface thread.
  virtual size_t ReadSound(int16_t* out, size_t frames) = 0;
};

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void Attach(SoundSource& source) = 0;
  // After Detach returns the source is never read again.
  virtual void Detach(SoundSource& source) = 0;
  // Called by a player just before it plays, pauses, seeks or stops, while its old state
  // still holds: a platform that records against its clock takes the sound played up to
  // now first. Real-time platforms need nothing here.
  virtual void BeforeChange(SoundSource& source) = 0;
};

// Adds samples into a mix, saturating at the limits of 16 bits.
inline int16_t ClampSample(int32_t v) {
  return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

}  // namespace vitrine
