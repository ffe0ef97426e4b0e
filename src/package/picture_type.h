#pragma once
// The picture type code of a file name: which reader decodes it.
#include <cstdint>
#include <string_view>

namespace vitrine {

constexpr int32_t kNoPictureType = -1;

// 1 bitmap, 2 JPEG, 3 SGI, 4 Autodesk, 5 TIFF, 6 Targa, 7 PCX, 8 Photo CD, 9 PPM, 10 CUT,
// 11 GIF, 12 RLA, 13 PSD, 14 PSP, 15 PNG; -1 for anything else.
int32_t PictureTypeOfFile(std::string_view name);

}  // namespace vitrine
