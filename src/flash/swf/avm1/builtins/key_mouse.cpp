// Key and Mouse: the keyboard's state, the key codes, the cursor, and the listeners the
// player's input calls (onKeyDown, onKeyUp; onMouseDown, onMouseUp, onMouseMove).
#include "flash/swf/avm1/machine.h"
#include "flash/swf/player.h"

namespace vitrine::swf::avm1 {

namespace {

// The listeners live in the object's _listeners array, as scripts of the time expect.
Object* Listeners(Vm& vm, Object* self) {
  if (!self) return nullptr;
  Value list = vm.Get(self, "_listeners");
  if (list.IsObject() && list.object->isArray) return list.object;
  Object* made = vm.NewArray();
  vm.Define(self, "_listeners", made, DontEnum);
  return made;
}

Value AddListener(Vm& vm, Object* self, std::vector<Value>& args) {
  Value l = Arg(args, 0);
  Object* list = Listeners(vm, self);
  if (!list) return false;
  // A listener added twice is called once.
  for (const Value& v : list->elements)
    if (v.IsObject() && l.IsObject() && v.object == l.object) return true;
  if (list->elements.size() >= kMaxArrayLength) vm.Abort("array too long");
  list->elements.push_back(l);
  return true;
}

Value RemoveListener(Vm& vm, Object* self, std::vector<Value>& args) {
  Value l = Arg(args, 0);
  Object* list = Listeners(vm, self);
  if (!list || !l.IsObject()) return false;
  for (size_t i = 0; i < list->elements.size(); ++i) {
    if (list->elements[i].IsObject() && list->elements[i].object == l.object) {
      list->elements.erase(list->elements.begin() + ptrdiff_t(i));
      return true;
    }
  }
  return false;
}

Value IsDown(Vm& vm, Object*, std::vector<Value>& args) {
  double code = vm.ToNumber(Arg(args, 0));
  Player* player = vm.GetPlayer();
  if (!player || !(code >= 0 && code < 256)) return false;
  return player->KeyIsDown(uint16_t(code));
}

Value IsToggled(Vm&, Object*, std::vector<Value>&) { return false; }

Value GetCode(Vm& vm, Object*, std::vector<Value>&) {
  return double(vm.GetPlayer() ? vm.GetPlayer()->LastKeyCode() : 0);
}

Value GetAscii(Vm& vm, Object*, std::vector<Value>&) {
  return double(vm.GetPlayer() ? vm.GetPlayer()->LastKeyAscii() : 0);
}

// Mouse.hide and show answer whether the cursor was shown before (1) or not (0).
Value Hide(Vm& vm, Object*, std::vector<Value>&) {
  Player* player = vm.GetPlayer();
  bool was = player && !player->CursorHidden();
  if (player) player->SetCursorHidden(true);
  return double(was ? 1 : 0);
}

Value Show(Vm& vm, Object*, std::vector<Value>&) {
  Player* player = vm.GetPlayer();
  bool was = player && !player->CursorHidden();
  if (player) player->SetCursorHidden(false);
  return double(was ? 1 : 0);
}

// Key and Mouse tell their listeners alike.
void Broadcasts(Vm& vm, Object* self) {
  vm.Method(self, "addListener", AddListener);
  vm.Method(self, "removeListener", RemoveListener);
  Listeners(vm, self);
}

}  // namespace

void InstallKeyAndMouse(Vm& vm) {
  Object* key = vm.NewObject();
  vm.keyObject = key;
  const std::pair<const char*, int> codes[] = {
      {"BACKSPACE", 8}, {"TAB", 9},        {"ENTER", 13},  {"SHIFT", 16},     {"CONTROL", 17},
      {"ALT", 18},      {"CAPSLOCK", 20},  {"ESCAPE", 27}, {"SPACE", 32},     {"PGUP", 33},
      {"PGDN", 34},     {"END", 35},       {"HOME", 36},   {"LEFT", 37},      {"UP", 38},
      {"RIGHT", 39},    {"DOWN", 40},      {"INSERT", 45}, {"DELETEKEY", 46},
  };
  for (auto& [name, code] : codes) vm.Define(key, name, code, DontEnum | DontDelete | ReadOnly);
  vm.Method(key, "isDown", IsDown);
  vm.Method(key, "isToggled", IsToggled);
  vm.Method(key, "getCode", GetCode);
  vm.Method(key, "getAscii", GetAscii);
  Broadcasts(vm, key);
  vm.Define(vm.global, "Key", key, DontEnum);

  Object* mouse = vm.NewObject();
  vm.mouseObject = mouse;
  vm.Method(mouse, "hide", Hide);
  vm.Method(mouse, "show", Show);
  Broadcasts(vm, mouse);
  vm.Define(vm.global, "Mouse", mouse, DontEnum);
}

}  // namespace vitrine::swf::avm1
