// A packaged show of the writer's movies and ffmpeg's movie, each item played in the Flash
// window over a 4:3 screen, stretched to fill it: the frames the window draws match the
// reference players' frames (tests/flash/reference_movies.h). The same show runs under Wine in
// tests/win32.
#include <gtest/gtest.h>

#include "app/show_test_rig.h"
#include "flash/flash_form.h"
#include "flash/own_flash_control.h"
#include "flash/reference_movies.h"

namespace vitrine::test {
namespace {

TEST(FlashReferenceShow, EachMoviesFramesInTheWindowMatchTheReferencePlayer) {
  std::vector<uint8_t> ffmpeg = TestDataFile("flash/ffmpeg_testsrc.swf");
  ASSERT_FALSE(ffmpeg.empty()) << "tests/data/flash/ffmpeg_testsrc.swf is missing";
  ShowRig rig;
  auto movies = ReferenceMovies();
  for (auto& [name, bytes] : movies) rig.AddItem(bytes, name + ".swf", kStretchedForASecond);
  rig.AddItem(ffmpeg, "ffmpeg_testsrc.swf", kStretchedForASecond);
  auto& show = rig.Start(960, 720);

  uint64_t now = 0;
  for (size_t item = 0; item <= movies.size(); ++item) {
    std::string name = item < movies.size() ? movies[item].first : "ffmpeg_testsrc";
    SCOPED_TRACE(name);
    while (now < 600000 && !(rig.Form().CurrentIndex == int32_t(item) && CurrentFlashWindow())) show.RunUntil(now += 50);
    TfFlashform* form = CurrentFlashWindow();
    ASSERT_NE(form, nullptr);
    auto* control = dynamic_cast<OwnFlashControl*>(form->Flash.get());
    ASSERT_NE(control, nullptr);
    if (item < movies.size()) {
      // Each writer movie stands at one frame: the frame it shows is Ruffle's.
      Bitmap screen = show.Screen();
      FrameDifference d = CompareWithReference(control->WorkSurface(), RufflesFrame(name));
      std::printf("show %-16s mean %.3f, worst block %.3f\n", name.c_str(), d.mean, d.worst);
      EXPECT_TRUE(d.Matches()) << "mean " << d.mean << ", worst block " << d.worst;
      // The screen shows that frame, converted once to its own format.
      for (auto [x, y] : {std::pair{40, 40}, {480, 360}, {900, 700}})
        EXPECT_TRUE(Near(screen.GetPixel(x, y), control->WorkSurface().GetPixel(x, y), 8)) << x << "," << y;
      continue;
    }
    // ffmpeg's movie plays on: its first, middle and last frame, reached through the control.
    ASSERT_EQ(control->TotalFrames(), 3);
    for (int32_t frame : {0, 1, 2}) {
      control->GotoFrame(frame);
      show.Screen();
      FrameDifference d = CompareWithReference(control->WorkSurface(), FfmpegsFrame(frame));
      std::printf("show %-16s frame %d: mean %.3f, worst block %.3f\n", name.c_str(), frame, d.mean, d.worst);
      EXPECT_TRUE(d.Matches()) << "frame " << frame << ": mean " << d.mean << ", worst block " << d.worst;
    }
    control->Play();
  }
  // The last movie ends by its stop rule as any other, and the show comes round to the first.
  show.RunUntil(now + 3000);
  EXPECT_EQ(rig.Form().CurrentIndex, 0);
}

}  // namespace
}  // namespace vitrine::test
