// The problems (not yet built).
#include "game/problems.h"

void generateProblem() {}
void appendProblem(Problem *) {}
void freeLeadingProblem() {}
void freeProblems() {}
