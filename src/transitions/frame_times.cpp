#include "transitions/frame_times.h"

#include <algorithm>
#include <numeric>

namespace vitrine {

void FrameTimes::Record(size_t frame, double ms) {
  if (frame >= best_.size()) best_.resize(frame + 1, ms);
  best_[frame] = std::min(best_[frame], ms);
}

double FrameTimes::SlowestMs() const { return best_.empty() ? 0 : *std::max_element(best_.begin(), best_.end()); }

double FrameTimes::MedianMs() const {
  if (best_.empty()) return 0;
  std::vector<double> sorted = best_;
  const auto middle = sorted.begin() + std::ptrdiff_t(sorted.size() / 2);
  std::nth_element(sorted.begin(), middle, sorted.end());
  return *middle;
}

double FrameTimes::TotalMs() const { return std::accumulate(best_.begin(), best_.end(), 0.0); }

}  // namespace vitrine
