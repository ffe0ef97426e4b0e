#include "flash/swf/avm1/machine.h"

#include <algorithm>
#include <cmath>

#include "flash/swf/avm1/activation.h"
#include "flash/swf/avm1/builtins/movie_clip.h"

namespace vitrine::swf::avm1 {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

bool ArrayIndex(const std::string& name, size_t& index) {
  if (name.empty() || name.size() > 10) return false;
  uint64_t v = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + uint64_t(c - '0');
  }
  if (name.size() > 1 && name[0] == '0') return false;
  index = size_t(v);
  return v < kMaxArrayLength;
}

}  // namespace

Vm::Vm(int version, Player* player, int playerVersion)
    : version_(version), player_(player), playerVersion_(playerVersion) {
  InstallGlobals(*this);
}

Vm::~Vm() = default;

void Vm::Abort(const char* why) { throw ScriptAbort{why}; }

void Vm::Charge(uint64_t actions) {
  if (actionsLeft_ < actions || frameLeft_ < actions) {
    actionsLeft_ = 0;
    if (frameLeft_ < actions) frameLeft_ = 0;
    Abort("too many actions");
  }
  actionsLeft_ -= actions;
  frameLeft_ -= actions;
}

void Vm::CheckString(const std::string& s) const {
  if (s.size() > kMaxStringLength) throw ScriptAbort{"string too long"};
}

Object* Vm::New(Object* proto) {
  if (heap_.size() >= kMaxObjects) Abort("too many objects");
  heap_.push_back(std::make_unique<Object>());
  Object* o = heap_.back().get();
  o->proto = proto;
  return o;
}

Object* Vm::NewArray(std::vector<Value> elements) {
  Object* a = New(arrayProto);
  a->cls = "Array";
  a->isArray = true;
  a->elements = std::move(elements);
  return a;
}

Object* Vm::NewFunction(NativeFn fn, NativeFn construct) {
  Object* f = New(functionProto);
  f->cls = "Function";
  f->native = fn;
  f->construct = construct;
  return f;
}

void Vm::Method(Object* target, const std::string& name, NativeFn fn) {
  Define(target, name, NewFunction(fn), DontEnum);
}

void Vm::Accessor(Object* target, const std::string& name, NativeFn getter, NativeFn setter) {
  Define(target, name, Value(), DontEnum);
  Property* p = Find(target, name);
  p->getter = NewFunction(getter);
  if (setter) p->setter = NewFunction(setter);
}

std::string Vm::Key(const std::string& name) const { return version_ < 7 ? Lower(name) : name; }

Property* Vm::Find(Object* o, const std::string& name) {
  auto it = o->props.find(Key(name));
  return it == o->props.end() ? nullptr : &it->second;
}

Property* Vm::Lookup(Object* o, const std::string& name) {
  std::string key = Key(name);
  for (int hops = 0; o && hops < 256; o = o->proto, ++hops) {
    auto it = o->props.find(key);
    if (it != o->props.end()) return &it->second;
  }
  return nullptr;
}

Value Vm::Get(Object* o, const std::string& name) {
  if (!o) return {};
  if (o->isArray) {
    size_t index;
    if (ArrayIndex(name, index)) return index < o->elements.size() ? o->elements[index] : Value();
    if (Key(name) == "length") return double(o->elements.size());
  }
  if (name == "__proto__") return o->proto ? Value(o->proto) : Value();
  if (o->clip || o->cls == "MovieClip") {
    if (Property* own = Find(o, name)) {
      if (own->getter) {
        std::vector<Value> none;
        return Call(own->getter, o, none);
      }
      return own->value;
    }
    if (Object* child = ClipChild(*this, o, name)) return child;
    int index = ClipPropertyIndex(name);
    if (index >= 0) return GetClipProperty(*this, o, index);
  }
  Property* p = Lookup(o, name);
  if (!p) return {};
  if (p->getter) {
    std::vector<Value> none;
    return Call(p->getter, o, none);
  }
  return p->value;
}

Value Vm::GetOf(const Value& v, const std::string& name) {
  if (v.IsObject()) return Get(v.object, name);
  if (v.IsString() && Key(name) == "length") return double(v.text.size());
  if (v.IsNullish()) return {};
  Object* proto = v.IsString() ? stringProto : v.IsNumber() ? numberProto : booleanProto;
  Property* p = Lookup(proto, name);
  return p ? p->value : Value();
}

