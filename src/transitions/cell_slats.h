#pragma once
// Slat families: shutters (118, 119), window blinds (145..148) and sweeps (129..132).
#include <cstdint>

#include "transitions/catalogue.h"

namespace vitrine {

// The side of the area the movement starts from ("down" starts at the top).
enum class SlatEdge { Top, Bottom, Left, Right };

// Shutters: args.arg1 is the slat count passed by the catalogue (H div 10 or W div 10).
// Horizontal slats are rows filled along x; vertical slats are columns filled along y.
void SetupShutter(const TransitionSetupArgs& args, bool horizontal);
bool ShutterFrame();

void SetupWindowBlind(const TransitionSetupArgs& args, SlatEdge from);
bool WindowBlindFrame();

void SetupSweep(const TransitionSetupArgs& args, SlatEdge from);
bool SweepFrame();

}  // namespace vitrine
