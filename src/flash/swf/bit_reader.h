#pragma once
// A bounded reader over the bytes of one tag: bit fields most significant bit first, byte
// fields little-endian. Every read checks the end and throws SwfError past it, so a record
// cut short or a count that runs off the tag ends that tag and nothing more.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace vitrine::swf {

struct SwfError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class BitReader {
 public:
  explicit BitReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t Position() const { return pos_; }
  size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  uint32_t UBits(int count) {
    if (count < 0 || count > 32) throw SwfError("bit field too wide");
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
      if (pos_ >= bytes_.size()) throw SwfError("record cut short");
      v = (v << 1) | ((bytes_[pos_] >> (7 - bit_)) & 1u);
      if (++bit_ == 8) {
        bit_ = 0;
        ++pos_;
      }
    }
    return v;
  }
  int32_t SBits(int count) {
    uint32_t v = UBits(count);
    if (count > 0 && count < 32 && ((v >> (count - 1)) & 1u)) v |= ~uint32_t(0) << count;
    return static_cast<int32_t>(v);
  }
  // A 16.16 fixed-point bit field.
  double FBits(int count) { return SBits(count) / 65536.0; }

  void Align() {
    if (bit_ != 0) {
      bit_ = 0;
      ++pos_;
    }
  }
  uint8_t U8() {
    Align();
    if (pos_ >= bytes_.size()) throw SwfError("record cut short");
    return bytes_[pos_++];
  }
  uint16_t U16() {
    uint16_t lo = U8();
    return static_cast<uint16_t>(lo | (U8() << 8));
  }
  int16_t S16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    uint32_t lo = U16();
    return lo | (uint32_t(U16()) << 16);
  }
  // 8.8 fixed point.
  double Fixed8() { return S16() / 256.0; }
  std::span<const uint8_t> Bytes(size_t count) {
    Align();
    if (count > Remaining()) throw SwfError("record cut short");
    auto out = bytes_.subspan(pos_, count);
    pos_ += count;
    return out;
  }
  std::span<const uint8_t> Rest() { return Bytes(Remaining()); }
  void Skip(size_t count) { (void)Bytes(count); }
  // A zero-terminated string (the terminator is consumed).
  std::string String() {
    Align();
    std::string s;
    while (true) {
      uint8_t c = U8();
      if (c == 0) return s;
      s.push_back(char(c));
    }
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  int bit_ = 0;
};

}  // namespace vitrine::swf
