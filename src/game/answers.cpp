// Answer keys on the Playing screen: typing, judging and scoring.
#include "game/answers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/audio.h"
#include "game/hooks.h"
#include "game/particles.h"
#include "game/problems.h"
#include "ground/clock.h"
#include "ground/game_state.h"

bool answerKeysBlocked() {
    return game.inputBlockedUntil != 0 && tickBefore(now, game.inputBlockedUntil);
}

void expireAnswerBlock() {
    // An expired block is forgotten, so that it cannot seem to come back once the
    // counter has run 2^31 ms past it.
    if (game.inputBlockedUntil != 0 && !answerKeysBlocked())
        game.inputBlockedUntil = 0;
}

void handleGameKey(SDLKey key) {
    switch (key) {
    case SDLK_BACKSPACE:
    case SDLK_RETURN:
    case SDLK_SPACE:
    case SDLK_DELETE:
    case SDLK_KP_ENTER:
        // Clearing acts at once, without a sound, also while answer keys are blocked.
        resetTyping();
        return;
    case SDLK_PLUS:
    case SDLK_KP_PLUS:
        handleAnswer(AnswerPlus);
        return;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        handleAnswer(AnswerMinus);
        return;
    default:
        break;
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        handleAnswer(key - SDLK_0);
        return;
    }
    // The keypad's digits are looked up one by one: not every SDL numbers them in a row
    // (the browser build's SDL puts keypad 0 after keypad 9).
    static const SDLKey keypadDigits[10] = {SDLK_KP0, SDLK_KP1, SDLK_KP2, SDLK_KP3, SDLK_KP4,
                                            SDLK_KP5, SDLK_KP6, SDLK_KP7, SDLK_KP8, SDLK_KP9};
    for (int digit = 0; digit < 10; digit++) {
        if (key == keypadDigits[digit]) {
            handleAnswer(digit);
            return;
        }
    }
}

int answerOfCharacter(uint16_t unicode) {
    if (unicode >= '0' && unicode <= '9')
        return unicode - '0';
    if (unicode == '+')
        return AnswerPlus;
    if (unicode == '-')
        return AnswerMinus;
    return -1;
}

void handleGameKeyPress(SDLKey key, uint16_t unicode) {
    // SDL names a key by what it types unshifted, which on AZERTY's top row is '&' for
    // the key that types 1 with Shift; the typed character is what the player meant.
    int answer = answerOfCharacter(unicode);
    if (answer >= 0)
        handleAnswer(answer);
    else
        handleGameKey(key);
}

void handleAnswer(int answer) {
    if (answerKeysBlocked())
        return;
    game.inputBlockedUntil = 0;
    playSound(SoundTyping);

    const Problem *leading = game.problems;
    if (game.gameMode == Sign) {
        if (!leading)
            return;
        bool right = (leading->answer != 0 && answer == AnswerPlus) ||
                     (leading->answer == 0 && answer == AnswerMinus);
        // Whatever is not plus shows as a minus, a digit key included.
        char feedback[2] = {answer == AnswerPlus ? '+' : '-', '\0'};
        if (right)
            solveLeadingProblem(feedback);
        else
            rejectAnswer(feedback, WrongSignBlockMs);
        return;
    }

    if (!leading) {
        resetTyping();
        return;
    }
    // Minus and plus accumulate as 10 and 11 like any digit: usually a wrong answer,
    // though 0 then minus does make 10. At most three keys are typed, so no overflow.
    game.typedValue = game.typedValue * 10 + answer;
    game.typedDigits++;
    if (game.typedDigits != leading->answerDigits)
        return;

    char feedback[16];
    snprintf(feedback, sizeof feedback, "%d", game.typedValue);
    int32_t expected = leading->answer < 0 ? -leading->answer : leading->answer;
    if (game.typedValue == expected)
        solveLeadingProblem(feedback);
    else
        rejectAnswer(feedback, WrongAnswerBlockMs);
}

void resetTyping() {
    game.typedDigits = 0;
    game.typedValue = 0;
}

// Replaces the feedback text with a copy of text.
static void setFeedback(const char *text) {
    free(game.feedbackText);
    game.feedbackText = strdup(text);
    game.feedbackStartedAt = now;
}

void clearFeedback() {
    free(game.feedbackText);
    game.feedbackText = nullptr;
    game.feedbackStartedAt = 0;
    game.feedbackRising = 0;
}

void solveLeadingProblem(const char *feedback) {
    Problem *leading = game.problems;
    if (!leading)
        return;
    // A fact copied after a mistake counts as answered, without points.
    bool copied = gameHooks.answeredRight(now);
    setFeedback(feedback);
    game.feedbackRising = 1;
    // The burst starts at the top-left corner of the problem's text.
    float burstX = static_cast<float>(leading->x);
    float burstY = static_cast<float>(leading->y);
    burstParticles(burstX, burstY);
    freeLeadingProblem();
    gameHooks.leadingChanged(now);

    int32_t points = copied ? 0 : 2 * game.speed;
    resetTyping();
    if (game.problems) {
        playSound(SoundCorrect);
        game.score += points;
        return;
    }
    // Emptying the field is worth half as much again, and a cleared field after a
    // close call is celebrated once.
    if (game.alertFlag == 1) {
        playSound(SoundCleared);
        game.alertFlag = 0;
    }
    playSound(SoundCorrect);
    game.score += points * 3 / 2;
    game.nextSpawnAt = 0;
}

void rejectAnswer(const char *feedback, int blockMs) {
    char shown[32];
    setFeedback(gameHooks.answeredWrong(now, shown, sizeof shown) ? shown : feedback);
    playSound(SoundWrong);
    game.feedbackRising = 0;
    resetTyping();
    int32_t until = tickAdd(now, blockMs);
    // 0 stands for "no block", so a block ending exactly at the wrap lasts 1 ms longer.
    game.inputBlockedUntil = until == 0 ? 1 : until;
    game.alertFlag = 1;
}
