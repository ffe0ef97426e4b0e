// vitrine-saver: the Linux screen saver. Plays the package appended to itself (vitrine pack
// --player vitrine-saver) or the one given with -package, as an xscreensaver hack: in the
// daemon's window (XSCREENSAVER_WINDOW, -root), in a window given by -window-id, where a
// small window is a preview, or in a window of its own (-window).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "apps/play/sdl_show.h"
#include "apps/saver/saver_options.h"
#include "core/file_system.h"
#include "package/project_info.h"
#include "backends/sdl/x11_window_watch.h"

using namespace vitrine;

namespace {
constexpr int32_t kOwnWindowWidth = 800, kOwnWindowHeight = 600;

std::string OwnPath(const char* argv0) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(argv0) : self.string();
}
}  // namespace

int main(int argc, char** argv) {
  SaverOptions options = ParseSaverOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!options.error.empty()) {
    std::fprintf(stderr, "vitrine-saver: %s\n"
                         "usage: vitrine-saver [-root | -window | -window-id ID] [-package FILE] [-mute]\n",
                 options.error.c_str());
    return 1;
  }
  SdlShowOptions show;
  show.packagePath = options.package.empty() ? OwnPath(argv[0]) : options.package;
  show.mute = options.mute;
  // xscreensaver blanks and powers off the display itself, also while a hack runs.
  show.displaySleep = DisplaySleep::LeftToSystem;
  try {
    TProjectInfo project(show.packagePath, NativeFileSystem());
    if (!project.IndexRead || !project.ReadProject()) throw std::runtime_error("no package");
  } catch (const std::exception&) {
    std::fprintf(stderr, "vitrine-saver: %s holds no package (append one with `vitrine pack --player`, or give -package FILE)\n",
                 show.packagePath.c_str());
    return 1;
  }

  const char* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
  auto target = SaverTargetWindow(options, daemonWindow, options.root ? X11RootWindow() : 0);
  if (!target) {
    show.target.kind = SdlWindowTarget::Kind::Window;
    show.target.width = kOwnWindowWidth;
    show.target.height = kOwnWindowHeight;
  } else {
    X11WindowWatch probe(*target);
    if (!probe.Valid()) {
      std::fprintf(stderr, "vitrine-saver: no window 0x%lx on the display\n", static_cast<unsigned long>(*target));
      return 1;
    }
    if (SaverPlaceFor(probe.Width(), probe.Height()) == SaverPlace::PreviewWindow) {
      show.args = {"/p", std::to_string(*target)};
    } else {
      // The daemon owns the mouse and keyboard of its window and ends us itself.
      show.target.kind = SdlWindowTarget::Kind::Foreign;
      show.target.foreign = *target;
      show.target.ignoreInput = true;
      // -root alone owns the screen: on several outputs, windows of our own cover each monitor.
      show.rootOnMonitors = options.root && !(daemonWindow && *daemonWindow) && *target == X11RootWindow();
    }
  }
  try {
    return RunSdlShow(show);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vitrine-saver: %s\n", e.what());
    return 1;
  }
}
