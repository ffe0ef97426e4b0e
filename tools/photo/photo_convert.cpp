#include "photo/photo_convert.h"

#include "core/errors.h"
#include "core/stream.h"
#include "package/picture_loading.h"
#include "package/picture_type.h"
#include "photo/exif.h"
#include "photo/photo_encode.h"

namespace vitrine::photo {
namespace {

constexpr int32_t kJpegType = 2, kPngType = 15;

std::string SizeText(int32_t w, int32_t h) { return std::to_string(w) + "x" + std::to_string(h); }

}  // namespace

PreparedPicture PreparePicture(const std::vector<uint8_t>& data, int32_t pictureType, int32_t width, int32_t height,
                               const PrepareOptions& options) {
  PreparedPicture out;
  PhotoFormat format = PhotoFormatOfContent(data);
  if (format != PhotoFormat::None) {
    Photo photo = DecodePhoto(data, format);
    out.convertedFrom = std::string(PhotoFormatName(format)) + " " + SizeText(photo.pixels.Width(), photo.pixels.Height());
    if (photo.storedBits > 8) out.convertedFrom += ", " + std::to_string(photo.storedBits) + "-bit";
    int32_t w = 0, h = 0;
    FitSize(photo.pixels.Width(), photo.pixels.Height(), options.maxWidth, options.maxHeight, w, h);
    Bitmap pixels = w == photo.pixels.Width() && h == photo.pixels.Height() ? std::move(photo.pixels)
                                                                              : ShrinkTo(photo.pixels, w, h);
    out.data = photo.hasAlpha ? EncodePhotoPng(pixels, true) : EncodeJpeg(pixels, options.jpegQuality);
    out.pictureType = photo.hasAlpha ? kPngType : kJpegType;
    out.width = w;
    out.height = h;
    out.exif = std::move(photo.exif);
    out.xmp = std::move(photo.xmp);
    return out;
  }

  out.data = data;
  out.pictureType = pictureType;
  out.width = width;
  out.height = height;
  if (pictureType == kJpegType) {
    JpegMetadata meta = ReadJpegMetadata(data);
    out.exif = std::move(meta.exif);
    out.xmp = std::move(meta.xmp);
  }
  if (width <= options.maxWidth && height <= options.maxHeight) return out;

  // Too large: decoded at full size by the player's own reader (which turns a JPEG upright).
  MemoryStream stream;
  stream.Write(data.data(), data.size());
  stream.Rewind();
  Bitmap full(0, 0, PixelFormat::Xrgb8888);
  try {
    if (!LoadPictureFromStream(stream, full, pictureType)) return out;
  } catch (const vitrine::Error& e) {
    throw PhotoError(std::string("does not decode: ") + e.what());
  }
  int32_t w = 0, h = 0;
  FitSize(full.Width(), full.Height(), options.maxWidth, options.maxHeight, w, h);
  Bitmap shrunk = ShrinkTo(full, w, h);
  out.convertedFrom = std::string(PictureTypeName(pictureType)) + " " + SizeText(full.Width(), full.Height());
  out.data = pictureType == kJpegType ? EncodeJpeg(shrunk, options.jpegQuality) : EncodePhotoPng(shrunk, false);
  out.pictureType = pictureType == kJpegType ? kJpegType : kPngType;
  out.width = w;
  out.height = h;
  return out;
}

}  // namespace vitrine::photo
