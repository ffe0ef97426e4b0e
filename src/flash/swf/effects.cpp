#include "flash/swf/effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace vitrine::swf {

namespace {

double Fixed(BitReader& r) { return int32_t(r.U32()) / 65536.0; }
float Float(BitReader& r) {
  uint32_t bits = r.U32();
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return std::isfinite(f) ? f : 0.0f;
}

double Blur(double v) { return std::clamp(std::isfinite(v) ? v : 0.0, 0.0, kMaxBlur); }

// The pixels drawn in a layer widened by margin on every side, clipped to the layer:
// left, top, right, bottom (exclusive); empty when nothing is drawn.
struct Box {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
};
Box DrawnBox(const Layer& layer, int32_t marginX, int32_t marginY) {
  Box box{layer.width, layer.height, 0, 0};
  for (int32_t y = 0; y < layer.height; ++y) {
    const uint32_t* row = layer.pixels.data() + size_t(y) * layer.width;
    for (int32_t x = 0; x < layer.width; ++x) {
      if (!row[x]) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x + 1);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  if (box.Empty()) return {};
  box.left = std::max(0, box.left - marginX);
  box.top = std::max(0, box.top - marginY);
  box.right = std::min(layer.width, box.right + marginX);
  box.bottom = std::min(layer.height, box.bottom + marginY);
  return box;
}

// One box filter of the given width (fractional widths weigh the two end samples by the
// fraction) along a line of n samples, stride apart; beyond the line lies nothing.
void BoxLine(float* data, int32_t n, int32_t stride, double width, std::vector<float>& in) {
  if (width <= 1 || n <= 0) return;
  in.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) in[size_t(i)] = data[size_t(i) * stride];
  double radius = (width - 1) / 2;
  int32_t whole = int32_t(std::floor(radius));
  float part = float(radius - whole);
  float scale = float(1 / width);
  auto at = [&](int32_t i) { return i >= 0 && i < n ? in[size_t(i)] : 0.0f; };
  double sum = 0;
  for (int32_t k = -whole; k <= whole; ++k) sum += at(k);
  for (int32_t i = 0; i < n; ++i) {
    float v = float(sum) + part * (at(i - whole - 1) + at(i + whole + 1));
    data[size_t(i) * stride] = v * scale;
    sum += at(i + whole + 1) - at(i - whole);
  }
}

// A plane of w x h values blurred by passes of box filters blurX wide along rows and blurY
// wide along columns.
void BlurPlane(float* plane, int32_t w, int32_t h, double blurX, double blurY, int passes) {
  std::vector<float> scratch;
  for (int p = 0; p < passes; ++p) {
    if (blurX > 1)
      for (int32_t y = 0; y < h; ++y) BoxLine(plane + size_t(y) * w, w, 1, blurX, scratch);
    if (blurY > 1)
      for (int32_t x = 0; x < w; ++x) BoxLine(plane + x, h, w, blurY, scratch);
  }
}

int32_t Margin(double blur, int passes) { return int32_t(std::ceil(blur / 2 + 1)) * passes; }

uint8_t ToByte(float v) { return uint8_t(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

void BlurLayer(Layer& layer, double blurX, double blurY, int passes) {
  Box box = DrawnBox(layer, Margin(blurX, passes), Margin(blurY, passes));
  if (box.Empty()) return;
  int32_t w = box.right - box.left, h = box.bottom - box.top;
  std::vector<float> planes[4];
  for (int c = 0; c < 4; ++c) planes[c].resize(size_t(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t p = layer.pixels[size_t(y + box.top) * layer.width + x + box.left];
      for (int c = 0; c < 4; ++c) planes[c][size_t(y) * w + x] = float((p >> (24 - 8 * c)) & 255);
    }
  for (int c = 0; c < 4; ++c) BlurPlane(planes[c].data(), w, h, blurX, blurY, passes);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      size_t i = size_t(y) * w + x;
      uint32_t a = ToByte(planes[0][i]);
      // Premultiplied colour never passes its alpha.
      auto ch = [&](int c) { return std::min<uint32_t>(ToByte(planes[c][i]), a); };
      layer.pixels[size_t(y + box.top) * layer.width + x + box.left] = a << 24 | ch(1) << 16 | ch(2) << 8 | ch(3);
    }
}

// Within the object's box only: an added alpha does not spread over the whole layer.
void ColorMatrixLayer(Layer& layer, const float* m) {
  Box box = DrawnBox(layer, 0, 0);
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x) {
      uint32_t& p = layer.pixels[size_t(y) * layer.width + x];
      float a = float(p >> 24);
      float c[4] = {0, 0, 0, a};
      if (a > 0)
        for (int i = 0; i < 3; ++i) c[i] = std::min(255.0f, float((p >> (16 - 8 * i)) & 255) * 255.0f / a);
      float out[4];
      for (int row = 0; row < 4; ++row) {
        const float* k = m + row * 5;
        out[row] = k[0] * c[0] + k[1] * c[1] + k[2] * c[2] + k[3] * c[3] + k[4];
      }
      uint32_t na = ToByte(out[3]);
      auto ch = [&](int i) { return uint32_t(ToByte(std::clamp(out[i], 0.0f, 255.0f) * float(na) / 255.0f)); };
      p = na << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
    }
}

// What a shadow, glow or bevel needs first: its blur at the stage's zoom, its offset in
// pixels, and the part of the layer it can touch.
struct Reach {
  double blurX, blurY;
  int passes;
  int32_t dx, dy;
  Box box;
};
Reach ReachOf(const Filter& f, const Layer& layer, double scale) {
  Reach r;
  r.blurX = Blur(f.blurX * scale);
  r.blurY = Blur(f.blurY * scale);
  r.passes = std::clamp(f.passes, 1, kMaxBlurPasses);
  double distance = std::isfinite(f.distance) ? std::clamp(f.distance * scale, -4096.0, 4096.0) : 0;
  double angle = std::isfinite(f.angle) ? f.angle : 0;
  r.dx = int32_t(std::lround(distance * std::cos(angle)));
  r.dy = int32_t(std::lround(distance * std::sin(angle)));
  r.box = DrawnBox(layer, Margin(r.blurX, r.passes) + std::abs(r.dx), Margin(r.blurY, r.passes) + std::abs(r.dy));
  return r;
}

// Drop shadows and glows: the layer's alpha blurred, moved by the offset and coloured, under
// the object (outer) or inside it over its edges (inner).
void ShadowLayer(const Filter& f, Layer& layer, double scale) {
  const Reach reach = ReachOf(f, layer, scale);
  double blurX = reach.blurX, blurY = reach.blurY;
  int passes = reach.passes;
  int32_t dx = reach.dx, dy = reach.dy;
  Box box = reach.box;
  if (box.Empty()) return;
  int32_t w = box.right - box.left, h = box.bottom - box.top;
  // The source's alpha, moved by the offset, inverted for an inner shadow.
  std::vector<float> plane(size_t(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      int32_t sx = x + box.left - dx, sy = y + box.top - dy;
      float a = sx >= 0 && sy >= 0 && sx < layer.width && sy < layer.height
                    ? float(layer.pixels[size_t(sy) * layer.width + sx] >> 24) / 255.0f
                    : 0.0f;
      plane[size_t(y) * w + x] = f.inner ? 1 - a : a;
    }
  BlurPlane(plane.data(), w, h, blurX, blurY, passes);
  float strength = float(std::clamp(std::isfinite(f.strength) ? f.strength : 0.0, 0.0, 255.0));
  float colourAlpha = f.color.a / 255.0f;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t& p = layer.pixels[size_t(y + box.top) * layer.width + x + box.left];
      float srcA = float(p >> 24) / 255.0f;
      float s = std::min(1.0f, plane[size_t(y) * w + x] * strength) * colourAlpha;
      float src[4] = {float((p >> 16) & 255), float((p >> 8) & 255), float(p & 255), float(p >> 24)};
      float shadow[4] = {f.color.r * s, f.color.g * s, f.color.b * s, 255 * s};
      float out[4];
      for (int c = 0; c < 4; ++c) {
        if (f.inner) {
          // Inside the object only: the shadow over it, or alone.
          float inside = shadow[c] * srcA;
          out[c] = f.knockout ? inside : !f.compositeSource ? inside : inside + src[c] * (1 - s);
        } else {
          out[c] = f.knockout ? shadow[c] * (1 - srcA) : !f.compositeSource ? shadow[c] : src[c] + shadow[c] * (1 - srcA);
        }
      }
      uint32_t a = ToByte(out[3]);
      auto ch = [&](int c) { return std::min<uint32_t>(ToByte(out[c]), a); };
      p = a << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
    }
}

// A gradient's 256 colours (straight, with alpha) from its stops.
std::array<Rgba, 256> GradientTable(const std::vector<Rgba>& colours, const std::vector<uint8_t>& ratios) {
  std::array<Rgba, 256> table{};
  size_t n = std::min(colours.size(), ratios.size());
  if (n == 0) {
    for (Rgba& c : table) c = Rgba{0, 0, 0, 0};
    return table;
  }
  for (int i = 0; i < 256; ++i) {
    size_t k = 0;
    while (k < n && ratios[k] < i) ++k;
    if (k == 0 || k == n) {
      table[size_t(i)] = colours[k == 0 ? 0 : n - 1];
      continue;
    }
    const Rgba &a = colours[k - 1], &b = colours[k];
    double t = ratios[k] == ratios[k - 1] ? 1 : double(i - ratios[k - 1]) / (ratios[k] - ratios[k - 1]);
    auto mix = [&](uint8_t u, uint8_t v) { return uint8_t(std::lround(u + (v - u) * t)); };
    table[size_t(i)] = {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
  }
  return table;
}

// Bevels and gradient glows: the layer's alpha moved by the offset (and, for bevels, the other
// way too), blurred, turned into an effect colour per pixel, and laid inside the object, outside
// it, or over it whole (onTop).
void EdgeEffectLayer(const Filter& f, Layer& layer, double scale) {
  const bool bevel = f.type == Filter::Bevel || f.type == Filter::GradientBevel;
  const Reach reach = ReachOf(f, layer, scale);
  double blurX = reach.blurX, blurY = reach.blurY;
  int passes = reach.passes;
  int32_t dx = reach.dx, dy = reach.dy;
  Box box = reach.box;
  if (box.Empty()) return;
  int32_t w = box.right - box.left, h = box.bottom - box.top;
  auto alphaAt = [&](int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < layer.width && y < layer.height
               ? float(layer.pixels[size_t(y) * layer.width + x] >> 24) / 255.0f
               : 0.0f;
  };
  // Bevels: the object moved towards the shadow less the object moved towards the light,
  // positive on the shadow's side. Glows: the object moved by the offset.
  std::vector<float> plane(size_t(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      int32_t px = x + box.left, py = y + box.top;
      float v = alphaAt(px - dx, py - dy);
      if (bevel) v -= alphaAt(px + dx, py + dy);
      plane[size_t(y) * w + x] = v;
    }
  BlurPlane(plane.data(), w, h, blurX, blurY, passes);
  float strength = float(std::clamp(std::isfinite(f.strength) ? f.strength : 0.0, 0.0, 255.0));
  std::array<Rgba, 256> table{};
  if (f.type != Filter::Bevel) table = GradientTable(f.gradient, f.ratios);
  const bool full = f.onTop, inner = !full && f.inner;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t& p = layer.pixels[size_t(y + box.top) * layer.width + x + box.left];
      float srcA = float(p >> 24) / 255.0f;
      float v = std::clamp(plane[size_t(y) * w + x] * strength, -1.0f, 1.0f);
      float effect[4] = {0, 0, 0, 0};  // premultiplied, 0..255
      auto lay = [&](Rgba c, float share) {
        float a = share * c.a / 255.0f;
        effect[0] += c.r * a;
        effect[1] += c.g * a;
        effect[2] += c.b * a;
        effect[3] += 255 * a;
      };
      if (f.type == Filter::Bevel) {
        if (v > 0) lay(f.color, v);
        else if (v < 0) lay(f.highlight, -v);
      } else if (f.type == Filter::GradientBevel) {
        lay(table[size_t(std::lround(127.5f + v * 127.5f))], 1);
      } else if (v > 0) {
        lay(table[size_t(std::lround(v * 255))], 1);
      }
      float src[4] = {float((p >> 16) & 255), float((p >> 8) & 255), float(p & 255), float(p >> 24)};
      float ea = std::min(1.0f, effect[3] / 255.0f);
      float out[4];
      for (int c = 0; c < 4; ++c) {
        if (full) out[c] = f.knockout ? effect[c] : effect[c] + src[c] * (1 - ea);
        else if (inner) out[c] = f.knockout ? effect[c] * srcA : effect[c] * srcA + src[c] * (1 - ea * srcA);
        else out[c] = f.knockout ? effect[c] * (1 - srcA) : src[c] + effect[c] * (1 - srcA);
        if (!f.compositeSource && !f.knockout) out[c] = full ? effect[c] : inner ? effect[c] * srcA : effect[c] * (1 - srcA);
      }
      uint32_t a = ToByte(out[3]);
      auto ch = [&](int c) { return std::min<uint32_t>(ToByte(out[c]), a); };
      p = a << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
    }
}

// A convolution of the object's straight colours (and alpha unless kept), with pixels beyond
// its box taken from its edge (clamp) or the default colour.
void ConvolutionLayer(const Filter& f, Layer& layer) {
  const int32_t mx = f.matrixX, my = f.matrixY;
  if (mx <= 0 || my <= 0 || size_t(mx) * size_t(my) != f.kernel.size() || mx * my > kMaxKernel) return;
  Box box = DrawnBox(layer, mx, my);
  if (box.Empty()) return;
  const Layer source = layer;
  float divisor = f.divisor != 0 && std::isfinite(f.divisor) ? f.divisor : 1;
  auto straight = [&](int32_t x, int32_t y, float out[4]) {
    uint32_t p;
    if (x < box.left || y < box.top || x >= box.right || y >= box.bottom) {
      if (!f.clamp) {
        out[0] = f.defaultColor.r, out[1] = f.defaultColor.g, out[2] = f.defaultColor.b, out[3] = f.defaultColor.a;
        return;
      }
      x = std::clamp(x, box.left, box.right - 1);
      y = std::clamp(y, box.top, box.bottom - 1);
    }
    p = source.pixels[size_t(y) * source.width + x];
    float a = float(p >> 24);
    out[3] = a;
    for (int i = 0; i < 3; ++i) out[i] = a > 0 ? std::min(255.0f, float((p >> (16 - 8 * i)) & 255) * 255.0f / a) : 0;
  };
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x) {
      float sum[4] = {0, 0, 0, 0};
      for (int32_t ky = 0; ky < my; ++ky)
        for (int32_t kx = 0; kx < mx; ++kx) {
          float k = f.kernel[size_t(ky) * mx + kx];
          if (k == 0) continue;
          float v[4];
          straight(x + kx - mx / 2, y + ky - my / 2, v);
          for (int c = 0; c < 4; ++c) sum[c] += k * v[c];
        }
      float own[4];
      straight(x, y, own);
      float out[4];
      for (int c = 0; c < 4; ++c) out[c] = std::clamp(sum[c] / divisor + f.bias, 0.0f, 255.0f);
      if (f.preserveAlpha) out[3] = own[3];
      uint32_t a = ToByte(out[3]);
      auto ch = [&](int c) { return std::min<uint32_t>(ToByte(out[c] * float(a) / 255.0f), a); };
      layer.pixels[size_t(y) * layer.width + x] = a << 24 | ch(0) << 16 | ch(1) << 8 | ch(2);
    }
}

inline uint32_t Div255(uint32_t v) { return (v + 128 + ((v + 128) >> 8)) >> 8; }

// The separable modes: the mixed value of source s and backdrop d, both 0..255.
int32_t Mix(BlendMode mode, int32_t s, int32_t d) {
  switch (mode) {
    case BlendMode::Multiply: return int32_t(Div255(uint32_t(s * d)));
    case BlendMode::Screen: return s + d - int32_t(Div255(uint32_t(s * d)));
    case BlendMode::Lighten: return std::max(s, d);
    case BlendMode::Darken: return std::min(s, d);
    case BlendMode::Difference: return std::abs(s - d);
    case BlendMode::Invert: return 255 - d;
    case BlendMode::Overlay:
      return d < 128 ? int32_t(Div255(uint32_t(2 * s * d))) : 255 - int32_t(Div255(uint32_t(2 * (255 - s) * (255 - d))));
    case BlendMode::HardLight:
      return s < 128 ? int32_t(Div255(uint32_t(2 * s * d))) : 255 - int32_t(Div255(uint32_t(2 * (255 - s) * (255 - d))));
    default: return s;
  }
}

}  // namespace

BlendMode BlendModeOf(uint8_t value) {
  return value >= 1 && value <= 14 ? BlendMode(value) : BlendMode::Normal;
}

// The strength and the three flags the shadow, glow and bevel filters share.
static void ReadStrengthAndFlags(BitReader& r, Filter& f) {
  f.strength = r.Fixed8();
  f.inner = r.UBits(1);
  f.knockout = r.UBits(1);
  f.compositeSource = r.UBits(1);
}

std::vector<Filter> ReadFilterList(BitReader& r) {
  std::vector<Filter> filters;
  uint32_t count = r.U8();
  for (uint32_t i = 0; i < count; ++i) {
    Filter f;
    uint8_t type = r.U8();
    f.type = Filter::Type(type);
    switch (type) {
      case Filter::DropShadow:
      case Filter::Glow:
        f.color = ReadRgba(r);
        f.blurX = Fixed(r);
        f.blurY = Fixed(r);
        if (type == Filter::DropShadow) {
          f.angle = Fixed(r);
          f.distance = Fixed(r);
        }
        ReadStrengthAndFlags(r, f);
        f.passes = int(r.UBits(5));
        r.Align();
        break;
      case Filter::Blur:
        f.blurX = Fixed(r);
        f.blurY = Fixed(r);
        f.passes = int(r.UBits(5));
        r.UBits(3);
        break;
      case Filter::Bevel:
      case Filter::GradientGlow:
      case Filter::GradientBevel: {
        if (type == Filter::Bevel) {
          // Movies store the highlight first, then the shadow.
          f.highlight = ReadRgba(r);
          f.color = ReadRgba(r);
        } else {
          uint32_t n = r.U8();
          for (uint32_t k = 0; k < n; ++k) f.gradient.push_back(ReadRgba(r));
          for (uint32_t k = 0; k < n; ++k) f.ratios.push_back(r.U8());
        }
        f.blurX = Fixed(r);
        f.blurY = Fixed(r);
        f.angle = Fixed(r);
        f.distance = Fixed(r);
        ReadStrengthAndFlags(r, f);
        f.onTop = r.UBits(1);
        f.passes = int(r.UBits(4));
        r.Align();
        break;
      }
      case Filter::Convolution: {
        f.matrixX = r.U8();
        f.matrixY = r.U8();
        f.divisor = Float(r);
        f.bias = Float(r);
        for (int k = 0; k < f.matrixX * f.matrixY; ++k) f.kernel.push_back(Float(r));
        f.defaultColor = ReadRgba(r);
        r.UBits(6);
        f.clamp = r.UBits(1);
        f.preserveAlpha = r.UBits(1);
        break;
      }
      case Filter::ColorMatrix:
        for (float& v : f.matrix) v = Float(r);
        break;
      default:
        throw SwfError("unknown filter");
    }
    if (filters.size() < kMaxFilters) filters.push_back(std::move(f));
  }
  return filters;
}

void ApplyFilter(const Filter& f, Layer& layer, double scale) {
  if (layer.pixels.size() != size_t(layer.width) * size_t(layer.height)) return;
  switch (f.type) {
    case Filter::Blur:
      BlurLayer(layer, Blur(f.blurX * scale), Blur(f.blurY * scale), std::clamp(f.passes, 0, kMaxBlurPasses));
      break;
    case Filter::ColorMatrix:
      ColorMatrixLayer(layer, f.matrix);
      break;
    case Filter::DropShadow:
    case Filter::Glow:
      ShadowLayer(f, layer, scale);
      break;
    case Filter::Bevel:
    case Filter::GradientGlow:
    case Filter::GradientBevel:
      EdgeEffectLayer(f, layer, scale);
      break;
    case Filter::Convolution:
      ConvolutionLayer(f, layer);
      break;
  }
}

int32_t FilterReach(const std::vector<Filter>& filters, double scale) {
  double reach = 0;
  for (const Filter& f : filters) {
    int passes = std::clamp(f.passes, 1, kMaxBlurPasses);
    double distance = std::isfinite(f.distance) ? std::min(std::fabs(f.distance * scale), 4096.0) : 0;
    reach += std::max(Margin(Blur(f.blurX * scale), passes), Margin(Blur(f.blurY * scale), passes)) + distance + 1;
    if (f.type == Filter::Convolution) reach += std::max(f.matrixX, f.matrixY);
  }
  return int32_t(std::min(reach, 1e6));
}

void Composite(const Layer& layer, BlendMode mode, Bitmap& surface, int32_t top, int32_t from, int32_t to,
               const uint8_t* mask, std::optional<uint32_t> backdrop) {
  if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && !backdrop) return;
  if (surface.Width() != layer.width || layer.pixels.size() != size_t(layer.width) * size_t(layer.height)) return;
  from = std::max({from, top, 0});
  to = std::min({to, top + layer.height, surface.Height()});
  for (int32_t y = from; y < to; ++y) {
    const uint32_t* src = layer.pixels.data() + size_t(y - top) * layer.width;
    uint32_t* row = reinterpret_cast<uint32_t*>(surface.Row(y));
    const uint8_t* m = mask ? mask + size_t(y) * layer.width : nullptr;
    for (int32_t x = 0; x < layer.width; ++x) {
      uint32_t p = src[x];
      uint32_t a = p >> 24;
      if (m) {
        if (!m[x]) continue;
        if (m[x] != 255) {
          a = Div255(a * m[x]);
          p = a << 24 | Div255(((p >> 16) & 255) * m[x]) << 16 | Div255(((p >> 8) & 255) * m[x]) << 8 |
              Div255((p & 255) * m[x]);
        }
      }
      if (mode == BlendMode::Alpha || mode == BlendMode::Erase) {
        // What was drawn in the pass keeps the source's alpha (or loses it): the rest turns
        // back into the pass's backdrop.
        uint32_t keep = mode == BlendMode::Alpha ? a : 255 - a;
        uint32_t d = row[x], k = *backdrop;
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          int32_t dc = int32_t((d >> shift) & 255), kc = int32_t((k >> shift) & 255);
          out |= uint32_t(kc + (dc - kc) * int32_t(keep) / 255) << shift;
        }
        row[x] = out;
        continue;
      }
      if (a == 0) continue;
      uint32_t d = row[x];
      uint32_t out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        int32_t sp = int32_t((p >> shift) & 255);  // premultiplied
        int32_t dc = int32_t((d >> shift) & 255);
        int32_t v;
        switch (mode) {
          case BlendMode::Add: v = dc + sp; break;
          case BlendMode::Subtract: v = dc - sp; break;
          case BlendMode::Normal:
          case BlendMode::Layer: v = sp + int32_t(Div255(uint32_t(dc) * (255 - a))); break;
          default: {
            int32_t s = std::min(255, sp * 255 / int32_t(a));  // straight colour
            v = int32_t(Div255(uint32_t(dc) * (255 - a))) + int32_t(Div255(uint32_t(Mix(mode, s, dc)) * a));
          }
        }
        out |= uint32_t(std::clamp(v, 0, 255)) << shift;
      }
      row[x] = out;
    }
  }
}

}  // namespace vitrine::swf
