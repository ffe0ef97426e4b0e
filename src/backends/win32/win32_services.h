#pragma once
// Operating-system services on Windows: the named mutex, the module path, a GDI copy of the
// screen, the memory status, the shell, message boxes and the password prompt.
#include <functional>

#include "platform/services.h"
#include "raster/geometry.h"

namespace vitrine {

// The password prompt's texts.
inline constexpr const char* kPasswordCaption = "Screensaver Password";
inline constexpr const char* kPasswordLabel = "Please input password:";
inline constexpr int kPasswordEditId = 101;

// Per-monitor DPI awareness, version 2, as the manifest asks, also where the manifest's
// setting is not applied (older systems take plain system awareness).
void UsePerMonitorDpiAwareness();

class Win32Services final : public Services {
 public:
  ~Win32Services() override { ReleaseSingleInstance(); }
  bool AcquireSingleInstance(const std::string& name) override;
  void ReleaseSingleInstance() override;
  std::string ExecutablePath() override;
  Bitmap DesktopSnapshot() override;
  uint64_t TotalPhysicalMemory() override;
  // The clock, unless VITRINE_SEED holds a number: then runs repeat, and the headless
  // renderer given the same seed makes the same random choices.
  uint64_t ClockSeed() override;
  void ShellOpen(const std::string& address) override;
  void MessageBox(const std::string& text) override;
  bool GetPassword(std::string& entry) override;
  void ShowSettingsDialog() override;

  // The window that message boxes and prompts stand over (the show window), an HWND.
  uintptr_t owner = 0;
  // The part of the virtual screen the show covers, which the desktop snapshot is taken of;
  // empty: the primary monitor.
  Rect showArea;
  std::function<void()> settingsDialog;

 private:
  void* mutex_ = nullptr;
};

}  // namespace vitrine
