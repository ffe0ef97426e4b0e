// MovieClip: the display properties, the timeline methods and the clips scripts make.
#include "flash/swf/avm1/builtins/movie_clip.h"

#include <cmath>

#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

namespace {

constexpr double kPi = 3.14159265358979323846;

Player* PlayerOf(Vm& vm) { return vm.GetPlayer(); }
Clip* ClipOf(Object* o) { return o ? o->clip : nullptr; }

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// Scale and rotation are read from the matrix and written back into it.
struct Transform {
  double xscale, yscale, rotation;
};
Transform Decompose(const Matrix& m) {
  Transform t;
  t.xscale = std::sqrt(m.a * m.a + m.b * m.b);
  t.yscale = std::sqrt(m.c * m.c + m.d * m.d);
  if (m.a * m.d - m.b * m.c < 0) t.yscale = -t.yscale;
  t.rotation = std::atan2(m.b, m.a);
  return t;
}
void Compose(Matrix& m, const Transform& t) {
  double c = std::cos(t.rotation), s = std::sin(t.rotation);
  m.a = t.xscale * c;
  m.b = t.xscale * s;
  m.c = -t.yscale * s;
  m.d = t.yscale * c;
}

std::string SlashPath(Clip* clip) {
  std::vector<std::string> names;
  for (Clip* c = clip; c && c->parent; c = c->parent) names.push_back(c->name);
  std::string path;
  for (size_t i = names.size(); i-- > 0;) path += "/" + names[i];
  return path.empty() ? "/" : path;
}

Value Self(Object* self) { return self; }

// Methods.
Value Play(Vm& vm, Object* self, std::vector<Value>&) {
  ClipPlay(vm, self, true);
  return {};
}
Value Stop(Vm& vm, Object* self, std::vector<Value>&) {
  ClipPlay(vm, self, false);
  return {};
}
Value NextFrame(Vm& vm, Object* self, std::vector<Value>&) {
  ClipStep(vm, self, 1);
  return {};
}
Value PrevFrame(Vm& vm, Object* self, std::vector<Value>&) {
  ClipStep(vm, self, -1);
  return {};
}
Value GotoAndPlay(Vm& vm, Object* self, std::vector<Value>& args) {
  ClipGoto(vm, self, Arg(args, args.size() > 1 ? 1 : 0), true);
  return {};
}
Value GotoAndStop(Vm& vm, Object* self, std::vector<Value>& args) {
  ClipGoto(vm, self, Arg(args, args.size() > 1 ? 1 : 0), false);
  return {};
}
Value DuplicateMovieClip(Vm& vm, Object* self, std::vector<Value>& args) {
  Value init = Arg(args, 2);
  Object* o = ClipDuplicate(vm, self, vm.ToString(Arg(args, 0)), int32_t(vm.ToNumber(Arg(args, 1))),
                            init.IsObject() ? init.object : nullptr);
  return o ? Value(o) : Value();
}
Value RemoveMovieClip(Vm& vm, Object* self, std::vector<Value>&) {
  ClipRemove(vm, self);
  return {};
}
Value CreateEmptyMovieClip(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* parent = ClipOf(self);
  double depth = vm.ToNumber(Arg(args, 1));
  if (!parent || !std::isfinite(depth)) return {};
  std::string name = vm.ToString(Arg(args, 0));
  Clip* made = PlayerOf(vm)->CreateEmpty(*parent, name, int32_t(depth));
  return made ? Value(PlayerOf(vm)->ObjectOf(*made)) : Value();
}
Value AttachMovie(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* parent = ClipOf(self);
  double depth = vm.ToNumber(Arg(args, 2));
  if (!parent || !std::isfinite(depth)) return {};
  auto id = PlayerOf(vm)->ExportedId(vm.ToString(Arg(args, 0)));
  if (!id) return {};
  Clip* made = PlayerOf(vm)->Attach(*parent, *id, vm.ToString(Arg(args, 1)), int32_t(depth));
  if (!made) return {};
  Object* o = PlayerOf(vm)->ObjectOf(*made);
  // A class registered for the linkage name becomes the clip's class.
  Value cls = vm.Get(vm.registered, vm.ToString(Arg(args, 0)));
  if (cls.IsObject()) {
    Value proto = vm.Get(cls.object, "prototype");
    if (proto.IsObject()) o->proto = proto.object;
    std::vector<Value> none;
    vm.Call(cls, o, none);
  }
  Value init = Arg(args, 3);
  if (init.IsObject())
    for (const std::string& key : vm.Keys(init.object)) vm.Set(o, key, vm.Get(init.object, key));
  return o;
}
Value GetDepth(Vm&, Object* self, std::vector<Value>&) {
  Clip* c = ClipOf(self);
  return c && c->parent ? Value(double(int32_t(c->depth) - kScriptDepthBase)) : Value();
}
Value GetNextHighestDepth(Vm&, Object* self, std::vector<Value>&) {
  Clip* c = ClipOf(self);
  if (!c) return {};
  int32_t next = 0;
  if (!c->list.empty()) next = std::max(0, int32_t(c->list.rbegin()->first) - kScriptDepthBase + 1);
  return double(next);
}
Value SwapDepths(Vm& vm, Object* self, std::vector<Value>& args) {
  Clip* c = ClipOf(self);
  if (!c) return {};
  Value to = Arg(args, 0);
  int32_t depth;
  if (to.IsObject() && to.object->clip) {
    if (to.object->clip->parent != c->parent) return {};
    depth = int32_t(to.object->clip->depth) - kScriptDepthBase;
  } else {
    double d = vm.ToNumber(to);
    if (!std::isfinite(d)) return {};
    depth = int32_t(d);
  }
  PlayerOf(vm)->SwapDepths(*c, depth);
  return {};
}
Value GetBytes(Vm& vm, Object*, std::vector<Value>&) {
  return double(PlayerOf(vm) ? PlayerOf(vm)->GetMovie().File().body.size() : 0);
}
Value ToStringMethod(Vm& vm, Object* self, std::vector<Value>&) { return vm.TargetPath(self); }
Value Nothing(Vm&, Object*, std::vector<Value>&) { return {}; }

}  // namespace

