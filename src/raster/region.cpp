#include "raster/region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vitrine {

namespace {

using Spans = std::vector<std::pair<int32_t, int32_t>>;

// Collects rows or bands top-down into canonical form: no empty bands, and a band that
// touches the previous one with the same spans extends it.
class BandBuilder {
 public:
  void Add(int32_t y0, int32_t y1, Spans&& spans) {
    if (spans.empty() || y1 <= y0) return;
    if (!bands_.empty() && bands_.back().y1 == y0 && bands_.back().spans == spans) {
      bands_.back().y1 = y1;
      return;
    }
    bands_.push_back({y0, y1, std::move(spans)});
  }
  std::vector<Region::Band> Take() { return std::move(bands_); }

 private:
  std::vector<Region::Band> bands_;
};

// Sorts spans and merges the overlapping or touching ones; drops empty ones.
void NormalizeSpans(Spans& spans) {
  std::sort(spans.begin(), spans.end());
  size_t out = 0;
  for (const auto& s : spans) {
    if (s.second <= s.first) continue;
    if (out > 0 && s.first <= spans[out - 1].second) {
      spans[out - 1].second = std::max(spans[out - 1].second, s.second);
    } else {
      spans[out++] = s;
    }
  }
  spans.resize(out);
}

bool Keep(CombineMode mode, bool inA, bool inB) {
  switch (mode) {
    case CombineMode::And: return inA && inB;
    case CombineMode::Or: return inA || inB;
    case CombineMode::Diff: return inA && !inB;
    case CombineMode::Xor: return inA != inB;
  }
  return false;
}

// One row's worth of the boolean operation: a sweep over the edges of both span lists.
Spans CombineSpans(const Spans& a, const Spans& b, CombineMode mode) {
  Spans out;
  out.reserve(a.size() + b.size());
  // Edge k of a list is spans[k / 2].first or .second; crossing it toggles membership.
  const size_t na = a.size() * 2, nb = b.size() * 2;
  auto edge = [](const Spans& s, size_t k) { return k & 1 ? s[k >> 1].second : s[k >> 1].first; };
  size_t i = 0, j = 0;
  bool inside = false;
  int32_t start = 0;
  while (i < na || j < nb) {
    int32_t x;
    if (j >= nb || (i < na && edge(a, i) <= edge(b, j))) x = edge(a, i);
    else x = edge(b, j);
    while (i < na && edge(a, i) == x) ++i;
    while (j < nb && edge(b, j) == x) ++j;
    bool now = Keep(mode, i & 1, j & 1);
    if (now != inside) {
      if (now) start = x;
      else out.emplace_back(start, x);
      inside = now;
    }
  }
  return out;
}

int32_t ClampToInt32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

// GDI orders the corners of a rectangle given the wrong way round before making a region.
Rect Region::Ordered(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

Region Region::FromRect(const Rect& given) {
  const Rect r = Ordered(given);
  if (r.Empty()) return {};
  std::vector<Band> bands;
  bands.push_back({r.top, r.bottom, {{r.left, r.right}}});
  return Region(std::move(bands));
}

// A pixel belongs to the ellipse when its centre lies inside or on the ellipse inscribed in
// the bounding box. GDI's own elliptic regions come from a midpoint scan whose rounding can
// differ from this by a pixel at the ends of some rows; this version is exactly symmetric.
Region Region::FromEllipse(const Rect& given) {
  const Rect bounds = Ordered(given);
  if (bounds.Empty()) return {};
  const int64_t l = bounds.left, t = bounds.top, r = bounds.right, b = bounds.bottom;
  const int64_t w = r - l, h = b - t;
  const int64_t y0 = std::max<int64_t>(t, -kShapeLimit), y1 = std::min<int64_t>(b, kShapeLimit);
  const bool exact = w < 65536 && h < 65536;
  BandBuilder builder;
  for (int64_t y = y0; y < y1; ++y) {
    // With u = 2y + 1 - t - b and v = 2x + 1 - l - r (twice the offsets of the pixel centre
    // from the ellipse centre), the pixel is inside when v^2 h^2 + u^2 w^2 <= w^2 h^2.
    const int64_t u = 2 * y + 1 - t - b;
    int64_t vm;
    if (exact) {
      const uint64_t hh = uint64_t(h) * uint64_t(h);
      const uint64_t n = uint64_t(w) * uint64_t(w) * (hh - uint64_t(u * u));
      vm = int64_t(std::sqrt(double(n) / double(hh)));
      while (vm > 0 && uint64_t(vm) * uint64_t(vm) * hh > n) --vm;
      while (uint64_t(vm + 1) * uint64_t(vm + 1) * hh <= n) ++vm;
    } else {
      const double du = double(u) / double(h);
      vm = int64_t(std::floor(double(w) * std::sqrt(std::max(0.0, 1.0 - du * du))));
    }
    // v has the parity of 1 - l - r.
    if (((vm + 1 - l - r) & 1) != 0) --vm;
    if (vm < 0) continue;
    const int64_t xmin = (-vm + l + r - 1) / 2, xmax = (vm + l + r - 1) / 2 + 1;
    const int64_t cx0 = std::max<int64_t>(xmin, -kShapeLimit), cx1 = std::min<int64_t>(xmax, kShapeLimit);
    if (cx0 >= cx1) continue;
    builder.Add(int32_t(y), int32_t(y + 1), Spans{{int32_t(cx0), int32_t(cx1)}});
  }
  return Region(builder.Take());
}

// A scanline fill sampled at pixel centres: row y is cut at y + 0.5, and pixel x is inside
// when x + 0.5 lies at or right of an entering crossing and left of the leaving one. This
// matches GDI's rule (left and top edges in, right and bottom edges out) for the straight
// edges the show uses; crossings landing exactly on a pixel centre follow the same
// half-open rule, which GDI's integer edge walk can place one pixel differently.
Region Region::FromPolygon(std::span<const Point> points, FillMode mode) {
  if (points.size() < 3) return {};
  struct Edge {
    int64_t x0, y0, dx, dy;  // dy > 0 after orienting top-down
    int32_t ymin, ymax;
    int dir;
  };
  std::vector<Edge> edges;
  edges.reserve(points.size());
  int64_t top = std::numeric_limits<int64_t>::max(), bottom = std::numeric_limits<int64_t>::min();
  bool small = true;
  for (size_t k = 0; k < points.size(); ++k) {
    Point p = points[k], q = points[(k + 1) % points.size()];
    small = small && std::abs(int64_t(p.x)) < (1 << 28) && std::abs(int64_t(p.y)) < (1 << 28);
    top = std::min<int64_t>(top, p.y);
    bottom = std::max<int64_t>(bottom, p.y);
    if (p.y == q.y) continue;
    int dir = 1;
    if (p.y > q.y) {
      std::swap(p, q);
      dir = -1;
    }
    edges.push_back({p.x, p.y, int64_t(q.x) - p.x, int64_t(q.y) - p.y, p.y, q.y, dir});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.ymin < b.ymin; });

  const int64_t y0 = std::max<int64_t>(top, -kShapeLimit), y1 = std::min<int64_t>(bottom, kShapeLimit);
  BandBuilder builder;
  std::vector<const Edge*> active;
  std::vector<std::pair<int64_t, int>> crossings;
  size_t next = 0;
  for (int64_t y = y0; y < y1; ++y) {
    while (next < edges.size() && edges[next].ymin <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const Edge* e) { return e->ymax <= y; });
    crossings.clear();
    for (const Edge* e : active) {
      if (e->ymin > y) continue;
      // First pixel whose centre is at or right of the crossing: ceil(xc - 0.5).
      int64_t first;
      if (small) {
        const int64_t num = 2 * e->x0 * e->dy + (2 * (y - e->y0) + 1) * e->dx - e->dy;
        first = -FloorDiv(-num, 2 * e->dy);
      } else {
        const double xc = double(e->x0) + (double(y - e->y0) + 0.5) * double(e->dx) / double(e->dy);
        first = int64_t(std::clamp(std::ceil(xc - 0.5), -4.0 * kShapeLimit, 4.0 * kShapeLimit));
      }
      crossings.emplace_back(std::clamp<int64_t>(first, -kShapeLimit, kShapeLimit), e->dir);
    }
    std::sort(crossings.begin(), crossings.end());
    Spans spans;
    if (mode == FillMode::Alternate) {
      for (size_t k = 0; k + 1 < crossings.size(); k += 2)
        spans.emplace_back(int32_t(crossings[k].first), int32_t(crossings[k + 1].first));
    } else {
      int winding = 0;
      int64_t start = 0;
      for (const auto& [x, dir] : crossings) {
        int before = winding;
        winding += dir;
        if (before == 0 && winding != 0) start = x;
        else if (before != 0 && winding == 0) spans.emplace_back(int32_t(start), int32_t(x));
      }
    }
    NormalizeSpans(spans);
    builder.Add(int32_t(y), int32_t(y + 1), std::move(spans));
  }
  return Region(builder.Take());
}

