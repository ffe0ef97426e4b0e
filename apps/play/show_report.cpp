#include "apps/play/show_report.h"

#include <cstdio>
#include <cstdlib>

namespace vitrine {

ShowReport::ShowReport(EventLoop& loop, TfRun& form, const ShowInput& input, bool displayMaySleep)
    : form_(form), input_(input) {
  const char* on = std::getenv("VITRINE_REPORT");
  if (!on || !*on) return;
  std::printf(displayMaySleep ? "display may sleep\n" : "display kept awake\n");
  std::fflush(stdout);
  // Checked after the frame that finished a transition has been presented.
  timer_ = loop.CreateTimer(20, [this] { Check(); });
  timer_->SetEnabled(true);
}

void ShowReport::Check() {
  bool waiting = form_.ItemStandsComplete();
  if (waiting && !waiting_) std::printf("complete %d\n", form_.CurrentIndex);
  waiting_ = waiting;
  bool prompt = input_.Prompt() != nullptr;
  if (prompt != prompt_) std::printf(prompt ? "prompt open\n" : "prompt closed\n");
  prompt_ = prompt;
  bool menu = input_.Menu() != nullptr;
  if (menu != menu_) std::printf(menu ? "menu open\n" : "menu closed\n");
  menu_ = menu;
  if (form_.LastMouseX != -10 && (form_.LastMouseX != mouseX_ || form_.LastMouseY != mouseY_))
    std::printf("mouse reference %d,%d\n", form_.LastMouseX, form_.LastMouseY);
  mouseX_ = form_.LastMouseX;
  mouseY_ = form_.LastMouseY;
  std::fflush(stdout);
}

}  // namespace vitrine
