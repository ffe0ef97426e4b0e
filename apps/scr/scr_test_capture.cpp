#include "apps/scr/scr_test_capture.h"

#include <cstdio>
#include <cstdlib>

#include "core/file_system.h"
#include "flash/flash_form.h"
#include "flash/own_flash_control.h"
#include "raster/image_files.h"

namespace vitrine {

namespace {

// Written beside and then renamed: whoever waits for the file never reads half of it.
void WriteWhole(const std::string& path, const Bitmap& picture) {
  std::string part = path + ".part";
  if (NativeFileSystem().WriteFile(part, EncodeBmp(picture))) std::rename(part.c_str(), path.c_str());
}

}  // namespace

TestCapture::TestCapture(EventLoop& loop, TfRun& form, FlashWindowHost& flash)
    : loop_(loop), form_(form), flash_(flash) {
  if (const char* folder = std::getenv("VITRINE_CAPTURE_FLASH"); folder && *folder) {
    flashFolder_ = folder;
    flashTimer_ = loop.CreateTimer(50, [this] { CheckFlash(); });
    flashTimer_->SetEnabled(true);
  }
  const char* path = std::getenv("VITRINE_CAPTURE");
  if (!path || !*path) return;
  path_ = path;
  if (const char* after = std::getenv("VITRINE_CAPTURE_AFTER_MS")) afterMs_ = std::strtoull(after, nullptr, 10);
  timer_ = loop.CreateTimer(100, [this] { Check(); });
  timer_->SetEnabled(true);
}

void TestCapture::Check() {
  bool waiting = !form_.ShowTimer().Enabled() && form_.SelectTimer().Enabled();
  if (loop_.NowMs() < afterMs_ || !waiting) return;
  timer_->SetEnabled(false);
  WriteWhole(path_, form_.SurfaceBitmap());
}

void TestCapture::CheckFlash() {
  TfFlashform* window = CurrentFlashWindow();
  if (!window || !window->Flash || !flashCaptured_.insert(form_.CurrentIndex).second) return;
  FlashControl& control = *window->Flash;
  const Rect& bounds = window->BoundsRect;
  auto save = [&](const std::string& name) {
    Bitmap shown(bounds.Width(), bounds.Height(), PixelFormat::Xrgb8888);
    flash_.PaintOver(shown);
    auto* own = dynamic_cast<OwnFlashControl*>(&control);
    WriteWhole(flashFolder_ + "/" + std::to_string(form_.CurrentIndex) + name + ".bmp", own ? own->WorkSurface() : shown);
  };
  save("");
  int32_t frames = control.TotalFrames();
  if (frames < 2) return;
  bool playing = control.Playing();
  for (int32_t frame : std::set<int32_t>{0, frames / 2, frames - 1}) {
    control.GotoFrame(frame);
    save("-" + std::to_string(frame));
  }
  if (playing) control.Play();
}

}  // namespace vitrine
