// The fact shown after a mistake, holding the field until it is copied.
#include "ground/settings.h"
#include "practice/shown_fact.h"

#include <cstdio>

#include "game/field.h"
#include "practice/practice.h"
#include "ground/clock.h"

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
    holdFieldClocks(tickDiff(now, game.factHeldSince));
    return true;
}
