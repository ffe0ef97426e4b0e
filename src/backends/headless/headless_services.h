#pragma once
// Services without an operating system: prompt answers and the settings dialog are
// scripted, message boxes are recorded, the desktop is a given picture.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/services.h"

namespace vitrine {

class HeadlessServices final : public Services {
 public:
  bool AcquireSingleInstance(const std::string& name) override;
  void ReleaseSingleInstance() override;
  std::string ExecutablePath() override { return executablePath; }
  Bitmap DesktopSnapshot() override { return desktop; }
  uint64_t TotalPhysicalMemory() override { return physicalMemory; }
  uint64_t ClockSeed() override { return seed; }
  void ShellOpen(const std::string& address) override { openedAddresses.push_back(address); }
  void MessageBox(const std::string& text) override { messages.push_back(text); }
  // Takes the next scripted answer; with none left the prompt is cancelled.
  bool GetPassword(std::string& entry) override;
  void ShowSettingsDialog() override;

  std::string executablePath;
  Bitmap desktop;
  uint64_t physicalMemory = uint64_t(4) << 30;
  uint64_t seed = 1;
  std::deque<std::optional<std::string>> passwordAnswers;  // nullopt = Cancel
  std::function<void()> settingsDialog;                     // what "the user" does in the dialog
  std::vector<std::string> messages;
  std::vector<std::string> openedAddresses;
  int passwordPrompts = 0;
  int settingsDialogRuns = 0;

 private:
  std::string heldMutex_;
};

}  // namespace vitrine
