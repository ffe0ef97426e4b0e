#pragma once
// A whole show on a real screen through SDL: the composition root shared by `vitrine play`
// and the xscreensaver hack `vitrine-saver`.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/monitor_plan.h"
#include "backends/sdl/sdl_show_window.h"
#include "backends/sdl/sdl_video.h"

namespace vitrine {

struct SdlShowOptions {
  // The package, or a player with its package appended.
  std::string packagePath;
  SdlWindowTarget target;
  // The show window's command line: "/s", or "/p" and the preview host's window.
  std::vector<std::string> args{"/s"};
  // `vitrine play` keeps the display awake; the screen saver leaves it to the daemon.
  DisplaySleep displaySleep = DisplaySleep::KeptAwake;
  // No sound at all.
  bool mute = false;
  // Where the user's settings live; empty: the default settings folder.
  std::filesystem::path settingsFolder;
  // How a full-screen show uses several displays; empty: as the settings' "Monitors" says.
  std::optional<MonitorUse> monitors;
  // The target is the root window (the hack's -root without a daemon): where SDL sees several
  // displays the show covers them as a full-screen show does, each monitor at its own size.
  bool rootOnMonitors = false;
};

// Runs the show until it ends; returns the process's exit status (0 also when another show
// already runs, which ends this one silently).
int RunSdlShow(const SdlShowOptions& options);

}  // namespace vitrine
