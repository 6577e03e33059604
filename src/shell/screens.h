// The table of screens: for every ScreenId what entering it does, what its logic steps
// do, what it shows and what its keys mean. The frame clock, the drawing of a frame and
// the event pump all read a screen's facts here, and only here.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "content/content.h"
#include "ground/game_state.h"

// How long the splash shows (ms) before the language screen follows by itself.
constexpr int32_t SplashMs = 2000;
// How long the help picture shows (ms) before the game starts by itself, and over how
// much of its start the menu music fades out.
constexpr int32_t HelpMs = 3000;
constexpr int32_t HelpFadeMs = 1000;

// One screen's row.
struct ScreenRow {
    ScreenId id;
    // Entry actions, run by enterScreen before the screen becomes currentScreen; null
    // for none.
    void (*enter)();
    // One 10 ms logic step on the screen. Null when its steps change nothing: the screen
    // is still, and only the clock moves what it shows (screenIsStill).
    void (*update)();
    // The picture drawn under the overlay at (0, 0); a null function or result: none,
    // the last frame's pixels stay.
    SDL_Surface *(*background)();
    // The overlay, drawn on the locked screen from the screen's texts (null for none).
    void (*draw)(const ContentScreen *texts);
    // What a released navigation key does; true when the program is to end.
    bool (*navigate)(NavAction action);
    // What a pressed key does (its symbol, and the character it types); null: nothing.
    void (*press)(SDLKey key, uint16_t unicode);
    // The content screen its items come from (its name and item count), or null.
    const ContentScreen *texts;
    // The entries the highlight reaches (menuItemCount) and the one highlighted on entry
    // (menuSelection); 0 entries: entering leaves both as they are.
    int32_t entries;
    int32_t firstEntry;
};

// The row of screen id; ScreenNone and unknown values get a row that does nothing.
const ScreenRow &screenRow(int32_t id);

// Whether the logic steps of screen id change nothing, so that only the clock moves
// what it shows: it has no update.
bool screenIsStill(int32_t id);

// The current screen's background picture, or null for none.
SDL_Surface *backgroundPicture();

// Draws the current screen's overlay on the locked screen.
void drawScreenOverlay();

// Acts on one released navigation key on the current screen. True when the program is
// to end.
bool handleNavigation(NavAction action);

// Acts on one pressed key on the current screen (answers, while a game runs).
void handleKeyPress(SDLKey key, uint16_t unicode);
