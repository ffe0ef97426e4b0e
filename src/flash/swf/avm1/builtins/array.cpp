// Array: elements in a vector, length as a live property, sort with its flags.
#include <algorithm>
#include <cmath>

#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

enum SortFlag { CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16 };

std::vector<Value>* Elements(Object* self) { return self && self->isArray ? &self->elements : nullptr; }

void CheckLength(Vm& vm, size_t n) {
  if (n > kMaxArrayLength) vm.Abort("array too long");
}

Value Construct(Vm& vm, Object*, std::vector<Value>& args) {
  if (args.size() == 1 && args[0].IsNumber()) {
    double n = args[0].number;
    Object* a = vm.NewArray();
    if (n >= 0 && n < double(kMaxArrayLength) && n == std::trunc(n)) a->elements.resize(size_t(n));
    return a;
  }
  return vm.NewArray(args);
}

Value Push(Vm& vm, Object* self, std::vector<Value>& args) {
  auto* e = Elements(self);
  if (!e) return {};
  CheckLength(vm, e->size() + args.size());
  e->insert(e->end(), args.begin(), args.end());
  return double(e->size());
}

Value Pop(Vm&, Object* self, std::vector<Value>&) {
  auto* e = Elements(self);
  if (!e || e->empty()) return {};
  Value v = e->back();
  e->pop_back();
  return v;
}

Value Shift(Vm&, Object* self, std::vector<Value>&) {
  auto* e = Elements(self);
  if (!e || e->empty()) return {};
  Value v = e->front();
  e->erase(e->begin());
  return v;
}

Value Unshift(Vm& vm, Object* self, std::vector<Value>& args) {
  auto* e = Elements(self);
  if (!e) return {};
  CheckLength(vm, e->size() + args.size());
  e->insert(e->begin(), args.begin(), args.end());
  return double(e->size());
}

std::string JoinWith(Vm& vm, Object* self, const std::string& separator) {
  auto* e = Elements(self);
  if (!e) return "";
  std::string out;
  for (size_t i = 0; i < e->size(); ++i) {
    if (i) out += separator;
    // Holes and undefined print as "undefined" from SWF 7, empty before.
    out += vm.ToString((*e)[i]);
    vm.CheckString(out);
  }
  return out;
}

Value Join(Vm& vm, Object* self, std::vector<Value>& args) {
  Value sep = Arg(args, 0);
  return JoinWith(vm, self, sep.IsUndefined() ? "," : vm.ToString(sep));
}

Value ToStringMethod(Vm& vm, Object* self, std::vector<Value>&) { return JoinWith(vm, self, ","); }

// A relative index as slice and splice read it.
size_t Clamp(Vm& vm, const Value& v, size_t length, size_t fallback) {
  if (v.IsUndefined()) return fallback;
  double n = vm.ToNumber(v);
  if (std::isnan(n)) return 0;
  n = std::trunc(n);
  if (n < 0) n = std::max(0.0, double(length) + n);
  return size_t(std::min(n, double(length)));
}

Value Slice(Vm& vm, Object* self, std::vector<Value>& args) {
  auto* e = Elements(self);
  if (!e) return {};
  size_t from = Clamp(vm, Arg(args, 0), e->size(), 0), to = Clamp(vm, Arg(args, 1), e->size(), e->size());
  std::vector<Value> out;
  if (from < to) out.assign(e->begin() + from, e->begin() + to);
  return vm.NewArray(std::move(out));
}

Value Splice(Vm& vm, Object* self, std::vector<Value>& args) {
  auto* e = Elements(self);
  if (!e || args.empty()) return {};
  size_t from = Clamp(vm, args[0], e->size(), 0);
  size_t count = e->size() - from;
  if (args.size() > 1) {
    double n = vm.ToNumber(args[1]);
    count = std::isnan(n) || n < 0 ? 0 : size_t(std::min(n, double(count)));
  }
  CheckLength(vm, e->size() + args.size());
  std::vector<Value> removed(e->begin() + from, e->begin() + from + count);
  e->erase(e->begin() + from, e->begin() + from + count);
  if (args.size() > 2) e->insert(e->begin() + from, args.begin() + 2, args.end());
  return vm.NewArray(std::move(removed));
}

Value Reverse(Vm&, Object* self, std::vector<Value>&) {
  if (auto* e = Elements(self)) std::reverse(e->begin(), e->end());
  return self;
}

Value Concat(Vm& vm, Object* self, std::vector<Value>& args) {
  auto* e = Elements(self);
  std::vector<Value> out = e ? *e : std::vector<Value>{};
  for (const Value& v : args) {
    if (v.IsObject() && v.object->isArray) out.insert(out.end(), v.object->elements.begin(), v.object->elements.end());
    else out.push_back(v);
    CheckLength(vm, out.size());
  }
  return vm.NewArray(std::move(out));
}

