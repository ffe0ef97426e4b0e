#include "backends/win32/win32_services.h"

#include <windows.h>
#include <shellapi.h>
// The interfaces have methods of these names; the ANSI/wide macros would rename them.
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/file_system.h"
#include "backends/win32/win32_modal_form.h"

namespace vitrine {

void UsePerMonitorDpiAwareness() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  using SetContext = BOOL(WINAPI*)(HANDLE);
  auto setContext = reinterpret_cast<SetContext>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(-4);  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  // Fails harmlessly when the manifest has set it already.
  if (setContext && setContext(perMonitorV2)) return;
  if (!setContext) SetProcessDPIAware();
}

bool Win32Services::AcquireSingleInstance(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
  if (GetLastError() == ERROR_ALREADY_EXISTS) return false;  // ends at once; the handle goes with the process
  mutex_ = mutex;  // a failure for another reason runs without the protection
  return true;
}

void Win32Services::ReleaseSingleInstance() {
  if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
  mutex_ = nullptr;
}

std::string Win32Services::ExecutablePath() {
  char path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, n);
}

Bitmap Win32Services::DesktopSnapshot() {
  // The show's area of the virtual screen, or the primary monitor.
  int left = 0, top = 0, w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  if (!showArea.Empty()) {
    left = showArea.left;
    top = showArea.top;
    w = showArea.Width();
    h = showArea.Height();
  }
  Bitmap shot(w, h, PixelFormat::Xrgb8888);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, left, top, SRCCOPY);
    GdiFlush();
    // A 32-bit DIB holds B, G, R, unused: the layout of Xrgb8888.
    for (int y = 0; y < h; ++y) std::memcpy(shot.Row(y), static_cast<uint8_t*>(bits) + size_t(y) * w * 4, size_t(w) * 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) shot.Row(y)[x * 4 + 3] = 0;
    SelectObject(memory, old);
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

uint64_t Win32Services::TotalPhysicalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

uint64_t Win32Services::ClockSeed() {
  if (const char* seed = std::getenv("VITRINE_SEED"); seed && *seed) {
    char* end = nullptr;
    unsigned long long value = std::strtoull(seed, &end, 10);
    if (end && *end == 0) return value;
  }
  return static_cast<uint64_t>(std::time(nullptr));
}

void Win32Services::ShellOpen(const std::string& address) {
  ShellExecuteA(reinterpret_cast<HWND>(owner), "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void Win32Services::MessageBox(const std::string& text) {
  // Captioned with the program's name, as the system's own message dialogs are.
  std::string name = ExtractFileName(ExecutablePath());
  if (auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), name.c_str(), MB_OK | MB_TOPMOST);
}

bool Win32Services::GetPassword(std::string& entry) {
  ModalForm form(kPasswordCaption, 259, 82, reinterpret_cast<HWND>(owner));
  form.AddControl("STATIC", kPasswordLabel, 0, 5, 3, 240, 16, -1);
  form.AddControl("EDIT", "", WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 8, 22, 241, 21, kPasswordEditId,
                  WS_EX_CLIENTEDGE);
  form.AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 26, 52, 75, 25, IDOK);
  form.AddControl("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 154, 52, 75, 25, IDCANCEL);
  // Asterisks whatever the system's default password character is.
  SendMessageA(form.Control(kPasswordEditId), EM_SETPASSWORDCHAR, '*', 0);
  if (form.Run() != IDOK) return false;
  HWND edit = form.Control(kPasswordEditId);
  int length = GetWindowTextLengthA(edit);
  std::string text(size_t(length) + 1, '\0');
  GetWindowTextA(edit, text.data(), length + 1);
  text.resize(size_t(length));
  entry = text;
  return true;
}

void Win32Services::ShowSettingsDialog() {
  if (settingsDialog) settingsDialog();
}

}  // namespace vitrine
