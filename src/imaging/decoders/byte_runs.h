#pragma once
// The two bounded cursors a byte-oriented run-length decoder walks: the packed bytes it reads
// and the room it writes into. A run is cut at the end of the room; a literal copies what the
// input still has and what the room still takes, and the input moves past all of it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vitrine {

class ByteRuns {
 public:
  ByteRuns(const uint8_t* source, uint8_t* dest, size_t packedSize, size_t unpackedSize)
      : in_(source), inEnd_(source + packedSize), out_(dest), outEnd_(dest + unpackedSize) {}

  // Both input and room left.
  bool Going() const { return in_ < inEnd_ && out_ < outEnd_; }
  // The next packed byte; only while Going().
  uint8_t Next() { return *in_++; }
  void Put(uint8_t value) { *out_++ = value; }

  // Repeats the next packed byte count times; false when the input has ended.
  bool RepeatNext(size_t count) {
    if (in_ >= inEnd_) return false;
    const uint8_t value = *in_++;
    const size_t n = std::min(count, size_t(outEnd_ - out_));
    std::memset(out_, value, n);
    out_ += n;
    return true;
  }
  void CopyLiteral(size_t count) {
    const size_t available = std::min(count, size_t(inEnd_ - in_));
    const size_t n = std::min(available, size_t(outEnd_ - out_));
    std::memcpy(out_, in_, n);
    out_ += n;
    in_ += available;
  }

  // Hands the positions reached back through Decode's arguments.
  void Finish(const uint8_t*& source, uint8_t*& dest) const {
    source = in_;
    dest = out_;
  }

 private:
  const uint8_t* in_;
  const uint8_t* inEnd_;
  uint8_t* out_;
  uint8_t* outEnd_;
};

}  // namespace vitrine
