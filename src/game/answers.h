// Answer keys on the Playing screen: typing, judging and scoring.
#pragma once

#include <SDL.h>
#include <cstdint>

// What handleAnswer judges: 0..9 a digit, 10 minus, 11 plus.
enum Answer {
    AnswerMinus = 10,
    AnswerPlus = 11,
};

// A key pressed on Playing (SDL key symbol): Backspace, Return, Space, Delete and keypad
// Enter reset the typing at once, even while answer keys are blocked; plus, minus and
// the digits (main row and keypad) go to handleAnswer; every other key is ignored.
void handleGameKey(SDLKey key);

// The answer a typed character stands for: '0'..'9' the digit, '+' AnswerPlus, '-'
// AnswerMinus; -1 for any other character and for 0 (no character).
int answerOfCharacter(uint16_t unicode);

// A key pressed on Playing, as the event pump has it: when the key types an answer
// character (unicode, SDL's translation of the press on the player's keyboard layout),
// that answer goes to handleAnswer, so AZERTY's shifted top row gives digits and
// Shift+'=' on US and UK layouts gives plus; otherwise handleGameKey reads the symbol.
void handleGameKeyPress(SDLKey key, uint16_t unicode);

// How long answer keys are blocked after a wrong answer (ms): a wrong number, and a
// wrong sign in the sign quiz (a guess costs more there).
constexpr int WrongAnswerBlockMs = 500;
constexpr int WrongSignBlockMs = 2000;

// Judges one answer (0..9, AnswerMinus, AnswerPlus) against the leading problem.
// Dropped silently while answer keys are blocked; otherwise plays the typing sound,
// then in Sign mode judges plus/minus at once, in other modes accumulates the key and
// judges when as many keys as the answer has digits have been typed.
void handleAnswer(int answer);

// Forgets the typed answer: typedDigits and typedValue become 0.
void resetTyping();

// A right answer, feedback the text to show (copied): feedback rises, a burst of
// particles (burstParticles) from the leading problem, which is freed; 2 x speed points, or 3 x speed and
// an immediate spawn when the field is now empty (with the cleared sound once after a
// close call); no points when gameHooks.answeredRight says so. Does nothing on an
// empty field.
void solveLeadingProblem(const char *feedback);

// A wrong answer, feedback the text to show (copied): the text is tossed, the wrong
// sound plays, the typing is reset and answer keys are blocked for blockMs ms. With
// shown answers (practice) the whole fact with its answer is the feedback instead, and
// it holds the field (practice/shown_fact.h). A right answer to a held fact scores nothing.
void rejectAnswer(const char *feedback, int blockMs);

// Forgets the feedback text (a game starts, the resources are loaded).
void clearFeedback();

// True while answer keys are blocked (inputBlockedUntil, 0 for no block, is later than
// the tick counter). Reads the state only, so drawing may ask it.
bool answerKeysBlocked();

// Resets an expired block (inputBlockedUntil no longer later than the tick counter) to
// 0; run by every Playing logic step.
void expireAnswerBlock();
