// Feeds arbitrary bytes to the pack-time conversion: by their own content first, then to each
// photo decoder in turn, and to the metadata readers captions use. Only a PhotoError may come
// out; the decoders must never end the process or hang.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "photo/captions.h"
#include "photo/exif.h"
#include "photo/photo_convert.h"

using namespace vitrine::photo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  std::vector<uint8_t> copy(bytes.begin(), bytes.end());
  PrepareOptions small;
  small.maxWidth = small.maxHeight = 64;
  try {
    PreparePicture(copy, 2, 100, 100, small);
  } catch (const PhotoError&) {
  }
  for (PhotoFormat format : {PhotoFormat::Heic, PhotoFormat::WebP, PhotoFormat::JpegXl}) {
    try {
      DecodePhoto(bytes, format);
    } catch (const PhotoError&) {
    }
  }
  CaptionFacts facts;
  facts.exif = ReadExif(bytes);
  facts.xmpTitle = XmpTitle(std::string(bytes.begin(), bytes.end()));
  ReadJpegMetadata(bytes);
  FillPlaceholders("{date} {date:%A %j} {time} {camera} {title} {file}", facts);
  return 0;
}
