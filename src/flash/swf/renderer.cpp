#include "flash/swf/renderer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <limits>
#include <numeric>
#include <thread>

#include "flash/swf/avm1/object.h"
#include "flash/swf/covered_rows.h"
#include "flash/swf/effects.h"
#include "flash/swf/radial_pad.h"
#include "flash/swf/spans.h"
#include "flash/swf/text_layout.h"
#include "raster/canvas.h"

namespace vitrine::swf {

namespace {

constexpr double kGradientHalf = 16384;  // the gradient square runs from -16384 to 16384
constexpr double kTolerance = 0.25;      // pixels between a curve and its flattened lines
constexpr double kPi = 3.14159265358979323846;

struct Point {
  double x, y;
};

struct Polyline {
  std::vector<Point> points;
  bool closed = false;
  double left = 1e30, top = 1e30, right = -1e30, bottom = -1e30;
  void Add(double x, double y) {
    points.push_back({x, y});
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

uint32_t Premultiply(Rgba c) {
  uint32_t a = c.a;
  return a << 24 | Div255(c.r * a) << 16 | Div255(c.g * a) << 8 | Div255(c.b * a);
}

double SrgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double LinearToSrgb(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055; }

// Flattens one path's edges, mapped by m, into a polyline.
void Flatten(const Path& path, const Matrix& m, Polyline& out, size_t& points) {
  out.points.clear();
  out.left = out.top = 1e30;
  out.right = out.bottom = -1e30;
  if (path.edges.empty()) return;
  double x, y;
  m.Apply(path.edges.front().x0, path.edges.front().y0, x, y);
  out.Add(x, y);
  for (const Edge& e : path.edges) {
    double x0, y0, x1, y1;
    m.Apply(e.x0, e.y0, x0, y0);
    m.Apply(e.x1, e.y1, x1, y1);
    if (std::fabs(x0 - out.points.back().x) > 1e-6 || std::fabs(y0 - out.points.back().y) > 1e-6) out.Add(x0, y0);
    if (!e.curve) {
      out.Add(x1, y1);
      continue;
    }
    double cx, cy;
    m.Apply(e.cx, e.cy, cx, cy);
    double ddx = x0 - 2 * cx + x1, ddy = y0 - 2 * cy + y1;
    double dev = std::sqrt(ddx * ddx + ddy * ddy) / 4;
    int n = std::clamp(int(std::ceil(std::sqrt(dev / kTolerance))), 1, 256);
    points += size_t(n);
    if (points > kMaxDrawnSegments) return;
    for (int i = 1; i <= n; ++i) {
      double t = double(i) / n, u = 1 - t;
      out.Add(u * u * x0 + 2 * u * t * cx + t * t * x1, u * u * y0 + 2 * u * t * cy + t * t * y1);
    }
  }
  const Point &a = out.points.front(), &b = out.points.back();
  out.closed = std::fabs(a.x - b.x) < 1e-6 && std::fabs(a.y - b.y) < 1e-6;
}

// The pixels of a box that lie on the surface within rows bandTop .. bandBottom-1.
PixelBox ClipBox(double left, double top, double right, double bottom, const Bitmap& surface, int32_t bandTop,
                 int32_t bandBottom) {
  PixelBox box;
  if (!(left <= right && top <= bottom)) return box;
  box.left = int32_t(std::clamp(std::floor(left), 0.0, double(surface.Width())));
  box.top = int32_t(std::clamp(std::floor(top), double(bandTop), double(bandBottom)));
  box.right = int32_t(std::clamp(std::ceil(right) + 1, 0.0, double(surface.Width())));
  box.bottom = int32_t(std::clamp(std::ceil(bottom) + 1, double(bandTop), double(bandBottom)));
  return box;
}

// For discs of 8 to 64 sides, the turns (cos, sin) that lead round them from angle 0.
using DiscTurnTable = std::array<std::array<double, 2>, 65>;
const std::array<DiscTurnTable, 65>& DiscTurns() {
  static const std::array<DiscTurnTable, 65> tables = [] {
    std::array<DiscTurnTable, 65> t{};
    for (int sides = 8; sides <= 64; ++sides)
      for (int s = 1; s <= sides; ++s) {
        double a = 2 * kPi * s / sides;
        t[size_t(sides)][size_t(s)] = {std::cos(a), std::sin(a)};
      }
    return t;
  }();
  return tables;
}

double Spreaded(double t, Spread spread) {
  if (!std::isfinite(t)) return 0;
  switch (spread) {
    case Spread::Repeat:
      return t - std::floor(t);
    case Spread::Reflect: {
      double u = std::fmod(std::fabs(t), 2.0);
      return u > 1 ? 2 - u : u;
    }
    default:
      return std::clamp(t, 0.0, 1.0);
  }
}

}  // namespace

struct Renderer::Paint {
  FillKind kind = FillKind::Solid;
  uint32_t solid = 0;  // premultiplied 0xAARRGGBB
  const uint32_t* lut = nullptr;  // 256 premultiplied colours, kept in the renderer's tables
  Matrix inverse;  // surface pixel to gradient square or bitmap pixel
  Spread spread = Spread::Pad;
  double focal = 0;
  const Image* image = nullptr;
  bool repeat = false, smooth = true;
  CxForm cx;
  bool cxIdentity = true;
  bool opaque = false;  // every colour it gives has full alpha
};

// Shapes drawn straight onto the band's surface are held back, their runs as the rasteriser
// gave them, until something else is to draw there or the band is done. Then, from the last
// shape back to the first, each keeps the parts of its runs that no later shape covers whole
// with an opaque colour, and the shapes are drawn in their order, those parts only. Such a
// colour at full coverage is the pixel whatever lay beneath, so nothing seen changes. A
// shape's runs never overlap, so the order of its own parts does not matter.
struct Renderer::Held {
  // A held run goes through culling and drawing on its own: a few cells between two edges
  // cost less as part of one span than as a run of their own. A span's cells of coverage 0
  // leave their pixels as they are.
  static constexpr int32_t kJoinedCells = 8;

  struct Run {
    int32_t y, x, length;  // the run as swept
    int32_t first, count;  // the part of it to draw; a run cut in several has its others in `more`
    float c;               // coverage throughout, where cov < 0
    int32_t cov;           // where the run's coverages start in `coverage`, or -1
  };
  struct HeldShape {
    Paint paint;
    size_t runs, runsEnd;  // in `runs`
    size_t more, moreEnd;  // in `more`
  };
  int32_t top = 0, bottom = 0;  // the band's rows
  std::vector<HeldShape> shapes;
  std::vector<Run> runs, more;
  std::vector<float> coverage;  // the first `used` hold the runs' coverages
  size_t used = 0;
  CoveredRows covered;
};

// Shapes flattened under a matrix in this frame, found again by shape and matrix.
struct Renderer::FlatShapes {
  struct Entry {
    const Shape* shape;
    Matrix m;
    std::vector<Polyline> lines;
    size_t segments = 0;  // edges and flattened points, as a band counts them
    size_t edges = 0;     // as MayTouchBand counts them
    bool any = false;           // whether the shape has edges at all
    double yMin = 0, yMax = 0;  // the rows of the mapped box of the edges' points
    bool bounded = false;       // false: some mapped point is not a number
    bool flattened = false;
    size_t failedWithin = 0;  // the most room a flattening did not fit in
  };
  std::unordered_multimap<const Shape*, Entry> entries;

