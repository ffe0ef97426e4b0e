#pragma once
// The show window on Windows: a borderless topmost popup over the primary screen or over a
// show area of the virtual screen (or a child of the preview host's window), the 16-bit
// surface presented with SetDIBitsToDevice, the video panel as a child window, the popup
// menu, the cursor and the input events. Beside it, windows on the other monitors that the
// show covers black or mirrors, whose input counts as the show's.
#include <optional>
#include <vector>

#include "app/monitor_plan.h"
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

  // The show covers this part of the virtual screen (screen coordinates, the primary
  // monitor's top-left at 0,0) instead of the primary monitor. Call before the mode set-up.
  void SetArea(const Rect& area) { area_ = area; }
  // Another monitor's window, covering `bounds` on the virtual screen: the show's picture
  // scaled to fit it with its proportions kept (mirror), or black. Its mouse and keys count
  // as the show's, at their place on the virtual screen. Call after the mode set-up.
  void AddMonitorWindow(const Rect& bounds, bool mirror);

  // The window of another monitor's show: it never takes the focus (from the primary
  // monitor's show or its password prompt) when it shows or comes to the front.
  void SetPassive(bool passive) { passive_ = passive; }

  // Makes the window visible (after the mode set-up), with its monitor windows.
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
  intptr_t MonitorProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

 private:
  struct OtherMonitor {
    void* hwnd = nullptr;  // HWND
    Rect bounds;
    bool mirror = false;
  };

  void PaintRect(void* dc, const Rect& rect);
  // The show's top-left corner on the virtual screen.
  Point Origin() const;
  // Draws the surface onto a mirroring monitor window's device context, fitted and centred.
  void PaintMirror(void* dc, const OtherMonitor& monitor);
  // Brings the dirty part of the surface into the copy the mirrors are stretched from.
  void UpdateMirrorCopy(const Rect& dirty);
  void DestroyMonitorWindows();
  // The input of a monitor window as the show's window would have it.
  bool MonitorInput(const OtherMonitor& monitor, uint32_t msg, uintptr_t wParam, intptr_t lParam);

  Win32EventLoop& loop_;
  void* hwnd_ = nullptr;   // HWND
  void* panel_ = nullptr;  // HWND of the video panel
  std::optional<Rect> area_;
  std::vector<OtherMonitor> monitors_;
  void* mirrorDc_ = nullptr;      // HDC of the memory copy the mirrors are drawn from
  void* mirrorBitmap_ = nullptr;  // HBITMAP selected into it
  void* mirrorOld_ = nullptr;     // the DC's bitmap before
  int32_t mirrorWidth_ = 0, mirrorHeight_ = 0;
  ShowWindowEvents* events_ = nullptr;
  Bitmap surface_{0, 0, kDefaultShowPixelFormat};
  bool cursorHidden_ = false;
  bool preview_ = false;
  bool passive_ = false;
  bool destroying_ = false;
  std::optional<std::array<std::string, 2>> popup_;
};

// The monitors Windows reports (EnumDisplayMonitors), in screen coordinates, whose origin is
// the primary monitor's top-left corner.
std::vector<MonitorInfo> Win32Monitors();

}  // namespace vitrine
