#pragma once
// Writing bitmaps out for people and tests to look at: PNG (8-bit RGB) and binary PPM.
#include <cstdint>
#include <string>
#include <vector>

#include "raster/bitmap.h"

namespace vitrine {

std::vector<uint8_t> EncodePng(const Bitmap& bitmap);
std::vector<uint8_t> EncodePpm(const Bitmap& bitmap);
// A 24-bit bottom-up Windows bitmap file (what the desktop snapshot is saved as).
std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap);
// Writes by the extension of path (.png, else PPM); false when the file can't be written.
bool WriteImageFile(const std::string& path, const Bitmap& bitmap);

}  // namespace vitrine
