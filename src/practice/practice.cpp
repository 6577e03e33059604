// Practice settings for parents and teachers: missed facts asked again, and the list of
// facts to practise on the game-over screen.
#include "ground/settings.h"
#include "practice/practice.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/problems.h"
#include "practice/shown_fact.h"

namespace {

bool onField(const FactTally &fact) {
    for (const Problem *p = game.problems; p; p = p->next)
        if (strcmp(p->text, fact.text) == 0)
            return true;
    return false;
}

// The game's missed facts, in the order first missed.
std::vector<FactTally *> missedFacts() {
    std::vector<FactTally *> missed;
    for (FactTally &fact : factRecord.facts)
        if (fact.missOrder > 0)
            missed.push_back(&fact);
    std::sort(missed.begin(), missed.end(),
              [](const FactTally *a, const FactTally *b) { return a->missOrder < b->missOrder; });
    return missed;
}

int32_t missesOf(const FactTally &fact) { return fact.wrong + fact.closeCalls + fact.tooSlow; }

} // namespace

void noteMissedFact(FactTally *fact) {
    if (!fact)
        return;
    fact->rightInRow = 0;
    fact->spawnsToWait = 2;
    fact->done = false;
    // A repeat answered wrong is a miss like any other; its later right answer does
    // not count towards the two in a row.
    fact->repeat = nullptr;
}

bool spawnMissedFact() {
    if (!settings.repeatMissed)
        return false;
    factRecord.spawns++;
    FactTally *due = nullptr;
    bool shareLeft = 3 * (factRecord.repeats + 1) <= factRecord.spawns;
    for (FactTally *fact : missedFacts()) {
        if (fact->done || fact->repeat)
            continue;
        if (!due && shareLeft && fact->spawnsToWait == 0 && !onField(*fact))
            due = fact;
        else if (fact->spawnsToWait > 0)
            fact->spawnsToWait--;
    }
    if (!due)
        return false;
    Problem *problem = placeProblem();
    problem->answer = due->answer;
    problem->answerDigits = due->answerDigits;
    problem->text = strdup(due->text);
    due->repeat = problem;
    factRecord.repeats++;
    return true;
}

void noteRightAnswer(const Problem *leading) {
    for (FactTally &fact : factRecord.facts) {
        if (!leading || fact.repeat != leading)
            continue;
        fact.repeat = nullptr;
        fact.rightInRow++;
        fact.done = fact.rightInRow >= 2;
        fact.spawnsToWait = 4;
    }
}

int practiceListLines(char lines[MaxListedFacts][32]) {
    std::vector<FactTally *> order = missedFacts();
    std::stable_sort(order.begin(), order.end(),
                     [](const FactTally *a, const FactTally *b) { return missesOf(*a) > missesOf(*b); });
    int count = std::min(static_cast<int>(order.size()), MaxListedFacts);
    for (int i = 0; i < count; i++) {
        char fact[24];
        formatFact(order[i]->text, order[i]->answer, fact, sizeof fact);
        snprintf(lines[i], sizeof lines[i], "%s %s", fact, order[i]->wrong > 0 ? "x" : "...");
    }
    return count;
}
