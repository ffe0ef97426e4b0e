#pragma once
// The Paint Shop Pro reader's parser, shared by its two files: psp_reader.cpp walks the
// blocks and reads attributes, palettes and channels; psp_reader_banks.cpp reads the
// composite and layer banks into the picture.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/byte_reader.h"

namespace vitrine::psp {

constexpr size_t kBlockHeaderSize = 10;    // "~BK\0", id, length (version 4)
constexpr size_t kChunkLengthSize = 4;     // version 4 chunks count their own length field
constexpr size_t kV3LayerNameSize = 256;   // version 3 layer info starts with a fixed-size name
constexpr uint32_t kWhite = 0xFFFFFF;

enum BlockId : uint16_t {
  kImageAttributes = 0,
  kPalette = 2,
  kLayerBank = 3,
  kLayer = 4,
  kChannel = 5,
  kCompositeImage = 9,
  kCompositeBank = 16,
  kCompositeAttributes = 17,
  kJpegCompositeImage = 18,
};
enum Compression : uint16_t { kNone = 0, kRLE = 1, kLZ77 = 2 };

struct Block {
  uint16_t id = 0;
  size_t data = 0;     // first byte after the block header
  size_t content = 0;  // version 3: past the initial chunk; version 4: same as data
  size_t end = 0;
};

struct Attributes {
  int32_t width = 0, height = 0;
  uint16_t compression = 0, depth = 0;
  bool grey = false;
  uint32_t contents = 0;
};

// Pixels being assembled: colour (0x00RRGGBB) and coverage 0..255.
struct Picture {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> color;
  std::vector<uint8_t> alpha;
};

Picture WhiteCanvas(int32_t width, int32_t height);

class PspParser {
 public:
  PspParser(ByteReader& reader, uint16_t major, std::string_view formatName)
      : reader_(reader), v3_(major == 3), formatName_(formatName) {}

  // Walks the file's main blocks and returns the picture: the composite image when the file
  // carries one, otherwise its visible raster layers over a white canvas.
  Picture Parse();

 private:
  [[noreturn]] void Invalid() const;
  void CheckAttributes(const Attributes& a) const;

  // psp_reader_banks.cpp: the composite bank and the layer bank.
  void ReadCompositeBank(const Block& bank);
  Picture ReadCompositeImage(const Block& image, const Attributes& c);
  void ReadLayerBank(const Block& bank);
  void ReadLayer(const Block& block);

  // psp_reader.cpp: blocks, chunks, attributes, palettes and channels.
  Block ReadBlock(size_t limit);
  size_t ChunkEnd(size_t at);
  Attributes ReadAttributes(const Block& block);
  std::vector<uint32_t> ReadPalette(const Block& block);
  std::vector<uint8_t> ReadChannel(const Block& block, uint16_t compression, int32_t width, int32_t height, int depth,
                                   uint16_t& bitmapType, uint16_t& channelType);
  Picture ReadChannels(size_t from, size_t to, int32_t width, int32_t height, const Attributes& attributes,
                       uint16_t compression, const std::vector<uint32_t>& palette);

  ByteReader& reader_;
  bool v3_;
  std::string_view formatName_;
  std::optional<Attributes> attributes_;
  std::vector<uint32_t> palette_;
  std::optional<Picture> composite_;
  std::optional<Picture> canvas_;  // the layers blended so far
};

}  // namespace vitrine::psp
