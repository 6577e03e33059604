// The in-game picture and the end of a game.
#pragma once

#include <SDL.h>
#include <cstddef>
#include <cstdint>

#include "ground/game_state.h"

#include "ground/game_state.h"

// Colour of the highlight behind the leading problem and of the game-over burst.
constexpr uint32_t HighlightColour = 0x9f0000;

// Where the feedback text stands before it rises or is tossed (pixels, its left edge and
// top edge).
constexpr int32_t FeedbackLeft = 320;
constexpr int32_t FeedbackTop = 400;

// How long the game-over burst grows over the last game picture (ms) before the
// game-over menu replaces it.
constexpr uint32_t GameOverBurstMs = 1000;

// The in-game background: the picture of the leading problem's dangerZone.
SDL_Surface *playingBackground();

// True while GameOver is in its burst: at most GameOverBurstMs since screenEnteredAt
// by the tick counter (unsigned, so that it holds across the counter's wrap).
bool gameOverBurstShowing();

// Draws, on the locked screen: the answer prompt at (310, 420), every problem at
// (x / 10, y), the pulsing highlight and the leading problem on top of it, the score
// (drawScore), the feedback text at (FeedbackLeft, FeedbackTop + offset), what the
// settings draw over the field (gameHooks.drawOverField) and the particles. While a fact
// holds the field (factHeld) the feedback text is not drawn in its place.
void drawPlaying();

// Draws the score "%5d" at (0, 0) in the small text.
void drawScore();

// Centre of the highlight behind problem (pixels), also where the game-over burst
// starts: 6 pixels per character right of the text's left edge, 14 below its top.
void highlightCentre(const Problem *problem, int32_t *cx, int32_t *cy);

// Ends a game: screenEnteredAt, burst centre (the leading problem's highlight centre,
// or (320, 240) on an empty field), menu music, failed sound, frees problems and
// particles. (The game-over menu's entries are the screen table's.)
void enterGameOver();

// Paints the dark red disc of GameOver's first second at (burstX, burstY), radius
// burstRadius of the ms since screenEnteredAt.
void drawGameOverBurst();

// Vertical offset in pixels of the feedback text elapsedMs ms after it appeared:
// -(e^2 / 1000) when rising, ((e^2 / 100) - 4e) / 10 when tossed. 64-bit throughout;
// |elapsedMs| is capped at 2^32 - 1, far beyond any position on the screen.
int64_t feedbackOffset(int64_t elapsedMs, bool rising);

// The answer prompt as drawn now into out (size bytes), or false when none is drawn
// (empty field, or answer keys blocked).
bool formatPrompt(char *out, size_t size);

// The top edge (pixels) of the feedback text at tick `tick`, or false when it is not
// drawn: no text, or its top edge below the screen (> 479) or more than a big-text
// line (2 font cells) above it. A shown fact is drawn in its own place (shownFactBox).
bool feedbackTop(uint32_t tick, int32_t *top);

// Radius in pixels of the game-over burst elapsedMs ms after GameOver began:
// e^3 / 1000000, with e capped at GameOverBurstMs (the disc covers the screen then).
int32_t burstRadius(uint32_t elapsedMs);
