// Sound objects: a script attaches an exported sound and starts and stops it; what the show's
// mixer lays down (through the headless recorder) and when onSoundComplete comes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/action_assembler.h"
#include "flash/own_flash_control.h"
#include "flash/swf/player.h"
#include "flash/swf_writer.h"
#include "package/memory_file_system.h"
#include "backends/headless/headless_event_loop.h"
#include "backends/headless/headless_sound.h"

namespace vitrine::test {
namespace {

using Lines = std::vector<std::string>;
constexpr uint16_t kExportAssets = 56;

std::vector<uint8_t> ExportAssets(uint16_t id, const std::string& name) {
  std::vector<uint8_t> body = {1, 0, uint8_t(id), uint8_t(id >> 8)};
  body.insert(body.end(), name.begin(), name.end());
  body.push_back(0);
  return body;
}

// s.method(args), its result dropped.
Asm& Do(Asm& a, const std::string& target, const std::string& method, std::vector<Pushed> args) {
  for (auto it = args.rbegin(); it != args.rend(); ++it) a.Push({*it});
  a.Push({int(args.size()), target}).GetVariable().Push({method}).CallMethod().Pop();
  return a;
}

// s = new Sound(); s.attachSound("beep");
Asm NewBeep() {
  Asm a;
  a.Push({"s", 0, "Sound"}).Op(0x40).SetVariable();
  Do(a, "s", "attachSound", {"beep"});
  return a;
}

// A 12 frames-a-second movie: frame 0 defines "beep" (half a second of 22 kHz mono at a
// level of 1000) and runs first; later frames run their own scripts.
std::vector<uint8_t> BeepMovie(Asm first, std::map<int, Asm> later = {}, uint16_t frames = 12) {
  std::vector<uint8_t> tags;
  Tag(tags, code::DefineSound, DefineSound(1, {3, 2, true, false}, 11025, Pcm16(std::vector<int16_t>(11025, 1000))),
      true);
  Tag(tags, kExportAssets, ExportAssets(1, "beep"));
  Tag(tags, code::DoAction, first.Bytes());
  Tag(tags, code::ShowFrame, {});
  for (int f = 1; f < frames; ++f) {
    if (auto it = later.find(f); it != later.end()) Tag(tags, code::DoAction, it->second.Bytes());
    Tag(tags, code::ShowFrame, {});
  }
  return MovieOf(20, 20, frames, tags);
}

// What our control's mixer lays down over the first second (48000 output frames).
struct Heard {
  std::vector<int16_t> samples;
  // The first and one past the last frame that sounds; {0, 0} when none does.
  std::pair<size_t, size_t> Sounding() const {
    size_t first = SIZE_MAX, last = 0;
    for (size_t f = 0; f * 2 < samples.size(); ++f)
      if (samples[f * 2] != 0 || samples[f * 2 + 1] != 0) {
        first = std::min(first, f);
        last = f + 1;
      }
    return first == SIZE_MAX ? std::pair<size_t, size_t>{0, 0} : std::pair<size_t, size_t>{first, last};
  }
};

Heard Hear(std::vector<uint8_t> movie) {
  HeadlessEventLoop loop;
  MemoryFileSystem files;
  HeadlessSoundRecorder recorder{loop};
  files.Files["/tmp/sound.swf"] = std::move(movie);
  OwnFlashControl control(loop, files, nullptr, &recorder, nullptr);
  recorder.SetRecording(true);
  control.SetMovie("/tmp/sound.swf");
  control.Play();
  loop.RunUntil(1000);
  control.CurrentFrame();
  return {recorder.Take()};
}

TEST(Avm1Sound, AStartedSoundIsMixedUntilItEndsOrIsStopped) {
  {
    // Started in the first frame: half a second (24000 output frames) at its own level.
    Asm a = NewBeep();
    Do(a, "s", "start", {});
    Heard h = Hear(BeepMovie(a));
    auto [first, last] = h.Sounding();
    EXPECT_EQ(first, 0u);
    EXPECT_NEAR(double(last), 24000, 3);
    EXPECT_EQ(h.samples[2 * 1000], 1000);
    EXPECT_EQ(h.samples[2 * 1000 + 1], 1000);
  }
  {
    // Stopped by its linkage name in frame 3 (at 1/4 s, output frame 12000).
    Asm a = NewBeep();
    Do(a, "s", "start", {});
    Asm stop;
    Do(stop, "s", "stop", {"beep"});
    auto [first, last] = Hear(BeepMovie(a, {{3, stop}})).Sounding();
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 12000u);
  }
  {
    // stop() with no name stops everything, from frame 2.
    Asm a = NewBeep();
    Do(a, "s", "start", {});
    Asm stop;
    Do(stop, "s", "stop", {});
    EXPECT_EQ(Hear(BeepMovie(a, {{2, stop}})).Sounding().second, 8000u);
  }
  {
    // Started in frame 6 from 0.25 s in, twice; at half the volume, panned fully right.
    Asm later = NewBeep();
    Do(later, "s", "setVolume", {50});
    Do(later, "s", "setPan", {100});
    Do(later, "s", "start", {0.25, 2});
    Heard h = Hear(BeepMovie(Asm(), {{6, later}}));
    auto [first, last] = h.Sounding();
    EXPECT_EQ(first, 24000u);
    EXPECT_NEAR(double(last - first), 2 * 12000, 3);
    EXPECT_EQ(h.samples[2 * 30000], 0);       // left
    EXPECT_EQ(h.samples[2 * 30000 + 1], 500);  // right
  }
  {
    // The volume changes while the sound plays: silent from frame 3 (output frame 12000),
    // heard again from frame 4, the frames' own sounds as well.
    Asm a = NewBeep();
    Do(a, "s", "start", {});
    Asm mute, back;
    Do(mute, "s", "setVolume", {0});
    Do(back, "s", "setVolume", {100});
    Heard h = Hear(BeepMovie(a, {{3, mute}, {4, back}}));
    EXPECT_EQ(h.samples[2 * 11990], 1000);
    EXPECT_EQ(h.samples[2 * 12010], 0);
    EXPECT_EQ(h.samples[2 * 15990], 0);
    EXPECT_EQ(h.samples[2 * 16010], 1000);
    EXPECT_NEAR(double(h.Sounding().second), 24000, 3);
  }
  {
    // A name that no sound is exported as plays nothing.
    Asm a;
    a.Push({"s", 0, "Sound"}).Op(0x40).SetVariable();
    Do(a, "s", "attachSound", {"nothing"});
    Do(a, "s", "start", {});
    EXPECT_EQ(Hear(BeepMovie(a)).Sounding(), (std::pair<size_t, size_t>{0, 0}));
  }
}

// Plays the movie tick by tick, each tick 100 ms; what was traced after each.
std::vector<Lines> TracedByTick(std::vector<uint8_t> movie, int ticks) {
  Lines lines;
  swf::PlayerOptions options;
  options.tickMs = 100;
  options.onTrace = [&](const std::string& s) { lines.push_back(s); };
  swf::Player player(swf::Movie::Load(movie), options);
  player.Play();
  std::vector<Lines> out{lines};
  for (int i = 0; i < ticks; ++i) {
    player.Tick();
    out.push_back(lines);
  }
  return out;
}

TEST(Avm1Sound, OnSoundCompleteComesWhenTheLastLoopEnds) {
  // s.onSoundComplete = function () { trace("done " + this.position); }; trace(s.duration);
  Asm handler;
  handler.Push({"done "}).Push({"this"}).GetVariable().Push({"position"}).GetMember().Add2().Trace();
  Asm a = NewBeep();
  a.Push({"s"}).GetVariable().Push({"onSoundComplete"}).Function("", {}, handler).SetMember();
  a.Push({"s"}).GetVariable().Push({"duration"}).GetMember().Trace();
  Asm once = a;
  Do(once, "s", "start", {});
  auto byTick = TracedByTick(BeepMovie(once), 6);
  EXPECT_EQ(byTick[0], (Lines{"500"}));
  EXPECT_EQ(byTick[4], (Lines{"500"}));
  EXPECT_EQ(byTick[5], (Lines{"500", "done 500"}));
  EXPECT_EQ(byTick[6], (Lines{"500", "done 500"}));  // once

  // Three times from 0.3 s in: 3 x 200 ms.
  Asm loops = a;
  Do(loops, "s", "start", {0.3, 3});
  byTick = TracedByTick(BeepMovie(loops), 7);
  EXPECT_EQ(byTick[5].size(), 1u);
  EXPECT_EQ(byTick[6], (Lines{"500", "done 500"}));

  // Stopped before its end: no onSoundComplete; position says where it stopped.
  Asm stop;
  Do(stop, "s", "stop", {"beep"});
  stop.Push({"s"}).GetVariable().Push({"position"}).GetMember().Trace();
  byTick = TracedByTick(BeepMovie(once, {{2, stop}}), 8);
  EXPECT_EQ(byTick[8], (Lines{"500", "200"}));
}

}  // namespace
}  // namespace vitrine::test
