#include "backends/win32/win32_modal_form.h"

namespace vitrine {

namespace {
constexpr char kFormClass[] = "VitrineModalForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
}  // namespace

ModalForm::ModalForm(const char* caption, int clientWidth, int clientHeight, HWND owner) : owner_(owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassA(&wc);
    registered = true;
  }
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  hwnd_ = CreateWindowExA(kExStyle, kFormClass, caption, kStyle, x, y, w, h, owner, nullptr, instance, this);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ModalForm::SetMenuBar(HMENU menu) {
  RECT client;
  GetClientRect(hwnd_, &client);
  SetMenu(hwnd_, menu);
  SetClientSize(client.right, client.bottom);
}

void ModalForm::SetClientSize(int clientWidth, int clientHeight) {
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, kStyle, GetMenu(hwnd_) != nullptr, kExStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

ModalForm::~ModalForm() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

HWND ModalForm::AddControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                           int id, DWORD exStyle) {
  HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

int ModalForm::Run() {
  bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
  if (ownerWasEnabled) EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (first) SetFocus(first);
  MSG msg;
  while (!done_) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The run is ending: leave the quit for the outer loop.
      PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
      result_ = IDCANCEL;
      break;
    }
    if (!IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  return result_;
}

LRESULT CALLBACK ModalForm::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<ModalForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  auto end = [self](int id) {
    self->result_ = id;
    self->done_ = true;
  };
  switch (msg) {
    case WM_COMMAND: {
      int id = LOWORD(wParam), code = HIWORD(wParam);
      bool ends = self->onCommand ? self->onCommand(id, code) : (id == IDOK || id == IDCANCEL);
      if (ends) end(id);
      return 0;
    }
    case WM_NOTIFY:
      if (self->onNotify) self->onNotify(reinterpret_cast<NMHDR*>(lParam));
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (self->onScroll && lParam)
        self->onScroll(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      if (self->onStaticColour)
        if (HBRUSH brush = self->onStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
          return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_CLOSE:
      end(IDCANCEL);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace vitrine
