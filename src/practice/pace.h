// The pace that follows the child (--gentle): how fast the field may go and how many
// problems it may hold, from the child's own recent answer times in the fact record.
// The field keeps its own schedule and asks these limits at each due spawn and speed-up;
// they never make the game faster than it is without the setting.
#pragma once

#include <cstdint>

// How many of the latest answer times make the child's recent answer time.
constexpr int PaceRecentAnswers = 5;

// The recent answer time assumed before the child has answered anything (ms): a slow
// one, so that a slow child's first problems cannot run away.
constexpr int32_t PaceFirstGuessMs = 10000;

// The leading problem crosses the field in no less than this many recent answer times.
constexpr int32_t PaceCrossingAnswers = 4;

// The field holds at most this many problems: a new one comes only once the child has
// answered (no faster than the child answers them).
constexpr int PaceMostOnField = 2;

// The child's recent answer time (ms): the median of the latest PaceRecentAnswers times
// a leading problem took (answered or run out, holds and pauses left out), or
// PaceFirstGuessMs before the first.
int32_t recentAnswerMs();

// The highest speed (tenths of a pixel per step, at least 1) at which a problem crosses
// the 640-pixel field in PaceCrossingAnswers x recentAnswerMs.
int32_t paceTopSpeed();

// Whether the field may take one more problem now (it holds fewer than PaceMostOnField).
bool paceRoomForProblem();
