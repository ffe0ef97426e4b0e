#include "flash/own_flash_control.h"

#include "raster/canvas.h"

namespace vitrine {

void OwnFlashControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  bounds_ = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
}

void OwnFlashControl::FreeOnRelease() {
  released_ = true;
  playing_ = false;
}

void OwnFlashControl::SetMovie(const std::string& path) {
  header_ = ReadMovieHeaderFile(files_, path);
  totalFrames_ = header_ ? header_->frameCount : 0;
  frame_ = 0;
  playing_ = false;
}

void OwnFlashControl::Advance() {
  if (!playing_) return;
  uint16_t rate = header_ ? header_->frameRate : 0;
  uint64_t now = loop_.NowMs();
  // A rate of 0 leaves the playhead where it stands.
  if (rate == 0 || now <= frameTimeMs_) return;
  uint64_t frames = (now - frameTimeMs_) * rate / 256000u;
  if (frames == 0) return;
  int32_t last = totalFrames_ - 1;
  if (frames >= uint64_t(last - frame_)) {
    frame_ = last;
    playing_ = false;
    return;
  }
  frame_ += static_cast<int32_t>(frames);
  frameTimeMs_ += frames * 256000u / rate;
}

bool OwnFlashControl::Playing() {
  Advance();
  return playing_;
}

int32_t OwnFlashControl::CurrentFrame() {
  Advance();
  return frame_;
}

void OwnFlashControl::GotoFrame(int32_t frame) {
  if (released_ || totalFrames_ <= 0) return;
  Advance();
  frame_ = std::clamp(frame, 0, totalFrames_ - 1);
  frameTimeMs_ = loop_.NowMs();
}

void OwnFlashControl::Play() {
  if (released_ || totalFrames_ <= 0) return;
  Advance();
  // At the last frame there is nothing left to play.
  if (playing_ || frame_ >= totalFrames_ - 1) return;
  playing_ = true;
  frameTimeMs_ = loop_.NowMs();
}

void OwnFlashControl::StopPlay() {
  Advance();
  playing_ = false;
}

Color OwnFlashControl::ShownColor() const {
  if (backgroundProperty_ >= 0) {
    uint32_t rgb = static_cast<uint32_t>(backgroundProperty_);
    return RGBColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  }
  if (header_ && header_->background) return *header_->background;
  return kWhite;
}

void OwnFlashControl::Paint(Bitmap& screen) {
  Rect area = bounds_.Intersect(screen.Bounds());
  if (area.Empty()) return;
  Canvas(screen).FillRect(area, ShownColor());
}

}  // namespace vitrine
