#pragma once
// The transitions that run on elapsed time (the cross fade, the fade through black and the
// eased slide): each frame draws the picture as it stands at the frame's time, so a
// transition lasts as long at any frame rate, and a late frame skips ahead.
#include <cstdint>

namespace vitrine {

// How long a timed transition lasts at Speed over an area whose longer side is `extent`:
// as long as a wipe across it at Speed pixels a 10 ms frame, (extent div Speed + 1) frames.
int64_t TimedDurationMs(int32_t extent, int32_t speed);

// Progress at the current frame's time, 0 (start) to kProgressOne (done), linear in time.
inline constexpr int32_t kProgressOne = 65536;
int32_t TimedProgress();
// The same eased in and out (slow at both ends), cubic.
int32_t EaseInOut(int32_t progress);

enum class FadeKind { Cross, ThroughBlack };
void SetupFade(FadeKind kind);
bool FadeFrame();

// The new picture slides in over the old one from the right, eased.
void SetupEasedSlide();
bool EasedSlideFrame();

}  // namespace vitrine
