#pragma once
// What the screen really shows, read from the X server the programs under Wine draw on:
// ImageMagick's `import` reads the root window, started from here as the Linux program it is
// (Wine runs a Unix program given by its path). And the saver's report file (VITRINE_REPORT),
// read as it grows. Both wait for an event with a bound that fails only on a hang.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/stream.h"
#include "package/picture_loading.h"
#include "scr_process.h"

namespace vitrine::test {

constexpr DWORD kHangMs = 120000;  // every wait below: long enough that only a hang reaches it

// Waits until `done` holds, checking every `stepMs`; false at the bound. Messages for this
// thread's windows are dispatched meanwhile: a preview in a window of ours sends to it.
inline bool WaitUntil(const std::function<bool()>& done, DWORD boundMs = kHangMs, DWORD stepMs = 50) {
  for (DWORD waited = 0; waited <= boundMs; waited += stepMs) {
    if (done()) return true;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(stepMs);
  }
  return done();
}

inline bool FileThere(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline Bitmap ReadBmpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  MemoryStream stream(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  Bitmap picture;
  if (!in.is_open() || stream.Size() == 0 || !LoadPictureFromStream(stream, picture, 1)) return Bitmap();
  return picture;
}

// The whole X screen as the server holds it; empty when `import` gave nothing.
inline Bitmap CaptureScreen() {
  static int count = 0;
  std::string name = "/tmp/vitrine-screen-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
  std::string shot = name + ".bmp", part = name + ".part";
  // BMP3: the plain 24-bit bitmap our reader takes. Renamed when whole.
  std::string line = "/bin/sh -c \"import -window root -silent BMP3:" + part + " && mv " + part + " " + shot + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info)) {
    ADD_FAILURE() << "cannot start ImageMagick's import (bash scripts/setup-debian.sh installs it)";
    return Bitmap();
  }
  // A Unix program comes without a process handle: its file is the event.
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  std::string windows = WindowsPath(shot);
  if (!WaitUntil([&] { return FileThere(windows); })) {
    ADD_FAILURE() << "import wrote no screenshot";
    return Bitmap();
  }
  Bitmap screen = ReadBmpFile(windows);
  DeleteFileA(windows.c_str());
  return screen;
}

// The screen once `matches` holds for it, or the last one read when it never did within the
// bound: the server shows a frame a moment after the saver drew it.
inline Bitmap CaptureWhen(const std::function<bool(const Bitmap&)>& matches, DWORD boundMs = 60000) {
  Bitmap screen;
  DWORD start = GetTickCount();
  do {
    screen = CaptureScreen();
    if (screen.Empty() || matches(screen)) break;
  } while (GetTickCount() - start < boundMs);
  return screen;
}

// Saves a screen for a person to look at, as build/<preset>/screens/NAME.bmp.
inline void KeepScreen(const Bitmap& screen, const std::string& name) {
  const char* folder = std::getenv("VITRINE_SCREENS");
  if (!folder || !*folder || screen.Empty()) return;
  std::string dir = WindowsPath(folder);
  CreateDirectoryA(dir.c_str(), nullptr);
  auto bytes = EncodeBmp(screen);
  std::ofstream(dir + "\\" + name + ".bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline bool Within(Color a, Color b, int tolerance) {
  return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

// Pixels of `screen` that differ from `expected(x, y)` by more than `tolerance` in a channel.
inline int Mismatches(const Bitmap& screen, const std::function<Color(int32_t, int32_t)>& expected, int tolerance) {
  if (screen.Empty()) return -1;
  int wrong = 0;
  for (int32_t y = 0; y < screen.Height(); ++y)
    for (int32_t x = 0; x < screen.Width(); ++x) wrong += !Within(screen.GetPixel(x, y), expected(x, y), tolerance);
  return wrong;
}

// The lines the saver wrote to its report file, read as they come.
class ReportFile {
 public:
  ReportFile() : path_(TempPath("vitrine-report-" + std::to_string(GetCurrentProcessId()) + ".txt")) {
    DeleteFileA(path_.c_str());
  }
  ~ReportFile() { DeleteFileA(path_.c_str()); }
  const std::string& Path() const { return path_; }

  // Waits for the line `line` after the ones already taken; false when the saver ended or the
  // bound passed first.
  bool WaitFor(const std::string& line, ScrProcess& scr, DWORD boundMs = kHangMs) {
    bool found = false;
    WaitUntil(
        [&] {
          for (std::string next; !found && Next(next);) found = next == line;
          return found || !scr.Running();
        },
        boundMs);
    for (std::string next; !found && Next(next);) found = next == line;
    return found;
  }
  std::vector<std::string> taken;

 private:
  bool Next(std::string& line) {
    if (lines_.size() <= taken.size()) {
      // Only whole lines count: the saver may be writing the next one.
      std::ifstream in(path_, std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      lines_.clear();
      for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines_.push_back(text.substr(at, end - at));
    }
    if (lines_.size() <= taken.size()) return false;
    line = lines_[taken.size()];
    taken.push_back(line);
    return true;
  }
  std::string path_;
  std::vector<std::string> lines_;
};

}  // namespace vitrine::test
