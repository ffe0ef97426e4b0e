// vitrine play: a package on the real screen, in real time, until one of its close events.
#include <cstdio>
#include <exception>
#include <memory>

#include "apps/play/sdl_show.h"
#include "command.h"
#include "core/file_system.h"
#include "core/text.h"
#include "package/project_info.h"
#include "settings/file_registry_store.h"
#include "settings/read_write_setting.h"

namespace vitrine::tool {
namespace {

constexpr const char* kPlayUsage = "play PACKAGE [--window WxH] [--monitors each|same|span|primary] [--settings]";

bool ParseWindowSize(const std::string& text, int32_t& w, int32_t& h) {
  auto x = text.find('x');
  if (x == std::string::npos) return false;
  int32_t a = 0, b = 0;
  if (!TryStrToInt(text.substr(0, x), a) || !TryStrToInt(text.substr(x + 1), b)) return false;
  if (a < 16 || b < 16 || a > 16384 || b > 16384) return false;
  w = a;
  h = b;
  return true;
}

int PrintSettings(const TProjectInfo& project) {
  std::filesystem::path root = DefaultSettingsFolder();
  if (root.empty()) throw UsageError{"no settings folder: neither XDG_CONFIG_HOME nor HOME is set"};
  FileRegistryStore store(root);
  std::string key = SettingsKeyPath(project.SaverName);
  TRWSetting s(project.SaverName, store);
  bool saved = s.LoadFromRegistry();
  std::printf("settings of %s: %s%s\n", Cp1252ToUtf8(project.SaverName).c_str(), store.KeyFolder(key).string().c_str(),
              saved ? "" : " (nothing saved yet: the defaults)");
  auto flag = [](const char* name, bool v) { std::printf("  %-20s %s\n", name, v ? "yes" : "no"); };
  auto number = [](const char* name, int32_t v) { std::printf("  %-20s %d\n", name, v); };
  auto text = [](const char* name, const std::string& v) { std::printf("  %-20s \"%s\"\n", name, Cp1252ToUtf8(v).c_str()); };
  flag("Enabled password", s.EnabledPassword);
  // The password itself is not shown.
  std::printf("  %-20s %s\n", "Pwd", s.Pwd.empty() ? "(empty)" : "(set)");
  number("Mouse Sensitivity", s.MouseSensitivity);
  flag("Mouse Move", s.MouseMove);
  flag("Mouse Left Click", s.MouseLeftClick);
  flag("Mouse Right Click", s.MouseRightClick);
  flag("Mouse Double Click", s.MouseDoubleClick);
  flag("Esc Key", s.EscKey);
  flag("Enter Key", s.EnterKey);
  flag("Specified Key", s.SpecifiedKey);
  text("Key Value", s.KeyValue);
  flag("Enabled Music", s.EnabledMusic);
  flag("Use Max Run Time", s.UseMaxRunTime);
  number("Max Run Time", s.MaxRunTime);
  flag("newtransition", s.NewTransition);
  text("transition", s.Transition);
  flag("random transition", s.RandomTransition);
  number("transition speed", s.TransitionSpeed);
  number("Monitors", s.Monitors);
  return 0;
}

int Play(const Args& input) {
  Args args = input;
  std::string size = TakeOption(args, "--window");
  bool settings = TakeFlag(args, "--settings");
  std::string monitors = TakeOption(args, "--monitors");
  if (args.size() != 1) throw UsageError{std::string("usage: vitrine ") + kPlayUsage};
  SdlShowOptions options;
  options.packagePath = args[0];
  options.displaySleep = DisplaySleep::KeptAwake;  // a show someone started to watch
  if (!NativeFileSystem().Exists(options.packagePath)) throw UsageError{"no such file: " + options.packagePath};
  // The end of a file without a package reads as a damaged one.
  std::unique_ptr<TProjectInfo> project;
  try {
    project = std::make_unique<TProjectInfo>(options.packagePath, NativeFileSystem());
    if (!project->IndexRead || !project->ReadProject()) project.reset();
  } catch (const std::exception&) {
    project.reset();
  }
  if (!project) throw UsageError{options.packagePath + " holds no package"};
  if (settings) return PrintSettings(*project);
  if (!monitors.empty()) {
    options.monitors = ParseMonitorUse(monitors);
    if (!options.monitors) throw UsageError{"--monitors must be each, same, span or primary"};
  }
  if (!size.empty()) {
    options.target.kind = SdlWindowTarget::Kind::Window;
    if (!ParseWindowSize(size, options.target.width, options.target.height))
      throw UsageError{"--window must look like 1280x720"};
  }
  return RunSdlShow(options);
}

}  // namespace

VITRINE_COMMAND(play, "play", kPlayUsage, Play);

}  // namespace vitrine::tool
