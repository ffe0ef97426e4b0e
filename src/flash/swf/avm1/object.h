#pragma once
// A script object: named properties with attributes, a prototype, and what makes it more than
// a bag of properties: a function (native or script), the elements of an array, the value a
// String, Number, Boolean or Date boxes, or the movie clip it speaks for.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/swf/avm1/value.h"

namespace vitrine::swf {
struct Clip;
}

namespace vitrine::swf::avm1 {

class Vm;
class Object;

enum PropertyFlag : uint8_t { DontEnum = 1, DontDelete = 2, ReadOnly = 4 };

struct Property {
  std::string name;  // as first written
  Value value;
  Object* getter = nullptr;  // addProperty
  Object* setter = nullptr;
  uint8_t flags = 0;
  uint64_t order = 0;
};

// Native functions get the machine, `this` and the arguments; they return the result.
using NativeFn = Value (*)(Vm& vm, Object* self, std::vector<Value>& args);

// The chain of objects a script function looks names up in, innermost first.
struct Scope {
  Object* object = nullptr;
  std::shared_ptr<Scope> parent;
};

// A function defined by DefineFunction or DefineFunction2.
struct ScriptFunction {
  std::string name;
  std::span<const uint8_t> code;  // lies in the movie's bytes, which outlive the machine
  std::vector<std::pair<uint8_t, std::string>> params;  // register (0: none) and name
  uint8_t registerCount = 4;
  uint16_t flags = 0;  // DefineFunction2's preload and suppress flags
  bool two = false;    // defined by DefineFunction2
  int version = 0;
  std::shared_ptr<Scope> scope;
  std::shared_ptr<std::vector<std::string>> constants;
  Object* target = nullptr;  // the clip whose timeline defined it
};

class Object {
 public:
  Object* proto = nullptr;
  // The class as Object.prototype.toString and typeof see it: "Object", "Function", "Array",
  // "String", "Number", "Boolean", "Date", "MovieClip".
  std::string cls = "Object";
  NativeFn native = nullptr;
  // A constructor whose `new` differs from its call (String, Number, Array ...).
  NativeFn construct = nullptr;
  std::unique_ptr<ScriptFunction> script;
  bool isArray = false;
  std::vector<Value> elements;
  Value primitive;  // the boxed value; a Date's time
  Clip* clip = nullptr;  // for movie clips, none once the clip is gone
  std::vector<Object*> interfaces;  // ImplementsOp
  std::unordered_map<std::string, Property> props;  // keyed by the machine's key of the name
  uint64_t nextOrder = 0;
  bool marked = false;

  bool Callable() const { return native || script; }
};

}  // namespace vitrine::swf::avm1
