// Sound: an event sound a script attaches by its linkage name (the ExportAssets name of a
// DefineSound) and starts and stops. It plays through the same path as the sounds the frames
// start: the player notes the start (with its offset and loops) and the show's mixer plays
// it. setVolume and setPan set the level of the whole mix at once, playing sounds included. The machine knows when a start ends from the
// sound's length: a one-time timer calls onSoundComplete then, and duration and position
// are read from the same clock.
//
// A Sound object keeps its state in its elements (it is no array): the slots below.
#include <algorithm>
#include <cmath>

#include "flash/swf/avm1/machine.h"
#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

namespace {

enum Slot : size_t {
  kTarget,     // the clip given to the constructor, or undefined
  kSoundId,    // the attached DefineSound's id, or undefined
  kVolume,     // 0 .. (percent)
  kPan,        // -100 (left) .. 100 (right)
  kStartMs,    // the machine's time of the last start
  kOffsetMs,   // where in the sound that start began
  kLoops,      // how many times it plays
  kTimer,      // the timer that ends it (0: not playing)
  kPositionMs, // where it was when it last stopped or ended
  kSlots
};

bool IsSound(const Object* self) { return self && self->cls == "Sound" && self->elements.size() == kSlots; }

std::shared_ptr<const Character> Attached(Vm& vm, Object* self) {
  if (!IsSound(self) || !vm.GetPlayer() || !self->elements[kSoundId].IsNumber()) return nullptr;
  auto ch = vm.GetPlayer()->Lookup(uint16_t(self->elements[kSoundId].number));
  return ch && ch->kind == Kind::Sound ? ch : nullptr;
}

// The sound's length in whole milliseconds, as duration reads it.
double DurationMs(const Character& ch) {
  double rate = ch.sound.format.RateHz();
  return rate > 0 ? std::floor(double(ch.sound.sampleCount) * 1000 / rate) : 0;
}

double NumberOr(Vm& vm, const Value& v, double otherwise) {
  if (v.IsUndefined()) return otherwise;
  double n = vm.ToNumber(v);
  return std::isfinite(n) ? n : otherwise;
}

void EndTimer(Vm& vm, Object* self) {
  if (self->elements[kTimer].IsNumber() && self->elements[kTimer].number != 0)
    vm.ClearInterval(int32_t(self->elements[kTimer].number));
  self->elements[kTimer] = Value(0);
}

// Where the playing start is, in milliseconds of the sound.
double PlayingPositionMs(Vm& vm, Object* self, double duration) {
  double offset = self->elements[kOffsetMs].number;
  double span = duration - offset;
  double elapsed = std::max(0.0, vm.nowMs - self->elements[kStartMs].number);
  if (span <= 0) return duration;
  return offset + std::fmod(elapsed, span);
}

Value Construct(Vm&, Object* self, std::vector<Value>& args) {
  if (!self) return {};
  self->cls = "Sound";
  self->elements.assign(kSlots, Value());
  Value target = Arg(args, 0);
  if (target.IsObject() && target.object->cls == "MovieClip") self->elements[kTarget] = target;
  self->elements[kVolume] = Value(100);
  self->elements[kPan] = Value(0);
  self->elements[kTimer] = Value(0);
  self->elements[kPositionMs] = Value(0);
  return {};
}

Value AttachSound(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!IsSound(self) || !vm.GetPlayer()) return {};
  auto id = vm.GetPlayer()->ExportedId(vm.ToString(Arg(args, 0)));
  auto ch = id ? vm.GetPlayer()->Lookup(*id) : nullptr;
  if (!ch || ch->kind != Kind::Sound) return {};
  EndTimer(vm, self);
  self->elements[kSoundId] = Value(double(*id));
  self->elements[kPositionMs] = Value(0);
  return {};
}

// The one-time timer of a start, given the Sound. A start, a stop or a new attachSound ends
// the timer before, so the one that fires is the current start's.
Value Complete(Vm& vm, Object*, std::vector<Value>& args) {
  Value sound = Arg(args, 0);
  if (!sound.IsObject() || !IsSound(sound.object)) return {};
  Object* self = sound.object;
  EndTimer(vm, self);
  if (auto ch = Attached(vm, self)) self->elements[kPositionMs] = Value(DurationMs(*ch));
  Value handler = vm.Get(self, "onSoundComplete");
  if (handler.IsObject() && handler.object->Callable()) vm.CallSafely(handler, self, {});
  return {};
}

