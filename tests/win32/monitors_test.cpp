// vitrine.scr /s on two monitors side by side, as tests/win32/two_monitors.sh gives them
// (an Xorg dummy server with two RandR outputs, which Wine reports as two monitors): each
// "Monitors" value shows what it says on the real screen, read back from the X server; Esc
// and the mouse on the right-hand monitor end the show. Skipped where Wine sees one monitor,
// unless the two-monitor rig started the run (VITRINE_TWO_MONITORS): then that is a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "backends/win32/win32_registry_store.h"
#include "backends/win32/win32_services.h"
#include "scr_process.h"
#include "screen_truth.h"

namespace vitrine::test {
namespace {

constexpr int kTolerance = 8;
const Color kRed = RGBColor(200, 40, 40), kBlue = RGBColor(40, 40, 200), kGreen = RGBColor(40, 200, 40);

std::vector<RECT> MonitorRects() {
  std::vector<RECT> rects;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) WINAPI -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&rects));
  return rects;
}

// A picture red in its left half and blue in its right half.
std::vector<uint8_t> HalvesBmp() {
  Bitmap b(64, 48, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) b.SetPixel(x, y, x < 32 ? kRed : kBlue);
  return EncodeBmp(b);
}

struct Environment {
  explicit Environment(const std::string& report) {
    SetEnvironmentVariableA("VITRINE_REPORT", report.c_str());
    SetEnvironmentVariableA("VITRINE_SEED", "5");
  }
  ~Environment() {
    SetEnvironmentVariableA("VITRINE_REPORT", nullptr);
    SetEnvironmentVariableA("VITRINE_SEED", nullptr);
  }
};

struct TwoMonitors : ::testing::Test {
  ShowRig rig;
  std::unique_ptr<RegistryStore> registry = MakeWin32RegistryStore();
  RECT left{}, right{};  // the primary monitor and the one to its right

  void SetUp() override {
    std::vector<RECT> monitors = MonitorRects();
    if (monitors.size() < 2) {
      if (std::getenv("VITRINE_TWO_MONITORS")) FAIL() << "the two-monitor rig runs, but Windows reports one monitor";
      GTEST_SKIP() << "one monitor here (tests/win32/two_monitors.sh gives two)";
    }
    ASSERT_EQ(monitors.size(), 2u);
    left = monitors[0].left <= monitors[1].left ? monitors[0] : monitors[1];
    right = monitors[0].left <= monitors[1].left ? monitors[1] : monitors[0];
    ASSERT_EQ(left.left, 0) << "the primary monitor is not the left-hand one";
    ASSERT_EQ(right.left, left.right) << "the monitors are not side by side";
    rig.Set(5, "30");  // long enough on each picture for the screen to be read
    rig.Set(41, "3");  // every picture stretched over its show area
    rig.AddItem(HalvesBmp(), "halves.bmp");
    rig.AddPicture(kGreen, 16, 12);
    rig.AddPicture(RGBColor(200, 200, 40), 16, 12);
  }

  void Settings(int32_t monitors, bool mouseMove = false, const std::string& password = "") {
    TRWSetting settings(kSaverName, *registry);
    settings.EnabledPassword = !password.empty();
    settings.Pwd = password;
    settings.MouseMove = mouseMove;
    settings.MouseSensitivity = 0;  // the first move of 10 pixels or more ends the show
    settings.EscKey = true;
    settings.Monitors = monitors;
    ASSERT_TRUE(settings.SaveToRegistry());
  }

  // Points a quarter, a half and three quarters across a monitor, half way down.
  static POINT At(const RECT& m, int quarters) {
    return {m.left + (m.right - m.left) * quarters / 4, (m.top + m.bottom) / 2};
  }
  static bool Shows(const Bitmap& screen, POINT p, Color colour) {
    return p.x < screen.Width() && p.y < screen.Height() && Within(screen.GetPixel(p.x, p.y), colour, kTolerance);
  }

