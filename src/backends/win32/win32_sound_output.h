#pragma once
// The sound of the show on Windows through waveOut: the default device at the players' rate,
// a few short buffers that a thread of its own refills from the mixer as the device plays
// them. Without a device the show is silent and nothing else changes.
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "backends/media/sound_mixer.h"

namespace vitrine {

class Win32SoundOutput {
 public:
  explicit Win32SoundOutput(SoundMixer& mixer) : mixer_(mixer) {}
  ~Win32SoundOutput() { Close(); }
  Win32SoundOutput(const Win32SoundOutput&) = delete;
  Win32SoundOutput& operator=(const Win32SoundOutput&) = delete;

  // Opens the default device and starts playing the mix; false when no device opens.
  bool Open();
  // Stops the device; the mixer is not read after it returns.
  void Close();
  bool IsOpen() const { return device_ != nullptr; }

 private:
  void Run();

  SoundMixer& mixer_;
  void* device_ = nullptr;  // HWAVEOUT
  void* event_ = nullptr;   // HANDLE, set by the device as each buffer is done
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::vector<std::vector<int16_t>> buffers_;
  std::vector<uint8_t> headers_;  // WAVEHDR each, kept out of this header
};

}  // namespace vitrine
