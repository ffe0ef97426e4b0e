#include "apps/scr/scr_flash_host.h"

namespace vitrine {

namespace {
class SkippingFlashHost final : public FlashWindowHost {
 public:
  explicit SkippingFlashHost(EventLoop& loop) : loop_(loop) {}
  void ShowFlashWindow(MessageTarget& notify, const TRWSetting&, bool, bool, const FlashDisplayRecord&,
                       const std::string&) override {
    loop_.PostMessage(notify, WM_FLASHFINISHED, 1, 1);
  }
  void ShowFlashInPanel(MessageTarget& notify, const TRWSetting& s, bool c, bool t, const FlashDisplayRecord& r,
                        const std::string& p) override {
    ShowFlashWindow(notify, s, c, t, r, p);
  }
  void CloseFlashWindow() override {}
  bool FlashWindowOpen() const override { return false; }

 private:
  EventLoop& loop_;
};
}  // namespace

std::unique_ptr<FlashWindowHost> CreateScrFlashHost(Win32EventLoop& loop) { return std::make_unique<SkippingFlashHost>(loop); }

}  // namespace vitrine
