#pragma once
// Byte streams: the package hands item data to the decoders as a MemoryStream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vitrine {

enum class SeekOrigin { Begin, Current, End };

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes count bytes at the position, growing the stream as needed; returns count.
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Moves the position; returns the new one. A position before 0 becomes 0.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
};

class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

  void Clear() { bytes_.clear(); position_ = 0; }
  void Rewind() { position_ = 0; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t>& Bytes() { return bytes_; }
  // The bytes from the position to the end, which a decoder reads.
  std::span<const uint8_t> Remaining() const;

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

}  // namespace vitrine
