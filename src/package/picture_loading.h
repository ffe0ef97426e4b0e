#pragma once
// Decoding a picture file or stream into a bitmap with the reader of its picture type.
#include <cstdint>
#include <string>

#include "core/file_system.h"
#include "core/stream.h"
#include "raster/bitmap.h"

namespace vitrine {

// Decodes the stream, from its position to its end, by picture type code: 1 bitmap file,
// 2 JPEG, 3..15 the readers of CreateReader. The bitmap takes the picture's size and keeps
// its own pixel format. Returns false, with the bitmap untouched, for a code without a
// reader (-1 and anything outside 1..15). A damaged picture raises its reader's error and
// also leaves the bitmap untouched.
bool LoadPictureFromStream(Stream& stream, Bitmap& bitmap, int32_t pictureType);

// The same for a picture that will be shrunk into boxWidth x boxHeight (or stretched over
// it): a JPEG is decoded at the smallest libjpeg scale that still covers the box, which is
// much faster for large photos and loses nothing once shrunk. Other types decode as above.
bool LoadPictureFromStream(Stream& stream, Bitmap& bitmap, int32_t pictureType, int32_t boxWidth,
                           int32_t boxHeight);

// Decodes the file by PictureTypeOfFile(name). False for a name without a picture type.
// A file that cannot be read raises Error "Cannot open file <name>".
bool LoadPictureFromFile(const std::string& name, Bitmap& bitmap, FileSystem& files);
// The caller names the real file system, so this library keeps no link to the platform's.
inline bool LoadPictureFromFile(const std::string& name, Bitmap& bitmap) {
  return LoadPictureFromFile(name, bitmap, NativeFileSystem());
}

}  // namespace vitrine
