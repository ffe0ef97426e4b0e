#include "imaging/rla_reader.h"

#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/color_manager.h"
#include "imaging/decoders/rla_decoder.h"

namespace vitrine {

namespace {

constexpr size_t kHeaderSize = 740;
constexpr int16_t kStorageFloat = 4;

}  // namespace

void TRLAGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader reader(file);
  if (reader.Size() < kHeaderSize) Invalid();
  reader.Seek(8);
  const int32_t left = reader.S16BE(), right = reader.S16BE(), bottom = reader.S16BE(), top = reader.S16BE();
  reader.Seek(18);
  const int16_t storage = reader.S16BE(), channels = reader.S16BE(), mattes = reader.S16BE(), aux = reader.S16BE();
  reader.Seek(658);
  int16_t bits = reader.S16BE();
  const int32_t width = right - left + 1, height = top - bottom + 1;
  if (channels < 1 || channels > 4 || mattes < 0 || aux < 0) Invalid();
  CheckSize(width, height);
  if (bits == 0) bits = 8;  // old writers leave it unset
  if (storage == kStorageFloat || (bits != 8 && bits != 16)) throw EInvalidGraphic::InvalidColorFormat();
  const size_t bytesPerSample = size_t(bits) / 8;
  const int used = channels >= 3 ? 3 : 1;
  // A run of two bytes gives at most 128: refuse sizes the file can't fill.
  if (uint64_t(width) * uint64_t(height) * bytesPerSample * uint64_t(used) > uint64_t(reader.Size()) * 64) Invalid();

  // One absolute offset per stored row, bottom row first, each past the table.
  reader.Seek(kHeaderSize);
  if (size_t(height) * 4 > reader.Remaining()) Invalid();
  std::vector<uint32_t> offsets(static_cast<size_t>(height));
  for (auto& offset : offsets) {
    offset = reader.U32BE();
    if (offset < kHeaderSize + size_t(height) * 4 || offset >= reader.Size()) Invalid();
  }

  TColorManager colors;
  colors.SourceScheme = used == 3 ? TColorScheme::RGB : TColorScheme::Gray;
  colors.SourceBitsPerSample = bits;
  colors.SourceSamplesPerPixel = used;
  colors.SourceBigEndian = true;
  colors.SetupConversion();

  image_.Reset(width, height, PixelFormat::Xrgb8888);
  const size_t planeBytes = size_t(width) * bytesPerSample;
  std::vector<uint8_t> planar(planeBytes), planes(planeBytes * size_t(used));
  std::vector<const uint8_t*> rows(static_cast<size_t>(used));
  TRLADecoder decoder;
  for (int32_t i = 0; i < height; ++i) {
    reader.Seek(offsets[size_t(i)]);
    for (int c = 0; c < used; ++c) {
      const auto packed = reader.Bytes(reader.U16BE());
      std::fill(planar.begin(), planar.end(), 0);
      const uint8_t* source = packed.data();
      uint8_t* dest = planar.data();
      decoder.Decode(source, dest, packed.size(), planar.size());
      // Wide samples come byte-planar: all high bytes of the row, then all low bytes.
      uint8_t* plane = planes.data() + size_t(c) * planeBytes;
      if (bytesPerSample == 1) {
        std::copy(planar.begin(), planar.end(), plane);
      } else {
        for (size_t x = 0; x < size_t(width); ++x) {
          plane[2 * x] = planar[x];
          plane[2 * x + 1] = planar[size_t(width) + x];
        }
      }
      rows[size_t(c)] = plane;
    }
    colors.ConvertRow(rows, image_.Row(height - 1 - i), width);
  }
}

}  // namespace vitrine
