#pragma once
// The package appended to the executable: opening it, copying byte ranges out of it, and the
// one key/value field loop shared by the index, the project record and the picture records.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/file_system.h"
#include "core/stream.h"

namespace vitrine {

constexpr uint8_t kFieldTerminator = 0x80;
constexpr uint8_t kRecordTerminator = 0x7F;
constexpr int64_t kTrailerLength = 10;
// The index and the project record are read into fixed buffers of this many bytes (+1).
constexpr int64_t kMaxIndexLength = 102400;
constexpr int64_t kMaxProjectRecordLength = 102400;
constexpr int64_t kCopyBufferSize = 409600;
// Offsets and sizes are 32-bit signed, so the whole file stays below 2 GiB.
constexpr int64_t kMaxPackageFileSize = INT32_MAX;

using PackageHandle = std::unique_ptr<ReadOnlyFile>;

// Opens the file read-only (shared for reading); false when it doesn't exist or can't be opened.
bool OpenPackageFile(FileSystem& fs, const std::string& path, PackageHandle& handle);
// False when there is no handle or its size can't be had.
bool GetPackageFileSize(ReadOnlyFile* handle, int64_t& size);

// Appends size bytes of the file from offset to the end of stream, through one 409,600-byte
// buffer. size <= 0 copies nothing and succeeds. A failed seek or read, or a file that ends
// before size bytes were copied, returns false; what was already appended stays.
bool CopyFileRange(ReadOnlyFile& file, int64_t offset, int64_t size, Stream& stream);

// Reads the bytes [start, end) of the file as text, cut at the first NUL (areas are handled as
// NUL-terminated strings). False, with text untouched, when the range is not inside the file,
// is longer than maxLength, or the read fails.
bool ReadPackageArea(ReadOnlyFile& file, int64_t start, int64_t end, int64_t maxLength, std::string& text);

// The field loop: for each run of "key byte, value bytes, 0x80" calls handler(key, value).
// Text after the last 0x80 is ignored. A terminator with no key byte before it is skipped.
template <class Handler>
void ForEachField(std::string_view text, Handler&& handler) {
  for (;;) {
    size_t end = text.find(static_cast<char>(kFieldTerminator));
    if (end == std::string_view::npos) return;
    if (end > 0) handler(static_cast<uint8_t>(text[0]), text.substr(1, end - 1));
    text.remove_prefix(end + 1);
  }
}

// Value encodings of the records.
int32_t FieldInteger(std::string_view value);  // raises EConvertError naming the text
inline bool FieldBoolean(std::string_view value) { return value == "1"; }

}  // namespace vitrine
