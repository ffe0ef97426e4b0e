// Readers still to be written. Each reader's own file defines its maker; remove its line
// here when it does. An unwritten reader reports its format as unsupported.
#include "core/errors.h"
#include "imaging/reader_makers.h"

namespace vitrine {
namespace {
class PendingReader final : public TReaderGraphic {
 public:
  explicit PendingReader(const char* name) : name_(name) {}
  void LoadFromStream(Stream&) override {
    throw EInvalidGraphic(std::string("Unsupported picture format: ") + name_ + " pictures are not read yet.");
  }

 private:
  const char* name_;
};
}  // namespace

std::unique_ptr<TReaderGraphic> MakeSGIReader() { return std::make_unique<PendingReader>("SGI"); }
std::unique_ptr<TReaderGraphic> MakeAutodeskReader() { return std::make_unique<PendingReader>("Autodesk"); }
std::unique_ptr<TReaderGraphic> MakeTIFFReader() { return std::make_unique<PendingReader>("TIFF"); }
std::unique_ptr<TReaderGraphic> MakeTargaReader() { return std::make_unique<PendingReader>("Targa"); }
std::unique_ptr<TReaderGraphic> MakePCXReader() { return std::make_unique<PendingReader>("PCX"); }
std::unique_ptr<TReaderGraphic> MakePCDReader() { return std::make_unique<PendingReader>("PCD"); }
std::unique_ptr<TReaderGraphic> MakePPMReader() { return std::make_unique<PendingReader>("PPM"); }
std::unique_ptr<TReaderGraphic> MakeCUTReader() { return std::make_unique<PendingReader>("CUT"); }
std::unique_ptr<TReaderGraphic> MakeGIFReader() { return std::make_unique<PendingReader>("GIF"); }
std::unique_ptr<TReaderGraphic> MakeRLAReader() { return std::make_unique<PendingReader>("RLA"); }
std::unique_ptr<TReaderGraphic> MakePSDReader() { return std::make_unique<PendingReader>("PSD"); }
std::unique_ptr<TReaderGraphic> MakePSPReader() { return std::make_unique<PendingReader>("PSP"); }
std::unique_ptr<TReaderGraphic> MakePNGReader() { return std::make_unique<PendingReader>("PNG"); }

}  // namespace vitrine
