#pragma once
// The two dispatchers of the show window: StartTransition picks an index and prepares the
// shared state, StepTransition runs one frame of it.
#include <cstdint>

#include "package/zov_array.h"
#include "transitions/transition_host.h"

namespace vitrine {

// Index -1 (an empty list): the whole picture in one frame.
bool NoTransition();

// The next index from a transition list, at random or in list order; -1 for an empty list.
// Either way the list's cursor moves, so a later choice in order goes on from there.
int32_t ChooseTransitionIndex(TZovArray& list, bool randomOrder);

// Sets the origin to the picture position and asks the main form to pause the music, or to
// let it play on when the picture wants music during its transition.
void AnnounceTransition(TransitionHost& host, bool musicDuring);

// Prepares the shared state and the bitmaps for index and runs its set-up routine; enables
// the frame timer. Indices outside the catalogue run as -1 and a speed below 1 as 1, so that every
// transition ends.
void StartChosenTransition(TransitionHost& host, int32_t index, int32_t speed);

// Brings in the picture just composed: musicDuring is the picture record's MusicDuring.
void StartTransition(TransitionHost& host, bool musicDuring, TZovArray& list, int32_t speed, bool randomOrder);

// One frame of the transition with index; true when the picture stands complete.
bool StepTransition(TransitionHost& host, int32_t index);

}  // namespace vitrine
