// The global object: the classes and the global functions (trace, getTimer, setInterval ...).
#include <cmath>

#include "core/random.h"
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf::avm1 {

namespace {

Value Trace(Vm& vm, Object*, std::vector<Value>& args) {
  Value v = Arg(args, 0);
  if (vm.onTrace) vm.onTrace(v.IsUndefined() ? "undefined" : vm.ToString(v));
  return {};
}

Value GetTimer(Vm& vm, Object*, std::vector<Value>&) { return std::floor(vm.nowMs); }

Value SetInterval(Vm& vm, Object*, std::vector<Value>& args) {
  Interval interval;
  size_t next;
  Value first = Arg(args, 0);
  if (first.IsObject() && first.object->Callable()) {
    interval.function = first;
    next = 1;
  } else if (first.IsObject() && args.size() >= 3) {
    interval.object = first.object;
    interval.method = vm.ToString(args[1]);
    next = 2;
  } else {
    return {};
  }
  double period = vm.ToNumber(Arg(args, next));
  interval.periodMs = std::isfinite(period) && period > 0 ? period : 0;
  interval.args.assign(args.begin() + std::min(args.size(), next + 1), args.end());
  int32_t id = vm.AddInterval(std::move(interval));
  return id ? Value(double(id)) : Value();
}

Value ClearInterval(Vm& vm, Object*, std::vector<Value>& args) {
  vm.ClearInterval(int32_t(vm.ToNumber(Arg(args, 0))));
  return {};
}

Value RandomFn(Vm& vm, Object*, std::vector<Value>& args) {
  double max = vm.ToNumber(Arg(args, 0));
  int32_t n = std::isfinite(max) && max >= 1 ? int32_t(std::min(max, 2147483647.0)) : 0;
  return double(n > 0 ? Random(n) : 0);
}

Value FsCommand(Vm& vm, Object*, std::vector<Value>& args) {
  if (vm.onFsCommand) vm.onFsCommand(vm.ToString(Arg(args, 0)), vm.ToString(Arg(args, 1)));
  return {};
}

Value Nothing(Vm&, Object*, std::vector<Value>&) { return {}; }

Value ParseInt(Vm& vm, Object*, std::vector<Value>& args) {
  std::string s = vm.ToString(Arg(args, 0));
  double radixValue = vm.ToNumber(Arg(args, 1));
  int radix = std::isfinite(radixValue) ? int(radixValue) : 0;
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (radix == 0) {
    if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
      radix = 16;
      i += 2;
    } else if (i + 1 < s.size() && s[i] == '0') {
      radix = 8;  // a leading zero reads octal, as in the Flash player
    } else {
      radix = 10;
    }
  } else if (radix == 16 && (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0)) {
    i += 2;
  }
  if (radix < 2 || radix > 36) return NAN;
  double v = 0;
  bool any = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 99;
    if (d >= radix) break;
    v = v * radix + d;
    any = true;
  }
  if (!any) return NAN;
  return negative ? -v : v;
}

Value ParseFloat(Vm& vm, Object*, std::vector<Value>& args) {
  std::string s = vm.ToString(Arg(args, 0));
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  size_t k = i;
  if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
  bool digits = false;
  while (k < s.size() && isdigit(uint8_t(s[k]))) ++k, digits = true;
  if (k < s.size() && s[k] == '.') {
    ++k;
    while (k < s.size() && isdigit(uint8_t(s[k]))) ++k, digits = true;
  }
  if (!digits) return NAN;
  if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
    size_t e = k + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    if (e < s.size() && isdigit(uint8_t(s[e]))) {
      k = e;
      while (k < s.size() && isdigit(uint8_t(s[k]))) ++k;
    }
  }
  return std::strtod(s.substr(i, k - i).c_str(), nullptr);
}

Value IsNaN(Vm& vm, Object*, std::vector<Value>& args) { return std::isnan(vm.ToNumber(Arg(args, 0))); }
Value IsFinite(Vm& vm, Object*, std::vector<Value>& args) { return std::isfinite(vm.ToNumber(Arg(args, 0))); }

