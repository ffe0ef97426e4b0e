#include "core/file_system.h"

namespace vitrine {

namespace {
size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/:"); }
}  // namespace

std::string ExtractFileName(const std::string& path) {
  size_t at = LastSeparator(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ExtractFileDir(const std::string& path) {
  size_t at = LastSeparator(path);
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t at = path.find_last_of(".\\/:");
  if (at == std::string::npos || path[at] != '.') return std::string();
  return path.substr(at);
}

}  // namespace vitrine
