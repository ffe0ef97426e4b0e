// Error: a message and its text.
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

void InstallError(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  vm.errorProto = proto;
  Object* ctor = vm.NewFunction(
      [](Vm& v, Object* self, std::vector<Value>& args) -> Value {
        if (self && !Arg(args, 0).IsUndefined()) v.Set(self, "message", Arg(args, 0));
        return {};
      });
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Define(proto, "name", "Error", DontEnum);
  vm.Define(proto, "message", "Error", DontEnum);
  vm.Method(proto, "toString", [](Vm& v, Object* self, std::vector<Value>&) -> Value {
    return self ? Value(v.ToString(v.Get(self, "message"))) : Value("Error");
  });
  vm.Define(vm.global, "Error", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
