#include "settings/about_box.h"

#include "raster/canvas.h"

namespace vitrine {

namespace {

// A framed picture: a sky with a sun over a hill.
Bitmap AboutIcon() {
  Bitmap icon(kAboutIconSize, kAboutIconSize);
  Canvas canvas(icon);
  canvas.FillRect(icon.Bounds(), RGBColor(96, 160, 224));
  canvas.Ellipse({18, 4, 28, 14}, RGBColor(240, 200, 40), RGBColor(255, 220, 60));
  canvas.Ellipse({-8, 18, 40, 48}, RGBColor(40, 120, 40), RGBColor(60, 150, 60));
  canvas.Rectangle(icon.Bounds(), RGBColor(64, 64, 64), std::nullopt);
  return icon;
}

}  // namespace

std::string MemoryFigure(uint64_t totalPhysicalBytes) {
  return std::to_string(totalPhysicalBytes / 1024) + about_text::kKilobytes;
}

TfSettingAbout::TfSettingAbout(const TProjectInfo& project, Services& services)
    : imgAbout(AboutIcon()), project_(project), services_(services) {}

void TfSettingAbout::FormShow() {
  Caption = about_text::kFormPrefix + project_.SaverName;
  lbProjectName = project_.SaverName;
  lbVersion = project_.Version;
  lbCopyright = project_.RightsNotice;
  lbMemory = MemoryFigure(services_.TotalPhysicalMemory());
  imgAboutLeft = (kAboutFrameWidth - imgAbout.Width()) / 2;
  imgAboutTop = (kAboutFrameHeight - imgAbout.Height()) / 2;
  labelversion = project_.Texts[kVersionLabelText];
  lbavailmemory = project_.Texts[kMemoryLabelText];
}

}  // namespace vitrine
