#pragma once
// A media player control: music plays without a window, video inside the video panel.
// Positions and lengths are milliseconds; the show polls them once a second to find the end.
#include <cstdint>
#include <memory>
#include <string>

#include "raster/bitmap.h"
#include "raster/geometry.h"

namespace vitrine {

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  virtual bool Open(const std::string& path) = 0;  // false when the file can't be played
  virtual void Close() = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;  // on a freshly opened, never played track: starts playing
  virtual void Stop() = 0;
  virtual void Seek(int64_t positionMs) = 0;
  virtual int64_t PositionMs() = 0;
  virtual int64_t LengthMs() = 0;
  // The video's natural size (0 x 0 for sound only).
  virtual Rect SourceRect() = 0;
  // Where inside the video panel the picture is drawn.
  virtual void SetDisplayRect(const Rect& rect) = 0;
  // Draws the picture the video shows at the current position, scaled to the display
  // rectangle, into `target`, on which the video panel lies at `panel` (it may reach past the
  // target's edges: only the part inside is drawn). False when there is no picture to draw
  // (sound only, nothing open, nothing decoded): the panel stays as it was. A player that
  // shows video in a window of its own draws nothing here.
  virtual bool DrawVideoFrame(Bitmap& target, const Rect& panel) { return false; }
  // The same into a bitmap of the panel's own size.
  bool DrawVideoFrame(Bitmap& panel) { return DrawVideoFrame(panel, panel.Bounds()); }
};

class MediaPlayerFactory {
 public:
  virtual ~MediaPlayerFactory() = default;
  virtual std::unique_ptr<MediaPlayer> CreateMusicPlayer() = 0;
  virtual std::unique_ptr<MediaPlayer> CreateVideoPlayer() = 0;
};

}  // namespace vitrine
