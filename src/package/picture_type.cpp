#include "package/picture_type.h"

#include <string>

#include "core/text.h"

namespace vitrine {
namespace {

struct TypeRow {
  int32_t code;
  const char* extensions[6];
};

// Tested in this order; the first row with an extension the name's suffix begins with wins.
constexpr TypeRow kTypeRows[] = {
    {1, {".bmp", ".dib"}},
    {2, {".jpg", ".jpeg"}},
    {3, {".bw", ".rgb", ".rgba", ".sgi"}},
    {4, {".cel", ".pic"}},
    {5, {".tif", ".tiff"}},
    {6, {".tga", ".vst", ".icb", ".vda", ".win"}},
    {7, {".pcx", ".pcc", ".scr"}},
    {8, {".pcd"}},
    {9, {".ppm", ".pgm", ".pbm"}},
    {10, {".cut", ".pal"}},
    {11, {".gif"}},
    {12, {".rla", ".rpf"}},
    {13, {".psd", ".pdd"}},
    {14, {".psp"}},
    {15, {".png"}},
};

}  // namespace

int32_t PictureTypeOfFile(std::string_view name) {
  std::string text = AsciiLower(name);
  if (!text.empty() && text.back() == '.') text.pop_back();
  size_t dot = text.rfind('.');
  std::string suffix = "." + (dot == std::string::npos ? text : text.substr(dot + 1));
  for (const TypeRow& row : kTypeRows) {
    for (const char* ext : row.extensions) {
      if (ext && std::string_view(suffix).starts_with(ext)) return row.code;
    }
  }
  return kNoPictureType;
}

}  // namespace vitrine
