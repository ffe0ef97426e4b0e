#include "core/lzma.h"

#include <algorithm>
#include <array>

namespace vitrine {

namespace {

constexpr int kNumStates = 12;
constexpr int kPosStatesMax = 1 << 4;
constexpr int kEndPosModelIndex = 14;
constexpr int kNumFullDistances = 1 << (kEndPosModelIndex >> 1);
constexpr int kMatchMinLen = 2;
constexpr uint16_t kProbInit = 1024;  // one half, in 11-bit probabilities

class RangeDecoder {
 public:
  explicit RangeDecoder(std::span<const uint8_t> in) : in_(in) {
    // The first byte is always zero; the next four start the code.
    if (Byte() != 0) corrupt_ = true;
    for (int i = 0; i < 4; ++i) code_ = code_ << 8 | Byte();
    if (code_ == range_) corrupt_ = true;
  }
  bool Corrupt() const { return corrupt_; }
  bool CutShort() const { return cutShort_; }
  bool Finished() const { return code_ == 0; }

  uint32_t Bit(uint16_t& prob) {
    uint32_t bound = (range_ >> 11) * prob;
    uint32_t bit;
    if (code_ < bound) {
      prob = uint16_t(prob + ((2048 - prob) >> 5));
      range_ = bound;
      bit = 0;
    } else {
      prob = uint16_t(prob - (prob >> 5));
      code_ -= bound;
      range_ -= bound;
      bit = 1;
    }
    Normalize();
    return bit;
  }
  uint32_t Direct(int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
      range_ >>= 1;
      uint32_t bit = code_ >= range_ ? 1 : 0;
      if (bit) code_ -= range_;
      v = v << 1 | bit;
      Normalize();
    }
    return v;
  }
  // probs holds 1 << bits entries (the first unused).
  uint32_t Tree(uint16_t* probs, int bits) {
    uint32_t m = 1;
    for (int i = 0; i < bits; ++i) m = m << 1 | Bit(probs[m]);
    return m - (1u << bits);
  }
  uint32_t ReverseTree(uint16_t* probs, int bits) {
    uint32_t m = 1, symbol = 0;
    for (int i = 0; i < bits; ++i) {
      uint32_t bit = Bit(probs[m]);
      m = m << 1 | bit;
      symbol |= bit << i;
    }
    return symbol;
  }

 private:
  uint8_t Byte() {
    if (pos_ >= in_.size()) {
      cutShort_ = true;
      return 0;
    }
    return in_[pos_++];
  }
  void Normalize() {
    if (range_ < (1u << 24)) {
      range_ <<= 8;
      code_ = code_ << 8 | Byte();
    }
  }

  std::span<const uint8_t> in_;
  size_t pos_ = 0;
  uint32_t range_ = 0xFFFFFFFF, code_ = 0;
  bool corrupt_ = false, cutShort_ = false;
};

struct LengthDecoder {
  uint16_t choice = kProbInit, choice2 = kProbInit;
  std::array<uint16_t, kPosStatesMax << 3> low;
  std::array<uint16_t, kPosStatesMax << 3> mid;
  std::array<uint16_t, 1 << 8> high;
  LengthDecoder() {
    low.fill(kProbInit);
    mid.fill(kProbInit);
    high.fill(kProbInit);
  }
  uint32_t Decode(RangeDecoder& rc, uint32_t posState) {
    if (!rc.Bit(choice)) return rc.Tree(low.data() + (posState << 3), 3);
    if (!rc.Bit(choice2)) return 8 + rc.Tree(mid.data() + (posState << 3), 3);
    return 16 + rc.Tree(high.data(), 8);
  }
};

}  // namespace