Rect Region::Bounds() const {
  if (bands_.empty()) return {};
  Rect r{std::numeric_limits<int32_t>::max(), bands_.front().y0, std::numeric_limits<int32_t>::min(),
         bands_.back().y1};
  for (const Band& b : bands_) {
    r.left = std::min(r.left, b.spans.front().first);
    r.right = std::max(r.right, b.spans.back().second);
  }
  return r;
}

bool Region::Contains(int32_t x, int32_t y) const {
  auto band = std::upper_bound(bands_.begin(), bands_.end(), y, [](int32_t v, const Band& b) { return v < b.y1; });
  if (band == bands_.end() || y < band->y0) return false;
  auto span = std::upper_bound(band->spans.begin(), band->spans.end(), x,
                               [](int32_t v, const std::pair<int32_t, int32_t>& s) { return v < s.second; });
  return span != band->spans.end() && x >= span->first;
}

// The bands of both regions are walked together; every stretch of rows over which neither
// region changes becomes one band of the result, its spans combined by the mode.
Region Region::Combine(const Region& a, const Region& b, CombineMode mode) {
  static const Spans kNone;
  const auto& ba = a.bands_;
  const auto& bb = b.bands_;
  BandBuilder builder;
  size_t i = 0, j = 0;
  int64_t y = std::numeric_limits<int64_t>::min();
  while (i < ba.size() || j < bb.size()) {
    if (i < ba.size() && ba[i].y1 <= y) { ++i; continue; }
    if (j < bb.size() && bb[j].y1 <= y) { ++j; continue; }
    const Band* A = i < ba.size() ? &ba[i] : nullptr;
    const Band* B = j < bb.size() ? &bb[j] : nullptr;
    // Nothing left on one side decides the rest for And (empty) and Diff/Or/Xor (copy).
    if (!A && (mode == CombineMode::And || mode == CombineMode::Diff)) break;
    if (!B && mode == CombineMode::And) break;
    int64_t lowest = std::min(A ? A->y0 : std::numeric_limits<int64_t>::max(),
                              B ? B->y0 : std::numeric_limits<int64_t>::max());
    y = std::max(y, lowest);
    const bool inA = A && A->y0 <= y, inB = B && B->y0 <= y;
    int64_t end = std::numeric_limits<int64_t>::max();
    if (A) end = std::min<int64_t>(end, inA ? A->y1 : A->y0);
    if (B) end = std::min<int64_t>(end, inB ? B->y1 : B->y0);
    builder.Add(int32_t(y), int32_t(end), CombineSpans(inA ? A->spans : kNone, inB ? B->spans : kNone, mode));
    y = end;
  }
  return Region(builder.Take());
}

