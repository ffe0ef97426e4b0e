#include "imaging/gif_reader.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/color_manager.h"
#include "imaging/decoders/gif_lzw_decoder.h"

namespace vitrine {

namespace {

constexpr uint8_t kImageSeparator = ',';
constexpr uint8_t kExtensionIntroducer = '!';
constexpr uint8_t kTrailer = ';';

uint8_t Upper(uint8_t c) { return c >= 'a' && c <= 'z' ? uint8_t(c - 32) : c; }

void ReadColorTable(ByteReader& reader, uint8_t flags, TColorManager& colors) {
  const int count = 2 << (flags & 7);
  colors.CreateColorPalette(reader.Bytes(size_t(count) * 3), TColorScheme::RGB, count);
}

// Data sub-blocks up to the empty one. An extension's data may hold any byte, zeros and
// separators included, so blocks are skipped by their lengths, never by scanning.
void SkipSubBlocks(ByteReader& reader) {
  for (uint8_t length = reader.U8(); length != 0; length = reader.U8()) reader.Skip(length);
}

// The image's sub-blocks joined; a file cut short keeps what it has.
std::vector<uint8_t> JoinSubBlocks(ByteReader& reader) {
  std::vector<uint8_t> joined;
  while (!reader.AtEnd()) {
    const size_t length = reader.U8();
    if (length == 0) break;
    const auto block = reader.Bytes(std::min(length, reader.Remaining()));
    joined.insert(joined.end(), block.begin(), block.end());
  }
  return joined;
}

// Interlaced images store rows 0, 8, 16...; then 4, 12...; then 2, 6...; then 1, 3...
std::vector<int32_t> RowOrder(int32_t height, bool interlaced) {
  std::vector<int32_t> order;
  order.reserve(size_t(height));
  if (!interlaced) {
    for (int32_t y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

}  // namespace

void TGIFGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader reader(file);
  TColorManager colors;  // builds the palette

  int32_t width = 0, height = 0;
  bool interlaced = false, haveColorTable = false;
  int minimumCodeSize = 0;
  std::vector<uint8_t> packed;
  if (reader.Remaining() < 13 || Upper(reader.Peek(0)) != 'G' || Upper(reader.Peek(1)) != 'I' ||
      Upper(reader.Peek(2)) != 'F')
    Invalid();
  reader.Skip(6);  // the version is not checked
  const uint16_t screenWidth = reader.U16LE(), screenHeight = reader.U16LE();
  const uint8_t screenFlags = reader.U8();
  reader.Skip(2);  // background colour index, aspect ratio
  if (screenFlags & 0x80) {
    ReadColorTable(reader, screenFlags, colors);
    haveColorTable = true;
  }

  for (;;) {
    if (reader.AtEnd()) return;  // no image and no trailer: nothing to show
    const uint8_t introducer = reader.U8();
    if (introducer == kTrailer) return;
    if (introducer == kImageSeparator) break;
    if (introducer == kExtensionIntroducer) {
      reader.Skip(1);  // label
      SkipSubBlocks(reader);
    }
    // Anything else is a stray byte between blocks; some writers leave them.
  }

  reader.Skip(4);  // left, top: the first image is the picture, wherever it stands
  width = reader.U16LE();
  height = reader.U16LE();
  const uint8_t flags = reader.U8();
  if (width == 0) width = screenWidth;
  if (height == 0) height = screenHeight;
  CheckSize(width, height);
  interlaced = (flags & 0x40) != 0;
  if (flags & 0x80) {
    ReadColorTable(reader, flags, colors);
    haveColorTable = true;
  }
  minimumCodeSize = reader.U8();
  if (minimumCodeSize < 1 || minimumCodeSize > 11) Invalid();
  packed = JoinSubBlocks(reader);
  // A code of 2..12 bits stands for at most 4096 pixels: refuse sizes the data can't fill.
  if (uint64_t(width) * uint64_t(height) > uint64_t(packed.size()) * 4 * TGIFLZWDecoder::kTableSize)
    Invalid();
  if (!haveColorTable) colors.CreateGrayscalePalette(std::min(minimumCodeSize, 8));

  const size_t pixels = size_t(width) * size_t(height);
  std::unique_ptr<uint8_t[]> indices(new uint8_t[pixels]);
  TGIFLZWDecoder decoder(minimumCodeSize);
  const uint8_t* source = packed.data();
  uint8_t* dest = indices.get();
  decoder.Decode(source, dest, packed.size(), pixels);
  std::fill(dest, indices.get() + pixels, 0);  // pixels the data doesn't reach get index 0

  // One word per possible index: indices past the table show black.
  uint32_t lookup[256] = {};
  std::copy_n(colors.Palette.begin(), std::min<size_t>(256, colors.Palette.size()), lookup);
  image_.Reset(width, height, PixelFormat::Xrgb8888);
  const std::vector<int32_t> order = RowOrder(height, interlaced);
  for (int32_t i = 0; i < height; ++i) {
    const uint8_t* row = indices.get() + size_t(i) * size_t(width);
    auto* target = reinterpret_cast<uint32_t*>(image_.Row(order[size_t(i)]));
    for (int32_t x = 0; x < width; ++x) target[x] = lookup[row[x]];
  }
}

}  // namespace vitrine