  static bool Same(const Matrix& a, const Matrix& b) {
    return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.tx == b.tx && a.ty == b.ty;
  }
  // The entry of shape under m, with its box worked out the first time.
  Entry& Find(const Shape& shape, const Matrix& m) {
    auto [from, to] = entries.equal_range(&shape);
    for (auto it = from; it != to; ++it)
      if (Same(it->second.m, m)) return it->second;
    Entry e{&shape, m, {}};
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (const Path& p : shape.paths) {
      e.edges += p.edges.size();
      for (const Edge& edge : p.edges) {
        left = std::min({left, edge.x0, edge.x1, edge.curve ? edge.cx : edge.x1});
        right = std::max({right, edge.x0, edge.x1, edge.curve ? edge.cx : edge.x1});
        top = std::min({top, edge.y0, edge.y1, edge.curve ? edge.cy : edge.y1});
        bottom = std::max({bottom, edge.y0, edge.y1, edge.curve ? edge.cy : edge.y1});
      }
    }
    e.yMin = 1e300;
    e.yMax = -1e300;
    e.any = left <= right;
    if (e.any) {
      for (double x : {left, right})
        for (double y : {top, bottom}) {
          double px, py;
          m.Apply(x, y, px, py);
          e.yMin = std::min(e.yMin, py);
          e.yMax = std::max(e.yMax, py);
        }
      e.bounded = e.yMin <= e.yMax;
    }
    return entries.emplace(&shape, std::move(e))->second;
  }
  // Flattens the entry's paths the first time they fit within limit segments; false when
  // they do not (then the band flattens them itself, as far as its budget goes).
  static bool Flattened(Entry& e, size_t limit) {
    if (e.flattened) return e.segments <= limit;
    if (limit <= e.failedWithin) return false;  // tried with as much room before
    size_t count = 0;
    e.lines.resize(e.shape->paths.size());
    for (size_t i = 0; i < e.shape->paths.size() && count <= limit; ++i) {
      count += e.shape->paths[i].edges.size();
      Flatten(e.shape->paths[i], e.m, e.lines[i], count);
    }
    if (count > limit) {
      e.lines.clear();
      e.failedWithin = limit;
      return false;
    }
    e.flattened = true;
    e.segments = count;
    return true;
  }
};

Matrix ViewMatrix(const SwfRect& frame, int32_t width, int32_t height, int32_t scaleMode, int32_t alignMode) {
  double fw = frame.xMax - frame.xMin, fh = frame.yMax - frame.yMin;
  double sx = 1.0 / 20, sy = 1.0 / 20;
  if (fw > 0 && fh > 0 && scaleMode != 3) {
    sx = width / fw;
    sy = height / fh;
    if (scaleMode == 1) sx = sy = std::max(sx, sy);
    else if (scaleMode != 2) sx = sy = std::min(sx, sy);
  }
  double cw = fw * sx, ch = fh * sy;
  double ox = (alignMode & 1) ? 0 : (alignMode & 2) ? width - cw : (width - cw) / 2;
  double oy = (alignMode & 4) ? 0 : (alignMode & 8) ? height - ch : (height - ch) / 2;
  return {sx, 0, 0, sy, ox - frame.xMin * sx, oy - frame.yMin * sy};
}

// Threads that wait for a frame's bands and draw them with their own renderers.
class Renderer::Workers {
 public:
  explicit Workers(int count) {
    for (int i = 1; i <= count; ++i) threads_.emplace_back([this, i] { Serve(i); });
  }
  ~Workers() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }
  // Runs job(lane) on every worker (lanes 1 .. count) and job(0) on the caller, and returns
  // when all are done.
  void Run(const std::function<void(int)>& job) {
    {
      std::lock_guard lock(mutex_);
      job_ = &job;
      busy_ = int(threads_.size());
      ++generation_;
    }
    wake_.notify_all();
    job(0);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return busy_ == 0; });
    job_ = nullptr;
  }

 private:
  void Serve(int lane) {
    uint64_t seen = 0;
    for (;;) {
      const std::function<void(int)>* job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
        if (quit_) return;
        seen = generation_;
        job = job_;
      }
      (*job)(lane);
      {
        std::lock_guard lock(mutex_);
        --busy_;
      }
      done_.notify_one();
    }
  }

  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void(int)>* job_ = nullptr;
  uint64_t generation_ = 0;
  int busy_ = 0;
  bool quit_ = false;
};

Renderer::Renderer(TextRenderer* text) : text_(text) {}
Renderer::~Renderer() = default;

void Renderer::SetThreads(int threads) {
  threads = std::clamp(threads, 1, kMaxRenderThreads);
  if (threads == Threads()) return;
  workers_.reset();
  lanes_.clear();
  for (int i = 1; i < threads; ++i) {
    lanes_.push_back(std::make_unique<Renderer>(text_));
    lanes_.back()->textLock_ = &ownTextLock_;
    lanes_.back()->skipHidden_ = skipHidden_;
  }
  if (threads > 1) workers_ = std::make_unique<Workers>(threads - 1);
}

void Renderer::SetSkipHidden(bool skip) {
  skipHidden_ = skip;
  for (auto& lane : lanes_) lane->skipHidden_ = skip;
}

size_t Renderer::DrawnSegments() const {
  size_t sum = frameSegments_;
  for (const auto& lane : lanes_) sum += lane->frameSegments_;
  return sum;
}

uint64_t Renderer::SkippedPixels() const {
  uint64_t sum = skippedPixels_;
  for (const auto& lane : lanes_) sum += lane->skippedPixels_;
  return sum;
}

uint64_t Renderer::RasterWork() const {
  uint64_t sum = raster_.Work();
  for (const auto& lane : lanes_) sum += lane->raster_.Work();
  return sum;
}

void Renderer::Render(const Player& player, Bitmap& surface, const Matrix& view, Rgba background) {
  uint32_t bg = uint32_t(background.r) << 16 | uint32_t(background.g) << 8 | background.b;
  const int32_t height = surface.Height();
  const int32_t bands = (height + kBandRows - 1) / kBandRows;
  raster_.ResetWork();
  frameSegments_ = 0;
  skippedPixels_ = 0;
  for (auto& lane : lanes_) {
    lane->raster_.ResetWork();
    lane->frameSegments_ = 0;
    lane->skippedPixels_ = 0;
  }
  // The display list may have changed since the last frame, and its shapes with it.
  if (!flat_) flat_ = std::make_unique<FlatShapes>();
  flat_->entries.clear();
  for (auto& lane : lanes_) {
    if (!lane->flat_) lane->flat_ = std::make_unique<FlatShapes>();
    lane->flat_->entries.clear();
  }
  // Side by side, the bands are handed out costliest first by what they cost in the last
  // frame, so that the last one taken is a cheap one and no thread waits long for another.
  const bool sideBySide = workers_ && bands > 1;
  std::vector<int32_t>& order = bandOrder_;
  order.resize(size_t(std::max(bands, 0)));
  std::iota(order.begin(), order.end(), 0);
  if (sideBySide && bandCosts_.size() == order.size())
    std::stable_sort(order.begin(), order.end(),
                     [&](int32_t a, int32_t b) { return bandCosts_[size_t(a)] > bandCosts_[size_t(b)]; });
  bandCosts_.assign(order.size(), 0);
  std::atomic<int32_t> next{0};
  auto draw = [&](int lane) {
    Renderer& r = lane == 0 ? *this : *lanes_[size_t(lane - 1)];
    for (int32_t k = next++; k < bands; k = next++) {
      const int32_t band = order[size_t(k)];
      r.DrawBand(player, surface, view, bg, band * kBandRows, std::min(height, (band + 1) * kBandRows));
      bandCosts_[size_t(band)] = r.raster_.Work() - r.bandWork_;  // bandWork_: where the band started
    }
  };
  if (sideBySide) workers_->Run(draw);
  else draw(0);
}

