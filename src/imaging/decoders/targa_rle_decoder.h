#pragma once
// Targa run-length packets: a header byte whose top bit marks a run of one repeated pixel,
// its low seven bits the pixel count less one. Packets may run across rows, so the whole
// image is decoded as one stream.
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TTargaRLEDecoder final : public TDecoder {
 public:
  explicit TTargaRLEDecoder(int bitsPerPixel) : pixelBytes_(size_t((bitsPerPixel + 7) / 8)) {}
  // Stops when the destination is full (a packet running past it is cut) or the source ends.
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;

 private:
  size_t pixelBytes_;
};

}  // namespace vitrine
