#pragma once
// How a run starts: from the executable's own name and its command line, the main routine
// chooses between the settings dialog and a show window, and the show window between the
// full-screen show and the preview inside another program's window.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vitrine {

inline constexpr const char* kSingleInstanceMutexName = "vdn_orvanel";

enum class StartMode { Configuration, ShowWindow };

// `args` are the arguments after the program name. A path containing ".SCR" anywhere (a
// folder such as MY.SCRIPTS counts) started without arguments opens the settings; "/C" (only
// the first two characters count, in any case) opens them whatever the name.
StartMode ChooseStartMode(const std::string& executablePath, const std::vector<std::string>& args);

enum class ShowSetup { Show, Preview };

struct ShowModeChoice {
  ShowSetup setup = ShowSetup::Show;
  uintptr_t previewParent = 0;  // for Preview
};

// The mode set-up inside the show window. "/P" takes the parent window's decimal handle from
// the next argument, or from the first one after a colon ("/p:1234"). An unknown first
// argument ("/A") runs the show as "/S" would. nullopt: a preview without a usable handle,
// which ends the run.
std::optional<ShowModeChoice> ChooseShowSetup(const std::vector<std::string>& args);

}  // namespace vitrine
