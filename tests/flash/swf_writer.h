#pragma once
// A small SWF writer for the tests: bit fields, records, shapes and the tags the player
// reads, put together by hand so that each test states the movie it plays.
#include <cmath>
#include <cstring>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "flash/movie_bytes.h"

// The tests name only the fields of a record they set (Place{.depth = 1, .id = 2}).
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace vitrine::test {

inline constexpr double kPi = 3.14159265358979323846;

class BitWriter {
 public:
  void UBits(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
      acc_ = uint8_t(acc_ << 1 | ((v >> i) & 1));
      if (++bits_ == 8) {
        out_.push_back(acc_);
        acc_ = 0;
        bits_ = 0;
      }
    }
  }
  void SBits(int32_t v, int n) { UBits(uint32_t(v), n); }
  void Align() {
    if (bits_) UBits(0, 8 - bits_);
  }
  void U8(uint8_t v) {
    Align();
    out_.push_back(v);
  }
  void U16(uint16_t v) {
    U8(uint8_t(v));
    U8(uint8_t(v >> 8));
  }
  void U32(uint32_t v) {
    U16(uint16_t(v));
    U16(uint16_t(v >> 16));
  }
  void Bytes(const std::vector<uint8_t>& b) {
    Align();
    out_.insert(out_.end(), b.begin(), b.end());
  }
  void String(const std::string& s) {
    Align();
    out_.insert(out_.end(), s.begin(), s.end());
    out_.push_back(0);
  }
  std::vector<uint8_t> Take() {
    Align();
    return std::move(out_);
  }

 private:
  std::vector<uint8_t> out_;
  uint8_t acc_ = 0;
  int bits_ = 0;
};

// Bits a signed field needs for every value given.
inline int SignedBits(std::initializer_list<int32_t> values) {
  int n = 1;
  for (int32_t v : values) {
    int need = 1;
    while (need < 32 && (v < -(int64_t(1) << (need - 1)) || v >= (int64_t(1) << (need - 1)))) ++need;
    n = std::max(n, need);
  }
  return n;
}

inline void WriteRect(BitWriter& w, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
  int n = SignedBits({xMin, xMax, yMin, yMax});
  w.Align();
  w.UBits(n, 5);
  for (int32_t v : {xMin, xMax, yMin, yMax}) w.SBits(v, n);
  w.Align();
}

struct Mat {
  double a = 1, b = 0, c = 0, d = 1;
  int32_t tx = 0, ty = 0;  // twips
};
inline Mat Translate(int32_t tx, int32_t ty) { return {1, 0, 0, 1, tx, ty}; }
inline Mat Scale(double sx, double sy, int32_t tx = 0, int32_t ty = 0) { return {sx, 0, 0, sy, tx, ty}; }

inline void WriteMatrix(BitWriter& w, const Mat& m) {
  w.Align();
  auto fixed = [](double v) { return int32_t(std::lround(v * 65536)); };
  bool scale = m.a != 1 || m.d != 1;
  w.UBits(scale, 1);
  if (scale) {
    int n = SignedBits({fixed(m.a), fixed(m.d)});
    w.UBits(n, 5);
    w.SBits(fixed(m.a), n);
    w.SBits(fixed(m.d), n);
  }
  bool rotate = m.b != 0 || m.c != 0;
  w.UBits(rotate, 1);
  if (rotate) {
    int n = SignedBits({fixed(m.b), fixed(m.c)});
    w.UBits(n, 5);
    w.SBits(fixed(m.b), n);
    w.SBits(fixed(m.c), n);
  }
  int n = SignedBits({m.tx, m.ty});
  w.UBits(n, 5);
  w.SBits(m.tx, n);
  w.SBits(m.ty, n);
  w.Align();
}

// Multipliers in 8.8 fixed point (256 = 1), additions in 0..255 steps.
struct Cx {
  int32_t mult[4] = {256, 256, 256, 256};
  int32_t add[4] = {0, 0, 0, 0};
};
inline void WriteCxForm(BitWriter& w, const Cx& cx, bool alpha) {
  w.Align();
  w.UBits(1, 1);
  w.UBits(1, 1);
  int n = SignedBits({cx.mult[0], cx.mult[1], cx.mult[2], cx.mult[3], cx.add[0], cx.add[1], cx.add[2], cx.add[3]});
  w.UBits(n, 4);
  int count = alpha ? 4 : 3;
  for (int i = 0; i < count; ++i) w.SBits(cx.mult[i], n);
  for (int i = 0; i < count; ++i) w.SBits(cx.add[i], n);
  w.Align();
}

