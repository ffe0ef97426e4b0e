// vitrine.scr run as the system runs it: show, preview, settings, second instance, password.
#include <gtest/gtest.h>

#include "core/stream.h"
#include "flash/reference_movies.h"
#include "package/picture_loading.h"
#include "backends/win32/win32_flash_host.h"
#include "backends/win32/win32_registry_store.h"
#include "backends/win32/win32_services.h"
#include "backends/win32/win32_settings_dialog.h"
#include "scr_process.h"
#include "screen_truth.h"

namespace vitrine::test {
namespace {

constexpr DWORD kStartMs = kHangMs;  // 32-bit programs may run through an emulator here
// Channels may differ by the rounding of the show's 5-6-5 pixels on their way to the screen.
constexpr int kTolerance = 8;

struct ScrRun : ::testing::Test {
  ShowRig rig;
  std::unique_ptr<RegistryStore> registry = MakeWin32RegistryStore();

  void SetUp() override {
    rig.Set(5, "30");  // a long display time: the first picture stands still while we look
    rig.AddPicture(RGBColor(200, 40, 40), 300, 200);
    rig.AddPicture(RGBColor(40, 200, 40), 300, 200);
    UserSettings([](TRWSetting&) {});
    DeleteFileA(TempPath("mltqdsk.bmp").c_str());
  }
  template <class F>
  void UserSettings(F change) {
    TRWSetting settings(kSaverName, *registry);
    change(settings);
    ASSERT_TRUE(settings.SaveToRegistry());
  }
  std::string Scr() { return WritePackagedScr(rig, "vitrine-test.scr"); }
};

// A picture file whose column x has the colour RGB(x, 128, 255 - x).
std::vector<uint8_t> GradientBmp(int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, RGBColor(uint8_t(x), 128, uint8_t(255 - x)));
  return EncodeBmp(b);
}

// Sets the saver's environment for one start and clears it again.
struct Environment {
  std::vector<std::string> names;
  Environment(std::initializer_list<std::pair<const char*, std::string>> values) {
    for (auto& [name, value] : values) {
      SetEnvironmentVariableA(name, value.c_str());
      names.push_back(name);
    }
  }
  ~Environment() {
    for (auto& name : names) SetEnvironmentVariableA(name.c_str(), nullptr);
  }
};

// Centred, never enlarged, on the item's plain background: a 640 x 480 red picture and then a
// 256 x 60 gradient, each where the package's settings put it on the real screen.
TEST_F(ScrRun, TheScreenShowsEachPictureWhereTheSettingsPutItAndEscEndsTheShow) {
  ShowRig show;
  show.Set(5, "4");
  const Color red = RGBColor(224, 32, 32), blue = RGBColor(0, 0, 255), green = RGBColor(0, 160, 0);
  show.AddPicture(red, 640, 480, {{47, std::to_string(blue)}});
  show.AddItem(GradientBmp(256, 60), "gradient.bmp", {{47, std::to_string(green)}});
  std::string exe = WritePackagedScr(show, "vitrine-screen.scr");
  const int32_t W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_GE(W, 640);
  ASSERT_GE(H, 480);

  ReportFile report;
  std::unique_ptr<ScrProcess> scr;
  {
    Environment env{{"VITRINE_REPORT", report.Path()}, {"VITRINE_SEED", "4242"}};
    scr = std::make_unique<ScrProcess>(exe, "/s");
  }
  ASSERT_TRUE(scr->started);

  // The red picture at ((W - 640) / 2, (H - 480) / 2), blue around it.
  const int32_t left = (W - 640) / 2, top = (H - 480) / 2;
  auto first = [&](int32_t x, int32_t y) { return x >= left && x < left + 640 && y >= top && y < top + 480 ? red : blue; };
  ASSERT_TRUE(report.WaitFor("complete 0", *scr)) << "the first picture never stood complete";
  Bitmap screen0 = CaptureWhen([&](const Bitmap& s) { return Mismatches(s, first, kTolerance) == 0; });
  KeepScreen(screen0, "show-picture");
  ASSERT_EQ(screen0.Width(), W);
  ASSERT_EQ(screen0.Height(), H);
  EXPECT_EQ(Mismatches(screen0, first, kTolerance), 0) << "the screen is not the red picture centred on blue";

  // The gradient at ((W - 256) / 2, (H - 60) / 2), column by column, on green.
  const int32_t gl = (W - 256) / 2, gt = (H - 60) / 2;
  auto second = [&](int32_t x, int32_t y) {
    if (x < gl || x >= gl + 256 || y < gt || y >= gt + 60) return green;
    return RGBColor(uint8_t(x - gl), 128, uint8_t(255 - (x - gl)));
  };
  ASSERT_TRUE(report.WaitFor("complete 1", *scr)) << "the second picture never stood complete";
  Bitmap screen1 = CaptureWhen([&](const Bitmap& s) { return Mismatches(s, second, kTolerance) == 0; });
  KeepScreen(screen1, "show-gradient");
  EXPECT_EQ(Mismatches(screen1, second, kTolerance), 0) << "the screen is not the gradient centred on green";

  HWND window = scr->FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(window, nullptr);
  ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(scr->WaitExit(kHangMs)) << "Esc did not end the show";
  EXPECT_FALSE(FileThere(TempPath("mltqdsk.bmp")));

  // And the same screen as the headless platform composes it (its mutex is free now).
  HeadlessShowOptions options;
  options.packagePath = exe;
  options.width = W;
  options.height = H;
  options.seed = 4242;
  HeadlessShow headless(options);
  ASSERT_TRUE(headless.Start());
  for (uint64_t t = 100; t < 60000 && !(headless.Form().SelectTimer().Enabled() && !headless.Form().ShowTimer().Enabled());
       t += 100)
    headless.RunUntil(t);
  Bitmap composed = headless.Screen();
  EXPECT_EQ(Mismatches(screen0, [&](int32_t x, int32_t y) { return composed.GetPixel(x, y); }, kTolerance), 0);
  headless.Destroy();
}

TEST_F(ScrRun, SecondInstanceEndsAtOnceWhileTheShowRuns) {
  std::string exe = Scr();
  ScrProcess first(exe, "/s");
  HWND show = first.FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  ScrProcess second(exe, "/s");
  ASSERT_TRUE(second.started);
  EXPECT_TRUE(second.WaitExit(kHangMs));
  EXPECT_TRUE(first.Running());
  // Alt+F4 arrives as a system command, which the show ignores: once it has been handled
  // (the send returns), the window is still there.
  ::SendMessageA(show, WM_SYSCOMMAND, SC_CLOSE, 0);
  ::SendMessageA(show, WM_NULL, 0, 0);
  EXPECT_TRUE(IsWindow(show));
  EXPECT_TRUE(first.Running());
  ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(first.WaitExit(kHangMs));
}

TEST_F(ScrRun, WrongPasswordKeepsTheShowAndTheRightOneInAnyCaseEndsIt) {
  UserSettings([](TRWSetting& s) {
    s.EnabledPassword = true;
    s.Pwd = "secret";
  });
  ScrProcess scr(Scr(), "/S");
  HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  auto answer = [&](const char* entry) -> HWND {
    ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND prompt = scr.FindWindowOf(nullptr, kPasswordCaption, kStartMs);
    if (!prompt) return nullptr;
    SaveScreenshot(prompt, "password-prompt");
    SetWindowTextA(GetDlgItem(prompt, kPasswordEditId), entry);
    ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    return prompt;
  };
  HWND wrong = answer("wrong");
  ASSERT_NE(wrong, nullptr);
  // The prompt goes; the show stays and asks again on the next Esc.
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(wrong) || !IsWindowVisible(wrong) || !scr.Running(); }));
  EXPECT_TRUE(scr.Running()) << "a wrong password ended the show";
  EXPECT_TRUE(IsWindow(show));
  ASSERT_NE(answer("SECRET"), nullptr) << "no prompt after the wrong password";
  EXPECT_TRUE(scr.WaitExit(kHangMs));
}

