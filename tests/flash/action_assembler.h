#pragma once
// A small assembler for action records: push values, name actions, jump to labels, define
// functions; Bytes() ends the block with the end action, ready for a DoAction tag.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace vitrine::test {

struct Undefined {};
struct Null {};
struct Reg {
  uint8_t index;
};
struct Const {
  uint16_t index;
};
using Pushed = std::variant<std::string, const char*, double, int, bool, Undefined, Null, Reg, Const>;

class Asm {
 public:
  Asm& Op(uint8_t code) {
    bytes_.push_back(code);
    return *this;
  }
  Asm& Record(uint8_t code, const std::vector<uint8_t>& data) {
    bytes_.push_back(code);
    bytes_.push_back(uint8_t(data.size()));
    bytes_.push_back(uint8_t(data.size() >> 8));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  Asm& Push(std::initializer_list<Pushed> values) {
    std::vector<uint8_t> d;
    for (const Pushed& v : values) {
      if (auto* s = std::get_if<std::string>(&v)) Text(d, 0, *s);
      else if (auto* c = std::get_if<const char*>(&v)) Text(d, 0, *c);
      else if (auto* n = std::get_if<double>(&v)) {
        d.push_back(6);
        uint64_t bits;
        std::memcpy(&bits, n, 8);
        Le32(d, uint32_t(bits >> 32));
        Le32(d, uint32_t(bits));
      } else if (auto* i = std::get_if<int>(&v)) {
        d.push_back(7);
        Le32(d, uint32_t(*i));
      } else if (auto* b = std::get_if<bool>(&v)) {
        d.push_back(5);
        d.push_back(*b ? 1 : 0);
      } else if (std::holds_alternative<Undefined>(v)) d.push_back(3);
      else if (std::holds_alternative<Null>(v)) d.push_back(2);
      else if (auto* r = std::get_if<Reg>(&v)) {
        d.push_back(4);
        d.push_back(r->index);
      } else if (auto* k = std::get_if<Const>(&v)) {
        d.push_back(9);
        d.push_back(uint8_t(k->index));
        d.push_back(uint8_t(k->index >> 8));
      }
    }
    return Record(0x96, d);
  }
  Asm& Pool(std::initializer_list<std::string> names) {
    std::vector<uint8_t> d{uint8_t(names.size()), uint8_t(names.size() >> 8)};
    for (auto& n : names) Text(d, -1, n);
    return Record(0x88, d);
  }
  // Jumps and branches to a label placed before or after.
  Asm& Jump(const std::string& label) { return Branch(0x99, label); }
  Asm& If(const std::string& label) { return Branch(0x9D, label); }
  Asm& Label(const std::string& label) {
    labels_[label] = bytes_.size();
    return *this;
  }
  Asm& StoreRegister(uint8_t r) { return Record(0x87, {r}); }
  Asm& GotoFrame(uint16_t frame) { return Record(0x81, {uint8_t(frame), uint8_t(frame >> 8)}); }
  // DefineFunction (name may be empty) with its body assembled apart.
  Asm& Function(const std::string& name, std::initializer_list<std::string> params, Asm body) {
    std::vector<uint8_t> code = body.Code();
    std::vector<uint8_t> d;
    Text(d, -1, name);
    d.push_back(uint8_t(params.size()));
    d.push_back(0);
    for (auto& p : params) Text(d, -1, p);
    d.push_back(uint8_t(code.size()));
    d.push_back(uint8_t(code.size() >> 8));
    Record(0x9B, d);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
  }
  // DefineFunction2: params as (register, name); flags as the record's two bytes.
  Asm& Function2(const std::string& name, uint8_t registers, uint16_t flags,
                 std::initializer_list<std::pair<uint8_t, std::string>> params, Asm body) {
    std::vector<uint8_t> code = body.Code();
    std::vector<uint8_t> d;
    Text(d, -1, name);
    d.push_back(uint8_t(params.size()));
    d.push_back(0);
    d.push_back(registers);
    d.push_back(uint8_t(flags));
    d.push_back(uint8_t(flags >> 8));
    for (auto& [r, p] : params) {
      d.push_back(r);
      Text(d, -1, p);
    }
    d.push_back(uint8_t(code.size()));
    d.push_back(uint8_t(code.size() >> 8));
    Record(0x8E, d);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
  }
  // Try with a catch into a variable and an optional finally.
  Asm& Try(Asm tryBody, const std::string& catchName, Asm catchBody, Asm* finallyBody = nullptr) {
    std::vector<uint8_t> t = tryBody.Code(), c = catchBody.Code(), f = finallyBody ? finallyBody->Code() : std::vector<uint8_t>{};
    std::vector<uint8_t> d{uint8_t(0x01 | (finallyBody ? 0x02 : 0))};
    for (size_t n : {t.size(), c.size(), f.size()}) {
      d.push_back(uint8_t(n));
      d.push_back(uint8_t(n >> 8));
    }
    Text(d, -1, catchName);
    Record(0x8F, d);
    for (auto* part : {&t, &c, &f}) bytes_.insert(bytes_.end(), part->begin(), part->end());
    return *this;
  }
  // Common actions by name.
  Asm& Trace() { return Op(0x26); }
  Asm& GetVariable() { return Op(0x1C); }
  Asm& SetVariable() { return Op(0x1D); }
  Asm& GetMember() { return Op(0x4E); }
  Asm& SetMember() { return Op(0x4F); }
  Asm& CallFunction() { return Op(0x3D); }
  Asm& CallMethod() { return Op(0x52); }
  Asm& NewObject() { return Op(0x40); }
  Asm& Add2() { return Op(0x47); }
  Asm& Less2() { return Op(0x48); }
  Asm& Equals2() { return Op(0x49); }
  Asm& Return() { return Op(0x3E); }
  Asm& Pop() { return Op(0x17); }
  Asm& Throw() { return Op(0x2A); }

  // The code without an end action (a function's body), and with it (a DoAction body).
  std::vector<uint8_t> Code() {
    for (auto& [at, label] : fixups_) {
      int32_t offset = int32_t(labels_.at(label)) - int32_t(at + 2);
      bytes_[at] = uint8_t(offset);
      bytes_[at + 1] = uint8_t(offset >> 8);
    }
    return bytes_;
  }
  std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> out = Code();
    out.push_back(0);
    return out;
  }

 private:
  static void Le32(std::vector<uint8_t>& d, uint32_t v) {
    for (int i = 0; i < 4; ++i) d.push_back(uint8_t(v >> (8 * i)));
  }
  // type -1: the bare text with its terminator.
  static void Text(std::vector<uint8_t>& d, int type, const std::string& s) {
    if (type >= 0) d.push_back(uint8_t(type));
    d.insert(d.end(), s.begin(), s.end());
    d.push_back(0);
  }
  Asm& Branch(uint8_t code, const std::string& label) {
    Record(code, {0, 0});
    fixups_.emplace_back(bytes_.size() - 2, label);
    return *this;
  }

  std::vector<uint8_t> bytes_;
  std::map<std::string, size_t> labels_;
  std::vector<std::pair<size_t, std::string>> fixups_;
};

}  // namespace vitrine::test
