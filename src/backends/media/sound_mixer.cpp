#include "backends/media/sound_mixer.h"

#include <algorithm>

namespace vitrine {

void SoundMixer::Attach(SoundSource& source) {
  std::lock_guard lock(mutex_);
  if (std::find(sources_.begin(), sources_.end(), &source) == sources_.end()) sources_.push_back(&source);
}

void SoundMixer::Detach(SoundSource& source) {
  std::lock_guard lock(mutex_);
  std::erase(sources_, &source);
}

void SoundMixer::Mix(int16_t* out, size_t frames) {
  std::lock_guard lock(mutex_);
  size_t samples = frames * kSoundChannels;
  sum_.assign(samples, 0);
  scratch_.resize(samples);
  for (SoundSource* source : sources_) {
    size_t got = std::min(source->ReadSound(scratch_.data(), frames), frames) * kSoundChannels;
    for (size_t i = 0; i < got; ++i) sum_[i] += scratch_[i];
  }
  for (size_t i = 0; i < samples; ++i) out[i] = ClampSample(sum_[i]);
}

}  // namespace vitrine
