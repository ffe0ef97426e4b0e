#include "raster/image_files.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace vitrine {

namespace {
void PutU32BE(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v >> 24));
  out.push_back(uint8_t(v >> 16));
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutU32BE(out, static_cast<uint32_t>(data.size()));
  size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
  PutU32BE(out, static_cast<uint32_t>(crc));
}

// Rows of R, G, B bytes.
std::vector<uint8_t> RgbRows(const Bitmap& bitmap, bool filterBytes) {
  std::vector<uint8_t> rows;
  rows.reserve(size_t(bitmap.Height()) * (size_t(bitmap.Width()) * 3 + 1));
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    if (filterBytes) rows.push_back(0);
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      Color c = UnpackPixel(bitmap.Format(), bitmap.RawPixel(x, y));
      rows.push_back(RedOf(c));
      rows.push_back(GreenOf(c));
      rows.push_back(BlueOf(c));
    }
  }
  return rows;
}
}  // namespace

std::vector<uint8_t> EncodePng(const Bitmap& bitmap) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  PutU32BE(ihdr, static_cast<uint32_t>(bitmap.Width()));
  PutU32BE(ihdr, static_cast<uint32_t>(bitmap.Height()));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace
  PutChunk(out, "IHDR", ihdr);

  std::vector<uint8_t> raw = RgbRows(bitmap, true);
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6);
  packed.resize(packedSize);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

std::vector<uint8_t> EncodePpm(const Bitmap& bitmap) {
  std::string header = "P6\n" + std::to_string(bitmap.Width()) + " " + std::to_string(bitmap.Height()) + "\n255\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  std::vector<uint8_t> rows = RgbRows(bitmap, false);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap) {
  const uint32_t rowBytes = (uint32_t(bitmap.Width()) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * uint32_t(bitmap.Height());
  std::vector<uint8_t> out;
  out.reserve(54 + imageBytes);
  auto u16 = [&](uint32_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  out.push_back('B');
  out.push_back('M');
  u32(54 + imageBytes);
  u32(0);
  u32(54);
  u32(40);  // BITMAPINFOHEADER
  u32(uint32_t(bitmap.Width()));
  u32(uint32_t(bitmap.Height()));
  u16(1);
  u16(24);
  u32(0);  // BI_RGB
  u32(imageBytes);
  u32(3780);  // 96 dpi
  u32(3780);
  u32(0);
  u32(0);
  // Written in place: the show encodes a whole desktop at start, where a byte-by-byte append
  // cost more than decoding its first picture.
  out.resize(54 + size_t(imageBytes), 0);
  uint8_t* row = out.data() + 54;
  for (int32_t y = bitmap.Height() - 1; y >= 0; --y, row += rowBytes) {
    uint8_t* p = row;
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      Color c = UnpackPixel(bitmap.Format(), bitmap.RawPixel(x, y));
      *p++ = BlueOf(c);
      *p++ = GreenOf(c);
      *p++ = RedOf(c);
    }
  }
  return out;
}

bool WriteImageFile(const std::string& path, const Bitmap& bitmap) {
  bool png = path.size() >= 4 && (path.compare(path.size() - 4, 4, ".png") == 0 ||
                                  path.compare(path.size() - 4, 4, ".PNG") == 0);
  std::vector<uint8_t> bytes = png ? EncodePng(bitmap) : EncodePpm(bitmap);
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

}  // namespace vitrine
