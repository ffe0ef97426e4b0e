#pragma once
// A TransitionHost held entirely in memory: the surface and the three bitmaps are plain
// fields, and the timer, index and posted messages are recorded for inspection. Runs
// transitions off screen (tests, the vitrine tool, benchmarks).
#include <vector>

#include "transitions/transition_host.h"

namespace vitrine {

class MemoryTransitionHost : public TransitionHost {
 public:
  Bitmap surface, picture, compose, screen;
  Canvas surfaceCanvas{surface};
  int32_t pictureLeft = 0, pictureTop = 0;
  TransitionScope scope = TransitionScope::WholeScreen;
  int32_t frameInterval = 0;
  bool frameTimerEnabled = false;
  int32_t transitionIndex = -2;  // -2: never set
  std::vector<uint32_t> posted;
  uint64_t nowMs = 0;  // the clock; whoever drives the host moves it on

  MemoryTransitionHost() = default;
  MemoryTransitionHost(const MemoryTransitionHost&) = delete;
  MemoryTransitionHost& operator=(const MemoryTransitionHost&) = delete;

  Bitmap& SurfaceBitmap() override { return surface; }
  Canvas& SurfaceCanvas() override { return surfaceCanvas; }
  Bitmap& PictureBitmap() override { return picture; }
  Bitmap& ComposeBitmap() override { return compose; }
  Bitmap& ScreenBitmap() override { return screen; }
  int32_t PictureLeft() const override { return pictureLeft; }
  int32_t PictureTop() const override { return pictureTop; }
  void SetPicturePosition(int32_t left, int32_t top) override {
    pictureLeft = left;
    pictureTop = top;
  }
  void SetFrameInterval(int32_t ms) override { frameInterval = ms; }
  void EnableFrameTimer(bool enabled) override { frameTimerEnabled = enabled; }
  void SetTransitionIndex(int32_t index) override { transitionIndex = index; }
  TransitionScope Scope() const override { return scope; }
  void DrawCaption(Canvas&) override {}
  void DrawMemo(Canvas&) override {}
  void PostMainFormMessage(uint32_t message) override { posted.push_back(message); }
  uint64_t NowMs() const override { return nowMs; }
};

}  // namespace vitrine
