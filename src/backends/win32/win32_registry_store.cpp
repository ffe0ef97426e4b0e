#include "backends/win32/win32_registry_store.h"

#include <windows.h>

#include <vector>

namespace vitrine {
namespace {

class Win32RegistryStore final : public RegistryStore {
 public:
  Win32RegistryStore(HKEY userRoot, HKEY machineRoot) : user_(userRoot), machine_(machineRoot) {}
  ~Win32RegistryStore() override { CloseKey(); }

  bool KeyExists(const std::string& keyPath) override {
    return Exists(user_, keyPath) || Exists(machine_, keyPath);
  }

  bool OpenKey(const std::string& keyPath, bool create) override {
    CloseKey();
    if (create) {
      return RegCreateKeyExA(user_, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                             nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    if (RegOpenKeyExA(user_, keyPath.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS) return true;
    key_ = nullptr;
    if (RegOpenKeyExA(machine_, keyPath.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS) return true;
    key_ = nullptr;
    return false;
  }

  void CloseKey() override {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

  uint32_t ReadDword(const std::string& name) override {
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                     ERROR_SUCCESS)
      throw GetDataFailed(name);
    if (type != REG_DWORD || size != sizeof value) throw InvalidDataType(name);
    return value;
  }

  std::string ReadString(const std::string& name) override {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidDataType(name);
    if (size == 0) return std::string();
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
        ERROR_SUCCESS)
      throw GetDataFailed(name);
    // The stored text need not end with a NUL; the extra byte makes sure it does.
    buffer[got < size ? got : size] = '\0';
    return std::string(buffer.data());
  }

  void WriteDword(const std::string& name, uint32_t value) override {
    DWORD data = value;
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                sizeof data) != ERROR_SUCCESS)
      throw SetDataFailed(name);
  }

  void WriteString(const std::string& name, const std::string& value) override {
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
      throw SetDataFailed(name);
  }

 private:
  static bool Exists(HKEY root, const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  HKEY user_;
  HKEY machine_;
  HKEY key_ = nullptr;
};

}  // namespace

std::unique_ptr<RegistryStore> MakeWin32RegistryStore() {
  return std::make_unique<Win32RegistryStore>(HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE);
}

std::unique_ptr<RegistryStore> MakeWin32RegistryStore(uintptr_t userRoot, uintptr_t machineRoot) {
  return std::make_unique<Win32RegistryStore>(reinterpret_cast<HKEY>(userRoot), reinterpret_cast<HKEY>(machineRoot));
}

}  // namespace vitrine
