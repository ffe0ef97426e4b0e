#pragma once
// Files held in memory, for tests and fuzzing: a package can be built, read and damaged
// without touching the disk. An open file reads the bytes in Files without copying them (a
// show opens its package of many megabytes once); WriteFile and Delete first give the files
// open at that path a copy of what they had, so they read on as from a file opened before.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace vitrine {

class MemoryFile;

class MemoryFileSystem final : public FileSystem {
 public:
  std::map<std::string, std::vector<uint8_t>> Files;
  std::set<std::string> Unwritable;  // WriteFile fails for these paths
  std::set<std::string> Undeletable;  // Delete fails (as for a file a player holds open)
  // Reads of open files fail once this many bytes were read in total; -1 never.
  int64_t FailReadsAfter = -1;
  std::string Temp = "/tmp/";

  std::unique_ptr<ReadOnlyFile> OpenRead(const std::string& path) override;
  bool Exists(const std::string& path) override { return Files.count(path) != 0; }
  bool Delete(const std::string& path) override;
  bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) override;
  std::string TempDir() override { return Temp; }
  char Separator() const override { return '/'; }

  int64_t BytesRead = 0;

 private:
  friend class MemoryFile;
  // Hands each open file of the path its own copy of the bytes.
  void DetachOpenFiles(const std::string& path);
  std::multimap<std::string, MemoryFile*> open_;
};

}  // namespace vitrine
