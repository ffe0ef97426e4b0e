// Color: a clip's colour transform seen as one RGB colour (setRGB, getRGB) or as eight
// numbers (setTransform, getTransform: ra ga ba aa in percent, rb gb bb ab as offsets).
#include <cmath>

#include "flash/swf/avm1/machine.h"
#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

namespace {

constexpr const char* kPercents[] = {"ra", "ga", "ba", "aa"};
constexpr const char* kOffsets[] = {"rb", "gb", "bb", "ab"};

// The clip the Color speaks for, while it is on the stage: its place's colour transform.
CxForm* TransformOf(Object* self) {
  if (!self || self->cls != "Color" || !self->primitive.IsObject()) return nullptr;
  Clip* clip = self->primitive.object->clip;
  return clip && clip->holder ? &clip->holder->cx : nullptr;
}

Value Construct(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!self) return {};
  self->cls = "Color";
  Value target = Arg(args, 0);
  Object* clip = target.IsObject() ? target.object : nullptr;
  if (!clip && !target.IsUndefined() && vm.GetPlayer())
    clip = vm.ResolveTarget(vm.GetPlayer()->ObjectOf(vm.GetPlayer()->RootClip()), vm.ToString(target));
  if (clip && clip->clip) self->primitive = Value(clip);
  return {};
}

Value SetRgb(Vm& vm, Object* self, std::vector<Value>& args) {
  CxForm* cx = TransformOf(self);
  if (!cx || args.empty()) return {};
  uint32_t rgb = uint32_t(int64_t(vm.ToNumber(args[0])) & 0xFFFFFF);
  for (int i = 0; i < 3; ++i) {
    cx->mult[i] = 0;
    cx->add[i] = double((rgb >> (16 - 8 * i)) & 0xFF);
  }
  return {};
}

Value GetRgb(Vm&, Object* self, std::vector<Value>&) {
  CxForm* cx = TransformOf(self);
  if (!cx) return {};
  uint32_t rgb = 0;
  for (int i = 0; i < 3; ++i) rgb = rgb << 8 | (uint32_t(int64_t(cx->add[i])) & 0xFF);
  return double(rgb);
}

Value SetTransform(Vm& vm, Object* self, std::vector<Value>& args) {
  CxForm* cx = TransformOf(self);
  Value given = Arg(args, 0);
  if (!cx || !given.IsObject()) return {};
  for (int i = 0; i < 4; ++i) {
    if (vm.Has(given.object, kPercents[i])) {
      double v = vm.ToNumber(vm.Get(given.object, kPercents[i]));
      if (std::isfinite(v)) cx->mult[i] = v / 100;
    }
    if (vm.Has(given.object, kOffsets[i])) {
      double v = vm.ToNumber(vm.Get(given.object, kOffsets[i]));
      if (std::isfinite(v)) cx->add[i] = v;
    }
  }
  return {};
}

Value GetTransform(Vm& vm, Object* self, std::vector<Value>&) {
  CxForm* cx = TransformOf(self);
  if (!cx) return {};
  Object* out = vm.NewObject();
  for (int i = 0; i < 4; ++i) {
    vm.Set(out, kPercents[i], cx->mult[i] * 100);
    vm.Set(out, kOffsets[i], cx->add[i]);
  }
  return out;
}

}  // namespace

void InstallColor(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  Object* ctor = vm.NewFunction(Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "setRGB", SetRgb);
  vm.Method(proto, "getRGB", GetRgb);
  vm.Method(proto, "setTransform", SetTransform);
  vm.Method(proto, "getTransform", GetTransform);
  vm.Define(vm.global, "Color", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
