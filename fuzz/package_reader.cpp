// Fuzzes the package reader: a signed executable's certificate table, the index, the project
// record, item records and the data getters.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "core/errors.h"
#include "core/random.h"
#include "package/certificate_table.h"
#include "package/memory_file_system.h"
#include "package/project_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vitrine;
  MemoryFileSystem fs;
  fs.Files["/fuzz/saver.scr"] = std::vector<uint8_t>(data, data + size);
  RandomSeed(1);
  try {
    std::vector<uint8_t> player(data, data + size);
    StripCertificateTable(player);
  } catch (const Error&) {
  }
  try {
    TProjectInfo project("/fuzz/saver.scr", fs);
    project.ReadProject();
    project.ReadPictures();
    for (size_t i = 0; i < project.Pictures.size() && i < 8; ++i) {
      MemoryStream stream;
      int32_t type = 0;
      try {
        project.GetPictureStream(static_cast<int32_t>(i), stream, type);
        project.ExtractPictureFile(static_cast<int32_t>(i));
      } catch (const EListError&) {
      }
    }
    MemoryStream banner;
    int32_t type = 0;
    project.GetBannerStream(banner, type);
    for (size_t i = 0; i < project.MusicFiles.size() && i < 8; ++i) {
      try {
        project.ExtractMusic(static_cast<int32_t>(i));
      } catch (const EListError&) {
      }
    }
  } catch (const Error&) {
    // Conversion, list and file-creation errors are the reader's answers to bad input.
  }
  return 0;
}
