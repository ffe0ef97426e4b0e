#pragma once
// The show window as the platform gives it: a surface bitmap presented to the screen, full
// screen or inside a preview parent, the cursor, the popup menu, the video panel, input
// events, and the modal prompts that run nested loops while the show's timers keep firing.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "raster/bitmap.h"
#include "raster/geometry.h"

namespace vitrine {

enum class MouseButton { Left, Right, Middle };

// What the show window's form implements; the platform calls it for every input event on
// the picture control, the video panel, the form's keys and the popup menu.
class ShowWindowEvents {
 public:
  virtual ~ShowWindowEvents() = default;
  virtual void pbShowMouseMove(int32_t x, int32_t y) = 0;
  virtual void pbShowMouseDown(MouseButton button, int32_t x, int32_t y) = 0;
  virtual void pbShowDblClick() = 0;
  virtual void displaypanelMouseDown(MouseButton button, int32_t x, int32_t y) = 0;
  virtual void FormKeyDown(uint16_t virtualKey) = 0;
  // A key let go. Only a Flash movie on show cares (Key.isDown, onKeyUp).
  virtual void FormKeyUp(uint16_t virtualKey) {}
  virtual void FormKeyPress(char character) = 0;  // the typed ANSI character
  virtual void Setting1Click() = 0;
  virtual void Close1Click() = 0;
  // The system asks the window to close (e.g. the preview host went away): no password.
  virtual void SystemClose() = 0;
};

class ShowWindow {
 public:
  virtual ~ShowWindow() = default;

  virtual void SetEvents(ShowWindowEvents* events) = 0;

  // Screen size (show mode) in pixels.
  virtual int32_t ScreenWidth() const = 0;
  virtual int32_t ScreenHeight() const = 0;
  // Show mode: borderless, at (0, 0), covering the screen, topmost.
  virtual void MakeFullScreen() = 0;
  // Preview mode: a child of the given parent window; false when the handle names no window.
  // On success width/height are the parent's client size.
  virtual bool AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) = 0;
  virtual void BringToFront() = 0;

  // The drawing surface (the picture control's bitmap). Its size is the show area.
  virtual Bitmap& Surface() = 0;
  // The surface changed inside rect; the platform shows it on screen.
  virtual void Present(const Rect& dirty) = 0;

  virtual void HideCursor() = 0;
  virtual void ShowCursor() = 0;
  virtual bool CursorHidden() const = 0;

  // The popup menu on the right button: attached with two captions, or detached.
  virtual void SetPopupMenu(std::optional<std::array<std::string, 2>> captions) = 0;

  // The video panel inside the background panel.
  virtual void SetVideoPanel(const Rect& bounds, bool visible) = 0;
};

}  // namespace vitrine
