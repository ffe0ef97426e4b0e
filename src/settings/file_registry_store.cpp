#include "settings/file_registry_store.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/text.h"

namespace vitrine {
namespace {

constexpr const char* kDwordTag = "REG_DWORD";
constexpr const char* kStringTag = "REG_SZ";

// Key and value names come from the package (the saver's name), so each becomes exactly one
// harmless file name: no separators, no "." or "..".
std::string SafeComponent(std::string_view name) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char c : name) {
    auto byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || byte == 0x7F || c == '/' || c == '%' || c == '\\') {
      out += '%';
      out += hex[byte >> 4];
      out += hex[byte & 15];
    } else {
      out += c;
    }
  }
  if (out == "." || out == "..") {
    std::string dots;
    for (size_t i = 0; i < out.size(); ++i) dots += "%2E";
    return dots;
  }
  return out;
}

}  // namespace

std::filesystem::path DefaultSettingsFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg) return std::filesystem::path(xdg) / "vitrine";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::filesystem::path(home) / ".config" / "vitrine";
  return {};
}

std::filesystem::path FileRegistryStore::KeyFolder(const std::string& keyPath) const {
  if (root_.empty()) return {};
  std::filesystem::path folder = root_;
  size_t start = 0;
  while (start <= keyPath.size()) {
    size_t end = keyPath.find('\\', start);
    if (end == std::string::npos) end = keyPath.size();
    if (end > start) folder /= SafeComponent(std::string_view(keyPath).substr(start, end - start));
    start = end + 1;
  }
  return folder;
}

bool FileRegistryStore::KeyExists(const std::string& keyPath) {
  std::error_code ec;
  auto folder = KeyFolder(keyPath);
  return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

bool FileRegistryStore::OpenKey(const std::string& keyPath, bool create) {
  open_.clear();
  auto folder = KeyFolder(keyPath);
  if (folder.empty()) return false;
  std::error_code ec;
  if (create) std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) return false;
  open_ = folder;
  return true;
}

bool FileRegistryStore::ReadValue(const std::string& name, std::string& type, std::string& data) {
  if (open_.empty()) return false;
  std::ifstream in(open_ / SafeComponent(name), std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  std::string content = all.str();
  size_t newline = content.find('\n');
  if (newline == std::string::npos) return false;
  type = content.substr(0, newline);
  data = content.substr(newline + 1);
  return true;
}

void FileRegistryStore::WriteValue(const std::string& name, const std::string& type, const std::string& data) {
  if (open_.empty()) throw SetDataFailed(name);
  std::ofstream out(open_ / SafeComponent(name), std::ios::binary | std::ios::trunc);
  out << type << '\n' << data;
  out.close();
  if (!out) throw SetDataFailed(name);
}

uint32_t FileRegistryStore::ReadDword(const std::string& name) {
  std::string type, data;
  if (!ReadValue(name, type, data)) throw GetDataFailed(name);
  if (type != kDwordTag) throw InvalidDataType(name);
  int32_t value = 0;
  // A damaged file is a value that can't be had, not a different type.
  if (!TryStrToInt(TrimControl(data), value)) throw GetDataFailed(name);
  return static_cast<uint32_t>(value);
}

std::string FileRegistryStore::ReadString(const std::string& name) {
  std::string type, data;
  if (!ReadValue(name, type, data)) return std::string();
  if (type != kStringTag) throw InvalidDataType(name);
  return data;
}

void FileRegistryStore::WriteDword(const std::string& name, uint32_t value) {
  WriteValue(name, kDwordTag, std::to_string(static_cast<int32_t>(value)));
}

void FileRegistryStore::WriteString(const std::string& name, const std::string& value) {
  WriteValue(name, kStringTag, value);
}

}  // namespace vitrine
