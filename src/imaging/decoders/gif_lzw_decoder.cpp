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

    int walk;
    int depth = 0;
    if (code < nextCode_) {
      walk = code;
    } else if (code == nextCode_ && nextCode_ < kTableSize) {
      // The string being defined by this very code: previous string plus its first byte.
      stack_[depth++] = firstByte_;
      walk = previous_;
    } else {
      throw Error(kInvalidOpcode);
    }
    while (walk >= clearCode_) {
      stack_[depth++] = suffix_[walk];
      walk = prefix_[walk];
    }
    if (walk > 255) throw Error(kInvalidOpcode);  // wide roots can't be pixels of a 256-colour table
    stack_[depth++] = uint8_t(walk);
    firstByte_ = uint8_t(walk);

    if (nextCode_ < kTableSize) {
      prefix_[nextCode_] = uint16_t(previous_);
      suffix_[nextCode_] = firstByte_;
      ++nextCode_;
      if (nextCode_ == (1 << codeSize_) && codeSize_ < kMaxCodeSize) ++codeSize_;
    }
    previous_ = code;

    const size_t n = std::min(size_t(depth), size_t(outEnd - out));
    for (size_t i = 0; i < n; ++i) *out++ = stack_[depth - 1 - i];
  }
done:
  source = in;
  dest = out;
}

}  // namespace vitrine
