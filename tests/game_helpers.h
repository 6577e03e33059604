// Shared set-up of the game tests: hand-made problems, list counts, a small generated font.
#pragma once

#include <cstdint>

#include "game/problems.h"
#include "ground/game_state.h"

// Kept in their own namespace: other test files have helpers of their own.
namespace gametest {

// Appends a problem with the given text, answer, key count and position; returns it.
Problem *addProblem(const char *text, int32_t answer, int32_t answerDigits, int32_t x, int32_t y);

// Number of records in the problem and particle lists.
int problemCount();
int particleCount();

// Installs an 8-pixel font (every glyph from 33 on is a solid 5 x 6 block of white ink
// at columns 1..6, rows 1..6 of its cell) as fontImage and measures it.
void installTestFont();

} // namespace gametest
