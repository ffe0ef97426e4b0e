// Function: call and apply.
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

Value Call(Vm& vm, Object* self, std::vector<Value>& args) {
  Value thisValue = Arg(args, 0);
  std::vector<Value> rest(args.begin() + std::min<size_t>(1, args.size()), args.end());
  Object* thisObject = thisValue.IsNullish() ? nullptr : vm.ToObject(thisValue);
  return vm.Call(self, thisObject, rest);
}

Value Apply(Vm& vm, Object* self, std::vector<Value>& args) {
  Value thisValue = Arg(args, 0), list = Arg(args, 1);
  std::vector<Value> rest;
  if (list.IsObject() && list.object->isArray) rest = list.object->elements;
  Object* thisObject = thisValue.IsNullish() ? nullptr : vm.ToObject(thisValue);
  return vm.Call(self, thisObject, rest);
}

Value FunctionCtor(Vm& vm, Object*, std::vector<Value>&) { return vm.NewObject(); }

}  // namespace

void InstallFunction(Vm& vm) {
  Object* proto = vm.functionProto;
  Object* ctor = vm.NewFunction(FunctionCtor, FunctionCtor);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "call", Call);
  vm.Method(proto, "apply", Apply);
  vm.Define(vm.global, "Function", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
