#include "json.h"

#include "core/text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vitrine::tool {

void Json::Add(std::string name, Json value) { AsObject().emplace_back(std::move(name), std::move(value)); }

const Json* Json::Find(const std::string& name) const {
  if (!IsObject()) return nullptr;
  for (const auto& [key, value] : AsObject())
    if (key == name) return &value;
  return nullptr;
}

const char* Json::KindName() const {
  if (IsNull()) return "null";
  if (IsBool()) return "a boolean";
  if (IsInteger()) return "an integer";
  if (IsNumber()) return "a number";
  if (IsString()) return "a string";
  if (IsArray()) return "an array";
  return "an object";
}

namespace {

constexpr int kMaxDepth = 200;

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  Json Document() {
    Json value = Value(0);
    SkipSpace();
    if (pos_ < text_.size()) Fail("unexpected text after the document");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    int line = 1, column = 1;
    for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    throw JsonError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  bool Consume(const char* word) {
    size_t n = std::char_traits<char>::length(word);
    if (text_.compare(pos_, n, word) != 0) return false;
    pos_ += n;
    return true;
  }

  // depth counts the arrays and objects around the value.
  Json Value(int depth) {
    SkipSpace();
    if (pos_ >= text_.size()) Fail("unexpected end of text");
    char c = text_[pos_];
    if ((c == '{' || c == '[') && depth >= kMaxDepth) Fail("nesting is too deep");
    if (c == '{') return ObjectValue(depth);
    if (c == '[') return ArrayValue(depth);
    if (c == '"') return Json(String());
    if (c == '-' || (c >= '0' && c <= '9')) return Number();
    if (Consume("true")) return Json(true);
    if (Consume("false")) return Json(false);
    if (Consume("null")) return Json();
    Fail(std::string("unexpected character '") + c + "'");
  }

  Json ObjectValue(int depth) {
    ++pos_;
    Json::Object members;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == '}') {
      ++pos_;
      return Json(std::move(members));
    }
    for (;;) {
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"') Fail("expected a member name in double quotes");
      size_t at = pos_;
      std::string name = String();
      for (const auto& m : members)
        if (m.first == name) {
          pos_ = at;
          Fail("duplicate member \"" + name + "\"");
        }
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != ':') Fail("expected ':'");
      ++pos_;
      Json value = Value(depth + 1);
      members.emplace_back(std::move(name), std::move(value));
      SkipSpace();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == '}') {
        ++pos_;
        return Json(std::move(members));
      }
      Fail("expected ',' or '}'");
    }
  }

  Json ArrayValue(int depth) {
    ++pos_;
    Json::Array items;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == ']') {
      ++pos_;
      return Json(std::move(items));
    }
    for (;;) {
      items.push_back(Value(depth + 1));
      SkipSpace();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == ']') {
        ++pos_;
        return Json(std::move(items));
      }
      Fail("expected ',' or ']'");
    }
  }

  unsigned Hex4() {
    if (pos_ + 4 > text_.size()) Fail("short \\u escape");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[pos_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= c - '0';
      else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
      else Fail("bad \\u escape");
    }
    return v;
  }

  // One multi-byte UTF-8 character, copied; the shortest form of a scalar value only.
  void Utf8Sequence(std::string& out) {
    const auto lead = static_cast<unsigned char>(text_[pos_]);
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || pos_ + length > text_.size()) Fail("invalid UTF-8 in a string");
    char32_t cp = lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text_[pos_ + k]);
      if ((next & 0xC0) != 0x80) Fail("invalid UTF-8 in a string");
      cp = cp << 6 | (next & 0x3F);
    }
    const char32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (cp < shortest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) Fail("invalid UTF-8 in a string");
    out.append(text_, pos_, length);
    pos_ += length;
  }

  std::string String() {
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) Fail("unterminated string");
      auto c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        ++pos_;
        return out;
      }
      if (c < 0x20) Fail("control character in a string");
      if (c >= 0x80) {
        Utf8Sequence(out);
        continue;
      }
      if (c != '\\') {
        out += static_cast<char>(c);
        ++pos_;
        continue;
      }
      ++pos_;
      if (pos_ >= text_.size()) Fail("unterminated string");
      char e = text_[pos_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          char32_t cp = Hex4();
          if (cp >= 0xD800 && cp < 0xDC00) {
            if (!Consume("\\u")) Fail("lone surrogate in \\u escape");
            char32_t low = Hex4();
            if (low < 0xDC00 || low > 0xDFFF) Fail("lone surrogate in \\u escape");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            Fail("lone surrogate in \\u escape");
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          Fail(std::string("bad escape '\\") + e + "'");
      }
    }
  }

  Json Number() {
    size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    auto digits = [&] {
      size_t from = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ - from;
    };
    size_t intStart = pos_;
    if (digits() == 0) Fail("bad number");
    if (text_[intStart] == '0' && pos_ - intStart > 1) Fail("leading zero in a number");
    bool integral = true;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      integral = false;
      if (digits() == 0) Fail("bad number");
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      integral = false;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (digits() == 0) Fail("bad number");
    }
    std::string literal = text_.substr(start, pos_ - start);
    if (integral) {
      // Integers beyond 64 bits are kept as numbers, and rejected where an integer is needed.
      errno = 0;
      char* end = nullptr;
      long long v = std::strtoll(literal.c_str(), &end, 10);
      if (errno == 0) return Json(static_cast<int64_t>(v));
    }
    const double value = std::strtod(literal.c_str(), nullptr);
    if (!std::isfinite(value)) {
      pos_ = start;
      Fail("number out of range");
    }
    return Json(value);
  }

  const std::string& text_;
  size_t pos_ = 0;
};

