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

}  // namespace vitrine
