#include "package/package_file.h"

#include <vector>

#include "core/text.h"

namespace vitrine {

bool OpenPackageFile(FileSystem& fs, const std::string& path, PackageHandle& handle) {
  handle = fs.OpenRead(path);
  return handle != nullptr;
}

bool GetPackageFileSize(ReadOnlyFile* handle, int64_t& size) {
  if (!handle) return false;
  int64_t s = handle->Size();
  if (s < 0) return false;
  size = s;
  return true;
}

bool CopyFileRange(ReadOnlyFile& file, int64_t offset, int64_t size, Stream& stream) {
  if (size <= 0) return true;
  if (offset < 0 || !file.Seek(offset)) return false;
  std::vector<uint8_t> buffer(static_cast<size_t>(kCopyBufferSize));
  int64_t total = 0;
  for (;;) {
    int64_t got = file.Read(buffer.data(), kCopyBufferSize);
    if (got < 0) return false;
    // A file that ends early would otherwise make this loop forever.
    if (got == 0) return false;
    total += got;
    if (total >= size) {
      int64_t keep = got - (total - size);
      stream.Write(buffer.data(), static_cast<size_t>(keep));
      return true;
    }
    stream.Write(buffer.data(), static_cast<size_t>(got));
  }
}

bool ReadPackageArea(ReadOnlyFile& file, int64_t start, int64_t end, int64_t maxLength, std::string& text) {
  int64_t fileSize = file.Size();
  if (fileSize < 0 || start < 0 || end < start || end > fileSize) return false;
  int64_t length = end - start;
  if (length > maxLength) return false;
  std::string buffer(static_cast<size_t>(length), '\0');
  if (length > 0) {
    if (!file.Seek(start)) return false;
    int64_t done = 0;
    while (done < length) {
      int64_t got = file.Read(buffer.data() + done, length - done);
      if (got <= 0) return false;
      done += got;
    }
  }
  size_t nul = buffer.find('\0');
  if (nul != std::string::npos) buffer.resize(nul);
  text = std::move(buffer);
  return true;
}

int32_t FieldInteger(std::string_view value) { return StrToInt(value); }

}  // namespace vitrine
