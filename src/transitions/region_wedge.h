#pragma once
// Wedge wipes: the new picture enters as a wedge whose apex stays at the centre, opening from
// one edge until it closes on the opposite one.
namespace vitrine {

enum class WedgeFrom { Left, Right, Top, Bottom };

void SetupWedge(WedgeFrom from);
bool WedgeFrame();

}  // namespace vitrine
