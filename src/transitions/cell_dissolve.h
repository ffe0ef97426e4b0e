#pragma once
// Dissolve "Increase show" (47): random dots of the new picture scattered over the area in
// 36 passes of a 6 x 6 lattice.

namespace vitrine {

void SetupDissolve();
bool DissolveFrame();

}  // namespace vitrine
