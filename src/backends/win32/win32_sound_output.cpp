#include "backends/win32/win32_sound_output.h"

#include <windows.h>
#include <mmsystem.h>

#include <chrono>

namespace vitrine {

namespace {

// Four buffers of 30 ms: the device is never more than about 120 ms behind the mix, and a
// refill that comes a buffer late is not heard.
constexpr size_t kBuffers = 4;
constexpr size_t kBufferFrames = size_t(kSoundFramesPerMs) * 30;
constexpr uint64_t kLeadFrames = kBuffers * kBufferFrames + uint64_t(kSoundFramesPerMs) * 200;

}  // namespace

bool Win32SoundOutput::Open() {
  if (device_) return true;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = WORD(kSoundChannels);
  format.nSamplesPerSec = DWORD(kSoundRate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = WORD(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!event) return false;
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    CloseHandle(event);
    return false;
  }
  device_ = device;
  event_ = event;
  buffers_.assign(kBuffers, std::vector<int16_t>(kBufferFrames * kSoundChannels));
  headers_.assign(kBuffers * sizeof(WAVEHDR), 0);
  auto* headers = reinterpret_cast<WAVEHDR*>(headers_.data());
  for (size_t i = 0; i < kBuffers; ++i) {
    headers[i].lpData = reinterpret_cast<LPSTR>(buffers_[i].data());
    headers[i].dwBufferLength = DWORD(buffers_[i].size() * sizeof(int16_t));
    waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR));
    headers[i].dwFlags |= WHDR_DONE;  // free to be filled
  }
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Win32SoundOutput::Close() {
  if (!device_) return;
  stop_ = true;
  SetEvent(static_cast<HANDLE>(event_));
  if (thread_.joinable()) thread_.join();
  auto device = static_cast<HWAVEOUT>(device_);
  waveOutReset(device);  // hands back every buffer still queued
  auto* headers = reinterpret_cast<WAVEHDR*>(headers_.data());
  for (size_t i = 0; i < kBuffers; ++i) waveOutUnprepareHeader(device, &headers[i], sizeof(WAVEHDR));
  waveOutClose(device);
  CloseHandle(static_cast<HANDLE>(event_));
  device_ = nullptr;
  event_ = nullptr;
  buffers_.clear();
  headers_.clear();
}

void Win32SoundOutput::Run() {
  auto device = static_cast<HWAVEOUT>(device_);
  auto* headers = reinterpret_cast<WAVEHDR*>(headers_.data());
  // A device that takes sound faster than it plays it (a null device, some virtual ones)
  // would run the mix ahead of the movies: the mix is never read further ahead of the clock
  // than the buffers and a little more, with a slack no real device's clock drifts by.
  const auto start = std::chrono::steady_clock::now();
  uint64_t written = 0;
  size_t next = 0;  // buffers go to the device in turn, as it hands them back
  while (!stop_) {
    DWORD wait = 100;
    while (!stop_ && (headers[next].dwFlags & WHDR_DONE)) {
      auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
      uint64_t allowed = uint64_t(double(elapsed.count()) * kSoundRate / 1e6 * 1.001) + kLeadFrames;
      if (written + kBufferFrames > allowed) {
        wait = DWORD((written + kBufferFrames - allowed) / size_t(kSoundFramesPerMs) + 1);
        break;
      }
      mixer_.Mix(buffers_[next].data(), kBufferFrames);
      headers[next].dwFlags &= ~DWORD(WHDR_DONE);
      if (waveOutWrite(device, &headers[next], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        headers[next].dwFlags |= WHDR_DONE;  // tried again at the next wake
        break;
      }
      written += kBufferFrames;
      next = (next + 1) % kBuffers;
    }
    // The device sets the event as it finishes a buffer; the timeout keeps a device that
    // never does from stopping the refills for good.
    WaitForSingleObject(static_cast<HANDLE>(event_), wait);
  }
}

}  // namespace vitrine