// The preview fills the host's client area and plays there. What it draws cannot be read
// from the screen here: Wine does not put the drawing of a child window of another process on
// the X screen (the host shows its own face). tests/sdl checks the preview's pixels on screen.
TEST_F(ScrRun, PreviewDrawsIntoTheHostWindowAndEndsWithIt) {
  HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 260,
                                200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  ReportFile report;
  std::unique_ptr<ScrProcess> scr;
  {
    Environment env{{"VITRINE_REPORT", report.Path()}};
    scr = std::make_unique<ScrProcess>(Scr(), "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)));
  }
  HWND child = nullptr;
  // WaitUntil dispatches this thread's messages: the child is attached through them.
  WaitUntil([&] {
    child = FindWindowExA(parent, nullptr, "TfRun", nullptr);
    return child || !scr->Running();
  });
  ASSERT_NE(child, nullptr);
  RECT host, shown;
  GetClientRect(parent, &host);
  // The child is placed by the other process.
  WaitUntil([&] {
    GetWindowRect(child, &shown);
    return shown.right - shown.left == host.right && shown.bottom - shown.top == host.bottom;
  });
  EXPECT_EQ(shown.right - shown.left, host.right);
  EXPECT_EQ(shown.bottom - shown.top, host.bottom);
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);

  // The manifest's DPI awareness holds for the preview window too: per monitor, version 2.
  using GetContext = HANDLE(WINAPI*)(HWND);
  using AwarenessOf = int(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto getContext = reinterpret_cast<GetContext>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
  auto awareness = reinterpret_cast<AwarenessOf>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  if (getContext && awareness) {
    HANDLE context = getContext(child);
    EXPECT_EQ(awareness(context), 2) << "the preview is not per-monitor DPI aware; context " << context;
  }

  bool complete = false;
  WaitUntil([&] { return (complete = report.WaitFor("complete 0", *scr, 0)) || !scr->Running(); });
  EXPECT_TRUE(complete) << "the preview did not bring in its first picture";
  DestroyWindow(parent);
  EXPECT_TRUE(scr->WaitExit(kHangMs)) << "the preview outlived its host";
}

TEST_F(ScrRun, ConfigurationDialogWritesTheCheckedValuesToTheRegistry) {
  UserSettings([](TRWSetting& s) {
    s.EnterKey = true;
    s.MouseLeftClick = false;
    s.NewTransition = false;
  });
  ScrProcess scr(Scr(), "/c:1234");
  HWND dialog = scr.FindWindowOf(nullptr, "Screensaver Setting", kStartMs);
  ASSERT_NE(dialog, nullptr);
  ::SendMessageA(GetDlgItem(dialog, kIdEnterKey), BM_CLICK, 0, 0);
  ::SendMessageA(GetDlgItem(dialog, kIdMouseLeftClick), BM_CLICK, 0, 0);
  ::SendMessageA(GetDlgItem(dialog, kIdTransitionUsed), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kIdTransitionList)));
  ::SendMessageA(GetDlgItem(dialog, kIdClearAll), BM_CLICK, 0, 0);
  ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(scr.WaitExit(kStartMs));

  TRWSetting saved(kSaverName, *registry);
  ASSERT_TRUE(saved.LoadFromRegistry());
  EXPECT_FALSE(saved.EnterKey);
  EXPECT_TRUE(saved.MouseLeftClick);
  EXPECT_TRUE(saved.NewTransition);
  EXPECT_EQ(saved.Transition, "");
}

