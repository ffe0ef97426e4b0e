#pragma once
// A manifest (JSON) turned into the content of a package, with every check the player would
// otherwise fail on at run time. Errors are UsageErrors whose text starts with the manifest
// path of the value at fault ("Pictures[3].CaptionFont.Color: ...").
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "json.h"
#include "package/package_writer.h"

namespace vitrine::tool {

// What one item of the package will be, for listings.
struct PlannedItem {
  std::string file;  // as the manifest names it
  int32_t kind = 0;
  int32_t pictureType = -1;
  int64_t size = 0;  // bytes stored in the package (0 when not embedded)
  int32_t width = 0, height = 0;  // decoded size of a picture
  bool embedded = true;
  std::string convertedFrom;  // "HEIC 4032x3024" when pack converted or shrank it
};

struct PackagePlan {
  PackageContent content;
  std::vector<PlannedItem> items;
  std::vector<std::string> music;  // files as the manifest names them
  std::vector<std::string> warnings;
  int64_t dataBytes = 0;  // pictures, banner and music together
  std::vector<std::string> skippedBad;  // with skipBad: "Pictures[3].File: x.heic does not decode: ..."
};

struct PlanOptions {
  int32_t maxWidth = 7680, maxHeight = 4320;  // larger pictures are shrunk at pack time
  bool skipBad = false;  // a picture that does not decode is left out instead of failing the pack
};

// Relative file names start at base. prefixBytes is the size of the player the package will
// be appended to (it counts against what the index can address).
// Pictures the player cannot read (HEIC, AVIF, WebP, JPEG XL) are converted, and pictures
// above the size limit shrunk, here; caption and description placeholders are filled from
// each picture's metadata.
PackagePlan PlanPackage(const Json& manifest, const std::filesystem::path& base, int64_t prefixBytes,
                        const PlanOptions& options = {});

// "#RRGGBB" as a Windows colour (0x00BBGGRR); false for anything else.
bool ParseHexColour(const std::string& text, int32_t& colour);
// A font size in points as the record's height (negative pixels on a 96-dpi screen).
int32_t HeightOfPoints(double points);
// The catalogue index of a transition name (ASCII case ignored), or -2 for none.
int32_t TransitionIndexOfName(const std::string& name);

}  // namespace vitrine::tool
