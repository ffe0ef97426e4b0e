#pragma once
// Zig-zags (157..160): a 20 x 20 grid of cells walked one per frame, line by line, each line
// in the opposite direction of the one before.

namespace vitrine {

// The direction in which the walk advances from line to line.
enum class ZigDirection { Down, Up, Right, Left };

void SetupZigZag(ZigDirection direction);
bool ZigZagFrame();

}  // namespace vitrine
