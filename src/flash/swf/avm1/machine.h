#pragma once
// The ActionScript 1 and 2 machine of one movie: its objects, the global object and the
// built-in classes, property access with the rules of the movie's version, calls, and the
// limits that stop a runaway script without stopping the movie.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "flash/swf/avm1/object.h"
#include "flash/swf/avm1/value.h"

namespace vitrine::swf {
class Player;
}

namespace vitrine::swf::avm1 {

// Actions one script (a frame script, a handler) may run, and all of one frame's scripts
// together; past them the script running is stopped.
inline constexpr uint64_t kMaxActionsPerScript = 2'000'000;
inline constexpr uint64_t kMaxActionsPerFrame = 20'000'000;
// Nested calls; a deeper call stops the script, as the Flash player's 256 levels do.
inline constexpr int kMaxCallDepth = 256;
// Live objects and the text one string may grow to; past them the script running is stopped.
inline constexpr size_t kMaxObjects = 1u << 20;
inline constexpr size_t kMaxStringLength = 16u << 20;
inline constexpr size_t kMaxArrayLength = 1u << 22;
inline constexpr size_t kMaxStackDepth = 1u << 16;
inline constexpr size_t kMaxIntervals = 1000;

// A script's throw: carried up to the nearest Try, or ends the script.
struct ScriptThrow {
  Value value;
};
// A limit was reached: the script is abandoned.
struct ScriptAbort {
  const char* why;
};

struct Interval {
  int32_t id = 0;
  Value function;           // a function, or
  Object* object = nullptr;  // an object and the name of its method
  std::string method;
  std::vector<Value> args;
  double periodMs = 0, nextMs = 0;
};

class Vm {
 public:
  // version: the movie's version; playerVersion: the Flash player version it sees.
  Vm(int version, Player* player, int playerVersion = 8);
  ~Vm();
  Vm(const Vm&) = delete;
  Vm& operator=(const Vm&) = delete;

  int Version() const { return version_; }
  int PlayerVersion() const { return playerVersion_; }
  Player* GetPlayer() const { return player_; }

  // What trace() and fscommand() reach.
  std::function<void(const std::string&)> onTrace;
  std::function<void(const std::string& command, const std::string& args)> onFsCommand;
  // The time since the movie started, as getTimer() reads it.
  double nowMs = 0;

  // Runs a block of actions (a frame's DoAction or DoInitAction, a clip event) with the clip
  // as its timeline and `this`. A throw nobody catches or a limit ends the block quietly.
  void RunBlock(std::span<const uint8_t> code, Object* clip, int version = -1);
  // Calls fn on self when it is a function; errors and limits end only that call.
  Value CallSafely(const Value& fn, Object* self, std::vector<Value> args);
  // A new frame: the action budget is full again.
  void StartFrame() { frameLeft_ = actionsPerFrame; }
  // How many actions all scripts of one frame may run; one script gets at most a tenth of it.
  uint64_t actionsPerFrame = kMaxActionsPerFrame;

  // Objects.
  Object* New(Object* proto);
  Object* NewObject() { return New(objectProto); }
  Object* NewArray(std::vector<Value> elements = {});
  Object* NewFunction(NativeFn fn, NativeFn construct = nullptr);
  // A prototype's or class's method.
  void Method(Object* target, const std::string& name, NativeFn fn);
  // A property read (and, given a setter, written) through native functions.
  void Accessor(Object* target, const std::string& name, NativeFn getter, NativeFn setter = nullptr);

  std::string Key(const std::string& name) const;
  Property* Find(Object* o, const std::string& name);  // own property
  Property* Lookup(Object* o, const std::string& name);  // along the prototypes
  Value Get(Object* o, const std::string& name);
  Value GetOf(const Value& v, const std::string& name);  // primitives through their class
  void Set(Object* o, const std::string& name, Value value);
  void Define(Object* o, const std::string& name, Value value, uint8_t flags = 0);
  bool Has(Object* o, const std::string& name);
  bool Delete(Object* o, const std::string& name);
  // Enumerable names of the object and its prototypes, as for..in sees them.
  std::vector<std::string> Keys(Object* o);

