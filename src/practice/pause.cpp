// The pause of a game: stopping and going on with every clock of the game.
#include "practice/pause.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "audio/audio.h"
#include "content/practice_texts.h"
#include "game/answers.h"
#include "game/display.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "ground/clock.h"
#include "ground/settings.h"
#include "practice/held_clocks.h"
#include "practice/panel.h"

// The left edge of the menus' panel and the width a line of it holds (pixels).
constexpr int32_t PausePanelLeft = 205;
constexpr int32_t PausePanelWidth = 420;

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
        holdGameClocks(ms);
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

// The pause picture, over the menus' calm background: the sign of a pause, two bars in
// the middle of the background's panel (the menus' column starts at its left), and
// under them how to go on, in the child's language, centred on the panel and kept on it.
static void drawPausePicture() {
    const int32_t cx = 415, cy = 205;
    fillBox(cx - 40, cy - 60, cx - 10, cy + 60, PanelColour);
    fillBox(cx + 10, cy - 60, cx + 40, cy + 60, PanelColour);
    fillBox(cx - 37, cy - 57, cx - 13, cy + 57, PanelBorderColour);
    fillBox(cx + 13, cy - 57, cx + 37, cy + 57, PanelBorderColour);
    // A hint wider than the panel goes on two lines, cut at the space nearest its middle.
    std::string hint = practiceText(PauseHint);
    std::string second;
    if (bigTextAdvance(hint.c_str()) / 2 > PausePanelWidth) {
        size_t best = std::string::npos;
        for (size_t i = 0; i < hint.size(); i++)
            if (hint[i] == ' ' && (best == std::string::npos || std::abs(int(2 * i) - int(hint.size())) <
                                                                 std::abs(int(2 * best) - int(hint.size()))))
                best = i;
        if (best != std::string::npos) {
            second = hint.substr(best + 1);
            hint.resize(best);
        }
    }
    int line = 0;
    for (const std::string &text : {hint, second}) {
        if (text.empty())
            continue;
        int32_t width = bigTextAdvance(text.c_str()) / 2;
        drawMenuText(std::max<int32_t>(PausePanelLeft, cx - width / 2), cy + 100 + 30 * line++, text.c_str());
    }
}

SDL_Surface *playingOrPauseBackground() { return game.paused ? menuBackground : playingBackground(); }

void drawPlayingOrPause() {
    if (!game.paused) {
        drawPlaying();
        return;
    }
    drawScore();
    drawPausePicture();
}
