#include "package/package_writer.h"

#include "package/package_file.h"

namespace vitrine {
namespace {

void AppendRecord(std::vector<uint8_t>& out, const PackageRecord& record, bool pictureRecord, const char* what) {
  for (const RecordField& field : record) {
    uint8_t key = field.Key;
    if (key == 0 || key == kFieldTerminator || key == kRecordTerminator)
      throw EPackageBuildError(std::string(what) + ": key " + std::to_string(key) + " cannot be stored");
    for (char c : field.Value) {
      auto byte = static_cast<uint8_t>(c);
      if (byte == 0 || byte == kFieldTerminator || (pictureRecord && byte == kRecordTerminator))
        throw EPackageBuildError(std::string(what) + ": the value of key " + std::to_string(key) +
                                 " holds a byte that cannot be stored");
    }
    out.push_back(key);
    out.insert(out.end(), field.Value.begin(), field.Value.end());
    out.push_back(kFieldTerminator);
  }
  out.push_back(kRecordTerminator);
}

void AppendEntry(std::string& index, char key, int64_t offset) {
  index += key;
  index += std::to_string(offset);
  index += static_cast<char>(kFieldTerminator);
}

}  // namespace

std::vector<uint8_t> BuildPackage(const PackageContent& content, int64_t prefixSize) {
  if (content.ItemData.size() > content.PictureRecords.size())
    throw EPackageBuildError("more item data than picture records");
  // Checked before anything is copied: a 32-bit build can't hold 2 GiB in memory anyway.
  int64_t dataSize = prefixSize + static_cast<int64_t>(content.Banner.size());
  for (const auto& data : content.ItemData) dataSize += static_cast<int64_t>(data.size());
  for (const auto& data : content.Music) dataSize += static_cast<int64_t>(data.size());
  if (dataSize > kMaxPackageFileSize) throw EPackageBuildError("the file would be 2 GiB or larger");

  std::vector<uint8_t> out;
  std::string index;
  auto here = [&] { return prefixSize + static_cast<int64_t>(out.size()); };

  for (size_t i = 0; i < content.PictureRecords.size(); ++i) {
    AppendEntry(index, '1', here());
    if (i < content.ItemData.size()) out.insert(out.end(), content.ItemData[i].begin(), content.ItemData[i].end());
  }
  AppendEntry(index, '2', here());
  out.insert(out.end(), content.Banner.begin(), content.Banner.end());
  AppendEntry(index, '3', here());
  std::string musicEntries;
  for (const auto& music : content.Music) {
    AppendEntry(musicEntries, '4', here());
    out.insert(out.end(), music.begin(), music.end());
  }
  if (content.Music.empty()) AppendEntry(musicEntries, '4', here());
  index += musicEntries;

  AppendEntry(index, '5', here());
  for (size_t i = 0; i < content.PictureRecords.size(); ++i)
    AppendRecord(out, content.PictureRecords[i], true, ("picture record " + std::to_string(i)).c_str());
  int64_t projectStart = here();
  AppendEntry(index, '6', projectStart);
  AppendRecord(out, content.ProjectRecord, false, "project record");
  if (here() - projectStart > kMaxProjectRecordLength)
    throw EPackageBuildError("the project record is larger than 102400 bytes");
  if (static_cast<int64_t>(index.size()) > kMaxIndexLength)
    throw EPackageBuildError("the index is larger than 102400 bytes");

  out.insert(out.end(), index.begin(), index.end());
  std::string length = std::to_string(index.size());
  out.insert(out.end(), static_cast<size_t>(kTrailerLength) - length.size(), ' ');
  out.insert(out.end(), length.begin(), length.end());
  if (here() > kMaxPackageFileSize) throw EPackageBuildError("the file would be 2 GiB or larger");
  return out;
}

}  // namespace vitrine
