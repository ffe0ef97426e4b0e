#pragma once
// TfRun: the one window of a show run. It owns the project, the user's settings, the item
// lists, three off-screen bitmaps, two media players and five timers, and runs the cycle of
// items on those timers: select, compose, bring the picture in frame by frame, wait, repeat.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/show_platform.h"
#include "app/shuffle_round.h"
#include "app/startup.h"
#include "app/text_painter.h"
#include "package/project_info.h"
#include "package/zov_array.h"
#include "settings/read_write_setting.h"
#include "raster/scale_bilinear.h"
#include "transitions/pan_zoom.h"
#include "transitions/transition_host.h"

namespace vitrine {

class TfRun final : public MessageTarget, public ShowWindowEvents, public TransitionHost {
 public:
  // FormCreate: reads the package from the executable, the user's settings, the items; takes
  // the desktop snapshot; opens the first music track silently; runs the mode set-up.
  TfRun(ShowPlatform& platform, std::vector<std::string> args);
  // FormDestroy.
  ~TfRun() override;
  TfRun(const TfRun&) = delete;
  TfRun& operator=(const TfRun&) = delete;

  // The window becomes visible: the first item is selected at once.
  void FormShow();
  // The window's size changed (and once after the set-up): the bitmaps follow the show area.
  void FormResize();
  // True once the window has closed (the run ends).
  bool Closed() const { return closed_; }
  // The preview was asked for without a usable parent window: the run ends at once.
  bool SetupFailed() const { return setupFailed_; }

  // The ordinary close: runs the close query (password) and closes when it allows.
  void Close();

  // --- Fields other parts of the show read ------------------------------------------------
  // Shared with the other monitors' shows where each monitor has a show of its own.
  std::shared_ptr<TProjectInfo> Project;
  std::unique_ptr<TRWSetting> Settings;
  std::vector<TPictureInfo*> ItemList;
  std::vector<TPictureInfo*> BackgroundList;
  int32_t ShowCount = 0;
  std::vector<TZovArray> ItemTransitions;
  TZovArray UserTransitions;
  int32_t CurrentIndex = -1;
  int32_t CurrentKind = 0;
  int32_t TransitionIndex = -1;
  bool PreviewMode = false;
  int32_t ShowWidth = 0, ShowHeight = 0;
  // The format of the show's bitmaps and of the window's surface: the package's choice.
  PixelFormat ShowFormat = kDefaultShowPixelFormat;
  int32_t PictureLeft_ = 0, PictureTop_ = 0;
  bool FirstShowDone = false;
  bool FirstFrameBlack = true;
  bool DialogOpen = false;
  bool ShowRunning = false;
  int32_t LastMouseX = -10, LastMouseY = 0, MoveCount = 0;
  bool MusicPlaying = false, MusicOpened = false, MusicFinished = false;
  int32_t MusicEndTicks = 0, MusicIndex = 0;
  bool VideoPlaying = false, FlashPlaying = false;
  int32_t VideoPosition = 0, FlashPosition = 0;
  int32_t VideoNaturalWidth = 0, VideoNaturalHeight = 0, VideoWidth = 0, VideoHeight = 0;
  int32_t RemainingSeconds = 0;

  Timer& ShowTimer() { return *showTimer_; }
  Timer& SelectTimer() { return *selectTimer_; }
  Timer& VidioTimer() { return *vidioTimer_; }
  Timer& MaxRuntime() { return *maxRuntime_; }
  Timer& MusicPlayTimer() { return *musicPlayTimer_; }
  MediaPlayer& mp() { return *mp_; }
  MediaPlayer& mpmusic() { return *mpmusic_; }
  // The item's transition is over and it stands until the next is chosen; the frame timer
  // may still be drawing its pan and zoom.
  bool ItemStandsComplete() const {
    return selectTimer_->Enabled() && (!showTimer_->Enabled() || panZoomRunning_);
  }

  // --- The cycle ----------------------------------------------------------------------------
  void SelectNextItem();  // SelectTimer's handler
  int32_t NextItemIndex();
  void PrepareShowItem(int32_t index);
  void LoadCurrentPicture(TPictureInfo& item);
  // Places a width x height picture or video inside an area of the given size (PictureLeft_,
  // PictureTop_): at random when the project asks for it, else centred; centred as well when
  // it is larger than the area, as the random range would be empty.
  void PlaceIn(int32_t areaWidth, int32_t areaHeight, int32_t width, int32_t height);
  void ShowTimerTimer();

  // --- Pan and zoom of a standing picture ---------------------------------------------------
  // Whether the item drifts and zooms while it stands (its own PanZoom, else the project's).
  bool PanZoomWanted(const TPictureInfo& item) const;
  // After loading: keeps the decoded picture and the part of it that the size mode shows, draws
  // PictureBitmap at the path's first framing.
  void PreparePanZoom(const Bitmap& decoded, const Rect& shown);
  // The transition has ended: the frame timer goes on drawing the picture's framing for the
  // time, until the stand is over.
  void StartPanZoom();
  void PanZoomFrame();
  void StopPanZoom();
  bool PanZoomRunning() const { return panZoomRunning_; }

