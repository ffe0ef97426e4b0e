#pragma once
// Dr. Halo CUT pictures: 8-bit palette indices in run-length rows, with the palette in a
// .pal file beside the picture. Read from the package (no file beside it), or without a
// palette file, the picture gets a 256-step grey ramp.
#include <string>

#include "core/file_system.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TCUTGraphic final : public TReaderGraphic {
 public:
  TCUTGraphic() : TReaderGraphic("CUT") {}
  // Loads the file and takes its palette from the file of the same name ending in ".pal".
  void LoadFromFile(const std::string& fileName, FileSystem& files);
  void LoadFromFile(const std::string& fileName) { LoadFromFile(fileName, NativeFileSystem()); }

  // The palette file LoadFromStream looks for; empty for pictures read from a stream.
  std::string PaletteFileName;

 private:
  void Decode(std::span<const uint8_t> file) override;
  FileSystem* files_ = nullptr;
};

}  // namespace vitrine