int ClipPropertyIndex(const std::string& name) {
  std::string lower = Lower(name);
  for (int i = 0; i < kClipPropertyCount; ++i)
    if (lower == kClipProperties[i]) return i;
  return -1;
}

Value GetClipProperty(Vm& vm, Object* object, int index) {
  Clip* clip = ClipOf(object);
  if (!clip) return {};
  const DisplayObject* holder = clip->holder;
  Matrix m = holder ? holder->matrix : Matrix{};
  Transform t = Decompose(m);
  switch (index) {
    case 0: return m.tx / 20;
    case 1: return m.ty / 20;
    case 2: return t.xscale * 100;
    case 3: return t.yscale * 100;
    case 4: return double(clip->frame + 1);
    case 5: return double(clip->timeline->frameCount);
    case 6: return holder ? holder->cx.mult[3] * 100 : 100.0;
    case 7: return holder ? holder->visible : true;
    case 8: return ClipSize(object, false);
    case 9: return ClipSize(object, true);
    case 10: return t.rotation * 180 / kPi;
    case 11: return SlashPath(clip);
    case 12: return double(clip->timeline->frameCount);
    case 13: return clip->parent ? clip->name : std::string();
    case 14: return "";
    case 15: return "";
    case 16: return 1.0;
    case 17: return 1.0;
    case 18: return 5.0;
    case 19: return "HIGH";
    case 20:
    case 21: {
      double x = 0, y = 0;
      if (PlayerOf(vm)) PlayerOf(vm)->MouseIn(*clip, x, y);
      return index == 20 ? x : y;
    }
    default: return 0.0;
  }
  (void)vm;
}

void SetClipProperty(Vm& vm, Object* object, int index, const Value& value) {
  Clip* clip = ClipOf(object);
  if (!clip || !clip->holder) return;
  DisplayObject& h = *clip->holder;
  if (index == 13) {
    clip->name = vm.ToString(value);
    h.name = clip->name;
    return;
  }
  if (index == 7) {
    h.visible = vm.ToBool(value);
    return;
  }
  double v = vm.ToNumber(value);
  if (!std::isfinite(v)) return;
  Transform t = Decompose(h.matrix);
  switch (index) {
    case 0: h.matrix.tx = v * 20; break;
    case 1: h.matrix.ty = v * 20; break;
    case 2: t.xscale = v / 100; Compose(h.matrix, t); break;
    case 3: t.yscale = v / 100; Compose(h.matrix, t); break;
    case 6: h.cx.mult[3] = v / 100; break;
    case 8: SetClipSize(object, false, v); break;
    case 9: SetClipSize(object, true, v); break;
    case 10: t.rotation = std::fmod(v, 360) * kPi / 180; Compose(h.matrix, t); break;
    default: break;
  }
}

Object* ClipChild(Vm& vm, Object* object, const std::string& name) {
  Player* player = PlayerOf(vm);
  if (!player) return nullptr;
  std::string key = vm.Key(name);
  if (!object) return key == vm.Key("_root") ? player->ObjectOf(player->RootClip()) : nullptr;
  Clip* clip = ClipOf(object);
  if (!clip) return nullptr;
  if (key == vm.Key("_parent")) return clip->parent ? player->ObjectOf(*clip->parent) : nullptr;
  for (auto& [depth, child] : clip->list) {
    if (child.clip && vm.Key(child.clip->name) == key) return player->ObjectOf(*child.clip);
    if (!child.clip && child.character && child.character->kind == Kind::Button && !child.name.empty() &&
        vm.Key(child.name) == key)
      return player->ButtonObject(child);
  }
  return nullptr;
}