  // A visible top-level window of the saver's whose left edge is at `x`.
  static HWND WindowAt(ScrProcess& scr, LONG x) {
    HWND found = nullptr;
    WaitUntil([&] {
      struct Search {
        DWORD pid;
        LONG x;
        HWND found;
      } search{scr.info.dwProcessId, x, nullptr};
      EnumWindows(
          [](HWND hwnd, LPARAM data) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            RECT r;
            if (pid == s->pid && IsWindowVisible(hwnd) && GetWindowRect(hwnd, &r) && r.left == s->x) s->found = hwnd;
            return s->found == nullptr;
          },
          reinterpret_cast<LPARAM>(&search));
      found = search.found;
      return found || !scr.Running();
    });
    return found;
  }

  // Starts the saver in show mode and waits for its first picture to stand complete.
  std::unique_ptr<ScrProcess> Start(ReportFile& report) {
    std::string exe = WritePackagedScr(rig, "vitrine-monitors.scr");
    std::unique_ptr<ScrProcess> scr;
    {
      Environment env(report.Path());
      scr = std::make_unique<ScrProcess>(exe, "/s");
    }
    EXPECT_TRUE(scr->started);
    EXPECT_TRUE(report.WaitFor("complete 0", *scr)) << "the first picture never stood complete";
    return scr;
  }

  // The screen once the points a quarter and three quarters across each monitor show these
  // colours, kept under `name`; `failure` says what it shows otherwise.
  Bitmap ScreenShowing(Color left1, Color left3, Color right1, Color right3, const char* name, const char* failure) {
    auto expected = [&](const Bitmap& s) {
      return Shows(s, At(left, 1), left1) && Shows(s, At(left, 3), left3) && Shows(s, At(right, 1), right1) &&
             Shows(s, At(right, 3), right3);
    };
    Bitmap screen = CaptureWhen(expected);
    KeepScreen(screen, name);
    EXPECT_TRUE(expected(screen)) << failure;
    return screen;
  }

  // Esc typed into the right-hand monitor's window ends the whole show.
  void EscOnTheRightEndsIt(ScrProcess& scr) {
    HWND window = WindowAt(scr, right.left);
    ASSERT_NE(window, nullptr) << "no window of the saver's on the right-hand monitor";
    ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(scr.WaitExit(kHangMs)) << "Esc on the right-hand monitor did not end the show";
  }
};

TEST_F(TwoMonitors, EachMonitorItsOwnShowStartingAtDifferentItems) {
  Settings(0);
  ReportFile report;
  auto scr = Start(report);
  // The first item stretched over the left-hand monitor alone; the second over the right.
  Bitmap screen = ScreenShowing(kRed, kBlue, kGreen, kGreen, "monitors-each",
                                "not the halves on the left and the green picture on the right");
  ASSERT_EQ(screen.Width(), right.right);
  EscOnTheRightEndsIt(*scr);
}

TEST_F(TwoMonitors, TheSameShowOnEveryMonitor) {
  Settings(1);
  ReportFile report;
  auto scr = Start(report);
  ScreenShowing(kRed, kBlue, kRed, kBlue, "monitors-same", "not the halves on both monitors");
  EscOnTheRightEndsIt(*scr);
}

TEST_F(TwoMonitors, OneShowAcrossBothMonitors) {
  Settings(2);
  ReportFile report;
  auto scr = Start(report);
  // One picture across: its red half fills the left-hand monitor, its blue half the right.
  ScreenShowing(kRed, kRed, kBlue, kBlue, "monitors-span", "not one picture across both monitors");
  HWND window = WindowAt(*scr, left.left);
  ASSERT_NE(window, nullptr);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right, right.right) << "the show's window does not reach across";
  ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);  // one window over both monitors
  EXPECT_TRUE(scr->WaitExit(kHangMs)) << "Esc did not end the show";
}

TEST_F(TwoMonitors, ThePrimaryOnlyWithTheOtherBlack) {
  Settings(3);
  ReportFile report;
  auto scr = Start(report);
  auto expected = [&](const Bitmap& s) {
    if (!Shows(s, At(left, 1), kRed) || !Shows(s, At(left, 3), kBlue)) return false;
    for (LONG y = right.top; y < right.bottom; y += 8)
      for (LONG x = right.left; x < right.right; x += 8)
        if (!Shows(s, {x, y}, kBlack)) return false;
    return true;
  };
  Bitmap screen = CaptureWhen(expected);
  KeepScreen(screen, "monitors-primary");
  EXPECT_TRUE(expected(screen)) << "not the halves on the left with the right-hand monitor black";
  EscOnTheRightEndsIt(*scr);
}

