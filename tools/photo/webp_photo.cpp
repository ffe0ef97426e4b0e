// WebP through libwebp: still pictures, and the first frame of an animation. WebP has no
// orientation of its own; the one its EXIF chunk gives is applied here.
#include <webp/decode.h>
#include <webp/demux.h>

#include <memory>

#include "imaging/orientation.h"
#include "photo/exif.h"
#include "photo/photo.h"

namespace vitrine::photo {
namespace {

std::vector<uint8_t> Chunk(WebPDemuxer* demux, const char* fourcc) {
  WebPChunkIterator iter;
  if (!WebPDemuxGetChunk(demux, fourcc, 1, &iter)) return {};
  std::vector<uint8_t> bytes(iter.chunk.bytes, iter.chunk.bytes + iter.chunk.size);
  WebPDemuxReleaseChunkIterator(&iter);
  return bytes;
}

}  // namespace

Photo DecodeWebP(std::span<const uint8_t> data) {
  WebPData input{data.data(), data.size()};
  std::unique_ptr<WebPDemuxer, void (*)(WebPDemuxer*)> demux(WebPDemux(&input), WebPDemuxDelete);
  if (!demux) throw PhotoError("does not decode: its WebP chunks are damaged or cut short");
  uint32_t width = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH);
  uint32_t height = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT);
  CheckDimensions(width, height);

  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) throw PhotoError("does not decode: libwebp is not the version built with");
  options.color_mode = MODE_RGBA;
  options.use_threads = 0;
  std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&input, &options),
                                                                        WebPAnimDecoderDelete);
  uint8_t* rgba = nullptr;
  int timestamp = 0;
  if (!decoder || !WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp) || !rgba)
    throw PhotoError("does not decode: its WebP picture data is damaged or cut short");

  Photo photo;
  Bitmap stored(int32_t(width), int32_t(height), PixelFormat::Xrgb8888);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* src = rgba + size_t(y) * width * 4;
    uint32_t* dst = reinterpret_cast<uint32_t*>(stored.Row(int32_t(y)));
    for (uint32_t x = 0; x < width; ++x, src += 4) {
      photo.hasAlpha |= src[3] != 255;
      dst[x] = uint32_t(src[3]) << 24 | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2];
    }
  }
  photo.exif = Chunk(demux.get(), "EXIF");
  std::vector<uint8_t> xmp = Chunk(demux.get(), "XMP ");
  photo.xmp.assign(xmp.begin(), xmp.end());
  photo.pixels = ApplyOrientation(stored, ReadExif(photo.exif).orientation);
  return photo;
}

}  // namespace vitrine::photo
