#include "apps/saver/saver_options.h"

namespace vitrine {

std::optional<uintptr_t> ParseWindowId(const std::string& text) {
  std::string_view s = text;
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n')) s.remove_suffix(1);
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.size() > 16) return std::nullopt;
  uint64_t value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    uint64_t next = value * uint64_t(base) + uint64_t(digit);
    if (next / uint64_t(base) != value) return std::nullopt;  // overflow
    value = next;
  }
  if (value == 0 || value > UINTPTR_MAX) return std::nullopt;
  return static_cast<uintptr_t>(value);
}

SaverOptions ParseSaverOptions(const std::vector<std::string>& args) {
  SaverOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    // xscreensaver's hacks take their options with one dash or two.
    if (a.starts_with("--")) a.erase(0, 1);
    if (a == "-root") o.root = true;
    else if (a == "-window") o.window = true;
    else if (a == "-mute") o.mute = true;
    else if (a == "-window-id" || a == "-package") {
      if (i + 1 >= args.size()) {
        o.error = a + " needs a value";
        return o;
      }
      std::string value = args[++i];
      if (a == "-package") {
        o.package = value;
      } else {
        o.windowId = ParseWindowId(value);
        if (!o.windowId) {
          o.error = "-window-id: not a window id: " + value;
          return o;
        }
      }
    } else {
      o.ignored.push_back(args[i]);
    }
  }
  return o;
}

std::optional<uintptr_t> SaverTargetWindow(const SaverOptions& options, const char* xscreensaverWindow,
                                           uintptr_t rootWindow) {
  if (options.windowId) return options.windowId;
  if (xscreensaverWindow && *xscreensaverWindow && !options.window)
    if (auto id = ParseWindowId(xscreensaverWindow)) return id;
  if (options.root && rootWindow != 0) return rootWindow;
  return std::nullopt;
}

SaverPlace SaverPlaceFor(int32_t width, int32_t height) {
  if (width < kPreviewMaxWidth || height < kPreviewMaxHeight) return SaverPlace::PreviewWindow;
  return SaverPlace::DaemonWindow;
}

}  // namespace vitrine
