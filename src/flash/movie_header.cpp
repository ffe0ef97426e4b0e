#include "flash/movie_header.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace vitrine {

namespace {

constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;

// Reads bits most significant first, then whole little-endian fields; every read checks
// the end and fails from then on.
class BodyReader {
 public:
  explicit BodyReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  size_t remaining() const { return ok_ ? bytes_.size() - pos_ : 0; }

  uint32_t Bits(int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
      if (pos_ >= bytes_.size()) {
        ok_ = false;
        return 0;
      }
      v = (v << 1) | ((bytes_[pos_] >> (7 - bit_)) & 1);
      if (++bit_ == 8) {
        bit_ = 0;
        ++pos_;
      }
    }
    return v;
  }
  int32_t SignedBits(int count) {
    uint32_t v = Bits(count);
    if (count > 0 && count < 32 && (v >> (count - 1)) & 1) v |= ~uint32_t(0) << count;
    return static_cast<int32_t>(v);
  }
  void Align() {
    if (bit_ != 0) {
      bit_ = 0;
      ++pos_;
    }
  }
  uint8_t U8() {
    Align();
    if (pos_ >= bytes_.size()) {
      ok_ = false;
      return 0;
    }
    return bytes_[pos_++];
  }
  uint16_t U16() {
    uint16_t lo = U8();
    return static_cast<uint16_t>(lo | (U8() << 8));
  }
  uint32_t U32() {
    uint32_t lo = U16();
    return lo | (uint32_t(U16()) << 16);
  }
  void Skip(uint32_t count) {
    Align();
    if (count > bytes_.size() - std::min(pos_, bytes_.size())) {
      ok_ = false;
      return;
    }
    pos_ += count;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  int bit_ = 0;
  bool ok_ = true;
};

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

void FindBackground(BodyReader& r, MovieHeader& header) {
  while (r.ok() && r.remaining() >= 2) {
    uint16_t codeAndLength = r.U16();
    uint16_t code = codeAndLength >> 6;
    uint32_t length = codeAndLength & 0x3F;
    if (length == 0x3F) length = r.U32();
    if (!r.ok() || code == kTagEnd || code == kTagShowFrame) return;
    if (code == kTagSetBackgroundColor) {
      if (length < 3) return;
      uint8_t red = r.U8(), green = r.U8(), blue = r.U8();
      if (r.ok()) header.background = RGBColor(red, green, blue);
      return;
    }
    r.Skip(length);
  }
}

}  // namespace

std::optional<MovieHeader> ReadMovieHeader(std::span<const uint8_t> fileStart) {
  if (fileStart.size() < 8) return std::nullopt;
  MovieHeader header;
  if (fileStart[1] != 'W' || fileStart[2] != 'S') return std::nullopt;
  if (fileStart[0] == 'C') header.compressed = true;
  else if (fileStart[0] != 'F') return std::nullopt;
  header.version = fileStart[3];
  header.fileLength = uint32_t(fileStart[4]) | (uint32_t(fileStart[5]) << 8) | (uint32_t(fileStart[6]) << 16) |
                      (uint32_t(fileStart[7]) << 24);

  std::span<const uint8_t> rest = fileStart.subspan(8);
  std::vector<uint8_t> inflated;
  if (header.compressed) {
    if (!InflatePrefix(rest, inflated)) return std::nullopt;
    rest = inflated;
  } else if (rest.size() > kMovieBodyLimit) {
    rest = rest.first(kMovieBodyLimit);
  }

  BodyReader r(rest);
  int bits = static_cast<int>(r.Bits(5));
  header.xMin = r.SignedBits(bits);
  header.xMax = r.SignedBits(bits);
  header.yMin = r.SignedBits(bits);
  header.yMax = r.SignedBits(bits);
  header.frameRate = r.U16();
  header.frameCount = r.U16();
  if (!r.ok()) return std::nullopt;
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
