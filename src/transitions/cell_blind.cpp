#include "transitions/cell_slats.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kSlat = 20;

struct WindowBlindState {
  Edge from = Edge::Top;
};
WindowBlindState gBlind;

}  // namespace

void SetupWindowBlind(Edge from) {
  gBlind.from = from;
  gTransition.Position = 0;
}

bool WindowBlindFrame() {
  TransitionState& s = gTransition;
  if (s.Position >= kSlat) return true;
  const bool rows = gBlind.from == Edge::Top || gBlind.from == Edge::Bottom;
  const bool fromStart = gBlind.from == Edge::Top || gBlind.from == Edge::Left;
  const int32_t length = rows ? s.PicHeight : s.PicWidth;
  // The line within every 20-line slat: counted from the slat's top (left) or bottom (right).
  for (int32_t line = fromStart ? s.Position : kSlat - 1 - s.Position; line < length; line += kSlat) {
    if (rows) CopyNewRect(0, line, s.PicWidth, line + 1);
    else CopyNewRect(line, 0, line + 1, s.PicHeight);
  }
  ++s.Position;
  return false;
}

}  // namespace vitrine
