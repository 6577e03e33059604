// Practice settings for parents and teachers, each off unless chosen outside the child's
// menus (command-line options; the page's settings panel passes the same words): a
// gentle pace, the right answer after a mistake, missed facts asked again, and what to
// practise on the game-over screen. With every setting off each hook below leaves the
// game exactly as it is and draws no random number.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ground/game_state.h"

struct PracticeSettings {
    bool gentlePace = false;   // the field speeds up every third period, never past GentleTopSpeed
    bool showAnswers = false;  // a wrong answer shows the whole fact with its answer
    bool repeatMissed = false; // missed facts come back until answered right twice in a row
    bool practiceList = false; // the game-over menu lists the facts missed in that game
};
extern PracticeSettings practice;

// Gentle pace: the speed rises once every GentleSpeedUpPeriods spawn periods (instead of
// every period) and never beyond GentleTopSpeed tenths of a pixel per step, where a
// problem crosses the 640-pixel field in 16 s.
constexpr int32_t GentleSpeedUpPeriods = 3;
constexpr int32_t GentleTopSpeed = 4;

// Most facts the game-over menu lists.
constexpr int MaxListedFacts = 6;

// The time in ms between two speed-ups for a spawn period of spawnPeriodMs.
int32_t speedUpInterval(int32_t spawnPeriodMs);

// Whether a due speed-up raises game.speed (false at the gentle ceiling).
bool speedMayRise();

// The start of a game (enterPlaying, before the first problem): forgets the last game's
// missed facts and any answer on show.
void startPracticeGame();

// One spawn of the field, before a new problem is made: when a missed fact is due (two,
// then four other spawns after it was missed or last answered right, not on the field,
// and missed facts stay at most a third of this game's spawns) it is appended as a new
// problem in a freshly drawn row and true is returned; otherwise false and the caller
// makes a new problem.
bool spawnMissedFact();

// The feedback to show after a wrong answer (rejectAnswer, for a block of blockMs):
// typed itself, or with showAnswers the leading problem's whole fact with its answer
// written into buffer (size bytes), held still for the block.
const char *shownAnswer(const char *typed, int32_t blockMs, char *buffer, size_t size);

// The leading problem was answered wrong (rejectAnswer): it counts as missed.
void noteWrongAnswer();

// The leading problem has reached the danger zone (once per problem): it counts as missed.
void noteDangerReached();

// leading is about to be solved: a repeat answered right brings its fact closer to done.
void noteRightAnswer(const Problem *leading);

// Whether the feedback text is a shown answer (it then stands still instead of being
// tossed).
bool holdsShownAnswer();

// The top edge (pixels) of the shown answer at tick: the feedback's own place, 400,
// while its block lasts; false (not drawn) once the block is over.
bool shownAnswerTop(uint32_t tick, int32_t *top);

// The left edge (pixels) of the shown answer: the feedback's own 320, moved left as far
// as a long fact needs to stay on the screen.
int32_t shownAnswerLeft();

// The whole fact of a problem's text and answer, as shown: "7 + 5 = 12" with the
// problem's own operator characters; in the sign quiz the right sign ("3 - 5 : -").
void formatFact(const char *text, int32_t answer, char *out, size_t size);

// The facts of the last game to practise, most missed first (then in the order first
// missed), at most MaxListedFacts, each formatted as formatFact does into lines[i];
// returns how many.
int practiceListLines(char lines[MaxListedFacts][24]);

// Draws the practice list on the game-over menu, when chosen: two columns of three
// lines, from (left, top) and (left + 180, top), 34 pixels apart.
void drawPracticeList(int left, int top);
