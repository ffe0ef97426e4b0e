#include "flash/swf/rasterizer.h"

#include <algorithm>

namespace vitrine::swf {

void Rasterizer::Begin(const PixelBox& box, bool evenOdd) {
  box_ = box;
  evenOdd_ = evenOdd;
  int32_t w = std::max(box.right - box.left, 0), h = std::max(box.bottom - box.top, 0);
  stride_ = size_t(w) + 2;
  size_t need = stride_ * size_t(h);
  // Rows are cleared as they are swept, so the buffer only grows.
  if (acc_.size() < need) acc_.assign(need, 0.0f);
  if (cov_.size() < stride_) cov_.resize(stride_);
  if (touched_.size() < size_t(h)) touched_.assign(h, Touched{});
  rowMin_ = INT32_MAX;
  rowMax_ = INT32_MIN;
}

// Once a row a line crosses: kept in the lines' loop.
[[gnu::always_inline]] inline void Rasterizer::Touch(int32_t row, int32_t lo, int32_t hi) {
  Touched& t = touched_[size_t(row)];
  // Keeps the wider of two untouched stretches.
  auto gap = [&t](int32_t from, int32_t to) {
    if (to - from > t.gapHi - t.gapLo) {
      t.gapLo = from;
      t.gapHi = to;
    }
  };
  if (t.lo > t.hi) {
    t.lo = lo;
    t.hi = hi;
  } else if (lo > t.hi + 1) {  // right of all so far, with room between
    gap(t.hi + 1, lo - 1);
    t.hi = hi;
  } else if (hi < t.lo - 1) {  // left of all so far
    gap(hi + 1, t.lo - 1);
    t.lo = lo;
  } else {
    t.lo = std::min(t.lo, lo);
    t.hi = std::max(t.hi, hi);
    if (lo <= t.gapHi && hi >= t.gapLo) {  // into the gap: what is left of it on either side
      const int32_t leftLo = t.gapLo, leftHi = lo - 1, rightLo = hi + 1, rightHi = t.gapHi;
      t.gapLo = 1;
      t.gapHi = 0;
      gap(leftLo, leftHi);
      gap(rightLo, rightHi);
    }
  }
}

namespace {

// floor and ceil of a number from 0 to 2^31 (all the cells' coordinates are), the same as
// std::floor and std::ceil give without the library call a plain SSE2 build makes of them.
inline int32_t FloorOf(double v) { return int32_t(v); }
inline int32_t CeilOf(double v) {
  int32_t i = int32_t(v);
  return i + (double(i) < v);
}

}  // namespace

void Rasterizer::Line(double x0, double y0, double x1, double y1) {
  // Wholly above or below the box, as most lines of a shape are to a band it crosses.
  if (std::max(y0, y1) <= box_.top || std::min(y0, y1) >= box_.bottom) return;
  if (box_.Empty()) return;
  if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) return;
  double w = box_.right - box_.left, h = box_.bottom - box_.top;
  x0 -= box_.left;
  x1 -= box_.left;
  y0 -= box_.top;
  y1 -= box_.top;
  if (y0 == y1) return;
  // Most lines lie inside the box and need no cutting.
  if (std::min(x0, x1) >= 0 && std::max(x0, x1) <= w && std::min(y0, y1) >= 0 && std::max(y0, y1) <= h) {
    Cells(x0, y0, x1, y1);
    return;
  }
  // Clip to the rows, then split where the line crosses the box's left and right sides:
  // a piece left of the box becomes a vertical line on its left side (it covers the whole
  // row to the right), a piece right of it one on its right side (it covers nothing inside).
  double ya = std::min(y0, y1), yb = std::max(y0, y1);
  if (yb <= 0 || ya >= h) return;
  auto at = [&](double t, double& x, double& y) {
    x = x0 + (x1 - x0) * t;
    y = y0 + (y1 - y0) * t;
  };
  double t0 = 0, t1 = 1;
  double ty0 = (0 - y0) / (y1 - y0), tyh = (h - y0) / (y1 - y0);
  t0 = std::max(t0, std::min(ty0, tyh));
  t1 = std::min(t1, std::max(ty0, tyh));
  if (t0 >= t1) return;
  double ts[6] = {t0, t1, t1, t1, t1, t1};
  int n = 1;
  if (x0 != x1) {
    for (double edge : {0.0, w}) {
      double t = (edge - x0) / (x1 - x0);
      if (t > t0 && t < t1) ts[n++] = t;
    }
  }
  ts[n++] = t1;
  // At most four cuts: insertion order, then one small sort by hand.
  for (int i = 1; i < n; ++i)
    for (int j = i; j > 0 && ts[j] < ts[j - 1]; --j) std::swap(ts[j], ts[j - 1]);
  for (int i = 0; i + 1 < n; ++i) {
    if (ts[i + 1] <= ts[i]) continue;
    double ax, ay, bx, by;
    at(ts[i], ax, ay);
    at(ts[i + 1], bx, by);
    ax = std::clamp(ax, 0.0, w);
    bx = std::clamp(bx, 0.0, w);
    ay = std::clamp(ay, 0.0, h);
    by = std::clamp(by, 0.0, h);
    Cells(ax, ay, bx, by);
  }
}

