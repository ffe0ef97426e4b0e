#pragma once
// Frame times of one transition run several times over, from the same pictures and the same
// seed, so that every run draws the same frames: each frame counts with the smallest of its
// times. On a shared machine a frame preempted in one run then counts with its time from
// another, instead of standing as the slowest frame of the transition.
#include <cstddef>
#include <vector>

namespace vitrine {

class FrameTimes {
 public:
  // The time of frame `frame` (counted from 0) in the current run.
  void Record(size_t frame, double ms);

  size_t Frames() const { return best_.size(); }
  // Over the frames, each with its smallest time; 0 without frames.
  double SlowestMs() const;
  // The middle one (of two, the larger); 0 without frames.
  double MedianMs() const;
  double TotalMs() const;

 private:
  std::vector<double> best_;
};

}  // namespace vitrine
