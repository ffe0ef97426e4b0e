// Object: the root class, and the methods every object inherits.
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

Value ObjectCall(Vm& vm, Object*, std::vector<Value>& args) {
  Value v = Arg(args, 0);
  if (v.IsNullish()) return vm.NewObject();
  return vm.ToObject(v);
}

Value ToStringMethod(Vm& vm, Object* self, std::vector<Value>&) {
  if (self && self->Callable()) return "[type Function]";
  if (self && self->clip) return vm.TargetPath(self);
  return "[object Object]";
}

Value ValueOf(Vm&, Object* self, std::vector<Value>&) {
  if (self && !self->primitive.IsUndefined() && self->cls != "Object") return self->primitive;
  return self;
}

Value HasOwnProperty(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!self) return false;
  std::string name = vm.ToString(Arg(args, 0));
  if (self->isArray) {
    Value v = vm.Get(self, name);
    if (!v.IsUndefined()) return true;
  }
  return vm.Find(self, name) != nullptr;
}

Value IsPropertyEnumerable(Vm& vm, Object* self, std::vector<Value>& args) {
  Property* p = self ? vm.Find(self, vm.ToString(Arg(args, 0))) : nullptr;
  return p && !(p->flags & DontEnum);
}

Value IsPrototypeOf(Vm&, Object* self, std::vector<Value>& args) {
  Value v = Arg(args, 0);
  if (!self || !v.IsObject()) return false;
  int hops = 0;
  for (Object* p = v.object->proto; p && hops < 256; p = p->proto, ++hops)
    if (p == self) return true;
  return false;
}

// addProperty(name, getter, setter): the property reads and writes through the functions.
Value AddProperty(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string name = vm.ToString(Arg(args, 0));
  Value getter = Arg(args, 1), setter = Arg(args, 2);
  if (!self || name.empty() || !getter.IsObject() || !getter.object->Callable()) return false;
  Property& p = self->props[vm.Key(name)];
  if (p.name.empty()) p.order = self->nextOrder++;
  p.name = name;
  p.value = Value();
  p.getter = getter.object;
  p.setter = setter.IsObject() && setter.object->Callable() ? setter.object : nullptr;
  return true;
}

Value RegisterClass(Vm& vm, Object*, std::vector<Value>& args) {
  std::string name = vm.ToString(Arg(args, 0));
  Value cls = Arg(args, 1);
  if (name.empty()) return false;
  if (cls.IsObject()) vm.Define(vm.registered, name, cls);
  else vm.Delete(vm.registered, name);
  return true;
}

}  // namespace

void InstallObject(Vm& vm) {
  Object* proto = vm.objectProto;
  Object* ctor = vm.NewFunction(ObjectCall, ObjectCall);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "toString", ToStringMethod);
  vm.Method(proto, "toLocaleString", ToStringMethod);
  vm.Method(proto, "valueOf", ValueOf);
  vm.Method(proto, "hasOwnProperty", HasOwnProperty);
  vm.Method(proto, "isPropertyEnumerable", IsPropertyEnumerable);
  vm.Method(proto, "isPrototypeOf", IsPrototypeOf);
  vm.Method(proto, "addProperty", AddProperty);
  vm.Method(ctor, "registerClass", RegisterClass);
  vm.Define(vm.global, "Object", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
