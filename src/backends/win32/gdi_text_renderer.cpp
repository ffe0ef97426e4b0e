#include "backends/win32/gdi_text_renderer.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace vitrine {
namespace {

// Windows faces that a system may lack, with their metric-compatible twins (the same
// advances, so that a text takes the room it takes on Windows) and the kind of face to ask
// for when no twin is there either.
struct FaceTwin {
  const char* face;
  const char* twin;
  BYTE pitchAndFamily;
};
constexpr FaceTwin kFaceTwins[] = {
    {"arial", "Liberation Sans", VARIABLE_PITCH | FF_SWISS},
    {"helvetica", "Liberation Sans", VARIABLE_PITCH | FF_SWISS},
    {"times new roman", "Liberation Serif", VARIABLE_PITCH | FF_ROMAN},
    {"times", "Liberation Serif", VARIABLE_PITCH | FF_ROMAN},
    {"courier new", "Liberation Mono", FIXED_PITCH | FF_MODERN},
    {"courier", "Liberation Mono", FIXED_PITCH | FF_MODERN},
    {"lucida console", "Liberation Mono", FIXED_PITCH | FF_MODERN},
};

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

LOGFONTA LogicalFont(const Font& font, const char* face, BYTE pitchAndFamily) {
  LOGFONTA lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = font.Height;
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfStrikeOut = font.StrikeOut;
  lf.lfCharSet = BYTE(font.Charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

// Whether the system has the face itself (rather than handing out its default face).
// The answer is kept: fonts are not installed while a show runs.
bool HasFace(HDC dc, const char* face) {
  static std::map<std::string, bool> known;
  auto it = known.find(Lower(face));
  if (it != known.end()) return it->second;
  LOGFONTA query;
  std::memset(&query, 0, sizeof query);
  query.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExA(
      dc, &query, [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) WINAPI -> int {
        *reinterpret_cast<bool*>(data) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  known[Lower(face)] = found;
  return found;
}

HFONT CreateLogicalFont(HDC dc, const Font& font) {
  LOGFONTA lf = LogicalFont(font, font.Name.c_str(), DEFAULT_PITCH | FF_DONTCARE);
  std::string name = Lower(font.Name);
  for (const FaceTwin& known : kFaceTwins) {
    if (name != known.face || HasFace(dc, font.Name.c_str())) continue;
    // A face the system lacks: its twin, else a face of its kind.
    lf = HasFace(dc, known.twin) ? LogicalFont(font, known.twin, known.pitchAndFamily)
                                 : LogicalFont(font, "", known.pitchAndFamily);
    break;
  }
  return CreateFontIndirectA(&lf);
}

// Selects a font into the DC for one call and puts the old one back.
class SelectedFont {
 public:
  SelectedFont(HDC dc, const Font& font) : dc_(dc), font_(CreateLogicalFont(dc, font)) {
    old_ = font_ ? SelectObject(dc_, font_) : nullptr;
  }
  ~SelectedFont() {
    if (old_) SelectObject(dc_, old_);
    if (font_) DeleteObject(font_);
  }
  bool Ok() const { return font_ != nullptr; }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

}  // namespace

GdiTextRenderer::GdiTextRenderer() : dc_(CreateCompatibleDC(nullptr)) {}

GdiTextRenderer::~GdiTextRenderer() {
  if (dc_) DeleteDC(static_cast<HDC>(dc_));
}

TextExtent GdiTextRenderer::Measure(const Font& font, std::string_view text) {
  HDC dc = static_cast<HDC>(dc_);
  if (!dc) return {};
  SelectedFont selected(dc, font);
  if (!selected.Ok()) return {};
  SIZE size{0, 0};
  if (text.empty()) {
    TEXTMETRICA tm;
    if (GetTextMetricsA(dc, &tm)) size.cy = tm.tmHeight;
  } else {
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
  }
  return {int32_t(size.cx), int32_t(size.cy)};
}

// GDI draws into a DIB section that first receives the pixels beneath, so anti-aliased edges
// blend with the real background; the result goes back through the canvas's clip.
void GdiTextRenderer::Draw(Canvas& canvas, const Font& font, int32_t x, int32_t y, std::string_view text) {
  HDC dc = static_cast<HDC>(dc_);
  if (!dc || text.empty()) return;
  TextExtent extent = Measure(font, text);
  // Italic and some glyphs hang past their advances: a margin of one cell height each side.
  const int32_t margin = extent.height;
  Bitmap& target = canvas.Target();
  Rect area = Rect{x - margin, y, x + extent.width + margin, y + extent.height}.Intersect(target.Bounds());
  if (area.Empty()) return;
  const int32_t w = area.Width(), h = area.Height();

  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down, like Bitmap
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) return;
  HGDIOBJ oldBitmap = SelectObject(dc, dib);

  Bitmap work(w, h, PixelFormat::Xrgb8888);
  Canvas(work).CopyRect(work.Bounds(), target, area);
  for (int32_t row = 0; row < h; ++row)
    std::memcpy(static_cast<uint8_t*>(bits) + size_t(row) * w * 4, work.Row(row), size_t(w) * 4);

  {
    SelectedFont selected(dc, font);
    if (selected.Ok()) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, COLORREF(font.Colour));
      SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
      TextOutA(dc, x - area.left, y - area.top, text.data(), int(text.size()));
      GdiFlush();
    }
  }
  for (int32_t row = 0; row < h; ++row) {
    auto* px = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + size_t(row) * w * 4);
    auto* dst = reinterpret_cast<uint32_t*>(work.Row(row));
    for (int32_t col = 0; col < w; ++col) dst[col] = px[col] & 0x00FFFFFF;
  }
  SelectObject(dc, oldBitmap);
  DeleteObject(dib);
  canvas.CopyRect(area, work, work.Bounds());
}

std::unique_ptr<TextRenderer> CreateTextRenderer() { return std::make_unique<GdiTextRenderer>(); }

}  // namespace vitrine
