#include "transitions/cell_dissolve.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/random.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// The three base-6 digits of 0..215, lowest first, and a spare zero byte.
struct DigitGroups {
  uint8_t digits[216][4];
  constexpr DigitGroups() : digits() {
    for (int v = 0; v < 216; ++v) {
      digits[v][0] = uint8_t(v % 6);
      digits[v][1] = uint8_t(v / 6 % 6);
      digits[v][2] = uint8_t(v / 36);
    }
  }
};
constexpr DigitGroups kGroups{};

// A frame needs two draws of Random(6) per dot, some 660 000 at 1920 x 1080. One draw of
// Random(6^11) yields eleven independent uniform base-6 digits, which keeps the generator
// the only source while calling it eleven times less often. A frame starts a fresh die
// and leaves the unused digits of its last draw behind.
//
// The digits are unpacked a block of draws at a time, so that the walk reads them as bytes
// and asks for a new block almost never. When the frame ends, the draws of the last block
// that no roll reached are given back to the generator.
class SixSidedDie {
 public:
  SixSidedDie() = default;
  SixSidedDie(const SixSidedDie&) = delete;
  SixSidedDie& operator=(const SixSidedDie&) = delete;
  ~SixSidedDie() { GiveBackUnused(); }

  int32_t Roll() {
    if (next_ == end_) next_ = Refill(next_);
    return *next_++;
  }

  // For a walk that keeps its own cursor in a register: where the digits go on, where they
  // end, and Refill(cursor), which keeps the digit left at the cursor, if any, in front of
  // a new block and returns the new cursor. Hand the cursor back with Resume.
  const uint8_t* Cursor() const { return next_; }
  const uint8_t* End() const { return end_; }
  const uint8_t* Refill(const uint8_t* cursor);
  void Resume(const uint8_t* cursor) { next_ = cursor; }

 private:
  static constexpr int kDigits = 11;
  static constexpr int32_t kPoolRange = 362797056;  // 6^11
  static constexpr int kDrawsPerBlock = 32;

  void GiveBackUnused() {
    if (block_ == nullptr) return;
    const auto used = (std::max(next_ - block_, std::ptrdiff_t(0)) + kDigits - 1) / kDigits;
    RandomRestoreState(blockStart_);
    int32_t draws[kDrawsPerBlock];
    RandomFill(kPoolRange, draws, size_t(used));
  }

  // Digit k of a draw is draw / 6^k mod 6. The draw is split into four groups of three
  // digits, draw = a + 216 (b + 216 (c + 216 d)), whose digits come from a table; each
  // group is written four bytes wide over the start of the next, the last one's spare
  // bytes over the next draw's first digits or the buffer's slack.
  static void Unpack(uint32_t draw, uint8_t* out) {
    const uint32_t q1 = draw / 216, q2 = draw / (216 * 216), q3 = draw / (216 * 216 * 216);
    std::memcpy(out, kGroups.digits[draw - 216 * q1], 4);
    std::memcpy(out + 3, kGroups.digits[q1 - 216 * q2], 4);
    std::memcpy(out + 6, kGroups.digits[q2 - 216 * q3], 4);
    std::memcpy(out + 9, kGroups.digits[q3], 4);
  }

  uint8_t digits_[1 + kDrawsPerBlock * kDigits + 2];  // a digit kept over, the block, slack
  const uint8_t* next_ = nullptr;
  const uint8_t* end_ = nullptr;
  const uint8_t* block_ = nullptr;  // the first digit of the last block
  RandomState blockStart_{};
};

const uint8_t* SixSidedDie::Refill(const uint8_t* cursor) {
  const auto kept = end_ - cursor;  // 0 or 1
  if (kept > 0) digits_[0] = *cursor;
  uint8_t* block = digits_ + kept;
  blockStart_ = RandomSaveState();
  int32_t draws[kDrawsPerBlock];
  RandomFill(kPoolRange, draws, kDrawsPerBlock);
  for (int i = 0; i < kDrawsPerBlock; ++i) Unpack(static_cast<uint32_t>(draws[i]), block + i * kDigits);
  block_ = block;
  end_ = block + kDrawsPerBlock * kDigits;
  return digits_;
}

