#pragma once
// A small form built in code (no resource script): a dialog-bordered window whose controls
// are laid out in pixels, run modally over its owner. The loop dispatches every message of
// the thread, so the show's timers keep firing behind it.
#include <windows.h>

#include <functional>
#include <string>

namespace vitrine {

class ModalForm {
 public:
  // Centred on the screen with the given client size; topmost, since the show window it may
  // stand over is topmost too.
  ModalForm(const char* caption, int clientWidth, int clientHeight, HWND owner);
  ~ModalForm();
  ModalForm(const ModalForm&) = delete;
  ModalForm& operator=(const ModalForm&) = delete;

  HWND AddControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height, int id,
                  DWORD exStyle = 0);
  HWND Handle() const { return hwnd_; }
  // Gives the form a main menu (owned by the form from then on) and keeps the client size.
  void SetMenuBar(HMENU menu);
  // Resizes the window around a client area of this size, staying centred.
  void SetClientSize(int clientWidth, int clientHeight);
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

  // Called for WM_COMMAND (control id, notification code) and WM_NOTIFY; returns true to end
  // the form with that id as result. Without a handler, IDOK and IDCANCEL end it.
  std::function<bool(int id, int code)> onCommand;
  std::function<void(NMHDR* notify)> onNotify;
  std::function<void(int id, HWND control)> onScroll;
  // WM_CTLCOLORSTATIC (labels, check boxes, group boxes, read-only edits): the brush of the
  // control's background, or null for the form's own.
  std::function<HBRUSH(HDC dc, HWND control)> onStaticColour;

  // Shows the form and runs until it ends; IDCANCEL when closed or when the run was asked to
  // quit meanwhile.
  int Run();

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  HWND hwnd_ = nullptr;
  HWND owner_;
  HFONT font_;
  bool done_ = false;
  int result_ = IDCANCEL;
};

}  // namespace vitrine
