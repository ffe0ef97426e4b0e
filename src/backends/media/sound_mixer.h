#pragma once
// The sound output of a real-time platform: its audio callback calls Mix for the next block,
// which adds up what every attached player plays. Attach and Detach come from the
// user-interface thread, Mix from the audio thread.
#include <mutex>
#include <vector>

#include "platform/sound_output.h"

namespace vitrine {

class SoundMixer final : public SoundOutput {
 public:
  void Attach(SoundSource& source) override;
  void Detach(SoundSource& source) override;
  void BeforeChange(SoundSource&) override {}

  // Fills out with `frames` stereo frames: the sum of all sources, silence where none plays.
  void Mix(int16_t* out, size_t frames);

 private:
  std::mutex mutex_;
  std::vector<SoundSource*> sources_;
  std::vector<int16_t> scratch_;
  std::vector<int32_t> sum_;
};

}  // namespace vitrine
