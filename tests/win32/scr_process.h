#pragma once
// Runs a packaged copy of vitrine.scr as the system would, and finds its windows.
#include <windows.h>
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/show_test_rig.h"

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

// The player with the rig's package appended, written to the temporary folder.
inline std::string WritePackagedScr(ShowRig& rig, const std::string& name) {
  std::ifstream in(WindowsPath(VITRINE_SCR_PATH), std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  rig.content.ProjectRecord = rig.project;
  auto package = BuildPackage(rig.content, static_cast<int64_t>(bytes.size()));
  bytes.insert(bytes.end(), package.begin(), package.end());
  std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
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
