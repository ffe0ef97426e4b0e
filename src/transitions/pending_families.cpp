// Placeholders until the cell/slat/dissolve and moving/stretching/rolling families land
// (transitions-b replaces this file with their own units). Their rows keep no frame routine
// meanwhile, so they run as no transition.
#include "transitions/catalogue.h"

namespace vitrine {

void AddCellRevealEntries(TransitionTable&) {}
void AddMotionRevealEntries(TransitionTable&) {}

}  // namespace vitrine