// The writer's movie of two halves, stretched over the screen: red on the left, blue on the
// right, on the real screen; it ends by its stop rule and the show goes on with the picture.
TEST_F(ScrRun, AFlashItemPlaysInTheFlashWindowAndEndsByItsStopRule) {
  std::vector<uint8_t> halves;
  for (auto& [name, bytes] : ReferenceMovies())
    if (name == "two_styles") halves = bytes;
  ASSERT_FALSE(halves.empty());
  ShowRig flash;
  flash.Set(5, "30");
  // Stop mode 1: the end after PlaySeconds (1) end checks, a second apart.
  flash.AddItem(halves, "movie.swf", kStretchedForASecond);
  flash.AddPicture(RGBColor(40, 200, 40), 300, 200);
  ReportFile report;
  std::unique_ptr<ScrProcess> scr;
  {
    Environment env{{"VITRINE_REPORT", report.Path()}};
    scr = std::make_unique<ScrProcess>(WritePackagedScr(flash, "vitrine-flash.scr"), "/s");
  }
  HWND movie = scr->FindWindowOf(kFlashWindowClass, "FlashPanel", kStartMs);
  ASSERT_NE(movie, nullptr) << "no Flash window";
  RECT r;
  GetWindowRect(movie, &r);
  const int32_t W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(r.right - r.left, W);
  EXPECT_EQ(r.bottom - r.top, H);
  ASSERT_TRUE(report.WaitFor("flash 0", *scr)) << "the Flash window drew nothing";
  // Away from the seam in the middle, where the halves meet anti-aliased.
  auto wrong = [&](const Bitmap& s) {
    int n = 0;
    for (int32_t y = 0; y < s.Height(); y += 2)
      for (int32_t x = 0; x < s.Width(); x += 2)
        if (std::abs(x - W / 2) > 3)
          n += !Within(s.GetPixel(x, y), x < W / 2 ? RGBColor(255, 0, 0) : RGBColor(0, 0, 255), kTolerance);
    return n;
  };
  Bitmap screen = CaptureWhen([&](const Bitmap& s) { return wrong(s) == 0; });
  KeepScreen(screen, "flash");
  ASSERT_EQ(screen.Width(), W);
  EXPECT_EQ(wrong(screen), 0) << "the screen does not show the movie's two halves";

  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(movie); })) << "the stop rule did not end the movie";
  ASSERT_TRUE(report.WaitFor("complete 1", *scr)) << "the show did not go on with the next item";
  Bitmap after = CaptureWhen([&](const Bitmap& s) { return Within(s.GetPixel(W / 2, H / 2), RGBColor(40, 200, 40), kTolerance); });
  EXPECT_TRUE(Within(after.GetPixel(W / 2, H / 2), RGBColor(40, 200, 40), kTolerance)) << "the picture after the movie";
  HWND show = scr->FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(scr->WaitExit(kHangMs));
}

