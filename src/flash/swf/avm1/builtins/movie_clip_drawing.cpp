// MovieClip's drawing methods, and what measures a clip: its bounds, hit tests and the
// mapping of points between its space and the stage's.
#include <algorithm>
#include <cmath>

#include "flash/swf/avm1/builtins/movie_clip.h"
#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

namespace {

// What getBounds gives for a clip that has nothing to measure: the largest twip value, in
// pixels, on every side.
constexpr double kNoBounds = 0x7FFFFFF / 20.0;
// Coordinates beyond this many twips are held at it.
constexpr double kMaxTwips = 1 << 28;
// Most stops a gradient takes.
constexpr size_t kMaxGradientStops = 15;

Clip* ClipOf(Object* o) { return o ? o->clip : nullptr; }

Drawing& DrawingOf(Vm& vm, Clip& clip) {
  if (!clip.drawing)
    clip.drawing = vm.GetPlayer() ? std::make_shared<Drawing>(vm.GetPlayer()->Drawings()) : std::make_shared<Drawing>();
  return *clip.drawing;
}

// A coordinate argument in twips, rounded to the twip as a shape's are; false when it is not
// a number.
bool Twips(Vm& vm, const Value& v, double& out) {
  double n = vm.ToNumber(v);
  if (!std::isfinite(n)) return false;
  out = std::clamp(std::round(n * 20), -kMaxTwips, kMaxTwips);
  return true;
}

uint8_t Alpha(Vm& vm, const Value& v) {
  if (v.IsUndefined()) return 255;
  double a = vm.ToNumber(v);
  if (!std::isfinite(a)) return 255;
  return uint8_t(std::lround(std::clamp(a, 0.0, 100.0) * 255 / 100));
}

Rgba Colour(Vm& vm, const Value& v, uint8_t alpha) {
  uint32_t rgb = ToUint32(vm.ToNumber(v));
  return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha};
}

Value BeginFill(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (!clip) return {};
  Drawing& d = DrawingOf(vm, *clip);
  if (Arg(args, 0).IsUndefined()) {
    d.EndFill();
    return {};
  }
  FillStyle fill;
  fill.color = Colour(vm, Arg(args, 0), Alpha(vm, Arg(args, 1)));
  d.BeginFill(fill);
  return {};
}

// The gradient's matrix: the box form {matrixType: "box", x, y, w, h, r}, a flash.geom
// matrix {a, b, c, d, tx, ty}, or the 3 by 3 form {a, b, d, e, g, h} of a unit square.
// The gradient square runs over 32768 twips, 1638.4 pixels.
Matrix GradientMatrix(Vm& vm, Object* o) {
  auto num = [&](const char* name) {
    double n = vm.ToNumber(vm.Get(o, name));
    return std::isfinite(n) ? n : 0.0;
  };
  Matrix m;
  if (vm.ToString(vm.Get(o, "matrixType")) == "box") {
    double w = num("w"), h = num("h"), r = num("r");
    double sx = w / 1638.4, sy = h / 1638.4, c = std::cos(r), s = std::sin(r);
    m = {sx * c, sx * s, -sy * s, sy * c, (num("x") + w / 2) * 20, (num("y") + h / 2) * 20};
  } else if (vm.Has(o, "tx") || vm.Has(o, "ty")) {
    m = {num("a"), num("b"), num("c"), num("d"), num("tx") * 20, num("ty") * 20};
  } else {
    const double unit = 20 / 32768.0;
    m = {num("a") * unit, num("b") * unit, num("d") * unit, num("e") * unit, num("g") * 20, num("h") * 20};
  }
  return m;
}

