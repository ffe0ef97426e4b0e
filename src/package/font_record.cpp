#include "package/font_record.h"

namespace vitrine {

void FontRecord::AddStyle(std::string_view digits) {
  for (char c : digits) {
    switch (c) {
      case '1': Bold = true; break;
      case '2': Italic = true; break;
      case '3': Underline = true; break;
      case '4': StrikeOut = true; break;
      default: break;
    }
  }
}

std::string FontRecord::StyleDigits() const {
  std::string out;
  if (Bold) out += '1';
  if (Italic) out += '2';
  if (Underline) out += '3';
  if (StrikeOut) out += '4';
  return out;
}

namespace {
using R = FontRecord;
const FieldSpec<R> kFontFields[] = {
    {"Charset", 0, FieldKind::Integer, &R::Charset, 0, "1", "character set (1: the system's default)"},
    {"Color", 1, FieldKind::Colour, &R::Color, 0, "random from the font colour table", "colour of the text"},
    {"Height", 2, FieldKind::Integer, &R::Height, 0, "-24 caption, -16 description",
     "negative: character height in pixels (-24 is 18 points on a 96-dpi screen)"},
    {"Name", 3, FieldKind::Text, &R::Name, 0, "Arial", "face name"},
    {"Style", 4, FieldKind::FontStyle, FieldAccessor<R>{&R::AddStyle, &R::StyleDigits}, 0, "none",
     "each digit adds a style: 1 bold, 2 italic, 3 underline, 4 strike-out"},
};
}  // namespace

FieldTable<FontRecord> FontFields() { return kFontFields; }

}  // namespace vitrine
