#pragma once
// The compressed sound of Flash movies (MP3, Nellymoser) decoded with FFmpeg's
// libavcodec and resampled to the output's rate and stereo with libswresample.
#include "flash/swf/sound.h"

namespace vitrine {

class AvSoundDecoders final : public swf::SoundDecoderFactory {
 public:
  std::unique_ptr<swf::SoundDecoder> Create(const swf::SoundFormat& format, int32_t outRate) override;
};

}  // namespace vitrine