// One pass walks columns x = Position, then on by Random(6) steps, and down each column
// rows y = Phase, then on by Random(6) steps, with a dot at (x + Random(6), y). Walking a
// whole column before the next touches a different surface row on every dot; here every
// column walks through one band of rows before any walks the next band, each with its own
// draws, which gives the same pattern and keeps the rows of a band in the cache.
constexpr int32_t kBandRows = 16;

struct DotPass {
  std::vector<int32_t> columns;  // x of every column of the pass
  std::vector<int32_t> nextRow;  // where each column's walk goes on
};
DotPass gPass;

// Walks the pass band by band. band.Start(top, end) is told each band before its dots,
// band.Dot(x, y) each dot (x may lie past the right edge).
template <class Band>
void ScatterBands(SixSidedDie& die, int32_t height, Band& band) {
  const int32_t* const columns = gPass.columns.data();
  int32_t* const nextRow = gPass.nextRow.data();
  const size_t n = gPass.columns.size();
  const uint8_t* digit = die.Cursor();
  const uint8_t* end = die.End();
  for (int32_t top = 0; top < height; top += kBandRows) {
    const int32_t bottom = std::min(top + kBandRows, height);
    band.Start(top, bottom);
    for (size_t c = 0; c < n; ++c) {
      const int32_t x = columns[c];
      int32_t y = nextRow[c];
      while (y < bottom) {
        if (end - digit < 2) {
          digit = die.Refill(digit);
          end = die.End();
        }
        band.Dot(x + digit[0], y);
        y += digit[1];
        digit += 2;
      }
      nextRow[c] = y;
    }
  }
  die.Resume(digit);
}

// The dots of one of the Same modes, copied between raw rows: the band's rows of both
// pictures are looked up once, each surface row shifted so that index x is pixel x of the
// area. Offsets past the right edge fall outside the work bitmap and show nothing.
template <class Pixel>
class RawBand {
 public:
  explicit RawBand(PixelCopier& copier) : copier_(copier), visible_(copier.Visible()) {}

  void Start(int32_t top, int32_t bottom) {
    top_ = top;
    for (int32_t y = top; y < bottom; ++y) {
      if (y < visible_.top || y >= visible_.bottom) continue;
      dest_[y - top] = copier_.DestRow<Pixel>(y) + copier_.OriginX();
      src_[y - top] = copier_.SrcRow<Pixel>(y);
    }
  }
  void Dot(int32_t x, int32_t y) {
    if (visible_.Contains(x, y)) dest_[y - top_][x] = src_[y - top_][x];
  }

 private:
  PixelCopier& copier_;
  const Rect visible_;
  int32_t top_ = 0;
  Pixel* dest_[kBandRows] = {};
  const Pixel* src_[kBandRows] = {};
};

// Any other mode: pixel by pixel through the copier.
class CopierBand {
 public:
  explicit CopierBand(PixelCopier& copier) : copier_(copier) {}
  void Start(int32_t, int32_t) {}
  void Dot(int32_t x, int32_t y) { copier_.Pixel(x, y, x, y); }

 private:
  PixelCopier& copier_;
};

template <class Band>
void ScatterWith(SixSidedDie& die, int32_t height, PixelCopier& copier) {
  Band band(copier);
  ScatterBands(die, height, band);
}

void Scatter(int32_t firstX, int32_t firstY, int32_t width, int32_t height) {
  SixSidedDie die;
  gPass.columns.clear();
  for (int32_t x = firstX; x < width; x += die.Roll()) gPass.columns.push_back(x);
  gPass.nextRow.assign(gPass.columns.size(), firstY);
  PixelCopier copier;
  switch (copier.CopyMode()) {
    case PixelCopier::Mode::Same16: ScatterWith<RawBand<uint16_t>>(die, height, copier); break;
    case PixelCopier::Mode::Same32: ScatterWith<RawBand<uint32_t>>(die, height, copier); break;
    default: ScatterWith<CopierBand>(die, height, copier); break;
  }
}

}  // namespace

void SetupDissolve() {
}

bool DissolveFrame() {
  TransitionState& s = gTransition;
  if (s.Position > 5) {
    DrawWholeNew();
    std::vector<int32_t>().swap(gPass.columns);
    std::vector<int32_t>().swap(gPass.nextRow);
    return true;
  }
  if (s.Phase > 5) {
    s.Phase = 0;
    ++s.Position;
    return false;
  }
  Scatter(s.Position, s.Phase, s.PicWidth, s.PicHeight);
  ++s.Phase;
  return false;
}

}  // namespace vitrine
