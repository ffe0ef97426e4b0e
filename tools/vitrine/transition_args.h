#pragma once
// Option values of the transition and sheet commands.
#include <string>
#include <utility>

#include "command.h"

namespace vitrine::tool {

inline int ParseInt(const std::string& text, const std::string& what) {
  try {
    size_t used = 0;
    const int value = std::stoi(text, &used);
    if (used == text.size()) return value;
  } catch (...) {
  }
  throw UsageError{what + ": '" + text + "' is not a number"};
}

inline std::pair<int, int> ParsePair(const std::string& text, char separator, const std::string& what) {
  const size_t at = text.find(separator);
  if (at == std::string::npos) throw UsageError{what + ": expected two numbers, got '" + text + "'"};
  return {ParseInt(text.substr(0, at), what), ParseInt(text.substr(at + 1), what)};
}

// "WxH", both at least 1.
inline std::pair<int, int> ParseSize(const std::string& text, const std::string& what) {
  if (text.empty()) throw UsageError{what + " WxH is required"};
  const auto size = ParsePair(text, 'x', what);
  if (size.first < 1 || size.second < 1) throw UsageError{what + ": the size must be at least 1x1"};
  return size;
}

}  // namespace vitrine::tool
