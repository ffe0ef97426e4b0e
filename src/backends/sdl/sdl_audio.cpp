#include "backends/sdl/sdl_audio.h"

#include <SDL.h>

namespace vitrine {

bool SdlAudio::Open() {
  if (device_) return true;
  if (!subsystem_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      SDL_Log("vitrine: no sound: %s", SDL_GetError());
      return false;
    }
    subsystem_ = true;
  }
  SDL_AudioSpec want{};
  want.freq = kSoundRate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<uint8_t>(kSoundChannels);
  want.samples = 1024;  // about 21 ms a block
  want.callback = &SdlAudio::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!device_) {
    SDL_Log("vitrine: no sound device: %s", SDL_GetError());
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudio::Close() {
  if (device_) SDL_CloseAudioDevice(device_);  // waits for a running callback
  device_ = 0;
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  subsystem_ = false;
}

void SdlAudio::Callback(void* self, uint8_t* stream, int bytes) {
  auto* audio = static_cast<SdlAudio*>(self);
  size_t frames = static_cast<size_t>(bytes) / (sizeof(int16_t) * kSoundChannels);
  audio->mixer_.Mix(reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace vitrine
