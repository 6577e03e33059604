// The fact shown after a mistake (--show-answers): the whole fact stands next to the
// leading problem and the field holds still until the child copies its answer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ground/game_state.h"

// The whole fact of a problem as a child reads it aloud: "7 + 5 = 12" with the problem's
// own operator characters; in the sign quiz with the problem's value, "3 - 5 = -2" (the
// key to press is signKeyOf).
void formatFact(const char *text, int32_t answer, char *out, size_t size);

// The key that answers a sign-quiz problem of answer (1 for zero or more): '+' or '-'.
char signKeyOf(int32_t answer);

// A wrong answer to the leading problem (rejectAnswer): with shown answers, its fact is
// written into out (size bytes) to be the feedback text, and the field holds still from
// tick `now` on (it may hold already); true. False without shown answers or problem.
bool showFact(char *out, size_t size);

// The leading problem is about to be answered right: a holding fact lets the field go
// on, its clocks moved on by the time it stood still; true when one was holding (the
// answer was copied).
bool releaseFact();

// The panel of the shown fact (feedbackText, and in the sign quiz the key that answers
// it) next to the leading problem: right of its highlight, or left of it where the
// screen has no room, on the screen (pixels); false when no fact holds the field.
bool shownFactBox(int32_t *x0, int32_t *y0, int32_t *x1, int32_t *y1);

// Draws the shown fact on its panel, and in the sign quiz the key that answers it
// framed, on the locked screen; nothing when no fact holds the field.
void drawShownFact();
