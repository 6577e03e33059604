// Answer keys on the Playing screen: typing, judging and scoring.
#pragma once

#include <SDL.h>

// What handleAnswerKey judges: 0..9 a digit, 10 minus, 11 plus.
enum AnswerKey {
    AnswerMinus = 10,
    AnswerPlus = 11,
};

// A key pressed on Playing: clearing keys reset the typing, digits and signs are answers.
void handleGameKey(SDLKey key);

// Judges one answer key against the leading problem.
void handleAnswerKey(int key);

// Forgets the typed answer.
void resetTyping();

// A right answer: feedback rises, 64 particles, the problem goes, points are scored.
void solveLeadingProblem(const char *feedback);

// A wrong answer: feedback is tossed, the wrong sound, answer keys blocked for blockMs.
void rejectAnswer(const char *feedback, int blockMs);
