#include "imaging/decoders/lz77_decoder.h"

#include <zlib.h>

#include <algorithm>

#include "core/errors.h"

namespace vitrine {

namespace {
constexpr const char* kLZ77Error = "LZ77 decompression error.";
// zlib counts in uInt; larger ranges are fed in pieces of this size.
constexpr size_t kPiece = size_t(1) << 30;
}  // namespace

TLZ77Decoder::TLZ77Decoder(int flushMode) : stream_(std::make_unique<z_stream_s>()), flushMode_(flushMode), result_(Z_OK) {}

TLZ77Decoder::~TLZ77Decoder() {
  if (open_) inflateEnd(stream_.get());
}

void TLZ77Decoder::DecodeInit() {
  if (open_) inflateEnd(stream_.get());
  *stream_ = z_stream{};
  open_ = inflateInit(stream_.get()) == Z_OK;
  if (!open_) throw Error(kLZ77Error);
  result_ = Z_OK;
}

void TLZ77Decoder::DecodeEnd() {
  if (!open_) throw Error(kLZ77Error);
  open_ = false;
  if (inflateEnd(stream_.get()) != Z_OK) throw Error(kLZ77Error);
}

bool TLZ77Decoder::StreamEnded() const { return result_ == Z_STREAM_END; }

void TLZ77Decoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  if (!open_) throw Error(kLZ77Error);
  z_stream& z = *stream_;
  size_t inLeft = packedSize, outLeft = unpackedSize;
  for (;;) {
    const size_t inPiece = std::min(inLeft, kPiece), outPiece = std::min(outLeft, kPiece);
    z.next_in = const_cast<Bytef*>(source);
    z.avail_in = uInt(inPiece);
    z.next_out = dest;
    z.avail_out = uInt(outPiece);
    result_ = inflate(&z, flushMode_);
    const size_t usedIn = inPiece - z.avail_in, usedOut = outPiece - z.avail_out;
    source += usedIn;
    dest += usedOut;
    inLeft -= usedIn;
    outLeft -= usedOut;
    if (result_ != Z_OK || inLeft == 0 || outLeft == 0 || (usedIn == 0 && usedOut == 0)) break;
  }
  availableInput_ = inLeft;
  availableOutput_ = outLeft;
}

}  // namespace vitrine
