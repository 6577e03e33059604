// The pace that follows the child: limits from the recent answer times and a level that
// follows a quick child up.
#include "practice/pace.h"

#include <algorithm>
#include <vector>

#include "game/field.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "practice/fact_record.h"

int32_t recentAnswerMs() {
    const std::vector<int32_t> &all = factRecord.recentMs;
    if (all.empty())
        return PaceFirstGuessMs;
    size_t count = std::min(all.size(), static_cast<size_t>(PaceRecentAnswers));
    std::vector<int32_t> recent(all.end() - static_cast<long>(count), all.end());
    std::sort(recent.begin(), recent.end());
    // The median: one slip or one lucky guess does not move the pace.
    return recent[count / 2];
}

// The crossing time allowed at the current level (ms), in quarters of answer times.
static int64_t crossingMs() {
    int64_t quarters = PaceCrossingQuarters - PaceQuartersPerLevel * factRecord.paceLevel;
    return quarters * recentAnswerMs() / 4;
}

// How long (ms) a problem takes from where it stands whole to the left edge at speed.
static int64_t crossingAtSpeedMs(int32_t speed) { return speed > 0 ? int64_t(EntryEndX) * 10 / speed : INT64_MAX; }

int32_t paceTopSpeed() {
    // At speed s a problem crosses EntryEndX tenths of a pixel in EntryEndX / s steps of 10 ms.
    int64_t crossing = crossingMs();
    int64_t reach = int64_t(EntryEndX) * 10;
    int64_t speed = crossing > 0 ? reach / crossing : reach;
    return static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(speed, reach)));
}

static int problemsOnField() {
    int count = 0;
    for (const Problem *p = game.problems; p && count < PaceMostOnFieldAtTop; p = p->next)
        count++;
    return count;
}

bool paceRoomForProblem() {
    int count = problemsOnField();
    if (count < PaceMostOnField)
        return true;
    if (factRecord.paceLevel < PaceFullerLevel || count >= PaceMostOnFieldAtTop)
        return false;
    // What is left of the leading problem's answer time, then each other problem and the
    // new one in turn at the recent time, nine sixteenths to spare, before the new one crosses.
    int64_t recent = recentAnswerMs();
    int64_t leadingFor = std::max<int64_t>(0, tickDiff(now, factRecord.leadingSince));
    int64_t needed = (std::max<int64_t>(0, recent - leadingFor) + int64_t(count) * recent) * 25 / 16;
    return needed <= crossingAtSpeedMs(game.speed);
}

bool paceWantsProblem() { return factRecord.paceLevel >= PaceFullerLevel && problemsOnField() < PaceMostOnField; }

void paceNoteRight(bool firstTry, int32_t ms, int32_t x) {
    int32_t recent = recentAnswerMs();
    if (static_cast<int64_t>(ms) * 2 > static_cast<int64_t>(recent) * 3) {
        factRecord.paceLevel = std::max(0, factRecord.paceLevel - 1);
        factRecord.paceStreak = 0;
        return;
    }
    if (!firstTry || int64_t(ms) * 4 > int64_t(recent) * 5 || x <= PaceClimbX) {
        factRecord.paceStreak = 0;
        return;
    }
    if (++factRecord.paceStreak < paceClimbAnswers(game.difficulty))
        return;
    factRecord.paceStreak = 0;
    factRecord.paceLevel = std::min(PaceTopLevel, factRecord.paceLevel + 1);
}

void paceStepBack(int32_t levels) {
    factRecord.paceLevel = std::max(0, factRecord.paceLevel - levels);
    factRecord.paceStreak = 0;
}
