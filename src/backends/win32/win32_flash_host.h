#pragma once
// The Flash window on Windows: the Flash window's logic (flash/flash_form.h, with our own
// control) in a real window. In show mode a borderless topmost window over the screen, in
// preview a child of the show window; the window's mouse and key messages go to the form and
// its control, and the control is drawn into the window as the movie plays.
#include <memory>

#include "core/file_system.h"
#include "flash/flash_form.h"
#include "backends/win32/win32_event_loop.h"
#include "backends/win32/win32_show_window.h"

namespace vitrine {

// The Flash window's class name and caption, by which the tests find it.
inline constexpr const char* kFlashWindowClass = "TfFlashform";

class Win32FlashHost final : public FlashWindowHost {
 public:
  // text sets the movies' device-font text (none without it); sound, when given, plays the
  // movies' sound, the compressed kinds through decoders.
  Win32FlashHost(Win32EventLoop& loop, Win32ShowWindow& show, Services& services, FileSystem& files,
                 TextRenderer* text = nullptr, SoundOutput* sound = nullptr,
                 swf::SoundDecoderFactory* decoders = nullptr);
  ~Win32FlashHost() override;
  Win32FlashHost(const Win32FlashHost&) = delete;
  Win32FlashHost& operator=(const Win32FlashHost&) = delete;

  void ShowFlashWindow(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput, bool startTimers,
                       const FlashDisplayRecord& record, const std::string& moviePath) override;
  void ShowFlashInPanel(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput, bool startTimers,
                        const FlashDisplayRecord& record, const std::string& moviePath) override;
  void CloseFlashWindow() override;
  bool FlashWindowOpen() const override { return forms_.FlashWindowOpen(); }
  // What the window shows, drawn onto a bitmap of its size.
  void PaintOver(Bitmap& screen) override { forms_.PaintOver(screen); }

  intptr_t WindowProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

 private:
  void OpenWindow(bool inPanel);
  void DestroyWindow();
  void Paint(void* dc);

  Win32EventLoop& loop_;
  Win32ShowWindow& show_;
  FlashFormHost forms_;
  void* hwnd_ = nullptr;  // HWND
  Bitmap frame_;
  std::unique_ptr<Timer> repaint_;
};

}  // namespace vitrine
