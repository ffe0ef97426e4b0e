#include "flash/swf/text_layout.h"

#include <algorithm>
#include <cmath>

namespace vitrine::swf {

// The names the Windows core fonts use (fontconfig maps them to their metric twins); a text
// field without a font is set in Times New Roman, as Flash Player sets it.
std::string DeviceFace(const std::string& name) {
  if (name == "_sans") return "Arial";
  if (name == "_serif" || name.empty()) return "Times New Roman";
  if (name == "_typewriter") return "Courier New";
  return name;
}

std::vector<TextLine> LayOutDeviceText(const EditText& edit, const Character* namedFont, TextRenderer& text,
                                       double scaleY, double wrapWidth, size_t maxLines) {
  const bool isFont = namedFont && namedFont->kind == Kind::Font;
  auto fontOf = [&](const TextRun* r) {
    Font f;
    std::string name = r && r->fontName ? *r->fontName
                       : !edit.fontName.empty() ? edit.fontName
                       : isFont ? namedFont->font.name
                                : std::string();
    f.Name = DeviceFace(name);
    f.Bold = r && r->bold ? *r->bold : edit.bold || (isFont && namedFont->font.bold);
    f.Italic = r && r->italic ? *r->italic : edit.italic || (isFont && namedFont->font.italic);
    f.Underline = r && r->underline ? *r->underline : edit.underline;
    double height = r && r->height ? *r->height : edit.height;
    f.Height = -std::max(1, int32_t(std::lround(std::min(height * scaleY, 1e6))));
    return f;
  };
  // The text's stretches of one format.
  struct Stretch {
    size_t begin, end;
    Font font;
    Rgba colour;
  };
  const std::string& s = edit.text;
  std::vector<Stretch> stretches;
  if (edit.runs.empty()) stretches.push_back({0, s.size(), fontOf(nullptr), edit.color});
  for (const TextRun& r : edit.runs)
    if (r.begin < std::min(r.end, s.size())) stretches.push_back({r.begin, std::min(r.end, s.size()), fontOf(&r), r.color.value_or(edit.color)});
  const Font plain = fontOf(nullptr);

  // The first stretch that ends after a (they lie in order).
  auto from = [&](size_t a) {
    return std::upper_bound(stretches.begin(), stretches.end(), a,
                            [](size_t at, const Stretch& st) { return at < st.end; });
  };
  // The pieces of text[a, b), each measured.
  auto lineOf = [&](size_t a, size_t b) {
    TextLine line;
    for (auto it = from(a); it != stretches.end() && it->begin < b; ++it) {
      const Stretch& st = *it;
      size_t lo = std::max(a, st.begin), hi = std::min(b, st.end);
      if (lo >= hi) continue;
      TextPiece piece;
      piece.text = std::string_view(s).substr(lo, hi - lo);
      piece.font = st.font;
      piece.colour = st.colour;
      TextExtent e = text.Measure(st.font, piece.text);
      piece.x = line.width;
      piece.width = e.width;
      piece.height = e.height;
      line.width += e.width;
      line.height = std::max(line.height, e.height);
      line.pieces.push_back(piece);
    }
    if (line.pieces.empty()) line.height = text.Measure(plain, "X").height;
    line.height = std::max(line.height, 1);
    return line;
  };
  auto width = [&](size_t a, size_t b) {
    double w = 0;
    for (auto it = from(a); it != stretches.end() && it->begin < b; ++it) {
      const Stretch& st = *it;
      size_t lo = std::max(a, st.begin), hi = std::min(b, st.end);
      if (lo < hi) w += text.Measure(st.font, std::string_view(s).substr(lo, hi - lo)).width;
    }
    return w;
  };

  std::vector<TextLine> lines;
  size_t start = 0;
  while (start <= s.size() && lines.size() < maxLines) {
    size_t end = s.find_first_of("\r\n", start);
    if (end == std::string::npos) end = s.size();
    // A wrapping field breaks a paragraph after the last space that keeps the line inside the
    // field (a word wider than the field stands alone). Widths add up word by word (a text's
    // width is its characters' advances), so a line costs its own length to find.
    size_t at = start;
    do {
      size_t lineEnd = end;
      if (std::isfinite(wrapWidth)) {
        double w = 0;
        size_t measured = at, search = at, cut = std::string::npos;
        while (true) {
          size_t stop = std::min(s.find(' ', search), end);
          w += width(measured, stop);
          measured = stop;
          if (stop == end) {
            if (w > wrapWidth && cut != std::string::npos) lineEnd = cut;
            break;
          }
          if (cut != std::string::npos && w > wrapWidth) {
            lineEnd = cut;
            break;
          }
          if (stop > at) cut = stop;
          search = stop + 1;
        }
      }
      lines.push_back(lineOf(at, lineEnd));
      at = lineEnd < end ? lineEnd + 1 : end;
    } while (at < end && lines.size() < maxLines);
    if (end + 1 < s.size() && s[end] == '\r' && s[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace vitrine::swf
