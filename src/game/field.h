// The playing field over time: starting a game, movement, speed-up, spawning and loss.
#pragma once

#include <cstdint>

#include "game/hooks.h"
#include "ground/game_state.h"

// The danger zones' edges, in tenths of a pixel from the left edge: a leading problem
// beyond DangerFarX is far, beyond DangerNearX in the middle, from DangerNearX down near.
constexpr int32_t DangerFarX = 6000;
constexpr int32_t DangerNearX = 2000;

// A quickly entering problem (gameHooks.quickEntry) moves EntryTenthsPerStep more each
// step until it reaches EntryEndX (tenths of a pixel), where the widest problem text
// stands wholly on screen; from there on it moves with the field.
constexpr int32_t EntryEndX = 5200;
constexpr int32_t EntryTenthsPerStep = 60;

// How far the leading problem has come: DangerFar on an empty field or beyond
// DangerFarX, DangerMiddle beyond DangerNearX, DangerNear from there down. Reads the
// state only.
DangerZone dangerZone();

// Spawn and speed-up period in ms: 7000 / (difficulty + 1).
int32_t spawnInterval();

// Starts a game (the Playing entry action): clears the feedback, typing, score and input
// block, sets alertFlag, then sets screenEnteredAt to `now` (the shell starts the game
// music and reads the tick after it), frees the field, tells the settings
// (gameHooks.gameStarting), places the first problem, sets speed 1 and both deadlines
// to screenEnteredAt + spawnInterval.
void enterPlaying();

// One Playing logic step at logic time L = game.logicClock. While the settings hold the
// field (gameHooks.fieldHeld), nothing moves. Otherwise: moves every problem left by
// speed tenths of a pixel (entering problems more, see EntryEndX); once L is strictly
// past nextSpeedUpAt raises speed by one, to at most gameHooks.topSpeed (next deadline
// L + spawnInterval); once L is strictly past nextSpawnAt, at once when nextSpawnAt is 0
// (a cleared field), or when the settings want one (gameHooks.spawnWanted), spawns
// while the field has room (gameHooks.roomForProblem), with a second problem when
// rand() % (10 - difficulty) is 0 (either may be a setting's own,
// gameHooks.spawnOwnProblem); the next spawn is due L + spawnInterval. A leading problem
// at x 0 or less ends the game (GameLost), or leaves the field as missed when
// gameHooks.reachedEdge says the game goes on; gameHooks.gameOverDue ends it too
// (RoundEnded). Sets alertFlag while the leading problem is in DangerNear (a close call,
// gameHooks.reachedWarning). Deadlines are compared wrap-safe, so the schedule holds
// across 2^31 and 2^32.
void updateField();

// The field stood still for ms (a pause, or a shown fact until copied): its spawn and
// speed-up deadlines move on by as much.
void holdFieldClocks(int32_t ms);

// The leading problem reached the left edge at logic time logicNow in a game that goes
// on: it leaves the field with the failed sound, the typing is reset, and the next
// problem leads (gameHooks.leadingChanged); on an empty field one comes at the next step.
void missLeadingProblem(int32_t logicNow);

// Ends the game (how it ended told to gameHooks.gameEnded): GameOver is requested.
void endGame(GameEnd how);
