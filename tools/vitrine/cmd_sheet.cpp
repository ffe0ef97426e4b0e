// vitrine sheet: every transition at a quarter, half and three quarters of its frames, in one
// labelled picture, to check the catalogue at a glance.
#include <algorithm>
#include <cmath>
#include <string>

#include "command.h"
#include "core/random.h"
#include "raster/canvas.h"
#include "raster/image_files.h"
#include "tiny_font.h"
#include "transition_args.h"
#include "transitions/catalogue.h"
#include "transitions/transition_rig.h"

namespace vitrine::tool {
namespace {

constexpr int32_t kFrameCap = 100000;
constexpr int32_t kColumns = 6;
constexpr int32_t kGap = 4;
// The thumbnails run at the speed that 25 is on a 640-pixel-wide show, so that a quarter of
// the frames looks on a thumbnail as it looks on the screen.
int32_t SheetSpeed(int32_t width) { return std::max<int32_t>(1, int32_t(std::lround(25.0 * width / 640.0))); }
constexpr Color kBackground = RGBColor(40, 40, 48), kLabel = RGBColor(240, 240, 240);

int32_t CountFrames(const Bitmap& oldPicture, const Bitmap& newPicture, int32_t index) {
  RandomSeed(uint64_t(index) + 1);
  TransitionRig rig(oldPicture, newPicture, 0, 0, TransitionScope::WholeScreen);
  rig.Start(index, SheetSpeed(oldPicture.Width()));
  rig.Run(kFrameCap);
  return rig.Frames();
}

int RunSheet(const Args& given) {
  Args args = given;
  const std::string out = TakeOption(args, "-o", "");
  const auto size = ParseSize(TakeOption(args, "--size", "96x64"), "--size");
  const auto range = ParsePair(TakeOption(args, "--range", "0-" + std::to_string(kTransitionCount - 1)), '-', "--range");
  if (out.empty() || !args.empty()) throw UsageError{"sheet -o OUT.png [--size WxH] [--range FIRST-LAST]"};
  const int32_t first = std::max(range.first, 0), last = std::min(range.second, kTransitionCount - 1);
  if (first > last) throw UsageError{"--range: no index of the catalogue in it"};
  const int32_t w = size.first, h = size.second;
  const Bitmap oldPicture = MakeOldTestPicture(w, h), newPicture = MakeNewTestPicture(w, h);

  const int32_t cellW = 3 * w + 4 * kGap, cellH = h + kTinyGlyphHeight + 3 * kGap;
  const int32_t count = last - first + 1;
  const int32_t rows = (count + kColumns - 1) / kColumns;
  Bitmap sheet(kColumns * cellW, rows * cellH, PixelFormat::Xrgb8888);
  Canvas canvas(sheet);
  canvas.FillRect(sheet.Bounds(), kBackground);

  for (int32_t index = first; index <= last; ++index) {
    const int32_t x0 = ((index - first) % kColumns) * cellW, y0 = ((index - first) / kColumns) * cellH;
    DrawTinyText(sheet, x0 + kGap, y0 + kGap,
                 std::to_string(index) + " " + TransitionCatalogue()[size_t(index)].name, kLabel);
    const int32_t frames = CountFrames(oldPicture, newPicture, index);
    RandomSeed(uint64_t(index) + 1);
    TransitionRig rig(oldPicture, newPicture, 0, 0, TransitionScope::WholeScreen);
    rig.Start(index, SheetSpeed(w));
    for (int32_t quarter = 1; quarter <= 3; ++quarter) {
      const int32_t at = std::max<int32_t>(1, int32_t(std::lround(frames * quarter / 4.0)));
      while (rig.Frames() < at && !rig.Step()) {
      }
      const int32_t tx = x0 + kGap + (quarter - 1) * (w + kGap), ty = y0 + 2 * kGap + kTinyGlyphHeight;
      canvas.CopyRect({tx, ty, tx + w, ty + h}, rig.Surface(), rig.Surface().Bounds());
    }
  }
  if (!WriteImageFile(out, sheet)) throw UsageError{"cannot write " + out};
  return 0;
}

}  // namespace

VITRINE_COMMAND(sheet, "sheet", "sheet -o OUT.png [--size WxH] [--range FIRST-LAST]", RunSheet);

}  // namespace vitrine::tool
