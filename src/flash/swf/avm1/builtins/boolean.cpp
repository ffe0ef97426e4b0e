// Boolean.
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

bool Of(Vm& vm, Object* self) {
  if (self && self->cls == "Boolean") return self->primitive.number != 0;
  return vm.ToBool(Value(self));
}

Value Call(Vm& vm, Object*, std::vector<Value>& args) { return !args.empty() && vm.ToBool(args[0]); }
Value Construct(Vm& vm, Object*, std::vector<Value>& args) {
  return vm.ToObject(Value(!args.empty() && vm.ToBool(args[0])));
}
Value ToStringMethod(Vm& vm, Object* self, std::vector<Value>&) { return Of(vm, self) ? "true" : "false"; }
Value ValueOf(Vm& vm, Object* self, std::vector<Value>&) { return Of(vm, self); }

}  // namespace

void InstallBoolean(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  proto->cls = "Boolean";
  proto->primitive = Value(false);
  vm.booleanProto = proto;
  Object* ctor = vm.NewFunction(Call, Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "toString", ToStringMethod);
  vm.Method(proto, "valueOf", ValueOf);
  vm.Define(vm.global, "Boolean", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
