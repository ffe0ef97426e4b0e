#include "transitions/dispatch.h"

#include "core/random.h"
#include "transitions/catalogue.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// Under the whole-screen scope the nine stretch entries would stretch the whole screen; they
// run as the entries ten places further on ("Sweep left" .. "Two bar move right").
constexpr int32_t kScreenScopeShift = 10;

const TransitionEntry& EntryFor(int32_t index) {
  if (index < 0 || index >= kTransitionCount) return NoTransitionEntry();
  const TransitionEntry& entry = TransitionCatalogue()[index];
  return entry.frame ? entry : NoTransitionEntry();
}

void CopyWhole(Bitmap& into, const Bitmap& from) {
  Canvas(into).CopyRect(from.Bounds(), from, from.Bounds());
}

}  // namespace

int32_t ChooseTransitionIndex(TZovArray& list, bool randomOrder) {
  if (randomOrder) return list.ValueAt(Random(list.Count()));
  return list.NextValue();
}

void StartTransition(TransitionHost& host, bool musicDuring, TZovArray& list, int32_t speed, bool randomOrder) {
  AnnounceTransition(host, musicDuring);
  StartChosenTransition(host, ChooseTransitionIndex(list, randomOrder), speed);
}

void AnnounceTransition(TransitionHost& host, bool musicDuring) {
  gTransition.OriginX = host.PictureLeft();
  gTransition.OriginY = host.PictureTop();
  host.PostMainFormMessage(musicDuring ? WM_RESUMEMUSIC : WM_PAUSEMUSIC);
}

void StartChosenTransition(TransitionHost& host, int32_t index, int32_t speed) {
  TransitionState& s = gTransition;
  s.OriginX = host.PictureLeft();
  s.OriginY = host.PictureTop();
  if (index < kNoTransition || index >= kTransitionCount) index = kNoTransition;
  host.SetFrameInterval(kDefaultFrameIntervalMs);
  s.Speed = speed < 1 ? 1 : speed;
  s.Position = 0;
  s.Phase = 0;
  s.StartMs = s.NowMs = host.NowMs();
  s.DestCanvas = &host.SurfaceCanvas();

  const bool wholeScreen = host.Scope() == TransitionScope::WholeScreen;
  if (wholeScreen) {
    Canvas screen(host.ScreenBitmap());
    screen.Draw(host.PictureLeft(), host.PictureTop(), host.PictureBitmap());
    host.DrawCaption(screen);
    host.DrawMemo(screen);
    s.OriginX = 0;
    s.OriginY = 0;
    s.NewPicture = &host.ScreenBitmap();
    CopyWhole(host.ComposeBitmap(), host.SurfaceBitmap());
    s.OldPicture = &host.ComposeBitmap();
    host.SetPicturePosition(0, 0);
  } else {
    s.NewPicture = &host.PictureBitmap();
    s.OldPicture = &host.ComposeBitmap();
  }
  s.PicWidth = s.NewPicture->Width();
  s.PicHeight = s.NewPicture->Height();

  if (wholeScreen && index >= kStretchFromBottom && index <= kStretchFromTopRight) index += kScreenScopeShift;
  host.SetTransitionIndex(index);

  const TransitionEntry& entry = EntryFor(index);
  if (entry.intervalMs != kDefaultFrameIntervalMs) host.SetFrameInterval(entry.intervalMs);
  if (entry.setup) entry.setup(entry.argsOf ? entry.argsOf(s.PicWidth, s.PicHeight) : TransitionArgs{});
  host.EnableFrameTimer(true);
}

bool StepTransition(TransitionHost& host, int32_t index) {
  if (index < kNoTransition || index >= kTransitionCount) return false;
  gTransition.NowMs = host.NowMs();
  return EntryFor(index).frame();
}

}  // namespace vitrine
