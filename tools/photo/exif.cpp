#include "photo/exif.h"

#include <cstring>

namespace vitrine::photo {
namespace {

// Bounded reads in the TIFF block's byte order.
class TiffReader {
 public:
  TiffReader(std::span<const uint8_t> data, bool bigEndian) : data_(data), big_(bigEndian) {}
  bool Has(uint64_t at, uint64_t n) const { return at <= data_.size() && n <= data_.size() - at; }
  uint16_t U16(uint64_t at) const {
    if (!Has(at, 2)) return 0;
    const uint8_t* p = data_.data() + at;
    return big_ ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
  }
  uint32_t U32(uint64_t at) const {
    if (!Has(at, 4)) return 0;
    const uint8_t* p = data_.data() + at;
    return big_ ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
  // An ASCII value of an entry at entryAt (type 2); trailing NULs and blanks dropped.
  std::string Ascii(uint64_t entryAt) const {
    if (U16(entryAt + 2) != 2) return {};
    uint32_t count = U32(entryAt + 4);
    uint64_t at = count <= 4 ? entryAt + 8 : U32(entryAt + 8);
    if (!Has(at, count)) return {};
    std::string text(reinterpret_cast<const char*>(data_.data() + at), count);
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
  }
  // A SHORT or LONG value held in the entry itself.
  uint32_t Number(uint64_t entryAt) const {
    uint16_t type = U16(entryAt + 2);
    if (type == 3) return U16(entryAt + 8);
    if (type == 4) return U32(entryAt + 8);
    return 0;
  }

 private:
  std::span<const uint8_t> data_;
  bool big_;
};

constexpr uint16_t kImageDescription = 0x010E, kMake = 0x010F, kModel = 0x0110, kOrientation = 0x0112,
                   kDateTime = 0x0132, kExifIfd = 0x8769, kDateTimeOriginal = 0x9003;

template <class Visit>
void WalkDirectory(const TiffReader& tiff, uint32_t at, Visit visit) {
  uint16_t count = tiff.U16(at);
  if (!tiff.Has(at + 2, uint64_t(count) * 12)) return;
  for (uint16_t i = 0; i < count; ++i) {
    uint64_t entry = at + 2 + uint64_t(i) * 12;
    visit(tiff.U16(entry), entry);
  }
}

}  // namespace

ExifFacts ReadExif(std::span<const uint8_t> block) {
  ExifFacts facts;
  if (block.size() >= 6 && std::memcmp(block.data(), "Exif\0\0", 6) == 0) block = block.subspan(6);
  if (block.size() < 8) return facts;
  bool big = block[0] == 'M' && block[1] == 'M';
  if (!big && !(block[0] == 'I' && block[1] == 'I')) return facts;
  TiffReader tiff(block, big);
  if (tiff.U16(2) != 42) return facts;
  std::string dateTime, original;
  uint32_t exifIfd = 0;
  WalkDirectory(tiff, tiff.U32(4), [&](uint16_t tag, uint64_t entry) {
    switch (tag) {
      case kImageDescription: facts.description = tiff.Ascii(entry); break;
      case kMake: facts.make = tiff.Ascii(entry); break;
      case kModel: facts.model = tiff.Ascii(entry); break;
      case kDateTime: dateTime = tiff.Ascii(entry); break;
      case kExifIfd: exifIfd = tiff.Number(entry); break;
      case kOrientation: {
        uint32_t o = tiff.Number(entry);
        if (o >= 1 && o <= 8) facts.orientation = int(o);
        break;
      }
    }
  });
  if (exifIfd)
    WalkDirectory(tiff, exifIfd, [&](uint16_t tag, uint64_t entry) {
      if (tag == kDateTimeOriginal) original = tiff.Ascii(entry);
    });
  // Cameras without a clock write "0000:00:00 00:00:00" or blanks: no date at all.
  auto usable = [](const std::string& d) { return d.size() >= 10 && d.compare(0, 4, "0000") != 0 && d[0] != ' '; };
  facts.dateTaken = usable(original) ? original : usable(dateTime) ? dateTime : std::string();
  return facts;
}

JpegMetadata ReadJpegMetadata(std::span<const uint8_t> jpeg) {
  JpegMetadata meta;
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return meta;
  static const char kXmpId[] = "http://ns.adobe.com/xap/1.0/";
  size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    uint8_t marker = jpeg[at + 1];
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01 || marker == 0xFF) {
      at += marker == 0xFF ? 1 : 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) break;  // the scan: no more header segments
    size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (length < 2 || at + 2 + length > jpeg.size()) break;
    std::span<const uint8_t> body = jpeg.subspan(at + 4, length - 2);
    if (marker == 0xE1 && meta.exif.empty() && body.size() >= 6 && std::memcmp(body.data(), "Exif\0\0", 6) == 0)
      meta.exif.assign(body.begin() + 6, body.end());
    else if (marker == 0xE1 && meta.xmp.empty() && body.size() > sizeof kXmpId &&
             std::memcmp(body.data(), kXmpId, sizeof kXmpId) == 0)
      meta.xmp.assign(reinterpret_cast<const char*>(body.data()) + sizeof kXmpId, body.size() - sizeof kXmpId);
    at += 2 + length;
  }
  return meta;
}

namespace {

std::string DecodeEntities(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&')
      for (const auto& [name, c] : kEntities)
        if (text.compare(i, std::strlen(name), name) == 0) {
          out += c;
          i += std::strlen(name);
          replaced = true;
          break;
        }
    if (!replaced) out += text[i++];
  }
  return out;
}

}  // namespace

std::string XmpTitle(const std::string& xmp) {
  size_t open = xmp.find("<dc:title");
  if (open == std::string::npos) return {};
  size_t close = xmp.find("</dc:title>", open);
  if (close == std::string::npos) return {};
  std::string inner = xmp.substr(open, close - open);
  size_t li = inner.find("<rdf:li");
  size_t start = inner.find('>', li == std::string::npos ? 0 : li);
  if (start == std::string::npos) return {};
  size_t end = inner.find('<', start + 1);
  std::string title = inner.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
  while (!title.empty() && (title.back() == ' ' || title.back() == '\n' || title.back() == '\r' || title.back() == '\t'))
    title.pop_back();
  size_t first = title.find_first_not_of(" \r\n\t");
  return first == std::string::npos ? std::string() : DecodeEntities(title.substr(first));
}

}  // namespace vitrine::photo
