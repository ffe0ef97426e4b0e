#pragma once
// For the tests under Wine; inert (no timer, no file) unless its variables are set, and it
// only looks: it never calls into the show or the Flash control.
// With VITRINE_REPORT=FILE the saver appends a line to FILE when an item stands complete on
// the screen ("complete N", N its index in the cycle, once its transition has been presented)
// and when a Flash item's window has drawn its first frame ("flash N"), so that a test reads
// the screen at the right moment.
// With VITRINE_CAPTURE_FLASH=FOLDER each frame a Flash window draws, as the movie plays it,
// is saved once as FOLDER/ITEM-FRAME.bmp (the show's item index, the movie's 0-based frame).
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "app/run_form.h"
#include "platform/event_loop.h"

namespace vitrine {

class TestCapture {
 public:
  TestCapture(EventLoop& loop, TfRun& form);

 private:
  void Check();
  void Report(const std::string& line);
  void CheckFlash();

  TfRun& form_;
  std::string reportPath_;
  std::string flashFolder_;
  std::unique_ptr<Timer> timer_;
  bool waiting_ = false;
  int32_t flashReported_ = -1;
  std::set<std::pair<int32_t, uint32_t>> flashSaved_;
};

}  // namespace vitrine
