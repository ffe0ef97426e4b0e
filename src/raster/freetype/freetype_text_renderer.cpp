// Text through FreeType, faces found by fontconfig. Measures and places text the way GDI
// does for a logical font: cell height from the face's Windows ascent and descent, integer
// hinted advances without kerning, the cell's top-left at the given point.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "core/text.h"
#include "raster/text_renderer.h"

namespace vitrine {
namespace {

// Windows face names and the free faces with the same metrics (or at least the same
// kind). Anything else is asked of fontconfig by its own name, which falls back to a sans
// face when it has nothing better.
std::string SubstituteFamily(const std::string& windowsName) {
  static const std::map<std::string, std::string> kSubstitutes = {
      {"arial", "Liberation Sans"},           {"helvetica", "Liberation Sans"},
      {"ms sans serif", "Liberation Sans"},   {"microsoft sans serif", "Liberation Sans"},
      {"tahoma", "Liberation Sans"},          {"verdana", "DejaVu Sans"},
      {"arial narrow", "Liberation Sans Narrow"},
      {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
      {"ms serif", "Liberation Serif"},       {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},         {"lucida console", "Liberation Mono"},
  };
  auto it = kSubstitutes.find(AsciiLower(std::string(TrimControl(windowsName))));
  if (it != kSubstitutes.end()) return it->second;
  return Cp1252ToUtf8(windowsName);
}

struct Metrics {
  int32_t ascent = 0, descent = 0;
  int32_t underlinePos = 0, underlineThickness = 1;  // below the baseline, in pixels
  int32_t strikePos = 0, strikeThickness = 1;        // above the baseline
};

class FreeTypeTextRenderer final : public TextRenderer {
 public:
  FreeTypeTextRenderer() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    FcInit();
  }
  ~FreeTypeTextRenderer() override {
    for (auto& [key, face] : faces_)
      if (face) FT_Done_Face(face);
    if (library_) FT_Done_FreeType(library_);
  }

  TextExtent Measure(const Font& font, std::string_view text) override {
    FT_Face face = Prepare(font);
    if (!face) return {};
    Metrics m = MetricsOf(face);
    int32_t width = 0;
    for (unsigned char c : text) width += Advance(face, c);
    return {width, m.ascent + m.descent};
  }

  void Draw(Canvas& canvas, const Font& font, int32_t x, int32_t y, std::string_view text) override {
    FT_Face face = Prepare(font);
    if (!face) return;
    Metrics m = MetricsOf(face);
    const int32_t baseline = y + m.ascent;
    int32_t pen = x;
    for (unsigned char c : text) {
      FT_UInt glyph = FT_Get_Char_Index(face, Cp1252ToCodePoint(c));
      if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0 && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_Bitmap& bm = face->glyph->bitmap;
        BlendCoverage(canvas, bm, pen + face->glyph->bitmap_left, baseline - face->glyph->bitmap_top, font.Colour);
      }
      pen += Advance(face, c);
    }
    if (font.Underline)
      canvas.FillRect({x, baseline + m.underlinePos, pen, baseline + m.underlinePos + m.underlineThickness},
                  font.Colour);
    if (font.StrikeOut)
      canvas.FillRect({x, baseline - m.strikePos, pen, baseline - m.strikePos + m.strikeThickness}, font.Colour);
  }

 private:
  // The face for the font's name and style, sized for its height; nullptr when none exists.
  FT_Face Prepare(const Font& font) {
    if (!library_) return nullptr;
    std::string family = SubstituteFamily(font.Name);
    FT_Face face = FaceFor(family, font.Bold, font.Italic);
    if (!face) face = FaceFor("sans-serif", font.Bold, font.Italic);
    if (!face) return nullptr;
    SetHeight(face, font.Height);
    return face;
  }

