// Number: conversion, toString with a radix, and the constants.
#include <cfloat>
#include <cmath>

#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

double Of(Vm& vm, Object* self) {
  if (self && self->cls == "Number") return self->primitive.number;
  return vm.ToNumber(Value(self));
}

Value Call(Vm& vm, Object*, std::vector<Value>& args) { return args.empty() ? 0.0 : vm.ToNumber(args[0]); }
Value Construct(Vm& vm, Object*, std::vector<Value>& args) {
  return vm.ToObject(Value(args.empty() ? 0.0 : vm.ToNumber(args[0])));
}

Value ToStringMethod(Vm& vm, Object* self, std::vector<Value>& args) {
  double radix = Arg(args, 0).IsUndefined() ? 10 : vm.ToNumber(args[0]);
  return NumberToRadix(Of(vm, self), std::isnan(radix) ? 10 : int(radix));
}

Value ValueOf(Vm& vm, Object* self, std::vector<Value>&) { return Of(vm, self); }

}  // namespace

void InstallNumber(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  proto->cls = "Number";
  proto->primitive = Value(0.0);
  vm.numberProto = proto;
  Object* ctor = vm.NewFunction(Call, Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "toString", ToStringMethod);
  vm.Method(proto, "valueOf", ValueOf);
  const uint8_t fixed = DontEnum | DontDelete | ReadOnly;
  vm.Define(ctor, "MAX_VALUE", DBL_MAX, fixed);
  vm.Define(ctor, "MIN_VALUE", 4.9406564584124654e-324, fixed);
  vm.Define(ctor, "NaN", NAN, fixed);
  vm.Define(ctor, "POSITIVE_INFINITY", INFINITY, fixed);
  vm.Define(ctor, "NEGATIVE_INFINITY", -INFINITY, fixed);
  vm.Define(vm.global, "Number", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
