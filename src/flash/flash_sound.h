#pragma once
// The sound of the movie our Flash control plays: the event sounds its frames start (loops,
// in and out points, envelopes, SyncNoMultiple, SyncStop) and its stream sound, mixed into
// one SoundSource. The control hands over each tick's sound events with the clock time the
// tick was due, so the sound lands where the frame does even when the control catches up
// late; the output pulls the mix (on the audio thread of a real-time platform).
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "flash/swf/player.h"
#include "flash/swf/sound.h"
#include "platform/sound_output.h"

namespace vitrine {

// Event sounds decoded and kept for a movie, in frames of the output; a sound beyond what
// is left stays silent.
inline constexpr size_t kMaxDecodedSoundFrames = size_t(kSoundRate) * 60 * 10;
// Event sounds playing at once; a new one beyond replaces the oldest.
inline constexpr size_t kMaxVoices = 32;
// Timelines whose stream sound plays at once.
inline constexpr size_t kMaxStreams = 8;
// One stream block decodes to at most this many frames.
inline constexpr size_t kMaxStreamBlockFrames = size_t(kSoundRate) * 4;
// When the output has not read the sound for this long (a recorder that is not recording, a
// device that stalls), the mix moves on to the clock's time without being heard.
inline constexpr uint64_t kMaxLagFrames = uint64_t(kSoundRate) / 10;

class FlashSound final : public SoundSource {
 public:
  // decoders may be null: only uncompressed sound plays.
  FlashSound(SoundOutput& output, swf::SoundDecoderFactory* decoders) : output_(output), decoders_(decoders) {}
  ~FlashSound() override { Detach(); }
  FlashSound(const FlashSound&) = delete;
  FlashSound& operator=(const FlashSound&) = delete;

  // Times are in frames of the output (kSoundRate a second) on the loop's clock.
  // Starts reading from `now`, silent.
  void Attach(uint64_t now);
  // Everything stops and is forgotten (the decoded sounds too: the movie is going away).
  void Detach();
  bool Attached() const { return attached_; }

  // The sound events of one tick that was due at `at`; frameInterval: frames a movie frame
  // lasts, which bounds how far the stream may run ahead of its timeline.
  void Play(std::vector<swf::SoundEvent> events, uint64_t at, uint64_t frameInterval);
  // Every sound stops at `at` (the control stopped the movie).
  void StopAll(uint64_t at);
  // After the control has handed over what happened up to `now`: the output takes the sound
  // up to now (a recorder lays it down), and a mix the output has not read for too long
  // moves on to now unheard.
  void Settle(uint64_t now);

  size_t ReadSound(int16_t* out, size_t frames) override;

  // Voices playing and commands waiting, for the tests of the bounds.
  size_t Voices();
  size_t Pending();

 private:
  struct Level {
    uint64_t at;  // frame in the decoded sound
    double left, right;
  };
  struct Voice {
    const void* key = nullptr;
    std::shared_ptr<const std::vector<int16_t>> pcm;
    uint64_t begin = 0, end = 0, pos = 0;
    uint32_t loopsLeft = 0;
    std::vector<Level> envelope;
  };
  struct Stream {
    const void* key = nullptr;
    std::vector<int16_t> buffer;
    size_t readAt = 0;            // samples of buffer played
    uint64_t emptySince = 0;      // when the buffer ran dry
    bool played = false;
    size_t Frames() const { return (buffer.size() - readAt) / kSoundChannels; }
  };
  struct Command {
    enum Type { StartVoice, StopSound, StopAll, StreamData, Level } type = StopAll;
    uint64_t at = 0;
    Voice voice;          // StartVoice
    bool noMultiple = false;
    const void* key = nullptr;   // StopSound, StreamData
    std::vector<int16_t> samples;  // StreamData
    bool continues = false;
    uint64_t slack = 0;
    double left = 1, right = 1;  // Level
  };
  struct Decoded {
    std::shared_ptr<const swf::Character> keep;  // the key stays this character's
    std::shared_ptr<const std::vector<int16_t>> pcm;
  };

  // UI thread.
  std::shared_ptr<const std::vector<int16_t>> DecodedSound(const std::shared_ptr<const swf::Character>& sound);
  void StartEvent(const swf::SoundEvent& event, uint64_t at, std::vector<Command>& out);
  void StreamEvent(const swf::SoundEvent& event, uint64_t at, uint64_t frameInterval, std::vector<Command>& out);
  void Queue(std::vector<Command> commands);

  // Under mutex_: plays `frames` frames from pos_ into out (null: without a sound).
  void Render(int16_t* out, size_t frames);
  void Apply(Command& command);
  void MixVoice(Voice& voice, int32_t* acc, size_t frames, bool& done);
  void MixStream(Stream& stream, int32_t* acc, size_t frames);

  SoundOutput& output_;
  swf::SoundDecoderFactory* decoders_;
  bool attached_ = false;
  std::map<const swf::Character*, Decoded> decoded_;
  size_t decodedFrames_ = 0;
  std::map<const swf::StreamHead*, std::unique_ptr<swf::SoundDecoder>> streamDecoders_;

  std::mutex mutex_;
  uint64_t pos_ = 0;  // the next frame read
  uint64_t lastAt_ = 0;
  std::vector<Command> queue_;  // in time order
  std::vector<Voice> voices_;
  std::vector<Stream> streams_;
  std::vector<int32_t> acc_;
  double levelLeft_ = 1, levelRight_ = 1;  // what a script's Sound.setVolume and setPan ask
};

}  // namespace vitrine
