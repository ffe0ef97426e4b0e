#include "flash/swf/shape.h"

#include <algorithm>
#include <cmath>

namespace vitrine::swf {

namespace {

Rgba ReadColor(BitReader& r, int version) { return version >= 3 ? ReadRgba(r) : ReadRgb(r); }

uint32_t StyleCount(BitReader& r, int version) {
  uint32_t n = r.U8();
  if (n == 0xFF && version >= 2) n = r.U16();
  return n;
}

void ReadGradient(BitReader& r, int version, FillStyle& f) {
  r.Align();
  f.spread = Spread(r.UBits(2));
  if (f.spread != Spread::Reflect && f.spread != Spread::Repeat) f.spread = Spread::Pad;
  f.linearRgb = r.UBits(2) == 1;
  int count = int(r.UBits(4));
  for (int i = 0; i < count; ++i) {
    GradientStop s;
    s.ratio = r.U8();
    s.color = ReadColor(r, version);
    f.stops.push_back(s);
  }
}

void SetBitmapKind(FillStyle& f, uint8_t type) {
  f.kind = FillKind::Bitmap;
  f.repeat = type == 0x40 || type == 0x42;
  f.smooth = type == 0x40 || type == 0x41;
}

FillStyle ReadFillStyle(BitReader& r, int version) {
  FillStyle f;
  uint8_t type = r.U8();
  switch (type) {
    case 0x00:
      f.color = ReadColor(r, version);
      break;
    case 0x10:
    case 0x12:
    case 0x13:
      f.kind = type == 0x10 ? FillKind::Linear : type == 0x12 ? FillKind::Radial : FillKind::Focal;
      f.matrix = ReadMatrix(r);
      ReadGradient(r, version, f);
      if (type == 0x13) f.focal = std::clamp(r.Fixed8(), -1.0, 1.0);
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      SetBitmapKind(f, type);
      f.bitmapId = r.U16();
      f.matrix = ReadMatrix(r);
      break;
    default:
      throw SwfError("unknown fill style");
  }
  return f;
}

LineStyle ReadLineStyle(BitReader& r, int version) {
  LineStyle l;
  l.width = r.U16();
  if (version < 4) {
    l.color = ReadColor(r, version);
    return l;
  }
  r.UBits(2);  // start cap: drawn round
  uint32_t join = r.UBits(2);
  l.hasFill = r.UBits(1);
  r.UBits(11);  // scaling flags, pixel hinting, reserved, no-close, end cap
  if (join == 2) r.U16();  // miter limit
  if (l.hasFill) {
    l.fill = ReadFillStyle(r, version);
    l.color = l.fill.kind == FillKind::Solid ? l.fill.color : Rgba{};
  } else {
    l.color = ReadRgba(r);
  }
  return l;
}

void ReadStyles(BitReader& r, int version, Shape& shape) {
  uint32_t fills = StyleCount(r, version);
  for (uint32_t i = 0; i < fills; ++i) {
    if (shape.fills.size() >= kMaxStyles) throw SwfError("too many styles");
    shape.fills.push_back(ReadFillStyle(r, version));
  }
  uint32_t lines = StyleCount(r, version);
  for (uint32_t i = 0; i < lines; ++i) {
    if (shape.lines.size() >= kMaxStyles) throw SwfError("too many styles");
    shape.lines.push_back(ReadLineStyle(r, version));
  }
}

// The records of one SHAPE. Style numbers are offset by the tables' sizes at the last
// new-styles record; readStyles reads such a record's tables (the start shape), otherwise
// they cannot occur (glyphs, a morph's end edges).
void ReadRecords(BitReader& r, int version, Shape& shape, bool stylesAllowed) {
  r.Align();
  int fillBits = int(r.UBits(4)), lineBits = int(r.UBits(4));
  uint32_t fillBase = 0, lineBase = 0;
  double x = 0, y = 0;
  Path current;
  size_t edges = 0;
  auto flush = [&] {
    if (!current.edges.empty()) shape.paths.push_back(current);
    current.edges.clear();
  };
  while (true) {
    if (r.UBits(1) == 0) {
      uint32_t flags = r.UBits(5);
      if (flags == 0) break;
      flush();
      if (flags & 1) {
        int bits = int(r.UBits(5));
        x = r.SBits(bits);
        y = r.SBits(bits);
      }
      if (flags & 2) {
        uint32_t v = r.UBits(fillBits);
        current.fill0 = v ? v + fillBase : 0;
      }
      if (flags & 4) {
        uint32_t v = r.UBits(fillBits);
        current.fill1 = v ? v + fillBase : 0;
      }
      if (flags & 8) {
        uint32_t v = r.UBits(lineBits);
        current.line = v ? v + lineBase : 0;
      }
      if (flags & 16) {
        if (!stylesAllowed || version < 2) throw SwfError("new styles where none may come");
        fillBase = uint32_t(shape.fills.size());
        lineBase = uint32_t(shape.lines.size());
        ReadStyles(r, version, shape);
        r.Align();
        fillBits = int(r.UBits(4));
        lineBits = int(r.UBits(4));
      }
      continue;
    }
    if (++edges > kMaxShapeEdges) throw SwfError("too many edges");
    Edge e;
    e.x0 = x;
    e.y0 = y;
    if (r.UBits(1)) {
      int bits = int(r.UBits(4)) + 2;
      double dx = 0, dy = 0;
      if (r.UBits(1)) {
        dx = r.SBits(bits);
        dy = r.SBits(bits);
      } else if (r.UBits(1)) {
        dy = r.SBits(bits);
      } else {
        dx = r.SBits(bits);
      }
      e.x1 = x + dx;
      e.y1 = y + dy;
      e.cx = (e.x0 + e.x1) / 2;
      e.cy = (e.y0 + e.y1) / 2;
    } else {
      int bits = int(r.UBits(4)) + 2;
      e.cx = x + r.SBits(bits);
      e.cy = y + r.SBits(bits);
      e.x1 = e.cx + r.SBits(bits);
      e.y1 = e.cy + r.SBits(bits);
      e.curve = true;
    }
    x = e.x1;
    y = e.y1;
    current.edges.push_back(e);
  }
  flush();
  // Style numbers beyond the tables draw nothing.
  for (Path& p : shape.paths) {
    if (p.fill0 > shape.fills.size()) p.fill0 = 0;
    if (p.fill1 > shape.fills.size()) p.fill1 = 0;
    if (p.line > shape.lines.size()) p.line = 0;
  }
}

FillStyle ReadMorphFill(BitReader& r, FillStyle& end) {
  FillStyle f;
  uint8_t type = r.U8();
  switch (type) {
    case 0x00:
      f.color = ReadRgba(r);
      end.color = ReadRgba(r);
      break;
    case 0x10:
    case 0x12:
    case 0x13: {
      f.kind = end.kind = type == 0x10 ? FillKind::Linear : type == 0x12 ? FillKind::Radial : FillKind::Focal;
      f.matrix = ReadMatrix(r);
      end.matrix = ReadMatrix(r);
      r.Align();
      f.spread = end.spread = Spread(std::min<uint32_t>(r.UBits(2), 2));
      f.linearRgb = end.linearRgb = r.UBits(2) == 1;
      int count = int(r.UBits(4));
      for (int i = 0; i < count; ++i) {
        GradientStop a, b;
        a.ratio = r.U8();
        a.color = ReadRgba(r);
        b.ratio = r.U8();
        b.color = ReadRgba(r);
        f.stops.push_back(a);
        end.stops.push_back(b);
      }
      if (type == 0x13) {
        f.focal = std::clamp(r.Fixed8(), -1.0, 1.0);
        end.focal = std::clamp(r.Fixed8(), -1.0, 1.0);
      }
      break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      SetBitmapKind(f, type);
      SetBitmapKind(end, type);
      f.bitmapId = end.bitmapId = r.U16();
      f.matrix = ReadMatrix(r);
      end.matrix = ReadMatrix(r);
      break;
    default:
      throw SwfError("unknown fill style");
  }
  return f;
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }
uint8_t MixByte(uint8_t a, uint8_t b, double t) { return uint8_t(std::clamp(Mix(a, b, t) + 0.5, 0.0, 255.0)); }
Rgba MixColor(Rgba a, Rgba b, double t) {
  return {MixByte(a.r, b.r, t), MixByte(a.g, b.g, t), MixByte(a.b, b.b, t), MixByte(a.a, b.a, t)};
}
Matrix MixMatrix(const Matrix& a, const Matrix& b, double t) {
  return {Mix(a.a, b.a, t), Mix(a.b, b.b, t), Mix(a.c, b.c, t), Mix(a.d, b.d, t), Mix(a.tx, b.tx, t), Mix(a.ty, b.ty, t)};
}
FillStyle MixFill(const FillStyle& a, const FillStyle& b, double t) {
  FillStyle f = a;
  f.color = MixColor(a.color, b.color, t);
  f.matrix = MixMatrix(a.matrix, b.matrix, t);
  f.focal = Mix(a.focal, b.focal, t);
  for (size_t i = 0; i < f.stops.size() && i < b.stops.size(); ++i) {
    f.stops[i].ratio = MixByte(a.stops[i].ratio, b.stops[i].ratio, t);
    f.stops[i].color = MixColor(a.stops[i].color, b.stops[i].color, t);
  }
  return f;
}

}  // namespace

Shape ReadDefineShape(BitReader& r, int version) {
  Shape shape;
  shape.bounds = ReadRect(r);
  if (version >= 4) {
    ReadRect(r);  // edge bounds
    r.U8();       // winding rule and stroke scaling flags
  }
  ReadStyles(r, version, shape);
  ReadRecords(r, version, shape, true);
  return shape;
}

Shape ReadGlyph(BitReader& r) {
  Shape shape;
  shape.fills.push_back(FillStyle{});
  ReadRecords(r, 1, shape, false);
  return shape;
}

MorphShape ReadDefineMorphShape(BitReader& r, int version) {
  MorphShape m;
  m.start.bounds = ReadRect(r);
  ReadRect(r);  // end bounds
  if (version >= 2) {
    ReadRect(r);
    ReadRect(r);
    r.U8();
  }
  r.U32();  // offset to the end edges
  uint32_t fills = StyleCount(r, 2);
  for (uint32_t i = 0; i < fills; ++i) {
    FillStyle end;
    m.start.fills.push_back(ReadMorphFill(r, end));
    m.endFills.push_back(end);
  }
  uint32_t lines = StyleCount(r, 2);
  for (uint32_t i = 0; i < lines; ++i) {
    LineStyle a, b;
    a.width = r.U16();
    b.width = r.U16();
    if (version >= 2) {
      r.UBits(2);
      uint32_t join = r.UBits(2);
      a.hasFill = b.hasFill = r.UBits(1);
      r.UBits(11);
      if (join == 2) r.U16();
      if (a.hasFill) {
        a.fill = ReadMorphFill(r, b.fill);
        a.color = a.fill.color;
        b.color = b.fill.color;
      } else {
        a.color = ReadRgba(r);
        b.color = ReadRgba(r);
      }
    } else {
      a.color = ReadRgba(r);
      b.color = ReadRgba(r);
    }
    m.start.lines.push_back(a);
    m.endLines.push_back(b);
  }
  ReadRecords(r, 3, m.start, false);
  Shape end;
  end.fills.resize(m.start.fills.size());
  end.lines.resize(m.start.lines.size());
  try {
    ReadRecords(r, 3, end, false);
  } catch (const SwfError&) {
    // End edges cut short: the morph stays at its start shape where they are missing.
  }
  for (const Path& p : end.paths) m.endEdges.insert(m.endEdges.end(), p.edges.begin(), p.edges.end());
  return m;
}

Shape MorphAt(const MorphShape& morph, double t) {
  t = std::clamp(t, 0.0, 1.0);
  Shape s = morph.start;
  for (size_t i = 0; i < s.fills.size() && i < morph.endFills.size(); ++i)
    s.fills[i] = MixFill(morph.start.fills[i], morph.endFills[i], t);
  for (size_t i = 0; i < s.lines.size() && i < morph.endLines.size(); ++i) {
    const LineStyle &a = morph.start.lines[i], &b = morph.endLines[i];
    s.lines[i].width = uint16_t(Mix(a.width, b.width, t) + 0.5);
    s.lines[i].color = MixColor(a.color, b.color, t);
    if (a.hasFill) s.lines[i].fill = MixFill(a.fill, b.fill, t);
  }
  size_t k = 0;
  for (Path& p : s.paths) {
    for (Edge& e : p.edges) {
      if (k >= morph.endEdges.size()) return s;
      const Edge& f = morph.endEdges[k++];
      e.x0 = Mix(e.x0, f.x0, t);
      e.y0 = Mix(e.y0, f.y0, t);
      e.cx = Mix(e.cx, f.cx, t);
      e.cy = Mix(e.cy, f.cy, t);
      e.x1 = Mix(e.x1, f.x1, t);
      e.y1 = Mix(e.y1, f.y1, t);
      e.curve = e.curve || f.curve;
    }
  }
  return s;
}

bool ShapeCovers(const Shape& shape, double x, double y) {
  for (uint32_t style = 1; style <= shape.fills.size(); ++style) {
    int winding = 0;
    for (const Path& p : shape.paths) {
      if ((p.fill0 == style) == (p.fill1 == style)) continue;
      int sign = p.fill1 == style ? 1 : -1;
      auto segment = [&](double x0, double y0, double x1, double y1) {
        if ((y0 <= y) == (y1 <= y)) return;
        double cross = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
        if (cross > x) winding += y1 > y0 ? sign : -sign;
      };
      for (const Edge& e : p.edges) {
        if (!e.curve) {
          segment(e.x0, e.y0, e.x1, e.y1);
          continue;
        }
        double px = e.x0, py = e.y0;
        for (int i = 1; i <= 16; ++i) {
          double t = i / 16.0, u = 1 - t;
          double qx = u * u * e.x0 + 2 * u * t * e.cx + t * t * e.x1;
          double qy = u * u * e.y0 + 2 * u * t * e.cy + t * t * e.y1;
          segment(px, py, qx, qy);
          px = qx;
          py = qy;
        }
      }
    }
    if (shape.evenOdd ? (winding & 1) != 0 : winding != 0) return true;
  }
  for (const Path& p : shape.paths) {
    if (!p.line || p.line > shape.lines.size()) continue;
    double r = std::max(20.0, double(shape.lines[p.line - 1].width)) / 2;
    for (const Edge& e : p.edges) {
      int steps = e.curve ? 16 : 1;
      double px = e.x0, py = e.y0;
      for (int i = 1; i <= steps; ++i) {
        double t = double(i) / steps, u = 1 - t;
        double qx = e.curve ? u * u * e.x0 + 2 * u * t * e.cx + t * t * e.x1 : e.x1;
        double qy = e.curve ? u * u * e.y0 + 2 * u * t * e.cy + t * t * e.y1 : e.y1;
        double dx = qx - px, dy = qy - py, len2 = dx * dx + dy * dy;
        double k = len2 > 0 ? std::clamp(((x - px) * dx + (y - py) * dy) / len2, 0.0, 1.0) : 0;
        double ex = px + k * dx - x, ey = py + k * dy - y;
        if (ex * ex + ey * ey <= r * r) return true;
        px = qx;
        py = qy;
      }
    }
  }
  return false;
}

}  // namespace vitrine::swf