struct Colour {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

// One fill style record, written for a shape version (RGB below 3, RGBA from 3).
struct Fill {
  uint8_t type = 0;
  Colour colour;
  Mat matrix;
  std::vector<std::pair<uint8_t, Colour>> stops;
  uint8_t spread = 0, interpolation = 0;
  double focal = 0;
  uint16_t bitmapId = 0;
};
inline Fill Solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return Fill{0, {r, g, b, a}}; }
// type 0x10 linear, 0x12 radial, 0x13 focal; matrix maps the square -16384..16384 to twips.
inline Fill Gradient(uint8_t type, Mat m, std::vector<std::pair<uint8_t, Colour>> stops, uint8_t spread = 0,
                     uint8_t interpolation = 0, double focal = 0) {
  Fill f;
  f.type = type;
  f.matrix = m;
  f.stops = std::move(stops);
  f.spread = spread;
  f.interpolation = interpolation;
  f.focal = focal;
  return f;
}
// type 0x40 repeating, 0x41 clipped, 0x42/0x43 the same without smoothing.
inline Fill BitmapFill(uint8_t type, uint16_t id, Mat m) {
  Fill f;
  f.type = type;
  f.bitmapId = id;
  f.matrix = m;
  return f;
}

inline void WriteColour(BitWriter& w, Colour c, bool alpha) {
  w.U8(c.r);
  w.U8(c.g);
  w.U8(c.b);
  if (alpha) w.U8(c.a);
}

inline void WriteFill(BitWriter& w, const Fill& f, int version) {
  w.U8(f.type);
  if (f.type == 0) {
    WriteColour(w, f.colour, version >= 3);
  } else if (f.type >= 0x40) {
    w.U16(f.bitmapId);
    WriteMatrix(w, f.matrix);
  } else {
    WriteMatrix(w, f.matrix);
    w.UBits(f.spread, 2);
    w.UBits(f.interpolation, 2);
    w.UBits(uint32_t(f.stops.size()), 4);
    for (auto& [ratio, c] : f.stops) {
      w.U8(ratio);
      WriteColour(w, c, version >= 3);
    }
    if (f.type == 0x13) w.U16(uint16_t(int16_t(std::lround(f.focal * 256))));
  }
}

struct LineSpec {
  uint16_t width = 20;  // twips
  Colour colour;
};

// The records of one shape: style changes and edges in absolute twips.
class ShapeWriter {
 public:
  ShapeWriter(int version, std::vector<Fill> fills, std::vector<LineSpec> lines)
      : version_(version), fills_(std::move(fills)), lines_(std::move(lines)) {
    fillBits_ = Need(uint32_t(fills_.size()));
    lineBits_ = Need(uint32_t(lines_.size()));
  }

