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

namespace vitrine::test {
namespace {

constexpr DWORD kStartMs = 60000;  // 32-bit programs may run through an emulator here

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

TEST_F(ScrRun, ShowMatchesTheHeadlessRenderAndEndsOnEscWithoutLeavingFiles) {
  std::string exe = Scr();
  std::string capture = TempPath("vitrine-capture.bmp");
  DeleteFileA(capture.c_str());
  SetEnvironmentVariableA("VITRINE_SEED", "4242");
  SetEnvironmentVariableA("VITRINE_CAPTURE", capture.c_str());
  ScrProcess scr(exe, "/s");
  SetEnvironmentVariableA("VITRINE_CAPTURE", nullptr);
  ASSERT_TRUE(scr.started);
  HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  for (DWORD waited = 0; waited < kStartMs && GetFileAttributesA(capture.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 100)
    Sleep(100);

  std::ifstream in(capture, std::ios::binary);
  MemoryStream stream(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  Bitmap shown;
  ASSERT_TRUE(LoadPictureFromStream(stream, shown, 1)) << "no capture from the running show";
  SaveScreenshot(show, "show");

  HeadlessShowOptions options;
  options.packagePath = exe;
  options.width = GetSystemMetrics(SM_CXSCREEN);
  options.height = GetSystemMetrics(SM_CYSCREEN);
  options.seed = 4242;
  {
    // The headless show needs the mutex the running one holds: let it end first.
    ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(scr.WaitExit(kStartMs)) << "Esc did not end the show";
  }
  HeadlessShow headless(options);
  ASSERT_TRUE(headless.Start());
  for (uint64_t t = 100; t < 60000 && !(headless.Form().SelectTimer().Enabled() && !headless.Form().ShowTimer().Enabled());
       t += 100)
    headless.RunUntil(t);
  Bitmap expected = headless.Screen();
  ASSERT_EQ(shown.Width(), expected.Width());
  ASSERT_EQ(shown.Height(), expected.Height());
  int differing = 0;
  for (int32_t y = 0; y < expected.Height(); ++y)
    for (int32_t x = 0; x < expected.Width(); ++x) differing += shown.GetPixel(x, y) != expected.GetPixel(x, y);
  EXPECT_EQ(differing, 0) << "pixels differ from the headless render";
  headless.Destroy();

  EXPECT_EQ(GetFileAttributesA(TempPath("mltqdsk.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ScrRun, SecondInstanceEndsAtOnceWhileTheShowRuns) {
  std::string exe = Scr();
  ScrProcess first(exe, "/s");
  HWND show = first.FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  ScrProcess second(exe, "/s");
  ASSERT_TRUE(second.started);
  EXPECT_TRUE(second.WaitExit(kStartMs));
  EXPECT_TRUE(first.Running());
  // Alt+F4 arrives as a system command, which the show ignores.
  ::SendMessageA(show, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(first.WaitExit(500));
  ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(first.WaitExit(kStartMs));
}

TEST_F(ScrRun, WrongPasswordKeepsTheShowAndTheRightOneInAnyCaseEndsIt) {
  UserSettings([](TRWSetting& s) {
    s.EnabledPassword = true;
    s.Pwd = "secret";
  });
  ScrProcess scr(Scr(), "/S");
  HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  auto answer = [&](const char* entry) {
    ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND prompt = scr.FindWindowOf(nullptr, kPasswordCaption, kStartMs);
    if (!prompt) return false;
    SaveScreenshot(prompt, "password-prompt");
    SetWindowTextA(GetDlgItem(prompt, kPasswordEditId), entry);
    ::PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    return true;
  };
  ASSERT_TRUE(answer("wrong"));
  EXPECT_FALSE(scr.WaitExit(1500));
  ASSERT_TRUE(answer("SECRET"));
  EXPECT_TRUE(scr.WaitExit(kStartMs));
}

TEST_F(ScrRun, PreviewDrawsIntoTheHostWindowAndEndsWithIt) {
  HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 220,
                                180, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  // What the preview draws, saved by the preview itself: Wine does not put the drawing of a
  // child window of another process on the screen, so a screenshot of the host shows nothing.
  std::string capture = TempPath("vitrine-preview.bmp");
  DeleteFileA(capture.c_str());
  SetEnvironmentVariableA("VITRINE_CAPTURE", capture.c_str());
  ScrProcess scr(Scr(), "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)));
  SetEnvironmentVariableA("VITRINE_CAPTURE", nullptr);
  HWND child = nullptr;
  auto pump = [] {
    MSG msg;  // the child is attached through messages to this thread's window
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(50);
  };
  for (DWORD waited = 0; waited < kStartMs && !child && scr.Running(); waited += 50) {
    pump();
    child = FindWindowExA(parent, nullptr, "TfRun", nullptr);
  }
  ASSERT_NE(child, nullptr);
  RECT host, shown;
  GetClientRect(parent, &host);
  // The child is placed by the other process; give it the time to get there.
  for (DWORD waited = 0; waited < 5000; waited += 50) {
    GetWindowRect(child, &shown);
    if (shown.right - shown.left == host.right && shown.bottom - shown.top == host.bottom) break;
    pump();
  }
  EXPECT_EQ(shown.right - shown.left, host.right);
  EXPECT_EQ(shown.bottom - shown.top, host.bottom);
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);

  // The manifest's DPI awareness holds for the preview window too: per monitor, version 2.
  using GetContext = HANDLE(WINAPI*)(HWND);
  using AwarenessOf = int(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto getContext = reinterpret_cast<GetContext>(GetProcAddress(user32, "GetWindowDpiAwarenessContext"));
  auto awareness = reinterpret_cast<AwarenessOf>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext"));
  if (getContext && awareness) {
    HANDLE context = getContext(child);
    EXPECT_EQ(awareness(context), 2) << "the preview is not per-monitor DPI aware; context " << context;
  }

  for (DWORD waited = 0; waited < kStartMs && GetFileAttributesA(capture.c_str()) == INVALID_FILE_ATTRIBUTES;
       waited += 50)
    pump();
  std::ifstream in(capture, std::ios::binary);
  MemoryStream stream(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  Bitmap drawn;
  ASSERT_TRUE(LoadPictureFromStream(stream, drawn, 1)) << "no capture from the preview";
  EXPECT_EQ(drawn.Width(), host.right);
  EXPECT_EQ(drawn.Height(), host.bottom);
  // The first picture, in the show's 16-bit colours.
  Color centre = drawn.GetPixel(drawn.Width() / 2, drawn.Height() / 2);
  EXPECT_NEAR(int(centre & 0xFF), 200, 7);
  EXPECT_NEAR(int((centre >> 8) & 0xFF), 40, 7);
  EXPECT_NEAR(int((centre >> 16) & 0xFF), 40, 7);
  in.close();
  std::string screens = std::getenv("VITRINE_SCREENS") ? WindowsPath(std::getenv("VITRINE_SCREENS")) : "";
  if (!screens.empty()) {
    CreateDirectoryA(screens.c_str(), nullptr);
    CopyFileA(capture.c_str(), (screens + "\\preview.bmp").c_str(), FALSE);
  }
  DeleteFileA(capture.c_str());
  DestroyWindow(parent);
  EXPECT_TRUE(scr.WaitExit(kStartMs));
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

TEST_F(ScrRun, AFlashItemPlaysInTheFlashWindowAndEndsByItsStopRule) {
  ShowRig flash;
  flash.Set(5, "30");
  // Stop mode 1: the end after PlaySeconds (1) end checks, a second apart.
  flash.AddItem({'F', 'W', 'S', 6, 0, 0, 0, 0}, "movie.swf",
                {{52, "1"}, {56, std::to_string(RGBColor(0, 0, 255))}, {65, "1"}, {69, "1"}});
  flash.AddPicture(RGBColor(40, 200, 40), 300, 200);
  ScrProcess scr(WritePackagedScr(flash, "vitrine-flash.scr"), "/s");
  HWND movie = scr.FindWindowOf(kFlashWindowClass, "FlashPanel", kStartMs);
  ASSERT_NE(movie, nullptr) << "no Flash window";
  RECT r;
  GetWindowRect(movie, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
  Sleep(300);
  HDC screen = GetDC(nullptr);
  COLORREF centre = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(centre, RGB(0, 0, 255)) << "the movie's background colour";
  SaveScreenshot(movie, "flash");
  DWORD waited = 0;
  for (; waited < 20000 && IsWindow(movie); waited += 100) Sleep(100);
  EXPECT_FALSE(IsWindow(movie)) << "the stop rule did not end the movie";
  EXPECT_GE(waited, 1000u);
  EXPECT_TRUE(scr.Running()) << "the show goes on with the next item";
  HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs);
  ASSERT_NE(show, nullptr);
  ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(scr.WaitExit(kStartMs));
}

// The packaged show of the writer's movies and ffmpeg's movie, each stretched over the screen:
// the frames the running saver's Flash window draws match the reference players' frames, as
// on the headless platform (tests/flash/flash_reference_show_test.cpp).
TEST_F(ScrRun, FlashItemsShowTheFramesTheReferencePlayersDraw) {
  std::vector<uint8_t> ffmpeg = TestDataFile("flash/ffmpeg_testsrc.swf");
  ASSERT_FALSE(ffmpeg.empty()) << "tests/data not found (VITRINE_TEST_DATA)";
  ASSERT_FALSE(RufflesFrame("triangle").Empty());
  ShowRig flash;
  flash.Set(5, "30");
  const PackageRecord stretched = {{52, "1"}, {56, "-1"}, {55, "2"}, {65, "1"}, {69, "1"}};
  auto movies = ReferenceMovies();
  for (auto& [name, bytes] : movies) flash.AddItem(bytes, name + ".swf", stretched);
  flash.AddItem(ffmpeg, "ffmpeg_testsrc.swf", stretched);
  std::string folder = TempPath("vitrine-flash-frames");
  CreateDirectoryA(folder.c_str(), nullptr);
  // The writer movies stand at one frame, compared as shown (-1); ffmpeg's movie plays on, its
  // three frames reached with GotoFrame.
  auto frameFile = [&](size_t item, int frame) {
    return folder + "\\" + std::to_string(item) + (frame < 0 ? "" : "-" + std::to_string(frame)) + ".bmp";
  };
  auto framesOf = [&](size_t item) { return item < movies.size() ? std::vector<int>{-1} : std::vector<int>{0, 1, 2}; };
  for (size_t item = 0; item <= movies.size(); ++item)
    for (int frame : framesOf(item)) DeleteFileA(frameFile(item, frame).c_str());

  SetEnvironmentVariableA("VITRINE_CAPTURE_FLASH", folder.c_str());
  ScrProcess scr(WritePackagedScr(flash, "vitrine-flash-frames.scr"), "/s");
  SetEnvironmentVariableA("VITRINE_CAPTURE_FLASH", nullptr);
  ASSERT_TRUE(scr.started);
  std::string last = frameFile(movies.size(), 2);
  for (DWORD waited = 0; waited < 4 * kStartMs && GetFileAttributesA(last.c_str()) == INVALID_FILE_ATTRIBUTES;
       waited += 200)
    Sleep(200);
  if (HWND show = scr.FindWindowOf("TfRun", nullptr, kStartMs)) ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(scr.WaitExit(kStartMs));

  for (size_t item = 0; item <= movies.size(); ++item) {
    std::string name = item < movies.size() ? movies[item].first : "ffmpeg_testsrc";
    for (int frame : framesOf(item)) {
      SCOPED_TRACE(name + " frame " + std::to_string(frame));
      std::ifstream in(frameFile(item, frame), std::ios::binary);
      MemoryStream stream(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
      Bitmap drawn;
      ASSERT_TRUE(LoadPictureFromStream(stream, drawn, 1)) << "no frame captured";
      EXPECT_EQ(drawn.Width(), GetSystemMetrics(SM_CXSCREEN));
      Bitmap reference = item < movies.size() ? RufflesFrame(name) : FfmpegsFrame(frame);
      FrameDifference d = CompareWithReference(drawn, reference);
      std::printf("wine %-16s frame %d: mean %.3f, worst block %.3f\n", name.c_str(), frame, d.mean, d.worst);
      EXPECT_TRUE(d.Matches()) << "mean " << d.mean << ", worst block " << d.worst;
      DeleteFileA(frameFile(item, frame).c_str());
    }
  }
  RemoveDirectoryA(folder.c_str());
}

// A 32-bit saver copied into the real System32 of 64-bit Windows is started from there, while
// its own opens of that path are sent to SysWOW64, where it is not. Run by the 64-bit tests,
// which see the real System32, with the win32 build's player.
TEST_F(ScrRun, A32BitSaverInTheRealSystem32ReadsItsOwnPackage) {
  if (sizeof(void*) != 8) GTEST_SKIP() << "only a 64-bit program can place a file in the real System32";
  std::string player32 = VITRINE_SCR32_PATH;
  if (GetFileAttributesA(WindowsPath(player32).c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no 32-bit build at " << player32;
  {
    // Where 32-bit programs cannot run at all, there is nothing to show.
    ScrProcess probe(WritePackagedScr(rig, "vitrine-32.scr", player32), "/s");
    HWND show = probe.FindWindowOf("TfRun", nullptr, kStartMs);
    if (!show) GTEST_SKIP() << "this machine does not run 32-bit programs";
    ::PostMessageA(show, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(probe.WaitExit(kStartMs));
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
    EXPECT_TRUE(scr.WaitExit(kStartMs));
  }
  DeleteFileA(installed.c_str());
}

}  // namespace
}  // namespace vitrine::test
