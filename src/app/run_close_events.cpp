// Close events and the exit password of the show window.
#include <cstdlib>

#include "app/run_form.h"
#include "core/text.h"

namespace vitrine {

namespace {
constexpr uint16_t kVirtualKeyEscape = 27;
constexpr uint16_t kVirtualKeyReturn = 13;
}  // namespace

void TfRun::pbShowMouseMove(int32_t x, int32_t y) {
  if (platform_.Window.CursorHidden()) platform_.Window.ShowCursor();
  if (PreviewMode || DialogOpen) {
    LastMouseX = x;
    LastMouseY = y;
    return;
  }
  if (Project->MenuEnabled != 0 || !Settings->MouseMove) return;
  if (LastMouseX == -10) {
    LastMouseX = x;
    LastMouseY = y;
    return;
  }
  int64_t threshold = int64_t(10) * Settings->MouseSensitivity;
  if (threshold == 0) threshold = 10;
  if (std::llabs(int64_t(x) - LastMouseX) < threshold && std::llabs(int64_t(y) - LastMouseY) < threshold) return;
  ++MoveCount;
  if (Settings->MouseSensitivity >= MoveCount) return;
  LastMouseX = x;
  LastMouseY = y;
  MoveCount = 0;
  Close();
}

void TfRun::pbShowMouseDown(MouseButton button, int32_t, int32_t) {
  if (PreviewMode || DialogOpen) return;
  if (button == MouseButton::Left) {
    if (Settings->MouseLeftClick) Close();
  } else if (button == MouseButton::Right) {
    if (Project->MenuEnabled == 0 && Settings->MouseRightClick) Close();
  }
}

void TfRun::displaypanelMouseDown(MouseButton button, int32_t x, int32_t y) { pbShowMouseDown(button, x, y); }

void TfRun::pbShowDblClick() {
  if (!PreviewMode && Settings->MouseDoubleClick) Close();
}

void TfRun::FormKeyDown(uint16_t key) {
  if (PreviewMode) return;
  if (key == kVirtualKeyEscape && Settings->EscKey)
    Close();
  else if (key == kVirtualKeyReturn && Settings->EnterKey)
    Close();
}

void TfRun::FormKeyPress(char character) {
  if (PreviewMode || !Settings->SpecifiedKey) return;
  if (std::string(1, character) == Settings->KeyValue) Close();
}

bool TfRun::PasswordAccepted() {
  std::string entry;
  if (!platform_.Services.GetPassword(entry)) return false;
  return AsciiUpper(entry) == AsciiUpper(Settings->Pwd);
}

bool TfRun::FormCloseQuery() {
  if (!Settings->EnabledPassword || PreviewMode) return true;
  DialogOpen = true;
  bool canClose = PasswordAccepted();
  DialogOpen = false;
  return canClose;
}

void TfRun::FormClose() { FirstShowDone = false; }

void TfRun::Close() {
  if (closed_) return;
  if (!FormCloseQuery()) return;
  FormClose();
  closed_ = true;
  showTimer_->SetEnabled(false);
  selectTimer_->SetEnabled(false);
  platform_.Loop.Quit();
}

void TfRun::SystemClose() {
  // The system closes a preview (its host went away) without asking anybody.
  if (closed_) return;
  FormClose();
  closed_ = true;
  platform_.Loop.Quit();
}

void TfRun::Close1Click() { Close(); }

void TfRun::Setting1Click() {
  DialogOpen = true;
  platform_.Loop.ProcessMessages();
  bool allowed = true;
  if (Settings->EnabledPassword) allowed = PasswordAccepted();
  if (allowed) {
    platform_.Services.ShowSettingsDialog();
    Settings->LoadFromRegistry();
    KeepMusicToPrimary();
    platform_.Loop.SendMessage(*this, WM_RELOADSETTINGS);
    TPictureInfo* item = CurrentItem();
    if (CurrentKind == kKindPicture && Settings->EnabledMusic && item && item->MusicDuring)
      PostMainFormMessage(WM_RESUMEMUSIC);
  }
  DialogOpen = false;
}

}  // namespace vitrine
