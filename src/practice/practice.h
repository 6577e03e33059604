// Practice settings for parents and teachers, each off unless chosen outside the child's
// menus (command-line options; the page's settings panel passes the same words): a pace
// that follows the child (practice/pace.h), the fact shown after a mistake until it is
// copied (practice/shown_fact.h), rounds that cannot be lost (practice/round.h), missed facts
// asked again, and what to practise on the game-over screen; the pause (practice/pause.h)
// comes with any of them. With every setting off the game stays exactly as it is and
// draws no extra random number. What the settings read is the game's fact record
// (practice/fact_record.h).
#pragma once

#include <cstdint>

#include "practice/fact_record.h"
#include "ground/game_state.h"

#include "ground/settings.h"

// Most facts the game-over menu lists.
constexpr int MaxListedFacts = 6;

// A fact was missed (answered wrong, run out or near the left edge; fact as the record
// returned it, null for nothing new): it is asked again after two other spawns.
void noteMissedFact(FactTally *fact);

// One spawn of the field, before a new problem is made: when a missed fact is due (two,
// then four other spawns after it was missed or last answered right, not on the field,
// and missed facts stay at most a third of this game's spawns) it is placed as a new
// problem (placeProblem) and true is returned; otherwise false and the caller makes a
// new problem.
bool spawnMissedFact();

// leading is about to be solved: a repeat answered right brings its fact closer to done.
void noteRightAnswer(const Problem *leading);

// The facts of the last game to practise, most missed first (then in the order first
// missed), at most MaxListedFacts, each as formatFact writes it followed by its mark:
// " x" when it was answered wrong, " ..." when it only ran out of time (reached the left
// edge, or came near it); returns how many.
int practiceListLines(char lines[MaxListedFacts][32]);
