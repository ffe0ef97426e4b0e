#pragma once
// The headless platform's sound output: what the players play is laid down against the
// virtual clock, so a render hears each sound at the show time it was played, to the frame.
#include <map>
#include <vector>

#include "platform/event_loop.h"
#include "platform/sound_output.h"

namespace vitrine {

class HeadlessSoundRecorder final : public SoundOutput {
 public:
  explicit HeadlessSoundRecorder(const EventLoop& clock) : clock_(clock) {}

  void Attach(SoundSource& source) override;
  void Detach(SoundSource& source) override;
  void BeforeChange(SoundSource& source) override { CatchUp(source, FrameAt(clock_.NowMs())); }

  // Off at first: a show that nobody listens to keeps no sound, however long it plays. Turn
  // it on before the show plays what is to be heard (sound played meanwhile is never read).
  void SetRecording(bool recording) { recording_ = recording; }
  bool Recording() const { return recording_; }

  // The mixed sound from the end of the last Take up to the clock's time now (interleaved
  // stereo, kSoundRate frames a second); silence for the times it was not recording.
  std::vector<int16_t> Take();

 private:
  static uint64_t FrameAt(uint64_t ms) { return ms * kSoundFramesPerMs; }
  void CatchUp(SoundSource& source, uint64_t untilFrame);

  const EventLoop& clock_;
  std::map<SoundSource*, uint64_t> done_;  // per source: the frame its sound is laid down to
  bool recording_ = false;
  uint64_t taken_ = 0;                     // frames handed out by Take
  std::vector<int32_t> pending_;           // the mix from frame taken_ on
  std::vector<int16_t> scratch_;
};

}  // namespace vitrine
