// The in-game picture and the end of a game.
#include "game/display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/audio.h"
#include "game/answers.h"
#include "game/field.h"
#include "game/hooks.h"
#include "game/particles.h"
#include "game/problems.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"

// How fast the highlight behind the leading problem pulses, in radians per ms: one
// pulse about every 547 ms.
constexpr double HighlightPulsePerMs = 0.01148;

void highlightCentre(const Problem *problem, int32_t *cx, int32_t *cy) {
    *cx = problem->x / 10 + 6 * static_cast<int32_t>(strlen(problem->text));
    *cy = problem->y + 14;
}

bool formatPrompt(char *out, size_t size) {
    const Problem *leading = game.problems;
    if (!leading || size == 0 || answerKeysBlocked())
        return false;
    if (game.gameMode == Sign) {
        snprintf(out, size, "_");
        return true;
    }
    snprintf(out, size, "%c%-*d", leading->answer < 0 ? '-' : ' ', leading->answerDigits,
             game.typedValue);
    // The sign slot stays as it is; the digit slots not yet typed show underscores
    // (with nothing typed, the 0 of typedValue is hidden too).
    for (size_t i = 1; out[i] != '\0'; i++) {
        if (game.typedDigits == 0 || out[i] == ' ')
            out[i] = '_';
    }
    return true;
}

int64_t feedbackOffset(int64_t elapsedMs, bool rising) {
    const uint64_t cap = 0xffffffffu;
    uint64_t magnitude = elapsedMs < 0 ? 0 - static_cast<uint64_t>(elapsedMs)
                                       : static_cast<uint64_t>(elapsedMs);
    if (magnitude > cap)
        magnitude = cap;
    int64_t e = elapsedMs < 0 ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    // e^2 below 2^64 fits unsigned; divided by 100 or more it fits signed.
    uint64_t square = magnitude * magnitude;
    if (rising)
        return -static_cast<int64_t>(square / 1000);
    return (static_cast<int64_t>(square / 100) - 4 * e) / 10;
}

bool feedbackTop(uint32_t tick, int32_t *top) {
    if (!game.feedbackText || game.factHeld)
        return false;
    uint32_t elapsed = tick - static_cast<uint32_t>(game.feedbackStartedAt);
    int64_t y = FeedbackTop + feedbackOffset(elapsed, game.feedbackRising != 0);
    int64_t cell = fontImage ? fontImage->w : 0;
    // Off the screen it is not drawn at all, so no far-off position can reach the
    // 32-bit drawing coordinates and wrap back into view.
    if (y > 479 || y < -2 * cell)
        return false;
    *top = static_cast<int32_t>(y);
    return true;
}

SDL_Surface *playingBackground() { return dangerZonePicture(dangerZone()); }

bool gameOverBurstShowing() {
    return static_cast<uint32_t>(now) - static_cast<uint32_t>(game.screenEnteredAt) <= GameOverBurstMs;
}

int32_t burstRadius(uint32_t elapsedMs) {
    uint32_t e = elapsedMs > GameOverBurstMs ? GameOverBurstMs : elapsedMs;
    return static_cast<int32_t>(e * e * e / 1000000);
}

void drawScore() {
    char score[16];
    snprintf(score, sizeof score, "%5d", game.score);
    drawSmallText(0, 0, score);
}

void drawPlaying() {
    const Problem *leading = game.problems;
    if (leading) {
        char prompt[32];
        if (formatPrompt(prompt, sizeof prompt))
            drawBigText(310, 420, prompt);
        for (const Problem *problem = leading; problem; problem = problem->next)
            drawSmallText(problem->x / 10, problem->y, problem->text);

        // The pulse, from the tick this pass started with.
        double s = sin(static_cast<double>(static_cast<uint32_t>(now)) * HighlightPulsePerMs);
        int32_t cx, cy;
        highlightCentre(leading, &cx, &cy);
        fillEllipse(cx, cy, 40 + static_cast<int>(8 * s), 20 + static_cast<int>(4 * s),
                    HighlightColour);
        // The highlight hides whatever lies under it; the leading problem stays readable.
        drawSmallText(leading->x / 10, leading->y, leading->text);
    }

    drawScore();

    int32_t top;
    if (feedbackTop(static_cast<uint32_t>(now), &top))
        drawBigText(FeedbackLeft, top, game.feedbackText);
    gameHooks.drawOverField();

    drawParticles();
}

void enterGameOver() {
    game.screenEnteredAt = now;
    if (game.problems) {
        highlightCentre(game.problems, &game.burstX, &game.burstY);
    } else {
        game.burstX = ScreenWidth / 2;
        game.burstY = ScreenHeight / 2;
    }
    playMusic(MenuMusic);
    playSound(SoundFailed);
    freeProblems();
    freeParticles();
}

void drawGameOverBurst() {
    uint32_t elapsed = static_cast<uint32_t>(now) - static_cast<uint32_t>(game.screenEnteredAt);
    int32_t r = burstRadius(elapsed);
    fillEllipse(game.burstX, game.burstY, r, r, HighlightColour);
}
