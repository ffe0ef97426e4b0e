// Music, video and Flash items of the show.
#include <gtest/gtest.h>

#include "flash/flash_form.h"
#include "backends/headless/headless_media.h"
#include "show_test_rig.h"

namespace vitrine::test {
namespace {

auto& MusicPlayer(ShowRig& rig) { return static_cast<HeadlessMediaPlayer&>(rig.Form().mpmusic()); }
auto& VideoPlayer(ShowRig& rig) { return static_cast<HeadlessMediaPlayer&>(rig.Form().mp()); }

TEST(Music, OpensSilentlyAndPlaysWithTheFirstPictureThatWantsIt) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0), 8, 6, {{6, "0"}});  // no music during this one
  rig.AddPicture(RGBColor(0, 255, 0));
  rig.AddMusic("one.wav", Wave(5000));
  rig.Set(8, "0");
  auto& show = rig.Start();
  EXPECT_TRUE(rig.Form().MusicOpened);
  show.RunUntil(500);
  EXPECT_FALSE(rig.Form().MusicPlaying);
  EXPECT_EQ(MusicPlayer(rig).PositionMs(), 0);
  show.RunUntil(1010);  // the second picture's transition resumes the music
  EXPECT_TRUE(rig.Form().MusicPlaying);
  show.RunUntil(2020);  // and the first one pauses it again
  EXPECT_FALSE(rig.Form().MusicPlaying);
  EXPECT_EQ(MusicPlayer(rig).PositionMs(), 1010);  // played from 1010 (second item) to 2020
}

TEST(Music, TheNextTrackWaitsItsEndTicksAndTheListLoops) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.AddMusic("C:\\music\\one.wav", Wave(2000));
  rig.AddMusic("C:\\music\\two.wav", Wave(3000));
  rig.Set(8, "0");  // in order
  rig.Set(7, "2");  // two ticks at the end before the next track
  auto& show = rig.Start();
  show.RunUntil(2999);
  EXPECT_EQ(MusicPlayer(rig).LengthMs(), 2000);
  show.RunUntil(3000);  // end seen at 2000 and 3000: the second track starts
  EXPECT_EQ(rig.Form().MusicIndex, 1);
  EXPECT_EQ(MusicPlayer(rig).LengthMs(), 3000);
  EXPECT_TRUE(rig.Form().MusicPlaying);
  show.RunUntil(7000);  // ends at 6000, ticks at 6000 and 7000: back to the first
  EXPECT_EQ(rig.Form().MusicIndex, 0);
  EXPECT_EQ(MusicPlayer(rig).LengthMs(), 2000);
}

TEST(Music, WithoutLoopingTheMusicEndsForGood) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.AddPicture(RGBColor(0, 255, 0));
  rig.AddMusic("one.wav", Wave(1500));
  rig.Set(8, "0");
  rig.Set(6, "0");
  rig.Set(7, "1");
  auto& show = rig.Start();
  show.RunUntil(2000);
  EXPECT_TRUE(rig.Form().MusicFinished);
  EXPECT_FALSE(rig.Form().MusicOpened);
  show.RunUntil(5000);  // later pictures want music, but none plays again
  EXPECT_FALSE(rig.Form().MusicPlaying);
  EXPECT_FALSE(MusicPlayer(rig).IsOpen());
}

TEST(Music, DisabledMusicNeverOpens) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.AddMusic("one.wav", Wave(1500));
  rig.UserSettings([](TRWSetting& s) { s.EnabledMusic = false; });
  auto& show = rig.Start();
  show.RunUntil(3000);
  EXPECT_FALSE(rig.Form().MusicOpened);
  EXPECT_FALSE(rig.files.Exists("/tmp/vdn.wav"));
}

TEST(Music, ATrackThatCannotBeOpenedCountsAsEnded) {
  ShowRig rig;
  rig.AddPicture(RGBColor(255, 0, 0));
  rig.AddMusic("broken.wav", {1, 2, 3});
  rig.AddMusic("good.wav", Wave(4000));
  rig.Set(8, "0");
  rig.Set(7, "1");
  auto& show = rig.Start();
  EXPECT_FALSE(rig.Form().MusicOpened);
  show.RunUntil(1000);
  EXPECT_TRUE(rig.Form().MusicPlaying);
  EXPECT_EQ(MusicPlayer(rig).LengthMs(), 4000);
}

struct VideoCase {
  int32_t sizeMode;
  bool preview;
  Rect panel;
};