// Every band boundary of every part cuts the result into stretches of rows; each part's
// spans are dropped into the stretches its bands cover, then each stretch is merged once.
Region Region::UnionOf(std::span<const Region> parts) {
  std::vector<int32_t> cuts;
  for (const Region& part : parts)
    for (const Band& band : part.bands_) {
      cuts.push_back(band.y0);
      cuts.push_back(band.y1);
    }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  if (cuts.size() < 2) return {};
  std::vector<Spans> rows(cuts.size() - 1);
  for (const Region& part : parts)
    for (const Band& band : part.bands_) {
      const size_t k0 = size_t(std::lower_bound(cuts.begin(), cuts.end(), band.y0) - cuts.begin());
      const size_t k1 = size_t(std::lower_bound(cuts.begin(), cuts.end(), band.y1) - cuts.begin());
      for (size_t k = k0; k < k1; ++k) rows[k].insert(rows[k].end(), band.spans.begin(), band.spans.end());
    }
  BandBuilder builder;
  for (size_t k = 0; k < rows.size(); ++k) {
    NormalizeSpans(rows[k]);
    builder.Add(cuts[k], cuts[k + 1], std::move(rows[k]));
  }
  return Region(builder.Take());
}

// Coordinates saturate at the int32 range; spans squeezed to nothing there drop out.
void Region::Offset(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  BandBuilder builder;
  for (Band& band : bands_) {
    for (auto& s : band.spans) {
      s.first = ClampToInt32(int64_t(s.first) + dx);
      s.second = ClampToInt32(int64_t(s.second) + dx);
    }
    NormalizeSpans(band.spans);
    builder.Add(ClampToInt32(int64_t(band.y0) + dy), ClampToInt32(int64_t(band.y1) + dy), std::move(band.spans));
  }
  bands_ = builder.Take();
}

}  // namespace vitrine
