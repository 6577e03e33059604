// The arithmetic problems: generating them and the problem list.
#pragma once

#include <cstdint>

#include "app/game_state.h"

// One problem on the field; heap record in game.problems, leading (oldest) first.
struct Problem {
    int32_t answer;       // expected answer; in Sign mode 1 for >= 0, 0 for negative
    int32_t answerDigits; // answer keys to type: digits of |answer|; 1 in Sign mode
    char *text;           // owned heap text as displayed, at most nine characters
    int32_t x;            // left edge, tenths of a pixel; 6400 at creation
    int32_t y;            // top edge, pixels: one of 0, 20, ..., 360
    Problem *next;        // the following, younger problem
};

// Makes one problem for game.gameMode and game.difficulty and appends it.
void generateProblem();

// Appends a new record (whose next is null) at the tail of game.problems.
void appendProblem(Problem *problem);

// Unlinks and frees the leading problem with its text; nothing on an empty field.
void freeLeadingProblem();

// Frees every problem with its text and empties the list.
void freeProblems();
