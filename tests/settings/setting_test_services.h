#pragma once
// Services for the dialog tests: the package path, recorded message boxes and shell opens.
#include <string>
#include <vector>

#include "platform/services.h"

namespace vitrine::test {

class RecordingServices final : public Services {
 public:
  bool AcquireSingleInstance(const std::string&) override { return true; }
  void ReleaseSingleInstance() override {}
  std::string ExecutablePath() override { return executablePath; }
  Bitmap DesktopSnapshot() override { return {}; }
  uint64_t TotalPhysicalMemory() override { return physicalMemory; }
  uint64_t ClockSeed() override { return 1; }
  void ShellOpen(const std::string& address) override { opened.push_back(address); }
  void MessageBox(const std::string& text) override { messages.push_back(text); }
  bool GetPassword(std::string&) override { return false; }
  void ShowSettingsDialog() override {}

  std::string executablePath = "/saver/Sunset.scr";
  uint64_t physicalMemory = 0;
  std::vector<std::string> messages;
  std::vector<std::string> opened;
};

}  // namespace vitrine::test
