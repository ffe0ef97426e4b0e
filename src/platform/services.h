#pragma once
// Operating-system services the show and the dialogs use.
#include <cstdint>
#include <string>

#include "raster/bitmap.h"

namespace vitrine {

class Services {
 public:
  virtual ~Services() = default;
  // Creates the named mutex with initial ownership; false when another process holds one of
  // that name (the caller then ends at once).
  virtual bool AcquireSingleInstance(const std::string& name) = 0;
  virtual void ReleaseSingleInstance() = 0;
  // The running executable's full path.
  virtual std::string ExecutablePath() = 0;
  // The whole screen as it looks now (before the show window covers it).
  virtual Bitmap DesktopSnapshot() = 0;
  virtual uint64_t TotalPhysicalMemory() = 0;
  // What the random generator is seeded with at start-up: the clock on a real system, a
  // chosen value where a run must repeat exactly.
  virtual uint64_t ClockSeed() = 0;
  // The shell's "open" verb on a web address; the result is not checked.
  virtual void ShellOpen(const std::string& address) = 0;
  // A plain message box with an OK button.
  virtual void MessageBox(const std::string& text) = 0;
  // The password prompt ("Screensaver Password"): true with the entry when confirmed with OK,
  // false on Cancel, Esc or closing. Runs modally; the show's timers keep firing meanwhile.
  virtual bool GetPassword(std::string& entry) = 0;
  // Runs the settings dialog modally (its own project and settings objects); returns when
  // it has closed.
  virtual void ShowSettingsDialog() = 0;
};

}  // namespace vitrine
