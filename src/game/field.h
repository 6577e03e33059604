// The playing field over time: starting a game, movement, speed-up, spawning and loss.
#pragma once

#include <cstdint>

// Spawn and speed-up period in ms: 7000 / (difficulty + 1).
int32_t spawnInterval();

// Starts a game: resets the per-game state, starts the game music, places the first problem.
void enterPlaying();

// One Playing logic step at logic time game.logicClock: move, speed-up, spawn, loss.
void updateField();
