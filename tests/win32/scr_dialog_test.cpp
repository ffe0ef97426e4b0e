// vitrine.scr's settings dialog and about box as the user meets them: /c, driven by window
// messages, with a screenshot of every page.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "scr_process.h"
#include "screen_truth.h"
// After windows.h, which scr_process.h brings.
#include <commctrl.h>

#include "backends/win32/win32_registry_store.h"
#include "backends/win32/win32_settings_dialog.h"

namespace vitrine::test {
namespace {

constexpr DWORD kStartMs = kHangMs;

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct ScrDialog : ::testing::Test {
  ShowRig rig;
  std::unique_ptr<RegistryStore> registry = MakeWin32RegistryStore();

  void SetUp() override {
    rig.AddPicture(RGBColor(200, 40, 40), 300, 200);
    Settings([](TRWSetting&) {});
  }
  template <class F>
  void Settings(F change) {
    TRWSetting settings(kSaverName, *registry);
    change(settings);
    ASSERT_TRUE(settings.SaveToRegistry());
  }
  TRWSetting Stored() {
    TRWSetting settings(kSaverName, *registry);
    EXPECT_TRUE(settings.LoadFromRegistry());
    return settings;
  }
};

TEST_F(ScrDialog, EveryPageTheMenuAndTheAboutBox) {
  rig.Set(9, "1");  // the banner, embedded
  rig.Set(38, "1");
  rig.Set(31, "banner.bmp");
  rig.content.Banner = SolidBmp(RGBColor(40, 90, 200), 60, 150);
  rig.Set(15, "1");  // the author's page
  rig.Set(16, "A. Author");
  rig.Set(17, "1");
  rig.Set(18, "http://example.invalid/");
  rig.Set(19, "1");
  rig.Set(20, "author@example.invalid");
  rig.Set(28, "1");
  rig.Set(29, "A show of three pictures.");
  rig.Set(24, "1");  // the Help menu
  rig.Set(26, "2.5");
  rig.Set(80, "Version");  // the about box's two labels come from the package
  rig.Set(81, "Memory Available to Windows:");
  ScrProcess scr(WritePackagedScr(rig, "vitrine-dialog.scr"), "/c");
  HWND dialog = scr.FindWindowOf(nullptr, "Screensaver Setting", kStartMs);
  ASSERT_NE(dialog, nullptr);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 450);
  EXPECT_EQ(client.bottom, 262);

  // The menu bar sits above the client area (its items are not readable from another process
  // under Wine; the screenshots show them).
  EXPECT_NE(GetMenu(dialog), nullptr);

  HWND tabs = GetDlgItem(dialog, kIdTabs);
  ASSERT_EQ(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);  // the password page is never shown
  const char* names[] = {"setting", "transitions", "author"};
  for (int page = 0; page < 3; ++page) {
    ::SendMessageA(tabs, TCM_SETCURFOCUS, page, 0);
    Sleep(200);
    SaveScreenshot(dialog, std::string("settings-") + names[page]);
  }
  EXPECT_EQ(TextOf(GetDlgItem(dialog, kIdAuthor)), "A. Author");
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kIdAuthor)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kIdMouseMove)));
  // The run-time row stands inside its page, above the buttons.
  RECT caption, ok;
  ::SendMessageA(tabs, TCM_SETCURFOCUS, 0, 0);
  GetWindowRect(GetDlgItem(dialog, kIdMaxRuntimeEdit), &caption);
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  EXPECT_LT(caption.bottom, ok.top);

  ::PostMessageA(dialog, WM_COMMAND, kIdMenuAbout, 0);
  HWND about = scr.FindWindowOf(nullptr, "About Rig.scr", kStartMs);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(about, kIdAboutVersion)), "2.5");
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatusEx(&memory);
  EXPECT_EQ(TextOf(GetDlgItem(about, kIdAboutMemory)), std::to_string(memory.ullTotalPhys / 1024) + " K");
  SaveScreenshot(about, "about");
  ::PostMessageA(about, WM_COMMAND, kIdAboutOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  EXPECT_TRUE(IsWindow(dialog));

  ::PostMessageA(dialog, WM_COMMAND, kIdMenuExit, 0);
  EXPECT_TRUE(scr.WaitExit(kStartMs));
}

