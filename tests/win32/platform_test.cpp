// The Windows event loop and the MCI player inside the test process.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#undef PostMessage
#undef SendMessage

#include <fstream>

#include "app/show_test_rig.h"
#include "backends/win32/win32_event_loop.h"
#include "backends/win32/win32_mci_player.h"

namespace vitrine {
namespace {

struct Recorder final : MessageTarget {
  std::vector<uint32_t> seen;
  void HandleMessage(uint32_t message, uintptr_t, intptr_t) override { seen.push_back(message); }
};

TEST(Win32EventLoop, PostedMessagesRunInOrderSentOnesAtOnceAndForgottenOnesNever) {
  Win32EventLoop loop;
  Recorder a, b;
  loop.PostMessage(a, 0x572);
  loop.PostMessage(b, 0x573);
  loop.PostMessage(a, 0x574);
  loop.SendMessage(a, 0x576);
  EXPECT_EQ(a.seen, (std::vector<uint32_t>{0x576}));
  loop.ForgetTarget(b);
  loop.ProcessMessages();
  EXPECT_EQ(a.seen, (std::vector<uint32_t>{0x576, 0x572, 0x574}));
  EXPECT_TRUE(b.seen.empty());
}

TEST(Win32EventLoop, TimersFireUntilDisabledAndQuitEndsTheLoop) {
  Win32EventLoop loop;
  int ticks = 0;
  std::unique_ptr<Timer> timer;
  timer = loop.CreateTimer(10, [&] {
    if (++ticks == 3) {
      timer->SetEnabled(false);
      loop.Quit();
    }
  });
  timer->SetEnabled(true);
  loop.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_TRUE(loop.QuitRequested());
}

TEST(Win32MciPlayer, MusicAdvancesWhilePlayingAndStandsWhilePaused) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "vitrine-mci.wav";
  auto wave = test::Wave(3000);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wave.data()), std::streamsize(wave.size()));
  Win32MciPlayer player;
  if (!player.Open(path)) {
    if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave output device";
    FAIL() << "MCI could not open a WAV file";
  }
  EXPECT_NEAR(player.LengthMs(), 3000, 50);
  player.Resume();  // never played: starts
  // The position moves once the device plays; the bound only catches one that never does.
  for (int waited = 0; waited < 120000 && player.PositionMs() <= 0; waited += 20) Sleep(20);
  EXPECT_GT(player.PositionMs(), 0) << "the music never advanced";
  player.Pause();
  int64_t paused = player.PositionMs();
  Sleep(400);  // an absence of movement has no event: sampled a moment later
  EXPECT_EQ(player.PositionMs(), paused);
  player.Seek(2500);
  EXPECT_EQ(player.PositionMs(), 2500);
  player.Close();
  DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace vitrine