  ShapeWriter& Style(int fill0, int fill1, int line) {
    records_.UBits(0, 1);
    records_.UBits(0b01110, 5);  // line, fill1, fill0; no move, no new styles
    records_.UBits(fill0, fillBits_);
    records_.UBits(fill1, fillBits_);
    records_.UBits(line, lineBits_);
    return *this;
  }
  ShapeWriter& MoveTo(int32_t x, int32_t y) {
    records_.UBits(0, 1);
    records_.UBits(0b00001, 5);
    int n = SignedBits({x, y});
    records_.UBits(n, 5);
    records_.SBits(x, n);
    records_.SBits(y, n);
    x_ = x;
    y_ = y;
    return *this;
  }
  ShapeWriter& LineTo(int32_t x, int32_t y) {
    int32_t dx = x - x_, dy = y - y_;
    int n = std::max(SignedBits({dx, dy}), 2);
    records_.UBits(1, 1);
    records_.UBits(1, 1);
    records_.UBits(n - 2, 4);
    records_.UBits(1, 1);  // general line
    records_.SBits(dx, n);
    records_.SBits(dy, n);
    x_ = x;
    y_ = y;
    return *this;
  }
  ShapeWriter& CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    int32_t a = cx - x_, b = cy - y_, c = x - cx, d = y - cy;
    int n = std::max(SignedBits({a, b, c, d}), 2);
    records_.UBits(1, 1);
    records_.UBits(0, 1);
    records_.UBits(n - 2, 4);
    records_.SBits(a, n);
    records_.SBits(b, n);
    records_.SBits(c, n);
    records_.SBits(d, n);
    x_ = x;
    y_ = y;
    return *this;
  }
  // A closed rectangle from the current style.
  ShapeWriter& Rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return MoveTo(x0, y0).LineTo(x1, y0).LineTo(x1, y1).LineTo(x0, y1).LineTo(x0, y0);
  }
  // A circle from four quadratic arcs (close to, not exactly, a circle).
  ShapeWriter& Circle(int32_t cx, int32_t cy, int32_t r) {
    // Eight arcs keep the quadratic within 0.1% of the radius.
    MoveTo(cx + r, cy);
    for (int i = 1; i <= 8; ++i) {
      double a0 = (i - 1) * kPi / 4, a1 = i * kPi / 4, am = (a0 + a1) / 2;
      double k = r / std::cos(kPi / 8);
      CurveTo(cx + int32_t(std::lround(k * std::cos(am))), cy + int32_t(std::lround(k * std::sin(am))),
              cx + int32_t(std::lround(r * std::cos(a1))), cy + int32_t(std::lround(r * std::sin(a1))));
    }
    return *this;
  }

  // The style tables and records, as DefineShape's SHAPEWITHSTYLE.
  std::vector<uint8_t> WithStyles() {
    BitWriter w;
    WriteStyles(w);
    w.UBits(fillBits_, 4);
    w.UBits(lineBits_, 4);
    AppendRecords(w);
    return w.Take();
  }
  // The records alone, as a glyph's or a morph's SHAPE.
  std::vector<uint8_t> Records() {
    BitWriter w;
    w.UBits(fillBits_, 4);
    w.UBits(lineBits_, 4);
    AppendRecords(w);
    return w.Take();
  }
  std::vector<uint8_t> DefineShape(uint16_t id, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
    BitWriter w;
    w.U16(id);
    WriteRect(w, xMin, xMax, yMin, yMax);
    if (version_ >= 4) {
      WriteRect(w, xMin, xMax, yMin, yMax);
      w.U8(0);
    }
    w.Bytes(WithStyles());
    return w.Take();
  }
  uint16_t TagCode() const {
    return version_ == 1 ? 2 : version_ == 2 ? 22 : version_ == 3 ? 32 : 83;
  }

 private:
  static int Need(uint32_t count) {
    int n = 0;
    while ((1u << n) <= count) ++n;
    return n;
  }
  void WriteStyles(BitWriter& w) {
    w.U8(uint8_t(fills_.size()));
    for (const Fill& f : fills_) WriteFill(w, f, version_);
    w.U8(uint8_t(lines_.size()));
    for (const LineSpec& l : lines_) {
      w.U16(l.width);
      if (version_ >= 4) {
        w.UBits(0, 16);  // round caps and joins, no fill, no flags
        WriteColour(w, l.colour, true);
      } else {
        WriteColour(w, l.colour, version_ >= 3);
      }
    }
  }
  void AppendRecords(BitWriter& w) {
    BitWriter copy = records_;
    copy.UBits(0, 6);  // end of shape
    std::vector<uint8_t> bytes = copy.Take();
    w.Align();
    // The records continue the bit stream right after the two 4-bit counts.
    for (uint8_t b : bytes) w.UBits(b, 8);
  }

  int version_;
  std::vector<Fill> fills_;
  std::vector<LineSpec> lines_;
  int fillBits_, lineBits_;
  BitWriter records_;
  int32_t x_ = 0, y_ = 0;
};