LzmaStatus LzmaDecode(std::span<const uint8_t> properties, std::span<const uint8_t> stream, size_t outSize,
                      std::vector<uint8_t>& out) {
  out.clear();
  if (properties.size() < 5 || properties[0] >= 9 * 5 * 5) return LzmaStatus::Corrupt;
  const uint32_t lc = properties[0] % 9, lp = properties[0] / 9 % 5, pb = properties[0] / 45;
  // The declared size is believed only so far; beyond it the output grows as data comes.
  out.reserve(std::min<size_t>(outSize, 1u << 20));

  std::vector<uint16_t> literals(size_t(0x300) << (lc + lp), kProbInit);
  std::array<uint16_t, kNumStates << 4> isMatch, isRep0Long;
  std::array<uint16_t, kNumStates> isRep, isRepG0, isRepG1, isRepG2;
  std::array<uint16_t, 4 << 6> posSlot;
  std::array<uint16_t, 1 + kNumFullDistances - kEndPosModelIndex> posSpecial;
  std::array<uint16_t, 1 << 4> align;
  for (auto* a : {&isMatch, &isRep0Long}) a->fill(kProbInit);
  for (auto* a : {&isRep, &isRepG0, &isRepG1, &isRepG2}) a->fill(kProbInit);
  posSlot.fill(kProbInit);
  posSpecial.fill(kProbInit);
  align.fill(kProbInit);
  LengthDecoder lengths, repLengths;

  RangeDecoder rc(stream);
  if (rc.Corrupt()) return LzmaStatus::Corrupt;
  uint32_t rep0 = 0, rep1 = 0, rep2 = 0, rep3 = 0;
  uint32_t state = 0;
  const uint32_t pbMask = (1u << pb) - 1, lpMask = (1u << lp) - 1;

  auto status = [&](LzmaStatus ok) {
    if (rc.CutShort()) return LzmaStatus::CutShort;
    return ok;
  };
  while (out.size() < outSize) {
    if (rc.CutShort()) return LzmaStatus::CutShort;
    const uint32_t posState = uint32_t(out.size()) & pbMask;
    if (!rc.Bit(isMatch[(state << 4) + posState])) {
      // A literal, coded in the context of the byte before it (and, after a match, of the
      // byte the last match would have brought next).
      uint8_t previous = out.empty() ? 0 : out.back();
      size_t base = size_t(0x300) * (((uint32_t(out.size()) & lpMask) << lc) + (previous >> (8 - lc)));
      uint16_t* probs = literals.data() + base;
      uint32_t symbol = 1;
      if (state >= 7 && rep0 < out.size()) {
        uint32_t matchByte = out[out.size() - rep0 - 1];
        do {
          uint32_t matchBit = (matchByte >> 7) & 1;
          matchByte <<= 1;
          uint32_t bit = rc.Bit(probs[((1 + matchBit) << 8) + symbol]);
          symbol = symbol << 1 | bit;
          if (matchBit != bit) break;
        } while (symbol < 0x100);
      }
      while (symbol < 0x100) symbol = symbol << 1 | rc.Bit(probs[symbol]);
      out.push_back(uint8_t(symbol - 0x100));
      state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
      continue;
    }
    uint32_t length;
    if (rc.Bit(isRep[state])) {
      if (out.empty()) return status(LzmaStatus::Corrupt);
      if (!rc.Bit(isRepG0[state])) {
        if (!rc.Bit(isRep0Long[(state << 4) + posState])) {
          // One byte from the last distance.
          if (rep0 >= out.size()) return status(LzmaStatus::Corrupt);
          state = state < 7 ? 9 : 11;
          out.push_back(out[out.size() - rep0 - 1]);
          continue;
        }
      } else {
        uint32_t distance;
        if (!rc.Bit(isRepG1[state])) {
          distance = rep1;
        } else {
          if (!rc.Bit(isRepG2[state])) {
            distance = rep2;
          } else {
            distance = rep3;
            rep3 = rep2;
          }
          rep2 = rep1;
        }
        rep1 = rep0;
        rep0 = distance;
      }
      length = repLengths.Decode(rc, posState);
      state = state < 7 ? 8 : 11;
    } else {
      rep3 = rep2;
      rep2 = rep1;
      rep1 = rep0;
      length = lengths.Decode(rc, posState);
      state = state < 7 ? 7 : 10;
      uint32_t lenState = std::min<uint32_t>(length, 3);
      uint32_t slot = rc.Tree(posSlot.data() + (lenState << 6), 6);
      uint32_t distance = slot;
      if (slot >= 4) {
        int directBits = int(slot >> 1) - 1;
        distance = (2 | (slot & 1)) << directBits;
        if (slot < kEndPosModelIndex) {
          distance += rc.ReverseTree(posSpecial.data() + (distance - slot), directBits);
        } else {
          distance += rc.Direct(directBits - 4) << 4;
          distance += rc.ReverseTree(align.data(), 4);
        }
      }
      if (distance == 0xFFFFFFFF) {
        // The end marker.
        return status(rc.Finished() ? LzmaStatus::Done : LzmaStatus::Corrupt);
      }
      rep0 = distance;
    }
    length += kMatchMinLen;
    if (rep0 >= out.size()) return status(LzmaStatus::Corrupt);
    size_t from = out.size() - rep0 - 1;
    for (uint32_t i = 0; i < length && out.size() < outSize; ++i) out.push_back(out[from + i]);
  }
  return status(LzmaStatus::Done);
}

}  // namespace vitrine
