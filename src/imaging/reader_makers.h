#pragma once
// One maker per reader, defined in that reader's own file; the factory maps type codes to them.
#include <memory>

#include "imaging/reader_graphic.h"

namespace vitrine {

std::unique_ptr<TReaderGraphic> MakeSGIReader();       // 3
std::unique_ptr<TReaderGraphic> MakeAutodeskReader();  // 4
std::unique_ptr<TReaderGraphic> MakeTIFFReader();      // 5
std::unique_ptr<TReaderGraphic> MakeTargaReader();     // 6
std::unique_ptr<TReaderGraphic> MakePCXReader();       // 7
std::unique_ptr<TReaderGraphic> MakePCDReader();       // 8
std::unique_ptr<TReaderGraphic> MakePPMReader();       // 9
std::unique_ptr<TReaderGraphic> MakeCUTReader();       // 10
std::unique_ptr<TReaderGraphic> MakeGIFReader();       // 11
std::unique_ptr<TReaderGraphic> MakeRLAReader();       // 12
std::unique_ptr<TReaderGraphic> MakePSDReader();       // 13
std::unique_ptr<TReaderGraphic> MakePSPReader();       // 14
std::unique_ptr<TReaderGraphic> MakePNGReader();       // 15

}  // namespace vitrine