// Tags.
struct Place {
  uint16_t depth = 1;
  std::optional<uint16_t> id;
  std::optional<Mat> matrix;
  std::optional<Cx> cx;
  std::optional<uint16_t> ratio;
  std::optional<uint16_t> clipDepth;
  std::optional<std::string> name;  // the instance name scripts know the clip by
  bool move = false;
};
inline std::vector<uint8_t> PlaceObject2(const Place& p) {
  BitWriter w;
  uint8_t flags = (p.move ? 1 : 0) | (p.id ? 2 : 0) | (p.matrix ? 4 : 0) | (p.cx ? 8 : 0) | (p.ratio ? 16 : 0) |
                  (p.name ? 32 : 0) | (p.clipDepth ? 64 : 0);
  w.U8(flags);
  w.U16(p.depth);
  if (p.id) w.U16(*p.id);
  if (p.matrix) WriteMatrix(w, *p.matrix);
  if (p.cx) WriteCxForm(w, *p.cx, true);
  if (p.ratio) w.U16(*p.ratio);
  if (p.name) {
    for (char c : *p.name) w.U8(uint8_t(c));
    w.U8(0);
  }
  if (p.clipDepth) w.U16(*p.clipDepth);
  return w.Take();
}

// A DefineShape of a 10 x 10 pixel square of one colour at the origin, as character id.
inline std::vector<uint8_t> SolidSquare(uint16_t id, uint8_t r, uint8_t g, uint8_t b) {
  ShapeWriter s(1, {Solid(r, g, b)}, {});
  s.Style(0, 1, 0).Rect(0, 0, 200, 200);
  std::vector<uint8_t> tag;
  Tag(tag, 2, s.DefineShape(id, 0, 200, 0, 200));
  return tag;
}

inline std::vector<uint8_t> U16Body(uint16_t v) { return {uint8_t(v), uint8_t(v >> 8)}; }

namespace code {
enum : uint16_t {
  ShowFrame = 1, FreeCharacter = 3, PlaceObject = 4, RemoveObject = 5, DefineBits = 6, JpegTables = 8,
  SetBackgroundColor = 9, DefineFont = 10, DefineText = 11, DoAction = 12, DefineBitsLossless = 20,
  DefineBitsJpeg2 = 21, PlaceObject2 = 26, RemoveObject2 = 28, DefineButton2 = 34, DefineBitsJpeg3 = 35,
  DefineBitsLossless2 = 36, DefineEditText = 37, DefineSprite = 39, FrameLabel = 43, DefineMorphShape = 46,
  DefineFont2 = 48,
  DefineSound = 14, StartSound = 15, SoundStreamHead = 18, SoundStreamBlock = 19, SoundStreamHead2 = 45,
  PlaceObject3 = 70,
};
}

// Sound.
struct SoundSpec {
  uint8_t format = 3;    // 3: uncompressed little-endian, 2: MP3
  uint8_t rateCode = 2;  // 5512.5, 11025, 22050, 44100 Hz
  bool sixteenBit = true, stereo = false;
};
inline void WriteSoundFormat(BitWriter& w, const SoundSpec& f) {
  w.UBits(f.format, 4);
  w.UBits(f.rateCode, 2);
  w.UBits(f.sixteenBit, 1);
  w.UBits(f.stereo, 1);
}
inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  for (int16_t v : samples) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(uint16_t(v) >> 8));
  }
  return out;
}
// MP3 data starts with its seek samples.
inline std::vector<uint8_t> DefineSound(uint16_t id, const SoundSpec& f, uint32_t sampleCount,
                                        const std::vector<uint8_t>& data, int16_t seekSamples = 0) {
  BitWriter w;
  w.U16(id);
  WriteSoundFormat(w, f);
  w.U32(sampleCount);
  if (f.format == 2) w.U16(uint16_t(seekSamples));
  w.Bytes(data);
  return w.Take();
}
struct Envelope {
  uint32_t pos44;
  uint16_t left, right;
};
struct SoundInfoSpec {
  bool syncStop = false, noMultiple = false;
  std::optional<uint32_t> in, out;
  std::optional<uint16_t> loops;
  std::vector<Envelope> envelope;
};
inline std::vector<uint8_t> StartSound(uint16_t id, const SoundInfoSpec& i = {}) {
  BitWriter w;
  w.U16(id);
  w.UBits(0, 2);
  w.UBits(i.syncStop, 1);
  w.UBits(i.noMultiple, 1);
  w.UBits(!i.envelope.empty(), 1);
  w.UBits(i.loops.has_value(), 1);
  w.UBits(i.out.has_value(), 1);
  w.UBits(i.in.has_value(), 1);
  if (i.in) w.U32(*i.in);
  if (i.out) w.U32(*i.out);
  if (i.loops) w.U16(*i.loops);
  if (!i.envelope.empty()) {
    w.U8(uint8_t(i.envelope.size()));
    for (const Envelope& e : i.envelope) {
      w.U32(e.pos44);
      w.U16(e.left);
      w.U16(e.right);
    }
  }
  return w.Take();
}
inline std::vector<uint8_t> SoundStreamHead2(const SoundSpec& f, uint16_t samplesPerBlock) {
  BitWriter w;
  w.UBits(0, 4);
  w.UBits(f.rateCode, 2);  // playback
  w.UBits(1, 1);
  w.UBits(f.stereo, 1);
  WriteSoundFormat(w, f);
  w.U16(samplesPerBlock);
  if (f.format == 2) w.U16(0);
  return w.Take();
}

