#pragma once
// The header of a Flash movie file: signature "FWS" (plain), "CWS" (everything after the
// first 8 bytes zlib-compressed) or "ZWS" (LZMA-compressed after 17 bytes), version, length, the frame rectangle in twips, the frame
// rate (8.8 fixed point) and the frame count; and the colour of the first
// SetBackgroundColor tag, when one comes before the first shown frame. Only the first bytes
// are read and inflated, never more than the limits below.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/file_system.h"
#include "raster/geometry.h"

namespace vitrine {

struct MovieHeader {
  bool compressed = false;
  uint8_t version = 0;
  uint32_t fileLength = 0;
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // twips
  uint16_t frameRate = 0;                           // 8.8 fixed point, frames per second
  uint16_t frameCount = 0;
  std::optional<Color> background;  // 0x00BBGGRR
};

// Bytes of the file that are looked at, and bytes of the body that are inflated.
inline constexpr size_t kMovieFilePrefix = 256 * 1024;
inline constexpr size_t kMovieBodyLimit = 64 * 1024;

// Nothing when the bytes do not start a movie this reader understands (wrong signature, a
// header cut short, a body that does not inflate).
std::optional<MovieHeader> ReadMovieHeader(std::span<const uint8_t> fileStart);
std::optional<MovieHeader> ReadMovieHeaderFile(FileSystem& files, const std::string& path);

}  // namespace vitrine
