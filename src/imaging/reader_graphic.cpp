#include "imaging/reader_graphic.h"

#include "core/byte_reader.h"
#include "imaging/reader_input.h"

namespace vitrine {

void TReaderGraphic::LoadFromStream(Stream& stream) {
  image_.Reset(0, 0, PixelFormat::Xrgb8888);  // keeps the memory for the next picture
  ReaderInput input(stream);
  try {
    Decode(input.Bytes());
  } catch (const ByteReader::OutOfData&) {
    throw TruncatedError();
  }
}

}  // namespace vitrine
