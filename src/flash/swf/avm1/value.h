#pragma once
// A script value and the conversions between its types. Several conversions changed with the
// movie's version (the version of the file that holds the script): before 7, undefined is
// the number 0 and the empty text, and a text is true when it reads as a non-zero number.
#include <cstdint>
#include <string>

namespace vitrine::swf::avm1 {

class Object;

enum class Type : uint8_t { Undefined, Null, Boolean, Number, String, Object };

struct Value {
  Type type = Type::Undefined;
  double number = 0;  // also the boolean, 0 or 1
  std::string text;
  Object* object = nullptr;

  Value() = default;
  static Value Null() { Value v; v.type = Type::Null; return v; }
  Value(bool b) : type(Type::Boolean), number(b ? 1 : 0) {}
  Value(double n) : type(Type::Number), number(n) {}
  Value(int n) : type(Type::Number), number(n) {}
  Value(std::string s) : type(Type::String), text(std::move(s)) {}
  Value(const char* s) : type(Type::String), text(s) {}
  Value(Object* o) : type(o ? Type::Object : Type::Null), object(o) {}

  bool IsUndefined() const { return type == Type::Undefined; }
  bool IsNullish() const { return type == Type::Undefined || type == Type::Null; }
  bool IsObject() const { return type == Type::Object; }
  bool IsString() const { return type == Type::String; }
  bool IsNumber() const { return type == Type::Number; }
};

// Numbers as the Flash player prints them: 15 significant digits, exponent forms past them
// ("1e+21", "1.5e-7"), "NaN", "Infinity", "-Infinity".
std::string NumberToString(double n);
// A number in the given radix (2 to 36), as Number.toString(radix) prints integers.
std::string NumberToRadix(double n, int radix);
// A text read as a number: leading white space skipped, "0x" hexadecimal, otherwise a
// decimal number that must fill the rest; NaN when it does not. emptyIsZero: before 5 the
// empty text reads 0.
double StringToNumber(const std::string& s, int version);
// ECMA's ToInt32 and ToUint32.
int32_t ToInt32(double n);
uint32_t ToUint32(double n);

// Conversions that need no object (objects convert through the machine).
double PrimitiveToNumber(const Value& v, int version);
std::string PrimitiveToString(const Value& v, int version);
bool ToBoolean(const Value& v, int version);
const char* TypeOfPrimitive(const Value& v);

}  // namespace vitrine::swf::avm1
