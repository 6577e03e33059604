// The pause of a game: stopping and going on with every clock of the game.
#include "practice/pause.h"

#include "audio/audio.h"
#include "game/answers.h"
#include "practice/chosen_facts.h"
#include "game/field.h"
#include "practice/practice.h"
#include "record/progress_record.h"
#include "ground/clock.h"

bool pauseOffered() { return pauseOffered(settings); }

void pauseGame() {
    if (game.paused)
        return;
    game.paused = 1;
    game.pausedAt = now;
    holdMusic(true);
}

// t moved on by ms, for a tick where 0 stands for "none" (kept 0, and never made 0).
static int32_t movedOn(int32_t t, int32_t ms) {
    if (t == 0)
        return 0;
    int32_t moved = tickAdd(t, ms);
    return moved == 0 ? 1 : moved;
}

void resumeGame() {
    if (!game.paused)
        return;
    int32_t ms = tickDiff(now, game.pausedAt);
    game.paused = 0;
    // A shown fact's hold moves the field's clocks on by its whole length, this pause
    // included, when it ends.
    if (!game.factHeld)
        holdFieldClocks(ms);
    game.inputBlockedUntil = movedOn(game.inputBlockedUntil, ms);
    game.roundEndsAt = movedOn(game.roundEndsAt, ms);
    game.feedbackStartedAt = tickAdd(game.feedbackStartedAt, ms);
    holdMusic(false);
}

void handlePlayingKeyPress(SDLKey key, uint16_t unicode) {
    if (game.paused) {
        if (key != SDLK_ESCAPE)
            resumeGame();
        return;
    }
    if ((key == SDLK_p || key == SDLK_PAUSE) && pauseOffered()) {
        pauseGame();
        return;
    }
    handleGameKeyPress(key, unicode);
}
