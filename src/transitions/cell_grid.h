#pragma once
// Grid families: "Multi-Box" (89, 90), boxes growing from or closing to the centres of a
// 10 x 10 grid, and "Multi-Wipe" (91..94), a triangle growing from one corner of each cell.

namespace vitrine {

void SetupMultiBox(bool fromCenter);
bool MultiBoxFrame();

enum class WipeCorner { TopLeft, TopRight, BottomLeft, BottomRight };
void SetupMultiWipe(WipeCorner corner);
bool MultiWipeFrame();

}  // namespace vitrine
