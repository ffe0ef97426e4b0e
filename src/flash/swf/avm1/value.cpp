#include "flash/swf/avm1/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vitrine::swf::avm1 {

std::string NumberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  if (std::fabs(n) < 1e15 && n == std::trunc(n)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", n);
    return buf;
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", n);
  std::string s = buf;
  // C writes the exponent with at least two digits ("1e-07"); the Flash player does not.
  size_t e = s.find('e');
  if (e != std::string::npos && e + 2 < s.size()) {
    size_t digits = e + 2;
    while (digits + 1 < s.size() && s[digits] == '0') s.erase(digits, 1);
  }
  return s;
}

std::string NumberToRadix(double n, int radix) {
  if (radix == 10 || radix < 2 || radix > 36 || !std::isfinite(n)) return NumberToString(n);
  int64_t v = int64_t(std::trunc(std::fabs(n) < 9.2e18 ? n : 0));
  bool negative = v < 0;
  uint64_t u = negative ? uint64_t(-v) : uint64_t(v);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % radix]);
    u /= radix;
  } while (u);
  return negative ? "-" + digits : digits;
}

double StringToNumber(const std::string& s, int version) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  if (i == s.size()) return version < 5 ? 0 : NAN;
  const char* start = s.c_str() + i;
  if (s.size() - i > 2 && start[0] == '0' && (start[1] == 'x' || start[1] == 'X')) {
    double v = 0;
    for (size_t k = i + 2; k < s.size(); ++k) {
      char c = s[k];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return NAN;
      v = v * 16 + d;
    }
    return v;
  }
  // Only decimal digits, a sign, a point and an exponent; strtod would also take "inf" and hex.
  size_t k = i;
  if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
  bool digits = false;
  while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k, digits = true;
  if (k < s.size() && s[k] == '.') {
    ++k;
    while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k, digits = true;
  }
  if (!digits) return version < 5 ? 0 : NAN;
  if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
    size_t e = k + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    if (e < s.size() && s[e] >= '0' && s[e] <= '9') {
      k = e;
      while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
    }
  }
  double v = std::strtod(std::string(s, i, k - i).c_str(), nullptr);
  if (k != s.size()) return version < 5 ? v : NAN;  // SWF 4 reads the number at the front
  return v;
}

int32_t ToInt32(double n) { return int32_t(ToUint32(n)); }

uint32_t ToUint32(double n) {
  if (!std::isfinite(n)) return 0;
  double m = std::fmod(std::trunc(n), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return uint32_t(m);
}

double PrimitiveToNumber(const Value& v, int version) {
  switch (v.type) {
    case Type::Undefined:
    case Type::Null:
      return version >= 7 ? NAN : 0;
    case Type::Boolean:
    case Type::Number:
      return v.number;
    case Type::String:
      return StringToNumber(v.text, version);
    case Type::Object:
      return NAN;
  }
  return NAN;
}

std::string PrimitiveToString(const Value& v, int version) {
  switch (v.type) {
    case Type::Undefined:
      return version >= 7 ? "undefined" : "";
    case Type::Null:
      return "null";
    case Type::Boolean:
      return v.number != 0 ? "true" : "false";
    case Type::Number:
      return NumberToString(v.number);
    case Type::String:
      return v.text;
    case Type::Object:
      return "[object Object]";
  }
  return "";
}

bool ToBoolean(const Value& v, int version) {
  switch (v.type) {
    case Type::Undefined:
    case Type::Null:
      return false;
    case Type::Boolean:
      return v.number != 0;
    case Type::Number:
      return v.number != 0 && !std::isnan(v.number);
    case Type::String: {
      if (version >= 7) return !v.text.empty();
      double n = StringToNumber(v.text, version);
      return n != 0 && !std::isnan(n);
    }
    case Type::Object:
      return true;
  }
  return false;
}

const char* TypeOfPrimitive(const Value& v) {
  switch (v.type) {
    case Type::Undefined: return "undefined";
    case Type::Null: return "null";
    case Type::Boolean: return "boolean";
    case Type::Number: return "number";
    case Type::String: return "string";
    case Type::Object: return "object";
  }
  return "undefined";
}

}  // namespace vitrine::swf::avm1
