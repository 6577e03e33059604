// Answer keys (not yet built).
#include "game/answers.h"

void handleGameKey(SDLKey) {}
void handleAnswerKey(int) {}
void resetTyping() {}
void solveLeadingProblem(const char *) {}
void rejectAnswer(const char *, int) {}
