#pragma once
// For the tests under Wine: with VITRINE_CAPTURE=FILE.bmp in the environment, the presented
// surface is saved once the show waits on its first item (its transition done) and at least
// VITRINE_CAPTURE_AFTER_MS milliseconds have passed. A headless render of the same package
// with the same VITRINE_SEED shows the same screen at that point.
#include <memory>
#include <string>

#include "app/run_form.h"
#include "platform/event_loop.h"

namespace vitrine {

class TestCapture {
 public:
  TestCapture(EventLoop& loop, TfRun& form);

 private:
  void Check();

  EventLoop& loop_;
  TfRun& form_;
  std::string path_;
  uint64_t afterMs_ = 0;
  std::unique_ptr<Timer> timer_;
};

}  // namespace vitrine
