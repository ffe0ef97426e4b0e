#include "app/show_area.h"

#include "app/run_form.h"

namespace vitrine {

bool FollowShowAreaSize(TfRun& form, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  if (form.ShowTimer().Enabled()) return false;
  if (width == form.ShowWidth && height == form.ShowHeight) return true;
  Bitmap shown = form.SurfaceBitmap();
  form.ShowWidth = width;
  form.ShowHeight = height;
  form.FormResize();
  Canvas(form.SurfaceBitmap()).StretchDraw({0, 0, width, height}, shown);
  return true;
}

}  // namespace vitrine