// A lossless bitmap in format 5 from 0xAARRGGBB pixels (premultiplied for Lossless2).
inline std::vector<uint8_t> DefineBitsLossless(uint16_t id, int w, int h, const std::vector<uint32_t>& argb,
                                               bool alpha) {
  std::vector<uint8_t> raw;
  for (uint32_t p : argb) {
    raw.push_back(alpha ? uint8_t(p >> 24) : 0);
    raw.push_back(uint8_t(p >> 16));
    raw.push_back(uint8_t(p >> 8));
    raw.push_back(uint8_t(p));
  }
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(size);
  compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9);
  packed.resize(size);
  BitWriter out;
  out.U16(id);
  out.U8(5);
  out.U16(uint16_t(w));
  out.U16(uint16_t(h));
  out.Bytes(packed);
  return out.Take();
}

inline std::vector<uint8_t> Zlib(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(size);
  compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9);
  packed.resize(size);
  return packed;
}

// Frame actions.
inline std::vector<uint8_t> ActionGotoFrame(uint16_t frame) { return {0x81, 2, 0, uint8_t(frame), uint8_t(frame >> 8)}; }
inline std::vector<uint8_t> ActionGotoLabel(const std::string& label) {
  std::vector<uint8_t> a = {0x8C, uint8_t(label.size() + 1), 0};
  a.insert(a.end(), label.begin(), label.end());
  a.push_back(0);
  return a;
}
inline std::vector<uint8_t> Actions(std::initializer_list<std::vector<uint8_t>> list) {
  std::vector<uint8_t> out;
  for (auto& a : list) out.insert(out.end(), a.begin(), a.end());
  out.push_back(0);
  return out;
}
inline const std::vector<uint8_t> kActionPlay = {0x06}, kActionStop = {0x07}, kActionNext = {0x04},
                                  kActionPrev = {0x05};


// Flash 8 effects.
inline void WriteFixed(BitWriter& w, double v) { w.U32(uint32_t(int32_t(std::lround(v * 65536)))); }
inline void WriteFloat(BitWriter& w, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  w.U32(bits);
}

// PlaceObject3 of a new character with a matrix, an optional colour transform, blend mode
// and filter list (its bytes, count first).
inline std::vector<uint8_t> Place3(uint16_t depth, uint16_t id, Mat m, std::optional<uint8_t> blend,
                            const std::vector<uint8_t>& filters = {}, std::optional<Cx> cx = {}) {
  BitWriter w;
  w.U8(0x02 | 0x04 | (cx ? 0x08 : 0));
  w.U8((filters.empty() ? 0 : 0x01) | (blend ? 0x02 : 0));
  w.U16(depth);
  w.U16(id);
  WriteMatrix(w, m);
  if (cx) WriteCxForm(w, *cx, true);
  if (!filters.empty()) w.Bytes(filters);
  if (blend) w.U8(*blend);
  return w.Take();
}