Object* ClipParent(Vm& vm, Object* object) {
  Clip* clip = ClipOf(object);
  if (!clip || !clip->parent || !PlayerOf(vm)) return nullptr;
  return PlayerOf(vm)->ObjectOf(*clip->parent);
}

std::string ClipName(Object* object) {
  Clip* clip = ClipOf(object);
  return clip ? clip->name : "";
}

void ClipGoto(Vm& vm, Object* object, const Value& frame, bool play, int bias) {
  Clip* clip = ClipOf(object);
  Player* player = PlayerOf(vm);
  if (!clip || !player) return;
  uint32_t target;
  if (frame.IsString()) {
    std::string label = frame.text;
    size_t colon = label.rfind(':');
    if (colon != std::string::npos) {
      Object* other = vm.ResolveTarget(object, label.substr(0, colon));
      clip = ClipOf(other);
      if (!clip) return;
      label = label.substr(colon + 1);
    }
    double n = StringToNumber(label, vm.Version());
    if (std::isfinite(n) && !label.empty()) {
      if (n < 1) return;
      target = uint32_t(std::min(n - 1 + bias, 65535.0));
    } else if (!player->LabelFrame(*clip, label, target)) {
      return;
    }
  } else {
    double n = vm.ToNumber(frame);
    if (!std::isfinite(n) || n < 1) return;
    target = uint32_t(std::min(std::trunc(n) - 1 + bias, 65535.0));
  }
  player->ScriptGoto(*clip, target, play);
}

void ClipPlay(Vm&, Object* object, bool play) {
  if (Clip* clip = ClipOf(object)) clip->playing = play;
}

void ClipStep(Vm& vm, Object* object, int delta) {
  Clip* clip = ClipOf(object);
  if (!clip || !PlayerOf(vm)) return;
  int64_t target = int64_t(clip->frame) + delta;
  if (target < 0 || target >= int64_t(clip->timeline->frameCount)) {
    clip->playing = false;
    return;
  }
  PlayerOf(vm)->ScriptGoto(*clip, uint32_t(target), false);
}

void ClipStopSounds(Vm& vm) {
  if (PlayerOf(vm)) PlayerOf(vm)->StopAllSounds();
}

Object* ClipDuplicate(Vm& vm, Object* object, const std::string& name, int32_t depth, Object* init) {
  Clip* clip = ClipOf(object);
  if (!clip || !PlayerOf(vm)) return nullptr;
  Clip* made = PlayerOf(vm)->Duplicate(*clip, name, depth);
  if (!made) return nullptr;
  Object* o = PlayerOf(vm)->ObjectOf(*made);
  if (init)
    for (const std::string& key : vm.Keys(init)) vm.Set(o, key, vm.Get(init, key));
  return o;
}

void ClipRemove(Vm& vm, Object* object) {
  Clip* clip = ClipOf(object);
  if (clip && PlayerOf(vm)) PlayerOf(vm)->RemoveClip(*clip);
}

std::vector<std::span<const uint8_t>> ClipFrameActions(Vm& vm, Object* object, const Value& frame) {
  Clip* clip = ClipOf(object);
  if (!clip || !PlayerOf(vm)) return {};
  uint32_t target;
  if (frame.IsString() && !std::isfinite(StringToNumber(frame.text, vm.Version()))) {
    if (!PlayerOf(vm)->LabelFrame(*clip, frame.text, target)) return {};
  } else {
    double n = vm.ToNumber(frame);
    if (!std::isfinite(n) || n < 1) return {};
    target = uint32_t(std::min(n - 1, 65535.0));
  }
  return PlayerOf(vm)->FrameScripts(*clip, target);
}

void InstallMovieClip(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  vm.movieClipProto = proto;
  Object* ctor = vm.NewFunction(Nothing);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  const std::pair<const char*, NativeFn> methods[] = {
      {"play", Play},
      {"stop", Stop},
      {"nextFrame", NextFrame},
      {"prevFrame", PrevFrame},
      {"gotoAndPlay", GotoAndPlay},
      {"gotoAndStop", GotoAndStop},
      {"duplicateMovieClip", DuplicateMovieClip},
      {"removeMovieClip", RemoveMovieClip},
      {"createEmptyMovieClip", CreateEmptyMovieClip},
      {"attachMovie", AttachMovie},
      {"getDepth", GetDepth},
      {"getNextHighestDepth", GetNextHighestDepth},
      {"swapDepths", SwapDepths},
      {"getBytesLoaded", GetBytes},
      {"getBytesTotal", GetBytes},
      {"toString", ToStringMethod},
      {"loadMovie", Nothing},
      {"loadVariables", Nothing},
      {"unloadMovie", Nothing},
      {"getURL", Nothing},
      {"startDrag", Nothing},
      {"stopDrag", Nothing},
  };
  for (auto& [name, fn] : methods) vm.Method(proto, name, fn);
  vm.Define(vm.global, "MovieClip", ctor, DontEnum);
  (void)Self;
}

}  // namespace vitrine::swf::avm1