// A Flash movie's device-font text is set in the system's face by the saver too: the demo's
// Flash 8 movie, stretched over the screen, whose bordered field at the foot of the stage
// names its effects in dark letters.
TEST_F(ScrRun, AFlashMoviesDeviceTextIsSetInTheSystemsFace) {
  ShowRig flash;
  flash.Set(5, "30");
  flash.AddItem(EffectsMovie(0), "effects.swf", kStretchedForASecond);
  ReportFile report;
  std::unique_ptr<ScrProcess> scr;
  {
    Environment env{{"VITRINE_REPORT", report.Path()}};
    scr = std::make_unique<ScrProcess>(WritePackagedScr(flash, "vitrine-flash-text.scr"), "/s");
  }
  ASSERT_NE(scr->FindWindowOf(kFlashWindowClass, "FlashPanel", kStartMs), nullptr) << "no Flash window";
  ASSERT_TRUE(report.WaitFor("flash 0", *scr)) << "the Flash window drew nothing";
  const int32_t W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  // Inside the field (stage pixels 30 to 450 across, 312 to 348 down of 480 x 360), within its border.
  auto at = [&](int32_t sx, int32_t sy) { return std::pair{sx * W / 480, sy * H / 360}; };
  auto letters = [&](const Bitmap& s) {
    auto [left, top] = at(36, 316);
    auto [right, bottom] = at(444, 345);
    int dark = 0;
    for (int32_t y = top; y < bottom; ++y)
      for (int32_t x = left; x < right; ++x) dark += RedOf(s.GetPixel(x, y)) < 120 && BlueOf(s.GetPixel(x, y)) < 160;
    return dark;
  };
  auto field = [&](const Bitmap& s) {
    auto [x, y] = at(40, 340);
    return Within(s.GetPixel(x, y), RGBColor(255, 255, 255), kTolerance);
  };
  Bitmap screen = CaptureWhen([&](const Bitmap& s) { return field(s) && letters(s) > 300; });
  KeepScreen(screen, "flash-text");
  EXPECT_TRUE(field(screen)) << "the movie's field was not shown";
  EXPECT_GT(letters(screen), 300) << "no letters in the field";
  if (HWND show = scr->FindWindowOf("TfRun", nullptr, kStartMs)) ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(scr->WaitExit(kHangMs));
}