// ASSetPropFlags(object, names, set, clear): names a list, a comma-separated text or null (all).
Value SetPropFlags(Vm& vm, Object*, std::vector<Value>& args) {
  Value target = Arg(args, 0);
  if (!target.IsObject()) return {};
  Object* o = target.object;
  uint8_t set = uint8_t(ToUint32(vm.ToNumber(Arg(args, 2))) & 7);
  uint8_t clear = uint8_t(ToUint32(vm.ToNumber(Arg(args, 3))) & 7);
  std::vector<std::string> names;
  Value list = Arg(args, 1);
  if (list.IsNullish()) {
    for (auto& [key, p] : o->props) names.push_back(p.name);
  } else if (list.IsObject() && list.object->isArray) {
    for (const Value& v : list.object->elements) names.push_back(vm.ToString(v));
  } else {
    std::string s = vm.ToString(list);
    size_t from = 0;
    while (from <= s.size()) {
      size_t comma = s.find(',', from);
      if (comma == std::string::npos) comma = s.size();
      names.push_back(s.substr(from, comma - from));
      from = comma + 1;
    }
  }
  for (const std::string& name : names)
    if (Property* p = vm.Find(o, name)) p->flags = uint8_t((p->flags & ~clear) | set);
  return {};
}

}  // namespace

void InstallGlobals(Vm& vm) {
  // The two prototypes everything else hangs on come first.
  vm.objectProto = vm.New(nullptr);
  vm.functionProto = vm.New(vm.objectProto);
  vm.functionProto->cls = "Function";
  vm.global = vm.New(vm.objectProto);
  vm.registered = vm.New(nullptr);
  InstallObject(vm);
  InstallFunction(vm);
  InstallArray(vm);
  InstallString(vm);
  InstallNumber(vm);
  InstallBoolean(vm);
  InstallMath(vm);
  InstallDate(vm);
  InstallError(vm);
  InstallMovieClip(vm);
  InstallMovieClipDrawing(vm);
  InstallTextField(vm);
  InstallColor(vm);
  InstallStage(vm);
  InstallKeyAndMouse(vm);
  InstallSound(vm);
  Object* g = vm.global;
  vm.Method(g, "trace", Trace);
  vm.Method(g, "getTimer", GetTimer);
  vm.Method(g, "setInterval", SetInterval);
  vm.Method(g, "clearInterval", ClearInterval);
  vm.Method(g, "setTimeout", SetInterval);
  vm.Method(g, "random", RandomFn);
  vm.Method(g, "fscommand", FsCommand);
  vm.Method(g, "parseInt", ParseInt);
  vm.Method(g, "parseFloat", ParseFloat);
  vm.Method(g, "isNaN", IsNaN);
  vm.Method(g, "isFinite", IsFinite);
  vm.Method(g, "ASSetPropFlags", SetPropFlags);
  // Nothing leaves the player: these exist and do nothing.
  for (const char* name : {"getURL", "loadMovie", "loadMovieNum", "loadVariables", "loadVariablesNum",
                           "unloadMovie", "unloadMovieNum", "updateAfterEvent", "stopAllSounds"})
    vm.Method(g, name, Nothing);
  vm.Define(g, "NaN", NAN, DontEnum | DontDelete | ReadOnly);
  vm.Define(g, "Infinity", INFINITY, DontEnum | DontDelete | ReadOnly);
  std::string version = "WIN " + std::to_string(vm.PlayerVersion()) + ",0,0,0";
  vm.Define(g, "$version", version, DontEnum);
  Object* system = vm.NewObject();
  Object* capabilities = vm.NewObject();
  vm.Define(capabilities, "version", version);
  vm.Define(capabilities, "os", "Windows XP");
  vm.Define(capabilities, "playerType", "ActiveX");
  vm.Define(capabilities, "language", "en");
  vm.Define(capabilities, "hasAudio", true);
  vm.Define(system, "capabilities", capabilities);
  vm.Define(g, "System", system, DontEnum);
}

}  // namespace vitrine::swf::avm1
