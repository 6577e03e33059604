// The record of one game's facts: asked, right at the first try, wrong, too slow, times.
#include "practice/fact_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ground/clock.h"

FactRecord factRecord;

void startFactRecord() { factRecord = FactRecord{}; }

const std::vector<FactTally> &gameFacts() { return factRecord.facts; }

FactTally *tallyOf(const Problem *problem) {
    if (!problem)
        return nullptr;
    for (FactTally &fact : factRecord.facts)
        if (fact.answer == problem->answer && strcmp(fact.text, problem->text) == 0)
            return &fact;
    FactTally fact;
    snprintf(fact.text, sizeof fact.text, "%s", problem->text);
    fact.answer = problem->answer;
    fact.answerDigits = problem->answerDigits;
    factRecord.facts.push_back(fact);
    return &factRecord.facts.back();
}

void noteLeading(int32_t tick) {
    factRecord.leading = game.problems;
    factRecord.leadingSince = tick;
    factRecord.leadingWrong = false;
    factRecord.leadingNear = false;
    if (game.problems) {
        FactTally *fact = tallyOf(game.problems);
        fact->asked++;
        fact->askings.push_back(FactAsking{});
    }
}

// The asking of the leading problem's fact, or null on an empty field.
static FactAsking *leadingAsking(FactTally *fact) {
    return fact && !fact->askings.empty() ? &fact->askings.back() : nullptr;
}

void noteRight(int32_t tick) {
    FactTally *fact = tallyOf(game.problems);
    if (!fact)
        return;
    int32_t ms = std::max(0, tickDiff(tick, factRecord.leadingSince));
    fact->answerMs.push_back(ms);
    if (FactAsking *asking = leadingAsking(fact)) {
        asking->answeredRight = true;
        asking->ms = ms;
    }
    factRecord.recentMs.push_back(ms);
    if (!factRecord.leadingWrong)
        fact->rightFirstTry++;
}

// fact is missed: the first time, it gets its place in the order facts were missed.
static FactTally *missed(FactTally *fact) {
    if (fact && fact->missOrder == 0)
        fact->missOrder = ++factRecord.missedFacts;
    return fact;
}

FactTally *noteWrong() {
    FactTally *fact = tallyOf(game.problems);
    if (!fact)
        return nullptr;
    fact->wrong++;
    if (FactAsking *asking = leadingAsking(fact))
        asking->answeredWrong = true;
    if (!factRecord.leadingWrong)
        fact->askingsWrong++;
    factRecord.leadingWrong = true;
    return missed(fact);
}

FactTally *noteTooSlow(int32_t tick) {
    FactTally *fact = tallyOf(game.problems);
    if (!fact)
        return nullptr;
    fact->tooSlow++;
    if (FactAsking *asking = leadingAsking(fact))
        asking->warned = true;
    factRecord.recentMs.push_back(std::max(0, tickDiff(tick, factRecord.leadingSince)));
    return missed(fact);
}

FactTally *noteCloseCall() {
    if (factRecord.leadingNear || !game.problems)
        return nullptr;
    FactTally *fact = tallyOf(game.problems);
    fact->closeCalls++;
    if (FactAsking *asking = leadingAsking(fact))
        asking->warned = true;
    factRecord.leadingNear = true;
    return missed(fact);
}

void closeFactRecord() {
    if (factRecord.closed)
        return;
    factRecord.closed = true;
    // Right answers move the leading problem on, so one still leading was not answered
    // right; only what the child did with it counts.
    if (!game.problems || factRecord.leading != game.problems || factRecord.leadingWrong || factRecord.leadingNear)
        return;
    FactTally *fact = tallyOf(game.problems);
    if (fact->asked > 0)
        fact->asked--;
    if (!fact->askings.empty())
        fact->askings.pop_back();
}

void holdLeadingClock(int32_t ms) { factRecord.leadingSince = tickAdd(factRecord.leadingSince, ms); }

int32_t factsAnswered() {
    int32_t count = 0;
    for (const FactTally &fact : factRecord.facts)
        count += static_cast<int32_t>(fact.answerMs.size());
    return count;
}

int32_t problemsMissed() {
    int32_t count = 0;
    for (const FactTally &fact : factRecord.facts)
        count += fact.tooSlow;
    return count;
}

int32_t factsRightFirstTry() {
    int32_t count = 0;
    for (const FactTally &fact : factRecord.facts)
        count += fact.rightFirstTry;
    return count;
}

int32_t medianAnswerMs() {
    std::vector<int32_t> all;
    for (const FactTally &fact : factRecord.facts)
        all.insert(all.end(), fact.answerMs.begin(), fact.answerMs.end());
    if (all.empty())
        return 0;
    std::sort(all.begin(), all.end());
    size_t middle = all.size() / 2;
    // An even count takes the mean of the middle two.
    return all.size() % 2 ? all[middle] : (all[middle - 1] + all[middle]) / 2;
}

std::vector<FactTally *> missedFactsInOrder() {
    std::vector<FactTally *> missed;
    for (FactTally &fact : factRecord.facts)
        if (fact.missOrder > 0)
            missed.push_back(&fact);
    std::sort(missed.begin(), missed.end(),
              [](const FactTally *a, const FactTally *b) { return a->missOrder < b->missOrder; });
    return missed;
}