Value BeginGradientFill(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (!clip) return {};
  Drawing& d = DrawingOf(vm, *clip);
  std::string type = vm.ToString(Arg(args, 0));
  Value colours = Arg(args, 1), alphas = Arg(args, 2), ratios = Arg(args, 3), matrix = Arg(args, 4);
  // Without a kind, all three arrays and a matrix, the call draws nothing, and the edges that
  // follow are not filled.
  if ((type != "linear" && type != "radial") || !colours.IsObject() || !alphas.IsObject() || !ratios.IsObject() ||
      !matrix.IsObject()) {
    d.EndFill();
    return {};
  }
  FillStyle fill;
  fill.kind = type == "linear" ? FillKind::Linear : FillKind::Radial;
  size_t count = std::min({colours.object->elements.size(), alphas.object->elements.size(),
                           ratios.object->elements.size(), kMaxGradientStops});
  if (count == 0) {
    d.EndFill();
    return {};
  }
  for (size_t i = 0; i < count; ++i) {
    GradientStop stop;
    stop.color = Colour(vm, colours.object->elements[i], Alpha(vm, alphas.object->elements[i]));
    double ratio = vm.ToNumber(ratios.object->elements[i]);
    stop.ratio = uint8_t(std::isfinite(ratio) ? std::clamp(ratio, 0.0, 255.0) : 0);
    fill.stops.push_back(stop);
  }
  fill.matrix = GradientMatrix(vm, matrix.object);
  std::string spread = vm.ToString(Arg(args, 5));
  fill.spread = spread == "reflect" ? Spread::Reflect : spread == "repeat" ? Spread::Repeat : Spread::Pad;
  fill.linearRgb = vm.ToString(Arg(args, 6)) == "linearRGB";
  double focal = vm.ToNumber(Arg(args, 7));
  if (fill.kind == FillKind::Radial && std::isfinite(focal) && focal != 0) {
    fill.kind = FillKind::Focal;
    fill.focal = std::clamp(focal, -1.0, 1.0);
  }
  d.BeginFill(fill);
  return {};
}

Value EndFill(Vm& vm, Object* self, std::vector<Value>&) {
  if (Clip* clip = ClipOf(self)) DrawingOf(vm, *clip).EndFill();
  return {};
}

Value LineStyle_(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (!clip) return {};
  double thickness = vm.ToNumber(Arg(args, 0));
  if (Arg(args, 0).IsUndefined() || std::isnan(thickness)) {
    DrawingOf(vm, *clip).SetLine(std::nullopt);
    return {};
  }
  LineStyle line;
  line.width = uint16_t(std::lround(std::clamp(thickness, 0.0, 255.0) * 20));
  line.color = Colour(vm, Arg(args, 1), Alpha(vm, Arg(args, 2)));
  DrawingOf(vm, *clip).SetLine(line);
  return {};
}

Value MoveTo(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  double x, y;
  if (clip && Twips(vm, Arg(args, 0), x) && Twips(vm, Arg(args, 1), y)) DrawingOf(vm, *clip).MoveTo(x, y);
  return {};
}

Value LineTo(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  double x, y;
  if (clip && Twips(vm, Arg(args, 0), x) && Twips(vm, Arg(args, 1), y)) DrawingOf(vm, *clip).LineTo(x, y);
  return {};
}

Value CurveTo(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  double cx, cy, x, y;
  if (clip && Twips(vm, Arg(args, 0), cx) && Twips(vm, Arg(args, 1), cy) && Twips(vm, Arg(args, 2), x) &&
      Twips(vm, Arg(args, 3), y))
    DrawingOf(vm, *clip).CurveTo(cx, cy, x, y);
  return {};
}

Value Clear(Vm&, Object* self, std::vector<Value>&) {
  if (Clip* clip = ClipOf(self)) clip->drawing.reset();
  return {};
}