int Compare(Vm& vm, const Value& a, const Value& b, int flags, const Value& compare) {
  if (compare.IsObject()) {
    std::vector<Value> pair{a, b};
    double r = vm.ToNumber(vm.Call(compare, nullptr, pair));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }
  if (flags & Numeric) {
    double x = vm.ToNumber(a), y = vm.ToNumber(b);
    if (a.IsNumber() && b.IsNumber()) return x < y ? -1 : x > y ? 1 : 0;
    // A text among numbers compares as text.
    if (!a.IsNumber() || !b.IsNumber()) {
      if (std::isnan(x) || std::isnan(y) || !a.IsNumber() || !b.IsNumber()) {
        std::string s = vm.ToString(a), t = vm.ToString(b);
        if (!std::isnan(x) && !std::isnan(y)) return x < y ? -1 : x > y ? 1 : 0;
        return s < t ? -1 : s > t ? 1 : 0;
      }
    }
    return x < y ? -1 : x > y ? 1 : 0;
  }
  std::string s = vm.ToString(a), t = vm.ToString(b);
  if (flags & CaseInsensitive) {
    for (char& c : s) c = char(std::tolower(uint8_t(c)));
    for (char& c : t) c = char(std::tolower(uint8_t(c)));
  }
  return s < t ? -1 : s > t ? 1 : 0;
}

Value SortBy(Vm& vm, Object* self, const Value& compare, int flags, const std::vector<std::string>& fields) {
  auto* e = Elements(self);
  if (!e) return {};
  std::vector<size_t> order(e->size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::vector<Value> items = *e;
  auto key = [&](const Value& v, const std::string& field) { return field.empty() ? v : vm.GetOf(v, field); };
  bool equalSeen = false;
  std::stable_sort(order.begin(), order.end(), [&](size_t i, size_t j) {
    for (const std::string& field : fields) {
      int c = Compare(vm, key(items[i], field), key(items[j], field), flags, compare);
      if (c == 0) continue;
      return (flags & Descending) ? c > 0 : c < 0;
    }
    if (i != j) equalSeen = true;
    return false;
  });
  if ((flags & UniqueSort) && equalSeen) return 0.0;
  if (flags & ReturnIndexedArray) {
    std::vector<Value> indices;
    for (size_t i : order) indices.push_back(double(i));
    return vm.NewArray(std::move(indices));
  }
  for (size_t i = 0; i < order.size(); ++i) (*e)[i] = items[order[i]];
  return self;
}

Value Sort(Vm& vm, Object* self, std::vector<Value>& args) {
  Value compare;
  int flags = 0;
  if (!args.empty() && args[0].IsObject() && args[0].object->Callable()) {
    compare = args[0];
    flags = int(ToInt32(vm.ToNumber(Arg(args, 1))));
  } else if (!args.empty()) {
    flags = int(ToInt32(vm.ToNumber(args[0])));
  }
  return SortBy(vm, self, compare, flags, {""});
}

Value SortOn(Vm& vm, Object* self, std::vector<Value>& args) {
  std::vector<std::string> fields;
  Value names = Arg(args, 0);
  if (names.IsObject() && names.object->isArray)
    for (const Value& v : names.object->elements) fields.push_back(vm.ToString(v));
  else fields.push_back(vm.ToString(names));
  if (fields.empty()) return self;
  return SortBy(vm, self, Value(), int(ToInt32(vm.ToNumber(Arg(args, 1)))), fields);
}

}  // namespace

void InstallArray(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  vm.arrayProto = proto;
  Object* ctor = vm.NewFunction(Construct, Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "push", Push);
  vm.Method(proto, "pop", Pop);
  vm.Method(proto, "shift", Shift);
  vm.Method(proto, "unshift", Unshift);
  vm.Method(proto, "join", Join);
  vm.Method(proto, "toString", ToStringMethod);
  vm.Method(proto, "slice", Slice);
  vm.Method(proto, "splice", Splice);
  vm.Method(proto, "reverse", Reverse);
  vm.Method(proto, "concat", Concat);
  vm.Method(proto, "sort", Sort);
  vm.Method(proto, "sortOn", SortOn);
  const std::pair<const char*, int> flags[] = {{"CASEINSENSITIVE", CaseInsensitive}, {"DESCENDING", Descending},
                                               {"UNIQUESORT", UniqueSort}, {"RETURNINDEXEDARRAY", ReturnIndexedArray},
                                               {"NUMERIC", Numeric}};
  for (auto& [name, value] : flags) vm.Define(ctor, name, double(value), DontEnum | DontDelete | ReadOnly);
  vm.Define(vm.global, "Array", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
