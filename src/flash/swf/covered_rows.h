#pragma once
// The pixels of a band's rows that something drawn later covers whole with an opaque colour:
// what lies beneath them can never be seen. A bit stands for a block of eight pixels, set
// when the whole block is covered: a row of a few words, so that marking a run and finding
// the open stretches of another take a word or two, however many shapes cross the row. Up to
// seven pixels at either end of a covered stretch count as open.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace vitrine::swf {

class CoveredRows {
 public:
  // Rows top .. top+rows-1 of pixels 0 .. width-1, none of them covered.
  void Reset(int32_t top, int32_t rows, int32_t width) {
    top_ = top;
    rows_ = std::max(rows, 0);
    width_ = std::max(width, 0);
    words_ = size_t(width_ + kBlock * 64 - 1) / (kBlock * 64);
    bits_.assign(size_t(rows_) * words_, 0);
  }

  // Pixels x .. x+count-1 of row y are covered from now on; what lies outside the rows and
  // pixels given to Reset is left out.
  void Cover(int32_t y, int32_t x, int32_t count) {
    uint64_t* row = Row(y);
    if (!row) return;
    // The blocks wholly inside the run.
    const int32_t begin = (std::max(x, 0) + kBlock - 1) / kBlock;
    const int32_t end = int32_t(std::clamp(int64_t(x) + count, int64_t(0), int64_t(width_)) / kBlock);
    if (begin >= end) return;
    const int32_t first = begin >> 6, last = (end - 1) >> 6;
    const uint64_t head = ~uint64_t(0) << (begin & 63), tail = ~uint64_t(0) >> (63 - ((end - 1) & 63));
    if (first == last) {
      row[first] |= head & tail;
      return;
    }
    row[first] |= head;
    for (int32_t i = first + 1; i < last; ++i) row[i] = ~uint64_t(0);
    row[last] |= tail;
  }

  // Calls open(x, count) for each stretch of pixels x .. x+count-1 of row y not covered, left
  // to right.
  template <class Open>
  void ForEachOpen(int32_t y, int32_t x, int32_t count, Open&& open) const {
    if (count <= 0) return;
    const uint64_t* row = Row(y);
    if (!row || x < 0 || int64_t(x) + count > width_) {
      open(x, count);
      return;
    }
    const int32_t end = x + count;
    // The blocks the run touches, and the open ones among them back in pixels.
    const int32_t last = (end + kBlock - 1) / kBlock;
    int32_t block = x / kBlock;
    if (block >> 6 == (last - 1) >> 6) {
      // Within one word, as most runs are: open or hidden whole at a glance.
      const uint64_t blocks = ~uint64_t(0) >> (64 - (last - block));
      const uint64_t covered = (row[block >> 6] >> (block & 63)) & blocks;
      if (covered == 0) {
        open(x, count);
        return;
      }
      if (covered == blocks) return;
    }
    while (block < last) {
      const int32_t covered = Next(row, block, last, 0);
      if (covered > block) {
        const int32_t from = std::max(x, block * kBlock), to = std::min(end, covered * kBlock);
        open(from, to - from);
      }
      if (covered >= last) return;
      block = Next(row, covered, last, ~uint64_t(0));
    }
  }

 private:
  uint64_t* Row(int32_t y) {
    return y >= top_ && y - top_ < rows_ ? bits_.data() + size_t(y - top_) * words_ : nullptr;
  }
  const uint64_t* Row(int32_t y) const {
    return y >= top_ && y - top_ < rows_ ? bits_.data() + size_t(y - top_) * words_ : nullptr;
  }
  static constexpr int32_t kBlock = 8;

  // The first block from x on (before end) whose bit differs from flip's, or end.
  static int32_t Next(const uint64_t* row, int32_t x, int32_t end, uint64_t flip) {
    int32_t i = x >> 6;
    uint64_t word = (row[i] ^ flip) & (~uint64_t(0) << (x & 63));
    while (word == 0) {
      if (++i << 6 >= end) return end;
      word = row[i] ^ flip;
    }
    return std::min(end, (i << 6) + __builtin_ctzll(word));
  }

  int32_t top_ = 0, rows_ = 0, width_ = 0;
  size_t words_ = 0;
  std::vector<uint64_t> bits_;
};

}  // namespace vitrine::swf
