#pragma once
// The show window on Windows: a borderless topmost popup over the primary screen (or a child
// of the preview host's window), the 16-bit surface presented with SetDIBitsToDevice, the
// video panel as a child window, the popup menu, the cursor and the input events.
#include <vector>

#include "platform/show_window.h"
#include "backends/win32/win32_event_loop.h"

namespace vitrine {

class Win32ShowWindow final : public ShowWindow {
 public:
  explicit Win32ShowWindow(Win32EventLoop& loop);
  ~Win32ShowWindow() override;
  Win32ShowWindow(const Win32ShowWindow&) = delete;
  Win32ShowWindow& operator=(const Win32ShowWindow&) = delete;

  void SetEvents(ShowWindowEvents* events) override;
  int32_t ScreenWidth() const override;
  int32_t ScreenHeight() const override;
  void MakeFullScreen() override;
  bool AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) override;
  void BringToFront() override;
  Bitmap& Surface() override { return surface_; }
  void Present(const Rect& dirty) override;
  void HideCursor() override;
  void ShowCursor() override;
  bool CursorHidden() const override { return cursorHidden_; }
  void SetPopupMenu(std::optional<std::array<std::string, 2>> captions) override;
  void SetVideoPanel(const Rect& bounds, bool visible) override;

  // Makes the window visible (after the mode set-up).
  void Show();
  // Destroys the window without telling the show (the run is already over).
  void Destroy();
  uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(hwnd_); }
  uintptr_t VideoPanelHandle() const { return reinterpret_cast<uintptr_t>(panel_); }
  bool Preview() const { return preview_; }
  // The show's popup menu at a point in screen coordinates (the Flash window opens it too).
  void ShowPopupMenu(int32_t screenX, int32_t screenY);

  // Window procedures (static trampolines find the object through GWLP_USERDATA).
  intptr_t FormProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);
  intptr_t PanelProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

 private:
  void PaintRect(void* dc, const Rect& rect);
  void CoverOtherMonitors();

  Win32EventLoop& loop_;
  void* hwnd_ = nullptr;   // HWND
  void* panel_ = nullptr;  // HWND of the video panel
  std::vector<void*> covers_;
  ShowWindowEvents* events_ = nullptr;
  Bitmap surface_{0, 0, kDefaultShowPixelFormat};
  bool cursorHidden_ = false;
  bool preview_ = false;
  bool destroying_ = false;
  std::optional<std::array<std::string, 2>> popup_;
};

}  // namespace vitrine
