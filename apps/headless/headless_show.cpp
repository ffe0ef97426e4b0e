#include "apps/headless/headless_show.h"

#include "app/startup.h"
#include "core/file_system.h"
#include "flash/flash_form.h"
#include "raster/text_renderer.h"
#ifdef _WIN32
#include "backends/win32/gdi_text_renderer.h"
#endif
#ifdef VITRINE_HAVE_LIBAV
#include "backends/media/av_sound_decoder.h"
#endif

namespace vitrine {

namespace {
// Texts are drawn as the screen saver of this build draws them: with GDI in a Windows build
// (so that a headless render matches vitrine.scr), with FreeType (or not at all) elsewhere.
std::unique_ptr<TextRenderer> ShowTextRenderer() {
#ifdef _WIN32
  return std::make_unique<GdiTextRenderer>();
#else
  return CreateTextRenderer();
#endif
}
}  // namespace

HeadlessShow::HeadlessShow(HeadlessShowOptions options)
    : options_(std::move(options)),
      window_(options_.width, options_.height),
      files_(options_.files ? *options_.files : NativeFileSystem()),
      sound_(loop_),
      media_(loop_, files_, &sound_, options_.decodeMedia) {
  window_.SetPreviewParentSize(options_.previewWidth, options_.previewHeight);
  services_.executablePath = options_.packagePath;
  services_.seed = options_.seed;
  services_.desktop = options_.desktop.Empty() ? MakeSampleDesktop(options_.width, options_.height) : options_.desktop;
  if (!options_.text) {
    renderer_ = ShowTextRenderer();
    text_ = std::make_unique<RendererTextPainter>(*renderer_);
  }
  TextPainter& text = options_.text ? *options_.text : *text_;
#ifdef VITRINE_HAVE_LIBAV
  if (options_.decodeMedia) soundDecoders_ = std::make_unique<AvSoundDecoders>();
#endif
  flash_ = CreateFlashWindowHost(loop_, window_, services_, files_, renderer_.get(), &sound_, soundDecoders_.get());
  platform_ = std::make_unique<ShowPlatform>(
      ShowPlatform{loop_, window_, services_, files_, media_, registry_, text, *flash_});
}

HeadlessShow::~HeadlessShow() { Destroy(); }

bool HeadlessShow::Start() {
  if (!services_.AcquireSingleInstance(kSingleInstanceMutexName)) return false;
  holdsMutex_ = true;
  std::vector<std::string> args;
  if (options_.preview) args = {"/p", "1"};
  else args = {"/s"};
  form_ = std::make_unique<TfRun>(*platform_, args);
  if (form_->SetupFailed()) return false;
  form_->FormShow();
  return true;
}

Bitmap HeadlessShow::Screen() {
  Bitmap screen = window_.Surface();
  if (window_.VideoPanelVisible()) {
    // The panel shows the video's picture at the player's position; black until there is
    // one (a sound file in a video item, or a player that does not decode).
    Rect panel = window_.VideoPanel();
    Canvas(screen).FillRect(panel, kBlack);
    form_->mp().DrawVideoFrame(screen, panel);
  }
  flash_->PaintOver(screen);
  return screen;
}

void HeadlessShow::Destroy() {
  form_.reset();
  if (holdsMutex_) services_.ReleaseSingleInstance();
  holdsMutex_ = false;
}

Bitmap MakeSampleDesktop(int32_t width, int32_t height) {
  Bitmap desktop(width, height, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      desktop.SetPixel(x, y, RGBColor(uint8_t(40 + 60 * y / std::max(height, 1)), uint8_t(90 + 40 * x / std::max(width, 1)), 140));
  Canvas canvas(desktop);
  canvas.Rectangle({width / 10, height / 10, width / 2, height / 2}, RGBColor(20, 20, 20), RGBColor(236, 236, 236));
  canvas.FillRect({width / 10, height / 10, width / 2, height / 10 + std::max(height / 30, 2)}, RGBColor(30, 60, 150));
  canvas.FillRect({0, height - std::max(height / 25, 2), width, height}, RGBColor(30, 30, 40));
  return desktop;
}

}  // namespace vitrine
