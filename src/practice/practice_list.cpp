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
                 practiceText(order[i]->wrong > 0 ? ListMarkWrong : ListMarkSlow));
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
    int rowStep = 34;
    if (round) {
        int cut = splitAt(summary, GameOverLineWidth);
        bool twoLines = summary[cut] != '\0';
        if (twoLines)
            summary[cut + 1] = '\0';
        drawSmallText(left, top - 6, summary);
        if (twoLines)
            drawSmallText(left, top + 14, summary + cut + 2);
        // Under a summary the rows come closer, so that the list still ends above the entries.
        top += twoLines ? 38 : 28;
        rowStep = twoLines ? 22 : 30;
    }
    if (!settings.practiceList)
        return;
    char lines[MaxListedFacts][32];
    int count = practiceListLines(lines);
    // A second column stands clear of the first's widest line, when it fits on the panel;
    // otherwise the list keeps the three most missed.
    int32_t firstWidth = 0, secondWidth = 0;
    for (int i = 0; i < count; i++)
        (i < 3 ? firstWidth : secondWidth) = std::max(i < 3 ? firstWidth : secondWidth, bigTextAdvance(lines[i]) / 2);
    int32_t secondLeft = std::max(left + 180, left + firstWidth + 24);
    if (secondLeft + secondWidth > left + GameOverLineWidth + 8)
        count = std::min(count, 3);
    for (int i = 0; i < count; i++)
        drawSmallText(i < 3 ? left : secondLeft, top + (i % 3) * rowStep, lines[i]);
}