void Vm::Set(Object* o, const std::string& name, Value value) {
  if (!o) return;
  if (o->isArray) {
    size_t index;
    if (ArrayIndex(name, index)) {
      if (index >= o->elements.size()) o->elements.resize(index + 1);
      o->elements[index] = std::move(value);
      return;
    }
    if (Key(name) == "length") {
      double n = ToNumber(value);
      if (n >= 0 && n < double(kMaxArrayLength) && n == std::trunc(n)) o->elements.resize(size_t(n));
      return;
    }
  }
  if (name == "__proto__") {
    if (value.IsObject()) {
      // A prototype chain never loops.
      for (Object* p = value.object; p; p = p->proto)
        if (p == o) return;
      o->proto = value.object;
    }
    return;
  }
  if (o->clip && !Find(o, name)) {
    int index = ClipPropertyIndex(name);
    if (index >= 0) {
      SetClipProperty(*this, o, index, value);
      return;
    }
  }
  std::string key = Key(name);
  auto it = o->props.find(key);
  if (it == o->props.end()) {
    // A setter along the prototypes takes the value.
    Property* inherited = Lookup(o, name);
    if (inherited && inherited->setter) {
      std::vector<Value> args{std::move(value)};
      Call(inherited->setter, o, args);
      return;
    }
    if (inherited && inherited->getter && !inherited->setter) return;
    Property p;
    p.name = name;
    p.value = std::move(value);
    p.order = o->nextOrder++;
    o->props.emplace(std::move(key), std::move(p));
    return;
  }
  Property& p = it->second;
  if (p.setter) {
    std::vector<Value> args{std::move(value)};
    Call(p.setter, o, args);
    return;
  }
  if (p.getter || (p.flags & ReadOnly)) return;
  p.value = std::move(value);
}

void Vm::Define(Object* o, const std::string& name, Value value, uint8_t flags) {
  std::string key = Key(name);
  Property& p = o->props[key];
  if (p.name.empty()) p.order = o->nextOrder++;
  p.name = name;
  p.value = std::move(value);
  p.getter = p.setter = nullptr;
  p.flags = flags;
}

bool Vm::Has(Object* o, const std::string& name) {
  if (!o) return false;
  if (o->isArray) {
    size_t index;
    if (ArrayIndex(name, index)) return index < o->elements.size();
    if (Key(name) == "length") return true;
  }
  if (Lookup(o, name)) return true;
  if (o->clip) return ClipChild(*this, o, name) || ClipPropertyIndex(name) >= 0;
  return false;
}

bool Vm::Delete(Object* o, const std::string& name) {
  if (!o) return false;
  if (o->isArray) {
    size_t index;
    if (ArrayIndex(name, index)) {
      if (index < o->elements.size()) o->elements[index] = Value();
      return true;
    }
  }
  auto it = o->props.find(Key(name));
  if (it == o->props.end() || (it->second.flags & DontDelete)) return false;
  o->props.erase(it);
  return true;
}

std::vector<std::string> Vm::Keys(Object* o) {
  std::vector<std::string> out;
  std::vector<std::string> seen;
  int hops = 0;
  for (Object* p = o; p && hops < 256; p = p->proto, ++hops) {
    std::vector<const Property*> own;
    for (auto& [key, prop] : p->props) own.push_back(&prop);
    // Newest first, as the Flash player lists them.
    std::sort(own.begin(), own.end(), [](const Property* a, const Property* b) { return a->order > b->order; });
    if (p->isArray)
      for (size_t i = p->elements.size(); i-- > 0;)
        if (!p->elements[i].IsUndefined()) out.push_back(std::to_string(i));
    for (const Property* prop : own) {
      std::string key = Key(prop->name);
      if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
      seen.push_back(key);
      if (!(prop->flags & DontEnum)) out.push_back(prop->name);
    }
  }
  return out;
}

Value Vm::Call(const Value& fn, Object* self, std::vector<Value>& args) {
  if (!fn.IsObject() || !fn.object->Callable()) return {};
  if (depth_ >= kMaxCallDepth) Abort("recursion too deep");
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  Object* f = fn.object;
  if (f->native) return f->native(*this, self, args);
  return CallScript(*this, f, self, args);
}

Value Vm::CallMethod(const Value& target, const std::string& name, std::vector<Value> args) {
  Value fn = GetOf(target, name);
  Object* self = target.IsObject() ? target.object : ToObject(target);
  return Call(fn, self, args);
}

Value Vm::Construct(const Value& ctor, std::vector<Value>& args) {
  if (!ctor.IsObject() || !ctor.object->Callable()) return {};
  Object* c = ctor.object;
  if (c->construct) {
    if (depth_ >= kMaxCallDepth) Abort("recursion too deep");
    ++depth_;
    Value out = c->construct(*this, nullptr, args);
    --depth_;
    return out;
  }
  Value proto = Get(c, "prototype");
  Object* o = New(proto.IsObject() ? proto.object : objectProto);
  Define(o, "__constructor__", c, DontEnum);
  if (version_ < 7) Define(o, "constructor", c, DontEnum);
  Value result = Call(ctor, o, args);
  if (result.IsObject() && c->native) return result;
  return o;
}

