// POSIX file system for the Linux builds.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/file_system.h"

namespace vitrine {
namespace {

class PosixFile final : public ReadOnlyFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }
  int64_t Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
  }
  bool Seek(int64_t offset) override { return offset >= 0 && ::lseek(fd_, offset, SEEK_SET) == offset; }
  int64_t Read(void* buffer, int64_t count) override {
    if (count <= 0) return 0;
    for (;;) {
      ssize_t n = ::read(fd_, buffer, static_cast<size_t>(count));
      if (n >= 0) return n;
      if (errno != EINTR) return -1;
    }
  }

 private:
  int fd_;
};

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadOnlyFile> OpenRead(const std::string& path) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }
  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }
  bool Delete(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
  bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        ::close(fd);
        return false;
      }
      done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0;
  }
  std::string TempDir() override {
    const char* dir = std::getenv("TMPDIR");
    std::string out = (dir && *dir) ? dir : "/tmp";
    if (out.back() != '/') out += '/';
    return out;
  }
  char Separator() const override { return '/'; }
};

}  // namespace

FileSystem& NativeFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace vitrine
