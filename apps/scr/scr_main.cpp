// vitrine.scr: the screen saver's main routine. Takes the single-instance mutex, chooses the
// mode from the command line and its own name, and runs the settings dialog or the show.
#include <windows.h>
// The interfaces have methods of these names; the ANSI/wide macros would rename them.
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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

int RunShow(Win32Services& services, const std::vector<std::string>& args) {
  Win32EventLoop loop;
  Win32ShowWindow window(loop);
  services.owner = window.Handle();
  Win32MediaPlayerFactory media(window.VideoPanelHandle());
  auto registry = MakeWin32RegistryStore();
  GdiTextRenderer renderer;
  RendererTextPainter text(renderer);
  // The Flash movies' sound: mixed and played through waveOut, silent without a device.
  SoundMixer mixer;
  Win32SoundOutput audio(mixer);
  bool sound = audio.Open();
  AcmSoundDecoders soundDecoders;
  Win32FlashHost flash(loop, window, services, NativeFileSystem(), sound ? &mixer : nullptr, &soundDecoders);
  ShowPlatform platform{loop, window, services, NativeFileSystem(), media, *registry, text, flash};
  services.settingsDialog = [&] { RunSettingsDialog(services, NativeFileSystem(), *registry, window.Handle()); };

  {
    TfRun form(platform, args);
    if (!form.SetupFailed() && !loop.QuitRequested()) {
      window.Show();
      form.FormShow();
      TestCapture capture(loop, form);  // inert unless VITRINE_REPORT or VITRINE_CAPTURE_FLASH is set
      loop.Run();
    }
    flash.CloseFlashWindow();
  }  // the destroy handler: music stopped, temporary files deleted
  window.Destroy();
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
