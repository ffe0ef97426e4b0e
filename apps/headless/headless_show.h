#pragma once
// A whole show on the headless platform: the package read from a file as a screen saver
// reads its own executable, the virtual clock, an in-memory registry, scripted input. Tests
// and `vitrine render` drive it and read the screen.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run_form.h"
#include "flash/swf/sound.h"
#include "raster/text_renderer.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_media.h"
#include "backends/headless/headless_services.h"
#include "backends/headless/headless_sound.h"
#include "backends/headless/headless_show_window.h"
#include "settings/memory_registry_store.h"

namespace vitrine {

struct HeadlessShowOptions {
  std::string packagePath;
  int32_t width = 1920, height = 1080;  // the screen
  bool preview = false;
  int32_t previewWidth = 152, previewHeight = 112;
  uint64_t seed = 1;
  // The desktop as it looked before the show; empty: a generated picture.
  Bitmap desktop;
  // Where the package, the temporary folder and the media files are; null: the real disk.
  FileSystem* files = nullptr;
  // How texts are measured and drawn; null: the platform's text renderer.
  TextPainter* text = nullptr;
  // Decode music and video (where the build has FFmpeg's libraries): the video's pictures
  // in its panel, the sound kept for Sound(). Off: players that read only the files'
  // headers, for shows whose media are headers alone.
  bool decodeMedia = true;
};

class HeadlessShow {
 public:
  explicit HeadlessShow(HeadlessShowOptions options);
  ~HeadlessShow();

  // Creates the show window (its create handler reads the package) and shows it. False when
  // the run ended during start-up (another instance holds the mutex, or a preview without a
  // parent).
  bool Start();
  void RunUntil(uint64_t ms) { loop_.RunUntil(ms); }
  bool Ended() const { return !form_ || form_->Closed() || loop_.QuitRequested(); }

  // What a person would see: the show surface with the video panel drawn over it.
  Bitmap Screen();

  TfRun& Form() { return *form_; }
  HeadlessEventLoop& Loop() { return loop_; }
  HeadlessShowWindow& Window() { return window_; }
  HeadlessServices& Services() { return services_; }
  MemoryRegistryStore& Registry() { return registry_; }
  HeadlessMediaPlayerFactory& Media() { return media_; }
  // What the show has played, laid down against its clock.
  HeadlessSoundRecorder& Sound() { return sound_; }
  FlashWindowHost& Flash() { return *flash_; }

  // Ends the show as its window's destroy handler does (temporary files removed).
  void Destroy();

 private:
  HeadlessShowOptions options_;
  HeadlessEventLoop loop_;
  HeadlessShowWindow window_;
  FileSystem& files_;
  HeadlessServices services_;
  HeadlessSoundRecorder sound_;
  HeadlessMediaPlayerFactory media_;
  MemoryRegistryStore registry_;
  std::unique_ptr<TextRenderer> renderer_;
  std::unique_ptr<TextPainter> text_;
  std::unique_ptr<swf::SoundDecoderFactory> soundDecoders_;  // the Flash movies' compressed sound
  std::unique_ptr<FlashWindowHost> flash_;
  std::unique_ptr<ShowPlatform> platform_;
  std::unique_ptr<TfRun> form_;
  bool holdsMutex_ = false;
};

// A generated desktop: a calm gradient with a few window-like rectangles.
Bitmap MakeSampleDesktop(int32_t width, int32_t height);

}  // namespace vitrine
