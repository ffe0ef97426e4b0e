#pragma once
// The Flash window: plays one movie, watches for its end and reports it to the show window
// (WM_FLASHFINISHED), and, while the movie has the mouse and keyboard, carries the show's
// close events, asking the show to end (WM_STOPSHOW) once the password, if any, is given.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/file_system.h"
#include "flash/flash_control.h"
#include "flash/flash_window_host.h"
#include "platform/event_loop.h"
#include "platform/services.h"
#include "platform/show_window.h"
#include "platform/sound_output.h"
#include "raster/text_renderer.h"
#include "settings/read_write_setting.h"

namespace vitrine {

namespace swf {
class SoundDecoderFactory;
}

inline constexpr const char* kFlashFormCaption = "FlashPanel";
inline constexpr uint32_t kStopTimerInterval = 1000;
inline constexpr uint32_t kPlayTimerInterval = 100;
inline constexpr uint16_t kVkReturn = 13;
inline constexpr uint16_t kVkEscape = 27;

// What a Flash window needs around it.
struct FlashFormEnvironment {
  EventLoop& Loop;
  vitrine::Services& Services;
  // The screen's size and the screen cursor.
  ShowWindow& Screen;
  // The application's main window, which receives WM_STOPSHOW; null: the notify window.
  MessageTarget* MainWindow = nullptr;
  // Creates the player control; may raise the control's creation error.
  std::function<std::unique_ptr<FlashControl>()> CreateControl;
};

class TfFlashform {
 public:
  // The create handler.
  TfFlashform(EventLoop& loop, Services& services, ShowWindow& screen, MessageTarget* mainWindow);
  // The destroy handler: FlashWindow no longer names this window.
  ~TfFlashform();
  TfFlashform(const TfFlashform&) = delete;
  TfFlashform& operator=(const TfFlashform&) = delete;

  const TRWSetting* Settings = nullptr;
  int32_t LastFrame = 0;
  int32_t TotalFrames = 0;
  int32_t IdleTicks = 0;
  std::unique_ptr<FlashControl> Flash;
  MessageTarget* NotifyWindow = nullptr;
  int32_t StartFrame = 0;
  int32_t LastMouseX = -10, LastMouseY = -10;
  int32_t MoveCount = 0;
  bool CloseOnInput = false;
  int32_t StopMode = 0;
  int32_t StopFrame = 0;
  int32_t PlayTicks = 0;
  int32_t PlaySeconds = 0;
  bool MoveToFlash = false;
  bool ClicksToFlash = false;

  // The window: borderless, always on top; in show mode at the screen's origin, in preview
  // at the origin of the show's background panel.
  std::string Caption = kFlashFormCaption;
  Rect BoundsRect{};
  bool InPanel = false;
  bool Visible = false;

  Timer& stoptimer() { return *stoptimer_; }
  Timer& Playtimer() { return *playtimer_; }
  void PlaytimerTimer();
  void stoptimerTimer();

  // Keys reach the form before the control.
  void FormKeyDown(uint16_t virtualKey);
  void FormKeyUp(uint16_t virtualKey);
  void FormKeyPress(char character);
  // The window was closed by other means than being freed.
  void FormClose();

  // The control's handlers installed by the full-screen window.
  void LeftClickClose(FlashControl& sender);
  void RightClickClose(FlashControl& sender);
  void DoubleClickClose(FlashControl& sender);
  void MouseMoveClose(FlashControl& sender, int32_t x, int32_t y);

  bool CheckExitPassword();

  // A close event's handler is on the stack (inside the password prompt, say).
  bool Busy() const { return busy_ > 0; }
  // Makes a window that cannot be freed yet inert until it can.
  void Retire();

  void Paint(Bitmap& screen);
  // Hides or shows the pointer as the movie's script asks, undoing only what it did itself.
  void FollowMoviePointer();

 private:
  void PostFinished();
  void PostStopShow();
  // Runs the password check for a close event and posts WM_STOPSHOW when it passes.
  bool CloseEvent();

  EventLoop& loop_;
  vitrine::Services& services_;
  ShowWindow& screen_;
  MessageTarget* mainWindow_;
  std::unique_ptr<Timer> stoptimer_;
  std::unique_ptr<Timer> playtimer_;
  int busy_ = 0;
  bool pointerHiddenByMovie_ = false;
};

// The one open Flash window, or null.
extern TfFlashform* FlashWindow;
inline TfFlashform* CurrentFlashWindow() { return FlashWindow; }

// Show mode: a top-level window covering the screen. popupMenu opens the show's popup menu
// (used when closeOnInput is false).
std::unique_ptr<TfFlashform> ShowFlashWindow(const FlashFormEnvironment& env, MessageTarget& notify,
                                             FlashControl::PopupMenu popupMenu, const TRWSetting& settings,
                                             bool closeOnInput, bool startTimers, const FlashDisplayRecord& record,
                                             const std::string& moviePath);
// Preview mode: a child of the show's background panel, sized to it.
std::unique_ptr<TfFlashform> ShowFlashInPanel(const FlashFormEnvironment& env, MessageTarget& notify,
                                              int32_t panelWidth, int32_t panelHeight, const TRWSetting& settings,
                                              bool closeOnInput, bool startTimers, const FlashDisplayRecord& record,
                                              const std::string& moviePath);

// The Flash window host of a platform without the player: our own control, drawn over the
// screen picture.
class FlashFormHost final : public FlashWindowHost {
 public:
  // text, when given, draws the movies' text fields; sound, when given, plays their sound,
  // the compressed kinds through decoders.
  FlashFormHost(EventLoop& loop, ShowWindow& window, Services& services, FileSystem& files,
                TextRenderer* text = nullptr, SoundOutput* sound = nullptr,
                swf::SoundDecoderFactory* decoders = nullptr);
  ~FlashFormHost() override;

  void ShowFlashWindow(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput, bool startTimers,
                       const FlashDisplayRecord& record, const std::string& moviePath) override;
  void ShowFlashInPanel(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput, bool startTimers,
                        const FlashDisplayRecord& record, const std::string& moviePath) override;
  void CloseFlashWindow() override;
  bool FlashWindowOpen() const override { return window_ != nullptr; }
  void PaintOver(Bitmap& screen) override;

  TfFlashform* Window() { return window_.get(); }
  // Where the show's popup menu was opened from the Flash window, in screen coordinates.
  std::vector<Point> PopupMenuOpenedAt;
  // Opens the show's popup menu there, where the platform has one.
  FlashControl::PopupMenu OpenPopupMenu;

 private:
  FlashFormEnvironment Environment(MessageTarget& notify);
  void FreeRetired();

  EventLoop& loop_;
  ShowWindow& window_host_;
  Services& services_;
  FileSystem& files_;
  TextRenderer* text_;
  SoundOutput* sound_;
  swf::SoundDecoderFactory* decoders_;
  std::unique_ptr<TfFlashform> window_;
  std::vector<std::unique_ptr<TfFlashform>> retired_;
};

std::unique_ptr<FlashWindowHost> CreateFlashWindowHost(EventLoop& loop, ShowWindow& window, Services& services,
                                                       FileSystem& files = NativeFileSystem(),
                                                       TextRenderer* text = nullptr, SoundOutput* sound = nullptr,
                                                       swf::SoundDecoderFactory* decoders = nullptr);

}  // namespace vitrine