void Renderer::DrawBand(const Player& player, Bitmap& surface, const Matrix& view, uint32_t background,
                        int32_t top, int32_t bottom) {
  player_ = &player;
  surface_ = bandSurface_ = &surface;
  if (skipHidden_) {
    if (!held_) held_ = std::make_unique<Held>();
    held_->top = top;
    held_->bottom = bottom;
  }
  bandTop_ = top;
  bandBottom_ = bottom;
  objects_ = segments_ = scannedEdges_ = 0;
  layers_ = layerNesting_ = 0;
  backdrop_.reset();
  viewScale_ = std::sqrt(std::fabs(view.a * view.d - view.b * view.c)) * 20;
  bandWork_ = raster_.Work();
  // The band's share of the frame's budgets, rounded up.
  const uint64_t rows = uint64_t(bottom - top), height = uint64_t(std::max(surface.Height(), 1));
  segmentBudget_ = size_t((kMaxDrawnSegments * rows + height - 1) / height);
  workBudget_ = (kMaxRasterWork * rows + height - 1) / height;
  for (int32_t y = top; y < bottom; ++y)
    FastestSpans().fill(reinterpret_cast<uint32_t*>(surface.Row(y)), background, surface.Width());
  view_ = view;
  DrawDrawing(player.Root(), view, CxForm{}, Target{});
  DrawList(player.Root().list, view, CxForm{}, Target{}, 0);
  DrawHeld();
  frameSegments_ += segments_;
  player_ = nullptr;
}

bool Renderer::MayTouchBand(const Shape& shape, const Matrix& m, double margin) {
  // The edges' end and control points bound the curves; their box, mapped, bounds the shape.
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  for (const Path& p : shape.paths) {
    scannedEdges_ += p.edges.size();
    if (scannedEdges_ > kMaxDrawnSegments) return false;
    for (const Edge& e : p.edges) {
      left = std::min({left, e.x0, e.x1, e.curve ? e.cx : e.x1});
      right = std::max({right, e.x0, e.x1, e.curve ? e.cx : e.x1});
      top = std::min({top, e.y0, e.y1, e.curve ? e.cy : e.y1});
      bottom = std::max({bottom, e.y0, e.y1, e.curve ? e.cy : e.y1});
    }
  }
  if (left > right) return false;
  double yMin = 1e300, yMax = -1e300;
  for (double x : {left, right})
    for (double y : {top, bottom}) {
      double px, py;
      m.Apply(x, y, px, py);
      yMin = std::min(yMin, py);
      yMax = std::max(yMax, py);
    }
  // Not a number anywhere: leave the decision to the drawing, which copes.
  if (!(yMin <= yMax)) return true;
  return yMax + margin + 2 >= bandTop_ && yMin - margin - 2 < bandBottom_;
}

std::vector<uint8_t> Renderer::TakeMask() {
  std::vector<uint8_t> mask;
  if (!spareMasks_.empty()) {
    mask = std::move(spareMasks_.back());
    spareMasks_.pop_back();
  }
  // Only the band's rows are read or written.
  const size_t width = size_t(surface_->Width());
  mask.resize(width * size_t(surface_->Height()));
  std::fill(mask.begin() + ptrdiff_t(width * size_t(bandTop_)), mask.begin() + ptrdiff_t(width * size_t(bandBottom_)),
            uint8_t(0));
  return mask;
}

void Renderer::DrawList(const std::map<uint16_t, DisplayObject>& list, const Matrix& m, const CxForm& cx,
                        Target target, int nesting) {
  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> masks;
  for (const auto& [depth, object] : list) {
    if (object.clip && object.clip->masking && !target.maskOut) continue;  // shown only as a mask
    while (!masks.empty() && depth > masks.back().first) {
      spareMasks_.push_back(std::move(masks.back().second));
      masks.pop_back();
    }
    const uint8_t* current = masks.empty() ? target.mask : masks.back().second.data();
    if (object.clipDepth > 0) {
      if (target.maskOut) continue;  // a clip layer inside a clip layer's own shape
      std::vector<uint8_t> mask = TakeMask();
      DrawObject(object, m, cx, Target{current, mask.data()}, nesting);
      masks.push_back({object.clipDepth, std::move(mask)});
      continue;
    }
    DrawObject(object, m, cx, Target{current, target.maskOut}, nesting);
  }
  for (auto& [depth, mask] : masks) spareMasks_.push_back(std::move(mask));
}

void Renderer::DrawObject(const DisplayObject& object, const Matrix& m, const CxForm& cx, Target target,
                          int nesting) {
  if (!object.character || !object.visible || ++objects_ > kMaxDrawnObjects) return;
  const bool effects = object.blend != BlendMode::Normal || !object.filters.empty();
  // Clip layers take their shapes only; beyond the budget effects are left out.
  if (effects && !target.maskOut && layers_ < kMaxLayers && layerNesting_ < kMaxLayerNesting) {
    DrawLayered(object, m * object.matrix, cx * object.cx, target, nesting);
    return;
  }
  Matrix placed = m * object.matrix;
  // A clip cached as a bitmap is that bitmap, drawn on whole pixels.
  if (object.cacheAsBitmap) {
    placed.tx = std::floor(placed.tx + 0.5);
    placed.ty = std::floor(placed.ty + 0.5);
  }
  DrawCharacter(*object.character, &object, placed, cx * object.cx, target, nesting);
}

void Renderer::DrawLayered(const DisplayObject& object, const Matrix& m, const CxForm& cx, Target target,
                           int nesting) {
  ++layers_;
  ++layerNesting_;
  // The object's own alpha is the layer's as a whole, after its filters.
  CxForm inner = cx;
  double alpha = 1;
  if (cx.add[3] == 0) {
    alpha = std::clamp(cx.mult[3], 0.0, 1.0);
    inner.mult[3] = 1;
  }
  // The layer covers the band and the rows its filters reach into from beyond it; its row 0
  // is the surface's row top.
  Bitmap* surface = surface_;
  const int32_t bandTop = bandTop_, bandBottom = bandBottom_;
  const int32_t reach = FilterReach(object.filters, viewScale_);
  const int32_t top = std::max(0, bandTop - reach), bottom = std::min(surface->Height(), bandBottom + reach);
  const int32_t width = surface->Width(), height = bottom - top;
  if (height <= 0) {
    --layerNesting_;
    return;
  }
  const Matrix shifted = Matrix{1, 0, 0, 1, 0, -double(top)} * m;
  // Drawn once over black and once over white: where they differ the object lets its
  // background through, which gives its alpha; over black its colour is premultiplied.
  std::optional<uint32_t> backdrop = backdrop_;
  Bitmap passes[2] = {Bitmap(width, height, PixelFormat::Xrgb8888), Bitmap(width, height, PixelFormat::Xrgb8888)};
  bandTop_ = 0;
  bandBottom_ = height;
  for (int k = 0; k < 2; ++k) {
    uint32_t fill = k ? 0xFFFFFF : 0;
    for (int32_t y = 0; y < height; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(passes[k].Row(y));
      std::fill(row, row + width, fill);
    }
    surface_ = &passes[k];
    backdrop_ = fill;
    DrawCharacter(*object.character, &object, shifted, inner, Target{}, nesting);
  }
  surface_ = surface;
  backdrop_ = backdrop;
  bandTop_ = bandTop;
  bandBottom_ = bandBottom;
  --layerNesting_;
  Layer layer;
  layer.width = width;
  layer.height = height;
  layer.pixels.resize(size_t(width) * height);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* black = reinterpret_cast<const uint32_t*>(passes[0].Row(y));
    const uint32_t* white = reinterpret_cast<const uint32_t*>(passes[1].Row(y));
    uint32_t* out = layer.pixels.data() + size_t(y) * width;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t b = black[x] & 0xFFFFFF, w = white[x] & 0xFFFFFF;
      if (b == 0 && w == 0xFFFFFF) continue;
      int32_t through = 0;
      for (int shift = 0; shift < 24; shift += 8)
        through += std::max(0, int32_t((w >> shift) & 255) - int32_t((b >> shift) & 255));
      uint32_t a = uint32_t(255 - (through + 1) / 3);
      uint32_t colour = 0;
      for (int shift = 0; shift < 24; shift += 8) colour |= std::min((b >> shift) & 255, a) << shift;
      out[x] = a << 24 | colour;
    }
  }
  for (const Filter& f : object.filters) ApplyFilter(f, layer, viewScale_);
  if (alpha < 1) {
    // Filters see the object as drawn; its alpha comes after them.
    uint32_t k = uint32_t(alpha * 255 + 0.5);
    for (uint32_t& p : layer.pixels) {
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) out |= Div255(((p >> shift) & 255) * k) << shift;
      p = out;
    }
  }
  DrawHeld();
  Composite(layer, object.blend, *surface_, top, bandTop_, bandBottom_, target.mask, backdrop_);
}

