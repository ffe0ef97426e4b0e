#pragma once
// A private X server (Xvfb) for one test, the players started as child processes with their
// report lines read from a pipe, and what a test needs of Xlib: windows, keys, pictures.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "raster/bitmap.h"

extern char** environ;

namespace vitrine::test {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VITRINE_TEST_ASAN 1
#endif
#endif

// The players run with leak detection in the sanitizer build. Mesa's software GL driver, which
// SDL's renderer loads on a virtual X server, keeps its allocations in its own globals and is
// unloaded at exit, so the leak checker would count them as leaks of a module it no longer
// knows; loaded from the start, the driver stays to the end and its memory stays reachable.
inline std::map<std::string, std::string> LeakCheckedEnvironment() {
#ifdef VITRINE_TEST_ASAN
  for (const char* driver : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "/usr/lib/dri/swrast_dri.so"})
    if (std::filesystem::exists(driver)) return {{"LD_PRELOAD", driver}};
#endif
  return {};
}

// Every wait for an event is bounded by this: long enough that only a hang reaches it.
constexpr int kHangMs = 120000;

inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> p;
  for (auto& s : strings) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

// A window listed a moment ago may be gone when its name is asked for (SDL makes and drops
// helper windows while it starts): that is no failure of the test. Other errors are shown.
inline int TolerateVanishedWindows(Display* d, XErrorEvent* e) {
  if (e->error_code == BadWindow || e->error_code == BadDrawable) return 0;
  char text[256] = {};
  XGetErrorText(d, e->error_code, text, sizeof text);
  std::fprintf(stderr, "X error: %s (request %d)\n", text, e->request_code);
  return 0;
}

// Xvfb on the first free display number from 140; gone with the object.
class XServer {
 public:
  explicit XServer(const char* screen = "800x600x24") {
    for (int n = 140; n < 240 && !display_; ++n) {
      if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
      name_ = ":" + std::to_string(n);
      std::vector<std::string> args{"Xvfb", name_, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
      auto argv = Pointers(args);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
      posix_spawn_file_actions_destroy(&actions);
      if (!pid_) return;
      for (int i = 0; i < 100 && !display_; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        display_ = XOpenDisplay(name_.c_str());
        int status = 0;
        if (!display_ && waitpid(pid_, &status, WNOHANG) == pid_) {
          pid_ = 0;  // lost the race for that number: try the next
          break;
        }
      }
      if (!display_ && pid_) Stop();
    }
    if (display_) XSetErrorHandler(TolerateVanishedWindows);
  }
  ~XServer() {
    if (display_) XCloseDisplay(display_);
    Stop();
  }
  Display* display() const { return display_; }
  const std::string& name() const { return name_; }

 private:
  void Stop() {
    if (pid_) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = 0;
  }
  std::string name_;
  pid_t pid_ = 0;
  Display* display_ = nullptr;
};

// A player run with its standard output read line by line.
class Player {
 public:
  Player(std::vector<std::string> args, const std::map<std::string, std::string>& given) {
    std::map<std::string, std::string> env = LeakCheckedEnvironment();
    for (auto& [k, v] : given) env[k] = v;
    int fds[2];
    if (pipe(fds) != 0) return;
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
      std::string entry = *e;
      if (!env.count(entry.substr(0, entry.find('=')))) environment.push_back(entry);
    }
    for (auto& [k, v] : env) environment.push_back(k + "=" + v);
    auto argv = Pointers(args);
    auto envp = Pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
  }
  ~Player() {
    if (Running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }
  bool Started() const { return pid_ != 0; }
  void Signal(int signal) {
    if (Running()) kill(pid_, signal);
  }
  bool Running() {
    if (!pid_ || exited_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      status_ = status;
    }
    return !exited_;
  }
  // True when it ended within the time (a bound that only a hang reaches).
  bool WaitExit(int ms = kHangMs) {
    for (int waited = 0; waited < ms; waited += 20) {
      if (!Running()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !Running();
  }
  // The exit code; -1 after a signal. A sanitizer build's player exits with 23 when it
  // leaked (leak detection is on for the players too).
  int ExitStatus() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
  // The next report line, or "" when none came within the time (or the player ended).
  std::string NextLine(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (true) {
      size_t nl = buffer_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return line;
      }
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
      if (left <= 0) return "";
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, left) <= 0) return "";
      char chunk[256];
      ssize_t n = read(out_, chunk, sizeof chunk);
      if (n <= 0) return "";
      buffer_.append(chunk, size_t(n));
    }
  }
  // Waits for a line that is exactly `line`; false when it did not come.
  bool WaitFor(const std::string& line, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
      std::string got = NextLine(left);
      if (got == line) return true;
      if (got.empty() && !Running()) return false;
    }
    return false;
  }

 private:
  pid_t pid_ = 0;
  int out_ = -1;
  bool exited_ = false;
  int status_ = 0;
  std::string buffer_;
};

// The top-level window with this name, or 0 when none appears within the time.
inline Window FindWindowNamed(Display* d, const char* name, int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(d, children[i], &title) && title) {
          if (std::string(title) == name) found = children[i];
          XFree(title);
        }
      }
      if (children) XFree(children);
    }
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

// What the screen shows where the window stands: the root window's pixels at the window's
// place, as a person sees them (whatever covers the window included), read back from the
// server.
inline Bitmap Capture(Display* d, Window w) {
  XWindowAttributes a;
  Bitmap shot;
  Window child = 0;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(d, w, &a) || !XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child))
    return shot;
  XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, a.width, a.height, AllPlanes, ZPixmap);
  if (!image) return shot;
  shot.Reset(a.width, a.height, PixelFormat::Xrgb8888);
  for (int row = 0; row < a.height; ++row)
    for (int col = 0; col < a.width; ++col) {
      unsigned long p = XGetPixel(image, col, row);
      shot.SetPixel(col, row, RGBColor(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)));
    }
  XDestroyImage(image);
  return shot;
}

// The screen at the window once `matches` holds for it, or the last one read when it never
// did within the bound: the server shows a frame a moment after the player reported it.
template <class Matches>
Bitmap CaptureWhen(Display* d, Window w, Matches matches, int boundMs = kHangMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  Bitmap screen = Capture(d, w);
  while (!screen.Empty() && !matches(screen) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    screen = Capture(d, w);
  }
  return screen;
}

// Pixels whose colour differs by more than `tolerance` in any channel.
inline int DifferingPixels(const Bitmap& a, const Bitmap& b, int tolerance) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  int differing = 0;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x) {
      Color p = a.GetPixel(x, y), q = b.GetPixel(x, y);
      if (std::abs(RedOf(p) - RedOf(q)) > tolerance || std::abs(GreenOf(p) - GreenOf(q)) > tolerance ||
          std::abs(BlueOf(p) - BlueOf(q)) > tolerance)
        ++differing;
    }
  return differing;
}

// A key press and release as a person makes them (through the XTEST extension).
inline void PressKey(Display* d, KeySym sym, bool shift = false) {
  KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
  KeyCode code = XKeysymToKeycode(d, sym);
  if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
  XFlush(d);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

inline void TypeText(Display* d, const std::string& text) {
  for (char c : text) {
    bool upper = c >= 'A' && c <= 'Z';
    PressKey(d, XStringToKeysym(std::string(1, upper ? char(c - 'A' + 'a') : c).c_str()), upper);
  }
}

inline void Focus(Display* d, Window w) {
  XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
  XFlush(d);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace vitrine::test