  // --- Composition ----------------------------------------------------------------------------
  void DrawBackground(TPictureInfo& item);
  // Background kind 3: the item's own picture, blurred and darkened, covering the show area.
  void DrawBlurredCopy(TPictureInfo& item);
  void DrawBackgroundImage(TPictureInfo* source, int32_t mode, bool randomTile, int32_t tileCount);
  void DrawCaption(const TPictureInfo& item, Canvas& canvas);
  void DrawMemo(const TPictureInfo& item, Canvas& canvas);
  void TakeDesktopSnapshot();
  std::string DesktopSnapshotPath() const;

  // --- Music, video, run-time limit ------------------------------------------------------------
  void StartMusic(bool play);
  void MusicPlayTimerTimer();
  void PauseMusic();
  void ResumeMusic();
  void StopMusic();
  void PlayVideo(const std::string& path, TPictureInfo& item);
  void VidioTimerTimer();
  void StopVideo();
  void MaxRuntimeTimer();

  // --- Close events ------------------------------------------------------------------------
  bool FormCloseQuery();
  void FormClose();

  // ShowWindowEvents
  void pbShowMouseMove(int32_t x, int32_t y) override;
  void pbShowMouseDown(MouseButton button, int32_t x, int32_t y) override;
  void pbShowDblClick() override;
  void displaypanelMouseDown(MouseButton button, int32_t x, int32_t y) override;
  void FormKeyDown(uint16_t virtualKey) override;
  void FormKeyPress(char character) override;
  void Setting1Click() override;
  void Close1Click() override;
  void SystemClose() override;

  // MessageTarget
  void HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  // TransitionHost
  Bitmap& SurfaceBitmap() override { return platform_.Window.Surface(); }
  Canvas& SurfaceCanvas() override { return surfaceCanvas_; }
  Bitmap& PictureBitmap() override { return pictureBitmap_; }
  Bitmap& ComposeBitmap() override { return composeBitmap_; }
  Bitmap& ScreenBitmap() override { return screenBitmap_; }
  int32_t PictureLeft() const override { return PictureLeft_; }
  int32_t PictureTop() const override { return PictureTop_; }
  void SetPicturePosition(int32_t left, int32_t top) override { PictureLeft_ = left; PictureTop_ = top; }
  void SetFrameInterval(int32_t ms) override;
  void EnableFrameTimer(bool enabled) override;
  void SetTransitionIndex(int32_t index) override { TransitionIndex = index; }
  vitrine::TransitionScope Scope() const override { return vitrine::TransitionScope(Project->TransitionScope); }
  void DrawCaption(Canvas& canvas) override;
  void DrawMemo(Canvas& canvas) override;
  void PostMainFormMessage(uint32_t message) override;
  uint64_t NowMs() const override { return platform_.Loop.NowMs(); }

 private:
  class ProjectMessages;

  void ShowModeSetup();
  void PreviewModeSetup(uintptr_t parent);
  void CommonSetup();
  void StartPictureTransition(TPictureInfo& item);
  void StartVideoItem(TPictureInfo& item);
  void StartFlashItem(TPictureInfo& item);
  void ArmRunTimeLimit(int32_t minutes, bool raiseZero);
  // After every load of the settings: only the primary monitor's show plays music.
  void KeepMusicToPrimary();
  // The transitions share one process-wide state: a show on another monitor waits while one
  // runs. True when this show must wait.
  bool TransitionRunsElsewhere() const;
  bool PasswordAccepted();
  void PresentAll();
  TPictureInfo* CurrentItem();

  ShowPlatform& platform_;
  std::vector<std::string> args_;
  std::unique_ptr<ProjectMessages> projectMessages_;
  Bitmap pictureBitmap_{0, 0, kDefaultShowPixelFormat};
  Bitmap composeBitmap_{0, 0, kDefaultShowPixelFormat};
  Bitmap screenBitmap_{0, 0, kDefaultShowPixelFormat};
  Canvas surfaceCanvas_;
  std::unique_ptr<Timer> showTimer_, selectTimer_, vidioTimer_, maxRuntime_, musicPlayTimer_;
  std::unique_ptr<MediaPlayer> mp_, mpmusic_;
  ShuffleRound shuffle_;
  bool closed_ = false;
  bool setupFailed_ = false;

  bool panZoomOn_ = false, panZoomRunning_ = false;
  Bitmap panSource_;        // the decoded picture, reduced to at most about twice what is shown
  PanZoomPath panPath_;     // in panSource_'s pixels
  Rect panTarget_;          // the picture's place on the show area
  Bitmap panFrame_;         // whole-screen scope: the picture with the texts over it
  BilinearScaler panScaler_;
  uint64_t panStartMs_ = 0, panDurationMs_ = 0;
};

}  // namespace vitrine