void Renderer::DrawCharacter(const Character& ch, const DisplayObject* object, const Matrix& m, const CxForm& cx,
                             Target target, int nesting) {
  if (nesting > kMaxNesting + 2) return;
  switch (ch.kind) {
    case Kind::Shape:
      DrawShape(ch.shape, m, cx, target, nullptr, true);
      break;
    case Kind::Morph:
      DrawShape(MorphAt(ch.morph, object ? object->ratio / 65535.0 : 0), m, cx, target);
      break;
    case Kind::Sprite:
      if (object && object->clip) {
        const Clip& clip = *object->clip;
        std::vector<uint8_t> mask;
        if (!target.maskOut && clip.mask && clip.mask->clip && clip.mask->clip != &clip) {
          // Seen through its mask clip's shapes, placed where that clip stands on the stage.
          const Clip& by = *clip.mask->clip;
          mask = TakeMask();
          if (by.holder && by.parent && by.holder->character) {
            Matrix at = view_;
            std::vector<const Clip*> chain;
            for (const Clip* c = by.parent; c && c->parent; c = c->parent) chain.push_back(c);
            for (size_t i = chain.size(); i-- > 0;)
              if (chain[i]->holder) at = at * chain[i]->holder->matrix;
            at = at * by.holder->matrix;
            DrawCharacter(*by.holder->character, by.holder, at, CxForm{}, Target{target.mask, mask.data()},
                          nesting + 1);
          }
          target.mask = mask.data();
        }
        DrawDrawing(clip, m, cx, target);
        DrawList(clip.list, m, cx, target, nesting + 1);
        if (!mask.empty()) spareMasks_.push_back(std::move(mask));
      }
      break;
    case Kind::Text:
      DrawText(ch.text, m, cx, target);
      break;
    case Kind::EditText:
      DrawEditText(ch.edit, m, cx, target);
      break;
    case Kind::Button: {
      std::vector<const ButtonPart*> parts;
      const uint8_t state = object ? object->buttonState : uint8_t(kButtonUp);
      for (const ButtonPart& p : ch.button)
        if (p.states & state) parts.push_back(&p);
      std::stable_sort(parts.begin(), parts.end(), [](auto* a, auto* b) { return a->depth < b->depth; });
      for (const ButtonPart* p : parts) {
        auto part = player_->Lookup(p->id);
        if (!part || part.get() == &ch || part->kind == Kind::Button) continue;
        if (++objects_ > kMaxDrawnObjects) return;
        DrawCharacter(*part, nullptr, m * p->matrix, cx * p->cx, target, nesting + 1);
      }
      break;
    }
    case Kind::Bitmap: {
      // A bitmap placed by itself: a rectangle of its size filled with it.
      if (!ch.image) break;
      Shape rect;
      FillStyle fill;
      fill.kind = FillKind::Bitmap;
      fill.matrix = {20, 0, 0, 20, 0, 0};
      rect.fills.push_back(fill);
      double w = ch.image->width * 20.0, h = ch.image->height * 20.0;
      Path p;
      p.fill1 = 1;
      p.edges = {{0, 0, 0, 0, w, 0}, {w, 0, 0, 0, w, h}, {w, h, 0, 0, 0, h}, {0, h, 0, 0, 0, 0}};
      rect.paths.push_back(p);
      directImage_ = ch.image.get();
      DrawShape(rect, m, cx, target);
      directImage_ = nullptr;
      break;
    }
    case Kind::Font:
    case Kind::Sound:
      break;
  }
}

bool Renderer::MakePaint(const FillStyle& fill, const Matrix& m, const CxForm& cx, Paint& paint) {
  paint.kind = fill.kind;
  paint.cx = cx;
  paint.cxIdentity = cx.Identity();
  if (fill.kind == FillKind::Solid) {
    paint.solid = Premultiply(cx.Apply(fill.color));
    paint.opaque = (paint.solid >> 24) == 255;
    return (paint.solid >> 24) != 0;
  }
  if (!(m * fill.matrix).Invert(paint.inverse)) return false;
  if (fill.kind == FillKind::Bitmap) {
    if (directImage_) {
      paint.image = directImage_;
    } else {
      auto ch = player_->Lookup(fill.bitmapId);
      if (!ch || ch->kind != Kind::Bitmap || !ch->image) return false;
      paint.image = ch->image.get();
    }
    if (paint.image->width <= 0 || paint.image->height <= 0) return false;
    paint.repeat = fill.repeat;
    paint.smooth = fill.smooth;
    return true;
  }
  if (fill.stops.empty()) return false;
  paint.spread = fill.spread;
  paint.focal = fill.focal;
  // The key is built in a string kept from call to call: no allocation once it is long enough.
  std::string& key = gradientKey_;
  key.assign(1, char(fill.linearRgb));
  paint.opaque = true;
  for (const GradientStop& s : fill.stops) {
    Rgba c = cx.Apply(s.color);
    key += {char(s.ratio), char(c.r), char(c.g), char(c.b), char(c.a)};
    paint.opaque = paint.opaque && c.a == 255;
  }
  if (auto known = gradientTables_.find(key); known != gradientTables_.end()) {
    paint.lut = known->second.data();
    return true;
  }
  std::vector<GradientStop> stops = fill.stops;
  for (GradientStop& s : stops) s.color = cx.Apply(s.color);
  if (gradientTables_.size() >= 4096) {
    DrawHeld();  // the shapes held back use the tables
    gradientTables_.clear();
  }
  std::array<uint32_t, 256>& lut = gradientTables_[key];
  for (int i = 0; i < 256; ++i) {
    size_t k = 0;
    while (k < stops.size() && stops[k].ratio < i) ++k;
    Rgba c;
    if (k == 0) {
      c = stops.front().color;
    } else if (k == stops.size()) {
      c = stops.back().color;
    } else {
      const GradientStop &a = stops[k - 1], &b = stops[k];
      double t = b.ratio == a.ratio ? 1 : double(i - a.ratio) / (b.ratio - a.ratio);
      auto mix = [&](uint8_t u, uint8_t v) {
        if (fill.linearRgb) {
          double l = SrgbToLinear(u / 255.0) + (SrgbToLinear(v / 255.0) - SrgbToLinear(u / 255.0)) * t;
          return uint8_t(std::clamp(LinearToSrgb(l) * 255 + 0.5, 0.0, 255.0));
        }
        return uint8_t(std::clamp(u + (v - u) * t + 0.5, 0.0, 255.0));
      };
      c = {mix(a.color.r, b.color.r), mix(a.color.g, b.color.g), mix(a.color.b, b.color.b),
           uint8_t(std::clamp(a.color.a + (b.color.a - a.color.a) * t + 0.5, 0.0, 255.0))};
    }
    lut[i] = Premultiply(c);
  }
  paint.lut = lut.data();
  return true;
}

