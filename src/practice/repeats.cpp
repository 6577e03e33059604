// Missed facts asked again until answered right twice in a row.
#include "practice/repeats.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/problems.h"
#include "ground/settings.h"

namespace {

bool onField(const FactTally &fact) {
    for (const Problem *p = game.problems; p; p = p->next)
        if (strcmp(p->text, fact.text) == 0)
            return true;
    return false;
}

} // namespace

void noteMissedFact(FactTally *fact) {
    if (!fact)
        return;
    fact->rightInRow = 0;
    fact->spawnsToWait = RepeatAfterMissSpawns;
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
    bool shareLeft = RepeatShareDivisor * (factRecord.repeats + 1) <= factRecord.spawns;
    for (FactTally *fact : missedFactsInOrder()) {
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
        fact.spawnsToWait = RepeatAfterRightSpawns;
    }
}
