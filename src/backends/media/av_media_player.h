#pragma once
// A media player over FFmpeg's libraries: whatever they can open plays (WAV, MP3, AVI, MPEG,
// MP4, WMV/ASF, ...). Its position runs on the platform's clock while it plays, as the show
// polls it; the picture is decoded for the position asked and scaled into the display
// rectangle; the sound goes to the platform's SoundOutput, resampled to the sound format.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/file_system.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"
#include "platform/sound_output.h"

namespace vitrine {

class AvInput;

class AvMediaPlayer final : public MediaPlayer, public SoundSource {
 public:
  // `sound` may be null: the player is then silent.
  AvMediaPlayer(const EventLoop& clock, FileSystem& files, SoundOutput* sound);
  ~AvMediaPlayer() override;

  bool Open(const std::string& path) override;
  void Close() override;
  void Play() override;
  void Pause() override;
  void Resume() override { Play(); }
  void Stop() override { Pause(); }
  void Seek(int64_t positionMs) override;
  int64_t PositionMs() override;
  int64_t LengthMs() override;
  Rect SourceRect() override;
  void SetDisplayRect(const Rect& rect) override;
  bool DrawVideoFrame(Bitmap& target, const Rect& panel) override;
  using MediaPlayer::DrawVideoFrame;

  size_t ReadSound(int16_t* out, size_t frames) override;

  bool IsOpen() const { return open_; }
  bool IsPlaying() const { return playing_; }
  const std::string& FileName() const { return path_; }
  Rect DisplayRect() const { return display_; }

 private:
  struct Picture;
  struct Sound;
  int64_t PositionLocked() const;
  void CloseLocked();

  const EventLoop& clock_;
  FileSystem& files_;
  SoundOutput* output_;
  mutable std::mutex mutex_;  // the sound is read on the platform's audio thread
  std::unique_ptr<Picture> picture_;
  std::unique_ptr<Sound> sound_;
  std::string path_;
  bool open_ = false, playing_ = false, attached_ = false;
  int64_t lengthMs_ = 0;
  int64_t basePosition_ = 0;  // position when playing last started, stopped or seeked
  uint64_t startedAt_ = 0;    // clock time of that moment
  Rect display_{};
};

}  // namespace vitrine
