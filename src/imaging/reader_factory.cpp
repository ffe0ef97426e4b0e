// The readers by picture type code. A new format is one reader class and one row here.
#include <array>

#include "imaging/autodesk_reader.h"
#include "imaging/cut_reader.h"
#include "imaging/gif_reader.h"
#include "imaging/pcd_reader.h"
#include "imaging/pcx_reader.h"
#include "imaging/png_reader.h"
#include "imaging/ppm_reader.h"
#include "imaging/psd_reader.h"
#include "imaging/psp_reader.h"
#include "imaging/rla_reader.h"
#include "imaging/sgi_reader.h"
#include "imaging/targa_reader.h"
#include "imaging/tiff_reader.h"

namespace vitrine {
namespace {

template <typename Reader>
std::unique_ptr<TReaderGraphic> Make() {
  return std::make_unique<Reader>();
}

struct ReaderRow {
  int pictureType;
  std::unique_ptr<TReaderGraphic> (*make)();
};

constexpr std::array<ReaderRow, 13> kReaders = {{
    {3, Make<TSGIGraphic>},
    {4, Make<TAutodeskGraphic>},
    {5, Make<TTIFFGraphic>},
    {6, Make<TTargaGraphic>},
    {7, Make<TPCXGraphic>},
    {8, Make<TPCDGraphic>},
    {9, Make<TPPMGraphic>},
    {10, Make<TCUTGraphic>},
    {11, Make<TGIFGraphic>},
    {12, Make<TRLAGraphic>},
    {13, Make<TPSDGraphic>},
    {14, Make<TPSPGraphic>},
    {15, Make<TPNGGraphic>},
}};

}  // namespace

std::unique_ptr<TReaderGraphic> CreateReader(int pictureType) {
  for (const ReaderRow& row : kReaders)
    if (row.pictureType == pictureType) return row.make();
  return nullptr;
}

}  // namespace vitrine
