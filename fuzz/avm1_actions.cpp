// The script machine on arbitrary action bytes: the first byte picks the movie's version, the
// rest is one frame script of a two-frame movie that loops, played for a few frames so that
// functions, intervals and handlers it leaves behind run too; the last frame is drawn, so that
// what the script drew, masked or wrote in text fields is drawn as well.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/swf/player.h"
#include "flash/swf/renderer.h"
#include "raster/bitmap.h"

namespace {

void PutTag(std::vector<uint8_t>& out, uint16_t code, const uint8_t* body, size_t size) {
  uint16_t head = uint16_t(code << 6 | 63);
  out.push_back(uint8_t(head));
  out.push_back(uint8_t(head >> 8));
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(size >> (8 * i)));
  out.insert(out.end(), body, body + size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vitrine::swf;
  if (size < 1 || size > 65536) return 0;
  uint8_t version = uint8_t(4 + data[0] % 7);
  // A 200 x 100 stage at 12 frames a second, two frames.
  std::vector<uint8_t> body = {0x78, 0x00, 0x07, 0xD0, 0x00, 0x00, 0x07, 0xD0, 0x00, 0x00, 0x0C, 0x02, 0x00};
  PutTag(body, 12, data + 1, size - 1);
  PutTag(body, 1, nullptr, 0);
  PutTag(body, 1, nullptr, 0);
  PutTag(body, 0, nullptr, 0);
  std::vector<uint8_t> file = {'F', 'W', 'S', version, 0, 0, 0, 0};
  file.insert(file.end(), body.begin(), body.end());
  uint32_t length = uint32_t(file.size());
  for (int i = 0; i < 4; ++i) file[4 + i] = uint8_t(length >> (8 * i));
  auto movie = Movie::Load(file);
  if (!movie) return 0;
  PlayerOptions options;
  options.onTrace = [](const std::string&) {};
  // A runaway script is stopped all the same, sooner, so the fuzzer tries more inputs.
  options.actionsPerFrame = 200'000;
  Player player(movie, options);
  player.Play();
  for (int i = 0; i < 4; ++i) player.Tick();
  vitrine::Bitmap surface(200, 100, vitrine::PixelFormat::Xrgb8888);
  Renderer renderer;
  renderer.Render(player, surface, ViewMatrix({0, 4000, 0, 2000}, 200, 100, 0, 0), Rgba{255, 255, 255, 255});
  return 0;
}
