#pragma once
// A bounded cursor over a byte span. Every read is checked against the end; running past it
// throws ByteReader::OutOfData, which the picture readers turn into their own error text.
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>

namespace vitrine {

class ByteReader {
 public:
  struct OutOfData : std::runtime_error {
    OutOfData() : std::runtime_error("unexpected end of data") {}
  };

  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

  size_t Position() const { return pos_; }
  size_t Size() const { return data_.size(); }
  size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  std::span<const uint8_t> Data() const { return data_; }

  void Seek(size_t position) {
    if (position > data_.size()) throw OutOfData();
    pos_ = position;
  }
  void Skip(size_t count) {
    if (count > Remaining()) throw OutOfData();
    pos_ += count;
  }

  uint8_t U8() { Need(1); return data_[pos_++]; }
  uint16_t U16LE() { Need(2); uint16_t v = data_[pos_] | (data_[pos_ + 1] << 8); pos_ += 2; return v; }
  uint16_t U16BE() { Need(2); uint16_t v = (data_[pos_] << 8) | data_[pos_ + 1]; pos_ += 2; return v; }
  uint32_t U32LE() {
    Need(4);
    uint32_t v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                 uint32_t(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return v;
  }
  uint32_t U32BE() {
    Need(4);
    uint32_t v = uint32_t(data_[pos_]) << 24 | uint32_t(data_[pos_ + 1]) << 16 | uint32_t(data_[pos_ + 2]) << 8 |
                 uint32_t(data_[pos_ + 3]);
    pos_ += 4;
    return v;
  }
  int16_t S16LE() { return static_cast<int16_t>(U16LE()); }
  int16_t S16BE() { return static_cast<int16_t>(U16BE()); }
  int32_t S32LE() { return static_cast<int32_t>(U32LE()); }
  int32_t S32BE() { return static_cast<int32_t>(U32BE()); }

  // The next count bytes as a span (no copy); the cursor moves past them.
  std::span<const uint8_t> Bytes(size_t count) {
    Need(count);
    auto out = data_.subspan(pos_, count);
    pos_ += count;
    return out;
  }
  void Copy(void* out, size_t count) {
    auto src = Bytes(count);
    if (count) std::memcpy(out, src.data(), count);
  }
  uint8_t Peek(size_t ahead = 0) const {
    if (ahead >= Remaining()) throw OutOfData();
    return data_[pos_ + ahead];
  }

 private:
  void Need(size_t count) const {
    if (count > Remaining()) throw OutOfData();
  }

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

}  // namespace vitrine
