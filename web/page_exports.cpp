// What the page reads of the game: the screen in force, so that the on-screen arrows can
// move the language screen's highlight the way they point (controls.js).
#include <emscripten.h>

#include "ground/game_state.h"

extern "C" {

// The screen in force (a ScreenId).
EMSCRIPTEN_KEEPALIVE int plimoScreen() { return game.currentScreen; }
}
