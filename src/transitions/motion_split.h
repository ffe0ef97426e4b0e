#pragma once
// Interlaced split (116, 117): the even lines of the picture slide in from one edge and the
// odd lines from the other, interleaved, one line per frame.

namespace vitrine {

// rows: "Show up-dwon" (117); otherwise columns, "Show left-right" (116).
void SetupSplit(bool rows);
bool SplitFrame();

}  // namespace vitrine
