#pragma once
// zlib inflate behind the decoder interface, shared by the PNG and Paint Shop Pro readers.
// The caller feeds input piece by piece (PNG: one IDAT chunk at a time); Decode keeps
// inflate's result code for it instead of throwing.
#include <memory>

#include "imaging/decoders/decoder.h"

struct z_stream_s;

namespace vitrine {

class TLZ77Decoder final : public TDecoder {
 public:
  // flushMode is one of zlib's flush values (Z_NO_FLUSH, Z_SYNC_FLUSH, Z_FINISH ...).
  explicit TLZ77Decoder(int flushMode);
  ~TLZ77Decoder() override;
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  // Opens and closes the inflate stream; a failure raises "LZ77 decompression error.".
  void DecodeInit() override;
  void DecodeEnd() override;
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;

  // zlib's code from the last Decode (Z_OK, Z_STREAM_END, Z_DATA_ERROR, ...).
  int Result() const { return result_; }
  bool StreamEnded() const;
  // What the last Decode left unused of its source and destination ranges.
  size_t AvailableInput() const { return availableInput_; }
  size_t AvailableOutput() const { return availableOutput_; }

 private:
  std::unique_ptr<z_stream_s> stream_;
  int flushMode_;
  int result_;
  bool open_ = false;
  size_t availableInput_ = 0;
  size_t availableOutput_ = 0;
};

}  // namespace vitrine
