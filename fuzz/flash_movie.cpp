// The Flash movie header reader on arbitrary bytes: plain and compressed bodies, any tags.
#include <cstddef>
#include <cstdint>
#include <span>

#include "flash/movie_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)vitrine::ReadMovieHeader(std::span<const uint8_t>(data, size));
  return 0;
}