// The password page cannot be reached: a stored password switch without a password keeps OK
// from saving, as the dialog's rule says, with the rule's message.
TEST_F(ScrDialog, AnEnabledPasswordWithoutOneKeepsTheDialogOpen) {
  Settings([](TRWSetting& s) {
    s.EnabledPassword = true;
    s.Pwd = "";
    s.EscKey = true;
  });
  ScrProcess scr(WritePackagedScr(rig, "vitrine-dialog.scr"), "/c");
  HWND dialog = scr.FindWindowOf(nullptr, "Screensaver Setting", kStartMs);
  ASSERT_NE(dialog, nullptr);
  ::SendMessageA(GetDlgItem(dialog, kIdEscKey), BM_CLICK, 0, 0);
  ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  HWND box = scr.FindWindowOf("#32770", nullptr, kStartMs);
  ASSERT_NE(box, nullptr) << "no message box";
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), "Please input password!");
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !scr.Running(); }));
  EXPECT_TRUE(scr.Running()) << "the dialog closed";
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_TRUE(Stored().EscKey) << "nothing is written";

  // Save in the File menu runs the same rule; Cancel leaves without writing.
  ::PostMessageA(dialog, WM_COMMAND, kIdMenuSave, 0);
  box = scr.FindWindowOf("#32770", nullptr, kStartMs);
  ASSERT_NE(box, nullptr);
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(scr.WaitExit(kStartMs));
  EXPECT_TRUE(Stored().EscKey);
}

// The drop-down of how the show uses several monitors, beside the music on the first page:
// its four choices, the stored value chosen, and the user's choice written back by OK.
TEST_F(ScrDialog, TheMonitorsDropDownShowsAndWritesTheStoredValue) {
  Settings([](TRWSetting& s) { s.Monitors = 1; });  // the longest choice, seen whole in the screenshot
  ScrProcess scr(WritePackagedScr(rig, "vitrine-dialog.scr"), "/c");
  HWND dialog = scr.FindWindowOf(nullptr, "Screensaver Setting", kStartMs);
  ASSERT_NE(dialog, nullptr);
  HWND monitors = GetDlgItem(dialog, kIdMonitors);
  ASSERT_NE(monitors, nullptr);
  EXPECT_TRUE(IsWindowVisible(monitors)) << "not on the page the dialog opens at";
  ASSERT_EQ(::SendMessageA(monitors, CB_GETCOUNT, 0, 0), 4);
  const char* choices[] = {"Each monitor its own show", "The same show on every monitor",
                           "One show across all monitors", "The primary monitor only"};
  for (int i = 0; i < 4; ++i) {
    // Read as wide text: Wine hands another process's combo box text over as such.
    wchar_t text[128] = {};
    ASSERT_LT(::SendMessageW(monitors, CB_GETLBTEXTLEN, i, 0), LRESULT(std::size(text)));
    ::SendMessageW(monitors, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), std::wstring(choices[i], choices[i] + std::strlen(choices[i])));
  }
  EXPECT_EQ(::SendMessageA(monitors, CB_GETCURSEL, 0, 0), 1);
  // Inside its page, beside the music's box and above the buttons.
  RECT box, music, ok;
  GetWindowRect(monitors, &box);
  GetWindowRect(GetDlgItem(dialog, kIdEnabledMusic), &music);
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  EXPECT_GE(box.left, music.right);
  EXPECT_LT(box.bottom, ok.top);
  SaveScreenshot(dialog, "settings-monitors");

  ::SendMessageA(monitors, CB_SETCURSEL, 2, 0);
  ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(scr.WaitExit(kStartMs));
  EXPECT_EQ(Stored().Monitors, 2);
}

}  // namespace
}  // namespace vitrine::test
