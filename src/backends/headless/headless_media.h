#pragma once
// Media players without sound or video output. They read a file's length (and a video's
// picture size) from its header, and their position runs on the loop's clock while playing.
#include <cstdint>
#include <optional>
#include <span>

#include "core/file_system.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"
#include "platform/sound_output.h"

namespace vitrine {

struct MediaInfo {
  int64_t lengthMs = 0;
  int32_t width = 0, height = 0;  // 0 x 0 for sound
};

// RIFF WAVE (length from the data chunk and the byte rate) and RIFF AVI (frame count ×
// frame time, picture size from the main header). nullopt for anything else.
std::optional<MediaInfo> ReadMediaInfo(std::span<const uint8_t> header, int64_t fileSize);

class HeadlessMediaPlayer final : public MediaPlayer {
 public:
  HeadlessMediaPlayer(const EventLoop& clock, FileSystem& files) : clock_(clock), files_(files) {}

  bool Open(const std::string& path) override;
  void Close() override;
  void Play() override;
  void Pause() override;
  void Resume() override { Play(); }
  void Stop() override;
  void Seek(int64_t positionMs) override;
  int64_t PositionMs() override;
  int64_t LengthMs() override { return open_ ? info_.lengthMs : 0; }
  Rect SourceRect() override { return {0, 0, info_.width, info_.height}; }
  void SetDisplayRect(const Rect& rect) override { display_ = rect; }

  bool IsOpen() const { return open_; }
  bool IsPlaying() const { return playing_; }
  const std::string& FileName() const { return path_; }
  Rect DisplayRect() const { return display_; }

 private:
  const EventLoop& clock_;
  FileSystem& files_;
  std::string path_;
  MediaInfo info_;
  bool open_ = false, playing_ = false;
  int64_t basePosition_ = 0;   // position when playing last started or stopped
  uint64_t startedAt_ = 0;     // clock time when playing last started
  Rect display_{};
};

// The headless platform's players. Decoding players (where the build has FFmpeg's
// libraries) draw the video's own pictures and send their sound to `sound`; the others read
// only the files' headers and stay silent and dark.
class HeadlessMediaPlayerFactory final : public MediaPlayerFactory {
 public:
  HeadlessMediaPlayerFactory(const EventLoop& clock, FileSystem& files, SoundOutput* sound = nullptr,
                             bool decode = false)
      : clock_(clock), files_(files), sound_(sound), decode_(decode && DecodingAvailable()) {}
  std::unique_ptr<MediaPlayer> CreateMusicPlayer() override { return Create(); }
  std::unique_ptr<MediaPlayer> CreateVideoPlayer() override { return Create(); }

  static bool DecodingAvailable();
  bool Decoding() const { return decode_; }

 private:
  std::unique_ptr<MediaPlayer> Create();

  const EventLoop& clock_;
  FileSystem& files_;
  SoundOutput* sound_;
  bool decode_;
};

}  // namespace vitrine
