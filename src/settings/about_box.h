#pragma once
// The about box: the saver's name, version and rights notice from the package, and the
// machine's physical memory, as a plain model a platform shows.
#include <cstdint>
#include <string>

#include "package/project_info.h"
#include "platform/services.h"
#include "raster/bitmap.h"

namespace vitrine {

namespace about_text {
inline constexpr const char* kForm = "About";
inline constexpr const char* kFormPrefix = "About ";
inline constexpr const char* kVersionLabel = "Version";
inline constexpr const char* kVersion = "1.0";
inline constexpr const char* kMemoryLabel = "Memory Available to Windows:";
inline constexpr const char* kMemory = "lbMemory";
inline constexpr const char* kOK = "OK";
inline constexpr const char* kKilobytes = " K";
}  // namespace about_text

// The package's texts that name the two labels (keys 80 and 81).
inline constexpr int kVersionLabelText = 80 - kFirstTextKey;
inline constexpr int kMemoryLabelText = 81 - kFirstTextKey;

inline constexpr int32_t kAboutFrameWidth = 73;
inline constexpr int32_t kAboutFrameHeight = 64;
inline constexpr int32_t kAboutIconSize = 32;

// "<total physical bytes div 1024> K".
std::string MemoryFigure(uint64_t totalPhysicalBytes);

class TfSettingAbout {
 public:
  // The project stays the settings dialog's.
  TfSettingAbout(const TProjectInfo& project, Services& services);

  std::string Caption = about_text::kForm;
  std::string lbProjectName;
  std::string labelversion = about_text::kVersionLabel;
  std::string lbVersion = about_text::kVersion;
  std::string lbCopyright;
  std::string lbavailmemory = about_text::kMemoryLabel;
  std::string lbMemory = about_text::kMemory;
  std::string SpeedButton2 = about_text::kOK;
  // The icon and where it stands inside its frame.
  Bitmap imgAbout;
  int32_t imgAboutLeft = 0, imgAboutTop = 0;
  bool Closed = false;

  void FormShow();
  void SpeedButton2Click() { Closed = true; }

 private:
  const TProjectInfo& project_;
  Services& services_;
};

}  // namespace vitrine
