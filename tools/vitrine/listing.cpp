#include "listing.h"

#include "core/errors.h"
#include "core/stream.h"
#include "imaging/jpeg_reader.h"
#include "json.h"
#include "package/picture_info.h"
#include "package/picture_loading.h"
#include "package/picture_type.h"
#include "transitions/catalogue.h"

namespace vitrine::tool {

std::string GroupedNumber(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return n < 0 ? "-" + out : out;
}

std::string KindName(int32_t kind) {
  switch (kind) {
    case kKindPicture: return "picture";
    case kKindFlash: return "Flash movie";
    case kKindVideo: return "video";
    default: return "kind " + std::to_string(kind);
  }
}

std::string DurationText(int64_t ms) {
  int64_t seconds = (ms + 500) / 1000;
  char text[32];
  if (seconds >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  return text;
}

std::string TransitionsText(const std::vector<int32_t>& indices, std::vector<int32_t>& outside) {
  bool whole = indices.size() == static_cast<size_t>(kTransitionCount);
  for (size_t i = 0; whole && i < indices.size(); ++i) whole = indices[i] == static_cast<int32_t>(i);
  if (whole) return "all " + std::to_string(kTransitionCount);
  if (indices.empty()) return "none";
  std::string out;
  for (int32_t index : indices) {
    if (!out.empty()) out += ", ";
    if (index == -1) {
      out += "none (-1)";
    } else if (index < 0 || index >= kTransitionCount) {
      out += "#" + std::to_string(index);
      outside.push_back(index);
    } else {
      out += TransitionCatalogue()[static_cast<size_t>(index)].name;
    }
  }
  return out;
}

PictureCheck CheckPicture(const std::vector<uint8_t>& data, int32_t type) {
  PictureCheck check;
  MemoryStream stream;
  stream.Write(data.data(), data.size());
  stream.Rewind();
  Bitmap bitmap;
  try {
    // A JPEG decodes at the reduced scale a 1080p show would use; its size comes from its header.
    if (!LoadPictureFromStream(stream, bitmap, type, 1920, 1080)) {
      check.failure = "has no picture type the player can decode";
      return check;
    }
  } catch (const vitrine::Error& e) {
    check.failure = std::string("does not decode as ") + PictureTypeName(type) + ": " + DisplayText(e.what());
    return check;
  } catch (const std::bad_alloc&) {
    check.failure = std::string("is too large to decode as ") + PictureTypeName(type);
    return check;
  }
  check.width = bitmap.Width();
  check.height = bitmap.Height();
  if (type == 2) {
    JpegHeader header = ReadJpegHeader(data);
    bool turned = header.orientation >= 5;
    check.width = turned ? header.height : header.width;
    check.height = turned ? header.width : header.height;
  }
  return check;
}

}  // namespace vitrine::tool