inline std::vector<uint8_t> FilterList(std::initializer_list<std::vector<uint8_t>> filters) {
  std::vector<uint8_t> out = {uint8_t(filters.size())};
  for (auto& f : filters) out.insert(out.end(), f.begin(), f.end());
  return out;
}
inline std::vector<uint8_t> BlurFilter(double x, double y, int passes) {
  BitWriter w;
  w.U8(1);
  WriteFixed(w, x);
  WriteFixed(w, y);
  w.UBits(passes, 5);
  w.UBits(0, 3);
  return w.Take();
}
inline std::vector<uint8_t> ShadowFilter(bool glow, Colour c, double blur, double angle, double distance, double strength,
                                  bool inner, bool knockout, bool composite = true) {
  BitWriter w;
  w.U8(glow ? 2 : 0);
  WriteColour(w, c, true);
  WriteFixed(w, blur);
  WriteFixed(w, blur);
  if (!glow) {
    WriteFixed(w, angle);
    WriteFixed(w, distance);
  }
  w.U16(uint16_t(int16_t(std::lround(strength * 256))));
  w.UBits(inner, 1);
  w.UBits(knockout, 1);
  w.UBits(composite, 1);
  w.UBits(1, 5);
  return w.Take();
}
inline std::vector<uint8_t> ColourMatrixFilter(const float (&m)[20]) {
  BitWriter w;
  w.U8(6);
  for (float v : m) WriteFloat(w, v);
  return w.Take();
}

// A bevel (type 3) of two colours (highlight, shadow), or a gradient glow (4) or bevel (7) of stops.
inline std::vector<uint8_t> EdgeFilter(uint8_t type, std::vector<std::pair<uint8_t, Colour>> stops, double blur,
                                       double angle, double distance, double strength, bool inner, bool knockout,
                                       bool onTop) {
  BitWriter w;
  w.U8(type);
  if (type == 3) {
    WriteColour(w, stops.at(0).second, true);  // highlight
    WriteColour(w, stops.at(1).second, true);  // shadow
  } else {
    w.U8(uint8_t(stops.size()));
    for (auto& [ratio, c] : stops) WriteColour(w, c, true);
    for (auto& [ratio, c] : stops) w.U8(ratio);
  }
  WriteFixed(w, blur);
  WriteFixed(w, blur);
  WriteFixed(w, angle);
  WriteFixed(w, distance);
  w.U16(uint16_t(int16_t(std::lround(strength * 256))));
  w.UBits(inner, 1);
  w.UBits(knockout, 1);
  w.UBits(1, 1);
  w.UBits(onTop, 1);
  w.UBits(1, 4);
  return w.Take();
}
inline std::vector<uint8_t> ConvolutionFilter(int mx, int my, float divisor, float bias, const std::vector<float>& kernel,
                                              bool clamp, bool preserveAlpha) {
  BitWriter w;
  w.U8(5);
  w.U8(uint8_t(mx));
  w.U8(uint8_t(my));
  WriteFloat(w, divisor);
  WriteFloat(w, bias);
  for (float k : kernel) WriteFloat(w, k);
  WriteColour(w, {0, 0, 0, 0}, true);
  w.UBits(0, 6);
  w.UBits(clamp, 1);
  w.UBits(preserveAlpha, 1);
  return w.Take();
}

// An empty DefineEditText with a border, of the given bounds in twips.
inline std::vector<uint8_t> BorderedField(uint16_t id, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
  BitWriter e;
  e.U16(id);
  WriteRect(e, xMin, xMax, yMin, yMax);
  e.U8(0);
  e.U8(0x08);  // border
  e.String("field");
  return e.Take();
}

// A device font: DefineFont2 with a name and no glyphs; style 0x01 bold, 0x02 italic.
inline std::vector<uint8_t> DeviceFont(uint16_t id, const std::string& name, uint8_t style) {
  BitWriter f;
  f.U16(id);
  f.U8(style);
  f.U8(0);  // language
  f.U8(uint8_t(name.size()));
  for (char c : name) f.U8(uint8_t(c));
  f.U16(0);  // no glyphs
  return f.Take();
}

// A movie of the given stage size in pixels (20 twips each) and its tags.
inline std::vector<uint8_t> MovieOf(int32_t widthPx, int32_t heightPx, uint16_t frames, const std::vector<uint8_t>& tags,
                                    bool compressed = false, uint16_t rate = 0x0C00) {
  MovieOutline m;
  m.xMax = widthPx * 20;
  m.yMax = heightPx * 20;
  m.frameCount = frames;
  m.frameRate = rate;
  m.tags = tags;
  return Movie(m, compressed);
}

}  // namespace vitrine::test
