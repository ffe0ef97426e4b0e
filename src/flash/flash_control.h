#pragma once
// The Flash player control as the Flash window uses it, and the mouse pass-through that the
// window needs on top of it: for five mouse messages a flag says whether the message takes
// its normal course into the movie; when it does not, the handler (if any) runs instead.
// The platform calls the Mouse* entry points for every such message on the control.
#include <cstdint>
#include <functional>
#include <string>

#include "raster/bitmap.h"
#include "raster/geometry.h"

namespace vitrine {

enum class FlashCursor { Default, Arrow };

class FlashControl {
 public:
  using SenderHandler = std::function<void(FlashControl& sender)>;
  using MoveHandler = std::function<void(FlashControl& sender, int32_t x, int32_t y)>;
  // Opens a popup menu at a point in screen coordinates.
  using PopupMenu = std::function<void(int32_t screenX, int32_t screenY)>;

  virtual ~FlashControl() = default;

  // Placement inside the window, in the window's client coordinates.
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual Rect Bounds() const = 0;
  virtual void SetCursor(FlashCursor cursor) = 0;
  virtual FlashCursor Cursor() const = 0;
  virtual void SetDoubleBuffered(bool on) = 0;
  virtual void BringToFront() = 0;
  // Lets go of the player before the control is freed.
  virtual void FreeOnRelease() = 0;

  // The player's properties and methods.
  virtual void SetMenu(bool on) = 0;
  virtual void SetMovie(const std::string& path) = 0;
  virtual void SetBackgroundColor(int32_t rgb) = 0;  // 0x00RRGGBB
  virtual void SetScaleMode(int32_t mode) = 0;
  virtual void SetAlignMode(int32_t mode) = 0;
  virtual int32_t TotalFrames() = 0;
  virtual bool Playing() = 0;
  virtual void GotoFrame(int32_t frame) = 0;
  virtual void Play() = 0;
  virtual void StopPlay() = 0;
  virtual int32_t CurrentFrame() = 0;

  // Where the control is not a window of the system, draws what it shows onto screen,
  // whose origin is the window's client origin.
  virtual void Paint(Bitmap& screen) {}

  bool PassLeftDown = true;
  bool PassLeftUp = true;
  bool PassRightDown = true;
  bool PassMove = true;
  bool PassDoubleClick = false;
  SenderHandler OnLeftDown;
  SenderHandler OnLeftUp;
  SenderHandler OnRightDown;
  MoveHandler OnMove;
  SenderHandler OnDoubleClick;
  // The control's popup menu, opened on a right click that does not reach the movie.
  PopupMenu Popup;

  // Mouse messages, in client coordinates (16-bit unsigned, as the message carries them).
  void MouseLeftDown(uint16_t x, uint16_t y);
  void MouseLeftUp(uint16_t x, uint16_t y);
  void MouseRightDown(uint16_t x, uint16_t y);
  void MouseMove(uint16_t x, uint16_t y);
  void MouseDoubleClick(uint16_t x, uint16_t y);
  // A key the close events left alone, for the movie: its virtual key code and the
  // character it types (0 for none).
  virtual void KeyToMovie(bool down, uint16_t virtualKey, uint8_t ascii) {}
  // The movie hid the mouse pointer by script (Mouse.hide).
  virtual bool MovieHidesPointer() { return false; }

 protected:
  // The message's normal course: the movie receives it.
  enum class MouseMessage { LeftDown, LeftUp, RightDown, Move, DoubleClick };
  virtual void DeliverToMovie(MouseMessage message, int32_t x, int32_t y) {}
};

}  // namespace vitrine
