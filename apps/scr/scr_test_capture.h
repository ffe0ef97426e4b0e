#pragma once
// For the tests under Wine: with VITRINE_CAPTURE=FILE.bmp in the environment, the presented
// surface is saved once the show waits on its first item (its transition done) and at least
// VITRINE_CAPTURE_AFTER_MS milliseconds have passed. A headless render of the same package
// with the same VITRINE_SEED shows the same screen at that point.
// With VITRINE_CAPTURE_FLASH=FOLDER, every Flash item's frame as its control first draws it at
// the Flash window's size is saved as FOLDER/ITEM.bmp (the show's item index); of a movie of
// more than one frame, its first, middle and last frame too, reached with the control's
// GotoFrame, as FOLDER/ITEM-FRAME.bmp (0-based).
#include <memory>
#include <set>
#include <string>

#include "app/run_form.h"
#include "flash/flash_window_host.h"
#include "platform/event_loop.h"

namespace vitrine {

class TestCapture {
 public:
  TestCapture(EventLoop& loop, TfRun& form, FlashWindowHost& flash);

 private:
  void Check();
  void CheckFlash();

  EventLoop& loop_;
  TfRun& form_;
  std::string path_;
  uint64_t afterMs_ = 0;
  std::unique_ptr<Timer> timer_;
  FlashWindowHost& flash_;
  std::string flashFolder_;
  std::set<int32_t> flashCaptured_;
  std::unique_ptr<Timer> flashTimer_;
};

}  // namespace vitrine
