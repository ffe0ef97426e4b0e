// Pan and zoom: while a picture stands, the frame timer keeps drawing it from the decoded
// picture at the framing for the current time, from the framing the transition brought in to
// the one the next transition takes over from. Without it the frame timer stops when the
// transition ends and a standing picture costs nothing.
#include <algorithm>

#include "app/run_form.h"
#include "transitions/catalogue.h"
#include "transitions/timed_fade.h"

namespace vitrine {

bool TfRun::PanZoomWanted(const TPictureInfo& item) const {
  // A transparent picture takes its background's pixels into PictureBitmap; moving it would
  // move them too.
  if (item.Transparent) return false;
  return item.PanZoom == 1 || (item.PanZoom == -1 && Project->PanZoom);
}

void TfRun::PreparePanZoom(const Bitmap& decoded, const Rect& shown) {
  const int32_t w = pictureBitmap_.Width(), h = pictureBitmap_.Height();
  if (decoded.Empty() || shown.Empty() || w <= 0 || h <= 0) return;
  panSource_ = ReduceForScaling(decoded, w + w * 3 / 20 + 1, h + h * 3 / 20 + 1);
  // The shown part in the reduced picture's pixels, 16.16.
  const int64_t sx = int64_t(panSource_.Width()) * kFixedOne / decoded.Width();
  const int64_t sy = int64_t(panSource_.Height()) * kFixedOne / decoded.Height();
  const FixedRect whole{shown.left * sx, shown.top * sy, (shown.right - shown.left) * sx, (shown.bottom - shown.top) * sy};
  panPath_ = RandomPanZoomPath(whole);
  panTarget_ = {PictureLeft_, PictureTop_, PictureLeft_ + w, PictureTop_ + h};
  // The transition brings the picture in at the path's first framing.
  panScaler_.Draw(pictureBitmap_, pictureBitmap_.Bounds(), panSource_, panPath_.At(0));
  panZoomOn_ = true;
}

void TfRun::StartPanZoom() {
  panZoomRunning_ = true;
  panStartMs_ = NowMs();
  panDurationMs_ = uint64_t(std::max(Project->ShowSeconds, 0) + 1) * 1000u;
  showTimer_->SetInterval(kDefaultFrameIntervalMs);
  showTimer_->SetEnabled(true);
}

void TfRun::StopPanZoom() {
  if (!panZoomRunning_) return;
  panZoomRunning_ = false;
  showTimer_->SetEnabled(false);
}

void TfRun::PanZoomFrame() {
  const uint64_t elapsed = NowMs() - panStartMs_;
  const int32_t progress =
      elapsed >= panDurationMs_ ? kProgressOne : int32_t(elapsed * uint64_t(kProgressOne) / panDurationMs_);
  const FixedRect framing = panPath_.At(progress);
  Bitmap& surface = platform_.Window.Surface();
  const Rect visible = panTarget_.Intersect(surface.Bounds());
  if (Scope() == TransitionScope::WholeScreen) {
    // The caption and text lie over the picture: drawn again over each new framing, and only
    // the picture's place goes to the screen, so they stand still.
    if (panFrame_.Width() != surface.Width() || panFrame_.Height() != surface.Height() ||
        panFrame_.Format() != surface.Format())
      panFrame_.Reset(surface.Width(), surface.Height(), surface.Format());
    panScaler_.Draw(panFrame_, panTarget_, panSource_, framing);
    Canvas frame(panFrame_);
    if (auto* item = CurrentItem()) {
      DrawCaption(*item, frame);
      DrawMemo(*item, frame);
    }
    surfaceCanvas_.CopyRect(visible, panFrame_, visible);
  } else {
    // Over the picture alone, the texts lie beneath it.
    panScaler_.Draw(surface, panTarget_, panSource_, framing);
  }
  if (!visible.Empty()) platform_.Window.Present(visible);
  if (progress >= kProgressOne) StopPanZoom();
}

}  // namespace vitrine