  Value Call(const Value& fn, Object* self, std::vector<Value>& args);
  Value CallMethod(const Value& target, const std::string& name, std::vector<Value> args);
  Value Construct(const Value& ctor, std::vector<Value>& args);
  bool InstanceOf(const Value& v, Object* ctor);

  double ToNumber(const Value& v);
  std::string ToString(const Value& v);
  Value ToPrimitive(const Value& v, bool preferString = false);
  Object* ToObject(const Value& v);
  bool ToBool(const Value& v) const { return ToBoolean(v, version_); }
  std::string TypeOf(const Value& v);
  void CheckString(const std::string& s) const;

  // Movie clip paths: "/a/b", "_root.a", "../b", "_parent"; relative to base.
  Object* ResolveTarget(Object* base, const std::string& path);
  // A clip's own name on its parent, and its path as _target prints it.
  std::string TargetPath(Object* clip);
  Object* RootClip();

  // setInterval's timers, run by the player at each frame.
  int32_t AddInterval(Interval interval);
  void ClearInterval(int32_t id);
  void RunIntervals();

  // Frees the objects nothing reaches; the player names the clips still on stage.
  void Collect(const std::vector<Object*>& roots);
  size_t LiveObjects() const { return heap_.size(); }
  // Limits count the work of the script running.
  void Charge(uint64_t actions);
  int& Depth() { return depth_; }
  void Abort(const char* why);

  Object* global = nullptr;
  Object* objectProto = nullptr;
  Object* functionProto = nullptr;
  Object* arrayProto = nullptr;
  Object* stringProto = nullptr;
  Object* numberProto = nullptr;
  Object* booleanProto = nullptr;
  Object* dateProto = nullptr;
  Object* movieClipProto = nullptr;
  Object* errorProto = nullptr;
  Object* textFieldProto = nullptr;
  Object* textFormatProto = nullptr;
  Object* registered = nullptr;  // Object.registerClass: linkage name to class
  Object* keyObject = nullptr;    // Key and Mouse, whose listeners the player's input reaches
  Object* mouseObject = nullptr;
  // The prototype a method about to be called was found on (for its `super`).
  Object* pendingHome = nullptr;

 private:
  void Mark(Object* o, std::vector<Object*>& stack);

  int version_;
  Player* player_;
  int playerVersion_;
  std::vector<std::unique_ptr<Object>> heap_;
  size_t lastCollect_ = 0;
  uint64_t ScriptBudget() const { return std::min(kMaxActionsPerScript, actionsPerFrame / 10 + 1); }
  uint64_t actionsLeft_ = kMaxActionsPerScript;
  uint64_t frameLeft_ = kMaxActionsPerFrame;
  int depth_ = 0;
  std::vector<Interval> intervals_;
  int32_t nextInterval_ = 1;
};

// Builds the global object and the built-in classes (builtins/*.cpp).
void InstallGlobals(Vm& vm);
void InstallObject(Vm& vm);
void InstallFunction(Vm& vm);
void InstallArray(Vm& vm);
void InstallString(Vm& vm);
void InstallNumber(Vm& vm);
void InstallBoolean(Vm& vm);
void InstallMath(Vm& vm);
void InstallDate(Vm& vm);
void InstallMovieClip(Vm& vm);
void InstallMovieClipDrawing(Vm& vm);  // after InstallMovieClip
void InstallTextField(Vm& vm);         // after InstallMovieClip
void InstallError(Vm& vm);
void InstallColor(Vm& vm);
void InstallStage(Vm& vm);
void InstallKeyAndMouse(Vm& vm);
void InstallSound(Vm& vm);

// Reading arguments.
inline Value Arg(const std::vector<Value>& args, size_t i) { return i < args.size() ? args[i] : Value(); }

}  // namespace vitrine::swf::avm1
