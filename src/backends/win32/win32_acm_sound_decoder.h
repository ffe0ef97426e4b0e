#pragma once
// The MP3 sound of Flash movies on Windows, decoded by the system's MP3 codec through the
// Audio Compression Manager, then resampled to the output's rate and stereo.
#include "flash/swf/sound.h"

namespace vitrine {

class AcmSoundDecoders final : public swf::SoundDecoderFactory {
 public:
  // MP3 only; nothing for the other formats.
  std::unique_ptr<swf::SoundDecoder> Create(const swf::SoundFormat& format, int32_t outRate) override;
};

}  // namespace vitrine
