// String: the methods of texts. Texts are handled as bytes.
#include <algorithm>
#include <cmath>

#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

std::string Text(Vm& vm, Object* self) {
  if (!self) return "";
  if (self->cls == "String") return self->primitive.text;
  return vm.ToString(Value(self));
}

// An index argument: NaN and negatives are 0 (substring), lengths bound it.
size_t Index(Vm& vm, const Value& v, size_t length, size_t fallback) {
  if (v.IsUndefined()) return fallback;
  double n = vm.ToNumber(v);
  if (std::isnan(n) || n < 0) return 0;
  return size_t(std::min(n, double(length)));
}

Value Call(Vm& vm, Object*, std::vector<Value>& args) { return args.empty() ? Value("") : Value(vm.ToString(args[0])); }

Value Construct(Vm& vm, Object*, std::vector<Value>& args) {
  return vm.ToObject(args.empty() ? Value("") : Value(vm.ToString(args[0])));
}

Value ToStringMethod(Vm& vm, Object* self, std::vector<Value>&) { return Text(vm, self); }

Value CharAt(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  double i = vm.ToNumber(Arg(args, 0));
  if (std::isnan(i)) i = 0;
  if (i < 0 || i >= double(s.size())) return "";
  return std::string(1, s[size_t(i)]);
}

Value CharCodeAt(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  double i = vm.ToNumber(Arg(args, 0));
  if (std::isnan(i)) i = 0;
  if (i < 0 || i >= double(s.size())) return NAN;
  return double(uint8_t(s[size_t(i)]));
}

Value IndexOf(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self), what = vm.ToString(Arg(args, 0));
  size_t from = Index(vm, Arg(args, 1), s.size(), 0);
  size_t at = s.find(what, from);
  return at == std::string::npos ? -1.0 : double(at);
}

Value LastIndexOf(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self), what = vm.ToString(Arg(args, 0));
  size_t from = Index(vm, Arg(args, 1), s.size(), s.size());
  size_t at = s.rfind(what, from);
  return at == std::string::npos ? -1.0 : double(at);
}

Value Substr(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  double start = vm.ToNumber(Arg(args, 0));
  if (std::isnan(start)) start = 0;
  if (start < 0) start = std::max(0.0, double(s.size()) + start);
  if (start >= double(s.size())) return "";
  size_t from = size_t(start);
  size_t count = s.size() - from;
  if (!Arg(args, 1).IsUndefined()) {
    double n = vm.ToNumber(args[1]);
    if (std::isnan(n) || n <= 0) return "";
    count = size_t(std::min(n, double(count)));
  }
  return s.substr(from, count);
}

Value Substring(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  size_t a = Index(vm, Arg(args, 0), s.size(), 0), b = Index(vm, Arg(args, 1), s.size(), s.size());
  if (a > b) std::swap(a, b);
  return s.substr(a, b - a);
}

Value Slice(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  auto at = [&](const Value& v, size_t fallback) -> size_t {
    if (v.IsUndefined()) return fallback;
    double n = vm.ToNumber(v);
    if (std::isnan(n)) return 0;
    if (n < 0) n = std::max(0.0, double(s.size()) + n);
    return size_t(std::min(n, double(s.size())));
  };
  size_t a = at(Arg(args, 0), 0), b = at(Arg(args, 1), s.size());
  return a < b ? s.substr(a, b - a) : std::string();
}

// split(""): one element per character; split() with no separator: the whole text.
Value Split(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  Value sepValue = Arg(args, 0);
  double limitValue = Arg(args, 1).IsUndefined() ? double(kMaxArrayLength) : vm.ToNumber(args[1]);
  size_t limit = std::isnan(limitValue) || limitValue < 0 ? 0 : size_t(std::min(limitValue, double(kMaxArrayLength)));
  std::vector<Value> parts;
  if (sepValue.IsUndefined()) {
    parts.push_back(s);
  } else {
    std::string sep = vm.ToString(sepValue);
    if (sep.empty()) {
      for (char c : s) parts.push_back(std::string(1, c));
    } else {
      size_t from = 0;
      while (parts.size() < kMaxArrayLength) {
        size_t at = s.find(sep, from);
        if (at == std::string::npos) {
          parts.push_back(s.substr(from));
          break;
        }
        parts.push_back(s.substr(from, at - from));
        from = at + sep.size();
      }
    }
  }
  if (parts.size() > limit) parts.resize(limit);
  return vm.NewArray(std::move(parts));
}

Value ToUpperCase(Vm& vm, Object* self, std::vector<Value>&) {
  std::string s = Text(vm, self);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

Value ToLowerCase(Vm& vm, Object* self, std::vector<Value>&) {
  std::string s = Text(vm, self);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

Value Concat(Vm& vm, Object* self, std::vector<Value>& args) {
  std::string s = Text(vm, self);
  for (const Value& v : args) {
    s += vm.ToString(v);
    vm.CheckString(s);
  }
  return s;
}

Value FromCharCode(Vm& vm, Object*, std::vector<Value>& args) {
  std::string s;
  for (const Value& v : args) {
    uint32_t c = ToUint32(vm.ToNumber(v)) & 0xFFFF;
    if (c < 0x80) {
      s += char(c);
    } else if (vm.Version() >= 6) {
      // Texts of SWF 6 and later are UTF-8.
      if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
      } else {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
      }
      s += char(0x80 | (c & 0x3F));
    } else {
      s += char(c & 0xFF);
    }
  }
  return s;
}

}  // namespace

void InstallString(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  proto->cls = "String";
  proto->primitive = Value("");
  vm.stringProto = proto;
  Object* ctor = vm.NewFunction(Call, Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "toString", ToStringMethod);
  vm.Method(proto, "valueOf", ToStringMethod);
  vm.Method(proto, "charAt", CharAt);
  vm.Method(proto, "charCodeAt", CharCodeAt);
  vm.Method(proto, "indexOf", IndexOf);
  vm.Method(proto, "lastIndexOf", LastIndexOf);
  vm.Method(proto, "substr", Substr);
  vm.Method(proto, "substring", Substring);
  vm.Method(proto, "slice", Slice);
  vm.Method(proto, "split", Split);
  vm.Method(proto, "toUpperCase", ToUpperCase);
  vm.Method(proto, "toLowerCase", ToLowerCase);
  vm.Method(proto, "concat", Concat);
  vm.Method(ctor, "fromCharCode", FromCharCode);
  vm.Define(vm.global, "String", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
