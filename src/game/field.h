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

// Starts a game (the Playing entry action): clears the feedback, typing, score, input
// block and the practice's hold, pause and fact record, sets alertFlag, then sets
// screenEnteredAt to `now` (the shell starts the game music and reads the tick after
// it), places the first problem, sets speed 1, both deadlines to screenEnteredAt +
// spawnInterval and, in a round, its end.
void enterPlaying();

// One Playing logic step at logic time L = game.logicClock. While the game is paused or
// a shown fact holds the field, nothing moves. Otherwise: moves every problem left by
// speed tenths of a pixel; once L is strictly past nextSpeedUpAt raises speed (next
// deadline L + spawnInterval); once L is strictly past nextSpawnAt, or at once when
// nextSpawnAt is 0 (a cleared field), spawns, with a second problem when rand() % (10 -
// difficulty) is 0 (either may be a missed fact asked again, see practice.h); the next
// spawn is due L + spawnInterval. With the gentle pace (practice/pace.h) the speed never
// goes past paceTopSpeed (it comes down to it when the child slows) and a due spawn
// waits while the field has no room. A leading problem at x 0 or less requests GameOver,
// or in a round leaves the field as missed (practice/round.h); a round also ends here. Sets
// alertFlag while the leading problem is in DangerNear (a close call).
// Deadlines are compared wrap-safe, so the schedule holds across 2^31 and 2^32.
void updateField();

// The field stood still for ms (a pause, or a shown fact until copied): its spawn and
// speed-up deadlines and the leading problem's answer clock move on by as much.
void holdFieldClocks(int32_t ms);
