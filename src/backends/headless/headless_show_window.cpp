#include "backends/headless/headless_show_window.h"

#include <algorithm>

namespace vitrine {

bool HeadlessShowWindow::AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) {
  if (parentHandle == 0) return false;
  width = previewWidth_;
  height = previewHeight_;
  return true;
}

void HeadlessShowWindow::Present(const Rect& dirty) {
  Rect r = dirty.Intersect(surface_.Bounds());
  if (r.Empty()) return;
  if (dirty_.Empty()) {
    dirty_ = r;
  } else {
    dirty_ = {std::min(dirty_.left, r.left), std::min(dirty_.top, r.top), std::max(dirty_.right, r.right),
              std::max(dirty_.bottom, r.bottom)};
  }
}

Rect HeadlessShowWindow::TakeDirty() {
  Rect r = dirty_;
  dirty_ = {};
  return r;
}

}  // namespace vitrine
