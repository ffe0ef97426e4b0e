#pragma once
// A show whose window changes size (a screen saver daemon's window, a preview host being
// resized): the show area follows it between transitions.
#include <cstdint>

namespace vitrine {

class TfRun;

// When no transition is running, the show area takes the new size: the bitmaps follow it
// and the screen keeps its picture, stretched over the new area, until the next item is
// composed at the new size. False (nothing changed) while a transition draws: try again
// when it has finished.
bool FollowShowAreaSize(TfRun& form, int32_t width, int32_t height);

}  // namespace vitrine
