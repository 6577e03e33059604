// Rounds that cannot be lost: the round's end and its summary.
#include "practice/round.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <tinyxml.h>

#include "content/practice_texts.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "ground/settings.h"
#include "practice/fact_record.h"

void startRound() {
    game.roundEndsAt = 0;
    if (settings.roundMinutes <= 0)
        return;
    int32_t end = tickAdd(game.screenEnteredAt, settings.roundMinutes * 60000);
    // 0 stands for "no round": an end exactly at the wrap comes 1 ms later.
    game.roundEndsAt = end == 0 ? 1 : end;
}

bool roundGoesOn() { return game.roundEndsAt != 0; }

bool roundOver(int32_t logicNow) { return game.roundEndsAt != 0 && tickBefore(game.roundEndsAt, logicNow); }

bool roundSummary(char *out, unsigned size) {
    // The round's end stays set after the game, until the next one starts.
    if (game.roundEndsAt == 0)
        return false;
    int32_t tenths = (medianAnswerMs() + 50) / 100;
    // The decimal point as the child's language writes it: English a point, the others a
    // comma.
    const char *code = game.currentLanguage ? game.currentLanguage->Attribute("code") : nullptr;
    char seconds[16];
    snprintf(seconds, sizeof seconds, "%d%c%d", tenths / 10, !code || strcmp(code, "en") == 0 ? '.' : ',',
             tenths % 10);
    std::string line = fillText(practiceText(RoundSummary),
                                {std::to_string(factsAnswered()), std::to_string(problemsMissed()),
                                 std::to_string(factsRightFirstTry()), seconds});
    snprintf(out, size, "%s", line.c_str());
    return true;
}
