#pragma once
// The picture type code of a file name: which reader decodes it.
#include <cstdint>
#include <span>
#include <string_view>

namespace vitrine {

constexpr int32_t kNoPictureType = -1;

// 1 bitmap, 2 JPEG, 3 SGI, 4 Autodesk, 5 TIFF, 6 Targa, 7 PCX, 8 Photo CD, 9 PPM, 10 CUT,
// 11 GIF, 12 RLA, 13 PSD, 14 PSP, 15 PNG; -1 for anything else.
int32_t PictureTypeOfFile(std::string_view name);

// The picture type that a file's first bytes name, for the formats that carry a signature
// (all but Targa, CUT and RLA); -1 when they name none. Photo CD is recognised from its
// 2,048th byte on, so give at least that much of the file.
int32_t PictureTypeOfContent(std::span<const uint8_t> bytes);

// "JPEG", "PNG", ...: the format a picture type code stands for; "none" outside 1 to 15.
const char* PictureTypeName(int32_t type);

}  // namespace vitrine