namespace {

uint32_t SampleBitmap(const Image& image, double u, double v, bool repeat, bool smooth) {
  int32_t w = image.width, h = image.height;
  auto at = [&](int32_t x, int32_t y) {
    if (repeat) {
      x %= w;
      y %= h;
      if (x < 0) x += w;
      if (y < 0) y += h;
    } else {
      x = std::clamp(x, 0, w - 1);
      y = std::clamp(y, 0, h - 1);
    }
    return image.pixels[size_t(y) * w + x];
  };
  if (!std::isfinite(u) || !std::isfinite(v)) return 0;
  u = std::clamp(u, -1e9, 1e9);
  v = std::clamp(v, -1e9, 1e9);
  if (!smooth) return at(int32_t(std::floor(u)), int32_t(std::floor(v)));
  double fu = u - 0.5, fv = v - 0.5;
  int32_t x0 = int32_t(std::floor(fu)), y0 = int32_t(std::floor(fv));
  uint32_t wx = uint32_t((fu - x0) * 256), wy = uint32_t((fv - y0) * 256);
  uint32_t p00 = at(x0, y0), p10 = at(x0 + 1, y0), p01 = at(x0, y0 + 1), p11 = at(x0 + 1, y0 + 1);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t top = ((p00 >> shift) & 255) * (256 - wx) + ((p10 >> shift) & 255) * wx;
    uint32_t bottom = ((p01 >> shift) & 255) * (256 - wx) + ((p11 >> shift) & 255) * wx;
    out |= ((top * (256 - wy) + bottom * wy) >> 16) << shift;
  }
  return out;
}

uint32_t TransformPremultiplied(uint32_t p, const CxForm& cx) {
  uint32_t a = p >> 24;
  if (a == 0 && cx.add[3] <= 0) return 0;
  Rgba c;
  c.a = uint8_t(a);
  auto un = [&](uint32_t v) { return a ? uint8_t(std::min<uint32_t>(255, v * 255 / a)) : uint8_t(0); };
  c.r = un((p >> 16) & 255);
  c.g = un((p >> 8) & 255);
  c.b = un(p & 255);
  return Premultiply(cx.Apply(c));
}

}  // namespace

namespace {

// Colours are worked out this many pixels at a time, then laid down together.
constexpr int32_t kPiece = 64;

// One run of pixels: coverage (times the mask) decides how much of the paint lands; no
// coverage array means the run is covered whole. colours(first, n, out) gives the paint of
// pixels first .. first+n-1 of the run.
template <class Colours>
void ShadeRun(uint32_t* row, const float* cov, const uint8_t* mask, uint8_t* maskOut, int32_t count,
              Colours&& colours) {
  uint32_t src[kPiece];
  if (!mask && !maskOut) {
    for (int32_t done = 0; done < count; done += kPiece) {
      const int32_t n = std::min(kPiece, count - done);
      colours(done, n, src);
      CompositeSpan(row + done, src, false, cov ? cov + done : nullptr, n);
    }
    return;
  }
  for (int32_t i = 0; i < count; ++i) {
    uint32_t k = cov ? CoverageByte(cov[i]) : 255;
    if (mask) k = Div255(k * mask[i]);
    if (k == 0) continue;
    if (maskOut) {
      maskOut[i] = uint8_t(std::max<uint32_t>(maskOut[i], k));
      continue;
    }
    colours(i, 1, src);
    row[i] = Over(src[0], k, row[i]);
  }
}

// The same with a colour a pixel given one at a time.
template <class Source>
void ShadeEach(uint32_t* row, const float* cov, const uint8_t* mask, uint8_t* maskOut, int32_t count,
               Source&& source) {
  ShadeRun(row, cov, mask, maskOut, count, [&](int32_t first, int32_t n, uint32_t* out) {
    for (int32_t i = 0; i < n; ++i) out[i] = source(first + i);
  });
}

}  // namespace

// runs(span, fill) hands out the runs: span(y, x, length, first, count, cov) for pixels
// first .. first+count-1 of the run of row y that starts at x and is length pixels long, cov
// holding their coverages (null: covered whole), and fill(y, x, length, first, count, c) the
// same at coverage c throughout. Paints are worked out from the run's start, so a part of a
// run takes the very colours the whole run would.
template <class Runs>
void Renderer::ShadeRuns(Bitmap& surface, const Paint& paint, Target target, Runs&& runs) {
  int32_t width = surface.Width();
  std::vector<float>& constant = constantCoverage_;
  auto span = [&](int32_t y, int32_t x, int32_t length, int32_t first, int32_t count, const float* cov) {
    const size_t at = size_t(y) * width + size_t(x + first);
    uint32_t* row = reinterpret_cast<uint32_t*>(surface.Row(y)) + x + first;
    const uint8_t* mask = target.mask ? target.mask + at : nullptr;
    uint8_t* maskOut = target.maskOut ? target.maskOut + at : nullptr;
    const Matrix& inv = paint.inverse;
    double px = x + 0.5, py = y + 0.5;
    double gx0 = inv.a * px + inv.c * py + inv.tx, gy0 = inv.b * px + inv.d * py + inv.ty;
    auto gx = [&](int32_t i) { return gx0 + inv.a * (first + i); };
    auto gy = [&](int32_t i) { return gy0 + inv.b * (first + i); };
    auto lut = [&](double t) { return paint.lut[int(Spreaded(t, paint.spread) * 255 + 0.5)]; };
    switch (paint.kind) {
      case FillKind::Solid: {
        uint32_t src = paint.solid;
        if (!mask && !maskOut) {
          CompositeSpan(row, &src, true, cov, count);
          break;
        }
        ShadeEach(row, cov, mask, maskOut, count, [&](int32_t) { return src; });
        break;
      }
      case FillKind::Linear:
        if (paint.spread == Spread::Pad) {
          if (!mask && !maskOut) {
            FastestSpans().linearPad(row, paint.lut, PlanLinearPad(gx0, inv.a, 0, length), first, cov, count);
            break;
          }
          ShadeRun(row, cov, mask, maskOut, count, [&](int32_t from, int32_t n, uint32_t* out) {
            int32_t index[kPiece];
            LinearPadIndices(gx0, inv.a, first + from, n, index);
            for (int32_t i = 0; i < n; ++i) out[i] = paint.lut[index[i]];
          });
          break;
        }
        ShadeEach(row, cov, mask, maskOut, count,
                  [&](int32_t i) { return lut((gx(i) + kGradientHalf) / (2 * kGradientHalf)); });
        break;
      case FillKind::Radial:
        if (paint.spread == Spread::Pad) {
          // The common case in single precision, clamped without the spread's branches; the
          // table indices of a piece of the run are worked out first, four at a time.
          const RadialPad radial{float(gx0 / kGradientHalf), float(gy0 / kGradientHalf),
                                 float(inv.a / kGradientHalf), float(inv.b / kGradientHalf)};
          if (!mask && !maskOut) {
            FastestSpans().radialPad(row, paint.lut, radial, first, cov, count);
            break;
          }
          ShadeRun(row, cov, mask, maskOut, count, [&](int32_t from, int32_t n, uint32_t* out) {
            int32_t index[kPiece];
            radial.Indices(first + from, n, index);
            for (int32_t i = 0; i < n; ++i) out[i] = paint.lut[index[i]];
          });
          break;
        }
        ShadeEach(row, cov, mask, maskOut, count, [&](int32_t i) {
          double x = gx(i), y2 = gy(i);
          return lut(std::sqrt(x * x + y2 * y2) / kGradientHalf);
        });
        break;
      case FillKind::Focal: {
        // The ratio along the ray from the focal point through this point to the circle.
        double fx = paint.focal * kGradientHalf;
        ShadeEach(row, cov, mask, maskOut, count, [&](int32_t i) {
          double dx = gx(i) - fx, dy = gy(i), len = std::sqrt(dx * dx + dy * dy);
          double t = 0;
          if (len > 1e-9) {
            double b = fx * dx / len;
            double s = -b + std::sqrt(std::max(0.0, b * b - fx * fx + kGradientHalf * kGradientHalf));
            t = s > 1e-9 ? len / s : 1;
          }
          return lut(t);
        });
        break;
      }
      case FillKind::Bitmap:
        ShadeEach(row, cov, mask, maskOut, count, [&](int32_t i) {
          uint32_t src = SampleBitmap(*paint.image, gx(i), gy(i), paint.repeat, paint.smooth);
          return paint.cxIdentity ? src : TransformPremultiplied(src, paint.cx);
        });
        break;
    }
  };
  // Runs inside the outline: an opaque colour over them is a plain fill.
  auto fill = [&](int32_t y, int32_t x, int32_t length, int32_t first, int32_t count, float c) {
    uint32_t k = CoverageByte(c);
    if (paint.kind == FillKind::Solid && !target.mask && !target.maskOut && k == 255) {
      uint32_t* row = reinterpret_cast<uint32_t*>(surface.Row(y)) + x + first;
      uint32_t src = paint.solid;
      if ((src >> 24) == 255) {
        FastestSpans().fill(row, src & 0xFFFFFF, count);
        return;
      }
      CompositeSpan(row, &src, true, nullptr, count);
      return;
    }
    if (k == 255) {
      span(y, x, length, first, count, nullptr);
      return;
    }
    if (constant.size() < size_t(count)) constant.resize(count);
    std::fill(constant.begin(), constant.begin() + count, c);
    span(y, x, length, first, count, constant.data());
  };
  runs(span, fill);
}

