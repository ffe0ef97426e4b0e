#include "apps/headless/show_render.h"

#ifdef VITRINE_HAVE_LIBAV
#include "backends/media/av_show_writer.h"
#endif

namespace vitrine {

bool CanWriteShowVideo() {
#ifdef VITRINE_HAVE_LIBAV
  return true;
#else
  return false;
#endif
}

ShowRenderResult RenderShow(HeadlessShow& show, const ShowRenderOptions& options) {
  ShowRenderResult result;
  const int64_t frames = int64_t(options.seconds) * options.fps;
  auto frameTime = [&](int64_t k) { return static_cast<uint64_t>(k * 1000 / options.fps); };
#ifdef VITRINE_HAVE_LIBAV
  ShowVideoWriter video;
  bool writing = !options.videoPath.empty();
  if (writing) {
    show.Sound().SetRecording(true);
    show.Sound().Take();  // from here on
    Bitmap first = show.Screen();
    if (!video.Open(options.videoPath, first.Width(), first.Height(), options.fps, result.error)) {
      result.error = "cannot write " + options.videoPath + ": " + result.error;
      return result;
    }
  }
#else
  if (!options.videoPath.empty()) {
    result.error = "this build writes no video files";
    return result;
  }
#endif
  for (int64_t k = 0; k < frames; ++k) {
    show.RunUntil(frameTime(k));
    if (show.Ended()) break;
    Bitmap screen = show.Screen();
#ifdef VITRINE_HAVE_LIBAV
    // The sound played up to this frame's time, then the frame that stands until the next.
    if (writing && (!video.AddSound(show.Sound().Take()) || !video.AddFrame(screen))) {
      result.error = "cannot write " + options.videoPath;
      return result;
    }
#endif
    ++result.frames;
    if (options.onFrame && !options.onFrame(k, screen)) break;
    if (options.onProgress) options.onProgress(static_cast<int64_t>(frameTime(k)));
  }
#ifdef VITRINE_HAVE_LIBAV
  if (writing) {
    // The sound of the last frame's time.
    if (!show.Ended()) show.RunUntil(frameTime(result.frames));
    if (!video.AddSound(show.Sound().Take()) || !video.Finish()) result.error = "cannot write " + options.videoPath;
  }
#endif
  if (options.onProgress) options.onProgress(int64_t(options.seconds) * 1000);
  return result;
}

}  // namespace vitrine
