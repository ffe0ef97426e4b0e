#pragma once
// A registry held in memory, for tests and the headless platform.
#include <map>
#include <set>
#include <string>
#include <variant>

#include "settings/registry_store.h"

namespace vitrine {

class MemoryRegistryStore final : public RegistryStore {
 public:
  using Value = std::variant<uint32_t, std::string>;
  using Key = std::map<std::string, Value>;

  // Key paths compare as written (the real registry ignores case; callers build one spelling).
  std::map<std::string, Key> Keys;
  // Keys that can be read but not opened for writing, and values whose writes fail.
  std::set<std::string> ReadOnlyKeys;
  std::set<std::string> UnwritableValues;

  bool KeyExists(const std::string& keyPath) override;
  bool OpenKey(const std::string& keyPath, bool create) override;
  void CloseKey() override { open_ = nullptr; }
  uint32_t ReadDword(const std::string& name) override;
  std::string ReadString(const std::string& name) override;
  void WriteDword(const std::string& name, uint32_t value) override;
  void WriteString(const std::string& name, const std::string& value) override;

 private:
  Key* open_ = nullptr;
};

}  // namespace vitrine
