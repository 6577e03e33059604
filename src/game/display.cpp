// The in-game picture and the end of a game.
#include "ground/settings.h"
#include "game/display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/audio.h"
#include "game/answers.h"
#include "practice/practice.h"
#include "practice/round.h"
#include "practice/shown_fact.h"
#include "game/problems.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "game/field.h"
#include "game/particles.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"

// How fast the highlight behind the leading problem pulses, in radians per ms: one
// pulse about every 547 ms.
constexpr double HighlightPulsePerMs = 0.01148;

// Centre of the highlight behind problem, also where the game-over burst starts:
// 6 pixels per character right of the text's left edge, 14 below its top.
static void highlightCentre(const Problem *problem, int32_t *cx, int32_t *cy) {
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

SDL_Surface *playingBackground() { return game.paused ? menuBackground : dangerZonePicture(dangerZone()); }

// The big text's cell height (pixels) and the room kept around a panel's text.
static int32_t bigCell() { return 2 * (fontImage ? fontImage->w : 0); }
constexpr int32_t PanelPadding = 8;
// Between the fact and the sign quiz's key, and around the key inside its frame.
constexpr int32_t KeyGap = 24;

bool shownFactBox(int32_t *x0, int32_t *y0, int32_t *x1, int32_t *y1) {
    const Problem *leading = game.problems;
    if (!game.factHeld || !leading || !game.feedbackText)
        return false;
    int32_t width = bigTextAdvance(game.feedbackText) + 1 + 2 * PanelPadding;
    if (game.gameMode == Sign) {
        char key[2] = {signKeyOf(leading->answer), '\0'};
        width += KeyGap + bigTextAdvance(key) + 1 + 2 * PanelPadding;
    }
    int32_t height = bigCell() + 2 * PanelPadding;
    int32_t cx, cy;
    highlightCentre(leading, &cx, &cy);
    // Beside the highlight (its widest reach is 48 pixels from its centre, 24 above and
    // below it), right or left; where neither side has room, under or over it.
    int32_t left = cx + 56, top = cy - height / 2;
    if (left + width > ScreenWidth)
        left = cx - 56 - width;
    if (left < 0) {
        left = cx - width / 2;
        top = cy + 28 + height <= ScreenHeight ? cy + 28 : cy - 28 - height;
    }
    left = std::max<int32_t>(0, std::min<int32_t>(left, ScreenWidth - width));
    top = std::max<int32_t>(0, std::min<int32_t>(top, ScreenHeight - height));
    *x0 = left;
    *y0 = top;
    *x1 = left + width;
    *y1 = top + height;
    return true;
}

// A panel with a border of 2 pixels.
static void drawPanel(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    fillBox(x0, y0, x1, y1, PanelBorderColour);
    fillBox(x0 + 2, y0 + 2, x1 - 2, y1 - 2, PanelColour);
}

// The shown fact on its panel, and in the sign quiz the key that answers it, framed.
static void drawShownFact() {
    int32_t x0, y0, x1, y1;
    if (!shownFactBox(&x0, &y0, &x1, &y1))
        return;
    drawPanel(x0, y0, x1, y1);
    drawBigText(x0 + PanelPadding, y0 + PanelPadding, game.feedbackText);
    if (game.gameMode != Sign)
        return;
    char key[2] = {signKeyOf(game.problems->answer), '\0'};
    int32_t keyLeft = x0 + PanelPadding + bigTextAdvance(game.feedbackText) + 1 + KeyGap;
    // The key as on the keyboard: a frame around its sign.
    drawPanel(keyLeft - PanelPadding / 2, y0 + PanelPadding / 2, x1 - PanelPadding / 2, y1 - PanelPadding / 2);
    drawBigText(keyLeft + PanelPadding / 2, y0 + PanelPadding, key);
}

// The pause picture, over the menus' calm background: the sign of a pause, two bars in
// the middle of the background's panel (the menus' column starts at its left).
static void drawPausePicture() {
    const int32_t cx = 415, cy = 225;
    fillBox(cx - 40, cy - 60, cx - 10, cy + 60, PanelColour);
    fillBox(cx + 10, cy - 60, cx + 40, cy + 60, PanelColour);
    fillBox(cx - 37, cy - 57, cx - 13, cy + 57, PanelBorderColour);
    fillBox(cx + 13, cy - 57, cx + 37, cy + 57, PanelBorderColour);
}

bool gameOverBurstShowing() {
    return static_cast<uint32_t>(now) - static_cast<uint32_t>(game.screenEnteredAt) <= GameOverBurstMs;
}

int32_t burstRadius(uint32_t elapsedMs) {
    uint32_t e = elapsedMs > GameOverBurstMs ? GameOverBurstMs : elapsedMs;
    return static_cast<int32_t>(e * e * e / 1000000);
}

void drawPlaying() {
    const Problem *leading = game.problems;
    if (game.paused) {
        char score[16];
        snprintf(score, sizeof score, "%5d", game.score);
        drawSmallText(0, 0, score);
        drawPausePicture();
        return;
    }
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

    char score[16];
    snprintf(score, sizeof score, "%5d", game.score);
    drawSmallText(0, 0, score);

    int32_t top;
    if (feedbackTop(static_cast<uint32_t>(now), &top))
        drawBigText(FeedbackLeft, top, game.feedbackText);
    drawShownFact();

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

void drawGameOverPractice(int left, int top) {
    char summary[64];
    if (roundSummary(summary, sizeof summary)) {
        drawSmallText(left, top - 6, summary);
        top += 28;
    }
    if (!settings.practiceList)
        return;
    char lines[MaxListedFacts][32];
    int count = practiceListLines(lines);
    // Under a summary the rows come closer, so that the list still ends above the entries.
    int rowStep = top > 220 ? 30 : 34;
    for (int i = 0; i < count; i++)
        drawSmallText(left + (i / 3) * 180, top + (i % 3) * rowStep, lines[i]);
}

void drawGameOverBurst() {
    uint32_t elapsed = static_cast<uint32_t>(now) - static_cast<uint32_t>(game.screenEnteredAt);
    int32_t r = burstRadius(elapsed);
    fillEllipse(game.burstX, game.burstY, r, r, HighlightColour);
}
