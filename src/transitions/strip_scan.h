#pragma once
// Scans: one strip per frame from an edge (or two, from both edges towards the middle or
// from the middle towards both edges), the last one clamped to the area.
namespace vitrine {

enum class ScanKind { Down, Up, Right, Left, ToCentreH, ToCentreV, ToEdgeH, ToEdgeV };

void SetupScan(ScanKind kind);
bool ScanFrame();

}  // namespace vitrine
