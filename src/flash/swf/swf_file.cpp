#include "flash/swf/swf_file.h"

#include <zlib.h>

#include <algorithm>

#include "core/lzma.h"
#include "flash/swf/records.h"

namespace vitrine::swf {

namespace {

void Fail(std::string* why, const char* text) {
  if (why) *why = text;
}

// Inflates the whole stream, never more than limit bytes. A stream cut short keeps what
// came out of it, as the Flash player shows what it has loaded.
bool Inflate(std::span<const uint8_t> in, size_t expected, std::vector<uint8_t>& out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  // The declared length is only believed up to 1 MiB; beyond that the buffer grows as data comes.
  out.resize(std::clamp<size_t>(std::min<size_t>(expected, 1u << 20), 4096, kMaxBodyBytes));
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(std::min<size_t>(in.size(), UINT32_MAX));
  size_t produced = 0;
  int rc = Z_OK;
  while (true) {
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(out.size() - produced);
    rc = inflate(&z, Z_NO_FLUSH);
    produced = out.size() - z.avail_out;
    if (rc != Z_OK) break;
    if (z.avail_out == 0) {
      if (out.size() >= kMaxBodyBytes) break;
      out.resize(std::min(out.size() * 2, kMaxBodyBytes));
    }
  }
  inflateEnd(&z);
  out.resize(produced);
  return rc == Z_STREAM_END || rc == Z_BUF_ERROR || rc == Z_OK || (rc == Z_DATA_ERROR && produced > 0);
}

}  // namespace

// True when the movie's first tag is a FileAttributes whose ActionScript 3 flag is set.
bool UsesActionScript3(const SwfFile& swf) {
  TagWalker walker(std::span<const uint8_t>(swf.body).subspan(swf.tagsStart));
  Tag t;
  if (!walker.Next(t) || t.code != kFileAttributesTag) return false;
  return !t.body.empty() && (t.body[0] & 0x08);
}

std::optional<SwfFile> OpenSwf(std::span<const uint8_t> file, std::string* why) {
  if (file.size() < 8 || file[1] != 'W' || file[2] != 'S' || (file[0] != 'F' && file[0] != 'C' && file[0] != 'Z')) {
    Fail(why, "not a Flash movie");
    return std::nullopt;
  }
  SwfFile swf;
  swf.compressed = file[0] != 'F';
  swf.version = file[3];
  if (swf.version == 0) {
    Fail(why, "a movie version this player does not play");
    return std::nullopt;
  }
  uint32_t length = uint32_t(file[4]) | uint32_t(file[5]) << 8 | uint32_t(file[6]) << 16 | uint32_t(file[7]) << 24;
  std::span<const uint8_t> rest = file.subspan(8);
  if (file[0] == 'C') {
    if (!Inflate(rest, length > 8 ? length - 8 : 0, swf.body)) {
      Fail(why, "the compressed body does not inflate");
      return std::nullopt;
    }
  } else if (file[0] == 'Z') {
    // The compressed length (not needed), the five LZMA properties, then the raw stream,
    // whose size is the header's length less the 8 bytes of the header.
    if (rest.size() < 9) {
      Fail(why, "the movie header is cut short");
      return std::nullopt;
    }
    // A length too small to hold a header is no size at all: the stream's end marker (or
    // the end of its bytes) ends it then.
    size_t expected = length > 8 + 12 ? std::min<size_t>(length - 8, kMaxBodyBytes) : kMaxBodyBytes;
    // As with zlib, a stream cut short or damaged keeps what came out of it.
    LzmaDecode(rest.subspan(4, 5), rest.subspan(9), expected, swf.body);
    if (swf.body.empty()) {
      Fail(why, "the compressed body does not inflate");
      return std::nullopt;
    }
  } else {
    if (rest.size() > kMaxBodyBytes) rest = rest.first(kMaxBodyBytes);
    swf.body.assign(rest.begin(), rest.end());
  }
  try {
    BitReader r(swf.body);
    SwfRect frame = ReadRect(r);
    swf.xMin = frame.xMin;
    swf.xMax = frame.xMax;
    swf.yMin = frame.yMin;
    swf.yMax = frame.yMax;
    swf.frameRate = r.U16();
    swf.frameCount = r.U16();
    swf.tagsStart = r.Position();
  } catch (const SwfError&) {
    Fail(why, "the movie header is cut short");
    return std::nullopt;
  }
  // Later versions play when they are ActionScript 1 or 2; ActionScript 3 movies do not.
  if (swf.version > kMaxVersion && UsesActionScript3(swf)) {
    Fail(why, "a movie version this player does not play");
    return std::nullopt;
  }
  return swf;
}

bool TagWalker::Next(Tag& tag) {
  if (done_ || bytes_.size() - pos_ < 2) return false;
  uint16_t v = uint16_t(bytes_[pos_] | bytes_[pos_ + 1] << 8);
  size_t header = 2;
  uint32_t length = v & 0x3F;
  if (length == 0x3F) {
    if (bytes_.size() - pos_ < 6) return false;
    length = uint32_t(bytes_[pos_ + 2]) | uint32_t(bytes_[pos_ + 3]) << 8 | uint32_t(bytes_[pos_ + 4]) << 16 |
             uint32_t(bytes_[pos_ + 5]) << 24;
    header = 6;
  }
  if (length > bytes_.size() - pos_ - header) {
    done_ = true;
    return false;
  }
  tag.code = uint16_t(v >> 6);
  tag.offset = pos_;
  tag.body = bytes_.subspan(pos_ + header, length);
  pos_ += header + length;
  if (tag.code == 0) {
    done_ = true;
    return false;
  }
  return true;
}

}  // namespace vitrine::swf
