#include "apps/play/sdl_show.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/monitor_plan.h"
#include "app/monitor_shows.h"
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
#include "backends/sdl/sdl_video.h"
#include "raster/text_renderer.h"
#include "settings/file_registry_store.h"

namespace vitrine {

namespace {

// One show's window, input and services: one for the show, or one per monitor where each
// monitor has a show of its own.
struct MonitorShow {
  MonitorShow(SdlEventLoop& loop, TextPainter& text, const SdlWindowTarget& target, const std::string& path)
      : input(text), services(loop, input), window(loop, input, target) {
    services.executablePath = path;
  }
  ShowInput input;
  SdlServices services;
  SdlShowWindow window;
  std::unique_ptr<FlashWindowHost> flash;
  std::unique_ptr<ShowPlatform> platform;
  std::unique_ptr<TfRun> form;
};

// The displays SDL sees, display 0 as the primary.
std::vector<MonitorInfo> SdlDisplays() {
  std::vector<MonitorInfo> displays;
  for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) == 0) displays.push_back({{r.x, r.y, r.x + r.w, r.y + r.h}, i == 0});
  }
  return displays;
}

}  // namespace

int RunSdlShow(const SdlShowOptions& options) {
  bool preview = !options.args.empty() && AsciiUpper(options.args[0].substr(0, 2)) == "/P";
  SdlVideo video(options.displaySleep);
  if (!video.ok()) return 1;

  FileSystem& files = NativeFileSystem();
  SdlEventLoop loop;
  std::unique_ptr<TextRenderer> renderer = CreateTextRenderer();
  RendererTextPainter text(*renderer);
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

  // A full-screen show on several displays uses them as the settings (or --monitors) say.
  std::optional<MonitorPlan> plan;
  if ((options.target.kind == SdlWindowTarget::Kind::FullScreen || options.rootOnMonitors) && !preview) {
    std::vector<MonitorInfo> displays = SdlDisplays();
    if (displays.size() > 1)
      plan = PlanMonitors(displays, options.monitors ? *options.monitors : StoredMonitorUse(options.packagePath, files, registry));
  }
  std::vector<std::unique_ptr<MonitorShow>> shows;
  for (size_t i = 0; i < (plan ? plan->Shows.size() : 1); ++i) {
    SdlWindowTarget target = options.target;
    if (plan) {
      target = SdlWindowTarget{};
      target.kind = SdlWindowTarget::Kind::Area;
      target.area = plan->Shows[i].Area;
    }
    auto show = std::make_unique<MonitorShow>(loop, text, target, options.packagePath);
    show->flash = CreateFlashWindowHost(loop, show->window, show->services, files, renderer.get(),
                                        sound ? &mixer : nullptr, flashDecoders);
    show->window.SetFlashHost(show->flash.get());
    if (auto* host = dynamic_cast<FlashFormHost*>(show->flash.get())) {
      show->input.SetFlashPopupRequests([host]() -> std::optional<Point> {
        if (host->PopupMenuOpenedAt.empty()) return std::nullopt;
        Point at = host->PopupMenuOpenedAt.back();
        host->PopupMenuOpenedAt.clear();
        return at;
      });
    }
    shows.push_back(std::move(show));
  }
  MonitorShow& primary = *shows[0];

  if (!primary.services.AcquireSingleInstance(kSingleInstanceMutexName)) return 0;
  std::vector<std::unique_ptr<ToPrimaryShow>> forwarded;
  {
    for (size_t i = 0; i < shows.size(); ++i) {
      MonitorShow& show = *shows[i];
      show.platform = std::make_unique<ShowPlatform>(
          ShowPlatform{loop, show.window, show.services, files, media, registry, text, *show.flash,
                       plan ? &plan->Shows[i] : nullptr, i > 0 ? primary.form->Project : nullptr});
      show.form = std::make_unique<TfRun>(*show.platform, options.args);
      TfRun* form = show.form.get();
      show.window.SetVideoPainter([form](Bitmap& panel) { return form->mp().DrawVideoFrame(panel); });
    }
    if (plan) {
      for (const MonitorWindow& w : plan->Windows)
        if (w.Show < 0 || w.Mirror) shows[std::max(w.Show, 0)]->window.AddMonitorWindow(w.Bounds, w.Mirror);
      const Rect& home = plan->Shows[0].Area;
      for (size_t i = 1; i < shows.size(); ++i) {
        const Rect& area = plan->Shows[i].Area;
        forwarded.push_back(
            std::make_unique<ToPrimaryShow>(*primary.form, area.left - home.left, area.top - home.top));
        shows[i]->window.SetEvents(forwarded.back().get());
      }
    }
    TfRun& form = *primary.form;
    bool ready = std::all_of(shows.begin(), shows.end(), [](const auto& s) { return s->window.Created(); });
    if (!form.SetupFailed() && !loop.QuitRequested() && ready) {
      // A window that changes size is followed once the running transition has finished.
      std::optional<std::pair<int32_t, int32_t>> pendingSize;
      primary.window.SetResizeHandler([&](int32_t w, int32_t h) { pendingSize = {w, h}; });
      auto resizeTimer = loop.CreateTimer(50, [&] {
        if (pendingSize && FollowShowAreaSize(form, pendingSize->first, pendingSize->second)) {
          pendingSize.reset();
          primary.window.Present(primary.window.Surface().Bounds());
        }
      });
      resizeTimer->SetEnabled(true);
      for (auto& show : shows) {
        show->window.Show();
        show->form->FormShow();
      }
      ShowReport report(loop, form, primary.input, SDL_IsScreenSaverEnabled());
      loop.Run();
    } else if (!ready && !form.SetupFailed()) {
      std::fprintf(stderr, "vitrine: no window to show in\n");
    }
    for (auto& show : shows) {
      show->flash->CloseFlashWindow();
      show->window.SetVideoPainter(nullptr);
    }
    // The destroy handlers close the players: nothing is mixed from them any more. The other
    // monitors' shows go first; the package they share closes with the last.
    for (size_t i = shows.size(); i-- > 0;) shows[i]->form.reset();
  }
  audio.Close();
  primary.services.ReleaseSingleInstance();
  return 0;
}

}  // namespace vitrine
