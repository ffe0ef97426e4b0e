// Music, video and Flash items, and the run-time limit of the show window.
#include <algorithm>
#include <cmath>

#include "app/run_form.h"
#include "core/random.h"
#include "core/rounding.h"

namespace vitrine {

namespace {
// A preview shows every video this wide, whatever its size mode.
constexpr int32_t kPreviewVideoWidth = 300;
}  // namespace

void TfRun::StartMusic(bool play) {
  if (MusicFinished && !Project->LoopMusic) return;
  int32_t count = static_cast<int32_t>(Project->MusicFiles.size());
  if (!Settings->EnabledMusic || count == 0) return;
  MusicIndex = Project->RandomMusic ? Random(count) : 0;
  std::string path = Project->ExtractMusic(MusicIndex);
  if (!path.empty() && mpmusic_->Open(path)) {
    MusicOpened = true;
    if (play) {
      mpmusic_->Play();
      MusicPlaying = true;
    } else {
      MusicPlaying = false;
    }
  }
  musicPlayTimer_->SetEnabled(true);
}

void TfRun::MusicPlayTimerTimer() {
  // A track that could not be opened counts as one that has ended.
  bool atEnd = !MusicOpened || mpmusic_->PositionMs() >= mpmusic_->LengthMs();
  if (!atEnd) return;
  ++MusicEndTicks;
  if (MusicEndTicks < Project->MusicPause) return;
  MusicEndTicks = 0;
  musicPlayTimer_->SetEnabled(false);
  MusicPlaying = false;
  int32_t count = static_cast<int32_t>(Project->MusicFiles.size());
  if (!Settings->EnabledMusic || count == 0) return;
  int32_t index;
  if (Project->RandomMusic) {
    index = Random(count);
  } else {
    ++MusicIndex;
    index = MusicIndex;
  }
  if (index > count - 1) {
    if (!Project->LoopMusic) {
      MusicFinished = true;
      mpmusic_->Close();
      MusicOpened = MusicPlaying = false;
      return;
    }
    index = 0;
    MusicIndex = 0;
  }
  mpmusic_->Close();
  MusicOpened = false;
  std::string path = Project->ExtractMusic(index);
  if (!path.empty() && mpmusic_->Open(path)) {
    MusicOpened = true;
    mpmusic_->Play();
    MusicPlaying = true;
  }
  // The next track is watched for its end like the first.
  musicPlayTimer_->SetEnabled(true);
}

void TfRun::PauseMusic() {
  if (!Project->MusicFiles.empty() && MusicPlaying && MusicOpened) {
    MusicPlaying = false;
    mpmusic_->Pause();
  }
}

void TfRun::ResumeMusic() {
  if (MusicFinished && !Project->LoopMusic) return;
  if (Project->MusicFiles.empty() || !Settings->EnabledMusic) return;
  if (!MusicOpened) {
    StartMusic(true);
  } else if (!MusicPlaying) {
    mpmusic_->Resume();
    MusicPlaying = true;
  }
}

void TfRun::StopMusic() {
  if (!Project->MusicFiles.empty() && MusicPlaying && MusicOpened) {
    mpmusic_->Stop();
    MusicPlaying = false;
    musicPlayTimer_->SetEnabled(false);
  }
}

void TfRun::StartVideoItem(TPictureInfo& item) {
  PostMainFormMessage(WM_PAUSEMUSIC);
  DrawBackground(item);
  Canvas compose(composeBitmap_);
  DrawCaption(item, compose);
  DrawMemo(item, compose);
  surfaceCanvas_.Draw(0, 0, composeBitmap_);
  PresentAll();
  std::string path = Project->ExtractPictureFile(item.PackageIndex);
  if (!path.empty()) PlayVideo(path, item);
}

void TfRun::PlayVideo(const std::string& path, TPictureInfo& item) {
  mp_->Close();
  if (!mp_->Open(path)) return;  // an unplayable file leaves the cycle on this item
  Rect source = mp_->SourceRect();
  VideoNaturalWidth = source.Width();
  VideoNaturalHeight = source.Height();
  int32_t panelW = ShowWidth, panelH = ShowHeight;
  auto heightForWidth = [&](int32_t width) {
    if (VideoNaturalWidth <= 0) return 0;
    return RoundHalfEven(static_cast<long double>(width) * VideoNaturalHeight / VideoNaturalWidth) - 1;
  };
  if (PreviewMode) {
    VideoWidth = kPreviewVideoWidth;
    VideoHeight = heightForWidth(VideoWidth);
  } else {
    switch (item.VideoSizeMode) {
      case 0: VideoWidth = VideoNaturalWidth; VideoHeight = VideoNaturalHeight; break;
      case 1: VideoWidth = 2 * VideoNaturalWidth; VideoHeight = 2 * VideoNaturalHeight; break;
      case 2: VideoWidth = panelW / 4; VideoHeight = heightForWidth(VideoWidth); break;
      case 3: VideoWidth = panelW / 2; VideoHeight = heightForWidth(VideoWidth); break;
      case 4: VideoWidth = RoundHalfEven(panelW / 1.4142L); VideoHeight = heightForWidth(VideoWidth); break;
      case 5: VideoWidth = panelW; VideoHeight = heightForWidth(VideoWidth); break;
      default: break;
    }
  }
  PlaceIn(panelW, panelH, VideoWidth, VideoHeight);
  platform_.Window.SetVideoPanel({PictureLeft_, PictureTop_, PictureLeft_ + VideoWidth, PictureTop_ + VideoHeight},
                                 true);
  mp_->SetDisplayRect({0, 0, VideoWidth, VideoHeight});
  mp_->Seek(VideoPosition);
  mp_->Play();
  vidioTimer_->SetEnabled(true);
  VideoPlaying = true;
}

void TfRun::VidioTimerTimer() {
  VideoPosition = static_cast<int32_t>(mp_->PositionMs());
  if (mp_->LengthMs() == mp_->PositionMs()) {
    StopVideo();
    selectTimer_->SetEnabled(true);
    VideoPosition = 0;
  }
}

void TfRun::StopVideo() {
  mp_->Stop();
  mp_->Close();
  VideoPlaying = false;
  vidioTimer_->SetEnabled(false);
  platform_.Window.SetVideoPanel({}, false);
}

void TfRun::StartFlashItem(TPictureInfo& item) {
  PostMainFormMessage(WM_PAUSEMUSIC);
  platform_.Flash.CloseFlashWindow();
  Canvas(composeBitmap_).FillRect({0, 0, ShowWidth, ShowHeight}, static_cast<Color>(item.FlashSettings.BackgroundColor));
  surfaceCanvas_.Draw(0, 0, composeBitmap_);
  PresentAll();
  FlashDisplayRecord record{item.FlashSettings, FlashPosition};
  FlashPlaying = true;
  std::string path = Project->ExtractPictureFile(item.PackageIndex);
  if (path.empty()) return;
  bool closeOnInput = Project->MenuEnabled == 0;
  if (PreviewMode)
    platform_.Flash.ShowFlashInPanel(*this, *Settings, closeOnInput, true, record, path);
  else
    platform_.Flash.ShowFlashWindow(*this, *Settings, closeOnInput, true, record, path);
}

void TfRun::ArmRunTimeLimit(int32_t minutes, bool raiseZero) {
  RemainingSeconds = minutes * 60;
  if (raiseZero && RemainingSeconds == 0) RemainingSeconds = 60;
  maxRuntime_->SetEnabled(Settings->UseMaxRunTime);
}

void TfRun::MaxRuntimeTimer() {
  --RemainingSeconds;
  if (RemainingSeconds >= 1) return;
  maxRuntime_->SetEnabled(false);
  StopMusic();
  Close();
  ShowRunning = false;
}

}  // namespace vitrine
