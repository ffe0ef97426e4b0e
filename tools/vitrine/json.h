#pragma once
// A small strict JSON reader and writer for the tool's manifests and reports.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vitrine::tool {

class Json {
 public:
  using Array = std::vector<Json>;
  using Object = std::vector<std::pair<std::string, Json>>;  // members in their written order

  Json() = default;  // null
  Json(bool b) : value_(b) {}
  Json(int v) : value_(static_cast<int64_t>(v)) {}
  Json(int64_t v) : value_(v) {}
  Json(double v) : value_(v) {}
  Json(std::string s) : value_(std::move(s)) {}
  Json(const char* s) : value_(std::string(s)) {}
  Json(Array a) : value_(std::move(a)) {}
  Json(Object o) : value_(std::move(o)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsBool() const { return std::holds_alternative<bool>(value_); }
  bool IsInteger() const { return std::holds_alternative<int64_t>(value_); }
  bool IsNumber() const { return IsInteger() || std::holds_alternative<double>(value_); }
  bool IsString() const { return std::holds_alternative<std::string>(value_); }
  bool IsArray() const { return std::holds_alternative<Array>(value_); }
  bool IsObject() const { return std::holds_alternative<Object>(value_); }

  bool AsBool() const { return std::get<bool>(value_); }
  int64_t AsInteger() const { return std::get<int64_t>(value_); }
  const std::string& AsString() const { return std::get<std::string>(value_); }
  const Array& AsArray() const { return std::get<Array>(value_); }
  const Object& AsObject() const { return std::get<Object>(value_); }
  Array& AsArray() { return std::get<Array>(value_); }
  Object& AsObject() { return std::get<Object>(value_); }

  // The member of an object, or nullptr.
  const Json* Find(const std::string& name) const;
  // Appends a member to an object. Out of line: where the value's kind is known, GCC 12
  // inlines the variant's move and warns about the alternatives it does not hold.
  void Add(std::string name, Json value);

  const auto& Raw() const { return value_; }

  // "null", "a boolean", "an integer", ... for error messages.
  const char* KindName() const;

 private:
  std::variant<std::monostate, bool, int64_t, double, std::string, Array, Object> value_;
};

// Windows-1252 text as one printable UTF-8 line: control bytes become \xNN.
std::string DisplayText(const std::string& ansi);

// Parses a whole document (UTF-8). Raises JsonError "line L, column C: ..." (columns count
// bytes) on anything that is not strict JSON, including invalid UTF-8, duplicate member names,
// numbers beyond the range of a double and nesting deeper than 200.
Json ParseJson(const std::string& text);
// Two-space indented text, ending with a newline.
std::string WriteJson(const Json& value);

struct JsonError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace vitrine::tool
