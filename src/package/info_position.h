#pragma once
// The package index in memory.
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/file_system.h"

namespace vitrine {

class TInfoPosition {
 public:
  std::vector<int32_t> DataPositions;   // entries 1, 2, 3 in order of appearance
  std::vector<int32_t> MusicPositions;  // entries 4
  int32_t PictureRecordsStart = 0;      // entry 5
  int32_t ProjectRecordStart = 0;       // entry 6
  int32_t IndexStart = 0;               // file size - L - 10

  // Reads the 10-byte trailer and the index before it. False, with every field left as it
  // was, when the file has no room for a trailer, is 2 GiB or more, or the trailer gives a
  // length below 0, above 102,400 or beyond the start of the file. A trailer or entry that is
  // not an integer raises EConvertError.
  bool ReadPositions(ReadOnlyFile& file);
  void ParsePositions(std::string_view text);
};

}  // namespace vitrine
