#include "package/picture_loading.h"

#include <cstdint>
#include <span>
#include <vector>

#include "core/errors.h"
#include "core/file_system.h"
#include "imaging/bmp_reader.h"
#include "imaging/jpeg_reader.h"
#include "imaging/reader_graphic.h"
#include "package/picture_type.h"
#include "raster/canvas.h"

namespace vitrine {
namespace {

constexpr int32_t kBitmapType = 1, kJpegType = 2;

// The stream's bytes from its position to its end: in place for a memory stream (what the
// package hands out), copied otherwise. The stream is left at its end.
class StreamBytes {
 public:
  explicit StreamBytes(Stream& stream) {
    if (auto* memory = dynamic_cast<MemoryStream*>(&stream)) {
      bytes_ = memory->Remaining();
    } else {
      int64_t left = stream.Size() - stream.Position();
      if (uint64_t(left) > uint64_t(SIZE_MAX / 2)) throw EInvalidGraphic("The picture is too large to load.");
      if (left > 0) {
        owned_.resize(size_t(left));
        owned_.resize(stream.Read(owned_.data(), owned_.size()));
      }
      bytes_ = owned_;
    }
    stream.Seek(0, SeekOrigin::End);
  }
  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> owned_;
  std::span<const uint8_t> bytes_;
};

// The decoded picture becomes the bitmap, in the bitmap's own pixel format.
void Assign(Bitmap& bitmap, Bitmap&& decoded) {
  if (decoded.Format() != bitmap.Format()) decoded.SetFormat(bitmap.Format());
  bitmap = std::move(decoded);
}

bool Load(Stream& stream, Bitmap& bitmap, int32_t type, int32_t boxWidth, int32_t boxHeight) {
  if (type == kBitmapType || type == kJpegType) {
    StreamBytes input(stream);
    if (type == kBitmapType) {
      Assign(bitmap, DecodeBmp(input.Bytes()));
    } else {
      int scale = 8;
      if (boxWidth > 0 && boxHeight > 0) scale = ChooseJpegScale(ReadJpegHeader(input.Bytes()), boxWidth, boxHeight);
      // Decoded in the bitmap's own format; the bitmap stays as it was if the file is damaged.
      Bitmap decoded(0, 0, bitmap.Format());
      DecodeJpeg(input.Bytes(), decoded, scale);
      bitmap = std::move(decoded);
    }
    return true;
  }
  std::unique_ptr<TReaderGraphic> reader = CreateReader(type);
  if (!reader) return false;
  reader->LoadFromStream(stream);
  const Bitmap& image = reader->Image();
  // A plain, unstretched copy of the reader's whole picture.
  Bitmap copy;
  copy.Reset(image.Width(), image.Height(), bitmap.Format());
  Canvas(copy).CopyRect(copy.Bounds(), image, image.Bounds());
  bitmap = std::move(copy);
  return true;
}

}  // namespace

bool LoadPictureFromStream(Stream& stream, Bitmap& bitmap, int32_t pictureType) {
  return Load(stream, bitmap, pictureType, 0, 0);
}

bool LoadPictureFromStream(Stream& stream, Bitmap& bitmap, int32_t pictureType, int32_t boxWidth,
                           int32_t boxHeight) {
  return Load(stream, bitmap, pictureType, boxWidth, boxHeight);
}

bool LoadPictureFromFile(const std::string& name, Bitmap& bitmap, FileSystem& files) {
  int32_t type = PictureTypeOfFile(name);
  if (type == kNoPictureType) return false;
  auto file = files.OpenRead(name);
  int64_t size = file ? file->Size() : -1;
  if (size < 0 || uint64_t(size) > uint64_t(SIZE_MAX / 2)) throw Error(FormatWithString("Cannot open file %s", name));
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t got = 0;
  while (got < bytes.size()) {
    int64_t n = file->Read(bytes.data() + got, int64_t(bytes.size() - got));
    if (n < 0) throw Error(FormatWithString("Cannot open file %s", name));
    if (n == 0) break;
    got += size_t(n);
  }
  bytes.resize(got);
  MemoryStream stream(std::move(bytes));
  return Load(stream, bitmap, type, 0, 0);
}

}  // namespace vitrine
