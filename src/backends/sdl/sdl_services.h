#pragma once
// Services of the Linux player: a lock file as the single-instance mutex, the desktop from
// the X root window, the password prompt drawn by the show window and answered in a nested
// loop while the show's timers keep firing.
#include <functional>
#include <string>

#include "app/show_input.h"
#include "backends/sdl/sdl_event_loop.h"
#include "platform/services.h"

namespace vitrine {

class SdlServices final : public Services {
 public:
  SdlServices(SdlEventLoop& loop, ShowInput& input) : loop_(loop), input_(input) {}
  ~SdlServices() override { ReleaseSingleInstance(); }

  // A lock file named after the mutex in the user's runtime folder (the temporary folder
  // without one), held with flock for the life of the run.
  bool AcquireSingleInstance(const std::string& name) override;
  void ReleaseSingleInstance() override;
  std::string ExecutablePath() override { return executablePath; }
  Bitmap DesktopSnapshot() override;
  uint64_t TotalPhysicalMemory() override;
  // VITRINE_SEED when set (runs that must repeat, as in tests), else the clock.
  uint64_t ClockSeed() override;
  void ShellOpen(const std::string& address) override;
  // There is no message box window: the text goes to the standard error.
  void MessageBox(const std::string& text) override;
  bool GetPassword(std::string& entry) override;
  void ShowSettingsDialog() override {
    if (settingsDialog) settingsDialog();
  }

  // Where the package is read from (the player itself for a packaged saver).
  std::string executablePath;
  std::function<void()> settingsDialog;

 private:
  SdlEventLoop& loop_;
  ShowInput& input_;
  int lockFd_ = -1;
};

}  // namespace vitrine
