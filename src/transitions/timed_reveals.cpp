// The catalogue rows of the transitions that run on elapsed time.
#include "transitions/catalogue.h"
#include "transitions/timed_fade.h"

namespace vitrine {

void AddTimedEntries(TransitionTable& table) {
  using A = const TransitionArgs&;
  FillRows(table, {
    {kCrossFade, [](A) { SetupFade(FadeKind::Cross); }, &FadeFrame},
    {kFadeThroughBlack, [](A) { SetupFade(FadeKind::ThroughBlack); }, &FadeFrame},
    {kSlideInEased, [](A) { SetupEasedSlide(); }, &EasedSlideFrame},
  });
}

}  // namespace vitrine