void WriteString(std::string& out, const std::string& s) {
  out += '"';
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

void Write(std::string& out, const Json& v, int indent) {
  std::string pad(static_cast<size_t>(indent + 2), ' ');
  std::string closePad(static_cast<size_t>(indent), ' ');
  if (v.IsNull()) {
    out += "null";
  } else if (v.IsBool()) {
    out += v.AsBool() ? "true" : "false";
  } else if (v.IsInteger()) {
    out += std::to_string(v.AsInteger());
  } else if (v.IsNumber()) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", std::get<double>(v.Raw()));
    out += buf;
  } else if (v.IsString()) {
    WriteString(out, v.AsString());
  } else if (v.IsArray()) {
    const auto& items = v.AsArray();
    if (items.empty()) {
      out += "[]";
      return;
    }
    bool scalars = true;
    for (const Json& item : items) scalars = scalars && !item.IsArray() && !item.IsObject();
    if (scalars) {
      // Lists of offsets and texts read better on one line.
      out += "[";
      for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        Write(out, items[i], indent + 2);
      }
      out += "]";
      return;
    }
    out += "[\n";
    for (size_t i = 0; i < items.size(); ++i) {
      out += pad;
      Write(out, items[i], indent + 2);
      out += i + 1 < items.size() ? ",\n" : "\n";
    }
    out += closePad + "]";
  } else {
    const auto& members = v.AsObject();
    if (members.empty()) {
      out += "{}";
      return;
    }
    out += "{\n";
    for (size_t i = 0; i < members.size(); ++i) {
      out += pad;
      WriteString(out, members[i].first);
      out += ": ";
      Write(out, members[i].second, indent + 2);
      out += i + 1 < members.size() ? ",\n" : "\n";
    }
    out += closePad + "}";
  }
}

}  // namespace

std::string DisplayText(const std::string& ansi) {
  std::string clean;
  for (char ch : ansi) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      clean += buf;
    } else {
      clean += ch;
    }
  }
  return Cp1252ToUtf8(clean);
}

Json ParseJson(const std::string& text) { return Parser(text).Document(); }

std::string WriteJson(const Json& value) {
  std::string out;
  Write(out, value, 0);
  out += '\n';
  return out;
}

}  // namespace vitrine::tool