void Renderer::Shade(const Paint& paint, Target target) {
  // Clip layers' coverage and layers' own surfaces leave the band's surface alone.
  if (surface_ == bandSurface_ && !target.maskOut) {
    if (!target.mask && skipHidden_) {
      Hold(paint);
      return;
    }
    DrawHeld();  // what was held back lies beneath this
  }
  Bitmap& surface = *surface_;
  ShadeRuns(surface, paint, target, [&](auto& span, auto& fill) {
    // The surface is larger than the processor's caches: a shape's edges meet rows that were
    // last touched by other shapes, so the row's ends are fetched a few rows early.
    auto ahead = [&](int32_t y, int32_t x0, int32_t x1) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(surface.Row(y));
      __builtin_prefetch(row + x0, 1);
      __builtin_prefetch(row + x1, 1);
    };
    raster_.Sweep([&](int32_t y, int32_t x, int32_t count, const float* cov) { span(y, x, count, 0, count, cov); },
                  [&](int32_t y, int32_t x, int32_t count, float c) { fill(y, x, count, 0, count, c); }, ahead);
  });
}

void Renderer::Hold(const Paint& paint) {
  Held& h = *held_;
  const size_t begin = h.runs.size();
  raster_.Sweep(
      [&](int32_t y, int32_t x, int32_t count, const float* cov) {
        if (h.used + size_t(count) > h.coverage.size())
          h.coverage.resize(std::max(h.coverage.size() * 2, h.used + size_t(count) + 4096));
        // Mostly a few cells: copied here rather than by a call.
        float* to = h.coverage.data() + h.used;
        for (int32_t i = 0; i < count; ++i) to[i] = cov[i];
        h.runs.push_back({y, x, count, 0, count, 0, int32_t(h.used)});
        h.used += size_t(count);
      },
      [&](int32_t y, int32_t x, int32_t count, float c) { h.runs.push_back({y, x, count, 0, count, c, -1}); },
      [](int32_t, int32_t, int32_t) {}, Held::kJoinedCells);
  if (h.runs.size() > begin) h.shapes.push_back({paint, begin, h.runs.size(), 0, 0});
}

void Renderer::DrawHeld() {
  if (!held_ || held_->shapes.empty()) return;
  Held& h = *held_;
  h.covered.Reset(h.top, h.bottom - h.top, bandSurface_->Width());
  h.more.clear();
  // Locals, not members: stores into the runs could otherwise be taken to change them.
  uint64_t skipped = 0;
  Held::Run* const runs = h.runs.data();
  for (size_t s = h.shapes.size(); s-- > 0;) {
    Held::HeldShape& shape = h.shapes[s];
    shape.more = h.more.size();
    const bool opaque = shape.paint.opaque;
    for (size_t r = shape.runs, end = shape.runsEnd; r < end; ++r) {
      Held::Run& run = runs[r];
      // The first open part stays in the run itself, any others go to `more`.
      int32_t first = 0, count = 0, open = 0;
      h.covered.ForEachOpen(run.y, run.x, run.length, [&](int32_t x, int32_t n) {
        open += n;
        if (count == 0) {
          first = x - run.x;
          count = n;
          return;
        }
        Held::Run part = run;
        part.first = x - run.x;
        part.count = n;
        h.more.push_back(part);
      });
      if (opaque && run.cov < 0 && CoverageByte(run.c) == 255) h.covered.Cover(run.y, run.x, run.length);
      run.first = first;
      run.count = count;
      skipped += uint64_t(run.length - open);
    }
    shape.moreEnd = h.more.size();
  }
  skippedPixels_ += skipped;
  for (const Held::HeldShape& shape : h.shapes) {
    ShadeRuns(*bandSurface_, shape.paint, Target{}, [&](auto& span, auto& fill) {
      auto draw = [&](const Held::Run& run) {
        if (run.count <= 0) return;
        if (run.cov >= 0) span(run.y, run.x, run.length, run.first, run.count, h.coverage.data() + run.cov + run.first);
        else fill(run.y, run.x, run.length, run.first, run.count, run.c);
      };
      for (size_t r = shape.runs; r < shape.runsEnd; ++r) draw(h.runs[r]);
      for (size_t r = shape.more; r < shape.moreEnd; ++r) draw(h.more[r]);
    });
  }
  h.shapes.clear();
  h.runs.clear();
  h.more.clear();
  h.used = 0;
}

