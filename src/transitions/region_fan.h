#pragma once
// Fan wipes: four blades, one from the middle of each edge, turn together about the centre.
namespace vitrine {

void SetupFan(bool clockwise);
bool FanFrame();

}  // namespace vitrine
