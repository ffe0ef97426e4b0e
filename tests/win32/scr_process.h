#pragma once
// Runs a packaged copy of vitrine.scr as the system would, and finds its windows.
#include <windows.h>
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/show_test_rig.h"
#include "raster/image_files.h"

namespace vitrine::test {

// The build's Linux path as Wine's drive Z: sees it.
inline std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

inline std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

// The player with the rig's package appended, written to the temporary folder (or to `path`).
inline std::string WritePackagedScr(ShowRig& rig, const std::string& name, const std::string& player = VITRINE_SCR_PATH,
                                    std::string path = "") {
  std::ifstream in(WindowsPath(player), std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  rig.content.ProjectRecord = rig.project;
  auto package = BuildPackage(rig.content, static_cast<int64_t>(bytes.size()));
  bytes.insert(bytes.end(), package.begin(), package.end());
  if (path.empty()) path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

// Saves what the screen shows of a window as build/<arch>/screens/<name>.bmp (the folder
// CTest names in VITRINE_SCREENS), for a person to look at.
inline void SaveScreenshot(HWND window, const std::string& name) {
  const char* folder = std::getenv("VITRINE_SCREENS");
  if (!folder || !*folder || !window) return;
  std::string dir = WindowsPath(folder);
  CreateDirectoryA(dir.c_str(), nullptr);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  RECT r;
  GetWindowRect(window, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  Bitmap shot(w, h, PixelFormat::Xrgb8888);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t p = static_cast<const uint32_t*>(bits)[size_t(y) * w + x];  // 0x00RRGGBB
      shot.SetPixel(x, y, RGBColor(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)));
    }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  auto bytes = EncodeBmp(shot);
  std::ofstream(dir + "\\" + name + ".bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

struct ScrProcess {
  PROCESS_INFORMATION info{};
  bool started = false;

  ScrProcess(const std::string& exe, const std::string& args) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info);
  }
  ~ScrProcess() {
    if (!started) return;
    if (Running()) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  // True when it ended within the time.
  bool WaitExit(DWORD ms) { return WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0; }

  // A top-level window of this process with the given class (or caption), waiting for it.
  HWND FindWindowOf(const char* className, const char* caption, DWORD ms) {
    for (DWORD waited = 0; waited <= ms; waited += 50) {
      struct Search {
        DWORD pid;
        const char* cls;
        const char* caption;
        HWND found;
      } search{info.dwProcessId, className, caption, nullptr};
      EnumWindows(
          [](HWND hwnd, LPARAM data) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            char text[128] = {};
            if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
            if (s->cls && (GetClassNameA(hwnd, text, sizeof text), std::string(text) != s->cls)) return TRUE;
            if (s->caption && (GetWindowTextA(hwnd, text, sizeof text), std::string(text) != s->caption)) return TRUE;
            s->found = hwnd;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.found) return search.found;
      if (!Running()) return nullptr;
      Sleep(50);
    }
    return nullptr;
  }
};

}  // namespace vitrine::test
