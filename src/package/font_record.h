#pragma once
// A font as data: what an item record says about its caption or description font. Drawing
// it is the text renderer's business.
#include <cstdint>
#include <string>
#include <string_view>

#include "package/record_fields.h"

namespace vitrine {

constexpr int32_t kDefaultCharset = 1;  // DEFAULT_CHARSET

struct FontRecord {
  std::string Name = "Arial";
  int32_t Height = -16;  // negative: character height in pixels (12 points at 96 dpi)
  int32_t Color = 0;     // 0x00BBGGRR
  int32_t Charset = kDefaultCharset;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;

  // Style digits: "1" bold, "2" italic, "3" underline, "4" strike-out; each adds its style.
  void AddStyle(std::string_view digits);
  // The style digits that give this font's style, in ascending order.
  std::string StyleDigits() const;
};

// The five fields of a font in an item record, keyed by their offset from the font's first
// key (9 for the caption font, 19 for the description font).
FieldTable<FontRecord> FontFields();

}  // namespace vitrine
