#pragma once
// Helpers for building package bytes by hand in tests.
#include <cstdint>
#include <string>
#include <vector>

namespace vitrine::test {

inline std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// "key value 0x80" with the key as a byte value.
inline std::string Field(uint8_t key, const std::string& value) {
  return std::string(1, static_cast<char>(key)) + value + "\x80";
}

// Index entry: key character, decimal offset, 0x80.
inline std::string Entry(char key, long long offset) { return std::string(1, key) + std::to_string(offset) + "\x80"; }

// Index text followed by its 10-byte trailer.
inline std::string IndexAndTrailer(const std::string& index) {
  std::string length = std::to_string(index.size());
  return index + std::string(10 - length.size(), ' ') + length;
}

}  // namespace vitrine::test
