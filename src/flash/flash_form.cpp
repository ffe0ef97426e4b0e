#include "flash/flash_form.h"

#include <cstdlib>

#include "core/text.h"
#include "flash/own_flash_control.h"

namespace vitrine {

TfFlashform* FlashWindow = nullptr;

namespace {

// The record holds a Windows colour (0x00BBGGRR); the player wants 0x00RRGGBB.
int32_t SwapRedBlue(int32_t color) {
  uint32_t c = static_cast<uint32_t>(color);
  return static_cast<int32_t>((c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu));
}

class BusyScope {
 public:
  explicit BusyScope(int& count) : count_(count) { ++count_; }
  ~BusyScope() { --count_; }

 private:
  int& count_;
};

}  // namespace

TfFlashform::TfFlashform(EventLoop& loop, Services& services, ShowWindow& screen, MessageTarget* mainWindow)
    : loop_(loop), services_(services), screen_(screen), mainWindow_(mainWindow) {
  stoptimer_ = loop_.CreateTimer(kStopTimerInterval, [this] { stoptimerTimer(); });
  playtimer_ = loop_.CreateTimer(kPlayTimerInterval, [this] { PlaytimerTimer(); });
}

TfFlashform::~TfFlashform() {
  if (FlashWindow == this) FlashWindow = nullptr;
}

void TfFlashform::PostFinished() {
  if (NotifyWindow) loop_.PostMessage(*NotifyWindow, WM_FLASHFINISHED, 1, 1);
}

void TfFlashform::PostStopShow() {
  MessageTarget* target = mainWindow_ ? mainWindow_ : NotifyWindow;
  if (target) loop_.PostMessage(*target, WM_STOPSHOW, 0, 0);
}

void TfFlashform::PlaytimerTimer() {
  playtimer_->SetEnabled(false);
  Flash->GotoFrame(StartFrame);
  Flash->Play();
}

void TfFlashform::stoptimerTimer() {
  switch (StopMode) {
    case 0:
      if (Flash->CurrentFrame() >= StopFrame) {
        Flash->StopPlay();
        PostFinished();
      }
      LastFrame = Flash->CurrentFrame();
      break;
    case 1:
      ++PlayTicks;
      if (PlayTicks > PlaySeconds) {
        Flash->StopPlay();
        PostFinished();
      }
      LastFrame = Flash->CurrentFrame();
      break;
    case 2: LastFrame = Flash->CurrentFrame(); break;
    default:
      if (Flash->Playing()) {
        // Standing still for a whole second, or back at an earlier frame: the movie ended.
        if (Flash->CurrentFrame() <= LastFrame) {
          Flash->StopPlay();
          PostFinished();
        }
        LastFrame = Flash->CurrentFrame();
      } else {
        ++IdleTicks;
        // A movie that never started gets time by its length to load.
        int32_t limit = LastFrame != 0 ? 3 : TotalFrames / 18 + 3;
        if (IdleTicks >= limit) {
          PostFinished();
          stoptimer_->SetEnabled(false);
        }
      }
      break;
  }
}

bool TfFlashform::CheckExitPassword() {
  if (!Settings || !Settings->EnabledPassword) return true;
  std::string entry;
  if (!services_.GetPassword(entry)) return false;
  return AsciiUpper(entry) == AsciiUpper(Settings->Pwd);
}

bool TfFlashform::CloseEvent() {
  BusyScope busy(busy_);
  bool passed = CheckExitPassword();
  if (passed) PostStopShow();
  return passed;
}

namespace {

// The character a key types unshifted, as the movie's Key.getAscii reads it.
uint8_t AsciiOfKey(uint16_t virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return uint8_t(virtualKey - 'A' + 'a');
  if ((virtualKey >= '0' && virtualKey <= '9') || virtualKey == ' ') return uint8_t(virtualKey);
  if (virtualKey == 8 || virtualKey == 9 || virtualKey == kVkReturn || virtualKey == kVkEscape)
    return uint8_t(virtualKey);
  return 0;
}

}  // namespace

void TfFlashform::FormKeyDown(uint16_t virtualKey) {
  if (!Settings) return;
  if (virtualKey == kVkEscape && Settings->EscKey) CloseEvent();
  else if (virtualKey == kVkReturn && Settings->EnterKey) CloseEvent();
  // The key that types the closing character belongs to the close events too.
  else if (Settings->SpecifiedKey && std::string(1, static_cast<char>(virtualKey)) == Settings->KeyValue) return;
  else if (Flash) Flash->KeyToMovie(true, virtualKey, AsciiOfKey(virtualKey));
}

void TfFlashform::FormKeyUp(uint16_t virtualKey) {
  // Releases of the closing keys reach the movie too: it never saw them go down, and a key
  // that is up stays up.
  if (Settings && Flash) Flash->KeyToMovie(false, virtualKey, AsciiOfKey(virtualKey));
}

void TfFlashform::FormKeyPress(char character) {
  if (!Settings) return;
  if (Settings->SpecifiedKey && std::string(1, character) == Settings->KeyValue) CloseEvent();
}

void TfFlashform::FormClose() {
  Visible = false;
  PostFinished();
}

void TfFlashform::LeftClickClose(FlashControl&) {
  if (Settings && Settings->MouseLeftClick) CloseEvent();
}

void TfFlashform::RightClickClose(FlashControl&) {
  if (Settings && Settings->MouseRightClick) CloseEvent();
}

void TfFlashform::DoubleClickClose(FlashControl&) {
  if (Settings && Settings->MouseDoubleClick) CloseEvent();
}

void TfFlashform::MouseMoveClose(FlashControl& sender, int32_t x, int32_t y) {
  if (!Settings) return;
  if (!(CloseOnInput && Settings->MouseMove)) {
    // The pointer stays visible over the movie.
    if (sender.Cursor() != FlashCursor::Arrow) sender.SetCursor(FlashCursor::Arrow);
    if (screen_.CursorHidden() && !sender.MovieHidesPointer()) screen_.ShowCursor();
    FollowMoviePointer();
    return;
  }
  if (LastMouseX == -10) {
    LastMouseX = x;
    LastMouseY = y;
    return;
  }
  int64_t threshold = int64_t(Settings->MouseSensitivity) * 10;
  if (threshold == 0) threshold = 10;
  if (std::llabs(int64_t(x) - LastMouseX) < threshold && std::llabs(int64_t(y) - LastMouseY) < threshold) return;
  ++MoveCount;
  if (MoveCount <= Settings->MouseSensitivity) return;
  if (!CloseEvent()) {
    MoveCount = 0;
    LastMouseX = x;
    LastMouseY = y;
  }
}

void TfFlashform::Retire() {
  stoptimer_->SetEnabled(false);
  playtimer_->SetEnabled(false);
  Visible = false;
  FollowMoviePointer();
  if (FlashWindow == this) FlashWindow = nullptr;
}

void TfFlashform::Paint(Bitmap& screen) {
  if (Visible && Flash) Flash->Paint(screen);
  FollowMoviePointer();
}

void TfFlashform::FollowMoviePointer() {
  bool hide = Visible && Flash && Flash->MovieHidesPointer();
  if (hide && !pointerHiddenByMovie_) {
    pointerHiddenByMovie_ = true;
    if (!screen_.CursorHidden()) screen_.HideCursor();
  } else if (!hide && pointerHiddenByMovie_) {
    pointerHiddenByMovie_ = false;
    if (screen_.CursorHidden()) screen_.ShowCursor();
  }
}

namespace {
// The last steps both set-ups share: where to start, the movie's length, the end-check
// counters, then showing the window and starting its timers.
void FinishSetUp(TfFlashform& f, const FlashDisplayRecord& record, bool startTimers) {
  f.StartFrame = record.StartFrame;
  f.TotalFrames = f.Flash->TotalFrames();
  f.LastFrame = 0;
  f.IdleTicks = 0;

  f.Visible = true;
  if (startTimers) {
    f.Playtimer().SetEnabled(true);
    f.stoptimer().SetEnabled(true);
  }
}
// The form both set-ups start from, registered as the Flash window.
std::unique_ptr<TfFlashform> NewFlashWindow(const FlashFormEnvironment& env, const TRWSetting& settings) {
  auto form = std::make_unique<TfFlashform>(env.Loop, env.Services, env.Screen, env.MainWindow);
  FlashWindow = form.get();
  form->Settings = &settings;
  return form;
}
}  // namespace

std::unique_ptr<TfFlashform> ShowFlashWindow(const FlashFormEnvironment& env, MessageTarget& notify,
                                             FlashControl::PopupMenu popupMenu, const TRWSetting& settings,
                                             bool closeOnInput, bool startTimers, const FlashDisplayRecord& record,
                                             const std::string& moviePath) {
  auto form = NewFlashWindow(env, settings);
  TfFlashform& f = *form;

  int32_t width = env.Screen.ScreenWidth(), height = env.Screen.ScreenHeight();
  f.BoundsRect = {0, 0, width, height};
  f.NotifyWindow = &notify;

  f.Flash = env.CreateControl();
  FlashControl& flash = *f.Flash;
  flash.SetCursor(FlashCursor::Arrow);
  env.Screen.ShowCursor();
  flash.SetBounds(0, 0, width, height);

  flash.PassRightDown = false;
  f.CloseOnInput = closeOnInput;
  if (f.CloseOnInput) {
    flash.Popup = nullptr;
    flash.OnRightDown = [&f](FlashControl& s) { f.RightClickClose(s); };
  } else {
    flash.Popup = std::move(popupMenu);
    flash.OnRightDown = nullptr;
  }

  f.StopMode = record.StopMode;
  f.StopFrame = record.StopFrame;
  f.PlaySeconds = record.PlaySeconds;
  f.MoveToFlash = record.MoveToFlash != 0;
  f.ClicksToFlash = record.ClicksToFlash != 0;

  if (!f.ClicksToFlash) {
    flash.PassLeftDown = false;
    flash.PassLeftUp = false;
    flash.OnLeftDown = [&f](FlashControl& s) { f.LeftClickClose(s); };
    flash.OnLeftUp = [](FlashControl&) {};
    flash.PassDoubleClick = false;
    flash.OnDoubleClick = [&f](FlashControl& s) { f.DoubleClickClose(s); };
  } else {
    flash.PassLeftDown = true;
    flash.PassLeftUp = true;
  }

  flash.PassMove = f.MoveToFlash;
  if (!f.MoveToFlash) flash.OnMove = [&f](FlashControl& s, int32_t x, int32_t y) { f.MouseMoveClose(s, x, y); };

  flash.SetDoubleBuffered(true);
  flash.SetMenu(false);
  flash.SetMovie(moviePath);
  flash.SetBackgroundColor(SwapRedBlue(record.BackgroundColor));
  flash.SetScaleMode(record.ScaleMode);
  flash.SetAlignMode(record.AlignMode);

  FinishSetUp(f, record, startTimers);
  return form;
}

std::unique_ptr<TfFlashform> ShowFlashInPanel(const FlashFormEnvironment& env, MessageTarget& notify,
                                              int32_t panelWidth, int32_t panelHeight, const TRWSetting& settings,
                                              bool closeOnInput, bool startTimers, const FlashDisplayRecord& record,
                                              const std::string& moviePath) {
  auto form = NewFlashWindow(env, settings);
  TfFlashform& f = *form;

  f.InPanel = true;
  f.BoundsRect = {0, 0, panelWidth, panelHeight};
  f.NotifyWindow = &notify;

  f.Flash = env.CreateControl();
  FlashControl& flash = *f.Flash;
  flash.SetBounds(0, 0, panelWidth, panelHeight);

  // Left clicks and movement reach the movie; right and double clicks reach nothing.
  flash.PassRightDown = false;
  f.CloseOnInput = closeOnInput;
  flash.Popup = nullptr;
  flash.OnRightDown = nullptr;
  flash.OnLeftDown = nullptr;
  flash.OnLeftUp = nullptr;
  flash.OnMove = nullptr;
  flash.OnDoubleClick = nullptr;

  f.StopMode = record.StopMode;
  f.StopFrame = record.StopFrame;
  f.PlaySeconds = record.PlaySeconds;

  flash.SetDoubleBuffered(true);
  flash.SetMenu(false);
  flash.SetBackgroundColor(SwapRedBlue(record.BackgroundColor));
  flash.SetScaleMode(record.ScaleMode);
  flash.SetAlignMode(record.AlignMode);
  flash.SetMovie(moviePath);
  flash.BringToFront();

  FinishSetUp(f, record, startTimers);
  return form;
}

FlashFormHost::FlashFormHost(EventLoop& loop, ShowWindow& window, Services& services, FileSystem& files,
                             TextRenderer* text, SoundOutput* sound, swf::SoundDecoderFactory* decoders)
    : loop_(loop), window_host_(window), services_(services), files_(files), text_(text), sound_(sound),
      decoders_(decoders) {}

FlashFormHost::~FlashFormHost() {
  CloseFlashWindow();
  retired_.clear();
}

FlashFormEnvironment FlashFormHost::Environment(MessageTarget& notify) {
  return FlashFormEnvironment{loop_, services_, window_host_, &notify,
                              [this] { return std::make_unique<OwnFlashControl>(loop_, files_, text_, sound_, decoders_); }};
}

void FlashFormHost::FreeRetired() {
  std::erase_if(retired_, [](const std::unique_ptr<TfFlashform>& w) { return !w->Busy(); });
}

void FlashFormHost::ShowFlashWindow(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput,
                                    bool startTimers, const FlashDisplayRecord& record, const std::string& moviePath) {
  CloseFlashWindow();
  FreeRetired();
  window_ = vitrine::ShowFlashWindow(
      Environment(notify), notify, [this](int32_t x, int32_t y) {
        PopupMenuOpenedAt.push_back({x, y});
        if (OpenPopupMenu) OpenPopupMenu(x, y);
      }, settings,
      closeOnInput, startTimers, record, moviePath);
}

void FlashFormHost::ShowFlashInPanel(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput,
                                     bool startTimers, const FlashDisplayRecord& record, const std::string& moviePath) {
  CloseFlashWindow();
  FreeRetired();
  Bitmap& area = window_host_.Surface();
  window_ = vitrine::ShowFlashInPanel(Environment(notify), notify, area.Width(), area.Height(), settings,
                                      closeOnInput, startTimers, record, moviePath);
}

void FlashFormHost::CloseFlashWindow() {
  if (!window_) return;
  window_->Flash->FreeOnRelease();
  // A close event still on the stack (its password prompt let this message through) frees
  // the window when it has returned.
  if (window_->Busy()) {
    window_->Retire();
    retired_.push_back(std::move(window_));
  }
  window_.reset();
  FlashWindow = nullptr;
}

void FlashFormHost::PaintOver(Bitmap& screen) {
  if (window_) window_->Paint(screen);
}

std::unique_ptr<FlashWindowHost> CreateFlashWindowHost(EventLoop& loop, ShowWindow& window, Services& services,
                                                       FileSystem& files, TextRenderer* text, SoundOutput* sound,
                                                       swf::SoundDecoderFactory* decoders) {
  return std::make_unique<FlashFormHost>(loop, window, services, files, text, sound, decoders);
}

}  // namespace vitrine
