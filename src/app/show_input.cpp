#include "app/show_input.h"

#include "flash/flash_form.h"

namespace vitrine {

namespace {
// The keys whose press the system also delivers as a typed character.
bool KeyTypesCharacter(uint16_t key) {
  return key == kVkBack || key == kVkTab || key == kVkReturnKey || key == kVkEscapeKey;
}

uint16_t ClientCoordinate(int32_t v) { return static_cast<uint16_t>(v); }
}  // namespace

void ShowInput::SetPopupMenu(std::optional<std::array<std::string, 2>> captions) {
  captions_ = std::move(captions);
  if (!captions_ && menu_) {
    menu_.reset();
    changed_ = true;
  }
}

PasswordPrompt& ShowInput::OpenPrompt() {
  menu_.reset();
  prompt_ = std::make_unique<PasswordPrompt>(width_, height_);
  changed_ = true;
  return *prompt_;
}

void ShowInput::ClosePrompt() {
  prompt_.reset();
  changed_ = true;
}

void ShowInput::OpenMenu(int32_t x, int32_t y) {
  if (!captions_ || prompt_) return;
  menu_ = std::make_unique<PopupMenu>(*captions_, x, y, width_, height_, text_);
  changed_ = true;
}

void ShowInput::Deliver(const InputEvent& e) {
  if (prompt_) return ToPrompt(e);
  if (menu_) return ToMenu(e);
  if (ToFlash(e)) return;
  ToShow(e);
}

void ShowInput::ToPrompt(const InputEvent& e) {
  PasswordPrompt& p = *prompt_;
  switch (e.kind) {
    case InputEvent::Kind::KeyDown: p.KeyDown(e.key); break;
    case InputEvent::Kind::KeyUp: return;
    case InputEvent::Kind::Character: p.Character(e.character); break;
    case InputEvent::Kind::MouseDown:
      if (e.button == MouseButton::Left) p.MouseDown(e.x, e.y);
      break;
    case InputEvent::Kind::MouseUp:
      if (e.button == MouseButton::Left) p.MouseUp(e.x, e.y);
      break;
    case InputEvent::Kind::MouseMove:
      // The show behind keeps its reference position following the mouse meanwhile.
      if (!p.Bounds().Contains(e.x, e.y) && events_) events_->pbShowMouseMove(e.x, e.y);
      return;
  }
  changed_ = true;
}

void ShowInput::ToMenu(const InputEvent& e) {
  PopupMenu& m = *menu_;
  int32_t before = m.Highlighted();
  switch (e.kind) {
    case InputEvent::Kind::MouseMove: m.MouseMove(e.x, e.y); break;
    case InputEvent::Kind::MouseDown: m.MouseDown(e.x, e.y); break;
    case InputEvent::Kind::MouseUp: m.MouseUp(e.x, e.y); break;
    case InputEvent::Kind::KeyDown: m.KeyDown(e.key); break;
    case InputEvent::Kind::KeyUp:
    case InputEvent::Kind::Character: break;
  }
  PopupMenu::Choice choice = m.Result();
  if (choice == PopupMenu::Choice::None) {
    if (m.Highlighted() != before) changed_ = true;
    return;
  }
  // The menu goes away before its command runs, as the system's menus do.
  menu_.reset();
  changed_ = true;
  if (!events_) return;
  if (choice == PopupMenu::Choice::Setting) events_->Setting1Click();
  else if (choice == PopupMenu::Choice::Stop) events_->Close1Click();
}

bool ShowInput::ToFlash(const InputEvent& e) {
  TfFlashform* f = CurrentFlashWindow();
  if (!f || !f->Visible || !f->Flash) return false;
  int32_t x = e.x - f->BoundsRect.left, y = e.y - f->BoundsRect.top;
  FlashControl& control = *f->Flash;
  switch (e.kind) {
    case InputEvent::Kind::MouseMove: control.MouseMove(ClientCoordinate(x), ClientCoordinate(y)); break;
    case InputEvent::Kind::MouseDown:
      if (e.button == MouseButton::Left) {
        if (e.clicks >= 2) control.MouseDoubleClick(ClientCoordinate(x), ClientCoordinate(y));
        else control.MouseLeftDown(ClientCoordinate(x), ClientCoordinate(y));
      } else if (e.button == MouseButton::Right) {
        control.MouseRightDown(ClientCoordinate(x), ClientCoordinate(y));
        if (flashPopup_)
          if (auto at = flashPopup_()) OpenMenu(at->x, at->y);
      }
      break;
    case InputEvent::Kind::MouseUp:
      if (e.button == MouseButton::Left) control.MouseLeftUp(ClientCoordinate(x), ClientCoordinate(y));
      break;
    case InputEvent::Kind::KeyDown:
      // The window may go away inside its own handler: look it up again for the character.
      f->FormKeyDown(e.key);
      if (KeyTypesCharacter(e.key))
        if (TfFlashform* still = CurrentFlashWindow()) still->FormKeyPress(static_cast<char>(e.key));
      break;
    case InputEvent::Kind::KeyUp: f->FormKeyUp(e.key); break;
    case InputEvent::Kind::Character: f->FormKeyPress(e.character); break;
  }
  return true;
}

void ShowInput::ToShow(const InputEvent& e) {
  if (!events_) return;
  switch (e.kind) {
    case InputEvent::Kind::MouseMove: events_->pbShowMouseMove(e.x, e.y); break;
    case InputEvent::Kind::MouseDown:
      if (panel_.Contains(e.x, e.y)) {
        events_->displaypanelMouseDown(e.button, e.x - panel_.left, e.y - panel_.top);
        break;
      }
      // The second press of a double click: the double click first, then the press.
      if (e.button == MouseButton::Left && e.clicks >= 2) events_->pbShowDblClick();
      if (events_) events_->pbShowMouseDown(e.button, e.x, e.y);
      break;
    case InputEvent::Kind::MouseUp:
      if (e.button == MouseButton::Right) OpenMenu(e.x, e.y);
      break;
    case InputEvent::Kind::KeyDown:
      events_->FormKeyDown(e.key);
      if (KeyTypesCharacter(e.key) && events_) events_->FormKeyPress(static_cast<char>(e.key));
      break;
    case InputEvent::Kind::KeyUp: events_->FormKeyUp(e.key); break;
    case InputEvent::Kind::Character: events_->FormKeyPress(e.character); break;
  }
}

void ShowInput::PaintOverlays(Bitmap& screen) const {
  if (menu_) menu_->Paint(screen, text_);
  if (prompt_) prompt_->Paint(screen, text_);
}

}  // namespace vitrine
