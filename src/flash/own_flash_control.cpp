#include "flash/own_flash_control.h"

#include <algorithm>
#include <vector>

namespace vitrine {

OwnFlashControl::OwnFlashControl(EventLoop& loop, FileSystem& files, TextRenderer* text, SoundOutput* sound,
                                 swf::SoundDecoderFactory* decoders)
    : loop_(loop), files_(files), text_(text) {
  if (sound) sound_ = std::make_unique<FlashSound>(*sound, decoders);
}

uint64_t OwnFlashControl::TickSoundFrame(uint64_t tick) const {
  // A frame lasts 256000 / frameRate ms, the rate being 8.8 fixed point.
  return clockStartMs_ * kSoundFramesPerMs + tick * 256000u * kSoundFramesPerMs / frameRate_;
}

void OwnFlashControl::PassSound(uint64_t at) {
  if (!player_) return;
  auto events = player_->TakeSoundEvents();
  if (!sound_ || !sound_->Attached() || events.empty()) return;
  uint64_t interval = frameRate_ ? 256000u * kSoundFramesPerMs / frameRate_ : kSoundRate;
  sound_->Play(std::move(events), at, interval);
}

void OwnFlashControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  bounds_ = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
}

void OwnFlashControl::FreeOnRelease() {
  released_ = true;
  if (player_) player_->Stop();
  if (sound_) sound_->Detach();
}

