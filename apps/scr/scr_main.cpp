// vitrine.scr: the screen saver's main routine. Takes the single-instance mutex, chooses the
// mode from the command line and its own name, and runs the settings dialog or the show.
#include <windows.h>
// The interfaces have methods of these names; the ANSI/wide macros would rename them.
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/monitor_plan.h"
#include "app/monitor_shows.h"
#include "app/run_form.h"
#include "app/startup.h"
#include "app/text_painter.h"
#include "core/file_system.h"
#include "core/text.h"
#include "backends/media/sound_mixer.h"
#include "backends/win32/gdi_text_renderer.h"
#include "apps/scr/scr_test_capture.h"
#include "backends/win32/win32_acm_sound_decoder.h"
#include "backends/win32/win32_event_loop.h"
#include "backends/win32/win32_flash_host.h"
#include "backends/win32/win32_mci_player.h"
#include "backends/win32/win32_registry_store.h"
#include "backends/win32/win32_services.h"
#include "backends/win32/win32_settings_dialog.h"
#include "backends/win32/win32_show_window.h"
#include "backends/win32/win32_sound_output.h"

using namespace vitrine;

namespace {

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  return args;
}

// One show's window, services, players and form: one for the show, or one per monitor where
// each monitor has a show of its own.
struct MonitorShow {
  MonitorShow(Win32EventLoop& loop, Win32Services& services)
      : window(loop), services(services), media(window.VideoPanelHandle()) {
    services.owner = window.Handle();
  }
  Win32ShowWindow window;
  Win32Services& services;
  Win32MediaPlayerFactory media;
  std::unique_ptr<Win32FlashHost> flash;
  std::unique_ptr<ShowPlatform> platform;
  std::unique_ptr<TfRun> form;
};

int RunShow(Win32Services& services, const std::vector<std::string>& args) {
  Win32EventLoop loop;
  auto registry = MakeWin32RegistryStore();
  GdiTextRenderer renderer;
  RendererTextPainter text(renderer);
  // The Flash movies' sound: mixed and played through waveOut, silent without a device.
  SoundMixer mixer;
  Win32SoundOutput audio(mixer);
  bool sound = audio.Open();
  AcmSoundDecoders soundDecoders;

  // The show mode on several monitors uses them as the settings' "Monitors" says; the
  // preview stays in its host's window.
  bool preview = !args.empty() && AsciiUpper(args[0].substr(0, 2)) == "/P";
  std::optional<MonitorPlan> plan;
  if (!preview) {
    std::vector<MonitorInfo> monitors = Win32Monitors();
    if (monitors.size() > 1)
      plan = PlanMonitors(monitors, StoredMonitorUse(services.ExecutablePath(), NativeFileSystem(), *registry));
  }
  // The other monitors' shows have services of their own, whose prompts stand over their windows.
  std::vector<std::unique_ptr<Win32Services>> otherServices;
  std::vector<std::unique_ptr<MonitorShow>> shows;
  for (size_t i = 0; i < (plan ? plan->Shows.size() : 1); ++i) {
    Win32Services* own = &services;
    if (i > 0) own = otherServices.emplace_back(std::make_unique<Win32Services>()).get();
    auto show = std::make_unique<MonitorShow>(loop, *own);
    if (plan) {
      show->window.SetArea(plan->Shows[i].Area);
      show->window.SetPassive(i > 0);
      own->showArea = plan->Shows[i].Area;
    }
    show->flash = std::make_unique<Win32FlashHost>(loop, show->window, *own, NativeFileSystem(), &renderer,
                                                   sound ? &mixer : nullptr, &soundDecoders);
    shows.push_back(std::move(show));
  }
  MonitorShow& primary = *shows[0];
  services.settingsDialog = [&] {
    RunSettingsDialog(services, NativeFileSystem(), *registry, primary.window.Handle());
  };

  std::vector<std::unique_ptr<ToPrimaryShow>> forwarded;
  {
    for (size_t i = 0; i < shows.size(); ++i) {
      MonitorShow& show = *shows[i];
      show.platform = std::make_unique<ShowPlatform>(
          ShowPlatform{loop, show.window, show.services, NativeFileSystem(), show.media, *registry, text, *show.flash,
                       plan ? &plan->Shows[i] : nullptr, i > 0 ? primary.form->Project : nullptr});
      show.form = std::make_unique<TfRun>(*show.platform, args);
    }
    TfRun& form = *primary.form;
    if (plan) {
      // The monitors without a show of their own: black, or mirroring the show they name.
      for (const MonitorWindow& w : plan->Windows)
        if (w.Show < 0 || w.Mirror) shows[size_t(std::max(w.Show, 0))]->window.AddMonitorWindow(w.Bounds, w.Mirror);
      // Every other show's mouse and keys count for the primary's.
      const Rect& home = plan->Shows[0].Area;
      for (size_t i = 1; i < shows.size(); ++i) {
        const Rect& area = plan->Shows[i].Area;
        forwarded.push_back(std::make_unique<ToPrimaryShow>(form, area.left - home.left, area.top - home.top));
        shows[i]->window.SetEvents(forwarded.back().get());
      }
    }
    if (!form.SetupFailed() && !loop.QuitRequested()) {
      // The other monitors first, without the focus: the primary's window takes it.
      for (size_t i = shows.size(); i-- > 0;) {
        shows[i]->window.Show();
        shows[i]->form->FormShow();
      }
      TestCapture capture(loop, form);  // inert unless VITRINE_REPORT or VITRINE_CAPTURE_FLASH is set
      loop.Run();
    }
    for (auto& show : shows) show->flash->CloseFlashWindow();
    // The destroy handlers: music stopped, temporary files deleted. The other monitors' shows
    // go first; the package they share closes with the last.
    for (size_t i = shows.size(); i-- > 0;) shows[i]->form.reset();
  }
  for (auto& show : shows) show->window.Destroy();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  UsePerMonitorDpiAwareness();
  Win32Services services;
  if (!services.AcquireSingleInstance(kSingleInstanceMutexName)) return 0;
  // The upper-cased path is what the mode test reads; ChooseStartMode upper-cases it.
  std::string path = services.ExecutablePath();
  std::vector<std::string> args = Arguments();
  int result = 0;
  if (ChooseStartMode(path, args) == StartMode::Configuration) {
    auto registry = MakeWin32RegistryStore();
    RunSettingsDialog(services, NativeFileSystem(), *registry, 0);
  } else {
    result = RunShow(services, args);
  }
  services.ReleaseSingleInstance();
  return result;
}