TEST(Video, SizeModesGiveThePanelItsSize) {
  // A 320 x 240 video on a 640 x 480 screen (or the 40 x 30 preview, where it is 300 wide).
  const VideoCase cases[] = {
      {0, false, {160, 120, 480, 360}},  {1, false, {0, 0, 640, 480}},     {2, false, {240, 180, 400, 299}},
      {3, false, {160, 120, 480, 359}},  {4, false, {93, 70, 546, 409}},   {5, false, {0, 0, 640, 479}},
      {5, true, {-130, -97, 170, 127}},
  };
  for (const auto& c : cases) {
    ShowRig rig;
    rig.AddItem(Avi(320, 240, 25, 40000), "clip.avi", {{52, "2"}, {53, std::to_string(c.sizeMode)}});
    rig.Start(640, 480, c.preview);
    ASSERT_TRUE(rig.show->Window().VideoPanelVisible()) << c.sizeMode;
    EXPECT_EQ(rig.show->Window().VideoPanel(), c.panel) << "size mode " << c.sizeMode << " preview " << c.preview;
    EXPECT_EQ(VideoPlayer(rig).FileName(), "/tmp/vdn.avi");
  }
}

TEST(Video, TheNextItemFollowsTheEndOfTheVideo) {
  ShowRig rig;
  rig.AddItem(Avi(32, 24, 25, 100000), "clip.avi", {{52, "2"}});  // 2.5 s
  rig.AddPicture(RGBColor(0, 0, 255));
  auto& show = rig.Start(64, 48);
  EXPECT_TRUE(rig.Form().VideoPlaying);
  show.RunUntil(2999);
  EXPECT_TRUE(rig.Form().VideoPlaying);
  show.RunUntil(3000);  // the one-second check sees the end at 3000
  EXPECT_FALSE(rig.Form().VideoPlaying);
  EXPECT_FALSE(show.Window().VideoPanelVisible());
  show.RunUntil(4010);  // the selection timer kept its 1000 ms interval
  EXPECT_EQ(rig.Form().CurrentIndex, 1);
  EXPECT_EQ(rig.ScreenAt(32, 24), RGBColor(0, 0, 255));
}

TEST(Video, AVideoThatCannotBeExtractedStopsTheCycleOnIt) {
  ShowRig rig;
  rig.AddItem({}, "C:\\clips\\gone.avi", {{52, "2"}});
  rig.AddPicture(RGBColor(0, 0, 255));
  rig.Set(39, "0");  // media are read from their own files
  auto& show = rig.Start();
  show.RunUntil(20000);
  EXPECT_EQ(rig.Form().CurrentIndex, 0);
  ASSERT_EQ(show.Services().messages.size(), 1u);
  EXPECT_EQ(show.Services().messages[0], "File not found : /saver/gone.avi");
}

TEST(Flash, TheScreenTakesTheMovieBackgroundAndTheShowGoesOnWhenItEnds) {
  ShowRig rig;
  rig.AddItem({'F', 'W', 'S', 6, 0, 0, 0, 0}, "movie.swf", {{52, "1"}, {56, std::to_string(RGBColor(0, 0, 255))}});
  rig.AddPicture(RGBColor(0, 255, 0));
  auto& show = rig.Start(64, 48);
  EXPECT_EQ(rig.ScreenAt(5, 5), RGBColor(0, 0, 255));
  EXPECT_TRUE(rig.files.Exists("/tmp/vdn.swf"));
  show.RunUntil(60000);
  EXPECT_EQ(rig.Form().CurrentIndex, 1);
}

// The item's own record values reach the Flash window unchanged; the start frame is the show's.
TEST(Flash, TheWindowReceivesTheItemsDisplaySettings) {
  ShowRig rig;
  rig.AddItem({'F', 'W', 'S', 6, 0, 0, 0, 0}, "movie.swf",
              {{52, "1"}, {65, "0"}, {66, "12"}, {69, "7"}, {70, "1"}, {71, "0"}});
  rig.Start(64, 48);
  const TfFlashform* window = CurrentFlashWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->StopMode, 0);
  EXPECT_EQ(window->StopFrame, 12);
  EXPECT_EQ(window->PlaySeconds, 7);
  EXPECT_TRUE(window->MoveToFlash);
  EXPECT_FALSE(window->ClicksToFlash);
  EXPECT_EQ(window->StartFrame, 0);
}

}  // namespace
}  // namespace vitrine::test
