#include "core/stream.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

size_t MemoryStream::Read(void* buffer, size_t count) {
  if (position_ >= Size()) return 0;
  size_t available = static_cast<size_t>(Size() - position_);
  size_t n = std::min(count, available);
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<int64_t>(n);
  return n;
}

size_t MemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  size_t end = static_cast<size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ = static_cast<int64_t>(end);
  return count;
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : Size();
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

std::span<const uint8_t> MemoryStream::Remaining() const {
  if (position_ >= Size()) return {};
  return std::span<const uint8_t>(bytes_).subspan(static_cast<size_t>(position_));
}

}  // namespace vitrine
