// The playing field over time: starting a game, movement, speed-up, spawning and loss.
#pragma once

#include <cstdint>

#include "ground/game_state.h"

// The danger zones' edges, in tenths of a pixel from the left edge: a leading problem
// beyond DangerFarX is far, beyond DangerNearX in the middle, from DangerNearX down near.
constexpr int32_t DangerFarX = 6000;
constexpr int32_t DangerNearX = 2000;

// How far the leading problem has come: DangerFar on an empty field or beyond
// DangerFarX, DangerMiddle beyond DangerNearX, DangerNear from there down. Reads the
// state only.
DangerZone dangerZone();

// Spawn and speed-up period in ms: 7000 / (difficulty + 1).
int32_t spawnInterval();

// Starts a game (the Playing entry action): clears the feedback, typing, score and
// input block, sets alertFlag, then sets screenEnteredAt to `now` (the shell starts the
// game music and reads the tick after it), places the first problem, sets speed 1, the spawn deadline to
// screenEnteredAt + spawnInterval and the speed-up deadline to screenEnteredAt +
// speedUpInterval (the same unless the gentle pace is chosen).
void enterPlaying();

// One Playing logic step at logic time L = game.logicClock: moves every problem left by
// speed tenths of a pixel; raises speed once L is strictly past nextSpeedUpAt (not past
// the gentle pace's ceiling, next deadline L + speedUpInterval); spawns
// once L is strictly past nextSpawnAt, or at once when nextSpawnAt is 0 (a cleared
// field), with a second problem when rand() % (10 - difficulty) is 0 (either may be a
// missed fact asked again, see practice.h); the next spawn is due L + spawnInterval.
// Requests GameOver when the leading problem's x is 0 or less. Sets alertFlag while
// the leading problem is in DangerNear (a close call), where it also counts as missed
// for practice.
// Deadlines are compared wrap-safe, so the schedule holds across 2^31 and 2^32.
void updateField();
