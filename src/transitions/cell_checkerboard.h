#pragma once
// Checkerboards (24..31): a 20 x 20 grid revealed one row or column of cells per frame, one
// colour of the board in a first pass, the other in a second.

namespace vitrine {

enum class CheckerLines { Rows, Columns };

// firstForward/secondForward: whether each pass runs from line 0 to 19 (else 19 to 0).
void SetupCheckerboard(CheckerLines lines, bool firstForward, bool secondForward);
bool CheckerboardFrame();

}  // namespace vitrine
