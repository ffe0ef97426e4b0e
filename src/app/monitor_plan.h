#pragma once
// How a show uses the monitors it finds: each monitor its own show, the same show on each, one
// show across all, or the primary monitor alone with the others covered black. The plan says
// which shows run, where their areas lie on the virtual screen and which windows present them;
// the platforms make the windows.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "raster/geometry.h"

namespace vitrine {

// The registry's "Monitors" value.
enum class MonitorUse : int32_t { Each = 0, Same = 1, Span = 2, Primary = 3 };

// An unknown value counts as the default, Each.
MonitorUse MonitorUseFromSetting(int32_t value);
// "each", "same", "span" or "primary"; nothing for any other text.
std::optional<MonitorUse> ParseMonitorUse(std::string_view text);

struct MonitorInfo {
  Rect Bounds;  // on the virtual screen, whose origin is the primary monitor's top-left corner
  bool Primary = false;
};

struct MonitorShowPlan {
  Rect Area;               // the show area on the virtual screen
  int32_t FirstItem = 0;   // the show starts this many items further on, so neighbours differ
  bool Music = false;      // plays the package's music (the primary monitor's show only)
  bool Primary = false;    // takes every monitor's mouse and keys: one password prompt, one menu
};

struct MonitorWindow {
  Rect Bounds;         // on the virtual screen
  int32_t Show = -1;   // index into Shows; -1: covered black
  // Shows a show drawn for another monitor, scaled to fit this one with its proportions kept.
  bool Mirror = false;
};

struct MonitorPlan {
  std::vector<MonitorShowPlan> Shows;  // the primary monitor's show first
  std::vector<MonitorWindow> Windows;
};

// Monitors come primary first, then left to right, top to bottom. No monitors, no plan: the
// caller shows on the screen it has. Without a monitor marked primary the first is taken.
MonitorPlan PlanMonitors(std::span<const MonitorInfo> monitors, MonitorUse use);

}  // namespace vitrine
