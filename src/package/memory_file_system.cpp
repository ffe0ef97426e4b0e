#include "package/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace vitrine {
namespace {

class MemoryFile final : public ReadOnlyFile {
 public:
  MemoryFile(std::vector<uint8_t> bytes, MemoryFileSystem& fs) : bytes_(std::move(bytes)), fs_(fs) {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Seek(int64_t offset) override {
    if (offset < 0) return false;
    position_ = offset;
    return true;
  }
  int64_t Read(void* buffer, int64_t count) override {
    if (count <= 0) return 0;
    if (fs_.FailReadsAfter >= 0 && fs_.BytesRead >= fs_.FailReadsAfter) return -1;
    int64_t available = std::max<int64_t>(0, Size() - position_);
    int64_t n = std::min(count, available);
    if (fs_.FailReadsAfter >= 0) n = std::min(n, fs_.FailReadsAfter - fs_.BytesRead);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    fs_.BytesRead += n;
    return n;
  }

 private:
  std::vector<uint8_t> bytes_;
  MemoryFileSystem& fs_;
  int64_t position_ = 0;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> MemoryFileSystem::OpenRead(const std::string& path) {
  auto it = Files.find(path);
  if (it == Files.end()) return nullptr;
  return std::make_unique<MemoryFile>(it->second, *this);
}

bool MemoryFileSystem::Delete(const std::string& path) {
  if (Undeletable.count(path)) return false;
  return Files.erase(path) != 0;
}

bool MemoryFileSystem::WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
  if (Unwritable.count(path)) return false;
  Files[path].assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace vitrine
