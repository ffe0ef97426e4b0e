#include "package/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

class MemoryFile final : public ReadOnlyFile {
 public:
  MemoryFile(const std::string& path, MemoryFileSystem& fs) : path_(path), fs_(fs), bytes_(&fs.Files.at(path)) {
    fs_.open_.emplace(path_, this);
  }
  ~MemoryFile() override {
    auto [first, last] = fs_.open_.equal_range(path_);
    for (auto it = first; it != last; ++it)
      if (it->second == this) {
        fs_.open_.erase(it);
        break;
      }
  }
  void Detach() {
    if (bytes_ == &own_) return;
    own_ = *bytes_;
    bytes_ = &own_;
  }
  int64_t Size() override { return static_cast<int64_t>(bytes_->size()); }
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
    if (n > 0) std::memcpy(buffer, bytes_->data() + position_, static_cast<size_t>(n));
    position_ += n;
    fs_.BytesRead += n;
    return n;
  }

 private:
  std::string path_;
  MemoryFileSystem& fs_;
  const std::vector<uint8_t>* bytes_;  // the file system's, or own_ once detached
  std::vector<uint8_t> own_;
  int64_t position_ = 0;
};

void MemoryFileSystem::DetachOpenFiles(const std::string& path) {
  auto [first, last] = open_.equal_range(path);
  for (auto it = first; it != last; ++it) it->second->Detach();
}

std::unique_ptr<ReadOnlyFile> MemoryFileSystem::OpenRead(const std::string& path) {
  auto it = Files.find(path);
  if (it == Files.end()) return nullptr;
  return std::make_unique<MemoryFile>(path, *this);
}

bool MemoryFileSystem::Delete(const std::string& path) {
  if (Undeletable.count(path)) return false;
  DetachOpenFiles(path);
  return Files.erase(path) != 0;
}

bool MemoryFileSystem::WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
  if (Unwritable.count(path)) return false;
  DetachOpenFiles(path);
  Files[path].assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace vitrine
