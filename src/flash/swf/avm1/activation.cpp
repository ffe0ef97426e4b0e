#include "flash/swf/avm1/activation.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "core/random.h"
#include "flash/swf/avm1/builtins/movie_clip.h"

namespace vitrine::swf::avm1 {

namespace {

bool IsPath(const std::string& name) { return name.find_first_of(":/.") != std::string::npos; }

// Blocks inside blocks (With, Try) count as calls, so that nesting cannot exhaust the stack.
struct Nest {
  explicit Nest(Vm& machine) : vm(machine) {
    if (++vm.Depth() > kMaxCallDepth) {
      --vm.Depth();
      vm.Abort("blocks nested too deep");
    }
  }
  ~Nest() { --vm.Depth(); }
  Vm& vm;
};

}  // namespace

struct ActionTable {
  Activation::Handler handlers[256];
  constexpr ActionTable() : handlers() {
    for (auto& h : handlers) h = &Activation::Unknown;
    using A = Activation;
    handlers[0x04] = &A::NextFrame;
    handlers[0x05] = &A::PrevFrame;
    handlers[0x06] = &A::Play;
    handlers[0x07] = &A::Stop;
    handlers[0x08] = &A::ToggleQuality;
    handlers[0x09] = &A::StopSounds;
    handlers[0x0A] = &A::Add;
    handlers[0x0B] = &A::Subtract;
    handlers[0x0C] = &A::Multiply;
    handlers[0x0D] = &A::Divide;
    handlers[0x0E] = &A::Equals;
    handlers[0x0F] = &A::Less;
    handlers[0x10] = &A::And;
    handlers[0x11] = &A::Or;
    handlers[0x12] = &A::Not;
    handlers[0x13] = &A::StringEquals;
    handlers[0x14] = &A::StringLength;
    handlers[0x15] = &A::StringExtract;
    handlers[0x17] = &A::PopAction;
    handlers[0x18] = &A::ToInteger;
    handlers[0x1C] = &A::GetVariableAction;
    handlers[0x1D] = &A::SetVariableAction;
    handlers[0x20] = &A::SetTarget2;
    handlers[0x21] = &A::StringAdd;
    handlers[0x22] = &A::GetProperty;
    handlers[0x23] = &A::SetProperty;
    handlers[0x24] = &A::CloneSprite;
    handlers[0x25] = &A::RemoveSprite;
    handlers[0x26] = &A::Trace;
    handlers[0x27] = &A::StartDrag;
    handlers[0x28] = &A::EndDrag;
    handlers[0x29] = &A::StringLess;
    handlers[0x2A] = &A::Throw;
    handlers[0x2B] = &A::CastOp;
    handlers[0x2C] = &A::ImplementsOp;
    handlers[0x2D] = &A::FsCommand2;
    handlers[0x30] = &A::RandomNumber;
    handlers[0x31] = &A::StringLength;  // multibyte forms: text is handled as bytes
    handlers[0x32] = &A::CharToAscii;
    handlers[0x33] = &A::AsciiToChar;
    handlers[0x34] = &A::GetTime;
    handlers[0x35] = &A::StringExtract;
    handlers[0x36] = &A::CharToAscii;
    handlers[0x37] = &A::AsciiToChar;
    handlers[0x3A] = &A::Delete;
    handlers[0x3B] = &A::Delete2;
    handlers[0x3C] = &A::DefineLocal;
    handlers[0x3D] = &A::CallFunction;
    handlers[0x3E] = &A::Return;
    handlers[0x3F] = &A::Modulo;
    handlers[0x40] = &A::NewObject;
    handlers[0x41] = &A::DefineLocal2;
    handlers[0x42] = &A::InitArray;
    handlers[0x43] = &A::InitObject;
    handlers[0x44] = &A::TypeOf;
    handlers[0x45] = &A::TargetPath;
    handlers[0x46] = &A::Enumerate;
    handlers[0x47] = &A::Add2;
    handlers[0x48] = &A::Less2;
    handlers[0x49] = &A::Equals2;
    handlers[0x4A] = &A::ToNumber;
    handlers[0x4B] = &A::ToStringAction;
    handlers[0x4C] = &A::PushDuplicate;
    handlers[0x4D] = &A::StackSwap;
    handlers[0x4E] = &A::GetMember;
    handlers[0x4F] = &A::SetMember;
    handlers[0x50] = &A::Increment;
    handlers[0x51] = &A::Decrement;
    handlers[0x52] = &A::CallMethod;
    handlers[0x53] = &A::NewMethod;
    handlers[0x54] = &A::InstanceOf;
    handlers[0x55] = &A::Enumerate2;
    handlers[0x60] = &A::BitAnd;
    handlers[0x61] = &A::BitOr;
    handlers[0x62] = &A::BitXor;
    handlers[0x63] = &A::BitLShift;
    handlers[0x64] = &A::BitRShift;
    handlers[0x65] = &A::BitURShift;
    handlers[0x66] = &A::StrictEquals;
    handlers[0x67] = &A::Greater;
    handlers[0x68] = &A::StringGreater;
    handlers[0x69] = &A::Extends;
    handlers[0x81] = &A::GotoFrame;
    handlers[0x83] = &A::GetUrl;
    handlers[0x87] = &A::StoreRegister;
    handlers[0x88] = &A::ConstantPool;
    handlers[0x8A] = &A::WaitForFrame;
    handlers[0x8B] = &A::SetTarget;
    handlers[0x8C] = &A::GotoLabel;
    handlers[0x8D] = &A::WaitForFrame2;
    handlers[0x8E] = &A::DefineFunction2;
    handlers[0x8F] = &A::Try;
    handlers[0x94] = &A::With;
    handlers[0x96] = &A::PushAction;
    handlers[0x99] = &A::Jump;
    handlers[0x9A] = &A::GetUrl2;
    handlers[0x9B] = &A::DefineFunction;
    handlers[0x9D] = &A::If;
    handlers[0x9E] = &A::CallFrame;
    handlers[0x9F] = &A::GotoFrame2;
  }
};

static constexpr ActionTable kActions;

bool SupportedAction(uint8_t code) { return code == 0 || kActions.handlers[code] != &Activation::Unknown; }

Activation::Activation(Vm& machine, std::span<const uint8_t> bytes, int swfVersion)
    : vm(machine), version(swfVersion), code(bytes), registers(4) {}

Value Activation::Run() {
  RunRange(0, code.size());
  return result_;
}

void Activation::RunRange(size_t begin, size_t end) {
  if (pc_ < begin) pc_ = begin;
  while (!done_ && pc_ >= begin && pc_ < end) {
    vm.Charge(1);
    uint8_t op = code[pc_];
    if (op == 0) {
      done_ = true;
      return;
    }
    size_t next = pc_ + 1, length = 0;
    if (op >= 0x80) {
      if (pc_ + 3 > code.size()) {
        done_ = true;
        return;
      }
      length = code[pc_ + 1] | size_t(code[pc_ + 2]) << 8;
      next = pc_ + 3 + length;
      if (next > code.size()) {
        done_ = true;
        return;
      }
    }
    BitReader data(code.subspan(op >= 0x80 ? pc_ + 3 : pc_ + 1, length));
    pc_ = next;
    (this->*kActions.handlers[op])(data);
  }
}

Value Activation::Pop() {
  if (stack_.empty()) return {};
  Value v = std::move(stack_.back());
  stack_.pop_back();
  return v;
}

std::vector<Value> Activation::PopArgs() {
  double n = PopNumber();
  std::vector<Value> args;
  size_t count = n > 0 && n < double(kMaxStackDepth) ? size_t(n) : 0;
  count = std::min(count, stack_.size());
  for (size_t i = 0; i < count; ++i) args.push_back(Pop());
  return args;
}

Value Activation::SpecialName(const std::string& key, bool& found) {
  found = true;
  if (key == "this") return self.IsUndefined() ? Value(base) : self;
  if (key == vm.Key("_global")) return vm.global;
  if (key == vm.Key("_root") || key == "_level0") return vm.ResolveTarget(target ? target : base, "_root");
  if (key == vm.Key("_parent")) {
    Object* p = target ? ClipParent(vm, target) : nullptr;
    return p ? Value(p) : Value();
  }
  if (key == "super" && callee) return Super();
  found = false;
  return {};
}

Object* Activation::Super() {
  Object* h = home ? home : (self.IsObject() ? self.object->proto : nullptr);
  Object* s = vm.New(h ? h->proto : nullptr);
  s->cls = "Super";
  s->primitive = self;
  // The constructor super() calls.
  if (h) {
    Property* c = vm.Find(h, "__constructor__");
    if (c) vm.Define(s, "__superctor__", c->value, DontEnum);
  }
  return s;
}

Value Activation::GetVariable(const std::string& name) {
  if (IsPath(name)) {
    size_t colon = name.rfind(':');
    std::string path, var;
    if (colon != std::string::npos) {
      path = name.substr(0, colon);
      var = name.substr(colon + 1);
    } else if (name.find('.') != std::string::npos && name.find('/') == std::string::npos) {
      size_t dot = name.rfind('.');
      path = name.substr(0, dot);
      var = name.substr(dot + 1);
      // The first part may be a variable rather than a clip.
      size_t first = path.find('.');
      Value head = GetVariable(path.substr(0, first));
      Object* at = head.IsObject() ? head.object : nullptr;
      if (at && first != std::string::npos) at = vm.ResolveTarget(at, path.substr(first + 1));
      if (!at) at = vm.ResolveTarget(target ? target : base, path);
      return at ? vm.Get(at, var) : Value();
    } else {
      Object* clip = vm.ResolveTarget(target ? target : base, name);
      return clip ? Value(clip) : Value();
    }
    Object* at = path.empty() ? (target ? target : base) : vm.ResolveTarget(target ? target : base, path);
    return at ? vm.Get(at, var) : Value();
  }
  bool found;
  Value special = SpecialName(vm.Key(name), found);
  if (found) return special;
  for (Scope* s = scope.get(); s; s = s->parent.get())
    if (vm.Has(s->object, name)) return vm.Get(s->object, name);
  if (vm.Key(name) == "arguments" && callee) return arguments;
  return {};
}

void Activation::SetVariable(const std::string& name, Value value) {
  if (IsPath(name)) {
    size_t colon = name.rfind(':');
    size_t split = colon != std::string::npos ? colon : name.rfind('.');
    if (split == std::string::npos) return;
    std::string path = name.substr(0, split), var = name.substr(split + 1);
    Object* at = nullptr;
    if (colon == std::string::npos) {
      size_t first = path.find('.');
      Value head = GetVariable(path.substr(0, first));
      at = head.IsObject() ? head.object : nullptr;
      if (at && first != std::string::npos) at = vm.ResolveTarget(at, path.substr(first + 1));
    }
    if (!at) at = path.empty() ? (target ? target : base) : vm.ResolveTarget(target ? target : base, path);
    if (at) vm.Set(at, var, std::move(value));
    return;
  }
  Scope* last = nullptr;
  for (Scope* s = scope.get(); s; s = s->parent.get()) {
    if (!s->parent) break;  // the global object is looked in, never written to by name
    last = s;
    if (vm.Has(s->object, name)) {
      vm.Set(s->object, name, std::move(value));
      return;
    }
  }
  // A new variable belongs to the timeline.
  Object* owner = target ? target : last ? last->object : base;
  if (owner) vm.Set(owner, name, std::move(value));
}

Object* Activation::ResolveClip(const Value& t) {
  if (t.IsObject()) return t.object->clip ? t.object : nullptr;
  std::string path = vm.ToString(t);
  if (path.empty()) return target ? target : base;
  Object* o = vm.ResolveTarget(target ? target : base, path);
  if (!o) {
    Value v = GetVariable(path);
    o = v.IsObject() ? v.object : nullptr;
  }
  return o && o->clip ? o : nullptr;
}

Value Activation::CallWithHome(const Value& fn, Object* selfObject, std::vector<Value>& args, Object* homeProto) {
  Object* saved = vm.pendingHome;
  vm.pendingHome = homeProto;
  Value out = vm.Call(fn, selfObject, args);
  vm.pendingHome = saved;
  return out;
}

// ---- SWF 3 and 4 ----

void Activation::Unknown(BitReader&) {}
void Activation::NextFrame(BitReader&) { ClipStep(vm, target ? target : base, 1); }
void Activation::PrevFrame(BitReader&) { ClipStep(vm, target ? target : base, -1); }
void Activation::Play(BitReader&) { ClipPlay(vm, target ? target : base, true); }
void Activation::Stop(BitReader&) { ClipPlay(vm, target ? target : base, false); }
void Activation::ToggleQuality(BitReader&) {}
void Activation::StopSounds(BitReader&) { ClipStopSounds(vm); }

void Activation::Add(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  Push(a + b);
}
void Activation::Subtract(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  Push(a - b);
}
void Activation::Multiply(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  Push(a * b);
}
void Activation::Divide(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  if (b == 0 && version < 5) return Push("#ERROR#");
  Push(a / b);
}
void Activation::Equals(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  PushBool(a == b);
}
void Activation::Less(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  PushBool(a < b);
}
void Activation::And(BitReader&) {
  bool b = vm.ToBool(Pop()), a = vm.ToBool(Pop());
  PushBool(a && b);
}
void Activation::Or(BitReader&) {
  bool b = vm.ToBool(Pop()), a = vm.ToBool(Pop());
  PushBool(a || b);
}
void Activation::Not(BitReader&) { PushBool(!vm.ToBool(Pop())); }
void Activation::StringEquals(BitReader&) {
  std::string b = PopString(), a = PopString();
  PushBool(a == b);
}
void Activation::StringLength(BitReader&) { Push(double(PopString().size())); }
void Activation::StringExtract(BitReader&) {
  double count = PopNumber(), index = PopNumber();
  std::string s = PopString();
  // index is 1-based; out-of-range parts are cut off.
  double from = std::isnan(index) ? 0 : std::max(0.0, index - 1);
  if (from >= double(s.size())) return Push("");
  size_t start = size_t(from);
  size_t n = std::isnan(count) || count < 0 ? s.size() - start : size_t(std::min(count, double(s.size() - start)));
  Push(s.substr(start, n));
}
void Activation::PopAction(BitReader&) { Pop(); }
void Activation::ToInteger(BitReader&) {
  double n = PopNumber();
  Push(std::isnan(n) ? 0.0 : std::trunc(n));
}
void Activation::GetVariableAction(BitReader&) { Push(GetVariable(PopString())); }
void Activation::SetVariableAction(BitReader&) {
  Value v = Pop();
  SetVariable(PopString(), std::move(v));
}
void Activation::SetTarget2(BitReader&) {
  Value t = Pop();
  if (t.IsObject()) {
    target = t.object->clip ? t.object : base;
    return;
  }
  std::string path = vm.ToString(t);
  target = path.empty() ? base : vm.ResolveTarget(base, path);
}
void Activation::StringAdd(BitReader&) {
  std::string b = PopString(), a = PopString();
  if (a.size() + b.size() > kMaxStringLength) vm.Abort("string too long");
  Push(a + b);
}
void Activation::GetProperty(BitReader&) {
  double index = PopNumber();
  Object* clip = ResolveClip(Pop());
  if (!clip || !(index >= 0 && index < kClipPropertyCount)) return Push(Value());
  Push(GetClipProperty(vm, clip, int(index)));
}
void Activation::SetProperty(BitReader&) {
  Value v = Pop();
  double index = PopNumber();
  Object* clip = ResolveClip(Pop());
  if (clip && index >= 0 && index < kClipPropertyCount) SetClipProperty(vm, clip, int(index), v);
}
void Activation::CloneSprite(BitReader&) {
  double depth = PopNumber();
  std::string name = PopString();
  Object* source = ResolveClip(Pop());
  if (source && std::isfinite(depth)) ClipDuplicate(vm, source, name, int32_t(depth) - 16384);
}
void Activation::RemoveSprite(BitReader&) {
  if (Object* clip = ResolveClip(Pop())) ClipRemove(vm, clip);
}
void Activation::Trace(BitReader&) {
  Value v = Pop();
  // trace prints undefined by name in every version.
  std::string text = v.IsUndefined() ? "undefined" : vm.ToString(v);
  if (vm.onTrace) vm.onTrace(text);
}
void Activation::StartDrag(BitReader&) {
  Pop();
  Pop();
  if (vm.ToBool(Pop()))
    for (int i = 0; i < 4; ++i) Pop();
}
void Activation::EndDrag(BitReader&) {}
void Activation::StringLess(BitReader&) {
  std::string b = PopString(), a = PopString();
  PushBool(a < b);
}
void Activation::RandomNumber(BitReader&) {
  double max = PopNumber();
  int32_t n = std::isfinite(max) && max >= 1 ? int32_t(std::min(max, 2147483647.0)) : 0;
  Push(double(n > 0 ? Random(n) : 0));
}
void Activation::CharToAscii(BitReader&) {
  std::string s = PopString();
  if (s.empty()) return Push(version >= 7 ? Value(NAN) : Value(0.0));
  Push(double(uint8_t(s[0])));
}
void Activation::AsciiToChar(BitReader&) {
  double n = PopNumber();
  uint8_t c = uint8_t(ToUint32(n) & 0xFF);
  Push(c ? std::string(1, char(c)) : std::string());
}
void Activation::GetTime(BitReader&) { Push(std::floor(vm.nowMs)); }

void Activation::GotoFrame(BitReader& data) {
  uint16_t frame = data.U16();
  ClipGoto(vm, target ? target : base, Value(double(frame) + 1), false);
}
void Activation::GetUrl(BitReader& data) {
  std::string url = data.String();
  std::string window = data.String();
  // Nothing leaves the player; only fscommand reaches the host.
  if (url.compare(0, 10, "FSCommand:") == 0 && vm.onFsCommand) vm.onFsCommand(url.substr(10), window);
}
void Activation::WaitForFrame(BitReader&) {}  // every frame is loaded: nothing is skipped
void Activation::SetTarget(BitReader& data) {
  std::string path = data.String();
  if (path.empty()) {
    target = base;
    return;
  }
  Object* t = vm.ResolveTarget(base, path);
  target = t;
}
void Activation::GotoLabel(BitReader& data) {
  ClipGoto(vm, target ? target : base, Value(data.String()), false);
}
void Activation::WaitForFrame2(BitReader&) { Pop(); }

void Activation::PushAction(BitReader& data) {
  while (!data.AtEnd()) {
    uint8_t type = data.U8();
    switch (type) {
      case 0: Push(data.String()); break;
      case 1: {
        uint32_t bits = data.U32();
        float f;
        std::memcpy(&f, &bits, 4);
        Push(double(f));
        break;
      }
      case 2: Push(Value::Null()); break;
      case 3: Push(Value()); break;
      case 4: {
        uint8_t r = data.U8();
        Push(r < registers.size() ? registers[r] : Value());
        break;
      }
      case 5: Push(Value(data.U8() != 0)); break;
      case 6: {
        uint64_t hi = data.U32(), lo = data.U32();
        uint64_t bits = hi << 32 | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        Push(d);
        break;
      }
      case 7: Push(double(int32_t(data.U32()))); break;
      case 8:
      case 9: {
        uint16_t i = type == 8 ? data.U8() : data.U16();
        Push(constants && i < constants->size() ? Value((*constants)[i]) : Value());
        break;
      }
      default:
        return;  // a type we do not know: the rest of the record means nothing
    }
  }
}
void Activation::Jump(BitReader& data) {
  int16_t offset = data.S16();
  int64_t to = int64_t(pc_) + offset;
  if (to < 0 || to > int64_t(code.size())) {
    done_ = true;
    return;
  }
  pc_ = size_t(to);
}
void Activation::GetUrl2(BitReader& data) {
  data.U8();
  std::string window = PopString();
  std::string url = PopString();
  if (url.compare(0, 10, "FSCommand:") == 0 && vm.onFsCommand) vm.onFsCommand(url.substr(10), window);
}
void Activation::If(BitReader& data) {
  int16_t offset = data.S16();
  if (!vm.ToBool(Pop())) return;
  int64_t to = int64_t(pc_) + offset;
  if (to < 0 || to > int64_t(code.size())) {
    done_ = true;
    return;
  }
  pc_ = size_t(to);
}
void Activation::CallFrame(BitReader&) {
  Value frame = Pop();
  Object* clip = target ? target : base;
  if (!clip) return;
  for (auto block : ClipFrameActions(vm, clip, frame)) {
    Activation inner(vm, block, version);
    inner.scope = std::make_shared<Scope>(Scope{clip, std::make_shared<Scope>(Scope{vm.global, nullptr})});
    inner.target = inner.base = clip;
    Nest nest(vm);
    inner.Run();
  }
}
void Activation::GotoFrame2(BitReader& data) {
  uint8_t flags = data.U8();
  int bias = (flags & 0x02) ? data.U16() : 0;
  Value frame = Pop();
  ClipGoto(vm, target ? target : base, frame, flags & 0x01, bias);
}

// ---- SWF 5 ----

void Activation::Delete(BitReader&) {
  std::string name = PopString();
  Value o = Pop();
  PushBool(o.IsObject() && vm.Delete(o.object, name));
}
void Activation::Delete2(BitReader&) {
  std::string name = PopString();
  for (Scope* s = scope.get(); s; s = s->parent.get())
    if (vm.Find(s->object, name)) return PushBool(vm.Delete(s->object, name));
  PushBool(false);
}
void Activation::DefineLocal(BitReader&) {
  Value v = Pop();
  std::string name = PopString();
  Object* local = scope ? scope->object : base;
  if (local) vm.Set(local, name, std::move(v));
}
void Activation::DefineLocal2(BitReader&) {
  std::string name = PopString();
  Object* local = scope ? scope->object : base;
  if (local && !vm.Find(local, name)) vm.Set(local, name, Value());
}
void Activation::CallFunction(BitReader&) {
  std::string name = PopString();
  std::vector<Value> args = PopArgs();
  Value fn = GetVariable(name);
  Push(vm.Call(fn, nullptr, args));
}
void Activation::Return(BitReader&) {
  result_ = Pop();
  done_ = true;
}
void Activation::Modulo(BitReader&) {
  double b = PopNumber(), a = PopNumber();
  Push(std::fmod(a, b));
}
void Activation::NewObject(BitReader&) {
  std::string name = PopString();
  std::vector<Value> args = PopArgs();
  Push(vm.Construct(GetVariable(name), args));
}
void Activation::InitArray(BitReader&) {
  std::vector<Value> elements = PopArgs();
  Push(vm.NewArray(std::move(elements)));
}
void Activation::InitObject(BitReader&) {
  double n = PopNumber();
  size_t count = n > 0 ? size_t(std::min(n, double(stack_.size()))) : 0;
  Object* o = vm.NewObject();
  for (size_t i = 0; i < count && !stack_.empty(); ++i) {
    Value v = Pop();
    vm.Set(o, PopString(), std::move(v));
  }
  Push(o);
}
void Activation::TypeOf(BitReader&) { Push(vm.TypeOf(Pop())); }
void Activation::TargetPath(BitReader&) {
  Value v = Pop();
  if (v.IsObject() && v.object->clip) return Push(vm.TargetPath(v.object));
  Push(Value());
}
void Activation::Enumerate(BitReader&) {
  Value v = GetVariable(PopString());
  Push(Value::Null());
  if (!v.IsObject()) return;
  for (auto& key : vm.Keys(v.object)) Push(key);
}
void Activation::Enumerate2(BitReader&) {
  Value v = Pop();
  Push(Value::Null());
  if (!v.IsObject()) return;
  for (auto& key : vm.Keys(v.object)) Push(key);
}
void Activation::Add2(BitReader&) {
  Value b = vm.ToPrimitive(Pop()), a = vm.ToPrimitive(Pop());
  if (a.IsString() || b.IsString()) {
    std::string s = vm.ToString(a);
    std::string t = vm.ToString(b);
    if (s.size() + t.size() > kMaxStringLength) vm.Abort("string too long");
    return Push(s + t);
  }
  Push(vm.ToNumber(a) + vm.ToNumber(b));
}
void Activation::Less2(BitReader&) {
  Value b = Pop(), a = Pop();
  Push(AbstractLess(vm, a, b));
}
void Activation::Greater(BitReader&) {
  Value b = Pop(), a = Pop();
  Push(AbstractLess(vm, b, a));
}
void Activation::Equals2(BitReader&) {
  Value b = Pop(), a = Pop();
  Push(AbstractEquals(vm, a, b));
}
void Activation::StrictEquals(BitReader&) {
  Value b = Pop(), a = Pop();
  Push(StrictlyEqual(a, b));
}
void Activation::ToNumber(BitReader&) { Push(PopNumber()); }
void Activation::ToStringAction(BitReader&) { Push(PopString()); }
void Activation::PushDuplicate(BitReader&) {
  Value v = stack_.empty() ? Value() : stack_.back();
  Push(std::move(v));
}
void Activation::StackSwap(BitReader&) {
  Value a = Pop(), b = Pop();
  Push(std::move(a));
  Push(std::move(b));
}
void Activation::GetMember(BitReader&) {
  std::string name = PopString();
  Value o = Pop();
  Push(vm.GetOf(o, name));
}
void Activation::SetMember(BitReader&) {
  Value v = Pop();
  std::string name = PopString();
  Value o = Pop();
  if (o.IsObject()) vm.Set(o.object, name, std::move(v));
}
void Activation::Increment(BitReader&) { Push(PopNumber() + 1); }
void Activation::Decrement(BitReader&) { Push(PopNumber() - 1); }
void Activation::CallMethod(BitReader&) {
  Value nameValue = Pop();
  Value o = Pop();
  std::vector<Value> args = PopArgs();
  std::string name = nameValue.IsUndefined() ? "" : vm.ToString(nameValue);
  if (o.IsObject() && o.object->cls == "Super") {
    Object* sup = o.object;
    Object* thisObject = sup->primitive.IsObject() ? sup->primitive.object : nullptr;
    if (name.empty()) {
      Property* ctor = vm.Find(sup, "__superctor__");
      Object* superHome = home ? home->proto : nullptr;
      return Push(ctor ? CallWithHome(ctor->value, thisObject, args, superHome) : Value());
    }
    Object* owner = sup->proto;
    for (int hops = 0; owner && hops < 256 && !vm.Find(owner, name); ++hops) owner = owner->proto;
    return Push(CallWithHome(vm.Get(sup->proto, name), thisObject, args, owner));
  }
  if (name.empty()) {
    Object* self2 = o.IsObject() ? o.object : nullptr;
    return Push(vm.Call(o, self2, args));
  }
  Object* selfObject = o.IsObject() ? o.object : vm.ToObject(o);
  if (!selfObject) return Push(Value());
  Value fn = vm.GetOf(o, name);
  Object* owner = selfObject;
  for (int hops = 0; owner && hops < 256 && !vm.Find(owner, name); ++hops) owner = owner->proto;
  Push(CallWithHome(fn, selfObject, args, owner));
}
void Activation::NewMethod(BitReader&) {
  Value nameValue = Pop();
  Value o = Pop();
  std::vector<Value> args = PopArgs();
  std::string name = nameValue.IsUndefined() ? "" : vm.ToString(nameValue);
  Value ctor = name.empty() ? o : vm.GetOf(o, name);
  Push(vm.Construct(ctor, args));
}
void Activation::BitAnd(BitReader&) {
  int32_t b = ToInt32(PopNumber()), a = ToInt32(PopNumber());
  Push(double(a & b));
}
void Activation::BitOr(BitReader&) {
  int32_t b = ToInt32(PopNumber()), a = ToInt32(PopNumber());
  Push(double(a | b));
}
void Activation::BitXor(BitReader&) {
  int32_t b = ToInt32(PopNumber()), a = ToInt32(PopNumber());
  Push(double(a ^ b));
}
void Activation::BitLShift(BitReader&) {
  uint32_t b = ToUint32(PopNumber()) & 31;
  int32_t a = ToInt32(PopNumber());
  Push(double(int32_t(uint32_t(a) << b)));
}
void Activation::BitRShift(BitReader&) {
  uint32_t b = ToUint32(PopNumber()) & 31;
  int32_t a = ToInt32(PopNumber());
  Push(double(a >> b));
}
void Activation::BitURShift(BitReader&) {
  uint32_t b = ToUint32(PopNumber()) & 31;
  uint32_t a = ToUint32(PopNumber());
  Push(double(a >> b));
}
void Activation::StoreRegister(BitReader& data) {
  uint8_t r = data.U8();
  if (r < registers.size()) registers[r] = stack_.empty() ? Value() : stack_.back();
}
void Activation::ConstantPool(BitReader& data) {
  uint16_t count = data.U16();
  auto pool = std::make_shared<std::vector<std::string>>();
  for (uint16_t i = 0; i < count && !data.AtEnd(); ++i) pool->push_back(data.String());
  constants = std::move(pool);
}
void Activation::With(BitReader& data) {
  uint16_t size = data.U16();
  Value v = Pop();
  size_t begin = pc_, end = std::min(code.size(), pc_ + size);
  if (!v.IsObject()) {
    pc_ = end;
    return;
  }
  auto saved = scope;
  scope = std::make_shared<Scope>(Scope{v.object, scope});
  Nest nest(vm);
  RunRange(begin, end);
  scope = saved;
}

Object* Activation::MakeFunction(BitReader& data, bool two) {
  auto f = std::make_unique<ScriptFunction>();
  f->two = two;
  f->name = data.String();
  uint16_t count = data.U16();
  if (two) {
    f->registerCount = data.U8();
    uint8_t flags0 = data.U8(), flags1 = data.U8();
    f->flags = uint16_t(flags0 | flags1 << 8);
  }
  for (uint16_t i = 0; i < count; ++i) {
    uint8_t reg = two ? data.U8() : 0;
    f->params.emplace_back(reg, data.String());
  }
  uint16_t size = data.U16();
  size_t end = std::min(code.size(), pc_ + size);
  f->code = code.subspan(pc_, end - pc_);
  pc_ = end;
  f->version = version;
  f->scope = scope;
  f->constants = constants;
  f->target = base;
  Object* fn = vm.New(vm.functionProto);
  fn->cls = "Function";
  std::string name = f->name;
  fn->script = std::move(f);
  Object* proto = vm.NewObject();
  vm.Define(proto, "constructor", fn, DontEnum);
  vm.Define(fn, "prototype", proto, DontEnum);
  if (!name.empty()) {
    Object* owner = scope ? scope->object : base;
    // A function statement names a variable of the scope it is defined in.
    if (callee && scope) owner = scope->object;
    else owner = target ? target : base;
    if (owner) vm.Set(owner, name, fn);
  }
  return fn;
}
void Activation::DefineFunction(BitReader& data) {
  Object* fn = MakeFunction(data, false);
  if (fn->script->name.empty()) Push(fn);
}
void Activation::DefineFunction2(BitReader& data) {
  Object* fn = MakeFunction(data, true);
  if (fn->script->name.empty()) Push(fn);
}

// ---- SWF 6 and 7 ----

void Activation::InstanceOf(BitReader&) {
  Value ctor = Pop(), o = Pop();
  Push(ctor.IsObject() && vm.InstanceOf(o, ctor.object));
}
void Activation::StringGreater(BitReader&) {
  std::string b = PopString(), a = PopString();
  PushBool(a > b);
}
void Activation::Extends(BitReader&) {
  Value superclass = Pop(), subclass = Pop();
  if (!superclass.IsObject() || !subclass.IsObject()) return;
  Value superProto = vm.Get(superclass.object, "prototype");
  Object* proto = vm.New(superProto.IsObject() ? superProto.object : vm.objectProto);
  vm.Define(proto, "__constructor__", superclass, DontEnum);
  vm.Define(subclass.object, "prototype", proto, DontEnum);
}
void Activation::CastOp(BitReader&) {
  Value o = Pop(), ctor = Pop();
  Push(ctor.IsObject() && vm.InstanceOf(o, ctor.object) ? o : Value::Null());
}
void Activation::ImplementsOp(BitReader&) {
  Value ctor = Pop();
  std::vector<Value> list = PopArgs();
  if (!ctor.IsObject()) return;
  Value proto = vm.Get(ctor.object, "prototype");
  if (!proto.IsObject()) return;
  for (const Value& i : list)
    if (i.IsObject()) proto.object->interfaces.push_back(i.object);
}
void Activation::Throw(BitReader&) { throw ScriptThrow{Pop()}; }
void Activation::Try(BitReader& data) {
  uint8_t flags = data.U8();
  uint16_t trySize = data.U16(), catchSize = data.U16(), finallySize = data.U16();
  bool inRegister = flags & 0x04;
  std::string catchName;
  uint8_t catchRegister = 0;
  if (inRegister) catchRegister = data.U8();
  else catchName = data.String();
  size_t tryBegin = pc_, catchBegin = std::min(code.size(), tryBegin + trySize);
  size_t finallyBegin = std::min(code.size(), catchBegin + catchSize);
  size_t end = std::min(code.size(), finallyBegin + finallySize);
  std::optional<ScriptThrow> pending;
  size_t stackSize = stack_.size();
  Nest nest(vm);
  try {
    RunRange(tryBegin, catchBegin);
  } catch (ScriptThrow& thrown) {
    stack_.resize(std::min(stack_.size(), stackSize));
    if (flags & 0x01) {
      if (inRegister) {
        if (catchRegister < registers.size()) registers[catchRegister] = thrown.value;
      } else if (scope) {
        vm.Set(scope->object, catchName, thrown.value);
      }
      pc_ = catchBegin;
      try {
        RunRange(catchBegin, finallyBegin);
      } catch (ScriptThrow& again) {
        pending = again;
      }
    } else {
      pending = thrown;
    }
  }
  bool wasDone = done_;
  Value returned = result_;
  if (flags & 0x02) {
    done_ = false;
    size_t resume = pc_;
    pc_ = finallyBegin;
    RunRange(finallyBegin, end);
    if (!done_) {
      done_ = wasDone;
      result_ = returned;
      if (resume < tryBegin || resume >= end) pc_ = resume;
      else pc_ = end;
    }
  } else if (!done_ && pc_ >= tryBegin && pc_ < end) {
    pc_ = end;
  }
  if (!done_ && pc_ >= tryBegin && pc_ < end) pc_ = end;
  if (pending) throw *pending;
}
void Activation::FsCommand2(BitReader&) {
  std::vector<Value> args = PopArgs();
  if (!args.empty() && vm.onFsCommand)
    vm.onFsCommand(vm.ToString(args[0]), args.size() > 1 ? vm.ToString(args[1]) : std::string());
}

// ---- calls ----

Value CallScript(Vm& vm, Object* fn, Object* self, std::vector<Value>& args) {
  ScriptFunction& f = *fn->script;
  Activation a(vm, f.code, f.version);
  a.constants = f.constants;
  a.callee = fn;
  a.home = vm.pendingHome;
  vm.pendingHome = nullptr;
  a.base = f.target;
  a.target = f.target;
  a.self = self ? Value(self) : Value(f.target);
  Object* locals = vm.New(nullptr);
  a.scope = std::make_shared<Scope>(Scope{locals, f.scope});
  Object* argumentsArray = vm.NewArray(args);
  vm.Define(argumentsArray, "callee", fn, DontEnum);
  a.arguments = argumentsArray;
  if (!f.two) {
    for (size_t i = 0; i < f.params.size(); ++i) vm.Set(locals, f.params[i].second, Arg(args, i));
    vm.Define(locals, "arguments", argumentsArray, DontEnum);
  } else {
    a.registers.assign(std::max<size_t>(f.registerCount, 1), Value());
    uint8_t r = 1;
    auto preload = [&](uint16_t bit, Value v) {
      if ((f.flags & bit) && r < a.registers.size()) a.registers[r++] = std::move(v);
    };
    preload(0x0001, a.self);
    if (!(f.flags & 0x0001) && !(f.flags & 0x0002)) vm.Define(locals, "this", a.self, DontEnum);
    preload(0x0004, argumentsArray);
    if (!(f.flags & 0x0004) && !(f.flags & 0x0008)) vm.Define(locals, "arguments", argumentsArray, DontEnum);
    if (f.flags & 0x0010) preload(0x0010, a.Super());
    preload(0x0040, vm.ResolveTarget(f.target, "_root"));
    if (f.flags & 0x0080) {
      Object* parent = f.target ? ClipParent(vm, f.target) : nullptr;
      preload(0x0080, parent ? Value(parent) : Value());
    }
    preload(0x0100, vm.global);
    for (size_t i = 0; i < f.params.size(); ++i) {
      uint8_t reg = f.params[i].first;
      if (reg && reg < a.registers.size()) a.registers[reg] = Arg(args, i);
      else vm.Set(locals, f.params[i].second, Arg(args, i));
    }
  }
  return a.Run();
}

void RunTopLevel(Vm& vm, std::span<const uint8_t> code, Object* clip, int version) {
  Activation a(vm, code, version);
  a.base = a.target = clip;
  a.self = clip ? Value(clip) : Value();
  a.scope = std::make_shared<Scope>(Scope{clip, std::make_shared<Scope>(Scope{vm.global, nullptr})});
  if (!clip) a.scope = a.scope->parent;
  try {
    a.Run();
  } catch (const SwfError&) {
    // An action record cut short ends the block.
  }
}

bool StrictlyEqual(const Value& a, const Value& b) {
  if (a.type != b.type) return false;
  switch (a.type) {
    case Type::Undefined:
    case Type::Null:
      return true;
    case Type::Boolean:
    case Type::Number:
      return a.number == b.number;
    case Type::String:
      return a.text == b.text;
    case Type::Object:
      return a.object == b.object;
  }
  return false;
}

bool AbstractEquals(Vm& vm, const Value& a, const Value& b) {
  if (a.type == b.type) return StrictlyEqual(a, b);
  if (a.IsNullish() && b.IsNullish()) return true;
  if (a.IsNullish() || b.IsNullish()) return false;
  if (a.type == Type::Boolean) return AbstractEquals(vm, Value(a.number), b);
  if (b.type == Type::Boolean) return AbstractEquals(vm, a, Value(b.number));
  if (a.IsNumber() && b.IsString()) return a.number == vm.ToNumber(b);
  if (a.IsString() && b.IsNumber()) return vm.ToNumber(a) == b.number;
  if (a.IsObject() && !b.IsObject()) {
    Value p = vm.ToPrimitive(a);
    return !p.IsObject() && AbstractEquals(vm, p, b);
  }
  if (b.IsObject() && !a.IsObject()) {
    Value p = vm.ToPrimitive(b);
    return !p.IsObject() && AbstractEquals(vm, a, p);
  }
  return false;
}

Value AbstractLess(Vm& vm, const Value& a, const Value& b) {
  Value pa = vm.ToPrimitive(a), pb = vm.ToPrimitive(b);
  if (pa.IsString() && pb.IsString()) return Value(pa.text < pb.text);
  double x = vm.ToNumber(pa), y = vm.ToNumber(pb);
  if (std::isnan(x) || std::isnan(y)) return Value();
  return Value(x < y);
}

}  // namespace vitrine::swf::avm1