// The packaged show of the writer's movies and ffmpeg's movie, each stretched over the screen:
// the frames the running saver's Flash window draws, as the movies play, match the reference
// players' frames, as on the headless platform (tests/flash/flash_reference_show_test.cpp).
TEST_F(ScrRun, FlashItemsShowTheFramesTheReferencePlayersDraw) {
  std::vector<uint8_t> ffmpeg = TestDataFile("flash/ffmpeg_testsrc.swf");
  ASSERT_FALSE(ffmpeg.empty()) << "tests/data not found (VITRINE_TEST_DATA)";
  ASSERT_FALSE(RufflesFrame("triangle").Empty());
  ShowRig flash;
  flash.Set(5, "30");
  auto movies = ReferenceMovies();
  for (auto& [name, bytes] : movies) flash.AddItem(bytes, name + ".swf", kStretchedForASecond);
  flash.AddItem(ffmpeg, "ffmpeg_testsrc.swf", kStretchedForASecond);
  const size_t ffmpegItem = movies.size();
  std::string folder = TempPath("vitrine-flash-frames");
  CreateDirectoryA(folder.c_str(), nullptr);
  auto frameFile = [&](size_t item, int frame) { return folder + "\\" + std::to_string(item) + "-" + std::to_string(frame) + ".bmp"; };
  for (size_t item = 0; item <= ffmpegItem; ++item)
    for (int frame : {0, 1, 2, 36, 71}) DeleteFileA(frameFile(item, frame).c_str());

  ReportFile report;
  std::unique_ptr<ScrProcess> scr;
  {
    Environment env{{"VITRINE_CAPTURE_FLASH", folder}, {"VITRINE_REPORT", report.Path()}};
    scr = std::make_unique<ScrProcess>(WritePackagedScr(flash, "vitrine-flash-frames.scr"), "/s");
  }
  ASSERT_TRUE(scr->started);
  // Every movie in turn, then the first again: by then ffmpeg's movie has played out.
  for (size_t item = 0; item <= ffmpegItem; ++item)
    ASSERT_TRUE(report.WaitFor("flash " + std::to_string(item), *scr)) << "item " << item << " drew nothing";
  ASSERT_TRUE(report.WaitFor("flash 0", *scr));
  if (HWND show = scr->FindWindowOf("TfRun", nullptr, kStartMs)) ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(scr->WaitExit(kHangMs));

  int compared = 0;
  for (size_t item = 0; item <= ffmpegItem; ++item) {
    std::string name = item < ffmpegItem ? movies[item].first : "ffmpeg_testsrc";
    // The writer's movies have one frame; ffmpeg's three, of which a loaded machine may draw
    // the second or third too late to see: its first and at least one more are required.
    // The demo movie's copies go to their frame at once and stop there: that is the frame
    // the window draws first, and the capture names its file after it.
    const int stopFrame = name.rfind("demo_frame", 0) == 0 ? std::stoi(name.substr(10)) : 0;
    int needed = item < ffmpegItem ? 1 : 2, seen = 0;
    for (int k = 0; k < (item < ffmpegItem ? 1 : 3); ++k) {
      const int frame = item < ffmpegItem ? stopFrame : k;
      SCOPED_TRACE(name + " frame " + std::to_string(frame));
      Bitmap drawn = ReadBmpFile(frameFile(item, frame));
      if (drawn.Empty()) {
        EXPECT_NE(k, 0) << "the first frame was not drawn";
        continue;
      }
      ++seen;
      EXPECT_EQ(drawn.Width(), GetSystemMetrics(SM_CXSCREEN));
      Bitmap reference = item < ffmpegItem ? RufflesFrame(name) : FfmpegsFrame(frame);
      FrameDifference d = CompareWithReference(drawn, reference);
      std::printf("wine %-16s frame %d: mean %.3f, worst block %.3f\n", name.c_str(), frame, d.mean, d.worst);
      EXPECT_TRUE(d.Matches()) << "mean " << d.mean << ", worst block " << d.worst;
      compared += d.compared > 0;
      DeleteFileA(frameFile(item, frame).c_str());
    }
    EXPECT_GE(seen, needed) << name;
  }
  EXPECT_GE(compared, int(movies.size()) + 2);
  RemoveDirectoryA(folder.c_str());
}

