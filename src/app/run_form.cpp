#include "app/run_form.h"

#include <algorithm>

#include "app/monitor_plan.h"
#include "core/random.h"
#include "package/picture_loading.h"
#include "package/picture_routines.h"
#include "transitions/catalogue.h"
#include "transitions/dispatch.h"

namespace vitrine {

// The project's missing-file messages become the show's message boxes.
class TfRun::ProjectMessages final : public MessageSink {
 public:
  explicit ProjectMessages(ShowPlatform& p) : platform_(p) {}
  void ShowMessage(const std::string& text) override { platform_.Services.MessageBox(text); }
  void ProcessPendingMessages() override { platform_.Loop.ProcessMessages(); }

 private:
  ShowPlatform& platform_;
};

namespace {
// At most this many characters of an item's transition list are parsed.
constexpr size_t kTransitionListLimit = 1025;
}  // namespace

TfRun::TfRun(ShowPlatform& platform, std::vector<std::string> args)
    : platform_(platform), args_(std::move(args)), surfaceCanvas_(platform.Window.Surface()) {
  auto& loop = platform_.Loop;
  showTimer_ = loop.CreateTimer(kDefaultFrameIntervalMs, [this] { ShowTimerTimer(); });
  selectTimer_ = loop.CreateTimer(1000, [this] { SelectNextItem(); });
  vidioTimer_ = loop.CreateTimer(1000, [this] { VidioTimerTimer(); });
  maxRuntime_ = loop.CreateTimer(1000, [this] { MaxRuntimeTimer(); });
  musicPlayTimer_ = loop.CreateTimer(1000, [this] { MusicPlayTimerTimer(); });
  mp_ = platform_.Media.CreateVideoPlayer();
  mpmusic_ = platform_.Media.CreateMusicPlayer();
  platform_.Window.SetEvents(this);

  CurrentIndex = -1;
  FirstFrameBlack = true;

  RandomSeed(platform_.Services.ClockSeed());
  MusicPlaying = MusicOpened = false;
  MusicEndTicks = MusicIndex = 0;

  projectMessages_ = std::make_unique<ProjectMessages>(platform_);
  if (platform_.SharedProject) {
    Project = platform_.SharedProject;
  } else {
    Project = std::make_shared<TProjectInfo>(platform_.Services.ExecutablePath(), platform_.Files,
                                             projectMessages_.get());
    Project->ReadProject();
  }
  ShowFormat = Project->ShowPixelFormat();
  Settings = std::make_unique<TRWSetting>(Project->SaverName, platform_.Registry);
  Settings->LoadFromRegistry();
  KeepMusicToPrimary();
  if (Settings->NewTransition) UserTransitions.ParseList(Settings->Transition);
  if (Settings->UseMaxRunTime) ArmRunTimeLimit(Settings->MaxRunTime, true);
  if (!platform_.SharedProject) Project->ReadPictures();
  if (Project->MenuEnabled != 0)
    platform_.Window.SetPopupMenu(std::array<std::string, 2>{"Setting", "Stop"});
  else
    platform_.Window.SetPopupMenu(std::nullopt);

  MusicFinished = false;
  LastMouseX = -10;
  VideoPlaying = FlashPlaying = false;
  VideoPosition = FlashPosition = 0;
  FirstShowDone = false;
  ShowCount = 0;

  TakeDesktopSnapshot();
  MoveCount = 0;

  StartMusic(false);
  auto choice = ChooseShowSetup(args_);
  if (!choice) {
    // A preview without a window to draw into has nothing to show.
    setupFailed_ = true;
    closed_ = true;
    platform_.Loop.Quit();
    return;
  }
  if (choice->setup == ShowSetup::Preview)
    PreviewModeSetup(choice->previewParent);
  else
    ShowModeSetup();
  ShowRunning = true;
  FormResize();
}

namespace {
// The show whose transition owns the process-wide transition state.
const TfRun* gTransitionOwner = nullptr;
// A show that waits for another's transition looks again this often.
constexpr uint32_t kTransitionTurnRetryMs = 40;
}  // namespace

bool TfRun::TransitionRunsElsewhere() const {
  return gTransitionOwner && gTransitionOwner != this && gTransitionOwner->showTimer_->Enabled();
}

void TfRun::KeepMusicToPrimary() {
  if (platform_.Monitor && !platform_.Monitor->Music) Settings->EnabledMusic = false;
}

TfRun::~TfRun() {
  if (gTransitionOwner == this) gTransitionOwner = nullptr;
  platform_.Window.ShowCursor();
  if (FlashPlaying) platform_.Flash.CloseFlashWindow();
  ItemTransitions.clear();
  ItemList.clear();
  BackgroundList.clear();
  if (ShowRunning) {
    StopMusic();
    ShowRunning = false;
  }
  if (mpmusic_) mpmusic_->Close();
  if (mp_) mp_->Close();
  Project.reset();  // deletes the media temporary file
  if (platform_.Files.Exists(DesktopSnapshotPath())) platform_.Files.Delete(DesktopSnapshotPath());
  platform_.Loop.ForgetTarget(*this);
  platform_.Window.SetEvents(nullptr);
}

void TfRun::ShowModeSetup() {
  ShowWidth = platform_.Window.ScreenWidth();
  ShowHeight = platform_.Window.ScreenHeight();
  PreviewMode = false;
  platform_.Window.MakeFullScreen();
  CommonSetup();
  // Shows on neighbouring monitors start at different items.
  if (platform_.Monitor && ShowCount > 0 && !Project->RandomOrder)
    CurrentIndex = (platform_.Monitor->FirstItem % ShowCount + ShowCount - 1) % ShowCount;
}

void TfRun::PreviewModeSetup(uintptr_t parent) {
  int32_t w = 0, h = 0;
  if (!platform_.Window.AttachToParent(parent, w, h)) {
    setupFailed_ = true;
    closed_ = true;
    platform_.Loop.Quit();
    return;
  }
  ShowWidth = w;
  ShowHeight = h;
  PreviewMode = true;
  platform_.Window.SetPopupMenu(std::nullopt);
  CommonSetup();
}

void TfRun::CommonSetup() {
  for (auto& item : Project->Pictures) {
    if (item.IsBackgroundImage)
      BackgroundList.push_back(&item);
    else
      ItemList.push_back(&item);
  }
  ShowCount = static_cast<int32_t>(ItemList.size());
  ItemTransitions.assign(ItemList.size(), TZovArray());
  // In a package that asks for it, "every transition" is the whole catalogue; otherwise the
  // 161 that packages made for the original player choose from.
  const std::string classicAll = AllTransitionsList(kClassicTransitionCount);
  const std::string wholeCatalogue = AllTransitionsList(kTransitionCount);
  for (size_t i = 0; i < ItemList.size(); ++i) {
    const std::string& list = Project->ExtendedCatalogue && ItemList[i]->Transitions == classicAll ? wholeCatalogue
                                                                                                  : ItemList[i]->Transitions;
    ItemTransitions[i].ParseList(std::string_view(list).substr(0, kTransitionListLimit));
  }
  if (Project->RandomOrder && Project->ShuffleWithoutRepeats) {
    try {
      if (Settings->LoadShufflePlace()) shuffle_.Restore(Settings->ShufflePlace, ShowCount);
    } catch (const vitrine::Error&) {
    }
  }
}

void TfRun::FormResize() {
  composeBitmap_.Reset(ShowWidth, ShowHeight, ShowFormat);
  Bitmap& surface = platform_.Window.Surface();
  if (surface.Width() != ShowWidth || surface.Height() != ShowHeight || surface.Format() != ShowFormat)
    surface.Reset(ShowWidth, ShowHeight, ShowFormat);
}

void TfRun::FormShow() {
  if (closed_) return;
  if (Project->MenuEnabled != 0 && !PreviewMode)
    platform_.Window.SetPopupMenu(std::array<std::string, 2>{Project->Texts[91 - kFirstTextKey],
                                                             Project->Texts[92 - kFirstTextKey]});
  if (!FirstShowDone) {
    SelectNextItem();
    FirstShowDone = true;
  }
  if (!PreviewMode && FirstFrameBlack && Scope() == TransitionScope::WholeScreen) {
    FirstFrameBlack = false;
    surfaceCanvas_.FillRect({0, 0, ShowWidth, ShowHeight}, kBlack);
    PresentAll();
  }
}

int32_t TfRun::NextItemIndex() {
  int32_t next;
  if (!Project->RandomOrder) {
    next = CurrentIndex + 1;
    if (next > ShowCount - 1) next = 0;
  } else if (Project->ShuffleWithoutRepeats) {
    next = shuffle_.Next(ShowCount);
    // The place goes to the settings at once, so a run ended any way starts the next where it
    // stopped. A store that cannot be written (no rights) only loses the place.
    // The small preview of the display settings plays for itself and keeps no place.
    Settings->ShufflePlace = shuffle_.SavedPlace();
    try {
      if (!PreviewMode) Settings->SaveShufflePlace();
    } catch (const vitrine::Error&) {
    }
  } else {
    next = Random(ShowCount);
  }
  CurrentKind = ItemList[next]->Kind;
  return next;
}

TPictureInfo* TfRun::CurrentItem() {
  if (CurrentIndex < 0 || CurrentIndex >= static_cast<int32_t>(ItemList.size())) return nullptr;
  return ItemList[CurrentIndex];
}

void TfRun::SelectNextItem() {
  selectTimer_->SetEnabled(false);
  StopPanZoom();
  if (closed_) return;
  if (TransitionRunsElsewhere()) {
    selectTimer_->SetInterval(kTransitionTurnRetryMs);
    selectTimer_->SetEnabled(true);
    return;
  }
  if (Project->MenuEnabled == 0) platform_.Window.BringToFront();
  if (FlashPlaying) {
    platform_.Flash.CloseFlashWindow();
    FlashPlaying = false;
  }
  if (VideoPlaying) StopVideo();
  // A show without items keeps its screen as it is; close events still end it.
  if (ShowCount <= 0) return;
  CurrentIndex = NextItemIndex();
  TPictureInfo& item = *ItemList[CurrentIndex];
  switch (CurrentKind) {
    case kKindPicture:
      PrepareShowItem(CurrentIndex);
      if (!closed_ && !platform_.Loop.QuitRequested()) StartPictureTransition(item);
      break;
    case kKindFlash: StartFlashItem(item); break;
    case kKindVideo: StartVideoItem(item); break;
    default: break;  // the cycle stops on an item of unknown kind
  }
}

void TfRun::StartPictureTransition(TPictureInfo& item) {
  gTransitionOwner = this;
  if (Settings->NewTransition)
    StartTransition(*this, item.MusicDuring, UserTransitions, Settings->TransitionSpeed, Settings->RandomTransition);
  else
    StartTransition(*this, item.MusicDuring, ItemTransitions[CurrentIndex], item.TransitionSpeed,
                    item.RandomTransition);
  if (Scope() != TransitionScope::WholeScreen) PresentAll();
}

void TfRun::PrepareShowItem(int32_t index) {
  TPictureInfo& item = *ItemList[index];
  Canvas compose(composeBitmap_);
  DrawBackground(item);
  if (Scope() != TransitionScope::WholeScreen) {
    DrawCaption(item, compose);
    DrawMemo(item, compose);
  }
  LoadCurrentPicture(item);
  if (platform_.Loop.QuitRequested()) return;
  if (Scope() != TransitionScope::WholeScreen) {
    surfaceCanvas_.Draw(0, 0, composeBitmap_);
  } else {
    screenBitmap_.Reset(ShowWidth, ShowHeight, ShowFormat);
    Canvas(screenBitmap_).Draw(0, 0, composeBitmap_);
  }
}

void TfRun::LoadCurrentPicture(TPictureInfo& item) {
  MemoryStream stream;
  Bitmap picture;
  int32_t type = item.PictureType;
  bool ok = Project->GetPictureStream(item.PackageIndex, stream, type);
  if (!ok && !Project->PicturesEmbedded) {
    std::string shown = item.FileName;
    if (Project->FilesBesideProgram) shown = ExternalFilePath(Project->ProgramPath, item.FileName, true);
    platform_.Services.MessageBox(std::string(kFileNotFoundText) + shown);
    closed_ = true;
    platform_.Loop.Quit();
    return;
  }
  stream.Rewind();
  int32_t mode = Project->PictureSizeMode;
  if (PreviewMode && (mode == 0 || mode == 2)) mode = 1;
  // A picture that will be shrunk or stretched onto the show area may be decoded at a
  // reduced scale that still covers it: large photos then cost a fraction of the time and
  // memory, and the shown result is the same or better.
  // Pan and zoom shows the picture up to 15 % closer: decoded that much larger.
  const bool panZoom = PanZoomWanted(item);
  const int32_t decodeWidth = panZoom ? ShowWidth + ShowWidth * 3 / 20 + 1 : ShowWidth;
  const int32_t decodeHeight = panZoom ? ShowHeight + ShowHeight * 3 / 20 + 1 : ShowHeight;
  if (mode >= 1 && mode <= 3)
    LoadPictureFromStream(stream, picture, type, decodeWidth, decodeHeight);
  else
    LoadPictureFromStream(stream, picture, type);
  int32_t w0 = picture.Width(), h0 = picture.Height();
  Canvas canvas(pictureBitmap_);
  switch (mode) {
    case 0:
      pictureBitmap_.Reset(w0, h0, ShowFormat);
      canvas.Draw(0, 0, picture);
      break;
    case 1: {
      auto [w, h] = FitInside(w0, h0, ShowWidth, ShowHeight);
      pictureBitmap_.Reset(w, h, ShowFormat);
      canvas.StretchDraw({0, 0, w, h}, picture);
      break;
    }
    case 2: {
      auto [w, h] = CropToAspect(w0, h0, ShowWidth, ShowHeight);
      pictureBitmap_.Reset(ShowWidth, ShowHeight, ShowFormat);
      canvas.CopyRect({0, 0, ShowWidth, ShowHeight}, picture, {0, 0, w, h});
      break;
    }
    case 3:
      pictureBitmap_.Reset(ShowWidth, ShowHeight, ShowFormat);
      canvas.StretchDraw({0, 0, ShowWidth, ShowHeight}, picture);
      break;
    default:
      break;  // the bitmap keeps its previous size and content
  }

  PlaceIn(ShowWidth, ShowHeight, pictureBitmap_.Width(), pictureBitmap_.Height());
  panZoomOn_ = false;
  if (panZoom && mode >= 0 && mode <= 3) {
    Rect shown = picture.Bounds();
    if (mode == 2) {
      // The still picture keeps the crop of its size mode, which can reach past the picture's
      // right or bottom edge; a moving framing keeps within the picture.
      auto [w, h] = CropInside(w0, h0, ShowWidth, ShowHeight);
      shown = {0, 0, w, h};
    }
    PreparePanZoom(picture, shown);
  }
  if (item.Transparent) {
    Canvas compose(composeBitmap_);
    BlendTransparent(pictureBitmap_, compose, PictureLeft_, PictureTop_);
  }
}

void TfRun::PlaceIn(int32_t areaWidth, int32_t areaHeight, int32_t width, int32_t height) {
  auto place = [this](int32_t room) { return Project->RandomPosition && room > 0 ? Random(room) : room / 2; };
  PictureLeft_ = place(areaWidth - width);
  PictureTop_ = place(areaHeight - height);
}

void TfRun::ShowTimerTimer() {
  if (panZoomRunning_) {
    PanZoomFrame();
    return;
  }
  bool finished = StepTransition(*this, TransitionIndex);
  PresentAll();
  if (!finished) return;
  if (!PreviewMode && !platform_.Window.CursorHidden() && !DialogOpen) platform_.Window.HideCursor();
  showTimer_->SetEnabled(false);
  selectTimer_->SetInterval(static_cast<uint32_t>((std::max(Project->ShowSeconds, 0) + 1)) * 1000u);
  selectTimer_->SetEnabled(true);
  if (panZoomOn_) StartPanZoom();
}

void TfRun::SetFrameInterval(int32_t ms) { showTimer_->SetInterval(static_cast<uint32_t>(std::max(ms, 1))); }
void TfRun::EnableFrameTimer(bool enabled) { showTimer_->SetEnabled(enabled); }

void TfRun::DrawCaption(Canvas& canvas) {
  if (auto* item = CurrentItem()) DrawCaption(*item, canvas);
}
void TfRun::DrawMemo(Canvas& canvas) {
  if (auto* item = CurrentItem()) DrawMemo(*item, canvas);
}

void TfRun::PostMainFormMessage(uint32_t message) { platform_.Loop.PostMessage(*this, message); }

void TfRun::PresentAll() { platform_.Window.Present({0, 0, ShowWidth, ShowHeight}); }

void TfRun::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_FLASHFINISHED:
      if (wParam == 1) {
        FlashPosition = 0;
        FlashPlaying = false;
        platform_.Flash.CloseFlashWindow();
      }
      selectTimer_->SetInterval(1);
      selectTimer_->SetEnabled(true);
      break;
    case WM_FLASHPOSITION: FlashPosition = static_cast<int32_t>(wParam); break;
    case WM_STOPSHOW:
      if (ShowRunning) {
        StopMusic();
        ShowRunning = false;
        Close();
      }
      break;
    case WM_STARTMUSIC:
      if (Settings->EnabledMusic && !MusicPlaying) StartMusic(true);
      break;
    case WM_STOPMUSIC: StopMusic(); break;
    case WM_PAUSEMUSIC: PauseMusic(); break;
    case WM_RESUMEMUSIC:
      if (Settings->EnabledMusic) ResumeMusic();
      break;
    case WM_RELOADSETTINGS:
      Settings->LoadFromRegistry();
      KeepMusicToPrimary();
      ArmRunTimeLimit(Settings->MaxRunTime, false);
      if (!Settings->EnabledMusic) PauseMusic();
      break;
    default: break;
  }
  (void)lParam;
}

}  // namespace vitrine
