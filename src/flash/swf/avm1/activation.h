#pragma once
// The interpreter: one activation per block of actions or function call, one small routine
// per action, chosen from one table by the action's code.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "flash/swf/avm1/machine.h"
#include "flash/swf/bit_reader.h"

namespace vitrine::swf::avm1 {

class Activation {
 public:
  Activation(Vm& vm, std::span<const uint8_t> code, int version);

  // Runs the code to its end, a Return, or a jump out of it; the value returned.
  Value Run();

  Vm& vm;
  int version;
  std::span<const uint8_t> code;
  std::shared_ptr<std::vector<std::string>> constants;
  std::vector<Value> registers;
  std::shared_ptr<Scope> scope;
  Object* target = nullptr;  // the timeline actions control (SetTarget changes it)
  Object* base = nullptr;    // the clip the code belongs to
  Value self;                // `this`
  Object* callee = nullptr;  // the function running, if any
  Object* home = nullptr;    // the prototype the function was found on, for `super`
  Value arguments;

  using Handler = void (Activation::*)(BitReader& data);
  // An action the machine does not know: skipped.
  void Unknown(BitReader&);
  // The object `super` names in this call.
  Object* Super();

 private:
  friend struct ActionTable;
  void RunRange(size_t begin, size_t end);

  Value Pop();
  void Push(Value v) {
    if (stack_.size() >= kMaxStackDepth) vm.Abort("stack too deep");
    stack_.push_back(std::move(v));
  }
  void PushBool(bool b) { version < 5 ? Push(Value(b ? 1.0 : 0.0)) : Push(Value(b)); }
  std::vector<Value> PopArgs();
  double PopNumber() { return vm.ToNumber(Pop()); }
  std::string PopString() { return vm.ToString(Pop()); }

  Value GetVariable(const std::string& name);
  void SetVariable(const std::string& name, Value value);
  Value SpecialName(const std::string& key, bool& found);
  Object* ResolveClip(const Value& target);
  Object* MakeFunction(BitReader& data, bool two);
  Value CallWithHome(const Value& fn, Object* self, std::vector<Value>& args, Object* home);

  // SWF 3 and 4.
  void NextFrame(BitReader&);
  void PrevFrame(BitReader&);
  void Play(BitReader&);
  void Stop(BitReader&);
  void ToggleQuality(BitReader&);
  void StopSounds(BitReader&);
  void Add(BitReader&);
  void Subtract(BitReader&);
  void Multiply(BitReader&);
  void Divide(BitReader&);
  void Equals(BitReader&);
  void Less(BitReader&);
  void And(BitReader&);
  void Or(BitReader&);
  void Not(BitReader&);
  void StringEquals(BitReader&);
  void StringLength(BitReader&);
  void StringExtract(BitReader&);
  void PopAction(BitReader&);
  void ToInteger(BitReader&);
  void GetVariableAction(BitReader&);
  void SetVariableAction(BitReader&);
  void SetTarget2(BitReader&);
  void StringAdd(BitReader&);
  void GetProperty(BitReader&);
  void SetProperty(BitReader&);
  void CloneSprite(BitReader&);
  void RemoveSprite(BitReader&);
  void Trace(BitReader&);
  void StartDrag(BitReader&);
  void EndDrag(BitReader&);
  void StringLess(BitReader&);
  void RandomNumber(BitReader&);
  void CharToAscii(BitReader&);
  void AsciiToChar(BitReader&);
  void GetTime(BitReader&);
  void GotoFrame(BitReader&);
  void GetUrl(BitReader&);
  void WaitForFrame(BitReader&);
  void SetTarget(BitReader&);
  void GotoLabel(BitReader&);
  void WaitForFrame2(BitReader&);
  void PushAction(BitReader&);
  void Jump(BitReader&);
  void GetUrl2(BitReader&);
  void If(BitReader&);
  void CallFrame(BitReader&);
  void GotoFrame2(BitReader&);
  // SWF 5.
  void Delete(BitReader&);
  void Delete2(BitReader&);
  void DefineLocal(BitReader&);
  void CallFunction(BitReader&);
  void Return(BitReader&);
  void Modulo(BitReader&);
  void NewObject(BitReader&);
  void DefineLocal2(BitReader&);
  void InitArray(BitReader&);
  void InitObject(BitReader&);
  void TypeOf(BitReader&);
  void TargetPath(BitReader&);
  void Enumerate(BitReader&);
  void Add2(BitReader&);
  void Less2(BitReader&);
  void Equals2(BitReader&);
  void ToNumber(BitReader&);
  void ToStringAction(BitReader&);
  void PushDuplicate(BitReader&);
  void StackSwap(BitReader&);
  void GetMember(BitReader&);
  void SetMember(BitReader&);
  void Increment(BitReader&);
  void Decrement(BitReader&);
  void CallMethod(BitReader&);
  void NewMethod(BitReader&);
  void BitAnd(BitReader&);
  void BitOr(BitReader&);
  void BitXor(BitReader&);
  void BitLShift(BitReader&);
  void BitRShift(BitReader&);
  void BitURShift(BitReader&);
  void StoreRegister(BitReader&);
  void ConstantPool(BitReader&);
  void With(BitReader&);
  void DefineFunction(BitReader&);
  // SWF 6 and 7.
  void InstanceOf(BitReader&);
  void Enumerate2(BitReader&);
  void StrictEquals(BitReader&);
  void Greater(BitReader&);
  void StringGreater(BitReader&);
  void Extends(BitReader&);
  void CastOp(BitReader&);
  void ImplementsOp(BitReader&);
  void Throw(BitReader&);
  void Try(BitReader&);
  void DefineFunction2(BitReader&);
  void FsCommand2(BitReader&);

  std::vector<Value> stack_;
  size_t pc_ = 0;
  bool done_ = false;
  Value result_;
};

// A call of a script function, and a block run at the top level of a clip.
Value CallScript(Vm& vm, Object* fn, Object* self, std::vector<Value>& args);
void RunTopLevel(Vm& vm, std::span<const uint8_t> code, Object* clip, int version);
// Whether the machine knows the action.
bool SupportedAction(uint8_t code);
// Equality and order as ActionScript 2 has them (Equals2, Less2).
bool AbstractEquals(Vm& vm, const Value& a, const Value& b);
bool StrictlyEqual(const Value& a, const Value& b);
// a < b: true, false, or undefined (NaN involved).
Value AbstractLess(Vm& vm, const Value& a, const Value& b);

}  // namespace vitrine::swf::avm1
