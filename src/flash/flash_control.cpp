#include "flash/flash_control.h"

namespace vitrine {

void FlashControl::MouseLeftDown(uint16_t x, uint16_t y) {
  if (PassLeftDown) DeliverToMovie(MouseMessage::LeftDown, x, y);
  else if (OnLeftDown) OnLeftDown(*this);
}

void FlashControl::MouseLeftUp(uint16_t x, uint16_t y) {
  if (PassLeftUp) DeliverToMovie(MouseMessage::LeftUp, x, y);
  else if (OnLeftUp) OnLeftUp(*this);
}

void FlashControl::MouseRightDown(uint16_t x, uint16_t y) {
  if (PassRightDown) {
    DeliverToMovie(MouseMessage::RightDown, x, y);
    return;
  }
  if (OnRightDown) OnRightDown(*this);
  if (Popup) {
    Rect b = Bounds();
    Popup(b.left + x, b.top + y);
  }
}

void FlashControl::MouseMove(uint16_t x, uint16_t y) {
  if (PassMove) DeliverToMovie(MouseMessage::Move, x, y);
  else if (OnMove) OnMove(*this, x, y);
}

void FlashControl::MouseDoubleClick(uint16_t x, uint16_t y) {
  if (PassDoubleClick) DeliverToMovie(MouseMessage::DoubleClick, x, y);
  else if (OnDoubleClick) OnDoubleClick(*this);
}

}  // namespace vitrine
