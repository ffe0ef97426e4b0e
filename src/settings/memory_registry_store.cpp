#include "settings/memory_registry_store.h"

namespace vitrine {

bool MemoryRegistryStore::KeyExists(const std::string& keyPath) { return Keys.count(keyPath) != 0; }

bool MemoryRegistryStore::OpenKey(const std::string& keyPath, bool create) {
  open_ = nullptr;
  if (create) {
    if (ReadOnlyKeys.count(keyPath)) return false;
    open_ = &Keys[keyPath];
    return true;
  }
  auto it = Keys.find(keyPath);
  if (it == Keys.end()) return false;
  open_ = &it->second;
  return true;
}

uint32_t MemoryRegistryStore::ReadDword(const std::string& name) {
  if (!open_) throw GetDataFailed(name);
  auto it = open_->find(name);
  if (it == open_->end()) throw GetDataFailed(name);
  if (auto v = std::get_if<uint32_t>(&it->second)) return *v;
  throw InvalidDataType(name);
}

std::string MemoryRegistryStore::ReadString(const std::string& name) {
  if (!open_) return std::string();
  auto it = open_->find(name);
  if (it == open_->end()) return std::string();
  if (auto v = std::get_if<std::string>(&it->second)) return *v;
  throw InvalidDataType(name);
}

void MemoryRegistryStore::WriteDword(const std::string& name, uint32_t value) {
  if (!open_ || UnwritableValues.count(name)) throw SetDataFailed(name);
  (*open_)[name] = value;
}

void MemoryRegistryStore::WriteString(const std::string& name, const std::string& value) {
  if (!open_ || UnwritableValues.count(name)) throw SetDataFailed(name);
  (*open_)[name] = value;
}

}  // namespace vitrine
