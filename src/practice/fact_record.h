// The record of one game's facts: for each fact put to the child, how often it was
// asked, answered right at the first try, answered wrong or let run out, and how long
// each right answer took. Kept beside the game state and started afresh by
// startFactRecord when a game starts; the pace, a round's summary, the practice list
// and the progress kept across games all read it.
#pragma once

#include <cstdint>
#include <vector>

#include "ground/game_state.h"
#include "record/progress_record.h"

// One fact of the game (a problem's text with its answer), tallied over the game.
struct FactTally {
    char text[16] = {};        // the problem's text, as on the field ("7 + 5")
    int32_t answer = 0;        // its answer (in the sign quiz 1 for zero or more, 0 below)
    int32_t answerDigits = 0;  // its answer keys
    int32_t asked = 0;         // times it became the leading problem, the one to answer
    int32_t rightFirstTry = 0; // of them, answered right with no wrong answer before
    int32_t wrong = 0;         // wrong answers typed for it
    int32_t askingsWrong = 0;  // times asked in which it was answered wrong at least once
    int32_t tooSlow = 0;       // times it reached the left edge (the game lost, or missed in a round)
    int32_t closeCalls = 0;    // times it came near the left edge as the leading problem
    int32_t missOrder = 0;     // 0 until first missed; then 1 for the game's first fact missed, 2 for the next...
    std::vector<int32_t> answerMs; // each right answer's time (ms) from when it led, holds and pauses left out
    std::vector<FactAsking> askings; // each time it led, what became of it, in order
    // Asking it again (missed facts asked again, see practice.h).
    int32_t rightInRow = 0;    // repeats answered right since it was last missed
    int32_t spawnsToWait = 0;  // other spawns before it is asked again
    bool done = false;         // answered right twice in a row: not asked again
    const Problem *repeat = nullptr; // its repeat on the field (compared, never followed), or null
};

// Whether a fact counts as missed in the game: answered wrong, too slow, or a close call.
inline bool factMissed(const FactTally &fact) { return fact.wrong > 0 || fact.tooSlow > 0 || fact.closeCalls > 0; }

// The record of the game being played (or of the last game, until the next starts).
struct FactRecord {
    std::vector<FactTally> facts;  // in the order first asked or missed
    std::vector<int32_t> recentMs; // the time (ms) each leading problem took, answered or run out, in order
    int32_t missedFacts = 0;       // facts missed so far (the last missOrder given)
    int32_t spawns = 0;            // spawns in this game (counted while missed facts are asked again)
    int32_t repeats = 0;           // of them, missed facts asked again
    // The leading problem: which one the clock below is for (compared, never followed).
    const Problem *leading = nullptr;
    int32_t leadingSince = 0;      // tick it became the leading problem, moved on by holds and pauses
    bool leadingWrong = false;     // it has been answered wrong already
    bool leadingNear = false;      // it has been counted as a close call already
    bool closed = false;           // the game has ended and its record is final
    // The gentle pace (practice/pace.h).
    int32_t paceLevel = 0;         // 0 up to PaceTopLevel
    int32_t paceStreak = 0;        // fast right answers towards the next level
    bool kept = false;             // the program kept it as it ended in the middle of the game
    int32_t playedSteps = 0;       // logic steps the field moved in (pauses, holds and stalls left out)
};
extern FactRecord factRecord;

// Forgets the last game's facts (a game starts).
void startFactRecord();

// The facts of the game being played or just ended, for whoever keeps them beyond it
// (read once a game has ended: at GameOver's entry or after).
const std::vector<FactTally> &gameFacts();

// The tally of the fact of problem, made when first met; null only for a null problem.
FactTally *tallyOf(const Problem *problem);

// The leading problem is now game.problems (or none), since tick: it is asked.
void noteLeading(int32_t tick);

// The leading problem was answered right at tick / wrong / reached the left edge at tick
// / came near the left edge (counted once per problem). The last three return the fact
// they counted as missed (null when nothing new was counted).
void noteRight(int32_t tick);
FactTally *noteWrong();
FactTally *noteTooSlow(int32_t tick);
FactTally *noteCloseCall();

// The game has ended, for any reason (lost, given up, a round's end, the program
// quitting): the leading problem, when it was neither answered wrong nor came near the
// left edge, was not really asked and is not counted (a fact that came near the edge
// stays counted as a close call, that is too slow). Only the first call counts.
void closeFactRecord();

// The clocks of the leading problem move on by ms (the field stood still that long).
void holdLeadingClock(int32_t ms);

// The game's missed facts, in the order first missed.
std::vector<FactTally *> missedFactsInOrder();

// Facts answered right in the game, those right at the first try, and the median time
// (ms) a right answer took (0 when none).
int32_t factsAnswered();
// Problems that reached the left edge in the game (in a round each one missed).
int32_t problemsMissed();
int32_t factsRightFirstTry();
int32_t medianAnswerMs();
