#include "flash/movie_header.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "core/lzma.h"
#include "flash/swf/records.h"

namespace vitrine {

namespace {

constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;

// Inflates at most kMovieBodyLimit bytes; a stream cut short gives what came out of it.
bool InflatePrefix(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  out.resize(kMovieBodyLimit);
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&z, Z_SYNC_FLUSH);
  size_t produced = out.size() - z.avail_out;
  inflateEnd(&z);
  out.resize(produced);
  return rc == Z_OK || rc == Z_STREAM_END || rc == Z_BUF_ERROR;
}

// The colour of the first SetBackgroundColor before the first frame, if the bytes hold one.
void FindBackground(swf::BitReader& r, MovieHeader& header) {
  try {
    while (r.Remaining() >= 2) {
      uint16_t codeAndLength = r.U16();
      uint16_t code = codeAndLength >> 6;
      uint32_t length = codeAndLength & 0x3F;
      if (length == 0x3F) length = r.U32();
      if (code == kTagEnd || code == kTagShowFrame) return;
      if (code == kTagSetBackgroundColor) {
        if (length < 3) return;
        uint8_t red = r.U8(), green = r.U8(), blue = r.U8();
        header.background = RGBColor(red, green, blue);
        return;
      }
      r.Skip(length);
    }
  } catch (const swf::SwfError&) {
    // A tag cut short by the end of what was read: no colour.
  }
}

}  // namespace

std::optional<MovieHeader> ReadMovieHeader(std::span<const uint8_t> fileStart) {
  if (fileStart.size() < 8) return std::nullopt;
  MovieHeader header;
  if (fileStart[1] != 'W' || fileStart[2] != 'S') return std::nullopt;
  if (fileStart[0] == 'C' || fileStart[0] == 'Z') header.compressed = true;
  else if (fileStart[0] != 'F') return std::nullopt;
  header.version = fileStart[3];
  header.fileLength = uint32_t(fileStart[4]) | (uint32_t(fileStart[5]) << 8) | (uint32_t(fileStart[6]) << 16) |
                      (uint32_t(fileStart[7]) << 24);

  std::span<const uint8_t> rest = fileStart.subspan(8);
  std::vector<uint8_t> inflated;
  if (fileStart[0] == 'Z') {
    // Compressed length, five LZMA properties, then the stream; its start is enough here.
    if (rest.size() < 9) return std::nullopt;
    LzmaDecode(rest.subspan(4, 5), rest.subspan(9), kMovieBodyLimit, inflated);
    rest = inflated;
  } else if (header.compressed) {
    if (!InflatePrefix(rest, inflated)) return std::nullopt;
    rest = inflated;
  } else if (rest.size() > kMovieBodyLimit) {
    rest = rest.first(kMovieBodyLimit);
  }

  swf::BitReader r(rest);
  try {
    swf::SwfRect frame = swf::ReadRect(r);
    header.xMin = frame.xMin;
    header.xMax = frame.xMax;
    header.yMin = frame.yMin;
    header.yMax = frame.yMax;
    header.frameRate = r.U16();
    header.frameCount = r.U16();
  } catch (const swf::SwfError&) {
    return std::nullopt;
  }
  FindBackground(r, header);
  return header;
}

std::optional<MovieHeader> ReadMovieHeaderFile(FileSystem& files, const std::string& path) {
  auto file = files.OpenRead(path);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes(kMovieFilePrefix);
  size_t got = 0;
  while (got < bytes.size()) {
    int64_t n = file->Read(bytes.data() + got, int64_t(bytes.size() - got));
    if (n <= 0) break;
    got += size_t(n);
  }
  bytes.resize(got);
  return ReadMovieHeader(bytes);
}

}  // namespace vitrine
