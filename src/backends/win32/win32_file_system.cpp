// Win32 file system: Windows handles, ANSI paths.
#include <windows.h>

#include <algorithm>

#include "core/file_system.h"

namespace vitrine {
namespace {

class Win32File final : public ReadOnlyFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { CloseHandle(h_); }
  int64_t Size() override {
    LARGE_INTEGER size;
    return GetFileSizeEx(h_, &size) ? static_cast<int64_t>(size.QuadPart) : -1;
  }
  bool Seek(int64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return offset >= 0 && SetFilePointerEx(h_, to, nullptr, FILE_BEGIN);
  }
  int64_t Read(void* buffer, int64_t count) override {
    if (count <= 0) return 0;
    DWORD got = 0;
    DWORD want = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(count);
    if (!ReadFile(h_, buffer, want, &got, nullptr)) return -1;
    return got;
  }

 private:
  HANDLE h_;
};

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string ModulePath() {
  char path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, n < sizeof path ? n : 0);
}

// A 32-bit program on 64-bit Windows that opens a path in System32 is sent to SysWOW64. A
// screen saver installed in the real System32 is started from there, and reads its package
// from its own file: that one open goes where the path says.
class OwnFileRedirectionOff {
 public:
  explicit OwnFileRedirectionOff(const std::string& path) {
    if (SamePath(path, ModulePath())) off_ = Wow64DisableWow64FsRedirection(&old_);
  }
  ~OwnFileRedirectionOff() {
    if (off_) Wow64RevertWow64FsRedirection(old_);
  }

 private:
  PVOID old_ = nullptr;
  BOOL off_ = FALSE;  // stays FALSE where there is no redirection (64-bit, 32-bit Windows)
};

class Win32FileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadOnlyFile> OpenRead(const std::string& path) override {
    OwnFileRedirectionOff redirection(path);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(h);
  }
  bool Exists(const std::string& path) override {
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool Delete(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
  bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) override {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
      DWORD wrote = 0;
      ok = ::WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
      done += wrote;
    }
    return CloseHandle(h) && ok;
  }
  std::string TempDir() override {
    char buffer[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    if (n == 0 || n > MAX_PATH) return ".\\";
    std::string out(buffer, n);
    if (out.back() != '\\') out += '\\';
    return out;
  }
  char Separator() const override { return '\\'; }
};

}  // namespace

FileSystem& NativeFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace vitrine
