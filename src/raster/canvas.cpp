#include "raster/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

namespace vitrine {

namespace {

// Rectangles in 64 bits, so that x + width and similar never overflow before clipping.
struct Box {
  int64_t l, t, r, b;
  bool Empty() const { return r <= l || b <= t; }
  Box Intersect(const Box& o) const {
    return {std::max(l, o.l), std::max(t, o.t), std::min(r, o.r), std::min(b, o.b)};
  }
  Rect ToRect() const { return Empty() ? Rect{} : Rect{int32_t(l), int32_t(t), int32_t(r), int32_t(b)}; }
};

Box ToBox(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// ---- pixel kernels -------------------------------------------------------------------------

template <class D, class S>
inline D Convert(S s) {
  if constexpr (std::is_same_v<D, S>) {
    return s;
  } else if constexpr (std::is_same_v<D, uint16_t>) {
    return D(((s >> 8) & 0xF800) | ((s >> 5) & 0x07E0) | ((s >> 3) & 0x001F));
  } else {
    // 5 and 6 bit channels widened with their high bits repeated, so white stays white.
    uint32_t r = (s >> 11) & 31, g = (s >> 5) & 63, b = s & 31;
    return D(((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2));
  }
}

// The bits a pixel of the format uses; NOT must leave the unused byte of 32 bpp at zero.
template <class D>
constexpr D kPixelMask = std::is_same_v<D, uint16_t> ? D(0xFFFF) : D(0x00FFFFFF);

template <RasterOp Op, class D>
inline D Apply(D d, D s) {
  if constexpr (Op == RasterOp::SrcCopy) return s;
  else if constexpr (Op == RasterOp::SrcAnd) return D(d & s);
  else if constexpr (Op == RasterOp::SrcPaint) return D(d | s);
  else if constexpr (Op == RasterOp::SrcInvert) return D(d ^ s);
  else if constexpr (Op == RasterOp::NotSrcCopy) return D(~s & kPixelMask<D>);
  else return D(~d & kPixelMask<D>);
}

using RowFn = void (*)(uint8_t* dst, const uint8_t* src, int32_t n);
using StretchRowFn = void (*)(uint8_t* dst, const uint8_t* src, const int32_t* xmap, int32_t n);

template <class D, class S, RasterOp Op>
void RowKernel(uint8_t* dst, const uint8_t* src, int32_t n) {
  if constexpr (std::is_same_v<D, S> && Op == RasterOp::SrcCopy) {
    std::memcpy(dst, src, size_t(n) * sizeof(D));
  } else {
    D* d = reinterpret_cast<D*>(dst);
    const S* s = reinterpret_cast<const S*>(src);
    for (int32_t i = 0; i < n; ++i) d[i] = Apply<Op, D>(d[i], Convert<D, S>(s[i]));
  }
}

template <class D, class S, RasterOp Op>
void StretchKernel(uint8_t* dst, const uint8_t* src, const int32_t* xmap, int32_t n) {
  D* d = reinterpret_cast<D*>(dst);
  const S* s = reinterpret_cast<const S*>(src);
  for (int32_t i = 0; i < n; ++i) d[i] = Apply<Op, D>(d[i], Convert<D, S>(s[xmap[i]]));
}

template <class D, class S>
struct KernelTable {
  static RowFn Row(RasterOp op) {
    switch (op) {
      case RasterOp::SrcCopy: return RowKernel<D, S, RasterOp::SrcCopy>;
      case RasterOp::SrcAnd: return RowKernel<D, S, RasterOp::SrcAnd>;
      case RasterOp::SrcPaint: return RowKernel<D, S, RasterOp::SrcPaint>;
      case RasterOp::SrcInvert: return RowKernel<D, S, RasterOp::SrcInvert>;
      case RasterOp::NotSrcCopy: return RowKernel<D, S, RasterOp::NotSrcCopy>;
      case RasterOp::DstInvert: return RowKernel<D, S, RasterOp::DstInvert>;
    }
    return nullptr;
  }
  static StretchRowFn Stretch(RasterOp op) {
    switch (op) {
      case RasterOp::SrcCopy: return StretchKernel<D, S, RasterOp::SrcCopy>;
      case RasterOp::SrcAnd: return StretchKernel<D, S, RasterOp::SrcAnd>;
      case RasterOp::SrcPaint: return StretchKernel<D, S, RasterOp::SrcPaint>;
      case RasterOp::SrcInvert: return StretchKernel<D, S, RasterOp::SrcInvert>;
      case RasterOp::NotSrcCopy: return StretchKernel<D, S, RasterOp::NotSrcCopy>;
      case RasterOp::DstInvert: return StretchKernel<D, S, RasterOp::DstInvert>;
    }
    return nullptr;
  }
};

template <class Fn>
Fn PickKernel(PixelFormat dst, PixelFormat src, RasterOp op) {
  using K16_16 = KernelTable<uint16_t, uint16_t>;
  using K16_32 = KernelTable<uint16_t, uint32_t>;
  using K32_16 = KernelTable<uint32_t, uint16_t>;
  using K32_32 = KernelTable<uint32_t, uint32_t>;
  const bool d16 = dst == PixelFormat::Rgb565, s16 = src == PixelFormat::Rgb565;
  if constexpr (std::is_same_v<Fn, RowFn>) {
    return d16 ? (s16 ? K16_16::Row(op) : K16_32::Row(op)) : (s16 ? K32_16::Row(op) : K32_32::Row(op));
  } else {
    return d16 ? (s16 ? K16_16::Stretch(op) : K16_32::Stretch(op))
               : (s16 ? K32_16::Stretch(op) : K32_32::Stretch(op));
  }
}

// Solid runs are written eight bytes at a time. The 4-byte pattern holds two identical 16-bit
// pixels or one 32-bit pixel, so it repeats correctly from any pixel boundary.
void FillRow(uint8_t* dst, size_t bytes, uint32_t pattern) {
  const uint64_t wide = uint64_t(pattern) | uint64_t(pattern) << 32;
  while (bytes >= 32) {
    std::memcpy(dst, &wide, 8);
    std::memcpy(dst + 8, &wide, 8);
    std::memcpy(dst + 16, &wide, 8);
    std::memcpy(dst + 24, &wide, 8);
    dst += 32;
    bytes -= 32;
  }
  while (bytes >= 8) {
    std::memcpy(dst, &wide, 8);
    dst += 8;
    bytes -= 8;
  }
  std::memcpy(dst, &wide, bytes);
}

template <class D>
void InvertRow(uint8_t* dst, int32_t n) {
  D* d = reinterpret_cast<D*>(dst);
  for (int32_t i = 0; i < n; ++i) d[i] = D(d[i] ^ kPixelMask<D>);
}

// ---- clipping ------------------------------------------------------------------------------

// Calls f(y, x0, x1) for every run of pixels of 'area' (already inside the target) that the
// clip region lets through, row by row, walking the region's bands and spans.
template <class F>
void ForEachRun(const Region* clip, const Rect& area, F&& f) {
  if (area.Empty()) return;
  if (!clip) {
    for (int32_t y = area.top; y < area.bottom; ++y) f(y, area.left, area.right);
    return;
  }
  const auto& bands = clip->Bands();
  auto band = std::upper_bound(bands.begin(), bands.end(), area.top,
                               [](int32_t v, const Region::Band& b) { return v < b.y1; });
  std::vector<std::pair<int32_t, int32_t>> runs;
  for (; band != bands.end() && band->y0 < area.bottom; ++band) {
    runs.clear();
    auto span = std::upper_bound(band->spans.begin(), band->spans.end(), area.left,
                                 [](int32_t v, const std::pair<int32_t, int32_t>& s) { return v < s.second; });
    for (; span != band->spans.end() && span->first < area.right; ++span)
      runs.emplace_back(std::max(span->first, area.left), std::min(span->second, area.right));
    if (runs.empty()) continue;
    const int32_t y0 = std::max(band->y0, area.top), y1 = std::min(band->y1, area.bottom);
    for (int32_t y = y0; y < y1; ++y)
      for (const auto& [x0, x1] : runs) f(y, x0, x1);
  }
}

const Region* ClipOf(const std::optional<Region>& clip) { return clip ? &*clip : nullptr; }

Rect ClampedToBitmap(const Box& box, const Bitmap& bmp) {
  return box.Intersect({0, 0, bmp.Width(), bmp.Height()}).ToRect();
}

void FillArea(Bitmap& target, const Region* clip, const Rect& area, Color color) {
  const uint32_t pixel = PackPixel(target.Format(), color);
  const int bpp = target.BytesPerPixel();
  const uint32_t pattern = bpp == 2 ? pixel | pixel << 16 : pixel;
  ForEachRun(clip, area, [&](int32_t y, int32_t x0, int32_t x1) {
    FillRow(target.Row(y) + size_t(x0) * bpp, size_t(x1 - x0) * bpp, pattern);
  });
}

// The rounded minor-axis offset after i major steps of a line with extents (major, minor):
// i * minor / major rounded, exact halves rounded back toward the start.
int64_t LineOffset(uint64_t i, uint64_t major, uint64_t minor) {
  const uint64_t q = i * minor;
  const uint64_t d = q / major, r = q % major;
  return int64_t(d + (2 * r > major ? 1 : 0));
}

void BlitBoxes(Bitmap& target, const Region* clip, const Box& dest, const Bitmap& source, const Box& srcBox,
               RasterOp op) {
  if (target.Empty() || source.Empty() || dest.Empty() || srcBox.Empty()) return;
  const Bitmap* src = &source;
  Box from = srcBox;
  // Copying within one bitmap: take the source rectangle aside first, so overlapping rows
  // read the picture as it was.
  Bitmap aside;
  if (src == &target) {
    const Rect part = ClampedToBitmap(from, source);
    if (part.Empty()) return;
    aside.Reset(part.Width(), part.Height(), source.Format());
    for (int32_t y = part.top; y < part.bottom; ++y)
      std::memcpy(aside.Row(y - part.top), source.Row(y) + size_t(part.left) * source.BytesPerPixel(),
                  size_t(part.Width()) * source.BytesPerPixel());
    from = {from.l - part.left, from.t - part.top, from.r - part.left, from.b - part.top};
    src = &aside;
  }

  const int dbpp = target.BytesPerPixel(), sbpp = src->BytesPerPixel();
  const int64_t dw = dest.r - dest.l, dh = dest.b - dest.t;
  const int64_t sw = from.r - from.l, sh = from.b - from.t;
  const Box targetBox{0, 0, target.Width(), target.Height()};
  const Box srcBounds{0, 0, src->Width(), src->Height()};

  if (dw == sw && dh == sh) {
    const int64_t dx = from.l - dest.l, dy = from.t - dest.t;
    const Box readable = from.Intersect(srcBounds);
    const Box visible =
        dest.Intersect(targetBox).Intersect({readable.l - dx, readable.t - dy, readable.r - dx, readable.b - dy});
    const RowFn row = PickKernel<RowFn>(target.Format(), src->Format(), op);
    ForEachRun(clip, visible.ToRect(), [&](int32_t y, int32_t x0, int32_t x1) {
      row(target.Row(y) + size_t(x0) * dbpp, src->Row(int32_t(y + dy)) + size_t(x0 + dx) * sbpp, x1 - x0);
    });
    return;
  }

  // Stretch: dest column x reads source column from.l + (x - dest.l) * sw / dw, and likewise
  // for rows. Both maps are monotone, so the columns and rows that read inside the source
  // form one range each.
  const Rect visible = dest.Intersect(targetBox).ToRect();
  if (visible.Empty()) return;
  auto sourceX = [&](int64_t x) { return from.l + int64_t(uint64_t(x - dest.l) * uint64_t(sw) / uint64_t(dw)); };
  auto sourceY = [&](int64_t y) { return from.t + int64_t(uint64_t(y - dest.t) * uint64_t(sh) / uint64_t(dh)); };
  std::vector<int32_t> xmap(size_t(visible.Width()));
  int32_t validX0 = visible.right, validX1 = visible.left;
  for (int32_t x = visible.left; x < visible.right; ++x) {
    const int64_t sx = sourceX(x);
    if (sx < 0 || sx >= src->Width()) continue;
    xmap[size_t(x - visible.left)] = int32_t(sx);
    validX0 = std::min(validX0, x);
    validX1 = x + 1;
  }
  if (validX0 >= validX1) return;
  const StretchRowFn stretch = PickKernel<StretchRowFn>(target.Format(), src->Format(), op);
  // Consecutive rows reading the same source row give the same pixels: with a plain copy the
  // previous row is copied instead of resampled.
  int32_t lastY = -1, lastX0 = 0, lastX1 = 0;
  int64_t lastSy = -1;
  ForEachRun(clip, Rect{validX0, visible.top, validX1, visible.bottom}, [&](int32_t y, int32_t x0, int32_t x1) {
    const int64_t sy = sourceY(y);
    if (sy < 0 || sy >= src->Height()) return;
    uint8_t* out = target.Row(y) + size_t(x0) * dbpp;
    if (op == RasterOp::SrcCopy && sy == lastSy && y == lastY + 1 && x0 == lastX0 && x1 == lastX1) {
      std::memcpy(out, target.Row(lastY) + size_t(x0) * dbpp, size_t(x1 - x0) * dbpp);
    } else {
      stretch(out, src->Row(int32_t(sy)), xmap.data() + (x0 - visible.left), x1 - x0);
    }
    lastY = y, lastX0 = x0, lastX1 = x1, lastSy = sy;
  });
}

}  // namespace

void Canvas::CopyRect(const Rect& dest, const Bitmap& src, const Rect& srcRect, RasterOp op) {
  if (op == RasterOp::DstInvert) {
    PatBlt(dest, op);
    return;
  }
  BlitBoxes(*target_, ClipOf(clip_), ToBox(dest), src, ToBox(srcRect), op);
}

void Canvas::Draw(int32_t x, int32_t y, const Bitmap& src) {
  BlitBoxes(*target_, ClipOf(clip_), Box{x, y, int64_t(x) + src.Width(), int64_t(y) + src.Height()}, src,
            ToBox(src.Bounds()), RasterOp::SrcCopy);
}

void Canvas::StretchDraw(const Rect& dest, const Bitmap& src) {
  BlitBoxes(*target_, ClipOf(clip_), ToBox(dest), src, ToBox(src.Bounds()), RasterOp::SrcCopy);
}

// Only DstInvert needs no source; the other operations have nothing to combine with here
// and leave the bitmap as it is.
void Canvas::PatBlt(const Rect& dest, RasterOp op) {
  if (op != RasterOp::DstInvert) return;
  Bitmap& target = *target_;
  const int bpp = target.BytesPerPixel();
  const bool is16 = target.Format() == PixelFormat::Rgb565;
  ForEachRun(ClipOf(clip_), dest.Intersect(target.Bounds()), [&](int32_t y, int32_t x0, int32_t x1) {
    uint8_t* row = target.Row(y) + size_t(x0) * bpp;
    if (is16) InvertRow<uint16_t>(row, x1 - x0);
    else InvertRow<uint32_t>(row, x1 - x0);
  });
}

void Canvas::FillRect(const Rect& r, Color color) {
  FillArea(*target_, ClipOf(clip_), r.Intersect(target_->Bounds()), color);
}

void Canvas::FillRegion(const Region& region, Color color) {
  if (clip_) {
    const Region visible = Region::Combine(region, *clip_, CombineMode::And);
    FillArea(*target_, &visible, target_->Bounds(), color);
  } else {
    FillArea(*target_, &region, target_->Bounds(), color);
  }
}

// Pixels follow the closed form of Bresenham's walk, so a line can start at any major step:
// only the steps that land inside the bitmap are visited, whatever the end points. Exact
// half-pixel ties round toward the start point; GDI breaks some of those ties the other
// way depending on the octant.
void Canvas::Line(Point from, Point to, Color pen) {
  Bitmap& target = *target_;
  const Region* clip = ClipOf(clip_);
  const int64_t x0 = from.x, y0 = from.y;
  const int64_t dx = int64_t(to.x) - x0, dy = int64_t(to.y) - y0;
  if (dy == 0) {
    if (dx == 0) return;
    const Box row = dx > 0 ? Box{x0, y0, x0 + dx, y0 + 1} : Box{x0 + dx + 1, y0, x0 + 1, y0 + 1};
    FillArea(target, clip, ClampedToBitmap(row, target), pen);
    return;
  }
  if (dx == 0) {
    const Box col = dy > 0 ? Box{x0, y0, x0 + 1, y0 + dy} : Box{x0, y0 + dy + 1, x0 + 1, y0 + 1};
    FillArea(target, clip, ClampedToBitmap(col, target), pen);
    return;
  }
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const uint64_t major = uint64_t(xMajor ? std::abs(dx) : std::abs(dy));
  const uint64_t minor = uint64_t(xMajor ? std::abs(dy) : std::abs(dx));
  const int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
  const int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1, minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
  const int64_t majorSize = xMajor ? target.Width() : target.Height();
  const int64_t minorSize = xMajor ? target.Height() : target.Width();
  // Steps i in [0, major) whose major coordinate lies in [0, majorSize).
  int64_t first = majorStep > 0 ? -majorStart : majorStart - majorSize + 1;
  int64_t last = majorStep > 0 ? majorSize - majorStart : majorStart + 1;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, int64_t(major));
  const uint32_t pixel = PackPixel(target.Format(), pen);
  for (int64_t i = first; i < last; ++i) {
    const int64_t m = minorStart + minorStep * LineOffset(uint64_t(i), major, minor);
    if (m < 0 || m >= minorSize) continue;
    const int32_t x = int32_t(xMajor ? majorStart + majorStep * i : m);
    const int32_t y = int32_t(xMajor ? m : majorStart + majorStep * i);
    if (clip && !clip->Contains(x, y)) continue;
    target.SetRawPixel(x, y, pixel);
  }
}

// Like the regions, shapes put their corners in order first.
void Canvas::Rectangle(const Rect& given, Color pen, std::optional<Color> brush) {
  const Rect r = Region::Ordered(given);
  if (r.Empty()) return;
  const int64_t height = int64_t(r.bottom) - r.top;
  if (brush && int64_t(r.right) - r.left > 2 && height > 2) FillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, *brush);
  FillRect({r.left, r.top, r.right, r.top + 1}, pen);
  FillRect({r.left, r.bottom - 1, r.right, r.bottom}, pen);
  if (height > 2) {
    FillRect({r.left, r.top + 1, r.left + 1, r.bottom - 1}, pen);
    FillRect({r.right - 1, r.top + 1, r.right, r.bottom - 1}, pen);
  }
}

// The outline is the ring of pixels of the elliptic region that have a 4-neighbour outside
// it: a closed one-pixel curve. GDI's pen walks its own midpoint curve, which can put a few
// outline pixels one step away from these on wide, flat ellipses.
void Canvas::Ellipse(const Rect& r, Color pen, std::optional<Color> brush) {
  const Region shape = Region::FromEllipse(r);
  if (shape.Empty()) return;
  // An ellipse has one span per row. Only the rows of the bitmap and one beyond each edge
  // matter; a pixel is interior when the rows above and below also cover it.
  const int32_t first = std::max(shape.Bounds().top, -1);
  const int32_t last = std::min(shape.Bounds().bottom, target_->Height() + 1);
  if (first >= last) return;
  std::vector<std::pair<int32_t, int32_t>> rows(size_t(last - first), {0, 0});
  for (const Region::Band& band : shape.Bands())
    for (int32_t y = std::max(band.y0, first); y < std::min(band.y1, last); ++y)
      rows[size_t(y - first)] = band.spans.front();
  auto span = [&](int32_t y) {
    return y < first || y >= last ? std::pair<int32_t, int32_t>{0, 0} : rows[size_t(y - first)];
  };
  for (int32_t y = std::max(first, 0); y < std::min(last, target_->Height()); ++y) {
    const auto [a, b] = span(y);
    if (a >= b) continue;
    const auto [a1, b1] = span(y - 1);
    const auto [a2, b2] = span(y + 1);
    int32_t inner0 = std::max({a + 1, a1, a2}), inner1 = std::min({b - 1, b1, b2});
    if (a1 >= b1 || a2 >= b2 || inner0 >= inner1) inner0 = inner1 = b;
    if (brush && inner0 < inner1) FillRect({inner0, y, inner1, y + 1}, *brush);
    FillRect({a, y, inner0, y + 1}, pen);
    FillRect({inner1, y, b, y + 1}, pen);
  }
}

void Canvas::Polygon(std::span<const Point> points, Color pen, std::optional<Color> brush, FillMode mode) {
  if (points.empty()) return;
  if (brush) FillRegion(Region::FromPolygon(points, mode), *brush);
  for (size_t k = 0; k < points.size(); ++k) Line(points[k], points[(k + 1) % points.size()], pen);
}

Bitmap MakeMask(const Bitmap& src, Color key) {
  Bitmap mask(src.Width(), src.Height(), src.Format());
  const PixelFormat f = src.Format();
  const uint32_t keyPixel = PackPixel(f, key), white = PackPixel(f, kWhite);
  const uint32_t bits = f == PixelFormat::Rgb565 ? 0xFFFF : 0x00FFFFFF;
  for (int32_t y = 0; y < src.Height(); ++y)
    for (int32_t x = 0; x < src.Width(); ++x)
      if ((src.RawPixel(x, y) & bits) == keyPixel) mask.SetRawPixel(x, y, white);
  return mask;
}

}  // namespace vitrine