// A 32-bit saver copied into the real System32 of 64-bit Windows is started from there, while
// its own opens of that path are sent to SysWOW64, where it is not. Run by the 64-bit tests,
// which see the real System32, with the win32 build's player.
TEST_F(ScrRun, A32BitSaverInTheRealSystem32ReadsItsOwnPackage) {
  if (sizeof(void*) != 8) GTEST_SKIP() << "only a 64-bit program can place a file in the real System32";
  std::string player32 = VITRINE_SCR32_PATH;
  if (!FileThere(WindowsPath(player32))) GTEST_SKIP() << "no 32-bit build at " << player32;
  // Whether this machine runs 32-bit programs at all is learnt once from a trivial one; from
  // then on, a saver that does not show is a failure.
  std::string trivial = VITRINE_TRIVIAL32_PATH;
  ASSERT_FALSE(trivial.empty()) << "the build made no trivial 32-bit program (i686-w64-mingw32-gcc)";
  {
    ScrProcess probe(WindowsPath(trivial), "");
    if (!probe.started) GTEST_SKIP() << "this machine does not run 32-bit programs (Windows error " << GetLastError() << ")";
    ASSERT_TRUE(probe.WaitExit(kHangMs));
    DWORD code = 0;
    GetExitCodeProcess(probe.info.hProcess, &code);
    if (code != 42) GTEST_SKIP() << "this machine does not run 32-bit programs (a trivial one ended with " << code << ")";
  }
  {
    ScrProcess scr(WritePackagedScr(rig, "vitrine-32.scr", player32), "/s");
    ASSERT_TRUE(scr.started);
    HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs);
    ASSERT_NE(show, nullptr) << "the 32-bit saver did not show (it ended or crashed)";
    ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(scr.WaitExit(kHangMs));
  }
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  std::string installed = std::string(system) + "\\vitrine-wow64-test.scr";
  WritePackagedScr(rig, "", player32, installed);
  {
    ScrProcess scr(installed, "/s");
    ASSERT_TRUE(scr.started);
    HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs);
    EXPECT_NE(show, nullptr) << "the saver in System32 could not read its package";
    if (show) ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(scr.WaitExit(kHangMs));
  }
  DeleteFileA(installed.c_str());
}

}  // namespace
}  // namespace vitrine::test
