// JPEG XL through libjxl. The decoder turns the picture upright itself; HDR pictures are
// tone-mapped to a 255 cd/m2 display.
#include <jxl/decode.h>
#include <jxl/decode_cxx.h>

#include <cstring>

#include "photo/photo.h"

namespace vitrine::photo {

Photo DecodeJpegXl(std::span<const uint8_t> data) {
  JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
  JxlDecoder* dec = decoder.get();
  if (JxlDecoderSubscribeEvents(dec, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE | JXL_DEC_BOX) !=
          JXL_DEC_SUCCESS ||
      JxlDecoderSetDecompressBoxes(dec, JXL_TRUE) != JXL_DEC_SUCCESS)
    throw PhotoError("does not decode: libjxl refused its settings");
  JxlDecoderSetInput(dec, data.data(), data.size());
  JxlDecoderCloseInput(dec);

  Photo photo;
  JxlBasicInfo info{};
  JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  std::vector<uint8_t> rgba;
  bool haveImage = false;
  // Metadata boxes: the one being read, and where it goes.
  std::vector<uint8_t> box;
  std::vector<uint8_t>* boxTarget = nullptr;
  std::vector<uint8_t> xmp;
  auto finishBox = [&] {
    if (!boxTarget) return;
    size_t unused = JxlDecoderReleaseBoxBuffer(dec);
    box.resize(box.size() - unused);
    *boxTarget = std::move(box);
    boxTarget = nullptr;
  };
  for (;;) {
    JxlDecoderStatus status = JxlDecoderProcessInput(dec);
    if (status == JXL_DEC_ERROR) throw PhotoError("does not decode: its JPEG XL data is damaged");
    if (status == JXL_DEC_NEED_MORE_INPUT) {
      if (haveImage) break;
      throw PhotoError("does not decode: its JPEG XL data is cut short");
    }
    if (status == JXL_DEC_SUCCESS) break;
    switch (status) {
      case JXL_DEC_BASIC_INFO: {
        if (JxlDecoderGetBasicInfo(dec, &info) != JXL_DEC_SUCCESS) throw PhotoError("does not decode: no header");
        CheckDimensions(info.xsize, info.ysize);
        photo.storedBits = int(info.bits_per_sample);
        if (info.intensity_target > 255) JxlDecoderSetDesiredIntensityTarget(dec, 255);
        break;
      }
      case JXL_DEC_COLOR_ENCODING: {
        // Pictures come out in their own colour space where it is a plain one (as the
        // reference decoder writes them); those that carry only an ICC profile come out as
        // sRGB instead of the linear light libjxl would otherwise give.
        JxlColorEncoding original;
        if (JxlDecoderGetColorAsEncodedProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, &original) ==
            JXL_DEC_SUCCESS)
          break;
        JxlColorEncoding srgb{};
        srgb.color_space = JXL_COLOR_SPACE_RGB;
        srgb.white_point = JXL_WHITE_POINT_D65;
        srgb.primaries = JXL_PRIMARIES_SRGB;
        srgb.transfer_function = JXL_TRANSFER_FUNCTION_SRGB;
        srgb.rendering_intent = JXL_RENDERING_INTENT_PERCEPTUAL;
        JxlDecoderSetPreferredColorProfile(dec, &srgb);
        break;
      }
      case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
        size_t size = 0;
        if (JxlDecoderImageOutBufferSize(dec, &format, &size) != JXL_DEC_SUCCESS)
          throw PhotoError("does not decode: no picture size");
        rgba.resize(size);
        if (JxlDecoderSetImageOutBuffer(dec, &format, rgba.data(), rgba.size()) != JXL_DEC_SUCCESS)
          throw PhotoError("does not decode: libjxl refused the picture buffer");
        break;
      }
      case JXL_DEC_FULL_IMAGE: haveImage = true; break;
      case JXL_DEC_BOX: {
        finishBox();
        JxlBoxType type;
        if (JxlDecoderGetBoxType(dec, type, JXL_TRUE) != JXL_DEC_SUCCESS) break;
        if (std::memcmp(type, "Exif", 4) == 0 && photo.exif.empty()) boxTarget = &photo.exif;
        else if (std::memcmp(type, "xml ", 4) == 0 && xmp.empty()) boxTarget = &xmp;
        if (boxTarget) {
          box.assign(4096, 0);
          JxlDecoderSetBoxBuffer(dec, box.data(), box.size());
        }
        break;
      }
      case JXL_DEC_BOX_NEED_MORE_OUTPUT: {
        size_t unused = JxlDecoderReleaseBoxBuffer(dec);
        size_t used = box.size() - unused;
        if (box.size() >= (size_t(64) << 20)) throw PhotoError("does not decode: a metadata box passes 64 MB");
        box.resize(box.size() * 2);
        JxlDecoderSetBoxBuffer(dec, box.data() + used, box.size() - used);
        break;
      }
      default: break;
    }
  }
  finishBox();
  if (!haveImage) throw PhotoError("does not decode: its JPEG XL data holds no picture");

  // With the orientation applied, pictures turned a quarter swap their sides.
  bool turned = info.orientation >= JXL_ORIENT_TRANSPOSE;
  int32_t width = int32_t(turned ? info.ysize : info.xsize), height = int32_t(turned ? info.xsize : info.ysize);
  if (rgba.size() < size_t(width) * size_t(height) * 4) throw PhotoError("does not decode: short picture data");
  photo.pixels.Reset(width, height, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = rgba.data() + size_t(y) * size_t(width) * 4;
    uint32_t* dst = reinterpret_cast<uint32_t*>(photo.pixels.Row(y));
    for (int32_t x = 0; x < width; ++x, src += 4) {
      uint8_t a = info.alpha_bits ? src[3] : 255;
      photo.hasAlpha |= a != 255;
      dst[x] = uint32_t(a) << 24 | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2];
    }
  }
  // The Exif box starts with the offset of its TIFF header behind a 4-byte field.
  if (photo.exif.size() >= 4) {
    size_t skip = size_t(photo.exif[0]) << 24 | size_t(photo.exif[1]) << 16 | size_t(photo.exif[2]) << 8 | photo.exif[3];
    if (skip <= photo.exif.size() - 4) photo.exif.erase(photo.exif.begin(), photo.exif.begin() + 4 + std::ptrdiff_t(skip));
    else photo.exif.clear();
  }
  photo.xmp.assign(xmp.begin(), xmp.end());
  return photo;
}

}  // namespace vitrine::photo
