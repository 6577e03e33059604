// Read-only views of the game state for the browser test, which drives the page with
// real key events and uses these to wait for states and to know the answer to type. Only
// in the test's own build of the game (site-test), never in the public site.
#include <SDL.h>
#include <climits>
#include <cstring>
#include <emscripten.h>

#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "menu/menu.h"
#include "shell/frame.h"

extern "C" {

// The highlighted menu entry, 0-based.
EMSCRIPTEN_KEEPALIVE int plimoMenuSelection() { return game.menuSelection; }

// The tick when Splash, Help, Playing or GameOver was last entered.
EMSCRIPTEN_KEEPALIVE int plimoScreenEnteredAt() { return game.screenEnteredAt; }

// Points of the current or last game.
EMSCRIPTEN_KEEPALIVE int plimoScore() { return game.score; }

// The tick of the last pass (ms), which the frame on the canvas was drawn at.
EMSCRIPTEN_KEEPALIVE int plimoNow() { return now; }

// The menu cursor's swing in the frame on the canvas, 0..10 pixels.
EMSCRIPTEN_KEEPALIVE int plimoCursorOffset() { return cursorOffset(now); }

// The answer of the leading problem, or INT_MIN when the field is empty.
EMSCRIPTEN_KEEPALIVE int plimoLeadingAnswer() { return game.problems ? game.problems->answer : INT_MIN; }

// The leading problem as it is shown ("7 * 8"), "" with none.
EMSCRIPTEN_KEEPALIVE const char *plimoLeadingText() { return game.problems && game.problems->text ? game.problems->text : ""; }

// The game mode chosen (a GameMode).
EMSCRIPTEN_KEEPALIVE int plimoGameMode() { return game.gameMode; }

// The last answer's feedback: when it appeared (tick), and 1 if it was right, 0 if wrong.
EMSCRIPTEN_KEEPALIVE int plimoFeedbackAt() { return game.feedbackStartedAt; }
EMSCRIPTEN_KEEPALIVE int plimoFeedbackRight() { return game.feedbackRising; }

// The length of the last answer's feedback text (0 for none): a number, or with the
// shown answers of practice the whole fact.
EMSCRIPTEN_KEEPALIVE int plimoFeedbackLength() {
    return game.feedbackText ? static_cast<int>(strlen(game.feedbackText)) : 0;
}

// How many answer keys have been typed for the leading problem.
EMSCRIPTEN_KEEPALIVE int plimoTypedDigits() { return game.typedDigits; }

// The centre of the game-over burst, x and y in pixels.
EMSCRIPTEN_KEEPALIVE int plimoBurstX() { return game.burstX; }
EMSCRIPTEN_KEEPALIVE int plimoBurstY() { return game.burstY; }

// Frames presented since start-up (a frame that changes nothing is not presented).
EMSCRIPTEN_KEEPALIVE unsigned plimoPresentedFrames() { return presentedFrames; }

// The screen surface's channel masks: 0 red, 1 green, 2 blue, 3 alpha.
EMSCRIPTEN_KEEPALIVE unsigned plimoScreenMask(int channel) {
    if (!screenSurface)
        return 0;
    const SDL_PixelFormat *f = screenSurface->format;
    const Uint32 masks[4] = {f->Rmask, f->Gmask, f->Bmask, f->Amask};
    return channel >= 0 && channel < 4 ? masks[channel] : 0;
}
}
