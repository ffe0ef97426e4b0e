#include "backends/headless/headless_sound.h"

#include <algorithm>

namespace vitrine {

void HeadlessSoundRecorder::Attach(SoundSource& source) {
  done_.try_emplace(&source, std::max(FrameAt(clock_.NowMs()), taken_));
}

void HeadlessSoundRecorder::Detach(SoundSource& source) {
  CatchUp(source, FrameAt(clock_.NowMs()));
  done_.erase(&source);
}

void HeadlessSoundRecorder::CatchUp(SoundSource& source, uint64_t untilFrame) {
  auto it = done_.find(&source);
  if (it == done_.end() || untilFrame <= it->second) return;
  uint64_t from = it->second;
  it->second = untilFrame;
  if (!recording_) return;
  size_t frames = static_cast<size_t>(untilFrame - from);
  size_t offset = static_cast<size_t>(from - taken_) * kSoundChannels;
  if (pending_.size() < offset + frames * kSoundChannels) pending_.resize(offset + frames * kSoundChannels, 0);
  scratch_.resize(frames * kSoundChannels);
  size_t got = std::min(source.ReadSound(scratch_.data(), frames), frames) * kSoundChannels;
  for (size_t i = 0; i < got; ++i) pending_[offset + i] += scratch_[i];
}

std::vector<int16_t> HeadlessSoundRecorder::Take() {
  uint64_t until = FrameAt(clock_.NowMs());
  for (auto& [source, done] : done_) CatchUp(*source, until);
  size_t samples = static_cast<size_t>(until - taken_) * kSoundChannels;
  pending_.resize(std::max(pending_.size(), samples), 0);
  std::vector<int16_t> out(samples);
  for (size_t i = 0; i < samples; ++i) out[i] = ClampSample(pending_[i]);
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(samples));
  taken_ = until;
  return out;
}

}  // namespace vitrine
