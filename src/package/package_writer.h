#pragma once
// Lays out a package (data areas, banner, music, records, index, trailer) for the tool that
// builds screen savers and for tests. The player itself only reads packages.
#include <cstdint>
#include <string>
#include <vector>

#include "core/errors.h"

namespace vitrine {

class EPackageBuildError : public Error {
 public:
  using Error::Error;
};

struct RecordField {
  uint8_t Key;
  std::string Value;  // Windows-1252 bytes
};
using PackageRecord = std::vector<RecordField>;

struct PackageContent {
  // One per picture record; empty for an item that is not embedded (its index entry is still
  // written, pointing at where its data would be).
  std::vector<std::vector<uint8_t>> ItemData;
  std::vector<uint8_t> Banner;
  // One per music index entry; with none, the single entry equals the picture-record start.
  std::vector<std::vector<uint8_t>> Music;
  std::vector<PackageRecord> PictureRecords;
  PackageRecord ProjectRecord;
};

// The package bytes for a file whose first prefixSize bytes are the player. Raises
// EPackageBuildError for what a reader could not read back: a value holding 0x00 or 0x80 (or
// 0x7F in a picture record), a key 0, 0x7F or 0x80, a record or index above 102,400 bytes,
// a file of 2 GiB or more, or item data without a picture record.
std::vector<uint8_t> BuildPackage(const PackageContent& content, int64_t prefixSize);

}  // namespace vitrine
