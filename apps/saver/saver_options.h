#pragma once
// The command line of vitrine-saver, an xscreensaver hack: where to draw and what to play.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vitrine {

struct SaverOptions {
  bool root = false;       // -root: the daemon's window (XSCREENSAVER_WINDOW) or the root window
  bool window = false;     // -window: a window of our own
  std::optional<uintptr_t> windowId;  // -window-id ID
  std::string package;     // -package FILE; empty: the package appended to the player
  bool mute = false;       // -mute
  std::vector<std::string> ignored;  // options of other hacks' toolkits, accepted and ignored
  std::string error;       // why the command line is not usable
};

// ID as xscreensaver writes it: hexadecimal with 0x, or decimal. nullopt for anything else
// (and for 0, which names no window).
std::optional<uintptr_t> ParseWindowId(const std::string& text);

SaverOptions ParseSaverOptions(const std::vector<std::string>& args);

enum class SaverPlace { OwnWindow, DaemonWindow, PreviewWindow };

// Windows smaller than this in either direction are previews (xscreensaver-settings' panel).
inline constexpr int32_t kPreviewMaxWidth = 480, kPreviewMaxHeight = 360;

// The window to draw into: -window-id first, then XSCREENSAVER_WINDOW (the daemon sets it
// and passes -root), then the root window with -root; nullopt: a window of our own.
std::optional<uintptr_t> SaverTargetWindow(const SaverOptions& options, const char* xscreensaverWindow,
                                           uintptr_t rootWindow);

// How a foreign window of that size is used.
SaverPlace SaverPlaceFor(int32_t width, int32_t height);

}  // namespace vitrine
