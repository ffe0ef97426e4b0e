#pragma once
// The file operations the system needs, behind an interface so that the layers below app/
// never call an operating system. NativeFileSystem() (platform/files) gives the real one:
// Windows handles in the win32 build, POSIX elsewhere.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vitrine {

// An open file, read-only, shared for reading with other openers.
class ReadOnlyFile {
 public:
  virtual ~ReadOnlyFile() = default;
  // The size in bytes, or -1 when it can't be had.
  virtual int64_t Size() = 0;
  virtual bool Seek(int64_t offset) = 0;
  // Reads up to count bytes at the position; -1 on a failed read, 0 at the end.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullptr when the file doesn't exist or can't be opened.
  virtual std::unique_ptr<ReadOnlyFile> OpenRead(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // Creates or replaces the file with the bytes; false when it can't be created or written.
  virtual bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) = 0;
  // The temporary folder with its trailing separator.
  virtual std::string TempDir() = 0;
  // The folder separator of paths this file system hands out ('\\' on Windows, '/' elsewhere).
  virtual char Separator() const = 0;
};

// The platform's own file system (defined in platform/files).
FileSystem& NativeFileSystem();

// Path helpers that accept both '\\' and '/' as separators, as packages built on either
// system hold stored paths of the other kind.
std::string ExtractFileName(const std::string& path);  // after the last separator or ':'
std::string ExtractFileDir(const std::string& path);   // up to and including the last separator
std::string ExtractFileExt(const std::string& path);   // from the last '.' of the name, dot included

}  // namespace vitrine
