// Missed facts asked again (--repeat-missed): a fact answered wrong or run out comes back
// after two other spawns, then four, until answered right twice in a row.
#pragma once

#include "practice/fact_record.h"

// How many other spawns a missed fact waits before it is asked again, and after a right
// answer to its repeat; missed facts asked again stay at most one in RepeatShareDivisor
// of a game's spawns.
constexpr int32_t RepeatAfterMissSpawns = 2;
constexpr int32_t RepeatAfterRightSpawns = 4;
constexpr int32_t RepeatShareDivisor = 3;

// A fact was missed (answered wrong, run out or near the left edge; fact as the record
// returned it, null for nothing new): it is asked again after RepeatAfterMissSpawns
// other spawns.
void noteMissedFact(FactTally *fact);

// One spawn of the field, before a new problem is made, with --repeat-missed: when a
// missed fact is due (not on the field, its spawns waited, and the share of repeats
// left) it is placed as a new problem (placeProblem) and true is returned; otherwise
// false and the caller makes a new problem. Without the setting false, counting nothing.
bool spawnMissedFact();

// leading is about to be solved: a repeat answered right brings its fact closer to done.
void noteRightAnswer(const Problem *leading);