bool Vm::InstanceOf(const Value& v, Object* ctor) {
  if (!v.IsObject() || !ctor) return false;
  Value proto = Get(ctor, "prototype");
  if (!proto.IsObject()) return false;
  int hops = 0;
  for (Object* p = v.object->proto; p && hops < 256; p = p->proto, ++hops) {
    if (p == proto.object) return true;
    for (Object* i : p->interfaces) {
      Value ip = Get(i, "prototype");
      if (ip.IsObject() && ip.object == proto.object) return true;
    }
  }
  return false;
}

Value Vm::ToPrimitive(const Value& v, bool preferString) {
  if (!v.IsObject()) return v;
  Object* o = v.object;
  if (o->clip && preferString) return TargetPath(o);
  const char* first = preferString || o->cls == "Date" ? "toString" : "valueOf";
  const char* second = preferString || o->cls == "Date" ? "valueOf" : "toString";
  for (const char* name : {first, second}) {
    Value fn = Get(o, name);
    if (fn.IsObject() && fn.object->Callable()) {
      std::vector<Value> none;
      Value r = Call(fn, o, none);
      if (!r.IsObject()) return r;
    }
  }
  if (o->clip) return TargetPath(o);
  return o->Callable() ? Value("[type Function]") : Value("[object Object]");
}

double Vm::ToNumber(const Value& v) {
  if (!v.IsObject()) return PrimitiveToNumber(v, version_);
  Value p = ToPrimitive(v);
  if (p.IsObject()) return NAN;
  return PrimitiveToNumber(p, version_);
}

std::string Vm::ToString(const Value& v) {
  if (!v.IsObject()) return PrimitiveToString(v, version_);
  Value p = ToPrimitive(v, true);
  return PrimitiveToString(p, version_);
}

Object* Vm::ToObject(const Value& v) {
  switch (v.type) {
    case Type::Object:
      return v.object;
    case Type::String: {
      Object* o = New(stringProto);
      o->cls = "String";
      o->primitive = v;
      return o;
    }
    case Type::Number: {
      Object* o = New(numberProto);
      o->cls = "Number";
      o->primitive = v;
      return o;
    }
    case Type::Boolean: {
      Object* o = New(booleanProto);
      o->cls = "Boolean";
      o->primitive = v;
      return o;
    }
    default:
      return nullptr;
  }
}

std::string Vm::TypeOf(const Value& v) {
  if (!v.IsObject()) return TypeOfPrimitive(v);
  if (v.object->clip) return "movieclip";
  if (v.object->Callable()) return "function";
  return "object";
}

Object* Vm::RootClip() { return ResolveTarget(nullptr, "_root"); }

std::string Vm::TargetPath(Object* clip) {
  if (!clip || !clip->clip) return "";
  std::vector<std::string> names;
  Object* o = clip;
  for (int hops = 0; hops < 256; ++hops) {
    Object* parent = ClipParent(*this, o);
    if (!parent) break;
    names.push_back(ClipName(o));
    o = parent;
  }
  std::string path = "_level0";
  for (size_t i = names.size(); i-- > 0;) path += "." + names[i];
  return path;
}

Object* Vm::ResolveTarget(Object* base, const std::string& path) {
  Object* root = nullptr;
  if (base && base->clip) {
    root = base;
    for (int hops = 0; hops < 256; ++hops) {
      Object* parent = ClipParent(*this, root);
      if (!parent) break;
      root = parent;
    }
  } else {
    root = ClipChild(*this, nullptr, "_root");
  }
  if (path.empty()) return base;
  Object* at = base;
  size_t i = 0;
  if (path[0] == '/') {
    at = root;
    i = 1;
  }
  while (i < path.size()) {
    size_t end = path.find_first_of("/.:", i);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(i, end - i);
    // "../" is the parent in slash paths.
    if (end + 1 < path.size() && path[end] == '.' && path.compare(i, 3, "../") == 0) {
      part = "..";
      end = i + 2;
    }
    i = end + 1;
    if (part.empty()) continue;
    std::string key = Key(part);
    if (part == "..") at = at ? ClipParent(*this, at) : nullptr;
    else if (key == Key("_root") || key == "_level0") at = root;
    else if (key == Key("_parent")) at = at ? ClipParent(*this, at) : nullptr;
    else if (key == "this") {
    } else if (key == Key("_global")) at = global;
    else if (at) {
      Value v = Get(at, part);
      at = v.IsObject() ? v.object : nullptr;
    }
    if (!at) return nullptr;
  }
  return at;
}

