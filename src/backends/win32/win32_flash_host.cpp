#include "backends/win32/win32_flash_host.h"

#include <windows.h>
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include "raster/canvas.h"

namespace vitrine {

namespace {

// How often the window shows the movie's progress.
constexpr uint32_t kRepaintMs = 40;

LRESULT CALLBACK FlashTrampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<Win32FlashHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self || msg == WM_NCCREATE) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return self->WindowProc(hwnd, msg, wParam, lParam);
}

void RegisterFlashClass() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = FlashTrampoline;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);  // the pointer shows over the movie
  wc.lpszClassName = kFlashWindowClass;
  RegisterClassA(&wc);
}

}  // namespace

Win32FlashHost::Win32FlashHost(Win32EventLoop& loop, Win32ShowWindow& show, Services& services, FileSystem& files,
                               TextRenderer* text, SoundOutput* sound, swf::SoundDecoderFactory* decoders)
    : loop_(loop), show_(show), forms_(loop, show, services, files, text, sound, decoders) {
  forms_.OpenPopupMenu = [this](int32_t x, int32_t y) { show_.ShowPopupMenu(x, y); };
  repaint_ = loop_.CreateTimer(kRepaintMs, [this] {
    if (hwnd_) InvalidateRect(static_cast<HWND>(hwnd_), nullptr, FALSE);
  });
}

Win32FlashHost::~Win32FlashHost() { DestroyWindow(); }

void Win32FlashHost::ShowFlashWindow(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput,
                                     bool startTimers, const FlashDisplayRecord& record,
                                     const std::string& moviePath) {
  DestroyWindow();
  forms_.ShowFlashWindow(notify, settings, closeOnInput, startTimers, record, moviePath);
  OpenWindow(false);
}

void Win32FlashHost::ShowFlashInPanel(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput,
                                      bool startTimers, const FlashDisplayRecord& record,
                                      const std::string& moviePath) {
  DestroyWindow();
  forms_.ShowFlashInPanel(notify, settings, closeOnInput, startTimers, record, moviePath);
  OpenWindow(true);
}

void Win32FlashHost::CloseFlashWindow() {
  forms_.CloseFlashWindow();
  DestroyWindow();
}

void Win32FlashHost::OpenWindow(bool inPanel) {
  TfFlashform* form = forms_.Window();
  if (!form) return;
  RegisterFlashClass();
  const Rect& r = form->BoundsRect;
  frame_.Reset(r.Width(), r.Height(), PixelFormat::Xrgb8888);
  HWND hwnd;
  if (inPanel) {
    hwnd = CreateWindowExA(0, kFlashWindowClass, form->Caption.c_str(), WS_CHILD | WS_VISIBLE, r.left, r.top,
                           r.Width(), r.Height(), reinterpret_cast<HWND>(show_.Handle()), nullptr,
                           GetModuleHandleA(nullptr), this);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFlashWindowClass, form->Caption.c_str(), WS_POPUP,
                           r.left, r.top, r.Width(), r.Height(), nullptr, nullptr, GetModuleHandleA(nullptr), this);
    ::ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);  // the keys go to the Flash window while the movie plays
  }
  hwnd_ = hwnd;
  repaint_->SetEnabled(true);
}

void Win32FlashHost::DestroyWindow() {
  repaint_->SetEnabled(false);
  if (!hwnd_) return;
  HWND hwnd = static_cast<HWND>(hwnd_);
  hwnd_ = nullptr;
  if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void Win32FlashHost::Paint(void* dcHandle) {
  if (frame_.Empty()) return;
  Canvas(frame_).FillRect(frame_.Bounds(), kBlack);
  forms_.PaintOver(frame_);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(frame_.Stride() / 4);
  info.bmiHeader.biHeight = -frame_.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  SetDIBitsToDevice(static_cast<HDC>(dcHandle), 0, 0, frame_.Width(), frame_.Height(), 0, 0, 0, frame_.Height(),
                    frame_.Bits(), &info, DIB_RGB_COLORS);
}

intptr_t Win32FlashHost::WindowProc(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = static_cast<HWND>(window);
  TfFlashform* form = hwnd == hwnd_ ? forms_.Window() : nullptr;
  FlashControl* flash = form ? form->Flash.get() : nullptr;
  const uint16_t x = LOWORD(lParam), y = HIWORD(lParam);
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (form) Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      if (flash) flash->MouseLeftDown(x, y);
      return 0;
    case WM_LBUTTONUP:
      if (flash) flash->MouseLeftUp(x, y);
      return 0;
    case WM_RBUTTONDOWN:
      if (flash) flash->MouseRightDown(x, y);
      return 0;
    case WM_MOUSEMOVE:
      if (flash) flash->MouseMove(x, y);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (flash) flash->MouseDoubleClick(x, y);
      return 0;
    case WM_KEYDOWN:
      if (form) form->FormKeyDown(static_cast<uint16_t>(wParam));
      return 0;
    case WM_KEYUP:
      if (form) form->FormKeyUp(static_cast<uint16_t>(wParam));
      return 0;
    case WM_CHAR:
      if (form) form->FormKeyPress(static_cast<char>(wParam));
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_CLOSE:
      // Closed from outside: the show goes on with the next item and frees the window then.
      if (form) form->FormClose();
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace vitrine
