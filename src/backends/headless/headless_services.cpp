#include "backends/headless/headless_services.h"

#include <set>

namespace vitrine {

namespace {
// Named mutexes are process-wide, like the system's: two headless shows in one process
// see each other.
std::set<std::string>& HeldNames() {
  static std::set<std::string> names;
  return names;
}
}  // namespace

bool HeadlessServices::AcquireSingleInstance(const std::string& name) {
  if (!HeldNames().insert(name).second) return false;
  heldMutex_ = name;
  return true;
}

void HeadlessServices::ReleaseSingleInstance() {
  if (!heldMutex_.empty()) HeldNames().erase(heldMutex_);
  heldMutex_.clear();
}

bool HeadlessServices::GetPassword(std::string& entry) {
  ++passwordPrompts;
  if (passwordAnswers.empty()) return false;
  auto answer = passwordAnswers.front();
  passwordAnswers.pop_front();
  if (!answer) return false;
  entry = *answer;
  return true;
}

void HeadlessServices::ShowSettingsDialog() {
  ++settingsDialogRuns;
  if (settingsDialog) settingsDialog();
}

}  // namespace vitrine