void OwnFlashControl::SetMovie(const std::string& path) {
  if (sound_) sound_->Detach();
  header_.reset();
  player_.reset();
  drawnTicks_ = UINT64_MAX;
  std::vector<uint8_t> bytes;
  if (auto file = files_.OpenRead(path)) {
    std::vector<uint8_t> chunk(1 << 16);
    while (bytes.size() < kMaxMovieFileBytes) {
      int64_t n = file->Read(chunk.data(), int64_t(std::min(chunk.size(), kMaxMovieFileBytes - bytes.size())));
      if (n <= 0) break;
      bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
  }
  header_ = ReadMovieHeader(bytes);
  clockStartMs_ = loop_.NowMs();
  ticks_ = 0;
  if (auto movie = swf::Movie::Load(bytes)) {
    if (sound_ && movie->HasSound() && !released_) sound_->Attach(NowSoundFrame());
    swf::PlayerOptions options;
    options.text = text_;  // fields that size themselves measure their text as it is drawn
    player_ = std::make_unique<swf::Player>(std::move(movie), options);
    frameRate_ = player_->GetMovie().File().frameRate;
    PassSound(NowSoundFrame());  // the first frame's
    if (sound_) sound_->Settle(NowSoundFrame());
  }
}

void OwnFlashControl::Advance() {
  if (!player_ || released_ || frameRate_ == 0) return;  // a rate of 0 never moves on
  uint64_t now = loop_.NowMs();
  if (now <= clockStartMs_) return;
  uint64_t due = (now - clockStartMs_) * frameRate_ / 256000u;
  if (due <= ticks_) return;
  if (due - ticks_ > kMaxCatchUpFrames) ticks_ = due - kMaxCatchUpFrames;
  while (ticks_ < due) {
    player_->Tick();
    ++ticks_;
    PassSound(TickSoundFrame(ticks_));
  }
  if (sound_) sound_->Settle(NowSoundFrame());
}

bool OwnFlashControl::Playing() {
  Advance();
  return player_ && !released_ && player_->Playing();
}

int32_t OwnFlashControl::CurrentFrame() {
  Advance();
  return player_ ? int32_t(player_->CurrentFrame()) : 0;
}

void OwnFlashControl::GotoFrame(int32_t frame) {
  if (released_ || !player_ || player_->FrameCount() == 0) return;
  Advance();
  player_->GotoFrame(uint32_t(std::max(frame, 0)));
  PassSound(NowSoundFrame());
  if (sound_) sound_->Settle(NowSoundFrame());
}

void OwnFlashControl::Play() {
  if (released_ || !player_ || player_->FrameCount() == 0) return;
  Advance();
  player_->Play();
}

void OwnFlashControl::StopPlay() {
  Advance();
  if (player_) player_->Stop();
  if (sound_) {
    sound_->StopAll(NowSoundFrame());
    sound_->Settle(NowSoundFrame());
  }
}

void OwnFlashControl::DeliverToMovie(MouseMessage message, int32_t x, int32_t y) {
  if (released_ || !player_) return;
  Advance();
  const swf::SwfFile& f = player_->GetMovie().File();
  swf::SwfRect stage{f.xMin, f.xMax, f.yMin, f.yMax};
  swf::Matrix view = swf::ViewMatrix(stage, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top, scaleMode_,
                                     alignMode_);
  swf::Matrix inverse;
  if (!view.Invert(inverse)) return;
  double sx, sy;
  inverse.Apply(x, y, sx, sy);
  sx /= 20;
  sy /= 20;
  switch (message) {
    case MouseMessage::Move: player_->MouseMove(sx, sy); break;
    case MouseMessage::LeftDown:
    case MouseMessage::DoubleClick: player_->MouseDown(sx, sy); break;
    case MouseMessage::LeftUp: player_->MouseUp(sx, sy); break;
    case MouseMessage::RightDown: break;  // the player's own menu, which the show does not open
  }
  drawnTicks_ = UINT64_MAX;  // buttons and scripts may have changed the picture
}

void OwnFlashControl::KeyToMovie(bool down, uint16_t virtualKey, uint8_t ascii) {
  if (released_ || !player_) return;
  Advance();
  if (down) player_->KeyDown(virtualKey, ascii);
  else player_->KeyUp(virtualKey, ascii);
  drawnTicks_ = UINT64_MAX;
}

Color OwnFlashControl::ShownColor() const {
  if (player_ && player_->Background()) {
    swf::Rgba c = *player_->Background();
    return RGBColor(c.r, c.g, c.b);
  }
  if (backgroundProperty_ >= 0) {
    uint32_t rgb = static_cast<uint32_t>(backgroundProperty_);
    return RGBColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  }
  return kWhite;
}

void OwnFlashControl::Paint(Bitmap& screen) {
  Rect area = bounds_.Intersect(screen.Bounds());
  if (area.Empty()) return;
  Advance();
  int32_t w = bounds_.right - bounds_.left, h = bounds_.bottom - bounds_.top;
  Color shown = ShownColor();
  swf::Rgba background{RedOf(shown), GreenOf(shown), BlueOf(shown), 255};
  uint32_t frame = player_ ? player_->CurrentFrame() : 0;
  if (work_.Width() != w || work_.Height() != h || work_.Format() != PixelFormat::Xrgb8888) {
    work_.Reset(w, h, PixelFormat::Xrgb8888);
    drawnTicks_ = UINT64_MAX;
  }
  if (drawnTicks_ != ticks_ || drawnFrame_ != frame) {
    if (player_) {
      const swf::SwfFile& f = player_->GetMovie().File();
      swf::SwfRect stage{f.xMin, f.xMax, f.yMin, f.yMax};
      renderer_.Render(*player_, work_, swf::ViewMatrix(stage, w, h, scaleMode_, alignMode_), background);
    } else {
      uint32_t bg = uint32_t(background.r) << 16 | uint32_t(background.g) << 8 | background.b;
      for (int32_t y = 0; y < h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(work_.Row(y));
        std::fill(row, row + w, bg);
      }
    }
    drawnTicks_ = ticks_;
    drawnFrame_ = frame;
  }
  // The one conversion from the work surface to the screen's format.
  PixelFormat format = screen.Format();
  for (int32_t y = area.top; y < area.bottom; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(work_.Row(y - bounds_.top)) - bounds_.left;
    if (format == PixelFormat::Rgb565) {
      uint16_t* out = reinterpret_cast<uint16_t*>(screen.Row(y));
      for (int32_t x = area.left; x < area.right; ++x) {
        uint32_t p = src[x];
        out[x] = uint16_t((p >> 8 & 0xF800) | (p >> 5 & 0x07E0) | (p >> 3 & 0x001F));
      }
    } else {
      uint32_t* out = reinterpret_cast<uint32_t*>(screen.Row(y));
      std::copy(src + area.left, src + area.right, out + area.left);
    }
  }
}

}  // namespace vitrine
