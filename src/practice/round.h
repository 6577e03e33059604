// Rounds that cannot be lost (--round=MINUTES): the game ends after its minutes, and a
// problem that reaches the left edge leaves the field as missed while the round goes on.
#pragma once

#include <cstdint>

// When a game starts (enterPlaying, screenEnteredAt set): in a round, its end is
// screenEnteredAt + the round's minutes; otherwise the game is no round (roundEndsAt 0).
void startRound();

// Whether the game is a round, so that a problem at the left edge does not end it.
bool roundGoesOn();

// Whether the round is over at logic time logicNow (strictly past its end, as the
// field's deadlines); false when the game is no round.
bool roundOver(int32_t logicNow);

// The round's summary under the game-over menu's score, when the last game was a round:
// facts answered, problems missed (reached the left edge), those right at the first try
// and the median seconds one took, in the child's language (the content file's round
// summary, "12 answered, 3 missed, 10 at first try, 4.5 s" in English), written into out
// (size bytes). False for no round.
bool roundSummary(char *out, unsigned size);
