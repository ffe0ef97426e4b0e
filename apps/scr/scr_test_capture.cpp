#include "apps/scr/scr_test_capture.h"

#include <cstdio>
#include <cstdlib>

#include "core/file_system.h"
#include "raster/image_files.h"

namespace vitrine {

TestCapture::TestCapture(EventLoop& loop, TfRun& form) : loop_(loop), form_(form) {
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
  // Written beside and then renamed: whoever waits for the file never reads half of it.
  std::string part = path_ + ".part";
  if (NativeFileSystem().WriteFile(part, EncodeBmp(form_.SurfaceBitmap()))) std::rename(part.c_str(), path_.c_str());
}

}  // namespace vitrine
