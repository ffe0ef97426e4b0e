// Plays arbitrary bytes as a media file: open, play for a while, draw the picture, take the
// sound, seek back. A damaged file may fail to open or end early, never more.
#include <cstddef>
#include <cstdint>

#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_sound.h"
#include "backends/media/av_media_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vitrine;
  MemoryFileSystem files;
  files.Files["/tmp/vdn.avi"] = std::vector<uint8_t>(data, data + size);
  HeadlessEventLoop loop;
  HeadlessSoundRecorder sound(loop);
  sound.SetRecording(true);
  AvMediaPlayer player(loop, files, &sound);
  if (!player.Open("/tmp/vdn.avi")) return 0;
  player.SetDisplayRect({0, 0, 40, 30});
  Bitmap panel(40, 30, kDefaultShowPixelFormat);
  player.Play();
  for (uint64_t t = 0; t <= 1500; t += 250) {
    loop.RunUntil(t);
    player.DrawVideoFrame(panel);
    sound.Take();
  }
  player.Seek(100);
  loop.RunUntil(1750);
  player.DrawVideoFrame(panel);
  sound.Take();
  player.Close();
  return 0;
}
