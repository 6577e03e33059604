// Practice settings for parents and teachers: gentle pace, shown answers, missed facts
// asked again, and what to practise on the game-over screen.
#include "game/practice.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/problems.h"
#include "gfx/font.h"
#include "ground/clock.h"

PracticeSettings practice;

namespace {

// A fact missed in the current game. Its repeat on the field is only ever compared,
// never followed: the pointer is cleared when that problem is solved or missed, and
// every record is forgotten before the next game places its first problem.
struct MissedFact {
    char text[16];          // the problem's text
    int32_t answer;         // its answer (in the sign quiz 1 for zero or more, 0 below)
    int32_t answerDigits;   // its answer keys
    int32_t misses;         // times missed in this game
    int32_t rightInRow;     // repeats answered right since it was last missed
    int32_t spawnsToWait;   // other spawns before it is asked again
    bool done;              // answered right twice in a row: not asked again
    const Problem *repeat;  // its repeat on the field, or null
};

// More facts than a game can miss; a miss beyond them is not remembered.
const int MaxFacts = 64;
MissedFact facts[MaxFacts];
int factCount = 0;
int32_t spawnCount = 0;  // spawns in this game
int32_t repeatCount = 0; // of them, missed facts asked again
const Problem *dangerNoted = nullptr; // the leading problem already counted for the danger zone
bool answerShown = false;             // the feedback is a shown answer
int32_t answerShownMs = 0;            // how long it is held: its block

bool trackingMisses() { return practice.repeatMissed || practice.practiceList; }

MissedFact *findFact(const char *text) {
    for (int i = 0; i < factCount; i++)
        if (strcmp(facts[i].text, text) == 0)
            return &facts[i];
    return nullptr;
}

bool onField(const MissedFact &fact) {
    for (const Problem *p = game.problems; p; p = p->next)
        if (strcmp(p->text, fact.text) == 0)
            return true;
    return false;
}

void noteMiss(const Problem *problem) {
    if (!problem || !trackingMisses())
        return;
    MissedFact *fact = findFact(problem->text);
    if (!fact) {
        if (factCount == MaxFacts)
            return;
        fact = &facts[factCount++];
        *fact = MissedFact{};
        snprintf(fact->text, sizeof fact->text, "%s", problem->text);
        fact->answer = problem->answer;
        fact->answerDigits = problem->answerDigits;
    }
    fact->misses++;
    fact->rightInRow = 0;
    fact->spawnsToWait = 2;
    fact->done = false;
    // A repeat answered wrong is a miss like any other; its later right answer does
    // not count towards the two in a row.
    fact->repeat = nullptr;
}

} // namespace

int32_t speedUpInterval(int32_t spawnPeriodMs) {
    return practice.gentlePace ? GentleSpeedUpPeriods * spawnPeriodMs : spawnPeriodMs;
}

bool speedMayRise() { return !practice.gentlePace || game.speed < GentleTopSpeed; }

void startPracticeGame() {
    factCount = 0;
    spawnCount = 0;
    repeatCount = 0;
    dangerNoted = nullptr;
    answerShown = false;
}

bool spawnMissedFact() {
    if (!practice.repeatMissed)
        return false;
    spawnCount++;
    MissedFact *due = nullptr;
    bool shareLeft = 3 * (repeatCount + 1) <= spawnCount;
    for (int i = 0; i < factCount; i++) {
        MissedFact &fact = facts[i];
        if (fact.done || fact.repeat)
            continue;
        if (!due && shareLeft && fact.spawnsToWait == 0 && !onField(fact))
            due = &fact;
        else if (fact.spawnsToWait > 0)
            fact.spawnsToWait--;
    }
    if (!due)
        return false;
    Problem *problem = new Problem{};
    problem->answer = due->answer;
    problem->answerDigits = due->answerDigits;
    problem->text = strdup(due->text);
    problem->x = 6400;
    problem->y = drawProblemRow();
    problem->next = nullptr;
    appendProblem(problem);
    due->repeat = problem;
    repeatCount++;
    return true;
}

void formatFact(const char *text, int32_t answer, char *out, size_t size) {
    if (game.gameMode == Sign)
        snprintf(out, size, "%s : %c", text, answer != 0 ? '+' : '-');
    else
        snprintf(out, size, "%s = %d", text, answer);
}

const char *shownAnswer(const char *typed, int32_t blockMs, char *buffer, size_t size) {
    const Problem *leading = game.problems;
    if (!practice.showAnswers || !leading)
        return typed;
    formatFact(leading->text, leading->answer, buffer, size);
    answerShown = true;
    answerShownMs = blockMs;
    return buffer;
}

void noteWrongAnswer() { noteMiss(game.problems); }

void noteDangerReached() {
    if (!game.problems || game.problems == dangerNoted)
        return;
    dangerNoted = game.problems;
    noteMiss(game.problems);
}

void noteRightAnswer(const Problem *leading) {
    answerShown = false;
    if (leading == dangerNoted)
        dangerNoted = nullptr;
    for (int i = 0; i < factCount; i++) {
        MissedFact &fact = facts[i];
        if (!leading || fact.repeat != leading)
            continue;
        fact.repeat = nullptr;
        fact.rightInRow++;
        fact.done = fact.rightInRow >= 2;
        fact.spawnsToWait = 4;
    }
}

bool holdsShownAnswer() { return answerShown && game.feedbackText; }

bool shownAnswerTop(uint32_t tick, int32_t *top) {
    uint32_t elapsed = tick - static_cast<uint32_t>(game.feedbackStartedAt);
    if (elapsed >= static_cast<uint32_t>(answerShownMs))
        return false;
    *top = 400;
    return true;
}

int32_t shownAnswerLeft() {
    int32_t right = 320 + bigTextAdvance(game.feedbackText) + 1;
    return right <= 640 ? 320 : std::max(0, 320 - (right - 640));
}

int practiceListLines(char lines[MaxListedFacts][24]) {
    int order[MaxFacts];
    for (int i = 0; i < factCount; i++)
        order[i] = i;
    std::stable_sort(order, order + factCount,
                     [](int a, int b) { return facts[a].misses > facts[b].misses; });
    int count = std::min(factCount, MaxListedFacts);
    for (int i = 0; i < count; i++)
        formatFact(facts[order[i]].text, facts[order[i]].answer, lines[i], sizeof lines[i]);
    return count;
}

void drawPracticeList(int left, int top) {
    if (!practice.practiceList)
        return;
    char lines[MaxListedFacts][24];
    int count = practiceListLines(lines);
    for (int i = 0; i < count; i++)
        drawSmallText(left + (i / 3) * 180, top + (i % 3) * 34, lines[i]);
}
