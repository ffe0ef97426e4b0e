#include "imaging/reader_makers.h"

namespace vitrine {

std::unique_ptr<TReaderGraphic> CreateReader(int pictureType) {
  switch (pictureType) {
    case 3: return MakeSGIReader();
    case 4: return MakeAutodeskReader();
    case 5: return MakeTIFFReader();
    case 6: return MakeTargaReader();
    case 7: return MakePCXReader();
    case 8: return MakePCDReader();
    case 9: return MakePPMReader();
    case 10: return MakeCUTReader();
    case 11: return MakeGIFReader();
    case 12: return MakeRLAReader();
    case 13: return MakePSDReader();
    case 14: return MakePSPReader();
    case 15: return MakePNGReader();
    default: return nullptr;
  }
}

}  // namespace vitrine
