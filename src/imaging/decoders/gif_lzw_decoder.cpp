#include "imaging/decoders/gif_lzw_decoder.h"

#include <algorithm>

#include "core/errors.h"

namespace vitrine {

namespace {
constexpr const char* kInvalidOpcode = "GIF LZW: invalid opcode.";
constexpr int kMaxCodeSize = 12;
}  // namespace

TGIFLZWDecoder::TGIFLZWDecoder(int minimumCodeSize)
    : minimumCodeSize_(std::clamp(minimumCodeSize, 1, kMaxCodeSize - 1)),
      clearCode_(1 << minimumCodeSize_),
      endCode_(clearCode_ + 1) {
  for (int i = 0; i < kTableSize; ++i) {
    prefix_[i] = 0;
    suffix_[i] = uint8_t(i);
    length_[i] = 1;
  }
  DecodeInit();
}

void TGIFLZWDecoder::DecodeInit() {
  ResetTable();
  bitBuffer_ = 0;
  bitCount_ = 0;
  ended_ = false;
}

void TGIFLZWDecoder::ResetTable() {
  codeSize_ = minimumCodeSize_ + 1;
  nextCode_ = clearCode_ + 2;
  previous_ = -1;
}

void TGIFLZWDecoder::AddEntry(uint8_t last) {
  prefix_[nextCode_] = uint16_t(previous_);
  suffix_[nextCode_] = last;
  length_[nextCode_] = uint16_t(length_[previous_] + 1);
  ++nextCode_;
  if (nextCode_ == (1 << codeSize_) && codeSize_ < kMaxCodeSize) ++codeSize_;
}

void TGIFLZWDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  const uint8_t* in = source;
  const uint8_t* const inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* const outEnd = dest + unpackedSize;

  while (!ended_ && out < outEnd) {
    while (bitCount_ < codeSize_) {
      if (in == inEnd) goto done;
      bitBuffer_ |= uint32_t(*in++) << bitCount_;
      bitCount_ += 8;
    }
    const int code = int(bitBuffer_ & ((1u << codeSize_) - 1));
    bitBuffer_ >>= codeSize_;
    bitCount_ -= codeSize_;

    if (code == clearCode_) {
      ResetTable();
      continue;
    }
    if (code == endCode_) {
      ended_ = true;
      break;
    }
    if (previous_ < 0) {
      // First code after a clear (or at the very start): a root, adds nothing.
      if (code > clearCode_ || code > 255) throw Error(kInvalidOpcode);
      *out++ = uint8_t(code);
      firstByte_ = uint8_t(code);
      previous_ = code;
      continue;
    }

    // Strings are written straight to their place, last byte first, by walking the
    // prefix chain; bytes that would land past the destination are dropped.
    if (code > nextCode_ || (code == nextCode_ && nextCode_ >= kTableSize)) throw Error(kInvalidOpcode);
    const bool defining = code == nextCode_;
    if (defining) AddEntry(firstByte_);  // the string being defined: previous plus its first byte
    const size_t length = length_[code], room = size_t(outEnd - out);
    size_t at = length - 1;
    int walk = code;
    while (walk >= clearCode_) {
      if (at < room) out[at] = suffix_[walk];
      --at;
      walk = prefix_[walk];
    }
    if (walk > 255) throw Error(kInvalidOpcode);  // wide roots can't be pixels of a 256-colour table
    *out = uint8_t(walk);
    firstByte_ = uint8_t(walk);
    if (!defining && nextCode_ < kTableSize) AddEntry(firstByte_);
    previous_ = code;
    out += std::min(length, room);
  }
done:
  source = in;
  dest = out;
}

}  // namespace vitrine