// Bounds, in twips.
struct Box {
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  bool Empty() const { return left > right; }
  void Add(double x, double y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  void Add(const Box& b, const Matrix& m) {
    if (b.Empty()) return;
    for (double x : {b.left, b.right})
      for (double y : {b.top, b.bottom}) {
        double px, py;
        m.Apply(x, y, px, py);
        Add(px, py);
      }
  }
};

Box RectBox(const SwfRect& r) { return {double(r.xMin), double(r.yMin), double(r.xMax), double(r.yMax)}; }

Box ClipBox(const Clip& clip, int nesting);

Box CharacterBox(const DisplayObject& object, int nesting) {
  const Character* ch = object.character.get();
  if (!ch) return {};
  switch (ch->kind) {
    case Kind::Shape: return RectBox(ch->shape.bounds);
    case Kind::Morph: return RectBox(ch->morph.start.bounds);
    case Kind::EditText: return RectBox(ch->edit.bounds);
    case Kind::Bitmap:
      if (ch->image) return {0, 0, ch->image->width * 20.0, ch->image->height * 20.0};
      return {};
    case Kind::Sprite: return object.clip ? ClipBox(*object.clip, nesting + 1) : Box{};
    default: return {};
  }
}

// The clip's bounds in its own space: its drawing and its children.
Box ClipBox(const Clip& clip, int nesting) {
  Box box;
  if (nesting > kMaxNesting + 2) return box;
  if (clip.drawing) clip.drawing->Bounds(box.left, box.top, box.right, box.bottom);
  for (const auto& [depth, child] : clip.list) box.Add(CharacterBox(child, nesting), child.matrix);
  return box;
}

// The clip's space to the root's.
Matrix ToRoot(const Clip& clip) {
  Matrix m;
  for (const Clip* c = &clip; c && c->parent; c = c->parent)
    if (c->holder) m = c->holder->matrix * m;
  return m;
}

Value GetBounds(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (!clip) return {};
  Clip* space = clip;
  if (!args.empty()) {
    Value t = args[0];
    Object* o = t.IsObject() ? t.object : vm.ResolveTarget(self, vm.ToString(t));
    if (!ClipOf(o)) return {};
    space = o->clip;
  }
  Box local = ClipBox(*clip, clip->nesting), box;
  Matrix back;
  if (!ToRoot(*space).Invert(back)) back = Matrix{};
  box.Add(local, back * ToRoot(*clip));
  Object* out = vm.NewObject();
  bool empty = box.Empty();
  vm.Set(out, "xMin", empty ? kNoBounds : box.left / 20);
  vm.Set(out, "xMax", empty ? kNoBounds : box.right / 20);
  vm.Set(out, "yMin", empty ? kNoBounds : box.top / 20);
  vm.Set(out, "yMax", empty ? kNoBounds : box.bottom / 20);
  return out;
}

bool ClipCovers(const Clip& clip, const Matrix& toRoot, double x, double y, int nesting);

bool ObjectCovers(const DisplayObject& object, const Matrix& toRoot, double x, double y, int nesting) {
  const Character* ch = object.character.get();
  if (!ch || !object.visible) return false;
  Matrix m = toRoot * object.matrix;
  if (ch->kind == Kind::Sprite) return object.clip && ClipCovers(*object.clip, m, x, y, nesting + 1);
  Matrix back;
  if (!m.Invert(back)) return false;
  double lx, ly;
  back.Apply(x, y, lx, ly);
  if (ch->kind == Kind::Shape) return ShapeCovers(ch->shape, lx, ly);
  Box box = CharacterBox(object, nesting);
  return !box.Empty() && lx >= box.left && lx <= box.right && ly >= box.top && ly <= box.bottom;
}

bool ClipCovers(const Clip& clip, const Matrix& toRoot, double x, double y, int nesting) {
  if (nesting > kMaxNesting + 2) return false;
  if (clip.drawing) {
    Matrix back;
    if (toRoot.Invert(back)) {
      double lx, ly;
      back.Apply(x, y, lx, ly);
      for (const Shape& layer : clip.drawing->Layers())
        if (ShapeCovers(layer, lx, ly)) return true;
    }
  }
  for (const auto& [depth, child] : clip.list)
    if (child.clipDepth == 0 && ObjectCovers(child, toRoot, x, y, nesting)) return true;
  return false;
}

Box RootBox(const Clip& clip) {
  Box box;
  box.Add(ClipBox(clip, clip.nesting), ToRoot(clip));
  return box;
}

Value HitTest(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (!clip) return false;
  if (args.size() >= 2) {
    double x = vm.ToNumber(args[0]) * 20, y = vm.ToNumber(args[1]) * 20;
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    if (vm.ToBool(Arg(args, 2))) return ClipCovers(*clip, ToRoot(*clip), x, y, clip->nesting);
    Box box = RootBox(*clip);
    return !box.Empty() && x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
  }
  Value t = Arg(args, 0);
  Object* o = t.IsObject() ? t.object : t.IsUndefined() ? nullptr : vm.ResolveTarget(self, vm.ToString(t));
  if (!ClipOf(o)) return false;
  Box a = RootBox(*clip), b = RootBox(*o->clip);
  if (a.Empty() || b.Empty()) return false;
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// localToGlobal and globalToLocal: the point object's x and y are mapped in place.
void MapPoint(Vm& vm, Object* self, std::vector<Value>& args, bool toGlobal) {
  Clip* clip = ClipOf(self);
  Value p = Arg(args, 0);
  if (!clip || !p.IsObject()) return;
  double x = vm.ToNumber(vm.Get(p.object, "x")), y = vm.ToNumber(vm.Get(p.object, "y"));
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  Matrix m = ToRoot(*clip);
  if (!toGlobal && !Matrix(m).Invert(m)) return;
  double ox, oy;
  m.Apply(x * 20, y * 20, ox, oy);
  vm.Set(p.object, "x", ox / 20);
  vm.Set(p.object, "y", oy / 20);
}
Value LocalToGlobal(Vm& vm, Object* self, std::vector<Value>& args) {
  MapPoint(vm, self, args, true);
  return {};
}
Value GlobalToLocal(Vm& vm, Object* self, std::vector<Value>& args) {
  MapPoint(vm, self, args, false);
  return {};
}

// setMask(clip): the clip is seen only through the other clip's shapes, which are no longer
// drawn themselves; setMask(null) shows it whole again and the former mask is drawn again.
Value SetMask(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (!clip) return false;
  Value v = Arg(args, 0);
  Object* mask = v.IsObject() ? v.object : v.IsNullish() ? nullptr : vm.ResolveTarget(self, vm.ToString(v));
  if (mask && (!ClipOf(mask) || mask == self)) return false;
  if (clip->mask && clip->mask->clip) clip->mask->clip->masking = false;
  clip->mask = mask;
  if (mask) mask->clip->masking = true;
  return true;
}

}  // namespace

double ClipSize(Object* object, bool height) {
  Clip* clip = ClipOf(object);
  if (!clip) return 0;
  Box box;
  box.Add(ClipBox(*clip, clip->nesting), clip->holder ? clip->holder->matrix : Matrix{});
  if (box.Empty()) return 0;
  return (height ? box.bottom - box.top : box.right - box.left) / 20;
}

void SetClipSize(Object* object, bool height, double pixels) {
  Clip* clip = ClipOf(object);
  if (!clip || !clip->holder || !std::isfinite(pixels) || pixels < 0) return;
  if (ResizeTextField(object, height, pixels)) return;
  double now = ClipSize(object, height);
  if (now <= 0) return;
  // The clip's own axis is scaled; unrotated, its bounds then take the size asked.
  Matrix& m = clip->holder->matrix;
  double k = pixels / now;
  if (height) {
    m.c *= k;
    m.d *= k;
  } else {
    m.a *= k;
    m.b *= k;
  }
}

// cacheAsBitmap: the clip is drawn as a picture of itself, which stands on whole pixels.
Value GetCacheAsBitmap(Vm&, Object* self, std::vector<Value>&) {
  Clip* clip = ClipOf(self);
  return Value(clip && clip->holder && clip->holder->cacheAsBitmap);
}

Value SetCacheAsBitmap(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* clip = ClipOf(self);
  if (clip && clip->holder) clip->holder->cacheAsBitmap = vm.ToBool(Arg(args, 0));
  return {};
}

void InstallMovieClipDrawing(Vm& vm) {
  const std::pair<const char*, NativeFn> methods[] = {
      {"beginFill", BeginFill},
      {"beginGradientFill", BeginGradientFill},
      {"endFill", EndFill},
      {"lineStyle", LineStyle_},
      {"moveTo", MoveTo},
      {"lineTo", LineTo},
      {"curveTo", CurveTo},
      {"clear", Clear},
      {"getBounds", GetBounds},
      {"hitTest", HitTest},
      {"localToGlobal", LocalToGlobal},
      {"globalToLocal", GlobalToLocal},
      {"setMask", SetMask},
  };
  for (auto& [name, fn] : methods) vm.Method(vm.movieClipProto, name, fn);
  vm.Accessor(vm.movieClipProto, "cacheAsBitmap", GetCacheAsBitmap, SetCacheAsBitmap);
}

}  // namespace vitrine::swf::avm1