void Renderer::DrawShape(const Shape& shape, const Matrix& m, const CxForm& cx, Target target,
                         const Rgba* fillColour, bool lasting) {
  double margin = 0;
  if (!target.maskOut) {
    double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    for (const LineStyle& ls : shape.lines) margin = std::max(margin, std::max(1.0, ls.width * scale) / 2);
  }
  FlatShapes::Entry* flat = lasting && flat_ ? &flat_->Find(shape, m) : nullptr;
  if (flat) {
    // What MayTouchBand decides, from the frame's one look at the shape.
    scannedEdges_ += flat->edges;
    if (scannedEdges_ > kMaxDrawnSegments || !flat->any) return;
    if (flat->bounded && !(flat->yMax + margin + 2 >= bandTop_ && flat->yMin - margin - 2 < bandBottom_)) return;
    if (OverBudget()) return;
    if (FlatShapes::Flattened(*flat, segmentBudget_ - segments_)) {
      segments_ += flat->segments;
      if (OverBudget()) return;
    } else {
      flat = nullptr;  // too much to keep: flattened below as far as the band's budget goes
    }
  } else if (!MayTouchBand(shape, m, margin)) {
    return;
  }
  std::vector<Polyline> own;
  if (!flat) {
    own.resize(shape.paths.size());
    for (size_t i = 0; i < shape.paths.size(); ++i) {
      segments_ += shape.paths[i].edges.size();
      Flatten(shape.paths[i], m, own[i], segments_);
      if (OverBudget()) return;
    }
  }
  const std::vector<Polyline>& lines = flat ? flat->lines : own;
  // Fills, one style at a time: a path adds its lines forward for the style on its right
  // and backward for the style on its left, so each style's outline winds one way.
  for (uint32_t style = 1; style <= shape.fills.size(); ++style) {
    double left = 1e30, top = 1e30, right = -1e30, bottom = -1e30;
    bool any = false;
    for (size_t i = 0; i < shape.paths.size(); ++i) {
      const Path& p = shape.paths[i];
      if ((p.fill0 == style) == (p.fill1 == style) || lines[i].points.size() < 2) continue;
      any = true;
      left = std::min(left, lines[i].left);
      top = std::min(top, lines[i].top);
      right = std::max(right, lines[i].right);
      bottom = std::max(bottom, lines[i].bottom);
    }
    if (!any) continue;
    if (OverBudget()) return;
    Paint paint;
    const FillStyle* fill = &shape.fills[style - 1];
    FillStyle coloured;
    if (fillColour) {
      coloured.kind = FillKind::Solid;
      coloured.color = *fillColour;
      fill = &coloured;
    }
    if (!MakePaint(*fill, m, cx, paint) && !target.maskOut) continue;
    PixelBox box = ClipBox(left, top, right, bottom, *surface_, bandTop_, bandBottom_);
    if (box.Empty()) continue;
    raster_.Begin(box, shape.evenOdd);
    for (size_t i = 0; i < shape.paths.size(); ++i) {
      const Path& p = shape.paths[i];
      if ((p.fill0 == style) == (p.fill1 == style)) continue;
      // A path wholly above or below the box's rows adds nothing there.
      if (lines[i].bottom <= box.top || lines[i].top >= box.bottom) continue;
      const auto& pts = lines[i].points;
      bool forward = p.fill1 == style;
      for (size_t k = 0; k + 1 < pts.size(); ++k) {
        if (forward) raster_.Line(pts[k].x, pts[k].y, pts[k + 1].x, pts[k + 1].y);
        else raster_.Line(pts[k + 1].x, pts[k + 1].y, pts[k].x, pts[k].y);
      }
    }
    Shade(paint, target);
  }
  if (target.maskOut) return;  // clip layers take their fills only
  // Strokes: every flattened segment a rectangle, a disc at each end of a path and, where
  // two segments meet, the slice of a disc that fills the gap outside the turn, all wound the
  // same way, so that they unite into a line with round caps and joins.
  double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
  for (uint32_t style = 1; style <= shape.lines.size(); ++style) {
    const LineStyle& ls = shape.lines[style - 1];
    double width = std::max(1.0, ls.width * scale);
    double r = width / 2;
    double left = 1e30, top = 1e30, right = -1e30, bottom = -1e30;
    bool any = false;
    for (size_t i = 0; i < shape.paths.size(); ++i) {
      if (shape.paths[i].line != style || lines[i].points.size() < 2) continue;
      any = true;
      left = std::min(left, lines[i].left - r);
      top = std::min(top, lines[i].top - r);
      right = std::max(right, lines[i].right + r);
      bottom = std::max(bottom, lines[i].bottom + r);
    }
    if (!any) continue;
    if (OverBudget()) return;
    Paint paint;
    FillStyle fill;
    if (ls.hasFill) fill = ls.fill;
    else fill.color = ls.color;
    if (!MakePaint(fill, m, cx, paint)) continue;
    PixelBox box = ClipBox(left, top, right, bottom, *surface_, bandTop_, bandBottom_);
    if (box.Empty()) continue;
    raster_.Begin(box);
    int sides = std::clamp(int(r * 2) + 8, 8, 64);
    const double step = 2 * kPi / sides;
    const auto& turn = DiscTurns()[size_t(sides)];
    const double smallTurn = std::cos(step) * r * r;
    // Lines wholly above or below the band's rows add nothing there.
    auto outside = [&](double y0, double y1) {
      return std::max(y0, y1) + r < bandTop_ - 1 || std::min(y0, y1) - r > bandBottom_ + 1;
    };
    auto disc = [&](double cx0, double cy0) {
      if (outside(cy0, cy0)) return;
      double px = cx0 + r, py = cy0;
      for (int s = 1; s <= sides; ++s) {
        double qx = cx0 + r * turn[s][0], qy = cy0 + r * turn[s][1];
        raster_.Line(px, py, qx, qy);
        px = qx;
        py = qy;
      }
    };
    // A path's line is one outline: along its segments on one side, across its end, back
    // along the other side and across its start, with a disc on either end. Round a corner
    // it follows the arc of the disc there on the outside of the turn and passes through
    // the corner's point on the inside. So it winds as each segment's rectangle and each
    // corner's slice of a disc would together (the rectangles' ends between them cancel
    // out), with far fewer edges to rasterise.
    double penX = 0, penY = 0;
    auto to = [&](double x, double y) {
      // Lines wholly above or below the box's rows add nothing there.
      if (!(std::max(penY, y) <= box.top || std::min(penY, y) >= box.bottom)) raster_.Line(penX, penY, x, y);
      penX = x;
      penY = y;
    };
    // Round the corner at (x, y) on side s (the segments' offsets times s) from the segment
    // whose offset is (ax, ay) to the one whose offset is (bx, by); cross is that of the
    // first offset along the path with the second.
    auto corner = [&](double x, double y, double ax, double ay, double bx, double by, double s, double cross) {
      const double dot = ax * bx + ay * by;
      if (cross == 0 && dot > 0) return;  // straight on: the sides meet
      if (outside(y, y)) {  // all of it beyond the band's rows
        penX = x + s * bx;
        penY = y + s * by;
        return;
      }
      // The outside of the turn is on the right when the path turns left, and the other way.
      const double outer = cross > 0 ? -1 : 1;
      if (cross == 0 || s != outer) {
        to(x, y);  // the inside, or straight back (where a disc makes the cap)
        to(x + s * bx, y + s * by);
        return;
      }
      // Turned no more than a disc's side: one straight piece.
      if (dot < smallTurn) {
        const double from = std::atan2(s * ay, s * ax);
        double sweep = std::atan2(s * by, s * bx) - from;
        if (sweep > kPi) sweep -= 2 * kPi;
        if (sweep <= -kPi) sweep += 2 * kPi;
        const int pieces = std::clamp(int(std::ceil(std::fabs(sweep) / step - 1e-9)), 1, sides);
        for (int k = 1; k < pieces; ++k) {
          const double angle = from + sweep * k / pieces;
          to(x + r * std::cos(angle), y + r * std::sin(angle));
        }
      }
      to(x + s * bx, y + s * by);
    };
    struct Segment {
      Point from, to, offset;
    };
    std::vector<Segment> segs;
    for (size_t i = 0; i < shape.paths.size(); ++i) {
      if (shape.paths[i].line != style) continue;
      const auto& pts = lines[i].points;
      segments_ += pts.size() * (sides + 4);  // at most, with every join a sharp turn
      if (OverBudget()) {
        Shade(paint, target);  // leaves the rasteriser clean for the next frame
        return;
      }
      if (pts.empty() || outside(lines[i].top, lines[i].bottom)) continue;
      disc(pts.front().x, pts.front().y);
      disc(pts.back().x, pts.back().y);
      segs.clear();
      for (size_t k = 0; k + 1 < pts.size(); ++k) {
        double dx = pts[k + 1].x - pts[k].x, dy = pts[k + 1].y - pts[k].y;
        double len = std::sqrt(dx * dx + dy * dy);
        if (len < 1e-9) continue;
        segs.push_back({pts[k], pts[k + 1], {-dy / len * r, dx / len * r}});
      }
      if (segs.empty()) continue;
      // Wound as the discs are (clockwise on the screen, y pointing down): forward on the
      // side away from the offsets, back on theirs.
      const size_t n = segs.size();
      penX = segs[0].from.x - segs[0].offset.x;
      penY = segs[0].from.y - segs[0].offset.y;
      const double startX = penX, startY = penY;
      for (size_t k = 0; k < n; ++k) {
        const Segment& g = segs[k];
        to(g.to.x - g.offset.x, g.to.y - g.offset.y);
        if (k + 1 == n) break;
        const Segment& h = segs[k + 1];
        const double cross = g.offset.x * h.offset.y - g.offset.y * h.offset.x;
        if (cross == 0 && g.offset.x * h.offset.x + g.offset.y * h.offset.y < 0) disc(h.from.x, h.from.y);
        corner(h.from.x, h.from.y, g.offset.x, g.offset.y, h.offset.x, h.offset.y, -1, cross);
      }
      to(segs[n - 1].to.x + segs[n - 1].offset.x, segs[n - 1].to.y + segs[n - 1].offset.y);
      for (size_t k = n; k-- > 0;) {
        const Segment& g = segs[k];
        to(g.from.x + g.offset.x, g.from.y + g.offset.y);
        if (k == 0) break;
        const Segment& h = segs[k - 1];
        const double cross = h.offset.x * g.offset.y - h.offset.y * g.offset.x;
        corner(g.from.x, g.from.y, g.offset.x, g.offset.y, h.offset.x, h.offset.y, 1, cross);
      }
      to(startX, startY);
    }
    Shade(paint, target);
  }
}

