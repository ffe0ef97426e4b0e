#pragma once
// A registry kept as files: one folder per key under a root folder, one file per value.
// Used where there is no Windows registry.
#include <filesystem>
#include <string>

#include "settings/registry_store.h"

namespace vitrine {

class FileRegistryStore final : public RegistryStore {
 public:
  explicit FileRegistryStore(std::filesystem::path root) : root_(std::move(root)) {}

  bool KeyExists(const std::string& keyPath) override;
  bool OpenKey(const std::string& keyPath, bool create) override;
  void CloseKey() override { open_.clear(); }
  uint32_t ReadDword(const std::string& name) override;
  std::string ReadString(const std::string& name) override;
  void WriteDword(const std::string& name, uint32_t value) override;
  void WriteString(const std::string& name, const std::string& value) override;

  // The folder that holds key keyPath; empty when the root is unknown.
  std::filesystem::path KeyFolder(const std::string& keyPath) const;

 private:
  bool ReadValue(const std::string& name, std::string& type, std::string& data);
  void WriteValue(const std::string& name, const std::string& type, const std::string& data);

  std::filesystem::path root_;
  std::filesystem::path open_;
};

// $XDG_CONFIG_HOME/vitrine, else ~/.config/vitrine; empty when neither can be found.
std::filesystem::path DefaultSettingsFolder();

}  // namespace vitrine
