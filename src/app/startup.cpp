#include "app/startup.h"

#include "core/text.h"

namespace vitrine {

namespace {
std::string Switch(const std::vector<std::string>& args) {
  return args.empty() ? std::string() : AsciiUpper(args[0].substr(0, 2));
}

bool ParseHandle(std::string_view text, uintptr_t& handle) {
  text = TrimControl(text);
  if (text.empty() || text.size() > 20) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value == 0 || value > UINTPTR_MAX) return false;
  handle = static_cast<uintptr_t>(value);
  return true;
}
}  // namespace

StartMode ChooseStartMode(const std::string& executablePath, const std::vector<std::string>& args) {
  if (args.empty())
    return AsciiUpper(executablePath).find(".SCR") != std::string::npos ? StartMode::Configuration
                                                                       : StartMode::ShowWindow;
  return Switch(args) == "/C" ? StartMode::Configuration : StartMode::ShowWindow;
}

std::optional<ShowModeChoice> ChooseShowSetup(const std::vector<std::string>& args) {
  if (Switch(args) != "/P") return ShowModeChoice{ShowSetup::Show, 0};
  ShowModeChoice choice{ShowSetup::Preview, 0};
  const std::string& first = args[0];
  size_t colon = first.find(':');
  bool ok = colon != std::string::npos ? ParseHandle(std::string_view(first).substr(colon + 1), choice.previewParent)
                                       : args.size() > 1 && ParseHandle(args[1], choice.previewParent);
  if (!ok) return std::nullopt;
  return choice;
}

}  // namespace vitrine
