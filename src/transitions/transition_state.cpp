#include "transitions/transition_state.h"

namespace vitrine {

TransitionState gTransition;

Rect RectAtOrigin(int32_t l, int32_t t, int32_t r, int32_t b) {
  const TransitionState& s = gTransition;
  return {s.OriginX + l, s.OriginY + t, s.OriginX + r, s.OriginY + b};
}

}  // namespace vitrine
