#pragma once
// With VITRINE_REPORT set, the player tells on its standard output when an item stands
// complete on the screen ("complete N", N its index in the cycle) and when the password
// prompt opens or closes ("prompt open", "prompt closed"), the same of the popup menu ("menu
// open", "menu closed"), and where the mouse-move rule
// measures from once a movement has set it ("mouse reference X,Y"), so that a test acts at
// the right moment. At the start it tells whether the system may blank the display while the
// show runs ("display may sleep" or "display kept awake"). Inert otherwise.
#include <memory>

#include "app/run_form.h"
#include "app/show_input.h"

namespace vitrine {

class ShowReport {
 public:
  ShowReport(EventLoop& loop, TfRun& form, const ShowInput& input, bool displayMaySleep);

 private:
  void Check();

  TfRun& form_;
  const ShowInput& input_;
  std::unique_ptr<Timer> timer_;
  bool waiting_ = false;
  bool prompt_ = false;
  bool menu_ = false;
  int32_t mouseX_ = -10, mouseY_ = 0;
};

}  // namespace vitrine
