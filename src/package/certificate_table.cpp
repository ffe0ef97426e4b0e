#include "package/certificate_table.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"

namespace vitrine {

namespace {

constexpr int64_t kNewHeaderPointer = 0x3C;      // e_lfanew in the DOS header
constexpr int64_t kFileHeaderSize = 20;          // the COFF header after "PE\0\0"
constexpr int64_t kSectionHeaderSize = 40;
constexpr uint16_t kPe32Magic = 0x10B, kPe32PlusMagic = 0x20B;
constexpr int64_t kSizeOfHeadersAt = 60;          // in the optional header, both kinds
constexpr int kSecurityDirectory = 4;
constexpr int64_t kDirectoryEntrySize = 8;
constexpr int64_t kMinimumTableSize = 8;          // one WIN_CERTIFICATE header
constexpr int64_t kTableAlignment = 8;

// Reads count bytes at offset, or fails when any of them lies outside the file.
bool ReadAt(ReadOnlyFile& file, int64_t fileSize, int64_t offset, void* out, int64_t count) {
  if (offset < 0 || count < 0 || offset > fileSize || count > fileSize - offset) return false;
  if (!file.Seek(offset)) return false;
  auto* bytes = static_cast<uint8_t*>(out);
  for (int64_t done = 0; done < count;) {
    int64_t got = file.Read(bytes + done, count - done);
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

bool ReadU16(ReadOnlyFile& file, int64_t fileSize, int64_t offset, uint32_t& value) {
  uint8_t b[2];
  if (!ReadAt(file, fileSize, offset, b, 2)) return false;
  value = b[0] | b[1] << 8;
  return true;
}

bool ReadU32(ReadOnlyFile& file, int64_t fileSize, int64_t offset, uint32_t& value) {
  uint8_t b[4];
  if (!ReadAt(file, fileSize, offset, b, 4)) return false;
  value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  return true;
}

class SpanFile final : public ReadOnlyFile {
 public:
  explicit SpanFile(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Seek(int64_t offset) override {
    if (offset < 0 || offset > Size()) return false;
    pos_ = offset;
    return true;
  }
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::clamp<int64_t>(Size() - pos_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }

 private:
  std::span<const uint8_t> bytes_;
  int64_t pos_ = 0;
};

class PrefixFile final : public ReadOnlyFile {
 public:
  PrefixFile(std::unique_ptr<ReadOnlyFile> file, int64_t end) : file_(std::move(file)), end_(end) {}
  int64_t Size() override { return end_; }
  bool Seek(int64_t offset) override {
    if (offset < 0 || offset > end_ || !file_->Seek(offset)) return false;
    pos_ = offset;
    return true;
  }
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::clamp<int64_t>(end_ - pos_, 0, std::max<int64_t>(count, 0));
    if (n == 0) return 0;
    int64_t got = file_->Read(buffer, n);
    if (got > 0) pos_ += got;
    return got;
  }

 private:
  std::unique_ptr<ReadOnlyFile> file_;
  int64_t end_;
  int64_t pos_ = 0;
};

}  // namespace

CertificateTable LocateCertificateTable(ReadOnlyFile& file) {
  CertificateTable t;
  const int64_t size = file.Size();
  t.PackageEnd = std::max<int64_t>(size, 0);
  if (size < 0) return t;

  char mz[2];
  uint32_t peAt = 0;
  if (!ReadAt(file, size, 0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return t;
  if (!ReadU32(file, size, kNewHeaderPointer, peAt)) return t;
  char pe[4];
  if (!ReadAt(file, size, peAt, pe, 4) || std::memcmp(pe, "PE\0\0", 4) != 0) return t;

  const int64_t fileHeader = int64_t(peAt) + 4;
  uint32_t sections = 0, optionalSize = 0, magic = 0;
  if (!ReadU16(file, size, fileHeader + 2, sections) || !ReadU16(file, size, fileHeader + 16, optionalSize)) return t;
  const int64_t optional = fileHeader + kFileHeaderSize;
  if (!ReadU16(file, size, optional, magic)) return t;
  int64_t countAt = 0;
  if (magic == kPe32Magic) countAt = 92;
  else if (magic == kPe32PlusMagic) countAt = 108;
  else return t;
  const int64_t directories = countAt + 4;
  const int64_t entry = directories + kSecurityDirectory * kDirectoryEntrySize;
  uint32_t directoryCount = 0, sizeOfHeaders = 0;
  if (int64_t(optionalSize) < entry + kDirectoryEntrySize) return t;
  if (!ReadU32(file, size, optional + countAt, directoryCount) || directoryCount <= kSecurityDirectory) return t;
  if (!ReadU32(file, size, optional + kSizeOfHeadersAt, sizeOfHeaders)) return t;

  uint32_t offset = 0, length = 0;
  if (!ReadU32(file, size, optional + entry, offset) || !ReadU32(file, size, optional + entry + 4, length)) return t;
  t.EntryOffset = optional + entry;
  t.HeadersEnd = std::max<int64_t>(optional + optionalSize + int64_t(sections) * kSectionHeaderSize, sizeOfHeaders);
  t.Offset = offset;
  t.Size = length;
  if (length == 0) return t;  // an empty entry: nothing is there

  const int64_t tableEnd = int64_t(offset) + int64_t(length);
  if (tableEnd > size) {
    t.State = CertificateTableState::Damaged;
    t.Damage = "points outside the file";
  } else if (int64_t(offset) < t.HeadersEnd) {
    t.State = CertificateTableState::Damaged;
    t.Damage = "overlaps the headers";
  } else if (length < kMinimumTableSize) {
    t.State = CertificateTableState::Damaged;
    t.Damage = "is too short to hold a certificate";
  } else if (tableEnd == size) {
    t.State = CertificateTableState::AtEnd;
    // A signer pads the file with zeros up to the table; a package's trailer ends in a digit.
    int64_t end = offset;
    uint8_t byte = 0;
    while (end > t.HeadersEnd && offset - end < kTableAlignment - 1 && ReadAt(file, size, end - 1, &byte, 1) &&
           byte == 0)
      --end;
    t.PackageEnd = end;
  } else {
    t.State = CertificateTableState::Inside;
  }
  return t;
}

CertificateTable LocateCertificateTable(std::span<const uint8_t> bytes) {
  SpanFile file(bytes);
  return LocateCertificateTable(file);
}

std::unique_ptr<ReadOnlyFile> FilePrefix(std::unique_ptr<ReadOnlyFile> file, int64_t end) {
  return std::make_unique<PrefixFile>(std::move(file), end);
}

bool StripCertificateTable(std::vector<uint8_t>& exe) {
  CertificateTable t = LocateCertificateTable(exe);
  if (t.State == CertificateTableState::Damaged)
    throw Error(t.DamageText());
  if (t.State != CertificateTableState::AtEnd) return false;
  exe.resize(static_cast<size_t>(t.Offset));
  std::fill_n(exe.begin() + t.EntryOffset, kDirectoryEntrySize, uint8_t{0});
  return true;
}

}  // namespace vitrine
