// The pace that follows the child (--gentle): how fast the field may go and how many
// problems it may hold, from the child's own recent answer times in the fact record,
// and a level that climbs while the child answers fast and right and steps back at a
// mistake, a slower answer or a problem near the edge. The field keeps its own schedule
// and asks these limits at each due spawn and speed-up; they never make the game faster
// than it is without the setting.
#pragma once

#include <cstdint>

#include "game/field.h"

// How many of the latest answer times make the child's recent answer time.
constexpr int PaceRecentAnswers = 5;

// The recent answer time assumed before the child has answered anything (ms): a slow
// one, so that a slow child's first problems cannot run away.
constexpr int32_t PaceFirstGuessMs = 10000;

// At level 0 a problem crosses the field, from where it stands whole (EntryEndX), in no
// less than PaceCrossingQuarters / 4 recent answer times; each level takes half an
// answer time off, down to a crossing of three answer times at PaceTopLevel.
constexpr int32_t PaceCrossingQuarters = 32;
constexpr int32_t PaceQuartersPerLevel = 2;
constexpr int32_t PaceTopLevel = 10;

// The field holds at most PaceMostOnField problems at level 0; from PaceFullerLevel on
// it is kept that full (a new problem comes as soon as one is answered), and a further
// one comes while every problem on it, the new one last, would still be answered in
// turn, at the child's recent time with nine sixteenths to spare, before the new one crosses;
// never more than PaceMostOnFieldAtTop.
constexpr int PaceMostOnField = 2;
constexpr int32_t PaceFullerLevel = 2;
constexpr int PaceMostOnFieldAtTop = 3;

// A right answer at the first try counts towards the next level when it came in no more
// than a quarter over the child's recent answer time and with the problem still right
// of PaceClimbX (tenths of a pixel: it had not come near the edge); paceClimbAnswers(difficulty) such answers in a
// row climb a level: 10 at Easy down to 4 at Very hard, so that a harder game climbs
// sooner at the same answers.
constexpr int32_t PaceClimbX = DangerNearX;
inline int32_t paceClimbAnswers(int32_t difficulty) { return 10 - 2 * difficulty; }

// The child's recent answer time (ms): the median of the latest PaceRecentAnswers times
// a leading problem took (answered or run out, holds and pauses left out), or
// PaceFirstGuessMs before the first.
int32_t recentAnswerMs();

// The highest speed (tenths of a pixel per step, at least 1) at which a problem crosses
// from EntryEndX in (PaceCrossingQuarters - PaceQuartersPerLevel x level) / 4 x
// recentAnswerMs.
int32_t paceTopSpeed();

// Whether the field may take one more problem now (see PaceMostOnField).
bool paceRoomForProblem();

// Whether the pace wants a problem now, before the field's schedule: from
// PaceFullerLevel on, while the field holds fewer than PaceMostOnField.
bool paceWantsProblem();

// The leading problem was answered right at the first try (firstTry) or not, in ms,
// standing at x (tenths of a pixel): climbs towards the next level, or steps one back
// when the answer came slower than half as much again as the recent time.
void paceNoteRight(bool firstTry, int32_t ms, int32_t x);

// A mistake or a problem at the edge (two levels), or a close call (one): levels back,
// and the climb starts over.
void paceStepBack(int32_t levels);
