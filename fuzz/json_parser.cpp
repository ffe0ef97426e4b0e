// Fuzzes the vitrine tool's JSON parser: any text either parses or raises JsonError, and what
// parses is written back as text that parses again and is then written the same (the second
// writing, since -0.0 is written "-0" and read back as the integer 0).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vitrine::tool;
  const std::string text(reinterpret_cast<const char*>(data), size);
  Json value;
  try {
    value = ParseJson(text);
  } catch (const JsonError&) {
    return 0;
  }
  try {
    const std::string written = WriteJson(ParseJson(WriteJson(value)));
    if (WriteJson(ParseJson(written)) != written) std::abort();
  } catch (const JsonError&) {
    std::abort();  // the writer wrote something the parser refuses
  }
  return 0;
}
