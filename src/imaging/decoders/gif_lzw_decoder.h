#pragma once
// GIF's variable-length LZW: codes of 3..12 bits packed LSB first, a clear and an end code
// after the roots, and a 4096-entry string table kept as prefix/suffix pairs with their lengths. A full table
// is not an error: codes stay 12 bits wide until the next clear.
#include <cstdint>

#include "imaging/decoders/decoder.h"

namespace vitrine {

class TGIFLZWDecoder final : public TDecoder {
 public:
  static constexpr int kTableSize = 4096;

  // minimumCodeSize is the byte in front of the image data: 2..8 in practice, up to 11 in
  // files that start with 12-bit codes; roots past 255 are refused as they are decoded.
  explicit TGIFLZWDecoder(int minimumCodeSize);

  void DecodeInit() override;
  // Decodes codes until the end code, the end of the source or a full destination. A code
  // past the table raises "GIF LZW: invalid opcode.".
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;

  bool EndCodeSeen() const { return ended_; }

 private:
  void ResetTable();
  void AddEntry(uint8_t last);

  int minimumCodeSize_;
  int clearCode_;
  int endCode_;
  int codeSize_ = 0;
  int nextCode_ = 0;
  int previous_ = -1;
  uint8_t firstByte_ = 0;
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
  bool ended_ = false;

  uint16_t prefix_[kTableSize];
  uint8_t suffix_[kTableSize];
  uint16_t length_[kTableSize];
};

}  // namespace vitrine
