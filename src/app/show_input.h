#pragma once
// Input on a screen where the show draws its own prompt and menu: one place that decides
// who receives a mouse or key event (the password prompt, the popup menu, the Flash window,
// or the show window's handlers) and delivers it as the show's own system would: a double
// click as the double click followed by the press, Enter/Esc/Backspace/Tab also as typed
// characters after their key, the popup menu on the right button's release.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/show_overlays.h"
#include "platform/show_window.h"

namespace vitrine {

struct InputEvent {
  enum class Kind { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, Character };
  Kind kind = Kind::MouseMove;
  int32_t x = 0, y = 0;  // show-area pixels
  MouseButton button = MouseButton::Left;
  int32_t clicks = 1;  // 2 for the second press of a double click
  uint16_t key = 0;    // virtual key code
  char character = 0;  // ANSI

  static InputEvent Move(int32_t x, int32_t y) { return {Kind::MouseMove, x, y}; }
  static InputEvent Down(MouseButton b, int32_t x, int32_t y, int32_t clicks = 1) {
    return {Kind::MouseDown, x, y, b, clicks};
  }
  static InputEvent Up(MouseButton b, int32_t x, int32_t y) { return {Kind::MouseUp, x, y, b}; }
  static InputEvent Key(uint16_t vk) { InputEvent e; e.kind = Kind::KeyDown; e.key = vk; return e; }
  static InputEvent KeyRelease(uint16_t vk) { InputEvent e; e.kind = Kind::KeyUp; e.key = vk; return e; }
  static InputEvent Char(char c) { InputEvent e; e.kind = Kind::Character; e.character = c; return e; }
};

class ShowInput {
 public:
  explicit ShowInput(TextPainter& text) : text_(text) {}

  void SetEvents(ShowWindowEvents* events) { events_ = events; }
  void SetArea(int32_t width, int32_t height) { width_ = width; height_ = height; }
  // Attached captions open the menu on a right click; nullopt detaches it (closing it).
  void SetPopupMenu(std::optional<std::array<std::string, 2>> captions);
  void SetVideoPanel(const Rect& bounds, bool visible) { panel_ = visible ? bounds : Rect{}; }
  // Where the Flash window's own right click asks for the show's menu: returns the point in
  // show-area pixels and forgets it.
  void SetFlashPopupRequests(std::function<std::optional<Point>()> take) { flashPopup_ = std::move(take); }

  // The prompt of a modal password question; the caller's loop runs until it is answered.
  PasswordPrompt& OpenPrompt();
  void ClosePrompt();
  const PasswordPrompt* Prompt() const { return prompt_.get(); }
  const PopupMenu* Menu() const { return menu_.get(); }
  void OpenMenu(int32_t x, int32_t y);

  void Deliver(const InputEvent& event);

  bool OverlayVisible() const { return prompt_ || menu_; }
  // Draws the open menu and prompt over a copy of the screen.
  void PaintOverlays(Bitmap& screen) const;
  // True once after something about the overlays changed (the screen needs repainting).
  bool TakeOverlayChanged() {
    bool c = changed_;
    changed_ = false;
    return c;
  }

 private:
  void ToPrompt(const InputEvent& e);
  void ToMenu(const InputEvent& e);
  bool ToFlash(const InputEvent& e);
  void ToShow(const InputEvent& e);

  TextPainter& text_;
  ShowWindowEvents* events_ = nullptr;
  int32_t width_ = 0, height_ = 0;
  std::optional<std::array<std::string, 2>> captions_;
  Rect panel_{};
  std::function<std::optional<Point>()> flashPopup_;
  std::unique_ptr<PasswordPrompt> prompt_;
  std::unique_ptr<PopupMenu> menu_;
  bool changed_ = false;
};

}  // namespace vitrine