Value Start(Vm& vm, Object* self, std::vector<Value>& args) {
  auto ch = Attached(vm, self);
  if (!ch) return {};
  double duration = DurationMs(*ch);
  double offsetSeconds = std::max(0.0, NumberOr(vm, Arg(args, 0), 0));
  double loops = std::clamp(std::floor(NumberOr(vm, Arg(args, 1), 1)), 1.0, 65535.0);
  double offsetMs = std::min(offsetSeconds * 1000, duration);

  SoundInfo info;
  info.loopCount = uint16_t(loops);
  if (offsetSeconds > 0) info.inPoint = uint32_t(std::min(offsetSeconds * 44100, 4294967295.0));
  SoundEvent event;
  event.type = SoundEvent::Start;
  event.sound = ch;
  event.info = std::move(info);
  vm.GetPlayer()->ScriptSound(std::move(event));

  EndTimer(vm, self);
  self->elements[kStartMs] = Value(vm.nowMs);
  self->elements[kOffsetMs] = Value(offsetMs);
  self->elements[kLoops] = Value(loops);
  Interval timer;
  timer.function = vm.NewFunction(Complete);
  timer.periodMs = std::max(1.0, (duration - offsetMs) * loops);
  timer.args = {Value(self)};
  self->elements[kTimer] = Value(double(vm.AddInterval(std::move(timer))));
  return {};
}

// stop(name) stops the attached sound of that linkage name wherever it plays; stop() stops
// every sound.
Value Stop(Vm& vm, Object* self, std::vector<Value>& args) {
  Player* player = vm.GetPlayer();
  if (!IsSound(self) || !player) return {};
  if (auto ch = Attached(vm, self); ch && self->elements[kTimer].number != 0)
    self->elements[kPositionMs] = Value(PlayingPositionMs(vm, self, DurationMs(*ch)));
  if (Arg(args, 0).IsUndefined()) {
    EndTimer(vm, self);
    player->StopAllSounds();
    return {};
  }
  auto id = player->ExportedId(vm.ToString(Arg(args, 0)));
  auto ch = id ? player->Lookup(*id) : nullptr;
  if (!ch || ch->kind != Kind::Sound) return {};
  if (self->elements[kSoundId].IsNumber() && self->elements[kSoundId].number == double(*id)) EndTimer(vm, self);
  SoundEvent event;
  event.type = SoundEvent::Start;
  event.sound = ch;
  event.info.syncStop = true;
  player->ScriptSound(std::move(event));
  return {};
}

// The mix's level from the Sound's volume (0 .. 100 and more, heard up to 100) and pan.
void SendLevel(Vm& vm, Object* self) {
  if (!vm.GetPlayer()) return;
  double volume = std::clamp(self->elements[kVolume].number, 0.0, 100.0) / 100;
  double pan = std::clamp(self->elements[kPan].number, -100.0, 100.0) / 100;
  double left = volume * (pan > 0 ? 1 - pan : 1), right = volume * (pan < 0 ? 1 + pan : 1);
  SoundEvent event;
  event.type = SoundEvent::Level;
  event.info.envelope.push_back({0, uint16_t(std::lround(left * 32768)), uint16_t(std::lround(right * 32768))});
  vm.GetPlayer()->ScriptSound(std::move(event));
}

Value SetVolume(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!IsSound(self)) return {};
  self->elements[kVolume] = Value(std::max(0.0, NumberOr(vm, Arg(args, 0), 100)));
  SendLevel(vm, self);
  return {};
}
Value GetVolume(Vm&, Object* self, std::vector<Value>&) { return IsSound(self) ? self->elements[kVolume] : Value(); }
Value SetPan(Vm& vm, Object* self, std::vector<Value>& args) {
  if (!IsSound(self)) return {};
  self->elements[kPan] = Value(std::clamp(NumberOr(vm, Arg(args, 0), 0), -100.0, 100.0));
  SendLevel(vm, self);
  return {};
}
Value GetPan(Vm&, Object* self, std::vector<Value>&) { return IsSound(self) ? self->elements[kPan] : Value(); }

Value Duration(Vm& vm, Object* self, std::vector<Value>&) {
  auto ch = Attached(vm, self);
  return ch ? Value(DurationMs(*ch)) : Value();
}

Value Position(Vm& vm, Object* self, std::vector<Value>&) {
  auto ch = Attached(vm, self);
  if (!ch) return {};
  if (self->elements[kTimer].number != 0) return std::floor(PlayingPositionMs(vm, self, DurationMs(*ch)));
  return std::floor(self->elements[kPositionMs].number);
}

}  // namespace

void InstallSound(Vm& vm) {
  Object* proto = vm.New(vm.objectProto);
  Object* ctor = vm.NewFunction(Construct);
  vm.Define(ctor, "prototype", proto, DontEnum | DontDelete);
  vm.Define(proto, "constructor", ctor, DontEnum);
  vm.Method(proto, "attachSound", AttachSound);
  vm.Method(proto, "start", Start);
  vm.Method(proto, "stop", Stop);
  vm.Method(proto, "setVolume", SetVolume);
  vm.Method(proto, "getVolume", GetVolume);
  vm.Method(proto, "setPan", SetPan);
  vm.Method(proto, "getPan", GetPan);
  vm.Accessor(proto, "duration", Duration);
  vm.Accessor(proto, "position", Position);
  vm.Define(vm.global, "Sound", ctor, DontEnum);
}

}  // namespace vitrine::swf::avm1
