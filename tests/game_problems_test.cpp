// The problem generator: the order of its random draws, the ranges and texts of every
// operation, the Sign quiz, row choice, and the list that owns the records.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "app/game_state.h"
#include "game/problems.h"
#include "game_helpers.h"
#include "support.h"

namespace {

using namespace gametest;

class GameProblems : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
    }
    void TearDown() override { resetGame(); }

    // The problem generateProblem appended last.
    static Problem *tail() {
        Problem *p = game.problems;
        while (p && p->next)
            p = p->next;
        return p;
    }

    // Generates one problem on an empty field and returns it.
    static Problem *fresh() {
        freeProblems();
        generateProblem();
        return game.problems;
    }
};

// The parts of a problem text "a op b".
struct Parsed {
    int a = 0, b = 0;
    char op = 0;
};

Parsed parse(const char *text) {
    Parsed p;
    char tail = 0;
    int n = sscanf(text, "%d %c %d%c", &p.a, &p.op, &p.b, &tail);
    EXPECT_EQ(n, 3) << "text \"" << text << "\"";
    return p;
}

int digits(int value) {
    char buf[16];
    return snprintf(buf, sizeof buf, "%d", value < 0 ? -value : value);
}

std::string format(const char *fmt, int a, int b) {
    char buf[32];
    snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

TEST_F(GameProblems, DrawsRowThenOperandsInOrder) {
    const char *const formats[] = {"%d + %d", "", "%d - %d", "%d * %d", "%d / %d"};
    for (int mode : {Addition, Subtraction, Multiplication, Division}) {
        for (int difficulty : {0, 2, 3}) {
            for (unsigned seed = 1; seed <= 40; seed++) {
                game.gameMode = mode;
                game.difficulty = difficulty;
                srand(seed);
                int row = rand() % 19, first = rand(), second = rand();
                int n = difficulty == 3 ? 20 : 10;
                int a = first % n, b = second % n;

                srand(seed);
                Problem *p = fresh();
                std::string text;
                int answer = 0;
                if (mode == Addition) {
                    text = format(formats[mode], a, b), answer = a + b;
                } else if (mode == Subtraction) {
                    int hi = a > b ? a : b, lo = a > b ? b : a;
                    text = format(formats[mode], hi, lo), answer = hi - lo;
                } else if (mode == Multiplication) {
                    text = format(formats[mode], a, b), answer = a * b;
                } else {
                    int d = b == 0 ? 1 : b;
                    text = format(formats[mode], a * d, d), answer = a;
                }
                SCOPED_TRACE(testing::Message() << "mode " << mode << " difficulty "
                                                << difficulty << " seed " << seed);
                EXPECT_EQ(p->y, row * 20);
                EXPECT_EQ(p->x, 6400);
                EXPECT_EQ(p->next, nullptr);
                EXPECT_EQ(std::string(p->text), text);
                EXPECT_EQ(p->answer, answer);
                EXPECT_EQ(p->answerDigits, digits(answer));
            }
        }
    }
}

TEST_F(GameProblems, RowOfLeadingProblemIsRedrawnThenOperationThenOperands) {
    // Mixed: row draw(s), the operation draw, then the two operands.
    game.gameMode = Mixed;
    const char ops[] = {'+', '-', '*', '/'};
    int redraws = 0;
    for (unsigned seed = 1; seed <= 300; seed++) {
        srand(seed);
        int firstRow = rand() % 19;
        // A leading problem in the row of the first draw forces draws until another row.
        freeProblems();
        addProblem("1 + 1", 2, 1, 5000, firstRow * 20);
        int row = firstRow;
        srand(seed);
        int draws = 0;
        while (row == firstRow) {
            row = rand() % 19;
            draws++;
        }
        redraws += draws - 1;
        int k = rand() % 4, a = rand() % 10, b = rand() % 10;

        srand(seed);
        generateProblem();
        Problem *p = tail();
        ASSERT_NE(p, game.problems);
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        EXPECT_EQ(p->y, row * 20);
        Parsed parsed = parse(p->text);
        EXPECT_EQ(parsed.op, ops[k]);
        int hi = a > b ? a : b, lo = a > b ? b : a, d = b == 0 ? 1 : b;
        const int expectA[] = {a, hi, a, a * d}, expectB[] = {b, lo, b, d};
        EXPECT_EQ(parsed.a, expectA[k]) << p->text;
        EXPECT_EQ(parsed.b, expectB[k]) << p->text;
    }
    // The first draw always repeats the leading row here, so every seed redraws.
    EXPECT_GE(redraws, 300);
}

TEST_F(GameProblems, SignDrawsRowThenTwoOperandsThenKind) {
    game.gameMode = Sign;
    for (int difficulty : {0, 3}) {
        game.difficulty = difficulty;
        for (unsigned seed = 1; seed <= 200; seed++) {
            srand(seed);
            int row = rand() % 19, a = rand() % 20, b = rand() % 20, k = rand() % 4;
            std::string text;
            int value;
            if (k == 0) {
                text = format("%d + %d", a, b), value = a + b;
            } else if (k == 1) {
                text = format("%d - %d", a, b), value = a - b;
            } else if (k == 2) {
                int g = a - 10 == 0 ? 1 : a - 10;
                text = format("%d / %d", -8 * g, g), value = -8;
            } else {
                text = format("%d * %d", a - 10, b - 10), value = (a - 10) * (b - 10);
            }
            srand(seed);
            Problem *p = fresh();
            SCOPED_TRACE(testing::Message() << "seed " << seed);
            EXPECT_EQ(p->y, row * 20);
            EXPECT_EQ(std::string(p->text), text);
            EXPECT_EQ(p->answer, value >= 0 ? 1 : 0);
            EXPECT_EQ(p->answerDigits, 1);
        }
    }
}

TEST_F(GameProblems, SubtractionIsWrittenLargerFirstAndNeverNegative) {
    game.gameMode = Subtraction;
    for (int difficulty : {0, 3}) {
        game.difficulty = difficulty;
        bool sawEqual = false, sawSwap = false;
        for (unsigned seed = 1; seed <= 500; seed++) {
            srand(seed);
            rand();
            int first = rand() % (difficulty == 3 ? 20 : 10);
            srand(seed);
            Problem *p = fresh();
            Parsed parsed = parse(p->text);
            ASSERT_EQ(parsed.op, '-');
            EXPECT_GE(parsed.a, parsed.b) << p->text;
            EXPECT_EQ(p->answer, parsed.a - parsed.b);
            EXPECT_GE(p->answer, 0);
            EXPECT_EQ(p->answerDigits, digits(p->answer));
            if (parsed.a == parsed.b) {
                sawEqual = true;
                EXPECT_EQ(p->answer, 0);
                EXPECT_EQ(p->answerDigits, 1);
            }
            if (parsed.b == first && parsed.a != parsed.b)
                sawSwap = true; // the first draw was the smaller one and was moved back
        }
        EXPECT_TRUE(sawEqual);
        EXPECT_TRUE(sawSwap);
    }
}

TEST_F(GameProblems, DivisionIsExactAndNeverByZero) {
    game.gameMode = Division;
    for (int difficulty : {1, 3}) {
        game.difficulty = difficulty;
        int bound = difficulty == 3 ? 20 : 10;
        int ones = 0, twos = 0, zeroQuotients = 0, largest = 0;
        for (unsigned seed = 1; seed <= 4000; seed++) {
            srand(seed);
            Problem *p = fresh();
            Parsed parsed = parse(p->text);
            ASSERT_EQ(parsed.op, '/');
            ASSERT_NE(parsed.b, 0) << p->text;
            EXPECT_GE(parsed.b, 1);
            EXPECT_LT(parsed.b, bound);
            EXPECT_EQ(parsed.a, p->answer * parsed.b) << p->text;
            EXPECT_GE(p->answer, 0);
            EXPECT_LT(p->answer, bound);
            EXPECT_EQ(p->answerDigits, digits(p->answer));
            ones += parsed.b == 1;
            twos += parsed.b == 2;
            zeroQuotients += p->answer == 0;
            largest = parsed.a > largest ? parsed.a : largest;
        }
        // A drawn 0 becomes 1, so the divisor 1 comes up about twice as often as 2.
        EXPECT_GT(ones, twos * 3 / 2);
        EXPECT_GT(zeroQuotients, 0);
        EXPECT_EQ(largest, (bound - 1) * (bound - 1));
    }
}

TEST_F(GameProblems, OperandBoundFollowsDifficulty) {
    for (int mode : {Addition, Multiplication, Mixed}) {
        game.gameMode = mode;
        for (int difficulty : {0, 1, 2, 3}) {
            game.difficulty = difficulty;
            int bound = difficulty == 3 ? 20 : 10;
            int maxAnswer = 0, maxDigits = 0;
            for (unsigned seed = 1; seed <= 3000; seed++) {
                srand(seed);
                Problem *p = fresh();
                EXPECT_LE(strlen(p->text), 9u) << p->text;
                maxAnswer = p->answer > maxAnswer ? p->answer : maxAnswer;
                maxDigits = p->answerDigits > maxDigits ? p->answerDigits : maxDigits;
            }
            int expected = mode == Addition ? 2 * (bound - 1) : (bound - 1) * (bound - 1);
            EXPECT_EQ(maxAnswer, expected) << "mode " << mode << " difficulty " << difficulty;
            EXPECT_EQ(maxDigits, digits(expected));
        }
    }
}

TEST_F(GameProblems, MixedMakesOnlyTheFourOperationsNeverSign) {
    game.gameMode = Mixed;
    game.difficulty = 3;
    std::set<char> seen;
    for (unsigned seed = 1; seed <= 2000; seed++) {
        srand(seed);
        Problem *p = fresh();
        Parsed v = parse(p->text);
        seen.insert(v.op);
        // Sign problems have negative numbers or a 0/1 answer for any value; these are
        // real answers of non-negative operands.
        ASSERT_GE(v.a, 0) << p->text;
        ASSERT_GE(v.b, 0) << p->text;
        switch (v.op) {
        case '+':
            EXPECT_EQ(p->answer, v.a + v.b) << p->text;
            break;
        case '-':
            EXPECT_GE(v.a, v.b) << p->text;
            EXPECT_EQ(p->answer, v.a - v.b) << p->text;
            break;
        case '*':
            EXPECT_EQ(p->answer, v.a * v.b) << p->text;
            break;
        case '/':
            ASSERT_NE(v.b, 0);
            EXPECT_EQ(p->answer * v.b, v.a) << p->text;
            break;
        default:
            ADD_FAILURE() << p->text;
        }
        EXPECT_EQ(p->answerDigits, digits(p->answer));
    }
    EXPECT_EQ(seen, (std::set<char>{'+', '-', '*', '/'}));
}

TEST_F(GameProblems, SignAnswersFollowTheSignOfTheValue) {
    game.gameMode = Sign;
    int divisions = 0, zeroProducts = 0, equalDifferences = 0, negatives = 0;
    for (unsigned seed = 1; seed <= 4000; seed++) {
        srand(seed);
        Problem *p = fresh();
        Parsed v = parse(p->text);
        EXPECT_EQ(p->answerDigits, 1);
        EXPECT_LE(strlen(p->text), 9u) << p->text;
        int value = 0;
        switch (v.op) {
        case '+':
            value = v.a + v.b;
            EXPECT_EQ(p->answer, 1) << p->text;
            break;
        case '-':
            value = v.a - v.b;
            if (v.a == v.b) {
                equalDifferences++;
                EXPECT_EQ(p->answer, 1) << p->text;
            }
            break;
        case '*':
            value = v.a * v.b;
            EXPECT_GE(v.a, -10);
            EXPECT_LE(v.a, 9);
            if (v.a == 0 || v.b == 0) {
                zeroProducts++;
                EXPECT_EQ(p->answer, 1) << p->text;
            }
            break;
        case '/':
            divisions++;
            ASSERT_NE(v.b, 0) << p->text;
            value = v.a / v.b;
            EXPECT_EQ(value, -8) << p->text;
            EXPECT_EQ(v.a, -8 * v.b) << p->text;
            EXPECT_EQ(p->answer, 0) << p->text;
            break;
        default:
            ADD_FAILURE() << p->text;
        }
        EXPECT_EQ(p->answer, value >= 0 ? 1 : 0) << p->text;
        negatives += p->answer == 0;
    }
    EXPECT_GT(divisions, 0);
    EXPECT_GT(zeroProducts, 0);
    EXPECT_GT(equalDifferences, 0);
    EXPECT_GT(negatives, 0);
}

TEST_F(GameProblems, NewProblemAvoidsOnlyTheLeadingRow) {
    for (int mode : {Addition, Sign, Mixed}) {
        game.gameMode = mode;
        freeProblems();
        srand(7);
        addProblem("1 + 1", 2, 1, 3000, 180);
        Problem *other = addProblem("2 + 2", 4, 1, 4000, 40);
        bool sharedOtherRow = false;
        for (int i = 0; i < 400; i++) {
            generateProblem();
            Problem *p = tail();
            ASSERT_NE(p->y, 180) << "landed in the leading problem's row";
            EXPECT_EQ(p->y % 20, 0);
            EXPECT_GE(p->y, 0);
            EXPECT_LE(p->y, 360);
            sharedOtherRow |= p->y == other->y;
        }
        EXPECT_TRUE(sharedOtherRow);
        EXPECT_EQ(problemCount(), 402);
    }
}

TEST_F(GameProblems, ListKeepsOrderAndFreesWhatItUnlinks) {
    EXPECT_EQ(game.problems, nullptr);
    freeLeadingProblem(); // nothing to free on an empty field
    Problem *a = addProblem("1 + 1", 2, 1, 100, 0);
    Problem *b = addProblem("2 + 2", 4, 1, 200, 20);
    game.gameMode = Addition;
    generateProblem();
    Problem *c = tail();
    ASSERT_EQ(game.problems, a);
    ASSERT_EQ(a->next, b);
    ASSERT_EQ(b->next, c);
    EXPECT_EQ(c->next, nullptr);

    freeLeadingProblem();
    EXPECT_EQ(game.problems, b);
    EXPECT_EQ(problemCount(), 2);
    // The sanitizer build reports the records and texts if these leak.
    freeProblems();
    EXPECT_EQ(game.problems, nullptr);
    freeProblems();
}

} // namespace
