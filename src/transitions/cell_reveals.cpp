// The catalogue rows of the cell, slat and dissolve reveals.
#include "transitions/catalogue.h"
#include "transitions/cell_blocks.h"
#include "transitions/cell_checkerboard.h"
#include "transitions/cell_dissolve.h"
#include "transitions/cell_grid.h"
#include "transitions/cell_mosaic.h"
#include "transitions/cell_slats.h"
#include "transitions/cell_zigzag.h"

namespace vitrine {
namespace {

void Fill(TransitionTable& table, int index, int32_t intervalMs, TransitionSetup setup, TransitionFrame frame,
          TransitionExtraArgs extraArgs = nullptr) {
  TransitionEntry& entry = table[index];
  entry.intervalMs = intervalMs;
  entry.setup = setup;
  entry.frame = frame;
  entry.extraArgs = extraArgs;
}

using A = const TransitionSetupArgs&;

}  // namespace

void AddCellRevealEntries(TransitionTable& table) {
  Fill(table, 20, 10, [](A a) { SetupBlocks(a, true); }, &BlocksFrame);
  Fill(table, 21, 10, [](A a) { SetupBlocks(a, false); }, &BlocksFrame);

  Fill(table, 24, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Rows, true, true); }, &CheckerboardFrame);
  Fill(table, 25, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Rows, true, false); }, &CheckerboardFrame);
  Fill(table, 26, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Columns, true, true); }, &CheckerboardFrame);
  Fill(table, 27, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Columns, true, false); }, &CheckerboardFrame);
  Fill(table, 28, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Columns, false, false); }, &CheckerboardFrame);
  Fill(table, 29, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Columns, false, true); }, &CheckerboardFrame);
  Fill(table, 30, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Rows, false, false); }, &CheckerboardFrame);
  Fill(table, 31, 30, [](A a) { SetupCheckerboard(a, CheckerLines::Rows, false, true); }, &CheckerboardFrame);

  Fill(table, 47, 1, &SetupDissolve, &DissolveFrame);
  Fill(table, 58, 10, &SetupMosaic, &MosaicFrame);

  Fill(table, 89, 10, [](A a) { SetupMultiBox(a, true); }, &MultiBoxFrame);
  Fill(table, 90, 10, [](A a) { SetupMultiBox(a, false); }, &MultiBoxFrame);
  Fill(table, 91, 10, [](A a) { SetupMultiWipe(a, WipeCorner::BottomLeft); }, &MultiWipeFrame);
  Fill(table, 92, 10, [](A a) { SetupMultiWipe(a, WipeCorner::BottomRight); }, &MultiWipeFrame);
  Fill(table, 93, 10, [](A a) { SetupMultiWipe(a, WipeCorner::TopLeft); }, &MultiWipeFrame);
  Fill(table, 94, 10, [](A a) { SetupMultiWipe(a, WipeCorner::TopRight); }, &MultiWipeFrame);

  Fill(table, 118, 10, [](A a) { SetupShutter(a, true); }, &ShutterFrame,
       [](int32_t, int32_t h, int32_t& arg1, int32_t&) { arg1 = h / 10; });
  Fill(table, 119, 10, [](A a) { SetupShutter(a, false); }, &ShutterFrame,
       [](int32_t w, int32_t, int32_t& arg1, int32_t&) { arg1 = w / 10; });

  Fill(table, 129, 50, [](A a) { SetupSweep(a, SlatEdge::Top); }, &SweepFrame);
  Fill(table, 130, 50, [](A a) { SetupSweep(a, SlatEdge::Right); }, &SweepFrame);
  Fill(table, 131, 50, [](A a) { SetupSweep(a, SlatEdge::Left); }, &SweepFrame);
  Fill(table, 132, 50, [](A a) { SetupSweep(a, SlatEdge::Bottom); }, &SweepFrame);

  Fill(table, 145, 30, [](A a) { SetupWindowBlind(a, SlatEdge::Top); }, &WindowBlindFrame);
  Fill(table, 146, 30, [](A a) { SetupWindowBlind(a, SlatEdge::Right); }, &WindowBlindFrame);
  Fill(table, 147, 30, [](A a) { SetupWindowBlind(a, SlatEdge::Left); }, &WindowBlindFrame);
  Fill(table, 148, 30, [](A a) { SetupWindowBlind(a, SlatEdge::Bottom); }, &WindowBlindFrame);

  Fill(table, 157, 1, [](A a) { SetupZigZag(a, ZigDirection::Down); }, &ZigZagFrame);
  Fill(table, 158, 1, [](A a) { SetupZigZag(a, ZigDirection::Left); }, &ZigZagFrame);
  Fill(table, 159, 1, [](A a) { SetupZigZag(a, ZigDirection::Right); }, &ZigZagFrame);
  Fill(table, 160, 1, [](A a) { SetupZigZag(a, ZigDirection::Up); }, &ZigZagFrame);
}

}  // namespace vitrine
