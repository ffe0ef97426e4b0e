#pragma once
// Slat families: shutters (118, 119), window blinds (145..148) and sweeps (129..132).
#include <cstdint>

#include "transitions/transition_draw.h"

namespace vitrine {

// Shutters: slatCount is the count passed by the catalogue (H div 10 or W div 10).
// Horizontal slats are rows filled along x; vertical slats are columns filled along y.
void SetupShutter(bool horizontal, int32_t slatCount);
bool ShutterFrame();

void SetupWindowBlind(Edge from);
bool WindowBlindFrame();

void SetupSweep(Edge from);
bool SweepFrame();

}  // namespace vitrine
