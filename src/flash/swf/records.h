#pragma once
// The small records every tag is made of: rectangles, colours, matrices and colour
// transforms, and their composition.
#include <algorithm>
#include <cstdint>

#include "flash/swf/bit_reader.h"

namespace vitrine::swf {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct SwfRect {
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // twips
};

// x' = a x + c y + tx, y' = b x + d y + ty.
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  // This matrix applied after inner: (this * inner)(p) = this(inner(p)).
  Matrix operator*(const Matrix& inner) const {
    return {a * inner.a + c * inner.b,  b * inner.a + d * inner.b,       a * inner.c + c * inner.d,
            b * inner.c + d * inner.d,  a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
  }
  void Apply(double x, double y, double& ox, double& oy) const {
    ox = a * x + c * y + tx;
    oy = b * x + d * y + ty;
  }
  // The inverse, or false when the matrix collapses the plane.
  bool Invert(Matrix& out) const {
    double det = a * d - b * c;
    if (det == 0 || !(det == det)) return false;
    out.a = d / det;
    out.b = -b / det;
    out.c = -c / det;
    out.d = a / det;
    out.tx = -(out.a * tx + out.c * ty);
    out.ty = -(out.b * tx + out.d * ty);
    return true;
  }
};

// c' = c * mult + add per channel, mult in 8.8 fixed point as a factor.
struct CxForm {
  double mult[4] = {1, 1, 1, 1};  // r g b a
  double add[4] = {0, 0, 0, 0};

  CxForm operator*(const CxForm& inner) const {
    CxForm o;
    for (int i = 0; i < 4; ++i) {
      o.mult[i] = mult[i] * inner.mult[i];
      o.add[i] = add[i] + mult[i] * inner.add[i];
    }
    return o;
  }
  bool Identity() const {
    for (int i = 0; i < 4; ++i)
      if (mult[i] != 1 || add[i] != 0) return false;
    return true;
  }
  Rgba Apply(Rgba c) const {
    auto ch = [&](int i, uint8_t v) {
      return uint8_t(std::clamp(v * mult[i] + add[i], 0.0, 255.0) + 0.0);
    };
    return {ch(0, c.r), ch(1, c.g), ch(2, c.b), ch(3, c.a)};
  }
};

inline SwfRect ReadRect(BitReader& r) {
  r.Align();
  int bits = int(r.UBits(5));
  SwfRect rect;
  rect.xMin = r.SBits(bits);
  rect.xMax = r.SBits(bits);
  rect.yMin = r.SBits(bits);
  rect.yMax = r.SBits(bits);
  r.Align();
  return rect;
}

inline Rgba ReadRgb(BitReader& r) {
  Rgba c;
  c.r = r.U8();
  c.g = r.U8();
  c.b = r.U8();
  return c;
}
inline Rgba ReadRgba(BitReader& r) {
  Rgba c = ReadRgb(r);
  c.a = r.U8();
  return c;
}

inline Matrix ReadMatrix(BitReader& r) {
  r.Align();
  Matrix m;
  if (r.UBits(1)) {
    int bits = int(r.UBits(5));
    m.a = r.FBits(bits);
    m.d = r.FBits(bits);
  }
  if (r.UBits(1)) {
    int bits = int(r.UBits(5));
    m.b = r.FBits(bits);
    m.c = r.FBits(bits);
  }
  int bits = int(r.UBits(5));
  m.tx = r.SBits(bits);
  m.ty = r.SBits(bits);
  r.Align();
  return m;
}

inline CxForm ReadCxForm(BitReader& r, bool withAlpha) {
  r.Align();
  CxForm cx;
  bool hasAdd = r.UBits(1), hasMult = r.UBits(1);
  int bits = int(r.UBits(4));
  int n = withAlpha ? 4 : 3;
  if (hasMult)
    for (int i = 0; i < n; ++i) cx.mult[i] = r.SBits(bits) / 256.0;
  if (hasAdd)
    for (int i = 0; i < n; ++i) cx.add[i] = r.SBits(bits);
  r.Align();
  return cx;
}

}  // namespace vitrine::swf
