// The Flash player on arbitrary bytes: the file, the preload pass, the timeline through
// frames, gotos and loops, and the renderer drawing some of the frames.
#include <cstddef>
#include <cstdint>
#include <span>

#include "flash/swf/player.h"
#include "flash/swf/renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vitrine::swf;
  auto movie = Movie::Load(std::span<const uint8_t>(data, size));
  if (!movie) return 0;
  (void)DescribeMovie(std::span<const uint8_t>(data, size));
  Player player(movie);
  vitrine::Bitmap surface(64, 48, vitrine::PixelFormat::Xrgb8888);
  Renderer renderer;
  const SwfFile& f = movie->File();
  Matrix view = ViewMatrix({f.xMin, f.xMax, f.yMin, f.yMax}, 64, 48, 0, 0);
  player.Play();
  for (int i = 0; i < 12; ++i) {
    if (i % 4 == 0) renderer.Render(player, surface, view, Rgba{});
    player.Tick();
    if (i == 6) {
      player.GotoFrame(0);
      player.Play();
    }
  }
  renderer.Render(player, surface, view, Rgba{});
  return 0;
}
