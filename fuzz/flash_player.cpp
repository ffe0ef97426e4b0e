// The Flash player on arbitrary bytes: the file, the preload pass, the timeline through
// frames, gotos and loops, the mouse and keys reaching clips and buttons, the renderer
// drawing some of the frames, and the uncompressed sound the frames start or stream.
#include <cstddef>
#include <cstdint>
#include <span>

#include "flash/swf/player.h"
#include "flash/swf/renderer.h"
#include "flash/swf/sound.h"

namespace {
void DecodeSounds(vitrine::swf::Player& player) {
  using namespace vitrine::swf;
  for (const SoundEvent& e : player.TakeSoundEvents()) {
    if (e.type == SoundEvent::Start && e.sound) (void)DecodeSound(e.sound->sound, 48000, nullptr, 4096);
    if (e.type == SoundEvent::StreamBlock && e.stream)
      if (auto decoder = CreateSoundDecoder(e.stream->format, 48000, nullptr)) {
        std::vector<int16_t> out;
        decoder->Decode(StreamBlockData(*e.stream, e.block), out, 4096, true);
      }
  }
}
}  // namespace

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
    DecodeSounds(player);
    if (i == 6) {
      player.GotoFrame(0);
      player.Play();
    }
    // The mouse crosses the stage and presses on the way; a key goes down and up.
    double x = (f.xMin + (double(f.xMax) - f.xMin) * (i % 5) / 4.0) / 20;
    double y = (f.yMin + (double(f.yMax) - f.yMin) * (i % 3) / 2.0) / 20;
    player.MouseMove(x, y);
    if (i % 3 == 1) player.MouseDown(x, y);
    if (i % 3 == 2) player.MouseUp(x, y);
    if (i % 4 == 3) {
      player.KeyDown(uint16_t(65 + i), uint8_t(97 + i));
      player.KeyUp(uint16_t(65 + i), uint8_t(97 + i));
    }
  }
  renderer.Render(player, surface, view, Rgba{});
  return 0;
}