// Each monitor its own show, one password: Esc on the right-hand monitor asks once, on the
// primary monitor, and while the prompt waits the other show going on takes no focus from it.
TEST_F(TwoMonitors, ThePasswordIsAskedOnceOnThePrimaryMonitor) {
  Settings(0, false, "secret");
  for (auto& field : rig.project)
    if (field.Key == 5) field.Value = "2";  // the right-hand show moves on while the prompt waits
  ReportFile report;
  auto scr = Start(report);
  HWND other = WindowAt(*scr, right.left);
  ASSERT_NE(other, nullptr);
  ::PostMessageA(other, WM_KEYDOWN, VK_ESCAPE, 0);
  HWND prompt = scr->FindWindowOf(nullptr, kPasswordCaption, kHangMs);
  ASSERT_NE(prompt, nullptr) << "no password prompt";
  const POINT quarter = At(right, 1);
  Bitmap before = CaptureScreen();
  ASSERT_FALSE(before.Empty());
  const Color shown = before.GetPixel(quarter.x, quarter.y);
  Bitmap after = CaptureWhen([&](const Bitmap& s) { return !Shows(s, quarter, shown); });
  EXPECT_FALSE(Shows(after, quarter, shown)) << "the right-hand show stood still behind the prompt";
  int prompts = 0;
  EnumWindows(
      [](HWND hwnd, LPARAM data) WINAPI -> BOOL {
        char caption[64] = {};
        GetWindowTextA(hwnd, caption, sizeof caption);
        if (IsWindowVisible(hwnd) && std::string(caption) == kPasswordCaption) ++*reinterpret_cast<int*>(data);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&prompts));
  EXPECT_EQ(prompts, 1);
  RECT r;
  GetWindowRect(prompt, &r);
  EXPECT_LT(r.left, left.right) << "the prompt is not on the primary monitor";
  EXPECT_GE(r.left, left.left);
  HWND front = GetForegroundWindow();
  char cls[64] = {};
  GetClassNameA(front, cls, sizeof cls);
  RECT fr{};
  GetWindowRect(front, &fr);
  EXPECT_EQ(front, prompt) << "the prompt lost the focus to " << cls << " at " << fr.left << "," << fr.top;
  SetWindowTextA(GetDlgItem(prompt, kPasswordEditId), "SECRET");
  ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(scr->WaitExit(kHangMs)) << "the right password did not end every show";
}

// Moves the real pointer to a point of the virtual screen.
void MovePointer(const RECT& all, LONG x, LONG y) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((int64_t(x) * 65535 + (all.right - 1) / 2) / (all.right - 1));
  input.mi.dy = static_cast<LONG>((int64_t(y) * 65535 + (all.bottom - 1) / 2) / (all.bottom - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &input, sizeof input);
}

TEST_F(TwoMonitors, MovingTheMouseOnTheOtherMonitorEndsEveryShow) {
  const RECT all{0, 0, right.right, std::max(left.bottom, right.bottom)};
  const POINT rest = At(right, 2);
  for (int32_t use : {0, 1, 3}) {
    Settings(use, true);
    // The pointer rests on the right-hand monitor before the show starts: the point it is
    // first seen at lies there.
    MovePointer(all, rest.x, rest.y);
    ReportFile report;
    auto scr = Start(report);
    MovePointer(all, rest.x + 3, rest.y);  // below the threshold
    Sleep(300);
    MovePointer(all, rest.x + 5, rest.y + 2);
    EXPECT_FALSE(scr->WaitExit(1500)) << use << ": a move of a few pixels ended the show";
    MovePointer(all, rest.x + 60, rest.y + 40);
    EXPECT_TRUE(scr->WaitExit(kHangMs)) << use << ": moving the mouse on the right-hand monitor did not end the show";
  }
}

}  // namespace
}  // namespace vitrine::test
