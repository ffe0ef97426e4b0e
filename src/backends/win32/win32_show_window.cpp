#include "backends/win32/win32_show_window.h"

#include <windows.h>
#include <windowsx.h>
// The interfaces have methods of these names; the ANSI/wide macros would rename them.
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <algorithm>

namespace vitrine {

namespace {
constexpr char kFormClass[] = "TfRun";
constexpr char kPanelClass[] = "VitrineVideoPanel";
constexpr char kCoverClass[] = "VitrineCover";
constexpr UINT kMenuSetting = 1, kMenuClose = 2;

Win32ShowWindow* Owner(HWND hwnd) { return reinterpret_cast<Win32ShowWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

// The window procedure of each class: the window's owner, stored at creation, takes its messages.
template <intptr_t (Win32ShowWindow::*Proc)(void*, uint32_t, uintptr_t, intptr_t)>
LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Win32ShowWindow* self = Owner(hwnd);
  if (!self || msg == WM_NCCREATE) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return (self->*Proc)(hwnd, msg, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;  // double clicks close the show
  wc.lpfnWndProc = Trampoline<&Win32ShowWindow::FormProc>;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  RegisterClassA(&wc);
  wc.style = 0;
  wc.lpfnWndProc = Trampoline<&Win32ShowWindow::PanelProc>;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kPanelClass;
  RegisterClassA(&wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Trampoline<&Win32ShowWindow::MonitorProc>;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kCoverClass;
  RegisterClassA(&wc);
}

// The surface's pixel layout for GDI, top-down: 16 bits 5-6-5, or 32 bits 0x00RRGGBB.
struct SurfaceInfo {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

MouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN: return MouseButton::Right;
    case WM_MBUTTONDOWN: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}
}  // namespace

Win32ShowWindow::Win32ShowWindow(Win32EventLoop& loop) : loop_(loop) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterClasses(instance);
  // Hidden until the mode set-up has placed it; the tool-window style keeps it off the taskbar.
  hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kFormClass, "Run", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, this);
  panel_ = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 9, 9, static_cast<HWND>(hwnd_),
                           nullptr, instance, this);
}

Win32ShowWindow::~Win32ShowWindow() { Destroy(); }

