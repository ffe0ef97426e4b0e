#include "package/info_position.h"

#include <string>

#include "core/text.h"
#include "package/package_file.h"

namespace vitrine {

bool TInfoPosition::ReadPositions(ReadOnlyFile& file) {
  int64_t size = 0;
  if (!GetPackageFileSize(&file, size)) return false;
  if (size < kTrailerLength || size > kMaxPackageFileSize) return false;

  std::string trailer;
  if (!ReadPackageArea(file, size - kTrailerLength, size, kTrailerLength, trailer)) return false;
  int64_t length = StrToInt(TrimControl(trailer));
  if (length < 0 || length > kMaxIndexLength || length + kTrailerLength > size) return false;

  int64_t indexStart = size - (length + kTrailerLength);
  std::string index;
  if (!ReadPackageArea(file, indexStart, indexStart + length, kMaxIndexLength, index)) return false;
  IndexStart = static_cast<int32_t>(indexStart);
  ParsePositions(index);
  return true;
}

void TInfoPosition::ParsePositions(std::string_view text) {
  ForEachField(text, [this](uint8_t key, std::string_view value) {
    switch (key) {
      case '1':
      case '2':
      case '3':
        DataPositions.push_back(FieldInteger(value));
        break;
      case '4':
        MusicPositions.push_back(FieldInteger(value));
        break;
      case '5':
        PictureRecordsStart = FieldInteger(value);
        break;
      case '6':
        ProjectRecordStart = FieldInteger(value);
        break;
      default:
        break;
    }
  });
}

}  // namespace vitrine
