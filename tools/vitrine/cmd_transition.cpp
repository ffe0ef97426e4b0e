// vitrine transition: runs one transition off screen and reports its name, whether it ends, leaves the
// new picture in its area and keeps off the rest of the surface; with --time, how long its
// frames take (wall clock), over --repeat runs from the same pictures and seed; --depth 32 runs it
// on 32-bit bitmaps, as a true-colour show draws.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "command.h"
#include "core/random.h"
#include "package/picture_loading.h"
#include "raster/canvas.h"
#include "raster/image_files.h"
#include "transitions/catalogue.h"
#include "transitions/frame_times.h"
#include "transitions/transition_rig.h"
#include "transition_args.h"

namespace vitrine::tool {
namespace {

constexpr int32_t kFrameCap = 100000;

// A picture file stretched to the area's size (its own size for 0), in the given format.
Bitmap LoadStretched(const std::string& name, int32_t w, int32_t h, PixelFormat format) {
  Bitmap loaded;
  if (!LoadPictureFromFile(name, loaded) || loaded.Empty()) throw UsageError{"cannot read a picture from " + name};
  if (w == 0) {
    w = loaded.Width();
    h = loaded.Height();
  }
  Bitmap sized(w, h, format);
  Canvas(sized).StretchDraw(sized.Bounds(), loaded);
  return sized;
}

int RunTransition(const Args& given) {
  Args args = given;
  const std::string sizeText = TakeOption(args, "--size", "");
  const std::string fromFile = TakeOption(args, "--from", ""), toFile = TakeOption(args, "--to", "");
  if (fromFile.empty() != toFile.empty()) throw UsageError{"--from and --to go together"};
  if (sizeText.empty() && toFile.empty()) throw UsageError{"--size WxH is required"};
  const int32_t speed = ParseInt(TakeOption(args, "--speed", "25"), "--speed");
  const int32_t scope = ParseInt(TakeOption(args, "--scope", "0"), "--scope");
  const auto origin = ParsePair(TakeOption(args, "--origin", "8,8"), ',', "--origin");
  const std::string framesDir = TakeOption(args, "--frames", "");
  const bool timed = TakeFlag(args, "--time");
  const int32_t repeat = ParseInt(TakeOption(args, "--repeat", "1"), "--repeat");
  const std::string seedText = TakeOption(args, "--seed", "");
  const int32_t depth = ParseInt(TakeOption(args, "--depth", "16"), "--depth");
  if (depth != 16 && depth != 32) throw UsageError{"--depth must be 16 or 32"};
  const PixelFormat format = depth == 32 ? PixelFormat::Xrgb8888 : PixelFormat::Rgb565;
  if (scope != 0 && scope != 1) throw UsageError{"--scope must be 0 or 1"};
  if (args.size() != 1) throw UsageError{"transition needs one INDEX"};
  const int32_t index = ParseInt(args[0], "INDEX");
  if (index < kNoTransition || index >= kTransitionCount) throw UsageError{"INDEX must be -1.." + std::to_string(kTransitionCount - 1)};
  if (repeat < 1) throw UsageError{"--repeat must be at least 1"};
  // The sheet and the benchmark seed each index this way too.
  const uint64_t seed = seedText.empty() ? uint64_t(index + 1) : uint64_t(ParseInt(seedText, "--seed"));

  // Without --size the pictures keep the size of the new one.
  Bitmap oldPicture, newPicture;
  if (toFile.empty()) {
    const auto size = ParseSize(sizeText, "--size");
    oldPicture = MakeOldTestPicture(size.first, size.second, format);
    newPicture = MakeNewTestPicture(size.first, size.second, format);
  } else {
    const auto size = sizeText.empty() ? std::pair{0, 0} : ParseSize(sizeText, "--size");
    newPicture = LoadStretched(toFile, size.first, size.second, format);
    oldPicture = LoadStretched(fromFile, newPicture.Width(), newPicture.Height(), format);
  }
  if (!framesDir.empty()) std::filesystem::create_directories(framesDir);
  FrameTimes times;
  std::optional<TransitionRig> rig;
  bool ended = false;
  for (int32_t run = 0; run < repeat; ++run) {
    // Every run draws the same frames: the same pictures on a fresh rig, the same seed.
    rig.emplace(oldPicture, newPicture, origin.first, origin.second, TransitionScope(scope), RigFormats{format, format});
    RandomSeed(seed);
    rig->Start(index, speed);
    ended = false;
    while (!ended && rig->Frames() < kFrameCap) {
      const auto t0 = std::chrono::steady_clock::now();
      ended = rig->Step();
      const auto t1 = std::chrono::steady_clock::now();
      times.Record(size_t(rig->Frames() - 1), std::chrono::duration<double, std::milli>(t1 - t0).count());
      if (run == 0 && !framesDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", rig->Frames());
        if (!WriteImageFile((std::filesystem::path(framesDir) / name).string(), rig->Surface()))
          throw UsageError{"cannot write into " + framesDir};
      }
    }
  }

  std::printf("%s\n", index < 0 ? "(none)" : TransitionCatalogue()[size_t(index)].name);
  std::printf("frames=%d complete=%s outside=%s", rig->Frames(), ended && rig->AreaShowsNew() ? "yes" : "no",
              rig->OutsideUntouched() ? "clean" : "dirty");
  if (timed && times.Frames() > 0)
    std::printf(" slowest_ms=%.3f median_ms=%.3f runs=%d", times.SlowestMs(), times.MedianMs(), repeat);
  std::printf("\n");
  return 0;
}

}  // namespace

VITRINE_COMMAND(transition, "transition",
                "transition INDEX --size WxH [--speed S] [--scope 0|1] [--origin X,Y] [--from A --to B] [--frames DIR] [--time [--repeat N]] [--seed S] [--depth 16|32]",
                RunTransition);

}  // namespace vitrine::tool
