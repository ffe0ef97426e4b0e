#pragma once
// Writes a rendered show as one video file through FFmpeg's libraries: the screen frames at a
// fixed rate (H.264 where libavcodec has an encoder for it, else MPEG-4 Part 2) and the sound
// as AAC, in an MP4 container.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "raster/bitmap.h"

namespace vitrine {

class ShowVideoWriter {
 public:
  ShowVideoWriter();
  ~ShowVideoWriter();
  ShowVideoWriter(const ShowVideoWriter&) = delete;
  ShowVideoWriter& operator=(const ShowVideoWriter&) = delete;

  // Creates the file. Odd sizes are padded with black to even ones (the picture format needs
  // them). On failure returns false and says why in `error`.
  bool Open(const std::string& path, int32_t width, int32_t height, int32_t fps, std::string& error);
  // The next frame; each lasts 1/fps of a second.
  bool AddFrame(const Bitmap& frame);
  // The next stretch of sound: interleaved 16-bit stereo at kSoundRate.
  bool AddSound(std::span<const int16_t> samples);
  // Flushes the encoders and completes the file.
  bool Finish();
  // The codecs used, as "h264+aac".
  std::string Codecs() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vitrine
