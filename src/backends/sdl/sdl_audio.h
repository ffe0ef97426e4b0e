#pragma once
// The sound of a show through SDL audio: one device in the players' sound format, whose
// callback pulls the mix of every player that has a file open.
#include <cstdint>

#include "backends/media/sound_mixer.h"

namespace vitrine {

class SdlAudio {
 public:
  explicit SdlAudio(SoundMixer& mixer) : mixer_(mixer) {}
  ~SdlAudio() { Close(); }
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the default device and starts it; false (the show stays silent) when there is
  // none. SDL converts to what the device takes.
  bool Open();
  void Close();

 private:
  static void Callback(void* self, uint8_t* stream, int bytes);

  SoundMixer& mixer_;
  uint32_t device_ = 0;
  bool subsystem_ = false;
};

}  // namespace vitrine
