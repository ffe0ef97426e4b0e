#pragma once
// A movie file opened whole: the FWS (plain), CWS (zlib) or ZWS (LZMA) wrapper undone, the
// header read, and the tags walked one at a time. Movies of a version after Flash 10 play
// when their FileAttributes do not ask for ActionScript 3; those that do are refused, so the
// item ends as a movie that failed to open.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vitrine::swf {

// Versions played whatever their scripts: the Flash 1 to Flash 10 file formats.
inline constexpr uint8_t kMaxVersion = 10;
inline constexpr uint16_t kFileAttributesTag = 69;
// The most bytes a movie body may inflate to; a larger movie is refused.
inline constexpr size_t kMaxBodyBytes = 64u << 20;

struct SwfFile {
  bool compressed = false;  // zlib or LZMA
  uint8_t version = 0;
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // twips
  uint16_t frameRate = 0;                           // 8.8 fixed point
  uint16_t frameCount = 0;
  std::vector<uint8_t> body;  // everything after the 8-byte file header, inflated
  size_t tagsStart = 0;       // offset in body of the first tag
};

// Nothing, with the reason in why, when the bytes are not a movie this player opens.
std::optional<SwfFile> OpenSwf(std::span<const uint8_t> file, std::string* why = nullptr);

struct Tag {
  uint16_t code = 0;
  size_t offset = 0;  // of the tag header, in the span walked
  std::span<const uint8_t> body;
};

// Walks the tags of a body (the movie's or a sprite's). A tag whose length runs past the
// end ends the walk, as does the End tag.
class TagWalker {
 public:
  explicit TagWalker(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Next(Tag& tag);
  size_t Position() const { return pos_; }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool done_ = false;
};

}  // namespace vitrine::swf