void Renderer::DrawDrawing(const Clip& clip, const Matrix& m, const CxForm& cx, Target target) {
  if (!clip.drawing) return;
  for (const Shape& layer : clip.drawing->Layers()) {
    if (OverBudget()) return;
    DrawShape(layer, m, cx, target);
  }
}

void Renderer::DrawText(const StaticText& text, const Matrix& m, const CxForm& cx, Target target) {
  Matrix base = m * text.matrix;
  for (const GlyphRun& run : text.runs) {
    auto font = player_->Lookup(run.fontId);
    if (!font || font->kind != Kind::Font) continue;
    double scale = run.height / font->font.unitsPerEm;
    double x = run.x;
    for (auto [index, advance] : run.glyphs) {
      if (index < font->font.shapes.size()) {
        Matrix glyph{scale, 0, 0, scale, x, run.y};
        DrawShape(font->font.shapes[index], base * glyph, cx, target, &run.color);
      }
      x += advance;
      if (++objects_ > kMaxDrawnObjects) return;
    }
  }
}

void Renderer::DrawEditText(const EditText& edit, const Matrix& m, const CxForm& cx, Target target) {
  if (edit.border || edit.background) {
    // A one-pixel frame on the bounds' inner edge around the background, drawn for an empty
    // field as well.
    double sx = std::hypot(m.a, m.b), sy = std::hypot(m.c, m.d);
    double px = sx > 0 ? 1 / sx : 0, py = sy > 0 ? 1 / sy : 0;
    const SwfRect& b = edit.bounds;
    auto rect = [&](double x0, double y0, double x1, double y1, Rgba colour) {
      if (x1 <= x0 || y1 <= y0) return;
      Shape shape;
      FillStyle fill;
      fill.color = colour;
      shape.fills.push_back(fill);
      Path p;
      p.fill1 = 1;
      p.edges = {{x0, y0, 0, 0, x1, y0}, {x1, y0, 0, 0, x1, y1}, {x1, y1, 0, 0, x0, y1}, {x0, y1, 0, 0, x0, y0}};
      shape.paths.push_back(p);
      DrawShape(shape, m, cx, target);
    };
    if (edit.background) rect(b.xMin, b.yMin, b.xMax, b.yMax, edit.backgroundColor);
    if (edit.border) {
      rect(b.xMin, b.yMin, b.xMax, b.yMin + py, edit.borderColor);
      rect(b.xMin, b.yMax - py, b.xMax, b.yMax, edit.borderColor);
      rect(b.xMin, b.yMin + py, b.xMin + px, b.yMax - py, edit.borderColor);
      rect(b.xMax - px, b.yMin + py, b.xMax, b.yMax - py, edit.borderColor);
    }
  }
  if (edit.text.empty()) return;
  auto outlines = edit.useOutlines && edit.hasFont ? player_->Lookup(edit.fontId) : nullptr;
  if (outlines && outlines->kind == Kind::Font && !outlines->font.codes.empty()) {
    // The movie's own glyphs, line by line from the field's top-left inside its gutter.
    const Glyphs& g = outlines->font;
    double scale = edit.height / g.unitsPerEm;
    double ascent = g.ascent ? g.ascent * scale : edit.height * 0.8;
    double lineHeight = g.ascent ? (g.ascent + g.descent + g.leading) * scale : edit.height * 1.2;
    double x = edit.bounds.xMin + 40, baseline = edit.bounds.yMin + 40 + ascent;
    for (size_t i = 0; i < edit.text.size(); ++i) {
      uint8_t c = uint8_t(edit.text[i]);
      if (c == '\r' || c == '\n') {
        if (c == '\r' && i + 1 < edit.text.size() && edit.text[i + 1] == '\n') ++i;
        x = edit.bounds.xMin + 40;
        baseline += lineHeight;
        continue;
      }
      auto at = std::find(g.codes.begin(), g.codes.end(), c);
      if (at == g.codes.end()) {
        x += edit.height * 0.5;
        continue;
      }
      size_t index = size_t(at - g.codes.begin());
      if (index < g.shapes.size()) {
        Matrix glyph{scale, 0, 0, scale, x, baseline};
        DrawShape(g.shapes[index], m * glyph, cx, target, &edit.color);
      }
      x += index < g.advances.size() ? g.advances[index] * scale : edit.height * 0.6;
      if (++objects_ > kMaxDrawnObjects || OverBudget()) return;
    }
    return;
  }
  if (!text_ || target.maskOut) return;
  // A device font: the system's face of the font's name and style, run by run.
  auto named = edit.hasFont ? player_->Lookup(edit.fontId) : nullptr;
  double scaleY = std::sqrt(m.c * m.c + m.d * m.d);
  // The field's 2-pixel gutter and its margins on either side.
  double x, y, right, unused;
  m.Apply(edit.bounds.xMin + 40 + edit.leftMargin, edit.bounds.yMin + 40, x, y);
  m.Apply(edit.bounds.xMax - 40 - edit.rightMargin, edit.bounds.yMin + 40, right, unused);
  DrawHeld();
  Canvas canvas(*surface_);
  // The text stays inside the field's box, as far as the band goes.
  double boxLeft = 1e9, boxTop = 1e9, boxRight = -1e9, boxBottom = -1e9;
  for (double bx : {double(edit.bounds.xMin), double(edit.bounds.xMax)})
    for (double by : {double(edit.bounds.yMin), double(edit.bounds.yMax)}) {
      double px, py;
      m.Apply(bx, by, px, py);
      boxLeft = std::min(boxLeft, px);
      boxRight = std::max(boxRight, px);
      boxTop = std::min(boxTop, py);
      boxBottom = std::max(boxBottom, py);
    }
  if (!(boxLeft <= boxRight && boxTop <= boxBottom)) return;
  const int32_t clipLeft = int32_t(std::clamp(std::floor(boxLeft), 0.0, double(surface_->Width())));
  const int32_t clipRight = int32_t(std::clamp(std::ceil(boxRight), 0.0, double(surface_->Width())));
  const int32_t clipTop = int32_t(std::clamp(std::floor(boxTop), double(bandTop_), double(bandBottom_)));
  const int32_t clipBottom = int32_t(std::clamp(std::ceil(boxBottom), double(bandTop_), double(bandBottom_)));
  if (clipRight <= clipLeft || clipBottom <= clipTop) return;
  canvas.SelectClip(Region::FromRect({clipLeft, clipTop, clipRight, clipBottom}));
  std::lock_guard lock(*textLock_);
  int32_t lineY = int32_t(std::lround(y));
  // Lines below the band are not laid out; every line is at least a pixel tall.
  size_t maxLines = size_t(std::max(0.0, std::min(double(bandBottom_) + 4096 - lineY, 1e7))) + 1;
  auto lines = LayOutDeviceText(edit, named.get(), *text_, scaleY,
                                edit.wordWrap ? right - x : std::numeric_limits<double>::infinity(), maxLines);
  for (const TextLine& line : lines) {
    double lineX = x;
    if (edit.align == 1 || edit.align == 2) {
      const double slack = right - x - line.width;
      lineX += edit.align == 1 ? slack : slack / 2;
    }
    for (const TextPiece& piece : line.pieces) {
      Font font = piece.font;
      Rgba c = cx.Apply(piece.colour);
      font.Colour = RGBColor(c.r, c.g, c.b);
      // Pieces of one line stand on its foot.
      text_->Draw(canvas, font, int32_t(std::lround(lineX + piece.x)), lineY + line.height - piece.height, piece.text);
    }
    lineY += line.height;
  }
}

}  // namespace vitrine::swf