// The signed-area accumulation of one line inside the box (all coordinates within it).
void Rasterizer::Cells(double px0, double py0, double px1, double py1) {
  if (py0 == py1) return;
  float dir = 1;
  if (py0 > py1) {
    std::swap(px0, px1);
    std::swap(py0, py1);
    dir = -1;
  }
  const double dxdy = (px1 - px0) / (py1 - py0);
  const int32_t w = box_.right - box_.left;
  const int32_t yStart = std::max(FloorOf(py0), 0);
  const int32_t yEnd = std::min(CeilOf(py1), box_.bottom - box_.top);
  if (yEnd <= yStart) return;
  work_ += uint64_t(yEnd - yStart);
  rowMin_ = std::min(rowMin_, yStart);
  rowMax_ = std::max(rowMax_, yEnd - 1);
  // The area the line closes off in row y, where it runs from x to xnext over a height of d
  // (signed by its direction).
  auto row = [&](int32_t y, double x, double xnext, float d) __attribute__((always_inline)) {
    float* a = acc_.data() + size_t(y) * stride_;
    double xa = std::min(x, xnext), xb = std::max(x, xnext);
    int32_t xai = FloorOf(xa);
    double xaFloor = xai;
    int32_t xbi = CeilOf(xb);
    double xbCeil = xbi;
    xai = std::clamp(xai, 0, w);
    if (xbi <= xai + 1) {
      float xmf = float(0.5 * (x + xnext) - xaFloor);
      a[xai] += d - d * xmf;
      a[xai + 1] += d * xmf;
      Touch(y, xai, xai + 1);
      return;
    }
    xbi = std::min(xbi, w + 1);
    double s = 1.0 / (xb - xa);
    double xaf = xa - xaFloor;
    float a0 = float(0.5 * s * (1 - xaf) * (1 - xaf));
    double xbf = xb - xbCeil + 1;
    float am = float(0.5 * s * xbf * xbf);
    a[xai] += d * a0;
    if (xbi == xai + 2) {
      a[xai + 1] += d * (1 - a0 - am);
    } else {
      float a1 = float(s * (1.5 - xaf));
      a[xai + 1] += d * (a1 - a0);
      for (int32_t xi = xai + 2; xi < xbi - 1; ++xi) a[xi] += d * float(s);
      float a2 = a1 + float(xbi - xai - 3) * float(s);
      a[xbi - 1] += d * (1 - a2 - am);
    }
    a[xbi] += d * am;
    Touch(y, xai, xbi);
  };
  // The first and last rows may be crossed in part; every row between them wholly, where
  // the line moves by dxdy a row.
  double x = px0;
  double dy = std::min(double(yStart + 1), py1) - std::max(double(yStart), py0);
  double xnext = x + dxdy * dy;
  row(yStart, x, xnext, float(dy) * dir);
  for (int32_t y = yStart + 1; y < yEnd - 1; ++y) {
    x = xnext;
    xnext = x + dxdy;
    row(y, x, xnext, dir);
  }
  if (yEnd - 1 > yStart) {
    x = xnext;
    dy = std::min(double(yEnd), py1) - double(yEnd - 1);
    row(yEnd - 1, x, x + dxdy * dy, float(dy) * dir);
  }
}

void Rasterizer::Quad(double x0, double y0, double cx, double cy, double x1, double y1) {
  double ddx = x0 - 2 * cx + x1, ddy = y0 - 2 * cy + y1;
  // A quadratic strays at most |p0 - 2c + p1| / 4 from its chord; n pieces cut that by n^2.
  double dev = std::sqrt(ddx * ddx + ddy * ddy);
  int n = int(std::ceil(std::sqrt(dev)));
  n = std::clamp(n, 1, 256);
  double px = x0, py = y0;
  for (int i = 1; i <= n; ++i) {
    double t = double(i) / n, u = 1 - t;
    double qx = u * u * x0 + 2 * u * t * cx + t * t * x1;
    double qy = u * u * y0 + 2 * u * t * cy + t * t * y1;
    Line(px, py, qx, qy);
    px = qx;
    py = qy;
  }
}

}  // namespace vitrine::swf
