#pragma once
// The catalogue of the 161 transitions: one row per index, data rather than code. The
// dispatchers look up the row, compute its extra arguments, run its set-up routine once and
// its frame routine on every tick.
#include <array>
#include <cstdint>

#include "raster/bitmap.h"
#include "raster/canvas.h"

namespace vitrine {

inline constexpr int kTransitionCount = 161;  // indices 0..160; -1 is "no transition"

// What a set-up routine receives.
struct TransitionSetupArgs {
  int32_t originX = 0, originY = 0;
  int32_t speed = 1;
  const Bitmap* newPicture = nullptr;
  const Bitmap* oldPicture = nullptr;
  Canvas* dest = nullptr;
  int32_t arg1 = 0, arg2 = 0;  // the row's extra arguments (pivot, centre, slat count), else 0
};

using TransitionSetup = void (*)(const TransitionSetupArgs& args);
// Draws one frame; true when the picture stands complete. Routines that take an argument
// (the growing bands' width) are wrapped by a captureless lambda in their row.
using TransitionFrame = bool (*)();
// Computes a row's extra set-up arguments from the picture size (W, H); may draw random
// numbers (Random is drawn for x first, then for y).
using TransitionExtraArgs = void (*)(int32_t width, int32_t height, int32_t& arg1, int32_t& arg2);

struct TransitionEntry {
  const char* name = "";           // exactly as the settings dialog lists it
  int32_t intervalMs = 10;         // the frame timer's interval
  TransitionSetup setup = nullptr;  // null: nothing to prepare
  TransitionFrame frame = nullptr;  // null: the row behaves as no transition
  TransitionExtraArgs extraArgs = nullptr;
};

using TransitionTable = std::array<TransitionEntry, kTransitionCount>;

// The whole catalogue, built once.
const TransitionTable& TransitionCatalogue();
// The row for index -1 (no transition).
const TransitionEntry& NoTransitionEntry();

// Each family unit fills the rows of its own indices (setup, frame, interval, extra args;
// the names are filled by the catalogue itself).
void AddStripRevealEntries(TransitionTable& table);   // ragged/growing bands, centre, line, random lines, rain, scan
void AddRegionRevealEntries(TransitionTable& table);  // circle sweep, cross, diamond, ellipse, fan, wedge, diagonal wipe
void AddCellRevealEntries(TransitionTable& table);    // checkerboard, blocks, grid, mosaic, shutter, blinds, sweep, zig-zag, dissolve
void AddMotionRevealEntries(TransitionTable& table);  // move, roll, stretch, two bars, show from corner, split

}  // namespace vitrine
