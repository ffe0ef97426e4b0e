#include "apps/scr/scr_test_capture.h"

#include <cstdio>
#include <cstdlib>

#include "core/file_system.h"
#include "flash/flash_form.h"
#include "flash/own_flash_control.h"
#include "raster/image_files.h"

namespace vitrine {

namespace {

constexpr uint32_t kCheckMs = 20;  // under the Flash window's repaint interval: no frame is missed

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The own control of the open Flash window once it has drawn a frame, or null.
OwnFlashControl* DrawnFlash() {
  TfFlashform* window = CurrentFlashWindow();
  auto* own = window ? dynamic_cast<OwnFlashControl*>(window->Flash.get()) : nullptr;
  return own && own->DrawnFrame() != OwnFlashControl::kNothingDrawn ? own : nullptr;
}

// Written beside and then renamed: whoever waits for the file never reads half of it.
void WriteWhole(const std::string& path, const Bitmap& picture) {
  std::string part = path + ".part";
  if (NativeFileSystem().WriteFile(part, EncodeBmp(picture))) std::rename(part.c_str(), path.c_str());
}

}  // namespace

TestCapture::TestCapture(EventLoop& loop, TfRun& form)
    : form_(form), reportPath_(Variable("VITRINE_REPORT")), flashFolder_(Variable("VITRINE_CAPTURE_FLASH")) {
  if (reportPath_.empty() && flashFolder_.empty()) return;
  timer_ = loop.CreateTimer(kCheckMs, [this] { Check(); });
  timer_->SetEnabled(true);
}

void TestCapture::Report(const std::string& line) {
  if (reportPath_.empty()) return;
  // Opened for each line and closed again: a reader sees every line whole.
  if (FILE* f = std::fopen(reportPath_.c_str(), "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

void TestCapture::Check() {
  bool waiting = form_.ItemStandsComplete();
  if (waiting && !waiting_) Report("complete " + std::to_string(form_.CurrentIndex));
  waiting_ = waiting;
  if (!DrawnFlash()) return;
  if (flashReported_ != form_.CurrentIndex) Report("flash " + std::to_string(form_.CurrentIndex));
  flashReported_ = form_.CurrentIndex;
  if (!flashFolder_.empty()) CheckFlash();
}

void TestCapture::CheckFlash() {
  OwnFlashControl* own = DrawnFlash();
  uint32_t frame = own->DrawnFrame();
  if (!flashSaved_.insert({form_.CurrentIndex, frame}).second) return;
  WriteWhole(flashFolder_ + "/" + std::to_string(form_.CurrentIndex) + "-" + std::to_string(frame) + ".bmp",
             own->WorkSurface());
}

}  // namespace vitrine
