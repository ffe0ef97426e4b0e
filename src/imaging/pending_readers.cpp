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


}  // namespace vitrine
