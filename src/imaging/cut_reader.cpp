#include "imaging/cut_reader.h"

#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/color_manager.h"
#include "imaging/decoders/cut_rle_decoder.h"

namespace vitrine {

namespace {

constexpr size_t kPaletteHeaderSize = 40;
constexpr size_t kPaletteBlock = 512;

std::vector<uint8_t> ReadWholeFile(FileSystem& files, const std::string& path) {
  std::vector<uint8_t> bytes;
  auto file = files.OpenRead(path);
  if (!file) return bytes;
  const int64_t size = file->Size();
  if (size <= 0 || size > (int64_t(1) << 30)) return bytes;
  bytes.resize(size_t(size));
  const int64_t got = file->Read(bytes.data(), size);
  bytes.resize(got > 0 ? size_t(got) : 0);
  return bytes;
}

// A Dr. Halo palette: "AH", the colour count and the channel maxima, then u16 R, G, B
// triples in 512-byte blocks that a triple never straddles. False when it isn't one.
bool ParsePalette(std::span<const uint8_t> bytes, TColorManager& colors) {
  try {
    ByteReader reader(bytes);
    if (reader.U8() != 'A' || reader.U8() != 'H') return false;
    reader.Seek(12);
    const size_t count = size_t(reader.U16LE()) + 1;
    uint32_t maxima[3];
    for (auto& m : maxima) {
      m = reader.U16LE();
      if (m == 0) m = 255;
    }
    reader.Seek(kPaletteHeaderSize);
    std::vector<uint32_t> palette;
    for (size_t i = 0; i < count && i < 256; ++i) {
      if (kPaletteBlock - reader.Position() % kPaletteBlock < 6) {
        const size_t next = (reader.Position() / kPaletteBlock + 1) * kPaletteBlock;
        if (next >= reader.Size()) break;
        reader.Seek(next);
      }
      if (reader.Remaining() < 6) break;
      uint32_t rgb[3];
      for (int c = 0; c < 3; ++c) rgb[c] = std::min<uint32_t>(255, reader.U16LE() * 255u / maxima[c]);
      palette.push_back(rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
    }
    if (palette.empty()) return false;
    colors.Palette = std::move(palette);
    return true;
  } catch (const ByteReader::OutOfData&) {
    return false;
  }
}

std::string WithExtension(const std::string& name, const std::string& extension) {
  const std::string ext = ExtractFileExt(name);
  return name.substr(0, name.size() - ext.size()) + extension;
}

}  // namespace

void TCUTGraphic::LoadFromFile(const std::string& fileName, FileSystem& files) {
  PaletteFileName = WithExtension(fileName, ".pal");
  files_ = &files;
  MemoryStream stream(ReadWholeFile(files, fileName));
  try {
    LoadFromStream(stream);
  } catch (...) {
    PaletteFileName.clear();
    files_ = nullptr;
    throw;
  }
  PaletteFileName.clear();
  files_ = nullptr;
}

void TCUTGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader reader(file);

  TColorManager colors;
  colors.SourceScheme = TColorScheme::Indexed;
  colors.SourceBitsPerSample = 8;
  colors.SourceSamplesPerPixel = 1;
  bool havePalette = false;
  if (files_ && !PaletteFileName.empty()) {
    for (const std::string& name : {PaletteFileName, WithExtension(PaletteFileName, ".PAL")}) {
      if (files_->Exists(name) && ParsePalette(ReadWholeFile(*files_, name), colors)) {
        havePalette = true;
        break;
      }
    }
  }
  if (!havePalette) colors.CreateGrayscalePalette(8);
  colors.SetupConversion();

  const uint16_t width = reader.U16LE(), height = reader.U16LE();
  reader.Skip(2);
  // Every row needs at least its two-byte length.
  CheckSize(width, height);
  if (size_t(height) * 2 > reader.Remaining()) Invalid();
  image_.Reset(width, height, PixelFormat::Xrgb8888);
  std::vector<uint8_t> row(width);
  TCUTRLEDecoder decoder;
  for (int32_t y = 0; y < height; ++y) {
    const size_t length = reader.U16LE();
    const auto packed = reader.Bytes(std::min(length, reader.Remaining()));
    std::fill(row.begin(), row.end(), 0);
    const uint8_t* source = packed.data();
    uint8_t* dest = row.data();
    decoder.Decode(source, dest, packed.size(), row.size());
    colors.ConvertRow(row.data(), image_.Row(y), width);
  }
}

}  // namespace vitrine
