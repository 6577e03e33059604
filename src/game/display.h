// The in-game picture and the end of a game.
#pragma once

#include <SDL.h>
#include <cstddef>
#include <cstdint>

// Colour of the highlight behind the leading problem and of the game-over burst.
constexpr uint32_t HighlightColour = 0x9f0000;

// Where the feedback text stands before it rises or is tossed (pixels, its left edge and
// top edge).
constexpr int32_t FeedbackLeft = 320;
constexpr int32_t FeedbackTop = 400;

// The panel behind a shown fact and the pause picture's, and its border: the font's own
// outline colour, dark enough for the averaged face of big text to stand at better than
// 4.5:1 on it.
constexpr uint32_t PanelColour = 0x1c1638;
constexpr uint32_t PanelBorderColour = 0xc6c5cd;

// How long the game-over burst grows over the last game picture (ms) before the
// game-over menu replaces it.
constexpr uint32_t GameOverBurstMs = 1000;

// The in-game background: the picture of the leading problem's dangerZone; while
// paused the menus' calm picture.
SDL_Surface *playingBackground();

// True while GameOver is in its burst: at most GameOverBurstMs since screenEnteredAt
// by the tick counter (unsigned, so that it holds across the counter's wrap).
bool gameOverBurstShowing();

// Draws, on the locked screen: the answer prompt at (310, 420), every problem at
// (x / 10, y), the pulsing highlight and the leading problem on top of it, the score
// "%5d" at (0, 0), the feedback text at (FeedbackLeft, FeedbackTop + offset) and the
// particles. A fact holding the field (practice/shown_fact.h) is the feedback text, drawn
// still and large on a panel next to the leading problem (see shownFactBox). While
// paused only the score and the pause picture are drawn.
void drawPlaying();

// The panel of the shown fact (feedbackText, and in the sign quiz the key that answers
// it) next to the leading problem: right of its highlight, or left of it where the
// screen has no room, on the screen; false when no fact holds the field.
bool shownFactBox(int32_t *x0, int32_t *y0, int32_t *x1, int32_t *y1);

// The game-over menu's practice additions, drawn from (left, top) between its score line
// and its entries: a round's summary line, then the practice list (when chosen) in two
// columns of three lines, 180 pixels apart (practice/practice.h says what each line holds).
void drawGameOverPractice(int left, int top);

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
