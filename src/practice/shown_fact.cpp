// The fact shown after a mistake, holding the field until it is copied.
#include "practice/shown_fact.h"

#include <algorithm>
#include <cstdio>

#include "game/display.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/settings.h"
#include "practice/held_clocks.h"
#include "practice/panel.h"

// The value of a problem's text "a op b" (operands may be negative), or false.
static bool valueOf(const char *text, int32_t *value) {
    int a = 0, b = 0;
    char op = 0;
    if (sscanf(text, "%d %c %d", &a, &op, &b) != 3)
        return false;
    switch (op) {
    case '+':
        *value = a + b;
        return true;
    case '-':
        *value = a - b;
        return true;
    case '*':
        *value = a * b;
        return true;
    case '/':
        if (b == 0)
            return false;
        *value = a / b;
        return true;
    default:
        return false;
    }
}

void formatFact(const char *text, int32_t answer, char *out, size_t size) {
    int32_t value = answer;
    // A sign-quiz problem keeps only its sign; the fact says its value.
    if (game.gameMode == Sign && !valueOf(text, &value)) {
        snprintf(out, size, "%s", text);
        return;
    }
    snprintf(out, size, "%s = %d", text, value);
}

char signKeyOf(int32_t answer) { return answer != 0 ? '+' : '-'; }

bool showFact(char *out, size_t size) {
    const Problem *leading = game.problems;
    if (!settings.showAnswers || !leading)
        return false;
    formatFact(leading->text, leading->answer, out, size);
    if (!game.factHeld) {
        game.factHeld = 1;
        game.factHeldSince = now;
    }
    return true;
}

bool releaseFact() {
    if (!game.factHeld)
        return false;
    game.factHeld = 0;
    holdGameClocks(tickDiff(now, game.factHeldSince));
    return true;
}

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

// The shown fact on its panel, and in the sign quiz the key that answers it, framed.
void drawShownFact() {
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