  FT_Face FaceFor(const std::string& family, bool bold, bool italic) {
    auto key = std::make_tuple(family, bold, italic);
    if (auto it = faces_.find(key); it != faces_.end()) return it->second;
    FT_Face face = nullptr;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &face) != 0) face = nullptr;
        if (face) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    faces_[key] = face;
    return face;
  }

  // Negative heights are the em size; positive ones the cell (Windows ascent + descent).
  static void SetHeight(FT_Face face, int32_t height) {
    if (height == 0) height = -16;
    long em64;
    if (height < 0) {
      em64 = long(-height) * 64;
    } else {
      auto [ascent, descent] = WinAscentDescent(face);
      em64 = long(std::lround(double(height) * 64 * face->units_per_EM / double(ascent + descent)));
    }
    if (em64 > 64 * 2000) em64 = 64 * 2000;  // beyond any screen; keeps FreeType's numbers sane
    if (em64 < 64) em64 = 64;
    FT_Set_Char_Size(face, 0, em64, 72, 72);
  }

  static std::pair<long, long> WinAscentDescent(FT_Face face) {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) return {os2->usWinAscent, os2->usWinDescent};
    long a = face->ascender, d = -face->descender;
    if (a + d <= 0) a = face->units_per_EM, d = 0;
    return {a, d};
  }

  static Metrics MetricsOf(FT_Face face) {
    Metrics m;
    double scale = face->size->metrics.y_scale / 65536.0 / 64.0;  // font units -> pixels
    auto [ascent, descent] = WinAscentDescent(face);
    // Each rounded on its own, as GDI does for TrueType faces.
    m.ascent = int32_t(std::lround(ascent * scale));
    m.descent = int32_t(std::lround(descent * scale));
    m.underlineThickness = std::max<int32_t>(1, int32_t(std::lround(face->underline_thickness * scale)));
    m.underlinePos = std::max<int32_t>(1, int32_t(std::lround(-face->underline_position * scale)));
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->yStrikeoutSize > 0) {
      m.strikePos = int32_t(std::lround(os2->yStrikeoutPosition * scale));
      m.strikeThickness = std::max<int32_t>(1, int32_t(std::lround(os2->yStrikeoutSize * scale)));
    } else {
      m.strikePos = m.ascent / 3;
      m.strikeThickness = m.underlineThickness;
    }
    return m;
  }

  // The hinted advance of one ANSI character in whole pixels.
  static int32_t Advance(FT_Face face, unsigned char c) {
    FT_UInt glyph = FT_Get_Char_Index(face, Cp1252ToCodePoint(c));
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0) return 0;
    return int32_t((face->glyph->advance.x + 32) >> 6);
  }

  static bool Visible(Canvas& canvas, int32_t x, int32_t y) {
    const auto& clip = canvas.Clip();
    return !clip || clip->Contains(x, y);
  }

  // Anti-aliased coverage blended over what is there: only glyph pixels change.
  static void BlendCoverage(Canvas& canvas, const FT_Bitmap& bm, int32_t left, int32_t top, Color colour) {
    Bitmap& target = canvas.Target();
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    for (unsigned row = 0; row < bm.rows; ++row) {
      int32_t y = top + int32_t(row);
      if (y < 0 || y >= target.Height()) continue;
      const unsigned char* src = bm.buffer + ptrdiff_t(row) * bm.pitch;
      for (unsigned col = 0; col < bm.width; ++col) {
        unsigned a = src[col];
        int32_t x = left + int32_t(col);
        if (a == 0 || x < 0 || x >= target.Width() || !Visible(canvas, x, y)) continue;
        Color under = target.GetPixel(x, y);
        auto mix = [a](unsigned fg, unsigned bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
        target.SetPixel(x, y, RGBColor(uint8_t(mix(RedOf(colour), RedOf(under))), uint8_t(mix(GreenOf(colour), GreenOf(under))),
                                       uint8_t(mix(BlueOf(colour), BlueOf(under)))));
      }
    }
  }

  FT_Library library_ = nullptr;
  std::map<std::tuple<std::string, bool, bool>, FT_Face> faces_;
};

}  // namespace

std::unique_ptr<TextRenderer> CreateTextRenderer() { return std::make_unique<FreeTypeTextRenderer>(); }

}  // namespace vitrine
