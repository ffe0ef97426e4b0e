// The player's input: the mouse and the keyboard reach the clips' events, the Key and Mouse
// listeners and the buttons, in that order; the scripts they start run before the call returns.
#include <functional>

#include "flash/swf/avm1/machine.h"
#include "flash/swf/player.h"

namespace vitrine::swf {

namespace {

// The matrix from a clip's own coordinates to the stage's.
Matrix StageMatrix(const Clip& clip) {
  Matrix m;
  for (const Clip* c = &clip; c && c->parent; c = c->parent)
    if (c->holder) m = c->holder->matrix * m;
  return m;
}

// The key code a button's or a clip's key press event names: special keys have codes of their
// own, the others are the characters they type.
uint8_t PressCode(uint16_t code, uint8_t ascii) {
  switch (code) {
    case 37: return 1;   // left
    case 39: return 2;   // right
    case 36: return 3;   // home
    case 35: return 4;   // end
    case 45: return 5;   // insert
    case 46: return 6;   // delete
    case 8: return 8;    // backspace
    case 13: return 13;  // enter
    case 38: return 14;  // up
    case 40: return 15;  // down
    case 33: return 16;  // page up
    case 34: return 17;  // page down
    case 9: return 18;   // tab
    case 27: return 19;  // escape
    default: return ascii >= 32 && ascii < 128 ? ascii : 0;
  }
}

}  // namespace

void Player::MouseIn(const Clip& clip, double& x, double& y) const {
  Matrix inverse;
  if (!StageMatrix(clip).Invert(inverse)) {
    x = y = 0;
    return;
  }
  inverse.Apply(mouseX_, mouseY_, x, y);
  x /= 20;
  y /= 20;
}

avm1::Object* Player::ButtonObject(DisplayObject& button) {
  if (!button.object) {
    button.object = vm_->NewObject();
    button.object->cls = "Button";
  }
  return button.object;
}

bool Player::Alive(const Clip* clip) const {
  std::function<bool(const Clip&)> find = [&](const Clip& c) {
    if (&c == clip) return true;
    for (auto& [depth, object] : c.list)
      if (object.clip && find(*object.clip)) return true;
    return false;
  };
  return find(root_);
}

void Player::BeginInput() {
  // Scripts the input starts share the frame's action budget: a runaway handler costs at most
  // what one frame may run, however often the mouse moves.
  stepBudget_ = kMaxTagsPerStep;
}

void Player::EndInput() { RunQueued(); }

void Player::ClipEvents(uint32_t event, const char* handler, uint8_t key) {
  // Every clip on the stage, parents before their children; each is checked again before its
  // turn, as an earlier handler may have removed it.
  std::vector<avm1::Object*> objects;
  std::function<void(Clip&)> gather = [&](Clip& c) {
    if (c.object) objects.push_back(c.object);
    for (auto& [depth, object] : c.list)
      if (object.clip) gather(*object.clip);
  };
  gather(root_);
  for (avm1::Object* self : objects) {
    Clip* clip = self->clip;
    if (!clip) continue;
    if (clip->holder) {
      std::vector<ClipAction> actions = clip->holder->clipActions;
      for (const ClipAction& a : actions) {
        if (!(a.events & event) || self->clip != clip) continue;
        if (event == kEventKeyPress && a.key != key) continue;
        vm_->RunBlock(a.code, self);
      }
    }
    // Only a property found along the prototypes can be a handler; the full look-up (which
    // also searches the clip's children by name) is kept for those.
    if (handler && self->clip == clip && vm_->Lookup(self, handler)) {
      avm1::Value fn = vm_->Get(self, handler);
      if (fn.IsObject() && fn.object->Callable()) vm_->CallSafely(fn, self, {});
    }
  }
}

void Player::Broadcast(avm1::Object* source, const char* event) {
  if (!source) return;
  avm1::Value list = vm_->Get(source, "_listeners");
  if (!list.IsObject() || !list.object->isArray) return;
  // Listeners added or removed by a listener count from the next event on.
  std::vector<avm1::Value> listeners = list.object->elements;
  for (const avm1::Value& l : listeners) {
    if (!l.IsObject()) continue;
    avm1::Value fn = vm_->Get(l.object, event);
    if (fn.IsObject() && fn.object->Callable()) vm_->CallSafely(fn, l.object, {});
  }
}

std::optional<Player::ButtonRef> Player::ButtonAt(double x, double y) {
  // The topmost visible button whose hit area holds the point: a part's shape covers it, by
  // the rule the shape is filled with (a ring's hole is no hit), or its stroke does.
  std::optional<ButtonRef> found;
  std::function<bool(Clip&, const Matrix&)> search = [&](Clip& clip, const Matrix& m) {
    for (auto it = clip.list.rbegin(); it != clip.list.rend(); ++it) {
      DisplayObject& object = it->second;
      if (!object.visible || !object.character) continue;
      Matrix om = m * object.matrix;
      if (object.clip) {
        if (search(*object.clip, om)) return true;
        continue;
      }
      if (object.character->kind != Kind::Button) continue;
      for (const ButtonPart& part : object.character->button) {
        if (!(part.states & kButtonHit)) continue;
        auto ch = Lookup(part.id);
        if (!ch) continue;
        const Shape* shape = nullptr;
        if (ch->kind == Kind::Shape) shape = &ch->shape;
        else if (ch->kind == Kind::Morph) shape = &ch->morph.start;
        if (!shape) continue;
        Matrix inverse;
        if (!(om * part.matrix).Invert(inverse)) continue;
        double px, py;
        inverse.Apply(x, y, px, py);
        const SwfRect& b = shape->bounds;
        if (px >= b.xMin && px <= b.xMax && py >= b.yMin && py <= b.yMax && ShapeCovers(*shape, px, py)) {
          found = ButtonRef{&clip, it->first, object.character.get()};
          return true;
        }
      }
    }
    return false;
  };
  search(root_, Matrix{});
  return found;
}

DisplayObject* Player::Resolve(const ButtonRef& ref) {
  if (!Alive(ref.parent)) return nullptr;
  auto it = ref.parent->list.find(ref.depth);
  if (it == ref.parent->list.end() || it->second.character.get() != ref.button) return nullptr;
  return &it->second;
}

void Player::ButtonEvent(const ButtonRef& ref, uint16_t condition, const char* handler, uint8_t state) {
  DisplayObject* button = Resolve(ref);
  if (!button) return;
  button->buttonState = state;
  // The button's actions run on the timeline that holds it, then its handler.
  avm1::Object* timeline = ObjectOf(*ref.parent);
  for (const ButtonAction& a : ref.button->buttonActions)
    if (a.conditions & condition) queue_.push_back({timeline, a.code});
  if (handler && button->object) queue_.push_back({button->object, {}, 0, handler});
}

void Player::TrackMouse() {
  std::optional<ButtonRef> hit = ButtonAt(mouseX_, mouseY_);
  if (pressed_ && !Resolve(*pressed_)) pressed_.reset();
  if (hovered_ && !Resolve(*hovered_)) hovered_.reset();
  if (pressed_) {
    bool over = hit && *hit == *pressed_;
    if (pressedOver_ && !over) {
      pressedOver_ = false;
      ButtonEvent(*pressed_, pressed_->button->trackAsMenu ? kOverDownToIdle : kOverDownToOutDown, "onDragOut",
                  kButtonOver);
    } else if (!pressedOver_ && over) {
      pressedOver_ = true;
      ButtonEvent(*pressed_, kOutDownToOverDown, "onDragOver", kButtonDown);
    }
    return;
  }
  if (hit == hovered_) return;
  if (hovered_) ButtonEvent(*hovered_, kOverUpToIdle, "onRollOut", kButtonUp);
  hovered_ = hit;
  if (hit) ButtonEvent(*hit, kIdleToOverUp, "onRollOver", kButtonOver);
}

void Player::ButtonKeys(uint8_t key) {
  if (key == 0) return;
  std::vector<ButtonRef> buttons;
  std::function<void(Clip&)> gather = [&](Clip& c) {
    for (auto& [depth, object] : c.list) {
      if (object.clip) gather(*object.clip);
      else if (object.character && object.character->kind == Kind::Button)
        buttons.push_back({&c, depth, object.character.get()});
    }
  };
  gather(root_);
  for (const ButtonRef& ref : buttons) {
    if (!Resolve(ref)) continue;
    avm1::Object* timeline = ObjectOf(*ref.parent);
    for (const ButtonAction& a : ref.button->buttonActions)
      if (ButtonKeyOf(a.conditions) == key) queue_.push_back({timeline, a.code});
  }
}

void Player::MouseMove(double x, double y) {
  BeginInput();
  mouseX_ = x * 20;
  mouseY_ = y * 20;
  ClipEvents(kEventMouseMove, "onMouseMove");
  Broadcast(vm_->mouseObject, "onMouseMove");
  TrackMouse();
  EndInput();
}

void Player::MouseDown(double x, double y) {
  if (x * 20 != mouseX_ || y * 20 != mouseY_) MouseMove(x, y);
  BeginInput();
  mouseDown_ = true;
  ClipEvents(kEventMouseDown, "onMouseDown");
  Broadcast(vm_->mouseObject, "onMouseDown");
  TrackMouse();
  if (hovered_ && Resolve(*hovered_)) {
    pressed_ = hovered_;
    pressedOver_ = true;
    ButtonEvent(*pressed_, kOverUpToOverDown, "onPress", kButtonDown);
  }
  EndInput();
}

void Player::MouseUp(double x, double y) {
  if (x * 20 != mouseX_ || y * 20 != mouseY_) MouseMove(x, y);
  BeginInput();
  mouseDown_ = false;
  ClipEvents(kEventMouseUp, "onMouseUp");
  Broadcast(vm_->mouseObject, "onMouseUp");
  if (pressed_ && Resolve(*pressed_)) {
    ButtonRef was = *pressed_;
    pressed_.reset();
    if (pressedOver_) {
      hovered_ = was;
      ButtonEvent(was, kOverDownToOverUp, "onRelease", kButtonOver);
    } else {
      hovered_.reset();
      ButtonEvent(was, kOutDownToIdle, "onReleaseOutside", kButtonUp);
    }
  }
  pressed_.reset();
  TrackMouse();
  EndInput();
}

void Player::KeyDown(uint16_t code, uint8_t ascii) {
  BeginInput();
  if (code < 256) keysDown_[code] = true;
  lastKeyCode_ = code;
  lastKeyAscii_ = ascii;
  uint8_t press = PressCode(code, ascii);
  ClipEvents(kEventKeyDown, nullptr);
  if (press) ClipEvents(kEventKeyPress, nullptr, press);
  Broadcast(vm_->keyObject, "onKeyDown");
  ButtonKeys(press);
  EndInput();
}

void Player::KeyUp(uint16_t code, uint8_t ascii) {
  BeginInput();
  if (code < 256) keysDown_[code] = false;
  lastKeyCode_ = code;
  lastKeyAscii_ = ascii;
  ClipEvents(kEventKeyUp, nullptr);
  Broadcast(vm_->keyObject, "onKeyUp");
  EndInput();
}

}  // namespace vitrine::swf
