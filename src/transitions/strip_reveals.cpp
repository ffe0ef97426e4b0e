#include "transitions/catalogue.h"

namespace vitrine {

void AddStripRevealEntries(TransitionTable&) {}

}  // namespace vitrine
