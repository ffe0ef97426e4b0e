#pragma once
// A Flash control of our own, for where the player is not installed (and the headless
// platform): it reads the movie's header, shows its background colour and moves a playhead
// at the movie's frame rate on the loop's clock. It draws no frames of the movie itself.
#include <optional>

#include "core/file_system.h"
#include "flash/flash_control.h"
#include "flash/movie_header.h"
#include "platform/event_loop.h"

namespace vitrine {

class OwnFlashControl final : public FlashControl {
 public:
  OwnFlashControl(EventLoop& loop, FileSystem& files) : loop_(loop), files_(files) {}

  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  Rect Bounds() const override { return bounds_; }
  void SetCursor(FlashCursor cursor) override { cursor_ = cursor; }
  FlashCursor Cursor() const override { return cursor_; }
  void SetDoubleBuffered(bool on) override { doubleBuffered_ = on; }
  void BringToFront() override {}
  void FreeOnRelease() override;

  void SetMenu(bool on) override { menu_ = on; }
  void SetMovie(const std::string& path) override;
  void SetBackgroundColor(int32_t rgb) override { backgroundProperty_ = rgb; }
  void SetScaleMode(int32_t mode) override { scaleMode_ = mode; }
  void SetAlignMode(int32_t mode) override { alignMode_ = mode; }
  int32_t TotalFrames() override { return released_ ? 0 : totalFrames_; }
  bool Playing() override;
  void GotoFrame(int32_t frame) override;
  void Play() override;
  void StopPlay() override;
  int32_t CurrentFrame() override;

  // The movie's background, or the colour set through BackgroundColor, which wins.
  void Paint(Bitmap& screen) override;
  Color ShownColor() const;

  const std::optional<MovieHeader>& Header() const { return header_; }
  bool Menu() const { return menu_; }
  int32_t ScaleMode() const { return scaleMode_; }
  int32_t AlignMode() const { return alignMode_; }

 private:
  // Brings the playhead up to the clock.
  void Advance();

  EventLoop& loop_;
  FileSystem& files_;
  Rect bounds_{};
  FlashCursor cursor_ = FlashCursor::Default;
  bool doubleBuffered_ = false;
  bool released_ = false;
  bool menu_ = true;
  int32_t backgroundProperty_ = -1;  // -1: not set, the movie's own colour shows
  int32_t scaleMode_ = 0, alignMode_ = 0;
  std::optional<MovieHeader> header_;
  int32_t totalFrames_ = 0;
  int32_t frame_ = 0;
  bool playing_ = false;
  // The playhead stood at frame_ at this time; frames since then follow from the rate.
  uint64_t frameTimeMs_ = 0;
};

}  // namespace vitrine
