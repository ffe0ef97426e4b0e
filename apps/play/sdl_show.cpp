#include "apps/play/sdl_show.h"

#include <SDL.h>

#include <cstdio>
#include <optional>

#include "app/run_form.h"
#include "app/show_area.h"
#include "app/startup.h"
#include "app/text_painter.h"
#include "apps/play/show_report.h"
#include "core/file_system.h"
#include "core/text.h"
#include "flash/flash_form.h"
#include "backends/headless/headless_media.h"
#ifdef VITRINE_HAVE_LIBAV
#include "backends/media/av_sound_decoder.h"
#endif
#include "backends/media/sound_mixer.h"
#include "backends/sdl/sdl_audio.h"
#include "backends/sdl/sdl_services.h"
#include "raster/text_renderer.h"
#include "settings/file_registry_store.h"

namespace vitrine {

namespace {
// SDL for one run: video (and the clock), closed again at the end.
class SdlSession {
 public:
  explicit SdlSession(bool inOthersWindow) {
    // A show of its own keeps the system's screen saver away, as the show window does on
    // Windows; inside a daemon's or a preview host's window the display's power saving is
    // the daemon's business.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, inOthersWindow ? "1" : "0");
    // Only the show's own close events end it: a window manager's close of the last
    // window is handled by the window, a signal still arrives as a quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    ok = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0;
    if (!ok) std::fprintf(stderr, "vitrine: cannot open the display: %s\n", SDL_GetError());
    // A daemon's window may go away while we draw into it.
    if (ok) X11IgnoreProtocolErrors();
  }
  ~SdlSession() {
    if (ok) SDL_Quit();
  }
  bool ok = false;
};
}  // namespace

int RunSdlShow(const SdlShowOptions& options) {
  bool inOthersWindow = options.target.kind == SdlWindowTarget::Kind::Foreign ||
                        (!options.args.empty() && AsciiUpper(options.args[0].substr(0, 2)) == "/P");
  SdlSession sdl(inOthersWindow);
  if (!sdl.ok) return 1;

  FileSystem& files = NativeFileSystem();
  SdlEventLoop loop;
  std::unique_ptr<TextRenderer> renderer = CreateTextRenderer();
  RendererTextPainter text(*renderer);
  ShowInput input(text);
  SdlServices services(loop, input);
  services.executablePath = options.packagePath;
  SdlShowWindow window(loop, input, options.target);
  // The players decode with FFmpeg's libraries where the build has them; their sound goes
  // to the device through the mixer, or nowhere when muted or without a device.
  SoundMixer mixer;
  SdlAudio audio(mixer);
  bool sound = !options.mute && audio.Open();
  HeadlessMediaPlayerFactory media(loop, files, sound ? &mixer : nullptr, true);
  FileRegistryStore registry(options.settingsFolder.empty() ? DefaultSettingsFolder() : options.settingsFolder);
#ifdef VITRINE_HAVE_LIBAV
  AvSoundDecoders soundDecoders;
  swf::SoundDecoderFactory* flashDecoders = &soundDecoders;
#else
  swf::SoundDecoderFactory* flashDecoders = nullptr;
#endif
  auto flash = CreateFlashWindowHost(loop, window, services, files, nullptr, sound ? &mixer : nullptr, flashDecoders);
  window.SetFlashHost(flash.get());
  if (auto* host = dynamic_cast<FlashFormHost*>(flash.get())) {
    input.SetFlashPopupRequests([host]() -> std::optional<Point> {
      if (host->PopupMenuOpenedAt.empty()) return std::nullopt;
      Point at = host->PopupMenuOpenedAt.back();
      host->PopupMenuOpenedAt.clear();
      return at;
    });
  }
  ShowPlatform platform{loop, window, services, files, media, registry, text, *flash};

  if (!services.AcquireSingleInstance(kSingleInstanceMutexName)) return 0;
  {
    TfRun form(platform, options.args);
    window.SetVideoPainter([&form](Bitmap& panel) { return form.mp().DrawVideoFrame(panel); });
    if (!form.SetupFailed() && !loop.QuitRequested() && window.Created()) {
      // A window that changes size is followed once the running transition has finished.
      std::optional<std::pair<int32_t, int32_t>> pendingSize;
      window.SetResizeHandler([&](int32_t w, int32_t h) { pendingSize = {w, h}; });
      auto resizeTimer = loop.CreateTimer(50, [&] {
        if (pendingSize && FollowShowAreaSize(form, pendingSize->first, pendingSize->second)) {
          pendingSize.reset();
          window.Present(window.Surface().Bounds());
        }
      });
      resizeTimer->SetEnabled(true);
      window.Show();
      form.FormShow();
      ShowReport report(loop, form, input);
      loop.Run();
    } else if (!window.Created() && !form.SetupFailed()) {
      std::fprintf(stderr, "vitrine: no window to show in\n");
    }
    flash->CloseFlashWindow();
    window.SetVideoPainter(nullptr);
  }  // the destroy handler closes the players: nothing is mixed from them any more
  audio.Close();
  services.ReleaseSingleInstance();
  return 0;
}

}  // namespace vitrine
