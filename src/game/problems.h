// The arithmetic problems: generating them and the problem list.
#pragma once

#include <cstdint>

#include "ground/game_state.h"

// Makes one problem for game.gameMode and game.difficulty and appends it.
void generateProblem();

// A row for a new problem (pixels, one of 0, 20, ..., 360), drawn with rand until it
// differs from the leading problem's row.
int32_t drawProblemRow();

// A new problem at the right edge (x 6400) in a freshly drawn row (drawProblemRow),
// appended at the tail of game.problems; every problem comes onto the field this way.
// The caller fills in its fact (answer, answerDigits, text) before anything reads the
// list again.
Problem *placeProblem();

// Appends a new record (whose next is null) at the tail of game.problems.
void appendProblem(Problem *problem);

// Unlinks and frees the leading problem with its text; nothing on an empty field.
void freeLeadingProblem();

// Frees every problem with its text and empties the list.
void freeProblems();
