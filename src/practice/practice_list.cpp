// The game-over menu's additions for parents and teachers: a round's summary and the
// facts to practise.
#include "practice/practice_list.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gfx/font.h"
#include "ground/settings.h"
#include "practice/fact_record.h"
#include "practice/round.h"
#include "practice/shown_fact.h"

static int32_t missesOf(const FactTally &fact) { return fact.wrong + fact.closeCalls + fact.tooSlow; }

int practiceListLines(char lines[MaxListedFacts][32]) {
    std::vector<FactTally *> order = missedFactsInOrder();
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

void drawGameOverPractice(int left, int top) {
    char summary[64];
    if (roundSummary(summary, sizeof summary)) {
        drawSmallText(left, top - 6, summary);
        top += 28;
    }
    if (!settings.practiceList)
        return;
    char lines[MaxListedFacts][32];
    int count = practiceListLines(lines);
    // Under a summary the rows come closer, so that the list still ends above the entries.
    int rowStep = top > 220 ? 30 : 34;
    for (int i = 0; i < count; i++)
        drawSmallText(left + (i / 3) * 180, top + (i % 3) * rowStep, lines[i]);
}

