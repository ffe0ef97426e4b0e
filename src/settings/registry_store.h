#pragma once
// Where the user's settings live: one key with named DWORD and string values. The Windows
// registry in the win32 build, a folder of files on Linux, a map in tests.
#include <cstdint>
#include <memory>
#include <string>

#include "core/errors.h"

namespace vitrine {

class RegistryStore {
 public:
  RegistryStore() = default;
  // A copy is a store of its own, with a life of its own.
  RegistryStore(const RegistryStore&) {}
  RegistryStore& operator=(const RegistryStore&) { return *this; }
  virtual ~RegistryStore() = default;
  virtual bool KeyExists(const std::string& keyPath) = 0;
  // Opens the key for the reads and writes below; create also makes it and missing parents.
  virtual bool OpenKey(const std::string& keyPath, bool create) = 0;
  virtual void CloseKey() = 0;
  // ERegistryException: GetDataFailed when absent, InvalidDataType for another type.
  virtual uint32_t ReadDword(const std::string& name) = 0;
  // An absent value reads as the empty string; a value of another type raises InvalidDataType.
  virtual std::string ReadString(const std::string& name) = 0;
  // ERegistryException SetDataFailed when the value can't be written.
  virtual void WriteDword(const std::string& name, uint32_t value) = 0;
  virtual void WriteString(const std::string& name, const std::string& value) = 0;

  static ERegistryException GetDataFailed(const std::string& name) {
    return ERegistryException(FormatWithString("Failed to get data for '%s'", name));
  }
  static ERegistryException InvalidDataType(const std::string& name) {
    return ERegistryException(FormatWithString("Invalid data type for '%s'", name));
  }
  static ERegistryException SetDataFailed(const std::string& name) {
    return ERegistryException(FormatWithString("Failed to set data for '%s'", name));
  }

  // Expires when the store is destroyed: whoever keeps a reference to the store can tell
  // that it is gone instead of calling into freed memory.
  std::weak_ptr<const void> Lifetime() const { return lifetime_; }

 private:
  std::shared_ptr<const void> lifetime_ = std::make_shared<int>(0);
};

}  // namespace vitrine
