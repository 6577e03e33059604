// The arithmetic problems: generating them and the problem list.
#include "game/problems.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/hooks.h"

// The operations a single problem can be; Sign has its own generator below.
enum Operation { OpAddition, OpSubtraction, OpMultiplication, OpDivision };

// Number of answer keys for value: its decimal digits, a minus sign never being typed.
static int32_t digitsOf(int32_t value) {
    char printed[16];
    int length = snprintf(printed, sizeof printed, "%d", value);
    return printed[0] == '-' ? length - 1 : length;
}

// Fills text and answer for one of the four plain operations; operands below bound.
static void makePlain(Problem *problem, Operation operation, int bound, char *text, size_t size) {
    static const char signs[] = {'+', '-', '*', '/'};
    int first, second;
    // A teacher's tables or addends, when chosen; otherwise the whole range.
    if (!gameHooks.chooseOperands(signs[operation], bound, &first, &second)) {
        first = rand() % bound;
        second = rand() % bound;
    }
    switch (operation) {
    case OpSubtraction:
        // Written larger first, so the answer is never negative.
        if (second > first) {
            int larger = second;
            second = first;
            first = larger;
        }
        snprintf(text, size, "%d - %d", first, second);
        problem->answer = first - second;
        break;
    case OpMultiplication:
        snprintf(text, size, "%d * %d", first, second);
        problem->answer = first * second;
        break;
    case OpDivision:
        // A drawn divisor of 0 becomes 1; the dividend is built so the quotient is exact.
        if (second == 0)
            second = 1;
        snprintf(text, size, "%d / %d", first * second, second);
        problem->answer = first;
        break;
    case OpAddition:
    default:
        snprintf(text, size, "%d + %d", first, second);
        problem->answer = first + second;
        break;
    }
    problem->answerDigits = digitsOf(problem->answer);
}

// Fills text and answer for a Sign problem: the player only says whether it is negative.
static void makeSign(Problem *problem, char *text, size_t size) {
    int a = rand() % 20;
    int b = rand() % 20;
    int k = rand() % 4;
    int value;
    switch (k) {
    case 0:
        snprintf(text, size, "%d + %d", a, b);
        value = a + b;
        break;
    case 1:
        snprintf(text, size, "%d - %d", a, b);
        value = a - b;
        break;
    case 2: {
        int divisor = a - 10;
        if (divisor == 0)
            divisor = 1;
        snprintf(text, size, "%d / %d", -8 * divisor, divisor);
        value = -8;
        break;
    }
    default:
        snprintf(text, size, "%d * %d", a - 10, b - 10);
        value = (a - 10) * (b - 10);
        break;
    }
    problem->answer = value >= 0 ? 1 : 0;
    problem->answerDigits = 1;
}

int32_t drawProblemRow() {
    // Only the leading problem's row is kept free; the player's eye is on it.
    int32_t y = (rand() % 19) * 20;
    while (game.problems && y == game.problems->y)
        y = (rand() % 19) * 20;
    return y;
}

Problem *placeProblem() {
    Problem *problem = new Problem{};
    problem->next = nullptr;
    problem->x = 6400;
    // The row is drawn before the fact's numbers: the order of the game's random draws.
    problem->y = drawProblemRow();
    appendProblem(problem);
    return problem;
}

void generateProblem() {
    Problem *problem = placeProblem();
    char text[32];
    if (game.gameMode == Sign) {
        makeSign(problem, text, sizeof text);
    } else {
        Operation operation;
        switch (game.gameMode) {
        case Mixed:
            operation = static_cast<Operation>(rand() % 4);
            break;
        case Subtraction:
            operation = OpSubtraction;
            break;
        case Multiplication:
            operation = OpMultiplication;
            break;
        case Division:
            operation = OpDivision;
            break;
        default:
            operation = OpAddition;
            break;
        }
        int bound = game.difficulty == 3 ? 20 : 10;
        makePlain(problem, operation, bound, text, sizeof text);
    }
    problem->text = strdup(text);
}

void appendProblem(Problem *problem) {
    if (!game.problems) {
        game.problems = problem;
        return;
    }
    Problem *last = game.problems;
    while (last->next)
        last = last->next;
    last->next = problem;
}

void freeLeadingProblem() {
    Problem *leading = game.problems;
    if (!leading)
        return;
    game.problems = leading->next;
    free(leading->text);
    delete leading;
}

void freeProblems() {
    while (game.problems)
        freeLeadingProblem();
}
