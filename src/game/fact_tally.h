// One game's tallies of the facts asked, for the progress record (--remember): each
// event is noted from one place in the game, and the game's outcomes are handed over
// when it ends. Off unless --remember is given; then it only counts (no random numbers,
// nothing drawn differently). The sign quiz is not tallied: its answers are signs, not
// the facts' results.
#pragma once

#include <vector>

#include "game/progress_record.h"
#include "ground/game_state.h"

// Whether the game's facts are kept (--remember).
extern bool rememberProgress;

// A game starts (enterPlaying): forgets the last game's tallies.
void startFactTally();

// problem has just become the leading one (the field was empty, or the one before it was
// answered): it is asked, and its answer time runs from now.
void noteFactLeading(const Problem *problem);

// The leading problem is answered right (before it is removed); the one after it, if
// any, becomes the leading one now.
void noteFactRight(const Problem *leading);

// The leading problem is answered wrong.
void noteFactWrong();

// The leading problem is near the left edge (the red warning): too slow, once per asking.
void noteFactTooSlow();

// This game's outcomes so far, in the order the facts were first asked.
const std::vector<FactOutcome> &factOutcomes();
