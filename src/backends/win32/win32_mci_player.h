#pragma once
// Media players through the media-control interface's command strings: music without a
// window, video drawn into the show window's video panel.
#include "platform/media_player.h"

namespace vitrine {

class Win32MciPlayer final : public MediaPlayer {
 public:
  // videoPanel: the HWND the video plays in; 0 for sound only.
  explicit Win32MciPlayer(uintptr_t videoPanel = 0);
  ~Win32MciPlayer() override { Close(); }

  bool Open(const std::string& path) override;
  void Close() override;
  void Play() override;
  void Pause() override;
  void Resume() override;
  void Stop() override;
  void Seek(int64_t positionMs) override;
  int64_t PositionMs() override;
  int64_t LengthMs() override;
  Rect SourceRect() override;
  void SetDisplayRect(const Rect& rect) override;

 private:
  bool Command(const std::string& command, std::string* reply = nullptr);
  int64_t Status(const char* item);

  std::string alias_;
  uintptr_t videoPanel_;
  bool open_ = false;
  bool played_ = false;
};

class Win32MediaPlayerFactory final : public MediaPlayerFactory {
 public:
  explicit Win32MediaPlayerFactory(uintptr_t videoPanel) : videoPanel_(videoPanel) {}
  std::unique_ptr<MediaPlayer> CreateMusicPlayer() override { return std::make_unique<Win32MciPlayer>(); }
  std::unique_ptr<MediaPlayer> CreateVideoPlayer() override { return std::make_unique<Win32MciPlayer>(videoPanel_); }

 private:
  uintptr_t videoPanel_;
};

}  // namespace vitrine
