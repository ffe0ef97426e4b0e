#include "package/picture_type.h"

#include <cstring>
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

bool StartsWith(std::span<const uint8_t> bytes, size_t at, std::string_view signature) {
  return bytes.size() >= at + signature.size() && std::memcmp(bytes.data() + at, signature.data(), signature.size()) == 0;
}

constexpr const char* kTypeNames[] = {"none", "bitmap", "JPEG", "SGI", "Autodesk", "TIFF", "Targa", "PCX",
                                      "Photo CD", "PPM", "CUT", "GIF", "RLA", "PSD", "Paint Shop Pro", "PNG"};

}  // namespace

int32_t PictureTypeOfContent(std::span<const uint8_t> b) {
  using namespace std::string_view_literals;
  if (StartsWith(b, 0, "BM")) return 1;
  if (StartsWith(b, 0, "\xFF\xD8\xFF"sv)) return 2;
  if (StartsWith(b, 0, "\x01\xDA"sv)) return 3;
  if (StartsWith(b, 0, "\x19\x91"sv)) return 4;
  if (StartsWith(b, 0, "II*\0"sv) || StartsWith(b, 0, "MM\0*"sv)) return 5;
  // PCX: manufacturer 10, a known version, plain or run-length encoding, a usual sample depth.
  if (b.size() >= 4 && b[0] == 0x0A && (b[1] <= 5 && b[1] != 1) && b[2] <= 1 &&
      (b[3] == 1 || b[3] == 2 || b[3] == 4 || b[3] == 8))
    return 7;
  if (StartsWith(b, 2048, "PCD_IPI")) return 8;
  if (b.size() >= 3 && b[0] == 'P' && b[1] >= '1' && b[1] <= '6' && (b[2] == ' ' || b[2] == '\n' || b[2] == '\r' ||
                                                                    b[2] == '\t' || b[2] == '#'))
    return 9;
  if (StartsWith(b, 0, "GIF87a") || StartsWith(b, 0, "GIF89a")) return 11;
  if (StartsWith(b, 0, "8BPS")) return 13;
  if (StartsWith(b, 0, "Paint Shop Pro Image File")) return 14;
  if (StartsWith(b, 0, "\x89PNG\r\n\x1A\n"sv)) return 15;
  return kNoPictureType;
}

const char* PictureTypeName(int32_t type) { return type >= 1 && type <= 15 ? kTypeNames[type] : kTypeNames[0]; }

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