void Win32ShowWindow::Destroy() {
  if (cursorHidden_) ShowCursor();
  DestroyMonitorWindows();
  if (hwnd_) {
    destroying_ = true;
    HWND hwnd = static_cast<HWND>(hwnd_);
    hwnd_ = nullptr;
    panel_ = nullptr;
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
}

void Win32ShowWindow::SetEvents(ShowWindowEvents* events) {
  events_ = events;
  // The show's private messages go to this window's handle, as the Flash window and the
  // settings path address them.
  if (auto* target = dynamic_cast<MessageTarget*>(events)) loop_.BindTarget(*target, Handle());
}

int32_t Win32ShowWindow::ScreenWidth() const { return area_ ? area_->Width() : GetSystemMetrics(SM_CXSCREEN); }
int32_t Win32ShowWindow::ScreenHeight() const { return area_ ? area_->Height() : GetSystemMetrics(SM_CYSCREEN); }

Point Win32ShowWindow::Origin() const { return area_ ? Point{area_->left, area_->top} : Point{0, 0}; }

void Win32ShowWindow::MakeFullScreen() {
  preview_ = false;
  HWND hwnd = static_cast<HWND>(hwnd_);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  Point origin = Origin();
  SetWindowPos(hwnd, HWND_TOPMOST, origin.x, origin.y, ScreenWidth(), ScreenHeight(), SWP_NOACTIVATE);
}

std::vector<MonitorInfo> Win32Monitors() {
  std::vector<MonitorInfo> monitors;
  auto each = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) WINAPI -> BOOL {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
      const RECT& r = info.rcMonitor;
      reinterpret_cast<std::vector<MonitorInfo>*>(data)->push_back(
          {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
  };
  EnumDisplayMonitors(nullptr, nullptr, each, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

void Win32ShowWindow::AddMonitorWindow(const Rect& bounds, bool mirror) {
  // Hidden until the show shows; the tool-window style keeps it off the taskbar.
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kCoverClass, "Run", WS_POPUP, bounds.left, bounds.top,
                                bounds.Width(), bounds.Height(), nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (window) monitors_.push_back({window, bounds, mirror});
}

void Win32ShowWindow::DestroyMonitorWindows() {
  std::vector<OtherMonitor> monitors;
  monitors.swap(monitors_);
  for (const OtherMonitor& m : monitors) DestroyWindow(static_cast<HWND>(m.hwnd));
  if (mirrorDc_) {
    SelectObject(static_cast<HDC>(mirrorDc_), static_cast<HGDIOBJ>(mirrorOld_));
    DeleteObject(static_cast<HGDIOBJ>(mirrorBitmap_));
    DeleteDC(static_cast<HDC>(mirrorDc_));
    mirrorDc_ = mirrorBitmap_ = mirrorOld_ = nullptr;
  }
}

void Win32ShowWindow::UpdateMirrorCopy(const Rect& dirty) {
  const int32_t w = surface_.Width(), h = surface_.Height();
  if (w <= 0 || h <= 0) return;
  Rect rows = dirty;
  if (!mirrorDc_ || mirrorWidth_ != w || mirrorHeight_ != h) {
    if (mirrorDc_) {
      SelectObject(static_cast<HDC>(mirrorDc_), static_cast<HGDIOBJ>(mirrorOld_));
      DeleteObject(static_cast<HGDIOBJ>(mirrorBitmap_));
      DeleteDC(static_cast<HDC>(mirrorDc_));
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    mirrorDc_ = memory;
    mirrorBitmap_ = copy;
    mirrorOld_ = SelectObject(memory, copy);
    mirrorWidth_ = w;
    mirrorHeight_ = h;
    rows = {0, 0, w, h};  // a new copy takes the whole surface
  }
  PaintRect(mirrorDc_, rows);
}

void Win32ShowWindow::PaintMirror(void* dcHandle, const OtherMonitor& m) {
  HDC dc = static_cast<HDC>(dcHandle);
  const int64_t mw = m.bounds.Width(), mh = m.bounds.Height();
  RECT all{0, 0, static_cast<LONG>(mw), static_cast<LONG>(mh)};
  if (!m.mirror || !mirrorDc_) {
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return;
  }
  // Scaled to fit the monitor, its proportions kept, centred on black.
  int64_t w = mw, h = int64_t(mirrorHeight_) * w / mirrorWidth_;
  if (h > mh) {
    h = mh;
    w = int64_t(mirrorWidth_) * h / mirrorHeight_;
  }
  const int x = static_cast<int>((mw - w) / 2), y = static_cast<int>((mh - h) / 2);
  HRGN picture = CreateRectRgn(x, y, x + int(w), y + int(h));
  HRGN around = CreateRectRgn(0, 0, int(mw), int(mh));
  CombineRgn(around, around, picture, RGN_DIFF);
  FillRgn(dc, around, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DeleteObject(around);
  DeleteObject(picture);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, x, y, int(w), int(h), static_cast<HDC>(mirrorDc_), 0, 0, mirrorWidth_, mirrorHeight_, SRCCOPY);
}

bool Win32ShowWindow::AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) {
  HWND parent = reinterpret_cast<HWND>(parentHandle);
  if (!parent || !IsWindow(parent)) return false;
  RECT client{};
  GetClientRect(parent, &client);
  width = client.right - client.left;
  height = client.bottom - client.top;
  HWND hwnd = static_cast<HWND>(hwnd_);
  // Sized first: the host never sees its new child at any other size.
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowLongPtrA(hwnd, GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, 0);
  SetParent(hwnd, parent);
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  preview_ = true;
  return true;
}

void Win32ShowWindow::Show() {
  HWND hwnd = static_cast<HWND>(hwnd_);
  if (!hwnd) return;
  if (preview_) {
    ::ShowWindow(hwnd, SW_SHOWNA);
  } else if (passive_) {
    for (const OtherMonitor& m : monitors_) ::ShowWindow(static_cast<HWND>(m.hwnd), SW_SHOWNA);
    ::ShowWindow(hwnd, SW_SHOWNA);
  } else {
    if (std::any_of(monitors_.begin(), monitors_.end(), [](const OtherMonitor& m) { return m.mirror; }))
      UpdateMirrorCopy(surface_.Bounds());
    for (const OtherMonitor& m : monitors_) ::ShowWindow(static_cast<HWND>(m.hwnd), SW_SHOWNA);
    ::ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
  }
  UpdateWindow(hwnd);
}

void Win32ShowWindow::BringToFront() {
  if (preview_ || !hwnd_) return;
  for (const OtherMonitor& m : monitors_)
    SetWindowPos(static_cast<HWND>(m.hwnd), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The focus is taken back from other programs only: a prompt or dialog of ours (the
  // password prompt that waits while the show goes on) keeps it.
  DWORD foregroundProcess = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
  bool ours = foregroundProcess == GetCurrentProcessId();
  SetWindowPos(static_cast<HWND>(hwnd_), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | (passive_ || ours ? SWP_NOACTIVATE : 0));
}

void Win32ShowWindow::PaintRect(void* dcHandle, const Rect& dirty) {
  Rect r{std::max(dirty.left, 0), std::max(dirty.top, 0), std::min(dirty.right, surface_.Width()),
         std::min(dirty.bottom, surface_.Height())};
  if (r.right <= r.left || r.bottom <= r.top) return;
  // Only the rows of the dirty band are handed over: a top-down DIB starting at its first row.
  SurfaceInfo info{};
  info.header.biSize = sizeof info.header;
  const bool wide = surface_.Format() == PixelFormat::Xrgb8888;
  info.header.biWidth = static_cast<LONG>(surface_.Stride() / surface_.BytesPerPixel());
  info.header.biHeight = -(r.bottom - r.top);
  info.header.biPlanes = 1;
  info.header.biBitCount = wide ? 32 : 16;
  info.header.biCompression = BI_BITFIELDS;
  info.masks[0] = wide ? 0x00FF0000 : 0xF800;
  info.masks[1] = wide ? 0x0000FF00 : 0x07E0;
  info.masks[2] = wide ? 0x000000FF : 0x001F;
  SetDIBitsToDevice(static_cast<HDC>(dcHandle), r.left, r.top, r.right - r.left, r.bottom - r.top, r.left, 0, 0,
                    r.bottom - r.top, surface_.Row(r.top), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
}

void Win32ShowWindow::Present(const Rect& dirty) {
  HWND hwnd = static_cast<HWND>(hwnd_);
  if (!hwnd || !IsWindowVisible(hwnd)) return;  // WM_PAINT draws it once the window shows
  HDC dc = GetDC(hwnd);
  PaintRect(dc, dirty);
  ReleaseDC(hwnd, dc);
  bool mirrored = std::any_of(monitors_.begin(), monitors_.end(), [](const OtherMonitor& m) { return m.mirror; });
  if (!mirrored) return;
  UpdateMirrorCopy(dirty);
  for (const OtherMonitor& m : monitors_) {
    if (!m.mirror) continue;
    HWND window = static_cast<HWND>(m.hwnd);
    HDC mirrorDc = GetDC(window);
    PaintMirror(mirrorDc, m);
    ReleaseDC(window, mirrorDc);
  }
}

void Win32ShowWindow::HideCursor() {
  if (cursorHidden_) return;
  cursorHidden_ = true;
  ::ShowCursor(FALSE);
  SetCursor(nullptr);
}

void Win32ShowWindow::ShowCursor() {
  if (!cursorHidden_) return;
  cursorHidden_ = false;
  ::ShowCursor(TRUE);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void Win32ShowWindow::SetPopupMenu(std::optional<std::array<std::string, 2>> captions) { popup_ = std::move(captions); }

void Win32ShowWindow::ShowPopupMenu(int32_t x, int32_t y) {
  if (!popup_ || !hwnd_) return;
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kMenuSetting, (*popup_)[0].c_str());
  AppendMenuA(menu, MF_STRING, kMenuClose, (*popup_)[1].c_str());
  HWND hwnd = static_cast<HWND>(hwnd_);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, hwnd, nullptr);
  DestroyMenu(menu);
  if (!events_) return;
  if (chosen == kMenuSetting) events_->Setting1Click();
  else if (chosen == kMenuClose) events_->Close1Click();
}

void Win32ShowWindow::SetVideoPanel(const Rect& bounds, bool visible) {
  HWND panel = static_cast<HWND>(panel_);
  if (!panel) return;
  if (visible) {
    SetWindowPos(panel, HWND_TOP, bounds.left, bounds.top, bounds.Width(), bounds.Height(), SWP_SHOWWINDOW);
  } else {
    ::ShowWindow(panel, SW_HIDE);
  }
}

intptr_t Win32ShowWindow::FormProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = static_cast<HWND>(window);
  if (msg >= WM_USER && msg < 0x8000) {
    loop_.Deliver(reinterpret_cast<uintptr_t>(hwnd), msg, wParam, lParam);
    return 0;
  }
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintRect(dc, {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the surface covers everything
    case WM_SYSCOMMAND:
      // No screen saver starts over the show, and no system command (Alt+F4's close
      // among them) acts on it: only the show's own close events end it.
      return 0;
    case WM_SETCURSOR:
      if (cursorHidden_) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (events_) events_->pbShowMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (events_) events_->pbShowMouseDown(ButtonOf(msg), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: the double click first, then the press.
      if (events_) events_->pbShowDblClick();
      if (events_) events_->pbShowMouseDown(MouseButton::Left, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (events_) events_->pbShowMouseDown(msg == WM_RBUTTONDBLCLK ? MouseButton::Right : MouseButton::Middle,
                                            GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      ShowPopupMenu(p.x, p.y);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (events_) events_->FormKeyDown(static_cast<uint16_t>(wParam));
      return 0;
    case WM_CHAR:
      if (events_) events_->FormKeyPress(static_cast<char>(wParam));
      return 0;
    case WM_SYSCHAR:
      return 0;
    case WM_CLOSE:
      // Asked from outside (the preview host, the task list): the show ends without a prompt.
      if (events_) events_->SystemClose();
      return 0;
    case WM_DESTROY:
      // The preview host destroyed its window and ours with it: the run is over.
      if (!destroying_) {
        hwnd_ = nullptr;
        panel_ = nullptr;
        if (events_) events_->SystemClose();
        loop_.Quit();
      }
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool Win32ShowWindow::MonitorInput(const OtherMonitor& m, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  // A point in the monitor window, where the show's window would see it.
  const Point origin = Origin();
  const int32_t x = GET_X_LPARAM(lParam) + m.bounds.left - origin.x, y = GET_Y_LPARAM(lParam) + m.bounds.top - origin.y;
  switch (msg) {
    case WM_MOUSEMOVE:
      if (events_) events_->pbShowMouseMove(x, y);
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (events_) events_->pbShowMouseDown(ButtonOf(msg), x, y);
      return true;
    case WM_LBUTTONDBLCLK:
      if (events_) events_->pbShowDblClick();
      if (events_) events_->pbShowMouseDown(MouseButton::Left, x, y);
      return true;
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (events_) events_->pbShowMouseDown(msg == WM_RBUTTONDBLCLK ? MouseButton::Right : MouseButton::Middle, x, y);
      return true;
    case WM_RBUTTONUP:
      ShowPopupMenu(m.bounds.left + GET_X_LPARAM(lParam), m.bounds.top + GET_Y_LPARAM(lParam));
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (events_) events_->FormKeyDown(static_cast<uint16_t>(wParam));
      return true;
    case WM_CHAR:
      if (events_) events_->FormKeyPress(static_cast<char>(wParam));
      return true;
  }
  return false;
}

intptr_t Win32ShowWindow::MonitorProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = static_cast<HWND>(window);
  auto it = std::find_if(monitors_.begin(), monitors_.end(), [&](const OtherMonitor& m) { return m.hwnd == window; });
  if (it == monitors_.end()) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const OtherMonitor m = *it;  // a copy: the handlers below may add or drop monitor windows
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintMirror(dc, m);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_SYSCOMMAND:
    case WM_SYSCHAR:
      return 0;  // as on the show's window: only the show's own close events end it
    case WM_SETCURSOR:
      if (cursorHidden_) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      if (events_) events_->SystemClose();
      return 0;
  }
  if (MonitorInput(m, msg, wParam, lParam)) return 0;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

intptr_t Win32ShowWindow::PanelProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (events_) events_->displaypanelMouseDown(ButtonOf(msg), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
  }
  return DefWindowProcA(static_cast<HWND>(window), msg, wParam, lParam);
}

}  // namespace vitrine
