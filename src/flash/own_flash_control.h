#pragma once
// A Flash control of our own, for where the system's player is not installed (which is
// everywhere now, and the headless platform): it plays the movie with our SWF timeline
// player on the loop's clock at the movie's frame rate and draws its frames in the window,
// scaled and aligned as ScaleMode and AlignMode say.
#include <memory>
#include <optional>

#include "core/file_system.h"
#include "flash/flash_control.h"
#include "flash/flash_sound.h"
#include "flash/movie_header.h"
#include "flash/swf/player.h"
#include "flash/swf/renderer.h"
#include "platform/event_loop.h"
#include "platform/sound_output.h"
#include "raster/text_renderer.h"

namespace vitrine {

// The largest movie file read.
inline constexpr size_t kMaxMovieFileBytes = 64u << 20;
// Frames played at most in one catch-up with the clock; a longer gap skips the time.
inline constexpr uint64_t kMaxCatchUpFrames = 256;

class OwnFlashControl final : public FlashControl {
 public:
  // text, when given, draws the text fields set in device fonts (the system's faces). sound, when given,
  // plays the movie's sound, the compressed kinds through decoders (null: uncompressed only).
  OwnFlashControl(EventLoop& loop, FileSystem& files, TextRenderer* text = nullptr, SoundOutput* sound = nullptr,
                  swf::SoundDecoderFactory* decoders = nullptr);

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
  int32_t TotalFrames() override { return released_ || !player_ ? 0 : int32_t(player_->FrameCount()); }
  bool Playing() override;
  void GotoFrame(int32_t frame) override;
  void Play() override;
  void StopPlay() override;
  int32_t CurrentFrame() override;
  void KeyToMovie(bool down, uint16_t virtualKey, uint8_t ascii) override;
  bool MovieHidesPointer() override { return player_ && !released_ && player_->CursorHidden(); }

  // The movie's current frame on its background, converted once into the screen's format.
  void Paint(Bitmap& screen) override;
  // The movie's own background, else the BackgroundColor property, else white.
  Color ShownColor() const;
  // The 32-bit frame last drawn, bounds-sized, and the movie's frame it shows
  // (kNothingDrawn before the first paint).
  const Bitmap& WorkSurface() const { return work_; }
  static constexpr uint32_t kNothingDrawn = UINT32_MAX;
  uint32_t DrawnFrame() const { return drawnFrame_; }

  const std::optional<MovieHeader>& Header() const { return header_; }
  const swf::Player* Player() const { return player_.get(); }
  // The movie's sound, while it has some and the control plays it; null otherwise.
  FlashSound* Sound() { return sound_ && sound_->Attached() ? sound_.get() : nullptr; }
  bool Menu() const { return menu_; }
  int32_t ScaleMode() const { return scaleMode_; }
  int32_t AlignMode() const { return alignMode_; }

 protected:
  // Mouse messages reach the movie at its stage coordinates, through the view it is drawn in.
  void DeliverToMovie(MouseMessage message, int32_t x, int32_t y) override;

 private:
  // Brings the movie up to the clock, one frame interval at a time.
  void Advance();
  // Where tick number `tick` fell, in frames of the sound output.
  uint64_t TickSoundFrame(uint64_t tick) const;
  uint64_t NowSoundFrame() const { return loop_.NowMs() * kSoundFramesPerMs; }
  // The sound events of the frames just run, due at sound frame `at`.
  void PassSound(uint64_t at);

  EventLoop& loop_;
  FileSystem& files_;
  TextRenderer* text_;
  Rect bounds_{};
  FlashCursor cursor_ = FlashCursor::Default;
  bool doubleBuffered_ = false;
  bool released_ = false;
  bool menu_ = true;
  int32_t backgroundProperty_ = -1;  // -1: not set
  int32_t scaleMode_ = 0, alignMode_ = 0;
  std::optional<MovieHeader> header_;
  std::unique_ptr<swf::Player> player_;
  swf::Renderer renderer_{text_};
  uint16_t frameRate_ = 0;
  // Frame intervals counted since clockStartMs_.
  uint64_t clockStartMs_ = 0, ticks_ = 0;
  Bitmap work_;
  uint64_t drawnTicks_ = UINT64_MAX;  // what work_ shows
  uint32_t drawnFrame_ = kNothingDrawn;
  // Declared last: destroyed first, so the output stops reading before the movie goes.
  std::unique_ptr<FlashSound> sound_;
};

}  // namespace vitrine
