#pragma once
// The bytes a reader decodes: everything from the stream's position to its end. A memory
// stream (what the package hands out) is read in place; any other stream is copied once.
#include <cstdint>
#include <cstddef>
#include <new>
#include <span>
#include <vector>

#include "core/stream.h"

namespace vitrine {

class ReaderInput {
 public:
  explicit ReaderInput(Stream& stream) {
    if (auto* memory = dynamic_cast<MemoryStream*>(&stream)) {
      bytes_ = memory->Remaining();
    } else {
      int64_t left = stream.Size() - stream.Position();
      if (uint64_t(left) > uint64_t(PTRDIFF_MAX)) throw std::bad_alloc();
      if (left > 0) {
        owned_.resize(size_t(left));
        owned_.resize(stream.Read(owned_.data(), owned_.size()));
      }
      bytes_ = owned_;
    }
    stream.Seek(0, SeekOrigin::End);
  }
  ReaderInput(const ReaderInput&) = delete;
  ReaderInput& operator=(const ReaderInput&) = delete;

  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> owned_;
  std::span<const uint8_t> bytes_;
};

}  // namespace vitrine