int32_t Vm::AddInterval(Interval interval) {
  if (intervals_.size() >= kMaxIntervals) return 0;
  interval.id = nextInterval_++;
  interval.nextMs = nowMs + interval.periodMs;
  intervals_.push_back(std::move(interval));
  return intervals_.back().id;
}

void Vm::ClearInterval(int32_t id) {
  intervals_.erase(std::remove_if(intervals_.begin(), intervals_.end(), [&](const Interval& i) { return i.id == id; }),
                   intervals_.end());
}

void Vm::RunIntervals() {
  // An interval fires at most once a frame, as in the Flash player at low frame rates; the
  // list may change while they run.
  std::vector<int32_t> due;
  for (const Interval& i : intervals_)
    if (i.nextMs <= nowMs) due.push_back(i.id);
  for (int32_t id : due) {
    auto it = std::find_if(intervals_.begin(), intervals_.end(), [&](const Interval& i) { return i.id == id; });
    if (it == intervals_.end()) continue;
    it->nextMs = std::max(it->nextMs + std::max(it->periodMs, 1.0), nowMs);
    Interval copy = *it;
    if (copy.object) CallSafely(Get(copy.object, copy.method), copy.object, copy.args);
    else CallSafely(copy.function, nullptr, copy.args);
  }
}

Value Vm::CallSafely(const Value& fn, Object* self, std::vector<Value> args) {
  // May run inside another script (a DoInitAction reached by a goto): that one's depth and
  // budget are given back afterwards.
  int savedDepth = depth_;
  uint64_t savedLeft = actionsLeft_;
  actionsLeft_ = savedDepth ? std::min(savedLeft, ScriptBudget()) : ScriptBudget();
  Value out;
  try {
    out = Call(fn, self, args);
  } catch (const ScriptThrow&) {
  } catch (const ScriptAbort&) {
  }
  depth_ = savedDepth;
  if (savedDepth) actionsLeft_ = std::min(savedLeft, actionsLeft_);
  return out;
}

void Vm::RunBlock(std::span<const uint8_t> code, Object* clip, int version) {
  // Once the frame's budget is spent, the frame's other blocks are skipped without starting.
  if (frameLeft_ == 0) return;
  int savedDepth = depth_;
  uint64_t savedLeft = actionsLeft_;
  actionsLeft_ = savedDepth ? std::min(savedLeft, ScriptBudget()) : ScriptBudget();
  try {
    RunTopLevel(*this, code, clip, version < 0 ? version_ : version);
  } catch (const ScriptThrow&) {
  } catch (const ScriptAbort&) {
  }
  depth_ = savedDepth;
  if (savedDepth) actionsLeft_ = std::min(savedLeft, actionsLeft_);
}

void Vm::Mark(Object* o, std::vector<Object*>& stack) {
  if (o && !o->marked) {
    o->marked = true;
    stack.push_back(o);
  }
}

void Vm::Collect(const std::vector<Object*>& roots) {
  // Between frames no script runs, so what the stage, the globals and the timers reach is all.
  if (heap_.size() < 4096 || heap_.size() < lastCollect_ * 2) return;
  std::vector<Object*> stack;
  for (Object* r : roots) Mark(r, stack);
  for (Object* r : {global, objectProto, functionProto, arrayProto, stringProto, numberProto, booleanProto, dateProto,
                    movieClipProto, errorProto, registered, keyObject, mouseObject, textFieldProto,
                    textFormatProto})
    Mark(r, stack);
  for (const Interval& i : intervals_) {
    if (i.function.IsObject()) Mark(i.function.object, stack);
    Mark(i.object, stack);
    for (const Value& a : i.args)
      if (a.IsObject()) Mark(a.object, stack);
  }
  auto markValue = [&](const Value& v) {
    if (v.IsObject()) Mark(v.object, stack);
  };
  while (!stack.empty()) {
    Object* o = stack.back();
    stack.pop_back();
    Mark(o->proto, stack);
    for (auto& [key, p] : o->props) {
      markValue(p.value);
      Mark(p.getter, stack);
      Mark(p.setter, stack);
    }
    for (const Value& e : o->elements) markValue(e);
    markValue(o->primitive);
    for (Object* i : o->interfaces) Mark(i, stack);
    if (o->script) {
      Mark(o->script->target, stack);
      for (Scope* s = o->script->scope.get(); s; s = s->parent.get()) Mark(s->object, stack);
    }
  }
  std::vector<std::unique_ptr<Object>> kept;
  kept.reserve(heap_.size());
  for (auto& o : heap_)
    if (o->marked) {
      o->marked = false;
      kept.push_back(std::move(o));
    }
  heap_ = std::move(kept);
  lastCollect_ = heap_.size();
}

}  // namespace vitrine::swf::avm1
