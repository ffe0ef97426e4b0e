#pragma once
// Small pieces of the listings the tool prints for people.
#include <cstdint>
#include <string>
#include <vector>

namespace vitrine::tool {

// 1234567 -> "1,234,567".
std::string GroupedNumber(int64_t n);
// "picture", "Flash movie", "video", or "kind N".
std::string KindName(int32_t kind);
// 205000 -> "3:25"; 3725000 -> "1:02:05".
std::string DurationText(int64_t ms);
// A transition list by catalogue names ("Fan wipe, Circle(Center)"); the whole catalogue in
// order reads "all 161". Indices outside the catalogue are listed as "#N" and collected in
// outside.
std::string TransitionsText(const std::vector<int32_t>& indices, std::vector<int32_t>& outside);

// A picture decoded as the show decodes it: its size, or why it does not decode.
struct PictureCheck {
  std::string failure;  // empty when it decodes
  int32_t width = 0, height = 0;
};
PictureCheck CheckPicture(const std::vector<uint8_t>& data, int32_t pictureType);

}  // namespace vitrine::tool
