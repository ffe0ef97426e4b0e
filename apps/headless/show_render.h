#pragma once
// Plays a started headless show for a while and records it: every frame at a fixed rate and,
// where the build has FFmpeg's libraries, a video file of the frames with the sound the show
// played. `vitrine render` and the tests record through this one loop.
#include <cstdint>
#include <functional>
#include <string>

#include "apps/headless/headless_show.h"

namespace vitrine {

struct ShowRenderOptions {
  int32_t seconds = 10;
  int32_t fps = 10;
  std::string videoPath;  // empty: no video file
  // Each frame as it is shown from its time k × 1000 / fps on; false stops the render.
  std::function<bool(int64_t frame, const Bitmap& screen)> onFrame;
  // The show time recorded so far, in ms.
  std::function<void(int64_t doneMs)> onProgress;
};

struct ShowRenderResult {
  int64_t frames = 0;
  std::string error;  // empty on success
};

// True when RenderShow can write video files.
bool CanWriteShowVideo();

ShowRenderResult RenderShow(HeadlessShow& show, const ShowRenderOptions& options);

}  // namespace vitrine
