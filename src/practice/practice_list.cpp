// The game-over menu's additions for parents and teachers: a round's summary and the
// facts to practise.
#include "practice/practice_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "content/practice_texts.h"
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
        snprintf(lines[i], sizeof lines[i], "%s %s", fact,
                 practiceText(order[i]->wrong > 0 ? MarkWrong : MarkSlow));
    }
    return count;
}

int splitAt(const char *text, int32_t width) {
    int length = static_cast<int>(strlen(text));
    if (bigTextAdvance(text) / 2 <= width)
        return length;
    // The ", " nearest the middle that leaves both halves within width.
    int best = length;
    for (int i = 0; i + 1 < length; i++) {
        if (text[i] != ',' || text[i + 1] != ' ')
            continue;
        std::string first(text, static_cast<size_t>(i) + 1);
        if (bigTextAdvance(first.c_str()) / 2 > width || bigTextAdvance(text + i + 2) / 2 > width)
            continue;
        if (best == length || std::abs(2 * i - length) < std::abs(2 * best - length))
            best = i;
    }
    return best;
}

void drawGameOverPractice(int left, int top) {
    char summary[160];
    bool round = roundSummary(summary, sizeof summary);
    if (round) {
        int cut = splitAt(summary, GameOverLineWidth);
        if (summary[cut] == '\0') {
            drawSmallText(left, top - 6, summary);
        } else {
            summary[cut + 1] = '\0';
            drawSmallText(left, top - 6, summary);
            drawSmallText(left, top + 16, summary + cut + 2);
        }
        top += round && summary[cut] != '\0' ? 44 : 28;
    }
    if (!settings.practiceList)
        return;
    char lines[MaxListedFacts][32];
    int count = practiceListLines(lines);
    // Under a summary the rows come closer, so that the list still ends above the entries.
    int rowStep = top > 250 ? 24 : top > 220 ? 30 : 34;
    for (int i = 0; i < count; i++)
        drawSmallText(left + (i / 3) * 190, top + (i % 3) * rowStep, lines[i]);
}

