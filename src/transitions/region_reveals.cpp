#include "transitions/catalogue.h"

namespace vitrine {

void AddRegionRevealEntries(TransitionTable&) {}

}  // namespace vitrine
